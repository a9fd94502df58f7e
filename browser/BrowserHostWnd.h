#pragma once
// CBrowserHostWnd: the child window of a browser tab in which the engine runs, a host window of
// the class "AtlAxWin71" created on "about:blank", with the program's own site object
// (CBrowserAxHost: the site that also answers the engine's script errors). It installs the
// document-host handler (host flags, drop target) and the ambient that answers the tab's
// download-control flags, and owns the per-tab download-control commands and the auto refresh.
//
// Lifetime: a member of its tab (rule (a)); the tab creates the window in its WM_CREATE and
// destroys it in its WM_DESTROY, which ends the engine. The COM objects live as long as the site
// holds them; the ambient reads the flags through a shared cell, so it never outlives them.
#include "core/library/StdStr.h"
#include "platform/AtlAxHost.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <exdisp.h>

#include <memory>

// The download-control bits the commands toggle (the engine's DLCTL layout).
namespace DownloadControl {
constexpr DWORD Images = 0x10;
constexpr DWORD Videos = 0x20;
constexpr DWORD Sounds = 0x40;
constexpr DWORD NoScripts = 0x80;
constexpr DWORD NoJava = 0x100;
constexpr DWORD NoRunActiveX = 0x200;
constexpr DWORD NoDownloadActiveX = 0x400;
constexpr DWORD Silent = 0x40000000;
constexpr DWORD Default = Images | Videos | Sounds;
}  // namespace DownloadControl

// The host flags the document-host handler answers: no 3-D border, flat scroll bars, form
// autocompletion and themed controls.
constexpr DWORD kBrowserHostFlags = 0x44084;
constexpr UINT kBrowserHostControlId = 212;
// Child, visible, clipping, with both scroll bars.
constexpr DWORD kBrowserHostStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL;
static_assert(kBrowserHostStyle == 0x56300000);
constexpr UINT_PTR kAutoRefreshTimerId = 1;

// The bit a download-control command toggles (0: not one), and whether a set bit shows checked.
DWORD DownloadControlBit(UINT command, bool* checkedWhenSet = nullptr);
// The auto-refresh interval of the interval flags in milliseconds, 0 for none. The user-defined
// interval is `userSeconds` seconds, computed in 64 bits and kept within the system's timer range.
UINT AutoRefreshInterval(DWORD flags, long long userSeconds);

class CBrowserHostWnd : public CWindowImpl<CBrowserHostWnd, CAxWindow> {
public:
    explicit CBrowserHostWnd(DWORD downloadControlFlags);
    CBrowserHostWnd(const CBrowserHostWnd&) = delete;
    CBrowserHostWnd& operator=(const CBrowserHostWnd&) = delete;
    ~CBrowserHostWnd() override;

    // Creates the host window under the tab and the engine in it; the engine may be missing
    // afterwards (Browser() null) when the control is no WebBrowser.
    HWND CreateHost(HWND tab, const RECT& rect);
    IWebBrowser2* Browser() const { return m_browser; }
    DWORD GetDownloadControlFlags() const { return *m_downloadControl; }
    DWORD GetAutoRefreshFlags() const { return m_autoRefresh; }
    bool HasAutoRefreshTimer() const { return m_timer != 0; }
    UINT GetAutoRefreshMs() const { return m_timerInterval; }
    // The text of the user-defined interval's item: "&User Defined (45S)" for 45 seconds.
    static TStdStr<char> UserDefinedItemText(long long seconds);
    // The enabled and checked state of a host command (download control, auto refresh).
    bool QueryCommandState(UINT command, bool& enabled, bool& checked) const;

    BEGIN_MSG_MAP(CBrowserHostWnd)
        COMMAND_RANGE_HANDLER(31636, 31643, OnDownloadControl)
        COMMAND_RANGE_HANDLER(31651, 31657, OnAutoRefreshSelect)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(PageMenuMessage(), OnPageMenu)
    END_MSG_MAP()

private:
    static UINT PageMenuMessage();
    LRESULT OnDownloadControl(WORD, WORD id, HWND, BOOL&);
    LRESULT OnAutoRefreshSelect(WORD, WORD id, HWND, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnPageMenu(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    void InstallHostObjects();
    void NotifyAmbientChange();

    CComPtr<IWebBrowser2> m_browser;
    std::shared_ptr<DWORD> m_downloadControl;
    DWORD m_autoRefresh = 0;
    UINT_PTR m_timer = 0;
    UINT m_timerInterval = 0;
    HWND m_tab = nullptr;  // the parent tab window; not owned
};
