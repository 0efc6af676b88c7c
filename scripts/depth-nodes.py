#!/usr/bin/env python3
"""Nodes that builds of brenk-cli take to search the same positions to a fixed depth: how much a
change of pruning or ordering saves, with no clock involved.

Positions come from the games of an SGF file (those where --player is to move, from ply --from
on, every --every-th of them, at most --positions). Each goes to `brenk-cli analyze --threats
--depth D` of every build; positions that some build settles without the alpha-beta search are
left out. Printed: one row per position (nodes and move of each build), then the totals, each
build's total over the first's, and how many moves agree with the first build's.

Usage: scripts/depth-nodes.py GAMES.sgf CLI [CLI ...] [--depth 6] [--player brain] [--from 17]
                              [--every 3] [--positions 60]
"""
import argparse
import importlib.util
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tools', 'tune'))
import teacher  # noqa: E402

_spec = importlib.util.spec_from_file_location('move_loss', os.path.join(HERE, 'move-loss.py'))
move_loss = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(move_loss)
SIZE = move_loss.SIZE


def write_game(directory, board):
    rows = [board[r * SIZE:(r + 1) * SIZE].replace('.', '-') for r in range(SIZE)]
    with open(os.path.join(directory, 'plocha.dat'), 'w') as f:
        f.write('\n'.join(rows) + '\n')
    with open(os.path.join(directory, 'tah.dat'), 'w') as f:
        f.write(teacher.mover(board) + '\n')


def search(cli, directory, depth):
    """(nodes, move) of the alpha-beta search, or None when the build decided otherwise."""
    out = subprocess.run([cli, 'analyze', '--threats', '--depth', str(depth), directory],
                         capture_output=True, text=True, check=True).stdout
    nodes = re.search(r'Alpha-beta: depth \d+, score [^,]+, (\d+) nodes', out)
    move = re.search(r'Move: row (\d+), column (\d+)', out)
    return (int(nodes.group(1)), move.groups()) if nodes and move else None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('games')
    parser.add_argument('clis', nargs='+')
    parser.add_argument('--depth', type=int, default=6)
    parser.add_argument('--player', default='brain')
    parser.add_argument('--from', dest='first', type=int, default=17)
    parser.add_argument('--every', type=int, default=3)
    parser.add_argument('--positions', type=int, default=60)
    args = parser.parse_args()
    boards = list(move_loss.positions_of(args.games, args.player, args.first))
    boards = boards[::args.every][:args.positions]
    totals = [0] * len(args.clis)
    searched = agreeing = 0
    with tempfile.TemporaryDirectory() as directory:
        for index, board in enumerate(boards):
            write_game(directory, board)
            results = [search(cli, directory, args.depth) for cli in args.clis]
            print(index, results, flush=True)
            if any(r is None for r in results):
                continue
            searched += 1
            agreeing += results[-1][1] == results[0][1]
            totals = [t + r[0] for t, r in zip(totals, results)]
    if searched == 0:
        sys.exit('depth-nodes.py: no position was searched by every build')
    ratios = ' '.join(f'{t / totals[0]:.3f}' for t in totals)
    print(f'{searched} positions at depth {args.depth}: nodes {totals}, over the first {ratios}; '
          f'last build plays the first\'s move in {agreeing}')


if __name__ == '__main__':
    main()
