// The references of the game code to the loaded document, and the match
// screen's controls handed to the round controller by their positions.
#include "control_binding.h"

#include "board.h"
#include "gui_manager.h"  // before the status bar, which keeps its PostMessage
#include "control_statusbar.h"
#include "controls_simple.h"
#include "controls_text.h"
#include <initializer_list>
#include "gui_group.h"
#include "round_controller.h"

BoundGui g_bound;

void BoundGui::Clear() {
    for (int k = 0; k < kBoundScreenCount; ++k) screens[k] = nullptr, screenControls[k].clear();
    for (int k = 0; k < kBoundWindowCount; ++k) windows[k] = nullptr, windowControls[k].clear();
    for (int k = 0; k < kBoundGroupCount; ++k) groups[k] = nullptr, groupControls[k].clear();
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
    GuiControl* At(int i) const { return b.ScreenControl(kScreenRound, i); }
    TextControl* Text(int i) const { return b.ScreenAs<TextControl>(kScreenRound, i); }
    TimerControl* Timer(int i) const { return b.ScreenAs<TimerControl>(kScreenRound, i); }
    GuiControl* Piece(int i) const { return b.GroupControl(kGroupRoundPieces, i); }
    GuiControl* Card(int i) const { return b.GroupControl(kGroupSeatCards, i); }
};

// One family of group 7: three shown, six hidden, then the two pop-ups.
void FillSet(const MatchScreen& s, int first, RoundControlSet& set) {
    for (int i = 0; i < 3; ++i) set.show[i] = s.Piece(first + i);
    for (int i = 0; i < 6; ++i) set.hide[i] = s.Piece(first + 3 + i);
    set.freeSpinPopup = s.Piece(first + 9);
    set.prizePopup = s.Piece(first + 10);
}

void FillGameControls(const BoundGui& b, GameControls& c) {
    const MatchScreen s{b};
    c = GameControls();

    for (int i = 0; i < kBoardTiles; ++i) c.tiles[i] = dynamic_cast<BoardTile*>(s.At(kMatchFirstTile + i));
    c.boardFrame = s.At(kMatchBoardLights);
    c.boardView[0] = s.At(kMatchBoard);
    c.boardView[1] = s.At(kMatchBoardLights);
    c.boardView[2] = s.At(kMatchBoardCaption);
    c.category = s.Text(kMatchCategory);
    for (int i = 0; i < 3; ++i) c.solveEntry[i] = s.At(kMatchSolveEntry1 + i);
    c.solveText = s.Text(kMatchSolveText);
    c.winnerLine = s.Text(kMatchWinnerLine);

    c.statusBar = s.At(kMatchStatusBar);
    c.message = s.Text(kMatchMessage);
    c.messageTimer = s.Timer(kMatchMessageTimer);
    c.ai = s.At(kMatchAi);

    c.wheel = s.At(kMatchWheel);
    c.zoomWheel = s.At(kMatchZoomWheel);
    c.bonusWheel = s.At(kMatchBonusWheel);
    c.pointer = s.At(kMatchPointer);
    c.powerMeter = s.At(kMatchPowerMeter);
    c.bonusPowerMeter = s.At(kMatchBonusPowerMeter);
    c.wheelDecor = b.Group(kGroupWheelDecor);
    for (int i = 0; i < 3; ++i) c.wheelDecorParts[i] = b.GroupControl(kGroupWheelDecor, i);
    c.zoomView = b.Group(kGroupZoomView);
    for (int i = 0; i < 3; ++i) c.podiumPictures[i] = b.GroupControl(kGroupZoomPictures, kZoomPicture1 + i);

    for (int i = 0; i < kLetterCount; ++i) c.letterKeys[i] = s.At(kMatchLetterA + i);
    c.spinButton = s.At(kMatchSpinButton);
    c.buyVowelButton = s.At(kMatchBuyVowelButton);
    c.solveButton = s.At(kMatchSolveButton);
    c.pauseButton = s.At(kMatchPauseButton);

    c.spinCheckTimer = s.Timer(kMatchSpinDelayTimer);
    c.turnTimer = s.Timer(kMatchTurnTimer);
    c.thinkingTimer = s.Timer(kMatchThinkingTimer);
    c.solveTimer = s.Timer(kMatchSolveTimer);
    c.zoomHoldTimer = s.Timer(kMatchZoomHoldTimer);
    c.tossupRevealTimer = s.Timer(kMatchTossupRevealTimer);
    c.endOfTurnTimer = s.Timer(kMatchEndOfTurnTimer);
    c.roundEndTimer = s.Timer(kMatchRoundEndTimer);
    c.bankruptTimer = s.Timer(kMatchBankruptTimer);
    c.mysteryTimer = s.Timer(kMatchMysteryTimer);
    c.idleTimer = s.Timer(kMatchIdleTimer);
    c.freeSpinPromptTimer = s.Timer(kMatchFreeSpinTimer);
    c.failedSolveTimer = s.Timer(kMatchFailedSolveTimer);
    c.introTimer = s.Timer(kMatchThemeTimer);

    for (int i = 0; i < 3; ++i) {
        c.podiumScores[i] = s.Text(kMatchPodiumScore1 + i);
        c.podiumNames[i] = s.Text(kMatchPodiumName1 + i);
        c.bankruptOverlays[i] = s.At(kMatchBankruptOverlay1 + i);
        c.loseTurnOverlays[i] = s.At(kMatchLoseTurnOverlay1 + i);
        c.podiumHighlights[i][0] = s.At(kMatchPodiumLight1 + i);
        c.podiumHighlights[i][1] = s.At(kMatchPodiumGlow1 + i);
        c.seatMarkers[i] = s.At(kMatchSeatMarker1 + i);
        c.avatars[i] = s.At(kMatchAvatar1 + i);
        c.scoreIndicators[i] = s.At(kMatchScoreIndicator1 + i);
        c.jackpotDisplays[i] = s.Text(kMatchJackpotDisplay1 + i);

        c.tenThousandMarkers[i] = s.Card(kCardPrize10k1 + i);
        c.tenThousandDown[i] = s.Card(kCardPrize10kDown1 + i);
        c.mysteryCards[i] = s.Card(kCardMysteryCard1 + i);
        c.mysteryMarkers[i] = s.Card(kCardMystery10k1 + i);
        c.mysteryWinDown[i] = s.Card(kCardMystery10kDown1 + i);
        c.mysteryBankruptCards[i] = s.Card(kCardMysteryBankrupt1 + i);
        c.freeSpinMarkers[i] = s.Card(kCardFreeSpinToken1 + i);
        c.tenThousandDownCues[i] = s.Card(kCardPrize10kDownCue1 + i);
        c.mysteryWinDownCues[i] = s.Card(kCardMystery10kDownCue1 + i);
    }
    c.scoreLine = s.Text(kMatchScoreLine);
    c.turnCounter = s.Text(kMatchTurnsLeft);
    c.outroTrigger = s.At(kMatchOutroTrigger);
    c.bonusPrizeDisplay = s.Card(kCardBonusPrize);
    c.mysteryOpenCue = s.Card(kCardMysteryOpenCue);
    c.mysteryBankruptCue = s.Card(kCardMysteryBankruptCue);
    c.mysteryWinCue = s.Card(kCardMysteryWinCue);
    for (int i = 0; i < 2; ++i) {
        c.mysteryWedgeFaces[i] = b.GroupControl(kGroupWheelFaces, kWheelMysteryFace1 + i);
        c.mysteryWedgeFaces[2 + i] = b.GroupControl(kGroupZoomWheelFaces, kZoomMysteryFace1 + i);
        c.jackpotAsk[i] = s.At(kMatchJackpotAsk1 + i);
    }

    for (int i = 0; i < 4; ++i) {
        c.puzzleControls[i] = s.Piece(kPiecesPuzzleControls + i);
        c.wheelControls[i] = s.Piece(kPiecesWheelControls + i);
    }
    c.puzzleStartMarker = s.Piece(kPiecesPuzzleStartMarker);
    c.puzzleStartGroup = s.Piece(kPiecesPuzzleStartGroup);
    c.currentTokenGroup = s.Piece(kPiecesCurrentTokenGroup);
    FillSet(s, kPiecesTossupSet, c.tossupSet);
    FillSet(s, kPiecesRound1Set, c.round1Set);
    FillSet(s, kPiecesJackpotSet, c.jackpotSet);
    FillSet(s, kPiecesMysterySet, c.mysterySet);
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

void BindGameControls() {
    BoundGui& b = g_bound;
    b.Clear();
    for (int k = 0; k < kBoundScreenCount; ++k) {
        b.screens[k] = g_guiManager.ScreenAt(k);
        TakeControls(b.screens[k], kBoundScreenControls[k], b.screenControls[k]);
    }
    for (int k = 0; k < kBoundWindowCount; ++k) {
        b.windows[k] = g_guiManager.WindowAt(k);
        TakeControls(b.windows[k], kBoundWindowControls[k], b.windowControls[k]);
    }
    for (int k = 0; k < kBoundGroupCount; ++k) {
        b.groups[k] = g_guiManager.GroupAt(k);
        TakeControls(b.groups[k], kBoundGroupControls[k], b.groupControls[k]);
    }

    GameControls& c = g_round.controls;
    FillGameControls(b, c);
    HideUntilPlayed(c);
    if (StatusBarControl* bar = dynamic_cast<StatusBarControl*>(c.statusBar)) {
        bar->messageText = c.message;
        bar->messageTimer = c.messageTimer;
    }
}
