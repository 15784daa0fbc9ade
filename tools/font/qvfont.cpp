// qvfont: renders the game's fonts into glyph strips and writes the "TEXT"
// document (the fonts with their metrics, then the text table) and its
// manifest fragment.
//
//   qvfont --fonts <content/text/fonts.xml> --texts <content/text/texts.xml>
//          --font-dir <folder of .ttf files> --out <generated content>
//   qvfont --self-test [--font-dir <folder>]
//
// fonts.xml: a <fonts> root with one <font> per font:
//   name     the name the GUI document and the game use
//   file     the TrueType file in the font folder
//   pixels   height of the strip (one line) in pixels
//   size     drawn height of one line in view units (the screen is 2.0 high)
//   chars    "ascii" for every printable ASCII character, else the list
//   fit      "line" (default): the font's whole line, for any text;
//            "ink": the listed characters' own ink fills the line
//   texture  label of the strip in the manifest
// texts.xml: the text table, <text> elements side by side as the "TEXT"
// document has them (see that file).
//
// Output: <out>/fonts/<name>.png, <out>/text/text.xml and
// <out>/text_fonts.xml, the manifest fragment that lists them. Files are
// written only when their bytes change.
#include "file_util.h"
#include "glyph_strip.h"
#include "xml_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kDefaultFontDir = "/usr/share/fonts/truetype/dejavu";

struct FontSpec {
    std::string name;
    std::string file;
    int pixels = 0;
    double size = 0.0;
    std::string chars;
    StripFit fit = FIT_LINE;
    std::string texture;
    int line = 0;
};

bool Fail(const std::string& message) {
    std::fprintf(stderr, "qvfont: %s\n", message.c_str());
    return false;
}

std::string AsciiRange() {
    std::string s;
    for (int c = 32; c <= 126; ++c) s += (char)c;
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

bool ParseInt(const std::string& text, int& out) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    out = (int)v;
    return true;
}

bool ReadFontSpecs(const std::string& path, std::vector<FontSpec>& specs) {
    std::string text;
    if (!ReadFileText(path, text)) return Fail("cannot read " + path);
    XmlElement root;
    std::string error;
    if (!ParseXml(text, root, error)) return Fail(path + ": " + error);
    std::set<std::string> names, labels;
    for (const XmlElement& e : root.children) {
        std::string where = path + ":" + std::to_string(e.line) + ": ";
        if (e.name != "font") return Fail(where + "unexpected <" + e.name + ">");
        FontSpec f;
        f.line = e.line;
        const std::string* v;
        if (!(v = e.Attribute("name")) || v->empty()) return Fail(where + "font without a name");
        f.name = *v;
        if (!names.insert(f.name).second) return Fail(where + "font " + f.name + " is defined twice");
        if (!(v = e.Attribute("file")) || v->empty() || v->find('/') != std::string::npos)
            return Fail(where + "file: the name of a font in the font folder");
        f.file = *v;
        if (!(v = e.Attribute("pixels")) || !ParseInt(*v, f.pixels) || f.pixels < 8 || f.pixels > 512)
            return Fail(where + "pixels: a whole number from 8 to 512");
        char* end = nullptr;
        if (!(v = e.Attribute("size")) || (f.size = std::strtod(v->c_str(), &end), *end) ||
            !std::isfinite(f.size) || f.size <= 0.0 || f.size > 2.0)
            return Fail(where + "size: view units above 0, at most 2");
        if (!(v = e.Attribute("chars")) || v->empty()) return Fail(where + "chars: \"ascii\" or the characters");
        f.chars = *v == "ascii" ? AsciiRange() : *v;
        if ((v = e.Attribute("fit"))) {
            if (*v == "ink") f.fit = FIT_INK;
            else if (*v != "line") return Fail(where + "fit: \"line\" or \"ink\"");
        }
        if (!(v = e.Attribute("texture")) || v->empty()) return Fail(where + "texture: the strip's label");
        f.texture = *v;
        if (!labels.insert(f.texture).second) return Fail(where + "texture label " + f.texture + " used twice");
        specs.push_back(f);
    }
    if (specs.empty()) return Fail(path + ": no fonts");
    return true;
}

bool PrintableAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c > 126) return false;
    return true;
}

// The text table source, checked, without its XML declaration: it goes into
// the document as it stands.
bool ReadTexts(const std::string& path, std::string& body, int& count) {
    std::string text;
    if (!ReadFileText(path, text)) return Fail("cannot read " + path);
    size_t start = 0;
    if (text.compare(0, 5, "<?xml") == 0) {
        size_t end = text.find("?>");
        if (end == std::string::npos) return Fail(path + ": unfinished XML declaration");
        start = end + 2;
    }
    body = text.substr(start);
    while (!body.empty() && (body[0] == '\n' || body[0] == '\r')) body.erase(0, 1);
    // The document has no single root; read it inside one to check it. The
    // declaration's line stays so line numbers match the file.
    std::string wrapped = "<texts>" + std::string(start ? "\n" : "") + body + "</texts>";
    XmlElement root;
    std::string error;
    if (!ParseXml(wrapped, root, error)) return Fail(path + ": " + error);
    std::set<std::string> names;
    count = 0;
    for (const XmlElement& e : root.children) {
        std::string where = path + ":" + std::to_string(e.line) + ": ";
        if (e.name != "text") return Fail(where + "unexpected <" + e.name + "> (only <text> belongs here)");
        const std::string* name = e.Attribute("name");
        if (!name || name->empty()) return Fail(where + "<text> without a name");
        if (!names.insert(*name).second) return Fail(where + "text " + *name + " is defined twice");
        const std::string* value = e.Attribute("value");
        if (value && !e.children.empty()) return Fail(where + *name + ": a value and lines; give one or the other");
        if (value && !PrintableAscii(*value))
            return Fail(where + *name + ": only printable ASCII reaches the fonts");
        for (const XmlElement& l : e.children) {
            if (l.name != "line") return Fail(path + ":" + std::to_string(l.line) + ": unexpected <" + l.name + ">");
            const std::string* lv = l.Attribute("value");
            if (lv && !PrintableAscii(*lv))
                return Fail(path + ":" + std::to_string(l.line) + ": only printable ASCII reaches the fonts");
        }
        ++count;
    }
    return true;
}

std::string FormatSize(double size) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%g", size);
    return buf;
}

int Generate(const std::string& fontsPath, const std::string& textsPath, const std::string& fontDir,
             const std::string& out) {
    std::vector<FontSpec> specs;
    std::string texts;
    int textCount = 0;
    if (!ReadFontSpecs(fontsPath, specs) || !ReadTexts(textsPath, texts, textCount)) return 1;
    if (!MakeDirs(out + "/fonts") || !MakeDirs(out + "/text")) {
        Fail("cannot make folders under " + out);
        return 1;
    }

    std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- The game's fonts and text table. Made by qvfont: edit content/text/fonts.xml\n"
        "     and content/text/texts.xml instead. -->\n";
    std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Made by qvfont. -->\n<manifest>\n"
        "  <group path=\"fonts/\" pack=\"archive\">\n";
    for (const FontSpec& f : specs) {
        GlyphStrip strip;
        std::string error;
        if (!RenderGlyphStrip(fontDir + "/" + f.file, f.chars, f.pixels, f.fit, strip, error)) {
            Fail(fontsPath + ":" + std::to_string(f.line) + ": " + f.name + ": " + error);
            return 1;
        }
        std::vector<unsigned char> png;
        if (!EncodeStripPng(strip, png, error)) {
            Fail(f.name + ": " + error);
            return 1;
        }
        std::string file = Lower(f.name) + ".png";
        if (!WriteFileIfChanged(out + "/fonts/" + file, png.data(), png.size())) {
            Fail("cannot write " + out + "/fonts/" + file);
            return 1;
        }
        manifest += "    <file label=\"" + XmlEscape(f.texture) + "\" path=\"" + XmlEscape(file) + "\"/>\n";
        doc += "<font name=\"" + XmlEscape(f.name) + "\" size=\"" + FormatSize(f.size) + "\" texture=\"" +
               XmlEscape(f.texture) + "\"\n      chars=\"" + XmlEscape(strip.chars) + "\"\n      chars_width=\"" +
               EncodeWidthList(strip.cellWidths) + "\" chars_dist=\"" + std::to_string(strip.CharsDistance()) +
               "\"/>\n";
        std::printf("qvfont: %s: %zu characters, %d x %d pixels\n", f.name.c_str(), strip.chars.size(), strip.width,
                    strip.height);
    }
    manifest += "  </group>\n  <group path=\"text/\" pack=\"archive\">\n"
                "    <file label=\"TEXT\" path=\"text.xml\"/>\n  </group>\n</manifest>\n";
    doc += texts;
    if (!WriteFileIfChanged(out + "/text/text.xml", doc)) {
        Fail("cannot write " + out + "/text/text.xml");
        return 1;
    }
    if (!WriteFileIfChanged(out + "/text_fonts.xml", manifest)) {
        Fail("cannot write " + out + "/text_fonts.xml");
        return 1;
    }
    std::printf("qvfont: %zu fonts, %d texts\n", specs.size(), textCount);
    return 0;
}

// ---- Self-test -------------------------------------------------------------

int g_failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "qvfont self-test: FAILED: %s\n", what);
        ++g_failures;
    }
}

int SelfTest(const std::string& fontDir) {
    // Width lists: runs fold into -n and read back the game's way.
    Check(EncodeWidthList({10, 10, 10}) == "10,-2", "a run of three widths is 10,-2");
    Check(DecodeWidthList("10,-2", 3) == std::vector<int>({10, 10, 10}), "10,-2 gives three widths of 10");
    std::vector<int> mixed = {5, 7, 7, 9, 9, 9, 9, 4};
    Check(EncodeWidthList(mixed) == "5,7,-1,9,-3,4", "mixed runs encode");
    Check(DecodeWidthList(EncodeWidthList(mixed), mixed.size()) == mixed, "mixed runs read back");

    // A small strip from a real font.
    GlyphStrip strip;
    std::string error;
    bool rendered = RenderGlyphStrip(fontDir + "/DejaVuSans.ttf", "Aj .", 32, FIT_LINE, strip, error);
    Check(rendered, ("renders DejaVuSans: " + error).c_str());
    if (rendered) {
        int sum = 0;
        for (int w : strip.cellWidths) sum += w;
        Check(strip.cellWidths.size() == 4 && sum == strip.width, "one cell per character, filling the strip");
        Check(strip.CharsDistance() < 0 && strip.pad >= 2, "cells overlap by their padding");
        bool anyInk = false, edgeClear = true;
        for (int y = 0; y < strip.height; ++y) {
            for (int x = 0; x < strip.width; ++x) anyInk |= strip.rgba[((size_t)y * strip.width + x) * 4 + 3] != 0;
            // The first and last columns of every cell are padding.
            int x0 = 0;
            for (int w : strip.cellWidths) {
                edgeClear &= strip.rgba[((size_t)y * strip.width + x0) * 4 + 3] == 0;
                edgeClear &= strip.rgba[((size_t)y * strip.width + x0 + w - 1) * 4 + 3] == 0;
                x0 += w;
            }
        }
        Check(anyInk, "glyphs leave ink");
        Check(edgeClear, "cell edges stay clear");
        // The blank has no ink at all.
        int x2 = strip.cellWidths[0] + strip.cellWidths[1];
        bool blank = true;
        for (int y = 0; y < strip.height; ++y)
            for (int x = x2; x < x2 + strip.cellWidths[2]; ++x)
                blank &= strip.rgba[((size_t)y * strip.width + x) * 4 + 3] == 0;
        Check(blank, "the blank is clear");
        std::vector<unsigned char> png;
        Check(EncodeStripPng(strip, png, error) && png.size() > 8 && png[1] == 'P' && png[2] == 'N' && png[3] == 'G',
              "encodes a PNG");
    }
    GlyphStrip ink;
    Check(RenderGlyphStrip(fontDir + "/DejaVuSans-Bold.ttf", "ABC", 64, FIT_INK, ink, error),
          "renders capitals fitted to their ink");
    GlyphStrip bad;
    Check(!RenderGlyphStrip(fontDir + "/DejaVuSans.ttf", "AA", 32, FIT_LINE, bad, error), "refuses a doubled character");
    Check(!RenderGlyphStrip(fontDir + "/DejaVuSans.ttf", "A\xE9", 32, FIT_LINE, bad, error), "refuses non-ASCII");
    Check(!RenderGlyphStrip(fontDir + "/missing.ttf", "A", 32, FIT_LINE, bad, error), "reports a missing font");
    Check(XmlEscape("\"&<>'") == "&quot;&amp;&lt;&gt;&apos;", "attribute values are escaped");
    if (g_failures) return 1;
    std::printf("qvfont self-test: ok\n");
    return 0;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: qvfont --fonts <fonts.xml> --texts <texts.xml> --font-dir <dir> --out <dir>\n"
                 "       qvfont --self-test [--font-dir <dir>]\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string fonts, texts, out, fontDir = kDefaultFontDir;
    bool selfTest = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "--self-test") selfTest = true;
        else if (a == "--fonts") ok = next(fonts);
        else if (a == "--texts") ok = next(texts);
        else if (a == "--font-dir") ok = next(fontDir);
        else if (a == "--out") ok = next(out);
        else ok = false;
        if (!ok) {
            Usage();
            return 2;
        }
    }
    if (selfTest) return SelfTest(fontDir);
    if (fonts.empty() || texts.empty() || out.empty()) {
        Usage();
        return 2;
    }
    return Generate(fonts, texts, fontDir, out);
}
