#include "lite_game_data.h"

#include "avatar_sprites.h"
#include "font_manager.h"
#include "game_data.h"

static const TextBlock* TrophyText(const char* name) { return g_fontManager.GetText("%s", name); }

bool StartLiteGameData() {
    g_gameData.Start();
    g_gameData.trophies.Load("TROPHY", TrophyText);
    BuildAvatarSprites();
    return true;
}

void ShutdownLiteGameData() {
    g_gameData.Shutdown();
    FreeAvatarSprites();
}
