#!/usr/bin/env bash
# Long reliability runs, outside CI: brenk plays itself through brenk-cli match and every fault a
# tournament punishes is counted. scripts/soak.sh [selfplay|sharp|all] (default all).
#   selfplay: GAMES (default 40) games at 300 ms with random openings from SEED (default 2026)
#   sharp:    a few sharp positions at 20,000 ms, one move for each side
# A move is killed at allowance + 150 ms, so zero overruns means every move came in time. The
# run fails on any fault or when an engine process grew past LIMIT_MIB (default 350, Gomocup's
# limit: the 300 MiB tree budget plus the process). BUILD_DIR (default build) holds a release
# build; game records and summaries go to $BUILD_DIR/soak/.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
dir=${BUILD_DIR:-build}
limit_mib=${LIMIT_MIB:-350}
[ -x "$dir/apps/brenk-cli" ] || scripts/build.sh release
cli="$dir/apps/brenk-cli"
brenk="$dir/apps/brenk"
out="$dir/soak"
mkdir -p "$out"

# Middle games where the search runs until the tree budget stops it (moves x,y played from "x";
# the last four are early parts of self-play games at 300 ms).
sharp_openings() {
  cat <<'LINES'
9,9 10,10 10,9 8,9 11,9 12,9 9,10 9,8 10,11 8,8 11,12 12,13
11,13 7,13 6,13 12,6 9,15 10,14 9,11 10,12 10,11 11,11 9,13 9,14 10,13 12,13 12,14 8,14 7,14 8,15 9,12 8,13 8,12 8,16 8,17 11,16 10,15 9,16 10,16 8,11 11,15 9,17 9,10 9,9 7,8 8,9 13,15 12,15 13,13 14,12 13,14 13,12 13,16 13,17 15,14 14,14 15,17 14,16 14,15 12,17 17,12 16,13
5,5 14,5 13,14 8,6 3,7 6,4 5,3 5,4 8,4 3,4 4,4 3,5 6,6 3,3 7,7 8,8 3,2 8,9 8,7 5,7 9,7 10,7 7,10 6,8 4,6 7,8 9,8 5,8 4,8 9,10
8,12 11,8 13,5 6,14 14,6 11,3 16,8 15,7 11,7 14,4 15,5 13,7 12,5 14,5 13,6 16,7 14,7 11,4 11,6 12,6 13,4 14,3 13,3 13,2 15,8 16,9 14,1 14,8 15,9 10,4 11,5 9,5 8,6 15,4 12,1 16,6 17,5 16,5 17,6 9,4
6,9 12,12 11,7 10,12 9,12 7,10 8,7 9,6 10,7 9,7 9,8 10,10 11,6 12,5 11,4 11,5 11,10 10,9 10,11 12,9 9,9 12,10 12,11 9,11 11,9 11,8 8,10 10,8 8,9 8,8 7,9 5,9 8,13 7,14 9,10 11,12 6,7 7,8 6,8 6,10
LINES
}

# Checks the "total:" line of a summary: no fault, and the peak memory within the limit.
check_summary() {
  local summary=$1 total mib
  total=$(grep '^total:' "$summary")
  echo "$total"
  if ! grep -q 'illegal 0, missing 0, crashes 0, overruns 0' <<<"$total"; then
    echo "FAIL: faults counted in $summary" >&2
    return 1
  fi
  mib=$(sed -n 's/.*peak memory \([0-9.]*\) MiB.*/\1/p' <<<"$total")
  if awk -v m="$mib" -v l="$limit_mib" 'BEGIN { exit !(m > l) }'; then
    echo "FAIL: peak memory $mib MiB above $limit_mib MiB" >&2
    return 1
  fi
}

run_selfplay() {
  echo "== self-play: ${GAMES:-40} games at 300 ms =="
  "$cli" match "$brenk" "$brenk" --games "${GAMES:-40}" --allowance 300 --margin 150 --seed "${SEED:-2026}" \
    --opening-stones 4 --out "$out/selfplay" >"$out/selfplay.txt" || true
  tail -4 "$out/selfplay.txt"
  check_summary "$out/selfplay/summary.txt"
}

run_sharp() {
  echo "== sharp positions at 20,000 ms =="
  sharp_openings >"$out/sharp-openings.txt"
  local count
  count=$(wc -l <"$out/sharp-openings.txt")
  "$cli" match "$brenk" "$brenk" --games "$count" --allowance 20000 --margin 150 \
    --openings "$out/sharp-openings.txt" --max-moves 2 --out "$out/sharp" >"$out/sharp.txt" || true
  tail -4 "$out/sharp.txt"
  check_summary "$out/sharp/summary.txt"
}

case "$what" in
  selfplay) run_selfplay ;;
  sharp) run_sharp ;;
  all) run_selfplay && run_sharp ;;
  *) echo "usage: $0 [selfplay|sharp|all]" >&2; exit 2 ;;
esac
