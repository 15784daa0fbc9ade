#include "ft_glyph.h"

FtFont::~FtFont() {
    if (face) FT_Done_Face(face);
    if (library_) FT_Done_FreeType(library_);
}

bool FtFont::Open(const std::string& file, std::string& error) {
    if (!library_ && FT_Init_FreeType(&library_)) {
        library_ = nullptr;
        error = "FreeType does not start";
        return false;
    }
    if (face) FT_Done_Face(face);
    face = nullptr;
    if (FT_New_Face(library_, file.c_str(), 0, &face)) {
        face = nullptr;
        error = "cannot open the font " + file;
        return false;
    }
    return true;
}

bool RenderFtGlyph(FT_Face face, unsigned char c, FtGlyph& g, std::string& error) {
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0) {
        error = std::string("the font has no glyph for '") + (char)c + "'";
        return false;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) {
        error = std::string("cannot render '") + (char)c + "'";
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width > 0 && bm.rows > 0 && bm.pixel_mode != FT_PIXEL_MODE_GRAY) {
        error = std::string("'") + (char)c + "' did not render to grey levels";
        return false;
    }
    g.advance = (int)((slot->advance.x + 32) >> 6);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = (int)bm.width;
    g.rows = (int)bm.rows;
    g.coverage.assign((size_t)g.width * g.rows, 0);
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x) {
            int level = bm.buffer[y * bm.pitch + x];
            // Maps of fewer grey levels (num_grays 2 .. 255) stretched to 0..255.
            if (bm.num_grays > 1 && bm.num_grays != 256) level = level * 255 / (bm.num_grays - 1);
            g.coverage[(size_t)y * g.width + x] = (unsigned char)level;
        }
    return true;
}
