"""The Lite edition (Quorvane-DDRAW.dll, "-directdraw"): it opens on its own
2D main menu drawn 1:1 from its sprites, keeps its own save files apart from
the full edition's, and reports a missing manifest."""
import io
import os
import subprocess
import time
import zipfile

from harness import WINDOWED_SETTINGS, expect, pack_settings

LITE_SET = "Quorvane Lite.set"
LITE_GAM = "Quorvane Lite.gam"


def _lite_game(h, settings=WINDOWED_SETTINGS):
    """A fresh game folder whose data folder holds the Lite's settings only."""
    game = h.fresh_game(settings=None)
    if settings is not None:
        with open(os.path.join(h.data_dir(), LITE_SET), "wb") as f:
            f.write(pack_settings(settings))
    return game


def _ppm(data):
    parts = data.split(b"\n", 3)
    expect(parts[0] == b"P6" and parts[2] == b"255", "not an 8-bit PPM image")
    w, hgt = map(int, parts[1].split())
    return w, hgt, parts[3]


def _archive(path):
    """The game's archive as a zip file: the game marks the end record of an
    archive it has read with "DM.A" instead of the standard signature."""
    data = bytearray(open(path, "rb").read())
    if data[-22:-18] == b"DM.A":
        data[-22:-18] = b"PK\x05\x06"
    return zipfile.ZipFile(io.BytesIO(bytes(data)))


def _sheet_pixels(h, game, entry):
    """The sheet as 8-bit RGB, read from the Lite's archive."""
    with _archive(os.path.join(game, "Quorvane Lite.dat")) as z:
        png = z.read(entry)
    r = subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=png, capture_output=True, check=True)
    return _ppm(r.stdout)


def check_lite_opens_its_menu_drawn_one_to_one(h):
    game = _lite_game(h)
    proc = h.launch(game, ["-directdraw"])
    w, hgt, _, _ = h.find_window()
    expect((w, hgt) == (800, 600), "client area is %dx%d, not 800x600" % (w, hgt))
    h.expect_no_box("Error")
    xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
    # Rest the pointer where nothing reacts, then let the menu settle.
    subprocess.run(["xdotool", "mousemove", "--window", xid, "400", "590"], env=h.env)
    time.sleep(4.0)
    shot = subprocess.run(["import", "-window", xid, "-depth", "8", "ppm:-"], env=h.env, capture_output=True,
                          check=True).stdout
    sw, sh, pixels = _ppm(shot)
    h.screenshot(os.path.join(h.work, "lite_menu.png"))
    expect((sw, sh) == (800, 600), "the window shot is %dx%d" % (sw, sh))
    # The backdrop is the sheet's first cell, (1, 1) on: where nothing else
    # covers it, the screen shows its pixels exactly.
    bw, bh, back = _sheet_pixels(h, game, "data/lite/sprites/backdrop.png")
    for x, y in ((2, 2), (400, 3), (797, 10), (3, 300), (796, 597), (420, 300)):
        got = pixels[(y * sw + x) * 3:(y * sw + x) * 3 + 3]
        want = back[((y + 1) * bw + x + 1) * 3:((y + 1) * bw + x + 1) * 3 + 3]
        expect(got == want, "pixel (%d, %d) is %s, the backdrop has %s there" % (x, y, got.hex(), want.hex()))
    lit = sum(1 for i in range(0, len(pixels), 3) if pixels[i] + pixels[i + 1] + pixels[i + 2] > 60)
    expect(lit > 0.8 * sw * sh, "only %d pixels drawn" % lit)
    data = open(os.path.join(game, "Quorvane-DDRAW.dll"), "rb").read()
    expect(b"DDRAW FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms" in data,
           "the Lite's frame-rate label does not say DDRAW FPS")
    h.close_game()
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")


def check_lite_keeps_its_own_save_files(h):
    game = _lite_game(h)
    full_set = os.path.join(h.data_dir(), "Quorvane.set")
    with open(full_set, "wb") as f:
        f.write(pack_settings(WINDOWED_SETTINGS[:9] + (1.0,)))
    before = open(full_set, "rb").read()
    proc = h.launch(game, ["-directdraw"])
    h.find_window()
    time.sleep(2.0)
    h.close_game()
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")
    data = h.data_dir()
    settings = open(os.path.join(data, LITE_SET), "rb").read()
    expect(settings == pack_settings(WINDOWED_SETTINGS), "the Lite's settings changed")
    gam = open(os.path.join(data, LITE_GAM), "rb").read()
    expect(len(gam) == 968, "%s holds %d bytes, not 968" % (LITE_GAM, len(gam)))
    expect(not os.path.exists(os.path.join(data, "Quorvane.gam")), "the Lite wrote the full edition's .gam")
    expect(open(full_set, "rb").read() == before, "the Lite touched the full edition's settings")


def check_lite_without_its_manifest_says_so(h):
    game = _lite_game(h)
    os.remove(os.path.join(game, "Quorvane Lite.xml"))
    proc = h.launch(game, ["-directdraw"])
    text = h.read_box("Error")
    expect(text.startswith("Quorvane Lite.xml("), "the error box says %r" % text)
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")
    written = [n for n in os.listdir(h.data_dir()) if n != LITE_SET]
    expect(not written, "files written after the failed start: %s" % written)


def check_lite_buttons_answer_within_their_visible_edge(h):
    """Quit (centre 604, 504 on the 800 x 600 client): its pill's top edge is
    17 pixels above the centre. A click 2 pixels outside it does nothing, one
    2 pixels inside quits."""
    game = _lite_game(h)
    proc = h.launch(game, ["-directdraw"])
    h.find_window()
    xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
    time.sleep(3.0)

    def click(x, y):
        for args in (["mousemove", "--window", xid, str(x), str(y)], ["mousedown", "1"], ["mouseup", "1"]):
            subprocess.run(["xdotool"] + args, env=h.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(0.3)

    click(604, 504 - 19)
    time.sleep(1.5)
    expect(proc.poll() is None, "a click 2 pixels above Quit ended the game")
    click(604, 504 - 15)
    expect(h.wait_exit(proc, timeout=20) == 0, "the launcher did not end with 0")


def _loose_copy_with_wedge(game, archive, entry):
    """Writes the archive's GUI document as a loose file (which wins over the
    archive entry) with a "wedge" control added to the menu screen."""
    with _archive(os.path.join(game, archive)) as z:
        text = z.read(entry).decode("utf-8")
    at = text.index("<screen name=\"MENU\"")
    at = text.index(">", at) + 1
    text = text[:at] + '\n    <wedge name="WEDGE_TEST" pos="0,0,5"/>' + text[at:]
    path = os.path.join(game, *entry.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def check_wedge_control_belongs_to_the_lite_only(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    _loose_copy_with_wedge(game, "Quorvane.dat", "data/gui/gui.xml")
    proc = h.launch(game, ["-direct3d"])
    text = h.read_box("Error")
    expect("Unrecognized gui control: <wedge>" in text, "the full edition says %r" % text)
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")

    game = _lite_game(h)
    _loose_copy_with_wedge(game, "Quorvane Lite.dat", "data/lite/gui/lite_gui.xml")
    proc = h.launch(game, ["-directdraw"])
    h.find_window()
    h.expect_no_box("Error", seconds=3.0)
    h.close_game()
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")
