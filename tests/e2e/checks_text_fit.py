"""Texts that must stay in their places whatever the names: a player with
the longest name the name field takes, and the longest-named computer
contestants, through the main menu, group play, the match screen's podiums
and turn panel and the statistics window with its trophy details. What is
on screen is read from screenshots (text-fit-*.png in the work folder).
"""
import time

from harness import expect
from checks_menu import is_orange, is_white
from checks_match import GROUP_PLAY, GROUP_PLAY_START, Match, on_match, wait_statistics
from checks_menus import HIGH_SCORES, NEW_PLAYER, PLAYERS, panel_open

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

    # Every trophy, then the bonus round's statistics window: the trophy's
    # details stand clear of the trophy row and its buttons.
    m.key("KP_Multiply")
    time.sleep(0.5)
    m.key("F4")
    wait_statistics(m)
    time.sleep(1.0)
    m.keep("stats")
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
    for stat, what in ((STAT_JACKPOTS, "jackpots"), (STAT_BONUS_WINS, "bonus rounds"), (STAT_SOLO_WINS, "solo wins")):
        expect(after[stat] == before[stat] + 1, "%s went from %d to %d, not one more" % (what, before[stat], after[stat]))
    expect(60 <= after[STAT_MINUTES] - before[STAT_MINUTES] <= 61, "minutes played went from %d to %d, not an hour more"
           % (before[STAT_MINUTES], after[STAT_MINUTES]))
