#!/usr/bin/env python3
"""relvane-render against the test program's own frames, its given terrains, and its failures.

    render_test.py RELVANE-RENDER RELVANE-FRAME [--sanitized]

Pictures and heightmaps are decoded with PIL and compared with what
relvane-frame renders in-process with the same settings. Exits 77 (skip)
when PIL is missing. RELVANE_SEED picks the random settings' seed.
"""
import os
import random
import resource
import select
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

try:
    from PIL import Image
except ImportError:
    print("SKIP: python3-pil is not installed")
    sys.exit(77)

RENDER, FRAME = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
SANITIZED = "--sanitized" in sys.argv
USAGE = "usage: relvane-render [OPTION...] OUTPUT.png"
MODES = {"colour": 0, "profiles": 1, "height": 2, "light": 3}
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def run(args, cwd, limit=None, stderr_fd=None, stdout=None):
    def pre():
        if limit:
            resource.setrlimit(limit[0], (limit[1], limit[1]))
    r = subprocess.run([RENDER] + args, cwd=cwd, preexec_fn=pre, stdout=stdout or subprocess.PIPE,
                       stderr=stderr_fd or subprocess.PIPE, text=True)
    if r.stderr and ("Sanitizer" in r.stderr or "runtime error" in r.stderr):
        check(False, "sanitizer report for %s: %s" % (args, r.stderr))
    return r


def listing(d):
    """The folder's names, temporaries included."""
    return sorted(os.listdir(d))


def reference(opts, out, heights=None, frames=0, fps=30):
    """The same settings through relvane-frame; returns its picture's pixels."""
    w, h, mode, settings = 640, 480, 0, []
    for o in opts:
        if o.startswith("-w"): w = int(o[2:])
        elif o.startswith("-h"): h = int(o[2:])
        elif o.startswith("-t"): settings.append("tile=" + o[2:])
        elif o.startswith("--mode="): mode = MODES[o[7:]]
        elif o.startswith("--no-"): settings.append(o[5:] + "=0")
        else: settings.append(o[2:])
    if heights: settings.append("heights=" + heights)
    if frames: settings += ["frames=%d" % frames, "fps=%s" % fps]
    subprocess.run([FRAME, str(w), str(h), str(mode), out] + settings, check=True, stdout=subprocess.DEVNULL)
    return pixels(out)


def pixels(path):
    with Image.open(path) as im:
        return im.mode, im.size, list(im.getdata())


def random_settings(rng):
    opts = ["-w%d" % rng.randint(1, 300), "-h%d" % rng.randint(1, 300), "-t%d" % rng.choice([1, 7, 64, 128, 300])]
    ranges = {"phase": (-50, 50), "roughness": (0, 2), "amplitude": (0, 256), "base": (0, 256),
              "water": (0, 255), "haze": (0, 256), "light": (0, 90), "view": (0, 90)}
    for name, (lo, hi) in ranges.items():
        if rng.random() < 0.6:
            opts.append("--%s=%.4f" % (name, rng.uniform(lo, hi)))
    opts.append("--mode=" + rng.choice(list(MODES)))
    opts.append("--scale=%d" % rng.randint(2, 256))
    opts += [f for f in ("--no-shapes", "--no-slopes", "--no-shadows") if rng.random() < 0.25]
    return opts


def pictures(work):
    seed = int(os.environ.get("RELVANE_SEED", "15"))
    rng = random.Random(seed)
    cases = [
        [],
        ["-w320", "-h200", "--mode=profiles", "--scale=16", "--phase=2.5"],
        ["-w257", "-h131", "-t32", "--mode=height", "--scale=128", "--water=90", "--haze=0"],
        ["-w200", "-h150", "--mode=light", "--light=20", "--no-slopes"],
        ["-w300", "-h200", "--view=35", "--water=120", "--roughness=0.9", "--amplitude=250", "--base=10",
         "--no-shadows"],
        ["-w1", "-h1", "--no-shapes"],
        ["-w97", "-h300", "-t1", "--view=0", "--haze=256", "--light=90"],
    ] + [random_settings(rng) for _ in range(4)]
    print("random settings from seed %d" % seed)
    for i, opts in enumerate(cases):
        d = os.path.join(work, "p%d" % i)
        os.mkdir(d)
        r = run(opts + ["--heightmap=hm.png", "out.png"], d)
        what = "picture %s" % " ".join(opts)
        if r.returncode != 0 or r.stderr:
            check(False, "%s: status %d, %r" % (what, r.returncode, r.stderr))
            continue
        check(sorted(os.listdir(d)) == ["hm.png", "out.png"], what + ": writes exactly its two files")
        got = pixels(os.path.join(d, "out.png"))
        check(got[0] == "RGB" and got == reference(opts, os.path.join(d, "ref.ppm"), os.path.join(d, "ref.pgm")),
              what + ": equals the test program's frame")
        hm = pixels(os.path.join(d, "hm.png"))
        check(hm == pixels(os.path.join(d, "ref.pgm")), what + ": heightmap equals the scene's heights")
    # The same command writes the same bytes.
    d = os.path.join(work, "p0")
    first = open(os.path.join(d, "out.png"), "rb").read()
    run(["--heightmap=hm.png", "out.png"], d)
    check(open(os.path.join(d, "out.png"), "rb").read() == first, "the same command gives the same bytes")


def frames(work):
    d = os.path.join(work, "frames")
    os.mkdir(d)
    opts = ["-w160", "-h120", "--view=40", "--phase=-1.25"]
    r = run(opts + ["--frames=3", "--fps=24", "--heightmap=hm.png", "out.png"], d)
    check(r.returncode == 0 and not r.stderr, "frames: status 0, quiet when standard error is no terminal")
    names = ["%s-%04d.png" % (s, k) for s in ("hm", "out") for k in (1, 2, 3)]
    check(sorted(os.listdir(d)) == names, "frames: numbered pictures and heightmaps, nothing else")
    for k in (1, 2, 3):
        ref = reference(opts, os.path.join(work, "f.ppm"), os.path.join(work, "f.pgm"), frames=k, fps=24)
        check(pixels(os.path.join(d, "out-%04d.png" % k)) == ref, "frame %d equals the animated test program's" % k)
        check(pixels(os.path.join(d, "hm-%04d.png" % k)) == pixels(os.path.join(work, "f.pgm")),
              "frame %d's heightmap equals its build's heights" % k)
    # Progress on a terminal only.
    master, slave = os.openpty()
    r = run(["-w8", "-h8", "--frames=2", "tty.png"], d, stderr_fd=slave)
    os.close(slave)
    text = ""
    while select.select([master], [], [], 0.2)[0]:  # a pty may hand the lines over in pieces
        try:
            chunk = os.read(master, 4096)
        except OSError:
            break
        if not chunk:
            break
        text += chunk.decode()
    os.close(master)
    check(r.returncode == 0 and "frame 2 of 2" in text, "frames: progress on a terminal (%r)" % text)


BAD_INPUT = [  # arguments, the option the message must name
    (["--bogus", "o.png"], "--bogus"), (["-x5", "o.png"], "-x5"), (["o.png"] * 2, "output"), ([], "output"),
    (["-w0", "o.png"], "-w"), (["-w16385", "o.png"], "-w"), (["-wabc", "o.png"], "-w"), (["-w", "o.png"], "-w"),
    (["-h12.5", "o.png"], "-h"), (["-h 5", "o.png"], "-h"), (["-t0", "o.png"], "-t"), (["-t65537", "o.png"], "-t"),
    (["--phase=nan", "o.png"], "--phase"), (["--phase=inf", "o.png"], "--phase"), (["--phase", "o.png"], "--phase"),
    (["--roughness=2.01", "o.png"], "--roughness"), (["--amplitude=-1", "o.png"], "--amplitude"),
    (["--base=x", "o.png"], "--base"), (["--water=256", "o.png"], "--water"), (["--haze=257", "o.png"], "--haze"),
    (["--light=91", "o.png"], "--light"), (["--view=-0.5", "o.png"], "--view"), (["--mode=tilted", "o.png"], "--mode"),
    (["--scale=1", "o.png"], "--scale"), (["--scale=257", "o.png"], "--scale"), (["--frames=0", "o.png"], "--frames"),
    (["--frames=100000", "o.png"], "--frames"), (["--fps=0.5", "o.png"], "--fps"), (["--fps=1001", "o.png"], "--fps"),
    (["--no-shapes=1", "o.png"], "--no-shapes"), (["", "o.png"], "empty output name"),
    (["o.png", ""], "empty output name"), ([""], "empty output name"), (["--", ""], "empty output name"),
    (["--heightmap=", "o.png"], "empty value for --heightmap"), (["--water=", "o.png"], "empty value for --water"),
    (["--terrain=", "o.png"], "empty value for --terrain"), (["--colours=", "o.png"], "empty value for --colours"),
    (["--threads=-1", "o.png"], "--threads"), (["--threads=1025", "o.png"], "--threads"),
]


def bad_input(work):
    d = os.path.join(work, "bad")
    os.mkdir(d)
    for args, option in BAD_INPUT:
        r = run(args, d)
        lines = r.stderr.splitlines()
        check(r.returncode == 2 and len(lines) == 2 and option in lines[0] and lines[1] == USAGE
              and not os.listdir(d), "bad input %s: status 2, names %s, usage (%r)" % (args, option, r.stderr))


def same_file(work):
    """Two names of one file are refused before anything is written."""
    d = os.path.join(work, "same")
    os.makedirs(os.path.join(d, "sub"))
    run(["-w4", "-h4", "o.png"], d)
    os.link(os.path.join(d, "o.png"), os.path.join(d, "hard.png"))
    os.symlink("o.png", os.path.join(d, "soft.png"))
    before = {f: open(os.path.join(d, f), "rb").read() for f in ("o.png",)}
    cases = [  # arguments, the two names the message gives
        (["--heightmap=./o.png", "o.png"], "./o.png", "o.png"),
        (["--heightmap=sub/../o.png", "o.png"], "sub/../o.png", "o.png"),
        (["--frames=2", "--heightmap=./o", "o.png"], "./o-0001.png", "o-0001.png"),
        (["--colours=" + d + "/n.png", "n.png"], d + "/n.png", "n.png"),
        (["--heightmap=hard.png", "o.png"], "hard.png", "o.png"),
        (["--heightmap=soft.png", "o.png"], "soft.png", "o.png"),
        (["--terrain=o.png", "o.png"], "o.png", "o.png"),
    ]
    for args, a, b in cases:
        r = run(["-w8", "-h8"] + args, d)
        lines = r.stderr.splitlines()
        check(r.returncode == 2 and len(lines) == 1 and "same file" in lines[0] and "'%s'" % a in lines[0]
              and "'%s'" % b in lines[0] and listing(d) == ["hard.png", "o.png", "soft.png", "sub"]
              and open(os.path.join(d, "o.png"), "rb").read() == before["o.png"],
              "same file %s: status 2, names both, nothing written (%r)" % (args, r.stderr))


def unwritable(work):
    d = os.path.join(work, "io")
    os.mkdir(d)
    open(os.path.join(d, "file"), "w").close()
    os.mkdir(os.path.join(d, "dir"))
    os.mkdir(os.path.join(d, "seq-0002.png"))  # frame 2 cannot take its name
    os.mkfifo(os.path.join(d, "fifo"))
    os.symlink("missing.png", os.path.join(d, "dangling.png"))
    os.symlink("dir", os.path.join(d, "dirlink"))
    sock = socket.socket(socket.AF_UNIX)
    sock.bind(os.path.join(d, "sock"))
    fixed = set(os.listdir(d))
    long_name = "n" * 252 + ".png"  # 256 bytes
    cases = [  # arguments, limit, path in the message, reason, files afterwards
        (["file/o.png"], None, "file/o.png", os.strerror(20), []),
        (["--heightmap=file/h.png", "o.png"], None, "file/h.png", os.strerror(20), []),
        (["nodir/o.png"], None, "nodir/o.png", os.strerror(2), []),
        (["dir"], None, "dir", os.strerror(21), []),
        (["dir/"], None, "dir/", os.strerror(21), []),
        (["file/"], None, "file/", os.strerror(20), []),
        (["dirlink"], None, "dirlink", os.strerror(21), []),
        (["--heightmap=dir", "o.png"], None, "'dir'", os.strerror(21), []),
        (["--colours=dir/", "o.png"], None, "'dir/'", os.strerror(21), []),
        (["fifo"], None, "fifo", "a FIFO", []),
        (["sock"], None, "sock", "a socket", []),
        (["/dev/null"], None, "/dev/null", "a character device", []),
        (["dangling.png"], None, "dangling.png", "a symbolic link to a missing file", []),
        ([long_name], None, long_name, os.strerror(36), []),
        (["-w300", "-h300", "o.png"], (resource.RLIMIT_FSIZE, 4096), "o.png", os.strerror(27), []),
        (["-w8", "-h8", "--frames=3", "seq.png"], None, "seq-0002.png", os.strerror(21), []),
        (["--terrain=nothing.png", "o.png"], None, "nothing.png", os.strerror(2), []),
        (["--terrain=fifo", "o.png"], None, "fifo", "a FIFO", []),
        (["--terrain=dir", "o.png"], None, "dir", os.strerror(21), []),
    ]
    if not SANITIZED:  # the sanitizers' shadow memory needs the address space
        cases.append((["-w16384", "-h16384", "o.png"], (resource.RLIMIT_AS, 1 << 30), "out of memory", "MiB", []))
    for args, limit, path, why, left in cases:
        r = run(args, d, limit)
        lines = r.stderr.splitlines()
        files = sorted(set(os.listdir(d)) - fixed)
        check(r.returncode == 1 and len(lines) == 1 and path in lines[0] and why in lines[0] and files == left
              and os.path.isdir(os.path.join(d, "dir")) and not os.listdir(os.path.join(d, "dir")),
              "unwritable %s: status 1, %r, leaves %s" % (args, r.stderr, files))
        for f in files:
            os.remove(os.path.join(d, f))
    sock.close()
    check(os.path.exists("/dev/null") and not os.path.isfile("/dev/null"), "/dev/null is still a device")

    # A symbolic link is written through; a 255-byte name works.
    os.symlink("target.png", os.path.join(d, "link.png"))
    open(os.path.join(d, "target.png"), "w").close()
    name255 = "m" * 251 + ".png"
    r = run(["-w8", "-h8", "link.png"], d)
    r2 = run(["-w8", "-h8", name255], d)
    check(r.returncode == 0 and r2.returncode == 0 and os.path.islink(os.path.join(d, "link.png"))
          and pixels(os.path.join(d, "target.png"))[1] == (8, 8) and os.path.isfile(os.path.join(d, name255))
          and sorted(set(os.listdir(d)) - fixed) == sorted(["link.png", "target.png", name255]),
          "a link is written through, a 255-byte name is written (%r %r)" % (r.stderr, r2.stderr))

    # A picture and its maps are one unit: a size limit that the picture
    # passes and a map does not leaves none of them.
    u = os.path.join(work, "unit")
    os.mkdir(u)
    args = ["-w64", "-h64", "--heightmap=h.png", "--colours=c.png", "o.png"]
    run(args, u)
    sizes = sorted(os.path.getsize(os.path.join(u, f)) for f in ("h.png", "c.png", "o.png"))
    for f in ("h.png", "c.png", "o.png"):
        os.remove(os.path.join(u, f))
    r = run(args, u, (resource.RLIMIT_FSIZE, (sizes[0] + sizes[2]) // 2))
    check(r.returncode == 1 and os.strerror(27) in r.stderr and listing(u) == [],
          "a frame whose map fails leaves none of its files (%r, %s)" % (r.stderr, listing(u)))

    # --help that cannot be written.
    with open("/dev/full", "w") as full:
        r = run(["--help"], d, stdout=full)
    check(r.returncode == 1 and os.strerror(28) in r.stderr, "--help to a full disk: status 1 (%r)" % r.stderr)


def signals(work):
    """SIGINT, SIGTERM, SIGHUP with a temporary in flight remove it and end by the signal."""
    cases = [
        (signal.SIGINT, ["-w64", "-h64", "--frames=400", "--heightmap=h.png", "f.png"]),
        (signal.SIGTERM, ["-w64", "-h64", "--frames=400", "--heightmap=h.png", "--colours=c.png", "f.png"]),
        (signal.SIGHUP, ["-w64", "-h64", "--frames=400", "--heightmap=h.png", "f.png"]),
        (signal.SIGINT, ["-w3000", "-h3000", "o.png"]),
    ]
    for sig, args in cases:
        d = tempfile.mkdtemp(dir=work)
        p = subprocess.Popen([RENDER] + args, cwd=d, stderr=subprocess.PIPE, text=True)
        seen = False
        for _ in range(2000):
            if any(f.startswith(".") for f in os.listdir(d)):
                seen = True
                break
            time.sleep(0.005)
        p.send_signal(sig)
        p.wait()
        left = [f for f in listing(d) if f.startswith(".")]
        check(seen and p.returncode == -sig and not left,
              "%s %s: ends by the signal (%d), no temporary left %s" % (sig.name, args, p.returncode, left))
    # What a shell reports: 128 + signal.
    d = tempfile.mkdtemp(dir=work)
    r = subprocess.run(["sh", "-c", '"$0" -w3000 -h3000 o.png & p=$!; sleep 0.3; kill -TERM $p; wait $p; echo $?',
                        RENDER], cwd=d, capture_output=True, text=True)
    check(r.stdout.strip() == str(128 + signal.SIGTERM) and listing(d) == [],
          "SIGTERM: the shell sees status %s, nothing left %s" % (r.stdout.strip(), listing(d)))


def terrain(work):
    """Given heights and colours: the round trip, other programs' files, bad files."""
    d = os.path.join(work, "terrain")
    os.mkdir(d)
    rng = random.Random(int(os.environ.get("RELVANE_SEED", "15")) + 1)
    view = ["--water=%d" % rng.randint(0, 200), "--haze=%d" % rng.randint(0, 256), "--light=%d" % rng.randint(5, 90)]
    settings = [["--mode=" + m] for m in MODES] + [["--view=35", "--water=100"], ["--view=0"], view,
                                                  random_settings(rng), random_settings(rng)]
    for opts in settings:
        sized = [o for o in opts if o[:2] in ("-w", "-h")] or ["-w%d" % rng.randint(1, 90), "-h%d" % rng.randint(1, 90)]
        looks = [o for o in opts if not o.startswith(("-w", "-h", "-t", "--phase", "--rough", "--amp", "--base",
                                                      "--no-shapes"))]
        r1 = run(opts + sized + ["--heightmap=h.png", "--colours=c.png", "a.png"], d)
        r2 = run(looks + ["--terrain=h.png", "--colours=c.png", "b.png"], d)
        same = r1.returncode == 0 and r2.returncode == 0 and \
            open(os.path.join(d, "a.png"), "rb").read() == open(os.path.join(d, "b.png"), "rb").read()
        check(same and pixels(os.path.join(d, "c.png"))[0] == "RGB",
              "round trip %s: the same picture bytes (%r %r)" % (opts + sized, r1.stderr, r2.stderr))
    r1 = run(["-w40", "-h30", "--view=50", "--frames=2", "--heightmap=h.png", "--colours=c.png", "a.png"], d)
    r2 = run(["--view=50", "--terrain=h-0002.png", "--colours=c-0002.png", "b.png"], d)
    check(r1.returncode == 0 and r2.returncode == 0 and
          open(os.path.join(d, "a-0002.png"), "rb").read() == open(os.path.join(d, "b.png"), "rb").read(),
          "round trip of an animated frame")

    # Other programs' files: z = 8-bit value x 256 or the 16-bit value;
    # colours from RGB, RGBA or grey, the base colour without.
    w, h = 37, 23
    z8 = [rng.randrange(256) for _ in range(w * h)]
    z16 = [rng.randrange(65536) for _ in range(w * h)]
    rgb = [tuple(rng.randrange(256) for _ in range(3)) for _ in range(w * h)]
    im = Image.new("L", (w, h)); im.putdata(z8); im.save(os.path.join(d, "z8.png"))
    im = Image.new("I;16", (w, h)); im.putdata(z16); im.save(os.path.join(d, "z16.png"))
    im = Image.new("RGB", (w, h)); im.putdata(rgb); im.save(os.path.join(d, "rgb.png"))
    im.convert("RGBA").save(os.path.join(d, "rgba.png"))
    im.convert("L").save(os.path.join(d, "grey.png"))
    im.convert("P").save(os.path.join(d, "pal.png"))
    grey = list(Image.open(os.path.join(d, "grey.png")).getdata())
    flat = ["--no-slopes", "--no-shadows", "--haze=0", "-w%d" % w, "-h%d" % h]
    for heights, want in (("z8.png", [v * 256 for v in z8]), ("z16.png", z16)):
        r = run(["--terrain=" + heights, "--heightmap=out-h.png", "x.png"], d)
        got = list(Image.open(os.path.join(d, "out-h.png")).getdata())
        check(r.returncode == 0 and got == want and pixels(os.path.join(d, "x.png"))[1] == (w - 1, h - 1),
              "%s gives its heights, a %d x %d picture (%r)" % (heights, w - 1, h - 1, r.stderr))
    for colours, want in (("rgb.png", rgb), ("rgba.png", rgb), ("grey.png", [(g, g, g) for g in grey]),
                          (None, [(160, 128, 96)] * (w * h))):
        r = run(flat + ["--terrain=z16.png"] + (["--colours=" + colours] if colours else []) + ["x.png"], d)
        check(r.returncode == 0 and pixels(os.path.join(d, "x.png"))[2] == want,
              "colours from %s shown as they are (%r)" % (colours, r.stderr))
    r = run(["--terrain=z8.png", "-w80", "-h60", "--view=30", "--phase=2", "-t4", "x.png"], d)
    check(r.returncode == 0 and pixels(os.path.join(d, "x.png"))[1] == (80, 60) and
          r.stderr.strip() == "relvane-render: --phase, -t: no effect with --terrain",
          "a screen larger than the terrain, idle options named (%r)" % r.stderr)

    # Bad files: status, message, no output.
    os.remove(os.path.join(d, "out-h.png"))
    data = open(os.path.join(d, "z16.png"), "rb").read()
    open(os.path.join(d, "text.png"), "w").write("not a picture\n")
    open(os.path.join(d, "half.png"), "wb").write(data[:len(data) // 2])
    open(os.path.join(d, "bad-crc.png"), "wb").write(data[:40] + bytes([data[40] ^ 0xFF]) + data[41:])

    def with_size(width, height):  # a true header over the 37 x 23 image data
        body = b"IHDR" + struct.pack(">IIBBBBB", width, height, 16, 0, 0, 0, 0)
        return data[:8] + struct.pack(">I", 13) + body + struct.pack(">I", zlib.crc32(body)) + data[33:]
    open(os.path.join(d, "lying.png"), "wb").write(with_size(3000, 2000))
    open(os.path.join(d, "huge.png"), "wb").write(with_size(70000, 2))
    open(os.path.join(d, "huger.png"), "wb").write(with_size(2 ** 31 - 1, 2 ** 31 - 1))
    Image.new("L", (1, 5)).save(os.path.join(d, "thin.png"))
    Image.new("L", (w + 1, h)).save(os.path.join(d, "wider.png"))
    Image.new("I;16", (w, h)).convert("RGB").save(os.path.join(d, "z-rgb.png"))
    Image.new("L", (w, h)).save(os.path.join(d, "interlaced.png"))
    subprocess.run(["convert", os.path.join(d, "z8.png"), "-interlace", "PNG", os.path.join(d, "interlaced.png")])
    cases = [  # arguments, status, words of the message
        (["--terrain=text.png"], 2, ["text.png", "not a"]),
        (["--terrain=half.png"], 2, ["half.png", "not a whole PNG", "ends early"]),
        (["--terrain=bad-crc.png"], 2, ["bad-crc.png", "not a whole PNG"]),
        (["--terrain=lying.png"], 2, ["lying.png", "not a whole PNG"]),
        (["--terrain=huge.png"], 2, ["huge.png", "70000 x 2", "65536"]),
        (["--terrain=huger.png"], 2, ["huger.png", "2147483647 x 2147483647", "65536"]),
        (["--terrain=thin.png"], 2, ["thin.png", "1 x 5", "-w"]),
        (["--terrain=rgb.png"], 2, ["rgb.png", "8-bit RGB", "greyscale"]),
        (["--terrain=interlaced.png"], 2, ["interlaced 8-bit greyscale"]),
        (["--terrain=z8.png", "--colours=z16.png"], 2, ["z16.png", "16-bit greyscale"]),
        (["--terrain=z8.png", "--colours=wider.png"], 2, ["wider.png", "38 x 23", "37 x 23"]),
        (["--terrain=z8.png", "--colours=half.png"], 2, ["half.png"]),
        (["--terrain=z8.png", "--colours=missing.png"], 1, ["missing.png", os.strerror(2)]),
    ]
    # A few fuzzed files, half with their checksums made right again so that
    # the damage reaches the decoder: any status but a crash, and nothing
    # written on failure.
    for i in range(8):
        b = bytearray(data)
        for _ in range(rng.randint(1, 8)):
            b[rng.randrange(8, len(b))] = rng.randrange(256)
        at = 8
        while i % 2 and at + 12 <= len(b):
            n = struct.unpack(">I", b[at:at + 4])[0]
            if at + 12 + n > len(b):
                break
            b[at + 8 + n:at + 12 + n] = struct.pack(">I", zlib.crc32(bytes(b[at + 4:at + 8 + n])))
            at += 12 + n
        open(os.path.join(d, "fuzz%d.png" % i), "wb").write(bytes(b))
        cases.append((["--terrain=fuzz%d.png" % i], None, []))
    for args, status, words in cases:
        r = run(args + ["--heightmap=out-h.png", "y.png"], d)
        lines = r.stderr.splitlines()
        made = [f for f in ("y.png", "out-h.png") if os.path.exists(os.path.join(d, f))]
        if status is None:
            ok = r.returncode == 0 and len(made) == 2 or r.returncode in (1, 2) and not made and len(lines) == 1
        else:
            ok = r.returncode == status and len(lines) == 1 and all(x in lines[0] for x in words) and not made
        check(ok, "bad terrain %s: status %s, %r, writes %s" % (args, r.returncode, r.stderr, made))
        for f in made:
            os.remove(os.path.join(d, f))
    check(not [f for f in listing(d) if f.startswith(".")], "no temporary left by the given terrains")


with tempfile.TemporaryDirectory() as work:
    pictures(work)
    frames(work)
    bad_input(work)
    same_file(work)
    unwritable(work)
    signals(work)
    terrain(work)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
