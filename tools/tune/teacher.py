#!/usr/bin/env python3
"""Labels training positions with a stronger brain's judgement: each sampled position goes to the
teacher (a Gomocup brain speaking the pbrain protocol, Rapfi by default) as a BOARD with the side
to move as its own stones, and the teacher's last reported evaluation is kept beside the game's
result. A game's result says little about a position where weak play followed it; the teacher's
search says what the position is worth.

Input lines are those of dataset.py (board, result for the side to move); output lines add the
teacher's evaluation for the side to move, in its own units, or W / L for a win or loss it found:

    teacher.py positions.txt [--sample N] [--seed S] [--jobs 2] [--turn-ms 50]
               [--brain ../shared/peers/rapfi/pbrain-rapfi] [--exclude OLD.txt] > teacher.txt

labels.py turns these into results to fit.
"""
import argparse
import os
import random
import re
import subprocess
import sys
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_BRAIN = os.path.join(HERE, '../../../shared/peers/rapfi/pbrain-rapfi')
SIZE = 20
REPORT = re.compile(r'Speed \S+ \| Depth \S+ \| Eval (\S+) \|')


def mover(board):
    """The side to move: the one with fewer stones, x when the counts are equal."""
    return 'x' if board.count('x') == board.count('o') else 'o'


def stones(board):
    """The side to move's stones and the other side's, as (x, y)."""
    me = mover(board)
    own = [(i % SIZE, i // SIZE) for i, c in enumerate(board) if c == me]
    other = [(i % SIZE, i // SIZE) for i, c in enumerate(board) if c not in ('.', me)]
    return own, other


def verdict(text):
    """The teacher's evaluation as written, or W / L for a proved result (Rapfi writes those with
    a letter and a distance, such as +M12 or -M7)."""
    if re.fullmatch(r'[+-]?\d+', text):
        return str(int(text))
    return 'L' if text.startswith('-') else 'W'


class Teacher:
    def __init__(self, brain, turn_ms):
        self.proc = subprocess.Popen([os.path.abspath(brain)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                     cwd=os.path.dirname(os.path.abspath(brain)))
        self.send([f'START {SIZE}', f'INFO timeout_turn {turn_ms}', 'INFO timeout_match 0'])
        self.read_until(lambda line: line == 'OK')

    def send(self, lines):
        self.proc.stdin.write('\n'.join(lines) + '\n')
        self.proc.stdin.flush()

    def read_until(self, done):
        seen = []
        for line in self.proc.stdout:
            line = line.rstrip('\r\n')
            seen.append(line)
            if done(line):
                return seen
        raise RuntimeError('teacher: the brain stopped answering')

    def answer(self, board):
        """The brain's move ("x,y") and its last reported evaluation (None when it wrote none)."""
        own, other = stones(board)
        # Own stones first and the opponent's last, as brains reading the side to move from the
        # last stone listed expect.
        self.send(['BOARD'] + [f'{x},{y},1' for x, y in own] + [f'{x},{y},2' for x, y in other]
                  + ['DONE'])
        seen = self.read_until(lambda line: re.fullmatch(r'\d+,\d+', line) is not None)
        for line in reversed(seen):
            m = REPORT.search(line)
            if m:
                return seen[-1], verdict(m.group(1))
        return seen[-1], None

    def judge(self, board):
        return self.answer(board)[1]

    def close(self):
        self.send(['END'])
        self.proc.stdin.close()
        self.proc.wait(timeout=10)


def run_parallel(items, work, jobs):
    """work(item, state) for every item, on `jobs` threads, each with its own `state` (a dict of
    brains, closed at the end); the results in the items' order. A thread's failure is raised
    here, after every thread has stopped, so that a brain that stops answering fails the run
    instead of leaving a part of it unjudged."""
    out = [None] * len(items)
    failures = []

    def shard(j):
        state = {}
        try:
            for i in range(j, len(items), jobs):
                out[i] = work(items[i], state)
        except Exception as failure:  # noqa: BLE001 (handed to the caller below)
            failures.append(failure)
        for brain in state.values():
            try:
                brain.close()
            except (OSError, subprocess.SubprocessError) as failure:
                failures.append(failure)

    threads = [threading.Thread(target=shard, args=(j,)) for j in range(jobs)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if failures:
        raise failures[0]
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('positions')
    parser.add_argument('--sample', type=int, default=0, help='positions to label (0: all)')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--turn-ms', type=int, default=50)
    parser.add_argument('--brain', default=DEFAULT_BRAIN)
    parser.add_argument('--exclude', action='append', default=[],
                        help="a teacher file whose boards are judged already")
    args = parser.parse_args()

    judged = set()
    for path in args.exclude:
        with open(path) as f:
            judged.update(line.split()[0] for line in f if line.strip())
    with open(args.positions) as f:
        rows = [fields for fields in (tuple(line.split()) for line in f)
                if fields and fields[0] not in judged]
    if args.sample and args.sample < len(rows):
        rows = random.Random(args.seed).sample(rows, args.sample)
    lock, done = threading.Lock(), [0]

    def label(row, state):
        if 'teacher' not in state:
            state['teacher'] = Teacher(args.brain, args.turn_ms)
        board, result = row
        judged = state['teacher'].judge(board)
        with lock:
            done[0] += 1
            if done[0] % 5000 == 0:
                print(f'teacher: {done[0]} of {len(rows)} positions', file=sys.stderr, flush=True)
        return None if judged is None else f'{board} {result} {judged}'

    out = run_parallel(rows, label, args.jobs)
    for line in out:
        if line is not None:
            print(line)
    print(f'teacher: {sum(line is not None for line in out)} of {len(rows)} positions judged',
          file=sys.stderr)


if __name__ == '__main__':
    main()
