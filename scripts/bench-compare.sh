#!/usr/bin/env bash
# Compares the search's speed and memory of another revision with the working tree's. Builds
# brenk-bench of git revision REV in a temporary worktree and of the working tree (uncommitted
# changes included) in build-bench-compare/, then runs `brenk-bench search --ms N` with both in
# turn (old, new, old, new, ...), K times each, so that whatever else the machine is doing
# weighs on both alike.
#
#   scripts/bench-compare.sh REV [--ms N] [--runs K] [--budget-mib M]
#
# Prints each run's figures (iterations and nodes created per second, tree heap per node, peak
# tree memory, peak RSS, what ended the search, search time), then the median rates of each build
# and their ratio new/old. A search stopped by its memory budget ran for less than the allowance,
# but its rates per second still compare; such runs are named. Figures only, nothing is judged:
# exit status 0 when every run gave its figures, 1 when one did not, 2 on usage or build errors.
set -euo pipefail

usage() {
  echo "usage: $0 REV [--ms N] [--runs K] [--budget-mib M]" >&2
  exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
rev=""
ms=3500
runs=3
budget=""
while [ $# -gt 0 ]; do
  case "$1" in
    --ms | --runs | --budget-mib)
      [ $# -ge 2 ] || usage
      case "$1" in
        --ms) ms=$2 ;;
        --runs) runs=$2 ;;
        --budget-mib) budget=$2 ;;
      esac
      shift 2
      ;;
    -h | --help) usage ;;
    -*) echo "$0: unknown option $1" >&2; usage ;;
    *)
      [ -z "$rev" ] || usage
      rev=$1
      shift
      ;;
  esac
done
[ -n "$rev" ] || usage
[[ "$ms" =~ ^[1-9][0-9]{0,8}$ ]] || { echo "$0: --ms needs a whole number of 1 or more" >&2; usage; }
[[ "$runs" =~ ^[1-9][0-9]{0,3}$ ]] || { echo "$0: --runs needs a whole number of 1 or more" >&2; usage; }
if [ -n "$budget" ] && ! [[ "$budget" =~ ^[1-9][0-9]{0,6}$ ]]; then
  echo "$0: --budget-mib needs a whole number of 1 or more" >&2
  usage
fi

# shellcheck source=scripts/lib/worktree-build.sh
. "$root/scripts/lib/worktree-build.sh"
wt_start "$root" "$rev" bench-compare

"$root/scripts/deps.sh"

worktree="$tmp/rev"
wt_add "$root" "$hash" "$worktree"
wt_build bench-compare "$worktree" "$worktree/build" "REV $rev ($short)" "$tmp/build-old.log" brenk-bench || exit 2
wt_build bench-compare "$root" "$root/build-bench-compare" "$working_tree" "$tmp/build-new.log" brenk-bench ||
  exit 2
old_bench="$worktree/build/bench/brenk-bench"
new_bench="$root/build-bench-compare/bench/brenk-bench"

args=(search --ms "$ms")
[ -z "$budget" ] || args+=(--budget-mib "$budget")

# The figures of one run's output as one line of words, and the table of all of them at the end.
cat >"$tmp/figures.py" <<'EOF'
import re
import statistics
import sys

FIELDS = {  # name: (pattern, group)
    "allowance": (r"^allowance (\d+) ms, tree budget (\d+) MiB", None),
    "iter_rate": (r"^iterations\s+\d+\s+\((\d+)/s\)", 1),
    "node_rate": (r"^nodes created\s+\d+\s+\((\d+)/s\)", 1),
    "nodes": (r"^nodes created\s+(\d+)", 1),
    "per_node": (r"^tree heap per node\s+([0-9.]+) bytes", 1),
    "tree_mib": (r"^peak tree memory\s+([0-9.]+) MiB", 1),
    "rss_mib": (r"^peak RSS\s+([0-9.]+) MiB", 1),
    "search_s": (r"^search time\s+([0-9.]+) s", 1),
    "exit_s": (r"^search end to exit\s+([0-9.]+) s", 1),
}


def parse(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    figures = {}
    for name, (pattern, group) in FIELDS.items():
        m = re.search(pattern, text, re.M)
        if m:
            figures[name] = m.group(0) if group is None else m.group(group)
    # "ended by X" since brenk-bench says so; before, only ", stopped by memory" and the root value.
    m = re.search(r"^decision .*, root value (\d+), .*$", text, re.M)
    if m:
        ended = re.search(r"ended by (.+)$", m.group(0))
        if ended:
            figures["ended"] = ended.group(1)
        elif "stopped by memory" in m.group(0):
            figures["ended"] = "the memory budget"
        else:
            figures["ended"] = {"1": "a proof", "0": "a disproof"}.get(m.group(1), "the allowance")
    return figures


REQUIRED = ("iter_rate", "node_rate", "per_node", "tree_mib", "rss_mib", "search_s", "ended")
HEADER = f"{'run':>3}  {'build':<5}  {'iterations/s':>12}  {'nodes/s':>10}  {'B/node':>6}  {'tree MiB':>8}  " \
         f"{'RSS MiB':>7}  {'search s':>8}  ended by"


def row(run, build, f):
    return (f"{run:>3}  {build:<5}  {f['iter_rate']:>12}  {f['node_rate']:>10}  {f['per_node']:>6}  "
            f"{f['tree_mib']:>8}  {f['rss_mib']:>7}  {f['search_s']:>8}  {f['ended']}")


mode = sys.argv[1]
if mode == "header":
    print(HEADER)
elif mode == "row":  # row RUN BUILD FILE
    run, build, path = sys.argv[2:5]
    f = parse(path)
    missing = [name for name in REQUIRED if name not in f]
    if missing:
        first = open(path, errors="replace").read().strip().splitlines()[:3]
        print(f"{run:>3}  {build:<5}  no figures ({', '.join(missing)} missing): {' | '.join(first) or 'no output'}")
        sys.exit(1)
    print(row(run, build, f))
elif mode == "summary":  # summary RUNS DIR
    runs, directory = int(sys.argv[2]), sys.argv[3]
    figures = {b: [parse(f"{directory}/{b}.{i}") for i in range(1, runs + 1)] for b in ("old", "new")}
    for build in ("old", "new"):
        allowance = figures[build][0].get("allowance", "(no allowance line)")
        print(f"{build}: {allowance}")

    def median(build, key):
        return statistics.median(float(f[key]) for f in figures[build])

    for key, label in (("node_rate", "nodes created/s"), ("iter_rate", "iterations/s")):
        old, new = median("old", key), median("new", key)
        ratio = f"{new / old:.3f}" if old > 0 else "n/a"
        print(f"median {label + ':':<17} old {old:>10.0f}  new {new:>10.0f}  new/old {ratio}")
    for key, label in (("per_node", "B/node"), ("tree_mib", "peak tree MiB"), ("rss_mib", "peak RSS MiB")):
        print(f"median {label + ':':<17} old {median('old', key):>10.1f}  new {median('new', key):>10.1f}")
    for build in ("old", "new"):
        by_memory = [str(i) for i, f in enumerate(figures[build], 1) if f["ended"] == "the memory budget"]
        endings = sorted({f["ended"] for f in figures[build]})
        note = f"runs {', '.join(by_memory)} of {runs} ended by the memory budget (shorter searches)" \
            if by_memory else "no run ended by the memory budget"
        print(f"{build}: {note}; ended by: {', '.join(endings)}")
EOF

echo "bench-compare: old = REV $rev ($short), new = $working_tree"
echo "bench-compare: brenk-bench ${args[*]}, $runs runs each, alternating; $(nproc) cores," \
  "load $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$tmp/figures.py" header
failed=0
for i in $(seq 1 "$runs"); do
  for side in old new; do
    bin=$old_bench
    [ "$side" = new ] && bin=$new_bench
    status=0
    "$bin" "${args[@]}" >"$tmp/$side.$i" 2>&1 || status=$?
    python3 "$tmp/figures.py" row "$i" "$side" "$tmp/$side.$i" || failed=1
    if [ "$status" -ne 0 ]; then
      echo "     $side run $i: brenk-bench exited with status $status" >&2
      failed=1
    fi
  done
done
if [ "$failed" -ne 0 ]; then
  echo "bench-compare: a run gave no figures, so there is no summary" >&2
  exit 1
fi
echo "bench-compare: load at the end $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$tmp/figures.py" summary "$runs" "$tmp"
