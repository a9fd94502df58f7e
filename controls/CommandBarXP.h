#pragma once
// CCommandBarXP: the main frame's menu bar. The MDI command bar of the platform with the program's
// look: its popups are owner-drawn with command icons (the conversion and drawing of CIconMenu2)
// in flat frames whose top edge opens onto the pressed button, its own buttons, the registered
// toolbars and the rebar that holds it are painted in the flat colour scheme (grippers, band
// texts, the "»" chevron of a band too narrow for its child, whose popup lists the hidden
// buttons), and its band's ideal width follows the menu and the maximised child's icon and
// caption buttons.
//
// Use (the frame, in its WM_CREATE):
//   m_cmdBar.Create(rebar);                 // a child of the rebar; the frame gets the commands
//   HMENU menu = GetMenu(); SetMenu(nullptr); m_cmdBar.AttachMenu(menu); // the bar shows it now
//   AddReBarBand(rebar, m_cmdBar, id, nullptr, nullptr, false, 0, false); // not full width: a
//                                           // band that cannot shrink never shows its chevron
//   m_cmdBar.UpdateBandWidth();
//   m_cmdBar.SetMDIClient(m_hWndMDIClient); // after CreateMDIClient
//   m_cmdBar.AddToolBar(toolBar);           // every toolbar painted in the flat look
// The chosen commands reach the frame as posted WM_COMMAND (lParam 0); the popups' WM_INITMENUPOPUP
// and WM_MENUSELECT are sent to the frame (command states, status-bar prompts). PreTranslateMessage
// needs nothing: the bar's hooks watch the frame's keys themselves. Context menus and toolbar
// drop-downs go through DoTrackPopupMenu to get the same look.
//
// Lifetime: the frame holds the object as a member; the window is a child of the rebar and goes
// with the frame. UI thread only.
#include "controls/IconMenu2.h"
#include "controls/TabbedMDI.h"
#include "controls/ToolBarFlatLook.h"
#include "core/system/Holders.h"
#include "platform/AtlCommandBar.h"

#include <deque>
#include <vector>

class CCommandBarXP : public CMDICommandBarCtrlImpl {
public:
    // The bits of GetFlags.
    enum : DWORD {
        kBusyTracking = 0x01,   // a popup of the bar is open
        kItemsConverted = 0x04, // popups were made owner-drawn and are given back after the track
        kNoJoinedEdge = 0x10,   // popups do not hang from their button
    };

    CCommandBarXP();
    ~CCommandBarXP() override;
    CCommandBarXP(const CCommandBarXP&) = delete;
    CCommandBarXP& operator=(const CCommandBarXP&) = delete;

    // Tracks a popup through the bar: owner-drawn with icons, in flat frames, kept inside the
    // monitor's work area. With TPM_RETURNCMD the chosen command is returned; without it the
    // command goes to the frame as WM_COMMAND (the bar owns the popup, and would otherwise get
    // it) and the result is nonzero when there was one. 0 while the bar is busy (another popup
    // of it is open).
    UINT DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params = nullptr) override;

    // Toolbars of the frame painted in the flat look; a window not registered is left alone.
    void AddToolBar(HWND toolBar);
    void RemoveToolBar(HWND toolBar);
    // Sets the ideal width of the bar's band: its last button's right edge plus the maximised
    // child's icon and caption buttons. False when no band of the parent rebar holds the bar.
    bool UpdateBandWidth();

    DWORD GetFlags() const { return m_flags; }
    void SetJoinedEdge(bool joined) { m_flags = joined ? (m_flags & ~kNoJoinedEdge) : (m_flags | kNoJoinedEdge); }
    const CFlatColorScheme& GetScheme() const { return m_scheme; }
    // The menu windows open now, in creation order.
    const std::deque<HWND>& GetMenuWindows() const { return m_menuWindows; }
    // The band whose chevron the cursor is over, -1 for none.
    int GetHotChevron() const { return m_hotChevron; }
    // The tooltip of the caption buttons and the part it shows now (kMdiNone when hidden).
    HWND GetCaptionToolTip() const { return m_toolTip; }
    int GetCaptionToolTipPart() const { return m_toolTipPart; }
    SIZE GetImageSize() const { return m_imageSize; }
    SIZE GetButtonSize() const { return m_buttonSize; }

    BEGIN_MSG_MAP(CCommandBarXP)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_MENUCHAR, OnMenuChar)
        MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMove)
        MESSAGE_HANDLER(WM_NCMOUSELEAVE, OnNcMouseLeave)
        CHAIN_MSG_MAP(CMDICommandBarCtrlImpl)
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_NOTIFY, OnParentNotify)
        CHAIN_MSG_MAP_ALT(CMDICommandBarCtrlImpl, 1)
    ALT_MSG_MAP(3) // the rebar that holds the bar
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnReBarMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnReBarMouseLeave)
    ALT_MSG_MAP(2)
        MESSAGE_HANDLER(GetTabbedMdiMessages().maximized, OnChildMaximizedChanged)
        MESSAGE_HANDLER(GetTabbedMdiMessages().unmaximized, OnChildMaximizedChanged)
        CHAIN_MSG_MAP_ALT(CMDICommandBarCtrlImpl, 2)
    END_MSG_MAP()

protected:
    void OnBarItemsChanged() override;
    void OnMaximizedChildChanged(HWND previous, HWND current) override;
    void DrawMdiParts(HDC dc) override;

private:
    static LRESULT CALLBACK FlatMenuCbtHookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnCbt(int code, WPARAM wParam);
    HWND GetReBar() const;
    void ShowChevronMenu(const NMREBARCHEVRON& chevron);

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMeasureItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMenuChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcMouseLeave(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void HideCaptionToolTip();
    LRESULT OnParentNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnReBarMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnReBarMouseLeave(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    // Repaints a chevron whose hot state changed with the cursor now at `point` (rebar client
    // coordinates; outside the rebar for none).
    void UpdateHotChevron(POINT point);
    LRESULT OnChildMaximizedChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    DWORD m_flags = 0;
    CIconMenu2 m_iconMenu{true};   // converts, measures and draws the popups' items
    std::deque<HWND> m_menuWindows;
    std::vector<HWND> m_toolBars;  // not owned: the frame's toolbars
    CFlatColorScheme m_scheme;
    SIZE m_imageSize = {16, 16};
    SIZE m_buttonSize = {22, 22};
    int m_joinedEdge = 0;          // the width the next menu window's open edge gets; 0 after it
    HWND m_dropDownToolBar = nullptr; // a toolbar whose drop-down menu is open: not owned
    int m_dropDownItem = -1;
    int m_dropDownEdge = 0;
    CContainedWindow m_wndReBar{this, 3};
    int m_hotChevron = -1;         // the band whose chevron is under the cursor
    HWND m_toolTip = nullptr;      // owned: created with the bar, destroyed with it
    int m_toolTipPart = kMdiNone;
    CWindowsHookHolder m_hook;     // the flat-menu CBT hook while a popup is tracked
};
