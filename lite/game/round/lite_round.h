// The Lite's ways of the round: its sprite reactions, its pause and
// show/hide sets and its screen operations, set on the round controller
// when the Lite starts and taken off when it shuts down.
#pragma once

void InstallLiteRound();
void RemoveLiteRound();
