"""The OpenGL library: it starts, draws what the Direct3D library draws, and
quits cleanly. Pictures are compared as screenshots of the game window's
client area, leaving out whatever moves on its own (the wheel, the sign's
lights, a glowing button)."""
import os
import subprocess
import time

from harness import OBJDUMP, WINDOWED_SETTINGS, CheckFailed, expect, grab

VIEW_WIDTH = 2.6666665
VIEW_HEIGHT = 2.0
STAGE_FLOOR = (0.06, -0.95)   # where the pointer rests: nothing reacts there
BLOCK = 8                     # pictures are compared in blocks of 8 x 8 pixels


class Picture:
    """One screenshot of the client area, as 8-bit RGB."""

    def __init__(self, data):
        parts = data.split(b"\n", 3)
        expect(parts[0] == b"P6" and parts[2] == b"255", "the screenshot is not an 8-bit PPM image")
        self.width, self.height = map(int, parts[1].split())
        self.pixels = parts[3]

    def lit_share(self):
        """The share of pixels that are not black."""
        p = self.pixels
        lit = sum(1 for i in range(0, len(p), 3) if p[i] + p[i + 1] + p[i + 2] > 60)
        return lit / float(self.width * self.height)

    def blocks(self):
        """The mean colour of each BLOCK x BLOCK square, row by row. Averaging
        evens out the half-pixel apart that the two devices sample at."""
        w, h, p = self.width, self.height, self.pixels
        bw, bh = w // BLOCK, h // BLOCK
        sums = [[0, 0, 0] for _ in range(bw * bh)]
        for y in range(bh * BLOCK):
            row = (y // BLOCK) * bw
            base = y * w * 3
            for x in range(bw * BLOCK):
                s = sums[row + x // BLOCK]
                i = base + x * 3
                s[0] += p[i]
                s[1] += p[i + 1]
                s[2] += p[i + 2]
        n = float(BLOCK * BLOCK)
        return [(s[0] / n, s[1] / n, s[2] / n) for s in sums]


def difference(a, b):
    return max(abs(a[0] - b[0]), abs(a[1] - b[1]), abs(a[2] - b[2]))


class Run:
    """The game started with one library, up to its first drawn frames."""

    def __init__(self, h, library):
        self.h = h
        self.library = library
        self.dir = h.fresh_game(WINDOWED_SETTINGS)
        self.proc = h.launch(self.dir, [library])
        self.client = h.find_window()
        self.xid = h.wait_for(lambda: (h.x_windows() or [None])[0], 30, "the game's X window")
        self.size = h.x_geometry(self.xid)

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.h.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def rest_pointer(self):
        x, y = STAGE_FLOOR
        w, hgt = self.size
        self.xdotool("mousemove", "--window", self.xid,
                     int((x / VIEW_WIDTH + 0.5) * w), int((0.5 - y / VIEW_HEIGHT) * hgt))

    def shot(self):
        return Picture(grab(self.h.env, self.xid))

    def save(self, name):
        path = os.path.join(self.h.work, name)
        grab(self.h.env, self.xid, path)
        return path

    def settled_shots(self, count=6):
        """Screenshots 0.4 s apart, once something is on screen and the
        opening animations have run."""
        self.rest_pointer()
        self.h.wait_for(lambda: self.shot().lit_share() > 0.2, 30, "a drawn frame (%s)" % self.library)
        time.sleep(2.0)
        shots = []
        for _ in range(count):
            shots.append(self.shot())
            time.sleep(0.4)
        return shots

    def quit(self):
        self.h.close_game()
        code = self.h.wait_exit(self.proc)
        expect(code == 0, "exit code %s after WM_CLOSE (%s)" % (code, self.library))


def write_block_map(path, shot, a, b, still):
    """A picture of the block differences for a person to look at: grey
    the larger the difference, blue where the picture moves by itself."""
    bw, bh = shot.width // BLOCK, shot.height // BLOCK
    still = set(still)
    out = bytearray()
    for i in range(bw * bh):
        if i in still:
            v = min(255, int(difference(a[i], b[i]) * 8))
            out += bytes((v, v, v))
        else:
            out += bytes((0, 0, 160))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (bw, bh) + bytes(out))


def check_opengl_starts_draws_and_quits(h):
    run = Run(h, "-opengl")
    w, hgt, style, _ = run.client
    expect((w, hgt) == (800, 600), "client area is %dx%d, not 800x600" % (w, hgt))
    expect(run.size == (800, 600), "the X window is %dx%d, not 800x600" % run.size)
    expect(style & 0x00C00000 == 0x00C00000, "the windowed game has no caption (style %08x)" % style)
    h.expect_no_box("Error")
    first = run.settled_shots(1)[0]
    lit = first.lit_share()
    expect(lit > 0.5, "only %.0f%% of the OpenGL picture is drawn" % (lit * 100))
    h.expect_no_box("Error", seconds=0.5)
    expect(run.proc.poll() is None, "the game ended on its own")
    run.quit()


def check_opengl_draws_what_direct3d_draws(h):
    shots = {}
    for library in ("-direct3d", "-opengl"):
        run = Run(h, library)
        expect(run.size == (800, 600), "%s: the X window is %dx%d" % ((library,) + run.size))
        h.expect_no_box("Error", seconds=0.5)
        shots[library] = run.settled_shots()
        run.save("menu%s.png" % library)
        run.quit()
        h.reset()

    d3d = [s.blocks() for s in shots["-direct3d"]]
    gl = [s.blocks() for s in shots["-opengl"]]
    # A block that changes by itself in either library is left out, and so
    # are its neighbours (the rims of what moves).
    bw = shots["-opengl"][0].width // BLOCK
    count = len(d3d[0])
    moving = set()
    for series in (d3d, gl):
        for a, b in zip(series, series[1:]):
            moving.update(i for i in range(count) if difference(a[i], b[i]) >= 4)
    near = set()
    for i in moving:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                if 0 <= i % bw + dx < bw:
                    near.add(i + dy * bw + dx)
    still = [i for i in range(count) if i not in near]
    expect(len(still) > 0.4 * len(d3d[0]),
           "too much of the picture moves to compare (%d of %d blocks still)" % (len(still), len(d3d[0])))
    lit = [i for i in still if max(d3d[0][i]) > 20]
    expect(len(lit) > 0.3 * len(d3d[0]), "the Direct3D picture is mostly black")
    # The two devices sample half a pixel apart (Direct3D 9 puts pixel
    # centres on whole coordinates, OpenGL between them), so sharp edges
    # differ a little; anything wrong in colour, place or blending differs
    # a lot, and over many blocks.
    diffs = [difference(d3d[0][i], gl[0][i]) for i in still]
    mean = sum(diffs) / len(diffs)
    far = sum(1 for d in diffs if d > 40)
    print("    OpenGL against Direct3D: mean block difference %.2f, %d of %d blocks over 40"
          % (mean, far, len(diffs)), flush=True)
    write_block_map(os.path.join(h.work, "opengl-difference.ppm"), shots["-opengl"][0], d3d[0], gl[0], still)
    if mean >= 6.0 or far > 0.02 * len(diffs):
        raise CheckFailed("the OpenGL picture differs from the Direct3D one: mean block difference %.2f, "
                          "%d of %d blocks differ by more than 40 (see menu-opengl.png and menu-direct3d.png)"
                          % (mean, far, len(diffs)))


def check_opengl_library_exports_run_game_and_names_itself(h):
    path = os.path.join(h.game_dir, "Quorvane-GL.dll")
    expect(os.path.exists(path), "the game folder has no Quorvane-GL.dll")
    out = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True,
                         check=True).stdout
    names = []
    in_table = False
    for line in out.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            in_table = True
            continue
        if in_table:
            if not line.strip():
                break
            names.append(line.split()[-1])
    expect(names == ["RunGame"], "the OpenGL library exports %s" % names)
    dlls = {line.split(":", 1)[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line}
    expect("opengl32.dll" in dlls, "the OpenGL library does not import opengl32.dll: %s" % sorted(dlls))
    expect("d3d9.dll" not in dlls, "the OpenGL library imports d3d9.dll")
    data = open(path, "rb").read()
    expect(b"GL FPS: %.0f, FrameTime: %.0f ms, Min: %.0f ms, Max: %.0f ms" in data,
           "the frame-rate label of the OpenGL library does not say GL FPS")
    expect(b"D3D FPS:" not in data, "the OpenGL library carries the Direct3D frame-rate label")
