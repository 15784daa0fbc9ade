"""The player's files: settings, player data and the computer contestants."""
import hashlib
import os
import struct

from harness import WINDOWED_SETTINGS, expect, pack_settings


def _run_once(h, game):
    proc = h.launch(game, ["-direct3d"])
    h.find_window()
    h.expect_no_box("Error", seconds=1.0)
    h.close_game()
    expect(h.wait_exit(proc) == 0, "bad exit code")


def _read_gam(path):
    data = open(path, "rb").read()
    count, current = struct.unpack_from("<ii", data, 0)
    return data, count, current


def _tables(data):
    tables = []
    base = len(data) - 960
    for t in range(4):
        rows = [struct.unpack_from("<6i", data, base + (t * 10 + i) * 24) for i in range(10)]
        tables.append(rows)
    return tables


def check_first_run_writes_player_file_with_default_scores(h):
    game = h.fresh_game(WINDOWED_SETTINGS)
    ai = os.path.join(game, "Quorvane.ai")
    ai_hash = hashlib.sha256(open(ai, "rb").read()).hexdigest()
    _run_once(h, game)
    path = os.path.join(h.data_dir(), "Quorvane.gam")
    data, count, current = _read_gam(path)
    expect(len(data) == 968, ".gam holds %d bytes, not 968" % len(data))
    expect((count, current) == (0, -1), "no players yet, but the file says %d, %d" % (count, current))
    for t, rows in enumerate(_tables(data)):
        scores = [r[0] for r in rows]
        expect(all(s > 0 for s in scores), "table %d has empty entries: %s" % (t, scores))
        expect(scores == sorted(scores, reverse=True), "table %d is not sorted: %s" % (t, scores))
        expect(all(r[5] == 1 for r in rows), "table %d: default entries belong to computer contestants" % t)
    settings = open(os.path.join(h.data_dir(), "Quorvane.set"), "rb").read()
    expect(settings == pack_settings(WINDOWED_SETTINGS), "the windowed settings changed")
    expect(hashlib.sha256(open(ai, "rb").read()).hexdigest() == ai_hash, "Quorvane.ai was modified")


def check_damaged_player_file_gives_defaults_and_a_valid_file(h):
    for damage in (b"", b"\x05\x00\x00\x00\xff\xff", os.urandom(700), b"\xff\xff\xff\x7f" + b"\0" * 964):
        game = h.fresh_game(WINDOWED_SETTINGS)
        path = os.path.join(h.data_dir(), "Quorvane.gam")
        with open(path, "wb") as f:
            f.write(damage)
        _run_once(h, game)
        data, count, current = _read_gam(path)
        expect(len(data) == 968 and (count, current) == (0, -1),
               "after a damaged file (%d bytes) the next quit wrote %d bytes" % (len(damage), len(data)))
        scores = [r[0] for r in _tables(data)[0]]
        expect(scores == sorted(scores, reverse=True) and scores[0] > 0, "defaults not restored: %s" % scores)
