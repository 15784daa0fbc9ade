// The contestants' avatar reactions: each contestant in seat order gets one
// animation drawn by fixed thresholds, queued after a short delay.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls_simple.h"
#include "controls_text.h"
#include "game_data.h"
#include "profiles.h"
#include "round_controller.h"

// ---- Reactions ------------------------------------------------------------------------------------

namespace {

float RandomDelay() { return 0.1f * (float)(std::rand() % 10) + 0.1f; }

// A row of a reaction table: the animation while r is below the bound.
struct Choice {
    int bound;
    const char* animation;  // null: no reaction
};

template <size_t N>
const char* Pick(const Choice (&table)[N]) {
    int r = std::rand() % 10000;
    for (const Choice& c : table)
        if (r < c.bound) return c.animation;
    return nullptr;
}

}  // namespace

// Each contestant in seat order: the current one from `mine`, the others from
// `theirs`, every reaction after a random delay.
template <size_t A, size_t B>
static void ReactAll(RoundController& rc, const Choice (&mine)[A], const Choice (&theirs)[B], float currentDelay = -1.0f) {
    for (Contestant& c : rc.contestants) {
        if (!c.IsPresent()) continue;
        bool isCurrent = &c == rc.current;
        const char* animation = isCurrent ? Pick(mine) : Pick(theirs);
        float delay = isCurrent && currentDelay >= 0.0f ? currentDelay : RandomDelay();
        if (animation && c.avatar) rc.Ops().QueueAvatarAnimation(c.avatar, animation, delay, true);
    }
}

static const Choice kBystanders[] = {
    {2000, "board2wheel"}, {4700, "idle_random_handonhand"}, {7400, "idle_random_movehand"}, {10000, nullptr}};
static const Choice kCheeringBystanders[] = {{5000, "clap"},
                                             {6500, "board2wheel"},
                                             {7700, "idle_random_handonhand"},
                                             {8900, "idle_random_movehand"},
                                             {10000, nullptr}};
static const Choice kClapping[] = {{10000, "clap"}};

void RoundController::ReactSpin() {
    if (roundType == ROUND_BONUS) {
        if (current && current->avatar) ops->QueueAvatarAnimation(current->avatar, "spin_bonus", 0.0f, true);
        return;
    }
    const char* swing = spinPower > 864.0f ? "spin_fast" : spinPower > 648.0f ? "spin" : "spin_slow";
    const Choice mine[] = {{10000, swing}};
    ReactAll(*this, mine, kClapping, 0.1f);
}

void RoundController::ReactBadWedge() {
    static const Choice mine[] = {{8500, "annoyed"}, {9000, "handslap"}, {9500, "headslap"}, {10000, "sob"}};
    ReactAll(*this, mine, kBystanders, 0.0f);
}

void RoundController::ReactWedgeLanded() {
    static const Choice mine[] = {{10000, "board2wheel"}};
    ReactAll(*this, mine, kBystanders, 0.0f);
}

void RoundController::ReactCorrectLetter() {
    static const Choice mine[] = {{3000, "clap"}, {8500, "brevanto"}, {9300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(*this, mine, kCheeringBystanders);
}

void RoundController::ReactMysteryWin() {
    static const Choice mine[] = {{3000, "brevanto"}, {4500, "clap"}, {7300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(*this, mine, kCheeringBystanders);
}

void RoundController::ReactWrongLetter() {
    static const Choice mine[] = {{6000, "annoyed"}, {6500, "handslap"}, {7000, "headslap"}, {7500, "sob"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "board2wheel"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, mine, theirs);
}

void RoundController::ReactRoundWon() {
    static const Choice mine[] = {{4500, "brevanto"}, {6300, "raiseroof"}, {8000, "butterchurn"}, {10000, "wave"}};
    ReactAll(*this, mine, kClapping);
}

void RoundController::ReactWrongSolve() {
    static const Choice mine[] = {{2500, "annoyed"}, {4100, "handslap"}, {5800, "sob"}, {7500, "headslap"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {{8000, "clap"}, {10000, "board2wheel"}};
    ReactAll(*this, mine, theirs);
}

void RoundController::ReactIdleFidget() {
    if (spinRequested || state != STATE_START_OF_TURN) return;
    static const Choice fidget[] = {
        {3000, "idle_random_handonhand"}, {6000, "idle_random_movehand"}, {7000, "board2wheel"}, {10000, nullptr}};
    for (Contestant& c : contestants) {
        if (!c.IsPresent()) continue;
        if (std::rand() % 10000 >= 1000) continue;
        const char* animation = Pick(fidget);
        if (animation && c.avatar) ops->QueueAvatarAnimation(c.avatar, animation, RandomDelay(), false);
    }
}

void RoundController::ReactShuffle() {
    static const Choice shuffle[] = {
        {2500, "board2wheel"}, {5000, "idle_random_handonhand"}, {7500, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, shuffle, shuffle);
}

void RoundController::ReactRoundSetup() {
    if (gameMode == MODE_QUICK_PLAY || gameMode == MODE_PLAY_ALONE || gameMode == MODE_PUZZLE_OF_THE_DAY) {
        if (!current || !current->avatar) return;
        if (roundType == ROUND_ONE)
            ops->PlayAvatarAnimation(current->avatar, "clap", false);
        else
            ops->QueueAvatarAnimation(current->avatar, "clap", 0.0f, true);
    } else if (IsThreePlayerMode()) {
        if (roundType != ROUND_TOSSUP_1000) {
            ReactAll(*this, kClapping, kClapping);
            return;
        }
        // A staggered clap: three different slots.
        static const float kSlots[5] = {0.2f, 0.5f, 0.8f, 1.2f, 1.5f};
        int slot[3];
        slot[0] = std::rand() % 50 / 10;
        do slot[1] = std::rand() % 50 / 10;
        while (slot[1] == slot[0]);
        do slot[2] = std::rand() % 50 / 10;
        while (slot[2] == slot[0] || slot[2] == slot[1]);
        for (int i = 0; i < kSeats; ++i) {
            Contestant& c = contestants[i];
            if (!c.IsPresent() || !c.avatar) continue;
            ops->PlayAvatarAnimation(c.avatar, "avatar_idle_02", true);
            ops->QueueAvatarAnimation(c.avatar, "clap", kSlots[slot[i]], true);
        }
    }
}

void RoundController::ReactBadOutcome() {
    std::rand() % 10000 >= 9000 ? PlayLargeDisappointment() : PlaySmallDisappointment();
    static const Choice mine[] = {{5000, "annoyed"}, {6000, "handslap"}, {7000, "headslap"}, {8000, "sob"},
                                  {8700, "idle_random_handonhand"}, {9400, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "clap"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(*this, mine, theirs);
}
