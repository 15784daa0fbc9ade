#!/usr/bin/env python3
"""Runs every end-to-end check (functions named check_* in tests/e2e/checks_*.py)."""
import argparse
import glob
import importlib.util
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--game", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("-k", dest="only", default="", help="run only checks whose name contains this")
    args = ap.parse_args()
    wintool = os.environ.get("QV_WINTOOL")
    if not wintool or not os.path.exists(wintool):
        print("QV_WINTOOL does not name the built wintool.exe")
        return 2

    checks = []
    here = os.path.dirname(os.path.abspath(__file__))
    for path in sorted(glob.glob(os.path.join(here, "checks_*.py"))):
        name = os.path.splitext(os.path.basename(path))[0]
        spec = importlib.util.spec_from_file_location(name, path)
        mod = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(mod)
        for attr in sorted(dir(mod)):
            if attr.startswith("check_") and args.only in attr:
                checks.append(("%s.%s" % (name, attr), getattr(mod, attr)))

    h = harness.Harness(args.game, args.work, wintool)
    passed = failed = 0
    try:
        h.start()
        for name, fn in checks:
            t0 = time.time()
            try:
                fn(h)
                passed += 1
                print("[ PASS ] %s (%.1f s)" % (name, time.time() - t0), flush=True)
            except Exception as e:  # a failed check must not stop the others
                failed += 1
                print("[ FAIL ] %s: %s" % (name, e), flush=True)
                if not isinstance(e, harness.CheckFailed):
                    traceback.print_exc()
            finally:
                h.reset()
    finally:
        h.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
