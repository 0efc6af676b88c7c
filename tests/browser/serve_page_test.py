#!/usr/bin/env python3
"""The page of brenk-cli serve in a real headless Chromium.

Starts `brenk-cli serve` on a free loopback port and Chromium with the DevTools protocol on a
pipe, plays stones by clicking the board, and checks Brenk's answers and the decision panel in
the page against `brenk-cli analyze --json` on the same position. With --screenshot it goes on
for a few more moves and saves a picture of the page (the README's). Both processes are killed
on every path, and an alarm ends a run that hangs.

usage: serve_page_test.py --cli BRENK_CLI [--chromium PATH] [--screenshot OUT.png] [--timeout S]
"""

import argparse
import base64
import fcntl
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import traceback

SIZE = 20
WIDTH = 1080  # the page's width in the browser, and the screenshot's
# The panel's name for each rule, as the page writes it.
RULES = {
    "opening": "opening", "own-five": "own five", "block-five": "block (five, or a nearly full board)",
    "verdict": "verdict", "forced-root": "forced move", "search": "search", "search-error": "search error",
    "vcf": "threat-space win (fours)", "vct": "threat-space win (fours and threes)",
    "alpha-beta": "threat-space alpha-beta search",
}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Deadline(Exception):
    pass


def on_alarm(signum, frame):
    raise Deadline("the browser test ran out of time")


# ---- processes ---------------------------------------------------------------------------------

def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def read_line(stream, seconds):
    """One line of a child's output, or None when none comes in time."""
    end = time.monotonic() + seconds
    data = b""
    while not data.endswith(b"\n"):
        left = end - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            return None
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            return None
        data += chunk
    return data.decode()


def start_server(cli):
    """brenk-cli serve on a free port; a port taken meanwhile by someone else means another try."""
    for _ in range(5):
        port = free_port()
        server = subprocess.Popen([cli, "serve", "--port", str(port)], stdout=subprocess.PIPE,
                                  stdin=subprocess.DEVNULL)
        line = read_line(server.stdout, 30)
        match = re.search(r"http://\S+/", line or "")
        if match:
            return server, match.group(0)
        stop(server, 5)
    raise Failure("brenk-cli serve did not print its address")


def stop(process, grace):
    """SIGTERM, then SIGKILL after `grace` seconds; the exit status, or None if it had to be killed."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return None
    return process.returncode


def stop_group(process):
    """Chromium and every helper process it started."""
    if process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            return
        try:
            process.wait(wait)
            return
        except subprocess.TimeoutExpired:
            pass


# ---- the DevTools protocol on a pipe: NUL-terminated JSON, commands on fd 3, answers on fd 4 ------

class Browser:
    def __init__(self, chromium, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        # Python opens its descriptors non-inheritable, so only these two reach Chromium. They go
        # up out of the way first: a pipe already on 3 or 4 would keep its close-on-exec flag.
        def arrange_fds():
            reading = fcntl.fcntl(to_browser_r, fcntl.F_DUPFD, 10)
            writing = fcntl.fcntl(from_browser_w, fcntl.F_DUPFD, 10)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        args = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                "--disable-background-networking", "--disable-sync", "--mute-audio",
                f"--user-data-dir={profile}", "--remote-debugging-pipe", "about:blank"]
        self.process = subprocess.Popen(args, preexec_fn=arrange_fds, close_fds=False,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.session = None

    def close(self):
        # Asked first, Chromium ends its helpers itself; the signals are for when it cannot.
        if self.process.poll() is None:
            try:
                self.send("Browser.close", seconds=5, session=False)
                self.process.wait(5)
            except (Failure, OSError, subprocess.TimeoutExpired):
                pass
        stop_group(self.process)
        for fd in (self.to_browser, self.from_browser):
            try:
                os.close(fd)
            except OSError:
                pass

    def _message(self, seconds):
        end = time.monotonic() + seconds
        while b"\0" not in self.buffer:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.from_browser], [], [], left)[0]:
                raise Failure("Chromium did not answer in time")
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                raise Failure("Chromium closed its DevTools pipe")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def send(self, method, params=None, seconds=30, session=True):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        data = json.dumps(message).encode() + b"\0"
        while data:
            data = data[os.write(self.to_browser, data):]
        while True:
            answer = self._message(seconds)
            if answer.get("id") == self.next_id:
                check("error" not in answer, f"{method} failed: {answer.get('error')}")
                return answer.get("result", {})

    def open(self, url, width, height):
        target = self.send("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        self.send("Page.enable")
        self.send("Page.navigate", {"url": url})
        self.wait_for("document.readyState === 'complete' && !!document.getElementById('cell-0-0')", 30)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        check("exceptionDetails" not in result, f"the page failed on {expression}: {result.get('exceptionDetails')}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if self.evaluate(expression):
                return
            time.sleep(0.05)
        raise Failure(f"the page never reached: {expression}")

    def click(self, x, y):
        """A left click at page coordinates, as the mouse gives it."""
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent",
                      {"type": kind, "x": x, "y": y, "button": "left" if kind != "mouseMoved" else "none",
                       "buttons": 1 if kind == "mousePressed" else 0, "clickCount": 1})

    def screenshot(self, path, clip):
        data = self.send("Page.captureScreenshot", {"format": "png", "clip": dict(clip, scale=1)}, seconds=60)["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))


# ---- the page -----------------------------------------------------------------------------------

class Page:
    def __init__(self, browser):
        self.browser = browser

    def stones(self):
        """Every stone on the board: {(row, col): (stone, by)}."""
        cells = self.browser.evaluate(
            "[...document.querySelectorAll('.cell[data-stone]')].map(c => [+c.dataset.row, +c.dataset.col,"
            " c.dataset.stone, c.dataset.by])")
        return {(r, c): (stone, by) for r, c, stone, by in cells}

    def panel(self):
        return self.browser.evaluate(
            "Object.fromEntries([...document.querySelectorAll('#decision dd')].map(d => [d.id, d.textContent]))")

    def settle(self, seconds=120):
        self.browser.wait_for("document.body.dataset.state !== 'thinking'", seconds)

    def set_limit(self, kind, value):
        self.browser.evaluate(f"document.getElementById('limit-kind').value = '{kind}';"
                              f"document.getElementById('limit-value').value = '{value}'")

    def click_cell(self, row, col):
        box = self.browser.evaluate(f"(() => {{ const r = document.getElementById('cell-{row}-{col}')"
                                    ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        self.browser.click(*box)


def board_text(stones):
    rows = [["-"] * SIZE for _ in range(SIZE)]
    for (r, c), (stone, _) in stones.items():
        rows[r][c] = stone
    return "".join("".join(row) + "\n" for row in rows)


def analyze(cli, stones, side, iterations, workdir, threats=False):
    """What brenk-cli analyze decides on the same board: the page's answer must be this."""
    game = tempfile.mkdtemp(dir=workdir)
    with open(os.path.join(game, "plocha.dat"), "w") as f:
        f.write(board_text(stones))
    with open(os.path.join(game, "tah.dat"), "w") as f:
        f.write(side)
    run = subprocess.run([cli, "analyze", game, "--iterations", str(iterations), "--json"]
                         + (["--threats"] if threats else []), capture_output=True, text=True, timeout=300)
    check(run.returncode == 0, f"brenk-cli analyze failed: {run.stderr}")
    return json.loads(run.stdout)


def new_brenk_stone(before, after):
    added = {cell: v for cell, v in after.items() if cell not in before}
    brenk = [cell for cell, (_, by) in added.items() if by == "brenk"]
    check(len(brenk) == 1, f"expected one new stone of Brenk's, the page added {added}")
    return brenk[0]


def play_and_compare(page, cli, cell, iterations, workdir, threats=False):
    """Clicks `cell`, waits for Brenk, and checks its stone and the panel against analyze."""
    before = page.stones()
    check(cell not in before, f"cell {cell} is taken")
    page.set_limit("iterations", iterations)
    page.click_cell(*cell)
    page.settle()
    after = page.stones()
    check(after.get(cell, (None, None))[1] == "you", f"the click on {cell} placed no stone of the player's")
    answer = new_brenk_stone({**before, cell: after[cell]}, after)
    expected = analyze(cli, {**before, cell: after[cell]}, after[answer][0], iterations, workdir, threats)
    check(list(answer) == expected["move"], f"Brenk played {answer} in the page, analyze plays {expected['move']}")
    panel = page.panel()
    check(panel["d-rule"] == RULES[expected["decision"]], f"panel rule {panel['d-rule']!r} for {expected['decision']}")
    check(panel["d-move"] == f"row {answer[0]}, column {answer[1]}", f"panel move {panel['d-move']!r}")
    search = expected["search"]
    if search:
        check(panel["d-iterations"] == str(search["iterations"]), f"panel iterations {panel['d-iterations']!r}")
        check(panel["d-nodes"] == str(search["nodesCreated"]), f"panel nodes {panel['d-nodes']!r}")
        check(panel["d-proof"] == str(search["rootProof"]), f"panel root proof {panel['d-proof']!r}")
        check(panel["d-disproof"] == str(search["rootDisproof"]), f"panel root disproof {panel['d-disproof']!r}")
        numbered = page.browser.evaluate("document.querySelectorAll('.pv, .pvnum').length")
        check(numbered == len(expected["principalLine"]),
              f"{numbered} numbered stones on the board for a principal line of {len(expected['principalLine'])}")
        check(page.browser.evaluate("document.querySelectorAll('.mark').length") > 0, "no root child is marked")
    alpha_beta = expected.get("alphaBeta")
    if alpha_beta:
        check(panel["d-score"] == alpha_beta["scoreText"], f"panel score {panel['d-score']!r}")
        check(panel["d-depth"] == str(alpha_beta["depth"]), f"panel depth {panel['d-depth']!r}")
        check(panel["d-nodes"] == str(alpha_beta["nodes"]), f"panel nodes {panel['d-nodes']!r}")
        check(panel["d-rate"] != "-", "no speed in the panel")
        # The variation's stones, numbered from 1 at the move just played, in its cells.
        shown = page.browser.evaluate(
            "[...document.querySelectorAll('.pv, .pvnum')].map(e => [+e.closest('.cell').dataset.row,"
            " +e.closest('.cell').dataset.col, +e.textContent])")
        wanted = [[r, c, i + 1] for i, (r, c, _) in enumerate(alpha_beta["pv"])]
        check(sorted(shown) == sorted(wanted), f"variation on the board {shown}, analyze's {wanted}")
        check(wanted and wanted[0][:2] == list(answer), "the variation does not start with the move played")
    return answer, expected


def run_test(args, workdir):
    browser = None
    server, url = start_server(args.cli)
    try:
        browser = Browser(args.chromium, os.path.join(workdir, "profile"))
        browser.open(url, WIDTH, 900)
        page = Page(browser)

        # Brenk takes x, so a new game starts with its opening move in the centre.
        page.set_limit("iterations", 300)
        browser.evaluate("const s = document.getElementById('brenk-side'); s.value = 'x';"
                         "s.dispatchEvent(new Event('change'))")
        page.settle()
        check(page.stones() == {(9, 9): ("x", "brenk")}, f"Brenk's opening: {page.stones()}")
        check(page.panel()["d-rule"] == "opening", f"panel after the opening: {page.panel()}")

        # A search long enough to click into it: the page shows it thinks and takes no stone.
        page.set_limit("timeMs", 3000)  # room for a loaded machine between the two clicks
        page.click_cell(8, 10)
        thinking = browser.evaluate(
            "[document.body.dataset.state, getComputedStyle(document.getElementById('thinking')).display,"
            " document.getElementById('board').classList.contains('busy')]")
        check(thinking[0] == "thinking" and thinking[1] != "none" and thinking[2],
              f"no thinking indication right after the click: {thinking}")
        page.click_cell(12, 12)
        page.settle()
        stones = page.stones()
        check((12, 12) not in stones, "a click while Brenk thinks placed a stone")
        check(len(stones) == 3 and stones.get((8, 10)) == ("o", "you"), f"after the timed move: {stones}")

        answer, expected = play_and_compare(page, args.cli, first_free(page.stones(), [(10, 8), (7, 11), (11, 7)]),
                                            400, workdir)
        print(f"page and analyze agree: {expected['decision']} at {answer}")


        if args.screenshot:
            # The player's side is chosen by analyze too, so the picture shows a game worth looking
            # at: it stops a few moves on, right after a search among several candidates.
            for move in range(12):
                if browser.evaluate("document.body.dataset.state") == "over":
                    break
                stones = page.stones()
                reply = analyze(args.cli, stones, "o", 300, workdir)["move"]
                play_and_compare(page, args.cli, tuple(reply), 3000, workdir)
                marks = browser.evaluate("document.querySelectorAll('.mark').length")
                if move >= 3 and page.panel()["d-rule"] == "search" and marks >= 5:
                    break
            browser.evaluate("document.activeElement && document.activeElement.blur()")
            height = browser.evaluate("Math.ceil(document.querySelector('.main').getBoundingClientRect().bottom) + 16")
            browser.screenshot(args.screenshot, {"x": 0, "y": 0, "width": WIDTH, "height": height})
            print(f"screenshot written to {args.screenshot}")

        # The threat-space mode in a new game where Brenk plays o: after one stone no forced win
        # can exist, so its alpha-beta search answers, and the page shows its variation and score.
        browser.evaluate("document.getElementById('threats').checked = true;"
                         "const side = document.getElementById('brenk-side'); side.value = 'o';"
                         "side.dispatchEvent(new Event('change'))")
        page.settle()
        answer, expected = play_and_compare(page, args.cli, (9, 9), 60, workdir, threats=True)
        check(expected["decision"] == "alpha-beta", f"the threat-space mode decided by {expected['decision']}")
        print(f"page and analyze --threats agree: alpha-beta at {answer}, score {expected['alphaBeta']['scoreText']}")
    finally:
        if browser:
            browser.close()
        status = stop(server, 60)
    check(status == 0, f"brenk-cli serve ended with status {status} on SIGTERM")


def first_free(stones, cells):
    for cell in cells:
        if cell not in stones:
            return cell
    raise Failure(f"none of {cells} is free")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="the brenk-cli executable")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "chromium")
    parser.add_argument("--screenshot", help="also play a few moves and save a PNG of the page here")
    parser.add_argument("--timeout", type=int, default=240, help="seconds before the whole run is abandoned")
    args = parser.parse_args()
    if not shutil.which(args.chromium):
        print(f"serve_page_test: no Chromium at {args.chromium} (scripts/deps.sh installs it)", file=sys.stderr)
        return 1
    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(args.timeout)
    try:
        with tempfile.TemporaryDirectory(prefix="brenk-browser-") as workdir:
            run_test(args, workdir)
    except (Failure, Deadline, OSError) as e:
        print(f"serve_page_test: FAILED: {e}", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        print("serve_page_test: FAILED", file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
    print("serve_page_test: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
