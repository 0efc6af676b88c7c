#!/usr/bin/env bash
# Labels positions of the training set (scripts/training-data.sh) with Rapfi's judgement at a
# short search time, in batches that never judge a board twice, and writes the set to fit
# (scripts/tune-eval.sh --data DIR) from every batch so far.
#
# Usage: scripts/teacher-data.sh [--data DIR] [--sample N] [--seed S] [--turn-ms MS] [--lam L]
#   --data DIR     the training data (default ${BRENK_DATA:-$HOME/.cache/brenk}/training); the
#                  batches and the set go to DIR/../teacher
#   --sample N     positions in this batch (default 100000; 0 labels no new batch)
#   --seed S       which positions (default 1); each batch skips the boards judged before
#   --turn-ms MS   the teacher's time a position (default 50)
#   --lam L        the game result's share of each label (default 0: the teacher's alone)
set -euo pipefail
cd "$(dirname "$0")/.."
data=${BRENK_DATA:-$HOME/.cache/brenk}/training sample=100000 seed=1 turn=50 lam=0
while [ $# -gt 0 ]; do
  case $1 in
    --data) data=$2; shift 2 ;;
    --sample) sample=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --turn-ms) turn=$2; shift 2 ;;
    --lam) lam=$2; shift 2 ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
  esac
done
out=$(dirname "$data")/teacher
mkdir -p "$out"
if [ "$sample" -gt 0 ]; then
  batch=$out/batch-$seed-$sample-$turn.txt
  [ ! -e "$batch" ] || { echo "teacher-data.sh: $batch exists" >&2; exit 2; }
  excludes=()
  for old in "$out"/batch-*.txt; do [ -e "$old" ] && excludes+=(--exclude "$old"); done
  python3 tools/tune/teacher.py "$data/positions.txt" --sample "$sample" --seed "$seed" \
    --turn-ms "$turn" "${excludes[@]}" >"$batch.part"
  mv "$batch.part" "$batch"
fi
cat "$out"/batch-*.txt >"$out/judged.txt"
python3 tools/tune/labels.py "$out/judged.txt" --lam "$lam" >"$out/positions.txt"
echo "teacher set: $out/positions.txt, $(wc -l <"$out/positions.txt") positions"
