#include "lite_variants.h"

#include <cstring>

#include "debug_callbacks.h"
#include "lite_avatar_callbacks.h"
#include "lite_menu_callbacks.h"
#include "lite_wheel_callbacks.h"

namespace {

// The 2D avatars have no animation list to step through.
bool HackPlayAnim(void*, const char*) { return true; }

struct Variant {
    const char* name;
    GuiCallback handler;
};

const Variant kVariants[] = {
    // The Lite's own debug commands, behind the same gate as the game's.
    {"HackPlayAnim", DeveloperCommand<HackPlayAnim>},
    {"HackStopZoomWheel", DeveloperCommand<LiteCallbacks::HackStopZoomWheel>},
    {"HackRotateWheel", DeveloperCommand<LiteCallbacks::HackRotateWheel>},
    {"Spin", LiteCallbacks::Spin},
    {"Round_VerifTimer", LiteCallbacks::Round_VerifTimer},
    {"EndRotateZoomWheel", LiteCallbacks::EndRotateZoomWheel},
    {"ExitZoomWheel", LiteCallbacks::ExitZoomWheel},
    {"OnEndTimerDesyncAnim1", LiteAvatarCallbacks::OnEndTimerDesyncAnim1},
    {"OnEndTimerDesyncAnim2", LiteAvatarCallbacks::OnEndTimerDesyncAnim2},
    {"OnEndTimerDesyncAnim3", LiteAvatarCallbacks::OnEndTimerDesyncAnim3},
    {"OnTimerPlayIdleAnims", LiteAvatarCallbacks::OnTimerPlayIdleAnims},
    {"OnPlayNextAnim1", LiteAvatarCallbacks::OnPlayNextAnim1},
    {"OnPlayNextAnim2", LiteAvatarCallbacks::OnPlayNextAnim2},
    {"OnPlayNextAnim3", LiteAvatarCallbacks::OnPlayNextAnim3},
    {"OnEndAnim1", LiteAvatarCallbacks::OnEndAnim1},
    {"OnEndAnim2", LiteAvatarCallbacks::OnEndAnim2},
    {"OnEndAnim3", LiteAvatarCallbacks::OnEndAnim3},
    {"OnTimerEndWaitForTheme", LiteAvatarCallbacks::OnTimerEndWaitForTheme},
    {"FinishPlayer", LiteFinishPlayer},
    {"InitOptions", LiteInitOptions},
    {"ToggleFullscreenWindowed", LiteToggleFullscreenWindowed},
    {"ToggleHighQuality", LiteToggleHighQuality},
    {"ToggleVSync", LiteToggleVSync},
    {"ModifyRefreshRate", LiteModifyRefreshRate},
    {"ApplyVideo", LiteApplyVideo},
    {"ChangeGender", LiteChangeGender},
    {"Randomize", LiteRandomize},
};

}  // namespace

GuiCallback LiteCallbackVariant(const char* name) {
    if (!name) return nullptr;
    for (const Variant& v : kVariants)
        if (std::strcmp(v.name, name) == 0) return v.handler;
    return nullptr;
}
