"""Matches through the Lite edition (Quorvane-DDRAW.dll, 2D through
DirectDraw), played from its real menus the way a new player would, with the
full edition's helpers: the Lite's match screen stands where the full
edition's does, so places and colours are the same. What differs is the
wheel: a close-up of the zoom wheel (a sequence of 72 pictures, one a
5-degree sector) comes up over the board's left while it turns, with a
flapper hung over the notch each seat reads. Each stage leaves a screenshot
lite-match-*.png in the work folder; playertool reads the Lite's own files
with -lite."""
import math
import os
import subprocess
import time

from harness import CheckFailed, WINDOWED_SETTINGS, expect, pack_settings
from checks_lite import LITE_GAM, _lite_game
from checks_match import (DOLLARS_500, GROUP_PLAY, GROUP_PLAY_START, RESUME, SOLVE, Match, bankrupt_empties_the_money,
                          bonus_round_to_the_menu, button_enabled, buy_a_vowel_for_250, call_open_consonant,
                          consonants_open, expect_quick_play_saved, lit, on_match, podium_money, solve_by_typing,
                          stats, turn)
from checks_match_avatars import body, pose_distance, wait_play, watch_idle
from checks_menu import EMPTY, QUICK_PLAY, brightness, menu_showing
from checks_modes import (LITE, all_trophies_key_gives_each_once, play_alone_to_the_statistics,
                          puzzle_of_the_day_lost_then_won, road_trip_of_three_cities)

# The zoom wheel's close-up (content/lite/sprites.txt, MDL_ZOOM_WHEEL): its
# hub at the control's place, a radius of 0.6 view units, the rectangle shown
# from 0.3333 left to 0.52 right of the hub and 0.1433 to 0.6233 above it,
# on a dark violet backdrop outside the rim.
HUB = (-0.85, -0.75)
ZOOM_AREA = (-1.17, -0.59, -0.35, -0.14)
ZOOM_CORNERS = ((-1.17, -0.14), (-0.35, -0.14), (-1.05, -0.135))   # the last over a tile without it
BACKDROP = (0x14, 0x0a, 0x26)
# Seat 1's flapper hangs 19.9 degrees anticlockwise of the top; the wedges
# are 15 degrees wide, wedge numbers rising anticlockwise.
SEAT_1_ANGLE = 19.9
FLAPPER_1 = (-1.12, -0.29, -0.98, -0.15)
# The close-up's part left of the pause window.
PAUSED_ZOOM = (-1.17, -0.59, -0.75, -0.14)
LOSE_A_TURN = 18


def zoom_shown(s):
    return all(max(abs(c - b) for c, b in zip(s.at(p, 1), BACKDROP)) < 16 for p in ZOOM_CORNERS)


def on_wheel(angle, radius):
    """The view point at this angle anticlockwise of the top and this distance from the hub."""
    a = math.radians(angle)
    return (HUB[0] - radius * math.sin(a), HUB[1] + radius * math.cos(a))


def wedge_colour(s, angle):
    """The mean colour of a wedge's inner part (clear of its lettering and
    the pointer) with its middle at this angle."""
    cs = [s.at(on_wheel(angle + da, r), 1) for da in (-3, 0, 3) for r in (0.2, 0.24)]
    return tuple(sum(c[k] for c in cs) // len(cs) for k in range(3))


def is_blue(c):
    return c[2] > c[0] + 60 and c[2] > c[1] + 20


def is_green(c):
    return c[1] > c[0] + 40 and c[1] > c[2] + 20


def is_yellow(c):
    return c[0] > 170 and c[1] > 130 and c[2] < 110


def is_violet(c):
    """The mystery face's violet (and its "?"): red over green, where the
    blue $500 under it has green over red."""
    return c[0] > c[1] + 20


def differ(a, b):
    """The share of pixels that differ clearly between two pixel lists."""
    return sum(1 for p, q in zip(a, b) if abs(brightness(p) - brightness(q)) > 30) / float(len(a))


def watch_the_zoom_wheel(m, timeout=40):
    """From a spin's press on: the close-up's pictures while the wheel
    turns, until the close-up goes (it stands a moment at rest first: its
    last picture is the resting one). Returns (how many times the picture
    changed, the last shot with the close-up)."""
    end = time.time() + timeout
    last, changes = None, 0
    while time.time() < end:
        s = m.shot()
        if not zoom_shown(s):
            if changes:
                return changes, last
            time.sleep(0.1)
            continue
        if last is not None and differ(last.region(ZOOM_AREA), s.region(ZOOM_AREA)) > 0.1:
            changes += 1
        last = s
    raise CheckFailed("the zoom wheel's close-up did not turn and go (%d changes)" % changes)


def close_up_gone(m):
    """Once the wheel has rested its close-up goes, and the board shows whole."""
    m.wait_shot(lambda s: on_match(s) and not zoom_shown(s), 10, "the close-up to go from over the board")


def lite_quick_play_spin(m):
    """A spin with the gauge, made to stop on wedge 1 ($500): the close-up
    turns, then rests with the $500 under seat 1's flapper, FREE SPIN (wedge
    0) next to it clockwise and $900 (wedge 2) anticlockwise; the round
    announces a value: the consonants open."""
    m.wait_turn()
    m.spin()
    changes, rest = watch_the_zoom_wheel(m)
    keep_shot(m, rest, "zoom-rest")
    expect(changes >= 3, "the close-up's picture changed only %d times while the wheel turned" % changes)
    under = wedge_colour(rest, SEAT_1_ANGLE)
    clockwise = wedge_colour(rest, SEAT_1_ANGLE - 15)
    anticlockwise = wedge_colour(rest, SEAT_1_ANGLE + 15)
    expect(is_blue(under) and is_green(clockwise) and is_yellow(anticlockwise),
           "the wheel rests with %s under seat 1's flapper between %s and %s, not the blue $500 between the "
           "green FREE SPIN and the yellow $900" % (under, clockwise, anticlockwise))
    m.wait_shot(consonants_open, 20, "the consonants after landing on $500")
    time.sleep(0.6)                 # the keys fade in: look again once they hold still
    return m.wait_shot(consonants_open, 5, "the consonants to hold")


def check_lite_match_mystery_faces_ride_the_wheel(h):
    """The mystery round (F3 from round one), a spin made to stop on wedge 1,
    a mystery wedge: its face rides on the close-up as the wheel turns, so
    that at rest it covers the wedge under seat 1's flapper (the $500 of the
    painted wheel) between the green FREE SPIN and the yellow $900, and it
    holds as still as the wheel while the close-up rests."""
    game = _lite_game(h)
    for args in (("human", "Ann"), ("puzzles", "1300", "615")):
        expect(h.playertool(game, "-lite", *args)[0] == 0, "playertool %s failed" % args[0])
    m = Match(h, game, "-directdraw", {"QUORVANE_TEST_WEDGES": str(DOLLARS_500)})
    m.library_tag, m.shot_prefix = "mystery", "lite-match"
    m.wait_menu()
    m.click(QUICK_PLAY)
    wait_play(m)
    m.key("F3")                  # round one won: on to the mystery round
    m.wait_shot(lambda s: not (on_match(s) and turn(s)), 10, "round one to end")
    wait_play(m, 90)
    m.keep("turn")
    m.spin()
    # The close-up's pictures, timed, until it goes: the last is the rest.
    end = time.time() + 40
    shots = []
    while time.time() < end:
        s = m.shot()
        if zoom_shown(s):
            shots.append((time.time(), s))
        elif shots:
            break
    expect(shots and time.time() < end, "the close-up did not come and go")
    rest_time, rest = shots[-1]
    keep_shot(m, rest, "mystery-rest")
    # The close-up holds its rest 1.6 s: the wheel still, and its faces too.
    held = [s for t, s in shots if rest_time - 1.0 <= t < rest_time]
    expect(held, "no picture of the close-up at rest before it went")
    for s in held:
        moved = differ(s.region(ZOOM_AREA), rest.region(ZOOM_AREA))
        expect(moved < 0.005, "the close-up at rest changed by %.1f%% (its mystery faces slide on)" % (100 * moved))
    under = wedge_colour(rest, SEAT_1_ANGLE)
    clockwise = wedge_colour(rest, SEAT_1_ANGLE - 15)
    anticlockwise = wedge_colour(rest, SEAT_1_ANGLE + 15)
    expect(is_green(clockwise) and is_yellow(anticlockwise),
           "the wheel rests with %s and %s beside seat 1's wedge, not the green FREE SPIN and the yellow $900" %
           (clockwise, anticlockwise))
    expect(is_violet(under), "seat 1's wedge shows %s at rest, not the violet mystery face over it" % (under,))
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


def check_lite_match_quick_play_at_16_bits(h):
    # A FUN RUN IN THE PARK, then the bonus WEAR AND TEAR, at 16 bits.
    with h.display_depth(16):
        game = _lite_game(h)
        data = h.data_dir()
        # The full edition's own files, which the Lite must leave alone.
        with open(os.path.join(data, "Quorvane.set"), "wb") as f:
            f.write(pack_settings(WINDOWED_SETTINGS))
        expect(h.playertool(game, "human", "Zed")[0] == 0, "playertool could not add Zed")
        full = {n: open(os.path.join(data, n), "rb").read() for n in ("Quorvane.set", "Quorvane.gam")}

        # A first start: the name typed in the new player's window.
        m = Match(h, game, "-directdraw")
        m.library_tag, m.shot_prefix = "quick16", "lite-match"
        m.wait_name_window()
        m.activate()
        m.move(EMPTY)
        time.sleep(0.5)
        m.type("Ann")
        time.sleep(0.3)
        m.key("Return")
        m.wait_menu()
        m.keep("menu")
        m.quit()
        expect(h.playertool(game, "-lite", "puzzles", "1300", "615")[0] == 0, "playertool puzzles failed")
        name, before = stats(h, game, lite=True)
        expect(name == "Ann", "the Lite saved the new player as %r" % name)
        gam = open(os.path.join(data, LITE_GAM), "rb").read()

        stage = m.stage
        m = Match(h, game, "-directdraw", {"QUORVANE_TEST_WEDGES": ",".join([str(DOLLARS_500)] * 8)})
        m.library_tag, m.shot_prefix, m.stage = "quick16", "lite-match", stage
        m.wait_menu()
        m.click(QUICK_PLAY)
        wait_play(m)             # the round's title card has come and gone
        m.keep("turn")
        s = lite_quick_play_spin(m)
        m.keep("consonants")
        expect(not lit(s, "A") and not lit(s, "E"), "vowels open while a consonant is called")
        call_open_consonant(m, s)
        m.wait_turn()
        bankrupt_empties_the_money(m)
        buy_a_vowel_for_250(m)
        solve_by_typing(m)
        m.wait_turn(60)
        bonus_round_to_the_menu(m)
        expect_quick_play_saved(m, before, lite=True)
        expect(open(os.path.join(data, LITE_GAM), "rb").read() != gam, "%s did not change" % LITE_GAM)
        for n, was in full.items():
            expect(open(os.path.join(data, n), "rb").read() == was, "the Lite changed the full edition's %s" % n)


# The sprites are small: a clap shows in the arms at the body's sides, so
# the whole body is watched (an idle picture comes back exactly).
REACTION_AREAS = (("swing", body(0)), ("clap 2", body(1)), ("clap 3", body(2)))


def keep_shot(m, s, what):
    """Keeps a screenshot taken earlier, named as Match.keep names them."""
    m.stage += 1
    path = os.path.join(m.h.work, "%s-%s-%02d-%s.png" % (m.shot_prefix, m.library_tag, m.stage, what))
    ppm = b"P6\n%d %d\n255\n" % (s.width, s.height) + s.pixels
    subprocess.run(["convert", "ppm:-", path], input=ppm, check=True)


def watch_spin_reactions(m, idle, seconds, seen=None):
    """After the press: the most the spinner's body and the others' hands
    were seen away from their idle pictures, with the screenshot of each
    ({"swing": (distance, shot), "clap 2": ..., "clap 3": ...})."""
    seen = seen if seen is not None else {k: (0, None) for k in ("swing", "clap 2", "clap 3")}
    end = time.time() + seconds
    while time.time() < end:
        s = m.shot()
        if not on_match(s):
            continue
        for k, area in REACTION_AREAS:
            d = pose_distance(s, idle, area)
            if d > seen[k][0]:
                seen[k] = (d, s)
    return seen


def open_group_play(m):
    """Group play from the main menu; a click a slow frame missed is given
    again (the window covers the menu), then its start."""
    for _ in range(3):
        m.click(GROUP_PLAY)
        try:
            m.wait_shot(lambda s: not menu_showing(s), 6, "the group play window")
            break
        except CheckFailed:
            continue
    time.sleep(1.5)
    m.click(GROUP_PLAY_START)


def check_lite_match_group_play_against_two_computers(h):
    game = _lite_game(h)
    for args in (("human", "Ann"), ("opponents", "0", "1"), ("puzzles", "1300", "615")):
        expect(h.playertool(game, "-lite", *args)[0] == 0, "playertool %s failed" % args[0])
    # Seat 1's spin loses its turn: the computers play on.
    m = Match(h, game, "-directdraw", {"QUORVANE_TEST_WEDGES": str(LOSE_A_TURN)})
    m.library_tag, m.shot_prefix = "group", "lite-match"
    m.wait_menu()
    open_group_play(m)
    m.wait_shot(lambda s: on_match(s) and button_enabled(s, SOLVE), 60, "the first toss-up")
    m.key("F1")                  # on to round one, seat 1 opens
    wait_play(m)
    m.keep("turn")
    # The round's start has the others clap a moment: their rest pictures
    # are watched once that is over.
    time.sleep(3.0)
    idle = watch_idle(m)

    # How far idle pictures stray from the nearest other idle picture.
    rest = {k: max(pose_distance(s, idle, area) for _, s in idle) for k, area in REACTION_AREAS}

    # A spin: seat 1's sprite swings the wheel, the other two clap.
    m.spin()
    seen = watch_spin_reactions(m, idle, 1.0)
    # A pause while the wheel turns holds the wheel and the flappers.
    m.key("Escape")
    m.wait_shot(lambda s: not on_match(s), 5, "the pause window")
    time.sleep(0.5)
    a = m.shot()
    time.sleep(1.2)
    b = m.shot()
    m.keep("paused")
    still = differ(a.region(PAUSED_ZOOM), b.region(PAUSED_ZOOM))
    flapper = differ(a.region(FLAPPER_1), b.region(FLAPPER_1))
    expect(still < 0.02 and flapper < 0.02, "the wheel or its flappers moved while paused (%.1f%%, %.1f%%)" %
           (100 * still, 100 * flapper))
    m.click(RESUME)
    time.sleep(0.2)
    a = m.shot()
    time.sleep(0.4)
    b = m.shot()
    moved = differ(a.region(ZOOM_AREA), b.region(ZOOM_AREA))
    flapper = differ(a.region(FLAPPER_1), b.region(FLAPPER_1))
    expect(moved > 0.1 and flapper > 0.05, "the wheel or its flappers did not go on after Resume (%.1f%%, %.1f%%)" %
           (100 * moved, 100 * flapper))
    m.keep("resumed")
    watch_spin_reactions(m, idle, 2.5, seen)
    close_up_gone(m)
    for k in sorted(seen):
        if seen[k][1] is not None:
            keep_shot(m, seen[k][1], k.replace(" ", "-"))
        print("lite group play: %s %d (idle %d)" % (k, seen[k][0], rest[k]))
    expect(seen["swing"][0] > 2 * rest["swing"] + 40,
           "seat 1's sprite did not swing the wheel (pose distance %d, idle %d)" % (seen["swing"][0], rest["swing"]))
    for seat in (2, 3):
        k = "clap %d" % seat
        expect(seen[k][0] > 2 * rest[k] + 20,
               "seat %d's sprite did not clap (body's distance %d, idle %d)" % (seat, seen[k][0], rest[k]))

    # The computers take their turns; seat 1 passes whenever it has one.
    end = time.time() + 150
    while not (podium_money(m.shot(), 2) or podium_money(m.shot(), 3)):
        expect(time.time() < end, "the computer contestants won nothing in their turns")
        s = m.shot()
        if turn(s) and not consonants_open(s):
            m.key("F7")          # seat 1 loses its turn
        elif consonants_open(s):
            call_open_consonant(m, s)
        time.sleep(2.0)
    m.keep("computers")
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


def check_lite_modes_play_alone_to_the_statistics(h):
    play_alone_to_the_statistics(h, LITE, "alone")


def check_lite_modes_road_trip_of_three_cities(h):
    road_trip_of_three_cities(h, LITE, "trip")


def check_lite_modes_puzzle_of_the_day_lost_then_won(h):
    puzzle_of_the_day_lost_then_won(h, LITE, "potd")


def check_lite_modes_all_trophies_key_gives_each_once(h):
    all_trophies_key_gives_each_once(h, LITE, "trophies")
