#!/usr/bin/env python3
"""Measures the game on its main menu, per library: frames per second and
the time from launch to the first drawn frame. Run by scripts/bench.

Frames are counted by Wine's own "fps" trace, which reports the rate of
presented frames about once a second; the first drawn frame is the first
screenshot of the game's window that shows the menu rather than a blank.
Another screen can be measured the same way by a function that brings the
game there before the counting starts (see SCREENS)."""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402

# Windowed 800 x 600 without vertical sync, so the rate is the game's own.
SETTINGS = (0.5, 0.5, 0.0, 800.0, 600.0, 32.0, 60.0, 0.0, 0.5, 0.0)
LIBRARIES = (("OpenGL", "-opengl"), ("Direct3D 9", "-direct3d"))
# "wined3d_cs_exec_present ... @ approx 59.8fps" for Direct3D, else the
# "wglSwapBuffers @ approx ..." of OpenGL (Direct3D's own swaps say it too).
FPS_LINE = re.compile(rb"fps:(\w+).*?approx\s+([0-9.]+)\s*fps")


def colours(h, xid):
    """The number of distinct colours in a small copy of the window."""
    r = subprocess.run(["import", "-window", xid, "-resize", "64x48!", "-depth", "8", "ppm:-"],
                       env=h.env, capture_output=True)
    if r.returncode != 0 or not r.stdout:
        return 0
    data = r.stdout
    # P6 header: magic, width, height, maximum, then the pixels.
    parts = data.split(b"\n", 3)
    pixels = parts[3] if len(parts) == 4 else b""
    return len({pixels[i:i + 3] for i in range(0, len(pixels) - 2, 3)})


def on_menu(h, game):
    """Nothing to do: the game opens on its main menu."""


SCREENS = (("main menu", on_menu),)


def measure(h, flag, seconds, bring_to_screen):
    game = h.fresh_game(SETTINGS)
    log_path = os.path.join(h.work, "fps%s.log" % flag)
    env = dict(h.env, WINEDEBUG="fps")
    with open(log_path, "wb") as log:
        start = time.time()
        proc = subprocess.Popen(["wine", "Quorvane.exe", flag], cwd=game, env=env,
                                stdout=subprocess.DEVNULL, stderr=log)
        h.procs.append(proc)
        xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 60, "the game's window")
        h.wait_for(lambda: colours(h, xid) > 40, 60, "the first drawn frame")
        first_frame = time.time() - start
        bring_to_screen(h, game)
        counted_from = os.path.getsize(log_path)
        time.sleep(seconds)
    with open(log_path, "rb") as log:
        log.seek(counted_from)
        found = [(m.group(1), float(m.group(2))) for m in FPS_LINE.finditer(log.read())]
    presents = [r for source, r in found if source.startswith(b"wined3d")]
    rates = presents or [r for _, r in found]
    h.close_game()
    h.wait_exit(proc)
    # The first report covers the time before counting began.
    rates = rates[1:] if len(rates) > 2 else rates
    return (statistics.median(rates) if rates else 0.0), first_frame


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--game", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--seconds", type=float, default=10.0)
    args = ap.parse_args()
    h = harness.Harness(args.game, args.work, os.environ.get("QV_WINTOOL", ""))
    h.start()
    results = []
    try:
        for screen, bring in SCREENS:
            for name, flag in LIBRARIES:
                try:
                    fps, first = measure(h, flag, args.seconds, bring)
                except Exception as e:  # one library failing must not hide the other
                    print("%-10s %-12s failed: %s" % (screen, name, e), flush=True)
                    fps, first = 0.0, 0.0
                finally:
                    h.reset()
                results.append((screen, name, fps, first))
    finally:
        h.stop()
    base_fps = next((r[2] for r in results if r[2] > 0), 0.0)
    base_first = next((r[3] for r in results if r[3] > 0), 0.0)
    print("%-10s %-12s %10s %8s %16s %8s" % ("screen", "library", "frames/s", "ratio", "first frame (s)", "ratio"))
    for screen, name, fps, first in results:
        print("%-10s %-12s %10.1f %8.2f %16.2f %8.2f" % (
            screen, name, fps, fps / base_fps if base_fps else 0.0, first, first / base_first if base_first else 0.0))
    print("(ratios against the first library; absolute figures vary by machine)")
    return 0 if all(r[2] > 0 for r in results) else 1


if __name__ == "__main__":
    sys.exit(main())
