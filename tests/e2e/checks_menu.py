"""The main menu and the options window, driven through the real game the way
a player would: the pointer and the keyboard through xdotool on the game's X
window, what is on screen read back from screenshots of that window.

Places are written in view units (x from -1.333 to 1.333, y from -1 to 1, y
up) as content/gui/gui.xml places the controls, and turned into pixels of the
window's client area.
"""
import math
import os
import re
import subprocess
import time

from harness import WINDOWED_SETTINGS, CheckFailed, expect, grab, pack_settings

VIEW_WIDTH = 2.6666665
VIEW_HEIGHT = 2.0

# Where the document puts things (view units).
QUICK_PLAY = (0.68, 0.54)
QUICK_PLAY_SIDE = (0.90, 0.54)    # on the Quick Play button, clear of its label
OPTIONS = (0.42, -0.72)
OPTIONS_SIDE = (0.24, -0.72)      # on the Options button, clear of its label
QUIT = (0.94, -0.72)
QUIT_SIDE = (0.78, -0.72)
BACKDROP = (0.06, 0.45)           # between the sign and the menu board
EMPTY = (0.06, -0.95)             # the stage floor: nothing to click there
SIGN_TOP_LINE = (-1.20, 0.66, -0.12, 0.77)   # the upper half of the first line of the name
HEADING = (0.40, 0.70, 0.96, 0.78)           # the player's name at the board's head
WHEEL = (-0.66, -0.40)
OPTIONS_RIM = (-1.15, -0.10, -1.10, 0.0)     # the left edge of the options panel
OPTIONS_INSIDE = QUICK_PLAY_SIDE             # panel inside when the window is open
OPTIONS_CLOSE = (0.0, -0.74)
FULL_SCREEN = (0.2, 0.5)
FULL_SCREEN_CORNER = (0.17, 0.52)            # inside the box, clear of the tick
PLAYER_NAME = (0.0, 0.1)                     # the new player's name field
PLAYER_NAME_TEXT = (-0.42, 0.03, 0.42, 0.13)
NOTICE_RIM = (-0.02, 0.45, 0.02, 0.50)       # the top edge of the name window's panel
NAME_OK = (-0.3, -0.34)


# ---- Colours ----------------------------------------------------------------

def is_orange(c):  # the buttons, a checked box, the chosen list row
    r, g, b = c
    return r > 150 and 0.25 * r < g < 0.65 * r and b < 0.4 * r


def is_checked(c):  # a checked box: orange, lighter at its top, deeper below
    r, g, b = c
    return r > 130 and g < 0.75 * r and b < 0.45 * r


def is_light(c):  # the cream and pale gold of the sign's letters
    r, g, b = c
    return r > 225 and g > 195


def is_white(c):
    return min(c) > 205


def is_violet(c):  # the plum and violet of the backdrop and the panels
    r, g, b = c
    return b > g + 25 and r > g and g < 110


def is_gold(c):
    r, g, b = c
    return r > 200 and g > 140 and r - b > 80


def is_dark(c):
    return max(c) < 90


def brightness(c):
    return sum(c) / 3.0


# ---- Screenshots ------------------------------------------------------------

class Shot:
    """One screenshot of the game's client area."""

    def __init__(self, data):
        parts = data.split(b"\n", 3)
        expect(parts[0] == b"P6" and parts[2] == b"255", "the screenshot is not an 8-bit PPM image")
        self.width, self.height = map(int, parts[1].split())
        self.pixels = parts[3]

    def pixel(self, px, py):
        px = min(max(px, 0), self.width - 1)
        py = min(max(py, 0), self.height - 1)
        i = (py * self.width + px) * 3
        return tuple(self.pixels[i:i + 3])

    def to_pixel(self, x, y):
        return (int((x / VIEW_WIDTH + 0.5) * self.width), int((0.5 - y / VIEW_HEIGHT) * self.height))

    def at(self, point, radius=1):
        """The mean colour of a small square around a point in view units."""
        cx, cy = self.to_pixel(*point)
        total = [0, 0, 0]
        n = 0
        for py in range(cy - radius, cy + radius + 1):
            for px in range(cx - radius, cx + radius + 1):
                c = self.pixel(px, py)
                for k in range(3):
                    total[k] += c[k]
                n += 1
        return tuple(v // n for v in total)

    def region(self, area):
        """Every pixel of the rectangle (x0, y0, x1, y1) in view units."""
        x0, y0, x1, y1 = area
        px0, py0 = self.to_pixel(x0, y1)
        px1, py1 = self.to_pixel(x1, y0)
        return [self.pixel(px, py) for py in range(py0, py1 + 1) for px in range(px0, px1 + 1)]

    def share(self, area, test):
        pixels = self.region(area)
        return sum(1 for c in pixels if test(c)) / float(len(pixels))

    def count(self, area, test):
        return sum(1 for c in self.region(area) if test(c))


# ---- The running game -------------------------------------------------------

class Game:
    def __init__(self, h, game_dir=None):
        self.h = h
        self.dir = game_dir or h.fresh_game(WINDOWED_SETTINGS)
        self.proc = h.launch(self.dir, ["-direct3d"])
        h.find_window()
        self.xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
        self.width, self.height = h.x_geometry(self.xid)
        expect((self.width, self.height) == (800, 600),
               "client area is %dx%d, not 800x600" % (self.width, self.height))

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.h.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def to_pixel(self, point):
        x, y = point
        return (int((x / VIEW_WIDTH + 0.5) * self.width), int((0.5 - y / VIEW_HEIGHT) * self.height))

    def move(self, point):
        px, py = self.to_pixel(point)
        self.xdotool("mousemove", "--window", self.xid, px, py)

    def press(self):
        self.xdotool("mousedown", 1)

    def release(self):
        self.xdotool("mouseup", 1)

    def click(self, point, settle=0.4):
        """Moves there, lets the control see the pointer, presses and releases.
        Clicks are spaced out: two clicks close together would make a double
        click, which is not a press."""
        self.move(point)
        time.sleep(settle)
        self.press()
        time.sleep(0.3)
        self.release()
        time.sleep(0.6)

    def key(self, name):
        """Presses and releases a key a few frames apart: the game sees one
        change of a key a frame, so a press and a release that fall into the
        same frame would be taken for no press at all."""
        self.xdotool("keydown", name)
        time.sleep(0.3)
        self.xdotool("keyup", name)
        time.sleep(0.2)

    def type(self, text):
        # One character a frame at most: the game reads one typed character
        # per frame, so the keys go slower than the frame rate.
        self.xdotool("type", "--delay", 250, text)

    def activate(self):
        """The game only runs while its window is active: a click on the
        stage floor, where nothing reacts, makes it so."""
        self.click(EMPTY, settle=0.2)

    def shot(self):
        return Shot(grab(self.h.env, self.xid))

    def save(self, shot_name):
        """Keeps a screenshot beside the check's game folder for a person to look at."""
        path = os.path.join(self.h.work, shot_name)
        grab(self.h.env, self.xid, path)
        return path

    def wait_shot(self, test, timeout, what):
        """Screenshots until test(shot) holds; returns that shot."""
        end = time.time() + timeout
        last = None
        while time.time() < end:
            last = self.shot()
            if test(last):
                return last
            time.sleep(0.25)
        # What the screen showed instead, for a person to look at.
        try:
            self.save("timeout-%s.png" % "".join(c if c.isalnum() else "-" for c in what)[:60])
        except (subprocess.CalledProcessError, OSError):
            pass
        raise CheckFailed("timed out waiting for " + what)

    def wait_menu(self):
        return self.wait_shot(lambda s: is_orange(s.at(QUICK_PLAY_SIDE)) and is_orange(s.at(QUIT_SIDE)),
                              30, "the menu's buttons")

    def wait_name_window(self):
        return self.wait_shot(lambda s: any(is_gold(c) for c in s.region(NOTICE_RIM)) and
                              is_orange(s.at((NAME_OK[0] - 0.17, NAME_OK[1]))), 30, "the new player's window")

    def quit(self):
        """Leaves through the menu's Quit button; the game must end with 0.
        A click that a slow frame missed is given again."""
        for _ in range(3):
            self.click(QUIT)
            try:
                code = self.proc.wait(timeout=20)
                break
            except subprocess.TimeoutExpired:
                continue
        code = self.h.wait_exit(self.proc)
        expect(code == 0, "exit code %s after Quit" % code)


def start_new(h, game_dir=None):
    """A game without players: it opens on the new player's window, whose
    name field takes the keys."""
    g = Game(h, game_dir)
    g.wait_name_window()
    g.activate()
    g.move(EMPTY)
    return g


def start_menu(h, name="Quorvane"):
    """A new player made (the first start asks for one), then the main menu."""
    g = start_new(h)
    time.sleep(0.5)
    g.type(name)
    time.sleep(0.3)
    g.key("Return")
    g.wait_menu()
    g.move(EMPTY)
    g.wait_menu()
    return g


OPTIONS_TITLE = (-0.3, 0.68, 0.3, 0.78)


def options_open(s):
    # Its title shows last, once the panel and its controls have opened.
    return (is_violet(s.at(OPTIONS_INSIDE)) and any(is_gold(c) for c in s.region(OPTIONS_RIM)) and
            s.count(OPTIONS_TITLE, is_white) > 150)


def menu_showing(s):
    return is_orange(s.at(QUICK_PLAY_SIDE))


def open_options(g):
    g.click(OPTIONS)
    return g.wait_shot(options_open, 10, "the options window")


# ---- Checks -----------------------------------------------------------------

def check_menu_shows_backdrop_title_wheel_and_buttons(h):
    g = start_menu(h)
    time.sleep(1.0)  # every opening animation has ended
    s = g.shot()
    g.save("menu.png")
    expect(is_violet(s.at(BACKDROP, 2)), "no violet backdrop between the sign and the board: %s" % (s.at(BACKDROP, 2),))
    expect(is_dark(s.at(EMPTY, 2)), "the stage floor is not dark: %s" % (s.at(EMPTY, 2),))
    for name, point in (("Quick Play", QUICK_PLAY_SIDE), ("Options", OPTIONS_SIDE), ("Quit", QUIT_SIDE)):
        expect(is_orange(s.at(point)), "the %s button is not orange: %s" % (name, s.at(point)))
    light = s.share(SIGN_TOP_LINE, is_light)
    expect(light > 0.12, "the sign's name shows too little light text (%.0f%% of its area)" % (light * 100))
    white = s.count(HEADING, is_white)
    expect(white > 150, "the board's heading shows %d white pixels" % white)
    # The wheel: many colours of its wedges around the hub.
    x, y = WHEEL
    hues = set()
    for k in range(24):
        a = 2 * math.pi * k / 24
        c = s.at((x + 0.33 * math.cos(a), y + 0.33 * math.sin(a)))
        hues.add(("r" if c[0] > 150 else "") + ("g" if c[1] > 150 else "") + ("b" if c[2] > 150 else ""))
    expect(len(hues) >= 4, "the wheel shows only %d kinds of colour: %s" % (len(hues), sorted(hues)))
    h.expect_no_box("Error", seconds=0.5)
    g.quit()


def check_menu_button_lights_under_the_pointer(h):
    g = start_menu(h)
    time.sleep(0.5)
    before = g.shot().at(QUICK_PLAY_SIDE, 2)
    g.move(QUICK_PLAY)
    lit = g.wait_shot(lambda s: brightness(s.at(QUICK_PLAY_SIDE, 2)) > brightness(before) + 15, 5,
                      "the Quick Play button to light up under the pointer")
    expect(is_orange(lit.at(QUICK_PLAY_SIDE, 2)), "the lit button is not orange: %s" % (lit.at(QUICK_PLAY_SIDE, 2),))
    # The other buttons stay as they were.
    other = lit.at(OPTIONS_SIDE, 2)
    expect(abs(brightness(other) - brightness(before)) < 12, "the Options button changed too: %s" % (other,))
    g.move(EMPTY)
    g.wait_shot(lambda s: abs(brightness(s.at(QUICK_PLAY_SIDE, 2)) - brightness(before)) < 8, 5,
                "the button to go dark again after the pointer left")
    g.quit()


def check_menu_button_fires_on_release_over_it_not_elsewhere(h):
    g = start_menu(h)
    # Pressed on Options, released away from it: nothing opens.
    g.move(OPTIONS)
    time.sleep(0.4)
    g.press()
    time.sleep(0.3)
    g.move(BACKDROP)
    time.sleep(0.3)
    g.release()
    time.sleep(1.5)
    s = g.shot()
    expect(menu_showing(s) and not options_open(s), "releasing away from Options opened something")
    # Pressed and held on it: still nothing until the release.
    g.move(OPTIONS)
    time.sleep(0.8)
    g.press()
    time.sleep(0.8)
    s = g.shot()
    expect(not options_open(s), "Options fired on the press, before the release")
    g.release()
    s = g.wait_shot(options_open, 10, "the options window after releasing over Options")
    time.sleep(1.0)
    g.save("options.png")
    expect(not is_orange(s.at(QUICK_PLAY_SIDE)), "the menu is not covered by the options window")
    # OK closes it and the menu is back.
    g.click(OPTIONS_CLOSE)
    g.wait_shot(lambda s: menu_showing(s) and not options_open(s), 10, "the menu after OK")
    g.quit()


def check_menu_options_close_with_escape(h):
    g = start_menu(h)
    open_options(g)
    time.sleep(0.5)
    g.key("Escape")
    g.wait_shot(lambda s: menu_showing(s) and not options_open(s), 10, "the menu after Escape")
    g.quit()


def check_menu_options_check_box_fires_on_press(h):
    g = start_menu(h)
    open_options(g)
    time.sleep(0.8)
    s = g.shot()
    expect(is_dark(s.at(FULL_SCREEN_CORNER)), "the full-screen box is not empty: %s" % (s.at(FULL_SCREEN_CORNER),))
    g.move(FULL_SCREEN)
    time.sleep(0.5)
    g.press()
    # Checked while the button is still down.
    s = g.wait_shot(lambda s: is_checked(s.at(FULL_SCREEN_CORNER)), 5, "the box to be checked on the press")
    tick = s.count((FULL_SCREEN[0] - 0.04, FULL_SCREEN[1] - 0.04, FULL_SCREEN[0] + 0.04, FULL_SCREEN[1] + 0.04),
                   is_white)
    expect(tick > 15, "no white tick in the checked box (%d white pixels)" % tick)
    g.release()
    time.sleep(0.8)
    s = g.shot()
    expect(is_checked(s.at(FULL_SCREEN_CORNER)), "the release unchecked the box")
    # A second press clears it.
    g.press()
    g.wait_shot(lambda s: not is_checked(s.at(FULL_SCREEN_CORNER)), 5, "the box to clear on the second press")
    g.release()
    g.click(OPTIONS_CLOSE)
    g.wait_shot(menu_showing, 10, "the menu after OK")
    g.quit()


def check_menu_name_field_takes_typed_text(h):
    g = start_new(h)
    time.sleep(0.8)
    before = g.shot().count(PLAYER_NAME_TEXT, is_white)
    expect(before < 80, "the empty name field already shows text (%d white pixels)" % before)  # the caret
    g.type("Quorvane")
    s = g.wait_shot(lambda s: s.count(PLAYER_NAME_TEXT, is_white) > 150, 10, "the typed name in the field")
    g.save("name-typed.png")
    # The text starts at the field's left end and stays inside it.
    left = s.count((PLAYER_NAME_TEXT[0], PLAYER_NAME_TEXT[1], -0.12, PLAYER_NAME_TEXT[3]), is_white)
    expect(left > 40, "no typed text at the field's left end (%d white pixels)" % left)
    # Backspace takes a character away.
    typed = s.count(PLAYER_NAME_TEXT, is_white)
    for _ in range(4):
        g.key("BackSpace")
    g.wait_shot(lambda s: 20 < s.count(PLAYER_NAME_TEXT, is_white) < typed - 40, 5, "the erased characters to go")
    g.click(NAME_OK)
    g.wait_menu()
    g.quit()


def check_menu_game_modes_wait_for_a_player(h):
    # A first start asks for a player before any game mode is offered.
    g = start_new(h)
    time.sleep(1.0)
    s = g.shot()
    expect(not is_orange(s.at(QUICK_PLAY_SIDE)), "the game modes are offered before there is a player")
    g.type("Ann")
    g.click(NAME_OK)
    g.wait_shot(lambda s: menu_showing(s) and not any(is_gold(c) for c in s.region(NOTICE_RIM)), 10,
                "the menu once the player is made")
    g.quit()


def check_menu_quit_ends_game_and_saves_settings(h):
    g = start_menu(h)
    g.quit()
    path = os.path.join(h.data_dir(), "Quorvane.set")
    expect(os.path.exists(path), "Quit saved no settings")
    data = open(path, "rb").read()
    expect(len(data) == 40, "settings file holds %d bytes" % len(data))
    expect(data == pack_settings(WINDOWED_SETTINGS), "the settings changed by a start and Quit")


def broken_game(h, document):
    """A private game copy whose "GUI" document is the given text: a loose
    data/gui/gui.xml wins over the archive's entry of the same name."""
    game = h.fresh_game(WINDOWED_SETTINGS)
    os.makedirs(os.path.join(game, "data", "gui"), exist_ok=True)
    with open(os.path.join(game, "data", "gui", "gui.xml"), "w") as f:
        f.write(document)
    return game


def expect_failed_start(h, game, test, what):
    proc = h.launch(game, ["-direct3d"])
    text = h.read_box("Error")
    expect(test(text), "%s: the box says %r" % (what, text))
    code = h.wait_exit(proc)
    expect(code == 0, "exit code %s after a failed start" % code)
    data = open(os.path.join(h.data_dir(), "Quorvane.set"), "rb").read()
    expect(data == pack_settings(WINDOWED_SETTINGS), "a failed start changed the settings")
    return text


def check_menu_document_with_unknown_container_is_reported(h):
    game = broken_game(h, '<?xml version="1.0" encoding="UTF-8"?>\n'
                          '<gui start_screen="MENU">\n'
                          '  <screen name="MENU"/>\n'
                          '  <drawer name="TOOLS"/>\n'
                          '</gui>\n')
    expect_failed_start(h, game, lambda t: t == "Unrecognized gui environment: <drawer>",
                        "an unknown container")


def check_menu_broken_document_reports_row_and_column(h):
    # Row 4 opens a tag that never ends: the parser stops where its
    # attributes run into the next tag, the "<" at row 5, column 3.
    game = broken_game(h, '<?xml version="1.0" encoding="UTF-8"?>\n'
                          '<gui start_screen="MENU">\n'
                          '  <screen name="MENU">\n'
                          '    <static name="BACKDROP" pos="0,0,1"\n'
                          '  </screen>\n'
                          '</gui>\n')
    text = expect_failed_start(h, game, lambda t: re.match(r"^GUI: \(\d+,\d+\): \S", t) is not None,
                               "a broken document")
    row, col = map(int, re.match(r"^GUI: \((\d+),(\d+)\)", text).groups())
    expect((row, col) == (5, 3), "the error is placed at row %d, column %d, not where the tag breaks (5,3): %r"
           % (row, col, text))
