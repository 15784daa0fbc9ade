// The Lite's handlers of the spin and of its 2D wheels, and the rules they
// read the pictures by. The spin distance is taken from the gauge's picture
// when the spin delay ends (not on the press), and the landed sector from
// the zoom wheel's picture and the seat's pointer.
#pragma once

// ---- Rules --------------------------------------------------------------------

// Notches from the picture's own notch to the one under a seat's pointer:
// 3, 68 and 62 for seats 1, 2 and 3; 0 for any other seat (no contestant).
int LiteSeatSectorOffset(int seat);
// The sector (0..71) under the seat's pointer with the zoom wheel showing
// that picture of a sequence of frameCount pictures (one turn); a sprite of
// no frames reads as its first picture.
int LiteLandedSector(unsigned frame, unsigned frameCount, int seat);
// The distance of a spin from the gauge's share (0..1) and the random term
// (-50..50): full strength at the gauge's middle, then cut back to 0.1
// degree short of a 5-degree mark.
float LiteSpinDistance(float gaugeFraction, int randomTerm);
// The distance nearest above `distance` that brings a zoom wheel showing
// startFrame of frameCount pictures to rest with the middle of `wedge`
// (0..23) under the seat's pointer. The distance itself when the sequence
// or the wedge cannot give it.
float LiteDistanceToWedge(float distance, unsigned startFrame, unsigned frameCount, int seat, int wedge);

// ---- Handlers (GuiCallback: sender, argument -> go on) ------------------------------

namespace LiteCallbacks {

// "Spin": the press, less the distance; the spin delay starts.
bool Spin(void* sender, const char* argument);
// "Round_VerifTimer": the spin delay's end: the distance from the gauge's
// picture, then the wheels start.
bool Round_VerifTimer(void* sender, const char* argument);
// "EndRotateZoomWheel": the zoom wheel has stopped: the sector from its
// picture, the wedge and the crowd, the hold timer, the flappers rest.
bool EndRotateZoomWheel(void* sender, const char* argument);
// "ExitZoomWheel": the close-up gives way to the studio; the turn goes on.
bool ExitZoomWheel(void* sender, const char* argument);
// "HackStopZoomWheel": a turning zoom wheel stops at its next frame.
bool HackStopZoomWheel(void* sender, const char* argument);
// "HackRotateWheel": one more step of a turning zoom wheel.
bool HackRotateWheel(void* sender, const char* argument);

}  // namespace LiteCallbacks
