// The game code's references to the loaded GUI document, by position: the
// k-th screen, window and group of the document and the first controls of
// each, as the running edition's table of positions lays them down (its
// bindings.xml, made into a GuiPositions by qvgui). A control the document
// does not have is a null reference.
#pragma once
#include <vector>

#include "gui_positions.h"

class GuiControl;
class GuiGroup;
class GuiScreen;
class GuiWindow;

// The running edition's positions. The code shared by the editions reads
// every position through here, never through an edition's constants; the
// full edition's table until an edition names its own (UsePositions, at
// start, before the document loads). A position the edition's document does
// not hold is kNoPosition, which every accessor below answers with null.
const GuiPositions& Pos();
void UsePositions(const GuiPositions& table);
// The full edition's table.
const GuiPositions& FullEditionPositions();

class BoundGui {
public:
    void Clear();

    GuiScreen* Screen(int k) const { return In(screens, k) ? screens[k] : nullptr; }
    GuiWindow* Window(int k) const { return In(windows, k) ? windows[k] : nullptr; }
    GuiGroup* Group(int k) const { return In(groups, k) ? groups[k] : nullptr; }
    // Null outside the bound range or where the document holds fewer.
    GuiControl* ScreenControl(int k, int i) const { return At(screenControls, k, i); }
    GuiControl* WindowControl(int k, int i) const { return At(windowControls, k, i); }
    GuiControl* GroupControl(int k, int i) const { return At(groupControls, k, i); }

    // The typed views; null for a control of another kind.
    template <class T>
    T* ScreenAs(int k, int i) const {
        return dynamic_cast<T*>(ScreenControl(k, i));
    }
    template <class T>
    T* WindowAs(int k, int i) const {
        return dynamic_cast<T*>(WindowControl(k, i));
    }
    template <class T>
    T* GroupAs(int k, int i) const {
        return dynamic_cast<T*>(GroupControl(k, i));
    }

    // One entry per bound container of the running edition's table.
    std::vector<GuiScreen*> screens;
    std::vector<GuiWindow*> windows;
    std::vector<GuiGroup*> groups;
    std::vector<std::vector<GuiControl*>> screenControls;
    std::vector<std::vector<GuiControl*>> windowControls;
    std::vector<std::vector<GuiControl*>> groupControls;

private:
    template <class T>
    static bool In(const std::vector<T>& v, int k) {
        return k >= 0 && k < (int)v.size();
    }
    static GuiControl* At(const std::vector<std::vector<GuiControl*>>& table, int k, int i) {
        if (!In(table, k) || i < 0 || i >= (int)table[k].size()) return nullptr;
        return table[k][i];
    }
};

extern BoundGui g_bound;

// Takes the references from the GUI manager's loaded document into g_bound,
// by the running edition's table (Pos()). Containers or controls the document
// lacks stay null.
void BindDocumentPositions();

// BindDocumentPositions, then fills the round controller's GameControls from
// the references and hands the status bar its message text and timer. Run
// once right after the document has loaded; a reference whose position the
// edition's table does not name, or whose control the document lacks, stays
// null.
void BindGameControls();
