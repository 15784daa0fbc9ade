// The references of the game code to the loaded document, and the match
// screen's controls handed to the round controller by their positions.
#include "control_binding.h"

#include "board.h"
#include "gui_bindings.h"
#include "gui_manager.h"  // before the status bar, which keeps its PostMessage
#include "control_statusbar.h"
#include "controls_simple.h"
#include "controls_text.h"
#include <initializer_list>
#include "gui_group.h"
#include "round_controller.h"

BoundGui g_bound;

namespace {
const GuiPositions* s_positions = &kFullGuiPositions;
}

const GuiPositions& Pos() { return *s_positions; }
void UsePositions(const GuiPositions& table) { s_positions = &table; }
const GuiPositions& FullEditionPositions() { return kFullGuiPositions; }

void BoundGui::Clear() {
    screens.clear();
    windows.clear();
    groups.clear();
    screenControls.clear();
    windowControls.clear();
    groupControls.clear();
}

// The first n controls of a container; null where it holds fewer.
static void TakeControls(const GuiGroup* container, int n, std::vector<GuiControl*>& out) {
    out.assign(n > 0 ? n : 0, nullptr);
    if (!container) return;
    for (int i = 0; i < n && i < container->controlCount; ++i) out[i] = container->controls[i];
}

namespace {

// The match screen's controls by position.
struct MatchScreen {
    const BoundGui& b;
    const GuiPositions& at;
    GuiControl* At(int i) const { return b.ScreenControl(at.screenRound, i); }
    TextControl* Text(int i) const { return b.ScreenAs<TextControl>(at.screenRound, i); }
    TimerControl* Timer(int i) const { return b.ScreenAs<TimerControl>(at.screenRound, i); }
    GuiControl* Piece(int i) const { return b.GroupControl(at.groupRoundPieces, i); }
    GuiControl* Card(int i) const { return b.GroupControl(at.groupSeatCards, i); }
};

// One family of the round pieces: three shown, six hidden, then the two pop-ups.
void FillSet(const MatchScreen& s, int first, RoundControlSet& set) {
    for (int i = 0; i < 3; ++i) set.show[i] = s.Piece(first + i);
    for (int i = 0; i < 6; ++i) set.hide[i] = s.Piece(first + 3 + i);
    set.freeSpinPopup = s.Piece(first + 9);
    set.prizePopup = s.Piece(first + 10);
}

void FillGameControls(const BoundGui& b, const GuiPositions& at, GameControls& c) {
    const MatchScreen s{b, at};
    c = GameControls();

    for (int i = 0; i < kBoardTiles; ++i) c.tiles[i] = dynamic_cast<BoardTile*>(s.At(at.matchFirstTile + i));
    c.boardFrame = s.At(at.matchBoardLights);
    c.boardView[0] = s.At(at.matchBoard);
    c.boardView[1] = s.At(at.matchBoardLights);
    c.boardView[2] = s.At(at.matchBoardCaption);
    c.category = s.Text(at.matchCategory);
    for (int i = 0; i < 3; ++i) c.solveEntry[i] = s.At(at.matchSolveEntry1 + i);
    c.solveText = s.Text(at.matchSolveText);
    c.winnerLine = s.Text(at.matchWinnerLine);

    c.statusBar = s.At(at.matchStatusBar);
    c.message = s.Text(at.matchMessage);
    c.messageTimer = s.Timer(at.matchMessageTimer);
    c.ai = s.At(at.matchAi);

    c.wheel = s.At(at.matchWheel);
    c.zoomWheel = s.At(at.matchZoomWheel);
    c.bonusWheel = s.At(at.matchBonusWheel);
    c.pointer = s.At(at.matchPointer);
    c.powerMeter = s.At(at.matchPowerMeter);
    c.bonusPowerMeter = s.At(at.matchBonusPowerMeter);
    c.wheelDecor = b.Group(at.groupWheelDecor);
    for (int i = 0; i < 3; ++i) c.wheelDecorParts[i] = b.GroupControl(at.groupWheelDecor, i);
    c.zoomView = b.Group(at.groupZoomView);
    for (int i = 0; i < 3; ++i) c.podiumPictures[i] = b.GroupControl(at.groupZoomPictures, at.zoomPicture1 + i);

    for (int i = 0; i < kLetterCount; ++i) c.letterKeys[i] = s.At(at.matchLetterA + i);
    c.spinButton = s.At(at.matchSpinButton);
    c.buyVowelButton = s.At(at.matchBuyVowelButton);
    c.solveButton = s.At(at.matchSolveButton);
    c.pauseButton = s.At(at.matchPauseButton);

    c.spinCheckTimer = s.Timer(at.matchSpinDelayTimer);
    c.turnTimer = s.Timer(at.matchTurnTimer);
    c.thinkingTimer = s.Timer(at.matchThinkingTimer);
    c.solveTimer = s.Timer(at.matchSolveTimer);
    c.zoomHoldTimer = s.Timer(at.matchZoomHoldTimer);
    c.tossupRevealTimer = s.Timer(at.matchTossupRevealTimer);
    c.endOfTurnTimer = s.Timer(at.matchEndOfTurnTimer);
    c.roundEndTimer = s.Timer(at.matchRoundEndTimer);
    c.bankruptTimer = s.Timer(at.matchBankruptTimer);
    c.mysteryTimer = s.Timer(at.matchMysteryTimer);
    c.idleTimer = s.Timer(at.matchIdleTimer);
    c.freeSpinPromptTimer = s.Timer(at.matchFreeSpinTimer);
    c.failedSolveTimer = s.Timer(at.matchFailedSolveTimer);
    c.introTimer = s.Timer(at.matchThemeTimer);

    for (int i = 0; i < 3; ++i) {
        c.podiumScores[i] = s.Text(at.matchPodiumScore1 + i);
        c.podiumNames[i] = s.Text(at.matchPodiumName1 + i);
        c.bankruptOverlays[i] = s.At(at.matchBankruptOverlay1 + i);
        c.loseTurnOverlays[i] = s.At(at.matchLoseTurnOverlay1 + i);
        c.podiumHighlights[i][0] = s.At(at.matchPodiumLight1 + i);
        c.podiumHighlights[i][1] = s.At(at.matchPodiumGlow1 + i);
        c.seatMarkers[i] = s.At(at.matchSeatMarker1 + i);
        c.avatars[i] = s.At(at.matchAvatar1 + i);
        c.scoreIndicators[i] = s.At(at.matchScoreIndicator1 + i);
        c.jackpotDisplays[i] = s.Text(at.matchJackpotDisplay1 + i);

        c.tenThousandMarkers[i] = s.Card(at.cardPrize10k1 + i);
        c.tenThousandDown[i] = s.Card(at.cardPrize10kDown1 + i);
        c.mysteryCards[i] = s.Card(at.cardMysteryCard1 + i);
        c.mysteryMarkers[i] = s.Card(at.cardMystery10k1 + i);
        c.mysteryWinDown[i] = s.Card(at.cardMystery10kDown1 + i);
        c.mysteryBankruptCards[i] = s.Card(at.cardMysteryBankrupt1 + i);
        c.freeSpinMarkers[i] = s.Card(at.cardFreeSpinToken1 + i);
        c.tenThousandDownCues[i] = s.Card(at.cardPrize10kDownCue1 + i);
        c.mysteryWinDownCues[i] = s.Card(at.cardMystery10kDownCue1 + i);
    }
    c.scoreLine = s.Text(at.matchScoreLine);
    c.turnCounter = s.Text(at.matchTurnsLeft);
    c.outroTrigger = s.At(at.matchOutroTrigger);
    c.bonusPrizeDisplay = s.Card(at.cardBonusPrize);
    c.mysteryOpenCue = s.Card(at.cardMysteryOpenCue);
    c.mysteryBankruptCue = s.Card(at.cardMysteryBankruptCue);
    c.mysteryWinCue = s.Card(at.cardMysteryWinCue);
    for (int i = 0; i < 2; ++i) {
        c.mysteryWedgeFaces[i] = b.GroupControl(at.groupWheelFaces, at.wheelMysteryFace1 + i);
        c.mysteryWedgeFaces[2 + i] = b.GroupControl(at.groupZoomWheelFaces, at.zoomMysteryFace1 + i);
        c.jackpotAsk[i] = s.At(at.matchJackpotAsk1 + i);
    }

    for (int i = 0; i < 4; ++i) {
        c.puzzleControls[i] = s.Piece(at.piecesPuzzleControls + i);
        c.wheelControls[i] = s.Piece(at.piecesWheelControls + i);
    }
    c.puzzleStartMarker = s.Piece(at.piecesPuzzleStartMarker);
    c.puzzleStartGroup = s.Piece(at.piecesPuzzleStartGroup);
    c.currentTokenGroup = s.Piece(at.piecesCurrentTokenGroup);
    FillSet(s, at.piecesTossupSet, c.tossupSet);
    FillSet(s, at.piecesRound1Set, c.round1Set);
    FillSet(s, at.piecesJackpotSet, c.jackpotSet);
    FillSet(s, at.piecesMysterySet, c.mysterySet);
}

// What the match screen keeps out of sight until a round shows it: the zoomed
// wheel and its surroundings, every seat card, the bonus prize card, the
// mystery wedge faces and the bonus wheel. A screen opened before any match
// (or a match whose puzzle failed to load) then never shows them.
void HideUntilPlayed(GameControls& c) {
    if (c.zoomWheel) c.zoomWheel->SetFlags(GUI_FLAG_DISABLED | GUI_FLAG_NOT_DRAWN, GUI_FLAGS_STATE);
    if (c.zoomView) c.zoomView->SetFlags(GUI_FLAG_HIDDEN, GUI_FLAGS_STATE);
    for (int i = 0; i < 3; ++i)
        for (GuiControl* card : {c.tenThousandMarkers[i], c.tenThousandDown[i], c.mysteryCards[i], c.mysteryMarkers[i],
                                 c.mysteryWinDown[i], c.mysteryBankruptCards[i], c.freeSpinMarkers[i],
                                 c.bankruptOverlays[i], c.loseTurnOverlays[i]})
            HideControl(card);
    HideControl(c.bonusPrizeDisplay);
    for (GuiControl* face : c.mysteryWedgeFaces) HideControl(face);
    HideControl(c.bonusWheel);
}

}  // namespace

// Each bound container of one kind with its leading controls.
template <class Container>
static void TakeContainers(int count, const int* controls, Container* (GuiManager::*at)(int) const,
                    std::vector<Container*>& containers, std::vector<std::vector<GuiControl*>>& kept) {
    if (count < 0 || !controls) count = 0;
    containers.assign(count, nullptr);
    kept.assign(count, std::vector<GuiControl*>());
    for (int k = 0; k < count; ++k) {
        containers[k] = (g_guiManager.*at)(k);
        TakeControls(containers[k], controls[k], kept[k]);
    }
}

void BindDocumentPositions() {
    const GuiPositions& at = Pos();
    BoundGui& b = g_bound;
    b.Clear();
    TakeContainers(at.screenCount, at.screenControls, &GuiManager::ScreenAt, b.screens, b.screenControls);
    TakeContainers(at.windowCount, at.windowControls, &GuiManager::WindowAt, b.windows, b.windowControls);
    TakeContainers(at.groupCount, at.groupControls, &GuiManager::GroupAt, b.groups, b.groupControls);
}

void BindGameControls() {
    BindDocumentPositions();
    const BoundGui& b = g_bound;
    GameControls& c = g_round.controls;
    FillGameControls(b, Pos(), c);
    HideUntilPlayed(c);
    if (StatusBarControl* bar = dynamic_cast<StatusBarControl*>(c.statusBar)) {
        bar->messageText = c.message;
        bar->messageTimer = c.messageTimer;
    }
    // The match screen as every match finds it: whatever a match hides,
    // shows, moves or turns (the close-up hides the board's frame, the
    // category bar and the keys' backing) is put back when it is left.
    if (GuiScreen* round = b.Screen(Pos().screenRound)) round->KeepFirstState();
}
