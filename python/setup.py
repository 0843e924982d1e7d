"""Builds relvane._relvane with the project's CMake build (the engine, the
test program's logic and relvane-render's run steps, then the module).

Extra CMake options come from RELVANE_CMAKE_ARGS, e.g.
RELVANE_CMAKE_ARGS="-DRELVANE_SANITIZE=ON" for a sanitized module, and
RELVANE_PYTHON_BUILD_DIR names the CMake build folder (default: under
setuptools' build folder).
"""
import os
import shlex
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent.parent


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        out = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build = Path(os.environ.get("RELVANE_PYTHON_BUILD_DIR") or Path(self.build_temp) / "cmake").resolve()
        args = [
            f"-DRELVANE_PYTHON_OUTPUT_DIR={out}",
            f"-DPython3_EXECUTABLE={sys.executable}",
            "-DRELVANE_BUILD_PYTHON=ON",
            "-DRELVANE_BUILD_DEMO=OFF",
            "-DRELVANE_BUILD_TESTS=OFF",
        ]
        try:
            import pybind11

            args.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass  # CMake looks for pybind11 itself
        args += shlex.split(os.environ.get("RELVANE_CMAKE_ARGS", ""))
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), *args], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_relvane", "-j", jobs], check=True)


setup(ext_modules=[CMakeExtension("relvane._relvane")], cmdclass={"build_ext": CMakeBuild})
