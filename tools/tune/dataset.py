#!/usr/bin/env python3
"""Turns c-gomoku-cli's sample files (-sample format=csv: the moves so far, the move played, the
result for the side to move: 0 loss, 1 draw, 2 win) into one deduplicated training set.

Each output line is a 20x20 board, row by row ('x' the first player, 'o' the second, '.' empty),
a space, and the mean result for the side to move over every game that reached the position
(1 win, 0.5 draw, 0 loss). The side to move is the one with fewer stones, x when equal.

    dataset.py RAW.csv [RAW.csv ...] > positions.txt

With --moves each distinct board is written once with the move played there first instead (its
x and y, from 0), for the move ordering's fit (tools/tune/policy.py):

    dataset.py --moves RAW.csv [RAW.csv ...] > moves.txt
"""
import re
import sys

SIZE = 20
MOVE = re.compile(r'([a-z])(\d+)')


def board_of(moves):
    cells = ['.'] * (SIZE * SIZE)
    for i, (letter, number) in enumerate(MOVE.findall(moves)):
        x, y = ord(letter) - ord('a'), int(number) - 1
        if not (0 <= x < SIZE and 0 <= y < SIZE) or cells[y * SIZE + x] != '.':
            return None
        cells[y * SIZE + x] = 'xo'[i % 2]
    return ''.join(cells)


def cell_of(move):
    """The x and y of one move ('l9' is 11, 8), or None."""
    found = MOVE.fullmatch(move)
    if not found:
        return None
    x, y = ord(found.group(1)) - ord('a'), int(found.group(2)) - 1
    return (x, y) if 0 <= x < SIZE and 0 <= y < SIZE else None


def main(paths, moves=False):
    results = {}
    lines = bad = 0
    for path in paths:
        with open(path) as f:
            for line in f:
                parts = line.strip().split(',')
                if len(parts) != 3 or parts[2] not in ('0', '1', '2'):
                    bad += 1
                    continue
                lines += 1
                board = board_of(parts[0])
                if board is None:
                    bad += 1
                    continue
                if moves:
                    cell = cell_of(parts[1])
                    if cell is None:
                        bad += 1
                    else:
                        results.setdefault(board, cell)
                    continue
                total, count = results.get(board, (0.0, 0))
                results[board] = (total + int(parts[2]) / 2, count + 1)
    for board, value in results.items():
        print(f'{board} {value[0]} {value[1]}' if moves else f'{board} {value[0] / value[1]:g}')
    print(f'dataset: {lines} sampled positions, {len(results)} distinct, {bad} lines skipped',
          file=sys.stderr)


if __name__ == '__main__':
    if sys.argv[1:2] == ['--moves']:
        main(sys.argv[2:], moves=True)
    else:
        main(sys.argv[1:])
