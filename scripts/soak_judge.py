"""How scripts/soak reads the game's autoplay log (QUORVANE_AUTOPLAY_LOG,
game/round/autoplay.cpp): which matches started and ended, whether the game
gave one up as stalled, and how long the match in play has shown no change.
Its own module, so that the judgement can be tried on made-up logs
(tests/tools/test_soak_judge.py).

Every line starts with the wall seconds since the autoplay began. The lines
read here:
    T match N start A, B, C
    T match N end after S s (M min of game time, at most U s of it unchanged), totals X Y Z
    T match N stalled after ...          (then lines on where it waits)
    T match N at G s of game time, unchanged for U s (round type R, state S)
the last every ten seconds of wall time while match N is in play."""
import re

# Seconds of game time a match may show no change: the game ends it as
# stalled then, and logs where it waits.
STILL_LIMIT = 120.0
# Wall seconds the log may say nothing.
SILENCE_LIMIT = 600
# Game seconds past the longest normal match (a match of three computers
# takes eight to twelve minutes of game time).
LONGEST_MATCH = 15 * 60.0

_START = re.compile(r"^\s*([\d.]+) match (\d+) start ")
_END = re.compile(r"^\s*([\d.]+) match (\d+) (end|stalled) after ")
_PROGRESS = re.compile(r"^\s*([\d.]+) match (\d+) at ([\d.]+) s of game time, unchanged for ([\d.]+) s")


class Progress:
    """A progress line: wall seconds, the match's game seconds then, and the
    game seconds it had shown no change by then."""

    def __init__(self, wall, game, still, line):
        self.wall, self.game, self.still, self.line = wall, game, still, line

    def changed_at(self):
        """The match's game time at its last change."""
        return self.game - self.still


class AutoplayLog:
    def __init__(self, lines):
        self.lines = lines
        self.starts = {}    # match number -> wall seconds of its start
        self.ends = {}      # match number -> its end or stalled line
        self.progress = {}  # match number -> its last Progress
        self.stalled = []   # indices of the stalled lines
        for i, line in enumerate(lines):
            m = _START.match(line)
            if m:
                self.starts[int(m.group(2))] = float(m.group(1))
                continue
            m = _END.match(line)
            if m:
                self.ends[int(m.group(2))] = line
                if m.group(3) == "stalled":
                    self.stalled.append(i)
                continue
            m = _PROGRESS.match(line)
            if m:
                self.progress[int(m.group(2))] = Progress(float(m.group(1)), float(m.group(3)),
                                                          float(m.group(4)), line)

    def ended(self):
        """The end (or stalled) lines, in the order of the matches."""
        return [self.ends[n] for n in sorted(self.ends)]

    def in_play(self):
        """The number of the match that has started and not ended, or None."""
        running = [n for n in self.starts if n not in self.ends]
        return max(running) if running else None

    def where_it_waits(self, index):
        """The lines after a stalled line that tell where the match waits."""
        return [l for l in self.lines[index + 1:index + 5] if " waits " in l or " its " in l]


def judge(log, wall_now, silent_for, match_wall_limit):
    """The first fault the log shows, as a sentence, or None: a match the
    game gave up on (with where it waits); the match in play shown by its
    last progress line to have stood still for STILL_LIMIT; the match in
    play running past match_wall_limit wall seconds (wall_now is the wall
    time the log's lines count in); SILENCE_LIMIT seconds without a line."""
    if log.stalled:
        first = log.stalled[0]
        where = log.where_it_waits(first)
        return "a match stalled: %s; %s" % (log.lines[first], "; ".join(where) if where else "(where unknown)")
    n = log.in_play()
    if n is not None:
        p = log.progress.get(n)
        if p and p.still >= STILL_LIMIT:
            return "match %d stood still for %.1f min of game time: %s" % (n, p.still / 60, p.line)
        if wall_now - log.starts[n] > match_wall_limit:
            return "match %d has run %.1f minutes without ending; the log's last line: %s" % (
                n, (wall_now - log.starts[n]) / 60, log.lines[-1])
    if silent_for > SILENCE_LIMIT:
        return "the game logged nothing for %d minutes; its last line: %s" % (
            SILENCE_LIMIT // 60, log.lines[-1] if log.lines else "(none)")
    return None


def _moved_since(log, n, at_end):
    """Whether match n has changed since the progress line at_end: a later
    progress line whose last change is later, or its end."""
    if n in log.ends:
        return True
    p = log.progress.get(n)
    return p is not None and p.changed_at() > at_end.changed_at() + 0.5


def watch_at_end(look, pace, clock, sleep):
    """The end of a run: the match in play when the time is up is watched
    until it moves again (or ends), so that a match that has just stopped
    moving is not cut off unjudged. look() is one look at the game: (a fault
    or None, the AutoplayLog). A match without a progress line yet has only
    just started, and is let go. The game ends a match as stalled once it
    has stood still STILL_LIMIT (a fault judge() reports); the wall time
    allowed is twice what the rest of that takes at the pace, and a minute
    more. Returns the fault, or None."""
    failure, log = look()
    n = log.in_play()
    at_end = log.progress.get(n) if n is not None else None
    if failure or at_end is None:
        return failure
    began = clock()
    until = began + 2 * max(STILL_LIMIT - at_end.still, 0.0) / max(pace, 1.0) + 60
    while not _moved_since(log, n, at_end):
        if clock() > until:
            p = log.progress.get(n)
            return "match %d has not moved since the run's time was up (%.0f s ago); its last line: %s" % (
                n, clock() - began, p.line if p else log.lines[-1])
        sleep(2)
        failure, log = look()
        if failure:
            return failure
    return None


def without_an_end(log):
    """Why a run in which no match ended fails, or None when it was only too
    short for one (the match in play has played less than the longest
    normal match, and has been judged moving to the end)."""
    n = log.in_play()
    if n is None:
        return "no match started"
    p = log.progress.get(n)
    if p and p.game > LONGEST_MATCH:
        return "no match ended within the run: match %d had played %.1f min of game time; %s" % (
            n, p.game / 60, p.line)
    return None
