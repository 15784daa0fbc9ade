"""End-to-end harness: runs the real game under Wine on a private X display.

Each check gets a fresh copy of the game folder and of the shared data
folder; the Wine prefix and the X server are made once per run.
"""
import contextlib
import os
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time

DATA_FOLDER = ("drive_c", "ProgramData", "Tarrowick", "Quorvane Vellumine")
WINDOW_TITLE = "Quorvane Vellumine"
# The Wine loader of the build under test and the kind of prefix it needs
# (the 64-bit build runs under Wine's 64-bit loader alone, in a win64 prefix).
WINE = os.environ.get("QV_WINE") or "/usr/lib/wine/wine"
WINEARCH = os.environ.get("QV_WINEARCH") or "win32"
# The MinGW objdump for x86-64 reads 32-bit and 64-bit Windows programs alike.
OBJDUMP = "x86_64-w64-mingw32-objdump"
WINDOWED_SETTINGS = (0.5, 0.5, 0.0, 800.0, 600.0, 32.0, 60.0, 1.0, 0.5, 0.0)


class CheckFailed(AssertionError):
    pass


def grab(env, window, out="ppm:-"):
    """A picture of an X window by ImageMagick's import: the bytes of an
    8-bit PPM for "ppm:-", else written to the file out. import now and then
    never returns on a busy machine: each try has a time limit."""
    args = ["import", "-window", window] + (["-depth", "8", out] if out == "ppm:-" else [out])
    for _ in range(3):
        try:
            r = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=20)
        except subprocess.TimeoutExpired:
            continue
        if r.returncode == 0:
            return r.stdout
    raise CheckFailed("no picture of window %s: import failed or did not answer three times" % window)


def expect(cond, message):
    if not cond:
        raise CheckFailed(message)


def pack_settings(values):
    return struct.pack("<10f", *values)


class Harness:
    def __init__(self, game_dir, work_dir, wintool):
        self.game_dir = os.path.abspath(game_dir)
        self.work = os.path.abspath(work_dir)
        self.wintool_path = wintool
        os.makedirs(self.work, exist_ok=True)
        self.home = os.path.join(self.work, "home")
        os.makedirs(self.home, exist_ok=True)
        # DirectSound needs an ALSA device: a null default PCM is enough.
        alsa_conf = os.path.join(self.work, "alsa-null.conf")
        with open(alsa_conf, "w") as f:
            f.write("</usr/share/alsa/alsa.conf>\npcm.!default { type null }\n")
        self.prefix = os.path.join(self.work, "wineprefix")
        self.env = dict(os.environ)
        self.env.update({
            "HOME": self.home,
            "ALSA_CONFIG_PATH": alsa_conf,
            "WINEPREFIX": self.prefix,
            "WINEARCH": WINEARCH,
            "WINELOADER": WINE,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d",
            # Every start of the game has the developer keys (the checks
            # hurry matches along with them); a check that plays a player's
            # game takes the switch away (launch with None for it).
            "QUORVANE_DEVELOPER": "1",
        })
        self.xvfb = None
        self.xvfb16 = None  # a second display at 16 bits, made when first asked for
        self.procs = []
        self.counter = 0

    # -- set-up ----------------------------------------------------------
    def start(self):
        self._start_xvfb()
        # Whatever an interrupted earlier run left in this prefix goes first.
        self._wineserver("-k")
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run([WINE, "wineboot.exe", "-i"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        self._wineserver("-w", timeout=120)
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            raise RuntimeError("Wine made no prefix at " + self.prefix)
        self._start_wineserver()

    def _wineserver(self, *args, timeout=60):
        """Runs wineserver with a time limit; a wineserver that does not
        answer in time is left to the next call."""
        try:
            subprocess.run(["wineserver"] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)
        except subprocess.TimeoutExpired:
            pass

    def _start_wineserver(self):
        """One wineserver for the whole run, with Wine's own services already
        started: a process that starts them hands them its output pipes, and
        a reader of those pipes would then wait for the services to end."""
        self._wineserver("-p")
        subprocess.run([WINE, "cmd.exe", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def _start_xvfb(self, depth=24):
        """Starts a private X display at this depth; with 24 it becomes the
        run's display, with any other depth it is only returned. Xvfb picks
        a free display number itself (-displayfd), so that runs started side
        by side never share one."""
        read_end, write_end = os.pipe()
        try:
            proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x%d" % depth,
                                     "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    pass_fds=(write_end,))
        finally:
            os.close(write_end)
        number = b""
        end = time.time() + 30
        with os.fdopen(read_end, "rb") as pipe:
            while time.time() < end and not number.endswith(b"\n"):
                ready, _, _ = select.select([pipe], [], [], 0.5)
                if ready:
                    got = os.read(pipe.fileno(), 16)
                    if not got:
                        break
                    number += got
        if proc.poll() is not None or not number.strip().isdigit():
            proc.kill()
            raise RuntimeError("could not start Xvfb")
        display = ":%d" % int(number)
        if depth != 24:
            return proc, display
        self.xvfb = proc
        self.env["DISPLAY"] = display

    def _use_display(self, display):
        """Moves Wine to another X display: the wineserver and whatever runs
        are ended first, since Wine learns the screen's depth when it starts."""
        for p in self.procs:
            if p.poll() is None:
                p.kill()
        self.procs = []
        self._wineserver("-k")
        self._wineserver("-w")
        self.env["DISPLAY"] = display
        self._start_wineserver()

    @contextlib.contextmanager
    def display_depth(self, depth):
        """Runs the block with the game on a private X display of this depth
        (16 or 24 bits), then goes back to the run's own display."""
        if depth == 24:
            yield
            return
        if self.xvfb16 is None:
            self.xvfb16 = self._start_xvfb(16)
        own = self.env["DISPLAY"]
        self._use_display(self.xvfb16[1])
        try:
            yield
        finally:
            self._use_display(own)

    def reset(self):
        """Ends whatever a check left running."""
        if any(p.poll() is None for p in self.procs):
            self._wineserver("-k")
            for p in self.procs:
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
            self._start_wineserver()
        self.procs = []

    def stop(self):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
        self._wineserver("-k")
        for xvfb in (self.xvfb, self.xvfb16 and self.xvfb16[0]):
            if xvfb:
                xvfb.send_signal(signal.SIGTERM)
                xvfb.wait(timeout=10)

    # -- folders ---------------------------------------------------------
    def data_dir(self):
        return os.path.join(self.prefix, *DATA_FOLDER)

    def fresh_game(self, settings=WINDOWED_SETTINGS):
        """A private copy of the game folder and an empty data folder.

        settings: the values seeded into the data folder's .set file, or None
        for no file at all."""
        self.counter += 1
        dest = os.path.join(self.work, "game-%d" % self.counter)
        shutil.rmtree(dest, ignore_errors=True)
        shutil.copytree(self.game_dir, dest)
        data = self.data_dir()
        shutil.rmtree(data, ignore_errors=True)
        os.makedirs(data)
        if settings is not None:
            with open(os.path.join(data, "Quorvane.set"), "wb") as f:
                f.write(pack_settings(settings))
        return dest

    # -- running ---------------------------------------------------------
    def launch(self, game, args=(), env=None):
        """Starts the launcher in a game folder; env adds to the environment
        (a name given None is taken out of it)."""
        run_env = {k: v for k, v in dict(self.env, **(env or {})).items() if v is not None}
        p = subprocess.Popen([WINE, "Quorvane.exe"] + list(args), cwd=game, env=run_env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def wintool(self, *args):
        # Output goes through a file, not a pipe: Wine may start a service of
        # its own from this process, and that would hold a pipe open.
        with tempfile.TemporaryFile(mode="w+") as out:
            r = subprocess.run([WINE, self.wintool_path] + list(args), env=self.env,
                               stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                               timeout=60)
            out.seek(0)
            return r.returncode, out.read().strip()

    def playertool(self, game, *args):
        """Runs playertool.exe (beside wintool.exe) in the game folder on the
        data folder: writes or reads the player file through the game's own
        code. Returns (exit code, output)."""
        tool = os.path.join(os.path.dirname(self.wintool_path), "playertool.exe")
        folder = "C:\\ProgramData\\" + "\\".join(DATA_FOLDER[2:]) + "\\"
        with tempfile.TemporaryFile(mode="w+") as out:
            r = subprocess.run([WINE, tool, folder] + list(args), cwd=game, env=self.env,
                               stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                               timeout=60)
            out.seek(0)
            return r.returncode, out.read().strip()

    def wait_for(self, fn, timeout, what):
        end = time.time() + timeout
        while time.time() < end:
            v = fn()
            if v:
                return v
            time.sleep(0.25)
        raise CheckFailed("timed out waiting for " + what)

    def find_window(self, title=WINDOW_TITLE, timeout=60):
        """Waits for a top-level window; returns (client w, client h, style, exstyle)."""
        def look():
            rc, out = self.wintool("find", title)
            if rc == 0 and out.startswith("found"):
                parts = out.split()
                return int(parts[1]), int(parts[2]), int(parts[3], 16), int(parts[4], 16)
            return None
        return self.wait_for(look, timeout, "window '%s'" % title)

    def x_windows(self, title=WINDOW_TITLE):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                           env=self.env, capture_output=True, text=True)
        return [w for w in r.stdout.split() if w]

    def x_geometry(self, xid):
        r = subprocess.run(["xdotool", "getwindowgeometry", "--shell", xid], env=self.env,
                           capture_output=True, text=True)
        geo = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
        return int(geo.get("WIDTH", 0)), int(geo.get("HEIGHT", 0))

    def read_box(self, caption="Error", timeout=60):
        """Waits for a message box, returns its text and presses OK."""
        def look():
            rc, out = self.wintool("box", caption)
            return out if rc == 0 else None
        # Wait for the box itself first, then read it.
        self.find_window(caption, timeout)
        return self.wait_for(look, 10, "message box text")

    def expect_no_box(self, caption="Error", seconds=1.5):
        """Fails when a message box with this caption shows up meanwhile."""
        end = time.time() + seconds
        while True:
            rc, _ = self.wintool("find", caption)
            if rc == 0:
                rc2, text = self.wintool("box", caption)
                raise CheckFailed("unexpected '%s' box: %r" % (caption, text))
            if time.time() >= end:
                return
            time.sleep(0.25)

    def close_game(self, title=WINDOW_TITLE):
        rc, _ = self.wintool("close", title)
        expect(rc == 0, "could not post WM_CLOSE to '%s'" % title)

    def wait_exit(self, proc, timeout=60):
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            raise CheckFailed("the game did not end within %d s" % timeout)

    def screenshot(self, path):
        grab(self.env, "root", path)
        return path
