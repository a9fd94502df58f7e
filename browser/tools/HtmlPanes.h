#pragma once
// The program's own HTML panes: windows that host an engine to show HTML inside the program's
// windows rather than in a browser tab. CInfoPane ("_Info_IE") starts on "about:blank" and takes
// generated HTML into the body of that blank page (the page analyzer's report pane); CHtmlPane
// ("_HTMLPane") opens the address it is created with (the plug-in panes). Both superclass the
// control host window, so the window text names what the engine opens, keep their engine quiet (no
// context menu, not registered as a browser or a drop target) and send every new window their page
// asks for to a new browser tab. CInfoPane also shows the address of a link under the mouse as the
// status text of its tab while that tab is the active one.
//
// Lifetime: rule (a). The owner (the analyzer, a plug-in pane) holds the object and destroys the
// window, or the parent's destruction does; WM_DESTROY unadvises the event sink.
#include "browser/WebBrowserEventSink.h"
#include "core/library/StdStr.h"
#include "platform/AtlAxHost.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <exdisp.h>

constexpr UINT kHtmlPaneControlId = 212;
// Child, visible, clipping, with both scroll bars.
constexpr DWORD kHtmlPaneStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL;
static_assert(kHtmlPaneStyle == 0x56300000);
// The engine's host flags of the panes: no help menu and no 3-D border; the address pane is a
// dialog's page besides.
constexpr DWORD kInfoPaneHostFlags = 0x2 | 0x4;
constexpr DWORD kHtmlPaneHostFlags = kInfoPaneHostFlags | 0x1;
// Sent by CInfoPane to its parent (WM_NOTIFY) once its blank page is there to take reports: a
// report written before is lost, so the owner writes its report again.
constexpr UINT kInfoPaneReadyNotification = 0x4950;
// The longest status text a pane hands on.
constexpr size_t kPaneStatusTextLength = 126;

// The status text a pane shows for the engine's text: only addresses of the http, res, mailto and
// ftp schemes, cut to kPaneStatusTextLength characters; "" for anything else (script addresses,
// the engine's own messages).
TStdStr<char> PaneStatusText(const TStdStr<char>& text);

// What both panes do with the engine: set it up after the host made it, and open a page's new
// window in a new browser tab (cancelled while the program closes or when no tab can be made).
bool SetUpPaneEngine(CAxWindow host, DWORD hostFlags, CComPtr<IWebBrowser2>& browser);
void OpenPaneNewWindow(HWND ownerTab, IDispatch** created, VARIANT_BOOL* cancel);

class CInfoPane : public CWindowImpl<CInfoPane, CAxWindow>, public TWebBrowserEventSink<CInfoPane> {
public:
    DECLARE_WND_SUPERCLASS("_Info_IE", kAxHostWindowClass)

    // ownerTab: the browser tab the pane belongs to (its status text, its MDI client); not owned.
    explicit CInfoPane(HWND ownerTab) : m_ownerTab(ownerTab) {}
    CInfoPane(const CInfoPane&) = delete;
    CInfoPane& operator=(const CInfoPane&) = delete;
    ~CInfoPane() override;

    HWND Create(HWND parent, const RECT& rect);
    // Puts html into the blank page's body; lost while the blank page has not completed yet.
    void Write(const TStdStr<char>& html);
    bool HasBody() const { return m_body != nullptr; }
    IWebBrowser2* Browser() const { return m_browser; }
    static const TWebBrowserSinkEntry<CInfoPane>* GetSinkTable();

    BEGIN_MSG_MAP(CInfoPane)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    friend struct CInfoPaneEvents;
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    void OnBeforeNavigate2(IDispatch* source);
    void OnDocumentComplete(IDispatch* source);
    void OnStatusTextChange(const TStdStr<char>& text);

    HWND m_ownerTab = nullptr;  // not owned
    CComPtr<IWebBrowser2> m_browser;
    CComPtr<IDispatch> m_body;  // the blank page's body, from its first DocumentComplete
};

class CHtmlPane : public CWindowImpl<CHtmlPane, CAxWindow>, public TWebBrowserEventSink<CHtmlPane> {
public:
    DECLARE_WND_SUPERCLASS("_HTMLPane", kAxHostWindowClass)

    explicit CHtmlPane(HWND ownerTab = nullptr) : m_ownerTab(ownerTab) {}
    CHtmlPane(const CHtmlPane&) = delete;
    CHtmlPane& operator=(const CHtmlPane&) = delete;
    ~CHtmlPane() override;

    HWND Create(HWND parent, const RECT& rect, const char* url);
    IWebBrowser2* Browser() const { return m_browser; }
    static const TWebBrowserSinkEntry<CHtmlPane>* GetSinkTable();

    BEGIN_MSG_MAP(CHtmlPane)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    friend struct CHtmlPaneEvents;
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    HWND m_ownerTab = nullptr;  // not owned; may be null (a pane outside any tab)
    CComPtr<IWebBrowser2> m_browser;
};
