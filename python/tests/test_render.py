"""render() against relvane-render, and the landscape taken from arrays."""
import random
import subprocess
import sys
import threading
import time
from pathlib import Path

import numpy as np
import pytest
from PIL import Image

import relvane

FIXED = [
    {},
    {"width": 97, "height": 61, "view": 35.5, "water": 90.0, "haze": 200.0, "light": 20.0},
    {"width": 80, "height": 50, "mode": "profiles", "scale": 7, "shapes": False},
    {"width": 70, "height": 90, "mode": "height", "scale": 100, "tile": 16, "roughness": 1.5},
    {"width": 64, "height": 64, "mode": "light", "slopes": False, "light": 70.0, "phase": -3.25},
]


def random_options(seed):
    r = random.Random(seed)
    return {
        "width": r.randint(1, 300), "height": r.randint(1, 200), "tile": 2 ** r.randint(0, 8),
        "phase": r.uniform(-10, 10), "roughness": r.uniform(0, 2), "amplitude": r.uniform(0, 256),
        "base": r.uniform(0, 256), "water": r.choice([0.0, r.uniform(0, 255)]), "haze": r.uniform(0, 256),
        "light": r.uniform(0, 90), "view": r.choice([90.0, r.uniform(0, 90)]),
        "mode": r.choice(["colour", "profiles", "height", "light"]), "scale": r.randint(2, 256),
        "shapes": r.random() < 0.5, "slopes": r.random() < 0.5, "shadows": r.random() < 0.5,
    }


def command_line(options):
    """relvane-render's arguments for the same options."""
    short = {"width": "-w", "height": "-h", "tile": "-t"}
    args = []
    for name, value in options.items():
        if name in short:
            args.append(f"{short[name]}{value}")
        elif isinstance(value, bool):
            args += [] if value else [f"--no-{name}"]
        else:
            args.append(f"--{name}={value!r}" if isinstance(value, float) else f"--{name}={value}")
    return args


# Given terrains: (columns, rows, with colours), the options, the arrays'
# layout (F: strided rows, read through a row buffer); -w/-h other than the
# terrain's size included.
GIVEN = [
    ((90, 60, True), {"view": 30.0, "water": 80.0, "haze": 150.0}, "C"),
    ((64, 48, True), {"width": 100, "height": 40, "mode": "height", "scale": 50}, "F"),
    ((50, 70, False), {"width": 30, "mode": "profiles", "shadows": False, "light": 15.0}, "C"),
    ((41, 33, True), {"height": 45, "view": 55.0, "slopes": False}, "F"),
]


@pytest.mark.parametrize("given, options, order",
                         [(None, options, "C") for options in FIXED + [random_options(seed) for seed in (1, 2, 3)]]
                         + GIVEN)
def test_render_equals_relvane_render(relvane_render, tmp_path, given, options, order):
    out = tmp_path / "picture.png"
    args, arrays = command_line(options), {}
    if given:
        columns, rows, coloured = given
        rng = np.random.default_rng(columns * rows)
        arrays["terrain"] = rng.integers(0, 65536, (rows, columns), dtype=np.uint16)
        Image.fromarray(arrays["terrain"], "I;16").save(tmp_path / "heights.png")
        args.append(f"--terrain={tmp_path / 'heights.png'}")
        if coloured:
            arrays["colours"] = rng.integers(0, 256, (rows, columns, 3), dtype=np.uint8)
            Image.fromarray(arrays["colours"], "RGB").save(tmp_path / "colours.png")
            args.append(f"--colours={tmp_path / 'colours.png'}")
        arrays = {name: np.asarray(a, order=order) for name, a in arrays.items()}
    subprocess.run([relvane_render, *args, str(out)], check=True)
    expected = np.asarray(Image.open(out).convert("RGB"))
    picture = relvane.render(**options, **arrays)
    assert picture.dtype == np.uint8 and picture.shape == expected.shape
    assert np.array_equal(picture, expected)


@pytest.mark.parametrize("options", [{"width": 90, "height": 70}, random_options(4) | {"threads": 2}])
def test_render_from_the_landscape_arrays_equals_the_built_one(options):
    # A built landscape is opaque and lit at unity, so its heights and
    # colours given back as arrays make the same picture.
    land = relvane.landscape(**options)
    assert (land.alpha == 255).all() and (land.light == 256).all()
    taken = relvane.render(terrain=land.z, colours=land.colours, **options)  # strided views in
    assert np.array_equal(taken, relvane.render(**options))
    # Without colours every pixel takes the ground colour.
    flat = relvane.landscape(terrain=land.z.copy(), **options)
    assert np.array_equal(flat.z, land.z)
    assert (flat.colours == [160, 128, 96]).all() and (flat.alpha == 255).all() and (flat.light == 256).all()


def test_the_engine_steps_by_hand_equal_render():
    # The landscape build and view build done through the module's own
    # functions: fill, fractal, copy, shading, displays.
    w, h, phase = 120, 90, 0.8
    context = relvane.Context()
    land = relvane.Surface(context, w + 1, h + 1)
    view = relvane.Surface(context, w + 1, h + 1)
    context.reset_random(float(np.float32(np.sin(phase) * 0.5 + 0.5)))
    relvane.fill_rect(relvane.FIELD_ALL, land, None, relvane.Pixel(160, 128, 96, 255, 256, 0))
    relvane.fractal(land, 128, 60.0, 220.0, 0.42)
    options = {"width": w, "height": h, "shapes": False, "haze": 0.0}
    assert np.array_equal(land.pixels, relvane.landscape(**options).pixels)
    relvane.copy_rect(relvane.FIELD_ALL, land, None, view, 0, 0)
    relvane.shade_slopes(view, 45.0, 0.3)
    relvane.shade_shadows(view, 45.0)
    assert np.array_equal(relvane.show_colour(view, width=w, height=h), relvane.render(**options))
    assert np.array_equal(relvane.show_tilted(view, 30.0, width=w), relvane.render(view=30.0, **options))


def test_other_threads_run_while_a_large_terrain_is_built():
    surface = relvane.Surface(relvane.Context(), 4097, 4097)
    ticks, stop = [], threading.Event()

    def tick():
        while not stop.is_set():
            ticks.append(time.perf_counter())
            time.sleep(0.001)

    ticker = threading.Thread(target=tick)
    ticker.start()
    try:
        start = time.perf_counter()
        relvane.fractal(surface, 4096, 60.0, 220.0, 0.42)
        end = time.perf_counter()
    finally:
        stop.set()
        ticker.join()
    # Holding the interpreter lock would leave the ticker only the switch
    # intervals at the edges of the call; it must tick through the middle.
    quarter = (end - start) / 4
    middle = [t for t in ticks if start + quarter < t < end - quarter]
    assert end - start > 0.02 and len(middle) >= 3


def test_the_example_script_writes_its_picture(tmp_path):
    script = Path(__file__).resolve().parents[2] / "examples" / "terrain_picture.py"
    subprocess.run([sys.executable, str(script), str(tmp_path / "terrain.png")], check=True)
    assert Image.open(tmp_path / "terrain.png").size == (640, 400)
