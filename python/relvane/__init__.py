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
from ._relvane import _landscape, _render

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
    "threads": ("--threads=", int),
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
    """TypeError or ValueError unless array is of dtype and shape (None: any size)."""
    if not isinstance(array, np.ndarray):
        raise TypeError(f"{name}: expected a NumPy array, got {type(array).__name__}")
    if array.dtype != dtype:
        raise TypeError(f"{name}: expected dtype {np.dtype(dtype)}, got {array.dtype}")
    if len(array.shape) != len(shape) or any(s is not None and s != a for s, a in zip(shape, array.shape)):
        raise ValueError(f"{name}: expected shape ({expected}), got {array.shape}")


def _call(function, build, options):
    terrain = options.pop("terrain", None)
    colours = options.pop("colours", None)
    options.setdefault("threads", 1)
    if terrain is not None or colours is not None:
        if terrain is None:
            raise ValueError("colours: only with terrain")
        _grid("terrain", terrain, np.uint16, (None, None), "rows, columns")
        rows, columns = terrain.shape
        if colours is not None:
            _grid("colours", colours, np.uint8, (rows, columns, 3), f"{rows}, {columns}, 3")
        # The picture is one pixel smaller than the terrain unless width or
        # height says otherwise, as relvane-render makes it from a file.
        for name, side, way in (("width", columns, "wide"), ("height", rows, "high")):
            if name not in options:
                if not 2 <= side <= 16385:
                    raise ValueError(f"terrain: shape {terrain.shape} gives a picture {side - 1} pixels {way}"
                                     f" (1 to 16384); give {name}")
                options[name] = side - 1
    args = _arguments(function, options)
    try:
        return build(args, terrain, colours)
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
    shadows are True or False. ``terrain``, a (rows, columns) uint16 array
    of heights, replaces the landscape build (no fill, terrain, shapes or
    flooding), as relvane-render's --terrain: the surfaces take its size,
    every pixel its z, the ground colour 160, 128, 96 or the matching pixel
    of ``colours`` (a (rows, columns, 3) uint8 array), alpha 255 and light
    256; the picture is (columns - 1) x (rows - 1) unless width or height is
    given; the view and display follow as usual. ``threads`` is the
    engine's thread count, 0 to 1024 (1; 0: one per processor); the
    picture is the same at every count.
    """
    return _call("render", _render, options)


def landscape(**options):
    """The landscape surface ``render`` would show, before shading:
    (width + 1) x (height + 1) pixels (or the terrain's size), so that ``landscape().z`` is the
    heightmap. Takes the options of ``render``."""
    return _call("landscape", _landscape, options)
