#!/usr/bin/env bash
# Fits the threat-space mode's evaluation weights to the training set of
# scripts/training-data.sh: the features at each position's quiet leaf, then the logistic fit.
#
# Usage: scripts/tune-eval.sh [--data DIR] [--combinations | --holding] [--write] [tune.py options ...]
#   --data DIR       the training data (default ${BRENK_DATA:-$HOME/.cache/brenk}/training;
#                    scripts/teacher-data.sh writes a set labelled by Rapfi to DIR/../teacher)
#   --combinations   fit the corrections of whole combinations of line classes instead of the
#                    class, shape and pair weights
#   --holding        fit the class, shape and pair weights with those corrections held as they
#                    are (with tune.py's --only CLASS,..., just some classes and their pairs;
#                    with --threat-sets, the values of whole sets of threats instead)
#   --write          write the fitted weights into engine/play/weights.h
set -euo pipefail
cd "$(dirname "$0")/.."
data=${BRENK_DATA:-$HOME/.cache/brenk}/training
args=() combinations= holding= shown=
while [ $# -gt 0 ]; do
  case $1 in
    --data) data=$2; shift 2 ;;
    --combinations) combinations=1; shown+=" $1"; shift ;;
    --holding) holding=1; shown+=" $1"; shift ;;
    --write) args+=("$1"); shift ;;
    *) args+=("$1"); shown+=" $1"; shift ;;
  esac
done
python=python3
$python -c 'import numpy' 2>/dev/null || python=/usr/bin/python3
cmake --build build --target brenk-features >/dev/null
build/tools/tune/brenk-features --combinations "$data/combinations.txt" <"$data/positions.txt" >"$data/features.txt"
[ -z "$combinations" ] || args+=(--combinations "$data/combinations.txt")
[ -z "$holding" ] || args+=(--holding "$data/combinations.txt")
# A set written by teacher-data.sh holds its judged batches beside the positions.
made_by=scripts/training-data.sh
[ ! -e "$data/judged.txt" ] || made_by="scripts/training-data.sh labelled by scripts/teacher-data.sh"
$python tools/tune/tune.py "$data/features.txt" \
  --source "$(wc -l <"$data/positions.txt") positions of $made_by (see docs/decisions.md), by scripts/tune-eval.sh$shown" \
  "${args[@]}"
