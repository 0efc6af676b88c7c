"""Corrections of the evaluation for whole combinations of a cell's four line classes
(engine/play/weights.h: kCombinations), on top of the class, shape and pair weights.

A combination is written as the four base classes' numbers in ascending order ("1246": B1, F1,
F2, F3; open twos and threes whatever their ways), as brenk-features --combinations counts them. The class weights and their pairs cannot tell
every combination apart; a correction can, where the data holds the combination often enough.
"""
import re
import sys

import numpy as np

CLASS_NAMES = ['kDead', 'kB1', 'kF1', 'kB2', 'kF2', 'kB3', 'kF3', 'kB4', 'kF4', 'kF5']
FIVE = 9
TABLE_START = 'inline constexpr ClassCombination kCombinations[] = {'
TABLE_PATTERN = re.escape(TABLE_START) + r'\n(.*?)\n\};'
ENTRY_PATTERN = r'\{\{(\w+), (\w+), (\w+), (\w+)\}, (-?\d+), (-?\d+)\}'


def read_counts(path):
    """Per position, the counts of the side to move's combinations and of the other side's."""
    rows = []
    with open(path) as f:
        for line in f:
            own, their = line.split('|')
            rows.append(tuple({int(code): int(count) for code, count in
                               (item.split(':') for item in part.split())} for part in (own, their)))
    return rows


def frequent(rows, train, least):
    """The combinations of each role found in at least `least` of the training positions, except
    the five (never at a quiet leaf) and four dead lines (what every weight is measured from)."""
    codes = []
    for role in range(2):
        seen = {}
        for index in train:
            for code in rows[index][role]:
                seen[code] = seen.get(code, 0) + 1
        codes.append(sorted(code for code, n in seen.items()
                            if n >= least and code != 0 and code % 10 != FIVE))
    return codes


def matrix(rows, codes):
    """The counts in columns, own combinations then the other side's, the latter subtracted."""
    columns = {(role, code): i for i, (role, code) in
               enumerate((role, code) for role in range(2) for code in codes[role])}
    x = np.zeros((len(rows), len(columns)))
    for r, row in enumerate(rows):
        for role in range(2):
            for code, count in row[role].items():
                column = columns.get((role, code))
                if column is not None:
                    x[r, column] = count if role == 0 else -count
    return x


def digits(code):
    return [int(d) for d in f'{code:04d}']


def read_table(text):
    """The corrections in weights.h, {code: (own, their)}."""
    body = re.search(TABLE_PATTERN, text, re.S)
    if not body:
        sys.exit('tune.py: no kCombinations in the weights file')
    table = {}
    for entry in re.finditer(ENTRY_PATTERN, body.group(1)):
        classes = sorted(CLASS_NAMES.index(name) for name in entry.group(1, 2, 3, 4))
        code = int(''.join(map(str, classes)))
        table[code] = (int(entry.group(5)), int(entry.group(6)))
    return table


def table_columns(table):
    """The codes and weights of a table, in matrix()'s column order."""
    codes = [sorted(table), sorted(table)]
    weights = [table[c][0] for c in codes[0]] + [table[c][1] for c in codes[1]]
    return codes, np.array(weights, dtype=float)


def format_table(table):
    """The table's initialiser lines; the entry of four dead lines weighing 0 keeps it from
    being empty."""
    table = {code: value for code, value in table.items() if value != (0, 0)} or {0: (0, 0)}
    lines = []
    for code in sorted(table):
        names = ', '.join(CLASS_NAMES[d] for d in digits(code))
        lines.append(f'    {{{{{names}}}, {table[code][0]}, {table[code][1]}}},')
    return TABLE_START + '\n' + '\n'.join(lines) + '\n};'


def write_table(text, table):
    if not re.search(TABLE_PATTERN, text, re.S):
        sys.exit('tune.py: no kCombinations in the weights file')
    return re.sub(TABLE_PATTERN, lambda _: format_table(table), text, flags=re.S)


def to_table(codes, weights):
    table = {}
    for role in range(2):
        for i, code in enumerate(codes[role]):
            value = int(weights[role * len(codes[0]) + i])
            own, their = table.get(code, (0, 0))
            table[code] = (value, their) if role == 0 else (own, value)
    return table
