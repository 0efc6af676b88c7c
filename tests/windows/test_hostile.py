"""The hostile cases of the Linux black-box tests, run with brenk.exe under wine64 and with the
Linux brenk on identical directories: the same exit status (0), output, move file and log.
The boards are decided by fixed rules (openings, fives), never by a timed search, so the two
builds must agree to the byte."""

import os
import shutil
import stat
import tempfile
import unittest

import winerun

EMPTY_ROW = "-" * 20


def rows(*marks, eol="\n"):
    """20 rows; each mark (row, col, char) puts one character on an empty board."""
    grid = [list(EMPTY_ROW) for _ in range(20)]
    for row, col, char in marks:
        grid[row][col] = char
    return eol.join("".join(line) for line in grid) + eol


FOUR_X = [(5, c, "x") for c in range(3, 7)]  # x to move completes five at 7,5 or 2,5

# name: the files of the game directory (bytes; None: a directory of that name).
CASES = {
    "nothing at all": {},
    "no move file": {"plocha.dat": rows()},
    "no board file": {"tah.dat": "x"},
    "crlf board, symbol and allowance": {"plocha.dat": rows(*FOUR_X, eol="\r\n"), "tah.dat": "x\r\n",
                                         "brenk.cfg": "100\r\n"},
    "crlf opening": {"plocha.dat": rows((4, 4, "o"), eol="\r\n"), "tah.dat": "x\r\n"},
    "odd characters as stones": {"plocha.dat": rows(*FOUR_X, (6, 3, "O"), (6, 4, "0"), (6, 5, "\xe9")),
                                 "tah.dat": "x"},
    # Ctrl-Z ends a file read in Windows text mode; the board must read on past it.
    "ctrl-z early in the board": {"plocha.dat": rows((0, 1, "\x1a"), *FOUR_X), "tah.dat": "x"},
    "nul bytes and tabs": {"plocha.dat": rows(*FOUR_X).replace("-", "\t-", 3) + "\0\0", "tah.dat": "\0o"},
    # The last character read fills the rest: one stone (an opening), or a board of x stones.
    "short board": {"plocha.dat": "---x-", "tah.dat": "o"},
    "short board ending in a stone": {"plocha.dat": "--x", "tah.dat": "o"},
    "empty files": {"plocha.dat": "", "tah.dat": "", "brenk.cfg": ""},
    "bad allowances": {"plocha.dat": rows((9, 9, "x")), "tah.dat": "o", "brenk.cfg": "-7 abc"},
    "move file is a directory": {"plocha.dat": rows(*FOUR_X), "tah.dat": None, "brenk.cfg": "100"},
    "config is a directory": {"plocha.dat": "", "tah.dat": "x", "brenk.cfg": None},
}

# name: (files, the mode to give one file or the directory itself ".")
PERMISSION_CASES = {
    "read-only move file": ({"plocha.dat": rows(*FOUR_X), "tah.dat": "x", "brenk.cfg": "100"}, "tah.dat", 0o444),
    "unreadable board": ({"plocha.dat": rows(*FOUR_X), "tah.dat": "x"}, "plocha.dat", 0),
    "read-only directory": ({"plocha.dat": rows(*FOUR_X), "tah.dat": "o", "brenk.cfg": "100"}, ".", 0o555),
}


def make_game(parent, files):
    game = tempfile.mkdtemp(dir=parent)
    os.chmod(game, 0o777)
    for name, content in files.items():
        path = os.path.join(game, name)
        if content is None:
            os.mkdir(path)
            continue
        with open(path, "wb") as out:
            out.write(content.encode("latin-1"))
        os.chmod(path, 0o666)
    return game


def outcome(run, game):
    """What a manager sees: status, output (the banner's build time left out), files."""
    lines = [line for line in winerun.text_mode(run.stdout).split(b"\n") if not line.startswith(b"Zkompilovano")]
    files = {}
    for name in sorted(os.listdir(game)):
        path = os.path.join(game, name)
        if os.path.isdir(path):
            files[name] = "directory"
        elif os.access(path, os.R_OK):
            with open(path, "rb") as content:
                files[name] = winerun.text_mode(content.read())
    return run.returncode, lines, files


class SameAsLinux(unittest.TestCase):
    def setUp(self):
        winerun.require_wine(self)
        self.dir = tempfile.mkdtemp(prefix="brenk-wine-hostile-")
        os.chmod(self.dir, 0o755)

    def tearDown(self):
        for root, dirs, _ in os.walk(self.dir):
            for name in dirs:
                os.chmod(os.path.join(root, name), 0o777)
        shutil.rmtree(self.dir)

    def both(self, files, run_linux, run_windows, prepare=lambda game: None):
        results = []
        for run in (run_linux, run_windows):
            game = make_game(self.dir, files)
            prepare(game)
            result = run(game)
            results.append(outcome(result, game))
            os.chmod(game, 0o777)
        return results

    def test_hostile_files_give_the_linux_answer(self):
        for name, files in CASES.items():
            with self.subTest(case=name):
                linux, windows = self.both(files, lambda game: winerun.run_linux("brenk", cwd=game),
                                           lambda game: winerun.run_windows("brenk", cwd=game))
                self.assertEqual(linux[0], 0)
                self.assertEqual(windows, linux)
                self.assertNotIn("brenk.log", windows[2])

    def test_permissions_as_an_unprivileged_user_give_the_linux_answer(self):
        nobody = winerun.Nobody()
        try:
            for name, (files, target, mode) in PERMISSION_CASES.items():
                with self.subTest(case=name):
                    linux, windows = self.both(
                        files, lambda game: nobody.run(winerun.linux("brenk"), game, windows=False),
                        lambda game: nobody.run(winerun.exe("brenk"), game, windows=True),
                        lambda game: os.chmod(os.path.join(game, target), mode))
                    self.assertEqual(linux[0], 0)
                    self.assertEqual(windows, linux)
        finally:
            nobody.close()
