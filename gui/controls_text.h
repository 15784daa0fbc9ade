// The kinds that show text: "text" (a block of lines in the body's frame,
// optionally word-wrapped) and "link" (clickable text that changes font
// under the mouse).
#pragma once
#include "font_manager.h"
#include "gui_control.h"

class GuiHandlerList;
class ModelInstance;

// The most lines a control lays out ("lines"); more is taken for a typing
// error in the document.
const int kMaxShownLines = 256;

// "text"
//   font, text (a key of the text table), spacing, horizontal, vertical,
//   lines (0: all), line_len (wrap width in view units; 0: no wrapping),
//   fit (the width of its place in view units: a longer line is drawn
//   smaller, then cut short with "..."; a wrapped text that needs more
//   lines than it shows is drawn smaller as a whole, lines and steps, to
//   hold them in the same height; 0: none), fit_min (how small, as a
//   part of its size, a line may be drawn to fit; 0.6), fit_cut ("middle":
//   a line cut short keeps its end too, as a name followed by an amount)
class TextControl : public GuiControl {
public:
    TextControl();
    ~TextControl() override;
    void Load(TiXmlElement* element) override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    void Update() override;
    void Draw() override;

    // Shows block (a text of the table, shared) or, with null, the block it
    // has. With a wrap width the lines are wrapped into a block of the
    // control's own; without one the given block is shown as it is.
    void SetTextBlock(TextBlock* newBlock);
    // printf-style into one line of at most 255 characters, shown as the
    // control's own block (not wrapped). Nothing for a null control.
    static void SetText(TextControl* control, const char* format, ...);
    static void SetTextV(TextControl* control, const char* format, va_list args);
    bool OwnsBlock() const { return ownBlock; }

    TextBlock* block;  // a text of the table or the control's own
    TextLayout layout;
    float wrapWidth;   // "line_len"
    float fitWidth;    // "fit", view units
    Font* font;        // "font"

private:
    // Shows b, freeing the control's previous own block (never a table one).
    void ReplaceBlock(TextBlock* b, bool own);
    bool ownBlock;

protected:
    void ApplyState(int newState) override;
};

// "link"
//   font, sel_font (while the mouse is over it), text, spacing, horizontal,
//   vertical, OnActivate
class LinkControl : public GuiControl {
public:
    LinkControl();
    ~LinkControl() override;
    void Load(TiXmlElement* element) override;
    void Place() override;
    void BuildVisuals() override;
    void ReleaseVisuals() override;
    bool MouseOver() override;
    void MouseLeave() override;
    void Draw() override;

    TextBlock* block;
    Font* currentFont;
    Font* font;
    Font* selectedFont;
    TextLayout layout;
    GuiHandlerList* onActivate;
};

// Gives the visual the hit-test box box (min x, y, z, max x, y, z in view
// units), in whatever units its hit test compares: view units for a model
// with a box of its own, the visual's local units otherwise.
void SetVisualHitBox(ModelInstance* visual, const float box[6]);
// The visual's hit-test box in view units (the inverse of the above).
void GetVisualHitBox(const ModelInstance* visual, float box[6]);

// Reads a decimal attribute into out when it is present and a finite number
// in [low, high]; false (out unchanged) otherwise.
bool ReadBoundedFloat(TiXmlElement* element, const char* attribute, float low, float high, float* out);
// The same for a whole number.
bool ReadBoundedInt(TiXmlElement* element, const char* attribute, int low, int high, int* out);
