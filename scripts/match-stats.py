#!/usr/bin/env python3
"""Figures of a match from c-gomoku-cli's SGF (match.sh's --out DIR/games.sgf): the score of one
engine split by colour, its slowest move, and its thinking time per game (min, median, max).

    scripts/match-stats.py DIR/games.sgf [--engine brain]
"""
import argparse
import re
import statistics


def games(text):
    for game in re.findall(r'\(;FF\[4\].*?\)\s*(?=\(;FF|\Z)', text, re.S):
        black = re.search(r'PB\[([^\]]*)\]', game).group(1)
        result = re.search(r'RE\[([^\]]*)\]', game).group(1)
        moves = re.findall(r';([BW])\[[a-z]*\]C\[([^\]]*)\]', game)
        yield black, result, moves


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('sgf')
    ap.add_argument('--engine', default='brain')
    args = ap.parse_args()
    with open(args.sgf) as f:
        text = f.read()
    score = {'B': [0, 0, 0], 'W': [0, 0, 0]}  # wins, losses, draws by our colour
    slowest, totals = 0, []
    for black, result, moves in games(text):
        colour = 'B' if black == args.engine else 'W'
        winner = result[:1] if result[:1] in 'BW' else None
        score[colour][0 if winner == colour else 1 if winner else 2] += 1
        times = [int(c[:-2]) for side, c in moves if side == colour and c.endswith('ms')]
        slowest = max([slowest] + times)
        totals.append(sum(times) / 1000)
    for colour, name in (('B', 'as x (first)'), ('W', 'as o (second)')):
        w, l, d = score[colour]
        print(f'{name}: {w} wins, {l} losses, {d} draws')
    print(f'slowest move {slowest} ms; thinking time per game: min {min(totals):.1f} s, '
          f'median {statistics.median(totals):.1f} s, max {max(totals):.1f} s over {len(totals)} games')


if __name__ == '__main__':
    main()
