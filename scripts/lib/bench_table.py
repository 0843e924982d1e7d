"""Side-by-side ns per pixel from the WebAssembly fast, WebAssembly plain
and native runs of scripts/bench --web, as a Markdown table; a WebAssembly
fast case more than 5 % slower than its plain build is marked."""
import re
import sys


def ns_per_pixel(path):
    cases = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            # (the native runner names its wall-clock cases .../real_time)
            name = line.split()[0].removesuffix("/real_time") if line.strip() else ""
            m = re.search(r"ns_px=([0-9.e+-]+)", line)
            if m is None:
                # Google Benchmark's console: the counters are bare columns,
                # ns_px the first of them.
                fields = line.split()
                if len(fields) >= 7 and name.count("/") == 2 and fields[-3].isdigit():
                    cases[name] = float(fields[-2])
                continue
            cases[name] = float(m.group(1))
    return cases


def main():
    fast, plain, native = (ns_per_pixel(p) for p in sys.argv[1:4])
    print("| case | WebAssembly fast ns/px | WebAssembly plain ns/px | native ns/px | fast / plain | fast / native |")
    print("|---|---|---|---|---|---|")
    for name, f in fast.items():
        p, n = plain.get(name), native.get(name)
        vs_plain = f"{f / p:.2f}" + (" (slower)" if p and f > 1.05 * p else "") if p else "-"
        vs_native = f"{f / n:.1f}" if n else "-"
        print(f"| {name} | {f:.3f} | {p if p is not None else '-'} | {n if n is not None else '-'} | {vs_plain} | {vs_native} |")


if __name__ == "__main__":
    main()
