// The frame that the program shows before its bars, menus, status bar, client and first tab are
// built: once its after-create message has run it is the frame that creation builds at once, with
// every band in its saved order and size; a URL handed over before that message lands as in a
// frame built at once, and a frame that goes before it leaves the saved band layout as it was.
// The Internet settings (proxy, cookie preferences, the ad filter's namespace handler) are applied
// with the contents, in either build, before the first tab.
#include "frame/MainFrame.h"
#include "frame/tests/FrameTestSupport.h"

#include "controls/ToolBarHelpers.h"
#include "core/app/Settings.h"
#include "frame/services/FramePrivacy.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <unknwn.h>

#include <ostream>
#include <string>
#include <vector>

using namespace frame_test;

namespace {

struct CBandState {
    UINT id = 0;
    UINT style = 0;
    UINT width = 0;
    bool operator==(const CBandState&) const = default;
};

void PrintTo(const CBandState& band, std::ostream* out)
{
    *out << "{id " << band.id << ", style 0x" << std::hex << band.style << std::dec << ", width " << band.width << "}";
}

// What the finished frame shows, as far as the layout goes.
struct CFrameState {
    std::vector<CBandState> bands;
    int menuItems = 0;
    std::vector<int> statusPanes;
    std::vector<std::string> tabUrls;
    int sidePanels = 0;
    bool progressBar = false;
    bool operator==(const CFrameState&) const = default;
};

std::vector<CBandState> Bands(HWND rebar)
{
    std::vector<CBandState> bands;
    const int count = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE;
        SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        bands.push_back({band.wID, band.fStyle & (RBBS_HIDDEN | RBBS_BREAK), band.cx});
    }
    return bands;
}

CFrameState StateOf(CTestFrame& test)
{
    CMainFrame& frame = test.Frame();
    CFrameState state;
    state.bands = Bands(frame.GetReBar());
    state.menuItems = GetMenuItemCount(frame.GetMenuBarMenu());
    state.statusPanes = frame.GetStatusBar().GetPaneIds();
    for (const CFakeTab* tab : test.TabsInOrder())
        state.tabUrls.push_back(tab->m_url);
    state.sidePanels = frame.GetPanes().GetCount();
    state.progressBar = frame.GetProgressBar() != nullptr;
    return state;
}

int IndexOf(const std::vector<CBandState>& bands, UINT id)
{
    for (size_t i = 0; i < bands.size(); ++i)
        if (bands[i].id == id)
            return static_cast<int>(i);
    return -1;
}

// Stands in for the browser library's privacy seam: counts what the frame applies at its start.
struct CStartRecordingPrivacy final : IFramePrivacy {
    void BuildProxyMenu(HMENU, int) override {}
    void UpdateProxyMenuCheck(HMENU, int, int) override {}
    EFrameProxyResult ApplyProxy(int, int, bool atStartup) override
    {
        if (atStartup)
            ++appliedAtStartup;
        return EFrameProxyResult::kRefused;
    }
    void RememberCookiePreferences() override { ++remembered; }
    bool OnCookieCommand(UINT) override { return false; }
    void UpdateCookieMenu(HMENU, HMENU, UINT) override {}
    int appliedAtStartup = 0;
    int remembered = 0;
};

class CScopedStartPrivacy {
public:
    explicit CScopedStartPrivacy(IFramePrivacy& privacy) : m_previous(SetFramePrivacy(&privacy)) {}
    ~CScopedStartPrivacy() { SetFramePrivacy(m_previous); }
    CScopedStartPrivacy(const CScopedStartPrivacy&) = delete;
    CScopedStartPrivacy& operator=(const CScopedStartPrivacy&) = delete;

private:
    IFramePrivacy* m_previous = nullptr;  // not owned
};

// The module's namespace handler class as the program registers it (the all-zero class id), here
// for this process only; it makes nothing, since the frames of these tests make no requests.
class CNullNameSpaceFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The object lives on the test's stack, beyond every reference the system holds.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

class CScopedNameSpaceClass {
public:
    explicit CScopedNameSpaceClass(IClassFactory& factory)
    {
        m_registered = SUCCEEDED(CoRegisterClassObject(CLSID_NULL, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                                       &m_cookie));
    }
    ~CScopedNameSpaceClass()
    {
        if (m_registered)
            CoRevokeClassObject(m_cookie);
    }
    CScopedNameSpaceClass(const CScopedNameSpaceClass&) = delete;
    CScopedNameSpaceClass& operator=(const CScopedNameSpaceClass&) = delete;
    bool IsRegistered() const { return m_registered; }

private:
    DWORD m_cookie = 0;
    bool m_registered = false;
};

class CFrameBuildAfterShowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        if (CSettings* settings = GetSettings())
            settings->PreviousRunState = 1;  // the start pages are handled: nothing more opens
        StoreBandLayout();
    }
    void TearDown() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
    }

    // A layout that differs from the one creation makes: the search bar moved before the Links
    // bar, the address bar narrower, the Links bar hidden. Closing the frame stores it.
    static void StoreBandLayout()
    {
        CTestFrame test;
        test.RunAfterCreate();
        HWND rebar = test.Frame().GetReBar();
        const int search = static_cast<int>(SendMessageA(rebar, RB_IDTOINDEX, ID_BAND_SEARCH_BAR, 0));
        const int links = static_cast<int>(SendMessageA(rebar, RB_IDTOINDEX, ID_BAND_LINKS_BAR, 0));
        ASSERT_GT(search, links);
        SendMessageA(rebar, RB_MOVEBAND, search, links);
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_SIZE;
        band.cx = kStoredAddressWidth;
        SendMessageA(rebar, RB_SETBANDINFOA, SendMessageA(rebar, RB_IDTOINDEX, ID_BAND_ADDRESS_BAR, 0),
                     reinterpret_cast<LPARAM>(&band));
        SendMessageA(rebar, RB_SHOWBAND, SendMessageA(rebar, RB_IDTOINDEX, ID_BAND_LINKS_BAR, 0), FALSE);
        test.Close();
        TakeQuitCode();
        ResetFrameSettings();
        if (CSettings* settings = GetSettings())
            settings->PreviousRunState = 1;
    }

    static constexpr UINT kStoredAddressWidth = 321;
};

} // namespace

TEST_F(CFrameBuildAfterShowTest, FinishedFrameIsTheOneCreationBuildsWithTheStoredBandLayout)
{
    CFrameState late;
    {
        CTestFrame test(CFrameBuild::AfterShow);
        ASSERT_TRUE(test.Window());
        // Shown with nothing built yet: no bars, no client, no tab.
        EXPECT_TRUE(IsWindowVisible(test.Window()));
        EXPECT_FALSE(test.Frame().AreContentsBuilt());
        EXPECT_EQ(test.Frame().GetReBar(), nullptr);
        EXPECT_EQ(test.Frame().GetMdiClientWindow(), nullptr);
        EXPECT_TRUE(test.Frame().GetTabs().empty());
        test.RunAfterCreate();
        EXPECT_TRUE(test.Frame().AreContentsBuilt());
        late = StateOf(test);
        test.Close();
        EXPECT_EQ(TakeQuitCode(), 1);
    }
    ResetFrameSettings();
    if (CSettings* settings = GetSettings())
        settings->PreviousRunState = 1;
    CTestFrame test;
    test.RunAfterCreate();
    CFrameState atOnce = StateOf(test);
    // The menu bar's band takes the width its bar measures for the menu's items, which comes out
    // narrower in a window that is already shown (602 against 680 pixels here): the one band whose
    // width is left out of the comparison; alone on its row, the band spans the row either way.
    for (CFrameState* state : {&late, &atOnce})
        for (CBandState& band : state->bands)
            if (band.id == ID_BAND_COMMAND_BAR)
                band.width = 0;
    EXPECT_EQ(late, atOnce);
    EXPECT_EQ(late.bands, atOnce.bands);
    EXPECT_EQ(late.menuItems, atOnce.menuItems);
    EXPECT_EQ(late.statusPanes, atOnce.statusPanes);
    EXPECT_EQ(late.tabUrls, atOnce.tabUrls);
    EXPECT_EQ(late.sidePanels, atOnce.sidePanels);

    // Every band in its stored place and size.
    const std::vector<CBandState>& bands = late.bands;
    for (UINT id : {ID_BAND_COMMAND_BAR, ID_BAND_SYSTEM_TOOLBAR, ID_BAND_ADDRESS_BAR, ID_BAND_LINKS_BAR,
                    ID_BAND_PLUGINS_BAR, ID_BAND_SEARCH_BAR, ID_BAND_FORM_FILLER}) {
        SCOPED_TRACE(id);
        EXPECT_GE(IndexOf(bands, id), 0);
    }
    EXPECT_LT(IndexOf(bands, ID_BAND_SEARCH_BAR), IndexOf(bands, ID_BAND_LINKS_BAR));
    ASSERT_GE(IndexOf(bands, ID_BAND_ADDRESS_BAR), 0);
    EXPECT_EQ(bands[IndexOf(bands, ID_BAND_ADDRESS_BAR)].width, kStoredAddressWidth);
    ASSERT_GE(IndexOf(bands, ID_BAND_LINKS_BAR), 0);
    EXPECT_TRUE(bands[IndexOf(bands, ID_BAND_LINKS_BAR)].style & RBBS_HIDDEN);
    EXPECT_EQ(late.tabUrls, std::vector<std::string>{"about:blank"});
    EXPECT_GE(late.sidePanels, 4);  // the four Explorer Bar panes at least
    EXPECT_TRUE(late.progressBar);
}

// The URL lands as it does in a frame built at once: the first, blank tab shows it.
TEST_F(CFrameBuildAfterShowTest, UrlHandedOverBeforeTheAfterCreateMessageOpensAsInAFrameBuiltAtOnce)
{
    std::vector<std::vector<std::string>> opened;
    for (CFrameBuild build : {CFrameBuild::AfterShow, CFrameBuild::Complete}) {
        CTestFrame test(build);
        EXPECT_EQ(test.Frame().AreContentsBuilt(), build == CFrameBuild::Complete);
        EXPECT_TRUE(test.Open("http://early.example/", kOpenNewTab));
        EXPECT_TRUE(test.Frame().AreContentsBuilt());
        test.RunAfterCreate();
        std::vector<std::string> urls;
        for (const CFakeTab* tab : test.TabsInOrder())
            urls.push_back(tab->m_url);
        opened.push_back(urls);
        test.Close();
        EXPECT_EQ(TakeQuitCode(), 1);
        ResetFrameSettings();
        if (CSettings* settings = GetSettings())
            settings->PreviousRunState = 1;
    }
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], opened[1]);
    EXPECT_EQ(opened[0], std::vector<std::string>{"http://early.example/"});
}

TEST_F(CFrameBuildAfterShowTest, FrameGoneBeforeItsContentsLeavesTheStoredBandLayout)
{
    {
        CTestFrame gone(CFrameBuild::AfterShow);
        ASSERT_TRUE(gone.Window());
        EXPECT_FALSE(gone.Frame().AreContentsBuilt());
    }
    // Nothing was built or saved: the window went before its after-create message came.
    TakeQuitCode();
    Pump();
    ResetFrameSettings();
    if (CSettings* settings = GetSettings())
        settings->PreviousRunState = 1;
    CTestFrame test;
    test.RunAfterCreate();
    const std::vector<CBandState> bands = Bands(test.Frame().GetReBar());
    EXPECT_LT(IndexOf(bands, ID_BAND_SEARCH_BAR), IndexOf(bands, ID_BAND_LINKS_BAR));
    ASSERT_GE(IndexOf(bands, ID_BAND_ADDRESS_BAR), 0);
    EXPECT_EQ(bands[IndexOf(bands, ID_BAND_ADDRESS_BAR)].width, kStoredAddressWidth);
}

// The window is shown before the Internet settings are applied; once the after-create message has
// run, they are applied as in a frame built at once: the stored proxy mode once as at start-up,
// the cookie preferences once, and the namespace handler registered.
TEST_F(CFrameBuildAfterShowTest, InternetSettingsAreAppliedWithTheContentsInEitherBuild)
{
    CNullNameSpaceFactory factory;
    CScopedNameSpaceClass nameSpaceClass(factory);
    ASSERT_TRUE(nameSpaceClass.IsRegistered());
    for (CFrameBuild build : {CFrameBuild::AfterShow, CFrameBuild::Complete}) {
        const bool afterShow = build == CFrameBuild::AfterShow;
        SCOPED_TRACE(afterShow ? "after show" : "complete");
        CStartRecordingPrivacy privacy;
        CScopedStartPrivacy scope(privacy);
        {
            CTestFrame test(build);
            ASSERT_TRUE(test.Window());
            EXPECT_TRUE(IsWindowVisible(test.Window()));
            EXPECT_EQ(privacy.appliedAtStartup, afterShow ? 0 : 1);
            EXPECT_EQ(privacy.remembered, afterShow ? 0 : 1);
            EXPECT_EQ(test.Frame().IsNameSpaceRegistered(), !afterShow);
            test.RunAfterCreate();
            EXPECT_EQ(privacy.appliedAtStartup, 1);
            EXPECT_EQ(privacy.remembered, 1);
            EXPECT_TRUE(test.Frame().IsNameSpaceRegistered());
            test.Close();
            EXPECT_EQ(TakeQuitCode(), 1);
        }
        ResetFrameSettings();
        if (CSettings* settings = GetSettings())
            settings->PreviousRunState = 1;
    }
}
