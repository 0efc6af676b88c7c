#!/usr/bin/env python3
"""Random balanced openings for training games: each line is a balanced opening from the peers'
file, turned by one of the board's eight symmetries, with one stone of each colour added next to
the stones already there, so that the side to move and the balance stay roughly as they were.
Output is c-gomoku-cli's offset format, one opening a line.

    openings.py SOURCE --count N --seed S > openings.txt
"""
import argparse
import random


def parse(line):
    nums = [int(t) for t in line.replace(',', ' ').split()]
    return list(zip(nums[0::2], nums[1::2]))


def turn(stones, k):
    out = []
    for x, y in stones:
        if k & 1:
            x = -x
        if k & 2:
            y = -y
        if k & 4:
            x, y = y, x
        out.append((x, y))
    return out


def near_empty(stones, rng, reach=2, half=10):
    taken = set(stones)
    cells = sorted({(x + dx, y + dy) for x, y in stones
                    for dx in range(-reach, reach + 1) for dy in range(-reach, reach + 1)}
                   - taken)
    cells = [(x, y) for x, y in cells if -half <= x < half and -half <= y < half]
    return rng.choice(cells)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('source')
    ap.add_argument('--count', type=int, required=True)
    ap.add_argument('--seed', type=int, required=True)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    base = [parse(l) for l in open(args.source) if l.strip()]
    for _ in range(args.count):
        stones = turn(rng.choice(base), rng.randrange(8))
        for _ in range(2):
            stones.append(near_empty(stones, rng))
        print(', '.join(f'{x},{y}' for x, y in stones))


if __name__ == '__main__':
    main()
