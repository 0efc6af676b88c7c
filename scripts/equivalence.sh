#!/usr/bin/env bash
# Shows that a change of representation or speed changed no decision of the engine. Builds git
# revision REV in a temporary worktree and the working tree this script lives in (uncommitted
# changes included) into build-equivalence/, then runs `brenk-cli analyze --json` on reproducible
# random positions (scripts/random_positions.py) at fixed iteration caps with both builds and
# compares standard output, standard error and exit status byte for byte; then runs
# `brenk-cli bench` with both and compares everything in it that does not measure time or memory.
#
#   scripts/equivalence.sh REV [--count N] [--seed S] [--caps "1 10 100 1000"] [--jobs J]
#
# Prints every difference and a summary line. Exit status 0 when nothing differs, 1 when something
# does (or a run failed or timed out), 2 when the comparison could not be made (usage, build).
# The positions and outputs of differing runs are kept in build-equivalence/differences/.
set -euo pipefail

usage() {
  echo "usage: $0 REV [--count N] [--seed S] [--caps \"1 10 100 1000\"] [--jobs J]" >&2
  exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
rev=""
count=2000
seed=1
caps="1 10 100 1000"
jobs=$(nproc)
while [ $# -gt 0 ]; do
  case "$1" in
    --count | --seed | --caps | --jobs)
      [ $# -ge 2 ] || usage
      case "$1" in
        --count) count=$2 ;;
        --seed) seed=$2 ;;
        --caps) caps=$2 ;;
        --jobs) jobs=$2 ;;
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
[[ "$count" =~ ^[0-9]+$ ]] || { echo "$0: --count needs a whole number" >&2; usage; }
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || { echo "$0: --jobs needs a whole number of 1 or more" >&2; usage; }
read -r -a cap_list <<<"$caps"
[ ${#cap_list[@]} -gt 0 ] || { echo "$0: --caps needs at least one iteration cap" >&2; usage; }
for cap in "${cap_list[@]}"; do
  [[ "$cap" =~ ^[0-9]+$ ]] || { echo "$0: iteration cap \"$cap\" is not a whole number" >&2; usage; }
done
caps="${cap_list[*]}"

# shellcheck source=scripts/lib/worktree-build.sh
. "$root/scripts/lib/worktree-build.sh"
wt_start "$root" "$rev" equivalence

"$root/scripts/deps.sh"

own_build="$root/build-equivalence"
saved="$own_build/differences"

worktree="$tmp/rev"
wt_add "$root" "$hash" "$worktree"
wt_build equivalence "$worktree" "$worktree/build" "REV $rev ($short)" "$tmp/build-old.log" brenk-cli || exit 2
wt_build equivalence "$root" "$own_build" "$working_tree" "$tmp/build-new.log" brenk-cli || exit 2
old_cli="$worktree/build/apps/brenk-cli"
new_cli="$own_build/apps/brenk-cli"
rm -rf "$saved"

python3 "$root/scripts/random_positions.py" --out "$tmp/positions" --count "$count" --seed "$seed"

# compare_position DIR: runs both builds on DIR at every cap and writes one line per cap to
# $RESULTS/NAME: "NAME CAP same|differs|failed DECISION". Differing or failed runs are kept.
compare_position() {
  set -euo pipefail
  local dir=$1 name cap side bin status result decision work
  name=$(basename "$dir")
  work="$WORK/$name"
  mkdir -p "$work"
  for cap in $CAPS; do
    for side in old new; do
      bin=$OLD_CLI
      [ "$side" = new ] && bin=$NEW_CLI
      status=0
      timeout "$RUN_TIMEOUT" "$bin" analyze "$dir" --iterations "$cap" --json --memory 16384 \
        >"$work/$side.stdout" 2>"$work/$side.stderr" || status=$?
      # Stopped by Ctrl-C or kill: 255 makes xargs start no more runs.
      [ "$status" -ne 130 ] && [ "$status" -ne 143 ] || exit 255
      echo "$status" >"$work/$side.status"
    done
    if ! cmp -s "$work/old.stdout" "$work/new.stdout" || ! cmp -s "$work/old.stderr" "$work/new.stderr" ||
      ! cmp -s "$work/old.status" "$work/new.status"; then
      result=differs
    elif [ "$(cat "$work/new.status")" != 0 ]; then
      result=failed
    else
      result=same
    fi
    if [ "$result" != same ]; then
      mkdir -p "$DIFFS/$name.cap$cap"
      cp -r "$dir" "$DIFFS/$name.cap$cap/position"
      cp "$work"/old.* "$work"/new.* "$DIFFS/$name.cap$cap/"
    fi
    decision=$(sed -n 's/.*"decision":"\([^"]*\)".*/\1/p' "$work/new.stdout")
    echo "$name $cap $result ${decision:-none}" >>"$RESULTS/$name"
  done
  rm -rf "$work"
}
export -f compare_position
export OLD_CLI=$old_cli NEW_CLI=$new_cli CAPS=$caps RUN_TIMEOUT=300
export WORK="$tmp/work" RESULTS="$tmp/results" DIFFS="$tmp/differences"
mkdir -p "$WORK" "$RESULTS" "$DIFFS"

expected=$((count * ${#cap_list[@]}))
echo "equivalence: comparing $expected analyses ($count positions x caps $caps) in $jobs jobs"
start=$SECONDS
# shellcheck disable=SC2016 # $1 is expanded by the inner bash
if ! find "$tmp/positions" -mindepth 1 -maxdepth 1 -type d -print0 | sort -z |
  xargs -0 -r -n 1 -P "$jobs" bash -c 'compare_position "$1"' _; then
  echo "equivalence: a comparison job failed" >&2
  exit 2
fi
analyse_seconds=$((SECONDS - start))
find "$RESULTS" -type f -print0 | sort -z | xargs -0 -r cat >"$tmp/results.txt"
compared=$(wc -l <"$tmp/results.txt")
if [ "$compared" -ne "$expected" ]; then
  echo "equivalence: only $compared of $expected analyses were run" >&2
  exit 2
fi
decisions=$(awk '{ print $4 }' "$tmp/results.txt" | sort | uniq -c | sort -k1,1nr -k2,2 |
  awk '{ printf "%s%s %d", (NR > 1 ? ", " : ""), $2, $1 }')
echo "equivalence: analyses took $analyse_seconds s; decisions of the working tree's build: $decisions"

# describe_json OLD NEW: the top-level keys whose values differ, each with both values (the
# score grids by their first differing cells); the first lines of both outputs when either is
# not one JSON object.
describe_json() {
  python3 - "$1" "$2" <<'EOF' || echo "    (could not describe the difference; the outputs are kept)"
import json, sys

def short(text):
    return text if len(text) <= 150 else text[:147] + "..."

def load(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    try:
        value = json.loads(text)
    except ValueError:
        value = None
    return text, value if isinstance(value, dict) else None

(old_text, old), (new_text, new) = load(sys.argv[1]), load(sys.argv[2])
if old is None or new is None:
    for label, text in (("old", old_text), ("new", new_text)):
        lines = text.splitlines() or ["(empty)"]
        for line in lines[:3]:
            print(f"    {label}: {short(line)}")
        if len(lines) > 3:
            print(f"    {label}: ... {len(lines) - 3} more lines")
    sys.exit(0)
keys = list(old) + [key for key in new if key not in old]
for key in keys:
    if key not in old or key not in new:
        print(f"    {key}: only in the {'old' if key in old else 'new'} build's output")
    elif old[key] != new[key]:
        if key == "scores" and isinstance(old[key], list) and isinstance(new[key], list):
            cells = []
            try:
                for s, (grid_a, grid_b) in enumerate(zip(old[key], new[key])):
                    for r, (row_a, row_b) in enumerate(zip(grid_a, grid_b)):
                        cells += [f"[{s}][{r}][{c}] {a} -> {b}" for c, (a, b) in enumerate(zip(row_a, row_b)) if a != b]
            except TypeError:
                pass
            print(f"    scores: {len(cells)} cells differ" + (": " + ", ".join(cells[:4]) if cells else ""))
        else:
            old_value = json.dumps(old[key], separators=(",", ":"))
            new_value = json.dumps(new[key], separators=(",", ":"))
            print(f"    {key}: {short(old_value)}  ->  {short(new_value)}")
EOF
}

differences=0
failures=0
while read -r name cap result _; do
  [ "$result" = same ] && continue
  keep="$DIFFS/$name.cap$cap"
  if [ "$result" = failed ]; then
    failures=$((failures + 1))
    echo "failed: $name, cap $cap: both builds exit with status $(cat "$keep/new.status")"
    head -n 5 "$keep/new.stderr" | sed 's/^/    stderr: /'
    continue
  fi
  differences=$((differences + 1))
  echo "difference: $name, cap $cap (old build -> working tree)"
  if ! cmp -s "$keep/old.status" "$keep/new.status"; then
    note=""
    grep -qx 124 "$keep/old.status" "$keep/new.status" && note=" (124: stopped after $RUN_TIMEOUT s)"
    echo "  exit status: $(cat "$keep/old.status") -> $(cat "$keep/new.status")$note"
  fi
  if ! cmp -s "$keep/old.stdout" "$keep/new.stdout"; then
    echo "  stdout:"
    describe_json "$keep/old.stdout" "$keep/new.stdout"
  fi
  if ! cmp -s "$keep/old.stderr" "$keep/new.stderr"; then
    echo "  stderr:"
    diff "$keep/old.stderr" "$keep/new.stderr" | head -n 10 | sed 's/^/    /' || true
  fi
done <"$tmp/results.txt"

# The bench: position, decision, row,col, iterations and nodes of each line, and the signature;
# the last three columns (ms, nodes/s, peak MiB) and the closing rate and time are measurements.
bench_behaviour() {
  awk '
    /^total nodes created / { print $1, $2, $3, $4, "(signature)"; next }
    /^iterations per position:/ || /^position / { print; next }
    NF > 3 { NF -= 3 }
    { print }
  ' "$1"
}
for side in old new; do
  bin=$old_cli
  [ "$side" = new ] && bin=$new_cli
  status=0
  "$bin" bench >"$tmp/bench.$side.stdout" 2>"$tmp/bench.$side.stderr" || status=$?
  echo "exit status $status" >>"$tmp/bench.$side.stderr"
  bench_behaviour "$tmp/bench.$side.stdout" >"$tmp/bench.$side.behaviour"
  cat "$tmp/bench.$side.stderr" >>"$tmp/bench.$side.behaviour"
done
signature() { sed -n 's/^total nodes created \([0-9]*\) (signature).*/\1/p' "$1"; }
old_signature=$(signature "$tmp/bench.old.stdout")
new_signature=$(signature "$tmp/bench.new.stdout")
bench_positions=$(awk '/^position / { on = 1; next } /^total nodes created / { on = 0 } on { n++ } END { print n + 0 }' \
  "$tmp/bench.new.stdout")
bench_lines=0
if ! cmp -s "$tmp/bench.old.behaviour" "$tmp/bench.new.behaviour"; then
  bench_lines=$(diff "$tmp/bench.old.behaviour" "$tmp/bench.new.behaviour" | grep -c '^>' || true)
  echo "difference: bench (old build -> working tree; timing and memory columns left out)"
  diff "$tmp/bench.old.behaviour" "$tmp/bench.new.behaviour" | sed 's/^/    /' || true
fi
signature_text="signature ${old_signature:-missing} = ${new_signature:-missing}"
[ -n "$old_signature" ] && [ "$old_signature" = "$new_signature" ] ||
  signature_text="signature ${old_signature:-missing} != ${new_signature:-missing}"
bench_text="bench: $bench_positions positions"
[ "$bench_lines" -eq 0 ] || bench_text="$bench_text, $bench_lines lines differ"

if [ "$differences" -gt 0 ] || [ "$failures" -gt 0 ]; then
  mkdir -p "$saved"
  cp -r "$DIFFS"/. "$saved"/
  echo "equivalence: positions and outputs of the differing runs are in ${saved#"$root"/}/"
fi
failure_text=""
[ "$failures" -eq 0 ] || failure_text=", $failures failed in both builds"
echo "equivalence: REV=$short vs working tree: $compared analyses compared ($count positions x caps $caps)," \
  "$differences differences$failure_text; $bench_text, $signature_text"
[ "$differences" -eq 0 ] && [ "$failures" -eq 0 ] && [ "$bench_lines" -eq 0 ] &&
  [ -n "$old_signature" ] && [ "$old_signature" = "$new_signature" ]
