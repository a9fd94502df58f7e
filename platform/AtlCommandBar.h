// The command bar: a toolbar whose buttons are the top-level items of a menu and which tracks
// their popups, standing in for the frame's own menu bar. CCommandBarCtrlImpl is the bar itself:
// clicks and hot tracking from one open popup to the next, and keyboard access (Alt alone or F10
// makes the bar hot, Left and Right move between items, Down, Up or Return open the hot item,
// Alt+mnemonic or a plain mnemonic while the bar is hot opens its popup, Escape closes the popup
// and then leaves the bar). CMDICommandBarCtrlImpl adds an MDI client: the maximised child's icon
// at the bar's left and its minimise, restore and close buttons at the right, which act on that
// child, and the menus the client is given (WM_MDISETMENU).
//
// Hooks: a thread WH_GETMESSAGE hook watches the keys of the bar's top-level window while any bar
// of the thread exists; a WH_MSGFILTER hook watches the menu loop while a popup of the bar is open.
// The bar subclasses its parent (map 1) and the MDI client (map 2) with contained windows, so
// that derived bars add entries to those maps (ALT_MSG_MAP(1), ALT_MSG_MAP(2)) and chain to the
// base with CHAIN_MSG_MAP_ALT.
//
// Lifetime: the frame holds the bar object (a member); the bar window is a child of the frame
// (or of the frame's rebar) and is destroyed with it. The menu stays the caller's: the bar never
// destroys it. UI thread only.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/AtlCtrls.h"
#include "platform/AtlRes.h"
#include "platform/AtlWin.h"

// The bar's private messages. wParam: the item to open; lParam: nonzero when opened from the
// keyboard (the popup's first item is then selected).
inline constexpr UINT CBRM_OPENITEM = WM_USER + 302;
// wParam: an item; answers the item's popup (part of the attached menu), or null.
inline constexpr UINT CBRM_GETITEMPOPUP = WM_USER + 303;

// The window class of the bar (a superclass of the toolbar).
inline constexpr char kCommandBarClassName[] = "_CommandBar";

// The bar's buttons carry these command ids: the first plus the item's position in the menu.
inline constexpr int kCommandBarFirstButtonId = 0xA000;

#define ATL_SIMPLE_CMDBAR_PANE_STYLE                                                                  \
    (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE |       \
     CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_LIST)

// The mnemonic of a menu text: the lower-case character after the first single '&', 0 for none.
char AtlMenuMnemonic(const char* text) noexcept;

class CCommandBarCtrlImpl : public CWindowImpl<CCommandBarCtrlImpl, CToolBarCtrl>
{
public:
    DECLARE_WND_SUPERCLASS(kCommandBarClassName, TOOLBARCLASSNAMEA)

    CCommandBarCtrlImpl();
    ~CCommandBarCtrlImpl() override;

    // Creates the bar as a child of `parent` (a frame, or the frame's rebar, whose parent is then
    // the frame that gets the commands).
    HWND Create(HWND parent, _U_RECT rect = nullptr, LPCSTR name = nullptr, DWORD style = ATL_SIMPLE_CMDBAR_PANE_STYLE,
                DWORD exStyle = 0, UINT id = ATL_IDW_COMMAND_BAR) noexcept;

    // Shows the menu's top-level items as buttons; null empties the bar. The menu is not owned.
    BOOL AttachMenu(HMENU menu);
    HMENU GetMenu() const noexcept { return m_hMenu; }
    // The window the chosen commands are posted to (WM_COMMAND); the frame by default.
    HWND GetCommandTarget() const noexcept { return m_hWndTarget; }

    // Tracks one of the bar's popups; derived bars replace this (owner-drawn items, flat frames).
    // Returns the chosen command (TPM_RETURNCMD is in flags), 0 for none.
    virtual UINT DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params);

    // Opens the popup of item `index` and goes on from popup to popup while the user moves the
    // mouse or the arrow keys to another item; returns when no popup is open any more.
    void OpenItem(int index, bool fromKeyboard);

    // Keyboard mode: the bar is hot without an open popup and takes the arrow keys.
    void EnterKeyboardMode(int hotItem);
    void LeaveKeyboardMode();
    bool IsKeyboardMode() const noexcept { return m_keyboardMode; }
    // The item whose popup is open, -1 for none.
    int GetTrackingItem() const noexcept { return m_trackingItem; }
    // The item shown hot in keyboard mode, -1 for none.
    int GetHotItem() const noexcept { return m_keyboardMode ? m_hotItem : -1; }
    // Whether mnemonic underlines are to be shown (keyboard use), for bars that draw themselves.
    bool IsShowingCues() const noexcept { return m_showCues; }
    int GetItemCount() const noexcept { return static_cast<int>(m_items.size()); }
    // The item whose mnemonic is `ch`, -1 for none.
    int FindMnemonic(char ch) const noexcept;

    BEGIN_MSG_MAP(CCommandBarCtrlImpl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
        MESSAGE_HANDLER(CBRM_GETCMDBAR, OnGetCmdBar)
        MESSAGE_HANDLER(CBRM_OPENITEM, OnOpenItem)
        MESSAGE_HANDLER(CBRM_GETITEMPOPUP, OnGetItemPopup)
    ALT_MSG_MAP(1) // the parent
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnParentSysCommand)
        MESSAGE_HANDLER(WM_ACTIVATE, OnParentActivate)
    ALT_MSG_MAP(2) // the MDI client
    END_MSG_MAP()

    // A bar hooked into a frame's message loop: the thread's message hook calls this for every
    // keyboard message retrieved for the bar's top-level window; true when the bar used it.
    bool OnKeyboardMessage(MSG& msg);
    // The menu loop's message filter while this bar tracks: true when the message is used up.
    bool OnMenuMessage(const MSG& msg);

protected:
    struct CItem {
        std::string text;
        char mnemonic = 0;
        bool enabled = true;
        HMENU popup = nullptr; // not owned: part of the attached menu
        UINT command = 0;      // for a top-level item without a popup
    };

    // Button rectangle of an item in screen coordinates.
    RECT GetItemScreenRect(int index) const;
    // The next enabled item from `index` in direction `step` (wrapping), or index itself.
    int NextEnabledItem(int index, int step) const;
    // Whether a top-level item of the menu gets a button: separators and bitmap items (the
    // maximised MDI child's system menu and caption buttons, which the MDI client adds to a frame
    // menu) do not.
    virtual bool IsBarItem(HMENU menu, int position) const;
    // The bar changed size (menu attached, maximised child changed): the band follows.
    virtual void OnBarItemsChanged() {}

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetCmdBar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnOpenItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetItemPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnParentSysCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnParentActivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void SetHot(int index);
    void PressItem(int index, bool press);

    HMENU m_hMenu = nullptr;   // not owned
    HWND m_hWndTarget = nullptr; // the frame: not owned
    CContainedWindow m_wndParent{this, 1};
    std::vector<CItem> m_items;
    int m_trackingItem = -1;
    int m_nextItem = -1;        // the item to open after the current popup closed
    bool m_nextFromKeyboard = false;
    bool m_escapeToBar = false; // Escape closed the top popup: the bar stays hot
    bool m_keyboardMode = false;
    bool m_showCues = false;
    int m_hotItem = -1;
    HMENU m_trackedPopup = nullptr;  // the popup of the open item: not owned
    HMENU m_selectedMenu = nullptr;  // the menu of the selected item while tracking: not owned
    bool m_selectedHasPopup = false;
    bool m_altAlone = false;    // Alt went down with no other key since
    bool m_f10Alone = false;
    RECT m_closingClick = {};   // the tracking button: a click on it closes the popup only
    bool m_eatClick = false;
};

// The MDI command bar: CCommandBarCtrlImpl with an MDI client and its maximised child.
class CMDICommandBarCtrlImpl : public CCommandBarCtrlImpl
{
public:
    // The parts of the maximised child's area, for tests and drawing.
    enum EMdiPart : int { kMdiNone = -1, kMdiIcon = 0, kMdiMinimize = 1, kMdiRestore = 2, kMdiClose = 3 };

    CMDICommandBarCtrlImpl() = default;
    ~CMDICommandBarCtrlImpl() override = default;

    // Watches the MDI client: its menus and its maximised child.
    BOOL SetMDIClient(HWND client);
    HWND GetMDIClient() const noexcept { return m_wndMDIClient.m_hWnd; }
    HWND GetMaximizedChild() const noexcept { return m_hWndMaximized; }
    // Reads the client's active child and its maximised state again and updates the bar.
    void UpdateMaximizedChild();
    // The rectangle of a part in the bar's window coordinates (empty while no child is maximised).
    RECT GetMdiPartRect(int part) const;
    // The width the maximised child's icon and caption buttons take on the bar (0 without one).
    int GetMdiAreaWidth() const noexcept;
    // The same while a child is maximised, whether one is or not.
    static int GetMaximizedAreaWidth() noexcept;

    BEGIN_MSG_MAP(CMDICommandBarCtrlImpl)
        MESSAGE_HANDLER(WM_DESTROY, OnMdiBarDestroy)
        MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
        MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
        MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        CHAIN_MSG_MAP(CCommandBarCtrlImpl)
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_SETTEXT, OnParentSetText)
        CHAIN_MSG_MAP_ALT(CCommandBarCtrlImpl, 1)
    ALT_MSG_MAP(2)
        MESSAGE_HANDLER(WM_MDISETMENU, OnMdiSetMenu)
        MESSAGE_RANGE_HANDLER(WM_MDICREATE, WM_MDIREFRESHMENU, OnMdiMessage)
        CHAIN_MSG_MAP_ALT(CCommandBarCtrlImpl, 2)
    END_MSG_MAP()

protected:
    // The maximised child changed (or went): derived bars resize their band.
    virtual void OnMaximizedChildChanged(HWND previous, HWND current);
    // Draws the icon and the caption buttons (the one held down pushed) into the window DC.
    virtual void DrawMdiParts(HDC dc);
    // The part under a point in the bar's window coordinates.
    int MdiPartFromPoint(POINT windowPoint) const;
    // Carries out a caption button's command on the maximised child.
    void RunMdiPart(int part);

    LRESULT OnMdiBarDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCaptureChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnParentSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMdiSetMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMdiMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void RedrawMdiParts();

    CContainedWindow m_wndMDIClient{this, 2};
    HWND m_hWndMaximized = nullptr; // the client's maximised child: not owned
    HICON m_hIconChild = nullptr;   // the child's small icon: the child's or its class's, not owned
    int m_pressedPart = kMdiNone;   // the caption button held down (mouse captured)
    bool m_pressedInside = false;
};

// Draws one caption button face (minimise, restore or close) with lines of its own, so that the
// glyphs do not depend on a symbol font being installed.
void AtlDrawCaptionButton(HDC dc, const RECT& rect, int part, bool pushed) noexcept;
// The glyph alone, in the given colour.
void AtlDrawCaptionGlyph(HDC dc, const RECT& rect, int part, COLORREF color) noexcept;
