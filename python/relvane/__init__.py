"""Relvane: a software renderer for 2.5-D height fields.

Surfaces are grids of pixels owned by the engine; ``surface.pixels``,
``surface.z``, ``surface.light``, ``surface.colours`` ... are writable NumPy
views of their memory (no copy). Every engine operation is a function of
this module (``fill_rect``, ``draw_disc``, ``fractal``, ``shade_slopes``,
``show_tilted`` ...) or a method (``context.reset_random``,
``pipe.set_z_mode`` ...). ``render`` makes the picture ``relvane-render``
writes, ``landscape`` the landscape it is made from.
"""
import numbers

import numpy as np

from ._relvane import *  # noqa: F401,F403
from ._relvane import _check_options, _landscape, _render

__all__ = [name for name in dir() if not name.startswith("_") and name not in ("np", "numbers")]

# The options of relvane-render: its flag, and what kind of value each takes.
_OPTIONS = {
    "width": ("-w", int),
    "height": ("-h", int),
    "tile": ("-t", int),
    "phase": ("--phase=", float),
    "roughness": ("--roughness=", float),
    "amplitude": ("--amplitude=", float),
    "base": ("--base=", float),
    "water": ("--water=", float),
    "haze": ("--haze=", float),
    "light": ("--light=", float),
    "view": ("--view=", float),
    "mode": ("--mode=", str),
    "scale": ("--scale=", int),
    "shapes": ("--no-shapes", bool),
    "slopes": ("--no-slopes", bool),
    "shadows": ("--no-shadows", bool),
}


def _arguments(function, options):
    """relvane-render's arguments for the options; TypeError for a wrong kind."""
    args = []
    for name, value in options.items():
        if name not in _OPTIONS:
            raise TypeError(f"{function}() got an unexpected keyword argument '{name}'")
        flag, kind = _OPTIONS[name]
        got = type(value).__name__
        if kind is bool:
            if not isinstance(value, (bool, np.bool_)):
                raise TypeError(f"{name}: expected True or False, got {got}")
            if not value:
                args.append(flag)
        elif kind is int:
            if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Integral):
                raise TypeError(f"{name}: expected an int, got {got}")
            args.append(f"{flag}{int(value)}")
        elif kind is float:
            if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
                raise TypeError(f"{name}: expected a number, got {got}")
            args.append(f"{flag}{float(value)!r}")
        else:
            if not isinstance(value, str):
                raise TypeError(f"{name}: expected a str, got {got}")
            args.append(f"{flag}{value}")
    return args


def _grid(name, array, dtype, shape, expected):
    if not isinstance(array, np.ndarray):
        raise TypeError(f"{name}: expected a NumPy array, got {type(array).__name__}")
    if array.dtype != dtype:
        raise TypeError(f"{name}: expected dtype {np.dtype(dtype)}, got {array.dtype}")
    if array.shape != shape:
        raise ValueError(f"{name}: expected shape {shape} ({expected}), got {array.shape}")


def _call(function, build, options):
    terrain = options.pop("terrain", None)
    colours = options.pop("colours", None)
    threads = options.pop("threads", 1)
    args = _arguments(function, options)
    width = options.get("width", 640)
    height = options.get("height", 480)
    if terrain is not None or colours is not None:
        if terrain is None:
            raise ValueError("colours: only with terrain")
        # Sizes first: the shapes below are only meaningful for valid ones.
        _check(args)
        _grid("terrain", terrain, np.uint16, (height + 1, width + 1), "height + 1, width + 1")
        if colours is not None:
            _grid("colours", colours, np.uint8, (height + 1, width + 1, 3), "height + 1, width + 1, 3")
    if isinstance(threads, (bool, np.bool_)) or not isinstance(threads, numbers.Integral):
        raise TypeError(f"threads: expected an int, got {type(threads).__name__}")
    if not 0 <= threads <= 2**31 - 1:
        raise ValueError(f"threads: {threads} is not 0 to 2147483647")
    try:
        return build(args, terrain, colours, int(threads))
    except ValueError as error:
        raise ValueError(_rename(str(error))) from None


def _check(args):
    try:
        _check_options(args)
    except ValueError as error:
        raise ValueError(_rename(str(error))) from None


def _rename(message):
    """relvane-render's message with the option named as the argument."""
    for name, (flag, _) in _OPTIONS.items():
        flag = flag.rstrip("=")
        if message.startswith(flag + ":"):
            return name + message[len(flag):]
    return message


def render(**options):
    """The test program's picture, as relvane-render writes it: a
    (height, width, 3) uint8 RGB array.

    Options are relvane-render's long options with ``_`` for ``-``, and
    width, height (640 x 480) and tile for -w, -h, -t; shapes, slopes and
    shadows are True or False. ``terrain``, a (height + 1, width + 1) uint16
    array of heights, replaces the landscape build (no fill, terrain, shapes
    or flooding): every pixel takes its z, the ground colour 160, 128, 96 or
    the matching row of ``colours`` (a (height + 1, width + 1, 3) uint8
    array), alpha 255 and light 256; the view and display follow as usual.
    ``threads`` is the engine's thread count (1; 0: one per processor); the
    picture is the same at every count.
    """
    return _call("render", _render, options)


def landscape(**options):
    """The landscape surface ``render`` would show, before shading:
    (width + 1) x (height + 1) pixels, so that ``landscape().z`` is the
    heightmap. Takes the options of ``render``."""
    return _call("landscape", _landscape, options)
