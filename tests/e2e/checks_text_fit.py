"""Texts that must stay in their places whatever the names: a player with
the longest name the name field takes, and the longest-named computer
contestants, through the main menu, group play, the match screen's podiums
and turn panel and the statistics window with its trophy details. What is
on screen is read from screenshots (text-fit-*.png in the work folder).

The same player also reads How to Play and the credits (each text in its
frame, inside the window's rim, paged a page at a time, the scroll bar's
knob clear of its arrows) and plays a group match: the host's two-line
lines inside the status bar, a five-digit sum inside the podium's money
window, the options over the pause window covering it, the jackpot's
plaque clear of the wheel, the results' rows with no gap. That visit runs once for each edition and size: the full edition at
800 x 600 (Direct3D, with the names above) and 1024 x 768 (OpenGL), the
Lite at 800 x 600, the only size it is drawn for (its pictures and glyphs
are baked 1:1 for it, and its options offer no other).
"""
import os
import re
import time
import xml.etree.ElementTree as ET

from harness import WINDOWED_SETTINGS, expect
from checks_lite import _lite_game
from checks_menu import brightness, is_gold, is_orange, is_violet, is_white
from checks_match import GROUP_PLAY, GROUP_PLAY_START, SOLVE, Match, button_enabled, on_match, wait_statistics
from checks_match_avatars import wait_play
from checks_menus import HIGH_SCORES, NEW_PLAYER, PLAYERS, panel_open
from checks_modes import play_out

# The widest name the name field allows: 16 characters (max_len), of its
# widest letter.
LONG_NAME = "W" * 16
OTHER_NAME = "M" * 16
# The two longest-named computer contestants (content/contestants.txt).
WINIFRED, DESMOND = 8, 7

# The match screen (content/gui/screens/s04_round_wnd.xml): the podiums are
# 0.27 wide, 0.295 apart; their name plates; the turn panel on the right.
PODIUM_X = (-0.15, 0.145, 0.44)
PODIUM_HALF = 0.135
NAME_Y = -0.423
SCORE_Y = -0.83
SCORE_PANEL = (0.63, 1.29)
# The main menu's player list (windows/w32, groups/g12): the rows of its
# first column; group play's opponent choice (windows/w36).
LIST_ROWS = (0.46, 0.22)
YELLOW_PICK = (0.0, -0.36)
NAME_CANCEL = (0.3, -0.34)           # the name window's Cancel (windows/w27)
# The statistics window (windows/w13_player_stats.xml).
STATS_TROPHY = (-0.36, -0.43)
STATS_NEXT = (-0.1, -0.43)
STATS_TROPHIES_LABEL = (-0.62, -0.29, -0.45, -0.25)
DETAIL = (0.3, -0.51, 0.85, -0.35)    # the trophy details' texts (groups/g09)


STAT_JACKPOTS, STAT_MINUTES, STAT_SOLO_WINS, STAT_BONUS_WINS = 2, 3, 5, 7


def player_stats(h, game, name):
    rc, out = h.playertool(game, "show")
    expect(rc == 0, "playertool show failed")
    for line in out.splitlines():
        parts = line.split()
        if parts and parts[0] == name:
            return [int(v) for v in parts[1:]]
    raise AssertionError("no player %s in the player file" % name)


def text_pixels(s, area):
    return s.count(area, is_white)


def name_plate(x):
    return (x - PODIUM_HALF + 0.01, NAME_Y - 0.025, x + PODIUM_HALF - 0.01, NAME_Y + 0.025)


def between_podiums(left_x):
    """The gap between a podium and the next, at the height of the names."""
    return (left_x + PODIUM_HALF + 0.002, NAME_Y - 0.02, left_x + 0.295 - PODIUM_HALF - 0.002, NAME_Y + 0.02)


def check_text_long_names_fit_their_places(h):
    game = h.fresh_game()
    expect(h.playertool(game, "human", OTHER_NAME)[0] == 0, "playertool could not add the second player")
    expect(h.playertool(game, "human", LONG_NAME)[0] == 0, "playertool could not add the player")
    expect(h.playertool(game, "opponents", str(WINIFRED), str(DESMOND))[0] == 0, "playertool could not seat the opponents")
    expect(h.playertool(game, "puzzles", "1300", "615")[0] == 0, "playertool puzzles failed")
    m = Match(h, game, "-direct3d")
    m.library_tag = "fit"
    m.wait_menu()
    s = m.shot()
    m.keep("menu")
    expect(text_pixels(s, (0.4, 0.69, 1.08, 0.75)) > 40, "no player's name at the head of the menu board")
    expect(text_pixels(s, (1.16, 0.68, 1.33, 0.76)) == 0, "the player's name runs past the menu board")
    visit_scrolling_texts(m, False)

    # The player list: two long names in the first column, none reaching
    # the second.
    m.click(PLAYERS)
    s = m.wait_shot(panel_open, 15, "the player list")
    time.sleep(0.5)
    s = m.shot()
    m.keep("players")
    for y in LIST_ROWS:
        expect(text_pixels(s, (-0.7, y - 0.03, -0.45, y + 0.03)) > 20, "no name in the list's row at y=%.2f" % y)
        expect(text_pixels(s, (-0.33, y - 0.03, 0.25, y + 0.03)) == 0, "a name of the list runs into its second column")
    m.key("Escape")
    m.wait_menu()
    m.click(HIGH_SCORES)
    m.wait_shot(panel_open, 15, "the high scores")
    time.sleep(0.5)
    s = m.shot()
    m.keep("high-scores")
    m.key("Escape")
    m.wait_menu()
    m.click(PLAYERS)
    m.wait_shot(panel_open, 15, "the player list")

    # The name field holds the longest name.
    m.click(NEW_PLAYER)
    time.sleep(1.5)
    m.type("W" * 20)             # the field takes 16 of them
    time.sleep(0.8)
    s = m.shot()
    m.keep("name-field")
    expect(text_pixels(s, (0.3, 0.05, 0.52, 0.15)) > 20, "the long name does not reach the field's right part")
    expect(text_pixels(s, (0.6, 0.05, 0.8, 0.15)) == 0, "the long name runs past the name field")
    m.click(NAME_CANCEL)         # back to the player list, then the menu
    time.sleep(1.5)
    m.key("Escape")
    m.wait_menu()

    m.click(GROUP_PLAY)
    time.sleep(2.0)
    s = m.shot()
    m.keep("group-play")
    for left, right in ((-0.72, 0.0), (0.0, 0.72)):
        gap = ((left + right) / 2 - 0.02, -0.21, (left + right) / 2 + 0.02, -0.15)
        expect(text_pixels(s, gap) == 0, "the group-play names run into each other at x=%.2f" % gap[0])
    # The other player offered as an opponent, inside its entry.
    m.click(YELLOW_PICK)
    time.sleep(1.5)
    s = m.shot()
    m.keep("opponents")
    expect(text_pixels(s, (-0.44, 0.33, -0.12, 0.39)) > 20, "no other player offered as an opponent")
    expect(text_pixels(s, (-0.1, 0.33, 0.2, 0.39)) == 0, "the opponent's name runs past its entry")
    m.key("Escape")
    time.sleep(1.0)
    m.click(GROUP_PLAY_START)
    m.wait_shot(on_match, 60, "the match screen")
    time.sleep(3.0)
    s = m.shot()
    m.keep("podiums")
    for seat, x in enumerate(PODIUM_X, 1):
        expect(text_pixels(s, name_plate(x)) > 20, "no name on podium %d" % seat)
    for x in PODIUM_X[:2]:
        expect(text_pixels(s, between_podiums(x)) == 0, "a name runs past its podium at x=%.3f" % (x + PODIUM_HALF))

    # The first round proper, its money grown past a million: the turn panel
    # names the contestant and the whole amount inside the panel.
    m.key("F1")                  # the toss-up is won: its window, then round one
    m.wait_shot(lambda s: not on_match(s), 15, "the round's winner window")
    time.sleep(1.0)
    m.key("Return")
    m.wait_shot(on_match, 40, "round one to begin")
    expect_two_lines_in_the_bar(m)
    expect_sum_in_the_money_window(m)
    time.sleep(1.0)
    for _ in range(12):
        m.key("equal")
    time.sleep(1.0)
    s = m.shot()
    m.keep("turn-panel")
    right_edge = (SCORE_PANEL[1] + 0.005, SCORE_Y - 0.03, 1.33, SCORE_Y + 0.03)
    expect(text_pixels(s, right_edge) == 0, "the turn panel's line runs past the panel")
    expect(text_pixels(s, (0.72, SCORE_Y - 0.03, SCORE_PANEL[1], SCORE_Y + 0.03)) > 10, "no line on the turn panel")

    # The statistics keys of the match screen (README): a jackpot, a bonus
    # round, a play-alone win and an hour more for the player of seat 1.
    before = player_stats(h, game, LONG_NAME)
    for key in ("bracketleft", "bracketright", "semicolon", "apostrophe"):
        m.key(key)

    # Round one won, the bonus round played out (solved at once), then the
    # final statistics with the trophies this first match won: the
    # trophy's details stand clear of the trophy row and its buttons.
    # The pointer leaves the last click's place (Start, where the final
    # statistics put Main Menu): a hovered button glows and never holds still.
    m.move((0.0, 0.95))
    m.key("F4")
    expect(play_out(m, 160) == "menu", "the match did not end on its final statistics")
    time.sleep(1.0)
    m.keep("stats")
    expect_rows_without_gaps(m, m.shot())
    m.move(STATS_TROPHY)
    time.sleep(1.0)
    m.move((STATS_TROPHY[0] + 0.01, STATS_TROPHY[1]))
    time.sleep(1.0)
    s = m.shot()
    m.keep("trophy-detail")
    expect(text_pixels(s, DETAIL) > 40, "no trophy details beside the trophy row")
    expect(s.count((STATS_NEXT[0] - 0.08, STATS_NEXT[1] - 0.02, STATS_NEXT[0] + 0.08, STATS_NEXT[1] + 0.02),
                   is_orange) > 40, "the next-trophy button is covered")
    expect(text_pixels(s, (STATS_NEXT[0] + 0.14, -0.56, DETAIL[0] - 0.12, -0.26)) == 0,
           "the trophy details run towards the trophy row")
    expect(text_pixels(s, STATS_TROPHIES_LABEL) > 10, "the trophies' label is covered")
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly")
    after = player_stats(h, game, LONG_NAME)
    # A bonus round more for the key and one for the bonus round won; the
    # hour of its key and the whole minutes of the match.
    for stat, what, more in ((STAT_JACKPOTS, "jackpots", 1), (STAT_BONUS_WINS, "bonus rounds", 2),
                             (STAT_SOLO_WINS, "solo wins", 1)):
        expect(after[stat] == before[stat] + more, "%s went from %d to %d, not %d more"
               % (what, before[stat], after[stat], more))
    expect(60 <= after[STAT_MINUTES] - before[STAT_MINUTES] <= 66,
           "minutes played went from %d to %d, not an hour and the match more" % (before[STAT_MINUTES], after[STAT_MINUTES]))


# ---- How to Play, the credits and the match's texts, per edition and size --

CONTENT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "content")


def document(lite):
    """The edition's GUI sources: container name -> control name -> element."""
    folder = os.path.join(CONTENT, "lite", "gui") if lite else os.path.join(CONTENT, "gui")
    out = {}
    for inc in ET.parse(os.path.join(folder, "gui.xml")).getroot().iter("include"):
        for c in ET.parse(os.path.join(folder, inc.get("path"))).getroot():
            out[c.get("name")] = {el.get("name"): el for el in c}
    return out


def place(doc, container, name):
    x, y, _ = (float(v) for v in doc[container][name].get("pos").split(","))
    return x, y


def text_lines(key):
    # The text table has no single root: its texts stand side by side.
    with open(os.path.join(CONTENT, "text", "texts.xml")) as f:
        root = ET.fromstring("<texts>" + re.sub(r"<\?xml[^>]*\?>", "", f.read()) + "</texts>")
    for t in root.iter("text"):
        if t.get("name") == key:
            return [line.get("value") for line in t.findall("line")]
    raise AssertionError("no text %s" % key)


class ScrollingText:
    """A scrolling window's text as the document lays it out: its rows, the
    frame's sides and the scroll bar's arrows."""

    def __init__(self, doc, window):
        w = doc[window]
        text, scroll = w["TEXT"], w["SCROLL"]
        self.x, self.top = place(doc, window, "TEXT")
        self.rows = int(text.get("lines"))
        self.step = 0.05 * float(text.get("spacing"))      # the SMALL font, 0.05 high
        self.lines = text_lines(text.get("text"))
        self.scroll = place(doc, window, "SCROLL")
        # The bar's picture at its scale (models/scroll.model): its arrows
        # 0.055 square at its ends, 0.7 apart from outer edge to outer edge.
        scale = float(scroll.get("scale", 1.45))
        self.half = 0.35 * scale
        self.arrow = 0.055 * scale

    def row_area(self, r):
        y = self.top - self.step * (r + 0.5)
        return (self.x, y - 0.018, self.scroll[0] - 0.06, y + 0.018)

    def pattern(self, s):
        """Which rows hold a line (True) and which are blank."""
        return [text_pixels(s, self.row_area(r)) > 10 for r in range(self.rows)]

    def offsets(self, pattern):
        n = len(self.lines)
        return [o for o in range(n - self.rows + 1)
                if [bool(l) for l in self.lines[o:o + self.rows]] == pattern]

    def arrow_area(self, up):
        x, y = self.scroll
        edge = y + self.half if up else y - self.half
        inner = edge - self.arrow if up else edge + self.arrow
        return (x - self.arrow / 2, min(edge, inner), x + self.arrow / 2, max(edge, inner))


def is_panel(c):
    """The windows' panel (images/panel.img) above its darkest bottom."""
    return is_violet(c) and brightness(c) > 42


def expect_page(m, text, s, first, what):
    got = text.offsets(text.pattern(s))
    expect(first in got, "%s: the rows shown are not those from line %d on (they match lines %s on)"
           % (what, first, got[:6]))


def same_pixels(a, b, area):
    pa, pb = a.region(area), b.region(area)
    return sum(1 for p, q in zip(pa, pb) if abs(brightness(p) - brightness(q)) > 40) / float(len(pa)) < 0.03


def visit_scrolling_texts(m, lite):
    """How to Play and the credits from the main menu: the text in its frame
    and the frame inside the window's rim; Page Down shows the next page of
    the lines, the last one shows the text's end; the knob leaves the arrows
    as they are."""
    doc = document(lite)
    for window, button in (("INSTRUCTIONS", "HOW_TO_PLAY"), ("CREDITS", "CREDITS")):
        text = ScrollingText(doc, window)
        page_down = place(doc, window, "PAGE_DOWN")
        m.wait_menu()
        m.click(place(doc, "MAIN_MENU", button))
        m.wait_shot(lambda s: text_pixels(s, text.row_area(0)) > 10, 15, "the %s window's text" % window)
        time.sleep(1.0)
        top = m.shot()
        m.keep(window.lower())
        expect_page(m, text, top, 0, window)
        # Nothing of the text left or right of the frame, nor under it.
        for area in ((-1.09, -0.58, -1.03, 0.55), (1.03, -0.58, 1.09, 0.55), (-0.9, -0.69, 0.9, -0.61)):
            expect(text_pixels(top, area) == 0, "%s: text outside its frame at %s" % (window, (area,)))
        # Between the frame and the window's rim the panel's own violet
        # shows, on both sides (a frame over the rim hides it).
        for x0, x1 in ((-1.09, -1.04), (1.04, 1.09)):
            gap = top.share((x0, -0.2, x1, 0.5), is_panel)
            expect(gap > 0.9, "%s: no panel between the frame and the rim at x=%.2f (%.0f%%)" % (window, x0, 100 * gap))
        pages = 0
        first = 0
        last = len(text.lines) - text.rows
        while first < last:
            m.click(page_down)
            m.move((0.0, 0.9))       # off the buttons: their glow fades
            time.sleep(0.8)
            first = min(first + text.rows, last)
            pages += 1
            s = m.shot()
            expect_page(m, text, s, first, "%s after %d x Page Down" % (window, pages))
            if pages == 1:
                m.keep(window.lower() + "-page-down")
                # The knob has left the top: the up arrow looks as it did
                # with the knob at the top, where it must not be covered.
                expect(same_pixels(top, s, text.arrow_area(True)), "%s: the knob covers the up arrow" % window)
        expect(same_pixels(top, s, text.arrow_area(False)), "%s: the knob covers the down arrow" % window)
        m.key("Escape")
    m.wait_menu()


# The message bar (screens/s04): its face inside the rim holds two lines.
MESSAGE_X = (-1.16, 0.46)
BAR_FACE = (-0.9735, -0.8265)


def message_lines(s):
    """White pixels of the host's upper and lower line."""
    x0, x1 = MESSAGE_X
    return (text_pixels(s, (x0, -0.885, x1, -0.852)), text_pixels(s, (x0, -0.948, x1, -0.915)))


def expect_two_lines_in_the_bar(m):
    s = m.wait_shot(lambda s: on_match(s) and min(message_lines(s)) > 20, 30, "a two-line line of the host")
    m.keep("two-lines")
    x0, x1 = MESSAGE_X
    expect(text_pixels(s, (x0, -0.997, x1, BAR_FACE[0] - 0.004)) == 0, "the host's lower line runs over the bar's rim")
    # Above the face only the rim's own rows: higher up the wheel's bottom
    # shows beside the bar.
    expect(text_pixels(s, (x0, BAR_FACE[1] + 0.004, x1, BAR_FACE[1] + 0.01)) == 0,
           "the host's upper line runs over the bar's rim")


def expect_sum_in_the_money_window(m):
    """Seat 1's five-digit sum inside its podium's money window."""
    for key in ["KP_Home"] * 10 + ["KP_Up", "KP_Up"]:    # +$10,500
        m.key(key)
    time.sleep(1.0)
    s = m.shot()
    m.keep("podium-sum")
    x = PODIUM_X[0]
    expect(text_pixels(s, (x - 0.1, -0.58, x + 0.1, -0.52)) > 20, "no sum in seat 1's money window")
    for a, b in ((x - 0.132, x - 0.116), (x + 0.116, x + 0.132)):
        expect(text_pixels(s, (a, -0.585, b, -0.517)) == 0, "seat 1's sum runs out of its money window")


def expect_rows_without_gaps(m, s):
    """The results' label rows (windows/w13): the rows shown come first."""
    rows = [text_pixels(s, (-0.55, y - 0.03, -0.25, y + 0.03)) > 20 for y in (0.42, 0.29, 0.18, 0.07, -0.04)]
    shown = sum(rows)
    expect(shown >= 2 and rows == [True] * shown + [False] * (5 - shown),
           "the results' rows leave a gap: %s" % rows)


def expect_options_cover_the_pause(m, doc):
    """The options opened from the pause window stand over it whole: none
    of the pause window's orange buttons shows through."""
    x, y = place(doc, "PAUSE", "RESUME")
    m.key("Escape")
    m.wait_shot(lambda s: is_orange(s.at((x - 0.17, y))), 10, "the pause window")   # its Resume, clear of the label
    time.sleep(0.8)
    m.click(place(doc, "PAUSE", "OPTIONS"))
    time.sleep(1.5)
    s = m.shot()
    m.keep("options-over-pause")
    expect(s.count((-0.15, -0.25, 0.15, 0.06), is_orange) < 20, "the pause window's buttons show through the options")
    m.key("Escape")              # the options close, then the pause window
    time.sleep(1.0)
    m.key("Escape")
    m.wait_shot(on_match, 10, "the match after the pause")


def plaque_box(doc):
    x, y = place(doc, "ROUND_WND", "JACKPOT_1")
    return (x - 0.18, y - 0.04, x + 0.18, y + 0.04)


def match_texts(h, game, library, lite, tag):
    """How to Play, the credits and a group match of the long-named player."""
    m = Match(h, game, library)
    m.library_tag, m.shot_prefix = tag, "text"
    doc = document(lite)
    visit_scrolling_texts(m, lite)
    m.click(GROUP_PLAY)
    time.sleep(2.0)
    m.click(GROUP_PLAY_START)
    m.wait_shot(lambda s: on_match(s) and button_enabled(s, SOLVE), 60, "the first toss-up")
    m.key("F1")                  # the toss-up is won: its window, then round one
    m.wait_shot(lambda s: not on_match(s), 15, "the round's winner window")
    time.sleep(1.0)
    m.key("Return")
    wait_play(m)
    round_one = m.shot()
    expect_two_lines_in_the_bar(m)
    expect_sum_in_the_money_window(m)
    # The plaque's place in round one holds nothing of the wheel's gold
    # rim; in the jackpot round the plaque stands there.
    box = plaque_box(doc)
    expect(round_one.count(box, is_gold) <= 2, "the wheel reaches into the jackpot plaque's place")
    expect_options_cover_the_pause(m, doc)
    m.key("F2")
    m.wait_shot(lambda s: not on_match(s), 15, "the round's winner window")
    time.sleep(1.0)
    m.key("Return")
    # Whoever opens the jackpot round, the plaque stands in its place.
    green = lambda c: c[1] > c[0] + 40 and c[1] > c[2] + 20
    m.wait_shot(lambda s: on_match(s) and s.count(box, green) > 40, 40, "the jackpot plaque in its place")
    m.keep("jackpot")
    m.key("F4")
    s = wait_statistics(m)
    time.sleep(1.0)
    s = m.shot()
    m.keep("results")
    expect_rows_without_gaps(m, s)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly")


def long_named_match(h, lite, settings=WINDOWED_SETTINGS):
    game = _lite_game(h, settings) if lite else h.fresh_game(settings)
    tool = ("-lite",) if lite else ()
    for args in (("human", LONG_NAME), ("opponents", str(WINIFRED), str(DESMOND)), ("puzzles", "1300", "615")):
        expect(h.playertool(game, *(tool + args))[0] == 0, "playertool %s failed" % args[0])
    return game


def check_text_fit_at_1024_by_768_through_opengl(h):
    settings = WINDOWED_SETTINGS[:3] + (1024.0, 768.0) + WINDOWED_SETTINGS[5:]
    match_texts(h, long_named_match(h, False, settings), "-opengl", False, "fit-1024")


def check_text_fit_in_the_lite(h):
    match_texts(h, long_named_match(h, True), "-directdraw", True, "fit-lite")
