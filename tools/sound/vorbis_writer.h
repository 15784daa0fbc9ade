// Ogg Vorbis encoding of rendered sound, and plain WAV for listening.
#pragma once
#include "synth.h"

#include <string>
#include <vector>

// VBR at the given quality (-0.1 .. 1). The stream serial number is fixed
// by the caller, so that the same samples always give the same bytes.
bool EncodeVorbis(const Audio& audio, double quality, int serial, const std::string& title,
                  std::vector<unsigned char>& out);
void EncodeWav(const Audio& audio, std::vector<unsigned char>& out);
