#!/usr/bin/env python3
"""Seed corpora for the fuzz targets, made from the game's own content: the
generated data of the build, the content sources, and the save files that
the tests left behind.

Usage: make_seeds.py ROOT WIN_BUILD GAME_DIR OUT"""
import glob
import io
import os
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile


def put(out, target, name, data):
    d = os.path.join(out, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def small_manifest(path):
    """The manifest's structure with a few files of each of its first groups."""
    root = ET.parse(path).getroot()
    for group in list(root)[4:]:
        root.remove(group)
    for group in root:
        for f in list(group)[3:]:
            group.remove(f)
    return ET.tostring(root)


def main():
    # The source tree, one Windows build's tree, its game folder, the output.
    root, win_build, game, out = sys.argv[1:5]
    build = os.path.dirname(os.path.abspath(win_build))
    content = os.path.join(win_build, "generated", "content")

    # The manifest: the source, the generated one cut down, and a bare one.
    put(out, "manifest", "source.xml", read(os.path.join(root, "content", "manifest.xml")))
    if os.path.exists(os.path.join(game, "Quorvane.xml")):
        put(out, "manifest", "generated.xml", small_manifest(os.path.join(game, "Quorvane.xml")))
    put(out, "manifest", "bare.xml", b'<manifest res_path="data/" dat_path="x.dat"><group path="a/">'
        b'<file label="GUI" path="gui.xml"/></group></manifest>')

    # The archive: stored entries under the paths the archive target names,
    # holding the heads of real files.
    names = ["gui/gui.xml", "text/text.xml", "a", "images/button.png", "models/button.mdl",
             "audio/p_aud_clap_6.ogg"]
    sources = [os.path.join(content, n) for n in names]
    for variant in range(3):
        buf = io.BytesIO()
        with zipfile.ZipFile(buf, "w", zipfile.ZIP_STORED) as z:
            for i, (name, src) in enumerate(zip(names, sources)):
                if variant == 1 and i % 2:
                    continue
                data = read(src)[:300] if os.path.exists(src) else name.encode() * 3
                z.writestr(name, data)
            if variant == 2:
                z.writestr("images/", b"")
        put(out, "archive", "archive%d.zip" % variant, buf.getvalue())

    # Images: the small ones as they are; every one cut down to a few pixels
    # in the kinds of PNG and JPEG the decoders meet.
    images = sorted(glob.glob(os.path.join(content, "images", "*.png")) +
                    glob.glob(os.path.join(content, "images", "*.jpg")))
    for path in images:
        base = os.path.basename(path)
        if os.path.getsize(path) < 32 * 1024:
            put(out, "texture", base, read(path))
    if images:
        src = images[0]
        kinds = [("rgba.png", ["-resize", "7x5!"]), ("palette.png", ["-resize", "6x6!", "-colors", "8", "PNG8:"]),
                 ("gray.png", ["-resize", "5x9!", "-colorspace", "Gray"]),
                 ("interlaced.png", ["-resize", "9x4!", "-interlace", "PNG"]),
                 ("deep.png", ["-resize", "3x3!", "-depth", "16"]),
                 ("plain.jpg", ["-resize", "8x8!", "-quality", "60"]),
                 ("progressive.jpg", ["-resize", "10x6!", "-interlace", "JPEG"]),
                 ("gray.jpg", ["-resize", "6x6!", "-colorspace", "Gray"]),
                 ("cmyk.jpg", ["-resize", "4x4!", "-colorspace", "CMYK"])]
        for name, args in kinds:
            fmt = "PNG8:" if "PNG8:" in args else ""
            args = [a for a in args if a != "PNG8:"]
            dest = os.path.join(out, "texture", name)
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            subprocess.run(["convert", src] + args + [fmt + dest], check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # Model packs, as made by the build.
    for path in sorted(glob.glob(os.path.join(content, "models", "*.mdl"))):
        put(out, "model", os.path.basename(path), read(path))

    # Skeletal records (skeletons, animations, skins: a few of each) and the
    # character document, as qvcharacter wrote them.
    chars = os.path.join(game, "data", "Characters")
    for pattern, most in (("*.ske", 2), ("*.ska", 4), ("*.ski", 6), ("*.skc", 2)):
        for path in sorted(glob.glob(os.path.join(chars, pattern)))[:most]:
            put(out, "skeletal", os.path.basename(path), read(path))
    # Records follow one another in one input: a whole small body.
    whole = [os.path.join(chars, n) for n in ("hi_skeleton.ske", "hi_m_body_head.ski", "hi_m_body_hands.ski",
                                              "hi_m_body_torso.ski", "clap.ska")]
    if all(os.path.exists(p) for p in whole):
        put(out, "skeletal", "body.rec", b"".join(read(p) for p in whole))

    # The game's own documents and a few puzzles.
    for name in ("game.xml", "trophies.xml"):
        put(out, "documents", name, read(os.path.join(root, "content", "game", name)))
    for path in sorted(glob.glob(os.path.join(content, "puzzles", "*.xml")))[:6]:
        put(out, "documents", os.path.basename(path), read(path))

    # The sound catalogue and the smallest sounds.
    catalogue = os.path.join(content, "audio", "catalogue.xml")
    if os.path.exists(catalogue):
        put(out, "documents", "catalogue.xml", read(catalogue))
    sounds = sorted(glob.glob(os.path.join(content, "audio", "*.ogg")), key=os.path.getsize)
    for path in sounds[:6]:
        put(out, "sound", os.path.basename(path), read(path))

    # The interface documents: the text table with its fonts, and the GUI.
    for name in ("text/text.xml", "gui/gui.xml"):
        path = os.path.join(content, name)
        if os.path.exists(path):
            put(out, "interface", os.path.basename(path), read(path))
    put(out, "interface", "small.xml", b"<gui start_screen='a'><screen name='a' start_window='w'>"
        b"<button name='b' OnPress='OpenWindow(w)'/><edit name='e' max_len='4'/></screen>"
        b"<window name='w'><check name='c' OnCheck='CloseWindow()'/><list name='l' scroll='w.s'/>"
        b"<scroll name='s' jump='0.5'/><key name='k' value='28' OnPress='CloseWindow()'/></window></gui>")

    # Save files: settings, players and the computer contestants in one
    # input, from whatever the tests wrote.
    ai = read(os.path.join(game, "Quorvane.ai")) if os.path.exists(os.path.join(game, "Quorvane.ai")) else b""
    games = []
    for pattern in (os.path.join(win_build, "e2e/*/wineprefix/drive_c/ProgramData/*/*/Quorvane.gam"),
                    os.path.join(build, "wineprefix-test*/drive_c/users/*/Temp/*/Quorvane.gam")):
        games += glob.glob(pattern)
    games = sorted(games, key=os.path.getsize, reverse=True)[:4]
    seen = set()
    for i, gam in enumerate(games):
        settings = os.path.join(os.path.dirname(gam), "Quorvane.set")
        s = read(settings) if os.path.exists(settings) else b""
        seed = s + b"\n--\n" + read(gam) + b"\n--\n" + ai
        if seed not in seen:
            seen.add(seed)
            put(out, "saves", "saved%d" % i, seed)
    put(out, "saves", "computers", b"\n--\n\n--\n" + ai)


if __name__ == "__main__":
    main()
