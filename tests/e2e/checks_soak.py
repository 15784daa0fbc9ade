"""A short soak: with QUORVANE_AUTOPLAY three computer contestants play a
group-play match by themselves from start to end, the next match starts on
its own, and the game closes cleanly afterwards; in the full edition and in
the Lite. scripts/soak is the long run with memory samples."""
import os
import re
import subprocess
import sys
import time

import harness
from harness import expect

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import soak_judge  # noqa: E402  (how scripts/soak reads the same log)

MATCH_TIMEOUT = 420
# The Lite's match at the highest pace takes a little over a minute.
LITE_MATCH_TIMEOUT = 300


def _log_lines(path):
    try:
        with open(path) as f:
            return [l.strip() for l in f]
    except OSError:
        return []


def _one_whole_match(h, switch, pace, timeout, shot):
    """Plays one whole match by itself through the library SWITCH names,
    with the game's time PACE times as fast, and sees the next one start
    and the game close cleanly; SHOT is the second match's screenshot."""
    game = h.fresh_game()
    log = os.path.join(h.work, "autoplay.log")
    if os.path.exists(log):
        os.remove(log)
    env = dict(h.env)
    env["QUORVANE_AUTOPLAY"] = "HARD"
    env["QUORVANE_AUTOPLAY_PACE"] = str(pace)
    env["QUORVANE_AUTOPLAY_LOG"] = "Z:" + log.replace("/", "\\")
    proc = subprocess.Popen([harness.WINE, "Quorvane.exe", switch], cwd=game, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    h.procs.append(proc)
    h.find_window()

    def second_match_started():
        if proc.poll() is not None:
            return "exited"
        lines = _log_lines(log)
        if any(" stalled after " in l for l in lines):
            return "stalled"
        return "started" if any(re.search(r" match 2 start ", l) for l in lines) else None

    # Error boxes are looked for while waiting.
    end = time.time() + timeout
    state = None
    while time.time() < end and not state:
        h.expect_no_box("Error", seconds=5)
        state = second_match_started()
    lines = _log_lines(log)
    h.screenshot(os.path.join(h.work, shot))
    expect(state == "started", "no second match (%s): %s" % (state or "timed out", lines[-3:]))
    first = [l for l in lines if " match 1 start " in l]
    expect(first and len(first[0].split(",")) == 3, "three contestants were not seated: %s" % first)
    ended = [l for l in lines if re.search(r" match 1 end after ", l)]
    expect(ended, "the first match did not end: %s" % lines)
    totals = [int(v) for v in ended[0].rsplit("totals", 1)[1].split()]
    expect(len(totals) == 3 and max(totals) > 0, "nobody won money in the first match: %s" % ended[0])
    # The log reads as scripts/soak reads it: the match in play told every
    # ten seconds, never standing still near the game's limit.
    read = soak_judge.AutoplayLog(lines)
    expect(1 in read.ends and 1 in read.progress, "scripts/soak cannot follow the log: %s" % lines[:12])
    fault = soak_judge.judge(read, float(lines[-1].split()[0]), 0, 3600)
    expect(fault is None, "scripts/soak would fail this match: %s" % fault)
    still = float(re.search(r"at most ([\d.]+) s of it unchanged", ended[0]).group(1))
    expect(still < soak_judge.STILL_LIMIT / 2, "the match stood still for %.1f s of game time: %s" % (still, ended[0]))
    h.close_game()
    expect(h.wait_exit(proc) == 0, "the game did not end cleanly")
    h.expect_no_box("Error")


def check_soak_one_whole_match_with_three_computers(h):
    _one_whole_match(h, "-opengl", 3, MATCH_TIMEOUT, "soak_second_match.png")


def check_soak_lite_one_whole_match_with_three_computers(h):
    _one_whole_match(h, "-directdraw", 8, LITE_MATCH_TIMEOUT, "soak_lite_second_match.png")
