#!/usr/bin/env python3
"""qvgui against small tables and documents of its own, and against the
Lite's real sources: a document that drifts from its table is refused, and
an edition's table fills the shared positions or leaves them kNoPosition."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

QVGUI = None
CONTENT = None

SHARED = """<bindings>
  <screen index="0" name="MENU" const="kScreenMenu" controls="1"/>
  <screen index="1" name="ROUND_WND" const="kScreenRound" controls="4">
    <control index="1" name="SPIN_TIMER" kind="timer" const="kMatchSpinDelayTimer"/>
    <control index="2" name="AVATAR_1" kind="animation" const="kMatchAvatar1"/>
    <control index="3" name="BOARD" kind="static" const="kMatchBoard"/>
  </screen>
  <window index="0" name="OPTIONS" const="kWindowOptions" controls="2">
    <control index="1" name="MUSIC" kind="slider" const="kOptionsMusic"/>
  </window>
</bindings>
"""

# The edition's table: its own match screen, an optional window, a kLite name.
EDITION = """<bindings>
  <screen index="0" name="MENU" const="kScreenMenu" controls="1"/>
  <screen index="1" name="ROUND_WND" const="kScreenRound" controls="6">
    <control index="4" name="CHECK_TIMER" kind="timer" const="kMatchSpinDelayTimer"/>
    <control index="5" name="DESYNC_1" kind="timer" const="kLiteDesyncTimer1"/>
  </screen>
  <window index="0" name="OPTIONS" const="kWindowOptions" controls="2" optional="true"/>
  <group index="0" name="FLAPPERS" controls="1" optional="true">
    <control index="0" name="FLAPPER_1" kind="picture"/>
  </group>
</bindings>
"""

MATCH = """<screen name="ROUND_WND">
    <static name="A"/><static name="B"/><static name="C"/><static name="D"/>
    <timer name="CHECK_TIMER"/><timer name="DESYNC_1"/>
  </screen>"""


class Qvgui(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="qvgui")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def write(self, rel, text):
        path = os.path.join(self.dir, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def read(self, rel):
        with open(os.path.join(self.dir, rel), encoding="utf-8") as f:
            return f.read()

    def document(self, *containers, src="src"):
        """A document of one source file per container, assembled by includes."""
        includes = ""
        for i, c in enumerate(containers):
            self.write("%s/parts/p%02d.xml" % (src, i), "<gui>\n  %s\n</gui>\n" % c)
            includes += '  <include path="parts/p%02d.xml"/>\n' % i
        self.write(src + "/gui.xml", '<gui start_screen="MENU">\n%s</gui>\n' % includes)
        return os.path.join(self.dir, src)

    def run_tool(self, src, table, shared=None, extra=()):
        args = [QVGUI, "--src", src, "--bindings", table, "--out", os.path.join(self.dir, "out"),
                "--header", os.path.join(self.dir, "edition.h"), "--name", "edition_gui.xml"]
        if shared:
            args += ["--shared", shared, "--namespace", "Edition", "--instance", "kEditionPositions"]
        else:
            args += ["--positions", os.path.join(self.dir, "positions.h"), "--instance", "kSharedPositions"]
        p = subprocess.run(args + list(extra), capture_output=True, text=True)
        return p.returncode, p.stderr

    def edition(self, table=EDITION, *containers):
        src = self.document(*(containers or ('<screen name="MENU"><static name="M"/></screen>', MATCH)))
        return self.run_tool(src, self.write("edition.xml", table), self.write("shared.xml", SHARED))

    def test_an_edition_table_fills_shared_fields_and_leaves_the_others_unheld(self):
        code, err = self.edition()
        self.assertEqual(0, code, err)
        header = self.read("edition.h")
        self.assertIn("namespace Edition {", header)
        self.assertIn("const int kLiteDesyncTimer1 = 5;", header)
        instance = header[header.index("kEditionPositions"):]
        self.assertRegex(instance, r"\n    4,  // matchSpinDelayTimer\n")
        self.assertRegex(instance, r"\n    kNoPosition,  // matchAvatar1\n")
        self.assertRegex(instance, r"\n    0,  // windowOptions\n")
        self.assertRegex(instance, r"\n    kNoPosition,  // optionsMusic\n")
        self.assertTrue(os.path.exists(os.path.join(self.dir, "out", "gui", "edition_gui.xml")))
        # The shared table's own run writes the struct, one field per constant.
        src = self.document('<screen name="MENU"><static name="M"/></screen>',
                            '<screen name="ROUND_WND"><static name="A"/><timer name="SPIN_TIMER"/>'
                            '<animation name="AVATAR_1"/><static name="BOARD"/></screen>',
                            '<window name="OPTIONS"><static name="P"/><slider name="MUSIC"/></window>', src="full")
        code, err = self.run_tool(src, os.path.join(self.dir, "shared.xml"))
        self.assertEqual(0, code, err)
        struct = self.read("positions.h")
        fields = re.findall(r"^    int (\w+);", struct, re.M)
        self.assertEqual(["screenCount", "windowCount", "groupCount", "screenMenu", "screenRound",
                          "matchSpinDelayTimer", "matchAvatar1", "matchBoard", "windowOptions", "optionsMusic"],
                         fields)

    def test_a_document_that_drifts_from_the_table_is_refused(self):
        menu = '<screen name="MENU"><static name="M"/></screen>'
        cases = {
            "a static where the timer is bound": (MATCH.replace('<timer name="CHECK_TIMER"/>', '<static name="CHECK_TIMER"/>'),
                                                  "expected <timer name=\"CHECK_TIMER\">, found <static"),
            "another name at the bound position": (MATCH.replace("DESYNC_1", "DESYNC_ONE"),
                                                   "found <timer name=\"DESYNC_ONE\">"),
            "another container at the position": (MATCH.replace("ROUND_WND", "MATCH"), "position holds \"MATCH\""),
            "fewer controls than bound": (MATCH.replace('<timer name="DESYNC_1"/>', ""), "the code binds 6"),
        }
        for what, (match, message) in cases.items():
            with self.subTest(what):
                code, err = self.edition(EDITION, menu, match)
                self.assertEqual(1, code, what)
                self.assertIn(message, err)
        # An optional container may stand empty or be missing; present, it keeps its name and kinds.
        self.assertEqual(0, self.edition(EDITION, menu, MATCH, '<window name="OPTIONS"/>', '<group name="FLAPPERS"/>')[0])
        code, err = self.edition(EDITION, menu, MATCH, '<window name="OPTIONS"/>',
                                 '<group name="FLAPPERS"><static name="FLAPPER_1"/></group>')
        self.assertEqual(1, code)
        self.assertIn("expected <picture", err)

    def test_an_edition_table_may_not_misuse_a_shared_name(self):
        cases = {
            "a name of its own without kLite": (EDITION.replace("kLiteDesyncTimer1", "kDesyncTimer1"),
                                                "kDesyncTimer1 names no position of the shared table"),
            "a shared control name in another container": (
                EDITION.replace('name="FLAPPER_1" kind="picture"/>', 'name="FLAPPER_1" kind="picture" const="kOptionsMusic"/>'),
                "kOptionsMusic is a control of kWindowOptions"),
            "a control's name on a container": (EDITION.replace('const="kWindowOptions"', 'const="kOptionsMusic"'),
                                                "kOptionsMusic names a control in the shared table, here a window"),
        }
        for what, (table, message) in cases.items():
            with self.subTest(what):
                code, err = self.edition(table)
                self.assertEqual(1, code, what)
                self.assertIn(message, err)

    def test_the_lites_sources_pass_and_a_drift_at_a_named_position_is_refused(self):
        lite = os.path.join(CONTENT, "lite", "gui")
        shared = os.path.join(CONTENT, "gui", "bindings.xml")
        table = os.path.join(lite, "bindings.xml")
        code, err = self.run_tool(lite, table, shared, ["--extra-kinds", "wedge"])
        self.assertEqual(0, code, err)
        header = self.read("edition.h")
        for name, value in [("kLiteDesyncTimer1", 70), ("kLiteReactionTimer1", 73), ("kLiteAnimationTimer1", 76),
                            ("kMatchSpinDelayTimer", 60), ("kMatchZoomHoldTimer", 64), ("kMatchIdleTimer", 79),
                            ("kMatchAvatar1", 88), ("kMatchPowerMeter", 97), ("kMatchZoomWheel", 99),
                            ("kMatchBonusPowerMeter", 101), ("kMatchBonusWheel", 102), ("kZoomPicture1", 0)]:
            self.assertIn("const int %s = %d;" % (name, value), header)
        self.assertIn("kBoundScreenControls[6] = {5, 3, 5, 4, 158, 3};", header)
        # A match screen drawn with a picture where the idle timer belongs.
        copy = os.path.join(self.dir, "lite")
        shutil.copytree(lite, copy)
        screen = os.path.join(copy, "screens", "s04_round_wnd.xml")
        with open(screen) as f:
            text = f.read()
        drifted = re.sub(r'<timer name="DESYNC_TIMER_1"[^>]*/>', '<static name="DESYNC_TIMER_1"/>', text, count=1)
        self.assertNotEqual(text, drifted)
        with open(screen, "w") as f:
            f.write(drifted)
        code, err = self.run_tool(copy, table, shared, ["--extra-kinds", "wedge"])
        self.assertEqual(1, code)
        self.assertIn("screen 4 (ROUND_WND), control 70: expected <timer name=\"DESYNC_TIMER_1\">", err)


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--qvgui", required=True)
    ap.add_argument("--content", required=True)
    args, rest = ap.parse_known_args()
    QVGUI, CONTENT = args.qvgui, args.content
    unittest.main(argv=[sys.argv[0]] + rest)
