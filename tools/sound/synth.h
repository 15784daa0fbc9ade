// Renders a recipe to samples: oscillators, envelopes and filters for the
// tones, synthetic drums, crowd voices, then reverb or echo, the loop fold
// and the peak level.
#pragma once
#include "recipe.h"

#include <string>
#include <vector>

struct Audio {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;  // interleaved, -1..1
    size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

bool RenderRecipe(const Recipe& recipe, Audio& out, std::string& error);
