#!/usr/bin/env python3
"""relvane-render's rasters read through GDAL: elevations to heights, ramps, colour maps, bad files.

    raster_test.py RELVANE-RENDER

The fixtures are written here with GDAL's Python bindings and tools, and
what relvane-render makes of them is compared with the mapping worked out
here with NumPy, with gdaldem's colour relief, and with PIL. Exits 77
(skip) when the bindings or PIL are missing or the program was built
without GDAL. RELVANE_SEED picks the random elevations' seed.
"""
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from osgeo import gdal, osr
    from PIL import Image
except ImportError as e:
    print("SKIP: %s" % e)
    sys.exit(77)

RENDER = os.path.abspath(sys.argv[1])
FLAT = ["--no-slopes", "--no-shadows", "--haze=0"]
gdal.UseExceptions()
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def run(args, cwd):
    return subprocess.run([RENDER] + args, cwd=cwd, capture_output=True, text=True)


def write(path, values, driver="GTiff", epsg=None, transform=None, nodata=None, options=()):
    """values (bands, H, W) or (H, W) as a raster of their NumPy type."""
    values = values if values.ndim == 3 else values[None]
    kind = gdal.GetDataTypeByName({"float32": "Float32", "int16": "Int16", "uint8": "Byte"}[values.dtype.name])
    mem = gdal.GetDriverByName("MEM").Create("", values.shape[2], values.shape[1], values.shape[0], kind)
    if transform:
        mem.SetGeoTransform(transform)
    if epsg:
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(epsg)
        mem.SetProjection(srs.ExportToWkt())
    for k, band in enumerate(values):
        mem.GetRasterBand(k + 1).WriteArray(band)
        if nodata is not None:
            mem.GetRasterBand(k + 1).SetNoDataValue(nodata)
    gdal.GetDriverByName(driver).CreateCopy(path, mem, options=list(options))


def heights(e, cell, z_scale=1.0, fit=False):
    """The mapping: z = lround((e - e_min) * (256 z_scale / cell)), in double; NaN at e_min's height."""
    e = e.astype(np.float64)
    lo, hi = np.nanmin(e), np.nanmax(e)
    if fit or (hi - lo) * (256.0 * z_scale / cell) > 65535.0:
        z_scale = 65535.0 * cell / (256.0 * (hi - lo))
    z = (e - lo) * (256.0 * z_scale / cell)
    z = np.where(np.isnan(z), 0.0, z)
    return np.where(z >= 65535.0, 65535, np.floor(np.maximum(z, 0.0) + 0.5)).astype(np.uint16)


def grey16(path):
    return np.array(Image.open(path), dtype=np.uint16)


def rgb(path):
    return np.array(Image.open(path).convert("RGB"), dtype=np.int32)


def fixtures(d, rng):
    h, w = 29, 41
    e = rng.uniform(100.0, 900.0, (h, w)).astype(np.float32)
    write(os.path.join(d, "proj.tif"), e, epsg=32633, transform=(500000, 30, 0, 4000000, 0, -30))
    arc = 1.0 / 3600
    write(os.path.join(d, "geo.tif"), e, epsg=4326, transform=(6, arc, 0, 46, 0, -arc))
    i16 = rng.integers(-50, 3000, (h, w)).astype(np.int16)
    i16[rng.random((h, w)) < 0.1] = -32768
    write(os.path.join(d, "i16.tif"), i16, epsg=32633, transform=(0, 10, 0, 0, 0, -10), nodata=-32768)
    hgt = rng.integers(0, 4000, (1201, 1201)).astype(np.int16)
    write(os.path.join(d, "N45E006.hgt"), hgt, driver="SRTMHGT", epsg=4326,
          transform=(6 - 0.5 / 1200, 1 / 1200, 0, 46 + 0.5 / 1200, 0, -1 / 1200))
    asc = np.round(e, 2).astype(np.float32)
    asc[3, 4:9] = -9999
    write(os.path.join(d, "grid.asc"), asc, driver="AAIGrid", transform=(0, 5, 0, 0, 0, -5), nodata=-9999)
    i16f = np.where(i16 == -32768, np.nan, i16)
    ascf = np.where(asc == -9999, np.nan, gdal.Open(os.path.join(d, "grid.asc")).ReadAsArray())
    table = [  # file, options, elevations, cell size in metres, z_scale, fit
        ("proj.tif", [], e, 30.0, 1.0, False),
        ("proj.tif", ["--z-scale=2.5"], e, 30.0, 2.5, False),
        ("proj.tif", ["--z-scale=40"], e, 30.0, 40.0, False),  # lowered to fit
        ("geo.tif", [], e, arc * 111320.0, 1.0, False),
        ("i16.tif", ["--fit"], i16f, 10.0, 1.0, True),
        ("i16.tif", ["--z-scale=0.5"], i16f, 10.0, 0.5, False),
        ("N45E006.hgt", [], hgt, 111320.0 / 1200, 1.0, False),
        ("grid.asc", [], ascf, 5.0, 1.0, False),
    ]
    for name, opts, elevations, cell, z_scale, fit in table:
        r = run(["--terrain=" + name, "--heightmap=h.png"] + opts + ["x.png"], d)
        got = grey16(os.path.join(d, "h.png")) if r.returncode == 0 else None
        want = heights(elevations, cell, z_scale, fit)
        lowered = "lowered" in r.stderr
        check(r.returncode == 0 and np.array_equal(got, want) and lowered == (opts == ["--z-scale=40"]),
              "%s %s: heights by the mapping (cell %.6g m) (%r)" % (name, opts, cell, r.stderr))

    # The GeoTIFF heightmap reads back to the same heights and picture bytes,
    # with the source's georeferencing.
    for name in ("i16.tif", "geo.tif"):
        a = run(["--terrain=" + name, "--z-scale=2", "--heightmap=rt.tif", "a.png"], d)
        c = run(["--terrain=" + name, "--z-scale=2", "--heightmap=ha.png", "c.png"], d)
        b = run(["--terrain=rt.tif", "--z-scale=2", "--heightmap=hb.png", "b.png"], d)
        same = a.returncode == b.returncode == c.returncode == 0 and \
            open(os.path.join(d, "a.png"), "rb").read() == open(os.path.join(d, "b.png"), "rb").read() and \
            np.array_equal(grey16(os.path.join(d, "ha.png")), grey16(os.path.join(d, "hb.png")))
        src, back = gdal.Open(os.path.join(d, name)), gdal.Open(os.path.join(d, "rt.tif"))
        geo = (src.GetGeoTransform() == back.GetGeoTransform() and
               osr.SpatialReference(src.GetProjection()).IsSame(osr.SpatialReference(back.GetProjection())))
        check(same and geo,
              "%s round trip through a GeoTIFF heightmap (%r %r)" % (name, a.stderr, b.stderr))

    # The ramp against gdaldem's colour relief of the same file.
    ramp = os.path.join(d, "ramp.txt")
    with open(ramp, "w") as f:
        f.write("# a ramp\n0%  20 40 200\n300,80,160,60\n50% 240:220:40\n700\t150 75 20\n100% 255 255 255\nnv 9 8 7\n")
    for name in ("i16.tif", "proj.tif"):
        subprocess.run(["gdaldem", "color-relief", "-q", name, ramp, "relief.tif"], cwd=d, check=True,
                       capture_output=True, env=dict(os.environ, GDAL_PAM_ENABLED="NO"))
        want = gdal.Open(os.path.join(d, "relief.tif")).ReadAsArray()[:3].transpose(1, 2, 0).astype(np.int32)
        r = run(FLAT + ["-w%d" % w, "-h%d" % h, "--terrain=" + name, "--colour-ramp=ramp.txt", "x.png"], d)
        diff = np.abs(rgb(os.path.join(d, "x.png")) - want).max() if r.returncode == 0 else None
        check(diff is not None and diff <= 1, "%s: --colour-ramp within %s of gdaldem (%r)" % (name, diff, r.stderr))

    # Palette PNGs and 3-band rasters as colour maps, as their RGB.
    colours = rng.integers(0, 256, (h, w, 3)).astype(np.uint8)
    Image.fromarray(colours).convert("P").save(os.path.join(d, "pal.png"))
    write(os.path.join(d, "ortho.tif"), colours.transpose(2, 0, 1))
    for name, want in (("pal.png", rgb(os.path.join(d, "pal.png"))), ("ortho.tif", colours.astype(np.int32))):
        r = run(FLAT + ["-w%d" % w, "-h%d" % h, "--terrain=proj.tif", "--colours=" + name, "x.png"], d)
        check(r.returncode == 0 and np.array_equal(rgb(os.path.join(d, "x.png")), want),
              "%s shown as its RGB (%r)" % (name, r.stderr))


def bad_files(d):
    h, w = 29, 41
    good = open(os.path.join(d, "proj.tif"), "rb").read()
    open(os.path.join(d, "text.tif"), "w").write("not a raster\n")
    plain = np.arange(h * w, dtype=np.float32).reshape(h, w)
    write(os.path.join(d, "plain.tif"), plain)
    data = open(os.path.join(d, "plain.tif"), "rb").read()
    open(os.path.join(d, "half.tif"), "wb").write(data[:len(data) // 2])
    open(os.path.join(d, "bad-ifd.tif"), "wb").write(good[:4] + b"\xff\xff\xff\x7f" + good[8:])
    write(os.path.join(d, "three.tif"), np.zeros((3, h, w), np.uint8))
    write(os.path.join(d, "void.tif"), np.full((h, w), -1, np.float32), nodata=-1)
    write(os.path.join(d, "two.tif"), np.zeros((2, h, w), np.uint8))
    write(os.path.join(d, "small.tif"), np.zeros((3, h - 1, w), np.uint8))
    subprocess.run(["gdal_create", "-q", "-ot", "Byte", "-outsize", "70000", "2", "-co", "SPARSE_OK=YES",
                    "-co", "TILED=YES", os.path.join(d, "huge.tif")], check=True)
    open(os.path.join(d, "bad-ramp.txt"), "w").write("# ramp\n0 0 0 0\n100 red 0 0\n")
    cases = [  # arguments, status, words of the message
        (["--terrain=text.tif"], 2, ["text.tif", "not a raster"]),
        (["--terrain=half.tif"], 2, ["half.tif"]),
        (["--terrain=bad-ifd.tif"], 2, ["bad-ifd.tif"]),
        (["--terrain=three.tif"], 2, ["three.tif", "3 bands", "--band"]),
        (["--terrain=three.tif", "--band=4"], 2, ["--band=4", "3 bands"]),
        (["--terrain=void.tif"], 2, ["void.tif", "nodata"]),
        (["--terrain=proj.tif", "--colours=two.tif"], 2, ["two.tif", "2 bands"]),
        (["--terrain=proj.tif", "--colours=small.tif"], 2, ["small.tif", "41 x 28", "41 x 29"]),
        (["--terrain=proj.tif", "--colour-ramp=bad-ramp.txt"], 2, ["bad-ramp.txt", "line 3"]),
        (["--terrain=proj.tif", "--colour-ramp=missing.txt"], 1, ["missing.txt", os.strerror(2)]),
        (["--terrain=huge.tif"], 2, ["huge.tif", "70000 x 2", "65536"]),
        (["--terrain=missing.tif"], 1, ["missing.tif", os.strerror(2)]),
    ]
    for args, status, words in cases:
        r = run(args + ["--heightmap=out-h.tif", "y.png"], d)
        lines = r.stderr.splitlines()
        made = [f for f in ("y.png", "out-h.tif") if os.path.exists(os.path.join(d, f))]
        ok = r.returncode == status and len(lines) == 1 and all(x in lines[0] for x in words) and not made
        check(ok, "bad raster %s: status %s, %r, writes %s" % (args, r.returncode, r.stderr, made))
        for f in made:
            os.remove(os.path.join(d, f))
    check(not [f for f in os.listdir(d) if f.startswith(".") or f.endswith(".aux.xml")],
          "no temporary or side file left")


with tempfile.TemporaryDirectory() as work:
    seed = int(os.environ.get("RELVANE_SEED", "0") or 0) or int.from_bytes(os.urandom(2), "little")
    print("random elevations from seed %d" % seed)
    write(os.path.join(work, "probe.tif"), np.zeros((3, 3), np.float32))
    if "not a PNG" in run(["--terrain=probe.tif", "p.png"], work).stderr:
        print("SKIP: relvane-render is built without GDAL")
        sys.exit(77)
    fixtures(work, np.random.default_rng(seed))
    bad_files(work)
if failures:
    print("%d failed" % len(failures))
    sys.exit(1)
