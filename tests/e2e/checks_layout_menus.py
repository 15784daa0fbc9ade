"""The menu windows laid out so that nothing overlaps or spills, measured on
screenshots at 800 x 600 and 1024 x 768 through the full edition (Direct3D,
then OpenGL) and at 800 x 600 through the Lite, which plays at that size
only (its options offer no other, its sprites are baked for it). One start
of the game for each visits the player list of the computer contestants,
the high scores, the trophy cabinet with a trophy's details, group play and
its choice of an opponent, the road map with a city's card, the puzzle
calendar and the look editor. Each window's places are those of its
document (content/gui/windows/, content/lite/gui/windows/), in view units
as checks_menu.py reads them; the screenshots are kept as
layout-<size>-<library>-NN-<window>.png in the work folder.
"""
import os
import time

from harness import WINDOWED_SETTINGS, expect
from checks_lite import _lite_game
from checks_match import GROUP_PLAY, Match
from checks_menu import EMPTY, is_gold, is_light, is_orange, is_violet, is_white
from checks_menus import CHOICE_RIM, HIGH_SCORES, PLAYERS, PUZZLE_OF_THE_DAY, ROAD_TRIP, panel_open

# The player list's rows and the places of its names (windows/w32,
# groups/g12): where each column's names start and how wide they may be,
# and where the details' frame begins.
LIST_ROWS = (0.47, 0.24, 0.01, -0.22, -0.45)
FULL_LIST = {"starts": (-0.81, -0.11), "widths": (0.43, 0.43), "frame": 0.38, "computers": (0.25, -0.62),
             "edit": (0.75, -0.36), "buttons_top": -0.5525}
LITE_LIST = {"starts": (-0.94, -0.22), "widths": (0.56, 0.58), "frame": 0.40, "computers": (0.265, -0.61),
             "edit": (0.3, -0.78), "buttons_top": -0.535}
# The high scores (windows/w30, groups/g06): the row bands' lamps at both
# ends, the columns of names and amounts between them, the best player's
# frame (its top edge).
SCORE_ROWS = tuple(0.36 - 0.08 * k for k in range(10))
SCORE_LAMPS = (-0.26, 0.98)
SCORE_NAMES = (-0.21, 0.29)
SCORE_AMOUNTS = (0.70, 0.94)
FULL_BEST_FRAME_TOP, LITE_BEST_FRAME_TOP = 0.3165, 0.4296
TROPHY_BUTTON = (-0.75, -0.56)
# The trophy cabinet (windows/w31): six columns of plaques 0.19 apart, 0.17
# wide; the details' frames (groups/g09) from 0.2 down, 0.76 wide.
PLAQUE_X = tuple(-1.0 + 0.19 * k for k in range(6))
PLAQUE_ROWS = (0.5, -0.55)
TROPHY_NORMAL, TROPHY_SPECIAL = (-0.62, 0.08), (-0.81, -0.55)
DETAIL = (0.26, 0.98)
# Group play (windows/w36, w37): the figures' frames (top edge 0.4225), the
# opponent list's first entry and the choice's panel over the podiums.
PODIUM_X = (-0.72, 0.0, 0.72)
FRAME_TOP = 0.4225
YELLOW_PICK = (0.0, -0.36)
# The road map (windows/w45, images/road_map.img): the panel's rim on both
# sides, each city's name, and the city card's strip (windows/w47).
CITY_NAMES = (("Las Vegas", -0.62, -0.21, 0.20), ("Dallas", -0.10, -0.45, 0.12), ("New Orleans", 0.41, -0.47, 0.25),
              ("Nashville", 0.39, -0.24, 0.18), ("Washington, D.C.", 0.75, -0.06, 0.34),
              ("New York", 0.92, 0.13, 0.19), ("Boston", 0.84, 0.42, 0.14), ("Chicago", 0.14, 0.12, 0.16),
              ("Seattle", -0.78, 0.31, 0.14), ("San Francisco", -0.90, -0.10, 0.27))
CONTINUE_TRIP = (-0.3, -0.16)
SAN_FRANCISCO = (-0.95, 0.02)
MAP_BACK, MAP_PLAY, CARD_OK = (-0.62, -0.76), (0.62, -0.76), (0.15, -0.74)
# The puzzle calendar (windows/w44, groups/g16): the later year's button
# ends at 1.055, the month lamps sit at -1.05; the rim begins near 1.09.
# The look editor (windows/w35): the colour samples beside their buttons,
# in the colours the character tool paints skin and hair with.
SAMPLE_X = tuple(0.36 + 0.21 * k for k in range(4))
SKIN = ((247, 209, 181), (230, 179, 138), (189, 135, 92), (120, 79, 54))
HAIR = ((36, 26, 20), (102, 59, 31), (219, 176, 102), (158, 61, 28))


def is_rim(c):
    """The panels' gold rim (both editions' shades)."""
    r, g, b = c
    return r > 140 and g > 90 and r - b > 60


def is_blue(c):
    r, g, b = c
    return b > 130 and b > r + 40 and b > g + 20


def rows_with(s, area, test):
    """The share of the area's pixel rows that hold a pixel passing test
    (a thin line, such as a panel's rim, in every row)."""
    x0, y0, x1, y1 = area
    px0, py0 = s.to_pixel(x0, y1)
    px1, py1 = s.to_pixel(x1, y0)
    rows = [any(test(s.pixel(px, py)) for px in range(px0, px1 + 1)) for py in range(py0, py1 + 1)]
    return sum(rows) / float(len(rows))


def band(x0, x1, y, half=0.03):
    return (x0, y - half, x1, y + half)


class Visit:
    """One start of the game: its windows opened in turn, each measured;
    every place that overlaps or spills is noted, and all are told at the
    end."""

    def __init__(self, h, library, size, lite):
        self.lite = lite
        width, height = size
        settings = list(WINDOWED_SETTINGS)
        settings[3], settings[4], settings[8] = float(width), float(height), 1.0 if width == 1024 else 0.5
        game = _lite_game(h, tuple(settings)) if lite else h.fresh_game(tuple(settings))
        tool = ["-lite"] if lite else []
        for args in (["human", "W" * 16], ["human", "Quorvane"], ["sample"], ["opponents", "8", "7"]):
            expect(h.playertool(game, *(tool + args))[0] == 0, "playertool %s failed" % " ".join(args))
        self.m = Match(h, game, library)
        self.m.shot_prefix = "layout-%dx%d" % size
        self.m.library_tag = library.lstrip("-")
        expect((self.m.width, self.m.height) == size,
               "the window is %dx%d, not %dx%d" % (self.m.width, self.m.height, size[0], size[1]))
        self.faults = []
        self.where = "%dx%d %s" % (size[0], size[1], library)

    def note(self, cond, message):
        if not cond:
            self.faults.append(message)

    def open(self, point, what, test=panel_open, settle=1.0):
        self.m.click(point)
        self.m.wait_shot(test, 20, what)
        self.m.move(EMPTY)
        time.sleep(settle)
        return self.shot(what)

    def shot(self, what):
        self.m.keep(what.replace(" ", "-"))
        return self.m.shot()

    def back_to_menu(self):
        for _ in range(3):
            self.m.key("Escape")
            time.sleep(1.2)
            if is_orange(self.m.shot().at((0.90, 0.54))):
                return
        self.m.wait_menu()

    # -- the windows ------------------------------------------------------
    def player_list(self):
        place = LITE_LIST if self.lite else FULL_LIST
        self.open(PLAYERS, "the player list")
        s = self.open(place["computers"], "the computer contestants")
        for col, (x0, w) in enumerate(zip(place["starts"], place["widths"])):
            for row, y in enumerate(LIST_ROWS):
                n = col * 5 + row + 1
                self.note(s.count(band(x0, x0 + w, y), is_white) > 15, "player list: no name in entry %d" % n)
            # Past each column's names: nothing until the next column's
            # buttons (the first) or into the details' frame (the second).
            end = place["starts"][1] - 0.1 if col == 0 else place["frame"] + 0.05
            for row, y in enumerate(LIST_ROWS):
                spill = s.count((x0 + w + 0.006, y - 0.03, end, y + 0.03), is_white)
                self.note(spill == 0, "player list: the name of entry %d runs %d pixels past its place"
                          % (col * 5 + row + 1, spill))
            # Between the last row and the buttons below the list.
            gap = s.count((x0, LIST_ROWS[-1] - 0.043, x0 + w, place["buttons_top"] + 0.008), is_white)
            self.note(gap == 0, "player list: %d text pixels between column %d's last entry and the buttons"
                      % (gap, col + 1))
        self.back_to_menu()

    def high_scores(self):
        s = self.open(HIGH_SCORES, "the high scores")
        self.note(s.count(band(SCORE_NAMES[0], SCORE_NAMES[1], SCORE_ROWS[0]), is_white) > 15,
                  "high scores: no name in the first row")
        self.note(s.count(band(SCORE_AMOUNTS[0], SCORE_AMOUNTS[1], SCORE_ROWS[0]), is_white) > 15,
                  "high scores: no amount in the first row")
        for y in SCORE_ROWS:
            for x in SCORE_LAMPS:
                over = s.count((x - 0.022, y - 0.022, x + 0.022, y + 0.022), is_white)
                self.note(over == 0, "high scores: text over the lamp at %.2f,%.2f (%d pixels)" % (x, y, over))
        top = LITE_BEST_FRAME_TOP if self.lite else FULL_BEST_FRAME_TOP
        above = (-0.95, top + 0.012, -0.55, min(top + 0.12, 0.48))
        share = s.share(above, is_violet)
        self.note(share > 0.97, "high scores: the best player's figure rises out of its frame (%.0f%% of the "
                  "panel above it is not the panel)" % (100 - share * 100))
        return s

    def trophy_cabinet(self):
        self.open(TROPHY_BUTTON, "the trophy cabinet")
        s = self.m.shot()
        for x in PLAQUE_X:
            gap = (x + 0.084, PLAQUE_ROWS[1] - 0.1, x + 0.106, PLAQUE_ROWS[0] + 0.1)
            gold = s.count(gap, is_gold)
            self.note(gold == 0, "trophy cabinet: a trophy reaches past the plaque at x=%.2f (%d gold pixels)"
                      % (x, gold))
        for which, point in (("a trophy's", TROPHY_NORMAL), ("a special trophy's", TROPHY_SPECIAL)):
            self.m.move(point)
            time.sleep(0.6)
            self.m.move((point[0] + 0.01, point[1]))
            time.sleep(1.0)
            s = self.shot("trophy details")
            self.note(s.count((DETAIL[0] + 0.05, -0.05, DETAIL[1] - 0.05, 0.15), is_white) > 40,
                      "trophy cabinet: no details of %s" % which)
            out = s.count((DETAIL[0], 0.225, DETAIL[1], 0.28), is_white)
            self.note(out == 0, "trophy cabinet: %s details rise over their frame (%d pixels)" % (which, out))
        self.m.move(EMPTY)
        time.sleep(0.5)
        self.back_to_menu()

    def group_play(self):
        s = self.open(GROUP_PLAY, "group play")
        for x in PODIUM_X:
            share = s.share((x - 0.18, FRAME_TOP + 0.012, x + 0.18, 0.5), is_violet)
            self.note(share > 0.97, "group play: the figure at x=%.2f rises out of its frame" % x)
        self.m.click(YELLOW_PICK)
        time.sleep(1.5)
        s = self.shot("the opponents")
        self.note(s.count((-0.44, 0.33, -0.12, 0.39), is_white) > 20, "group play: no other player offered")
        self.note(s.count((-0.1, 0.33, 0.2, 0.39), is_white) == 0, "group play: an offered name runs past its entry")
        # The choice's panel covers the podiums' names and buttons: on the
        # right, past its own buttons, only the panel shows.
        for area, what in (((0.80, -0.40, 0.93, -0.32), "the blue podium's button"),
                           ((0.78, -0.245, 0.95, -0.185), "the blue podium's name")):
            share = s.share(area, is_violet)
            self.note(share > 0.9, "group play: %s shows beside the opponents' choice" % what)
        self.m.key("Escape")
        time.sleep(1.0)
        self.back_to_menu()

    def road_map(self):
        self.open(ROAD_TRIP, "the road trip", test=lambda s: any(is_rim(c) for c in s.region(CHOICE_RIM)))
        s = self.open(CONTINUE_TRIP, "the road map")
        for x0, x1 in ((-1.145, -1.105), (1.105, 1.145)):
            share = rows_with(s, (x0, -0.4, x1, 0.4), is_rim)
            self.note(share > 0.9, "road map: the map covers the panel's rim at x=%.2f (%.0f%% of it shows)"
                      % (x0, share * 100))
        for name, x, y, w in CITY_NAMES:
            self.note(s.count((x - w / 2, y - 0.025, x + w / 2, y + 0.025), is_light) > 12,
                      "road map: no name of %s" % name)
        self.m.click(SAN_FRANCISCO)
        time.sleep(1.5)
        s = self.shot("the city card")
        self.note(is_orange(s.at(CARD_OK)), "road map: no OK under the city card")
        for point, what in ((MAP_BACK, "Back"), (MAP_PLAY, "Play")):
            self.note(not is_orange(s.at(point)), "road map: the map's %s button shows beside the city card's OK" % what)
        self.m.key("Escape")
        time.sleep(1.0)
        self.back_to_menu()

    def calendar(self):
        s = self.open(PUZZLE_OF_THE_DAY, "the puzzle calendar")
        self.note(s.count((0.85, 0.70, 1.0, 0.74), is_orange) > 20, "calendar: no later year's button")
        out = s.count((1.066, 0.68, 1.086, 0.76), is_orange)
        self.note(out == 0, "calendar: the later year's button reaches the rim (%d pixels)" % out)
        self.note(s.count((-1.08, -0.63, -1.02, 0.53), is_blue) > 5, "calendar: no lamp beside the month")
        rim = s.count((-1.14, -0.65, -1.086, 0.55), is_blue)
        self.note(rim == 0, "calendar: the month's lamp sits on the rim (%d pixels)" % rim)
        self.back_to_menu()

    def look_editor(self):
        place = LITE_LIST if self.lite else FULL_LIST
        self.open(PLAYERS, "the player list")
        s = self.open(place["edit"], "the look editor")
        for kind, y, colours in (("skin", 0.34, SKIN), ("hair", 0.2, HAIR)):
            for k, (x, want) in enumerate(zip(SAMPLE_X, colours)):
                got = s.at((x, y - 0.005), 1)
                self.note(max(abs(a - b) for a, b in zip(got, want)) < 45,
                          "look editor: the sample of %s colour %d is %s, not %s" % (kind, k + 1, got, want))
        self.back_to_menu()

    def run(self):
        self.m.wait_menu()
        self.m.move(EMPTY)
        time.sleep(0.5)
        self.player_list()
        self.high_scores()
        self.trophy_cabinet()
        self.group_play()
        self.road_map()
        self.calendar()
        self.look_editor()
        self.m.h.close_game()
        expect(self.m.h.wait_exit(self.m.proc) == 0, "the game did not end cleanly")
        expect(not self.faults, "at %s: %s" % (self.where, "; ".join(self.faults)))


def check_layout_menus_full_800x600(h):
    Visit(h, "-direct3d", (800, 600), False).run()


def check_layout_menus_full_1024x768(h):
    Visit(h, "-opengl", (1024, 768), False).run()


def check_layout_menus_lite_800x600(h):
    Visit(h, "-directdraw", (800, 600), True).run()
