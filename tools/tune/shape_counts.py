"""The evaluation's values for how many empty cells make each shape (engine/play/weights.h:
kShapeCountValues), for the side to move and for the side that has just moved, by level of the
count: one, two, three, four or five, six or more.

The cells' shape bonuses count every such cell alike, but two cells that make an open four are
not twice one: with two the side that has just moved has two open threes, or a three that no
single block stops. The counts are brenk-features' shape columns at the quiet leaf, as the
engine reads them from its board's.
"""
import re
import sys

import numpy as np

SHAPE_NAMES = ['five', 'flex-four', 'four-three', 'four-plus', 'four', 'double three', 'three-plus',
               'three', 'block-three-plus', 'double two', 'block-three', 'two', 'none']
# The first count of each level; a count of 0 weighs nothing.
LEVEL_STARTS = [1, 2, 3, 4, 6]
# Shapes whose counts weigh nothing: a five never stands at a quiet leaf, and every board has
# hundreds of cells of no shape.
FIXED = {0, 12}
TABLE_START = 'inline constexpr int16_t kShapeCountValues[2][kShapes][kCountLevels] = {'
TABLE_PATTERN = re.escape(TABLE_START) + r'\n(.*?)\n\};'
ROLE_COMMENTS = ['the side to move', 'the side that has just moved']


def level(count):
    """The level index of each count, -1 for none."""
    return np.searchsorted(LEVEL_STARTS, count, side='right') - 1


def columns(counts, role_size, shape_start):
    """One indicator column per role, shape and level (in weights.h's order), from
    brenk-features' counts (the side to move's role first)."""
    result = []
    for role in range(2):
        for shape in range(len(SHAPE_NAMES)):
            at = level(counts[:, role * role_size + shape_start + shape])
            result += [at == k for k in range(len(LEVEL_STARTS))]
    return np.column_stack(result).astype(float)


def free_columns():
    """Which of columns()' columns a fit may move."""
    free = np.ones((2, len(SHAPE_NAMES), len(LEVEL_STARTS)), dtype=bool)
    free[:, sorted(FIXED), :] = False
    return free.ravel()


def read_table(text):
    """The values in weights.h, flat in columns()' order; None when the file has none."""
    body = re.search(TABLE_PATTERN, text, re.S)
    if not body:
        return None
    numbers = [int(t) for t in re.findall(r'-?\d+', re.sub(r'//[^\n]*', '', body.group(1)))]
    size = 2 * len(SHAPE_NAMES) * len(LEVEL_STARTS)
    if len(numbers) != size:
        sys.exit(f'tune.py: kShapeCountValues has {len(numbers)} values where {size} belong')
    return np.array(numbers, dtype=float)


def format_table(values):
    values = np.asarray(values, dtype=int).reshape(2, len(SHAPE_NAMES), len(LEVEL_STARTS))
    lines = [TABLE_START]
    for role in range(2):
        lines.append(f'    {{  // {ROLE_COMMENTS[role]}')
        for shape, name in enumerate(SHAPE_NAMES):
            lines.append(f'        {{{", ".join(str(v) for v in values[role, shape])}}},  // {name}')
        lines.append('    },')
    return '\n'.join(lines) + '\n};'


def write_table(text, values):
    if not re.search(TABLE_PATTERN, text, re.S):
        sys.exit('tune.py: no kShapeCountValues in the weights file')
    return re.sub(TABLE_PATTERN, lambda _: format_table(values), text, flags=re.S)
