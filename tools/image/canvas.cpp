#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const float kPi = 3.14159265358979f;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

// Image angle of (dx, dy) about a centre: 0 straight up, growing clockwise,
// in degrees 0..360.
float ImageAngle(float dx, float dy) {
    float a = std::atan2(dx, -dy) * 180.0f / kPi;
    return a < 0 ? a + 360.0f : a;
}

float PositiveMod(float v, float m) {
    float r = std::fmod(v, m);
    return r < 0 ? r + m : r;
}

float BoxDistance(float x, float y, float cx, float cy, float hx, float hy) {
    float dx = std::fabs(x - cx) - hx, dy = std::fabs(y - cy) - hy;
    float outside = Length(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f);
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool ParseColour(const std::string& text, Colour& out) {
    if (text.size() < 2 || text[0] != '#') return false;
    std::string h = text.substr(1);
    if (h.size() == 3) h = std::string{h[0], h[0], h[1], h[1], h[2], h[2]};
    if (h.size() != 6 && h.size() != 8) return false;
    float v[4] = {0, 0, 0, 1};
    for (size_t i = 0; i < h.size() / 2; ++i) {
        int hi = Hex(h[i * 2]), lo = Hex(h[i * 2 + 1]);
        if (hi < 0 || lo < 0) return false;
        v[i] = (float)(hi * 16 + lo) / 255.0f;
    }
    out = Colour{v[0], v[1], v[2], v[3]};
    return true;
}

Colour Paint::At(float x, float y) const {
    if (stops.empty()) return Colour();
    if (kind == Solid || stops.size() == 1) return stops[0].colour;
    float t = 0;
    switch (kind) {
    case Linear: {
        float vx = x1 - x0, vy = y1 - y0;
        float len2 = vx * vx + vy * vy;
        t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0;
        break;
    }
    case Radial:
        t = radius > 0 ? Length(x - x0, y - y0) / radius : 0;
        break;
    case Conic:
        t = PositiveMod(ImageAngle(x - x0, y - y0) - x1, 360.0f) / 360.0f;
        break;
    default:
        break;
    }
    if (t <= stops.front().at) return stops.front().colour;
    if (t >= stops.back().at) return stops.back().colour;
    size_t i = 1;
    while (i < stops.size() - 1 && stops[i].at < t) ++i;
    const Stop& a = stops[i - 1];
    const Stop& b = stops[i];
    float f = b.at > a.at ? (t - a.at) / (b.at - a.at) : 0;
    // Blend premultiplied, so a fade to transparent does not darken.
    float aa = a.colour.a * (1 - f), ba = b.colour.a * f;
    Colour c;
    c.a = aa + ba;
    if (c.a > 0) {
        c.r = (a.colour.r * aa + b.colour.r * ba) / c.a;
        c.g = (a.colour.g * aa + b.colour.g * ba) / c.a;
        c.b = (a.colour.b * aa + b.colour.b * ba) / c.a;
    }
    return c;
}

float Shape::Distance(float x, float y) const {
    switch (kind) {
    case All:
        return -1e6f;
    case Rect:
        return BoxDistance(x, y, p[0] + p[2] / 2, p[1] + p[3] / 2, p[2] / 2, p[3] / 2);
    case Round: {
        float r = std::min(p[4], std::min(p[2], p[3]) / 2);
        return BoxDistance(x, y, p[0] + p[2] / 2, p[1] + p[3] / 2, p[2] / 2 - r, p[3] / 2 - r) - r;
    }
    case Circle:
        return Length(x - p[0], y - p[1]) - p[2];
    case Ellipse: {
        float rx = std::max(p[2], 1e-3f), ry = std::max(p[3], 1e-3f);
        float dx = x - p[0], dy = y - p[1];
        float k0 = Length(dx / rx, dy / ry);
        float k1 = Length(dx / (rx * rx), dy / (ry * ry));
        return k1 > 0 ? k0 * (k0 - 1) / k1 : -std::min(rx, ry);
    }
    case Ring: {
        float d = Length(x - p[0], y - p[1]);
        return std::max(d - p[3], p[2] - d);
    }
    case Wedge: {
        float dx = x - p[0], dy = y - p[1];
        float rho = Length(dx, dy);
        float ring = std::max(rho - p[3], p[2] - rho);
        float span = p[5] - p[4];
        float t = PositiveMod(ImageAngle(dx, dy) - p[4], 360.0f);
        float angular;
        if (t <= span) {
            float inside = std::min(t, span - t);
            angular = -rho * std::sin(std::min(inside, 90.0f) * kPi / 180.0f);
        } else {
            float outside = std::min(t - span, 360.0f - t);
            angular = rho * std::sin(std::min(outside, 90.0f) * kPi / 180.0f);
        }
        return std::max(ring, angular);
    }
    case Diamonds: {
        float s = std::max(p[0], 1.0f);
        float u = PositiveMod(x + y, s), v = PositiveMod(x - y, s);
        float d = std::min(std::min(u, s - u), std::min(v, s - v)) / std::sqrt(2.0f);
        return d - p[1] / 2;
    }
    case Stripes: {
        float a = p[0] * kPi / 180.0f, s = std::max(p[1], 1.0f);
        float t = PositiveMod(x * std::cos(a) + y * std::sin(a), s);
        return std::min(t, s - t) - p[2] / 2;
    }
    case Dots: {
        float s = std::max(p[0], 1.0f);
        float row = std::floor(y / s);
        float shift = (p[2] != 0 && PositiveMod(row, 2.0f) >= 1.0f) ? s / 2 : 0;
        float cx = std::floor((x - shift) / s) * s + s / 2 + shift;
        float cy = row * s + s / 2;
        return Length(x - cx, y - cy) - p[1];
    }
    case Spokes: {
        // count radial segments from r0 to r1, the first at angle start.
        float dx = x - p[0], dy = y - p[1];
        float rho = Length(dx, dy);
        float n = std::max(p[4], 1.0f), step = 360.0f / n;
        float t = PositiveMod(ImageAngle(dx, dy) - p[5], step);
        float off = std::min(t, step - t) * kPi / 180.0f;  // to the nearest spoke
        float across = rho * std::sin(std::min(off, kPi / 2));
        float along = rho * std::cos(std::min(off, kPi / 2));
        float beyond = std::max(p[2] - along, along - p[3]);
        float d = beyond > 0 ? Length(beyond, across) : across;
        return d - p[6] / 2;
    }
    case RingDots: {
        // count dots of radius p[5] on the circle of radius p[2], the first at angle p[4].
        float dx = x - p[0], dy = y - p[1];
        float n = std::max(p[3], 1.0f), step = 360.0f / n;
        float k = std::floor(PositiveMod(ImageAngle(dx, dy) - p[4] + step / 2, 360.0f) / step);
        float a = (p[4] + k * step) * kPi / 180.0f;
        return Length(dx - p[2] * std::sin(a), dy + p[2] * std::cos(a)) - p[5];
    }
    }
    return 1e6f;
}

float Figure::Coverage(float x, float y) const {
    if (shapes.empty()) return 0;
    x -= dx;
    y -= dy;
    float d = shapes[0].Distance(x, y);
    for (size_t i = 1; i < shapes.size(); ++i) {
        float e = shapes[i].Distance(x, y);
        d = cut[i - 1] ? std::max(d, -e) : std::max(d, e);
    }
    if (line > 0) d = std::fabs(d) - line / 2;
    float w = std::max(soft, 1e-3f);
    return Clamp01(0.5f - d / w) * opacity;
}

Canvas::Canvas(int w, int h) : width(w), height(h), px((size_t)w * h * 4, 0.0f) {}

void Canvas::Fill(const Figure& figure, const Paint& paint) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float fx = x + 0.5f, fy = y + 0.5f;
            float cover = figure.Coverage(fx, fy);
            if (cover <= 0) continue;
            Colour c = paint.At(fx, fy);
            float a = c.a * cover;
            float* d = &px[((size_t)y * width + x) * 4];
            if (figure.add) {
                d[0] += c.r * a;
                d[1] += c.g * a;
                d[2] += c.b * a;
            } else {
                float keep = 1 - a;
                d[0] = c.r * a + d[0] * keep;
                d[1] = c.g * a + d[1] * keep;
                d[2] = c.b * a + d[2] * keep;
                d[3] = a + d[3] * keep;
            }
        }
    }
}

void Canvas::CoverPixel(int x, int y, float cover, const Colour& c, bool add) {
    if (x < 0 || y < 0 || x >= width || y >= height || cover <= 0) return;
    float a = c.a * (cover > 1 ? 1 : cover);
    float* d = &px[((size_t)y * width + x) * 4];
    if (add) {
        d[0] += c.r * a;
        d[1] += c.g * a;
        d[2] += c.b * a;
        return;
    }
    float keep = 1 - a;
    d[0] = c.r * a + d[0] * keep;
    d[1] = c.g * a + d[1] * keep;
    d[2] = c.b * a + d[2] * keep;
    d[3] = a + d[3] * keep;
}

void Canvas::Noise(float amount, unsigned seed) {
    unsigned state = seed ? seed : 1;
    for (size_t i = 0; i < px.size(); i += 4) {
        state = state * 1103515245u + 12345u;
        float n = ((float)((state >> 8) & 0xFFFF) / 65535.0f - 0.5f) * 2 * amount;
        for (int k = 0; k < 3; ++k) px[i + k] += n * px[i + 3];
    }
}

void Canvas::Vignette(float strength) {
    float cx = width / 2.0f, cy = height / 2.0f, r = Length(cx, cy);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float t = Clamp01((Length(x + 0.5f - cx, y + 0.5f - cy) / r - 0.35f) / 0.65f);
            float f = 1 - strength * t * t * (3 - 2 * t);
            float* d = &px[((size_t)y * width + x) * 4];
            for (int k = 0; k < 3; ++k) d[k] *= f;
        }
}

std::vector<unsigned char> Canvas::Rgba() const {
    std::vector<unsigned char> out(px.size());
    for (size_t i = 0; i < px.size(); i += 4) {
        float a = Clamp01(px[i + 3]);
        for (int k = 0; k < 3; ++k) {
            float v = a > 0 ? px[i + k] / a : 0;
            out[i + k] = (unsigned char)std::lround(Clamp01(v) * 255.0f);
        }
        out[i + 3] = (unsigned char)std::lround(a * 255.0f);
    }
    return out;
}
