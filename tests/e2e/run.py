#!/usr/bin/env python3
"""Runs every end-to-end check (functions named check_* in tests/e2e/checks_*.py).

With --shard K/N only every N-th check from the K-th on runs (K counts from
1), so that N runs side by side, each with its own X display and Wine
prefix, share the checks out. When an earlier run left the checks' times in
e2e-times.json beside the work folders (else the typical times kept in
check-times.json here), the shards are balanced by them (longest first,
each to the shard with the least so far)."""
import argparse
import glob
import importlib.util
import json
import os
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def load_times(path):
    try:
        with open(path) as f:
            times = json.load(f)
        return {k: float(v) for k, v in times.items()} if isinstance(times, dict) else {}
    except (OSError, ValueError, TypeError):
        return {}


def save_times(path, took):
    """Adds this run's times of passed checks to the file (other shards
    write theirs too: each merges into what is there)."""
    if not took:
        return
    times = load_times(path)
    times.update(took)
    tmp = "%s.%d" % (path, os.getpid())
    try:
        with open(tmp, "w") as f:
            json.dump(times, f, indent=0, sort_keys=True)
        os.replace(tmp, path)
    except OSError:
        pass


def share(checks, shard, shards, times):
    """The checks of one shard: round robin, or balanced by known times."""
    if shards == 1:
        return checks
    if not times:
        return checks[shard - 1::shards]
    default = sorted(times.values())[len(times) // 2]
    load = [0.0] * shards
    mine = []
    for name, fn in sorted(checks, key=lambda c: -times.get(c[0], default)):
        k = load.index(min(load))
        load[k] += times.get(name, default)
        if k == shard - 1:
            mine.append((name, fn))
    return sorted(mine, key=lambda c: c[0])


class CheckTookTooLong(harness.CheckFailed):
    pass


def time_limit(name, times):
    """Seconds a check may take: four times its typical time, at least three
    minutes (a slow or loaded machine), at most fifteen."""
    return int(min(900, max(180, 4 * times.get(name, 60))))


def _over_time(signum, frame):
    raise CheckTookTooLong("took longer than its time limit")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--game", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("-k", dest="only", default="", help="run only checks whose name contains this")
    ap.add_argument("--shard", default="1/1", help="K/N: run the K-th of N shares of the checks")
    args = ap.parse_args()
    try:
        shard, shards = (int(v) for v in args.shard.split("/"))
        assert 1 <= shard <= shards
    except (ValueError, AssertionError):
        print("--shard takes K/N with 1 <= K <= N")
        return 2
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

    times_file = os.path.join(os.path.dirname(os.path.abspath(args.work)), "e2e-times.json")
    times = load_times(os.path.join(here, "check-times.json"))
    times.update(load_times(times_file))
    checks = share(checks, shard, shards, times)
    if not checks:
        print("no checks in this share")
        return 0

    limits = {name: time_limit(name, times) for name, _ in checks}
    signal.signal(signal.SIGALRM, _over_time)
    h = harness.Harness(args.game, args.work, wintool)
    took = {}
    passed = failed = 0
    try:
        h.start()
        for name, fn in checks:
            t0 = time.time()
            try:
                signal.alarm(limits[name])
                try:
                    fn(h)
                finally:
                    signal.alarm(0)
                passed += 1
                took[name] = time.time() - t0
                print("[ PASS ] %s (%.1f s)" % (name, took[name]), flush=True)
            except Exception as e:  # a failed check must not stop the others
                failed += 1
                if isinstance(e, CheckTookTooLong):
                    e = CheckTookTooLong("took longer than its limit of %d s" % limits[name])
                print("[ FAIL ] %s: %s" % (name, e), flush=True)
                # Where a check that ran out of time was waiting, and where
                # anything but a failed expectation came from.
                if not isinstance(e, harness.CheckFailed) or isinstance(e, CheckTookTooLong):
                    traceback.print_exc()
            finally:
                h.reset()
    finally:
        h.stop()
        save_times(times_file, took)
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
