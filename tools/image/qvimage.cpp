// qvimage: draws the game's PNG and JPEG images from text recipes.
//
//   qvimage --out <dir> --manifest <fragment.xml> [--group <path>] <recipe>...
//
// Each recipe makes one image in <dir>; the fragment lists them all as one
// manifest group (path <group>, default "images/") for content/manifest.xml
// to take in with <include path="..."/>.
//
// A recipe is lines of words; '#' starts a comment, a line ending in '\'
// goes on with the next.
//   label <LABEL>            the image's label in the manifest
//   output <name>.png|.jpg   file name; the extension picks the format
//   size <w> <h>
//   quality <1-100>          JPEG quality (default 92)
//   opaque                   a PNG without alpha
//   <figure> : <paint>       fills the figure with the paint, in order
//   wedges cx cy r0 r1 start count [options] : <colour>...
//                            count ring sectors, the first starting at
//                            angle start, filled with the colours in turn
//   text <font> <px> x y angle <text> [options] : <paint>
//                            lettering from a TrueType font of Debian's
//                            DejaVu folder (or a path), px the em size, its
//                            ink centred on x y and turned clockwise; '_' in
//                            the text is a blank. Options: stack (a column
//                            of letters), gap=<px> (the column's step),
//                            width=<px> (squeezed to fit), grow=<px>
//                            (thicker, for outlines), track=<px>,
//                            offset=<dx>,<dy>, opacity=<a>, add
//   noise <amount> [seed]    grain against banding
//   vignette <strength>      darkens towards the corners
// Angles are degrees, 0 straight up, growing clockwise; sizes are pixels.
// A figure is a shape, optionally followed by "and <shape>" (intersection)
// or "minus <shape>" (cut out), then options:
//   line=<w> (only the outline band), soft=<w> (edge ramp), offset=<dx>,<dy>,
//   opacity=<a>, add (adds light instead of covering).
// Shapes: all | rect x y w h | round x y w h r | circle cx cy r |
//   ellipse cx cy rx ry | ring cx cy r0 r1 | wedge cx cy r0 r1 a0 a1 |
//   diamonds size width | stripes angle period width |
//   dots spacing radius [stagger] | spokes cx cy r0 r1 count start width |
//   ringdots cx cy r count start radius
// Paints: solid <colour> | linear x0 y0 x1 y1 <stops> |
//   radial cx cy r <stops> | conic cx cy start <stops>
// Stops are colours (#rgb, #rrggbb, #rrggbbaa), optionally "@<position>";
// stops without a position are spread evenly.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
#include <png.h>

#include "canvas.h"
#include "text_mask.h"
#include "file_util.h"
#include "manifest_group.h"

namespace {

struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
    throw Failure{where + ": " + message};
}

struct Line {
    int number;
    std::vector<std::string> words;
};

std::vector<Line> ReadLines(const std::string& text) {
    std::vector<Line> lines;
    std::string current;
    int number = 0, start = 0;
    for (std::string raw : SplitLines(text)) {
        ++number;
        size_t hash = raw.find('#');
        // A '#' that starts a word begins a comment unless it is a colour.
        while (hash != std::string::npos) {
            bool wordStart = hash == 0 || raw[hash - 1] == ' ' || raw[hash - 1] == '\t';
            bool colour = hash + 1 < raw.size() && std::isxdigit((unsigned char)raw[hash + 1]);
            if (wordStart && !colour) {
                raw.erase(hash);
                break;
            }
            hash = raw.find('#', hash + 1);
        }
        while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t' || raw.back() == '\r')) raw.pop_back();
        if (current.empty()) start = number;
        bool more = !raw.empty() && raw.back() == '\\';
        if (more) raw.pop_back();
        current += " " + raw;
        if (more) continue;
        Line line{start, {}};
        size_t i = 0;
        while (i < current.size()) {
            while (i < current.size() && (current[i] == ' ' || current[i] == '\t')) ++i;
            size_t j = i;
            while (j < current.size() && current[j] != ' ' && current[j] != '\t') ++j;
            if (j > i) line.words.push_back(current.substr(i, j - i));
            i = j;
        }
        if (!line.words.empty()) lines.push_back(line);
        current.clear();
    }
    return lines;
}

float Number(const std::string& where, const std::string& word) {
    char* end = nullptr;
    float v = std::strtof(word.c_str(), &end);
    if (word.empty() || *end) Fail(where, "\"" + word + "\" is not a number");
    return v;
}

Colour ColourOf(const std::string& where, const std::string& word) {
    Colour c;
    if (!ParseColour(word, c)) Fail(where, "\"" + word + "\" is not a colour");
    return c;
}

// Reads stops from words[i...].
std::vector<Stop> Stops(const std::string& where, const std::vector<std::string>& words, size_t i) {
    std::vector<Stop> stops;
    std::vector<bool> placed;
    for (; i < words.size(); ++i) {
        size_t at = words[i].find('@');
        Stop s;
        s.colour = ColourOf(where, words[i].substr(0, at));
        s.at = at == std::string::npos ? 0 : Number(where, words[i].substr(at + 1));
        stops.push_back(s);
        placed.push_back(at != std::string::npos);
    }
    if (stops.empty()) Fail(where, "the paint has no colours");
    if (!placed.front()) stops.front().at = 0, placed.front() = true;
    if (!placed.back()) stops.back().at = 1, placed.back() = true;
    for (size_t a = 0; a < stops.size();) {
        size_t b = a + 1;
        while (b < stops.size() && !placed[b]) ++b;
        if (b >= stops.size()) break;
        for (size_t k = a + 1; k < b; ++k) stops[k].at = stops[a].at + (stops[b].at - stops[a].at) * (k - a) / (b - a);
        a = b;
    }
    for (size_t k = 1; k < stops.size(); ++k)
        if (stops[k].at < stops[k - 1].at) Fail(where, "stop positions must not go down");
    return stops;
}

Paint ReadPaint(const std::string& where, const std::vector<std::string>& w) {
    Paint p;
    if (w.empty()) Fail(where, "a paint is missing after ':'");
    auto need = [&](size_t n) {
        if (w.size() < n + 2) Fail(where, "paint \"" + w[0] + "\" needs " + std::to_string(n) + " numbers and colours");
    };
    if (w[0] == "solid") {
        need(0);
        p.kind = Paint::Solid;
        p.stops = Stops(where, w, 1);
    } else if (w[0] == "linear") {
        need(4);
        p.kind = Paint::Linear;
        p.x0 = Number(where, w[1]), p.y0 = Number(where, w[2]);
        p.x1 = Number(where, w[3]), p.y1 = Number(where, w[4]);
        p.stops = Stops(where, w, 5);
    } else if (w[0] == "radial") {
        need(3);
        p.kind = Paint::Radial;
        p.x0 = Number(where, w[1]), p.y0 = Number(where, w[2]), p.radius = Number(where, w[3]);
        p.stops = Stops(where, w, 4);
    } else if (w[0] == "conic") {
        need(3);
        p.kind = Paint::Conic;
        p.x0 = Number(where, w[1]), p.y0 = Number(where, w[2]), p.x1 = Number(where, w[3]);
        p.stops = Stops(where, w, 4);
    } else {
        Fail(where, "unknown paint \"" + w[0] + "\"");
    }
    return p;
}

const std::map<std::string, std::pair<Shape::Kind, int>>& ShapeTable() {
    static const std::map<std::string, std::pair<Shape::Kind, int>> table = {
        {"all", {Shape::All, 0}},         {"rect", {Shape::Rect, 4}},         {"round", {Shape::Round, 5}},
        {"circle", {Shape::Circle, 3}},   {"ellipse", {Shape::Ellipse, 4}},   {"ring", {Shape::Ring, 4}},
        {"wedge", {Shape::Wedge, 6}},     {"diamonds", {Shape::Diamonds, 2}}, {"stripes", {Shape::Stripes, 3}},
        {"dots", {Shape::Dots, 2}},       {"spokes", {Shape::Spokes, 7}},     {"ringdots", {Shape::RingDots, 6}},
    };
    return table;
}

// A figure from the words before ':'.
Figure ReadFigure(const std::string& where, const std::vector<std::string>& w) {
    Figure f;
    size_t i = 0;
    bool cut = false;
    while (i < w.size()) {
        const std::string& word = w[i];
        auto shape = ShapeTable().find(word);
        if (shape != ShapeTable().end()) {
            Shape s;
            s.kind = shape->second.first;
            int n = shape->second.second;
            ++i;
            for (int k = 0; k < n; ++k, ++i) {
                if (i >= w.size()) Fail(where, "shape \"" + word + "\" needs " + std::to_string(n) + " numbers");
                s.p[k] = Number(where, w[i]);
            }
            // "dots" takes an optional stagger flag.
            if (s.kind == Shape::Dots && i < w.size() && w[i] == "stagger") s.p[2] = 1, ++i;
            if (!f.shapes.empty()) f.cut.push_back(cut);
            f.shapes.push_back(s);
            continue;
        }
        if (f.shapes.empty()) Fail(where, "unknown shape \"" + word + "\"");
        if (word == "and" || word == "minus") {
            cut = word == "minus";
            ++i;
            if (i >= w.size() || !ShapeTable().count(w[i])) Fail(where, "\"" + word + "\" needs a shape after it");
            continue;
        }
        size_t eq = word.find('=');
        std::string key = word.substr(0, eq), value = eq == std::string::npos ? "" : word.substr(eq + 1);
        if (key == "add" && eq == std::string::npos) f.add = true;
        else if (key == "line") f.line = Number(where, value);
        else if (key == "soft") f.soft = Number(where, value);
        else if (key == "opacity") f.opacity = Number(where, value);
        else if (key == "offset") {
            size_t comma = value.find(',');
            if (comma == std::string::npos) Fail(where, "offset=<dx>,<dy>");
            f.dx = Number(where, value.substr(0, comma));
            f.dy = Number(where, value.substr(comma + 1));
        } else {
            Fail(where, "unknown option \"" + word + "\"");
        }
        ++i;
    }
    if (f.shapes.empty()) Fail(where, "no shape before ':'");
    return f;
}

const char* const kFontDir = "/usr/share/fonts/truetype/dejavu";

// text <font> <px> x y angle <text> [options] : <paint>
void DrawText(Canvas& canvas, const std::string& where, const std::vector<std::string>& left,
              const std::vector<std::string>& right) {
    if (left.size() < 7) Fail(where, "text <font> <px> x y angle <text> [options] : <paint>");
    TextStyle style;
    style.fontFile = left[1].find('/') == std::string::npos ? std::string(kFontDir) + "/" + left[1] : left[1];
    style.pixels = Number(where, left[2]);
    float x = Number(where, left[3]), y = Number(where, left[4]), angle = Number(where, left[5]);
    std::string text = left[6];
    for (char& c : text)
        if (c == '_') c = ' ';
    float opacity = 1;
    bool add = false;
    for (size_t i = 7; i < left.size(); ++i) {
        const std::string& word = left[i];
        size_t eq = word.find('=');
        std::string key = word.substr(0, eq), value = eq == std::string::npos ? "" : word.substr(eq + 1);
        if (word == "stack") style.stack = true;
        else if (word == "add") add = true;
        else if (key == "gap") style.gap = Number(where, value);
        else if (key == "width") style.maxWidth = Number(where, value);
        else if (key == "grow") style.grow = Number(where, value);
        else if (key == "track") style.track = Number(where, value);
        else if (key == "opacity") opacity = Number(where, value);
        else if (key == "offset") {
            size_t comma = value.find(',');
            if (comma == std::string::npos) Fail(where, "offset=<dx>,<dy>");
            x += Number(where, value.substr(0, comma));
            y += Number(where, value.substr(comma + 1));
        } else {
            Fail(where, "unknown text option \"" + word + "\"");
        }
    }
    if (style.grow < 0 || style.grow > 32) Fail(where, "grow runs from 0 to 32 pixels");
    TextMask mask;
    std::string error;
    if (!RenderTextMask(text, style, mask, error)) Fail(where, error);
    DrawTextMask(canvas, mask, x, y, angle, ReadPaint(where, right), opacity, add);
}

struct Recipe {
    std::string label, output;
    int width = 0, height = 0, quality = 92;
    bool opaque = false;
};

// ---- Writing ----

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}

std::vector<unsigned char> EncodePng(const std::vector<unsigned char>& rgba, int w, int h, bool alpha) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<unsigned char> row((size_t)w * 4);
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = &rgba[(size_t)y * w * 4];
        size_t n = 0;
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < (alpha ? 4 : 3); ++k) row[n++] = src[x * 4 + k];
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> EncodeJpeg(const std::vector<unsigned char>& rgba, int w, int h, int quality) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.optimize_coding = TRUE;
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row((size_t)w * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) row[x * 3 + k] = rgba[((size_t)y * w + x) * 4 + k];
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<unsigned char> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Draws one recipe and writes its image; returns its manifest entry.
Recipe MakeImage(const std::string& path, const std::string& outDir) {
    std::string text;
    if (!ReadFileText(path, text)) Fail(path, "cannot read");
    std::vector<Line> lines = ReadLines(text);
    Recipe r;
    std::unique_ptr<Canvas> canvas;
    for (const Line& line : lines) {
        std::string where = path + ":" + std::to_string(line.number);
        const std::vector<std::string>& w = line.words;
        const std::string& cmd = w[0];
        if (cmd == "label" && w.size() == 2) r.label = w[1];
        else if (cmd == "output" && w.size() == 2) r.output = w[1];
        else if (cmd == "quality" && w.size() == 2) r.quality = (int)Number(where, w[1]);
        else if (cmd == "opaque" && w.size() == 1) r.opaque = true;
        else if (cmd == "size" && w.size() == 3) {
            if (canvas) Fail(where, "size given twice");
            r.width = (int)Number(where, w[1]);
            r.height = (int)Number(where, w[2]);
            if (r.width < 1 || r.height < 1 || r.width > 4096 || r.height > 4096)
                Fail(where, "sizes run from 1 to 4096");
            canvas.reset(new Canvas(r.width, r.height));
        } else {
            if (!canvas) Fail(where, "\"size\" must come before drawing");
            if (cmd == "noise" && (w.size() == 2 || w.size() == 3)) {
                canvas->Noise(Number(where, w[1]), w.size() == 3 ? (unsigned)Number(where, w[2]) : 1u);
                continue;
            }
            if (cmd == "vignette" && w.size() == 2) {
                canvas->Vignette(Number(where, w[1]));
                continue;
            }
            size_t colon = 0;
            while (colon < w.size() && w[colon] != ":") ++colon;
            if (colon == w.size()) Fail(where, "unknown command \"" + cmd + "\" (figures need ': <paint>')");
            std::vector<std::string> left(w.begin(), w.begin() + colon), right(w.begin() + colon + 1, w.end());
            if (cmd == "text") {
                DrawText(*canvas, where, left, right);
                continue;
            }
            if (cmd == "wedges") {
                // wedges cx cy r0 r1 start count [options] : colours...
                if (left.size() < 7) Fail(where, "wedges cx cy r0 r1 start count : colours");
                float n = Number(where, left[6]);
                if (n < 1 || n > 360) Fail(where, "1 to 360 wedges");
                std::vector<std::string> options(left.begin() + 7, left.end());
                if (right.empty()) Fail(where, "wedges need colours");
                float step = 360.0f / n;
                for (int k = 0; k < (int)n; ++k) {
                    float a0 = Number(where, left[5]) + k * step;
                    std::vector<std::string> fig = {"wedge", left[1], left[2], left[3], left[4], std::to_string(a0),
                                                    std::to_string(a0 + step)};
                    fig.insert(fig.end(), options.begin(), options.end());
                    Paint p;
                    p.stops = {Stop{0, ColourOf(where, right[k % right.size()])}};
                    canvas->Fill(ReadFigure(where, fig), p);
                }
                continue;
            }
            canvas->Fill(ReadFigure(where, left), ReadPaint(where, right));
        }
    }
    if (r.label.empty()) Fail(path, "no label");
    if (r.output.empty() || r.output.find('/') != std::string::npos) Fail(path, "no output file name (without folders)");
    if (!canvas) Fail(path, "no size");
    bool jpeg = EndsWith(r.output, ".jpg") || EndsWith(r.output, ".jpeg");
    if (!jpeg && !EndsWith(r.output, ".png")) Fail(path, "output must end in .png or .jpg");
    std::vector<unsigned char> rgba = canvas->Rgba();
    std::vector<unsigned char> file =
        jpeg ? EncodeJpeg(rgba, r.width, r.height, r.quality) : EncodePng(rgba, r.width, r.height, !r.opaque);
    if (file.empty()) Fail(path, "encoding failed");
    std::string target = outDir + "/" + r.output;
    if (!WriteFileIfChanged(target, file.data(), file.size())) Fail(target, "cannot write");
    return r;
}

int Usage() {
    std::fprintf(stderr, "usage: qvimage --out <dir> --manifest <fragment.xml> [--group <path>] <recipe>...\n"
                         "       qvimage --self-test\n");
    return 2;
}

// ---- Self-test of the lettering (run after every build) ----

struct Ink {
    float cx = 0, cy = 0;  // centroid of the alpha
    int w = 0, h = 0;      // extent of the pixels above half cover
};

Ink Measure(const Canvas& c) {
    std::vector<unsigned char> px = c.Rgba();
    Ink ink;
    double sum = 0, sx = 0, sy = 0;
    int x0 = c.Width(), y0 = c.Height(), x1 = -1, y1 = -1;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            int a = px[((size_t)y * c.Width() + x) * 4 + 3];
            sum += a, sx += a * (x + 0.5), sy += a * (y + 0.5);
            if (a >= 128) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    if (sum > 0) ink.cx = (float)(sx / sum), ink.cy = (float)(sy / sum);
    if (x1 >= 0) ink.w = x1 - x0 + 1, ink.h = y1 - y0 + 1;
    return ink;
}

Ink Letter(const std::string& text, float angle, TextStyle style) {
    Canvas c(128, 128);
    TextMask mask;
    std::string error;
    if (!RenderTextMask(text, style, mask, error)) throw Failure{"self-test: " + error};
    Paint white;
    white.stops = {Stop{0, Colour{1, 1, 1, 1}}};
    DrawTextMask(c, mask, 64, 64, angle, white, 1, false);
    return Measure(c);
}

int SelfTest() {
    int failed = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) std::fprintf(stderr, "qvimage self-test: %s\n", what), ++failed;
    };
    TextStyle style;
    style.fontFile = std::string(kFontDir) + "/DejaVuSans-Bold.ttf";
    style.pixels = 48;
    try {
        Ink upright = Letter("I", 0, style);
        check(std::abs(upright.cx - 64) < 0.75f && std::abs(upright.cy - 64) < 0.75f, "a letter is centred on its point");
        check(upright.h > 2 * upright.w, "an upright I is tall");
        Ink turned = Letter("I", 90, style);
        check(turned.w > 2 * turned.h, "an I turned a quarter is wide");
        check(std::abs(turned.cx - 64) < 0.75f && std::abs(turned.cy - 64) < 0.75f, "a turned letter stays centred");
        // An L weighs down and to the left; turned clockwise its foot points
        // left, so the weight moves up and stays left.
        Ink ell = Letter("L", 0, style), ellTurned = Letter("L", 90, style);
        check(ell.cx < 63 && ell.cy > 65 && ellTurned.cx < 63 && ellTurned.cy < 63, "letters turn clockwise");
        TextStyle narrow = style;
        narrow.maxWidth = 40;
        check(Letter("WWW", 0, narrow).w <= 42, "width= squeezes a word into the width");
        TextStyle column = style;
        column.stack = true;
        Ink two = Letter("II", 0, column);
        check(two.h > upright.h * 1.9f && two.w < upright.w + 2, "stack sets the letters one under another");
        TextStyle missing = style;
        missing.fontFile = "/nonexistent/font.ttf";
        TextMask mask;
        std::string error;
        check(!RenderTextMask("A", missing, mask, error) && !error.empty(), "a missing font is reported");
    } catch (const Failure& f) {
        std::fprintf(stderr, "qvimage %s\n", f.message.c_str());
        ++failed;
    }
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--self-test") return SelfTest();
    GroupToolOptions options;
    options.group = "images/";
    if (!ParseGroupToolOptions(argc, argv, options)) return Usage();
    try {
        if (!MakeDirs(options.outDir)) Fail(options.outDir, "cannot make the folder");
        ManifestGroupWriter fragment("Made by qvimage from the recipes in content/images/; edit those.",
                                     options.group);
        for (const std::string& path : options.sources) {
            Recipe r = MakeImage(path, options.outDir);
            std::string error;
            if (!fragment.Add(r.label, r.output, error)) Fail(path, error);
        }
        if (!fragment.Write(options.manifest)) Fail(options.manifest, "cannot write");
    } catch (const Failure& f) {
        std::fprintf(stderr, "qvimage: %s\n", f.message.c_str());
        return 1;
    }
    return 0;
}
