"""The contestants' 3D avatars: the main menu's moves by itself, the look
editor changes it at once and the player file keeps the choice, a character
folder short of a file or holding a damaged one still runs, and both device
libraries draw it alike. Screenshots are kept beside the game folders."""
import os
import time

from harness import expect
from checks_menu import EMPTY, Game, start_menu
from checks_menus import open_players
from checks_opengl import BLOCK, Run, difference

MENU_AVATAR = (-0.08, -0.9, 0.28, 0.2)     # the figure between the wheel and the menu board
EDIT = (0.75, -0.40)                       # the player list's Edit button
EDIT_AVATAR = (-1.0, -0.5, -0.44, 0.48)    # the editor's figure
MALE = (0.28, 0.48)
FEMALE = (0.62, 0.48)
HAIR_STYLE_FAR = (0.86, 0.06)              # the hair style slider, near its far end
EDIT_OK = (0.3, -0.74)
HEAD = (-0.85, 0.18, -0.59, 0.45)            # the editor figure's head and hair


def changed_pixels(a, b, area, step=2):
    """How many pixels (every step-th in both directions) differ clearly."""
    x0, y0 = a.to_pixel(area[0], area[3])
    x1, y1 = a.to_pixel(area[2], area[1])
    n = 0
    for py in range(y0, y1, step):
        for px in range(x0, x1, step):
            p, q = a.pixel(px, py), b.pixel(px, py)
            if max(abs(p[k] - q[k]) for k in range(3)) > 24:
                n += 1
    return n


def check_avatars_menu_avatar_moves(h):
    g = start_menu(h)
    time.sleep(1.5)
    first = g.shot()
    g.save("avatar-menu.png")
    time.sleep(1.0)
    second = g.shot()
    g.save("avatar-menu-later.png")
    moved = changed_pixels(first, second, MENU_AVATAR)
    expect(moved > 20, "the main menu's avatar did not move in a second (%d pixels changed)" % moved)
    g.quit()


def appearance(h, game):
    code, out = h.playertool(game, "appearance")
    expect(code == 0 and out, "playertool appearance failed (%s): %r" % (code, out))
    return out.splitlines()[0].split()


def check_avatars_editor_changes_show_and_stay(h):
    g = start_menu(h, "Robin")
    before = appearance(h, g.dir)
    open_players(g)
    g.click(EDIT)
    time.sleep(2.0)
    g.move(EMPTY)
    time.sleep(0.5)
    start = g.shot()
    g.save("avatar-editor.png")
    # The new player's look is a random one: the other gender is chosen.
    gender = "0" if before[1] == "1" else "1"
    g.click(FEMALE if gender == "1" else MALE)
    g.move(EMPTY)
    time.sleep(1.0)
    other = g.shot()
    g.save("avatar-editor-gender.png")
    changed = changed_pixels(start, other, EDIT_AVATAR)
    expect(changed > 150, "choosing the other gender did not change the figure (%d pixels)" % changed)
    g.click(HAIR_STYLE_FAR)
    g.move(EMPTY)
    time.sleep(1.0)
    hair = g.shot()
    g.save("avatar-editor-hair.png")
    changed = changed_pixels(other, hair, HEAD)
    expect(changed > 15, "another hair style did not change the figure's head (%d pixels)" % changed)
    g.click(EDIT_OK)
    time.sleep(1.5)
    g.key("Escape")
    g.wait_menu()
    g.quit()
    after = appearance(h, g.dir)
    expect(after[1] == gender, "the saved player's gender is not the one chosen: %s" % " ".join(after))
    expect(after[2:] != before[2:], "the saved look did not change: %s" % " ".join(after))
    # A restart shows the same player.
    g = Game(h, g.dir)
    g.wait_menu()
    g.save("avatar-editor-restart.png")
    g.quit()
    expect(appearance(h, g.dir) == after, "the look changed over a restart")


def check_avatars_missing_or_damaged_character_files(h):
    game = h.fresh_game()
    h.playertool(game, "human", "Kim")
    chars = os.path.join(game, "data", "Characters")
    os.remove(os.path.join(chars, "sob.ska"))
    # The head every man wears, cut short with rubbish in it.
    with open(os.path.join(chars, "hi_m_body_head.ski"), "r+b") as f:
        size = os.path.getsize(f.name)
        f.seek(size // 3)
        f.write(b"\xff\x7f" * 64)
        f.truncate(size // 2)
    g = Game(h, game)
    g.wait_menu()
    time.sleep(2.0)
    g.save("avatar-damaged-files.png")
    h.expect_no_box()
    g.quit()


def check_avatars_drawn_alike_by_both_libraries(h):
    pictures = {}
    for library in ("-direct3d", "-opengl"):
        run = Run.__new__(Run)
        run.h, run.library = h, library
        run.dir = h.fresh_game()
        h.playertool(run.dir, "human", "Lee")
        run.proc = h.launch(run.dir, [library])
        h.find_window()
        run.xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
        run.size = h.x_geometry(run.xid)
        pictures[library] = run.settled_shots(4)
        run.save("avatar-screen%s.png" % library)
        run.quit()
    a, b = pictures["-direct3d"][0], pictures["-opengl"][0]
    expect((a.width, a.height) == (b.width, b.height), "the two libraries' windows differ in size")
    bw = a.width // BLOCK
    # The blocks of the avatar, between the wheel and the menu board. It
    # breathes and sways: a block differs when no pair of screenshots of the
    # two libraries agrees there.
    x0, x1 = int(0.48 * bw), int(0.62 * bw)
    y0, y1 = int(0.35 * (a.height // BLOCK)), int(0.95 * (a.height // BLOCK))
    d3d = [s.blocks() for s in pictures["-direct3d"]]
    gl = [s.blocks() for s in pictures["-opengl"]]
    far = [i for i in range(len(d3d[0])) if x0 <= i % bw < x1 and y0 <= i // bw < y1 and
           min(difference(p[i], q[i]) for p in d3d for q in gl) > 40]
    expect(len(far) < 0.1 * (x1 - x0) * (y1 - y0),
           "%d blocks of the avatar differ between Direct3D and OpenGL" % len(far))
