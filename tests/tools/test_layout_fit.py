#!/usr/bin/env python3
"""The match screen's texts and windows measured on their sources, in both
editions: a text's width from its font's glyph widths (the "TEXT" documents
that qvfont made), against the box of the picture it stands in (the models,
the Lite's baked sprites and the images' own frames). What the game fills in
is measured at its widest: the longest name the name field takes and the
largest sums. The end-to-end check checks_text_fit.py looks at the same
places on screen."""
import argparse
import html
import math
import os
import re
import sys
import unittest
import xml.etree.ElementTree as ET

CONTENT = None
TEXT_DOCS = {}          # edition -> the TEXT document qvfont wrote
EDITIONS = ("full", "lite")

# The Lite draws 1:1 on its 800 x 600 screen: a view unit is 300 pixels.
LITE_PIXELS_PER_UNIT = 300.0
# The widest name the new player's window takes (its field's max_len, read
# below) is made of the widest letter.
WIDE_LETTER = "W"
# Sums at their widest: a round's money, a match total, the bonus prize.
ROUND_MONEY = "88,888"
MATCH_MONEY = "288,888"
BONUS_PRIZE = "100,000"
PODIUM_SUM = "$99,999"      # every podium sum up to this one at full size
# What the game writes into the windows' empty texts, at its widest (the
# name is added below): a match's money, the all-time winnings of a
# player past the biggest money trophy, a road trip's place ("%i of %i").
DYNAMIC = {
    ("PLAYER_STATS", "MONEY"): ["$" + MATCH_MONEY],
    ("PLAYER_STATS", "ROUNDS"): ["9"],
    ("PLAYER_STATS", "TIME"): ["59:59"],
    ("PLAYER_STATS", "ROAD_TRIP"): ["7 {OF} 7"],
    ("PLAYER_STATS", "WINNINGS"): ["$10,000,000"],
    ("PLAYER_STATS", "OUTCOME"): ["{LOST_THE_GAME}", "{ADVANCE_TO_TIEBREAK}", "{ADVANCE_TO_BONUS}", "{WON_THE_GAME}"],
    ("WIN_ROUND_JACKPOT", "JACKPOT_AMOUNT"): ["$" + ROUND_MONEY],
    ("WIN_ROUND_JACKPOT", "PLAYER_TOTAL"): ["$" + MATCH_MONEY],
    ("BONUS_SHOW_MONEY", "AMOUNT"): ["$" + BONUS_PRIZE],
}
# A text "fits" with a pixel to spare: the game measures in floats.
FIT_MARGIN = 0.002
# The windows' panels (images/panel.img): the corner cell is 64 px of the
# image, the inner gold line ends 22 px in.
PANEL_RIM = 22.0 / 64.0
# The match screen and the windows that open over it or from the menu to
# tell how to play, who made it, and a match's results.
MATCH_CONTAINERS = ("ROUND_WND", "PAUSE", "TOSSUP_INSTRUCTIONS", "FREE_SPIN_ASK", "POPUP_ONLY_VOWELS", "PLAYERS_ERROR",
                    "POPUP_ONLY_CONSONANTS", "START_TOSSUP1000", "WIN_ROUND", "WIN_ROUND_JACKPOT", "RED_WIN_ROUND",
                    "YELLOW_WIN_ROUND", "BLUE_WIN_ROUND", "GAME_WIN", "PLAYER_STATS", "JACKPOT_ASK", "MISTERY_ASK",
                    "START_TIEBREAK", "BONUS_CHOOSE_LETTERS", "START_BONUSROUND", "BONUS_SHOW_MONEY", "START_ROUND1",
                    "START_JACKPOTROUND", "START_MISTERYROUND", "INGAME_MENU", "START_TOSSUP2000", "EXIT_CONFIRM",
                    "INGAME_OPTIONS", "INSTRUCTIONS", "CREDITS", "POTD_PLAYED", "TOUR_COMPLETE", "NEW_HIGH_SCORE",
                    "TROPHY_WON")


def num(v):
    if "/" in v:
        a, b = v.split("/")
        return float(a) / float(b)
    return float(v)


def vec(text, n=3):
    v = [float(x) for x in (text or "0,0,0").split(",")]
    return (v + [0.0] * n)[:n]


def read_fonts(text_doc, fonts_xml):
    """name -> glyph widths and spacing in view units, line height."""
    pixels = {f.get("name"): float(f.get("pixels")) for f in ET.parse(fonts_xml).getroot().iter("font")}
    with open(text_doc) as f:
        text = f.read()
    fonts = {}
    for m in re.finditer(r'<font\s+name="(\w+)"\s+size="([\d.]+)"\s+texture="\w+"\s+chars="([^"]*)"\s+'
                         r'chars_width="([^"]*)"\s+chars_dist="(-?\d+)"', text):
        name, size, chars, widths, dist = m.groups()
        chars = html.unescape(chars)
        ws, prev = [], 0
        for v in widths.split(","):
            v = int(v)
            if v < 0:
                ws += [prev] * -v
            else:
                ws.append(v)
                prev = v
        fonts[name] = {"pixels": pixels[name], "size": float(size), "widths": dict(zip(chars, ws)), "dist": int(dist)}
    return fonts


def read_texts(path):
    with open(path) as f:
        root = ET.fromstring("<r>" + re.sub(r"<\?xml[^>]*\?>", "", f.read()) + "</r>")
    texts = {}
    for t in root.iter("text"):
        texts[t.get("name")] = [t.get("value")] if t.get("value") is not None else \
            [line.get("value") for line in t.findall("line")]
    return texts


def read_models(folder):
    """label -> {"output": pack file, "boxes": part -> (x0, y0, x1, y1),
    "quads": define -> quads}; a disc counts as its square."""
    models = {}
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".model"):
            continue
        label = output = part = None
        defines, current, parts = {}, None, {}
        with open(os.path.join(folder, name)) as f:
            for line in f:
                w = line.split("#")[0].split()
                if not w:
                    continue
                if w[0] == "label":
                    label = w[1]
                elif w[0] == "output":
                    output = w[1]
                elif w[0] == "define":
                    current = defines.setdefault(w[1], [])
                elif w[0] == "end":
                    current = None
                elif w[0] == "quad" and current is not None:
                    uv = [num(v) for v in w[w.index("uv") + 1:w.index("uv") + 5]] if "uv" in w else [0.0] * 4
                    current.append(tuple(num(v) for v in w[1:5]) + tuple(uv))
                elif w[0] == "disc" and current is not None:
                    x, y, r = num(w[1]), num(w[2]), num(w[5])
                    current.append((x - r, y - r, x + r, y + r))
                elif w[0] == "part":
                    part = parts.setdefault(w[1], set())
                elif w[0] == "frame" and part is not None:
                    part.add(w[1])
        boxes = {}
        for pname, frames in parts.items():
            quads = [q for fr in frames for q in defines.get(fr, [])]
            if quads:
                boxes[pname] = (min(min(q[0], q[2]) for q in quads), min(min(q[1], q[3]) for q in quads),
                                max(max(q[0], q[2]) for q in quads), max(max(q[1], q[3]) for q in quads))
        models[label] = {"output": output, "boxes": boxes, "quads": defines}
    return models


def read_sprites(path):
    """The Lite's sprite label -> its model's pack and the scale baked in."""
    sprites = {}
    with open(path) as f:
        for line in f:
            w = line.split("#")[0].split()
            if len(w) < 5 or w[0] != "sprite":
                continue
            s = a = 1.0
            for i in range(5, len(w) - 1):
                if w[i] == "scale":
                    s = float(w[i + 1])
                elif w[i] == "aspect":
                    a = float(w[i + 1])
            sprites[w[1]] = {"pack": w[2], "scale": s, "aspect": a}
    return sprites


def read_gui(folder):
    """Container name -> {control name -> element} of a GUI document."""
    containers = {}
    for inc in ET.parse(os.path.join(folder, "gui.xml")).getroot().iter("include"):
        for c in ET.parse(os.path.join(folder, inc.get("path"))).getroot():
            containers[c.get("name")] = {el.get("name"): el for el in c}
    return containers


def image_frame(path, section):
    """The frame a picture's text stands in: in the image source, the first
    outlined shape ("line=") after the comment that starts with section,
    less its outline: (x0, y0, x1, y1) in the image's pixels."""
    with open(path) as f:
        lines = f.read().splitlines()
    start = next(i for i, l in enumerate(lines) if l.startswith("#") and section in l)
    for l in lines[start + 1:]:
        m = re.match(r"round (\d+) (\d+) (\d+) (\d+) \d+ line=([\d.]+)", l)
        if m:
            x, y, w, h, t = (float(v) for v in m.groups())
            return (x + t, y + t, x + w - t, y + h - t)
    raise AssertionError("no outlined frame after '%s' in %s" % (section, path))


def image_size(path):
    with open(path) as f:
        m = re.search(r"^size (\d+) (\d+)", f.read(), re.M)
    return int(m.group(1)), int(m.group(2))


def inside(a, b, margin=0.0):
    return (a[0] >= b[0] + margin - 1e-6 and a[1] >= b[1] + margin - 1e-6 and
            a[2] <= b[2] - margin + 1e-6 and a[3] <= b[3] - margin + 1e-6)


def overlap(a, b):
    return a[0] < b[2] - 1e-6 and b[0] < a[2] - 1e-6 and a[1] < b[3] - 1e-6 and b[1] < a[3] - 1e-6


def fmt(box):
    return "(%s)" % ", ".join("%.3f" % v for v in box)


class Edition:
    """One edition's documents, fonts and pictures."""

    def __init__(self, name):
        self.name = name
        self.lite = name == "lite"
        fonts_xml = os.path.join(CONTENT, "lite", "fonts.xml") if self.lite else os.path.join(CONTENT, "text", "fonts.xml")
        self.fonts = read_fonts(TEXT_DOCS[name], fonts_xml)
        self.texts = read_texts(os.path.join(CONTENT, "text", "texts.xml"))
        self.models = read_models(os.path.join(CONTENT, "models"))
        self.packs = {m["output"]: m for m in self.models.values()}
        self.sprites = read_sprites(os.path.join(CONTENT, "lite", "sprites.txt")) if self.lite else {}
        self.gui = read_gui(os.path.join(CONTENT, "lite", "gui") if self.lite else os.path.join(CONTENT, "gui"))

    # -- pictures ------------------------------------------------------------
    def model_and_scale(self, el):
        """The control's model and the scale it is drawn at (across, up)."""
        label = el.get("model")
        if self.lite:
            sprite = self.sprites.get(label)
            if not sprite:
                raise AssertionError("the Lite has no sprite %s" % label)
            return self.packs[sprite["pack"]], sprite["scale"] * sprite["aspect"], sprite["scale"]
        s = float(el.get("scale", 1))
        return self.models[label], s * float(el.get("aspect", 1)), s

    def box(self, el, part="body", quads=None):
        """The box (view units) of a control's part, or of the union of the
        given quads of its model (model units)."""
        model, sx, sy = self.model_and_scale(el)
        b = quads or model["boxes"][part]
        x, y, _ = vec(el.get("pos"))
        return (x + b[0] * sx, y + b[1] * sy, x + b[2] * sx, y + b[3] * sy)

    def control(self, container, name):
        el = self.gui[container].get(name)
        if el is None:
            raise AssertionError("%s has no control %s" % (container, name))
        return el

    # -- text ----------------------------------------------------------------
    def font(self, el):
        return self.fonts[el.get("font")]

    def text_scale(self, el):
        """The text's scale across and up: the control's in the full
        edition; 1 in the Lite, which never scales a text."""
        if self.lite:
            return 1.0, 1.0
        s = float(el.get("scale", 1))
        return s * float(el.get("aspect", 1)), s

    def width(self, el, text):
        """A line's width in view units as the game measures it."""
        f = self.font(el)
        px = sum(f["widths"].get(c, 0) for c in text) + f["dist"] * (len(text) - 1) if text else 0
        across, _ = self.text_scale(el)
        if self.lite:
            return px / LITE_PIXELS_PER_UNIT
        return px / f["pixels"] * f["size"] * across

    def line_height(self, el):
        f = self.font(el)
        _, up = self.text_scale(el)
        return f["pixels"] / LITE_PIXELS_PER_UNIT if self.lite else f["size"] * up

    def step(self, el):
        return self.line_height(el) * float(el.get("spacing", 1))

    def wrap(self, el, line):
        """The lines the control wraps line into ("line_len")."""
        limit = float(el.get("line_len", 0))
        if limit <= 0:
            return [line]
        out, current = [], ""
        for word in line.split():
            joined = current + " " + word if current else word
            if not current or self.width(el, joined) <= limit:
                current = joined
            else:
                out.append(current)
                current = word
        return out + [current]

    def fits_unshrunk(self, el, line):
        """True when the line is drawn at its full size and whole: within the
        control's "fit" width when it has one."""
        fit = float(el.get("fit", 0))
        return fit <= 0 or self.width(el, line) <= fit - FIT_MARGIN

    def text(self, key):
        lines = self.texts.get(key)
        if lines is None:
            raise AssertionError("no text %s in the text table" % key)
        return lines


class LayoutTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.editions = [Edition(name) for name in EDITIONS]
        field = read_gui(os.path.join(CONTENT, "gui"))["ENTER_NAME"]["EDIT_NAME"]
        cls.widest_name = WIDE_LETTER * int(field.get("max_len"))

    # ---- the host's lines on the status bar ----------------------------------
    def host_lines(self, e):
        """Every line the host can show, at its widest (the formats of the
        game's host messages, with the widest name and sums)."""
        t = lambda key, i=0: e.text(key)[i] or ""
        n = self.widest_name
        lines = []
        for key, value in e.texts.items():
            if key.startswith(("MSGH_", "MSG_PLAY_", "MSG_LOST_ROUND")) and len(value) == 1:
                lines.append(value[0])
            if key.startswith("MSGC_") and len(value) == 1:
                lines.append("%s %s" % (n, value[0]))
        lines += [
            "%s %s $%s" % (n, t("MSG_WIN_ROUND_1_SCORE"), ROUND_MONEY),
            "%s %s $%s %s $%s" % (n, t("MSG_WON"), ROUND_MONEY, t("MSG_WIN_ROUND_SCORE"), MATCH_MONEY),
            "%s %s $%s %s $%s %s" % (n, t("MSG_WON"), BONUS_PRIZE, t("MSG_WIN_BONUS_SCORE_1"), MATCH_MONEY,
                                     t("MSG_WIN_BONUS_SCORE_2")),
            "%s $10,000. %s %s" % (t("MSG_LANDED_ON"), n, t("MSGC_SHOULD_PICK_CONSONANT")),
            "%s $10,000. %s" % (t("MSG_LANDED_ON"), t("MSGH_PICK_CONSONANT")),
            "%s%s%s %s %s" % (t("MSG_WRONG_LETTER"), WIDE_LETTER, t("MSG_WRONG_LETTER", 1), n, t("MSGC_HAVE_LOST_TURN")),
            "%s%i %s%s for $%s." % (t("MSG_CORECT_LETTERS"), 9, WIDE_LETTER, t("MSG_CORECT_LETTERS", 1), ROUND_MONEY),
            "%s %s %s" % (t("MSG_SOLVE_TIME_OUT"), n, t("MSGC_HAVE_LOST_TURN")),
            "%s %s %s" % (t("MSG_SOLVE_WRONG"), n, t("MSGC_HAVE_LOST_TURN")),
        ]
        for what in ("MSG_FREESPIN", "MSG_JACKPOT", "MSG_MYSTERY"):
            lines.append("%s %s. %s %s" % (t("MSG_LANDED_ON"), t(what), n, t("MSGC_SHOULD_PICK_CONSONANT")))
        for what in ("MSG_BANKRUPT", "MSG_LOSE_A_TURN"):
            lines.append("%s %s. %s %s" % (t("MSG_LANDED_ON"), t(what), n, t("MSGC_HAVE_LOST_TURN")))
        return lines

    def test_the_hosts_lines_stand_inside_the_status_bar(self):
        for e in self.editions:
            message = e.control("ROUND_WND", "MESSAGE")
            bar = e.control("ROUND_WND", "STATUS_BAR")
            shown = int(message.get("lines"))
            for line in self.host_lines(e):
                wrapped = e.wrap(message, line)
                self.assertLessEqual(len(wrapped), shown, "%s: '%s' needs %d lines of the bar's %d"
                                     % (e.name, line, len(wrapped), shown))
                for part in wrapped:
                    self.assertTrue(e.fits_unshrunk(message, part), "%s: '%s' is drawn smaller or cut" % (e.name, part))
            # The bar's face, inside its rim (the image's status bar), holds
            # the two lines and their glyphs' cells.
            iw, ih = image_size(os.path.join(CONTENT, "images", "match_parts.img"))
            fx0, fy0, fx1, fy1 = image_frame(os.path.join(CONTENT, "images", "match_parts.img"), "status bar")
            quad = e.model_and_scale(bar)[0]["quads"]["face"][0]
            u = lambda px: quad[0] + (quad[2] - quad[0]) * px / iw
            v = lambda py: quad[3] - (quad[3] - quad[1]) * py / 128.0
            face = e.box(bar, quads=(u(fx0), v(fy1), u(fx1), v(fy0)))
            x, y, _ = vec(message.get("pos"))
            half = ((shown - 1) * e.step(message) + e.line_height(message)) / 2
            widest = float(message.get("line_len"))
            block = (x, y - half, x + widest, y + half)
            self.assertTrue(inside(block, face), "%s: the two lines %s leave the bar's face %s"
                            % (e.name, fmt(block), fmt(face)))

    # ---- the podiums' money -----------------------------------------------------
    def test_podium_sums_stand_inside_the_money_window(self):
        for e in self.editions:
            for seat, colour in ((1, "red"), (2, "yellow"), (3, "blue")):
                podium = e.control("ROUND_WND", ("PODIUM_RED", "PODIUM_YELLOW", "PODIUM_BLUE")[seat - 1])
                score = e.control("ROUND_WND", "PODIUM_SCORE_%d" % seat)
                img = os.path.join(CONTENT, "images", "podium_%s.img" % colour)
                iw, ih = image_size(img)
                fx0, fy0, fx1, fy1 = image_frame(img, "the money window")
                b = e.model_and_scale(podium)[0]["boxes"]["body"]
                u = lambda px: b[0] + (b[2] - b[0]) * px / iw
                v = lambda py: b[3] - (b[3] - b[1]) * py / ih
                window = e.box(podium, quads=(u(fx0), v(fy1), u(fx1), v(fy0)))
                self.assertTrue(e.fits_unshrunk(score, PODIUM_SUM), "%s: %s is drawn smaller on podium %d"
                                % (e.name, PODIUM_SUM, seat))
                x, y, _ = vec(score.get("pos"))
                w = max(e.width(score, PODIUM_SUM), float(score.get("fit", 0)))
                h = e.line_height(score)
                text = (x - w / 2, y - h / 2, x + w / 2, y + h / 2)
                self.assertTrue(inside(text, window), "%s: podium %d's sum %s leaves its window %s"
                                % (e.name, seat, fmt(text), fmt(window)))

    # ---- How to Play and the credits --------------------------------------------
    def test_scrolling_texts_stand_in_their_frames_and_page_a_page_at_a_time(self):
        for e in self.editions:
            for window, key in (("INSTRUCTIONS", "INSTRUCTIONS_TEXT"), ("CREDITS", "CREDITS_TEXT")):
                what = "%s %s" % (e.name, window)
                panel, frame = e.control(window, "PANEL"), e.control(window, "TEXT_FRAME")
                text, scroll = e.control(window, "TEXT"), e.control(window, "SCROLL")
                # The panel's rim: its corner cells are 64 px of the image,
                # its inner gold line ends 22 px in (images/panel.img).
                model, sx, sy = e.model_and_scale(panel)
                outer = e.box(panel)
                corner = model["quads"]["panel"][0]
                rim = (corner[2] - corner[0]) * PANEL_RIM
                inner_panel = (outer[0] + rim * sx, outer[1] + rim * sy, outer[2] - rim * sx, outer[3] - rim * sy)
                self.assertTrue(inside(e.box(frame), inner_panel), "%s: the text's frame %s lies on the panel's rim %s"
                                % (what, fmt(e.box(frame)), fmt(inner_panel)))
                # The frame inside its gold lip: the lip's inner edge in the
                # image (images/controls.img, the entry field) against the
                # corner cell the model cuts from it.
                corner = e.model_and_scale(frame)[0]["quads"]["frame"][0]
                iw, ih = image_size(os.path.join(CONTENT, "images", "controls.img"))
                lip = image_frame(os.path.join(CONTENT, "images", "controls.img"), "entry field")
                inset_x = (lip[0] - corner[4] * iw) / ((corner[6] - corner[4]) * iw) * (corner[2] - corner[0])
                inset_y = (lip[1] - corner[5] * ih) / ((corner[7] - corner[5]) * ih) * (corner[3] - corner[1])
                fb = e.model_and_scale(frame)[0]["boxes"]["body"]
                inner_frame = e.box(frame, quads=(fb[0] + inset_x, fb[1] + inset_y, fb[2] - inset_x, fb[3] - inset_y))
                lines = e.text(key)
                shown = int(text.get("lines"))
                x, top, _ = vec(text.get("pos"))
                bottom = top - (shown - 1) * e.step(text) - e.line_height(text)
                # The track's picture spans the bar from the down arrow's
                # outer edge to the up arrow's.
                up = e.box(scroll, part="up")
                arrow_half = (up[3] - up[1]) / 2
                scroll_box = e.box(scroll)
                self.assertTrue(inside(scroll_box, inner_frame), "%s: the scroll bar %s leaves the frame %s"
                                % (what, fmt(scroll_box), fmt(inner_frame)))
                widest = max(e.width(text, l or "") for l in lines)
                block = (x, bottom, x + widest, top)
                self.assertTrue(inside(block, (inner_frame[0], inner_frame[1], scroll_box[0], inner_frame[3])),
                                "%s: the text %s leaves its frame %s or runs into the scroll bar"
                                % (what, fmt(block), fmt(inner_frame)))
                # The knob stays clear of the arrows at both ends.
                knob = e.box(scroll, part="point")
                unreach = float(scroll.get("unreach", 0))
                self.assertGreaterEqual(unreach + 1e-6, 2 * arrow_half + (knob[3] - knob[1]) / 2,
                                        "%s: the knob covers the arrows (unreach %.3f)" % (what, unreach))
                # Page Down moves one page of the shown lines, the last one
                # to the end (the first shown line as the game computes it).
                jump = float(scroll.get("jump"))
                first = lambda value: int((len(lines) - shown + 1) * min(1.0, value) * 0.999)
                k = 1
                while k * shown <= len(lines) - shown:
                    self.assertEqual(k * shown, first(k * jump), "%s: page %d starts at line %d" % (what, k, first(k * jump)))
                    k += 1
                self.assertEqual(len(lines) - shown, first(k * jump), "%s: the last page ends before the text" % what)

    def text_box(self, e, el, lines):
        """The extent of a text control's lines as drawn: the widest line
        (within its "fit" width), the lines shown and their steps."""
        wrapped = [part for line in lines for part in e.wrap(el, line or "")]
        shown = int(el.get("lines", 0)) or len(wrapped)
        widest = max(e.width(el, l) for l in wrapped[:shown])
        fit = float(el.get("fit", 0))
        if fit > 0:
            widest = min(widest, fit)
        height = (shown - 1) * e.step(el) + e.line_height(el)
        x, y, _ = vec(el.get("pos"))
        x0 = {"center": x - widest / 2, "right": x - widest}.get(el.get("horizontal"), x)
        block = shown * e.step(el)
        top = {"center": y + block / 2, "bottom": y + block}.get(el.get("vertical"), y)
        top -= (e.step(el) - e.line_height(el)) / 2
        return (x0, top - height, x0 + widest, top)

    def test_the_match_windows_labels_are_whole_and_inside_their_panels(self):
        """Every label of the match screen and its windows that comes from
        the text table is drawn whole (the Lite never shrinks one), and in a
        window with a panel it stands inside the panel's rim."""
        for e in self.editions:
            for container, controls in e.gui.items():
                if container not in MATCH_CONTAINERS:
                    continue
                # Where a label may stand: inside the panel's rim, or on a
                # picture of its own (a plaque, a button).
                places, pictures = [], []
                for name, el in controls.items():
                    model = el.get("model") or ""
                    if el.tag in ("text", "msg") or not model or model.startswith(("MDL_LABEL", "MDL_DIM")):
                        continue
                    if e.lite and model not in e.sprites:
                        continue  # a wheel's turning pictures: no box of its own
                    if name == "PANEL":
                        m, sx, sy = e.model_and_scale(el)
                        outer = e.box(el)
                        corner = m["quads"]["panel"][0]
                        rim = (corner[2] - corner[0]) * PANEL_RIM
                        places.append((outer[0] + rim * sx, outer[1] + rim * sy, outer[2] - rim * sx, outer[3] - rim * sy))
                    elif "body" in e.model_and_scale(el)[0]["boxes"]:
                        places.append(e.box(el))
                        pictures.append((vec(el.get("pos"))[2], e.box(el)))
                drawn = []
                for name, el in controls.items():
                    if el.tag not in ("text", "msg") or name == "TEXT":
                        continue
                    fit = float(el.get("fit", 0))
                    smallest = 1.0 if e.lite else float(el.get("fit_min", 0.6))
                    if (container, name) in DYNAMIC or (container, name) == ("PLAYER_STATS", "NAME"):
                        # One line, the widest the game may write.
                        samples = DYNAMIC.get((container, name), [self.widest_name])
                        samples = [re.sub(r"\{(\w+)\}", lambda m: e.text(m.group(1))[0], s) for s in samples]
                        lines = [max(samples, key=lambda s: e.width(el, s))]
                    elif el.get("text"):
                        lines = e.text(el.get("text"))
                    else:
                        continue
                    for line in lines:
                        for part in e.wrap(el, line or ""):
                            self.assertTrue(fit <= 0 or e.width(el, part) * smallest <= fit - FIT_MARGIN,
                                            "%s %s.%s: '%s' is cut short" % (e.name, container, name, part))
                    if "PANEL" in controls:
                        box = self.text_box(e, el, lines)
                        drawn.append((name, box))
                        self.assertTrue(any(inside(box, p) for p in places), "%s %s.%s: %s leaves the panel %s"
                                        % (e.name, container, name, fmt(box), fmt(places[0] if places else box)))
                # No two texts of a window overlap, nor a text and a
                # picture beside it (one that neither holds it nor lies in it).
                for i, (a, ab) in enumerate(drawn):
                    for b, bb in drawn[i + 1:]:
                        self.assertFalse(overlap(ab, bb), "%s %s: %s %s and %s %s overlap"
                                         % (e.name, container, a, fmt(ab), b, fmt(bb)))
                    for z, pb in pictures:
                        held = any(inside(ab, qb) for qz, qb in pictures if qz > z)
                        self.assertFalse(overlap(ab, pb) and not inside(ab, pb) and not inside(pb, ab) and not held,
                                         "%s %s: %s %s runs over the picture %s" % (e.name, container, a, fmt(ab), fmt(pb)))

    # ---- the Lite's jackpot plaque --------------------------------------------
    def test_the_lites_jackpot_plaque_stands_clear_of_the_wheel_and_the_category(self):
        e = self.editions[EDITIONS.index("lite")]
        plaque = e.box(e.control("ROUND_WND", "JACKPOT_1"))
        category = e.box(e.control("ROUND_WND", "BOARD_CAPTION"))
        wheel = e.box(e.control("ROUND_WND", "WHEEL"))
        cx, cy, r = (wheel[0] + wheel[2]) / 2, (wheel[1] + wheel[3]) / 2, (wheel[2] - wheel[0]) / 2
        nx, ny = min(max(cx, plaque[0]), plaque[2]), min(max(cy, plaque[1]), plaque[3])
        self.assertGreater(math.hypot(nx - cx, ny - cy), r, "the plaque %s covers the wheel" % fmt(plaque))
        apart = plaque[2] < category[0] or plaque[0] > category[2] or plaque[3] < category[1] or plaque[1] > category[3]
        self.assertTrue(apart, "the plaque %s covers the category plaque %s" % (fmt(plaque), fmt(category)))
        self.assertTrue(inside(plaque, (-4.0 / 3, -1, 4.0 / 3, 1)), "the plaque %s leaves the screen" % fmt(plaque))

    # ---- every picture a document names is made ----------------------------
    def test_every_model_and_picture_a_document_names_is_made(self):
        """A control whose model or picture its edition does not make draws
        nothing, and the screen shows a hole where a button stood."""
        made_models = {"full": set(self.editions[EDITIONS.index("full")].models), "lite": set()}
        made_pictures = {"full": set(), "lite": set()}
        for path in os.listdir(os.path.join(CONTENT, "images")):
            if path.endswith(".img"):
                with open(os.path.join(CONTENT, "images", path)) as f:
                    made_pictures["full"] |= set(re.findall(r"^\s*label\s+(\S+)", f.read(), re.M))
        with open(os.path.join(CONTENT, "lite", "sprites.txt")) as f:
            for line in f:
                w = line.split("#")[0].split()
                if len(w) >= 5 and w[0] == "sprite":
                    made_models["lite"].add(w[1])
                    made_pictures["lite"].add(w[4])
                elif len(w) >= 6 and w[0] == "turn":
                    made_models["lite"].add(w[1])
                    made_pictures["lite"].add(w[5])
        for e in self.editions:
            folder = os.path.join(CONTENT, "lite", "gui") if e.lite else os.path.join(CONTENT, "gui")
            missing = set()
            for inc in ET.parse(os.path.join(folder, "gui.xml")).getroot().iter("include"):
                for el in ET.parse(os.path.join(folder, inc.get("path"))).getroot().iter():
                    model, picture = el.get("model"), el.get("texture")
                    if model and model not in made_models[e.name]:
                        missing.add("%s: model %s of %s" % (inc.get("path"), model, el.get("name")))
                    if picture and e.lite and picture not in made_pictures["lite"]:
                        missing.add("%s: picture %s of %s" % (inc.get("path"), picture, el.get("name")))
                    if picture and not e.lite and picture not in made_pictures["full"]:
                        missing.add("%s: picture %s of %s" % (inc.get("path"), picture, el.get("name")))
            self.assertFalse(missing, "%s edition: %s" % (e.name, "; ".join(sorted(missing))))


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--content", required=True)
    ap.add_argument("--text", required=True, help="the full edition's TEXT document")
    ap.add_argument("--lite-text", required=True, help="the Lite's TEXT document")
    args, rest = ap.parse_known_args()
    CONTENT = args.content
    TEXT_DOCS = {"full": args.text, "lite": args.lite_text}
    unittest.main(argv=[sys.argv[0]] + rest)
