"""The game modes a new player reaches from the main menu, each played to
its end through its own menu windows and back to the main menu: play alone,
a road trip of three cities and the puzzle of the day; and the developer key
that gives every trophy. Rounds are hurried with the match screen's
developer keys (README); what the game saved is read back through
playertool and the .gam itself. Waits look for what is on screen, never for
a fixed time alone.
"""
import os
import struct
import time

from harness import CheckFailed, expect
from checks_menu import EMPTY, QUICK_PLAY, QUICK_PLAY_SIDE, is_gold, is_orange, is_white
from checks_lite import LITE_GAM, _lite_game
from checks_match import (SOLVE, SPIN, STATS_MAIN_MENU, Match, statistics_shown, button_enabled, money_shown,
                          on_match, stats, tool_args)
from checks_menus import CHOICE_RIM, PUZZLE_OF_THE_DAY, ROAD_TRIP, TOUR_GO, day_cell, panel_open

# The main menu's play alone and its turns window (w28, w39).
PLAY_ALONE = (0.68, 0.37)
TURNS_5 = (0.1, -0.02)
TURNS_PLAY = (0.3, -0.3)
TURNS_PLAY_SIDE = (0.45, -0.3)
# The road trip's length and its map (w40, w45).
TOUR_3 = (-0.45, -0.02)
MAP_PLAY = (0.45, -0.78)
MAP_PLAY_SIDE = (0.62, -0.78)
MAP_BACK_SIDE = (-0.62, -0.78)
# The statistics window: only Main Menu reaches this far right.
STATS_MAIN_MENU_SIDE = (0.49, -0.72)
# The match screen's turn panel: its "name: $total" line (s04_round_wnd.xml).
TURN_PANEL_LINE = (0.72, -0.86, 1.29, -0.8)
# The .gam's high-score tables: quick play, road trip, group play, play alone.
TABLE_PLAY_ALONE = 3
TROPHY_COUNT = 36

STAT_MONEY_WON, STAT_MATCHES_WON, STAT_SOLO_WINS, STAT_BONUS_WINS = 1, 4, 5, 7
STAT_LAST_TOTAL, STAT_POTD, STAT_MODES = 8, 9, 12


class Edition:
    """The library a check plays through and the files it keeps: the full
    edition's (Direct3D) or the Lite's (DirectDraw, its own .set and .gam)."""

    def __init__(self, library, lite):
        self.library = library
        self.lite = lite
        self.gam = LITE_GAM if lite else "Quorvane.gam"

    def fresh_game(self, h):
        return _lite_game(h) if self.lite else h.fresh_game()


FULL = Edition("-direct3d", False)
LITE = Edition("-directdraw", True)


def new_player(h, name, tag, edition=FULL):
    """A first start of the game: the player is made in the name window,
    then the main menu."""
    m = Match(h, edition.fresh_game(h), edition.library)
    if edition.lite:
        m.shot_prefix = "lite-match"
    m.library_tag = tag
    m.wait_name_window()
    m.activate()
    m.move(EMPTY)
    time.sleep(0.5)
    m.type(name)
    time.sleep(0.3)
    m.key("Return")
    m.wait_menu()
    m.move(EMPTY)
    return m


def relaunch(m):
    """The same game folder started again, on the main menu of its player."""
    m.proc = m.h.launch(m.dir, [m.library])
    m.h.find_window()
    m.xid = m.h.wait_for(lambda: (m.h.x_windows() or [None])[0], 30, "the game's X window")
    m.wait_menu()


def is_pale_gold(c):
    """The window's rim as the Lite draws it, a shade paler."""
    r, g, b = c
    return r > 230 and g > 200 and r - b > 60


def stats_open(s):
    return statistics_shown(s)


def map_open(s):
    return (is_orange(s.at(MAP_PLAY_SIDE)) and is_orange(s.at(MAP_BACK_SIDE)) and
            not is_orange(s.at(QUICK_PLAY_SIDE)))


def wait_title_card(m, timeout=60):
    """The round's title card (a window that dims the match) has come and
    gone: the developer keys work only while no window is open."""
    m.wait_shot(on_match, timeout, "the match screen")
    m.wait_shot(lambda s: not on_match(s), timeout, "the round's title card")
    m.wait_shot(on_match, timeout, "the round's title card to close")


def wait_in_play(m, timeout=60):
    """The title card has gone and the contestant may act."""
    wait_title_card(m, timeout)
    return m.wait_shot(lambda s: on_match(s) and button_enabled(s, SOLVE), timeout, "the round to be in play")


def win_toss_up(m):
    """F4 as soon as the title card has gone: seat 1, the first to play,
    wins the toss-up and the next round is the bonus round. A key that came
    while the card was still closing is pressed again; once the round is
    won (seat 1's podium shows its money) never, since a second F4 would
    end the won round over again."""
    wait_title_card(m)
    # Nobody has buzzed: the turn panel names nobody (not the one who won
    # the last round, of this city or the one before).
    expect(m.shot().count(TURN_PANEL_LINE, is_white) == 0, "the toss-up's turn panel names a contestant")
    for _ in range(4):
        m.key("F4")
        try:
            m.wait_shot(lambda s: on_match(s) and money_shown(s), 4, "seat 1's winnings")
            return
        except CheckFailed:
            if not on_match(m.shot()):
                return                           # a window opened: the round was won
    raise CheckFailed("F4 never ended the toss-up")


STATS_BUTTON_ROW = (-0.6, -0.78, 0.6, -0.66)
WHEEL_AREA = (-1.3, -0.8, -0.5, -0.1)


def bonus_wheel(s):
    """The bonus wheel, gold and silver, stands where the main wheel's
    green wedges turn."""
    return s.count(WHEEL_AREA, lambda c: c[1] > c[0] + 50 and c[1] > c[2] + 30) < 100


def settled_buttons(m, timeout=15):
    """The statistics window once its buttons have opened and hold still."""
    end = time.time() + timeout
    last = None
    while time.time() < end:
        s = m.shot()
        row = s.count(STATS_BUTTON_ROW, is_orange)
        if row > 200 and row == last:
            return s
        last = row
        time.sleep(0.3)
    m.keep("buttons-unsettled")
    raise CheckFailed("the statistics window's buttons never held still (last %d orange pixels)" % last)


def play_out(m, timeout=100):
    """From the last round won (or lost) on: Continue through each
    contestant's statistics, the bonus round that follows them solved at
    once (F5) and its prize, until the statistics offer the main menu
    ("menu") or the road map is back ("map"). Windows in between that wait
    for Enter are given it once they have stood a moment."""
    end = time.time() + timeout
    continued = False
    solved_at = 0
    dimmed_since = None
    while time.time() < end:
        s = m.shot()
        if map_open(s):
            return "map"
        if stats_open(s):
            s = settled_buttons(m)
            if is_orange(s.at(STATS_MAIN_MENU_SIDE)):
                return "menu"
            m.key("Return")                      # Continue
            continued = True
            dimmed_since = None
            try:
                m.wait_shot(lambda s: not stats_open(s), 8, "the statistics to close on Continue")
            except CheckFailed:
                pass                             # a key a slow frame missed: looked at again
            continue
        if on_match(s):
            dimmed_since = None
            # The bonus wheel offered after the statistics: won at once.
            if continued and bonus_wheel(s) and button_enabled(s, SPIN) and time.time() > solved_at + 8:
                m.key("F5")
                solved_at = time.time()
        elif dimmed_since is None:
            dimmed_since = time.time()
        elif time.time() > dimmed_since + 0.8:
            m.key("Return")                      # a title card, a won round, the prize
            dimmed_since = None
        time.sleep(0.3)
    m.keep("timed-out")
    raise CheckFailed("timed out playing the match out to its statistics")


def back_to_menu_and_quit(m):
    """Main Menu on the last statistics, then Quit. A click that a slow
    frame missed (the window still opening) is given again."""
    for _ in range(3):
        m.click(STATS_MAIN_MENU)
        try:
            m.wait_shot(lambda s: is_orange(s.at(QUICK_PLAY_SIDE)), 10, "the main menu")
            break
        except CheckFailed:
            if not stats_open(m.shot()):
                break                            # on its way: wait_menu waits longer
    m.wait_menu()
    m.quit()


def show(h, game, what, lite=False):
    rc, out = h.playertool(game, *(tool_args(lite) + (what,)))
    expect(rc == 0, "playertool %s failed (%d)" % (what, rc))
    return out


def high_scores(h, table, gam="Quorvane.gam"):
    """The entries of one high-score table of the .gam: (score, profile index, kind)."""
    data = open(os.path.join(h.data_dir(), gam), "rb").read()
    tables = data[len(data) - 960:]
    rows = [struct.unpack("<6i", tables[(table * 10 + i) * 24:(table * 10 + i + 1) * 24]) for i in range(10)]
    return [(r[0], r[4], r[5]) for r in rows]


def play_alone_to_the_statistics(h, edition=FULL, tag="alone"):
    m = new_player(h, "Ann", tag, edition)
    lite = edition.lite
    _, before = stats(h, m.dir, lite)
    m.click(PLAY_ALONE)
    m.wait_shot(lambda s: is_orange(s.at(TURNS_PLAY_SIDE)), 10, "the play alone window")
    time.sleep(0.8)
    m.click(TURNS_5)
    m.click(TURNS_PLAY)
    wait_in_play(m)
    for _ in range(8):
        m.key("KP_Home")                         # +$1,000: enough for the high scores
    m.keep("round-one")
    m.key("F4")                                  # round one won; on to the bonus round
    expect(play_out(m) == "menu", "play alone ended on the road map")
    m.keep("stats")
    back_to_menu_and_quit(m)

    name, after = stats(h, m.dir, lite)
    total = after[STAT_LAST_TOTAL]
    expect(total > 0, "the match total saved is %d" % total)
    expect(after[STAT_MONEY_WON] - before[STAT_MONEY_WON] == total, "money won grew by %d, not the match total %d"
           % (after[STAT_MONEY_WON] - before[STAT_MONEY_WON], total))
    for stat, what in ((STAT_MATCHES_WON, "matches won"), (STAT_SOLO_WINS, "solo wins"),
                       (STAT_BONUS_WINS, "bonus rounds won")):
        expect(after[stat] == before[stat] + 1, "%s went from %d to %d" % (what, before[stat], after[stat]))
    expect(after[STAT_MODES] & 1, "play alone is not among the modes played (%d)" % after[STAT_MODES])
    expect((total, 0, 0) in high_scores(h, TABLE_PLAY_ALONE, edition.gam),
           "no play alone high score of $%d for Ann" % total)
    expect(all(kind != 0 for _, _, kind in high_scores(h, 0, edition.gam)), "play alone entered the quick play table")


def check_modes_play_alone_to_the_statistics(h):
    play_alone_to_the_statistics(h)


def trip(h, game, lite=False):
    length, leg, name, legs_won, tours_won, running = show(h, game, "trip", lite).split()
    return int(length), int(leg), name, int(legs_won), int(tours_won), int(running)


def road_trip_of_three_cities(h, edition=FULL, tag="trip"):
    m = new_player(h, "Bo", tag, edition)
    lite = edition.lite
    m.click(ROAD_TRIP)
    m.wait_shot(lambda s: any(is_gold(c) or is_pale_gold(c) for c in s.region(CHOICE_RIM)), 10,
                "the road trip's length")
    time.sleep(1.0)
    m.click(TOUR_3)
    m.click(TOUR_GO)
    for leg in range(3):
        m.wait_shot(map_open, 20, "the road map before city %d" % (leg + 1))
        time.sleep(0.8)
        m.click(MAP_PLAY)
        win_toss_up(m)
        end = play_out(m)
        m.keep("city-%d" % (leg + 1))
        length, at, name, legs_won, _, running = trip(h, m.dir, lite)
        expect((length, at) == (3, leg + 1), "after city %d the tour of %d is at leg %d" % (leg + 1, length, at))
        expect(name.startswith("TOUR3_"), "the tour is %r" % name)
        expect(legs_won == leg + 1, "%d cities won after %d" % (legs_won, leg + 1))
        expect(end == ("menu" if leg == 2 else "map"), "city %d of 3 ended on the %s" % (leg + 1, end))
        expect(running == (0 if leg == 2 else 3), "the tour is marked %d after city %d" % (running, leg + 1))
    back_to_menu_and_quit(m)
    _, _, _, _, tours_won, _ = trip(h, m.dir, lite)
    expect(tours_won == 1, "a tour won in every city counts %d tours won" % tours_won)
    _, after = stats(h, m.dir, lite)
    expect(after[STAT_MODES] & 4, "the road trip is not among the modes played (%d)" % after[STAT_MODES])


def check_modes_road_trip_of_three_cities(h):
    road_trip_of_three_cities(h)


def today_record(h, game, lite=False):
    result, day, month, year, _ = show(h, game, "today", lite).split()
    return int(result), (int(day), int(month), int(year))


def open_today(m):
    m.click(PUZZLE_OF_THE_DAY)
    m.wait_shot(panel_open, 15, "the calendar")
    time.sleep(1.0)
    t = time.localtime()
    first = time.localtime(time.mktime((t.tm_year, t.tm_mon, 1, 12, 0, 0, 0, 0, -1)))
    m.click(day_cell((first.tm_wday + 1) % 7 + t.tm_mday - 1))


def puzzle_of_the_day_lost_then_won(h, edition=FULL, tag="potd"):
    m = new_player(h, "Cy", tag, edition)
    lite = edition.lite
    t = time.localtime()
    today = (t.tm_mday, t.tm_mon, t.tm_year)
    result, stamped = today_record(h, m.dir, lite)
    expect(result == -1 and stamped == (0, 0, 0), "a new player's today is %d, dated %s" % (result, stamped))

    # Lost: the last turn of the only round goes.
    open_today(m)
    wait_in_play(m)
    for _ in range(4):
        m.key("KP_Subtract")
    m.key("F7")
    expect(play_out(m) == "menu", "the puzzle of the day ended on the road map")
    m.keep("potd-lost")
    back_to_menu_and_quit(m)
    result, stamped = today_record(h, m.dir, lite)
    expect(result == 0 and stamped == today, "a lost day holds %d, dated %s" % (result, stamped))
    _, lost = stats(h, m.dir, lite)
    expect(lost[STAT_POTD] == 0, "a lost day counts as a puzzle of the day won")

    # A day without winnings is still open: won this time.
    relaunch(m)
    open_today(m)
    wait_in_play(m)
    m.key("F5")
    expect(play_out(m) == "menu", "the puzzle of the day ended on the road map")
    m.keep("potd-won")
    back_to_menu_and_quit(m)
    result, stamped = today_record(h, m.dir, lite)
    _, won = stats(h, m.dir, lite)
    expect(result > 0 and result == won[STAT_LAST_TOTAL], "a won day holds %d of a match total %d"
           % (result, won[STAT_LAST_TOTAL]))
    expect(stamped == today, "the won day is dated %s" % (stamped,))
    expect(won[STAT_POTD] == 1, "%d puzzles of the day won" % won[STAT_POTD])


def check_modes_puzzle_of_the_day_lost_then_won(h):
    puzzle_of_the_day_lost_then_won(h)


def all_trophies_key_gives_each_once(h, edition=FULL, tag="trophies"):
    m = new_player(h, "Di", tag, edition)
    lite = edition.lite
    m.click(QUICK_PLAY)
    wait_in_play(m)
    m.key("KP_Multiply")
    time.sleep(1.0)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly from the match")
    first = show(h, m.dir, "trophies", lite).splitlines()
    expect(int(first[0]) == TROPHY_COUNT, "%s trophies after the key, not %d" % (first[0], TROPHY_COUNT))
    ids = sorted(int(line.split()[0]) for line in first[1:])
    expect(ids == list(range(TROPHY_COUNT)), "the trophies held are %s" % ids)
    expect(all(line.split()[1] == "0.0" for line in first[1:]), "a trophy was given more than once")
    before = show(h, m.dir, "show", lite)
    gam = open(os.path.join(h.data_dir(), edition.gam), "rb").read()

    # Pressed again in the next match (twice): nothing changes.
    relaunch(m)
    m.click(QUICK_PLAY)
    wait_in_play(m)
    m.key("KP_Multiply")
    m.key("KP_Multiply")
    time.sleep(1.0)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly from the match")
    expect(show(h, m.dir, "trophies", lite).splitlines() == first, "a second press changed the trophies")
    expect(show(h, m.dir, "show", lite) == before, "a second press changed the statistics")
    again = open(os.path.join(h.data_dir(), edition.gam), "rb").read()
    expect(len(again) == len(gam), "the .gam grew from %d to %d bytes" % (len(gam), len(again)))


def check_modes_all_trophies_key_gives_each_once(h):
    all_trophies_key_gives_each_once(h)
