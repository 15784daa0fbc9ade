#!/usr/bin/env python3
"""scripts/soak's judgement of the game's autoplay log, on made-up logs: a
match the game gave up on is a fault whenever its line comes (also after the
soak's last look), a match in play that stands still is judged by the game
time since its last change, and the match in play when the time is up is
watched until it moves: it passes when it does, fails when the game gives it
up or when nothing more comes."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import soak_judge  # noqa: E402
from soak_judge import AutoplayLog  # noqa: E402

WALL_LIMIT = 1200


def start(t, n):
    return "%8.1f match %d start Ann, Bo, Cy" % (t, n)


def end(t, n, how="end"):
    return "%8.1f match %d %s after 300.0 s (10.0 min of game time, at most 20.0 s of it unchanged), totals 1 2 3" % (
        t, n, how)


def progress(t, n, game, still):
    return "%8.1f match %d at %.1f s of game time, unchanged for %.1f s (round type 2, state 6)" % (t, n, game, still)


def two_matches_and_a_third_in_play():
    return [
        "     0.0 autoplay levels 1 2 0, pace 1.0",
        start(1.5, 1), progress(11.5, 1, 10.0, 2.0), end(300.0, 1),
        start(304.0, 2), progress(314.0, 2, 10.0, 1.0), end(600.0, 2),
        start(604.0, 3), progress(614.0, 3, 10.0, 4.0), progress(624.0, 3, 20.0, 14.0),
    ]


class FakeGame:
    """Looks at a game whose log grows by one line a look (none once the
    lines run out), on a clock that moves two seconds a sleep."""

    def __init__(self, lines, later):
        self.lines, self.later, self.now, self.looks = list(lines), list(later), 0.0, 0

    def look(self):
        self.looks += 1
        if self.looks > 1 and self.later:
            self.lines.append(self.later.pop(0))
        log = AutoplayLog(self.lines)
        return soak_judge.judge(log, 700.0 + self.now, 0, WALL_LIMIT), log

    def clock(self):
        return self.now

    def sleep(self, seconds):
        self.now += seconds

    def watch(self, pace=1.0):
        return soak_judge.watch_at_end(self.look, pace, self.clock, self.sleep)


class Judge(unittest.TestCase):
    def test_a_log_of_whole_matches_and_one_in_play_is_no_fault(self):
        log = AutoplayLog(two_matches_and_a_third_in_play())
        self.assertIsNone(soak_judge.judge(log, 630.0, 5, WALL_LIMIT))
        self.assertEqual([1, 2], [int(l.split()[2]) for l in log.ended()])
        self.assertEqual(3, log.in_play())

    def test_a_stalled_match_is_a_fault_with_where_it_waits(self):
        lines = two_matches_and_a_third_in_play() + [
            "   750.0 match 3 stalled after 146.0 s (2.4 min of game time, at most 120.0 s of it unchanged), totals 0 0 0",
            "   750.0 its round (type 2) had run 2.3 min of game time, the last 2.0 min of it unchanged",
            "   750.0 waits in window -, round type 2, state 6 (before it 2), turn of seat 1 Ann, timers running: none"]
        fault = soak_judge.judge(AutoplayLog(lines), 751.0, 0, WALL_LIMIT)
        self.assertIn("a match stalled: ", fault)
        self.assertIn("match 3 stalled after", fault)
        self.assertIn("waits in window -", fault)
        # The stalled match counts as ended: none is in play.
        self.assertIsNone(AutoplayLog(lines).in_play())

    def test_a_match_in_play_standing_still_past_the_limit_is_a_fault(self):
        lines = two_matches_and_a_third_in_play() + [progress(760.0, 3, 150.0, soak_judge.STILL_LIMIT + 1)]
        fault = soak_judge.judge(AutoplayLog(lines), 761.0, 0, WALL_LIMIT)
        self.assertIn("match 3 stood still for 2.0 min of game time", fault)
        # Standing still before the limit is play.
        lines[-1] = progress(760.0, 3, 150.0, soak_judge.STILL_LIMIT - 1)
        self.assertIsNone(soak_judge.judge(AutoplayLog(lines), 761.0, 0, WALL_LIMIT))

    def test_a_match_past_its_wall_time_or_a_silent_log_is_a_fault(self):
        log = AutoplayLog(two_matches_and_a_third_in_play())
        self.assertIn("match 3 has run", soak_judge.judge(log, 604.0 + WALL_LIMIT + 1, 0, WALL_LIMIT))
        self.assertIn("logged nothing", soak_judge.judge(log, 630.0, soak_judge.SILENCE_LIMIT + 1, WALL_LIMIT))


    def test_a_run_without_an_end_fails_only_when_a_whole_match_could_have_ended(self):
        lines = ["     0.0 autoplay levels 1 2 0, pace 1.0", start(1.5, 1), progress(290.0, 1, 288.0, 3.0)]
        self.assertIsNone(soak_judge.without_an_end(AutoplayLog(lines)))
        lines.append(progress(1000.0, 1, soak_judge.LONGEST_MATCH + 10, 3.0))
        self.assertIn("no match ended within the run: match 1 had played 15.2 min",
                      soak_judge.without_an_end(AutoplayLog(lines)))
        self.assertEqual("no match started", soak_judge.without_an_end(AutoplayLog(lines[:1])))


class TheEndOfTheRun(unittest.TestCase):
    def test_a_match_that_moves_again_passes(self):
        # Still for 14 s at the end, then 10 s more, then a change 3 s ago.
        game = FakeGame(two_matches_and_a_third_in_play(),
                        [progress(634.0, 3, 30.0, 24.0), progress(644.0, 3, 40.0, 3.0)])
        self.assertIsNone(game.watch())
        self.assertEqual(3, game.looks)

    def test_a_match_that_ends_passes(self):
        game = FakeGame(two_matches_and_a_third_in_play(), [end(630.0, 3)])
        self.assertIsNone(game.watch())

    def test_a_match_that_stopped_in_the_last_minutes_is_judged(self):
        # Standing still since 6 s of game time: the game gives it up once
        # it has for the whole limit, and that is the verdict.
        later = [progress(624.0 + 10 * k, 3, 20.0 + 10 * k, 14.0 + 10 * k) for k in range(1, 11)]
        later.append("   740.0 match 3 stalled after 136.0 s (2.2 min of game time, at most 120.0 s of it unchanged), "
                     "totals 0 0 0")
        later.append("   740.0 waits in window POPUP_ONLY_VOWELS, round type 2, state 6, timers running: none")
        game = FakeGame(two_matches_and_a_third_in_play(), later)
        fault = game.watch()
        self.assertIsNotNone(fault)
        self.assertIn("match 3 stalled after", fault)

    def test_a_game_that_says_nothing_more_fails_in_time(self):
        for pace in (1.0, 8.0):
            game = FakeGame(two_matches_and_a_third_in_play(), [])
            fault = game.watch(pace)
            self.assertIsNotNone(fault, pace)
            self.assertIn("match 3 has not moved since the run's time was up", fault)
            # Twice the rest of the limit at the pace, and a minute.
            most = 2 * (soak_judge.STILL_LIMIT - 14.0) / pace + 60
            self.assertTrue(most < game.now <= most + 2, (pace, game.now))

    def test_nothing_is_watched_between_matches_or_at_a_match_just_begun(self):
        lines = two_matches_and_a_third_in_play()
        for cut in (lines[:7], lines[:8]):  # match 2 ended; match 3 started without a progress line
            game = FakeGame(cut, [])
            self.assertIsNone(game.watch())
            self.assertEqual(1, game.looks)


if __name__ == "__main__":
    unittest.main(verbosity=1)
