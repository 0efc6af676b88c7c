#!/usr/bin/env bash
# Decides whether one pbrain build is stronger than another: c-gomoku-cli (from ../shared/peers)
# plays them on balanced openings, colours swapped, and stops as soon as its sequential
# probability ratio test accepts one hypothesis.
#
# Usage: scripts/sprt.sh NEW OLD [--tc TC] [--games N] [--elo0 E0] [--elo1 E1]
#                        [--concurrency C] [--seed S] [--out DIR]
#   NEW, OLD   pbrain executables, arguments allowed ("build/apps/pbrain-brenk --threats")
#   --tc       c-gomoku-cli time control, match/turn seconds (default 0/0.2)
#   --games    the most games to play (default 600)
#   --elo0/1   the hypotheses' Elo differences (default 0 and 20)
# Last lines: c-gomoku-cli's score of NEW against OLD and the SPRT verdict (H1: NEW stronger).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peers=${BRENK_PEERS:-$here/../shared/peers}
[ $# -ge 2 ] || { sed -n '2,12p' "$0"; exit 2; }
new=$1 old=$2; shift 2
tc=0/0.2 games=600 elo0=0 elo1=20 conc=2 seed=1 out=
while [ $# -gt 0 ]; do
  case $1 in
    --tc) tc=$2; shift 2 ;;
    --games) games=$2; shift 2 ;;
    --elo0) elo0=$2; shift 2 ;;
    --elo1) elo1=$2; shift 2 ;;
    --concurrency) conc=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "sprt.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -x "$peers/c-gomoku-cli" ] || { echo "sprt.sh: no c-gomoku-cli in $peers" >&2; exit 2; }
read -r newExe newArgs <<<"$new"
read -r oldExe oldArgs <<<"$old"
newExe=$(readlink -f "$newExe") oldExe=$(readlink -f "$oldExe")
[ -n "$out" ] || out=$(mktemp -d)
mkdir -p "$out"
"$peers/c-gomoku-cli" -each "tc=$tc" tolerance=2 maxmemory=$((350 * 1024 * 1024)) \
  -engine name=new "cmd=$newExe${newArgs:+ $newArgs}" -engine name=old "cmd=$oldExe${oldArgs:+ $oldArgs}" \
  -rule 0 -boardsize 20 -games "$games" -repeat -drawafter 400 -concurrency "$conc" \
  -openings "file=$peers/openings/freestyle20-dev.txt" type=offset order=random "srand=$seed" \
  -sprt "elo0=$elo0" "elo1=$elo1" alpha=0.05 beta=0.05 \
  -sgf "$out/games.sgf" >"$out/output.txt" 2>&1 || true
faults=$(grep -c -E '^\[[0-9]+\] engine |time forfeit|opponent crash|illegal move' "$out/output.txt" || true)
grep 'Score of new vs old' "$out/output.txt" | tail -n 1
grep -E 'SPRT: LLR' "$out/output.txt" | tail -n 1
echo "faults $faults; games and output in $out"
