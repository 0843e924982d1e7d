import os

import pytest


@pytest.fixture(scope="session")
def relvane_render():
    """The relvane-render program render() is compared with (RELVANE_RENDER)."""
    path = os.environ.get("RELVANE_RENDER")
    if not path:
        pytest.skip("RELVANE_RENDER names no relvane-render program")
    return path
