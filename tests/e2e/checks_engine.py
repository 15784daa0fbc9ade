"""Engine services seen from outside: sound catalogue, stalls."""
import os
import re
import signal
import time

from harness import WINDOWED_SETTINGS, expect


def check_missing_audio_catalogue_shows_error(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    manifest = os.path.join(game, "Quorvane.xml")
    text = open(manifest).read()
    stripped = re.sub(r'\s*<file label="AUDIO"[^>]*/>', "", text)
    expect(stripped != text, "the manifest has no AUDIO entry to remove")
    with open(manifest, "w") as f:
        f.write(stripped)
    proc = h.launch(game, ["-direct3d"])
    box = h.read_box("Error")
    expect(box == "File <AUDIO> not found", "unexpected error text %r" % box)
    expect(h.wait_exit(proc) == 0, "bad exit code after a failed start")


def _wine_pids(h):
    """Unix pids of the game's Wine processes (the launcher and the game run in one)."""
    out = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            cmd = open("/proc/%s/cmdline" % pid, "rb").read().replace(b"\0", b" ")
            env = open("/proc/%s/environ" % pid, "rb").read()
        except OSError:
            continue
        if b"Quorvane.exe" in cmd and ("WINEPREFIX=" + h.prefix).encode() in env:
            out.append(int(pid))
    return out


def check_game_survives_being_stopped(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    proc = h.launch(game, ["-direct3d"])
    h.find_window()
    time.sleep(1.0)
    pids = _wine_pids(h)
    expect(pids, "no game process found")
    for pid in pids:
        os.kill(pid, signal.SIGSTOP)
    time.sleep(5.0)
    for pid in pids:
        os.kill(pid, signal.SIGCONT)
    time.sleep(1.0)
    expect(proc.poll() is None, "the game died after being stopped")
    h.expect_no_box("Error")
    h.close_game()
    expect(h.wait_exit(proc, timeout=30) == 0, "the game did not end cleanly after a stall")


def check_corrupt_texture_is_refused_without_a_crash(h):
    # A damaged picture as a loose file wins over the archive: the menu
    # draws without it, and the game runs and quits as usual.
    game = h.fresh_game(WINDOWED_SETTINGS)
    images = os.path.join(game, "data", "images")
    os.makedirs(images, exist_ok=True)
    for name, head in (("menu_back.jpg", b"\xff\xd8\xff\xe0"), ("menu_button.png", b"\x89PNG\r\n\x1a\n")):
        with open(os.path.join(images, name), "wb") as f:
            f.write(head + os.urandom(3000))
    proc = h.launch(game, ["-direct3d"])
    h.find_window()
    h.expect_no_box("Error", seconds=3.0)
    expect(proc.poll() is None, "the game ended with a damaged picture")
    h.close_game()
    expect(h.wait_exit(proc) == 0, "bad exit code")
