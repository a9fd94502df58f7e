#pragma once
// CFramePanes: the side panels of the main frame (the Explorer Bar: Favorites, History, Popup
// Blocker, Ad-Filter, then the plug-ins' panes) as the frame's commands see them: a list of panes
// in the order of their commands (52700 + index), each a docking window of the frame that holds
// its content window, with its caption and icon. The first pane docks at the frame's left side,
// 250 pixels wide; every later pane joins the first one's place, so that they share it as tabs of
// one box. Showing, hiding and toggling go through the docking windows (a hidden pane comes back
// where it was), and the layout is kept with the docking framework's saved state, in the order the
// panes were added (the order names the stored values).
//
// Lifetime: the frame holds the object and calls Attach once its window exists. The docking
// windows own themselves (they go with the frame's window, which owns or parents them); the list
// keeps their handles and reaches a pane's object only while its window still lives. The content
// windows are the panes' children and go with them; the icons are owned here and destroyed with
// the object.
#include "core/library/StdStr.h"

#include <windows.h>

#include <memory>
#include <vector>

struct CDockPositionRecord;
class CDockingState;
class CDockingWindow;
class CSettingsStore;

class CFramePanes {
public:
    // The side of the first pane (left) and its width.
    static constexpr int kDefaultWidth = 250;
    static constexpr int kFloatingWidth = 400;
    static constexpr int kFloatingHeight = 300;

    CFramePanes();
    ~CFramePanes();
    CFramePanes(const CFramePanes&) = delete;
    CFramePanes& operator=(const CFramePanes&) = delete;

    // The frame the panes dock in, and the store of their layout (the program's when null; not
    // owned). Panes added before are not docked.
    void Attach(HWND frame, CSettingsStore* store = nullptr);
    HWND GetFrame() const { return m_frame; }

    // The content becomes the child of a new docking pane; the pane is appended and its index is
    // the answer. When no pane can be made (no frame attached, or the window is refused) the entry
    // is appended all the same, without a window: the content is hidden and kept by its parent,
    // and the later panes keep their commands. The icon becomes the list's; without one the pane
    // takes the content's small icon.
    int AddDockingPane(HWND content, const char* caption, HICON icon);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    // The pane's docking window while it lives, else null.
    CDockingWindow* GetPane(int index) const;
    HWND GetPaneWindow(int index) const;
    // Whether the pane shows: docked or floating and shown, and the shown tab of its box.
    bool IsVisible(int index) const;
    HWND GetContent(int index) const;
    const TStdStr<char>& GetCaption(int index) const;
    // Shows a hidden pane and hides a shown one; false for an index out of range.
    bool Toggle(int index);
    void Show(int index, bool show);
    void ShowAll();
    void HideAll();
    // Tells every pane window WM_CLOSE (the frame's close sequence: each hides where it is).
    void CloseAll();
    void DestroyIcons();

    // Every shown pane is brought up to date where it is shown (a pane in a box becomes the box's
    // shown tab), then the layout is written (the docking framework's "Settings\Docker").
    void SaveState();
    // Puts the panes where the saved layout has them; panes the layout does not know keep their
    // default place. The frame keeps its own window placement.
    void LoadState();

private:
    struct CPane {
        CDockingWindow* pane = nullptr;  // owned by its window; used only while that window lives
        HWND window = nullptr;           // the docking window
        HWND content = nullptr;  // a child of the docking window
        TStdStr<char> caption;
        HICON icon = nullptr;  // owned
    };
    bool Alive(int index) const;
    // The box (or lone pane) of a shown pane other than `index` docked at the side and bar of
    // `place`; null when there is none.
    HWND FindShownPlace(int index, const CDockPositionRecord& place) const;

    HWND m_frame = nullptr;             // not owned
    CSettingsStore* m_store = nullptr;  // not owned
    std::unique_ptr<CDockingState> m_state;
    std::vector<CPane> m_panes;
};
