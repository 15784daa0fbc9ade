"""Taps: the pointer moves onto a control and presses in the same instant,
as touch screens and remote desktops send it, with the pointer resting
elsewhere before. The control under the pointer at the press is the one
pressed: the main menu's Options and a letter key of the match screen, in
both 3D libraries and the Lite."""
import time

from harness import expect
from checks_menu import EMPTY, OPTIONS, QUICK_PLAY, menu_showing, options_open
from checks_lite import _lite_game
from checks_match_avatars import wait_play
from checks_match import DOLLARS_500, Match, letter_key, lit, spin_to_consonant, tool_args


def tap(g, point):
    """One X request sequence: the move, the press and the release."""
    px, py = g.to_pixel(point)
    g.xdotool("mousemove", "--window", g.xid, px, py, "click", 1)


def tap_options_then_a_letter(h, library, tag, lite=False):
    game = _lite_game(h) if lite else h.fresh_game()
    tool = tool_args(lite)
    expect(h.playertool(game, *(tool + ("human", "Ann")))[0] == 0, "playertool could not add Ann")
    expect(h.playertool(game, *(tool + ("puzzles", "1300", "615")))[0] == 0, "playertool puzzles failed")
    m = Match(h, game, library, {"QUORVANE_TEST_WEDGES": ",".join([str(DOLLARS_500)] * 8)})
    m.library_tag = tag
    if lite:
        m.shot_prefix = "lite-match"
    m.wait_menu()
    m.activate()
    m.move(EMPTY)
    time.sleep(0.8)
    expect(menu_showing(m.shot()), "the menu went away before the tap")

    tap(m, OPTIONS)
    m.wait_shot(options_open, 10, "the options window after a tap on Options (%s)" % tag)
    m.keep("tapped-options")
    time.sleep(0.5)
    m.key("Escape")
    m.wait_shot(lambda s: menu_showing(s) and not options_open(s), 10, "the menu after the options")
    time.sleep(0.5)

    m.click(QUICK_PLAY)
    wait_play(m)                 # the round's title card has come and gone
    s = spin_to_consonant(m)   # leaves the pointer off the keys
    letter = next((l for l in "NRSTLDCMPBGHFWYKVZXJQ" if lit(s, l)), None)
    expect(letter is not None, "no consonant key is open")
    tap(m, letter_key(letter))
    m.wait_shot(lambda s: not lit(s, letter), 5, "the tapped key %s to be called (%s)" % (letter, tag))
    m.keep("tapped-" + letter)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


def check_tap_presses_options_and_a_letter_key_through_direct3d(h):
    tap_options_then_a_letter(h, "-direct3d", "tap-d3d")


def check_tap_presses_options_and_a_letter_key_through_opengl(h):
    tap_options_then_a_letter(h, "-opengl", "tap-gl")


def check_tap_presses_options_and_a_letter_key_through_the_lite(h):
    tap_options_then_a_letter(h, "-directdraw", "tap", lite=True)
