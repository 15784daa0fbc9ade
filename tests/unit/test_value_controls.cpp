// The value and entry kinds: slider, scroll, edit field and list.
#include "controls_text.h"
#include "controls_value.h"
#include "font_manager.h"
#include "gui_factory.h"
#include "gui_manager.h"
#include "gui_test_data.h"
#include "model_instance.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace guitest;

namespace {

// ---- Callbacks that count, and one that answers as told -----------------------------

std::vector<std::string> g_events;
bool g_endEditAnswer = true;

bool Record(void*, const char* argument) {
    g_events.push_back(argument ? argument : "");
    return true;
}

bool EndEdit(void*, const char* argument) {
    g_events.push_back(argument ? argument : "");
    return g_endEditAnswer;
}

int Count(const std::string& event) {
    int n = 0;
    for (const std::string& e : g_events) n += e == event;
    return n;
}

// A font of 0.25-wide letters (8 of 32 pixels) without spacing; at size 0.1
// each letter is 0.025 view units wide and a line 0.1 high.
struct LetterFont {
    Font font;
    LetterFont() {
        const char* chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
        int widths[] = {8, -62};
        char error[256];
        EXPECT_TRUE(font.BuildGlyphs(chars, widths, 2, 0, 1024, 32, error, sizeof(error))) << error;
        font.size = 0.1f;
    }
};

class ValueControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) {
            g_guiManager.RegisterCallback("Record", Record);
            g_guiManager.RegisterCallback("EndEdit", EndEdit);
            registered = true;
        }
        g_events.clear();
        g_endEditAnswer = true;
        g_resourceManager.Init();
        EnsureMatrixStack();
        g_input.Clear();
        g_renderer.mouseView = Vector3{50.0f, 50.0f, 0.0f};  // far from everything

        auto small = [](const char* name) { return ControlPart(name, 3, true, 0.02f, 0.02f); };
        DataFolder data("value-controls");
        data.Add("SLIDER", "slider.pack",
                 BuildModelPack({ControlPart("body", 3, true, 0.5f, 0.1f), small("point"), small("left"),
                                 small("right")}));
        data.Add("SCROLL", "scroll.pack",
                 BuildModelPack({ControlPart("body", 3, true, 0.05f, 0.5f), ControlPart("point", 3, true, 0.05f, 0.05f),
                                 ControlPart("up", 3, true, 0.05f, 0.05f), ControlPart("down", 3, true, 0.05f, 0.05f)}));
        data.Add("EDIT", "edit.pack",
                 BuildModelPack({ControlPart("body", 3, true, 1.0f, 0.1f), ControlPart("cursor", 3, true, 0.11f, 0.05f)}));
        data.Add("LIST", "list.pack",
                 BuildModelPack({ControlPart("body", 3, true), small("highlight"), small("select"), small("cursor"),
                                 small("name_bar")}));
        std::string many = "<text name=\"MANY\">";
        for (int i = 0; i < 300; ++i) many += "<line value=\"row\"/>";
        data.Add("TEXT", "text.xml", many + "</text>");
        ASSERT_TRUE(data.Mount());
        ASSERT_TRUE(g_fontManager.Load()) << g_fontManager.GetError();
    }
    void TearDown() override {
        g_input.Clear();
        g_fontManager.FreeAll();
        g_guiManager.Clear();
        // Clear empties the registry too; register again next time.
        g_guiManager.RegisterCallback("Record", Record);
        g_guiManager.RegisterCallback("EndEdit", EndEdit);
        g_resourceManager.Shutdown();
        g_fileSystem.Shutdown();
    }

    // A control loaded from one element, as the GUI document gives it.
    template <class T>
    std::unique_ptr<T> Make(const std::string& xml) {
        TiXmlDocument doc;
        doc.Parse(xml.c_str());
        EXPECT_FALSE(doc.Error()) << xml;
        std::unique_ptr<T> c(new T());
        c->LoadCommon(doc.RootElement());
        c->Load(doc.RootElement());
        return c;
    }
    // Opened as its container would: visuals, the open bit, idle.
    static void Open(GuiControl& c) {
        c.BuildVisuals();
        c.stateFlags |= GUI_FLAG_OPEN;
        c.SetState(GUI_STATE_IDLE);
    }
    static void Press(int code) { g_input.Set(code, KEY_WENT_DOWN); }
    static void Type(char c) { g_input.Set(INPUT_CHAR, (unsigned char)c); }
    static void Frame() { NextFrame(); }
    static void MouseAt(float x, float y) { g_renderer.mouseView = Vector3{x, y, 0.0f}; }
};

// ---- "slider" ------------------------------------------------------------------------

TEST_F(ValueControlsTest, SliderMapsTheTrackInsideItsMargins) {
    auto slider = Make<SliderControl>("<slider name=\"s\" model=\"SLIDER\" unreach=\"0.1\" OnChange=\"Record(change)\"/>");
    Open(*slider);
    ASSERT_NE(nullptr, slider->point);
    slider->SetValue(0.0f);
    EXPECT_FLOAT_EQ(-0.4f, slider->point->position.x);  // box min x + unreach
    slider->SetValue(1.0f);
    EXPECT_FLOAT_EQ(0.4f, slider->point->position.x);   // box max x - unreach
    EXPECT_FLOAT_EQ(-0.5f, slider->left->position.x);
    EXPECT_FLOAT_EQ(0.5f, slider->right->position.x);
    // Values from outside (a damaged settings file) stay on the track.
    slider->SetValue(1.7f);
    EXPECT_FLOAT_EQ(1.0f, slider->value);
    slider->SetValue(std::nanf(""));
    EXPECT_FLOAT_EQ(0.0f, slider->value);

    // Pressing takes the capture; the drag maps the mouse, clamped.
    MouseAt(0.0f, 0.0f);
    Press(INPUT_MOUSE_LEFT);
    EXPECT_FALSE(slider->MouseOver());
    Frame();
    EXPECT_TRUE(slider->CapturedInput());
    EXPECT_FLOAT_EQ(0.5f, slider->value);
    EXPECT_EQ(1, Count("change"));
    EXPECT_TRUE(slider->CapturedInput());  // no move, no change
    EXPECT_EQ(1, Count("change"));
    MouseAt(-0.45f, 0.0f);  // 0.05 of the box: inside the margin
    EXPECT_TRUE(slider->CapturedInput());
    EXPECT_FLOAT_EQ(0.0f, slider->value);
    MouseAt(5.0f, 3.0f);  // anywhere while the button is held
    EXPECT_TRUE(slider->CapturedInput());
    EXPECT_FLOAT_EQ(1.0f, slider->value);
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_UP);
    EXPECT_FALSE(slider->CapturedInput());

    // A margin wider than half the track maps without dividing by nothing.
    slider->unreach = 0.7f;
    EXPECT_TRUE(std::isfinite(slider->ValueAt(0.3f)));
    EXPECT_FLOAT_EQ(0.3f, slider->ValueAt(0.3f));
}

// ---- "scroll" -------------------------------------------------------------------------

TEST_F(ValueControlsTest, ScrollArrowsStepOncePerPressAndTheBarDrags) {
    auto scroll = Make<ScrollControl>(
        "<scroll name=\"s\" model=\"SCROLL\" jump=\"0.25\" unreach=\"0.05\" OnChange=\"Record(change)\"/>");
    Open(*scroll);
    float box[6];
    GetVisualHitBox(scroll->body, box);
    EXPECT_FLOAT_EQ(-0.55f, box[1]);  // from the down arrow's box ...
    EXPECT_FLOAT_EQ(0.55f, box[4]);   // ... to the up arrow's
    EXPECT_FLOAT_EQ(0.5f, scroll->point->position.y);  // top, less unreach

    // Over the up arrow at 0: a press still reports a change.
    MouseAt(0.0f, 0.5f);
    EXPECT_TRUE(scroll->MouseOver());
    EXPECT_EQ(5, scroll->state);
    Press(INPUT_MOUSE_LEFT);
    EXPECT_TRUE(scroll->MouseOver());
    EXPECT_FLOAT_EQ(0.0f, scroll->value);
    EXPECT_EQ(1, Count("change"));
    // Held: no repeat.
    Frame();
    EXPECT_TRUE(scroll->MouseOver());
    EXPECT_EQ(1, Count("change"));

    // The down arrow steps by jump.
    MouseAt(0.0f, -0.5f);
    EXPECT_TRUE(scroll->MouseOver());  // off the up arrow: over the bar
    EXPECT_EQ(4, scroll->state);
    EXPECT_TRUE(scroll->MouseOver());
    EXPECT_EQ(6, scroll->state);
    Press(INPUT_MOUSE_LEFT);
    EXPECT_TRUE(scroll->MouseOver());
    EXPECT_FLOAT_EQ(0.25f, scroll->value);
    EXPECT_FLOAT_EQ(0.5f - 0.25f * (1.1f - 0.1f), scroll->point->position.y);

    // SetValue clamps and tells whether anything changed.
    EXPECT_TRUE(scroll->SetValue(3.0f));
    EXPECT_FLOAT_EQ(1.0f, scroll->value);
    EXPECT_FALSE(scroll->SetValue(1.5f));

    // The bar: over it, a press takes the capture; the drag maps y from the top.
    Frame();
    MouseAt(0.0f, 0.2f);
    scroll->SetState(4);
    Press(INPUT_MOUSE_LEFT);
    EXPECT_FALSE(scroll->MouseOver());
    Frame();
    MouseAt(0.0f, 0.0f);
    EXPECT_TRUE(scroll->CapturedInput());
    EXPECT_NEAR(0.5f, scroll->value, 1e-5);
    g_input.Set(INPUT_MOUSE_LEFT, KEY_WENT_UP);
    EXPECT_FALSE(scroll->CapturedInput());

    // Moving the open scroll keeps its point at the value's place.
    scroll->SetValue(0.5f);
    scroll->SetPosition(1.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(1.0f, scroll->point->position.x);
    EXPECT_NEAR(0.0f, scroll->point->position.y, 1e-5);
}

// ---- "edit" ----------------------------------------------------------------------------

TEST_F(ValueControlsTest, EditTakesOnlyWhatFits) {
    LetterFont letters;
    auto edit = Make<EditControl>(
        "<edit name=\"e\" model=\"EDIT\" max_len=\"3\" chars=\"abcdefghijklmnopqrstuvwxyz\""
        " OnCharTyped=\"Record(typed)\" OnCharErased=\"Record(erased)\"/>");
    edit->font = &letters.font;
    Open(*edit);
    for (char c : std::string("abcd")) {
        Type(c);
        EXPECT_TRUE(edit->CapturedInput());
        Frame();
    }
    EXPECT_STREQ("abc", edit->text);
    EXPECT_EQ(3, Count("typed"));  // not for the refused fourth
    Press(INPUT_KEY_BACKSPACE);
    EXPECT_TRUE(edit->CapturedInput());
    EXPECT_STREQ("ab", edit->text);
    EXPECT_EQ(1, Count("erased"));
    Frame();
    // The caret sits behind the last character.
    EXPECT_NEAR(-0.11f + 2 * 0.025f, edit->cursor->position.x, 1e-5);

    // Allowed characters and letter case.
    auto digits = Make<EditControl>("<edit name=\"d\" model=\"EDIT\" chars=\"0123456789\"/>");
    Open(*digits);
    Type('x');
    digits->CapturedInput();
    Type('7');
    digits->CapturedInput();
    EXPECT_STREQ("7", digits->text);
    auto upper = Make<EditControl>("<edit name=\"u\" model=\"EDIT\" chars=\"abc\" style=\"uppercase\"/>");
    Open(*upper);
    Type('a');
    upper->CapturedInput();
    EXPECT_STREQ("A", upper->text);

    // The text area bounds the text: 8 letters of 0.025 fit 0.22, a ninth
    // comes out again (its OnCharTyped still runs).
    auto wide = Make<EditControl>("<edit name=\"w\" model=\"EDIT\" chars=\"abc\" OnCharTyped=\"Record(w)\"/>");
    wide->font = &letters.font;
    Open(*wide);
    for (int i = 0; i < 9; ++i) {
        Type('a');
        wide->CapturedInput();
    }
    EXPECT_STREQ("aaaaaaaa", wide->text);
    EXPECT_EQ(9, Count("w"));

    // Without a font nothing measures the text: the buffer still ends it.
    auto unbounded = Make<EditControl>("<edit name=\"n\" model=\"EDIT\" chars=\"z\" max_len=\"100000\"/>");
    Open(*unbounded);
    EXPECT_EQ(0, unbounded->maxLength);  // out of range: no limit but the others
    for (int i = 0; i < 400; ++i) {
        Type('z');
        unbounded->CapturedInput();
    }
    EXPECT_EQ(255u, std::strlen(unbounded->text));

    std::string longText(400, 'q');
    EditControl::SetText(unbounded.get(), "%s!", longText.c_str());
    EXPECT_EQ(255u, std::strlen(unbounded->text));
    EditControl::SetText(unbounded.get(), "%i", 42);
    EXPECT_STREQ("42", unbounded->text);
    EditControl::SetText(nullptr, "x");
}

TEST_F(ValueControlsTest, EditAnchorsItsTextByItsAlignment) {
    // The cursor box is 0.22 x 0.1 around P = (0.3, -0.2, 0.5).
    const char* kinds[] = {"left", "center", "right"};
    // Left end, centre, right end; always on the box's middle line.
    const float want[3][3] = {{0.19f, -0.2f, 0.5f}, {0.3f, -0.2f, 0.5f}, {0.41f, -0.2f, 0.5f}};
    for (int k = 0; k < 3; ++k) {
        auto edit = Make<EditControl>(std::string("<edit name=\"e\" model=\"EDIT\" pos=\"0.3,-0.2,0.5\" horizontal=\"") +
                                      kinds[k] + "\"/>");
        Open(*edit);
        EXPECT_NEAR(want[k][0], edit->anchor.x, 1e-5) << kinds[k];
        EXPECT_NEAR(want[k][1], edit->anchor.y, 1e-5) << kinds[k];
        EXPECT_NEAR(want[k][2], edit->anchor.z, 1e-5) << kinds[k];
    }
}

TEST_F(ValueControlsTest, EditEndsOnEnterOrAClickOutside) {
    auto edit = Make<EditControl>(
        "<edit name=\"e\" model=\"EDIT\" chars=\"abc\" OnStartEdit=\"Record(start)\" OnEndEdit=\"EndEdit(end)\"/>");
    Open(*edit);
    Press(INPUT_MOUSE_LEFT);
    MouseAt(0.0f, 0.0f);
    EXPECT_FALSE(edit->MouseOver());  // a click starts editing
    edit->TakeCapture();
    EXPECT_EQ(1, Count("start"));
    Frame();

    // OnEndEdit answering false keeps the field.
    g_endEditAnswer = false;
    Press(INPUT_KEY_ENTER);
    EXPECT_TRUE(edit->CapturedInput());
    EXPECT_EQ(1, Count("end"));
    Frame();
    // A click inside does not end it; outside it does, like Enter.
    g_endEditAnswer = true;
    Press(INPUT_MOUSE_LEFT);
    EXPECT_TRUE(edit->CapturedInput());
    EXPECT_EQ(1, Count("end"));
    Frame();
    MouseAt(0.0f, 0.5f);
    Press(INPUT_MOUSE_RIGHT);
    EXPECT_FALSE(edit->CapturedInput());
    EXPECT_EQ(2, Count("end"));
    Frame();
    // A disabled field lets go at once.
    edit->SetFlags(GUI_FLAG_DISABLED, GUI_FLAGS_STATE);
    EXPECT_FALSE(edit->CapturedInput());
}

// ---- "list" ------------------------------------------------------------------------------

class ListTest : public ValueControlsTest {
protected:
    void SetUp() override {
        ValueControlsTest::SetUp();
        rows.AddLine("Anna");
        rows.AddLine("Bert");
        rows.AddLine("Cleo");
    }
    // A list of the rows above, with 5 row places of 0.1 from y 0.25 down to
    // -0.25 (row r centred at 0.2 - 0.1 r).
    std::unique_ptr<ListControl> MakeList(const std::string& extra = " lines=\"5\"") {
        auto list = Make<ListControl>("<list name=\"l\" model=\"LIST\"" + extra +
                                      " OnSelect=\"Record(select)\" OnSuccessEdit=\"Record(ok)\""
                                      " OnFailedEdit=\"Record(failed)\"/>");
        list->rows = &rows;
        if (list->layout.linesShown == 0) list->layout.linesShown = 3;
        list->font = &letters.font;
        Open(*list);
        return list;
    }
    static float RowCentre(int r) { return 0.2f - 0.1f * r; }
    TextBlock rows;
    LetterFont letters;
};

TEST_F(ListTest, HighlightsAndSelectsOnlyRealRows) {
    auto list = MakeList();
    EXPECT_EQ(5, list->layout.linesShown);
    MouseAt(0.0f, RowCentre(1));
    EXPECT_TRUE(list->MouseOver());
    EXPECT_NE(nullptr, list->highlight->clip);
    EXPECT_FLOAT_EQ(RowCentre(1), list->highlight->position.y);
    Press(INPUT_MOUSE_LEFT);
    EXPECT_TRUE(list->MouseOver());
    EXPECT_EQ(1, list->selected);
    EXPECT_EQ(1, Count("select"));
    EXPECT_FLOAT_EQ(RowCentre(1), list->selection->position.y);
    Frame();

    // The two empty places highlight nothing and select nothing.
    for (int r : {3, 4}) {
        MouseAt(0.0f, RowCentre(r));
        Press(INPUT_MOUSE_LEFT);
        EXPECT_TRUE(list->MouseOver());
        EXPECT_EQ(nullptr, list->highlight->clip) << r;
        EXPECT_EQ(1, list->selected);
        Frame();
    }
    EXPECT_EQ(1, Count("select"));

    // A selection the list cannot show is hidden, not drawn on an empty place.
    list->selected = 7;
    list->Update();
    EXPECT_EQ(nullptr, list->selection->clip);
}

TEST_F(ListTest, FollowsItsScrollAndKeepsRowCountsBounded) {
    TextBlock ten;
    for (int i = 0; i < 10; ++i) ten.AddLine("row");
    ScrollControl scroll;
    scroll.value = 0.5f;
    auto list = MakeList(" lines=\"4\"");
    list->rows = &ten;
    list->scroll = &scroll;
    list->Update();
    EXPECT_EQ(3, list->layout.firstLine);  // integer part of 6.9999 x 0.5
    scroll.value = 1.0f;
    list->Update();
    EXPECT_EQ(6, list->layout.firstLine);
    list->rows = &rows;  // fewer rows than places: from the top
    list->Update();
    EXPECT_EQ(0, list->layout.firstLine);

    // A text of 300 rows shows a bounded number of them; "lines" out of
    // range is refused.
    EXPECT_EQ(kMaxShownLines, Make<ListControl>("<list name=\"m\" text=\"MANY\"/>")->layout.linesShown);
    EXPECT_EQ(kMaxShownLines,
              Make<ListControl>("<list name=\"m\" text=\"MANY\" lines=\"100000\"/>")->layout.linesShown);
    EXPECT_EQ(2, Make<ListControl>("<list name=\"m\" text=\"MANY\" lines=\"2\"/>")->layout.linesShown);
}

TEST_F(ListTest, EditsTheRowItStartedOn) {
    auto list = MakeList();
    list->selected = 0;
    list->SetState(GUI_STATE_INACTIVE);  // the game starts an edit so
    ASSERT_TRUE(list->IsEditing());
    EXPECT_STREQ("Anna", list->editBuffer);

    Press(INPUT_KEY_BACKSPACE);
    EXPECT_TRUE(list->CapturedInput());
    Frame();
    Type('e');
    EXPECT_TRUE(list->CapturedInput());
    EXPECT_STREQ("Anne", rows.Line(0));  // the row shows the edit
    Frame();
    Type('5');  // letters only
    EXPECT_TRUE(list->CapturedInput());
    Frame();

    // The selection moves meanwhile: the edit stays on its row.
    MouseAt(0.0f, RowCentre(2));
    Press(INPUT_MOUSE_LEFT);
    list->MouseOver();
    EXPECT_EQ(2, list->selected);
    EXPECT_EQ(0, list->EditedRow());
    Frame();
    Press(INPUT_KEY_ENTER);
    EXPECT_FALSE(list->CapturedInput());  // done: the capture goes
    EXPECT_STREQ("Anne", rows.Line(0));
    EXPECT_STREQ("Cleo", rows.Line(2));
    EXPECT_EQ(1, Count("ok"));
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(GUI_STATE_IDLE, list->state);
    Frame();

    // An empty name is not taken by Enter.
    list->selected = 1;
    list->SetState(GUI_STATE_INACTIVE);
    for (int i = 0; i < 4; ++i) {
        Press(INPUT_KEY_BACKSPACE);
        list->CapturedInput();
        Frame();
    }
    Press(INPUT_KEY_ENTER);
    EXPECT_TRUE(list->CapturedInput());
    EXPECT_TRUE(list->IsEditing());
    Frame();

    // Leaving drops the edit: the row gets its text back and the capture is
    // given up at the next turn, whatever is typed.
    list->MouseLeave();
    EXPECT_STREQ("Bert", rows.Line(1));
    EXPECT_EQ(1, Count("failed"));
    Type('x');
    EXPECT_FALSE(list->CapturedInput());
    EXPECT_STREQ("Bert", rows.Line(1));

    // Without a row to edit nothing starts.
    list->selected = 9;
    list->SetState(GUI_STATE_INACTIVE);
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(GUI_STATE_IDLE, list->state);
}

TEST_F(ListTest, RowEditsStayInsideTheBuffer) {
    TextBlock one;
    one.AddLine("a");
    auto list = MakeList();
    list->rows = &one;
    list->font = nullptr;  // nothing measures the row
    list->selected = 0;
    list->SetState(GUI_STATE_INACTIVE);
    for (int i = 0; i < 400; ++i) {
        Type('w');
        list->CapturedInput();
    }
    EXPECT_EQ(255u, std::strlen(list->editBuffer));
    EXPECT_EQ(255u, std::strlen(one.Line(0)));
    // Dropping the list gives the row back.
    list->ReleaseVisuals();
    EXPECT_STREQ("a", one.Line(0));
}

TEST_F(ListTest, OpensAndClosesWithoutRows) {
    auto list = Make<ListControl>("<list name=\"l\" model=\"LIST\" lines=\"3\"/>");
    list->BuildVisuals();
    list->stateFlags |= GUI_FLAG_OPEN;
    list->SetState(GUI_STATE_OPENING);
    ASSERT_FALSE(list->body->finished);
    for (int i = 0; i < 50 && list->state == GUI_STATE_OPENING; ++i) {
        list->Draw();
        Frame();
        list->Update();
    }
    EXPECT_EQ(GUI_STATE_IDLE, list->state);
    list->SetState(GUI_STATE_CLOSING);
    for (int i = 0; i < 50 && list->state == GUI_STATE_CLOSING; ++i) {
        list->Draw();
        Frame();
        list->Update();
    }
    EXPECT_EQ(GUI_STATE_CLOSED, list->state);
}

// The whole round through the manager: a click selects and starts an edit
// (as the game's callback does), the mouse leaves, the edit is dropped and
// the list is no longer the active control.
ListControl* g_editedList = nullptr;
bool StartRowEdit(void* sender, const char*) {
    g_editedList = static_cast<ListControl*>(sender);
    g_editedList->SetState(GUI_STATE_INACTIVE);
    g_guiManager.SetActiveControl(g_editedList);
    return true;
}

TEST_F(ListTest, ClickingElsewhereCancelsTheEditAndFreesTheCapture) {
    g_guiManager.RegisterCallback("StartRowEdit", StartRowEdit);
    TiXmlDocument doc;
    doc.Parse("<gui start_screen=\"S\"><screen name=\"S\">"
              "<list name=\"L\" model=\"LIST\" lines=\"3\" OnSelect=\"StartRowEdit()\" OnFailedEdit=\"Record(failed)\"/>"
              "</screen></gui>");
    ASSERT_TRUE(g_guiManager.LoadDocument(doc, CreateGenericGuiControl)) << g_guiManager.GetError();
    auto* list = dynamic_cast<ListControl*>(g_guiManager.FindControl("S.L"));
    ASSERT_NE(nullptr, list);
    list->rows = &rows;
    list->font = &letters.font;
    g_guiManager.RunCommands();
    for (int i = 0; i < 20 && list->state != GUI_STATE_IDLE; ++i) {
        g_guiManager.Update();
        g_guiManager.Draw();
        Frame();
    }
    ASSERT_EQ(GUI_STATE_IDLE, list->state);

    // Rows at 0.1, 0.0, -0.1 (3 places).
    MouseAt(0.0f, 0.0f);
    g_guiManager.Update();
    Frame();
    Press(INPUT_MOUSE_LEFT);
    g_guiManager.Update();
    ASSERT_EQ(list, g_guiManager.GetActiveControl());
    EXPECT_EQ(1, list->EditedRow());
    Frame();
    Type('z');
    g_guiManager.Update();
    EXPECT_STREQ("Bertz", rows.Line(1));
    Frame();

    MouseAt(0.0f, 0.9f);  // off the list
    g_guiManager.Update();
    EXPECT_STREQ("Bert", rows.Line(1));
    EXPECT_EQ(1, Count("failed"));
    EXPECT_EQ(nullptr, g_guiManager.GetActiveControl());
    Frame();
    Type('q');
    g_guiManager.Update();
    EXPECT_STREQ("Bert", rows.Line(1));
    g_guiManager.Clear();
    EXPECT_STREQ("Bert", rows.Line(1));
}

}  // namespace

// A slider or scroll bar under the pointer while its screen closes must go
// on closing, or the screen change would wait for ever.
TEST(ValueControlsClosing, LeavingTheMouseDoesNotReopenAClosingControl) {
    SliderControl slider;
    ScrollControl scroll;
    GuiControl* controls[] = {&slider, &scroll};
    for (GuiControl* c : controls) {
        c->state = GUI_STATE_CLOSING;
        c->MouseLeave();
        EXPECT_EQ(GUI_STATE_CLOSING, c->state);
        c->state = GUI_STATE_CLOSED;
        c->MouseLeave();
        EXPECT_EQ(GUI_STATE_CLOSED, c->state);
    }
}
