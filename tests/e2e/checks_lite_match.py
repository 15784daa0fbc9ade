"""A match through the Lite edition (Quorvane-DDRAW.dll, 2D through
DirectDraw), played the way a player would, as checks_match.py plays the
full edition's; the Lite's match screen stands where the full edition's
does, so places and colours are the same. Each stage leaves a screenshot
lite-match-*.png in the work folder."""
import time

from harness import expect
from checks_lite import _lite_game, _with_player
from checks_match import Match


def start_lite_quick_play(h, tag, env=None):
    game = _with_player(h, _lite_game(h))
    m = Match(h, game, "-directdraw", env)
    m.library_tag = tag
    return m


def check_lite_match_explore(h):
    m = start_lite_quick_play(h, "lite")
    time.sleep(6)
    m.keep("menu")
    from checks_menu import QUICK_PLAY
    m.click(QUICK_PLAY)
    for i in range(12):
        time.sleep(2.5)
        m.keep("t%02d" % i)
    h.expect_no_box("Error")


def check_lite_match_explore_spin(h):
    from checks_menu import QUICK_PLAY
    m = start_lite_quick_play(h, "lite")
    time.sleep(5)
    m.click(QUICK_PLAY)
    m.wait_turn(60)
    m.keep("turn")
    m.move((-0.8, -0.44))
    time.sleep(0.8)
    m.keep("gauge")
    m.press()
    time.sleep(0.2)
    m.release()
    m.move((0.3, 0.95))
    for i in range(8):
        time.sleep(0.7)
        m.keep("spin%02d" % i)
    h.expect_no_box("Error")
