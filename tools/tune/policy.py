#!/usr/bin/env python3
"""Fits the threat-space mode's move ordering (engine/play/weights.h: kAttackOrder and
kDefenceOrder) to the moves a strong player chose, by a conditional logit: at each position the
chance of each candidate is exp(its score) over the sum for every candidate, its score being the
weights of its four line classes, its shape and its six pairs of classes for the mover (attack)
and for the other side (defence) -- the same sum the engine orders its moves by.

The fitted weights are in units of the logit. They are written in the units of the current
ordering, which is measured with its own best scale, so that they keep their size next to the
killers, the history and the table move that the search adds to them. A share of the positions
is held out and only measured: the loss per position, and how often the chosen move comes first
and within the first four (the number of moves the shallowest move-count pruning keeps).

    policy.py CANDIDATES [--weights engine/play/weights.h] [--holdout 0.1] [--seed 1]
              [--ridge 1e-4] [--write --source TEXT]

CANDIDATES is brenk-policy's output (tools/tune/policy.cpp).
"""
import argparse
import sys

import numpy as np

import tune

ROLES = ('kAttackOrder', 'kDefenceOrder')
ROLE = tune.ROLE
LC, SHAPES = tune.LINE_CLASSES, tune.SHAPES
COLUMNS = 13  # position, chosen, current score, then four classes and a shape for each side
# Pinned at 0: a constant added to every class, every pair or every shape moves each candidate
# alike, so one of each (the dead class, two dead lines, no shape) is held for the fit to be unique.
PINNED = [0, LC + SHAPES - 1, LC + SHAPES]


def pair_column(a, b):
    a, b = np.minimum(a, b), np.maximum(a, b)
    return LC + SHAPES + a * LC - a * (a - 1) // 2 + (b - a)


def feature_rows(sides):
    """Each candidate's counts (columns of the two roles' weights) from its classes and shapes."""
    index = []
    for role in range(2):
        classes, shape = sides[:, 5 * role:5 * role + 4], sides[:, 5 * role + 4]
        offset = role * ROLE
        index += [offset + classes[:, i] for i in range(4)]
        index += [offset + pair_column(classes[:, i], classes[:, j]) for i in range(4) for j in range(i + 1, 4)]
        index.append(offset + LC + shape)
    return np.column_stack(index)


def dense(index):
    rows = np.repeat(np.arange(len(index)), index.shape[1])
    flat = np.bincount(rows * 2 * ROLE + index.ravel(), minlength=len(index) * 2 * ROLE)
    return flat.reshape(len(index), 2 * ROLE).astype(float)


class Candidates:
    """The candidates of a set of positions: distinct feature rows, each candidate's row, the
    positions' first candidates and the chosen one of each."""

    def __init__(self, index, position, chosen):
        keys, self.row = np.unique(index, axis=0, return_inverse=True)
        self.row = self.row.ravel()
        self.x = dense(keys)
        self.starts = np.flatnonzero(np.r_[True, position[1:] != position[:-1]])
        self.sizes = np.diff(np.r_[self.starts, len(position)])
        self.chosen = np.flatnonzero(chosen)
        if len(self.chosen) != len(self.starts):
            sys.exit('policy.py: every position needs exactly one chosen candidate')

    def probabilities(self, scores):
        top = np.maximum.reduceat(scores, self.starts)
        e = np.exp(scores - np.repeat(top, self.sizes))
        return e / np.repeat(np.add.reduceat(e, self.starts), self.sizes)

    def loss(self, scores):
        return float(-np.mean(np.log(self.probabilities(scores)[self.chosen])))

    def ranks(self, scores):
        """Each chosen move's place in the engine's order (higher score first, ties to the
        candidate listed first)."""
        places = np.empty(len(self.starts), dtype=int)
        for n, (start, size) in enumerate(zip(self.starts, self.sizes)):
            s, c = scores[start:start + size], self.chosen[n] - start
            places[n] = np.sum(s > s[c]) + np.sum(s[:c] == s[c])
        return places


def newton(data, free, ridge, iterations=40):
    """The free weights in logits (the others 0) that minimise the loss plus ridge * |w|^2,
    halving any step that would not lower it."""
    w = np.zeros(data.x.shape[1])
    x = data.x[:, free]
    n = len(data.starts)

    def objective(weights):
        return data.loss((data.x @ weights)[data.row]) + ridge * float(weights @ weights)

    current = objective(w)
    for _ in range(iterations):
        p = data.probabilities((data.x @ w)[data.row])
        residual = p.copy()
        residual[data.chosen] -= 1
        gradient = x.T @ np.bincount(data.row, residual, len(x)) / n + 2 * ridge * w[free]
        hessian = (x.T * np.bincount(data.row, p, len(x))) @ x
        # Less each position's mean row: its outer product, in blocks of positions.
        for first in range(0, n, 4000):
            last = min(n, first + 4000)
            a, b = data.starts[first], data.starts[last] if last < n else len(data.row)
            mean = np.add.reduceat(x[data.row[a:b]] * p[a:b, None], data.starts[first:last] - a)
            hessian -= mean.T @ mean
        hessian = hessian / n + 2 * ridge * np.eye(free.sum())
        step = np.zeros_like(w)
        step[free] = np.linalg.solve(hessian, gradient)
        for _ in range(30):
            value = objective(w - step)
            if value <= current:
                break
            step /= 2
        else:
            break
        w -= step
        done = current - value < 1e-9
        current = value
        if done:
            break
    return w


def read_roles(text):
    return tune.read_weights(text, ROLES)


def report(label, data, scores):
    ranks = data.ranks(scores)
    print(f'{label:8} loss {data.loss(scores):.4f}, chosen move first {100 * np.mean(ranks == 0):.1f} %, '
          f'within four {100 * np.mean(ranks < 4):.1f} %, mean place {np.mean(ranks):.2f}')


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('candidates')
    ap.add_argument('--weights', default='engine/play/weights.h')
    ap.add_argument('--holdout', type=float, default=0.1)
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--ridge', type=float, default=1e-4)
    ap.add_argument('--write', action='store_true', help='write the fitted weights into --weights')
    ap.add_argument('--source', default='', help='the data set and command, for the comment')
    args = ap.parse_args()

    table = np.fromfile(args.candidates, dtype=np.int64, sep=' ').reshape(-1, COLUMNS)
    position, chosen, current, index = table[:, 0], table[:, 1], table[:, 2], feature_rows(table[:, 3:])
    with open(args.weights) as f:
        text = f.read()
    start = read_roles(text)
    count = position.max() + 1
    held_out = np.random.default_rng(args.seed).permutation(count)[:int(count * args.holdout)]
    held = np.isin(position, held_out)
    train = Candidates(index[~held], position[~held], chosen[~held])
    test = Candidates(index[held], position[held], chosen[held])
    # Checked on the distinct rows: a dense row for every candidate would take gigabytes.
    if any(np.any((data.x @ start)[data.row] != current[part]) for data, part in ((train, ~held), (test, held))):
        sys.exit("policy.py: the weights file does not give the engine's scores; rebuild brenk-policy")
    print(f'positions: {len(train.starts)} to fit, {len(test.starts)} held out; '
          f'{len(position) / count:.1f} candidates a position')

    # The current ordering at its best scale, in logits per unit.
    scale = fit_scale(train, start)
    free = np.zeros(2 * ROLE, dtype=bool)
    free[np.unique(train.x.nonzero()[1])] = True
    free[[role * ROLE + column for role in range(2) for column in PINNED]] = False
    logits = newton(train, free, args.ridge)
    fitted = np.where(free, np.clip(np.round(logits / scale), -32000, 32000), start)
    print(f'current ordering: {scale:.5f} logits a unit')
    report('current', test, scale * (test.x @ start)[test.row])
    report('fitted', test, scale * (test.x @ fitted)[test.row])
    if args.write:
        tune.write_weights(args.weights, text, fitted, args.source or args.candidates, roles=ROLES,
                           tool='policy.py')
        print(f'written to {args.weights}')


def fit_scale(data, weights):
    """The logits per unit of the given weights that fit the chosen moves best: where the loss's
    slope (the mean score under the model less the chosen moves') crosses zero, by bisection."""
    scores = (data.x @ weights)[data.row]
    chosen = np.mean(scores[data.chosen])

    def slope(scale):
        return np.sum(data.probabilities(scale * scores) * scores) / len(data.starts) - chosen

    low, high = 0.0, 1e-4
    while slope(high) < 0 and high < 1e3:
        low, high = high, high * 2
    for _ in range(60):
        middle = (low + high) / 2
        low, high = (middle, high) if slope(middle) < 0 else (low, middle)
    return (low + high) / 2


if __name__ == '__main__':
    main()
