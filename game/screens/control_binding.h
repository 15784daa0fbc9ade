// The game code's references to the loaded GUI document, by position: the
// k-th screen, window and group of the document and the first controls of
// each, as content/gui/bindings.xml lays them down (gui_bindings.h). A
// control the document does not have is a null reference.
#pragma once
#include <vector>

#include "gui_bindings.h"

class GuiControl;
class GuiGroup;
class GuiScreen;
class GuiWindow;

class BoundGui {
public:
    void Clear();

    GuiScreen* Screen(int k) const { return k >= 0 && k < kBoundScreenCount ? screens[k] : nullptr; }
    GuiWindow* Window(int k) const { return k >= 0 && k < kBoundWindowCount ? windows[k] : nullptr; }
    GuiGroup* Group(int k) const { return k >= 0 && k < kBoundGroupCount ? groups[k] : nullptr; }
    // Null outside the bound range or where the document holds fewer.
    GuiControl* ScreenControl(int k, int i) const { return At(screenControls, kBoundScreenCount, k, i); }
    GuiControl* WindowControl(int k, int i) const { return At(windowControls, kBoundWindowCount, k, i); }
    GuiControl* GroupControl(int k, int i) const { return At(groupControls, kBoundGroupCount, k, i); }

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

    GuiScreen* screens[kBoundScreenCount] = {};
    GuiWindow* windows[kBoundWindowCount] = {};
    GuiGroup* groups[kBoundGroupCount] = {};
    std::vector<GuiControl*> screenControls[kBoundScreenCount];
    std::vector<GuiControl*> windowControls[kBoundWindowCount];
    std::vector<GuiControl*> groupControls[kBoundGroupCount];

private:
    static GuiControl* At(const std::vector<GuiControl*>* table, int count, int k, int i) {
        if (k < 0 || k >= count || i < 0 || i >= (int)table[k].size()) return nullptr;
        return table[k][i];
    }
};

extern BoundGui g_bound;

// Takes the references from the GUI manager's loaded document, fills the
// round controller's GameControls from them and hands the status bar its
// message text and timer. Run once right after the document has loaded;
// containers or controls the document lacks stay null.
void BindGameControls();
