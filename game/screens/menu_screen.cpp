#include "menu_screen.h"

#include <cstdarg>

#include "board.h"
#include "controls_button.h"
#include "controls_text.h"
#include "controls_value.h"
#include "gui_manager.h"
#include "round_controller.h"

MenuState g_menu;

static GuiControl* ControlIn(GuiGroup* container, int control) {
    if (!container || control < 0 || control >= container->controlCount) return nullptr;
    return container->controls[control];
}

GuiControl* MenuWindowControl(int window, int control) { return ControlIn(g_guiManager.WindowAt(window), control); }

GuiControl* MenuGroupControl(int group, int control) { return ControlIn(g_guiManager.GroupAt(group), control); }

GuiControl* ControlOf(void* container, int window, int control) {
    // An "OnOpen" sender is the window itself: use it only when it is one of
    // the document's windows, so a control sender never passes for one.
    for (int i = 0; container && i < GuiManager::kMaxWindows; ++i) {
        GuiWindow* w = g_guiManager.WindowAt(i);
        if (!w) break;
        if (w == container) return ControlIn(w, control);
    }
    return MenuWindowControl(window, control);
}

void ShowControlIf(GuiControl* c, bool shown) {
    if (shown) ShowControl(c);
    else HideControl(c);
}

bool IsControlShown(const GuiControl* c) { return c && !(c->stateFlags & GUI_FLAG_HIDDEN); }

void SetControlEnabled(GuiControl* c, bool enabled) {
    if (!c) return;
    if (ButtonControl* b = dynamic_cast<ButtonControl*>(c)) {
        b->SetEnabled(enabled);
        return;
    }
    if (enabled) c->ClearFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    else c->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
}

void SetTextOf(GuiControl* c, const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (TextControl* t = dynamic_cast<TextControl*>(c)) TextControl::SetTextV(t, format, args);
    else if (EditControl* e = dynamic_cast<EditControl*>(c)) EditControl::SetTextV(e, format, args);
    va_end(args);
}

void SetSliderOf(GuiControl* c, float value) {
    if (SliderControl* s = dynamic_cast<SliderControl*>(c)) s->SetValue(value);
}

float SliderOf(GuiControl* c) {
    SliderControl* s = dynamic_cast<SliderControl*>(c);
    return s ? s->value : 0.0f;
}

void SetCheckOf(GuiControl* c, bool on) {
    if (CheckControl* k = dynamic_cast<CheckControl*>(c)) k->SetChecked(on);
}

bool CheckOf(GuiControl* c) {
    CheckControl* k = dynamic_cast<CheckControl*>(c);
    return k && k->checked;
}

int RadioGroupSelected(GuiControl* first) {
    RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(first);
    return r ? r->GetSelected() : -1;
}

void RadioGroupSelect(GuiControl* first, int entry) {
    RadioButtonControl* r = dynamic_cast<RadioButtonControl*>(first);
    if (!r || entry < 0) return;
    if (entry == 0) {
        r->Select(true);
        return;
    }
    RadioButtonControl** member = r->members.At((unsigned)(entry - 1));
    if (member && *member) (*member)->Select(true);
}

void BindMenuAvatar(GuiControl* avatar, PlayerProfile* profile, int animation) {
    if (!avatar) return;
    GameScreenOps& ops = g_round.Ops();
    ops.BindAvatar(avatar, profile);
    if (profile && animation >= 0 && animation < kAvatarAnimationCount)
        ops.PlayAvatarAnimation(avatar, kAvatarAnimations[animation], true);
}
