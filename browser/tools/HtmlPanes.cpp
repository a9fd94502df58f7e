#include "browser/tools/HtmlPanes.h"

#include "browser/BrowserStrings.h"
#include "browser/TabTextStore.h"
#include "core/system/DispatchByName.h"
#include "core/app/Settings.h"
#include "frame/BrowserTab.h"

#include <exdispid.h>

#include <cctype>

namespace {

constexpr char kBlankPage[] = "about:blank";

bool IsActiveTab(HWND tab)
{
    HWND client = tab ? ::GetParent(tab) : nullptr;
    return client && reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) == tab;
}

} // namespace

TStdStr<char> PaneStatusText(const TStdStr<char>& text)
{
    const size_t separator = text.find("://");
    if (text.empty() || separator == TStdStr<char>::npos)
        return TStdStr<char>();
    TStdStr<char> scheme = text.substr(0, separator);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (scheme != "http" && scheme != "res" && scheme != "mailto" && scheme != "ftp")
        return TStdStr<char>();
    return text.substr(0, kPaneStatusTextLength);
}

bool SetUpPaneEngine(CAxWindow host, DWORD hostFlags, CComPtr<IWebBrowser2>& browser)
{
    if (FAILED(host.QueryControl(&browser.p)) || !browser)
        return false;
    browser->put_RegisterAsBrowser(VARIANT_FALSE);
    browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    browser->put_Visible(VARIANT_TRUE);
    CComPtr<IAxWinAmbientDispatchEx> ambient;
    if (SUCCEEDED(host.QueryHost(&ambient.p)) && ambient) {
        ambient->put_AllowContextMenu(VARIANT_FALSE);
        ambient->put_DocHostFlags(hostFlags);
    }
    return true;
}

// A page of a pane asks for a new window: it opens in a new, empty browser tab beside the pane's
// tab, with the download-control flags of the settings.
void OpenPaneNewWindow(HWND ownerTab, IDispatch** created, VARIANT_BOOL* cancel)
{
    *created = nullptr;
    CSettings* settings = GetSettings();
    IBrowserTabFactory* factory = GetBrowserTabFactory();
    HWND client = ownerTab ? ::GetParent(ownerTab) : nullptr;
    if (!client)
        if (IBrowserTabHost* host = GetBrowserTabHost())
            client = host->GetMdiClientWindow();
    if (!settings || settings->Closing || !factory || !client) {
        *cancel = VARIANT_TRUE;
        return;
    }
    IBrowserTab* tab = factory->CreateBrowserTab(client, nullptr, "", settings->DLCtrlFlags);
    IWebBrowser2* browser = tab ? tab->GetWebBrowser() : nullptr;
    if (browser)
        browser->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(created));
    *cancel = *created ? VARIANT_FALSE : VARIANT_TRUE;
}

// ---------------------------------------------------------------------------------------------

struct CInfoPaneEvents {
    using A = VARIANTARG* const*;
    static void BeforeNavigate2(CInfoPane& pane, A a) { pane.OnBeforeNavigate2(a[0]->pdispVal); }
    static void NewWindow2(CInfoPane& pane, A a) { OpenPaneNewWindow(pane.m_ownerTab, a[0]->ppdispVal, a[1]->pboolVal); }
    static void DocumentComplete(CInfoPane& pane, A a) { pane.OnDocumentComplete(a[0]->pdispVal); }
    static void Quit(CInfoPane& pane, A) { pane.Unadvise(); }
    static void DownloadBegin(CInfoPane& pane, A) { ++pane.m_busyCount; }
    static void DownloadComplete(CInfoPane& pane, A)
    {
        if (pane.m_busyCount > 0)
            --pane.m_busyCount;
    }
    static void StatusTextChange(CInfoPane& pane, A a) { pane.OnStatusTextChange(NarrowText(a[0]->bstrVal)); }
    static void Ignored(CInfoPane&, A) {}
};

const TWebBrowserSinkEntry<CInfoPane>* CInfoPane::GetSinkTable()
{
    constexpr VARTYPE kRefVariant = VT_BYREF | VT_VARIANT;
    using E = CInfoPaneEvents;
    static const TWebBrowserSinkEntry<CInfoPane> table[] = {
        {L"_OnBeforeNavigate2", DISPID_BEFORENAVIGATE2, 7,
         {VT_DISPATCH, kRefVariant, kRefVariant, kRefVariant, kRefVariant, kRefVariant, VT_BYREF | VT_BOOL},
         &E::BeforeNavigate2},
        {L"_OnNewWindow2", DISPID_NEWWINDOW2, 2, {VT_BYREF | VT_DISPATCH, VT_BYREF | VT_BOOL}, &E::NewWindow2},
        {L"_OnDocumentComplete", DISPID_DOCUMENTCOMPLETE, 2, {VT_DISPATCH, kRefVariant}, &E::DocumentComplete},
        {L"_OnNavigateComplete2", DISPID_NAVIGATECOMPLETE2, 2, {VT_DISPATCH, kRefVariant}, &E::Ignored},
        {L"_OnQuit", DISPID_ONQUIT, 0, {}, &E::Quit},
        {L"_OnDownloadBegin", DISPID_DOWNLOADBEGIN, 0, {}, &E::DownloadBegin},
        {L"_OnDownloadComplete", DISPID_DOWNLOADCOMPLETE, 0, {}, &E::DownloadComplete},
        {L"_OnTitleChange", DISPID_TITLECHANGE, 1, {VT_BSTR}, &E::Ignored},
        {L"_OnStatusTextChange", DISPID_STATUSTEXTCHANGE, 1, {VT_BSTR}, &E::StatusTextChange},
        {L"_OnProgressChange", DISPID_PROGRESSCHANGE, 2, {VT_I4, VT_I4}, &E::Ignored},
        {L"_OnCommandStateChange", DISPID_COMMANDSTATECHANGE, 2, {VT_I4, VT_BOOL}, &E::Ignored},
        {L"_OnSetSecureLockIcon", DISPID_SETSECURELOCKICON, 1, {VT_I4}, &E::Ignored},
        {L"_OnPrivacyImpactedStateChange", DISPID_PRIVACYIMPACTEDSTATECHANGE, 1, {VT_BOOL}, &E::Ignored},
        {nullptr, 0, 0, {}, nullptr},
    };
    return table;
}

CInfoPane::~CInfoPane()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

HWND CInfoPane::Create(HWND parent, const RECT& rect)
{
    if (!AtlAxWinInit())
        return nullptr;
    RECT area = rect;
    return CWindowImpl<CInfoPane, CAxWindow>::Create(parent, area, kBlankPage, kHtmlPaneStyle, WS_EX_CLIENTEDGE,
                                                     kHtmlPaneControlId);
}

LRESULT CInfoPane::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The host window's own creation makes the engine from the window text.
    if (DefWindowProc(message, wParam, lParam) == -1)
        return -1;
    CComPtr<IWebBrowser2> browser;
    if (FAILED(QueryControl(&browser.p)) || !browser || !Advise(browser))
        return 0;  // a pane without an engine shows nothing; the owner decides
    SetUpPaneEngine(*this, kInfoPaneHostFlags, m_browser);
    return 0;
}

LRESULT CInfoPane::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Unadvise();
    m_body.Release();
    handled = FALSE;
    return 0;
}

void CInfoPane::OnBeforeNavigate2(IDispatch* source)
{
    if (IsTopLevel(source))
        ++m_busyCount;
}

void CInfoPane::OnDocumentComplete(IDispatch* source)
{
    if (!IsTopLevel(source))
        return;
    m_busyCount = 0;
    if (m_body)
        return;
    if (CComPtr<IDispatch> document = PageDocument(m_browser))
        m_body = GetObjectByName(document, L"body");
    if (m_body) {
        NMHDR ready = {m_hWnd, kHtmlPaneControlId, kInfoPaneReadyNotification};
        ::SendMessageA(GetParent(), WM_NOTIFY, kHtmlPaneControlId, reinterpret_cast<LPARAM>(&ready));
    }
}

void CInfoPane::OnStatusTextChange(const TStdStr<char>& text)
{
    if (!IsActiveTab(m_ownerTab))
        return;
    const TStdStr<char> shown = PaneStatusText(text);
    if (!shown.empty())
        GetTabTextStore().SetText(nullptr, shown.c_str());
}

void CInfoPane::Write(const TStdStr<char>& html)
{
    if (m_body)
        PutByName(m_body, L"innerHTML", CComVariant(html.c_str()));
}

// ---------------------------------------------------------------------------------------------

struct CHtmlPaneEvents {
    using A = VARIANTARG* const*;
    static void NewWindow2(CHtmlPane& pane, A a) { OpenPaneNewWindow(pane.m_ownerTab, a[0]->ppdispVal, a[1]->pboolVal); }
    static void Quit(CHtmlPane& pane, A) { pane.Unadvise(); }
};

const TWebBrowserSinkEntry<CHtmlPane>* CHtmlPane::GetSinkTable()
{
    static const TWebBrowserSinkEntry<CHtmlPane> table[] = {
        {L"_OnNewWindow2", DISPID_NEWWINDOW2, 2, {VT_BYREF | VT_DISPATCH, VT_BYREF | VT_BOOL},
         &CHtmlPaneEvents::NewWindow2},
        {L"_OnQuit", DISPID_ONQUIT, 0, {}, &CHtmlPaneEvents::Quit},
        {nullptr, 0, 0, {}, nullptr},
    };
    return table;
}

CHtmlPane::~CHtmlPane()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

HWND CHtmlPane::Create(HWND parent, const RECT& rect, const char* url)
{
    if (!AtlAxWinInit() || !url || !*url)
        return nullptr;
    RECT area = rect;
    return CWindowImpl<CHtmlPane, CAxWindow>::Create(parent, area, url, kHtmlPaneStyle, WS_EX_CLIENTEDGE,
                                                     kHtmlPaneControlId);
}

LRESULT CHtmlPane::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (DefWindowProc(message, wParam, lParam) == -1)
        return -1;
    CComPtr<IWebBrowser2> browser;
    if (FAILED(QueryControl(&browser.p)) || !browser || !Advise(browser))
        return 0;
    SetUpPaneEngine(*this, kHtmlPaneHostFlags, m_browser);
    return 0;
}

LRESULT CHtmlPane::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Unadvise();
    handled = FALSE;
    return 0;
}
