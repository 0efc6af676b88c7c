#!/usr/bin/env python3
"""Figures for the Windows build under wine64; prints them, asserts nothing.

scripts/windows-bench.py [--runs K] [--iterations N] [--skip-turns]

1. Turn times: brenk (Linux) and brenk.exe (wine64) once each on every bench position, in a
   fresh directory without brenk.cfg (the default 3500 ms), timed from outside: start to exit.
2. Speed: `brenk-cli bench --iterations N` nodes per second of the baseline x86-64 .exe, the
   -mavx2 .exe (both under wine64) and the Linux build, K runs each taken in turn, so that a busy
   machine slows all alike; then the medians and the ratio AVX2 / baseline.
It builds what it needs first (scripts/windows.sh, scripts/windows.sh --avx2, scripts/build.sh).
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE = "/usr/lib/wine/wine64" if os.access("/usr/lib/wine/wine64", os.X_OK) else shutil.which("wine64")
LINUX = os.path.join(ROOT, "build", "apps")
WINDOWS = {"x86-64": os.path.join(ROOT, "build-windows", "apps"),
           "avx2": os.path.join(ROOT, "build-windows-avx2", "apps")}


def timed(command, cwd=None):
    start = time.monotonic()
    subprocess.run(command, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True, check=True)
    return (time.monotonic() - start) * 1000


def turn_times(scratch):
    listing = subprocess.run([os.path.join(LINUX, "brenk-cli"), "bench", "--write", os.path.join(scratch, "bench")],
                             capture_output=True, text=True, check=True).stdout.split()
    print("%-26s %9s %9s  %-6s %-6s" % ("position (3500 ms)", "linux ms", "wine ms", "linux", "wine"))
    rows = []
    for source in listing:
        moves, walls = [], []
        for command in ([os.path.join(LINUX, "brenk")], [WINE, os.path.join(WINDOWS["x86-64"], "brenk.exe")]):
            game = tempfile.mkdtemp(dir=scratch)
            shutil.copytree(source, game, dirs_exist_ok=True)
            walls.append(timed(command, cwd=game))
            with open(os.path.join(game, "tah.dat")) as move:
                moves.append(move.read())
        rows.append(walls)
        print("%-26s %9.0f %9.0f  %-6s %-6s" % (os.path.basename(source), *walls, *moves), flush=True)
    for index, name in enumerate(("linux", "wine")):
        column = [row[index] for row in rows]
        print("%s: slowest %.0f ms, median %.0f ms, margin under 4000 ms %.0f ms"
              % (name, max(column), statistics.median(column), 4000 - max(column)))


def nodes_per_second(command):
    out = subprocess.run(command, capture_output=True, text=True, check=True).stdout
    return int(re.search(r"(\d+) nodes/s", out).group(1))


def speed(runs, iterations):
    builds = {name: [WINE, os.path.join(path, "brenk-cli.exe")] for name, path in WINDOWS.items()}
    builds["linux"] = [os.path.join(LINUX, "brenk-cli")]
    rates = {name: [] for name in builds}
    for run in range(runs):
        for name, command in builds.items():
            rates[name].append(nodes_per_second(command + ["bench", "--iterations", str(iterations)]))
            print("run %d %-7s %9d nodes/s" % (run + 1, name, rates[name][-1]), flush=True)
    medians = {name: statistics.median(values) for name, values in rates.items()}
    for name, value in medians.items():
        print("median %-7s %9.0f nodes/s" % (name, value))
    print("avx2 / x86-64: %.3f;  wine x86-64 / linux: %.3f" % (medians["avx2"] / medians["x86-64"],
                                                             medians["x86-64"] / medians["linux"]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--iterations", type=int, default=20000)
    parser.add_argument("--skip-turns", action="store_true")
    options = parser.parse_args()
    if WINE is None:
        raise SystemExit("wine64 is not installed: nothing to measure (scripts/deps.sh installs it)")
    for command in (["scripts/windows.sh"], ["scripts/windows.sh", "--avx2"], ["scripts/build.sh", "release"]):
        subprocess.run(command, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    os.environ.setdefault("WINEPREFIX", os.path.join(ROOT, "build-windows", "wine-prefix"))
    os.environ["WINEDEBUG"] = "-all"
    with tempfile.TemporaryDirectory(prefix="brenk-windows-bench-") as scratch:
        if not options.skip_turns:
            turn_times(scratch)
        speed(options.runs, options.iterations)


if __name__ == "__main__":
    main()
