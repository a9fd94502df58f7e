#include "browser/BrowserHostWnd.h"

#include "browser/BrowserResources.h"
#include "browser/BrowserStrings.h"
#include "browser/ScriptErrors.h"
#include "browser/tools/PageDropTarget.h"
#include "controls/TabbedMDI.h"
#include "core/app/Settings.h"
#include "core/system/MenuFunctions.h"

#include <mshtmdid.h>

#include <algorithm>

namespace {

// The program's site: the plain site, with the engine's request to show a script error answered.
class CBrowserAxHost final : public CAxHostWindow {
public:
    explicit CBrowserAxHost(HWND tab) : m_tab(tab) {}
    STDMETHOD(Exec)(const GUID* group, DWORD commandId, DWORD options, VARIANT* in, VARIANT* out) override
    {
        try {
            if (!group || *group != kCommandGroupDocHost)
                return OLECMDERR_E_UNKNOWNGROUP;
            if (commandId != OLECMDID_SHOWSCRIPTERROR)
                return OLECMDERR_E_NOTSUPPORTED;
            (void)options;
            return CollectScriptError(m_tab, in, out);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CBrowserAxHost::Exec");
        }
    }

private:
    HWND m_tab;  // the tab whose errors these are; not owned
};

// The document-host questions: the host flags and no drop target of its own; the rest is left
// to the engine (E_NOTIMPL keeps its own context menu and accelerators).
class CDocHostUIHandler final : public IDocHostUIHandlerDispatch {
public:
    CDocHostUIHandler() { AtlModuleLock(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(IDocHostUIHandlerDispatch))
            return E_NOINTERFACE;
        *object = static_cast<IDocHostUIHandlerDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = ::InterlockedDecrement(&m_references);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    // There is no type library of the host's interfaces here: the host calls through the vtable.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHOD(ShowContextMenu)(DWORD, DWORD, DWORD, IUnknown*, IDispatch*, HRESULT*) override { return E_NOTIMPL; }
    STDMETHOD(GetHostInfo)(DWORD* flags, DWORD*) override
    {
        if (!flags)
            return E_POINTER;
        *flags = kBrowserHostFlags;
        return S_OK;
    }
    STDMETHOD(ShowUI)(DWORD, IUnknown*, IUnknown*, IUnknown*, IUnknown*, HRESULT*) override { return E_NOTIMPL; }
    STDMETHOD(HideUI)() override { return E_NOTIMPL; }
    STDMETHOD(UpdateUI)() override { return E_NOTIMPL; }
    STDMETHOD(EnableModeless)(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHOD(OnDocWindowActivate)(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHOD(OnFrameWindowActivate)(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHOD(ResizeBorder)(long, long, long, long, IUnknown*, VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHOD(TranslateAccelerator)(DWORD_PTR, DWORD, DWORD_PTR, DWORD_PTR, BSTR, DWORD, HRESULT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHOD(GetOptionKeyPath)(BSTR* key, DWORD) override
    {
        if (key)
            *key = nullptr;
        return E_NOTIMPL;
    }
    // Drops on every page are the program's: the one page drop target replaces the engine's.
    STDMETHOD(GetDropTarget)(IUnknown*, IUnknown** hostTarget) override
    {
        if (!hostTarget)
            return E_POINTER;
        *hostTarget = GetPageDropTarget();
        (*hostTarget)->AddRef();
        return S_OK;
    }
    STDMETHOD(GetExternal)(IDispatch** external) override
    {
        if (!external)
            return E_POINTER;
        *external = nullptr;
        return S_OK;
    }
    STDMETHOD(TranslateUrl)(DWORD, BSTR, BSTR* urlOut) override
    {
        if (urlOut)
            *urlOut = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(FilterDataObject)(IUnknown*, IUnknown** replacement) override
    {
        if (replacement)
            *replacement = nullptr;
        return E_NOTIMPL;
    }

private:
    ~CDocHostUIHandler() { AtlModuleUnlock(); }
    LONG m_references = 0;
};

// The ambient property DISPID_AMBIENT_DLCONTROL answered with the tab's flags.
class CAmbientDLControl final : public IDispatch {
public:
    explicit CAmbientDLControl(std::shared_ptr<DWORD> flags) : m_flags(std::move(flags)) { AtlModuleLock(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch)
            return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    STDMETHOD_(ULONG, Release)() override
    {
        const LONG count = ::InterlockedDecrement(&m_references);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
    STDMETHOD(GetTypeInfoCount)(UINT*) override { return E_NOTIMPL; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (!params)
            return DISP_E_PARAMNOTFOUND;
        if (id != DISPID_AMBIENT_DLCONTROL)
            return DISP_E_MEMBERNOTFOUND;
        if (!result)
            return E_POINTER;
        ::VariantInit(result);
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(*m_flags);
        return S_OK;
    }

private:
    ~CAmbientDLControl() { AtlModuleUnlock(); }
    LONG m_references = 0;
    std::shared_ptr<DWORD> m_flags;
};

} // namespace

DWORD DownloadControlBit(UINT command, bool* checkedWhenSet)
{
    struct Entry {
        UINT command;
        DWORD bit;
        bool checkedWhenSet;
    };
    static const Entry kTable[] = {
        {ID_DLCTL_IMAGES, DownloadControl::Images, true},         {ID_DLCTL_VIDEOS, DownloadControl::Videos, true},
        {ID_DLCTL_SOUNDS, DownloadControl::Sounds, true},         {ID_DLCTL_SCRIPTS, DownloadControl::NoScripts, false},
        {ID_DLCTL_JAVA, DownloadControl::NoJava, false},          {ID_DLCTL_ACTIVEX, DownloadControl::NoRunActiveX, false},
        {ID_DLCTL_DOWNLOAD_ACTIVEX, DownloadControl::NoDownloadActiveX, false},
        {ID_DLCTL_SILENT, DownloadControl::Silent, true},
    };
    for (const Entry& entry : kTable)
        if (entry.command == command) {
            if (checkedWhenSet)
                *checkedWhenSet = entry.checkedWhenSet;
            return entry.bit;
        }
    return 0;
}

UINT AutoRefreshInterval(DWORD flags, long long userSeconds)
{
    static const struct {
        DWORD bit;
        UINT ms;
    } kIntervals[] = {{0x1, 15000}, {0x2, 30000}, {0x4, 60000}, {0x8, 120000}, {0x10, 300000}};
    for (const auto& interval : kIntervals)
        if (flags & interval.bit)
            return interval.ms;
    if (!(flags & 0x20) || userSeconds <= 0)
        return 0;
    // A large stored value would overflow a 32-bit product into a tiny or negative interval.
    const long long ms = std::min<long long>(userSeconds, USER_TIMER_MAXIMUM / 1000) * 1000;
    return static_cast<UINT>(std::clamp<long long>(ms, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
}

CBrowserHostWnd::CBrowserHostWnd(DWORD downloadControlFlags)
    : m_downloadControl(std::make_shared<DWORD>(downloadControlFlags))
{
}

CBrowserHostWnd::~CBrowserHostWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

HWND CBrowserHostWnd::CreateHost(HWND tab, const RECT& rect)
{
    m_tab = tab;
    auto* site = new CBrowserAxHost(tab);
    site->AddRef();  // held across the creation, whatever the window does with it
    CAxWindow window;
    const HWND created = window.CreateWithHost(tab, rect, "about:blank", kBrowserHostStyle, WS_EX_CLIENTEDGE,
                                               kBrowserHostControlId, site);
    site->Release();
    if (!created || !SubclassWindow(created))
        return nullptr;
    window.QueryControl(&m_browser.p);
    if (m_browser)
        InstallHostObjects();
    return created;
}

void CBrowserHostWnd::InstallHostObjects()
{
    CComPtr<IAxWinHostWindow> site;
    if (FAILED(QueryHost(&site.p)) || !site)
        return;
    CComPtr<IDocHostUIHandlerDispatch> handler(new CDocHostUIHandler());
    site->SetExternalUIHandler(handler);
    CComPtr<IAxWinAmbientDispatchEx> ambient;
    if (SUCCEEDED(QueryHost(&ambient.p)) && ambient) {
        CComPtr<IDispatch> downloadControl(new CAmbientDLControl(m_downloadControl));
        ambient->SetAmbientDispatch(downloadControl);
    }
    NotifyAmbientChange();
}

void CBrowserHostWnd::NotifyAmbientChange()
{
    CComQIPtr<IOleControl> control(m_browser);
    if (control)
        control->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL);
}

TStdStr<char> CBrowserHostWnd::UserDefinedItemText(long long seconds)
{
    char suffix[32] = {};
    _snprintf_s(suffix, sizeof(suffix), _TRUNCATE, " (%lldS)", seconds);
    return BrowserString(IDS_BROWSER_USER_DEFINED, "&User Defined") + suffix;
}

bool CBrowserHostWnd::QueryCommandState(UINT command, bool& enabled, bool& checked) const
{
    bool checkedWhenSet = false;
    if (const DWORD bit = DownloadControlBit(command, &checkedWhenSet)) {
        enabled = true;
        checked = ((*m_downloadControl & bit) != 0) == checkedWhenSet;
        return true;
    }
    if (command == ID_AUTOREFRESH_DISABLED) {
        enabled = true;
        checked = m_autoRefresh == 0;
        return true;
    }
    if (command >= ID_AUTOREFRESH_15S && command <= ID_AUTOREFRESH_5M) {
        enabled = true;
        checked = (m_autoRefresh & (1u << (command - ID_AUTOREFRESH_15S))) != 0;
        return true;
    }
    if (command == ID_AUTOREFRESH_USER) {
        enabled = GetSettings()->AutoRefresh != 0;
        checked = m_autoRefresh == 0x20;
        return true;
    }
    return false;
}

LRESULT CBrowserHostWnd::OnDownloadControl(WORD, WORD id, HWND, BOOL&)
{
    const DWORD bit = DownloadControlBit(id);
    *m_downloadControl ^= bit;
    NotifyAmbientChange();
    // With Ctrl held the new flags apply from the next navigation on.
    if (m_browser && ::GetKeyState(VK_CONTROL) >= 0) {
        CComBSTR url;
        m_browser->get_LocationURL(&url);
        CComVariant empty;
        m_browser->Navigate(url, &empty, &empty, &empty, &empty);
        CComVariant level(static_cast<long>(REFRESH_COMPLETELY));
        m_browser->Refresh2(&level);
    }
    return 0;
}

LRESULT CBrowserHostWnd::OnAutoRefreshSelect(WORD, WORD id, HWND, BOOL&)
{
    m_autoRefresh = 0;
    if (m_timer) {
        KillTimer(m_timer);
        m_timer = 0;
    }
    m_timerInterval = 0;
    if (id >= ID_AUTOREFRESH_15S && id <= ID_AUTOREFRESH_USER)
        m_autoRefresh = 1u << (id - ID_AUTOREFRESH_15S);
    const UINT interval = AutoRefreshInterval(m_autoRefresh, GetSettings()->AutoRefresh);
    if (interval > 0 && m_hWnd) {
        m_timer = SetTimer(kAutoRefreshTimerId, interval);
        m_timerInterval = m_timer ? interval : 0;
    }
    return 0;
}

LRESULT CBrowserHostWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (!m_timer || wParam != m_timer) {
        handled = FALSE;
        return 0;
    }
    ::PostMessageA(m_tab, WM_COMMAND, MAKEWPARAM(ID_BROWSER_REFRESH, 0), 0);
    return 0;
}

UINT CBrowserHostWnd::PageMenuMessage()
{
    return GetTabbedMdiMessages().showTabContextMenu;
}

// The "HTML" page's tab in the inner strip: View Source and Page Analyzer, posted to the tab.
LRESULT CBrowserHostWnd::OnPageMenu(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_hWnd) {
        handled = FALSE;
        return 0;
    }
    HMENU menu = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_BROWSER_PAGE_MENU));
    if (!menu)
        return 0;
    const UINT chosen = TrackFramePopupMenu(::GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                            static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                                            m_tab);
    ::DestroyMenu(menu);
    if (chosen)
        ::PostMessageA(m_tab, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return 0;
}
