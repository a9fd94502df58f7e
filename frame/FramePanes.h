#pragma once
// CFramePanes: the side panels of the main frame (the Explorer Bar: Favorites, History, Popup
// Blocker, Ad-Filter, then the plug-ins' panes) as the frame's commands see them: a list of panes
// in the order of their commands (52700 + index), each with its content window, caption, icon and
// whether it is shown. Once AttachFrame has named the frame (a frame that takes in the docking
// layer), each pane is a docking window (CDockingWindow) docked at the left side, hidden until
// shown, and CDockingState keeps the layout across runs; without a frame the list keeps only the
// visibility and the content windows stay hidden children of their parent.
//
// Lifetime: the frame holds the object; the content windows are the frame's children and are
// destroyed with it; the docking windows own themselves and go with the frame's window (their
// handles are checked before use); the icons are owned here and destroyed with the object.
#include "core/library/StdStr.h"

#include <windows.h>

#include <memory>
#include <vector>

class CDockingState;
class CDockingWindow;

class CFramePanes {
public:
    CFramePanes();
    ~CFramePanes();
    CFramePanes(const CFramePanes&) = delete;
    CFramePanes& operator=(const CFramePanes&) = delete;

    // The frame whose docking layer takes the panes added from now on.
    void AttachFrame(HWND frame);
    // The pane is appended; its index is the answer. The icon becomes the list's.
    int AddDockingPane(HWND content, const char* caption, HICON icon);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    bool IsVisible(int index) const;
    HWND GetContent(int index) const;
    const TStdStr<char>& GetCaption(int index) const;
    // Shows a hidden pane and hides a shown one; false for an index out of range.
    bool Toggle(int index);
    void Show(int index, bool show);
    void ShowAll();
    void HideAll();
    // Tells every content window WM_CLOSE (the frame's close sequence).
    void CloseAll();
    void DestroyIcons();

    // The layout under "<section>\Docker" of the settings store: one value per pane caption for
    // whether it is shown, and the docking state's records of where each pane is.
    void SaveState(const char* section) const;
    void LoadState(const char* section);
    // Puts the docking state's saved places back (the frame, once shown); false: no saved layout.
    bool RestoreLayout();
    // The pane's docking window while it lives, else null.
    CDockingWindow* GetDockingWindow(int index) const;

private:
    struct CPane {
        HWND content = nullptr;  // not owned: a child of the frame
        TStdStr<char> caption;
        HICON icon = nullptr;  // owned
        bool visible = false;
        CDockingWindow* dock = nullptr;  // owned by its window; valid while dockWindow is a window
        HWND dockWindow = nullptr;
    };
    std::vector<CPane> m_panes;
    HWND m_frame = nullptr;  // not owned
    std::unique_ptr<CDockingState> m_dockingState;
};
