// The 3D characters' reactions: each contestant in seat order gets one
// animation drawn by fixed thresholds, queued on its avatar after a short
// delay through the screen operations.
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

namespace {

class CharacterReactions : public AvatarReactions {
public:
    void AssignAvatars(RoundController& rc) override;
    void RoundStart(RoundController& rc) override;
    void DesyncStart(RoundController& rc) override;
    void Spin(RoundController& rc) override;
    void BadWedge(RoundController& rc) override;
    void WedgeLanded(RoundController& rc) override;
    void BadOutcome(RoundController& rc) override;
    void LetterMissing(RoundController& rc, bool chanceLost) override;
    void LetterFound(RoundController& rc) override;
    void GoodLetter(RoundController& rc) override { MysteryWin(rc); }
    // The characters show the letter when it is called, not when it has lit.
    void LetterResult(RoundController&) override {}
    void MysteryWin(RoundController& rc) override;
    void TossupWon(RoundController& rc) override { Shuffle(rc); }
    void RoundWon(RoundController& rc) override;
    void WrongSolve(RoundController& rc) override;
    void TossupTurn(RoundController& rc) override { Shuffle(rc); }
    // A contestant who buzzes in shows it by the solve, not by a gesture.
    void SolveAttempt(RoundController&) override {}
    void Idle(RoundController& rc) override;

private:
    static void Shuffle(RoundController& rc);
};

}  // namespace

AvatarReactions& DefaultReactions() {
    static CharacterReactions reactions;
    return reactions;
}

// The seats' own avatars; the bonus round's one contestant on the first.
void CharacterReactions::AssignAvatars(RoundController& rc) {
    GameControls& controls = rc.controls;
    if (rc.roundType != ROUND_BONUS) {
        for (int i = 0; i < RoundController::kSeats; ++i)
            if (rc.contestants[i].IsPresent()) rc.contestants[i].avatar = controls.avatars[i];
        return;
    }
    for (Contestant& c : rc.contestants) c.avatar = nullptr;
    for (int i = 1; i < RoundController::kSeats; ++i) rc.Ops().BindAvatar(controls.avatars[i], nullptr);
    if (rc.current) {
        rc.current->avatar = controls.avatars[0];
        rc.Ops().BindAvatar(controls.avatars[0], rc.current->profile);
    }
}

void CharacterReactions::Spin(RoundController& rc) {
    if (rc.roundType == ROUND_BONUS) {
        if (rc.current && rc.current->avatar) rc.Ops().QueueAvatarAnimation(rc.current->avatar, "spin_bonus", 0.0f, true);
        return;
    }
    const char* swing = rc.spinPower > 864.0f ? "spin_fast" : rc.spinPower > 648.0f ? "spin" : "spin_slow";
    const Choice mine[] = {{10000, swing}};
    ReactAll(rc, mine, kClapping, 0.1f);
}

void CharacterReactions::BadWedge(RoundController& rc) {
    static const Choice mine[] = {{8500, "annoyed"}, {9000, "handslap"}, {9500, "headslap"}, {10000, "sob"}};
    ReactAll(rc, mine, kBystanders, 0.0f);
}

void CharacterReactions::WedgeLanded(RoundController& rc) {
    static const Choice mine[] = {{10000, "board2wheel"}};
    ReactAll(rc, mine, kBystanders, 0.0f);
}

void CharacterReactions::LetterFound(RoundController& rc) {
    static const Choice mine[] = {{3000, "clap"}, {8500, "brevanto"}, {9300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(rc, mine, kCheeringBystanders);
}

void CharacterReactions::MysteryWin(RoundController& rc) {
    static const Choice mine[] = {{3000, "brevanto"}, {4500, "clap"}, {7300, "raiseroof"}, {10000, "butterchurn"}};
    ReactAll(rc, mine, kCheeringBystanders);
}

// A lost chance is a bad outcome; a plain wrong letter draws its own table.
void CharacterReactions::LetterMissing(RoundController& rc, bool chanceLost) {
    if (chanceLost) {
        BadOutcome(rc);
        return;
    }
    static const Choice mine[] = {{6000, "annoyed"}, {6500, "handslap"}, {7000, "headslap"}, {7500, "sob"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "board2wheel"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(rc, mine, theirs);
}

void CharacterReactions::RoundWon(RoundController& rc) {
    static const Choice mine[] = {{4500, "brevanto"}, {6300, "raiseroof"}, {8000, "butterchurn"}, {10000, "wave"}};
    ReactAll(rc, mine, kClapping);
}

void CharacterReactions::WrongSolve(RoundController& rc) {
    static const Choice mine[] = {{2500, "annoyed"}, {4100, "handslap"}, {5800, "sob"}, {7500, "headslap"},
                                  {8300, "idle_random_handonhand"}, {9200, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {{8000, "clap"}, {10000, "board2wheel"}};
    ReactAll(rc, mine, theirs);
}

// A fidget now and then, only at the start of a turn before the wheel is spun.
void CharacterReactions::Idle(RoundController& rc) {
    if (rc.spinRequested || rc.state != STATE_START_OF_TURN) return;
    static const Choice fidget[] = {
        {3000, "idle_random_handonhand"}, {6000, "idle_random_movehand"}, {7000, "board2wheel"}, {10000, nullptr}};
    for (Contestant& c : rc.contestants) {
        if (!c.IsPresent()) continue;
        if (std::rand() % 10000 >= 1000) continue;
        const char* animation = Pick(fidget);
        if (animation && c.avatar) rc.Ops().QueueAvatarAnimation(c.avatar, animation, RandomDelay(), false);
    }
}

void CharacterReactions::Shuffle(RoundController& rc) {
    static const Choice shuffle[] = {
        {2500, "board2wheel"}, {5000, "idle_random_handonhand"}, {7500, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(rc, shuffle, shuffle);
}

void CharacterReactions::RoundStart(RoundController& rc) {
    if (rc.gameMode == MODE_QUICK_PLAY || rc.gameMode == MODE_PLAY_ALONE || rc.gameMode == MODE_PUZZLE_OF_THE_DAY) {
        if (!rc.current || !rc.current->avatar) return;
        if (rc.roundType == ROUND_ONE)
            rc.Ops().PlayAvatarAnimation(rc.current->avatar, "clap", false);
        else
            rc.Ops().QueueAvatarAnimation(rc.current->avatar, "clap", 0.0f, true);
    } else if (rc.IsThreePlayerMode()) {
        if (rc.roundType == ROUND_TOSSUP_1000)
            DesyncStart(rc);
        else
            ReactAll(rc, kClapping, kClapping);
    }
}

// A staggered clap: three different slots.
void CharacterReactions::DesyncStart(RoundController& rc) {
    static const float kSlots[5] = {0.2f, 0.5f, 0.8f, 1.2f, 1.5f};
    int slot[3];
    slot[0] = std::rand() % 50 / 10;
    do slot[1] = std::rand() % 50 / 10;
    while (slot[1] == slot[0]);
    do slot[2] = std::rand() % 50 / 10;
    while (slot[2] == slot[0] || slot[2] == slot[1]);
    for (int i = 0; i < RoundController::kSeats; ++i) {
        Contestant& c = rc.contestants[i];
        if (!c.IsPresent() || !c.avatar) continue;
        rc.Ops().PlayAvatarAnimation(c.avatar, "avatar_idle_02", true);
        rc.Ops().QueueAvatarAnimation(c.avatar, "clap", kSlots[slot[i]], true);
    }
}

void CharacterReactions::BadOutcome(RoundController& rc) {
    std::rand() % 10000 >= 9000 ? PlayLargeDisappointment() : PlaySmallDisappointment();
    static const Choice mine[] = {{5000, "annoyed"}, {6000, "handslap"}, {7000, "headslap"}, {8000, "sob"},
                                  {8700, "idle_random_handonhand"}, {9400, "idle_random_movehand"}, {10000, nullptr}};
    static const Choice theirs[] = {
        {1500, "clap"}, {4300, "idle_random_handonhand"}, {7200, "idle_random_movehand"}, {10000, nullptr}};
    ReactAll(rc, mine, theirs);
}
