#include "blitter.h"

#include <cstddef>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#include <tmmintrin.h>
#define QV_BLEND_SSE2 1
#endif

namespace {

// One pixel blended over another with alpha a (0..255), channel by channel:
// d + floor((s - d) x a / 256), which is floor((s x a + d x (256 - a)) / 256),
// two channels at a time. The fourth byte of d stays.
inline uint32_t Blend(uint32_t s, uint32_t d, uint32_t a) {
    const uint32_t na = 256 - a;
    uint32_t rb = (((s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * na) >> 8) & 0x00FF00FFu;
    uint32_t g = (((s & 0x0000FF00u) * a + (d & 0x0000FF00u) * na) >> 8) & 0x0000FF00u;
    return (d & 0xFF000000u) | rb | g;
}

// The same blend straight onto an RGB565 pixel, with no widening and
// narrowing: the result is what Blend gives on the widened pixel (red and
// blue shifted left by 3, green by 2) narrowed again, since for a channel
// of n bits below 8, ((d << (8 - n)) x (256 - a) + s x a) >> 8 >> (8 - n)
// equals (d x (256 - a) + ((s x a) >> (8 - n))) >> 8. Red and blue are
// worked out in one word (blue in the low half, red in the high half; no
// sum reaches 2^16), green in another.
inline uint16_t Blend565(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24, na = 256 - a;
    const uint32_t srb = (((s & 0x00FF00FFu) * a) >> 3) & 0x1FFF1FFFu;
    const uint32_t sg = (((s >> 8) & 0xFFu) * a) >> 2;
    const uint32_t rb = ((d & 0x001Fu) | ((d & 0xF800u) << 5)) * na + srb;
    const uint32_t g = ((d >> 5) & 0x3Fu) * na + sg;
    return (uint16_t)(((rb >> 8) & 0x001Fu) | ((rb >> 13) & 0xF800u) | ((g >> 3) & 0x07E0u));
}

#ifdef QV_BLEND_SSE2
// Four pixels of Blend565 at once, in 16-bit lanes: every product and sum
// of Blend565 stays below 2^16, so the lanes give the same numbers.
__attribute__((target("sse2"))) void Blend565x4(const uint32_t* s, uint16_t* d) {
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i dst = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
    const __m128i byte = _mm_set1_epi32(0xFF);
    // Lanes 0-3 blue and 4-7 red; lanes 0-3 green and 4-7 alpha.
    const __m128i br = _mm_packs_epi32(_mm_and_si128(src, byte), _mm_and_si128(_mm_srli_epi32(src, 16), byte));
    const __m128i ga = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(src, 8), byte), _mm_srli_epi32(src, 24));
    const __m128i a = _mm_unpackhi_epi64(ga, ga);
    const __m128i na = _mm_sub_epi16(_mm_set1_epi16(256), a);
    const __m128i sbr = _mm_srli_epi16(_mm_mullo_epi16(br, a), 3);
    const __m128i sg = _mm_srli_epi16(_mm_mullo_epi16(ga, a), 2);
    const __m128i db = _mm_and_si128(dst, _mm_set1_epi16(0x1F));
    const __m128i dg = _mm_and_si128(_mm_srli_epi16(dst, 5), _mm_set1_epi16(0x3F));
    const __m128i dbr = _mm_unpacklo_epi64(db, _mm_srli_epi16(dst, 11));
    const __m128i obr = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(dbr, na), sbr), 8);
    const __m128i og = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(dg, na), sg), 8);
    const __m128i out =
        _mm_or_si128(_mm_or_si128(obr, _mm_slli_epi16(og, 5)), _mm_slli_epi16(_mm_srli_si128(obr, 8), 11));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), out);
}

bool HasSse2() {
    static const int has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") ? 1 : 0;
    }();
    return has != 0;
}
#endif

// A stretch of pixels blended onto RGB565, four at a time where the
// processor allows.
void Blend565Span(uint16_t* d, const uint32_t* s, int n) {
    int x = 0;
#ifdef QV_BLEND_SSE2
    if (n >= 4 && HasSse2())
        for (; x + 4 <= n; x += 4) Blend565x4(s + x, d + x);
#endif
    for (; x < n; ++x) d[x] = Blend565(s[x], d[x]);
}

void Row32Opaque(uint32_t* d, const uint32_t* s, int w) { std::memcpy(d, s, (size_t)w * 4); }

inline uint32_t Word24(const unsigned char* s) {
    return 0xFF000000u | (uint32_t)s[0] | (uint32_t)s[1] << 8 | (uint32_t)s[2] << 16;
}

#ifdef QV_BLEND_SSE2
// Sixteen 3-byte pixels (48 bytes, read exactly) widened to words with
// 255 in the fourth byte.
__attribute__((target("ssse3"))) void Widen24x16(const unsigned char* s, uint32_t* d) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i alpha = _mm_set1_epi32((int)0xFF000000u);
    __m128i* out = reinterpret_cast<__m128i*>(d);
    _mm_storeu_si128(out, _mm_or_si128(_mm_shuffle_epi8(a, spread), alpha));
    _mm_storeu_si128(out + 1, _mm_or_si128(_mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread), alpha));
    _mm_storeu_si128(out + 2, _mm_or_si128(_mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread), alpha));
    _mm_storeu_si128(out + 3, _mm_or_si128(_mm_shuffle_epi8(_mm_srli_si128(c, 4), spread), alpha));
}

bool HasSsse3() {
    static const int has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") ? 1 : 0;
    }();
    return has != 0;
}
#endif

// A row of a 3-byte image onto a 32-bit surface: widened as it goes, 255
// in every fourth byte.
void Row32From24(uint32_t* d, const unsigned char* s, int w) {
    int x = 0;
#ifdef QV_BLEND_SSE2
    if (w >= 16 && HasSsse3())
        for (; x + 16 <= w; x += 16) Widen24x16(s + (size_t)x * 3, d + x);
#endif
    for (; x < w; ++x) d[x] = Word24(s + (size_t)x * 3);
}

void Row565From24(uint16_t* d, const unsigned char* s, const uint16_t* s565, int w) {
    if (s565) {
        std::memcpy(d, s565, (size_t)w * 2);
        return;
    }
    for (int x = 0; x < w; ++x) d[x] = To565(Word24(s + (size_t)x * 3));
}

void Row32Alpha(uint32_t* d, const uint32_t* s, int w) {
    int x = 0;
    for (; x + 2 <= w; x += 2) {
        uint64_t pair;
        std::memcpy(&pair, s + x, 8);
        const uint64_t alphas = pair & 0xFF000000FF000000ull;
        if (alphas == 0) continue;
        if (alphas == 0xFF000000FF000000ull) {
            std::memcpy(d + x, &pair, 8);
            continue;
        }
        d[x] = Blend(s[x], d[x], s[x] >> 24);
        d[x + 1] = Blend(s[x + 1], d[x + 1], s[x + 1] >> 24);
    }
    if (x < w) d[x] = Blend(s[x], d[x], s[x] >> 24);
}

void Row565Opaque(uint16_t* d, const uint32_t* s, const uint16_t* s565, int w) {
    if (s565) {
        std::memcpy(d, s565, (size_t)w * 2);
        return;
    }
    for (int x = 0; x < w; ++x) d[x] = To565(s[x]);
}

void Row565Alpha(uint16_t* d, const uint32_t* s, const uint16_t* s565, int w) {
    int x = 0;
    for (; x + 2 <= w; x += 2) {
        uint64_t pair;
        std::memcpy(&pair, s + x, 8);
        const uint64_t alphas = pair & 0xFF000000FF000000ull;
        if (alphas == 0) continue;
        if (alphas == 0xFF000000FF000000ull) {
            if (s565) {
                std::memcpy(d + x, s565 + x, 4);
            } else {
                d[x] = To565(s[x]);
                d[x + 1] = To565(s[x + 1]);
            }
            continue;
        }
        d[x] = Blend565(s[x], d[x]);
        d[x + 1] = Blend565(s[x + 1], d[x + 1]);
    }
    if (x < w) d[x] = Blend565(s[x], d[x]);
}

// Blends (alpha 1 to 254, or an opaque pixel without an opaque partner)
// one pixel of either depth.
inline void BlendPixel(unsigned char* line, unsigned bpp, int x, uint32_t s) {
    if (bpp == 4) {
        uint32_t* d = reinterpret_cast<uint32_t*>(line) + x;
        *d = Blend(s, *d, s >> 24);
    } else {
        uint16_t* d = reinterpret_cast<uint16_t*>(line) + x;
        *d = Blend565(s, *d);
    }
}

// One row of an image with runs: transparent runs cost nothing, opaque
// runs are copied in one go, the rest is blended pixel by pixel. The pairs
// of the rule count from the row's first drawn pixel (column a of the
// image): an opaque pixel is copied only when its partner is opaque too,
// which inside a run fails only at the run's ends.
void RowWithRuns(unsigned char* line, unsigned bpp, int dx, const SpriteImage& image, int row, int a, int w) {
    const uint32_t* run = image.runs + image.rowStart[row];
    const uint32_t* end = image.runs + image.rowStart[row + 1];
    const uint32_t* src = image.pixels + (size_t)row * image.width;
    const uint16_t* src565 = image.pixels565 ? image.pixels565 + (size_t)row * image.width : nullptr;
    const int b = a + w;
    int p = 0;
    for (; run < end && p < b; ++run) {
        const int length = (int)(*run >> 2), kind = (int)(*run & 3);
        int lo = p > a ? p : a, hi = p + length < b ? p + length : b;
        p += length;
        if (lo >= hi || kind == kRunTransparent) continue;
        if (kind == kRunBlended) {
            // The source's share is worked out once for a stretch of equal
            // pixels (a shade over the screen, a flat glow): the same sums
            // as Blend.
            uint32_t last = ~src[lo], srb = 0, sg = 0, na = 0;
            auto share = [&](uint32_t p) {
                if (p == last) return;
                last = p;
                const uint32_t alpha = p >> 24;
                na = 256 - alpha;
                srb = (p & 0x00FF00FFu) * alpha;
                sg = (p & 0x0000FF00u) * alpha;
            };
            auto mix = [&](uint32_t dst) {
                return (dst & 0xFF000000u) | (((srb + (dst & 0x00FF00FFu) * na) >> 8) & 0x00FF00FFu) |
                       (((sg + (dst & 0x0000FF00u) * na) >> 8) & 0x0000FF00u);
            };
            if (bpp == 4) {
                uint32_t* d = reinterpret_cast<uint32_t*>(line) + dx - a;
                for (int x = lo; x < hi; ++x) {
                    share(src[x]);
                    d[x] = mix(d[x]);
                }
            } else {
                Blend565Span(reinterpret_cast<uint16_t*>(line) + dx - a + lo, src + lo, hi - lo);
            }
            continue;
        }
        // Opaque: the first pixel pairs backwards when it sits at an odd
        // place, the last forwards when at an even one; those partners lie
        // outside the run (or outside the row), so those pixels blend.
        if ((lo - a) & 1) BlendPixel(line, bpp, dx + lo - a, src[lo]), ++lo;
        if (lo < hi && !((hi - 1 - a) & 1)) BlendPixel(line, bpp, dx + hi - 1 - a, src[hi - 1]), --hi;
        if (lo >= hi) continue;
        if (bpp == 4) {
            std::memcpy(reinterpret_cast<uint32_t*>(line) + dx + lo - a, src + lo, (size_t)(hi - lo) * 4);
        } else if (src565) {
            std::memcpy(reinterpret_cast<uint16_t*>(line) + dx + lo - a, src565 + lo, (size_t)(hi - lo) * 2);
        } else {
            uint16_t* d = reinterpret_cast<uint16_t*>(line) + dx - a;
            for (int x = lo; x < hi; ++x) d[x] = To565(src[x]);
        }
    }
}

} // namespace

void MakeSpriteRuns(const uint32_t* pixels, unsigned width, unsigned height, std::vector<uint32_t>& rowStart,
                    std::vector<uint32_t>& runs) {
    rowStart.assign(1, 0);
    runs.clear();
    for (unsigned y = 0; y < height; ++y) {
        const uint32_t* row = pixels + (size_t)y * width;
        unsigned x = 0;
        while (x < width) {
            auto classOf = [](uint32_t p) {
                uint32_t a = p >> 24;
                return a == 0 ? kRunTransparent : a == 255 ? kRunOpaque : kRunBlended;
            };
            const int kind = classOf(row[x]);
            unsigned n = 1;
            while (x + n < width && classOf(row[x + n]) == kind) ++n;
            runs.push_back((uint32_t)n << 2 | (uint32_t)kind);
            x += n;
        }
        rowStart.push_back((uint32_t)runs.size());
    }
}

void BlitRegion(const SurfaceInfo& dst, int dx, int dy, const SpriteImage& image, int sx, int sy, int w, int h,
                bool mirrorRows) {
    if (!dst.pixels || w <= 0 || h <= 0) return;
    // Words, or three bytes a pixel for an image without alpha.
    if (!image.pixels && (!image.pixels24 || image.hasAlpha)) return;
    if (dst.bytesPerPixel != 2 && dst.bytesPerPixel != 4) return;
    // The region itself must lie inside the image.
    const int iw = (int)image.width, ih = (int)image.height;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx + w > iw) w = iw - sx;
    if (sy + h > ih) h = ih - sy;
    if (w <= 0 || h <= 0) return;
    // Mirrored, destination row r shows region row h - 1 - r: clipping rows
    // off the top of the surface then takes them off the region's bottom.
    const int regionTop = sy, regionRows = h;
    int firstRow = 0;  // region row (as counted on the surface) drawn first
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { firstRow = -dy; h += dy; dy = 0; }
    const int W = (int)dst.width, H = (int)dst.height;
    if (dx >= W || dy >= H) return;
    if (dx + w > W) w = W - dx;
    if (dy + h > H) h = H - dy;
    if (w <= 0 || h <= 0) return;

    for (int r = 0; r < h; ++r) {
        const int onSurface = firstRow + r;
        const int srcRow = mirrorRows ? regionTop + regionRows - 1 - onSurface : regionTop + onSurface;
        const size_t at = (size_t)srcRow * image.width + sx;
        unsigned char* line = dst.pixels + (ptrdiff_t)(dy + r) * dst.pitch;
        if (!image.pixels) {
            if (dst.bytesPerPixel == 4)
                Row32From24(reinterpret_cast<uint32_t*>(line) + dx, image.pixels24 + at * 3, w);
            else
                Row565From24(reinterpret_cast<uint16_t*>(line) + dx, image.pixels24 + at * 3,
                             image.pixels565 ? image.pixels565 + at : nullptr, w);
            continue;
        }
        const uint32_t* s = image.pixels + at;
        if (image.hasAlpha && image.runs && image.rowStart) {
            RowWithRuns(line, dst.bytesPerPixel, dx, image, srcRow, sx, w);
        } else if (dst.bytesPerPixel == 4) {
            uint32_t* d = reinterpret_cast<uint32_t*>(line) + dx;
            if (image.hasAlpha) Row32Alpha(d, s, w);
            else Row32Opaque(d, s, w);
        } else {
            uint16_t* d = reinterpret_cast<uint16_t*>(line) + dx;
            const uint16_t* s565 = image.pixels565 ? image.pixels565 + at : nullptr;
            if (image.hasAlpha) Row565Alpha(d, s, s565, w);
            else Row565Opaque(d, s, s565, w);
        }
    }
}
