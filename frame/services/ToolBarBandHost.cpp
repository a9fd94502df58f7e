#include "frame/services/ToolBarBandHost.h"

#include "controls/ToolBarHelpers.h"
#include "core/library/RegistryKey.h"
#include "platform/Diagnostics.h"

#include <shlguid.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr DWORD kMaxValues = 512;

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

std::vector<CToolBarBandRecord> DiscoverToolBarBands(HKEY toolbarKey, HKEY clsidKey,
                                                     const std::function<bool(const std::string& clsid)>& isVisible)
{
    std::vector<CToolBarBandRecord> bands;
    if (!toolbarKey || !clsidKey)
        return bands;
    UINT nextId = kIdFirstHostedBand;
    for (DWORD index = 0; index < kMaxValues; ++index) {
        char name[256] = "";
        DWORD nameLength = sizeof(name);
        char data[256] = "";
        DWORD dataLength = sizeof(data) - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(toolbarKey, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            continue;
        if (Upper(name) != kFormFillerBandClsid)
            continue;
        CRegistryKey server;
        if (!server.Open(clsidKey, (std::string(name) + "\\InprocServer32").c_str(), KEY_READ))
            continue;
        TStdStr<char> path;
        if (!server.QueryStringValue(nullptr, path) || path.empty())
            continue;
        CToolBarBandRecord record;
        record.clsid = name;
        if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            data[dataLength < sizeof(data) ? dataLength : sizeof(data) - 1] = '\0';
            record.displayName = data;
        }
        record.visible = isVisible ? isVisible(record.clsid) : true;
        record.id = nextId++;
        bands.push_back(std::move(record));
    }
    return bands;
}

// ---------------------------------------------------------------------------------------------
// The band site: the rebar window for IOleWindow, the active browser for SID_SWebBrowserApp.

class CToolBarBandSite : public CComObjectRootEx<CComSingleThreadModel>,
                         public IOleWindow,
                         public IInputObjectSite,
                         public IServiceProvider {
public:
    BEGIN_COM_MAP(CToolBarBandSite)
        COM_INTERFACE_ENTRY(IOleWindow)
        COM_INTERFACE_ENTRY(IInputObjectSite)
        COM_INTERFACE_ENTRY(IServiceProvider)
    END_COM_MAP()

    void SetReBar(HWND reBar) { m_reBar = reBar; }
    void SetBrowser(IUnknown* browser) { m_browser = browser; }
    void FinalRelease() { m_browser.Release(); }

    // IOleWindow
    STDMETHOD(GetWindow)(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = m_reBar;
        return m_reBar ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }

    // IInputObjectSite: the band's focus is its own business; the frame asks nothing of it.
    STDMETHOD(OnFocusChangeIS)(IUnknown*, BOOL) override { return S_OK; }

    // IServiceProvider
    STDMETHOD(QueryService)(REFGUID service, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        try {
            if (!IsEqualGUID(service, SID_SWebBrowserApp) || !m_browser)
                return E_NOINTERFACE;
            return m_browser->QueryInterface(iid, object);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CToolBarBandSite::QueryService");
        }
    }

private:
    HWND m_reBar = nullptr;  // not owned: the host's rebar
    CComPtr<IUnknown> m_browser;
};

CToolBarBandHost::CToolBarBandHost(std::vector<CToolBarBandRecord> records)
{
    SetRecords(std::move(records));
}

void CToolBarBandHost::SetRecords(std::vector<CToolBarBandRecord> records)
{
    CloseAll();
    m_bands.clear();
    m_bands.reserve(records.size());
    for (CToolBarBandRecord& record : records) {
        CHostedToolBarBand band;
        band.record = std::move(record);
        m_bands.push_back(std::move(band));
    }
}

CToolBarBandHost::~CToolBarBandHost()
{
    CloseAll();
    m_bands.clear();
    if (m_site) {
        m_site->SetBrowser(nullptr);
        m_site->Release();
        m_site = nullptr;
    }
}

IUnknown* CToolBarBandHost::GetSite()
{
    if (!m_site) {
        CComObject<CToolBarBandSite>* site = nullptr;
        if (FAILED(CComObject<CToolBarBandSite>::CreateInstance(&site)) || !site)
            return nullptr;
        site->AddRef();
        m_site = site;
    }
    m_site->SetReBar(m_reBar);
    return m_site->GetUnknown();
}

void CToolBarBandHost::SetActiveBrowser(IUnknown* browser)
{
    if (browser && GetSite())
        m_site->SetBrowser(browser);
}

HWND CToolBarBandHost::CreateBand(size_t index)
{
    if (index >= m_bands.size())
        return nullptr;
    CHostedToolBarBand& band = m_bands[index];
    if (band.object)
        CloseBand(index);
    CLSID clsid{};
    std::wstring text(band.record.clsid.begin(), band.record.clsid.end());
    if (FAILED(CLSIDFromString(text.c_str(), &clsid)))
        return nullptr;
    CComPtr<IObjectWithSite> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IObjectWithSite, reinterpret_cast<void**>(&object))) ||
        !object)
        return nullptr;
    IUnknown* site = GetSite();
    if (!site || FAILED(object->SetSite(site)))
        return nullptr;
    CComPtr<IDeskBand> deskBand;
    CComPtr<IInputObject> input;
    object->QueryInterface(IID_IDeskBand, reinterpret_cast<void**>(&deskBand));
    object->QueryInterface(IID_IInputObject, reinterpret_cast<void**>(&input));
    HWND window = nullptr;
    if (!deskBand || FAILED(deskBand->GetWindow(&window)) || !window) {
        object->SetSite(nullptr);
        return nullptr;
    }
    band.object = object;
    band.deskBand = deskBand;
    band.input = input;
    band.window = window;
    if (m_reBar && ::IsWindow(m_reBar)) {
        AddReBarBand(m_reBar, window, band.record.id, nullptr, nullptr, true, 0, false);
        UpdateBandInfo(index);
    }
    return window;
}

size_t CToolBarBandHost::CreateVisibleBands()
{
    size_t created = 0;
    for (size_t i = 0; i < m_bands.size(); ++i) {
        if (m_bands[i].record.visible && CreateBand(i))
            ++created;
    }
    return created;
}

void CToolBarBandHost::UpdateBandInfo(size_t index)
{
    if (index >= m_bands.size() || !m_bands[index].deskBand || !m_reBar || !::IsWindow(m_reBar))
        return;
    CHostedToolBarBand& band = m_bands[index];
    DESKBANDINFO info{};
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS |
                  DBIM_BKCOLOR;
    if (FAILED(band.deskBand->GetBandInfo(band.record.id, 0, &info)))
        return;
    const int position = static_cast<int>(::SendMessageA(m_reBar, RB_IDTOINDEX, band.record.id, 0));
    if (position < 0)
        return;
    // A band answers with any numbers it likes: negative sizes become 0.
    auto size = [](LONG value) { return static_cast<UINT>(value > 0 ? value : 0); };
    REBARBANDINFOA bandInfo = {sizeof(bandInfo)};
    bandInfo.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    bandInfo.cxMinChild = size(info.ptMinSize.x);
    bandInfo.cyMinChild = size(info.ptMinSize.y);
    bandInfo.cyMaxChild = size(info.ptMaxSize.y);
    bandInfo.cyIntegral = size(info.ptIntegral.y);
    bandInfo.cx = size(info.ptActual.x);
    bandInfo.cxIdeal = size(info.ptActual.x);
    ::SendMessageA(m_reBar, RB_SETBANDINFOA, position, reinterpret_cast<LPARAM>(&bandInfo));
}

void CToolBarBandHost::CloseBand(size_t index)
{
    if (index >= m_bands.size())
        return;
    CHostedToolBarBand& band = m_bands[index];
    if (band.object)
        band.object->SetSite(nullptr);
    if (m_reBar && ::IsWindow(m_reBar)) {
        const int position = static_cast<int>(::SendMessageA(m_reBar, RB_IDTOINDEX, band.record.id, 0));
        if (position >= 0)
            ::SendMessageA(m_reBar, RB_DELETEBAND, position, 0);
    }
    band.input.Release();
    band.deskBand.Release();
    band.object.Release();
    band.window = nullptr;
}

void CToolBarBandHost::CloseAll()
{
    for (size_t i = 0; i < m_bands.size(); ++i)
        CloseBand(i);
}

bool CToolBarBandHost::ToggleBand(UINT id)
{
    for (size_t i = 0; i < m_bands.size(); ++i) {
        if (m_bands[i].record.id != id)
            continue;
        if (m_bands[i].object) {
            CloseBand(i);
            m_bands[i].record.visible = false;
        } else {
            m_bands[i].record.visible = CreateBand(i) != nullptr;
        }
        return true;
    }
    return false;
}
