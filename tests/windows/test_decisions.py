"""The Windows build decides exactly as the Linux build: brenk-cli.exe analyze --json against the
Linux brenk-cli on generated positions at two iteration caps, in both modes. Any difference is a
portability fault (undefined behaviour, an uninitialised value, a platform-dependent float or
sort) to be mended at its root."""

import os
import subprocess
import sys
import tempfile
import unittest
from concurrent.futures import ThreadPoolExecutor

import winerun

COUNT = int(os.environ.get("BRENK_WINDOWS_POSITIONS", "200"))
CAPS = (40, 400)
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def analyze(run, position, cap, threats):
    args = ["analyze", position, "--iterations", str(cap), "--json"] + (["--threats"] if threats else [])
    result = run("brenk-cli", args)
    return result.returncode, winerun.text_mode(result.stdout), winerun.text_mode(result.stderr)


class SameDecisions(unittest.TestCase):
    def setUp(self):
        winerun.require_wine(self)
        self.dir = tempfile.TemporaryDirectory(prefix="brenk-wine-positions-")
        subprocess.run([sys.executable, os.path.join(SOURCE, "scripts", "random_positions.py"), "--out",
                        self.dir.name, "--count", str(COUNT), "--seed", "2121"], check=True,
                       capture_output=True)
        self.positions = sorted(os.path.join(self.dir.name, name) for name in os.listdir(self.dir.name))

    def tearDown(self):
        self.dir.cleanup()

    def compare(self, threats):
        jobs = [(position, cap) for cap in CAPS for position in self.positions]
        with ThreadPoolExecutor(max_workers=2) as pool:
            linux = list(pool.map(lambda job: analyze(winerun.run_linux, *job, threats), jobs))
            windows = list(pool.map(lambda job: analyze(winerun.run_windows, *job, threats), jobs))
        differences = [(job, lin, win) for job, lin, win in zip(jobs, linux, windows) if lin != win]
        for (position, cap), lin, win in differences[:3]:
            print("\n%s at %d iterations:\nlinux   %r\nwindows %r" % (position, cap, lin[:3], win[:3]))
        self.assertEqual(len(self.positions), COUNT)
        self.assertTrue(all(lin[0] == 0 for lin in linux), "the Linux build failed on a position")
        self.assertEqual(len(differences), 0, "%d of %d analyses differ" % (len(differences), len(jobs)))

    def test_default_mode(self):
        self.compare(threats=False)

    def test_threat_space_mode(self):
        self.compare(threats=True)
