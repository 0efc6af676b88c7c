"""Runs the Windows build under wine64 for the tests in this folder.

The paths come from the environment that scripts/test-windows.sh sets: BRENK_WINDOWS_APPS (the
folder of the .exe files), BRENK_LINUX_APPS (the Linux build's, to compare with) and
BRENK_WINE_PREFIX (a wine prefix the script keeps under the Windows build folder). Without wine64
every test that needs it is skipped, and says why.
"""

import os
import shutil
import subprocess
import tempfile
import unittest

WINDOWS_APPS = os.environ.get("BRENK_WINDOWS_APPS", "build-windows/apps")
LINUX_APPS = os.environ.get("BRENK_LINUX_APPS", "build/apps")
PREFIX = os.environ.get("BRENK_WINE_PREFIX", "")
NOBODY = 65534


def find_wine():
    """Debian's wine64 loader, or a wine64 on the path; None when there is none."""
    for candidate in ("/usr/lib/wine/wine64", shutil.which("wine64") or ""):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return None


WINE = find_wine()


def require_wine(case):
    """Skips the test case (never passes it) when wine64 is not installed."""
    if WINE is None:
        raise unittest.SkipTest("wine64 is not installed: Windows tests SKIPPED, not passed")
    if not PREFIX:
        raise unittest.SkipTest("BRENK_WINE_PREFIX unset: run scripts/test-windows.sh")


def wine_env(prefix=PREFIX, home=None):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
    if home:
        env["HOME"] = home
    return env


def exe(name):
    return os.path.abspath(os.path.join(WINDOWS_APPS, name + ".exe"))


def linux(name):
    return os.path.abspath(os.path.join(LINUX_APPS, name))


def run_windows(name, args=(), cwd=None, stdin=subprocess.DEVNULL, timeout=120, **kw):
    """One run of NAME.exe under wine64 with the tests' prefix. A run that failed without a byte
    on either stream never reached the program (wine itself once failed to start it so, one run
    in 800, on a busy machine), and is made once more: every failure of the program says why on
    standard error, and a real one repeats."""
    def once():
        return subprocess.run([WINE, exe(name), *args], cwd=cwd, stdin=stdin, capture_output=True,
                              timeout=timeout, env=wine_env(), **kw)

    result = once()
    silent = not result.stdout and not result.stderr
    if result.returncode != 0 and silent and stdin is subprocess.DEVNULL:
        result = once()
    return result


def run_linux(name, args=(), cwd=None, stdin=subprocess.DEVNULL, timeout=120, **kw):
    return subprocess.run([linux(name), *args], cwd=cwd, stdin=stdin, capture_output=True,
                          timeout=timeout, **kw)


def text_mode(data):
    """Output of the Windows C runtime's text mode, read back as on Linux: every LF was written
    as CR LF. Only that pair is undone, so any other CR still shows as a difference."""
    return data.replace(b"\r\n", b"\n")


def wrapper(directory, name):
    """A shell script that starts NAME.exe under wine64, for a manager that runs a bare path."""
    path = os.path.join(directory, name + "-wine.sh")
    with open(path, "w") as out:
        out.write("#!/bin/sh\nexport WINEPREFIX='%s' WINEDEBUG=-all\nexec '%s' '%s' \"$@\"\n"
                  % (PREFIX, WINE, exe(name)))
    os.chmod(path, 0o755)
    return path


class Nobody:
    """Runs an executable as the user nobody, for the permission cases: file modes do not stop
    root, and wine as root writes a read-only file. Both builds get a copy of their executable in
    a directory nobody can reach; wine gets a prefix of nobody's own, made on first use."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="brenk-wine-nobody-")
        os.chmod(self.home, 0o755)
        self.prefix = os.path.join(self.home, "prefix")
        os.mkdir(self.prefix)
        os.chown(self.prefix, NOBODY, NOBODY)
        self.copies = {}

    def close(self):
        subprocess.run(self._as_nobody([os.path.join(os.path.dirname(WINE), "wineserver"), "-k"]),
                       env=wine_env(self.prefix, self.home), capture_output=True)
        shutil.rmtree(self.home, ignore_errors=True)

    def _copy(self, path):
        if path not in self.copies:
            target = os.path.join(self.home, os.path.basename(path))
            shutil.copy(path, target)
            os.chmod(target, 0o755)
            self.copies[path] = target
        return self.copies[path]

    @staticmethod
    def _as_nobody(command):
        if os.geteuid() != 0:
            return command
        return ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups", *command]

    def run(self, path, cwd, windows):
        command = [WINE, self._copy(path)] if windows else [self._copy(path)]
        return subprocess.run(self._as_nobody(command), cwd=cwd, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120, env=wine_env(self.prefix, self.home))
