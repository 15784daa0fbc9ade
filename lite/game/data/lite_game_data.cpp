#include "lite_game_data.h"

#include "avatar_sprites.h"
#include "font_manager.h"
#include "game_data.h"
#include "lite_round.h"

static const TextBlock* TrophyText(const char* name) { return g_fontManager.GetText("%s", name); }

bool StartLiteGameData() {
    g_gameData.Start();
    g_gameData.trophies.Load("TROPHY", TrophyText);
    BuildAvatarSprites();
    InstallLiteRound();
    return true;
}

void ShutdownLiteGameData() {
    RemoveLiteRound();
    g_gameData.Shutdown();
    FreeAvatarSprites();
}
