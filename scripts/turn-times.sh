#!/usr/bin/env bash
# How long brenk takes for a whole turn, seen from outside as a tournament manager sees it. Writes
# the built-in bench positions as game directories (`brenk-cli bench --write`), then runs the real
# brenk once on a fresh copy of each: the working directory is the copy, standard input /dev/null,
# brenk.cfg holds the allowance when --allowance is given (none otherwise: brenk's own 3500 ms).
# The wall time runs from starting the process to its exit. Every run must exit with status 0
# and leave in tah.dat "column,row" of an empty cell (no line end), and write no brenk.log.
#
#   scripts/turn-times.sh [--allowance MS] [--brenk PATH]
#
# Without --brenk it builds first (scripts/build.sh release) and runs build/apps/brenk; with it,
# it runs PATH and the brenk-cli next to it. Prints one line per position (wall ms, the move as
# tah.dat holds it, the process's peak memory: "<F" when it stayed below the F MiB that the
# starting python3 already had, which the child's count starts from) and a summary: the slowest run and its margin
# under the limit we keep, allowance + 150 ms. Exit status 0 when every run was sound and in
# time, 1 on a fault (a failed run, a bad move, a run over the limit), 2 on a usage error.
set -euo pipefail

usage() {
  echo "usage: $0 [--allowance MS] [--brenk PATH]" >&2
  exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
allowance=""
brenk=""
while [ $# -gt 0 ]; do
  case "$1" in
    --allowance | --brenk)
      [ $# -ge 2 ] || usage
      case "$1" in
        --allowance) allowance=$2 ;;
        --brenk) brenk=$2 ;;
      esac
      shift 2
      ;;
    -h | --help) usage ;;
    *) echo "$0: unknown argument $1" >&2; usage ;;
  esac
done
if [ -n "$allowance" ] && ! [[ "$allowance" =~ ^[1-9][0-9]{0,8}$ ]]; then
  echo "$0: --allowance needs a whole number of milliseconds, 1 or more" >&2
  usage
fi

# shellcheck source=scripts/lib/bench-positions.sh
source "$root/scripts/lib/bench-positions.sh"
brenk=$(bp_tool "$root" "$brenk" build/apps/brenk brenk)
cli="$(dirname "$brenk")/brenk-cli"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/brenk-turn-times.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM

bp_write "$cli" "$tmp"

echo "turn-times: $brenk, allowance ${allowance:-3500 ms (no brenk.cfg)}${allowance:+ ms (brenk.cfg)}," \
  "$(wc -l <"$tmp/written") positions, load $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$brenk" "$tmp/written" "$tmp/runs" "$allowance" <<'EOF'
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import threading
import time

brenk, written, runs, allowance_text = sys.argv[1:5]
DEFAULT_ALLOWANCE = 3500  # brenk's own when there is no brenk.cfg
MARGIN = 150              # what we allow on top of the allowance
allowance = int(allowance_text) if allowance_text else DEFAULT_ALLOWANCE
limit = allowance + MARGIN
kill_after = allowance + 10000  # a run still going then is stopped: it would hang a tournament


def empty_cells(board_file):
    # As brenk reads plocha.dat: 400 cell characters, whitespace skipped, '-' empty.
    with open(board_file, "rb") as f:
        cells = [c for c in f.read().decode("latin-1") if not c.isspace()][:400]
    cells += ["-"] * (400 - len(cells))
    return {(i % 20, i // 20) for i, c in enumerate(cells) if c == "-"}  # (column, row)


def run_once(source):
    name = os.path.basename(source)
    work = os.path.join(runs, name)
    shutil.copytree(source, work)
    if allowance_text:
        with open(os.path.join(work, "brenk.cfg"), "w") as f:
            f.write(f"{allowance}\n")
    free = empty_cells(os.path.join(work, "plocha.dat"))
    with open(os.path.join(work, "tah.dat"), "rb") as f:
        symbol = f.read()
    out_path = os.path.join(runs, name + ".out")
    with open(out_path, "wb") as out, open(os.devnull, "rb") as devnull:
        # The child's peak memory counts from the fork, so it is never less than this process's.
        floor = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
        start = time.monotonic()
        process = subprocess.Popen([brenk], cwd=work, stdin=devnull, stdout=out, stderr=subprocess.STDOUT)
        killed = []
        timer = threading.Timer(kill_after / 1000, lambda: (killed.append(True), process.send_signal(signal.SIGKILL)))
        timer.start()
        _, status, usage = os.wait4(process.pid, 0)
        wall_ms = (time.monotonic() - start) * 1000
        process.returncode = os.waitstatus_to_exitcode(status)  # reaped by wait4, not by Popen
        timer.cancel()
    faults = []
    if killed:
        faults.append(f"still running after {kill_after} ms, killed")
    elif os.WIFSIGNALED(status):
        faults.append(f"killed by signal {os.WTERMSIG(status)}")
    elif os.WEXITSTATUS(status) != 0:
        faults.append(f"exit status {os.WEXITSTATUS(status)}")
    try:
        with open(os.path.join(work, "tah.dat"), "rb") as f:
            answer = f.read()
    except OSError:
        answer = None
    match = re.fullmatch(rb"([0-9]{1,2}),([0-9]{1,2})", answer or b"")
    if answer is None:
        move = "(none)"
    else:
        move = answer.decode("latin-1") if match or answer == symbol else ascii(answer.decode("latin-1"))[:16]
    if answer is None:
        faults.append("tah.dat is gone")
    elif answer == symbol:
        faults.append("tah.dat still holds the symbol")
    elif not match:
        faults.append(f"tah.dat is not column,row: {answer[:40]!r}")
    else:
        cell = (int(match[1]), int(match[2]))
        if not free:
            if cell != (0, 0):
                faults.append("the board is full, so the move must be 0,0")
        elif cell not in free:
            faults.append("not an empty cell of the board" if max(cell) < 20 else "off the board")
    if os.path.exists(os.path.join(work, "brenk.log")):
        with open(os.path.join(work, "brenk.log"), "rb") as f:
            faults.append(f"brenk.log written: {f.read().decode('latin-1').strip()[:80]}")
    if not killed and wall_ms > limit:
        faults.append(f"over the limit of {limit} ms")
    notes = []
    printed = os.path.getsize(out_path)
    if printed:
        notes.append(f"printed {printed} bytes")
    peak = usage.ru_maxrss / 1024
    return name, wall_ms, move, (peak if peak > floor else None, floor), faults, notes


os.makedirs(runs)
with open(written) as f:
    sources = [line.rstrip("\n") for line in f if line.strip()]
results = []
width = max(len(os.path.basename(s)) for s in sources)


def mib(peak):
    value, floor = peak
    return f"{value:.1f}" if value is not None else f"<{floor:.1f}"


print(f"{'position':<{width}}  {'wall ms':>7}  {'move':<7}  {'peak MiB':>8}")
for source in sources:
    name, wall_ms, move, peak, faults, notes = run_once(source)
    results.append((name, wall_ms, peak, faults))
    extra = "".join(f"  FAULT: {fault}" for fault in faults) + "".join(f"  ({note})" for note in notes)
    print(f"{name:<{width}}  {wall_ms:7.0f}  {move:<7}  {mib(peak):>8}{extra}", flush=True)

slowest = max(results, key=lambda r: r[1])
largest = max(results, key=lambda r: r[2][0] if r[2][0] is not None else -1.0)
faulty = [r for r in results if r[3]]
margin = limit - slowest[1]
verdict = "OK" if margin >= 0 else "OVER"
total = sum(r[1] for r in results)
print(f"slowest run: {slowest[0]}, {slowest[1]:.0f} ms; limit {limit} ms (allowance {allowance} + {MARGIN}):"
      f" margin {margin:.0f} ms, {verdict}")
print(f"all {len(results)} runs: {total / 1000:.1f} s, mean {total / len(results):.0f} ms;"
      f" largest peak memory {mib(largest[2])} MiB ({largest[0]})")
if faulty:
    print(f"turn-times: {len(faulty)} of {len(results)} runs faulty: " + ", ".join(r[0] for r in faulty))
    sys.exit(1)
print(f"turn-times: all {len(results)} runs sound")
EOF
