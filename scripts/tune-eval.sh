#!/usr/bin/env bash
# Fits the threat-space mode's evaluation weights to the training set of
# scripts/training-data.sh: the features at each position's quiet leaf, then the logistic fit.
#
# Usage: scripts/tune-eval.sh [--data DIR] [--write] [tune.py options ...]
#   --data DIR   the training data (default ${BRENK_DATA:-$HOME/.cache/brenk}/training)
#   --write      write the fitted weights into engine/play/weights.h
set -euo pipefail
cd "$(dirname "$0")/.."
data=${BRENK_DATA:-$HOME/.cache/brenk}/training
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --data) data=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
python=python3
$python -c 'import numpy' 2>/dev/null || python=/usr/bin/python3
cmake --build build --target brenk-features >/dev/null
build/tools/tune/brenk-features <"$data/positions.txt" >"$data/features.txt"
$python tools/tune/tune.py "$data/features.txt" \
  --source "$(wc -l <"$data/positions.txt") positions of scripts/training-data.sh (see docs/decisions.md), by scripts/tune-eval.sh" \
  "${args[@]}"
