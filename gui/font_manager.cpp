#include "font_manager.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "file_system.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "resource_manager.h"
#include "strings.h"
#include "texture.h"
#include "tinyxml.h"

FontManager g_fontManager;

namespace {

// Limits of the numbers a "font" element may give. A line taller than this
// many view units (the screen is 2.0 high) is surely a typing error.
const double kMaxFontSize = 16.0;
const int kMaxWidthEntries = 256;
const int kMaxFontChars = 255;

void DrawBlockThroughManager(TextBlock* block, float x, float y, float z, Font* font, TextLayout* layout) {
    g_fontManager.DrawTextBlock(block, x, y, z, font, layout);
}

// A whole number in [low, high]; false for anything else (trailing junk,
// overflow, nothing at all).
bool ParseBoundedInt(const char* text, long low, long high, long* out) {
    if (!text) return false;
    while (*text == ' ' || *text == '\t') ++text;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    if (v < low || v > high) return false;
    *out = v;
    return true;
}

// The "chars_width" list: comma-separated whole numbers. false for more than
// kMaxWidthEntries entries or one that is not a number in range.
bool ParseWidthList(const char* text, int* out, int* count, int imageWidth) {
    *count = 0;
    if (!text || !*text) return true;
    const char* p = text;
    for (;;) {
        const char* comma = std::strchr(p, ',');
        size_t n = comma ? (size_t)(comma - p) : std::strlen(p);
        char part[32];
        if (n >= sizeof(part) || *count >= kMaxWidthEntries) return false;
        std::memcpy(part, p, n);
        part[n] = 0;
        long v;
        if (!ParseBoundedInt(part, -kMaxFontChars, imageWidth, &v)) return false;
        out[(*count)++] = (int)v;
        if (!comma) return true;
        p = comma + 1;
    }
}

void Format(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, size, format, args);
    va_end(args);
}

} // namespace

// ---- Font ------------------------------------------------------------------

Font::Font() : name(nullptr), size(1.0f), lineHeight(1.0f), spacing(0.0f), texture(nullptr) {
    for (int i = 0; i < kFontGlyphCount; ++i) {
        glyphs[i] = nullptr;
        widths[i] = 0.0f;
    }
}

Font::~Font() {
    FreeGlyphs();
    SetString(name, nullptr);
    if (texture) g_resourceManager.Release(texture);
    texture = nullptr;
}

void Font::FreeGlyphs() {
    for (int i = 0; i < kFontGlyphCount; ++i) {
        delete glyphs[i];
        glyphs[i] = nullptr;
        widths[i] = 0.0f;
    }
}

void BuildGlyphQuad(float w, float u0, float u1, float positions[12], float texCoords[8]) {
    const float h = 0.5f * w;
    const float p[12] = {-h, 0.5f, 0.0f, -h, -0.5f, 0.0f, h, -0.5f, 0.0f, h, 0.5f, 0.0f};
    const float t[8] = {u0, 0.0f, u0, 1.0f, u1, 1.0f, u1, 0.0f};
    std::memcpy(positions, p, sizeof(p));
    std::memcpy(texCoords, t, sizeof(t));
}

bool Font::BuildGlyphs(const char* chars, const int* widthEntries, int entryCount, int charsDistance,
                       unsigned imageWidth, unsigned imageHeight, char* error, size_t errorSize) {
    FreeGlyphs();
    lineHeight = 1.0f;
    spacing = 0.0f;
    if (imageWidth == 0 || imageHeight == 0) {
        Format(error, errorSize, "Font <%s>: its image is empty.", name ? name : "");
        return false;
    }
    const float W = (float)imageWidth, H = (float)imageHeight;
    spacing = (float)charsDistance / H;
    const size_t count = chars ? std::strlen(chars) : 0;
    // Without a width list the strip is cut into equal cells.
    const int evenWidth = count ? (int)(imageWidth / count) : 0;

    unsigned x = 0;
    int previous = 0, repeat = 0, next = 0;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char c = (unsigned char)chars[i];
        int pw;
        if (repeat > 0) {
            pw = previous;
            --repeat;
        } else if (next < entryCount) {
            int v = widthEntries[next++];
            if (v < 0) {
                // -n: the previous width for this character and n - 1 more.
                pw = previous;
                repeat = -v - 1;
            } else {
                pw = previous = v;
            }
        } else {
            pw = entryCount ? previous : evenWidth;
        }
        if (pw < 0 || (unsigned)pw > imageWidth - x) {
            FreeGlyphs();
            Format(error, errorSize, "Font <%s>: the widths of its characters run past its image (%u pixels).",
                   name ? name : "", imageWidth);
            return false;
        }
        Mesh* mesh = new (std::nothrow) Mesh();
        if (!mesh) {
            FreeGlyphs();
            Format(error, errorSize, "Font <%s>: out of memory.", name ? name : "");
            return false;
        }
        const float w = (float)pw / H;
        float positions[12], texCoords[8];
        BuildGlyphQuad(w, (float)x / W, (float)(x + pw) / W, positions, texCoords);
        // Without a device the buffers stay empty and the glyph draws
        // nothing; its metrics still hold.
        mesh->SetPositions(positions, 4);
        mesh->SetTexCoords(texCoords, 4);
        mesh->primitiveMode = kMeshQuads;
        mesh->defaultTexture = texture;
        // A character listed twice keeps its last cell.
        delete glyphs[c];
        glyphs[c] = mesh;
        widths[c] = w;
        x += (unsigned)pw;
    }
    return true;
}

// ---- TextBlock ---------------------------------------------------------------

TextBlock::TextBlock() : name(nullptr) {}

TextBlock::~TextBlock() {
    ClearLines();
    SetString(name, nullptr);
}

const char* TextBlock::Line(unsigned i) const {
    if (i >= lines.Count()) return nullptr;
    char** slot = lines.At(i);
    return slot ? *slot : nullptr;
}

void TextBlock::AddLine(const char* text) {
    char* copy = nullptr;
    SetString(copy, text);
    if (!lines.Append(copy)) SetString(copy, nullptr);
}

void TextBlock::SetLine(unsigned i, const char* text) {
    if (i >= lines.Count()) return;
    char** slot = lines.At(i);
    if (slot) SetString(*slot, text);
}

void TextBlock::ClearLines() {
    for (unsigned i = 0; i < lines.Count(); ++i) {
        char** slot = lines.At(i);
        if (slot) SetString(*slot, nullptr);
    }
    lines.Clear();
}

// ---- Alignment words -----------------------------------------------------------

int ParseHorizontalAlign(const char* word, int fallback) {
    if (!word) return fallback;
    static const char* const words[] = {"left", "center", "right", nullptr};
    return IndexOfString(word, words);
}

int ParseVerticalAlign(const char* word, int fallback) {
    if (!word) return fallback;
    static const char* const words[] = {"top", "center", "bottom", nullptr};
    return IndexOfString(word, words);
}

// ---- Measuring -----------------------------------------------------------------

void FitFontToPixels(Font& font, unsigned imageHeight) {
    const Renderer& r = g_renderer;
    if (imageHeight == 0 || r.clientWidth == 0 || r.clientHeight == 0 || !(r.viewSize.x > 0.0f) ||
        !(r.viewSize.y > 0.0f))
        return;
    // Down, a pixel is view height / client height: a line is as high as
    // the strip.
    font.size = (float)imageHeight * r.viewSize.y / (float)r.clientHeight;
    // Across, a pixel is view width / client width, which differs from the
    // height's unless the client area is 4:3: the widths and the spacing
    // (in font units, a line being 1) take the difference.
    const float across = (r.viewSize.x / (float)r.clientWidth) / (r.viewSize.y / (float)r.clientHeight);
    for (float& w : font.widths) w *= across;
    font.spacing *= across;
}

float TextWidth(const char* text, const Font* font) {
    if (!text || !font) return 0.0f;
    float width = -font->spacing;
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p) width += font->widths[*p] + font->spacing;
    return width;
}

float TextBlockStep(const Font* font, const TextLayout* layout) {
    if (!font) return 0.0f;
    return font->lineHeight * font->size * (layout ? layout->spacing : 1.0f);
}

void DrawGlyph(unsigned char character, float x, float y, float z, Font* font) {
    if (!font || !font->glyphs[character]) return;
    g_renderer.PushMatrix();
    g_renderer.Translate(x, y, z);
    g_renderer.Scale(font->size, font->size, 1.0f);
    if (g_fontManager.glyphObserver) g_fontManager.glyphObserver(character, font);
    font->glyphs[character]->Draw(font->texture);
    g_renderer.PopMatrix();
}

const TextBlock* FindTextByName(const char* name) {
    if (!name) return nullptr;
    for (unsigned i = 0; i < g_fontManager.TextCount(); ++i) {
        TextBlock* b = g_fontManager.TextAt(i);
        if (b && StringEquals(b->name, name)) return b;
    }
    return nullptr;
}

// ---- FontManager ----------------------------------------------------------------

FontManager::FontManager() : glyphObserver(nullptr) {
    error[0] = 0;
    g_drawTextBlock = DrawBlockThroughManager;
}

// The fonts hold textures of the resource manager, which may be gone by the
// time globals are destroyed: the game frees them with FreeAll first, and
// whatever is left at exit goes with the process.
FontManager::~FontManager() {}

void FontManager::SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof(error), format, args);
    va_end(args);
    // Some C runtimes leave a cut text unterminated.
    error[sizeof(error) - 1] = 0;
}

Font* FontManager::FontAt(unsigned i) const {
    Font** slot = i < fonts.Count() ? fonts.At(i) : nullptr;
    return slot ? *slot : nullptr;
}

TextBlock* FontManager::TextAt(unsigned i) const {
    TextBlock** slot = i < texts.Count() ? texts.At(i) : nullptr;
    return slot ? *slot : nullptr;
}

void FontManager::FreeAll() {
    for (unsigned i = 0; i < fonts.Count(); ++i) delete FontAt(i);
    fonts.Clear();
    for (unsigned i = 0; i < texts.Count(); ++i) delete TextAt(i);
    texts.Clear();
}

// One "font" element; false (error text set) when the font cannot be made.
static bool LoadFontElement(FontManager& manager, TiXmlElement* e, Font*& out) {
    out = nullptr;
    Font* font = new (std::nothrow) Font();
    if (!font) {
        manager.SetError("Out of memory.");
        return false;
    }
    SetString(font->name, e->Attribute("name"));
    const char* label = font->name ? font->name : "";

    if (const char* text = e->Attribute("size")) {
        char* end = nullptr;
        double size = std::strtod(text, &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (end == text || (end && *end) || !std::isfinite(size) || size <= 0.0 || size > kMaxFontSize) {
            manager.SetError("Font <%s>: size <%s> is out of range.", label, text);
            delete font;
            return false;
        }
        font->size = (float)size;
    }
    const char* chars = e->Attribute("chars");
    if (chars && std::strlen(chars) > (size_t)kMaxFontChars) {
        manager.SetError("Font <%s>: more than %i characters.", label, kMaxFontChars);
        delete font;
        return false;
    }

    // The numbers first: a list that cannot be read fails before the
    // texture is fetched.
    int entries[kMaxWidthEntries];
    int entryCount = 0;
    if (!ParseWidthList(e->Attribute("chars_width"), entries, &entryCount, (int)kMaxImageSide)) {
        manager.SetError("Font <%s>: chars_width needs at most %i whole numbers from -%i to %u.", label,
                         kMaxWidthEntries, kMaxFontChars, kMaxImageSide);
        delete font;
        return false;
    }
    const char* distanceText = e->Attribute("chars_dist");
    long distance = 0;
    if (distanceText && !ParseBoundedInt(distanceText, -(long)kMaxImageSide, (long)kMaxImageSide, &distance)) {
        manager.SetError("Font <%s>: chars_dist <%s> is not a whole number of pixels.", label, distanceText);
        delete font;
        return false;
    }

    const char* textureName = e->Attribute("texture");
    font->texture = textureName ? g_resourceManager.GetTexture(textureName) : nullptr;
    if (!font->texture) {
        if (textureName) manager.SetError("%s", g_resourceManager.GetError());
        else manager.SetError("Font <%s> has no texture.", label);
        delete font;
        return false;
    }
    unsigned W = font->texture->imageWidth, H = font->texture->imageHeight;
    if (W == 0 || H == 0) {
        // A texture made without the image size: from the padded size.
        W = (unsigned)std::lround(font->texture->width * font->texture->uScale);
        H = (unsigned)std::lround(font->texture->height * font->texture->vScale);
    }
    // More than a line's height between two characters is a typing error.
    if (distance < -(long)H || distance > (long)H) {
        manager.SetError("Font <%s>: chars_dist <%s> is out of range.", label, distanceText);
        delete font;
        return false;
    }
    char buildError[FontManager::kErrorSize];
    if (!font->BuildGlyphs(chars, entries, entryCount, (int)distance, W, H, buildError, sizeof(buildError))) {
        manager.SetError("%s", buildError);
        delete font;
        return false;
    }
    if (g_renderer.DrawsOneToOne()) FitFontToPixels(*font, H);
    out = font;
    return true;
}

// Opens and parses the "TEXT" document; false with the error text set.
static bool ReadTextDocument(FontManager& manager, TiXmlDocument& document) {
    int id = g_fileSystem.GetFileId("TEXT");
    if (!id) {
        manager.SetError("%s", g_fileSystem.GetError());
        return false;
    }
    if (!g_fileSystem.LoadXml(id, &document)) {
        if (document.Error()) {
            const char* desc = document.ErrorDesc();
            // TinyXML counts rows and columns from 1 already.
            manager.SetError("GUI: (%i,%i): %s", document.ErrorRow(), document.ErrorCol(), desc ? desc : "");
        } else {
            manager.SetError("%s", g_fileSystem.GetError());
        }
        return false;
    }
    return true;
}

bool FontManager::ReadTexts(TiXmlDocument& document) {
    for (TiXmlElement* e = document.FirstChildElement("text"); e; e = e->NextSiblingElement("text")) {
        TextBlock* block = new (std::nothrow) TextBlock();
        if (!block || !texts.Append(block)) {
            delete block;
            SetError("Out of memory.");
            return false;
        }
        SetString(block->name, e->Attribute("name"));
        if (const char* value = e->Attribute("value")) {
            block->AddLine(value);
        } else {
            for (TiXmlElement* line = e->FirstChildElement("line"); line; line = line->NextSiblingElement("line"))
                block->AddLine(line->Attribute("value"));
        }
    }
    return true;
}

bool FontManager::Load() {
    g_drawTextBlock = DrawBlockThroughManager;
    // A second load replaces the first rather than doubling it.
    FreeAll();
    error[0] = 0;

    TiXmlDocument document;
    if (!ReadTextDocument(*this, document)) return false;
    for (TiXmlElement* e = document.FirstChildElement("font"); e; e = e->NextSiblingElement("font")) {
        Font* font = nullptr;
        if (!LoadFontElement(*this, e, font)) return false;
        if (!fonts.Append(font)) {
            delete font;
            SetError("Out of memory.");
            return false;
        }
    }
    return ReadTexts(document);
}

bool FontManager::LoadTextTable() {
    for (unsigned i = 0; i < texts.Count(); ++i) delete TextAt(i);
    texts.Clear();
    error[0] = 0;
    TiXmlDocument document;
    return ReadTextDocument(*this, document) && ReadTexts(document);
}

Font* FontManager::GetFont(const char* fontName) {
    if (!fontName) return nullptr;
    for (unsigned i = 0; i < fonts.Count(); ++i) {
        Font* f = FontAt(i);
        if (f && StringEquals(f->name, fontName)) return f;
    }
    return nullptr;
}

TextBlock* FontManager::GetText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    TextBlock* block = GetTextV(format, args);
    va_end(args);
    return block;
}

TextBlock* FontManager::GetTextV(const char* format, va_list args) {
    if (!format) return nullptr;
    char buffer[kMaxFormattedText + 1];
    char* name = buffer;
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);
    if (n < 0) return nullptr;
    // A longer name is compared whole: a cut one could match another text.
    if (n > kMaxFormattedText) {
        name = static_cast<char*>(std::malloc((size_t)n + 1));
        if (!name) return nullptr;
        std::vsnprintf(name, (size_t)n + 1, format, args);
    }
    TextBlock* found = nullptr;
    for (unsigned i = 0; i < texts.Count() && !found; ++i) {
        TextBlock* b = TextAt(i);
        if (b && StringEquals(b->name, name)) found = b;
    }
    if (name != buffer) std::free(name);
    return found;
}

const char* FitLine(const char* text, const Font* font, float fitWidth, float minScale, char* out, size_t outSize,
                    float* scale, bool cutMiddle) {
    *scale = 1.0f;
    if (!text || !font || fitWidth <= 0.0f || font->size <= 0.0f) return text;
    const float width = TextWidth(text, font) * font->size;
    if (width <= fitWidth) return text;
    if (!(minScale > 0.0f) || minScale > 1.0f) minScale = 1.0f;
    if (width * minScale <= fitWidth) {
        *scale = fitWidth / width;
        return text;
    }
    *scale = minScale;
    if (!out || outSize < 4) return text;
    // The most characters that fit with the dots: from the start, or half
    // from the start and half from the end; no blank stands beside the dots.
    const float room = fitWidth / (font->size * minScale);
    const size_t length = std::strlen(text);
    size_t keep = length < outSize - 4 ? length : outSize - 4;
    for (;;) {
        size_t head = cutMiddle ? (keep + 1) / 2 : keep;
        size_t tail = keep - head;
        const char* tailStart = text + length - tail;
        while (head > 0 && text[head - 1] == ' ') --head;
        while (tail > 0 && *tailStart == ' ') ++tailStart, --tail;
        std::memcpy(out, text, head);
        std::memcpy(out + head, "...", 3);
        std::memcpy(out + head + 3, tailStart, tail);
        out[head + 3 + tail] = 0;
        if (keep == 0 || TextWidth(out, font) <= room) return out;
        --keep;
    }
}

// A device that draws glyphs 1:1 draws each at its own size where the frame
// puts it: in a squeezed frame (a label opening or closing with its control)
// the glyphs would only come closer together and pile up. It draws a line
// whole, at the font's own size, in a frame at least half its own size, and
// not at all in a smaller one. Makes the current frame so; false when it is
// too small for text.
static bool FrameAtOwnSize() {
    if (!g_renderer.DrawsOneToOne()) return true;
    const float* m = g_renderer.Top().m;
    const float across = std::hypot(m[0], m[1]), down = std::hypot(m[4], m[5]);
    const float kSmallestDrawn = 0.5f;
    if (!(across >= kSmallestDrawn) || !(down >= kSmallestDrawn)) return false;
    g_renderer.Scale(1.0f / across, 1.0f / down, 1.0f);
    return true;
}

void FontManager::DrawString(const char* text, float x, float y, float z, Font* font, int alignment, float scale) {
    if (!text || !font) return;
    g_renderer.PushMatrix();
    g_renderer.Translate(x, y, z);
    if (!FrameAtOwnSize()) {
        g_renderer.PopMatrix();
        return;
    }
    g_renderer.Scale(font->size, font->size, 1.0f);
    g_renderer.Scale(scale, scale, 1.0f);
    if (alignment == TEXT_ALIGN_CENTER) g_renderer.Translate(-0.5f * TextWidth(text, font), 0.0f, 0.0f);
    else if (alignment == TEXT_ALIGN_RIGHT) g_renderer.Translate(-TextWidth(text, font), 0.0f, 0.0f);
    // The glyphs of one string share their texture: the device may draw
    // them together.
    g_renderer.BeginBatch();
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
        Mesh* glyph = font->glyphs[*p];
        if (!glyph) {
            SetError("Character <%c> not defined.", *p);
            continue;
        }
        const float half = 0.5f * font->widths[*p];
        g_renderer.Translate(half, 0.0f, 0.0f);
        if (glyphObserver) glyphObserver(*p, font);
        glyph->Draw(font->texture);
        g_renderer.Translate(half + font->spacing, 0.0f, 0.0f);
    }
    g_renderer.EndBatch();
    g_renderer.PopMatrix();
}

void FontManager::DrawTextBlock(TextBlock* block, float x, float y, float z, Font* font, TextLayout* layout) {
    if (!block || !font) return;
    TextLayout defaults;
    const TextLayout& l = layout ? *layout : defaults;
    // A device that draws glyphs 1:1 cannot draw them smaller: it only cuts,
    // and lays the lines out at the font's own size (or leaves them out).
    const bool oneToOne = g_renderer.DrawsOneToOne();
    if (oneToOne) {
        g_renderer.PushMatrix();
        g_renderer.Translate(x, y, z);
        x = y = z = 0.0f;
        if (!FrameAtOwnSize()) {
            g_renderer.PopMatrix();
            return;
        }
    }
    const float lineScale = !oneToOne && l.lineScale > 0.0f && l.lineScale < 1.0f ? l.lineScale : 1.0f;
    const float step = TextBlockStep(font, &l) * lineScale;
    const unsigned lineCount = block->LineCount();
    const int count = l.linesShown > 0 ? (int)((float)l.linesShown / lineScale + 0.001f) : (int)lineCount;
    float cy = y;
    if (l.vertical == TEXT_VALIGN_CENTER) cy += count * step * 0.5f;
    else if (l.vertical == TEXT_VALIGN_BOTTOM) cy += count * step;
    cy -= step * 0.5f;
    const unsigned first = l.firstLine > 0 ? (unsigned)l.firstLine : 0;
    const float minScale = oneToOne ? 1.0f : l.fitMinScale;
    char shortened[kMaxFormattedText + 1];
    for (int i = 0; i < count; ++i) {
        const unsigned line = first + (unsigned)i;
        if (line >= lineCount) break;
        float scale = 1.0f;
        const char* text = FitLine(block->Line(line), font, l.fitWidth / lineScale, minScale, shortened,
                                   sizeof(shortened), &scale, l.fitCutMiddle);
        DrawString(text, x, cy, z, font, l.horizontal, scale * lineScale);
        cy -= step;
    }
    if (oneToOne) g_renderer.PopMatrix();
}
