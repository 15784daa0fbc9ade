// Matches without a person, for long runs and measurements. Off unless the
// environment names it at start-up:
//
//   QUORVANE_AUTOPLAY=LEVEL[,LEVEL,LEVEL]   EASY, MEDIUM or HARD per seat
//                                           (one level for all three seats);
//                                           PLAYER for seat 1 seats the
//                                           current player against two
//                                           computers
//   QUORVANE_AUTOPLAY_LOG=FILE              one line per event, flushed
//   QUORVANE_AUTOPLAY_PACE=N                game time N (up to 8) times as
//                                           fast, for short runs
//
//   QUORVANE_TEST_WEDGES=W[,W...]          the next spins of a person stop
//                                           on these wedges (0-23 as the wheel
//                                           tables number them), one a spin,
//                                           for checks that need a given
//                                           outcome (a bankrupt)
//
// Computer contestants of those levels take the seats of a group-play match
// at once, the computer contestant's control plays their turns, and when
// the match ends the next one starts. The log tells the match starts and ends
// and, every ten seconds, how long the match in play has shown no change
// (game time); a match of computers that runs past its limits or stands
// still for two minutes is ended as stalled, with where it waits.
#pragma once

// Reads the environment (once); true when matches are to play themselves.
bool AutoplayStart();
// Once a frame: starts the first match, notices its end, starts the next.
void AutoplayFrame();

// The wedge the next spin of a person is to stop on, from
// QUORVANE_TEST_WEDGES; false when none is asked for (any more).
bool NextTestWedge(int* wedge);
// The spin distance nearest above `distance` that leaves the wheel read at
// `signedAngle` now with the middle of `wedge` under its pointer.
float DistanceToWedge(float distance, float signedAngle, int wedge);
