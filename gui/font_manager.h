// Mesh fonts and the text table. Every text on screen is drawn one textured
// quad per character, cut from a font's single-row glyph strip. The "TEXT"
// document holds the fonts and the named, multi-line texts that the GUI
// document and the game look up.
//
// "TEXT" document: no single root; "font" and "text" elements side by side.
//   <font name="UI" size="0.07" texture="FONT_UI" chars="ABC"
//         chars_width="10,-2" chars_dist="-4"/>
//     size         drawn height of one line, view units (default 1.0)
//     chars        the characters of the strip, in order (at most 255)
//     texture      label of the strip image
//     chars_width  pixel widths, one per character; -n repeats the previous
//                  width for the next n characters (at most 256 entries)
//     chars_dist   pixels between characters (may be negative: cells that
//                  overlap by their padding)
//   <text name="KEY" value="one line"/>
//   <text name="KEY"><line value="first"/><line value=""/>...</text>
#pragma once
#include <cstdarg>
#include <cstddef>

#include "indexed_list.h"

class TiXmlDocument;

struct Mesh;
struct Texture;

const int kFontGlyphCount = 256;
// Longest formatted name or text (the terminating zero makes 256).
const int kMaxFormattedText = 255;

// Horizontal alignment of DrawString and the layouts; any other value draws
// as left.
enum TextAlign { TEXT_ALIGN_LEFT = 1, TEXT_ALIGN_CENTER = 2, TEXT_ALIGN_RIGHT = 3 };
// Vertical alignment of a block; any other value lays out as top.
enum TextVAlign { TEXT_VALIGN_TOP = 1, TEXT_VALIGN_CENTER = 2, TEXT_VALIGN_BOTTOM = 3 };

struct Font {
    Font();
    ~Font();  // frees the name and the glyphs, gives the texture back
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Cuts the glyphs out of an image of imageWidth x imageHeight pixels:
    // chars in strip order, widths as the "chars_width" entries (count of
    // them), charsDistance in pixels. Characters past the end of the width
    // list repeat the last width; with no list at all the strip is split
    // evenly. false (with the reason in error) for numbers that do not fit
    // the image; the font then defines nothing.
    bool BuildGlyphs(const char* chars, const int* widthEntries, int entryCount, int charsDistance,
                     unsigned imageWidth, unsigned imageHeight, char* error, size_t errorSize);
    // Frees every glyph mesh; the font then defines nothing.
    void FreeGlyphs();
    bool Defines(unsigned char c) const { return glyphs[c] != nullptr; }

    char* name;
    float size;                        // height of a line in view units
    Mesh* glyphs[kFontGlyphCount];     // by byte value; null: not defined
    float widths[kFontGlyphCount];     // font units (a line is 1 high)
    float lineHeight;                  // 1.0
    float spacing;                     // font units between two characters
    Texture* texture;                  // shared through the resource manager
};

// A named text of the table (or an unnamed one that a control owns): lines
// of owned strings; a line may be null (drawn as nothing).
struct TextBlock {
    TextBlock();
    ~TextBlock();  // frees the name and every line
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    unsigned LineCount() const { return lines.Count(); }
    // Line i, or null for an empty line or one past the end.
    const char* Line(unsigned i) const;
    // Appends a copy of text (null or "" gives an empty line).
    void AddLine(const char* text);
    // Replaces line i with a copy of text; nothing past the end.
    void SetLine(unsigned i, const char* text);
    // Frees every line.
    void ClearLines();
    // The slot of line i, for code that swaps a line's string in and out
    // (the list's row editing); null past the end.
    char** LineSlot(unsigned i) { return lines.At(i); }

    char* name;
    mutable IndexedList<char*> lines;
};

// How a block is laid out (inside the text, link and list controls).
struct TextLayout {
    unsigned char horizontal = TEXT_ALIGN_LEFT;
    unsigned char vertical = TEXT_VALIGN_TOP;
    float spacing = 1.0f;  // line spacing factor
    int firstLine = 0;     // first line shown
    int linesShown = 0;    // 0: every line
    // The width every line must keep to, in the block's own units (0: any
    // width): a wider line is drawn smaller, down to fitMinScale of its size,
    // and what is still too wide is cut short with "..." (see FitLine).
    float fitWidth = 0.0f;
    float fitMinScale = 0.6f;
    bool fitCutMiddle = false;  // cut from the middle: the line's end stays
    // The whole block drawn smaller, lines and the steps between them, so
    // that 1 / lineScale times as many lines stand in the same height.
    float lineScale = 1.0f;
};

// The alignment words of the documents: "left"/"top" 1, "center" 2,
// "right"/"bottom" 3, another word 0; null (absent) gives fallback.
int ParseHorizontalAlign(const char* word, int fallback);
int ParseVerticalAlign(const char* word, int fallback);

class FontManager {
public:
    static const int kErrorSize = 1024;

    FontManager();
    ~FontManager();

    // Reads the "TEXT" document: every "font" element, then every "text"
    // element. false at the first failure, with the reason in GetError();
    // what was read before stays.
    bool Load();
    // Reads only the text table of the "TEXT" document, in place of the one
    // there was; the fonts stay as they are (tools and tests that need the
    // game's texts without a device to cut the fonts on).
    bool LoadTextTable();
    // Frees every font and every block of the table.
    void FreeAll();

    // Exact, case-sensitive; null for a null name or none.
    Font* GetFont(const char* fontName);
    // The block whose name is the printf-formatted text, first in document
    // order; null for a null format or none.
    TextBlock* GetText(const char* format, ...);
    TextBlock* GetTextV(const char* format, va_list args);

    // One line at (x, y, z), size and scale applied, aligned on x.
    // Characters the font lacks are skipped (the error text names them).
    void DrawString(const char* text, float x, float y, float z, Font* font, int alignment, float scale);
    // The shown lines of a block, one step apart downwards.
    void DrawTextBlock(TextBlock* block, float x, float y, float z, Font* font, TextLayout* layout);

    const char* GetError() const { return error; }
    void SetError(const char* format, ...);
    unsigned FontCount() const { return fonts.Count(); }
    unsigned TextCount() const { return texts.Count(); }
    Font* FontAt(unsigned i) const;
    TextBlock* TextAt(unsigned i) const;

    // Called for every glyph just before it is drawn, with the renderer's
    // matrix in place; for tools and tests. Null normally.
    void (*glyphObserver)(unsigned char character, const Font* font);

private:
    FontManager(const FontManager&) = delete;
    FontManager& operator=(const FontManager&) = delete;

    bool ReadTexts(TiXmlDocument& document);

    mutable IndexedList<Font*> fonts;
    mutable IndexedList<TextBlock*> texts;
    char error[kErrorSize];
};

extern FontManager g_fontManager;

// Sum of the glyph widths plus one spacing between each two characters, in
// font units; the empty text gives minus one spacing; null text or font 0.
float TextWidth(const char* text, const Font* font);
// For a device that draws glyphs 1:1: a line as high in view units as the
// strip's imageHeight pixels are on the client area, and widths and spacing
// as many view units across as their pixels, so that the pen moves on by
// whole glyphs at any window size and shape.
void FitFontToPixels(Font& font, unsigned imageHeight);

// One glyph at (x, y, z), scaled by the font size, with the font texture.
void DrawGlyph(unsigned char character, float x, float y, float z, Font* font);
// The block of exactly this name (no formatting); for lookups by a name
// that comes from data.
const TextBlock* FindTextByName(const char* name);
// How a line is drawn in a place fitWidth wide (font size applied, before
// any scale; 0 or less: any width): as it is at scale 1 when it fits;
// else smaller, down to minScale; a line too wide even then keeps the most
// characters that fit with "..." behind them (or, cutting from the middle,
// half of them before the dots and half after), at minScale. Returns the
// text to draw (text itself, or out holding the shortened one) and its scale.
const char* FitLine(const char* text, const Font* font, float fitWidth, float minScale, char* out, size_t outSize,
                    float* scale, bool cutMiddle = false);
// The distance between two lines of a block: line height x font size x the
// layout's spacing (1.0 without a layout); 0 without a font.
float TextBlockStep(const Font* font, const TextLayout* layout);
// The quad of a glyph w font units wide cut from u0 to u1 of the strip:
// 4 positions (x, y, z) centred on the origin, 1 unit high, and their
// texture coordinates, corners in the order top left, bottom left, bottom
// right, top right.
void BuildGlyphQuad(float w, float u0, float u1, float positions[12], float texCoords[8]);
