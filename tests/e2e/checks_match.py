"""A match played through the real game the way a player would, hurried
along by the match screen's developer keys (F-keys and the keypad, listed
in content/gui/screens/s04_round_wnd.xml). Places come from the match
screen's GUI sources in view units, as in checks_menu.py; what the game
saved is read back through playertool. Each stage leaves a screenshot
match-*.png in the harness's work folder for a person to look at.
"""
import os
import time

from harness import CheckFailed, expect
from checks_menu import QUICK_PLAY, QUICK_PLAY_SIDE, QUIT, QUIT_SIDE, Game, brightness, is_orange, is_white

# The match screen (content/gui/screens/s04_round_wnd.xml).
WHEEL = (-0.8, -0.44)
GAUGE = (-1.27, -0.42)
SPIN = (0.84, -0.44)
BUY_VOWEL = (1.16, -0.44)
SOLVE = (0.84, -0.57)
PAUSE = (1.16, -0.57)
RED_PODIUM = (-0.23, -0.667)
PODIUM_SCORE = (-0.26, -0.59, -0.04, -0.51)   # seat 1's money
LETTER_ROWS = ("ABCDEFG", "HIJKLMN", "OPQRSTU", "VWXYZ")
# The pause window and the statistics window (windows/w00, w13).
RESUME = (0.0, 0.02)
STATS_NAME = (-0.7, 0.58, -0.2, 0.66)
STATS_MONEY = (0.45, 0.38, 0.95, 0.46)
STATS_TIME = (0.7, 0.26, 0.95, 0.32)
STATS_OUTCOME = (-0.4, -0.22, 0.8, -0.14)
STATS_TROPHIES_LABEL = (-0.62, -0.3, -0.45, -0.26)   # "Trophies won", over the trophies
STATS_MAIN_MENU = (0.3, -0.72)
# The main menu's group play and the group-play window's start (w28, w36).
GROUP_PLAY = (0.68, 0.2)
GROUP_PLAY_START = (0.45, -0.74)
BONUS_PRIZES = {25000, 30000, 35000, 40000, 45000, 50000, 75000, 100000}


def letter_key(letter):
    for row, keys in enumerate(LETTER_ROWS):
        if letter in keys:
            return (0.7 + 0.097 * keys.index(letter), -0.02 - 0.102 * row)
    raise ValueError(letter)


def tile(row, col):
    return (-0.962 + 0.148 * col, 0.828 - 0.182 * row)


def lit(s, letter):
    """A letter key that can be pressed: bright purple (consonant) or blue (vowel)."""
    return brightness(s.at(letter_key(letter), 2)) > 110


def button_enabled(s, point):
    # An enabled pill is as bright as the pause button, always enabled; a
    # disabled one shows its darker pressed face.
    x, y = point
    return brightness(s.at((x - 0.107, y), 1)) >= brightness(s.at((PAUSE[0] - 0.107, PAUSE[1]), 1)) - 6


def on_match(s):
    r, g, b = s.at(RED_PODIUM, 2)
    return r > 150 and g < 90 and b < 90


def statistics_shown(s):
    """The statistics window: the studio covered and its time and money in
    white (the solved flash's rays alone light the time's place)."""
    return not on_match(s) and s.count(STATS_TIME, is_white) > 20 and s.count(STATS_MONEY, is_white) > 20


def turn(s):
    return on_match(s) and button_enabled(s, SOLVE) and not any(lit(s, l) for l in "BCDT")


def consonants_open(s):
    return on_match(s) and (lit(s, "B") or lit(s, "C") or lit(s, "D") or lit(s, "Z"))


def money_shown(s):
    return s.count(PODIUM_SCORE, is_white) > 25


def tool_args(lite):
    """playertool's switch for the Lite's own files."""
    return ("-lite",) if lite else ()


def stats(h, game, lite=False):
    rc, out = h.playertool(game, *(tool_args(lite) + ("show",)))
    expect(rc == 0, "playertool show failed")
    parts = out.splitlines()[0].split()
    return parts[0], [int(v) for v in parts[1:]]


class Match(Game):
    def __init__(self, h, game_dir, library, env=None):
        self.h = h
        self.dir = game_dir
        self.library = library
        self.proc = h.launch(game_dir, [library], env)
        h.find_window()
        self.xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
        self.width, self.height = h.x_geometry(self.xid)
        self.stage = 0

    def keep(self, what):
        self.stage += 1
        prefix = getattr(self, "shot_prefix", "match")
        return self.save("%s-%s-%02d-%s.png" % (prefix, self.library_tag, self.stage, what))

    def wait_turn(self, timeout=40):
        return self.wait_shot(turn, timeout, "the contestant's turn (spin, vowel or solve)")

    def spin(self):
        """Presses on the wheel with the gauge showing, as a player does."""
        gauge = lambda s: brightness(s.at(GAUGE, 2)) > 40
        self.move(WHEEL)
        time.sleep(0.8)
        if not gauge(self.shot()):
            # A slow frame may have missed the pointer's arrival: it moves
            # on the wheel once more.
            self.move((WHEEL[0] + 0.03, WHEEL[1]))
            self.wait_shot(gauge, 4, "the spin gauge beside the wheel under the pointer")
        self.press()
        time.sleep(0.2)
        self.release()
        time.sleep(0.3)
        self.move((0.3, 0.95))   # off the wheel: the gauge goes


def start_quick_play(h, library, main_puzzle, bonus_puzzle, tag, env=None):
    game = h.fresh_game()
    expect(h.playertool(game, "human", "Ann")[0] == 0, "playertool could not add Ann")
    expect(h.playertool(game, "puzzles", str(main_puzzle), str(bonus_puzzle))[0] == 0, "playertool puzzles failed")
    m = Match(h, game, library, env)
    m.library_tag = tag
    m.wait_menu()
    m.click(QUICK_PLAY)
    return m


def call_open_consonant(m, s):
    """Calls the first consonant whose key is open (the free-spin answer
    "n" may already have called N while the keys were fading in)."""
    for letter in "NRSTLDCMPBGHFWYKVZXJQ":
        if lit(s, letter):
            m.key(letter.lower())
            return letter
    raise CheckFailed("no consonant key is open")


DOLLARS_500 = 1     # a $500 wedge of the first round's wheel


def spin_to_consonant(m, tries=6):
    """Spins until the wheel gives a value and the consonants open (the
    spins are made to stop on a dollar value); a spin that went astray only
    costs a turn (one more is granted each time)."""
    for _ in range(tries):
        m.wait_turn()
        m.key("KP_Add")          # one turn more
        m.spin()
        end = time.time() + 25
        while time.time() < end:
            s = m.shot()
            if consonants_open(s):
                # The keys fade from one state to the next: the picture
                # counts once it holds still.
                time.sleep(0.6)
                s = m.shot()
                if consonants_open(s):
                    return s
                continue         # still changing: look again, press nothing
            if turn(s) and time.time() > end - 17:
                break            # the turn came back without a letter to call
            time.sleep(0.5)
    raise CheckFailed("the wheel never gave a letter value")


def bankrupt_empties_the_money(m):
    """F6 (bankrupt) with $1,000 on the podium: the money text empties."""
    m.key("KP_Home")             # +$1,000
    m.wait_shot(money_shown, 5, "the podium's money")
    m.key("F6")
    time.sleep(2.8)
    m.key("n")
    s = m.wait_turn()
    m.keep("bankrupt")
    expect(not money_shown(s), "the money text is not empty after a bankrupt")


def buy_a_vowel_for_250(m):
    """$249 cannot buy a vowel; $250 can, and pays exactly that at once."""
    m.key("KP_Up")               # +$250
    m.key("KP_Next")             # -$1
    time.sleep(0.6)
    expect(money_shown(m.shot()), "no $249 on the podium")
    m.click(BUY_VOWEL)
    time.sleep(0.8)
    s = m.shot()
    expect(not lit(s, "E") and not lit(s, "A"), "a vowel could be bought with $249")
    m.key("KP_Prior")            # +$1
    time.sleep(0.6)
    m.click(BUY_VOWEL)
    s = m.wait_shot(lambda s: on_match(s) and lit(s, "E"), 5, "the vowels to open with $250")
    m.keep("vowels")
    expect(not consonants_open(s), "consonant keys open during a vowel choice")
    m.key("t")                   # a consonant now calls nothing
    time.sleep(0.5)
    expect(lit(m.shot(), "E"), "a consonant key ended the vowel choice")
    m.key("e")
    s = m.wait_shot(lambda s: not money_shown(s), 1.0, "the $250 to be taken at once")
    m.wait_turn()


def solve_by_typing(m):
    """A FUN RUN IN THE PARK typed, a wrong letter put right with the arrow keys."""
    m.click(SOLVE)
    time.sleep(1.0)
    m.type("afx")
    m.key("Left")
    m.type("u")
    m.keep("typing")
    m.type("nruninthepark")
    time.sleep(2)
    m.keep("solved")             # the round-win window moves on by itself


def wait_statistics(m, timeout=40):
    """The statistics window after a round won; a round-won window that
    waits for Enter (it stands a few seconds) is given it."""
    end = time.time() + timeout
    dimmed_since = None
    while time.time() < end:
        s = m.shot()
        if statistics_shown(s):
            return s
        if on_match(s):
            dimmed_since = None
        elif dimmed_since is None:
            dimmed_since = time.time()
        elif time.time() > dimmed_since + 4:
            m.key("Return")
            dimmed_since = None
        time.sleep(0.25)
    m.keep("timed-out")
    raise CheckFailed("timed out waiting for the statistics window")


def bonus_round_to_the_menu(m):
    """F4 on the match screen: round one won, its statistics, then the bonus
    round (WEAR AND TEAR, letters W D B and A), its prize, the final
    statistics and the main menu, then Quit."""
    m.key("F4")
    s = wait_statistics(m)
    m.keep("stats-bonus")
    for name, area in (("name", STATS_NAME), ("money", STATS_MONEY), ("time", STATS_TIME),
                       ("outcome", STATS_OUTCOME)):
        expect(s.count(area, is_white) > 20, "the statistics window shows no %s" % name)
    # On to the bonus round the match has won no trophy yet: no trophy, and
    # no "Trophies won" over nothing.
    expect(s.count(STATS_TROPHIES_LABEL, is_white) == 0, "the statistics before the bonus round show a trophies label")
    m.key("Return")              # Continue
    m.wait_shot(lambda s: on_match(s) and button_enabled(s, SPIN), 60, "the bonus wheel to be offered")
    m.spin()
    # R S T L N E come up by themselves (W E A R _ A N D _ T E A R), then
    # the window that asks for three consonants and a vowel dims the studio.
    m.wait_shot(lambda s: not on_match(s), 60, "the window asking for the bonus letters")
    time.sleep(1.0)
    m.key("Return")
    s = m.wait_shot(consonants_open, 10, "the consonants of the bonus round")
    m.keep("bonus-letters")

    def shown(s, place):
        x, y = place
        return s.count((x - 0.05, y - 0.06, x + 0.05, y + 0.06), is_white) > 12

    for col in (1, 3, 6, 9):
        expect(shown(s, tile(1, col)), "the bonus board's column %d is not shown without input" % col)
    expect(not shown(s, tile(1, 0)), "the W is shown before it was called")
    for c in "wdb":
        m.key(c)
        time.sleep(0.6)
    m.wait_shot(lambda s: on_match(s) and lit(s, "A"), 10, "the vowel of the bonus round")
    m.key("a")
    end = time.time() + 60
    kept = None
    while not statistics_shown(m.shot()):
        expect(time.time() < end, "timed out waiting for the final statistics window")
        if not kept:
            kept = m.keep("bonus-prize")
        m.key("Return")          # the prize window
        time.sleep(2)
    time.sleep(1)
    m.keep("stats-final")
    s = m.shot()
    # The player's first match won: its first trophies, under their label.
    expect(s.count(STATS_TROPHIES_LABEL, is_white) > 10, "the final statistics show no trophies won")
    m.click(STATS_MAIN_MENU)
    m.wait_menu()
    m.click(QUIT)
    expect(m.h.wait_exit(m.proc) == 0, "the game did not end cleanly")


def expect_quick_play_saved(m, before, lite=False):
    """Ann's statistics grew by the match won with its bonus round."""
    name, after = stats(m.h, m.dir, lite)
    expect(name == "Ann", "the player is %r" % name)
    total = after[8]             # the last match's total
    expect(after[1] - before[1] == total, "money won grew by %d, not the match total %d" % (after[1] - before[1], total))
    expect(after[4] == before[4] + 1 and after[7] == before[7] + 1, "the match and the bonus are not counted as won")
    prizes = {total - main for main in (2000, 12000)}
    expect(prizes & BONUS_PRIZES, "the match total %d holds none of the bonus prizes" % total)


def check_match_quick_play_through_to_the_statistics(h):
    # A FUN RUN IN THE PARK, then the bonus WEAR AND TEAR.
    # The spins stop on $500 (a letter to call, never a question to answer:
    # a key pressed for one could call a letter of its own).
    m = start_quick_play(h, "-direct3d", 1300, 615, "d3d", {"QUORVANE_TEST_WEDGES": ",".join([str(DOLLARS_500)] * 8)})
    before_name, before = stats(h, m.dir)

    m.wait_turn(60)
    m.keep("turn")
    s = spin_to_consonant(m)
    m.keep("consonants")
    expect(not lit(s, "A") and not lit(s, "E"), "vowels open while a consonant is called")
    call_open_consonant(m, s)
    m.wait_turn()

    bankrupt_empties_the_money(m)

    buy_a_vowel_for_250(m)
    solve_by_typing(m)
    # A pause during a spin holds the wheel; Resume lets it turn on.
    m.wait_turn(60)
    m.spin()
    time.sleep(1.0)
    m.key("Escape")
    time.sleep(1.0)
    face = (WHEEL[0] - 0.25, WHEEL[1] - 0.08, WHEEL[0] + 0.25, WHEEL[1] + 0.12)
    a = m.shot().region(face)
    time.sleep(1.0)
    b = m.shot().region(face)
    m.keep("paused")
    changed = sum(1 for p, q in zip(a, b) if abs(brightness(p) - brightness(q)) > 30)
    expect(changed < len(a) * 0.03, "the wheel turned while paused (%d pixels changed)" % changed)
    m.click(RESUME)
    time.sleep(0.3)
    a = m.shot().region(face)
    time.sleep(0.4)
    b = m.shot().region(face)
    changed = sum(1 for p, q in zip(a, b) if abs(brightness(p) - brightness(q)) > 30)
    expect(changed > len(a) * 0.05, "the wheel did not turn on after Resume")

    # On to the bonus round.
    time.sleep(8)
    m.key("n")
    time.sleep(1)
    bonus_round_to_the_menu(m)
    expect_quick_play_saved(m, before)


def podium_money(s, seat):
    x0, y0, x1, y1 = PODIUM_SCORE
    dx = 0.295 * (seat - 1)
    return s.count((x0 + dx, y0, x1 + dx, y1), is_white) > 25


def all_keys_open(s):
    return on_match(s) and all(lit(s, l) for l in "BEKZ")


def check_match_group_play_against_two_computers(h):
    game = h.fresh_game()
    expect(h.playertool(game, "human", "Ann")[0] == 0, "playertool could not add Ann")
    expect(h.playertool(game, "opponents", "0", "1")[0] == 0, "playertool could not seat the opponents")
    expect(h.playertool(game, "puzzles", "1300", "615")[0] == 0, "playertool puzzles failed")
    m = Match(h, game, "-opengl")
    m.library_tag = "gl"
    m.wait_menu()
    m.click(GROUP_PLAY)
    time.sleep(2.0)
    m.click(GROUP_PLAY_START)
    # The first toss-up: tiles come up one by one; Space buzzes seat 1 in.
    m.wait_shot(lambda s: on_match(s) and button_enabled(s, SOLVE), 60, "the toss-up and its buzzer")
    # The buzzer answers once the letters start to come: until then a press
    # is ignored, so press again until seat 1 is solving.
    end = time.time() + 30
    while True:
        m.key("space")
        try:
            s = m.wait_shot(all_keys_open, 2.5, "seat 1 solving after the buzz")
            break
        except CheckFailed:
            if time.time() > end:
                raise
    m.keep("buzzed")
    m.type("q" * 40)             # a wrong answer over every hidden tile
    m.wait_shot(lambda s: on_match(s) and not all_keys_open(s), 20, "the wrong answer to be judged")
    time.sleep(3.0)
    m.key("space")               # seat 1 has had its buzz in this puzzle
    time.sleep(1.5)
    s = m.shot()
    m.keep("second-buzz")
    expect(not all_keys_open(s), "a second buzz of seat 1 in the same puzzle let it solve again")

    # The computers buzz in, solve and take their turns; whenever seat 1
    # has the turn it passes it on.
    end = time.time() + 150
    while not (podium_money(m.shot(), 2) or podium_money(m.shot(), 3)):
        expect(time.time() < end, "the computer contestants won nothing in their turns")
        s = m.shot()
        if turn(s) and not consonants_open(s):
            m.key("F7")          # seat 1 loses its turn
        time.sleep(2.0)
    m.keep("computers")
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


# Where the close-up hides the studio: the board's gold rim, the category
# plaque beside its text, the panel behind the letter keys.
STUDIO_PARTS = (("the board's frame", (-1.13, 0.25, -1.06, 0.9)),
                ("the category bar", (0.25, -0.03, 0.8, 0.07)),
                ("the letter keys' backing", (0.66, -0.38, 1.3, 0.04)))
PAUSE_MAIN_MENU = (0.0, -0.3)


def board_lit(s):
    """The puzzle's hidden tiles stand lit blue on the board."""
    return s.count((-1.0, 0.2, 1.0, 0.9), lambda c: c[2] > 180 and c[0] < 140) > 400


def ready_to_spin(m):
    """The first turn of a match, its board lit and the title card gone."""
    m.wait_shot(lambda s: turn(s) and board_lit(s), 60, "the match's first turn with its board lit")
    time.sleep(1.0)
    return m.wait_shot(lambda s: turn(s) and board_lit(s), 10, "the first turn to hold")


def mean_colour(s, area):
    px = s.region(area)
    return tuple(sum(c[i] for c in px) / len(px) for i in range(3))


def check_match_pause_main_menu_at_each_moment_of_a_spin(h):
    """Pause, then Main Menu, at several moments of a spin (while it waits
    for its delay, while the wheel turns, while the close-up turns, with the
    wheels at rest): each time the menu comes and stays alone, and the next
    quick play looks as the first did."""
    m = start_quick_play(h, "-opengl", 1300, 615, "gl-leave")
    m.shot_prefix = "leave"
    first = ready_to_spin(m)
    m.keep("first")
    looks = {name: mean_colour(first, area) for name, area in STUDIO_PARTS}
    for delay in (0.2, 1.5, 4.0, 6.5):
        m.spin()
        time.sleep(max(0.0, delay - 0.5))
        m.key("Escape")
        m.wait_shot(lambda s: not on_match(s), 10, "the pause window")
        m.keep("paused-%.1f" % delay)
        m.click(PAUSE_MAIN_MENU)
        m.wait_menu()
        time.sleep(3.0)          # a pop-up of the match would have come by now
        s = m.shot()
        expect(is_orange(s.at(QUICK_PLAY_SIDE)) and is_orange(s.at(QUIT_SIDE)),
               "the menu did not stay alone after leaving %.1f s into a spin" % delay)
        m.click(QUICK_PLAY)
        s = ready_to_spin(m)
        m.keep("next-%.1f" % delay)
        for name, area in STUDIO_PARTS:
            a, b = looks[name], mean_colour(s, area)
            expect(max(abs(p - q) for p, q in zip(a, b)) < 30,
                   "%s differs from the first match after leaving %.1f s into a spin (%s, was %s)" %
                   (name, delay, tuple(int(v) for v in b), tuple(int(v) for v in a)))
    m.key("Escape")
    m.wait_shot(lambda s: not on_match(s), 10, "the pause window")
    m.click(PAUSE_MAIN_MENU)
    m.wait_menu()
    m.quit()
