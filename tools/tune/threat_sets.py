"""The evaluation's values for whole sets of threats (engine/play/weights.h: kThreatValues), on
top of the cells' values: which shapes each side could make with one more stone anywhere, five
flags a side, and one value for each set of flags that the data holds often enough.

The cells' values count every threat where it lies; what a set of threats means depends on who
moves next (an open three of the side that has just moved must be answered at once, one of the
side to move need not be), which no sum over cells can tell. The flags are read from
brenk-features' shape counts at the quiet leaf, as the engine reads them from its board's.
"""
import re
import sys

import numpy as np

FLAG_NAMES = ['kOwnFlexFour', 'kOwnFourPlus', 'kOwnFour', 'kOwnThreePlus', 'kOwnThree',
              'kTheirFlexFour', 'kTheirFourPlus', 'kTheirFour', 'kTheirThreePlus', 'kTheirThree']
# The shapes behind each of a side's five flags, as tune.py's shape columns number them
# (five 0, flex-four 1, four-three 2, four-plus 3, four 4, double three 5, three-plus 6, three 7).
FLAG_SHAPES = [(1,), (2, 3), (4,), (5, 6), (7,)]
TABLE_START = 'inline constexpr ThreatValue kThreatValues[] = {'
TABLE_PATTERN = re.escape(TABLE_START) + r'\n(.*?)\n\};'
ENTRY_PATTERN = r'\{([\w|\s]+), (-?\d+)\}'


def flags(counts, role_size, shape_start):
    """Each position's set of flags, from brenk-features' counts (the side to move's role first,
    each role's shape counts from column shape_start)."""
    result = np.zeros(len(counts), dtype=int)
    for role in range(2):
        for bit, shapes in enumerate(FLAG_SHAPES):
            present = sum(counts[:, role * role_size + shape_start + s] for s in shapes) > 0
            result |= present.astype(int) << (5 * role + bit)
    return result


def name(flag_set):
    return ' | '.join(FLAG_NAMES[bit] for bit in range(len(FLAG_NAMES)) if flag_set >> bit & 1)


def read_table(text):
    """The values in weights.h, {flag set: value}; None when the file has no such table."""
    body = re.search(TABLE_PATTERN, text, re.S)
    if not body:
        return None
    table = {}
    for entry in re.finditer(ENTRY_PATTERN, body.group(1)):
        names = [n.strip() for n in entry.group(1).split('|')]
        if names == ['0']:  # the placeholder of an empty table
            continue
        unknown = set(names) - set(FLAG_NAMES)
        if unknown:
            sys.exit(f'tune.py: no threat flag {", ".join(sorted(unknown))}')
        table[sum(1 << FLAG_NAMES.index(n) for n in names)] = int(entry.group(2))
    return table


def values(flag_sets, table):
    """Each position's value from the table (0 for a set it does not hold)."""
    return np.array([table.get(int(f), 0) for f in flag_sets], dtype=float)


def frequent(flag_sets, train, least):
    """The sets found in at least `least` training positions, but the empty set (what the
    values are measured from)."""
    seen, counts = np.unique(flag_sets[train], return_counts=True)
    return [int(f) for f, n in zip(seen, counts) if n >= least and f != 0]


def indicators(flag_sets, sets):
    return (np.asarray(flag_sets)[:, None] == np.array(sets)[None, :]).astype(float)


def format_table(table):
    """The initialiser; an empty set weighing 0 keeps it from being empty."""
    table = {f: v for f, v in table.items() if v != 0 and f != 0}
    if not table:
        return TABLE_START + '\n    {0, 0},\n};'
    lines = [entry(f, table[f]) for f in sorted(table)]
    return TABLE_START + '\n' + '\n'.join(lines) + '\n};'


def entry(flag_set, value, width=100):
    """One initialiser line, its flags carried over to more lines past `width` columns."""
    names = name(flag_set).split(' | ')
    lines, line = [], '    {' + names[0]
    for n in names[1:]:
        if len(line) + len(n) + 3 > width:
            lines.append(line + ' |')
            line = '     ' + n
        else:
            line += ' | ' + n
    return '\n'.join(lines + [f'{line}, {value}}},'])


def write_table(text, table):
    if not re.search(TABLE_PATTERN, text, re.S):
        sys.exit('tune.py: no kThreatValues in the weights file')
    return re.sub(TABLE_PATTERN, lambda _: format_table(table), text, flags=re.S)
