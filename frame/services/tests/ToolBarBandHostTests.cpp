// The discovery of hosted toolbar bands from scratch "Toolbar" and "CLSID" keys, and the hosting of
// a band object in a rebar.
#include "core/library/RegistryKey.h"
#include "core/app/SettingsStore.h"
#include "frame/services/FrameServices.h"
#include "frame/services/ToolBarBandHost.h"

#include "controls/tests/Screenshot.h"
#include "platform/AtlCom.h"

#include <commctrl.h>
#include <exdisp.h>
#include <shlguid.h>

#include <gtest/gtest.h>

namespace {

constexpr char kRoot[] = "Software\\ServicesTestBands";

} // namespace

TEST(ToolBarBandHost, OnlyTheFormFillerWithAServerIsListed)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    {
        CRegistryKey toolbar;
        ASSERT_TRUE(toolbar.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Toolbar").c_str()));
        CRegistryKey clsid;
        ASSERT_TRUE(clsid.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\CLSID").c_str()));
        const std::string lower = "{724d43a0-0d85-11d4-9908-00400523e39a}";
        const std::string other = "{11111111-2222-3333-4444-555555555555}";
        toolbar.SetStringValue(lower.c_str(), "&Form Bar");
        toolbar.SetStringValue(other.c_str(), "Other bar");
        for (const std::string& id : {lower, other}) {
            CRegistryKey server;
            ASSERT_TRUE(server.Create(clsid, (id + "\\InprocServer32").c_str()));
            server.SetStringValue(nullptr, "C:\\bands\\band.dll");
        }
        auto bands = DiscoverToolBarBands(toolbar, clsid);
        ASSERT_EQ(1u, bands.size());
        EXPECT_EQ(lower, bands[0].clsid);
        EXPECT_EQ("&Form Bar", bands[0].displayName);
        EXPECT_EQ(kIdFirstHostedBand, bands[0].id);
        EXPECT_TRUE(bands[0].visible);

        // An empty server path: skipped, and no id is used.
        CRegistryKey server;
        ASSERT_TRUE(server.Open(clsid, (lower + "\\InprocServer32").c_str()));
        server.SetStringValue(nullptr, "");
        EXPECT_TRUE(DiscoverToolBarBands(toolbar, clsid).empty());
        EXPECT_TRUE(DiscoverToolBarBands(nullptr, clsid).empty());
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
}

// ---------------------------------------------------------------------------------------------
// The hosting of a band: a small band object of the test's own, registered in this process under
// the form filler's class id, stands in for the outside one.

namespace {

const CLSID kFormFillerClsid = {0x724D43A0, 0x0D85, 0x11D4, {0x99, 0x08, 0x00, 0x40, 0x05, 0x23, 0xE3, 0x9A}};

// What the stand-in band saw of its site.
struct CBandLog {
    int setSiteCalls = 0;
    int clearSiteCalls = 0;
    HWND siteWindow = nullptr;
    bool browserServed = false;
    DWORD askedBandId = 0;
};
CBandLog g_bandLog;

class CStandInBand : public CComObjectRootEx<CComSingleThreadModel>,
                     public IObjectWithSite,
                     public IDeskBand,
                     public IInputObject {
public:
    BEGIN_COM_MAP(CStandInBand)
        COM_INTERFACE_ENTRY(IObjectWithSite)
        COM_INTERFACE_ENTRY(IDeskBand)
        COM_INTERFACE_ENTRY2(IOleWindow, IDeskBand)
        COM_INTERFACE_ENTRY(IDockingWindow)
        COM_INTERFACE_ENTRY(IInputObject)
    END_COM_MAP()

    void FinalRelease()
    {
        if (m_window)
            DestroyWindow(m_window);
    }

    STDMETHOD(SetSite)(IUnknown* site) override
    {
        m_site.Release();
        if (!site) {
            ++g_bandLog.clearSiteCalls;
            if (m_window)
                DestroyWindow(m_window);
            m_window = nullptr;
            return S_OK;
        }
        ++g_bandLog.setSiteCalls;
        m_site = site;
        CComPtr<IOleWindow> oleWindow;
        HWND parent = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow))) ||
            FAILED(oleWindow->GetWindow(&parent)))
            return E_FAIL;
        g_bandLog.siteWindow = parent;
        CComPtr<IServiceProvider> services;
        if (SUCCEEDED(site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services)))) {
            CComPtr<IWebBrowser2> browser;
            g_bandLog.browserServed = SUCCEEDED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                                                       reinterpret_cast<void**>(&browser))) &&
                                      browser;
        }
        m_window = CreateWindowExA(0, "STATIC", "Stand-in form filler band", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0,
                                   220, 24, parent, nullptr, nullptr, nullptr);
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHOD(GetSite)(REFIID iid, void** site) override
    {
        if (!site)
            return E_POINTER;
        *site = nullptr;
        return m_site ? m_site->QueryInterface(iid, site) : E_FAIL;
    }
    STDMETHOD(GetWindow)(HWND* window) override
    {
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    STDMETHOD(ShowDW)(BOOL) override { return S_OK; }
    STDMETHOD(CloseDW)(DWORD) override { return S_OK; }
    STDMETHOD(ResizeBorderDW)(LPCRECT, IUnknown*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(GetBandInfo)(DWORD bandId, DWORD, DESKBANDINFO* info) override
    {
        g_bandLog.askedBandId = bandId;
        info->ptMinSize = {120, 24};
        info->ptMaxSize = {-1, 24};
        info->ptIntegral = {1, 1};
        info->ptActual = {220, 24};
        return S_OK;
    }
    STDMETHOD(UIActivateIO)(BOOL, LPMSG) override { return S_OK; }
    STDMETHOD(HasFocusIO)() override { return S_FALSE; }
    STDMETHOD(TranslateAcceleratorIO)(LPMSG) override { return S_FALSE; }

private:
    CComPtr<IUnknown> m_site;
    HWND m_window = nullptr;  // owned: destroyed when the site goes
};

class CStandInBandFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        CComObject<CStandInBand>* band = nullptr;
        HRESULT hr = CComObject<CStandInBand>::CreateInstance(&band);
        if (FAILED(hr))
            return hr;
        return AtlHandOutNewObject(band, iid, object);
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

// A browser object for the site's service: anything that answers IWebBrowser2 will do, so the
// test hands over an object that answers every interface with itself.
class CAnyBrowser : public IUnknown {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWebBrowser2)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
};

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

TEST(ToolBarBandHost, TheStandInBandIsShownInTheReBarAndRemoved)
{
    CStandInBandFactory factory;
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(
        CoRegisterClassObject(kFormFillerClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    g_bandLog = {};

    HWND frame = CreateWindowExA(0, "#32770", "Band host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 30, 30, 420, 120,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND reBar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER,
                                 0, 0, 400, 40, frame, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, reBar);
    {
        CToolBarBandRecord record;
        record.clsid = "{724d43a0-0d85-11d4-9908-00400523e39a}";
        record.displayName = "&Form Bar";
        record.id = kIdFirstHostedBand;
        CToolBarBandHost host({record});
        host.SetReBar(reBar);
        CAnyBrowser browser;
        host.SetActiveBrowser(&browser);

        HWND band = host.CreateBand(0);
        ASSERT_NE(nullptr, band);
        EXPECT_TRUE(host.IsCreated(0));
        EXPECT_EQ(1, g_bandLog.setSiteCalls);
        EXPECT_EQ(reBar, g_bandLog.siteWindow);
        EXPECT_TRUE(g_bandLog.browserServed);
        EXPECT_EQ(kIdFirstHostedBand, g_bandLog.askedBandId);
        const LRESULT position = SendMessageA(reBar, RB_IDTOINDEX, kIdFirstHostedBand, 0);
        ASSERT_GE(position, 0);
        REBARBANDINFOA info = {sizeof(info)};
        info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE;
        ASSERT_TRUE(SendMessageA(reBar, RB_GETBANDINFOA, position, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(band, info.hwndChild);
        EXPECT_EQ(120u, info.cxMinChild);
        EXPECT_EQ(24u, info.cyMinChild);
        EXPECT_EQ(220u, info.cxIdeal);
        UpdateWindow(frame);
        Pump();
        std::string path;
        EXPECT_TRUE(kivo_test::WriteWindowScreenshot(frame, "services_hosted_band.bmp", path));

        // The band's command closes it (site taken away, band removed) and brings it back.
        EXPECT_TRUE(host.ToggleBand(kIdFirstHostedBand));
        EXPECT_FALSE(host.IsCreated(0));
        EXPECT_EQ(1, g_bandLog.clearSiteCalls);
        EXPECT_EQ(-1, SendMessageA(reBar, RB_IDTOINDEX, kIdFirstHostedBand, 0));
        EXPECT_FALSE(host.GetBands()[0].record.visible);
        EXPECT_TRUE(host.ToggleBand(kIdFirstHostedBand));
        EXPECT_TRUE(host.IsCreated(0));
        EXPECT_GE(SendMessageA(reBar, RB_IDTOINDEX, kIdFirstHostedBand, 0), 0);
        EXPECT_FALSE(host.ToggleBand(kIdFirstHostedBand + 1));

        host.CloseAll();
        EXPECT_EQ(2, g_bandLog.clearSiteCalls);
        EXPECT_EQ(0, SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
    }
    CoRevokeClassObject(cookie);

    // Without a registered object the band yields no window and the rebar stays empty.
    {
        CToolBarBandRecord record;
        record.clsid = kFormFillerBandClsid;
        record.id = kIdFirstHostedBand;
        CToolBarBandHost host({record});
        host.SetReBar(reBar);
        EXPECT_EQ(nullptr, host.CreateBand(0));
        EXPECT_EQ(0u, host.CreateVisibleBands());
        EXPECT_EQ(0, SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
        CToolBarBandRecord damaged;
        damaged.clsid = "not a class id";
        CToolBarBandHost other({damaged});
        EXPECT_EQ(nullptr, other.CreateBand(0));
        EXPECT_EQ(nullptr, other.CreateBand(5));
    }
    DestroyWindow(frame);
}

// The frame's services discover the band, show it in the frame's rebar, toggle it with its id
// and, when the window goes, keep its visible flag and close it.
TEST(ToolBarBandHost, TheFrameServicesHostTheDiscoveredBand)
{
    CStandInBandFactory factory;
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(
        CoRegisterClassObject(kFormFillerClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    g_bandLog = {};
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    CRegistryKey toolbar;
    ASSERT_TRUE(toolbar.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Toolbar").c_str()));
    CRegistryKey clsid;
    ASSERT_TRUE(clsid.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\CLSID").c_str()));
    toolbar.SetStringValue(kFormFillerBandClsid, "&RoboForm Bar");
    {
        CRegistryKey server;
        ASSERT_TRUE(server.Create(clsid, (std::string(kFormFillerBandClsid) + "\\InprocServer32").c_str()));
        server.SetStringValue(nullptr, "C:\\bands\\band.dll");
    }
    CSettingsStore& store = *GetSettingsStore();
    store.WriteInt("IEToolBar", kFormFillerBandClsid, 1);
    HWND frame = CreateWindowExA(0, "#32770", "Band host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 30, 30, 420, 120,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND reBar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER, 0, 0,
                                 400, 40, frame, nullptr, nullptr, nullptr);
    {
        CFrameServices services;
        services.OnCreate(frame, GetModuleHandleA(nullptr));
        ASSERT_EQ(1u, services.CreateHostedBands(reBar, toolbar, clsid));
        EXPECT_GE(SendMessageA(reBar, RB_IDTOINDEX, kIdFirstHostedBand, 0), 0);
        LRESULT result = 0;
        EXPECT_TRUE(services.HandleMessage(WM_COMMAND, kIdFirstHostedBand, 0, result));
        EXPECT_EQ(-1, SendMessageA(reBar, RB_IDTOINDEX, kIdFirstHostedBand, 0));
        services.OnDestroy();
    }
    // Hidden when the window went: the flag is kept and the next start creates nothing.
    EXPECT_EQ(0u, store.GetInt("IEToolBar", kFormFillerBandClsid, 1));
    {
        CFrameServices services;
        services.OnCreate(frame, GetModuleHandleA(nullptr));
        EXPECT_EQ(0u, services.CreateHostedBands(reBar, toolbar, clsid));
        ASSERT_EQ(1u, services.GetBandHost().GetBands().size());
        EXPECT_EQ(0, SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
        services.OnDestroy();
    }
    store.WriteInt("IEToolBar", kFormFillerBandClsid, 1);
    CoRevokeClassObject(cookie);
    DestroyWindow(frame);
    toolbar.Close();
    clsid.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
}
