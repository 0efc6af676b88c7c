"""pbrain-brenk.exe as a Gomocup manager drives it: a scripted session through every command,
answered as the Linux build answers it, and whole games under brenk-cli match with no fault."""

import re
import subprocess
import tempfile
import unittest

import winerun

# Every command of the protocol. Only the move after TURN 10,10 comes from a timed search; all
# other answers follow from fixed rules (opening moves, board checks, protocol errors).
SESSION = """START 20
INFO timeout_turn 200
INFO max_memory 83886080
INFO rule 0
ABOUT
BEGIN
TURN 10,10
TAKEBACK 10,10
TURN 9,9
RESTART
BOARD
9,9,2
10,10,1
9,10,2
DONE
YXSTOP
FOO
START 15
END
"""


def answers(stdout):
    """The answer lines, without the MESSAGE and DEBUG lines that carry times and counts."""
    lines = winerun.text_mode(stdout).decode().splitlines()
    return [line for line in lines if not line.startswith(("MESSAGE", "DEBUG"))]


class PbrainSession(unittest.TestCase):
    def setUp(self):
        winerun.require_wine(self)

    def test_scripted_session_answers_as_the_linux_build(self):
        windows = winerun.run_windows("pbrain-brenk", input=SESSION.encode(), stdin=None)
        linux = winerun.run_linux("pbrain-brenk", input=SESSION.encode(), stdin=None)
        self.assertEqual(windows.returncode, 0, "END must end the brain with status 0")
        got, expected = answers(windows.stdout), answers(linux.stdout)
        self.assertEqual(len(got), len(expected), got)
        # The searched reply to TURN 10,10 is timed, so only its legality is compared.
        searched = got[3]
        self.assertRegex(searched, r"^\d{1,2},\d{1,2}$")
        x, y = map(int, searched.split(","))
        self.assertTrue(0 <= x < 20 and 0 <= y < 20 and (x, y) not in ((9, 9), (10, 10)), searched)
        self.assertEqual(got[:3] + got[4:], expected[:3] + expected[4:])
        self.assertEqual(got[2], "9,9", "BEGIN opens in the centre")
        self.assertEqual(windows.stderr, b"")


class PbrainMatch(unittest.TestCase):
    """Whole games: the Linux brenk-cli match drives the .exe through a wine wrapper script."""

    def setUp(self):
        winerun.require_wine(self)
        self.dir = tempfile.TemporaryDirectory(prefix="brenk-wine-match-")

    def tearDown(self):
        self.dir.cleanup()

    def play(self, engine_a, engine_b, games, allowance, margin):
        run = subprocess.run([winerun.linux("brenk-cli"), "match", "--quiet", "--games", str(games),
                              "--allowance", str(allowance), "--margin", str(margin), "--seed", "21",
                              engine_a, engine_b], capture_output=True, text=True, timeout=600)
        print("\n" + run.stdout, flush=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        tallies = re.findall(r"illegal (\d+), missing (\d+), crashes (\d+), overruns (\d+)", run.stdout)
        self.assertTrue(tallies, run.stdout)
        self.assertTrue(all(count == "0" for tally in tallies for count in tally), run.stdout)

    def test_pbrain_exe_plays_whole_games_without_a_fault(self):
        brain = winerun.wrapper(self.dir.name, "pbrain-brenk")
        self.play("pbrain:" + brain, "pbrain:" + winerun.linux("pbrain-brenk-threats"), 2, 200, 1000)

    def test_brenk_exe_plays_a_whole_game_as_a_file_engine(self):
        # A wine process starts for every move, so the margin is the 500 ms.
        brenk = winerun.wrapper(self.dir.name, "brenk")
        self.play(brenk, winerun.linux("brenk"), 1, 200, 500)
