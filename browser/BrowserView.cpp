#include "browser/BrowserView.h"

#include "browser/BrowserResources.h"
#include "browser/BrowserStrings.h"
#include "browser/TabSiteIcons.h"
#include "browser/InternetExplorerHelpers.h"
#include "browser/PopupSiteRules.h"
#include "browser/ScriptErrors.h"
#include "browser/TabGestures.h"
#include "browser/TabTextStore.h"
#include "browser/tools/AutoRefreshDlg.h"
#include "browser/tools/PageToolsResources.h"
#include "browser/tools/ClosedPageSink.h"
#include "browser/tools/DownloadHandOff.h"
#include "browser/tools/FindHighlight.h"
#include "browser/tools/PageCommands.h"
#include "browser/tools/SaveAsWebArchive.h"
#include "core/app/LanguageManager.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/Settings.h"
#include "core/library/UrlFunctions.h"
#include "core/system/Clipboard.h"
#include "core/system/MenuFunctions.h"
#include "frame/BlockedContent.h"
#include "frame/MainFrameData.h"
#include "frame/services/HostedBands.h"

#include <exdispid.h>

#include <algorithm>

namespace {

// Settings bits the tab reads.
constexpr DWORD kSysFlagOpenerTabsInBackground = 0x200000;
// With the tabs on top the inner strip lies at the top too, and the tab menu's Close item at its
// bottom, away from the tab; otherwise both go the other way.
constexpr DWORD kViewFlagTabsOnTop = 0x100000;
constexpr DWORD kBlockerFlagPopupBlocker = 0x2;
constexpr DWORD kBlockerFlagPopupNotice = 0x1000;
constexpr DWORD kStartupFlagSearchHome = 0x20;
constexpr DWORD kSysFlagMiddleClickForPages = 0x40000;
constexpr DWORD kSysFlagMiddleClickForeground = 0x80000;
// The key messages of the top and bottom actions, as the keyboard would send them.
constexpr LPARAM kKeyDownParam = 0x01470001;
constexpr LPARAM kKeyUpParam = static_cast<LPARAM>(0xC1470001u);
// Posted to the frame after the last tab went while the program keeps running: a new blank tab.
constexpr UINT kLastTabClosedMessage = WM_USER + 2;
// The panes of the frame's status bar the tab reports to.
constexpr int kSecureLockPane = 21404;
constexpr int kPrivacyPane = 21405;
// Texts the tab hands on are cut to these lengths.
constexpr size_t kWindowTitleLength = 255;
constexpr size_t kTabTextLength = 16;
constexpr size_t kStatusTextLength = 126;
// A start page of the program's search service, for Home with the search start page chosen.
constexpr char kSearchStartPage[] = "http://search.kivo-browser.example/";
constexpr UINT kMdiChildStyle = 0x56CF0000;  // child, visible, clipping, overlapped window
// The inner strip: its look bits, and the bit that puts it along the bottom edge.
constexpr DWORD kInnerStripStyle = 0x4140;
constexpr DWORD kInnerStripAtBottom = 0x2;

bool StartsWithNoCase(const TStdStr<char>& text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return text.size() >= length && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                                                     static_cast<int>(length), prefix,
                                                     static_cast<int>(length)) == CSTR_EQUAL;
}

bool KeyDown(int key)
{
    return ::GetKeyState(key) < 0;
}

CSettings& Settings()
{
    return *GetSettings();
}

} // namespace

// The tab's event table: names, DISPIDs and exact argument types of the engine's events.
struct CBrowserViewEvents {
    using A = VARIANTARG* const*;
    static void BeforeNavigate2(CBrowserView& view, A a)
    {
        view.OnBeforeNavigate2(a[0]->pdispVal, NarrowText(SinkRefBstr(a[1])), a[6]->pboolVal);
    }
    static void NewWindow2(CBrowserView& view, A a) { view.OnNewWindow2(a[0]->ppdispVal, a[1]->pboolVal); }
    static void DocumentComplete(CBrowserView& view, A a) { view.OnDocumentComplete(a[0]->pdispVal); }
    static void NavigateComplete2(CBrowserView& view, A) { view.OnNavigateComplete2(); }
    static void Quit(CBrowserView& view, A) { view.OnQuit(); }
    static void DownloadBegin(CBrowserView& view, A) { view.OnDownloadBegin(); }
    static void DownloadComplete(CBrowserView& view, A) { view.OnDownloadComplete(); }
    static void TitleChange(CBrowserView& view, A a) { view.OnTitleChange(NarrowText(a[0]->bstrVal)); }
    static void StatusTextChange(CBrowserView& view, A a) { view.OnStatusTextChange(NarrowText(a[0]->bstrVal)); }
    static void ProgressChange(CBrowserView& view, A a) { view.OnProgressChange(a[0]->lVal, a[1]->lVal); }
    static void CommandStateChange(CBrowserView& view, A a)
    {
        view.OnCommandStateChange(a[0]->lVal, a[1]->boolVal == VARIANT_TRUE);
    }
    static void SecureLockIcon(CBrowserView& view, A a) { view.OnSecureLockIcon(a[0]->lVal); }
    static void PrivacyImpacted(CBrowserView& view, A a) { view.OnPrivacyImpacted(a[0]->boolVal != VARIANT_FALSE); }
};

const TWebBrowserSinkEntry<CBrowserView>* CBrowserView::GetSinkTable()
{
    constexpr VARTYPE kRefVariant = VT_BYREF | VT_VARIANT;
    static const TWebBrowserSinkEntry<CBrowserView> table[] = {
        {L"_OnBeforeNavigate2", DISPID_BEFORENAVIGATE2, 7,
         {VT_DISPATCH, kRefVariant, kRefVariant, kRefVariant, kRefVariant, kRefVariant, VT_BYREF | VT_BOOL},
         &CBrowserViewEvents::BeforeNavigate2},
        {L"_OnNewWindow2", DISPID_NEWWINDOW2, 2, {VT_BYREF | VT_DISPATCH, VT_BYREF | VT_BOOL},
         &CBrowserViewEvents::NewWindow2},
        {L"_OnDocumentComplete", DISPID_DOCUMENTCOMPLETE, 2, {VT_DISPATCH, kRefVariant},
         &CBrowserViewEvents::DocumentComplete},
        {L"_OnNavigateComplete2", DISPID_NAVIGATECOMPLETE2, 2, {VT_DISPATCH, kRefVariant},
         &CBrowserViewEvents::NavigateComplete2},
        {L"_OnQuit", DISPID_ONQUIT, 0, {}, &CBrowserViewEvents::Quit},
        {L"_OnDownloadBegin", DISPID_DOWNLOADBEGIN, 0, {}, &CBrowserViewEvents::DownloadBegin},
        {L"_OnDownloadComplete", DISPID_DOWNLOADCOMPLETE, 0, {}, &CBrowserViewEvents::DownloadComplete},
        {L"_OnTitleChange", DISPID_TITLECHANGE, 1, {VT_BSTR}, &CBrowserViewEvents::TitleChange},
        {L"_OnStatusTextChange", DISPID_STATUSTEXTCHANGE, 1, {VT_BSTR}, &CBrowserViewEvents::StatusTextChange},
        {L"_OnProgressChange", DISPID_PROGRESSCHANGE, 2, {VT_I4, VT_I4}, &CBrowserViewEvents::ProgressChange},
        {L"_OnCommandStateChange", DISPID_COMMANDSTATECHANGE, 2, {VT_I4, VT_BOOL},
         &CBrowserViewEvents::CommandStateChange},
        {L"_OnSetSecureLockIcon", DISPID_SETSECURELOCKICON, 1, {VT_I4}, &CBrowserViewEvents::SecureLockIcon},
        {L"_OnPrivacyImpactedStateChange", DISPID_PRIVACYIMPACTEDSTATECHANGE, 1, {VT_BOOL},
         &CBrowserViewEvents::PrivacyImpacted},
        {nullptr, 0, 0, {}, nullptr},
    };
    return table;
}

CBrowserView::CBrowserView(HWND openerWindow, DWORD downloadControlFlags)
    : m_opener(openerWindow), m_host(downloadControlFlags)
{
    DWORD style = kInnerStripStyle;
    if (!(Settings().ViewFlags & kViewFlagTabsOnTop))
        style |= kInnerStripAtBottom;
    SetInnerTabStyle(style);
}

CBrowserView::~CBrowserView() = default;

UINT CBrowserView::ObjectMessage()
{
    static const UINT message = ::RegisterWindowMessageA("KivoBrowserView-Object");
    return message;
}

CBrowserView* CBrowserView::FromWindow(HWND window)
{
    if (!window || !::IsWindow(window))
        return nullptr;
    DWORD_PTR answer = 0;
    // The answer is the object together with the window's own handle in wParam, so that another
    // program's window answering the same message number by chance is never taken for a tab.
    if (!::SendMessageTimeoutA(window, ObjectMessage(), reinterpret_cast<WPARAM>(window), 0, SMTO_BLOCK, 1000,
                               &answer))
        return nullptr;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != ::GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<CBrowserView*>(answer);
}

LRESULT CBrowserView::OnObjectMessage(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    return reinterpret_cast<HWND>(wParam) == m_hWnd ? reinterpret_cast<LRESULT>(this) : 0;
}

HWND CBrowserView::MdiClient() const
{
    return m_hWnd ? ::GetParent(m_hWnd) : nullptr;
}

HWND CBrowserView::FrameWindow() const
{
    if (IBrowserTabHost* host = GetBrowserTabHost())
        return host->GetFrameWindow();
    HWND client = MdiClient();
    return client ? ::GetParent(client) : nullptr;
}

void CBrowserView::PostToFrame(UINT command) const
{
    if (HWND frame = FrameWindow())
        ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

bool CBrowserView::IsActive() const
{
    HWND client = MdiClient();
    return client && reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) == m_hWnd;
}

LRESULT CBrowserView::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = 0;
    Base::ProcessWindowMessage(m_hWnd, message, wParam, lParam, result, 0);
    if (result == -1)
        return -1;
    if (IBrowserTabHost* host = GetBrowserTabHost())
        host->AddTab(m_hWnd, this);
    RECT client = {};
    GetClientRect(&client);
    if (!m_host.CreateHost(m_hWnd, client) || !m_host.Browser() || !Advise(m_host.Browser())) {
        // The window is not made: nothing of it may stay with the frame or keep the engine.
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->RemoveTab(m_hWnd);
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
        return -1;
    }
    m_host.Browser()->put_RegisterAsBrowser(VARIANT_TRUE);
    if (HWND engineTop = ::GetWindow(m_host.m_hWnd, GW_CHILD))
        m_engineWindow.SubclassWindow(engineTop);
    if (!m_opener)
        m_host.Browser()->put_Visible(VARIANT_TRUE);
    AddPage(m_host.m_hWnd, BrowserString(IDS_BROWSER_HTML_PAGE, "HTML").c_str(), -1, true);
    SetMinimumPageCount(2);
    m_created = true;
    return 0;
}

LRESULT CBrowserView::OnClose(UINT, WPARAM, LPARAM, BOOL& handled)
{
    PostToFrame(kTabStateChangedCommand);
    m_closing = true;
    if (m_created)
        NotifyPageClosed(m_title.c_str(), m_url.c_str());
    handled = FALSE;  // the MDI child's own processing destroys the window
    return 0;
}

// A page script closed its window: the tab closes.
LRESULT CBrowserView::OnEngineClose(UINT, WPARAM, LPARAM, BOOL&)
{
    m_closing = true;
    PostMessage(WM_CLOSE);
    return 0;
}

LRESULT CBrowserView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_closing = true;
    if (IBrowserTabHost* host = GetBrowserTabHost())
        host->RemoveTab(m_hWnd);
    GetMainFrameData().m_scriptErrors.erase(m_hWnd);
    GetTabTextStore().Remove(m_hWnd);
    if (IWebBrowser2* browser = m_host.Browser())
        browser->put_RegisterAsBrowser(VARIANT_FALSE);
    // Events that the engine fires while it ends would reach a tab half taken down: unadvise first.
    Unadvise();
    if (m_engineWindow.m_hWnd)
        m_engineWindow.UnsubclassWindow(TRUE);
    // Ending an engine may switch the session to offline mode by itself: the mode the user had
    // is put back afterwards.
    const bool offline = IsWorkingOffline();
    if (m_host.m_hWnd)
        m_host.DestroyWindow();
    SetWorkingOffline(offline);
    if (!m_created)
        return 0;  // a tab that never was is no closed tab
    CSettings* settings = GetSettings();
    HWND frame = FrameWindow();
    if (frame && settings && !settings->Closing && OtherOpenTabCount() == 0)
        ::PostMessageA(frame, kLastTabClosedMessage, 1, 0);
    PostToFrame(kRebuildWindowListCommand);
    return 0;
}

int CBrowserView::OtherOpenTabCount() const
{
    int count = 0;
    for (HWND child = ::GetWindow(MdiClient(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (child != m_hWnd && FromWindow(child))
            ++count;
    return count;
}

void CBrowserView::OnFinalMessage(HWND)
{
    if (m_deletedWhileCreating)
        *m_deletedWhileCreating = true;
    delete this;
}

LRESULT CBrowserView::OnForwardMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (!message)
        return FALSE;
    const bool keyboard = message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST;
    const bool mouse = message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return FALSE;
    HWND page = GetCurrentPage();
    return page ? ::SendMessageA(page, WM_FORWARDMSG, 0, lParam) : FALSE;
}

LRESULT CBrowserView::OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    struct Relay {
        static BOOL CALLBACK Send(HWND child, LPARAM data)
        {
            const auto* m = reinterpret_cast<const MSG*>(data);
            ::SendMessageA(child, m->message, m->wParam, m->lParam);
            return TRUE;
        }
    };
    MSG relayed = {m_hWnd, message, wParam, lParam, 0, {}};
    ::EnumChildWindows(m_hWnd, &Relay::Send, reinterpret_cast<LPARAM>(&relayed));
    handled = FALSE;
    return 0;
}

LRESULT CBrowserView::OnMdiActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (reinterpret_cast<HWND>(lParam) == m_hWnd) {
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->SetAddressBarText(m_url.c_str());
        FocusPageWindow();
        if (m_savedFocus && ::IsChild(m_hWnd, m_savedFocus) && ::GetFocus() != m_savedFocus)
            ::SetFocus(m_savedFocus);
        GetTabTextStore().Refresh(m_hWnd);
        UpdateStatusPanes();
        PostToFrame(kRebuildWindowListCommand);
        // The hosted toolbar bands serve this tab's engine from now on.
        SetHostedBandsBrowser(GetWebBrowser());
    } else if (reinterpret_cast<HWND>(wParam) == m_hWnd) {
        HWND focus = ::GetFocus();
        m_savedFocus = focus && ::IsChild(m_hWnd, focus) ? focus : nullptr;
        m_pageFocused = false;
    }
    return 0;
}

LRESULT CBrowserView::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const UINT id = LOWORD(wParam);
    if (RunTabCommand(id) || RunEngineCommand(id))
        return 0;
    handled = FALSE;  // the host's commands, then the MDI child's
    return 0;
}

void CBrowserView::Navigate(const char* url)
{
    if (!url)
        return;
    SetCurrentUrl(url);
    if (IWebBrowser2* browser = m_host.Browser()) {
        CComBSTR address(url);
        CComVariant empty;
        browser->Navigate(address, &empty, &empty, &empty, &empty);
    }
}

HRESULT CBrowserView::Stop()
{
    IWebBrowser2* browser = m_host.Browser();
    return browser ? browser->Stop() : E_FAIL;
}

HRESULT CBrowserView::GoHome()
{
    IWebBrowser2* browser = m_host.Browser();
    return browser ? browser->GoHome() : E_FAIL;
}

void CBrowserView::OnEditCopy()
{
    if (!RunSourceViewCommand(ID_BROWSER_COPY) && !RunAnalyzerCommand(ID_BROWSER_COPY))
        RunEngineCommand(ID_BROWSER_COPY);
}

void CBrowserView::OnEditSelectAll()
{
    if (!RunSourceViewCommand(ID_BROWSER_SELECT_ALL) && !RunAnalyzerCommand(ID_BROWSER_SELECT_ALL))
        RunEngineCommand(ID_BROWSER_SELECT_ALL);
}

void CBrowserView::OnTextSize(UINT commandId)
{
    if (commandId < kTextSizeFirstCommand || commandId > kTextSizeLastCommand)
        return;
    if (IWebBrowser2* browser = m_host.Browser()) {
        CComVariant size(static_cast<long>(commandId - kTextSizeFirstCommand));
        browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &size, nullptr);
    }
}

bool CBrowserView::QueryCommandState(UINT commandId, bool& enabled, bool& checked) const
{
    checked = false;
    if (commandId == ID_BROWSER_PAGE_ANALYZER || commandId == ID_BROWSER_VIEW_SOURCE) {
        enabled = true;
        checked = commandId == ID_BROWSER_PAGE_ANALYZER ? m_analyzer != nullptr : m_sourceView != nullptr;
        return true;
    }
    if (commandId == ID_BROWSER_BACK_FIRST) {
        enabled = m_canGoBack;
        return true;
    }
    if (commandId == ID_BROWSER_FORWARD_FIRST) {
        enabled = m_canGoForward;
        return true;
    }
    if (commandId >= kTextSizeFirstCommand && commandId <= kTextSizeLastCommand) {
        enabled = true;
        CComVariant size;
        if (IWebBrowser2* browser = m_host.Browser())
            if (SUCCEEDED(browser->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, &size)) &&
                SUCCEEDED(size.ChangeType(VT_I4)))
                checked = size.lVal == static_cast<LONG>(commandId - kTextSizeFirstCommand);
        return true;
    }
    return m_host.QueryCommandState(commandId, enabled, checked);
}

void CBrowserView::SetCurrentUrl(const TStdStr<char>& url)
{
    if (url == m_url)
        return;
    m_url = url;
    ::GetSystemTimeAsFileTime(&m_urlTime);
    // Until its page gives a title (an engine without an HTML engine behind it never does), the tab
    // is known by its address: a blank label would leave the user a tab strip of empty tabs.
    if (m_title.empty() && m_hWnd)
        ShowLabel(m_url);
    GetTabSiteIcons().QueueRequest(m_url.c_str());
    PostToFrame(kTabStateChangedCommand);
}

// The window text (also the frame's title while the tab is maximised), the tooltip and the tab
// text, each cut to its own length.
void CBrowserView::ShowLabel(const TStdStr<char>& text)
{
    const TStdStr<char> windowTitle = CutWithEllipsis(text, kWindowTitleLength);
    SetWindowText(windowTitle.c_str());
    SetMdiTabToolTip(windowTitle.c_str());
    SetMdiTabText(CutWithEllipsis(text, kTabTextLength).c_str());
}

// False leaves the gesture to the caller: gestures off, no action bound, or a tab on its way out.
bool CBrowserView::OnGesture(HWND window, int gestureId, const CGestureStroke& stroke)
{
    if (m_closing)
        return false;
    TStdStr<char> notice;
    const int action = FindGestureAction(gestureId, notice);
    if (action < 0)
        return false;
    GetTabTextStore().SetText(m_hWnd, notice.c_str());
    const POINT point = stroke.empty() ? POINT{} : POINT{stroke.front().x, stroke.front().y};
    return RunBrowserAction(*this, action, window, point);
}

TStdStr<char> CBrowserView::LocationUrl() const
{
    CComBSTR location;
    if (IWebBrowser2* browser = m_host.Browser())
        browser->get_LocationURL(&location);
    return NarrowText(location.m_str);
}

void CBrowserView::FocusPage()
{
    m_pageFocused = false;
    FocusPageWindow();
}

// The page's window gets the focus once per activation, while the tab's frame is in front.
void CBrowserView::FocusPageWindow()
{
    HWND top = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    if (m_pageFocused || !top || ::GetForegroundWindow() != top || ::IsIconic(top))
        return;
    IWebBrowser2* browser = m_host.Browser();
    CComPtr<IDispatch> document;
    if (!browser || FAILED(browser->get_Document(&document)) || !document)
        return;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"parentWindow")};
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    CComVariant window;
    if (FAILED(document->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id)) ||
        FAILED(document->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &window, nullptr,
                                nullptr)) ||
        window.vt != VT_DISPATCH || !window.pdispVal)
        return;
    LPOLESTR focus[] = {const_cast<LPOLESTR>(L"focus")};
    if (SUCCEEDED(window.pdispVal->GetIDsOfNames(IID_NULL, focus, 1, LOCALE_SYSTEM_DEFAULT, &id)) &&
        SUCCEEDED(window.pdispVal->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                          nullptr, nullptr)))
        m_pageFocused = true;
}

void CBrowserView::SetTabImage(int image)
{
    if (image == m_tabImage)
        return;
    m_tabImage = image;
    if (IBrowserTabHost* host = GetBrowserTabHost())
        host->SetTabImage(m_hWnd, image);
}

void CBrowserView::UpdateStatusPanes() const
{
    IBrowserTabHost* host = GetBrowserTabHost();
    if (!host || !IsActive())
        return;
    static const char* const kLevelTexts[] = {"", " (Mixed)", " (Unknown)", " (40 Bit)", " (56 Bit)", " (Fortezza)",
                                              " (128 Bit)"};
    TStdStr<char> lockText;
    if (m_secureLockLevel != 0) {
        lockText = BrowserString(IDS_BROWSER_SSL_PROTECTED, "SSL Protected");
        if (m_secureLockLevel > 0 && m_secureLockLevel < 7)
            lockText += kLevelTexts[m_secureLockLevel];
    }
    host->SetStatusPane(kSecureLockPane, m_secureLockLevel ? ::LoadIconA(nullptr, IDI_INFORMATION) : nullptr,
                        lockText.c_str());
    if (m_privacyIconHidden)
        host->SetStatusPane(kPrivacyPane, nullptr, "");
    else
        host->SetStatusPane(kPrivacyPane, ::LoadIconA(nullptr, IDI_QUESTION),
                            BrowserString(IDS_BROWSER_PRIVACY_REPORT, "Privacy Report").c_str());
    const bool shown = !(m_progress == -1 || (m_progress == 0 && m_progressMax == 0));
    host->ShowProgress(shown, std::min(m_progress, m_progressMax), m_progressMax);
}

// ---------------------------------------------------------------------------------------------
// The engine's events.

void CBrowserView::OnBeforeNavigate2(IDispatch* source, const TStdStr<char>& url, VARIANT_BOOL* cancel)
{
    bool cancelled = false;
    m_userActivity = StartsWithNoCase(url, "javascript:");
    if (m_closing) {
        *cancel = VARIANT_TRUE;
        return;
    }
    // The popup test, while this tab still has the opener whose page asked for it.
    CBrowserView* opener = m_opener ? FromWindow(m_opener) : nullptr;
    if (m_opener && !opener)
        m_opener = nullptr;  // the opener has gone: nothing to test against
    // The page that led to a download: the opener while this first navigation began.
    const TStdStr<char> referrer = opener ? opener->m_url : m_url;
    const bool hadOpener = opener != nullptr;
    if (opener) {
        const bool blocked = !KeyDown(VK_CONTROL) && !opener->m_userActivity &&
                             (Settings().BlockerFlags & kBlockerFlagPopupBlocker) &&
                             !GetPopupSiteRules().IsSiteAllowed(opener->m_url.c_str()) &&
                             !GetPopupSiteRules().IsException(url.c_str());
        if (blocked) {
            if (IBrowserTabHost* host = GetBrowserTabHost())
                host->OnPopupBlocked(BrowserString(IDS_BROWSER_POPUP, "Popup").c_str(), opener->m_url.c_str(),
                                     url.c_str());
            // The notice stays the opener's status text: the opener, active again once this tab
            // has gone, shows it in place of its page's last text.
            if (Settings().BlockerFlags & kBlockerFlagPopupNotice)
                GetTabTextStore().SetText(opener->m_hWnd, TranslateText(kPopupNoticeText).c_str());
            *cancel = VARIANT_TRUE;
            PostMessage(WM_CLOSE);
            return;
        }
        opener->m_userActivity = false;
        m_opener = nullptr;
    }
    if (HandOffNavigation(url.c_str(), referrer.c_str())) {
        *cancel = VARIANT_TRUE;
        if (hadOpener)
            PostMessage(WM_CLOSE);  // a popup that only led to the download has nothing to show
        return;
    }
    GetMainFrameData().m_latestNavigationUrl = url;
    const bool active = IsActive();
    if ((m_url.empty() || m_url == "about:blank") && active) {
        SetCurrentUrl(url);
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->SetAddressBarText(m_url.c_str());
    }
    if (active) {
        ::SetFocus(nullptr);
        FocusPage();
    }
    *cancel = cancelled ? VARIANT_TRUE : VARIANT_FALSE;
    if (IsTopLevel(source)) {
        if (m_busyCount++ == 0)
            m_secureLockLevel = 0;
        // A new page starts: the errors of the last one go.
        GetMainFrameData().m_scriptErrors.erase(m_hWnd);
    }
}

void CBrowserView::OnNewWindow2(IDispatch** created, VARIANT_BOOL* cancel)
{
    *created = nullptr;
    CSettings* settings = GetSettings();
    if (m_closing || (settings && settings->Closing)) {
        *cancel = VARIANT_TRUE;
        return;
    }
    CBrowserView* tab = CreateBrowserTab(MdiClient(), this, "", m_host.GetDownloadControlFlags());
    if (!tab || !tab->GetWebBrowser()) {
        *cancel = VARIANT_TRUE;
        return;
    }
    tab->GetWebBrowser()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(created));
    *cancel = *created ? VARIANT_FALSE : VARIANT_TRUE;
}

void CBrowserView::OnDocumentComplete(IDispatch* source)
{
    m_userActivity = false;
    if (!IsTopLevel(source))
        return;
    // The site icon once loading has ended; the cache's unknown icon shows as none.
    const int icon = GetTabSiteIcons().GetIconIndex(m_url.c_str());
    SetTabImage(icon == kUnknownSiteIcon ? -1 : icon);
    HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
    HWND focus = ::GetFocus();
    if (IsActive() && (!focus || !::IsChild(top, focus)))
        FocusPageWindow();
    if (IsActive()) {
        const TStdStr<char> location = LocationUrl();
        if (location != "about:blank") {
            SetCurrentUrl(location);
            if (IBrowserTabHost* host = GetBrowserTabHost())
                host->SetAddressBarText(m_url.c_str());
        }
    }
    m_busyCount = 0;
    if (m_sourceView)
        m_sourceView->Fill(m_host.Browser());
}

void CBrowserView::OnTitleChange(const TStdStr<char>& title)
{
    if (m_closing)
        return;
    if (title == m_title) {
        m_privacyIconHidden = true;
        return;
    }
    m_title = title;
    PostToFrame(kTabStateChangedCommand);
    const TStdStr<char> location = LocationUrl();
    SetCurrentUrl(location);
    ShowLabel(title);
    if (IsActive())
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->SetAddressBarText(location.c_str());
    PostToFrame(kRebuildWindowListCommand);
    m_privacyIconHidden = true;
    UpdateStatusPanes();
}

void CBrowserView::OnStatusTextChange(const TStdStr<char>& text)
{
    if (m_closing)
        return;
    GetTabTextStore().SetText(m_hWnd, text.substr(0, kStatusTextLength).c_str());
}

void CBrowserView::OnProgressChange(long progress, long maximum)
{
    m_progress = progress;
    m_progressMax = maximum;
    // The loading frames show only while no site icon is shown; the end of loading is the end of
    // loading either way, whatever the tab shows.
    if (m_tabImage <= 3) {
        int frame = -1;
        if (progress != -1 && maximum != 0)
            frame = static_cast<int>(std::clamp<long long>(static_cast<long long>(progress) * 4 / maximum, 0, 3));
        SetTabImage(frame);
    }
    UpdateStatusPanes();
}

void CBrowserView::OnCommandStateChange(long command, bool enable)
{
    if (command == CSC_NAVIGATEBACK)
        m_canGoBack = enable;
    else if (command == CSC_NAVIGATEFORWARD)
        m_canGoForward = enable;
    else
        return;
    PostToFrame(kTabStateChangedCommand);
}

void CBrowserView::OnSecureLockIcon(long level)
{
    m_secureLockLevel = level;
    UpdateStatusPanes();
}

// The documented meaning: the privacy icon shows while the page's privacy is impacted.
void CBrowserView::OnPrivacyImpacted(bool impacted)
{
    m_privacyIconHidden = !impacted;
    UpdateStatusPanes();
}

void CBrowserView::OnDownloadBegin()
{
    if (m_busyCount++ == 0)
        m_secureLockLevel = 0;
}

void CBrowserView::OnDownloadComplete()
{
    if (m_busyCount > 0)
        --m_busyCount;
    if (m_analyzer && !m_closing)
        m_analyzer->AnalyzeDocument(m_host.Browser());
}

// ---------------------------------------------------------------------------------------------
// Commands.

bool CBrowserView::RunTabCommand(UINT id)
{
    IWebBrowser2* browser = m_host.Browser();
    if (RunSourceViewCommand(id) || RunAnalyzerCommand(id))
        return true;
    switch (id) {
    case ID_BROWSER_VIEW_SOURCE:
        ToggleSourceView();
        return true;
    case ID_BROWSER_PAGE_ANALYZER:
        TogglePageAnalyzer();
        return true;
    case kAnalyzerCloseCommand:
        ClosePageAnalyzer();
        return true;
    case kAnalyzerReanalyzeCommand:
        if (m_analyzer)
            m_analyzer->AnalyzeDocument(browser);
        return true;
    case kSendLinkCommand:
        SendLinkByMail(m_title.c_str(), m_url.c_str());
        return true;
    case kSendPageCommand:
        SendPageByMail(browser);
        return true;
    case kSaveAsWebArchiveCommand:
        SaveAsWebArchive();
        return true;
    case ID_BROWSER_REFRESH:
        if (!browser)
            return true;
        if (KeyDown(VK_CONTROL)) {
            CComVariant level(static_cast<long>(REFRESH_COMPLETELY));
            browser->Refresh2(&level);
        } else {
            browser->Refresh();
        }
        return true;
    case kFocusPageCommand:
        FocusPage();
        return true;
    case ID_BROWSER_CLOSE:
        m_closing = true;
        PostMessage(WM_CLOSE);
        return true;
    case ID_BROWSER_DUPLICATE:
        if (HWND frame = FrameWindow())
            ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(m_url.c_str()), kOpenNewTab);
        return true;
    case ID_BROWSER_HOME:
        if (GetSettings()->StartupFlags & kStartupFlagSearchHome)
            Navigate(kSearchStartPage);
        else
            GoHome();
        return true;
    case ID_BROWSER_UP_ONE_LEVEL:
        Navigate(GetParentUrl(m_url.c_str()).c_str());
        return true;
    case ID_AUTOREFRESH_DIALOG:
        RunAutoRefreshDialog(m_hWnd);
        return true;
    case ID_BROWSER_COPY_URL:
    case ID_BROWSER_COPY_TITLE: {
        const TStdStr<char>& text = id == ID_BROWSER_COPY_URL ? m_url : m_title;
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            CopyTextToClipboard(text.c_str(), text.size());
            ::CloseClipboard();
        }
        return true;
    }
    case ID_BROWSER_SCRIPT_ERRORS: {
        const auto found = GetMainFrameData().m_scriptErrors.find(m_hWnd);
        if (found != GetMainFrameData().m_scriptErrors.end() && !found->second.empty()) {
            const std::vector<ScriptErrorRecord> errors = found->second;
            CScriptErrorDlg dialog(errors, errors.size() - 1, false);
            dialog.DoModal(::GetActiveWindow());
        }
        return true;
    }
    default:
        return RunZoomCommand(browser, id);
    }
}

bool CBrowserView::ToggleSearchHighlight(const char* text)
{
    m_searchHighlighted = HighlightSearchWords(m_searchHighlighted, m_host.Browser(), text);
    return m_searchHighlighted;
}

bool CBrowserView::FindNextSearchWord(const char* text)
{
    return ::FindNextSearchWord(m_findNext, m_host.Browser(), text);
}

void CBrowserView::ToggleSourceView()
{
    if (m_sourceView) {
        RemovePage(m_sourceView->Window());
        m_sourceView.reset();
        return;
    }
    auto view = std::make_unique<CSourceView>();
    if (!view->Create(m_hWnd))
        return;  // no edit control in this program: nothing to show the source in
    view->Fill(m_host.Browser());
    m_sourceView = std::move(view);
    AddPage(m_sourceView->Window(), BrowserString(IDS_PAGETOOLS_SOURCE_PAGE, "Source").c_str(), kSourceViewImage, true);
    ::SetFocus(m_sourceView->Window());
}

bool CBrowserView::RunSourceViewCommand(UINT id)
{
    if (!m_sourceView)
        return false;
    if (id == kSourceViewCloseCommand) {
        ToggleSourceView();
        return true;
    }
    if (id == kSourceViewRefreshCommand) {
        m_sourceView->Fill(m_host.Browser());
        return true;
    }
    if (id == kSourceViewSaveCommand) {
        const TStdStr<char> text = m_sourceView->GetText();
        if (!text.empty())
            SaveTextAs(m_hWnd, text, "HTML (*.htm;*.html)|*.htm;*.html|", "htm", m_url.c_str());
        return true;
    }
    if (GetCurrentPage() != m_sourceView->Window())
        return false;
    switch (id) {
    case ID_BROWSER_FIND:
        m_sourceView->Find();
        return true;
    case ID_BROWSER_COPY:
        m_sourceView->Copy();
        return true;
    case ID_BROWSER_SELECT_ALL:
        m_sourceView->SelectAll();
        return true;
    default:
        return false;
    }
}

void CBrowserView::TogglePageAnalyzer()
{
    if (m_analyzer) {
        ClosePageAnalyzer();
        return;
    }
    auto analyzer = std::make_unique<CPageAnalyzer>(m_hWnd);
    if (!analyzer->Create())
        return;
    analyzer->AnalyzeDocument(m_host.Browser());
    m_analyzer = std::move(analyzer);
    AddPage(*m_analyzer, BrowserString(IDS_ANALYZER_PAGE, "Page Analyzer").c_str(), kAnalyzerPageImage, true);
}

void CBrowserView::ClosePageAnalyzer()
{
    if (!m_analyzer)
        return;
    RemovePage(*m_analyzer);
    m_analyzer.reset();
}

bool CBrowserView::RunAnalyzerCommand(UINT id)
{
    if (!m_analyzer || GetCurrentPage() != m_analyzer->m_hWnd)
        return false;
    if (id != ID_BROWSER_FIND && id != ID_BROWSER_COPY && id != ID_BROWSER_SELECT_ALL)
        return false;
    m_analyzer->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}

void CBrowserView::SaveAsWebArchive()
{
    SaveAsWebArchiveFile(m_hWnd, m_host.Browser(), m_title.c_str());
}

// The source view tells where its caret is; the position becomes the tab's status text.
LRESULT CBrowserView::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || !m_sourceView || header->hwndFrom != m_sourceView->Window() || header->code != kEditCaretMoved) {
        handled = FALSE;
        return 0;
    }
    struct CaretNotification {
        NMHDR header;
        int column;
        int line;
    };
    const auto* caret = reinterpret_cast<const CaretNotification*>(header);
    GetTabTextStore().SetText(m_hWnd, FormatCaretPosition(caret->line, caret->column).c_str());
    return 0;
}

// The commands that only pass to the engine.
bool CBrowserView::RunEngineCommand(UINT id)
{
    static const struct {
        UINT command;
        OLECMDID engineCommand;
    } kExec[] = {{ID_BROWSER_SAVE_AS, OLECMDID_SAVEAS},   {ID_BROWSER_PAGE_SETUP, OLECMDID_PAGESETUP},
                 {ID_BROWSER_PRINT, OLECMDID_PRINT},       {ID_BROWSER_PRINT_PREVIEW, OLECMDID_PRINTPREVIEW},
                 {ID_BROWSER_PROPERTIES, OLECMDID_PROPERTIES}, {ID_BROWSER_CUT, OLECMDID_CUT},
                 {ID_BROWSER_COPY, OLECMDID_COPY},         {ID_BROWSER_PASTE, OLECMDID_PASTE},
                 {ID_BROWSER_SELECT_ALL, OLECMDID_SELECTALL}};
    IWebBrowser2* browser = m_host.Browser();
    for (const auto& entry : kExec)
        if (entry.command == id) {
            if (browser)
                browser->ExecWB(entry.engineCommand, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
            return true;
        }
    if (id >= ID_BROWSER_BACK_FIRST && id <= ID_BROWSER_FORWARD_LAST) {
        const bool back = id <= ID_BROWSER_BACK_LAST;
        const UINT steps = std::max(1u, id - (back ? ID_BROWSER_BACK_FIRST : ID_BROWSER_FORWARD_FIRST));
        for (UINT i = 0; browser && i < steps; ++i)
            if (FAILED(back ? browser->GoBack() : browser->GoForward()))
                break;
        return true;
    }
    if (id == ID_BROWSER_STOP) {
        Stop();
        return true;
    }
    if (id >= kTextSizeFirstCommand && id <= kTextSizeLastCommand) {
        OnTextSize(id);
        return true;
    }
    if (id == ID_BROWSER_FIND || id == ID_BROWSER_VIEW_SOURCE) {
        CComPtr<IDispatch> document;
        if (browser && SUCCEEDED(browser->get_Document(&document)) && document) {
            CComQIPtr<IOleCommandTarget> target(document);
            if (target)
                target->Exec(&kCommandGroupWebBrowser, id == ID_BROWSER_FIND ? 1 : 2, OLECMDEXECOPT_DODEFAULT,
                             nullptr, nullptr);
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Actions and the page's clicks.

TStdStr<char> CBrowserView::LinkAt(POINT point) const
{
    CComPtr<IDispatch> document;
    IWebBrowser2* browser = m_host.Browser();
    if (!browser || FAILED(browser->get_Document(&document)) || !document)
        return TStdStr<char>();
    CComPtr<IDispatch> element;
    element.Attach(GetElementFromPoint(document, point));
    TStdStr<char> url = element ? GetLinkUrlOfElement(element) : TStdStr<char>();
    if (url.empty())
        url = GetSelectionText(document);
    return url;
}

void CBrowserView::OpenInNewTab(const TStdStr<char>& url, bool foreground) const
{
    if (HWND frame = FrameWindow())
        ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(url.c_str()),
                       foreground ? kOpenNewTab : kOpenNewTab | kOpenInBackground);
}

bool CBrowserView::OnPageMiddleButtonDown(HWND, POINT point)
{
    if (Settings().SysFlags & kSysFlagMiddleClickForPages)
        return false;
    const TStdStr<char> url = LinkAt(point);
    if (url.empty())
        return false;
    OpenInNewTab(url, (Settings().SysFlags & kSysFlagMiddleClickForeground) != 0);
    return true;
}

void CBrowserView::GoPreviousDocument(HWND, POINT)
{
    IWebBrowser2* browser = m_host.Browser();
    CComPtr<IDispatch> document;
    if (browser && FAILED(browser->GoBack()) && SUCCEEDED(browser->get_Document(&document)) && document) {
        const TStdStr<char> link = FindLinkByText(document, "Previous");
        if (!link.empty())
            Navigate(link.c_str());
    }
}

void CBrowserView::GoNextDocument(HWND, POINT)
{
    IWebBrowser2* browser = m_host.Browser();
    CComPtr<IDispatch> document;
    if (browser && FAILED(browser->GoForward()) && SUCCEEDED(browser->get_Document(&document)) && document) {
        const TStdStr<char> link = FindLinkByText(document, "Next");
        if (!link.empty())
            Navigate(link.c_str());
    }
}

void CBrowserView::SendKeyToWindow(HWND window, UINT key) const
{
    if (!window || !::IsWindow(window))
        return;
    ::SendMessageA(window, WM_KEYDOWN, key, kKeyDownParam);
    ::SendMessageA(window, WM_KEYUP, key, kKeyUpParam);
}

void CBrowserView::GoTopOfDocument(HWND window, POINT)
{
    SendKeyToWindow(window, VK_HOME);
}

void CBrowserView::GoBottomOfDocument(HWND window, POINT)
{
    SendKeyToWindow(window, VK_END);
}

void CBrowserView::CloseDocumentWindow(HWND, POINT)
{
    m_closing = true;
    PostMessage(WM_CLOSE);
}

void CBrowserView::OpenNewForegroundWindow(HWND, POINT point)
{
    const TStdStr<char> url = LinkAt(point);
    OpenInNewTab(url, true);
    if (url.empty())
        if (HWND client = MdiClient())
            ::SetFocus(client);
}

void CBrowserView::RefreshDocument(HWND, POINT)
{
    if (IWebBrowser2* browser = m_host.Browser())
        browser->Refresh();
}

void CBrowserView::ReloadDocument(HWND, POINT)
{
    if (IWebBrowser2* browser = m_host.Browser()) {
        CComVariant level(static_cast<long>(REFRESH_COMPLETELY));
        browser->Refresh2(&level);
    }
}

void CBrowserView::DuplicateWindow(HWND, POINT)
{
    OpenInNewTab(m_url, true);
}

void CBrowserView::ScrollThroughOpenWindows(HWND, POINT)
{
    GetBrowserActionServices().ShowWindowListPopup(::GetAncestor(m_hWnd, GA_ROOT));
}

void CBrowserView::GoNextWindow(HWND, POINT)
{
    ::SendMessageA(MdiClient(), WM_MDINEXT, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CBrowserView::GoPreviousWindow(HWND, POINT)
{
    ::SendMessageA(MdiClient(), WM_MDINEXT, reinterpret_cast<WPARAM>(m_hWnd), 1);
}

void CBrowserView::CloseAllExceptActive(HWND, POINT)
{
    PostToFrame(ID_BROWSER_CLOSE_ALL_EXCEPT);
}

void CBrowserView::RunUserAction(int userAction, HWND, POINT)
{
    if (userAction < 0 || userAction > 9)
        return;
    IBrowserActionServices& services = GetBrowserActionServices();
    PlayHotKey(services, services.UserActionHotKey(userAction));
}

LRESULT CBrowserView::OnTabContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    TrackTabMenu({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return 0;
}

// The "&Window" submenu (the one whose first item is the window list's first id) lists the tabs.
void CBrowserView::FillWindowList(HMENU menu) const
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (!sub || ::GetMenuItemID(sub, 0) != ID_BROWSER_WINDOW_FIRST)
            continue;
        while (::GetMenuItemCount(sub) > 0)
            ::DeleteMenu(sub, 0, MF_BYPOSITION);
        UINT id = ID_BROWSER_WINDOW_FIRST;
        for (HWND child = ::GetWindow(MdiClient(), GW_CHILD); child && id <= ID_BROWSER_WINDOW_LAST;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!FromWindow(child))
                continue;
            char text[80] = {};
            ::GetWindowTextA(child, text, sizeof(text));
            ::AppendMenuA(sub, MF_STRING | (child == m_hWnd ? MF_CHECKED : 0), id++, *text ? text : "Untitled");
        }
    }
}

void CBrowserView::TrackTabMenu(POINT point)
{
    HMENU resource = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_BROWSER_TAB_MENU));
    if (!resource)
        return;
    HMENU menu = ::GetSubMenu(resource, 0);
    FillWindowList(menu);
    const char* closeText = "&Close\tCtrl+W";
    if (!(Settings().ViewFlags & kViewFlagTabsOnTop)) {
        ::InsertMenuA(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        ::InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, SC_CLOSE, closeText);
    } else {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, SC_CLOSE, closeText);
    }
    HWND frame = FrameWindow();
    const UINT chosen = TrackFramePopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, frame);
    ::DestroyMenu(resource);
    if (chosen == 0)
        return;
    const bool toFrame = (chosen >= ID_BROWSER_WINDOW_FIRST && chosen <= ID_BROWSER_WINDOW_LAST) ||
                         chosen == ID_BROWSER_CLOSE_ALL || chosen == ID_BROWSER_CLOSE_ALL_EXCEPT ||
                         chosen == ID_BROWSER_ORGANIZE_GROUPS || chosen == ID_BROWSER_TAB_OPTIONS;
    if (toFrame) {
        if (frame)
            ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    } else if (chosen >= ID_BROWSER_GROUP_FIRST && chosen <= ID_BROWSER_GROUP_LAST) {
        // The groups of sites are not in this program yet: nothing to add the page to.
    } else if (chosen >= 0xF000) {
        PostMessage(WM_SYSCOMMAND, chosen, 0);
    } else {
        PostMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
}

// ---------------------------------------------------------------------------------------------

CBrowserView* CreateBrowserTab(HWND mdiClient, CBrowserView* opener, const char* url, DWORD downloadControlFlags)
{
    if (!mdiClient || !::IsWindow(mdiClient))
        return nullptr;
    BOOL maximized = FALSE;
    HWND previous = reinterpret_cast<HWND>(::SendMessageA(mdiClient, WM_MDIGETACTIVE, 0,
                                                          reinterpret_cast<LPARAM>(&maximized)));
    CBrowserView* view = new (std::nothrow) CBrowserView(opener ? opener->GetTabWindow() : nullptr,
                                                         downloadControlFlags);
    if (!view)
        return nullptr;
    // A creation that fails once the window got its first message (WM_CREATE answering -1) has
    // sent WM_NCDESTROY, whose last message deleted the object; one that never reached the object
    // leaves it here.
    bool deleted = false;
    view->m_deletedWhileCreating = &deleted;
    RECT area = CWindow::rcDefault;
    // A tab opened beside a maximised one is maximised too; so is the first tab, so that the pages
    // fill the frame under the tab strip from the start.
    const bool firstTab = !previous || !::IsWindow(previous);
    const DWORD style = kMdiChildStyle | ((maximized || firstTab) ? WS_MAXIMIZE : 0);
    HWND window = view->Create(mdiClient, area, "", style);
    if (!window) {
        if (!deleted)
            delete view;
        return nullptr;
    }
    view->m_deletedWhileCreating = nullptr;
    if (url && *url)
        view->Navigate(url);
    CSettings* settings = GetSettings();
    if (opener && previous && ::IsWindow(previous) &&
        ((settings && (settings->SysFlags & kSysFlagOpenerTabsInBackground)) || KeyDown(VK_SHIFT)))
        ::SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), 0);
    return view;
}

namespace {

class CBrowserTabFactory final : public IBrowserTabFactory {
public:
    IBrowserTab* CreateBrowserTab(HWND mdiClient, IBrowserTab* opener, const char* url,
                                  DWORD downloadControlFlags) override
    {
        CBrowserView* openerView = opener ? CBrowserView::FromWindow(opener->GetTabWindow()) : nullptr;
        return ::CreateBrowserTab(mdiClient, openerView, url, downloadControlFlags);
    }
};

} // namespace

void InstallBrowserTabFactory()
{
    static CBrowserTabFactory factory;
    AtlAxWinInit();
    SetBrowserTabFactory(&factory);
    // A closing tab's page goes to the frame's recently closed pages, from where it is reopened.
    InstallRecentClosedPagesSink();
}
