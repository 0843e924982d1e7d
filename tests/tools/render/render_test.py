#!/usr/bin/env python3
"""relvane-render against the test program's own frames, and its failures.

    render_test.py RELVANE-RENDER RELVANE-FRAME [--sanitized]

Pictures and heightmaps are decoded with PIL and compared with what
relvane-frame renders in-process with the same settings. Exits 77 (skip)
when PIL is missing. RELVANE_SEED picks the random settings' seed.
"""
import os
import random
import resource
import signal
import subprocess
import sys
import tempfile

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


def run(args, cwd, limit=None, stderr_fd=None):
    def pre():
        if limit:
            resource.setrlimit(limit[0], (limit[1], limit[1]))
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    return subprocess.run([RENDER] + args, cwd=cwd, preexec_fn=pre, capture_output=stderr_fd is None,
                          stderr=stderr_fd, text=True)


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
    text = os.read(master, 4096).decode()
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
    (["--no-shapes=1", "o.png"], "--no-shapes"), (["--heightmap=o.png", "o.png"], "--heightmap"),
    (["--frames=2", "--heightmap=o", "o.png"], "--heightmap"),
]


def bad_input(work):
    d = os.path.join(work, "bad")
    os.mkdir(d)
    for args, option in BAD_INPUT:
        r = run(args, d)
        lines = r.stderr.splitlines()
        check(r.returncode == 2 and len(lines) == 2 and option in lines[0] and lines[1] == USAGE
              and not os.listdir(d), "bad input %s: status 2, names %s, usage (%r)" % (args, option, r.stderr))


def unwritable(work):
    d = os.path.join(work, "io")
    os.mkdir(d)
    open(os.path.join(d, "file"), "w").close()
    os.mkdir(os.path.join(d, "seq-0002.png"))  # frame 2 cannot take its name
    cases = [  # arguments, limit, path in the message, reason, files afterwards
        (["file/o.png"], None, "file/o.png", os.strerror(20), []),
        (["--heightmap=file/h.png", "o.png"], None, "file/h.png", os.strerror(20), []),
        (["nodir/o.png"], None, "nodir/o.png", os.strerror(2), []),
        (["-w300", "-h300", "o.png"], (resource.RLIMIT_FSIZE, 4096), "o.png", os.strerror(27), []),
        (["-w8", "-h8", "--frames=3", "seq.png"], None, "seq-0002.png", os.strerror(21), ["seq-0001.png"]),
    ]
    if not SANITIZED:  # the sanitizers' shadow memory needs the address space
        cases.append((["-w16384", "-h16384", "o.png"], (resource.RLIMIT_AS, 1 << 30), "out of memory", "MiB", []))
    for args, limit, path, why, left in cases:
        r = run(args, d, limit)
        lines = r.stderr.splitlines()
        files = sorted(set(os.listdir(d)) - {"file", "seq-0002.png"})
        check(r.returncode == 1 and len(lines) == 1 and path in lines[0] and why in lines[0] and files == left,
              "unwritable %s: status 1, %r, leaves %s" % (args, r.stderr, files))
        for f in files:
            os.remove(os.path.join(d, f))


with tempfile.TemporaryDirectory() as work:
    pictures(work)
    frames(work)
    bad_input(work)
    unwritable(work)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
