#include "controls_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "gui_callbacks.h"
#include "model.h"
#include "model_instance.h"
#include "renderer.h"
#include "strings.h"
#include "tinyxml.h"

// ---- Shared helpers ----------------------------------------------------------

bool ReadBoundedFloat(TiXmlElement* element, const char* attribute, float low, float high, float* out) {
    const char* text = element ? element->Attribute(attribute) : nullptr;
    if (!text) return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || !std::isfinite(v) || v < low || v > high) return false;
    *out = (float)v;
    return true;
}

bool ReadBoundedInt(TiXmlElement* element, const char* attribute, int low, int high, int* out) {
    const char* text = element ? element->Attribute(attribute) : nullptr;
    if (!text) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || v < low || v > high) return false;
    *out = (int)v;
    return true;
}

static bool HasModelBox(const ModelInstance* v) { return v && v->model && v->model->box; }

void SetVisualHitBox(ModelInstance* visual, const float box[6]) {
    if (!visual) return;
    if (HasModelBox(visual)) {
        for (int i = 0; i < 6; ++i) visual->worldBox[i] = box[i];
        return;
    }
    // Without a model box the hit test turns the mouse point into the
    // visual's own units first; the box has to be in those units too.
    const float p[3] = {visual->position.x, visual->position.y, visual->position.z};
    const float s[3] = {visual->scale.x, visual->scale.y, visual->scale.z};
    for (int i = 0; i < 3; ++i) {
        float a = s[i] != 0.0f ? (box[i] - p[i]) / s[i] : 0.0f;
        float b = s[i] != 0.0f ? (box[i + 3] - p[i]) / s[i] : 0.0f;
        visual->worldBox[i] = a < b ? a : b;
        visual->worldBox[i + 3] = a < b ? b : a;
    }
}

void GetVisualHitBox(const ModelInstance* visual, float box[6]) {
    for (int i = 0; i < 6; ++i) box[i] = 0.0f;
    if (!visual) return;
    if (HasModelBox(visual)) {
        for (int i = 0; i < 6; ++i) box[i] = visual->worldBox[i];
        return;
    }
    const float p[3] = {visual->position.x, visual->position.y, visual->position.z};
    const float s[3] = {visual->scale.x, visual->scale.y, visual->scale.z};
    for (int i = 0; i < 3; ++i) {
        float a = p[i] + s[i] * visual->worldBox[i];
        float b = p[i] + s[i] * visual->worldBox[i + 3];
        box[i] = a < b ? a : b;
        box[i + 3] = a < b ? b : a;
    }
}

// A text key from the document is a name, never a format: "%" in data must
// not read arguments that are not there.
static TextBlock* LookUpText(TiXmlElement* element) {
    const char* key = element->Attribute("text");
    return key ? g_fontManager.GetText("%s", key) : nullptr;
}

static void LoadLayout(TiXmlElement* element, TextLayout& layout) {
    ReadBoundedFloat(element, "spacing", 0.0f, 100.0f, &layout.spacing);
    layout.horizontal = (unsigned char)ParseHorizontalAlign(element->Attribute("horizontal"), layout.horizontal);
    layout.vertical = (unsigned char)ParseVerticalAlign(element->Attribute("vertical"), layout.vertical);
}

// ---- "text" ------------------------------------------------------------------------

TextControl::TextControl() : block(nullptr), wrapWidth(0.0f), fitWidth(0.0f), font(nullptr), ownBlock(false) {}

TextControl::~TextControl() { ReplaceBlock(nullptr, false); }

void TextControl::ReplaceBlock(TextBlock* b, bool own) {
    if (ownBlock && block != b) delete block;
    block = b;
    ownBlock = own && b;
}

void TextControl::Load(TiXmlElement* element) {
    if (!element) return;
    font = g_fontManager.GetFont(element->Attribute("font"));
    ReplaceBlock(LookUpText(element), false);
    LoadLayout(element, layout);
    ReadBoundedInt(element, "lines", 0, kMaxShownLines, &layout.linesShown);
    ReadBoundedFloat(element, "line_len", -1.0e6f, 1.0e6f, &wrapWidth);
    ReadBoundedFloat(element, "fit", 0.0f, 1.0e6f, &fitWidth);
    ReadBoundedFloat(element, "fit_min", 0.05f, 1.0f, &layout.fitMinScale);
    if (const char* cut = element->Attribute("fit_cut")) layout.fitCutMiddle = std::strcmp(cut, "middle") == 0;
    SetTextBlock(nullptr);
}

void TextControl::BuildVisuals() { SetUpBody(true); }

void TextControl::ReleaseVisuals() { FreeVisual(body); }

void TextControl::ApplyState(int newState) {
    switch (newState) {
    // At the control's own rate ("fps"; 0 plays at the default one).
    case GUI_STATE_IDLE: PlayClip(body, kClipIdle, PLAY_LOOP, fps); break;
    case GUI_STATE_OPENING: PlayClip(body, kClipOpen, PLAY_ONCE, fps); break;
    case GUI_STATE_CLOSING: PlayClip(body, kClipClose, PLAY_ONCE, fps); break;
    default: break;
    }
    state = newState;
}

void TextControl::Update() { StepOpenClose(body); }

void TextControl::Draw() {
    // Without a block the body's clip still advances, so opening and
    // closing finish. The lines are laid out in the body's frame, which
    // the control's scale (and aspect, across) has already scaled.
    const float across = scale * aspect;
    layout.fitWidth = fitWidth > 0.0f && across > 0.0f ? fitWidth / across : 0.0f;
    DrawVisualWithText(body, block, font, &layout);
}

// The words of a line: runs of blanks count as one, none at either end.
static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The lines of source wrapped at width (view units) for a font drawn
// factor view units high; null when memory runs out.
static TextBlock* WrapLines(const TextBlock* source, const Font* font, float factor, float width) {
    TextBlock* wrapped = new (std::nothrow) TextBlock();
    if (!wrapped) return nullptr;
    for (unsigned i = 0; i < source->LineCount(); ++i) {
        const char* line = source->Line(i);
        if (!line) {
            wrapped->AddLine(nullptr);
            continue;
        }
        // current: the line being built; a word that does not fit starts
        // the next one, and a word wider than the width stands alone.
        size_t length = std::strlen(line);
        char* current = static_cast<char*>(std::malloc(length + 1));
        char* joined = static_cast<char*>(std::malloc(length + 1));
        if (!current || !joined) {
            std::free(current);
            std::free(joined);
            delete wrapped;
            return nullptr;
        }
        current[0] = 0;
        const char* p = line;
        for (;;) {
            while (IsBlank(*p)) ++p;
            if (!*p) break;
            const char* start = p;
            while (*p && !IsBlank(*p)) ++p;
            size_t n = (size_t)(p - start);
            if (!current[0]) {
                std::memcpy(current, start, n);
                current[n] = 0;
                continue;
            }
            size_t used = std::strlen(current);
            std::memcpy(joined, current, used);
            joined[used] = ' ';
            std::memcpy(joined + used + 1, start, n);
            joined[used + 1 + n] = 0;
            if (TextWidth(joined, font) * factor <= width) {
                std::memcpy(current, joined, used + n + 2);
            } else {
                wrapped->AddLine(current);
                std::memcpy(current, start, n);
                current[n] = 0;
            }
        }
        // A line of blanks only stays one (empty) line.
        wrapped->AddLine(current);
        std::free(current);
        std::free(joined);
    }
    return wrapped;
}

void TextControl::SetTextBlock(TextBlock* newBlock) {
    if (wrapWidth <= 0.0f) {
        if (newBlock) ReplaceBlock(newBlock, false);
        return;
    }
    TextBlock* source = newBlock ? newBlock : block;
    if (!source) return;
    const float factor = (font ? font->size : 0.0f) * scale;
    TextBlock* wrapped = WrapLines(source, font, factor, wrapWidth);
    if (!wrapped) return;
    layout.lineScale = 1.0f;
    // A text that must keep to its place and needs more lines than it shows
    // is drawn smaller as a whole: n lines in the height of the shown ones,
    // as long as that is not below the smallest size allowed.
    const int shown = layout.linesShown;
    if (fitWidth > 0.0f && shown > 0 && (int)wrapped->LineCount() > shown && !g_renderer.DrawsOneToOne()) {
        for (int n = shown + 1;; ++n) {
            const float s = (float)shown / (float)n;
            if (s < layout.fitMinScale - 0.001f) break;
            TextBlock* smaller = WrapLines(source, font, factor * s, wrapWidth);
            if (!smaller) break;
            if ((int)smaller->LineCount() <= n) {
                delete wrapped;
                wrapped = smaller;
                layout.lineScale = s;
                break;
            }
            delete smaller;
        }
    }
    // The source may be the own block being replaced: free it only now.
    ReplaceBlock(wrapped, true);
}

void TextControl::SetText(TextControl* control, const char* format, ...) {
    va_list args;
    va_start(args, format);
    SetTextV(control, format, args);
    va_end(args);
}

void TextControl::SetTextV(TextControl* control, const char* format, va_list args) {
    if (!control) return;
    char line[kMaxFormattedText + 1];
    line[0] = 0;
    if (format) std::vsnprintf(line, sizeof(line), format, args);
    TextBlock* own = new (std::nothrow) TextBlock();
    if (!own) return;
    own->AddLine(line);
    control->ReplaceBlock(own, true);
}

// ---- "link" -------------------------------------------------------------------------

LinkControl::LinkControl()
    : block(nullptr), currentFont(nullptr), font(nullptr), selectedFont(nullptr), onActivate(nullptr) {}

LinkControl::~LinkControl() { delete onActivate; }

void LinkControl::Load(TiXmlElement* element) {
    if (!element) return;
    font = g_fontManager.GetFont(element->Attribute("font"));
    selectedFont = g_fontManager.GetFont(element->Attribute("sel_font"));
    block = LookUpText(element);
    currentFont = font;
    LoadLayout(element, layout);
    layout.linesShown = block ? (int)block->LineCount() : 0;
    ReplaceHandlers(onActivate, element, "OnActivate");
}

void LinkControl::BuildVisuals() {
    FreeVisual(body);
    body = CreateVisual("body", scale, scale, scale, true);
    currentFont = font;
    Place();
}

void LinkControl::ReleaseVisuals() { FreeVisual(body); }

void LinkControl::Place() {
    if (!body) return;
    const Vector3 p = PlacedPosition();
    body->SetPosition(p.x, p.y, p.z);
    if (!block) return;
    // The hit box is the text's extent around the position, as drawn: the
    // body's frame scales the text by the control's scale too.
    const Font* f = currentFont;
    const float size = (f ? f->size : 0.0f) * scale;
    float width = 0.0f;
    for (unsigned i = 0; i < block->LineCount(); ++i) {
        float w = block->Line(i) ? TextWidth(block->Line(i), f) * size : 0.0f;
        if (w > width) width = w;
    }
    const float height = (float)layout.linesShown * (f ? f->lineHeight : 1.0f) * layout.spacing * size;
    float box[6] = {p.x, p.y - height, p.z, p.x + width, p.y, p.z};
    if (layout.vertical == TEXT_VALIGN_CENTER) {
        box[1] = p.y - 0.5f * height;
        box[4] = p.y + 0.5f * height;
    } else if (layout.vertical == TEXT_VALIGN_BOTTOM) {
        box[1] = p.y;
        box[4] = p.y + height;
    }
    if (layout.horizontal == TEXT_ALIGN_CENTER) {
        box[0] = p.x - 0.5f * width;
        box[3] = p.x + 0.5f * width;
    } else if (layout.horizontal == TEXT_ALIGN_RIGHT) {
        box[0] = p.x - width;
        box[3] = p.x;
    }
    SetVisualHitBox(body, box);
}

bool LinkControl::MouseOver() {
    if (selectedFont) currentFont = selectedFont;
    if (GuiLeftPressed()) InvokeHandlers(onActivate, this);
    return true;
}

void LinkControl::MouseLeave() { currentFont = font; }

void LinkControl::Draw() { DrawVisualWithText(body, block, currentFont, &layout); }
