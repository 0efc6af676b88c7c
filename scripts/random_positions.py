#!/usr/bin/env python3
"""Writes reproducible random game directories for comparing two builds of brenk-cli.

scripts/random_positions.py --out DIR [--count N] [--seed S]

Each position is a directory DIR/NNNNN-KIND-STONES holding plocha.dat (20 lines of 20: '-' empty,
'x', 'o') and tah.dat (the symbol of the side to move). The positions come from random games: the
first stone lands near the centre (near an edge or a corner for the "edge" kind); later, a side
mostly makes five when it can, else mostly blocks the other side's five, and otherwise plays a
random cell, mostly within two cells of a stone, and mostly not one that makes a four (fours
and fives decide a position before any search). Position i depends only on the seed and i, so a
larger --count keeps the first positions and adds new ones.

Kinds: "game" stops after 1 to 60 stones (mostly 3 and more), sometimes right when a five
appears; "crowded" after 60 to 120; "edge" keeps to the rim of the board; "five" plays until
a five appears and stops on it or one or two stones before it. The side to move is normally the
one whose turn it is by stone counts ("x" moves first); about one position in ten names the other
side instead.
"""

import argparse
import os
import random
import sys

SIZE = 20
DIRECTIONS = ((0, 1), (1, 0), (1, 1), (1, -1))


def makes_five(board, row, col, stone):
    """True when `stone` on (row, col), placed there or not, is part of five or more in a row."""
    for dr, dc in DIRECTIONS:
        run = 1
        for sign in (1, -1):
            r, c = row + sign * dr, col + sign * dc
            while 0 <= r < SIZE and 0 <= c < SIZE and board[r][c] == stone:
                run += 1
                r, c = r + sign * dr, c + sign * dc
        if run >= 5:
            return True
    return False


def edge_distance(row, col):
    return min(row, col, SIZE - 1 - row, SIZE - 1 - col)


def first_move(rng, kind):
    if kind == "edge":
        if rng.random() < 0.5:  # a corner
            row = rng.choice((rng.randint(0, 2), rng.randint(SIZE - 3, SIZE - 1)))
            col = rng.choice((rng.randint(0, 2), rng.randint(SIZE - 3, SIZE - 1)))
        else:  # somewhere along one edge
            along, across = rng.randint(0, SIZE - 1), rng.choice((0, 1, SIZE - 2, SIZE - 1))
            row, col = (along, across) if rng.random() < 0.5 else (across, along)
        return row, col
    return rng.randint(7, 12), rng.randint(7, 12)


class Game:
    """A board being filled. Keeps the empty cells within one and within two cells of a stone,
    and for each side the empty cells where its stone would make five."""

    def __init__(self):
        self.board = [["-"] * SIZE for _ in range(SIZE)]
        self.moves = []
        self.near = {1: set(), 2: set()}
        self.fives = {"x": set(), "o": set()}

    def to_move(self):
        return "x" if len(self.moves) % 2 == 0 else "o"

    def place(self, row, col):
        self.board[row][col] = self.to_move()
        self.moves.append((row, col))
        for cells in (*self.near.values(), *self.fives.values()):
            cells.discard((row, col))
        self.mark_near(row, col)
        # Only cells on a line through the new stone, at most four away, can change.
        for r, c in self.line_cells(row, col):
            self.mark_five(r, c)

    def take_back(self):
        row, col = self.moves.pop()
        self.board[row][col] = "-"
        self.near = {1: set(), 2: set()}
        self.fives = {"x": set(), "o": set()}
        for stone_row, stone_col in self.moves:
            self.mark_near(stone_row, stone_col)
        for r, c in self.empty_cells():
            self.mark_five(r, c)

    def line_cells(self, row, col):
        """The empty cells on the four lines through (row, col), at most four away."""
        for dr, dc in DIRECTIONS:
            for k in range(-4, 5):
                r, c = row + k * dr, col + k * dc
                if 0 <= r < SIZE and 0 <= c < SIZE and self.board[r][c] == "-" and k != 0:
                    yield r, c

    def makes_four(self, row, col):
        """True when the side to move, playing on empty (row, col), gains a cell that makes five."""
        stone = self.to_move()
        self.board[row][col] = stone
        try:
            return any(
                (r, c) not in self.fives[stone] and makes_five(self.board, r, c, stone)
                for r, c in self.line_cells(row, col)
            )
        finally:
            self.board[row][col] = "-"

    def mark_five(self, row, col):
        for stone, cells in self.fives.items():
            if makes_five(self.board, row, col, stone):
                cells.add((row, col))
            else:
                cells.discard((row, col))

    def mark_near(self, row, col):
        for r in range(max(0, row - 2), min(SIZE, row + 3)):
            for c in range(max(0, col - 2), min(SIZE, col + 3)):
                if self.board[r][c] == "-":
                    self.near[2].add((r, c))
                    if abs(r - row) <= 1 and abs(c - col) <= 1:
                        self.near[1].add((r, c))

    def empty_cells(self):
        return [(r, c) for r in range(SIZE) for c in range(SIZE) if self.board[r][c] == "-"]


def random_move(rng, game, kind):
    """A random empty cell: a quarter of the time next to a stone, else mostly within two cells
    of one. None on a full board."""
    roll = rng.random()
    for radius, share in ((1, 0.25), (2, 0.9)):
        if roll < share and game.near[radius]:
            cells = sorted(game.near[radius])
            if kind == "edge":
                # Cells on the rim weigh most, so the game stays near the edges.
                weights = [1.0 / (1 + edge_distance(r, c)) ** 2 for r, c in cells]
                return rng.choices(cells, weights)[0]
            return rng.choice(cells)
    empty = game.empty_cells()
    return rng.choice(empty) if empty else None


def next_move(rng, game, kind):
    """Makes five when it can (four times in five, always for the "five" kind), else mostly
    blocks the other side's five; otherwise a random move, drawn again (up to three times)
    seven times in ten when it would make a four, so that fewer positions are decided at once.
    None on a full board."""
    own = sorted(game.fives[game.to_move()])
    if own and (kind == "five" or rng.random() < 0.8):
        return rng.choice(own)
    threats = sorted(game.fives["o" if game.to_move() == "x" else "x"])
    if threats and rng.random() < 0.95:
        return rng.choice(threats)
    move = random_move(rng, game, kind)
    for _ in range(3):
        if move is None or kind == "five" or not game.makes_four(*move) or rng.random() < 0.3:
            break
        move = random_move(rng, game, kind)
    return move


def play(rng, kind):
    """Plays one random game for `kind` and returns it."""
    if kind == "game":
        target = rng.randint(1, 2) if rng.random() < 0.04 else rng.randint(3, 60)
    elif kind == "crowded":
        target = rng.randint(60, 120)
    elif kind == "edge":
        target = rng.randint(3, 50)
    else:  # "five": until a five appears
        target = 200
    stop_on_five = kind == "five" or rng.random() < 0.5
    game = Game()
    while len(game.moves) < target:
        move = first_move(rng, kind) if not game.moves else next_move(rng, game, kind)
        if move is None:
            break
        game.place(*move)
        if stop_on_five and makes_five(game.board, *move, game.board[move[0]][move[1]]):
            break
    if kind == "five":
        # Stop on the five, or take back one or two stones to stop just before it.
        for _ in range(rng.choice((0, 0, 1, 2))):
            if len(game.moves) > 1:
                game.take_back()
    return game


def pick_kind(rng):
    roll = rng.random()
    if roll < 0.70:
        return "game"
    if roll < 0.82:
        return "crowded"
    if roll < 0.92:
        return "five"
    return "edge"


def write_position(out_dir, index, seed):
    rng = random.Random(f"brenk-positions:{seed}:{index}")
    kind = pick_kind(rng)
    game = play(rng, kind)
    board, moves = game.board, game.moves
    x_count = sum(row.count("x") for row in board)
    o_count = sum(row.count("o") for row in board)
    to_move = "x" if x_count <= o_count else "o"
    if rng.random() < 0.1:
        to_move = "o" if to_move == "x" else "x"
    path = os.path.join(out_dir, f"{index:05d}-{kind}-{len(moves)}")
    os.makedirs(path)
    with open(os.path.join(path, "plocha.dat"), "w", encoding="ascii") as f:
        f.write("".join("".join(row) + "\n" for row in board))
    with open(os.path.join(path, "tah.dat"), "w", encoding="ascii") as f:
        f.write(to_move)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="directory to create the positions in (empty or new)")
    parser.add_argument("--count", type=int, default=2000, help="number of positions (default 2000)")
    parser.add_argument("--seed", default="1", help="seed of the random games (default 1)")
    args = parser.parse_args()
    if args.count < 0:
        parser.error("--count must be 0 or more")
    os.makedirs(args.out, exist_ok=True)
    if os.listdir(args.out):
        sys.exit(f"random_positions.py: {args.out} is not empty")
    for index in range(args.count):
        write_position(args.out, index, args.seed)


if __name__ == "__main__":
    main()
