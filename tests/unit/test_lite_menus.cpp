// The Lite's own menu callbacks: the editor's "Randomize" keeps the look,
// the gender turns the shown profile (never a match's contestant), and
// "FinishPlayer" always lands on a window.
#include <gtest/gtest.h>

#include <string>

#include "control_binding.h"
#include "game_data.h"
#include "gui_manager.h"
#include "gui_test_util.h"
#include "lite_factory.h"
#include "lite_gui_bindings.h"
#include "lite_menu_callbacks.h"
#include "menu_screen.h"
#include "profiles.h"
#include "round_controller.h"
#include "strings.h"

namespace {

class LiteMenus : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        UsePositions(LiteGui::kLiteGuiPositions);
        g_gameData.profiles.CreateScratch(LIST_HUMANS);
    }
    void TearDown() override {
        g_gameData.profiles.ReleaseEditedProfiles(2);
        g_menu.editedGender = 0;
        CopyString(g_menu.returnWindow, sizeof(g_menu.returnWindow), "MAIN_MENU");
        UsePositions(FullEditionPositions());
        GuiTest::TearDown();
    }
};

TEST_F(LiteMenus, RandomizeKeepsTheLookAndTheGenderTurnsTheShownProfile) {
    ASSERT_TRUE(Load("<gui start_screen=\"MENU\"><screen name=\"MENU\"><static name=\"S\"/></screen>"
                     "<window name=\"MAIN_MENU\"><static name=\"S\"/></window></gui>",
                     CreateLiteGuiControl))
        << Error();
    ProfileManager& profiles = g_gameData.profiles;
    PlayerProfile* male = profiles.GetScratch(GENDER_MALE);
    PlayerProfile* female = profiles.GetScratch(GENDER_FEMALE);
    ASSERT_NE(nullptr, male);
    ASSERT_NE(nullptr, female);
    male->appearance.SetGender(GENDER_MALE);
    female->appearance.SetGender(GENDER_FEMALE);
    male->appearance.SetColour(2, PART_HAIR);
    male->appearance.SetPart(1, PART_HAIR);
    g_menu.editedGender = GENDER_MALE;

    EXPECT_TRUE(LiteRandomize(nullptr, nullptr));
    EXPECT_EQ(2, male->appearance.GetColour(PART_HAIR));
    EXPECT_EQ(1, male->appearance.GetPart(PART_HAIR));

    // Before any match the round has no contestant: the editor's profile turns.
    g_round.contestantCount = 0;
    EXPECT_TRUE(LiteChangeGender(nullptr, nullptr));
    EXPECT_EQ(GENDER_FEMALE, g_menu.editedGender);
    EXPECT_EQ(female, EditorWorkingProfile());
    EXPECT_TRUE(LiteChangeGender(nullptr, "FEMALE")) << "the gender shown already";
    EXPECT_EQ(GENDER_FEMALE, g_menu.editedGender);
    EXPECT_TRUE(LiteChangeGender(nullptr, "MALE"));
    EXPECT_EQ(GENDER_MALE, g_menu.editedGender);
}

TEST_F(LiteMenus, FinishPlayerGoesToTheMainMenuWithoutAWindowToReturnTo) {
    ASSERT_TRUE(Load("<gui start_screen=\"MENU\"><screen name=\"MENU\"><static name=\"S\"/></screen>"
                     "<window name=\"MAIN_MENU\"><static name=\"S\"/></window>"
                     "<window name=\"ENTER_NAME\"><static name=\"S\"/></window></gui>",
                     CreateLiteGuiControl))
        << Error();
    // Finished from the name window, with no window to go back to.
    ASSERT_TRUE(g_guiManager.OpenWindow("ENTER_NAME"));
    Frame(3);
    g_menu.returnWindow[0] = '\0';
    EXPECT_TRUE(LiteFinishPlayer(nullptr, nullptr));
    Frame(3);
    EXPECT_EQ("MAIN_MENU", CurrentWindowName());
    EXPECT_EQ(nullptr, g_gameData.profiles.GetScratch(0)) << "the scratch profiles are released";
    ASSERT_TRUE(g_guiManager.ChangeWindow("ENTER_NAME"));
    Frame(3);
    CopyString(g_menu.returnWindow, sizeof(g_menu.returnWindow), "NO_SUCH_WINDOW");
    EXPECT_TRUE(LiteFinishPlayer(nullptr, nullptr));
    Frame(3);
    EXPECT_EQ("MAIN_MENU", CurrentWindowName());
}

}  // namespace
