// The full edition's own document, started as its entry starts it, with
// its Direct3D device: the races that stalled or spoiled a match, played
// through the real document.
#include <cstring>

#include "control_binding.h"
#include "control_factory.h"
#include "debug_callbacks.h"
#include "device_test_util.h"
#include "edition_test_util.h"
#include "game_callbacks.h"
#include "gui_bindings.h"
#include "menu_callbacks.h"

namespace {

// ---- The full edition's own document ---------------------------------------------

void RegisterFullEditionCallbacks(CallbackRegistry& registry) {
    RegisterDebugCallbacks(registry);
    RegisterMenuCallbacks(registry);
    RegisterGameScreenCallbacks(registry);
}

const EditionUnderTest kFullEdition = {"Quorvane.xml",   &kFullGuiPositions, RegisterFullEditionCallbacks,
                                       CreateGuiControl, BindGameControls,   nullptr, nullptr};

// Its pictures are the Direct3D device's: a renderer on a window of its own.
class FullDocument : public EditionDocument {
protected:
    FullDocument() : EditionDocument(kFullEdition) {}
    void SetUp() override {
        device.SetUp();
        if (HasFatalFailure()) return;
        EditionDocument::SetUp();
        if (HasFatalFailure()) return;
        g_round.SetOps(&ops);
        std::srand(5);
    }
    void TearDown() override {
        EditionDocument::TearDown();
        device.TearDown();
    }
    DeviceTestWindow device{"QvFullDocument", 800, 600};
    Silent<GameScreenOps> ops;
};

// The races that stalled a match for good. A toss-up solved while the seat
// before had just answered wrong and its turn was still ending:
TEST_F(FullDocument, ATossupWonWhileATurnEndsStaysWonAndTheMatchMovesOn) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectATossupWonWhileATurnEndsMovesOn(Frames());
}

// And its twin: a buzz while a turn ends, cut short by that turn's end.
TEST_F(FullDocument, ABuzzWhileATurnEndsKeepsItsAttempt) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectABuzzWhileATurnEndsKeepsItsAttempt(Frames());
}

// Pause, then Main Menu, at each moment of a spin.
TEST_F(FullDocument, LeavingDuringASpinLeavesNothingBehind) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectLeavingDuringASpinLeavesNothingBehind(Frames());
}

// What names a seat or lights it follows the turn, from a match's first
// frame; and a match's results list what it won.
TEST_F(FullDocument, TheTurnsNamesAndLightsFollowTheTurn) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectTheTurnsNamesAndLightsFollowTheTurn(Frames());
}

TEST_F(FullDocument, ANewMatchNamesNobodyOfTheLastOne) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectANewMatchNamesNobodyOfTheLastOne(Frames());
}

TEST_F(FullDocument, TheResultsListWhatTheMatchWon) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectTheResultsListWhatTheMatchWon(Frames());
}

// The developer gate of every debug command the full edition registers, in a
// quick-play match started from the menu: a player's game never reaches one,
// nor does a developer's while a name or a solve is typed. Only the timers'
// view does nothing even for a developer.
TEST_F(FullDocument, EveryDebugCommandActsOnlyForADeveloperWhoIsNotTyping) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    CallbackRegistry debug;
    RegisterDebugCallbacks(debug);
    ASSERT_EQ(29u, debug.RegisteredCount());
    InAnnsFirstTurn(Frames(), [&] {
        ExpectEveryDebugCommandBehindTheGate(debug.RegisteredCount(), {"HackShowTimers"});
    });
}

// In a toss-up the turn panel names only the seat that solves.
TEST_F(FullDocument, ATossupNamesOnlyTheSeatSolving) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectATossupNamesOnlyTheSeatSolving(Frames());
}

}  // namespace
