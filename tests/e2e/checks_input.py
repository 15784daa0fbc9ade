"""Input that arrives all at once, as a touchpad tap, a remote desktop or a
fast typist sends it: a press and its release within one frame still count."""
import time

from checks_menu import OPTIONS, menu_showing, options_open, start_menu
from harness import expect


def check_instant_click_opens_options_and_instant_key_closes_them(h):
    g = start_menu(h)
    g.move(OPTIONS)
    time.sleep(0.4)
    g.xdotool("click", 1)  # press and release with nothing between them
    g.wait_shot(options_open, 10, "the options window after an instant click")
    time.sleep(0.5)
    g.xdotool("key", "Escape")  # likewise for a key
    s = g.wait_shot(lambda s: menu_showing(s) and not options_open(s), 10, "the menu after an instant Escape")
    expect(menu_showing(s), "the menu is not back")
    g.quit()
