#include "lite_round.h"

#include "lite_screen_ops.h"
#include "lite_screen_sets.h"
#include "round_controller.h"
#include "sprite_reactions.h"

void InstallLiteRound() {
    g_round.SetReactions(&LiteReactions());
    g_round.SetScreenSets(&LiteRoundScreenSets());
    g_round.SetOps(&LiteGameScreenOps());
}

void RemoveLiteRound() {
    g_round.SetReactions(nullptr);
    g_round.SetScreenSets(nullptr);
    g_round.SetOps(nullptr);
}
