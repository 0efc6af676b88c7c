#!/usr/bin/env python3
"""Depth and speed of pbrain-brenk-threats next to a peer brain's, on brenk-cli bench's positions.

Each position (written by `brenk-cli bench --write`) goes to both brains as a BOARD at the same
turn time; the script reads what each says of its own search (Brenk's MESSAGE line, Rapfi's
"Speed | Depth | Node" line) and prints one row per position and the medians.

Usage: scripts/peer-speed.py [--brain PATH] [--peer PATH] [--turn-ms MS] [--cli PATH]
The peer defaults to ../shared/peers/rapfi/pbrain-rapfi; positions Brenk decides without a
search (quick decisions, forced wins) are listed without figures.
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def read_position(directory):
    with open(os.path.join(directory, "plocha.dat")) as board:
        cells = "".join(board.read().split())
    with open(os.path.join(directory, "tah.dat")) as symbol:
        me = "o" if symbol.read().strip() == "o" else "x"
    own, other = [], []
    for i, c in enumerate(cells[:400]):
        if c == "-":
            continue
        stone = "x" if c == "x" else "o"
        (own if stone == me else other).append((i % 20, i // 20))
    return own, other


def ask(command, own, other, turn_ms):
    # Own stones first and the opponent's last: brains that read the side to move from the
    # last stone listed then see the right one.
    lines = ["START 20", f"INFO timeout_turn {turn_ms}", "INFO timeout_match 0", "BOARD"]
    lines += [f"{x},{y},1" for x, y in own] + [f"{x},{y},2" for x, y in other] + ["DONE"]
    proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                            cwd=os.path.dirname(command[0]))
    proc.stdin.write("\n".join(lines) + "\n")
    proc.stdin.flush()
    out = []
    for line in proc.stdout:
        out.append(line.rstrip("\r\n"))
        if re.fullmatch(r"\d+,\d+", out[-1]):
            break
    proc.stdin.write("END\n")
    proc.stdin.close()
    proc.wait(timeout=10)
    return out


def brenk_figures(out):
    for line in out:
        m = re.search(r"alpha-beta: depth (\d+), score ([^,]+), (\d+) nodes, (\d+) kN/s", line)
        if m:
            return int(m.group(1)), int(m.group(3)), int(m.group(4))
    return None


def rapfi_figures(out):
    for line in reversed(out):
        m = re.search(r"Speed (\d+)([KM]?) \| Depth (\d+)-\d+ \| Eval \S+ \| Node (\d+)([KM]?)", line)
        if m:
            scale = {"": 1, "K": 1000, "M": 1000000}
            speed = int(m.group(1)) * scale[m.group(2)] // 1000
            return int(m.group(3)), int(m.group(4)) * scale[m.group(5)], speed
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--brain", default=os.path.join(ROOT, "build/apps/pbrain-brenk-threats"))
    parser.add_argument("--peer", default=os.path.join(ROOT, "../shared/peers/rapfi/pbrain-rapfi"))
    parser.add_argument("--cli", default=os.path.join(ROOT, "build/apps/brenk-cli"))
    parser.add_argument("--turn-ms", type=int, default=1000)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        listing = subprocess.run([args.cli, "bench", "--write", tmp], capture_output=True, text=True, check=True)
        dirs = [line.strip() for line in listing.stdout.splitlines() if line.strip()]
        print(f"{'position':28} {'brenk depth':>11} {'nodes':>9} {'kN/s':>6}   {'peer depth':>10} {'nodes':>9} {'kN/s':>6}")
        ours, theirs = [], []
        for directory in dirs:
            own, other = read_position(directory)
            if not own and not other:
                continue
            b = brenk_figures(ask([os.path.abspath(args.brain)], own, other, args.turn_ms))
            r = rapfi_figures(ask([os.path.abspath(args.peer)], own, other, args.turn_ms))
            name = os.path.basename(directory.rstrip("/"))
            bt = f"{b[0]:>11} {b[1]:>9} {b[2]:>6}" if b else f"{'-':>11} {'-':>9} {'-':>6}"
            rt = f"{r[0]:>10} {r[1]:>9} {r[2]:>6}" if r else f"{'-':>10} {'-':>9} {'-':>6}"
            print(f"{name:28} {bt}   {rt}")
            if b and r:
                ours.append(b)
                theirs.append(r)
        if ours:
            med = lambda rows, i: statistics.median(row[i] for row in rows)
            print(f"medians over {len(ours)} positions both searched: brenk depth {med(ours, 0)}, "
                  f"{med(ours, 2)} kN/s; peer depth {med(theirs, 0)}, {med(theirs, 2)} kN/s")


if __name__ == "__main__":
    main()
