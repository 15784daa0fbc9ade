// A floating-point RGBA canvas with antialiased shapes and gradient paints,
// for drawing the game's images from text recipes.
#pragma once
#include <string>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;  // straight (not premultiplied), 0..1
};

// "#rgb", "#rrggbb" or "#rrggbbaa".
bool ParseColour(const std::string& text, Colour& out);

struct Stop {
    float at;
    Colour colour;
};

// Where a paint takes its colour at a pixel.
struct Paint {
    enum Kind { Solid, Linear, Radial, Conic } kind = Solid;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // linear: from, to; radial/conic: centre, (radius or start angle)
    float radius = 1;
    std::vector<Stop> stops;  // sorted by position; Solid uses stops[0]
    Colour At(float x, float y) const;
};

// A shape is a signed distance in pixels (negative inside) at each point.
struct Shape {
    enum Kind { All, Rect, Round, Circle, Ellipse, Ring, Wedge, Diamonds, Stripes, Dots, Spokes, RingDots } kind = All;
    float p[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    float Distance(float x, float y) const;
};

// Shapes combined: the first, then each further one intersected ("and") or
// cut away ("minus"); options move and soften the whole.
struct Figure {
    std::vector<Shape> shapes;
    std::vector<bool> cut;  // per further shape: true for "minus"
    float line = 0;         // > 0: only a band this wide along the outline
    float soft = 1;         // width of the edge ramp in pixels
    float dx = 0, dy = 0;   // offset of the whole figure
    float opacity = 1;
    bool add = false;       // add light instead of covering
    float Coverage(float x, float y) const;
};

class Canvas {
public:
    Canvas(int w, int h);
    int Width() const { return width; }
    int Height() const { return height; }
    void Fill(const Figure& figure, const Paint& paint);
    // Covers one pixel by cover (0..1) of the colour, or adds its light.
    void CoverPixel(int x, int y, float cover, const Colour& c, bool add);
    // Adds uniform noise of +-amount to the colour channels (fixed seed).
    void Noise(float amount, unsigned seed);
    // Darkens towards the corners by up to strength.
    void Vignette(float strength);
    // 8-bit RGBA rows, straight alpha.
    std::vector<unsigned char> Rgba() const;

private:
    int width, height;
    std::vector<float> px;  // premultiplied RGBA
};
