// The Lite's binding of its match screen: the named positions of the Lite's
// table reach the Lite's own references and the game's, the full edition's
// positions never do, and a document still being drawn leaves nulls. Then
// the Lite's own document as the game loads it: every handler it names is
// one the Lite registers, and a quick-play match through it (the zoom
// wheel's mystery faces, the bonus gauge, the status line, the seat cards).
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control_binding.h"
#include "control_statusbar.h"
#include "controls_simple.h"
#include "controls_text.h"
#include "file_system.h"
#include "font_manager.h"
#include "game_data.h"
#include "gui_test_util.h"
#include "lite_binding.h"
#include "lite_controls.h"
#include "lite_factory.h"
#include "lite_gui_bindings.h"
#include "lite_round.h"
#include "lite_screen_ops.h"
#include "lite_spin_control.h"
#include "lite_wheel_callbacks.h"
#include "match_callbacks.h"
#include "profiles.h"
#include "edition_test_util.h"
#include "round_controller.h"
#include "sprite_avatar.h"
#include "tinyxml.h"

namespace {

class LiteBinding : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        UsePositions(LiteGui::kLiteGuiPositions);
    }
    void TearDown() override {
        UsePositions(FullEditionPositions());
        g_bound.Clear();
        g_round.controls = GameControls();
        g_liteControls = LiteControls();
        GuiTest::TearDown();
    }

    // Screens 0-3 with one control, the match screen with `controls`
    // controls named C0, C1, ... (timers where the Lite's table has its
    // timers, statics elsewhere) and `groups` groups, the sixth with the
    // three flappers.
    static std::string Document(int controls, int groups) {
        std::string doc = "<gui start_screen=\"MENU\">";
        for (const char* name : {"MENU", "COMPANY_LOGO", "GAME_INTRO", "LOADING"})
            doc += std::string("<screen name=\"") + name + "\"><static name=\"S\"/></screen>";
        doc += "<screen name=\"ROUND_WND\">";
        for (int i = 0; i < controls; ++i) {
            bool timer = i == 60 || i == 64 || (i >= 70 && i <= 79);
            doc += std::string(timer ? "<timer" : "<static") + " name=\"C" +
                   std::to_string(i) + "\"/>";
        }
        doc += "</screen>";
        for (int g = 0; g < groups; ++g) {
            doc += "<group name=\"G" + std::to_string(g) + "\">";
            for (int i = 0; i < 3; ++i)
                doc += "<static name=\"F" + std::to_string(i) + "\"/>";
            doc += "</group>";
        }
        return doc + "</gui>";
    }
    GuiControl* Match(int i) { return Control(("ROUND_WND.C" + std::to_string(i)).c_str()); }
};

TEST_F(LiteBinding, TheLitesNamedPositionsAreBoundAndTheFullEditionsAreNot) {
    ASSERT_TRUE(Load(Document(158, 6), CreateLiteGuiControl)) << Error();
    BindLiteGameControls();
    const LiteControls& l = g_liteControls;
    EXPECT_EQ(Match(60), l.roundCheckTimer);
    EXPECT_EQ(Match(64), l.roundTimer);
    for (int seat = 0; seat < 3; ++seat) {
        EXPECT_EQ(Match(70 + seat), l.desyncTimers[seat]);
        EXPECT_EQ(Match(73 + seat), l.reactionTimers[seat]);
        EXPECT_EQ(Match(76 + seat), l.animationTimers[seat]);
        EXPECT_EQ(Match(88 + seat), l.avatars[seat]);
        EXPECT_EQ(Control(("G5.F" + std::to_string(seat)).c_str()), l.flappers[seat]);
    }
    EXPECT_EQ(Match(79), l.idleTimer);
    EXPECT_EQ(Match(97), l.spinGauge);
    EXPECT_EQ(Match(99), l.zoomWheel);
    EXPECT_EQ(Match(101), l.bonusGauge);
    EXPECT_EQ(Match(102), l.bonusWheel);
    EXPECT_NE(nullptr, l.bonusWheel);

    // The game's references the Lite keeps come from the same positions.
    const GameControls& c = g_round.controls;
    EXPECT_EQ(l.roundCheckTimer, c.spinCheckTimer);
    EXPECT_EQ(l.roundTimer, c.zoomHoldTimer);
    EXPECT_EQ(l.idleTimer, c.idleTimer);
    EXPECT_EQ(l.zoomWheel, c.zoomWheel);
    EXPECT_EQ(l.bonusWheel, c.bonusWheel);
    EXPECT_EQ(l.spinGauge, c.powerMeter);
    EXPECT_EQ(l.bonusGauge, c.bonusPowerMeter);
    for (int seat = 0; seat < 3; ++seat) {
        EXPECT_EQ(l.avatars[seat], c.avatars[seat]);
        EXPECT_EQ(l.flappers[seat], c.podiumPictures[seat]);
    }
    // The game's references come from the Lite's own positions, not the
    // full edition's: a control of the wrong kind there is not taken (this
    // document has plain statics where the Lite has its tiles and timers).
    EXPECT_EQ(Match(LiteGui::kMatchStatusBar), c.statusBar);
    EXPECT_EQ(Match(LiteGui::kMatchWheel), c.wheel);
    EXPECT_EQ(nullptr, c.tiles[0]);
    EXPECT_EQ(nullptr, c.thinkingTimer);
    // The binding keeps the Lite's 158, not the full edition's 177.
    EXPECT_EQ(nullptr, g_bound.ScreenControl(LiteGui::kScreenRound, 158));
    EXPECT_EQ(Match(157), g_bound.ScreenControl(LiteGui::kScreenRound, 157));
}

TEST_F(LiteBinding, ADocumentStillBeingDrawnLeavesNullsWhereItEndsOrHoldsOtherKinds) {
    // The match screen ends after the idle timer, and no groups yet.
    ASSERT_TRUE(Load(Document(80, 0), CreateLiteGuiControl)) << Error();
    BindLiteGameControls();
    const LiteControls& l = g_liteControls;
    EXPECT_EQ(Match(79), l.idleTimer);
    for (int seat = 0; seat < 3; ++seat) {
        EXPECT_EQ(nullptr, l.avatars[seat]);
        EXPECT_EQ(nullptr, l.flappers[seat]);
        EXPECT_EQ(nullptr, g_round.controls.podiumPictures[seat]);
    }
    EXPECT_EQ(nullptr, l.zoomWheel);
    EXPECT_EQ(nullptr, l.bonusWheel);

    // A static where a timer belongs is no timer reference.
    std::string doc = Document(158, 6);
    const std::string timer = "<timer name=\"C60\"/>";
    doc.replace(doc.find(timer), timer.size(), "<static name=\"C60\"/>");
    g_guiManager.Clear();
    ASSERT_TRUE(Load(doc, CreateLiteGuiControl)) << Error();
    BindLiteGameControls();
    EXPECT_EQ(nullptr, g_liteControls.roundCheckTimer);
    EXPECT_EQ(nullptr, g_round.controls.spinCheckTimer);
    EXPECT_EQ(Match(64), g_liteControls.roundTimer);

    // Only the menu: nothing of the match is bound.
    g_guiManager.Clear();
    ASSERT_TRUE(Load("<gui start_screen=\"MENU\"><screen name=\"MENU\"/></gui>", CreateLiteGuiControl)) << Error();
    BindLiteGameControls();
    EXPECT_EQ(nullptr, g_liteControls.roundCheckTimer);
    EXPECT_EQ(nullptr, g_liteControls.desyncTimers[2]);
    EXPECT_EQ(nullptr, g_round.controls.zoomWheel);
    EXPECT_EQ(nullptr, g_bound.Screen(LiteGui::kScreenRound));
}

// ---- The Lite's own document --------------------------------------------------------------

#ifdef QV_GAME_DIR

// The Lite as its entry starts it, from the game folder.
const EditionUnderTest kLiteEdition = {"Quorvane Lite.xml",  &LiteGui::kLiteGuiPositions, RegisterLiteCallbacks,
                                       CreateLiteGuiControl, BindLiteGameControls,          InstallLiteRound,
                                       RemoveLiteRound};

class LiteDocument : public EditionDocument {
protected:
    LiteDocument() : EditionDocument(kLiteEdition) {}
    void SetUp() override {
        EditionDocument::SetUp();
        if (HasFatalFailure()) return;
        g_round.SetOps(&ops);
        std::srand(5);
    }
    void TearDown() override {
        EditionDocument::TearDown();
        g_liteControls = LiteControls();
    }

    // From the loading card to the menu, then quick play for Ann as the
    // menu's button starts it, on to her first turn.
    void StartQuickPlay() {
        ann.reset(new PlayerProfile(KIND_HUMAN));
        ann->appearance.SetName("Ann");
        g_gameData.currentProfile = ann.get();
        ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
        ASSERT_TRUE(Call("StartGame", "QUICK_PLAY"));
        ASSERT_TRUE(Call("ChangeScreen", "ROUND_WND"));
        ASSERT_TRUE(TurnOfTheRound()) << "Ann's first turn";
        ASSERT_EQ(ROUND_ONE, g_round.roundType);
    }
    // The round set up: its title card comes and goes, the turn is seat 1's.
    bool TurnOfTheRound() {
        return FramesUntil(
            [] {
                return g_guiManager.GetCurrentWindow() == g_guiManager.GetCurrentScreen() &&
                       g_round.inputPhase == PHASE_TURN;
            },
            500);
    }
    // A spin of seat 1 through the handlers whose zoom wheel comes to rest
    // on the notch (0..71) under its pointer.
    void SpinOnto(int notch) {
        ASSERT_TRUE(Call("Spin"));
        ASSERT_TRUE(Call("Round_VerifTimer"));
        NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(g_liteControls.zoomWheel);
        ASSERT_TRUE(zoom && zoom->body && zoom->IsSpinning());
        for (unsigned k = 0; k < 72; ++k)
            if (LiteLandedSector(k, 72, 1) == notch) zoom->body->SetFrameFraction((k + 0.5f) / 72.0f);
        zoom->remaining = 0.0f;
        ASSERT_TRUE(Call("EndRotateZoomWheel"));
    }
    static bool Shown(const GuiControl* c) { return c && !c->HasFlags(GUI_FLAG_HIDDEN); }

    Silent<LiteScreenOps> ops;
    std::unique_ptr<PlayerProfile> ann;
};

// Every name in every event attribute of the document ("Name(arg);..."),
// read as the manager reads them, is one the Lite registers: the others
// would bind to nothing.
TEST_F(LiteDocument, NamesOnlyHandlersTheLiteRegisters) {
    TiXmlDocument document;
    ASSERT_TRUE(g_fileSystem.LoadXml(g_fileSystem.GetFileId("GUI"), &document));
    CallbackRegistry lite;
    RegisterLiteCallbacks(lite);
    std::vector<std::string> unknown;
    int names = 0;
    std::function<void(TiXmlElement*)> visit = [&](TiXmlElement* e) {
        for (TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
            if (std::strncmp(a->Name(), "On", 2) != 0) continue;
            std::string list = a->Value();
            for (size_t at = 0; at <= list.size();) {
                size_t end = list.find(';', at);
                if (end == std::string::npos) end = list.size();
                std::string name = list.substr(at, end - at);
                name = name.substr(0, name.find('('));
                if (!name.empty() && ++names && !lite.Find(name.c_str())) {
                    const char* control = e->Attribute("name");
                    unknown.push_back(std::string(control ? control : e->Value()) + " " + a->Name() + ": " + name);
                }
                at = end + 1;
            }
        }
        for (TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement()) visit(c);
    };
    visit(document.RootElement());
    EXPECT_GT(names, 300) << "the whole document was read";
    for (const std::string& u : unknown) ADD_FAILURE() << u;
}

// The developer gate of every debug command the Lite registers (its own
// wheel commands among them), in a quick-play match started from the menu:
// a player's game never reaches one, nor does a developer's while a name or
// a solve is typed. The timers' view and the avatar animations (the 2D
// avatars have none to step through) do nothing even for a developer.
TEST_F(LiteDocument, EveryDebugCommandActsOnlyForADeveloperWhoIsNotTyping) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ASSERT_EQ(27u, kLiteDebugCallbackCount);
    InAnnsFirstTurn(Frames(), [&] {
        ExpectEveryDebugCommandBehindTheGate(kLiteDebugCallbackCount, {"HackShowTimers", "HackPlayAnim"});
    });
}

// The two mystery faces ride on the zoom wheel's close-up: at every frame of
// a spin and while it rests, each shows the wheel's own picture.
TEST_F(LiteDocument, TheMysteryFacesShowTheZoomWheelsPictureAtEveryFrame) {
    ASSERT_NO_FATAL_FAILURE(StartQuickPlay());
    RoundController& rc = g_round;
    ASSERT_TRUE(rc.SetupMysteryRound());
    ASSERT_TRUE(TurnOfTheRound());
    NewSpinControl* zoom = dynamic_cast<NewSpinControl*>(g_liteControls.zoomWheel);
    ASSERT_TRUE(zoom && zoom->body);
    GuiControl* faces[] = {rc.controls.mysteryWedgeFaces[2], rc.controls.mysteryWedgeFaces[3]};
    for (GuiControl* face : faces) {
        ASSERT_TRUE(face && face->body && face->body->clip);
        ASSERT_TRUE(Shown(face));
        ASSERT_EQ(zoom->body->clip->frameCount, face->body->clip->frameCount);
    }
    ASSERT_TRUE(Call("Spin"));
    ASSERT_TRUE(Call("Round_VerifTimer"));
    ASSERT_TRUE(zoom->IsSpinning());
    int frames = 0, pictures = 0;
    for (unsigned last = zoom->body->frame; zoom->IsSpinning() && frames < 3000; ++frames) {
        Frame();
        pictures += zoom->body->frame != last;
        last = zoom->body->frame;
        for (GuiControl* face : faces) ASSERT_EQ(zoom->body->frame, face->body->frame) << "frame " << frames;
    }
    EXPECT_GT(pictures, 20) << "the wheel turned";
    ASSERT_FALSE(zoom->IsSpinning());
    for (int rest = 0; rest < 70; ++rest) {
        Frame();
        for (GuiControl* face : faces) ASSERT_EQ(zoom->body->frame, face->body->frame) << "frame " << rest << " at rest";
    }
}

// The gauge shown while the pointer is on the bonus wheel is the one whose
// needle the bonus spin goes by.
TEST_F(LiteDocument, ABonusSpinGoesAsFarAsTheGaugeShownBesideTheBonusWheelSays) {
    ASSERT_NO_FATAL_FAILURE(StartQuickPlay());
    RoundController& rc = g_round;
    ASSERT_TRUE(rc.SetupBonusRound());
    ASSERT_TRUE(TurnOfTheRound());
    LiteSpinControl* wheel = dynamic_cast<LiteSpinControl*>(g_liteControls.bonusWheel);
    ASSERT_TRUE(wheel && wheel->body);
    GuiControl* gauges[] = {g_liteControls.spinGauge, g_liteControls.bonusGauge};
    for (float at : {0.0f, 0.25f, 0.5f}) {
        SCOPED_TRACE(at);
        rc.SetStateDirect(STATE_START_OF_TURN);
        rc.spinRequested = 0;
        wheel->remaining = 0.0f;
        rc.SetInputPhase(PHASE_TURN);
        g_renderer.mouseView = Vector3{5.0f, 5.0f, 0.0f};
        Frame(2);
        g_renderer.mouseView = wheel->PlacedPosition();
        Frame(2);
        GuiControl* shown = nullptr;
        for (GuiControl* g : gauges)
            if (g && !g->HasFlags(GUI_FLAG_NOT_DRAWN)) {
                EXPECT_EQ(nullptr, shown) << "two gauges shown";
                shown = g;
            }
        ASSERT_TRUE(shown && shown->body && shown->body->clip) << "no gauge shown on the bonus wheel";
        const unsigned n = shown->body->clip->frameCount, picture = (unsigned)(at * n);
        ASSERT_TRUE(FramesUntil([&] { return shown->body->frame == picture; }, 2 * (int)n + 4)) << "its needle moves";
        ASSERT_TRUE(Call("Spin"));
        ASSERT_TRUE(Call("Round_VerifTimer"));
        const float p = GaugeFraction(picture, n);
        EXPECT_GE(rc.spinPower, LiteSpinDistance(p, -50));
        EXPECT_LE(rc.spinPower, LiteSpinDistance(p, 50));
        EXPECT_FLOAT_EQ(rc.spinPower, wheel->spinDistance) << "the bonus wheel goes the distance";
    }
}

// The glyphs of the status line drawn in each frame: where each was drawn.
struct DrawnGlyph {
    unsigned char c;
    const Font* font;
    float x, y;
};
std::vector<DrawnGlyph> g_drawnGlyphs;
void RecordDrawnGlyph(unsigned char c, const Font* font) {
    const float* m = g_renderer.Top().m;
    g_drawnGlyphs.push_back({c, font, m[12], m[13]});
}

// The bonus wheel stops: the status bar closes its line and stands closed
// while R, S, T, L, N and E come up. In every frame the line is drawn whole,
// glyph after glyph at the font's own steps, or not at all; once the bar has
// closed, not at all.
TEST_F(LiteDocument, TheStatusLineIsDrawnWholeOrNotAtAllAsTheBarOpensAndCloses) {
    ASSERT_NO_FATAL_FAILURE(StartQuickPlay());
    RoundController& rc = g_round;
    StatusBarControl* bar = dynamic_cast<StatusBarControl*>(rc.controls.statusBar);
    TextControl* line = rc.controls.message;
    ASSERT_TRUE(bar && line && line->font && bar->messageText == line);
    const Font& font = *line->font;
    const float lineY = line->PlacedPosition().y;
    ASSERT_TRUE(rc.SetupBonusRound());
    ASSERT_TRUE(TurnOfTheRound());
    ASSERT_TRUE(Call("Spin"));
    ASSERT_TRUE(Call("Round_VerifTimer"));

    NewSpinControl* wheel = dynamic_cast<NewSpinControl*>(g_liteControls.bonusWheel);
    ASSERT_TRUE(wheel && wheel->IsSpinning());
    g_fontManager.glyphObserver = RecordDrawnGlyph;
    int said = 0, closedFrames = 0, afterStop = 0;
    // The spin, then 8 s: the reveal takes about 5.
    for (int frames = 0; frames < 3000 && afterStop < 280; ++frames) {
        g_drawnGlyphs.clear();
        Frame();
        afterStop += !wheel->IsSpinning();
        std::vector<DrawnGlyph> drawn;
        for (const DrawnGlyph& g : g_drawnGlyphs)
            if (g.font == &font && std::fabs(g.y - lineY) < 2.0f * font.size) drawn.push_back(g);
        for (size_t i = 1; i < drawn.size(); ++i) {
            const DrawnGlyph &a = drawn[i - 1], &b = drawn[i];
            if (b.y != a.y || b.x < a.x) continue;  // the next line
            const float step = (0.5f * (font.widths[a.c] + font.widths[b.c]) + font.spacing) * font.size;
            ASSERT_NEAR(step, b.x - a.x, 0.01f * step)
                << "frame " << frames << ": '" << a.c << b.c << "' drawn " << (b.x - a.x) / step << " of a step apart";
        }
        said += !drawn.empty();
        if (bar->state == BAR_CLOSED || bar->state == BAR_HANDED_ON) {
            ++closedFrames;
            EXPECT_TRUE(drawn.empty()) << "frame " << frames << ": a closed bar shows " << drawn.size() << " glyphs";
        }
    }
    g_fontManager.glyphObserver = nullptr;
    EXPECT_EQ(280, afterStop) << "the bonus wheel stopped";
    EXPECT_GT(said, 0) << "the bar said something";
    EXPECT_GT(closedFrames, 35) << "the bar stood closed during the reveal";
}

// The seat cards leave the screen by themselves in a Lite match: a $10,000
// card lost to a bankrupt goes with the close-up, the mystery wedge's card
// when the cheer and its time are over, a mystery $10,000 lost to a
// bankrupt with the close-up too.
TEST_F(LiteDocument, EverySeatCardLeavesTheScreen) {
    ASSERT_NO_FATAL_FAILURE(StartQuickPlay());
    RoundController& rc = g_round;
    GameControls& c = rc.controls;
    ASSERT_NE(nullptr, c.tenThousandMarkers[0]);
    ASSERT_NE(nullptr, c.mysteryCards[0]);
    ASSERT_NE(nullptr, c.mysteryMarkers[0]);
    auto turnComesBack = [&] {
        return FramesUntil([&] { return rc.state == STATE_START_OF_TURN && rc.inputPhase == PHASE_TURN; }, 1500);
    };
    // A card held, lost to a bankrupt: it shows with the bankrupt, then goes.
    auto lostToABankrupt = [&](unsigned char Contestant::*token, GuiControl* card, GuiControl* down, const char* what) {
        ASSERT_NO_FATAL_FAILURE(SpinOnto(22 * 3 + 1));
        EXPECT_EQ(0, rc.current->*token);
        EXPECT_TRUE(Shown(card)) << "the lost card shows with the bankrupt";
        EXPECT_TRUE(FramesUntil([&] { return !Shown(card); }, 500)) << "the lost " << what << " card stays";
        ASSERT_TRUE(turnComesBack());
        EXPECT_FALSE(Shown(card));
        EXPECT_FALSE(Shown(down));
    };

    // The $10,000 taken (its middle notch, then a consonant of the puzzle)...
    ASSERT_NO_FATAL_FAILURE(SpinOnto(6 * 3 + 1));
    ASSERT_EQ(kTenThousandPrize, rc.wedgeValue);
    ASSERT_TRUE(FramesUntil([&] { return rc.state == STATE_PICK_CONSONANT; }, 500));
    char consonant[2] = {0, 0};
    for (char l = 'B'; l <= 'Z' && !consonant[0]; ++l)
        if (!IsVowel(l) && rc.letters[l - 'A'].occurs && !rc.letters[l - 'A'].called) consonant[0] = l;
    ASSERT_TRUE(Call("ChoseLetter", consonant));
    ASSERT_TRUE(turnComesBack());
    ASSERT_EQ(1, rc.current->tenThousandToken);
    ASSERT_TRUE(Shown(c.tenThousandMarkers[0]));
    // ... and lost to the bankrupt: the card shows with it, then goes.
    ASSERT_NO_FATAL_FAILURE(lostToABankrupt(&Contestant::tenThousandToken, c.tenThousandMarkers[0],
                                            c.tenThousandDown[0], "$10,000"));

    // The mystery round: a mystery $10,000 held, then lost to a bankrupt.
    ASSERT_TRUE(rc.SetupMysteryRound());
    ASSERT_TRUE(TurnOfTheRound());
    rc.mysteryOutcome = MYSTERY_PRIZE;
    rc.current->mysteryToken = 1;
    ASSERT_NO_FATAL_FAILURE(
        lostToABankrupt(&Contestant::mysteryToken, c.mysteryMarkers[0], c.mysteryWinDown[0], "mystery"));

    // The mystery wedge: its card comes up with the cheer, and goes.
    ASSERT_TRUE(rc.SetupMysteryRound());
    ASSERT_TRUE(TurnOfTheRound());
    ASSERT_NO_FATAL_FAILURE(SpinOnto(1 * 3 + 1));
    ASSERT_TRUE(rc.wedgeValue == WEDGE_MYSTERY_PRIZE || rc.wedgeValue == WEDGE_MYSTERY_BANKRUPT);
    EXPECT_TRUE(Shown(c.mysteryCards[0]));
    EXPECT_TRUE(FramesUntil([&] { return !Shown(c.mysteryCards[0]); }, 500)) << "the mystery card stays";
}

// A new match from the match screen (New Game, or the next computers'
// match from the statistics) closes the screen and opens it again; an
// avatar reaction whose timer ends meanwhile must not open that avatar
// again, or the screen waits for it to close for good.
TEST_F(LiteDocument, AnAvatarReactionWhileTheMatchScreenClosesDoesNotHoldIt) {
    ASSERT_NO_FATAL_FAILURE(StartQuickPlay());
    Contestant* ann = g_round.ContestantOnSeat(1);
    ASSERT_NE(nullptr, SpriteAvatarOf(ann));
    ASSERT_TRUE(g_guiManager.OpenScreen("ROUND_WND"));
    Frame();  // the close has begun
    PlayAvatarAnimation(0, ann);  // a cheer
    EXPECT_TRUE(FramesUntil([] { return g_guiManager.QueuedCommands() == 0; }, 300))
        << "the match screen never closed to open again";
    EXPECT_TRUE(TurnOfTheRound()) << "the new match's first turn";
}

// The races that stalled a match for good. A toss-up solved while the seat
// before had just answered wrong and its turn was still ending:
TEST_F(LiteDocument, ATossupWonWhileATurnEndsStaysWonAndTheMatchMovesOn) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectATossupWonWhileATurnEndsMovesOn(Frames());
}

// And its twin: a buzz while a turn ends, cut short by that turn's end.
TEST_F(LiteDocument, ABuzzWhileATurnEndsKeepsItsAttempt) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectABuzzWhileATurnEndsKeepsItsAttempt(Frames());
}

// Pause, then Main Menu, at each moment of a spin.
TEST_F(LiteDocument, LeavingDuringASpinLeavesNothingBehind) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectLeavingDuringASpinLeavesNothingBehind(Frames());
}

// What names a seat or lights it follows the turn, from a match's first
// frame; and a match's results list what it won.
TEST_F(LiteDocument, TheTurnsNamesAndLightsFollowTheTurn) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectTheTurnsNamesAndLightsFollowTheTurn(Frames());
}

TEST_F(LiteDocument, ANewMatchNamesNobodyOfTheLastOne) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectANewMatchNamesNobodyOfTheLastOne(Frames());
}

TEST_F(LiteDocument, TheResultsListWhatTheMatchWon) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectTheResultsListWhatTheMatchWon(Frames());
}

// In a toss-up the turn panel names only the seat that solves.
TEST_F(LiteDocument, ATossupNamesOnlyTheSeatSolving) {
    ASSERT_TRUE(FramesUntil([] { return Named(g_guiManager.GetCurrentScreen(), "MENU"); }, 100));
    ExpectATossupNamesOnlyTheSeatSolving(Frames());
}

#endif  // QV_GAME_DIR

}  // namespace
