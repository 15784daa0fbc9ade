"""Taps: the pointer moves onto a control and presses in the same instant,
as touch screens and remote desktops send it, with the pointer resting
elsewhere before. The control under the pointer at the press is the one
pressed: the main menu's Options and a letter key of the match screen, in
both 3D libraries and the Lite.

The game is a player's (started without QUORVANE_DEVELOPER): the Lite's
menu shows no frame-rate line, and a developer key on the match screen
changes nothing."""
import time

from harness import expect
from checks_menu import EMPTY, OPTIONS, QUICK_PLAY, brightness, menu_showing, options_open
from checks_lite import _font, _lite_game, _reads_label, _sheet_pixels
from checks_match_avatars import wait_play
from checks_match import (DOLLARS_500, PODIUM_SCORE, Match, letter_key, lit, money_shown, spin_to_consonant,
                          tool_args)


def tap(g, point):
    """One X request sequence: the move, the press and the release."""
    px, py = g.to_pixel(point)
    g.xdotool("mousemove", "--window", g.xid, px, py, "click", 1)


def tap_options_then_a_letter(h, library, tag, lite=False):
    game = _lite_game(h) if lite else h.fresh_game()
    tool = tool_args(lite)
    expect(h.playertool(game, *(tool + ("human", "Ann")))[0] == 0, "playertool could not add Ann")
    expect(h.playertool(game, *(tool + ("puzzles", "1300", "615")))[0] == 0, "playertool puzzles failed")
    m = Match(h, game, library, {"QUORVANE_TEST_WEDGES": ",".join([str(DOLLARS_500)] * 8),
                                 "QUORVANE_DEVELOPER": None})
    m.library_tag = tag
    if lite:
        m.shot_prefix = "lite-match"
    m.wait_menu()
    m.activate()
    m.move(EMPTY)
    time.sleep(0.8)
    s = m.shot()
    expect(menu_showing(s), "the menu went away before the tap")
    if lite:
        bw, _, back = _sheet_pixels(h, game, "data/lite/sprites/backdrop.png")
        drawn, why = _reads_label(s.pixels, s.width, s.height, back, bw, _font(game, "SMALL"), "DDRAW FPS:", 2)
        expect(why == "no label drawn at the bottom", "a player's menu shows a frame-rate line (%s)" % why)

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
    keypad_7_changes_nothing(m, tag)
    h.close_game()
    expect(h.wait_exit(m.proc) == 0, "the game did not end cleanly when its window closed")


def keypad_7_changes_nothing(m, tag):
    """Keypad 7, a developer's +$1,000, leaves seat 1's money as it was."""
    m.wait_turn()
    m.wait_shot(money_shown, 5, "seat 1's money for the letter called (%s)" % tag)
    time.sleep(0.5)
    before = m.shot().region(PODIUM_SCORE)
    m.key("KP_Home")
    time.sleep(1.2)
    after = m.shot().region(PODIUM_SCORE)
    m.keep("keypad-7")
    changed = sum(1 for p, q in zip(before, after) if abs(brightness(p) - brightness(q)) > 30)
    expect(changed < len(before) * 0.02,
           "keypad 7 changed seat 1's money in a player's game (%d pixels, %s)" % (changed, tag))


def check_tap_presses_options_and_a_letter_key_through_direct3d(h):
    tap_options_then_a_letter(h, "-direct3d", "tap-d3d")


def check_tap_presses_options_and_a_letter_key_through_opengl(h):
    tap_options_then_a_letter(h, "-opengl", "tap-gl")


def check_tap_presses_options_and_a_letter_key_through_the_lite(h):
    tap_options_then_a_letter(h, "-directdraw", "tap", lite=True)
