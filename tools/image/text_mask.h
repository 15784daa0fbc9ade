// Lettering for the image recipes: a line of text (or a column of letters)
// rendered by FreeType into a coverage mask, then laid onto the canvas
// turned about its centre.
#pragma once
#include <string>
#include <vector>

#include "canvas.h"

struct TextStyle {
    std::string fontFile;  // a TrueType font
    float pixels = 32;     // em size in pixels
    bool stack = false;    // one letter under another, each centred
    float gap = 0;         // stacked: the step from letter to letter (0: the cap height x 1.15)
    float maxWidth = 0;    // > 0: squeezed sideways to fit this width
    float grow = 0;        // thickens the letters by this many pixels (outlines)
    float track = 0;       // extra pixels between letters of a line
};

// The text's ink as coverage, centred: cx, cy is the middle of the ink box.
struct TextMask {
    int width = 0, height = 0;
    float cx = 0, cy = 0;
    std::vector<float> cover;  // width x height, rows top first
    float At(float x, float y) const;  // bilinear, 0 outside
};

// false with a message in error.
bool RenderTextMask(const std::string& text, const TextStyle& style, TextMask& mask, std::string& error);

// Lays the mask onto the canvas with its centre at (x, y), turned by angle
// degrees clockwise, coloured by the paint.
void DrawTextMask(Canvas& canvas, const TextMask& mask, float x, float y, float angle, const Paint& paint,
                  float opacity, bool add);
