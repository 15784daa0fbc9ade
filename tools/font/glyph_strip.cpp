#include "glyph_strip.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct RenderedGlyph {
    int advance = 0;  // pixels
    int left = 0;     // bitmap offset from the pen
    int top = 0;      // bitmap top above the baseline
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;  // width x rows
};

class FaceHolder {
public:
    ~FaceHolder() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

bool LoadGlyph(FT_Face face, unsigned char c, RenderedGlyph& g, std::string& error) {
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0) {
        error = std::string("the font has no glyph for '") + (char)c + "'";
        return false;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) {
        error = std::string("cannot render '") + (char)c + "'";
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
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
            // 2-level grey maps (num_grays 2 .. 256) to 0..255.
            if (bm.num_grays > 1 && bm.num_grays != 256) level = level * 255 / (bm.num_grays - 1);
            g.coverage[(size_t)y * g.width + x] = (unsigned char)level;
        }
    return true;
}

// Highest ink above and lowest below the baseline of the characters.
bool MeasureInk(FT_Face face, const std::string& chars, int& above, int& below, std::string& error) {
    above = below = 0;
    for (unsigned char c : chars) {
        RenderedGlyph g;
        if (!LoadGlyph(face, c, g, error)) return false;
        if (g.rows == 0) continue;
        above = std::max(above, g.top);
        below = std::max(below, g.rows - g.top);
    }
    return true;
}

bool SetEm(FT_Face face, int em, std::string& error) {
    if (em < 1 || FT_Set_Pixel_Sizes(face, 0, (FT_UInt)em)) {
        error = "cannot scale the font to " + std::to_string(em) + " pixels";
        return false;
    }
    return true;
}

} // namespace

bool RenderGlyphStrip(const std::string& fontFile, const std::string& chars, int height, StripFit fit,
                      GlyphStrip& strip, std::string& error) {
    strip = GlyphStrip();
    if (chars.empty() || chars.size() > 255) {
        error = "a font defines 1 to 255 characters";
        return false;
    }
    for (size_t i = 0; i < chars.size(); ++i) {
        unsigned char c = (unsigned char)chars[i];
        // The game indexes glyphs by byte; the documents are UTF-8, so only
        // ASCII means the same byte on both sides.
        if (c < 32 || c > 126) {
            error = "character code " + std::to_string(c) + " is not printable ASCII";
            return false;
        }
        if (chars.find((char)c) != i) {
            error = std::string("'") + (char)c + "' is listed twice";
            return false;
        }
    }
    if (height < 8 || height > 512) {
        error = "a line is 8 to 512 pixels high";
        return false;
    }

    FaceHolder holder;
    if (FT_Init_FreeType(&holder.library)) {
        error = "FreeType does not start";
        return false;
    }
    if (FT_New_Face(holder.library, fontFile.c_str(), 0, &holder.face)) {
        error = "cannot open the font " + fontFile;
        return false;
    }
    FT_Face face = holder.face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        error = fontFile + " is not a scalable font";
        return false;
    }

    // Pick the pixel size and the baseline.
    int baseline = 0;
    if (fit == FIT_LINE) {
        int span = face->ascender - face->descender;
        if (span <= 0) {
            error = fontFile + " has no ascender and descender";
            return false;
        }
        int em = height * face->units_per_EM / span;
        int asc = 0, desc = 0;
        for (; em > 0; --em) {
            if (!SetEm(face, em, error)) return false;
            asc = (int)((face->size->metrics.ascender + 63) >> 6);
            desc = (int)((-face->size->metrics.descender + 63) >> 6);
            if (asc + desc <= height) break;
        }
        baseline = asc + (height - asc - desc) / 2;
    } else {
        const int margin = std::max(1, height / 32);
        const int room = height - 2 * margin;
        int above = 0, below = 0;
        const int probe = 256;
        if (!SetEm(face, probe, error) || !MeasureInk(face, chars, above, below, error)) return false;
        if (above + 2 * below <= 0) {
            error = "the characters have no ink to fit";
            return false;
        }
        // The ink above the baseline is centred in the line (board letters
        // sit in the middle of their tiles); what hangs below, such as a
        // comma's tail, stays inside the lower half.
        int em = probe * room / (above + 2 * below) + 1;
        for (; em > 0; --em) {
            if (!SetEm(face, em, error) || !MeasureInk(face, chars, above, below, error)) return false;
            if (above + 2 * below <= room) break;
        }
        baseline = (height + above) / 2;
    }

    std::vector<RenderedGlyph> glyphs(chars.size());
    int overhang = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (!LoadGlyph(face, (unsigned char)chars[i], glyphs[i], error)) return false;
        const RenderedGlyph& g = glyphs[i];
        if (g.width > 0) overhang = std::max(overhang, std::max(-g.left, g.left + g.width - g.advance));
    }
    // Ink past the advance stays inside the cell; one more clear pixel keeps
    // filtering from pulling in the neighbour.
    strip.pad = std::max(2, overhang + 1);
    strip.chars = chars;
    strip.height = height;
    for (const RenderedGlyph& g : glyphs) {
        strip.cellWidths.push_back(g.advance + 2 * strip.pad);
        strip.width += strip.cellWidths.back();
    }
    if (strip.width > kMaxStripWidth) {
        error = "the strip is " + std::to_string(strip.width) + " pixels wide; the game takes " +
                std::to_string(kMaxStripWidth) + " at most (fewer characters or a lower line)";
        return false;
    }

    // White everywhere, so filtering at the ink's edges never darkens it.
    strip.rgba.assign((size_t)strip.width * height * 4, 255);
    for (size_t i = 3; i < strip.rgba.size(); i += 4) strip.rgba[i] = 0;
    int x0 = 0, clipped = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const RenderedGlyph& g = glyphs[i];
        const int cellEnd = x0 + strip.cellWidths[i];
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x) {
                unsigned char a = g.coverage[(size_t)y * g.width + x];
                if (!a) continue;
                int px = x0 + strip.pad + g.left + x;
                int py = baseline - g.top + y;
                if (px < x0 || px >= cellEnd || py < 0 || py >= height) {
                    ++clipped;
                    continue;
                }
                strip.rgba[((size_t)py * strip.width + px) * 4 + 3] = a;
            }
        x0 = cellEnd;
    }
    if (clipped)
        std::fprintf(stderr, "qvfont: warning: %d ink pixels of %s fall outside the %d-pixel line\n", clipped,
                     fontFile.c_str(), height);
    return true;
}

std::string EncodeWidthList(const std::vector<int>& widths) {
    std::string out;
    size_t i = 0;
    while (i < widths.size()) {
        size_t run = 1;
        while (i + run < widths.size() && widths[i + run] == widths[i]) ++run;
        if (!out.empty()) out += ",";
        out += std::to_string(widths[i]);
        if (run > 1) out += ",-" + std::to_string(run - 1);
        i += run;
    }
    return out;
}

std::vector<int> DecodeWidthList(const std::string& list, size_t count) {
    std::vector<int> entries;
    const char* p = list.c_str();
    while (*p) {
        entries.push_back(std::atoi(p));
        const char* comma = std::strchr(p, ',');
        if (!comma) break;
        p = comma + 1;
    }
    std::vector<int> widths;
    int previous = 0;
    size_t e = 0;
    int repeat = 0;
    while (widths.size() < count) {
        if (repeat > 0) {
            --repeat;
            widths.push_back(previous);
            continue;
        }
        if (e >= entries.size()) break;
        int v = entries[e++];
        if (v < 0) {
            repeat = -v;
            continue;
        }
        previous = v;
        widths.push_back(v);
    }
    return widths;
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void FlushNothing(png_structp) {}

} // namespace

bool EncodeStripPng(const GlyphStrip& strip, std::vector<unsigned char>& png, std::string& error) {
    png.clear();
    if (strip.width <= 0 || strip.height <= 0 || strip.rgba.size() != (size_t)strip.width * strip.height * 4) {
        error = "empty strip";
        return false;
    }
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!writer || !info) {
        png_destroy_write_struct(&writer, nullptr);
        error = "libpng does not start";
        return false;
    }
    std::vector<png_bytep> rows((size_t)strip.height);
    for (int y = 0; y < strip.height; ++y)
        rows[y] = const_cast<png_bytep>(&strip.rgba[(size_t)y * strip.width * 4]);
    if (setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        png.clear();
        error = "libpng failed to write the strip";
        return false;
    }
    png_set_write_fn(writer, &png, WriteToVector, FlushNothing);
    png_set_IHDR(writer, info, (png_uint_32)strip.width, (png_uint_32)strip.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, 9);
    png_write_info(writer, info);
    png_write_image(writer, rows.data());
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return true;
}
