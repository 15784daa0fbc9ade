// The Lite's binding of its match screen: the named positions of the Lite's
// table reach the Lite's own references and the game's, the full edition's
// positions never do, and a document still being drawn leaves nulls.
#include <gtest/gtest.h>

#include <string>

#include "control_binding.h"
#include "controls_simple.h"
#include "gui_test_util.h"
#include "lite_binding.h"
#include "lite_controls.h"
#include "lite_factory.h"
#include "lite_gui_bindings.h"
#include "round_controller.h"

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

}  // namespace
