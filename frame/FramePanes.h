#pragma once
// CFramePanes: the side panels of the main frame (the Explorer Bar: Favorites, History, Popup
// Blocker, Ad-Filter, then the plug-ins' panes) as the frame's commands see them: a list of panes
// in the order of their commands (52700 + index), each with its content window, caption, icon and
// whether it is shown. This is the frame's one seam to the docking framework: AddDockingPane is
// where a pane becomes a docking window, and SaveState / LoadState keep the layout. Until the
// docking framework lands it keeps the list and the visibility and shows no pane: the content
// windows stay hidden children of the frame.
//
// Lifetime: the frame holds the object; the content windows are the frame's children and are
// destroyed with it; the icons are owned here and destroyed with the object.
#include "core/library/StdStr.h"

#include <windows.h>

#include <vector>

class CFramePanes {
public:
    CFramePanes() = default;
    ~CFramePanes();
    CFramePanes(const CFramePanes&) = delete;
    CFramePanes& operator=(const CFramePanes&) = delete;

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

    // The layout under "<section>\Docker" of the settings store: one value per pane caption.
    void SaveState(const char* section) const;
    void LoadState(const char* section);

private:
    struct CPane {
        HWND content = nullptr;  // not owned: a child of the frame
        TStdStr<char> caption;
        HICON icon = nullptr;  // owned
        bool visible = false;
    };
    std::vector<CPane> m_panes;
};
