#!/usr/bin/env python3
"""Fits the threat-space mode's evaluation weights (engine/play/weights.h: kOwnValue and
kTheirValue) to positions with known results, by logistic regression on the evaluation of each
position's quiet leaf: P(side to move wins) = 1 / (1 + exp(-(scale * eval + b0 + b1 * first))).

The evaluation is linear in its weights: brenk-features writes, per position, the counts that
each weight multiplies (line classes over the empty cells' four lines, shapes, and pairs of
classes among a cell's lines, for the side to move and for the other side). The evaluation has no term for the colour to move and an
offset that only the search's parity sees, so the fit carries two terms of its own that never
reach the engine: a constant b0, and b1 for the first player to move. The weights are fitted
in units of the logit by Newton's method with a light ridge penalty, then turned into
evaluation units at a fixed scale (--scale); the current weights are measured with their own
best scale. A share of the positions is held out and only measured.

With --combinations (brenk-features' second file) the class, shape and pair weights stay as they
are and the corrections of kCombinations are fitted instead, for every combination of four line
classes that at least --least training positions hold, pulled towards 0 by --ridge.

    tune.py FEATURES [--weights engine/play/weights.h] [--holdout 0.1] [--seed 1]
            [--ridge 1e-6] [--scale 0.0025] [--combinations FILE --least 200]
            [--holding FILE [--threat-sets | --shape-counts]] [--only CLASS,...] [--write --source TEXT]

--holding FILE (brenk-features' combination counts) fits the weights with kCombinations'
corrections held as they are; --threat-sets (with --holding) fits the values of kThreatValues
instead, for every set of threats that at least --least training positions hold, and
--shape-counts those of kShapeCountValues, each with every other weight held; every other fit
holds these two tables as weights.h has them. --only fits just the weights of the named line
classes and of the pairs that hold one of them, holding every other weight.

Either fit may move the mean evaluation (the weak classes count in the hundreds on every board,
and the constant b0 absorbs such a move), which the search does see; --write moves kTempo, the
constant added to every evaluation, so that the mean over the fitted positions stays.
"""
import argparse
import re
import sys
import textwrap

import numpy as np

import combinations
import shape_counts
import threat_sets

CLASS_NAMES = ['dead', 'B1', 'F1', 'B2', 'F2', 'F2A', 'F2B', 'B3', 'F3', 'F3S', 'B4', 'F4', 'F5']
LINE_CLASSES = len(CLASS_NAMES)
SHAPES = 13
PAIRS = LINE_CLASSES * (LINE_CLASSES + 1) // 2
ROLE = LINE_CLASSES + SHAPES + PAIRS
COLUMNS = 2 + 2 * ROLE  # result, first player to move, the counts
EVAL_LIMIT = 10000
# An evaluation of 400 stands for odds of e to 1: the fitted weights then have the size of the
# hand-set ones that the search's margins (aspiration window, futility) were tuned with.
DEFAULT_SCALE = 1 / 400
ROLES = ('kOwnValue', 'kTheirValue')
# Weights that stay 0: the dead class, the cells of no shape and the pair of two dead lines (with
# them free, a constant per empty cell could move between them and every other weight), and the
# five (never at a quiet leaf).
FIXED = [0, LINE_CLASSES + 0, LINE_CLASSES + SHAPES - 1, LINE_CLASSES + SHAPES]


TEMPO_PATTERN = r'inline constexpr int kTempo = (-?\d+);'
ROLE_PATTERN = r' = \{\s*\{([^}]*)\},\s*\{([^}]*)\},\s*(?:\{([^}]*)\},\s*)?\};'


def read_weights(text, roles=ROLES):
    """The two roles' weights from weights.h, as one vector in brenk-features' column order (a
    role written without pair weights has them all 0)."""
    values = []
    for name in roles:
        body = re.search(name + ROLE_PATTERN, text)
        if not body:
            sys.exit(f'tune.py: no {name} in the weights file')
        groups = (body.group(1), LINE_CLASSES), (body.group(2), SHAPES), (body.group(3), PAIRS)
        for group, size in groups:
            numbers = [int(t) for t in (group or '').replace(',', ' ').split()] or [0] * size
            if len(numbers) != size:
                sys.exit(f'tune.py: {name} has {len(numbers)} weights where {size} belong')
            values += numbers
    return np.array(values, dtype=float)


def design(counts):
    """Counts in columns that the weights multiply: the other side's values are subtracted."""
    sign = np.concatenate([np.ones(ROLE), -np.ones(ROLE)])
    return counts * sign


def nuisance(first):
    return np.column_stack([np.ones(len(first)), first])


def logit(x, weights, scale, extra, terms):
    return scale * np.clip(x @ weights, -EVAL_LIMIT, EVAL_LIMIT) + extra @ terms


def loss(y, z):
    # Cross-entropy with fractional results, written so that large |z| does not overflow.
    return float(np.mean(np.logaddexp(0, z) - y * z))


def newton(a, y, start, penalty, offset=0.0, iterations=60):
    """Minimises the cross-entropy of sigmoid(offset + a @ theta) plus penalty * |theta - start|^2
    (a diagonal penalty per column, per position), halving any step that would not lower it."""
    def objective(theta):
        return loss(y, offset + a @ theta) + float(penalty @ (theta - start) ** 2)

    theta = start.copy()
    current = objective(theta)
    for _ in range(iterations):
        p = 1 / (1 + np.exp(-(offset + a @ theta)))
        gradient = a.T @ (p - y) / len(y) + 2 * penalty * (theta - start)
        hessian = (a * (p * (1 - p))[:, None]).T @ a / len(y) + 2 * np.diag(penalty)
        step = np.linalg.lstsq(hessian, gradient, rcond=None)[0]
        for _ in range(30):
            value = objective(theta - step)
            if value <= current:
                break
            step /= 2
        else:
            break
        theta -= step
        done = current - value < 1e-12
        current = value
        if done:
            break
    return theta


def fit_scale(x, y, extra, weights):
    """The scale and the two fit-only terms that make the given weights predict best."""
    evaluation = np.clip(x @ weights, -EVAL_LIMIT, EVAL_LIMIT)
    a = np.column_stack([evaluation, extra])
    theta = newton(a, y, np.zeros(a.shape[1]), np.zeros(a.shape[1]))
    return theta[0], theta[1:]


def fit_terms(x, y, extra, weights, scale):
    """The fit-only terms that go best with the given weights at the given scale."""
    offset = scale * np.clip(x @ weights, -EVAL_LIMIT, EVAL_LIMIT)
    return newton(extra, y, np.zeros(extra.shape[1]), np.zeros(extra.shape[1]), offset)


def fit_logits(x, y, extra, free, ridge, offset=0.0):
    """The free weights in units of the logit, with the fit-only terms; the other columns add
    `offset` (or nothing)."""
    a = np.column_stack([x[:, free], extra])
    penalty = np.concatenate([np.full(free.sum(), ridge), np.zeros(extra.shape[1])])
    theta = newton(a, y, np.zeros(a.shape[1]), penalty, offset)
    logits = np.zeros(x.shape[1])
    logits[free] = theta[:free.sum()]
    return logits


def round_in_blocks(x, y, extra, free, ridge, scale, start, blocks=(8, 8, 16, 32)):
    """Integer weights, rounded a block at a time from the columns with the largest counts: the
    weak classes count in the hundreds on every board, so rounding them all at once moves the
    evaluation by hundreds; each block's rounding is absorbed by refitting the columns after it."""
    weights = np.where(free, 0.0, start)
    order = [i for i in np.argsort(-np.abs(x).mean(axis=0), kind='stable') if free[i]]
    while order:
        rest = np.zeros(x.shape[1], dtype=bool)
        rest[order] = True
        logits = fit_logits(x, y, extra, rest, ridge, offset=scale * (x @ weights))
        take = order[:blocks[0]] if blocks else order
        weights[take] = np.clip(np.round(logits[take] / scale), -32000, 32000)
        order, blocks = order[len(take):], blocks[1:]
    return weights


def held_tempo(text, shift):
    """kTempo that takes back a shift of the mean evaluation over the fitted positions (the fit's
    constant term hides such a shift, the search does not); None when the file has no kTempo."""
    match = re.search(TEMPO_PATTERN, text)
    tempo = None if match is None else int(match.group(1)) - int(np.round(shift))
    note = '' if tempo is None else f'; kTempo {match.group(1)} -> {tempo} to hold it'
    print(f'mean evaluation over the fitted positions moved by {shift:+.0f}{note}')
    return tempo


def with_tempo(text, tempo):
    if tempo is None:
        return text
    return re.sub(TEMPO_PATTERN, f'inline constexpr int kTempo = {tempo};', text)


def format_role(name, weights):
    def numbers(part):
        return ', '.join(str(int(v)) for v in part)

    line = numbers(weights[:LINE_CLASSES])
    shape = numbers(weights[LINE_CLASSES:LINE_CLASSES + SHAPES])
    pairs = weights[LINE_CLASSES + SHAPES:]
    rows, at = [], 0
    for first in range(LINE_CLASSES):  # one row of the triangle per first class
        width = LINE_CLASSES - first
        rows.append('     ' + numbers(pairs[at:at + width]) + ',')
        at += width
    return (f'inline constexpr RoleWeights {name} = {{\n    {{{line}}},\n    {{{shape}}},\n'
            '    {\n' + '\n'.join(rows) + '\n    },\n};')


def with_note(text, target, source, tool='tune.py'):
    """The text with the note naming the data written above `target`, in place of the old."""
    old = r'// Fitted by tools/tune/' + re.escape(tool) + r'[^\n]*\n(//   [^\n]*\n)*(?=' + re.escape(target) + ')'
    text = re.sub(old, '', text)
    note = '\n'.join(textwrap.wrap(f'Fitted by tools/tune/{tool} to ' + source, 96,
                                  initial_indent='// ', subsequent_indent='//   ', break_on_hyphens=False)) + '\n'
    return text.replace(target, note + target, 1)


def write_weights(path, text, weights, source, tempo=None, roles=ROLES, tool='tune.py'):
    """Replaces the two roles' initialisers, and the note above the first, in place."""
    text = with_tempo(text, tempo)
    for index, name in enumerate(roles):
        part = weights[index * ROLE:(index + 1) * ROLE]
        text = re.sub(r'inline constexpr RoleWeights ' + name + ROLE_PATTERN, format_role(name, part), text)
    with open(path, 'w') as f:
        f.write(with_note(text, 'inline constexpr RoleWeights ' + roles[0], source, tool))


def class_columns(names):
    """A role's columns that belong to the named classes: their own and every pair with one."""
    unknown = set(names) - set(CLASS_NAMES)
    if unknown:
        sys.exit(f'tune.py: no line class {", ".join(sorted(unknown))}')
    chosen = {CLASS_NAMES.index(name) for name in names}
    columns = sorted(chosen)
    for a in range(LINE_CLASSES):
        for b in range(a, LINE_CLASSES):
            if a in chosen or b in chosen:
                columns.append(LINE_CLASSES + SHAPES + a * LINE_CLASSES - a * (a - 1) // 2 + (b - a))
    return columns


def report(label, weights, scale, x, y, extra, train, held):
    terms = fit_terms(x[train], y[train], extra[train], weights, scale)
    fit = loss(y[train], logit(x[train], weights, scale, extra[train], terms))
    out = loss(y[held], logit(x[held], weights, scale, extra[held], terms))
    print(f'{label:8} loss: fit {fit:.5f}, held out {out:.5f}')


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('features')
    ap.add_argument('--weights', default='engine/play/weights.h')
    ap.add_argument('--holdout', type=float, default=0.1)
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--ridge', type=float, default=1e-6)
    ap.add_argument('--scale', type=float, default=DEFAULT_SCALE,
                    help='logit per unit of evaluation (default 1/400)')
    ap.add_argument('--combinations', help="brenk-features' combination counts: fit kCombinations")
    ap.add_argument('--least', type=int, default=200,
                    help='training positions that must hold a combination for it to be fitted')
    ap.add_argument('--holding', help="brenk-features' combination counts: hold kCombinations")
    ap.add_argument('--threat-sets', action='store_true',
                    help='fit kThreatValues, every other weight held (needs --holding)')
    ap.add_argument('--shape-counts', action='store_true',
                    help='fit kShapeCountValues, every other weight held (needs --holding)')
    ap.add_argument('--only', help='fit only these line classes and their pairs (names, by commas)')
    ap.add_argument('--write', action='store_true', help='write the fitted weights into --weights')
    ap.add_argument('--source', default='', help='the data set and command, for the comment')
    args = ap.parse_args()

    data = np.loadtxt(args.features, ndmin=2)
    if data.shape[1] != COLUMNS:
        sys.exit(f'tune.py: {data.shape[1]} columns where {COLUMNS} belong')
    y, extra, x = data[:, 0], nuisance(data[:, 1]), design(data[:, 2:])
    order = np.random.default_rng(args.seed).permutation(len(y))
    held = order[:int(len(y) * args.holdout)]
    train = order[len(held):]
    with open(args.weights) as f:
        text = f.read()
    start = read_weights(text)
    free = x[train].std(axis=0) > 0
    for role in range(2):
        free[[role * ROLE + column for column in FIXED]] = False
    if np.any(start[[role * ROLE + column for role in range(2) for column in FIXED]] != 0):
        sys.exit('tune.py: the dead class, two dead lines, the five and no shape must weigh 0')
    terms = board_terms(text, data[:, 2:])
    fitting = 'threat sets' if args.threat_sets else 'shape counts' if args.shape_counts else None
    for name, values in terms.items():
        if name != fitting:
            x, start = held_column(x, start, values)
    if fitting:
        if not args.holding:
            sys.exit(f'tune.py: fitting the {fitting} needs --holding')
        x, start = held_column(x, start, combination_sums(args.holding, text, len(y)))
        fit = fit_threat_sets if args.threat_sets else fit_shape_counts
        return fit(args, text, x, y, extra, train, held, start, terms.get(fitting), data[:, 2:])
    free = np.append(free, np.zeros(len(start) - len(free), dtype=bool))
    if args.combinations:
        return fit_combinations(args, text, x, y, extra, train, held, start)
    if args.only:
        chosen = np.zeros(ROLE, dtype=bool)
        chosen[class_columns(args.only.split(','))] = True
        free[:2 * ROLE] &= np.concatenate([chosen, chosen])
    if args.holding:
        x, start = held_column(x, start, combination_sums(args.holding, text, len(y)))
        free = np.append(free, False)
    scale = args.scale
    # Counts that never vary here (0, or a shape the leaf never has) keep their weights.
    fitted = round_in_blocks(x[train], y[train], extra[train], free, args.ridge, scale, start)
    clipped = np.mean(np.abs(x[train] @ fitted) > EVAL_LIMIT)
    print(f'positions: {len(train)} to fit, {len(held)} held out; scale 1/{1 / scale:.0f}, '
          f'{100 * clipped:.2f} % of the fitted evaluations beyond +-{EVAL_LIMIT}')
    current_scale = fit_scale(x[train], y[train], extra[train], start)[0]
    report('current', start, current_scale, x, y, extra, train, held)
    report('fitted', fitted, scale, x, y, extra, train, held)
    tempo = held_tempo(text, float(np.mean(x[train] @ (fitted - start))))
    for index, name in enumerate(ROLES):
        part = fitted[index * ROLE:(index + 1) * ROLE]
        print(f'{name}: classes {part[:LINE_CLASSES].astype(int).tolist()} '
              f'shapes {part[LINE_CLASSES:LINE_CLASSES + SHAPES].astype(int).tolist()}')
    if args.write:
        write_weights(args.weights, text, fitted, args.source or args.features, tempo)
        print(f'written to {args.weights}')


def held_column(x, start, column):
    """x with one more column whose weight stays 1: a term of the evaluation that the fit holds."""
    return np.column_stack([x, column]), np.append(start, 1.0)


def combination_sums(path, text, positions):
    """Each position's sum of kCombinations' corrections."""
    rows = combinations.read_counts(path)
    if len(rows) != positions:
        sys.exit(f'tune.py: {len(rows)} lines of combinations for {positions} positions')
    codes, table_weights = combinations.table_columns(combinations.read_table(text))
    return combinations.matrix(rows, codes) @ table_weights


def board_terms(text, counts):
    """Each position's value from the tables of the whole board's threats that weights.h has."""
    terms = {}
    table = threat_sets.read_table(text)
    if table is not None:
        terms['threat sets'] = threat_sets.values(threat_sets.flags(counts, ROLE, LINE_CLASSES), table)
    values = shape_counts.read_table(text)
    if values is not None:
        terms['shape counts'] = shape_counts.columns(counts, ROLE, LINE_CLASSES) @ values
    return terms


def fit_table(args, text, x, y, extra, train, held, start, current, columns, free):
    """Fits the weights of the given columns with every other weight held, reports the table's
    losses before and after, and returns the fitted weights and kTempo that holds the mean."""
    if current is None:
        sys.exit('tune.py: the weights file has no such table')
    report('current', np.append(start, 1.0), args.scale, np.column_stack([x, current]), y, extra, train, held)
    a = np.hstack([x, columns])
    weights = np.concatenate([start, np.zeros(columns.shape[1])])
    free = np.concatenate([np.zeros(len(start), dtype=bool), free])
    fitted = round_in_blocks(a[train], y[train], extra[train], free, args.ridge, args.scale, weights, blocks=(16, 64))
    report('fitted', fitted, args.scale, a, y, extra, train, held)
    tempo = held_tempo(text, float(np.mean(columns[train] @ fitted[len(start):] - current[train])))
    return fitted[len(start):], tempo


def write_table(args, text, target):
    """Writes the weights file with a table refitted, the note naming the data above `target`."""
    with open(args.weights, 'w') as f:
        f.write(with_note(text, target, args.source or args.features))
    print(f'written to {args.weights}')


def fit_threat_sets(args, text, x, y, extra, train, held, start, current, counts):
    """Fits kThreatValues for the sets of threats that at least --least positions hold."""
    sets = threat_sets.flags(counts, ROLE, LINE_CLASSES)
    chosen = threat_sets.frequent(sets, train, args.least)
    print(f'positions: {len(train)} to fit, {len(held)} held out; {len(chosen)} sets of threats in at '
          f'least {args.least} of them')
    columns = threat_sets.indicators(sets, chosen)
    fitted, tempo = fit_table(args, text, x, y, extra, train, held, start, current, columns,
                              np.ones(len(chosen), dtype=bool))
    if args.write:
        table = dict(zip(chosen, (int(v) for v in fitted)))
        write_table(args, threat_sets.write_table(with_tempo(text, tempo), table), threat_sets.TABLE_START)


def fit_shape_counts(args, text, x, y, extra, train, held, start, current, counts):
    """Fits kShapeCountValues."""
    columns = shape_counts.columns(counts, ROLE, LINE_CLASSES)
    print(f'positions: {len(train)} to fit, {len(held)} held out')
    fitted, tempo = fit_table(args, text, x, y, extra, train, held, start, current, columns,
                              shape_counts.free_columns())
    if args.write:
        write_table(args, shape_counts.write_table(with_tempo(text, tempo), fitted), shape_counts.TABLE_START)


def fit_combinations(args, text, x, y, extra, train, held, start):
    """Fits kCombinations with the other weights held, and reports both tables' losses."""
    rows = combinations.read_counts(args.combinations)
    if len(rows) != len(y):
        sys.exit(f'tune.py: {len(rows)} lines of combinations for {len(y)} positions')
    table_codes, table_weights = combinations.table_columns(combinations.read_table(text))
    current = np.hstack([x, combinations.matrix(rows, table_codes)])
    report('current', np.concatenate([start, table_weights]), args.scale, current, y, extra, train, held)
    before = float(np.mean(current[train] @ np.concatenate([start, table_weights])))
    del current
    codes = combinations.frequent(rows, train, args.least)
    a = np.hstack([x, combinations.matrix(rows, codes)])
    free = np.arange(a.shape[1]) >= len(start)
    weights = np.concatenate([start, np.zeros(a.shape[1] - len(start))])
    fitted = round_in_blocks(a[train], y[train], extra[train], free, args.ridge, args.scale, weights,
                             blocks=(16, 64))
    print(f'positions: {len(train)} to fit, {len(held)} held out; {len(codes[0])} own and '
          f'{len(codes[1])} their combinations in at least {args.least} of them')
    report('fitted', fitted, args.scale, a, y, extra, train, held)
    tempo = held_tempo(text, float(np.mean(a[train] @ fitted)) - before)
    if args.write:
        text = combinations.write_table(with_tempo(text, tempo), combinations.to_table(codes, fitted[len(start):]))
        write_table(args, text, combinations.TABLE_START)

if __name__ == '__main__':
    main()
