// Glyphs rendered by FreeType to grey coverage, for the tools that letter
// images and make the fonts' glyph strips.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

struct FtGlyph {
    int advance = 0;  // pixels
    int left = 0;     // bitmap offset from the pen
    int top = 0;      // bitmap top above the baseline
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;  // width x rows, 0..255
};

// A font file opened by its own FreeType library; both go with the object.
class FtFont {
public:
    FtFont() = default;
    FtFont(const FtFont&) = delete;
    FtFont& operator=(const FtFont&) = delete;
    ~FtFont();
    bool Open(const std::string& file, std::string& error);
    FT_Face face = nullptr;

private:
    FT_Library library_ = nullptr;
};

// Renders character c at the face's current size; false with a reason when
// the font lacks it or it does not render to grey levels.
bool RenderFtGlyph(FT_Face face, unsigned char c, FtGlyph& g, std::string& error);
