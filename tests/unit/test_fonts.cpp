// Fonts, the text table, text measuring and drawing, word wrapping, and
// the "text" and "link" kinds.
#include "controls_text.h"
#include "font_manager.h"
#include "gui_manager.h"
#include "gui_test_data.h"
#include "model.h"
#include "model_instance.h"
#include "strings.h"
#include "texture.h"

#include <gtest/gtest.h>
#include <png.h>
#include <tinyxml.h>
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

using namespace guitest;

namespace {

// ---- Helpers ------------------------------------------------------------------

// A font cut from an image of w x h pixels without a texture: the glyphs
// have their metrics and draw nothing.
struct TestFont {
    Font font;
    explicit TestFont(const char* chars, std::vector<int> widths, int dist = 0, unsigned w = 256, unsigned h = 32,
                      float size = 1.0f) {
        char error[256] = "";
        EXPECT_TRUE(font.BuildGlyphs(chars, widths.data(), (int)widths.size(), dist, w, h, error, sizeof(error)))
            << error;
        font.size = size;
    }
};

struct Glyph {
    unsigned char c;
    float x, y, scaleX;
};
std::vector<Glyph> g_drawn;

void RecordGlyph(unsigned char c, const Font*) {
    const Matrix4& m = g_renderer.Top();
    g_drawn.push_back({c, m.m[12], m.m[13], m.m[0]});
}

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureMatrixStack();
        g_drawn.clear();
        g_fontManager.glyphObserver = RecordGlyph;
    }
    void TearDown() override { g_fontManager.glyphObserver = nullptr; }
};

// A font whose A is 1.0, B 0.5 and C 0.25 wide, with 0.125 between
// characters (a 256 x 32 strip, 4 pixels apart).
TestFont MakeAbc(float size) { return TestFont("ABC", {32, 16, 8}, 4, 256, 32, size); }

class TextTableTest : public ::testing::Test {
protected:
    void SetUp() override { g_resourceManager.Init(); }
    void TearDown() override {
        g_fontManager.FreeAll();
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
    }
    bool LoadDocument(const std::string& xml) {
        DataFolder data("text");
        data.Add("TEXT", "text.xml", xml);
        EXPECT_TRUE(data.Mount());
        return g_fontManager.Load();
    }
    std::string Error() const { return g_fontManager.GetError(); }
};

// ---- Glyph metrics -----------------------------------------------------------------

TEST(FontGlyphs, WidthListRepeatsAndLineUnits) {
    // "ABC" with 10,-2: all three 10 pixels; a 256 x 32 image makes a
    // 16-pixel glyph 0.5 wide and 4 pixels of spacing 0.125.
    TestFont abc("ABC", {10, -2}, 4);
    for (unsigned char c : {'A', 'B', 'C'}) {
        EXPECT_TRUE(abc.font.Defines(c));
        EXPECT_FLOAT_EQ(10.0f / 32.0f, abc.font.widths[c]);
    }
    EXPECT_FALSE(abc.font.Defines('D'));
    EXPECT_FLOAT_EQ(0.125f, abc.font.spacing);
    EXPECT_FLOAT_EQ(1.0f, abc.font.lineHeight);

    TestFont wide("XY", {16, 16}, 0);
    EXPECT_FLOAT_EQ(0.5f, wide.font.widths['X']);

    // A run in the middle, then single widths again.
    TestFont runs("ABCDE", {4, 6, -2, 9});
    EXPECT_FLOAT_EQ(4.0f / 32, runs.font.widths['A']);
    EXPECT_FLOAT_EQ(6.0f / 32, runs.font.widths['B']);
    EXPECT_FLOAT_EQ(6.0f / 32, runs.font.widths['D']);
    EXPECT_FLOAT_EQ(9.0f / 32, runs.font.widths['E']);
}

TEST(FontGlyphs, ListsThatDoNotFitTheImage) {
    char error[256] = "";
    Font f;
    SetString(f.name, "F");
    int past[] = {200, 100};
    EXPECT_FALSE(f.BuildGlyphs("AB", past, 2, 0, 256, 32, error, sizeof(error)));
    EXPECT_STREQ("Font <F>: the widths of its characters run past its image (256 pixels).", error);
    EXPECT_FALSE(f.Defines('A'));  // nothing half-built stays

    // Past the end of the list the last width repeats; without any list
    // the strip is cut evenly; a character listed twice keeps its last cell.
    int shortList[] = {20};
    ASSERT_TRUE(f.BuildGlyphs("ABC", shortList, 1, 0, 256, 32, error, sizeof(error)));
    EXPECT_FLOAT_EQ(20.0f / 32, f.widths['C']);
    ASSERT_TRUE(f.BuildGlyphs("ABCD", nullptr, 0, 0, 256, 32, error, sizeof(error)));
    EXPECT_FLOAT_EQ(64.0f / 32, f.widths['D']);
    int twice[] = {10, 30};
    ASSERT_TRUE(f.BuildGlyphs("AA", twice, 2, 0, 256, 32, error, sizeof(error)));
    EXPECT_FLOAT_EQ(30.0f / 32, f.widths['A']);
    EXPECT_FALSE(f.BuildGlyphs("A", twice, 2, 0, 0, 32, error, sizeof(error)));  // an empty image
}

// ---- Measuring and drawing -------------------------------------------------------------

TEST_F(DrawingTest, TextWidthCountsSpacingBetweenCharacters) {
    TestFont f = MakeAbc(1.0f);
    EXPECT_FLOAT_EQ(1.0f + 0.125f + 0.5f, TextWidth("AB", &f.font));
    EXPECT_FLOAT_EQ(-0.125f, TextWidth("", &f.font));
    EXPECT_FLOAT_EQ(0.0f, TextWidth(nullptr, &f.font));
    EXPECT_FLOAT_EQ(0.0f, TextWidth("AB", nullptr));
    // Bytes above 127 index the widths as unsigned values.
    TestFont high("\xE9", {16});
    EXPECT_FLOAT_EQ(0.5f, TextWidth("\xE9", &high.font));
}

TEST_F(DrawingTest, AlignmentShiftsBeforeSizeAndScale) {
    TestFont f = MakeAbc(0.5f);  // size 0.5, drawn at scale 2: font units = view units
    const float total = 1.0f + 0.125f + 0.5f;

    g_fontManager.DrawString("AB", 1.0f, 2.0f, 0.0f, &f.font, TEXT_ALIGN_LEFT, 2.0f);
    ASSERT_EQ(2u, g_drawn.size());
    EXPECT_FLOAT_EQ(1.5f, g_drawn[0].x);                   // A's centre: half of 1.0 right of x
    EXPECT_FLOAT_EQ(1.0f + 1.125f + 0.25f, g_drawn[1].x);  // B after A and the spacing
    EXPECT_FLOAT_EQ(2.0f, g_drawn[0].y);
    EXPECT_FLOAT_EQ(1.0f, g_drawn[0].scaleX);              // size x scale

    g_drawn.clear();
    g_fontManager.DrawString("AB", 1.0f, 2.0f, 0.0f, &f.font, TEXT_ALIGN_RIGHT, 2.0f);
    ASSERT_EQ(2u, g_drawn.size());
    EXPECT_FLOAT_EQ(1.0f, g_drawn[1].x + 0.25f);  // B's right edge is x
    EXPECT_FLOAT_EQ(1.0f - total + 0.5f, g_drawn[0].x);

    g_drawn.clear();
    g_fontManager.DrawString("AB", 1.0f, 2.0f, 0.0f, &f.font, TEXT_ALIGN_CENTER, 2.0f);
    ASSERT_EQ(2u, g_drawn.size());
    EXPECT_FLOAT_EQ(1.0f, 0.5f * ((g_drawn[0].x - 0.5f) + (g_drawn[1].x + 0.25f)));

    // Any other alignment draws as left; the matrix stack is left as found.
    g_drawn.clear();
    g_fontManager.DrawString("A", 0.0f, 0.0f, 0.0f, &f.font, 7, 1.0f);
    EXPECT_FLOAT_EQ(0.25f, g_drawn[0].x);
    EXPECT_EQ(1u, g_renderer.StackDepth());
}

TEST_F(DrawingTest, MissingCharactersAreSkippedAndNamed) {
    TestFont f = MakeAbc(1.0f);
    g_fontManager.DrawString("A?B", 0.0f, 0.0f, 0.0f, &f.font, TEXT_ALIGN_LEFT, 1.0f);
    ASSERT_EQ(2u, g_drawn.size());
    EXPECT_FLOAT_EQ(1.0f + 0.125f + 0.25f, g_drawn[1].x);  // no room left for the '?'
    EXPECT_STREQ("Character <?> not defined.", g_fontManager.GetError());
    g_drawn.clear();
    g_fontManager.DrawString(nullptr, 0.0f, 0.0f, 0.0f, &f.font, TEXT_ALIGN_LEFT, 1.0f);
    g_fontManager.DrawString("A", 0.0f, 0.0f, 0.0f, nullptr, TEXT_ALIGN_LEFT, 1.0f);
    EXPECT_TRUE(g_drawn.empty());
}

TEST_F(DrawingTest, BlockLinesStepDownFromTheVerticalAlignment) {
    TestFont f = MakeAbc(1.0f);
    TextBlock block;
    block.AddLine("A");
    block.AddLine("B");
    block.AddLine("C");
    TextLayout layout;
    auto ys = [&]() {
        g_drawn.clear();
        g_fontManager.DrawTextBlock(&block, 0.0f, 10.0f, 0.0f, &f.font, &layout);
        std::vector<float> out;
        for (const Glyph& g : g_drawn) out.push_back(g.y);
        return out;
    };
    layout.vertical = TEXT_VALIGN_CENTER;
    EXPECT_EQ(std::vector<float>({11.0f, 10.0f, 9.0f}), ys());
    layout.vertical = TEXT_VALIGN_TOP;
    EXPECT_EQ(std::vector<float>({9.5f, 8.5f, 7.5f}), ys());
    layout.vertical = TEXT_VALIGN_BOTTOM;
    EXPECT_EQ(std::vector<float>({12.5f, 11.5f, 10.5f}), ys());

    // Two lines shown from the second: B and C; spacing and size set the step.
    layout.vertical = TEXT_VALIGN_TOP;
    layout.firstLine = 1;
    layout.linesShown = 2;
    layout.spacing = 2.0f;
    f.font.size = 0.5f;
    std::vector<float> shown = ys();
    ASSERT_EQ(2u, g_drawn.size());
    EXPECT_EQ('B', g_drawn[0].c);
    EXPECT_EQ(std::vector<float>({9.5f, 8.5f}), shown);

    // More lines asked for than there are: it stops at the end.
    layout.firstLine = 2;
    layout.linesShown = 5;
    ys();
    EXPECT_EQ(1u, g_drawn.size());
}

// A line kept to the width of its place: smaller first, then cut with dots.
TEST_F(DrawingTest, LinesKeepToTheWidthOfTheirPlace) {
    TestFont f("abc .", {8, -4});  // every character 0.25 wide, no spacing
    char out[64];
    float scale = 0.0f;
    EXPECT_STREQ("ab", FitLine("ab", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale));
    EXPECT_FLOAT_EQ(1.0f, scale);
    EXPECT_STREQ("abcabcabc", FitLine("abcabcabc", &f.font, 0.0f, 0.6f, out, sizeof(out), &scale)) << "no place";
    EXPECT_FLOAT_EQ(1.0f, scale);
    EXPECT_STREQ("abcabc", FitLine("abcabc", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale));
    EXPECT_FLOAT_EQ(1.0f / 1.5f, scale);
    // 2.25 wide: at 0.6 the place holds 1.667, the dots take 0.75 of it.
    EXPECT_STREQ("abc...", FitLine("abcabcabc", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale));
    EXPECT_FLOAT_EQ(0.6f, scale);
    EXPECT_STREQ("ab...", FitLine("ab cabcab", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale)) << "no blank before the dots";
    EXPECT_STREQ("...", FitLine("abcabc", &f.font, 0.2f, 1.0f, out, sizeof(out), &scale));
    // Cut from the middle, the end stays: a name and its amount.
    EXPECT_STREQ("ab...c", FitLine("abcabcabc", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale, true));
    EXPECT_STREQ("a...b", FitLine("a  cabc  b", &f.font, 1.0f, 0.6f, out, sizeof(out), &scale, true));
    // The font's size counts: at size 2 "ab" is 1.0 wide.
    f.font.size = 2.0f;
    FitLine("ab", &f.font, 0.5f, 0.1f, out, sizeof(out), &scale);
    EXPECT_FLOAT_EQ(0.5f, scale);

    // Drawn: the glyphs of the long line are shrunk, the short one is not.
    f.font.size = 1.0f;
    TextBlock block;
    block.AddLine("abcabc");
    block.AddLine("a");
    TextLayout layout;
    layout.fitWidth = 1.0f;
    g_fontManager.DrawTextBlock(&block, 0.0f, 0.0f, 0.0f, &f.font, &layout);
    ASSERT_EQ(7u, g_drawn.size());
    EXPECT_NEAR(1.0f / 1.5f, g_drawn[0].scaleX, 1e-5);
    EXPECT_NEAR(1.0f, g_drawn[6].scaleX, 1e-5);
}

// The "text" kind's "fit" is a width in view units, whatever its scale.
TEST_F(DrawingTest, TextControlFitsItsLineToItsPlaceInViewUnits) {
    TestFont f("abc .", {8, -4});
    TextControl t;
    t.font = &f.font;
    t.scale = 0.5f;
    t.fitWidth = 1.0f;
    TextControl::SetText(&t, "%s", "abcabcabcabc");  // 3.0 wide, 1.5 at the control's scale
    t.Draw();
    EXPECT_FLOAT_EQ(2.0f, t.layout.fitWidth) << "in the body's frame, which the scale shrinks";
    float scale = 0.0f;
    char out[64];
    FitLine(t.block->Line(0), &f.font, t.layout.fitWidth, t.layout.fitMinScale, out, sizeof(out), &scale);
    EXPECT_FLOAT_EQ(2.0f / 3.0f, scale);
}

// ---- The text table ------------------------------------------------------------------

TEST_F(TextTableTest, LooksUpFormattedNamesExactly) {
    std::string longName(255, 'N');
    ASSERT_TRUE(LoadDocument("<?xml version=\"1.0\"?>\n"
                             "<text name=\"MSG_3\" value=\"Three\"/>\n"
                             "<text name=\"msg_3\" value=\"lower\"/>\n"
                             "<text name=\"MSG_3\" value=\"second of the name\"/>\n"
                             "<text name=\"MENU\"><line value=\"Play\"/><line value=\"\"/><line/>"
                             "<line value=\"  Quit  \"/></text>\n"
                             "<text name=\"RATE_%s\" value=\"percent\"/>\n"
                             "<text name=\"" + longName + "\" value=\"long\"/>\n"
                             "<other name=\"MSG_4\" value=\"ignored\"/>\n"))
        << Error();
    ASSERT_EQ(6u, g_fontManager.TextCount());

    TextBlock* three = g_fontManager.GetText("MSG_%i", 3);
    ASSERT_NE(nullptr, three);
    EXPECT_STREQ("Three", three->Line(0));  // the first of the name
    EXPECT_STREQ("lower", g_fontManager.GetText("msg_%i", 3)->Line(0));
    EXPECT_EQ(nullptr, g_fontManager.GetText("MSG_%i", 4));
    EXPECT_EQ(nullptr, g_fontManager.GetText(nullptr));

    TextBlock* menu = g_fontManager.GetText("MENU");
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(4u, menu->LineCount());
    EXPECT_STREQ("Play", menu->Line(0));
    EXPECT_EQ(nullptr, menu->Line(1));  // empty lines are null
    EXPECT_EQ(nullptr, menu->Line(2));
    EXPECT_STREQ("  Quit  ", menu->Line(3));  // blanks count
    EXPECT_EQ(nullptr, menu->Line(4));

    // Names from data are looked up as they are, never as formats.
    ASSERT_NE(nullptr, FindTextByName("RATE_%s"));
    EXPECT_STREQ("percent", FindTextByName("RATE_%s")->Line(0));
    EXPECT_EQ(nullptr, FindTextByName("RATE_"));

    // A name longer than 255 characters is compared whole, not cut down to
    // one that happens to exist.
    EXPECT_NE(nullptr, g_fontManager.GetText("%s", longName.c_str()));
    EXPECT_EQ(nullptr, g_fontManager.GetText("%sX", longName.c_str()));

    // Loading again replaces the table.
    ASSERT_TRUE(LoadDocument("<text name=\"ONLY\" value=\"one\"/>"));
    EXPECT_EQ(1u, g_fontManager.TextCount());
    EXPECT_EQ(nullptr, g_fontManager.GetText("MENU"));
}

TEST_F(TextTableTest, BrokenDocumentsGiveTheirErrors) {
    // No "TEXT" in the manifest.
    DataFolder empty("text-none");
    ASSERT_TRUE(empty.Mount());
    EXPECT_FALSE(g_fontManager.Load());
    EXPECT_EQ("File <TEXT> not found", Error());

    // Listed, but not on the disk.
    DataFolder missing("text-missing");
    missing.AddMissing("TEXT", "text.xml");
    ASSERT_TRUE(missing.Mount());
    EXPECT_FALSE(g_fontManager.Load());
    EXPECT_EQ("File <" + missing.dir + "text.xml> not found, file ID = 1.", Error());

    // Malformed XML: the place of the fault, counted from 1.
    EXPECT_FALSE(LoadDocument("<text name=\"A\" value=\"x\"/>\n<text name=\"B\">\n  <line value=\"y\"/>\n</txt>\n"));
    EXPECT_EQ("GUI: (4,1): Error reading end tag.", Error());
    EXPECT_FALSE(LoadDocument(""));
    EXPECT_EQ(0u, Error().find("GUI: ("));

    // A text too long for the error buffer is cut and still terminated.
    g_fontManager.SetError("%s", std::string(3000, 'x').c_str());
    EXPECT_EQ(std::string(1023, 'x'), Error());
}

TEST_F(TextTableTest, BadFontNumbersStopTheLoad) {
    struct Case {
        const char* font;
        const char* error;
    } cases[] = {
        {"<font name=\"F\" size=\"-1\" texture=\"T\"/>", "Font <F>: size <-1> is out of range."},
        {"<font name=\"F\" size=\"nan\" texture=\"T\"/>", "Font <F>: size <nan> is out of range."},
        {"<font name=\"F\" chars_width=\"10,x\" texture=\"T\"/>",
         "Font <F>: chars_width needs at most 256 whole numbers from -255 to 4096."},
        {"<font name=\"F\" chars_dist=\"4px\" texture=\"T\"/>", "Font <F>: chars_dist <4px> is not a whole number of pixels."},
        {"<font name=\"F\"/>", "Font <F> has no texture."},
        {"<font name=\"F\" texture=\"NO_SUCH\"/>", "<NO_SUCH> texture not loaded."},
    };
    for (const Case& c : cases) {
        // The text elements are read after every font: a failing font
        // leaves the table empty.
        EXPECT_FALSE(LoadDocument(std::string("<text name=\"T1\" value=\"x\"/>") + c.font)) << c.font;
        EXPECT_EQ(c.error, Error()) << c.font;
        EXPECT_EQ(0u, g_fontManager.TextCount());
        EXPECT_EQ(0u, g_fontManager.FontCount());
    }
    std::string many(256, 'a');
    std::string tooMany = "<font name=\"F\" texture=\"T\" chars=\"" + many + "\"/>";
    EXPECT_FALSE(LoadDocument(tooMany));
    EXPECT_EQ("Font <F>: more than 255 characters.", Error());
}

// ---- Fonts from real images (a Direct3D device under Wine) ------------------------------

std::string PngBytes(unsigned w, unsigned h) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<std::string*>(png_get_io_ptr(p))->append((const char*)data, n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<unsigned char> row(w * 4, 255);
    for (unsigned y = 0; y < h; ++y) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

class DeviceFontTest : public TextTableTest {
protected:
    void SetUp() override {
        TextTableTest::SetUp();
        window = CreateWindowA("STATIC", "fonts", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window);
        g_renderer.clientWidth = 320;
        g_renderer.clientHeight = 240;
        ASSERT_TRUE(g_renderer.Init(window, Vector3{2.6666665f, 2.0f, 100.0f}, false, false))
            << g_renderer.GetError();
    }
    void TearDown() override {
        TextTableTest::TearDown();
        g_renderer.Shutdown();
        if (window) DestroyWindow(window);
    }
    HWND window = nullptr;
};

TEST_F(DeviceFontTest, FontsCutTheirStripAndShareTheTexture) {
    DataFolder data("fonts-device");
    data.Add("STRIP", "strip.png", PngBytes(100, 32));  // a 128 x 32 texture
    data.Add("TEXT", "text.xml",
             "<font name=\"UI\" size=\"0.5\" texture=\"STRIP\" chars=\" AB\" chars_width=\"10,16,-1\" chars_dist=\"4\"/>\n"
             "<font name=\"UI2\" texture=\"STRIP\" chars=\"A\" chars_width=\"50\"/>\n"
             "<font name=\"BAD\" texture=\"STRIP\" chars=\"AB\" chars_width=\"60,60\"/>\n"
             "<text name=\"T\" value=\"x\"/>\n");
    ASSERT_TRUE(data.Mount());
    EXPECT_FALSE(g_fontManager.Load());
    EXPECT_EQ("Font <BAD>: the widths of its characters run past its image (100 pixels).", Error());
    // The fonts before the failure stay; the texts are never reached.
    ASSERT_EQ(2u, g_fontManager.FontCount());
    EXPECT_EQ(0u, g_fontManager.TextCount());

    Font* ui = g_fontManager.GetFont("UI");
    ASSERT_NE(nullptr, ui);
    EXPECT_EQ(nullptr, g_fontManager.GetFont("ui"));
    EXPECT_FLOAT_EQ(0.5f, ui->size);
    EXPECT_FLOAT_EQ(4.0f / 32, ui->spacing);  // the image's height, not the padded texture's
    EXPECT_FLOAT_EQ(10.0f / 32, ui->widths[' ']);  // a leading blank is a character too
    EXPECT_FLOAT_EQ(0.5f, ui->widths['B']);
    ASSERT_NE(nullptr, ui->glyphs['A']);
    EXPECT_EQ(4u, ui->glyphs['A']->vertexCount);
    EXPECT_EQ(kMeshQuads, ui->glyphs['A']->primitiveMode);

    // One texture for both fonts; FreeAll gives it back.
    EXPECT_EQ(ui->texture, g_fontManager.GetFont("UI2")->texture);
    EXPECT_EQ(2u, ui->texture->refCount);
    g_fontManager.FreeAll();
    EXPECT_EQ(0u, g_resourceManager.Count(RESOURCE_TEXTURE));
}

// ---- "text" ------------------------------------------------------------------------------

std::vector<std::string> Lines(const TextBlock* b) {
    std::vector<std::string> out;
    for (unsigned i = 0; b && i < b->LineCount(); ++i) out.push_back(b->Line(i) ? b->Line(i) : "<null>");
    return out;
}

TEST(TextKind, WrapsWordsAtTheWidth) {
    // Every letter 0.25 wide, no spacing, size 1: 'a bb' is 1.0 wide.
    TestFont f("abc ", {8, -3});
    TextControl text;
    text.font = &f.font;
    text.wrapWidth = 1.0f;
    TextBlock source;
    source.AddLine("a bb ccc");
    source.AddLine(nullptr);
    source.AddLine("   a    bb   ");
    source.AddLine("   ");
    source.AddLine("abcabcabc a");
    text.SetTextBlock(&source);
    ASSERT_TRUE(text.OwnsBlock());
    EXPECT_EQ(std::vector<std::string>({"a bb", "ccc", "<null>", "a bb", "<null>", "abcabcabc", "a"}),
              Lines(text.block));

    // The control's scale counts: at scale 2 'a bb' no longer fits.
    text.scale = 2.0f;
    text.wrapWidth = 1.0f;
    TextBlock pair;
    pair.AddLine("a b");
    text.SetTextBlock(&pair);
    EXPECT_EQ(std::vector<std::string>({"a", "b"}), Lines(text.block));
    // Null wraps the block it has again, line by line (its own block is
    // both the source and the block replaced).
    text.scale = 1.0f;
    text.SetTextBlock(nullptr);
    EXPECT_EQ(std::vector<std::string>({"a", "b"}), Lines(text.block));
    EXPECT_TRUE(text.OwnsBlock());
}

// A wrapped text that must keep to its place and needs more lines than it
// shows is drawn smaller as a whole: three lines in the height of two.
TEST_F(DrawingTest, WrappedTextNeedingMoreLinesIsDrawnSmallerAsAWhole) {
    TestFont f("abc ", {8, -3});  // 0.25 a letter
    TextControl text;
    text.font = &f.font;
    text.wrapWidth = 1.0f;
    text.fitWidth = 1.0f;
    text.layout.linesShown = 2;
    text.layout.vertical = TEXT_VALIGN_TOP;
    TextControl::SetText(&text, "%s", "aa bb cc dd");  // four lines at full size
    text.SetTextBlock(nullptr);
    EXPECT_EQ(std::vector<std::string>({"aa bb", "cc dd"}), Lines(text.block)) << "at 2/3 size, 1.5 across";
    EXPECT_FLOAT_EQ(2.0f / 3.0f, text.layout.lineScale);
    g_fontManager.DrawTextBlock(text.block, 0.0f, 0.0f, 0.0f, &f.font, &text.layout);
    ASSERT_EQ(8u, g_drawn.size());  // the letters (a blank draws nothing)
    EXPECT_NEAR(2.0f / 3.0f, g_drawn[0].scaleX, 1e-5);
    EXPECT_NEAR(-1.0f / 3.0f, g_drawn[0].y, 1e-5) << "the first line's middle, a smaller step down";
    EXPECT_NEAR(-1.0f, g_drawn[7].y, 1e-5);

    // Two lines at full size: as before.
    TextControl::SetText(&text, "%s", "aaa bbb");
    text.SetTextBlock(nullptr);
    EXPECT_FLOAT_EQ(1.0f, text.layout.lineScale);
    // Not below the smallest size: a text of many words keeps the smallest
    // wrap and loses the lines past those shown.
    text.layout.fitMinScale = 0.9f;
    TextControl::SetText(&text, "%s", "aaa bbb ccc");
    text.SetTextBlock(nullptr);
    EXPECT_FLOAT_EQ(1.0f, text.layout.lineScale);
    EXPECT_EQ(3u, text.block->LineCount());
}

TEST(TextKind, SharesTableBlocksAndOwnsItsOwn) {
    TextBlock table;
    table.AddLine("shared");
    TextControl text;
    // Without a wrap width the given block itself is shown.
    text.SetTextBlock(&table);
    EXPECT_EQ(&table, text.block);
    EXPECT_FALSE(text.OwnsBlock());

    TextControl::SetText(&text, "%s $%i", "Score", 1500);
    ASSERT_TRUE(text.OwnsBlock());
    EXPECT_EQ(std::vector<std::string>({"Score $1500"}), Lines(text.block));
    EXPECT_STREQ("shared", table.Line(0));  // the table's block is untouched

    std::string longText(400, 'x');
    TextControl::SetText(&text, "%s", longText.c_str());
    EXPECT_EQ(255u, std::string(text.block->Line(0)).size());
    TextControl::SetText(nullptr, "ignored");

    text.SetTextBlock(&table);  // the own block goes, the table's stays
    EXPECT_EQ(&table, text.block);
}

TEST_F(TextTableTest, TextAndLinkReadTheirAttributes) {
    ASSERT_TRUE(LoadDocument("<text name=\"LINES\"><line value=\"one\"/><line value=\"two\"/></text>"
                             "<text name=\"100%s\" value=\"pct\"/>"));
    TiXmlDocument doc;
    doc.Parse("<text name=\"t\" text=\"100%s\" spacing=\"1.5\" horizontal=\"right\" vertical=\"middle\" lines=\"-3\""
              " line_len=\"inf\"/>"
              "<link name=\"l\" text=\"LINES\" horizontal=\"center\" spacing=\"-2\"/>");
    TextControl text;
    text.Load(doc.FirstChildElement("text"));
    ASSERT_NE(nullptr, text.block);  // the key is a name, never a format
    EXPECT_STREQ("pct", text.block->Line(0));
    EXPECT_FLOAT_EQ(1.5f, text.layout.spacing);
    EXPECT_EQ(TEXT_ALIGN_RIGHT, text.layout.horizontal);
    EXPECT_EQ(0, text.layout.vertical);       // an unknown word: laid out as top
    EXPECT_EQ(0, text.layout.linesShown);     // out of range: all lines
    EXPECT_FLOAT_EQ(0.0f, text.wrapWidth);    // not a number: no wrapping

    LinkControl link;
    link.Load(doc.FirstChildElement("link"));
    EXPECT_EQ(2, link.layout.linesShown);
    EXPECT_FLOAT_EQ(1.0f, link.layout.spacing);  // negative spacing refused
    EXPECT_EQ(TEXT_ALIGN_CENTER, link.layout.horizontal);
}

// ---- Open and close without a text block; the link's box -------------------------------------

int g_activations = 0;
bool CountActivation(void*, const char*) {
    ++g_activations;
    return true;
}

class TextVisualsTest : public TextTableTest {
protected:
    void SetUp() override {
        TextTableTest::SetUp();
        EnsureMatrixStack();
        g_input.Clear();
        DataFolder data("text-visuals");
        data.Add("PANEL", "panel.pack", BuildModelPack({ControlPart("body", 4, true)}));
        ASSERT_TRUE(data.Mount());
    }
};

TEST_F(TextVisualsTest, OpensAndClosesWithoutATextBlock) {
    TextControl text;
    SetString(text.modelName, "PANEL");
    text.BuildVisuals();
    ASSERT_NE(nullptr, text.body);
    ASSERT_NE(nullptr, text.body->model);  // the clips are really played
    text.SetState(GUI_STATE_OPENING);
    EXPECT_FALSE(text.body->finished);
    int frames = 0;
    for (; frames < 50 && text.state == GUI_STATE_OPENING; ++frames) {
        text.Draw();
        NextFrame();
        text.Update();
    }
    EXPECT_EQ(GUI_STATE_IDLE, text.state);
    EXPECT_GT(frames, 2);  // it did play the 4-frame clip
    text.SetState(GUI_STATE_CLOSING);
    for (frames = 0; frames < 50 && text.state == GUI_STATE_CLOSING; ++frames) {
        text.Draw();
        NextFrame();
        text.Update();
    }
    EXPECT_EQ(GUI_STATE_CLOSED, text.state);
    text.ReleaseVisuals();
}

TEST_F(TextVisualsTest, LinkBoxFollowsItsTextAndActivates) {
    g_guiManager.RegisterCallback("Activate", CountActivation);
    TestFont f = MakeAbc(0.5f);
    TestFont sel = MakeAbc(1.0f);
    TextBlock block;
    block.AddLine("AB");  // 1.625 font units wide
    block.AddLine("A");
    TiXmlDocument doc;
    doc.Parse("<link name=\"l\" OnActivate=\"Activate(x)\"/>");
    LinkControl link;
    link.Load(doc.FirstChildElement("link"));
    link.block = &block;
    link.font = &f.font;
    link.selectedFont = &sel.font;
    link.layout.linesShown = 2;
    link.layout.horizontal = TEXT_ALIGN_CENTER;
    link.layout.vertical = TEXT_VALIGN_CENTER;
    link.position = Vector3{1.0f, 1.0f, 0.0f};
    link.scale = 2.0f;
    // No model: the box is kept in the body's own units, and the hit test
    // still finds the text where it is drawn.
    link.BuildVisuals();
    ASSERT_NE(nullptr, link.body);
    float box[6];
    GetVisualHitBox(link.body, box);
    const float width = 1.625f * 0.5f * 2.0f, height = 2 * 0.5f * 2.0f;
    EXPECT_FLOAT_EQ(1.0f - width / 2, box[0]);
    EXPECT_FLOAT_EQ(1.0f + width / 2, box[3]);
    EXPECT_FLOAT_EQ(1.0f - height / 2, box[1]);
    EXPECT_FLOAT_EQ(1.0f + height / 2, box[4]);
    EXPECT_TRUE(link.body->HitTest(1.0f + width / 2 - 0.01f, 1.9f, 0.0f));
    EXPECT_FALSE(link.body->HitTest(1.0f + width / 2 + 0.01f, 1.0f, 0.0f));

    g_activations = 0;
    EXPECT_TRUE(link.MouseOver());
    EXPECT_EQ(&sel.font, link.currentFont);
    EXPECT_EQ(0, g_activations);
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_DOWN);
    EXPECT_TRUE(link.MouseOver());  // never captures
    EXPECT_EQ(1, g_activations);
    link.MouseLeave();
    EXPECT_EQ(&f.font, link.currentFont);
    g_input.Clear();
    link.ReleaseVisuals();
}

}  // namespace
