"""The contestants' avatars on the match screen: all three stand and move,
they react to a spin (the spinner swings, the others clap) and to a
bankrupt, and keypad 4 steps through every avatar animation, its name on
the match screen's name line.

A pose is told from the idle by its distance to the nearest of a run of
idle screenshots taken just before: an idle frame always has a close match
there (the idle loop is shorter than the run), a reaction does not. Only
the avatars' bodies from the chest down are looked at: above them the seat
marker bobs and a light flickers across the stage at shoulder height,
while behind the bodies the stage holds still.
"""
import time

from harness import CheckFailed, expect
from checks_match import (GAUGE, GROUP_PLAY, GROUP_PLAY_START, SOLVE, WHEEL, Match, button_enabled, on_match,
                          start_quick_play, turn)
from checks_menu import brightness, is_white

SEAT_X = (-0.15, 0.145, 0.44)      # the avatars' places (content/gui/screens/s04_round_wnd.xml)
NAME_LINE = (0.71, -0.88, 1.32, -0.78)   # the name line of the panel at the bottom right
MOVED = 80        # changed pixels: a body that moved (a still one changes none)
SWING = 350       # pose distance of the body: a swing or a gesture (idle stays near 200 at most)
CLAP = 100        # pose distance of the hands' band: hands up in front (idle stays near 50 at most)
BANKRUPT = 22     # the bankrupt wedge of the first round's wheel

# The avatar animations in the order keypad 4 plays them.
ANIMATIONS = ("spin_bonus", "avatar_idle_01", "avatar_idle_02", "avatar_idle_03", "brevanto",
              "butterchurn", "raiseroof", "wave", "handslap", "sob",
              "annoyed", "headslap", "spin", "spin_slow", "spin_fast",
              "clap", "board2wheel", "idle_random_handonhand", "idle_random_movehand")


def body(seat):
    x = SEAT_X[seat]
    return (x - 0.085, -0.385, x + 0.085, -0.19)


def hands(seat):
    """Where hands held up in front of the body show: in the idle only the suit is there."""
    x = SEAT_X[seat]
    return (x - 0.06, -0.34, x + 0.06, -0.26)


def puzzle_shown(s):
    """The round's puzzle stands on the board: its tiles are lit blue (before
    the round's title card the board is empty)."""
    n = 0
    for py in range(20, s.height * 5 // 12, 4):
        for px in range(s.width // 10, s.width * 9 // 10, 4):
            r, g, b = s.pixel(px, py)
            n += b > 180 and b > r + 60
    return n > 100


def wait_play(m, timeout=60):
    """Seat 1's turn in a round under way."""
    return m.wait_shot(lambda s: turn(s) and puzzle_shown(s), timeout, "seat 1's turn with the puzzle on the board")


def pixels(s, area):
    """The area's pixels, row after row, kept with the screenshot: a pose is
    compared with many others."""
    cache = s.__dict__.setdefault("areas", {})
    if area not in cache:
        x0, y0, x1, y1 = area
        left, top = s.to_pixel(x0, y1)
        right, bottom = s.to_pixel(x1, y0)
        cache[area] = b"".join(s.pixels[(py * s.width + left) * 3:(py * s.width + right) * 3]
                               for py in range(top, bottom))
    return cache[area]


def changed(a, b, area):
    """How many pixels of the area differ clearly between two screenshots."""
    p, q = pixels(a, area), pixels(b, area)
    return sum(1 for i in range(0, len(p), 3)
               if abs(p[i] - q[i]) > 24 or abs(p[i + 1] - q[i + 1]) > 24 or abs(p[i + 2] - q[i + 2]) > 24)


def watch(m, seconds, pause=0.1):
    """Screenshots of the match screen for this long, each with its time."""
    shots = []
    end = time.time() + seconds
    while time.time() < end:
        t = time.time()
        s = m.shot()
        if on_match(s):     # the wheel's close-up covers the stage now and then
            shots.append((t, s))
        time.sleep(pause)
    return shots


def watch_idle(m):
    """Screenshots of seat 1's turn over more than an idle loop (the longest
    takes 4 s). Should the round's title card come meanwhile (the turn was
    seen too early), the watch starts again once the turn is back."""
    for _ in range(3):
        wait_play(m)
        idle = []
        end = time.time() + 4.2
        while time.time() < end:
            t = time.time()
            s = m.shot()
            if not turn(s):
                break
            idle.append((t, s))
            time.sleep(0.1)
        else:
            if len(idle) >= 6:
                return idle
    raise CheckFailed("seat 1's turn did not hold for four seconds")


def pose_distance(shot, idle, area):
    return min(changed(ref, shot, area) for _, ref in idle if ref is not shot)


def farthest(shots, idle, area):
    return max([pose_distance(s, idle, area) for _, s in shots] or [0])


def moved_in_a_second(shots, seat):
    """The most pixels that changed between two screenshots about a second apart."""
    pairs = []
    for i, (ta, a) in enumerate(shots):
        later = [b for tb, b in shots[i + 1:] if 0.9 <= tb - ta <= 1.5]
        if later:
            pairs.append((a, later[0]))
    expect(pairs, "no two screenshots of the match screen a second apart")
    return max(changed(a, b, body(seat)) for a, b in pairs)


def check_match_avatars_move_and_react_to_a_spin(h):
    game = h.fresh_game()
    expect(h.playertool(game, "human", "Ann")[0] == 0, "playertool could not add Ann")
    expect(h.playertool(game, "opponents", "0", "1")[0] == 0, "playertool could not seat the opponents")
    m = Match(h, game, "-opengl")
    m.library_tag = "gl-avatars"
    m.wait_menu()
    m.click(GROUP_PLAY)
    time.sleep(2.0)
    m.click(GROUP_PLAY_START)
    m.wait_shot(lambda s: on_match(s) and button_enabled(s, SOLVE), 60, "the first toss-up")
    m.key("F1")                  # on to round one, seat 1 opens
    wait_play(m)
    m.keep("turn")

    # Three contestants stand idle at their podiums: every one of them moves.
    idle = watch_idle(m)
    for seat in range(3):
        moved = moved_in_a_second(idle, seat)
        expect(moved > MOVED, "avatar %d did not move in a second (%d pixels changed at most)" % (seat + 1, moved))

    # A spin: seat 1 swings the wheel, the other two clap.
    m.move(WHEEL)
    m.wait_shot(lambda s: brightness(s.at(GAUGE, 2)) > 40, 10, "the spin gauge beside the wheel")
    m.press()
    time.sleep(0.2)
    m.release()
    # The claps wait up to a second of game time, longer on a slow machine;
    # the landing's close-up ends the watch (its reactions are others).
    swing, claps, shots = 0, [0, 0], 0
    end = time.time() + 6.0
    while time.time() < end and not (swing > SWING and min(claps) > CLAP):
        s = m.shot()
        if not on_match(s):
            if shots:
                break
            continue
        shots += 1
        swing = max(swing, pose_distance(s, idle, body(0)))
        claps = [max(claps[k], pose_distance(s, idle, hands(k + 1))) for k in range(2)]
    m.move((0.3, 0.95))
    m.keep("spin")
    expect(swing > SWING, "the spinner did not swing (pose distance %d, idle %d, %d screenshots)" %
           (swing, max(pose_distance(s, idle, body(0)) for _, s in idle), shots))
    for seat in (1, 2):
        expect(claps[seat - 1] > CLAP,
               "avatar %d did not clap at the spin (hands' distance %d, idle %d, %d screenshots)" %
               (seat + 1, claps[seat - 1], max(pose_distance(s, idle, hands(seat)) for _, s in idle), shots))
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


def name_line(s):
    return s.region(NAME_LINE)


def differing(a, b):
    return sum(1 for p, q in zip(a, b) if max(abs(p[k] - q[k]) for k in range(3)) > 40)


def text_width(s):
    x0, y0, x1, y1 = NAME_LINE
    left, top = s.to_pixel(x0, y1)
    right, bottom = s.to_pixel(x1, y0)
    columns = [px for px in range(left, right + 1)
               if any(is_white(s.pixel(px, py)) for py in range(top, bottom + 1))]
    return (columns[-1] - columns[0] + 1) if columns else 0


def next_name(m, before):
    """Presses keypad 4 and returns the name line once it shows something
    else and holds still."""
    m.key("KP_4")
    end = time.time() + 15
    while time.time() < end:
        a = m.shot()
        time.sleep(0.2)
        b = m.shot()
        if on_match(b) and differing(name_line(a), name_line(b)) <= 2 and differing(name_line(b), before) > 8:
            return b
    raise CheckFailed("the name line did not change for good after keypad 4")


def check_match_avatar_bankrupt_gesture_and_animation_key(h):
    # The first spin of the match is made to stop on the bankrupt wedge.
    m = start_quick_play(h, "-direct3d", 1300, 615, "d3d-avatar", {"QUORVANE_TEST_WEDGES": str(BANKRUPT)})
    wait_play(m)
    m.keep("turn")
    for _ in range(3):
        m.key("KP_Add")          # turns to spare: the key run below outlasts a turn's clock
    idle = watch_idle(m)
    moved = moved_in_a_second(idle, 0)
    expect(moved > MOVED, "seat 1's avatar did not move in a second (%d pixels changed at most)" % moved)

    # The bankrupt: when the studio comes back from the wheel's close-up the
    # contestant reacts at once.
    m.spin()
    m.wait_shot(lambda s: not on_match(s), 15, "the wheel's close-up")
    back = m.wait_shot(on_match, 30, "the studio after the wheel stopped")
    t0 = time.time()
    shots = [(t0, back)] + watch(m, 1.25)
    m.keep("bankrupt")
    gesture = farthest(shots, idle, body(0))
    expect(gesture > SWING, "no gesture within a second of the bankrupt (pose distance %d in %d screenshots)" %
           (gesture, len(shots)))

    # Keypad 4: every animation's name in turn, then the first again.
    shot = wait_play(m, 30)
    pictures, widths, played = [], [], 0
    before = name_line(shot)
    for i in range(len(ANIMATIONS) + 1):
        shot = next_name(m, before)
        before = name_line(shot)
        pictures.append(before)
        widths.append(text_width(shot))
        played = max(played, pose_distance(shot, idle, body(0)))
        if i == 0:
            m.keep("animation-name")
    for i in range(len(ANIMATIONS)):
        expect(widths[i] > 10, "the name line is empty for %s" % ANIMATIONS[i])
        for j in range(i):
            expect(differing(pictures[i], pictures[j]) > 8,
                   "the names of %s and %s look alike on the name line" % (ANIMATIONS[j], ANIMATIONS[i]))
    expect(differing(pictures[-1], pictures[0]) <= 2, "after the last animation the first did not come again")
    # The names read in the right order: a name longer by four letters or
    # more is drawn wider (unless it runs off the panel's end).
    edge = max(widths)
    for i, a in enumerate(ANIMATIONS):
        for j, b in enumerate(ANIMATIONS):
            if len(a) >= len(b) + 4:
                expect(widths[i] > widths[j] or widths[i] >= edge - 2,
                       "%s is drawn %d pixels wide, %s %d: the names are out of order" %
                       (a, widths[i], b, widths[j]))
    expect(widths[-1] == widths[0], "the first name came back at another width")
    expect(played > SWING, "seat 1's avatar played none of the animations (pose distance %d)" % played)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")
