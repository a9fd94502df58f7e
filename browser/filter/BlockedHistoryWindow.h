#pragma once
// The "Log" window: a top-level window with the tabs "Popups Blocked History" (the popups log) and
// "Ad Blocked History" (the ads log), each an owner-data report list over the settings' log
// (CBlockedLog, core/app/BlockedLogs.h), with the context-menu commands of FilterResources.h: open,
// allow the opener's site, delete, clear, copy and save as text, grid lines.
//
// Lifetime: rule (b). ShowBlockedHistoryWindow creates it with new on first use; it deletes itself
// in OnFinalMessage. Destroy it with DestroyBlockedHistoryWindow (or ::DestroyWindow on its handle),
// never through the object's own DestroyWindow, which clears the object's handle after the call and
// so writes to the object that deleted itself inside it. Its Close does not destroy it: the system menu's Close sends the parent the
// frame's log command (ID_FRAME_BLOCKED_LOG), and without a parent the window hides.
#include "browser/filter/FilterResources.h"
#include "core/app/BlockedLogs.h"
#include "core/app/SettingsStore.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The time of an entry as the logs show it: "%m/%d/%Y %H:%M:%S.%s" (milliseconds) in local time.
std::string FormatBlockedTime(uint64_t fileTime);
// A log as text: the translated title, an empty line, one line per entry oldest first (time, tab,
// first text, tab, second text; for popups a tab and the blocked URL when there is one), a final
// empty line.
std::string FormatBlockedLogText(const CBlockedLog& log, bool popups);

class CBlockedHistoryWindow : public CWindowImpl<CBlockedHistoryWindow, CWindow, CFrameWinTraits> {
public:
    DECLARE_WND_CLASS("_KivoBlockedLog")  // kBlockedLogWindowClass (frame/BlockedContent.h)

    BEGIN_MSG_MAP(CBlockedHistoryWindow)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        NOTIFY_CODE_HANDLER(LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnColumnClick)
        NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnTabChange)
        CHAIN_MSG_MAP_MEMBER(m_placement)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override;

    // 0 the popups tab, 1 the ads tab.
    void SelectTab(int tab);
    int GetSelectedTab() const;
    HWND GetList(bool popups) const { return popups ? m_popupList : m_adList; }
    // Item counts follow the logs again.
    void Refresh(bool popups);
    // The log entry a list row shows (the display direction applied), or -1.
    int EntryOfRow(bool popups, int row) const;
    // Runs a context-menu command on the selected row of its list; true when it was one of ours.
    bool RunCommand(UINT command);
    // "Save to...": the log as text into the file; shows "Open Log File Error!" when it cannot.
    bool SaveLogText(bool popups, const char* path);

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetDispInfo(int, LPNMHDR, BOOL&);
    LRESULT OnColumnClick(int, LPNMHDR, BOOL&);
    LRESULT OnTabChange(int, LPNMHDR, BOOL&);
    HWND CreateList(int id, bool popups);
    void ApplyGrid();
    int SelectedEntry(bool popups) const;
    void Layout();

    HWND m_tabs = nullptr;       // child windows: destroyed with this window
    HWND m_popupList = nullptr;
    HWND m_adList = nullptr;
    int m_listener = 0;
    std::string m_dispText;      // the text handed out by the last LVN_GETDISPINFO
    // The window's place, kept in the settings store ("Settings", "LogPlacement").
    CWindowPlacementSetting m_placement{"Settings", "LogPlacement"};
};

// Creates the window on first use (placed over the lowest 245 pixels of the parent's client area),
// selects the tab, shows it and brings it to the top. The parent may be null (tests).
CBlockedHistoryWindow* ShowBlockedHistoryWindow(HWND parent, int tab);
// The window when it exists.
CBlockedHistoryWindow* GetBlockedHistoryWindow();
// Destroys the window when it exists (the main frame does, before it goes).
void DestroyBlockedHistoryWindow();
