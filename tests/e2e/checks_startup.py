"""Start-up and shut-down of the launcher and the game window."""
import os
import subprocess
import time

from harness import OBJDUMP, WINDOWED_SETTINGS, expect, pack_settings


def check_window_opens_closes_and_saves_settings(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    proc = h.launch(game, ["-direct3d"])
    w, hgt, style, exstyle = h.find_window()
    expect((w, hgt) == (800, 600), "client area is %dx%d, not 800x600" % (w, hgt))
    expect(style & 0x00C00000 == 0x00C00000, "the windowed game has no caption (style %08x)" % style)
    expect(len(h.x_windows()) == 1, "expected one game window on the display")
    h.expect_no_box("Error")  # and let a few frames run
    expect(proc.poll() is None, "the game ended on its own")
    h.close_game()
    code = h.wait_exit(proc)
    expect(code == 0, "exit code %s after WM_CLOSE" % code)
    path = os.path.join(h.data_dir(), "Quorvane.set")
    data = open(path, "rb").read()
    expect(len(data) == 40, "settings file holds %d bytes" % len(data))
    expect(data == pack_settings(WINDOWED_SETTINGS), "windowed settings changed by a start and quit")
    leftovers = [f for f in os.listdir(h.data_dir()) if f.endswith(".tmp")]
    expect(not leftovers, "temporary files left behind: %s" % leftovers)


def check_other_window_sizes(h):
    settings = list(WINDOWED_SETTINGS)
    settings[3], settings[4] = 640.9, 480.2
    game = h.fresh_game(settings)
    proc = h.launch(game, ["-direct3d"])
    w, hgt, _, _ = h.find_window()
    expect((w, hgt) == (640, 480), "client area is %dx%d, not 640x480" % (w, hgt))
    h.expect_no_box("Error")
    h.close_game()
    expect(h.wait_exit(proc) == 0, "bad exit code")


def check_missing_manifest_shows_error_and_saves_nothing(h):
    game = h.fresh_game(settings=None)
    os.remove(os.path.join(game, "Quorvane.xml"))
    proc = h.launch(game, ["-direct3d"])
    text = h.read_box("Error")
    expect("Quorvane.xml" in text, "error text does not name the manifest: %r" % text)
    code = h.wait_exit(proc)
    expect(code == 0, "exit code %s after a failed start" % code)
    expect(not os.path.exists(os.path.join(h.data_dir(), "Quorvane.set")),
           "a failed start wrote the settings")


def check_second_launcher_exits_with_1(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    first = h.launch(game, ["-direct3d"])
    h.find_window()
    second = h.launch(game, ["-direct3d"])
    code = h.wait_exit(second, timeout=30)
    expect(code == 1, "second launcher returned %s" % code)
    # Under load the first game's window may still be settling (mapped
    # late, or a helper window of the device passing): one window must
    # remain once things are quiet.
    end = time.time() + 10
    while len(h.x_windows()) != 1 and time.time() < end:
        time.sleep(0.5)
    expect(len(h.x_windows()) == 1, "the second launcher opened a window (%d windows)" % len(h.x_windows()))
    h.close_game()
    expect(h.wait_exit(first) == 0, "first launcher did not end cleanly")


def check_command_line_wins_over_override_file(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    with open(os.path.join(game, "Quorvane.txt"), "w") as f:
        f.write("-directdraw\n")
    # The file alone picks a library this folder lacks: "Error starting game!".
    if not os.path.exists(os.path.join(game, "Quorvane-DDRAW.dll")):
        proc = h.launch(game)
        text = h.read_box("Error")
        expect(text == "Error starting game!", "unexpected box text %r" % text)
        expect(h.wait_exit(proc) == 1, "launcher without its library should return 1")
    proc = h.launch(game, ["-direct3d"])
    h.find_window()
    h.close_game()
    expect(h.wait_exit(proc) == 0, "bad exit code")


def check_library_exports_and_launcher_imports(h):
    objdump = OBJDUMP
    out = subprocess.run([objdump, "-p", os.path.join(h.game_dir, "Quorvane-D3D.dll")],
                         capture_output=True, text=True, check=True).stdout
    names = []
    in_table = False
    for line in out.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            in_table = True
            continue
        if in_table:
            if not line.strip():
                break
            names.append(line.split()[-1])
    expect(names == ["RunGame"], "the game library exports %s" % names)
    out = subprocess.run([objdump, "-p", os.path.join(h.game_dir, "Quorvane.exe")],
                         capture_output=True, text=True, check=True).stdout
    dlls = sorted({line.split(":", 1)[1].strip().lower() for line in out.splitlines()
                   if "DLL Name:" in line})
    allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
    expect(set(dlls) <= allowed, "the launcher imports %s" % dlls)


def check_first_run_writes_default_settings(h):
    # No settings yet: the defaults (full screen, 800x600) are used and saved.
    game = h.fresh_game(settings=None)
    proc = h.launch(game, ["-direct3d"])
    w, hgt, style, exstyle = h.find_window()
    expect((w, hgt) == (800, 600), "client area is %dx%d" % (w, hgt))
    expect(style & 0x00C00000 == 0, "the full-screen window has a caption")
    expect(exstyle & 0x8, "the full-screen window is not topmost")
    h.expect_no_box("Error")
    h.close_game()
    expect(h.wait_exit(proc) == 0, "bad exit code")
    data = open(os.path.join(h.data_dir(), "Quorvane.set"), "rb").read()
    defaults = (0.5, 0.5, 1.0, 800.0, 600.0, 32.0, 60.0, 1.0, 0.5, 0.0)
    expect(data == pack_settings(defaults), "first run did not save the default settings")
