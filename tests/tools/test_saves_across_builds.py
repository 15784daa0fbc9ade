#!/usr/bin/env python3
"""The settings and player files one build writes are read back whole by the
other: the 32-bit and the 64-bit build's playertool (the game's own load and
save code) write, read and rewrite the same files in turn, for the full
edition's files and the Lite's.

For each direction, the writer makes two players (one filled with every kind
of field the player file keeps) over a settings file of unusual values; the
reader must tell the same players, statistics, trophies and tour, and its
load-and-save must give the very same bytes. Then the reader adds a player
and the writer must read that back the same way."""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SETTINGS = struct.pack("<10f", 0.25, 0.75, 0.0, 1024.0, 768.0, 16.0, 75.0, 0.0, 0.375, 0.625)
READS = ("show", "appearance", "trip", "trophies")


class Build:
    def __init__(self, name, tool, wine, prefix, game):
        self.name, self.tool, self.wine, self.game = name, os.path.abspath(tool), wine, os.path.abspath(game)
        self.env = dict(os.environ, WINEPREFIX=os.path.abspath(prefix), WINELOADER=wine, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d")
        self.env.pop("WINEARCH", None)

    def run(self, folder, lite, *args):
        cmd = [self.wine, self.tool, windows_path(folder)] + (["-lite"] if lite else []) + list(args)
        with tempfile.TemporaryFile(mode="w+") as out:
            r = subprocess.run(cmd, cwd=self.game, env=self.env, stdin=subprocess.DEVNULL,
                               stdout=out, stderr=subprocess.DEVNULL, timeout=120)
            out.seek(0)
            text = out.read().replace("\r\n", "\n").strip()
        if r.returncode != 0:
            raise Failure("%s playertool %s: exit %d" % (self.name, " ".join(args), r.returncode))
        return text


class Failure(Exception):
    pass


def windows_path(folder):
    return "Z:" + folder.replace("/", "\\") + "\\"


def files(folder, lite):
    names = ("Quorvane Lite.set", "Quorvane Lite.gam") if lite else ("Quorvane.set", "Quorvane.gam")
    out = {}
    for n in names:
        with open(os.path.join(folder, n), "rb") as f:
            out[n] = f.read()
    return out


def one_way(writer, reader, folder, lite):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "Quorvane Lite.set" if lite else "Quorvane.set"), "wb") as f:
        f.write(SETTINGS)
    writer.run(folder, lite, "human", "Odile", "female")
    writer.run(folder, lite, "opponents", "1", "2")
    writer.run(folder, lite, "human", "Bertrand")
    writer.run(folder, lite, "puzzles", "5", "3")
    writer.run(folder, lite, "sample")
    written = files(folder, lite)
    if written[next(iter(written))] != SETTINGS:
        raise Failure("%s changed the settings it loaded" % writer.name)
    seen = {c: writer.run(folder, lite, c) for c in READS}
    if seen["show"].count("\n") != 1 or "Five cities" not in seen["trip"]:
        raise Failure("%s did not write what it was asked to: %r" % (writer.name, seen))

    read_back_whole(reader, writer, folder, lite, seen, written)
    # And back: the reader adds a player, the writer reads it whole.
    reader.run(folder, lite, "human", "Cyprien")
    read_back_whole(writer, reader, folder, lite, {c: reader.run(folder, lite, c) for c in READS},
                    files(folder, lite))


def read_back_whole(reader, writer, folder, lite, seen, written):
    """The reader tells what the writer told of its files, and its load and
    save gives back their very bytes."""
    for c in READS:
        got = reader.run(folder, lite, c)
        if got != seen[c]:
            raise Failure("%s reads '%s' of %s's files as %r, not %r" % (reader.name, c, writer.name, got, seen[c]))
    reader.run(folder, lite, "resave")
    if files(folder, lite) != written:
        raise Failure("%s's load and save of %s's files changed their bytes" % (reader.name, writer.name))


def main():
    ap = argparse.ArgumentParser()
    for arch in ("32", "64"):
        ap.add_argument("--tool" + arch, required=True)
        ap.add_argument("--wine" + arch, required=True)
        ap.add_argument("--prefix" + arch, required=True)
    ap.add_argument("--game", required=True, help="a game folder (its Quorvane.ai and Quorvane Lite.ai)")
    args = ap.parse_args()
    b32 = Build("32-bit", args.tool32, args.wine32, args.prefix32, args.game)
    b64 = Build("64-bit", args.tool64, args.wine64, args.prefix64, args.game)
    work = tempfile.mkdtemp(prefix="qv-saves-")
    failed = 0
    try:
        for lite in (False, True):
            for writer, reader in ((b32, b64), (b64, b32)):
                what = "%s files, written by the %s build, read by the %s build" % (
                    "Lite" if lite else "full edition", writer.name, reader.name)
                try:
                    one_way(writer, reader, os.path.join(work, "data"), lite)
                    print("[ PASS ] " + what, flush=True)
                except (Failure, subprocess.TimeoutExpired, OSError) as e:
                    failed += 1
                    print("[ FAIL ] %s: %s" % (what, e), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
