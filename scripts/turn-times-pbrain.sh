#!/usr/bin/env bash
# How long pbrain-brenk-threats takes for a turn, seen from outside as a Gomocup manager sees it:
# one running brain gets each built-in bench position (`brenk-cli bench --write`) as a BOARD
# command, the bench's side to move as its own stones, and the wall time runs from sending BOARD
# to reading the answer line. Two sessions, each in a fresh brain:
#   turn   INFO timeout_turn T (default 1000), no match clock;
#   match  Gomocup's fast clock: timeout_turn 5000, timeout_match 120000, and before every turn
#          INFO time_left, the match time less every turn so far, as the manager counts it.
# Every answer must be "x,y" of an empty cell; a turn is OVER when it takes longer than the
# manager allows it (timeout_turn, or the time left if that is less). Prints a line per turn
# (position, decision, depth, wall ms, the limit, OK/OVER) and each session's slowest turn.
#
#   scripts/turn-times-pbrain.sh [--turn MS] [--brain PATH] [--session turn|match|both]
#
# Without --brain it builds first (scripts/build.sh release) and runs build/apps/pbrain-brenk-threats;
# with it, it runs PATH and the brenk-cli next to it. A benchmark, not a test: ctest never runs it.
# Exit status 0 when every turn was sound and in time, 1 otherwise, 2 on a usage error.
set -euo pipefail

usage() {
  echo "usage: $0 [--turn MS] [--brain PATH] [--session turn|match|both]" >&2
  exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
turn=1000
brain=""
session=both
while [ $# -gt 0 ]; do
  case "$1" in
    --turn | --brain | --session)
      [ $# -ge 2 ] || usage
      case "$1" in
        --turn) turn=$2 ;;
        --brain) brain=$2 ;;
        --session) session=$2 ;;
      esac
      shift 2
      ;;
    -h | --help) usage ;;
    *) echo "$0: unknown argument $1" >&2; usage ;;
  esac
done
[[ "$turn" =~ ^[1-9][0-9]{0,7}$ ]] || { echo "$0: --turn needs a whole number of milliseconds, 1 or more" >&2; usage; }
case "$session" in turn | match | both) ;; *) usage ;; esac

# shellcheck source=scripts/lib/bench-positions.sh
source "$root/scripts/lib/bench-positions.sh"
brain=$(bp_tool "$root" "$brain" build/apps/pbrain-brenk-threats brain)
cli="$(dirname "$brain")/brenk-cli"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/brenk-turn-times-pbrain.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
bp_write "$cli" "$tmp"

echo "turn-times-pbrain: $brain, $(wc -l <"$tmp/written") positions, load $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$brain" "$tmp/written" "$turn" "$session" <<'EOF'
import os
import re
import select
import subprocess
import sys
import time

brain, written, turn_text, which = sys.argv[1:5]
MATCH_MS = 120000   # Gomocup's fast league: 120 s a match
MATCH_TURN_MS = 5000  # and at most 5 s a move
HANG_MS = 30000     # past its limit by this much a brain would hang a tournament: stop it


def position(directory):
    """The stones as (x, y, field) with the side to move's stones as 1, and the empty cells."""
    with open(os.path.join(directory, "plocha.dat")) as f:
        rows = [line.strip() for line in f if line.strip()]
    with open(os.path.join(directory, "tah.dat")) as f:
        own = f.read().strip()
    stones, empty = [], set()
    for y, row in enumerate(rows):
        for x, cell in enumerate(row):
            if cell == "-":
                empty.add((x, y))
            else:
                stones.append((x, y, 1 if cell == own else 2))
    return stones, empty


class Brain:
    def __init__(self):
        self.process = subprocess.Popen([brain], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        self.buffer = b""

    def send(self, lines):
        self.process.stdin.write("".join(line + "\r\n" for line in lines).encode())
        self.process.stdin.flush()

    def line(self, deadline):
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                return None
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode(errors="replace").rstrip("\r")

    def answer(self, deadline):
        """The next line a manager acts on, and the DEBUG and MESSAGE lines before it."""
        notes = []
        while True:
            line = self.line(deadline)
            if line is None or not (line.startswith("DEBUG ") or line.startswith("MESSAGE ")):
                return line, notes
            notes.append(line)

    def close(self):
        try:
            self.send(["END"])
            self.process.stdin.close()
            self.process.wait(10)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        return self.process.returncode


def describe(notes):
    decision = depth = "-"
    for note in notes:
        m = re.match(r"DEBUG decision (\S+),", note)
        if m:
            decision = m.group(1)
        m = re.match(r"MESSAGE alpha-beta: depth (\d+)", note)
        if m:
            depth = m.group(1)
    return decision, depth


def run_session(name, setup, turn_limit, match_clock):
    print(f"== session {name}: " + ", ".join(setup))
    print(f"{'position':<28} {'decision':<12} {'depth':>5} {'wall ms':>8} {'limit':>7}  verdict")
    b = Brain()
    b.send(["START 20"] + setup)
    ok_line, _ = b.answer(time.monotonic() + 10)
    faults, turns, left = [], [], MATCH_MS
    if ok_line != "OK":
        faults.append(f"START answered {ok_line!r}")
    with open(written) as f:
        sources = [line.rstrip("\n") for line in f if line.strip()]
    for source in sources if not faults else []:
        stones, empty = position(source)
        limit = min(turn_limit, left) if match_clock else turn_limit
        if match_clock:
            b.send([f"INFO time_left {left}"])
        start = time.monotonic()
        b.send(["BOARD"] + [f"{x},{y},{v}" for x, y, v in stones] + ["DONE"])
        answer, notes = b.answer(start + (limit + HANG_MS) / 1000)
        wall = (time.monotonic() - start) * 1000
        left -= round(wall)
        decision, depth = describe(notes)
        problem = ""
        m = re.fullmatch(r"(\d{1,2}),(\d{1,2})", answer or "")
        if answer is None:
            problem = "no answer"
        elif empty and not (m and (int(m[1]), int(m[2])) in empty):
            problem = f"not an empty cell: {answer}"
        elif not empty and not answer.startswith("ERROR"):
            problem = f"a full board answered {answer}"
        verdict = "OK" if wall <= limit else "OVER"
        label = os.path.basename(source)
        print(f"{label:<28} {decision:<12} {depth:>5} {wall:8.0f} {limit:7d}  {verdict}"
              + (f"  FAULT: {problem}" if problem else ""), flush=True)
        turns.append((label, wall, limit))
        if problem or verdict == "OVER":
            faults.append(label)
        if answer is None:
            break
    status = b.close()
    if status != 0:
        faults.append(f"exit status {status}")
    if turns:
        slowest = max(turns, key=lambda t: t[1])
        closest = max(turns, key=lambda t: t[1] / t[2])
        print(f"slowest turn: {slowest[0]}, {slowest[1]:.0f} ms of {slowest[2]} ms;"
              f" nearest its limit: {closest[0]}, {100 * closest[1] / closest[2]:.0f} %"
              + (f"; match time left {left} ms of {MATCH_MS}" if match_clock else ""))
    print(f"session {name}: " + ("OK" if not faults else "FAULTY: " + ", ".join(faults)))
    return not faults


sound = True
if which in ("turn", "both"):
    turn_ms = int(turn_text)
    sound &= run_session("turn", [f"INFO timeout_turn {turn_ms}", "INFO timeout_match 0"], turn_ms, False)
if which in ("match", "both"):
    sound &= run_session("match", [f"INFO timeout_turn {MATCH_TURN_MS}", f"INFO timeout_match {MATCH_MS}"],
                         MATCH_TURN_MS, True)
sys.exit(0 if sound else 1)
EOF
