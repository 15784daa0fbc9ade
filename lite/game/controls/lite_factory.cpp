#include "lite_factory.h"

#include <cstring>
#include <new>

#include "control_ai.h"
#include "control_animation.h"
#include "control_panel.h"
#include "control_statusbar.h"
#include "control_wheel.h"
#include "controls_button.h"
#include "controls_game.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "controls_value.h"
#include "lite_kinds.h"
#include "lite_spin_control.h"
#include "sprite_avatar.h"
#include "wedge_control.h"

namespace {

template <class T>
GuiControl* Make() {
    return new (std::nothrow) T();
}

struct LiteKind {
    const char* name;
    GuiControl* (*make)();
};

// The kinds in the order they are compared: the game's list with "wedge"
// after "radiobut". The 2D screen's own variants stand where it needs them.
const LiteKind kLiteKinds[] = {
    {"static", Make<StaticControl>},
    {"button", Make<ButtonControl>},
    {"edit", Make<EditControl>},
    {"text", Make<TextControl>},
    {"slider", Make<SliderControl>},
    {"scroll", Make<ScrollControl>},
    {"check", Make<CheckControl>},
    {"link", Make<LinkControl>},
    {"key", Make<KeyControl>},
    {"fps", Make<FpsControl>},
    {"timer", Make<TimerControl>},
    {"list", Make<ListControl>},
    {"group", Make<GroupControl>},
    {"clone", Make<LiteCloneControl>},
    {"radiobut", Make<RadioButtonControl>},
    {"wedge", Make<WedgeControl>},
    {"sound_trigger", Make<SoundTriggerControl>},
    {"power_meter", Make<PowerMeterControl>},
    {"gui_letter", Make<GuiLetterControl>},
    {"picture", Make<LitePictureControl>},
    {"animation", Make<SpriteAvatarControl>},
    {"trophy", Make<TrophyControl>},
    {"multielems", Make<MultiElemsControl>},
    {"newspin", Make<LiteSpinControl>},
    {"statusbar", Make<StatusBarControl>},
    {"ai", Make<AiControl>},
    {"newpanel", Make<NewPanelControl>},
    {"fade", Make<LiteFadeControl>},
    {"bkwheel", Make<BkWheelControl>},
    {"msg", Make<MsgControl>},
};

}  // namespace

const unsigned kLiteKindCount = sizeof(kLiteKinds) / sizeof(kLiteKinds[0]);

const char* LiteKindName(unsigned index) { return index < kLiteKindCount ? kLiteKinds[index].name : nullptr; }

GuiControl* CreateLiteGuiControl(const char* elementName) {
    if (!elementName) return nullptr;
    for (const LiteKind& k : kLiteKinds)
        if (std::strcmp(elementName, k.name) == 0) return k.make();
    return nullptr;
}
