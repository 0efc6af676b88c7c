#!/usr/bin/env python3
"""How much of its winning chance a brain gives away per move, as Rapfi judges it: a measure of
strength against Rapfi with far more resolution than a match that the brain loses 38 - 2.

Positions come from the games of an SGF file (those where the player named --player is to
move, from ply --from on, a sample of --positions). For each, Rapfi judges the position itself
(its best, cached in --cache), the brain plays its move at --turn-ms, and Rapfi judges the
position after it from the other side. With p(e) = 1 / (1 + exp(-e / SCALE)) (a proved win or
loss is 1 or 0), the loss of a move is p(before) - (1 - p(after)). Positions Rapfi has proved
already are skipped. Printed per brain: the mean loss, the share of moves losing more than 0.2,
how often the brain played Rapfi's own move, and for every brain after the first the mean
difference from the first on the same positions (negative: it gives away less).

Usage: scripts/move-loss.py GAMES.sgf BRAIN [BRAIN ...] [--player brain] [--from 7]
                            [--positions 300] [--seed 1] [--turn-ms 1000] [--judge-ms 200]
                            [--jobs 2] [--rapfi PATH] [--cache FILE]
Each BRAIN is a pbrain executable (no arguments); GAMES.sgf is c-gomoku-cli's, as match.sh keeps it.
"""
import argparse
import json
import math
import os
import random
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tools', 'tune'))
import labels  # noqa: E402
import teacher  # noqa: E402

SIZE = 20
# Rapfi's evaluation that best predicts the training games' results is about 770 units to odds
# of e to 1 (tools/tune/labels.py on the teacher set).
SCALE = 770.0


def positions_of(path, player, first):
    """Every position of the games where `player` is to move, from ply `first` on, as tools/tune's
    400-character board (x the first player)."""
    text = open(path).read()
    for game in text.split('(;')[1:]:
        black = re.search(r'PB\[([^]]*)\]', game).group(1)
        moves = re.findall(r';([BW])\[([a-t])([a-t])\]', game)
        cells = ['.'] * (SIZE * SIZE)
        for ply, (colour, col, row) in enumerate(moves, start=1):
            mover_is_player = (colour == 'B') == (black == player)
            if ply >= first and mover_is_player:
                yield ''.join(cells)
            cells[(ord(row) - 97) * SIZE + ord(col) - 97] = 'x' if colour == 'B' else 'o'


def probability(judged):
    if judged in ('W', 'L'):
        return 1.0 if judged == 'W' else 0.0
    return labels.sigmoid(int(judged) / SCALE)


def after(board, move):
    x, y = map(int, move.split(','))
    i = y * SIZE + x
    if board[i] != '.':
        return None
    return board[:i] + teacher.mover(board) + board[i + 1:]


def mean_and_margin(values):
    """The mean and its 95 % margin, as text."""
    mean = sum(values) / len(values)
    sd = math.sqrt(sum((x - mean) ** 2 for x in values) / max(1, len(values) - 1))
    return f'{mean:+.4f} (+-{1.96 * sd / math.sqrt(len(values)):.4f})'


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('games')
    parser.add_argument('brains', nargs='+')
    parser.add_argument('--player', default='brain')
    parser.add_argument('--from', dest='first', type=int, default=7)
    parser.add_argument('--positions', type=int, default=300)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--turn-ms', type=int, default=1000)
    parser.add_argument('--judge-ms', type=int, default=200)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--rapfi', default=teacher.DEFAULT_BRAIN)
    parser.add_argument('--cache', default=None, help="Rapfi's judgements, kept between runs")
    args = parser.parse_args()

    boards = sorted(set(positions_of(args.games, args.player, args.first)))
    random.Random(args.seed).shuffle(boards)
    cache = {}
    if args.cache and os.path.exists(args.cache):
        with open(args.cache) as f:
            cache = json.load(f)

    def judge(board, state):
        if board not in cache:
            if 'rapfi' not in state:
                state['rapfi'] = teacher.Teacher(args.rapfi, args.judge_ms)
            cache[board] = state['rapfi'].answer(board)
        return cache[board]

    # Rapfi's judgement of each position: unproved ones are kept, up to --positions.
    chosen = []
    for start in range(0, len(boards), args.positions):
        batch = boards[start:start + args.positions]
        judged = teacher.run_parallel(batch, judge, args.jobs)
        chosen += [(b, j) for b, j in zip(batch, judged) if j[1] not in (None, 'W', 'L')]
        if len(chosen) >= args.positions:
            break
    chosen = chosen[:args.positions]

    first = None
    for brain in args.brains:
        def play(item, state):
            board, (best_move, best) = item
            if 'brain' not in state:
                state['brain'] = teacher.Teacher(brain, args.turn_ms)
            move, _ = state['brain'].answer(board)
            next_board = after(board, move)
            if next_board is None:
                return None
            _, reply = judge(next_board, state)
            if reply is None:
                return None
            return probability(best) - (1 - probability(reply)), move == best_move

        aligned = teacher.run_parallel(chosen, play, args.jobs)
        results = [r for r in aligned if r is not None]
        losses = [loss for loss, _ in results]
        line = (f'{brain}: {len(losses)} positions, mean loss {mean_and_margin(losses)}, over 0.2: '
                f'{sum(x > 0.2 for x in losses) / len(losses):.1%}, '
                f"Rapfi's move: {sum(same for _, same in results) / len(results):.1%}")
        if first is None:
            first = aligned
        else:
            # The same positions for both brains: the difference has less noise than either mean.
            pairs = [a[0] - b[0] for a, b in zip(aligned, first) if a and b]
            line += f'; against the first brain {mean_and_margin(pairs)}'
        print(line, flush=True)
    if args.cache:
        with open(args.cache, 'w') as f:
            json.dump(cache, f)


if __name__ == '__main__':
    main()
