"""Renders a terrain made with NumPy as a shaded picture seen at a tilt.

    python3 examples/terrain_picture.py [picture.png]

Needs the relvane package (pip install --no-build-isolation ./python),
NumPy and PIL.
"""
import sys

import numpy as np
from PIL import Image

import relvane

width, height = 640, 400
# One height per corner of the picture's pixels, in 1/256 units.
y, x = np.mgrid[0 : height + 1, 0 : width + 1] / 64.0
hills = 70 + 30 * np.sin(x) * np.cos(1.3 * y) + 20 * np.sin(0.37 * x + 0.71 * y)
terrain = (hills * 256).astype(np.uint16)

picture = relvane.render(width=width, height=height, terrain=terrain, view=50.0, light=35.0, water=60.0, haze=0.0)
Image.fromarray(picture).save(sys.argv[1] if len(sys.argv) > 1 else "terrain.png")
