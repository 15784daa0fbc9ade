"""The Lite edition (Quorvane-DDRAW.dll, "-directdraw"): it opens on its own
2D menu (the full edition's menu screen and main menu) drawn 1:1 from its
sprites, keeps its own save files apart from
the full edition's, and reports a missing manifest."""
import io
import os
import subprocess
import time
import zipfile

from harness import WINDOWED_SETTINGS, expect, grab, pack_settings

LITE_SET = "Quorvane Lite.set"
LITE_GAM = "Quorvane Lite.gam"


def _lite_game(h, settings=WINDOWED_SETTINGS):
    """A fresh game folder whose data folder holds the Lite's settings only."""
    game = h.fresh_game(settings=None)
    if settings is not None:
        with open(os.path.join(h.data_dir(), LITE_SET), "wb") as f:
            f.write(pack_settings(settings))
    return game


def _with_player(h, game, name="Ann"):
    """Gives the Lite a player, so that it opens on its main menu (a new
    player's name window would dim the whole screen): the player file is
    written by the game's own code under the full edition's name, then
    renamed to the Lite's."""
    data = h.data_dir()
    expect(h.playertool(game, "human", name)[0] == 0, "playertool could not add %s" % name)
    os.replace(os.path.join(data, "Quorvane.gam"), os.path.join(data, LITE_GAM))
    if os.path.exists(os.path.join(data, "Quorvane.set")):
        os.remove(os.path.join(data, "Quorvane.set"))
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


def _rgba(png):
    """A PNG as (width, height, 8-bit RGBA bytes)."""
    w, hgt = int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")
    r = subprocess.run(["convert", "png:-", "-depth", "8", "rgba:-"], input=png, capture_output=True, check=True)
    return w, hgt, r.stdout


def _font(game, name):
    """A font of the Lite's "TEXT" document: its characters, pixel widths,
    distance and strip (RGBA)."""
    import xml.etree.ElementTree as ET
    with _archive(os.path.join(game, "Quorvane Lite.dat")) as z:
        text = z.read("data/lite/text/text.xml").decode("utf-8")
        root = ET.fromstring("<all>" + text.split("?>", 1)[-1] + "</all>")
        font = next(f for f in root.iter("font") if f.get("name") == name)
        strip = z.read("data/lite/fonts/%s.png" % name.lower())
    chars = font.get("chars")
    widths = []
    for n in map(int, font.get("chars_width").split(",")):
        widths += [widths[-1]] * -n if n < 0 else [n]
    return chars, widths, int(font.get("chars_dist", "0")), _rgba(strip)


def _label_error(pixels, sw, back, bw, font, text, pen_x, top):
    """The share of the label's inked pixels that differ from the text drawn
    (glyph cells blended in turn over the backdrop, pen moved on by width and
    distance) by more than the tolerance; computed for each tolerance given."""
    chars, widths, dist, (tw, th, strip) = font
    cells, x = {}, 0
    for c, pw in zip(chars, widths):
        cells[c] = (x, pw)
        x += pw
    canvas = {}
    pen = pen_x
    for c in text:
        cx, pw = cells[c]
        for row in range(th):
            for col in range(pw):
                a = strip[(row * tw + cx + col) * 4 + 3]
                if a == 0:
                    continue
                at = (pen + col, top + row)
                if at not in canvas:
                    i = ((at[1] + 1) * bw + at[0] + 1) * 3
                    canvas[at] = list(back[i:i + 3])
                src = strip[(row * tw + cx + col) * 4:(row * tw + cx + col) * 4 + 3]
                canvas[at] = [d + (((s - d) * a) >> 8) for s, d in zip(src, canvas[at])]
        pen += pw + dist
    worst = []
    for (px, py), want in canvas.items():
        i = (py * sw + px) * 3
        worst.append(max(abs(g - w) for g, w in zip(pixels[i:i + 3], want)))
    return worst


def _reads_label(pixels, sw, sh, back, bw, font, text, tolerance):
    """Whether the frame-rate label at the bottom centre starts with text:
    its first inked pixels are found against the backdrop, then the text is
    laid on them (within a pixel or two) and compared."""
    ink = [(x, y) for y in range(sh - 20, sh) for x in range(sw)
           if max(abs(pixels[(y * sw + x) * 3 + k] - back[((y + 1) * bw + x + 1) * 3 + k]) for k in range(3)) > 24]
    if not ink:
        return False, "no label drawn at the bottom"
    left, top = min(x for x, _ in ink), min(y for _, y in ink)
    chars, widths, dist, (tw, th, strip) = font
    cx = sum(widths[:chars.index(text[0])])
    first_col = min(col for col in range(widths[chars.index(text[0])]) for row in range(th)
                    if strip[(row * tw + cx + col) * 4 + 3] > 24)
    first_row = min(row for row in range(th) for c in set(text) if c != " "
                    for col in range(widths[chars.index(c)])
                    if strip[(row * tw + sum(widths[:chars.index(c)]) + col) * 4 + 3] > 24)
    best = None
    for ox in range(-2, 3):
        for oy in range(-2, 3):
            worst = _label_error(pixels, sw, back, bw, font, text, left - first_col + ox, top - first_row + oy)
            bad = sum(1 for v in worst if v > tolerance) / float(len(worst))
            best = bad if best is None or bad < best else best
    return best < 0.01, "%.1f%% of the label's pixels differ from %r" % (100 * best, text)


def _menu_shot(h, game):
    """Starts the Lite, waits for its menu, returns (process, window shot)."""
    proc = h.launch(game, ["-directdraw"])
    w, hgt, _, _ = h.find_window()
    expect((w, hgt) == (800, 600), "client area is %dx%d, not 800x600" % (w, hgt))
    h.expect_no_box("Error")
    xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
    # Rest the pointer where nothing reacts, then let the menu settle.
    subprocess.run(["xdotool", "mousemove", "--window", xid, "400", "590"], env=h.env)
    time.sleep(4.0)
    shot = grab(h.env, xid)
    return proc, _ppm(shot)


def _check_menu_at_depth(h, depth, tolerance, text_tolerance):
    """The menu drawn 1:1: the backdrop (the sheet's first cell, (1, 1) on)
    shows where nothing covers it, within the tolerance per channel, and the
    frame-rate label reads "DDRAW FPS:" (its glyphs blended over the
    backdrop, within text_tolerance)."""
    game = _with_player(h, _lite_game(h))
    proc, (sw, sh, pixels) = _menu_shot(h, game)
    h.screenshot(os.path.join(h.work, "lite_menu_%d.png" % depth))
    expect((sw, sh) == (800, 600), "the window shot is %dx%d" % (sw, sh))
    bw, bh, back = _sheet_pixels(h, game, "data/lite/sprites/backdrop.png")
    for x, y in ((2, 2), (400, 3), (797, 10), (3, 300), (796, 597), (420, 300)):
        got = pixels[(y * sw + x) * 3:(y * sw + x) * 3 + 3]
        want = back[((y + 1) * bw + x + 1) * 3:((y + 1) * bw + x + 1) * 3 + 3]
        expect(max(abs(g - w) for g, w in zip(got, want)) <= tolerance,
               "pixel (%d, %d) is %s, the backdrop has %s there" % (x, y, got.hex(), want.hex()))
    lit = sum(1 for i in range(0, len(pixels), 3) if pixels[i] + pixels[i + 1] + pixels[i + 2] > 60)
    expect(lit > 0.8 * sw * sh, "only %d pixels drawn" % lit)
    font = _font(game, "SMALL")
    ok, why = _reads_label(pixels, sw, sh, back, bw, font, "DDRAW FPS:", text_tolerance)
    expect(ok, "the frame-rate label does not read DDRAW FPS: " + why)
    h.close_game()
    expect(h.wait_exit(proc) == 0, "the launcher did not end with 0")


def check_lite_opens_its_menu_drawn_one_to_one(h):
    _check_menu_at_depth(h, 24, 0, 2)


def check_lite_draws_its_menu_on_a_16_bit_display(h):
    # At 16 bits a blended pixel is rounded down twice (the backdrop's
    # colour, then the blend), so text may stray by up to two steps of 8.
    with h.display_depth(16):
        _check_menu_at_depth(h, 16, 8, 16)


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
    """The main menu's Quit (centre 682, 516 on the 800 x 600 client): its
    pill's top edge is 17 pixels above the centre. A click 2 pixels outside
    it does nothing, one 2 pixels inside quits."""
    game = _with_player(h, _lite_game(h))
    proc = h.launch(game, ["-directdraw"])
    h.find_window()
    xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
    time.sleep(3.0)

    def click(x, y):
        for args in (["mousemove", "--window", xid, str(x), str(y)], ["mousedown", "1"], ["mouseup", "1"]):
            subprocess.run(["xdotool"] + args, env=h.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(0.3)

    click(682, 516 - 19)
    time.sleep(1.5)
    expect(proc.poll() is None, "a click 2 pixels above Quit ended the game")
    click(682, 516 - 15)
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
