#pragma once
// CFavoritesPane and CHistoryPane: the Favorites and the History side panels, plain child windows
// that a docking side panel hosts (caption "Favorites" / "History"). The Favorites panel has a
// toolbar with "Add..." (22870) and "Organize..." (22871), which it sends on to the main frame,
// above a CShellFolderTree of the Favorites; the History panel is the tree of the History folder.
// Command 221 refreshes the tree; the focus goes to the tree.
//
// Lifetime: the owner (the main frame's docking code) holds the object and destroys the window
// before it; the panel holds its toolbar and tree, destroyed with its window.
#include "navigation/favorites/ShellFolderTree.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

class CShellTreePane : public CWindowImpl<CShellTreePane> {
public:
    DECLARE_WND_CLASS_EX("_ShellTreePane", CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE)

    CShellTreePane(EShellTreeKind kind, CFavIconCache* icons = nullptr);
    ~CShellTreePane() override = default;
    CShellTreePane(const CShellTreePane&) = delete;
    CShellTreePane& operator=(const CShellTreePane&) = delete;

    HWND Create(HWND parent, UINT id = 0);
    CShellFolderTree& GetTree() { return m_tree; }
    HWND GetToolBar() const { return m_toolBar; }
    void RefreshTree();
    // True when the key message must go to the panel's controls rather than the frame's accelerators.
    bool PreTranslateMessage(const MSG* message) const;

    BEGIN_MSG_MAP(CShellTreePane)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void CreateToolBar();

    EShellTreeKind m_kind;
    CShellFolderTree m_tree;
    CToolBarCtrl m_toolBar;  // a child of the panel, destroyed with it
    int m_toolBarHeight = 0;
};

class CFavoritesPane : public CShellTreePane {
public:
    explicit CFavoritesPane(CFavIconCache* icons = nullptr) : CShellTreePane(EShellTreeKind::Favorites, icons) {}
};

class CHistoryPane : public CShellTreePane {
public:
    explicit CHistoryPane(CFavIconCache* icons = nullptr) : CShellTreePane(EShellTreeKind::History, icons) {}
};

constexpr UINT kFavoritesPaneToolBarId = 59393;
constexpr UINT kFavoritesPaneTreeId = 59394;
