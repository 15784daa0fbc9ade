"""The menus as a new player meets them: making players (and the names the
game refuses), the options window and what it saves, the player list and
deleting a player, the puzzle-of-the-day calendar. Driven through the real
game like checks_menu.py, with its screenshots and places in view units."""
import os
import struct
import time

from harness import CheckFailed, expect
from checks_menu import (EMPTY, QUIT, Game, brightness, is_dark, is_gold, is_orange, is_violet, is_white,
                         OPTIONS_CLOSE, OPTIONS_RIM, OPTIONS_TITLE, options_open, start_menu, start_new)


def panel_open(s):
    """A window on the large panel has opened: its title shows last."""
    return any(is_gold(c) for c in s.region(OPTIONS_RIM)) and s.count(OPTIONS_TITLE, is_white) > 150

PLAYERS = (0.42, -0.40)
OPTIONS = (0.42, -0.72)
PUZZLE_OF_THE_DAY = (0.68, -0.14)
NOTICE_OK_SIDE = (-0.17, -0.26)          # on a notice's OK button, clear of its label
NOTICE_TOP_LINE_LEFT = (-0.35, 0.09, -0.29, 0.14)   # only a long first line reaches here
NEW_PLAYER = (-0.75, -0.58)
DELETE = (-0.25, -0.58)
YES = (-0.3, -0.24)
FIRST_ENTRY = (-0.98, 0.46)
LIST_TITLE_SIDE = (-0.6, 0.73)
APPLY_SIDE = (0.40, -0.58)
RESOLUTION_Y = 0.22
MUSIC_Y = 0.36


def read_gam(h):
    data = open(os.path.join(h.data_dir(), "Quorvane.gam"), "rb").read()
    count, current = struct.unpack("<ii", data[:8])
    return data, count, current


NOTICE_MESSAGE = (-0.45, 0.0, 0.45, 0.16)


def notice_open(s):
    # Its message shows last, once the notice has opened.
    return is_orange(s.at(NOTICE_OK_SIDE)) and s.count(NOTICE_MESSAGE, is_white) > 150


def open_players(g):
    """The player list, once it has opened (its title shows last)."""
    g.click(PLAYERS)
    g.wait_shot(panel_open, 15, "the player list")
    time.sleep(0.3)


def settled_notice(g, what):
    """A notice that has opened and stopped moving: its message counts the
    same in two screenshots in a row."""
    end = time.time() + 20
    last = None
    while time.time() < end:
        s = g.shot()
        count = s.count(NOTICE_MESSAGE, is_white) if notice_open(s) else -1
        if count > 0 and last == count:
            return s
        last = count
        time.sleep(0.3)
    raise CheckFailed("timed out waiting for " + what)


def type_name(g, name, erase=0):
    for _ in range(erase):
        g.key("BackSpace")
    if name:
        g.type(name)
    time.sleep(0.3)
    g.key("Return")


def close_notice(g):
    g.key("Return")
    g.wait_shot(lambda s: not is_orange(s.at(NOTICE_OK_SIDE)), 10, "the notice to close")
    time.sleep(0.3)


def check_menus_names_refused_and_accepted(h):
    g = start_new(h)
    time.sleep(0.5)
    # Nothing typed, then three blanks: a name is needed.
    type_name(g, "")
    g.wait_shot(notice_open, 10, "the notice for an empty name")
    close_notice(g)
    type_name(g, "   ")
    empty = settled_notice(g, "the notice for a name of blanks")
    close_notice(g)
    type_name(g, "Ann", erase=3)
    g.wait_menu()
    # A second player named exactly so is refused; another spelling is not.
    open_players(g)
    g.click(NEW_PLAYER)
    g.wait_name_window()
    time.sleep(0.5)
    type_name(g, "Ann")
    taken = settled_notice(g, "the notice for a taken name")
    long_line, short_line = taken.count(NOTICE_TOP_LINE_LEFT, is_white), empty.count(NOTICE_TOP_LINE_LEFT, is_white)
    expect(long_line > short_line + 15, "the taken name got the same notice as an empty one (%d, %d white pixels)"
           % (long_line, short_line))
    close_notice(g)
    type_name(g, "ann", erase=3)
    time.sleep(2.0)
    g.key("Escape")       # the player list
    g.wait_menu()
    g.quit()
    _, count, current = read_gam(h)
    expect(count == 2, "%d players saved, not Ann and ann" % count)
    expect(current == 1, "the newest player is not the current one (%d)" % current)


def drag(g, start, end):
    g.move(start)
    time.sleep(0.4)
    g.press()
    time.sleep(0.3)
    steps = 6
    for k in range(1, steps + 1):
        g.move((start[0] + (end[0] - start[0]) * k / steps, start[1] + (end[1] - start[1]) * k / steps))
        time.sleep(0.08)
    time.sleep(0.3)
    g.release()
    time.sleep(0.6)


def check_menus_options_apply_button_and_saved_volume(h):
    g = start_menu(h)
    g.click(OPTIONS)
    s = g.wait_shot(panel_open, 15, "the options")
    time.sleep(0.5)
    expect(not is_orange(s.at(APPLY_SIDE)), "Apply shows before anything changed")
    # The resolution moved away shows Apply; moved back, it goes again.
    drag(g, (0.55, RESOLUTION_Y), (0.10, RESOLUTION_Y))
    g.wait_shot(lambda s: is_orange(s.at(APPLY_SIDE)), 5, "Apply after a new resolution")
    drag(g, (0.18, RESOLUTION_Y), (0.55, RESOLUTION_Y))
    g.wait_shot(lambda s: not is_orange(s.at(APPLY_SIDE)), 5, "Apply to go with the resolution back")
    # The music turned up to the top is saved.
    drag(g, (-0.55, MUSIC_Y), (-0.05, MUSIC_Y))
    g.click(OPTIONS_CLOSE)
    g.wait_menu()
    g.quit()
    data = open(os.path.join(h.data_dir(), "Quorvane.set"), "rb").read()
    expect(len(data) == 40, "the settings file holds %d bytes" % len(data))
    sound, music, full, width, height = struct.unpack("<5f", data[:20])
    expect(music > 0.95, "the music volume saved is %.3f" % music)
    expect(abs(sound - 0.5) < 1e-6, "the sound volume changed too (%.3f)" % sound)
    expect((width, height, full) == (800.0, 600.0, 0.0), "the display mode changed without Apply")


def check_menus_delete_a_player(h):
    g = start_menu(h, name="Bea")
    open_players(g)
    g.click(NEW_PLAYER)
    g.wait_name_window()
    time.sleep(0.5)
    type_name(g, "Cy")
    g.wait_shot(panel_open, 15, "the player list again")
    time.sleep(0.3)
    # Bea is the first entry: chosen, deleted, confirmed.
    g.click(FIRST_ENTRY)
    g.click(DELETE)
    time.sleep(1.2)
    g.click(YES)
    time.sleep(1.5)
    g.key("Escape")
    g.wait_menu()
    g.quit()
    data, count, current = read_gam(h)
    expect(count == 1, "%d players left after deleting one of two" % count)
    expect(current == 0, "the player left is not the current one (%d)" % current)
    length = struct.unpack("<I", data[12:16])[0]
    left = data[16:16 + length]
    expect(left == b"Cy", "%r is left, not Cy" % left)


def day_cell(k):
    return (-0.5 + 0.225 * (k % 7), 0.36 - 0.175 * (k // 7))


def check_menus_puzzle_of_the_day_calendar(h):
    g = start_menu(h)
    g.click(PUZZLE_OF_THE_DAY)
    g.wait_shot(panel_open, 15, "the calendar")
    time.sleep(1.0)
    s = g.shot()
    g.save("calendar.png")
    t = time.localtime()
    first = (time.struct_time((t.tm_year, t.tm_mon, 1, 12, 0, 0, 0, 0, -1)))
    first_cell = (time.localtime(time.mktime(first)).tm_wday + 1) % 7   # Sunday first
    today = first_cell + t.tm_mday - 1
    # Today can be played (violet), tomorrow not yet (dark).
    cx, cy = day_cell(today)
    here = s.at((cx + 0.08, cy + 0.05), 1)
    expect(is_violet(here) and brightness(here) > 55, "today's day is not playable: %s" % (here,))
    days_in_month = [31, 29 if t.tm_year % 4 == 0 else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][t.tm_mon - 1]
    if t.tm_mday < days_in_month:
        nx, ny = day_cell(today + 1)
        there = s.at((nx + 0.08, ny + 0.05), 1)
        expect(brightness(there) < 45, "tomorrow can already be played: %s" % (there,))
    # The days before the month's first carry no number.
    if first_cell > 0:
        bx, by = day_cell(first_cell - 1)
        expect(s.count((bx - 0.1, by + 0.02, bx - 0.03, by + 0.08), is_white) < 3, "a number before the 1st")
    fx, fy = day_cell(first_cell)
    expect(s.count((fx - 0.1, fy + 0.02, fx - 0.03, fy + 0.08), is_white) > 5, "no number on the 1st")
    g.key("Escape")
    g.wait_menu()
    g.quit()


HIGH_SCORES = (0.94, -0.40)
TAB_ROAD_TRIP = (-0.43, 0.55)
AMOUNTS = (0.72, -0.45, 1.02, 0.40)
ROAD_TRIP = (0.68, 0.03)
TOUR_5 = (-0.11, -0.02)
TOUR_GO = (0.3, -0.3)
CHOICE_RIM = (-0.02, 0.44, 0.02, 0.49)


def check_menus_high_score_tabs(h):
    g = start_menu(h)
    g.click(HIGH_SCORES)
    g.wait_shot(panel_open, 15, "the high scores")
    time.sleep(0.5)
    quick = g.shot()
    expect(is_orange(quick.at((-0.98, 0.55))), "the quick play tab is not the chosen one")
    expect(quick.count(AMOUNTS, is_white) > 200, "the quick play table shows no amounts")
    g.click(TAB_ROAD_TRIP)
    time.sleep(1.0)
    trip = g.shot()
    expect(is_orange(trip.at(TAB_ROAD_TRIP)) and not is_orange(trip.at((-0.98, 0.55))),
           "the road trip tab did not take over")
    expect(trip.count(AMOUNTS, is_white) > 200, "the road trip table shows no amounts")
    expect(quick.region(AMOUNTS) != trip.region(AMOUNTS), "both tabs show the same table")
    g.key("Escape")
    g.wait_menu()
    g.quit()


def check_menus_road_trip_of_five_cities(h):
    g = start_menu(h)
    g.click(ROAD_TRIP)
    g.wait_shot(lambda s: any(is_gold(c) for c in s.region(CHOICE_RIM)), 8, "the road trip's length")
    time.sleep(1.0)
    g.click(TOUR_5)
    g.click(TOUR_GO)
    time.sleep(2.5)
    g.save("road-trip.png")
    g.key("Escape")
    g.wait_menu()
    g.quit()
    data, _, _ = read_gam(h)
    expect(b"TOUR5_" in data, "the player holds no tour of 5 cities")
