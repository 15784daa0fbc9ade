// Glyph strips: one row of glyph cells rendered from a TrueType font, white
// with the anti-aliased coverage in the alpha channel, and the numbers the
// game's "font" element needs to cut it back into glyphs.
#pragma once
#include <string>
#include <vector>

// The game refuses wider images (texture.h: kMaxImageSide).
const int kMaxStripWidth = 4096;

// How the characters are scaled into the line.
enum StripFit {
    FIT_LINE,  // the font's ascender to descender fills the line: any text
    FIT_INK    // the characters' own ink fills it (a fixed set, e.g. capitals)
};

struct GlyphStrip {
    std::string chars;            // in strip order
    int height = 0;               // pixels: one line
    int pad = 0;                  // transparent pixels at each side of a cell
    std::vector<int> cellWidths;  // advance + 2 x pad, one per character
    int width = 0;                // sum of the cell widths
    std::vector<unsigned char> rgba;  // width x height x 4, rows top first

    // Pixels between characters in the game's terms: the cells overlap by
    // their padding, so text advances by the font's own advance widths.
    int CharsDistance() const { return -2 * pad; }
};

// Renders chars from the font file into a strip height pixels high.
// false with a message in error.
bool RenderGlyphStrip(const std::string& fontFile, const std::string& chars, int height, StripFit fit,
                      GlyphStrip& strip, std::string& error);

// The widths as the "chars_width" list: runs of one width written as the
// width and -(repeats), e.g. 10,10,10 as "10,-2".
std::string EncodeWidthList(const std::vector<int>& widths);
// The game's reading of such a list for count characters (for checks).
std::vector<int> DecodeWidthList(const std::string& list, size_t count);

// A PNG (colour type 6, 8 bits) of the strip.
bool EncodeStripPng(const GlyphStrip& strip, std::vector<unsigned char>& png, std::string& error);
