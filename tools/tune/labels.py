#!/usr/bin/env python3
"""Turns teacher.py's lines (board, game result, teacher's evaluation) into a training set of
dataset.py's form (board, result to fit), the result to fit being

    lam * game result + (1 - lam) * sigmoid(evaluation / s)

with W and L read as 1 and 0. The teacher's scale s is the one under which its evaluations best
predict the games' results (least cross-entropy over the positions it did not prove), so its
units need not be known.

    labels.py teacher.txt [--lam 0] > positions.txt
"""
import argparse
import math
import sys


def read(lines):
    """(result, evaluation or None, proved result or None) per line, with the boards."""
    boards, rows = [], []
    for line in lines:
        board, result, judged = line.split()
        boards.append(board)
        proved = {'W': 1.0, 'L': 0.0}.get(judged)
        rows.append((float(result), None if proved is not None else int(judged), proved))
    return boards, rows


def sigmoid(z):
    return 1 / (1 + math.exp(-max(-60.0, min(60.0, z))))


def cross_entropy(pairs, s):
    total = 0.0
    for result, evaluation in pairs:
        p = min(max(sigmoid(evaluation / s), 1e-12), 1 - 1e-12)
        total -= result * math.log(p) + (1 - result) * math.log(1 - p)
    return total / len(pairs)


def fit_scale(pairs, low=10.0, high=10000.0):
    """The s of least cross-entropy, by golden-section search on log s (the loss has one minimum
    in s for results that agree in sign with the evaluations more often than not)."""
    a, b = math.log(low), math.log(high)
    ratio = (math.sqrt(5) - 1) / 2
    for _ in range(80):
        c, d = b - ratio * (b - a), a + ratio * (b - a)
        if cross_entropy(pairs, math.exp(c)) < cross_entropy(pairs, math.exp(d)):
            b = d
        else:
            a = c
    return math.exp((a + b) / 2)


def labels(rows, s, lam):
    out = []
    for result, evaluation, proved in rows:
        teacher = proved if proved is not None else sigmoid(evaluation / s)
        out.append(lam * result + (1 - lam) * teacher)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('teacher')
    parser.add_argument('--lam', type=float, default=0.0, help="the game result's share")
    args = parser.parse_args()
    with open(args.teacher) as f:
        boards, rows = read(f)
    pairs = [(result, evaluation) for result, evaluation, proved in rows if evaluation is not None]
    s = fit_scale(pairs)
    for board, label in zip(boards, labels(rows, s, args.lam)):
        print(f'{board} {label:.4f}')
    print(f'labels: {len(rows)} positions, {len(rows) - len(pairs)} proved; teacher scale {s:.1f} '
          f'(loss on the results {cross_entropy(pairs, s):.4f}), lam {args.lam}', file=sys.stderr)


if __name__ == '__main__':
    main()
