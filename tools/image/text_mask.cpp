#include "text_mask.h"

#include "ft_glyph.h"

#include <algorithm>
#include <cmath>

namespace {

using Glyph = FtGlyph;

// A glyph placed on the mask: its bitmap's top-left corner.
struct Placed {
    const Glyph* glyph;
    float x, y;
};

} // namespace

float TextMask::At(float x, float y) const {
    x -= 0.5f, y -= 0.5f;
    int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    float fx = x - x0, fy = y - y0;
    auto px = [&](int xx, int yy) -> float {
        if (xx < 0 || yy < 0 || xx >= width || yy >= height) return 0;
        return cover[(size_t)yy * width + xx];
    };
    return (px(x0, y0) * (1 - fx) + px(x0 + 1, y0) * fx) * (1 - fy) +
           (px(x0, y0 + 1) * (1 - fx) + px(x0 + 1, y0 + 1) * fx) * fy;
}

bool RenderTextMask(const std::string& text, const TextStyle& style, TextMask& mask, std::string& error) {
    if (text.empty()) {
        error = "no text";
        return false;
    }
    FtFont f;
    if (!f.Open(style.fontFile, error)) return false;
    int em = (int)std::lround(style.pixels);
    if (em < 2 || em > 1024 || FT_Set_Pixel_Sizes(f.face, 0, (FT_UInt)em)) {
        error = "cannot scale the font to " + std::to_string(em) + " pixels";
        return false;
    }
    std::vector<Glyph> glyphs(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!RenderFtGlyph(f.face, (unsigned char)text[i], glyphs[i], error)) return false;

    // Lay the glyphs out in pixels, the pen on the baseline at y = 0.
    std::vector<Placed> placed;
    if (style.stack) {
        Glyph capital;
        if (!RenderFtGlyph(f.face, 'H', capital, error)) return false;
        float step = style.gap > 0 ? style.gap : capital.rows * 1.15f;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& g = glyphs[i];
            // Each letter centred on x = 0 by its ink, baselines a step apart.
            placed.push_back({&g, -g.width / 2.0f, i * step - g.top});
        }
    } else {
        float pen = 0;
        for (const Glyph& g : glyphs) {
            placed.push_back({&g, pen + g.left, (float)-g.top});
            pen += g.advance + style.track;
        }
    }
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const Placed& p : placed) {
        if (p.glyph->width == 0 || p.glyph->rows == 0) continue;
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x + p.glyph->width);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y + p.glyph->rows);
    }
    if (minX > maxX) {
        error = "the text has no ink";
        return false;
    }
    int margin = (int)std::ceil(style.grow) + 2;
    mask.width = (int)std::ceil(maxX - minX) + 2 * margin;
    mask.height = (int)std::ceil(maxY - minY) + 2 * margin;
    mask.cover.assign((size_t)mask.width * mask.height, 0);
    for (const Placed& p : placed) {
        int ox = (int)std::lround(p.x - minX) + margin, oy = (int)std::lround(p.y - minY) + margin;
        for (int y = 0; y < p.glyph->rows; ++y)
            for (int x = 0; x < p.glyph->width; ++x) {
                float& d = mask.cover[(size_t)(oy + y) * mask.width + ox + x];
                d = std::max(d, p.glyph->coverage[(size_t)y * p.glyph->width + x] / 255.0f);
            }
    }
    if (style.grow > 0) {
        // The strongest coverage within the radius, fading over its last pixel.
        std::vector<float> grown(mask.cover.size(), 0);
        int r = (int)std::ceil(style.grow);
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x) {
                float best = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        int xx = x + dx, yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= mask.width || yy >= mask.height) continue;
                        float d = std::sqrt((float)(dx * dx + dy * dy));
                        float w = std::min(1.0f, std::max(0.0f, style.grow + 0.5f - d));
                        best = std::max(best, mask.cover[(size_t)yy * mask.width + xx] * w);
                    }
                grown[(size_t)y * mask.width + x] = best;
            }
        mask.cover.swap(grown);
    }
    mask.cx = mask.width / 2.0f;
    mask.cy = mask.height / 2.0f;
    if (style.maxWidth > 0 && mask.width - 2 * margin > style.maxWidth) {
        // Squeeze sideways into the width.
        float k = style.maxWidth / (mask.width - 2 * margin);
        TextMask narrow;
        narrow.height = mask.height;
        narrow.width = (int)std::ceil(mask.width * k);
        narrow.cover.assign((size_t)narrow.width * narrow.height, 0);
        for (int y = 0; y < narrow.height; ++y)
            for (int x = 0; x < narrow.width; ++x) {
                // Average the source pixels this one spans.
                float s0 = x / k, s1 = (x + 1) / k, sum = 0, n = 0;
                for (float s = s0; s < s1; s += 0.25f) sum += mask.At(s + 0.125f, y + 0.5f), n += 1;
                narrow.cover[(size_t)y * narrow.width + x] = n > 0 ? sum / n : 0;
            }
        narrow.cx = narrow.width / 2.0f;
        narrow.cy = narrow.height / 2.0f;
        mask = narrow;
    }
    return true;
}

void DrawTextMask(Canvas& canvas, const TextMask& mask, float x, float y, float angle, const Paint& paint,
                  float opacity, bool add) {
    const float a = angle * 3.14159265358979f / 180.0f, c = std::cos(a), s = std::sin(a);
    float reach = std::sqrt(mask.width * mask.width + mask.height * mask.height) / 2 + 2;
    int x0 = std::max(0, (int)std::floor(x - reach)), x1 = std::min(canvas.Width() - 1, (int)std::ceil(x + reach));
    int y0 = std::max(0, (int)std::floor(y - reach)), y1 = std::min(canvas.Height() - 1, (int)std::ceil(y + reach));
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            // Back into the mask: undo the clockwise turn (y grows downward).
            float dx = px + 0.5f - x, dy = py + 0.5f - y;
            float mx = dx * c + dy * s, my = -dx * s + dy * c;
            float cover = mask.At(mx + mask.cx, my + mask.cy) * opacity;
            if (cover <= 0.002f) continue;
            canvas.CoverPixel(px, py, cover, paint.At(px + 0.5f, py + 0.5f), add);
        }
}
