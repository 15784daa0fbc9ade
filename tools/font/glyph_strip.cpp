#include "glyph_strip.h"

#include "ft_glyph.h"
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {


// Highest ink above and lowest below the baseline of the characters.
bool MeasureInk(FT_Face face, const std::string& chars, int& above, int& below, std::string& error) {
    above = below = 0;
    for (unsigned char c : chars) {
        FtGlyph g;
        if (!RenderFtGlyph(face, c, g, error)) return false;
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

    FtFont font;
    if (!font.Open(fontFile, error)) return false;
    FT_Face face = font.face;
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

    std::vector<FtGlyph> glyphs(chars.size());
    int overhang = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (!RenderFtGlyph(face, (unsigned char)chars[i], glyphs[i], error)) return false;
        const FtGlyph& g = glyphs[i];
        if (g.width > 0) overhang = std::max(overhang, std::max(-g.left, g.left + g.width - g.advance));
    }
    // Ink past the advance stays inside the cell; one more clear pixel keeps
    // filtering from pulling in the neighbour.
    strip.pad = std::max(2, overhang + 1);
    strip.chars = chars;
    strip.height = height;
    for (const FtGlyph& g : glyphs) {
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
        const FtGlyph& g = glyphs[i];
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
