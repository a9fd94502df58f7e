// The main frame's services in the frame itself: the tray icon added or not at creation by the
// settings, the frame hidden to the tray and brought back by a click of its icon, the start-up
// update check started after creation and stopped when the frame closes, the external tools in the
// "&Tools" menu, the proxy and cookie menus through their seam, and the plug-ins' buttons, panes
// and scripts.
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "core/app/Settings.h"
#include "controls/ToolBarHelpers.h"
#include "core/tests/ScratchFolder.h"
#include "frame/services/ExternalTools.h"
#include "frame/services/PluginManager.h"
#include "tests/engine/FakeEngine.h"
#include "frame/services/FramePrivacy.h"
#include "frame/services/HostedBands.h"
#include "frame/services/ServicesResources.h"
#include "frame/services/TrayIcon.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <fstream>
#include <shlguid.h>

using namespace frame_test;

namespace {

class CFrameServicesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        GetSettings()->PreviousRunState = 1;
    }
    void TearDown() override { ResetFrameSettings(); }
};

} // namespace

TEST_F(CFrameServicesTest, TheTrayIconFollowsTheSettingAndAClickHidesAndRestoresTheFrame)
{
    CSettings& settings = *GetSettings();
    const struct {
        DWORD sysFlags;
        bool iconShown;
    } cases[] = {
        {0x101C, true},
        {0x101C | kSysFlagNoTrayIcon, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sysFlags);
        settings.SysFlags = c.sysFlags | SysFlag::NoStartWithWindows;
        CTestFrame test;
        ASSERT_NE(nullptr, test.Window());
        test.RunAfterCreate();
        EXPECT_EQ(c.iconShown, test.Frame().IsTrayIconShown());
        ASSERT_TRUE(IsWindowVisible(test.Window()));

        // A click of the icon hides the frame to the tray (the icon is there then in any case);
        // the next brings it back.
        SendMessageA(test.Window(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_FALSE(IsWindowVisible(test.Window()));
        EXPECT_TRUE(test.Frame().IsTrayIconShown());
        SendMessageA(test.Window(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_TRUE(IsWindowVisible(test.Window()));

        // The options page's choice reaches the icon.
        test.Frame().RemoveTrayIcon();
        EXPECT_FALSE(test.Frame().IsTrayIconShown());
        test.Frame().AddTrayIcon();
        EXPECT_TRUE(test.Frame().IsTrayIconShown());
        test.Close();
        EXPECT_EQ(1, TakeQuitCode());
    }
}

TEST_F(CFrameServicesTest, TheStartUpUpdateCheckRunsAfterCreationAndEndsWithTheFrame)
{
    CSettings& settings = *GetSettings();
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_TRUE(test.Frame().WasUpdateCheckStarted());
        test.Close();
        // The frame went while the worker may still be in its download: closing waited for it
        // within its time-out and nothing was left to post to the window.
        EXPECT_FALSE(IsWindow(test.Window()));
    }
    settings.SysFlags |= SysFlag::NoUpdateCheck;
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_FALSE(test.Frame().WasUpdateCheckStarted());
        test.Close();
    }
}

TEST_F(CFrameServicesTest, TheToolsMenuHoldsTheManagerAndTheExternalTools)
{
    CExternalToolList* tools = GetExternalToolList();
    ASSERT_NE(nullptr, tools);
    const std::vector<CExternalTool> saved = tools->m_tools;
    char notepad[MAX_PATH] = "";
    ASSERT_NE(0u, SearchPathA(nullptr, "notepad.exe", nullptr, sizeof(notepad), notepad, nullptr));
    tools->m_tools = {{"Editor", notepad, "", "", "", -1}, {"Gone", "C:\\no\\such.exe", "", "", "", -1}};
    {
        CTestFrame test;
        test.RunAfterCreate();
        HMENU menu = test.Frame().GetMenuBarMenu();
        HMENU toolsMenu = nullptr;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
            if (std::string(text) == "&Tools")
                toolsMenu = GetSubMenu(menu, i);
        }
        ASSERT_NE(nullptr, toolsMenu);
        HMENU external = nullptr;
        for (int i = 0; i < GetMenuItemCount(toolsMenu); ++i) {
            char text[64] = "";
            GetMenuStringA(toolsMenu, UINT(i), text, sizeof(text), MF_BYPOSITION);
            if (std::string(text) == "&External Tools")
                external = GetSubMenu(toolsMenu, i);
        }
        ASSERT_NE(nullptr, external);
        ASSERT_EQ(3, GetMenuItemCount(external));
        EXPECT_EQ(kIdToolsManager, GetMenuItemID(external, 0));
        EXPECT_EQ(kIdFirstTool, GetMenuItemID(external, 2));
        test.Close();
    }
    tools->m_tools = saved;
}

namespace {

// Stands in for the browser library's proxy list and cookie menu: records what the frame asks.
struct CRecordingPrivacy final : IFramePrivacy {
    void BuildProxyMenu(HMENU menu, int proxyIndex) override
    {
        builtMenus.push_back(menu);
        builtIndex = proxyIndex;
        if (GetMenuState(menu, ID_FRAME_PROXY_FIRST, MF_BYCOMMAND) == UINT(-1))
            AppendMenuA(menu, MF_STRING, ID_FRAME_PROXY_FIRST, "Office");
    }
    void UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex) override
    {
        checks.push_back({menu, oldIndex, newIndex});
    }
    EFrameProxyResult ApplyProxy(int oldIndex, int newIndex, bool atStartup) override
    {
        applied.push_back({oldIndex, newIndex, atStartup});
        return EFrameProxyResult::kRefused;
    }
    void RememberCookiePreferences() override { ++remembered; }
    bool OnCookieCommand(UINT id) override
    {
        cookieCommands.push_back(id);
        return true;
    }
    void UpdateCookieMenu(HMENU submenu, HMENU parent, UINT position) override
    {
        cookieUpdates.push_back({submenu, parent, position});
    }
    struct CCheck {
        HMENU menu;
        int oldIndex, newIndex;
    };
    struct CApply {
        int oldIndex, newIndex;
        bool atStartup;
    };
    struct CCookieUpdate {
        HMENU submenu, parent;
        UINT position;
    };
    std::vector<HMENU> builtMenus;
    int builtIndex = 0;
    std::vector<CCheck> checks;
    std::vector<CApply> applied;
    int remembered = 0;
    std::vector<UINT> cookieCommands;
    std::vector<CCookieUpdate> cookieUpdates;
};

struct CScopedFramePrivacy {
    explicit CScopedFramePrivacy(IFramePrivacy& privacy) : previous(SetFramePrivacy(&privacy)) {}
    ~CScopedFramePrivacy() { SetFramePrivacy(previous); }
    CScopedFramePrivacy(const CScopedFramePrivacy&) = delete;
    CScopedFramePrivacy& operator=(const CScopedFramePrivacy&) = delete;
    IFramePrivacy* previous;  // not owned
};

HMENU FindPopup(HMENU menu, const char* text)
{
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char item[64] = "";
        GetMenuStringA(menu, UINT(i), item, sizeof(item), MF_BYPOSITION);
        if (std::string(item) == text)
            return GetSubMenu(menu, i);
    }
    return nullptr;
}

} // namespace

TEST_F(CFrameServicesTest, TheProxyAndCookieMenusGoThroughThePrivacySeam)
{
    CRecordingPrivacy privacy;
    CScopedFramePrivacy scope(privacy);
    CSettings& settings = *GetSettings();
    settings.ProxyIndex.value = -1;
    CTestFrame test;
    test.RunAfterCreate();
    // At creation: the stored mode applied as at start-up, the cookie templates remembered, and
    // the proxy list appended to the "Pro&xy" submenu with the stored mode checked.
    ASSERT_FALSE(privacy.applied.empty());
    EXPECT_EQ(-1, privacy.applied[0].oldIndex);
    EXPECT_EQ(-1, privacy.applied[0].newIndex);
    EXPECT_TRUE(privacy.applied[0].atStartup);
    EXPECT_EQ(1, privacy.remembered);
    HMENU proxy = FindPopup(FindPopup(test.Frame().GetMenuBarMenu(), "&Options"), "Pro&xy");
    ASSERT_NE(nullptr, proxy);
    ASSERT_EQ(1u, privacy.builtMenus.size());
    EXPECT_EQ(proxy, privacy.builtMenus[0]);
    EXPECT_EQ(-1, privacy.builtIndex);

    // Choosing the first proxy stores it, hands it over (outside start-up) and moves the check.
    privacy.applied.clear();
    SendMessageA(test.Window(), WM_COMMAND, ID_FRAME_PROXY_FIRST, 0);
    EXPECT_EQ(0, settings.ProxyIndex.value);
    ASSERT_EQ(1u, privacy.applied.size());
    EXPECT_EQ(-1, privacy.applied[0].oldIndex);
    EXPECT_EQ(0, privacy.applied[0].newIndex);
    EXPECT_FALSE(privacy.applied[0].atStartup);
    ASSERT_EQ(1u, privacy.checks.size());
    EXPECT_EQ(proxy, privacy.checks[0].menu);
    EXPECT_EQ(0, privacy.checks[0].newIndex);
    // The system's settings: stored, and the restart is asked for.
    const size_t boxes = test.m_boxes.m_texts.size();
    SendMessageA(test.Window(), WM_COMMAND, ID_FRAME_PROXY_SYSTEM, 0);
    EXPECT_EQ(-2, settings.ProxyIndex.value);
    EXPECT_EQ(boxes + 1, test.m_boxes.m_texts.size());

    // The cookie commands reach the cookie menu, and opening its submenu asks for its states.
    SendMessageA(test.Window(), WM_COMMAND, ID_COOKIES_BLOCK_ALL, 0);
    SendMessageA(test.Window(), WM_COMMAND, ID_COOKIES_SESSION, 0);
    EXPECT_EQ((std::vector<UINT>{ID_COOKIES_BLOCK_ALL, ID_COOKIES_SESSION}), privacy.cookieCommands);
    HMENU tools = FindPopup(test.Frame().GetMenuBarMenu(), "&Tools");
    HMENU cookies = FindPopup(tools, "Cookies IE&6");
    ASSERT_NE(nullptr, cookies);
    SendMessageA(test.Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(cookies), 0);
    ASSERT_EQ(1u, privacy.cookieUpdates.size());
    EXPECT_EQ(tools, privacy.cookieUpdates[0].parent);
    EXPECT_EQ(cookies, GetSubMenu(tools, int(privacy.cookieUpdates[0].position)));
    test.Close();
}

namespace {

void WritePluginFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
}

// A 16 x 16 icon file of 32-bit colour.
void WritePluginIcon(const std::string& path)
{
    std::string ico;
    auto put16 = [&](unsigned v) { ico += char(v & 0xFF); ico += char((v >> 8) & 0xFF); };
    auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    put16(0); put16(1); put16(1);
    ico += char(16); ico += char(16); ico += char(0); ico += char(0);
    put16(1); put16(32); put32(40 + 16 * 16 * 4 + 16 * 4); put32(22);
    put32(40); put32(16); put32(32); put16(1); put16(32); put32(0); put32(16 * 16 * 4 + 16 * 4);
    put32(0); put32(0); put32(0); put32(0);
    for (int i = 0; i < 16 * 16; ++i)
        put32(0xFF20A040);
    ico += std::string(16 * 4, '\0');
    WritePluginFile(path, ico);
}

void MakeFramePlugin(const std::string& root, const char* name, const std::string& ini, const char* content,
                     const std::string& text)
{
    CreateDirectoryA((root + name).c_str(), nullptr);
    WritePluginFile(root + name + "\\plugin.ini", ini);
    WritePluginIcon(root + name + "\\icon.ico");
    WritePluginFile(root + name + "\\" + content, text);
}

} // namespace

TEST_F(CFrameServicesTest, APluginFolderAddsItsButtonAndPaneAndItsScriptRunsInThePage)
{
    CScratchFolder root("FramePlugins");
    const std::string folder = root.Path().c_str();
    MakeFramePlugin(folder, "Greeter", "[General]\r\ntype=Button\r\nname=Greeter\r\nfilename=greet.htm\r\nicon=icon.ico\r\n",
                    "greet.htm", "<script language=\"JavaScript\">document.title='hello';</script>");
    MakeFramePlugin(folder, "Notes", "[General]\r\ntype=Pane\r\nname=Notes\r\nfilename=notes.htm\r\nicon=icon.ico\r\n",
                    "notes.htm", "<html><body>notes</body></html>");
    CPluginManager manager(folder, "", "English");
    ASSERT_EQ(1u, manager.GetButtons().size());
    ASSERT_EQ(1u, manager.GetPanes().size());
    CPluginManager* previous = SetPluginManager(&manager);
    CFakeEngine engine;
    CFakeBrowser* browser = engine.MakeBrowser();
    ASSERT_NE(nullptr, browser);
    {
        CTestFrame test;
        test.RunAfterCreate();
        // The plug-ins bar holds the button with the plug-in's icon.
        HWND bar = GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_PLUGINS_BAR);
        ASSERT_NE(nullptr, bar);
        EXPECT_EQ(1, SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageA(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(int(ID_FRAME_PLUGIN_FIRST), button.idCommand);
        EXPECT_EQ(manager.GetAll()[manager.GetButtons()[0]].image, button.iBitmap);
        // The pane comes after the Explorer Bar's own four, with the plug-in's name and its page.
        CFramePanes& panes = test.Frame().GetPanes();
        ASSERT_EQ(5, panes.GetCount());
        EXPECT_STREQ("Notes", panes.GetCaption(4).c_str());
        ASSERT_EQ(1u, test.Frame().GetPluginPanePages().size());
        EXPECT_EQ("file://" + folder + "Notes\\notes.htm", test.Frame().GetPluginPanePages()[0]);

        // The button's command runs the script in the active tab's page.
        CFakeTab* tab = test.ActiveTab();
        ASSERT_NE(nullptr, tab);
        tab->m_browser = browser;
        SendMessageA(test.Window(), WM_COMMAND, ID_FRAME_PLUGIN_FIRST, 0);
        ASSERT_EQ(1u, browser->scripts.size());
        EXPECT_EQ(L"document.title='hello';", browser->scripts[0].first);
        EXPECT_EQ(L"JavaScript", browser->scripts[0].second);
        // A command past the button plug-ins runs nothing.
        SendMessageA(test.Window(), WM_COMMAND, ID_FRAME_PLUGIN_FIRST + 1, 0);
        EXPECT_EQ(1u, browser->scripts.size());
        tab->m_browser = nullptr;

        // The options page switched the button plug-in off and the pane plug-in stays on: the
        // rebuild takes the button away and keeps the pane.
        manager.SetEnabled(manager.GetButtons()[0], false);
        test.Frame().RebuildPlugins();
        EXPECT_EQ(0, SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        EXPECT_EQ(5, panes.GetCount());
        manager.SetEnabled(manager.GetButtons()[0], true);
        test.Frame().RebuildPlugins();
        EXPECT_EQ(1, SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        EXPECT_EQ(5, panes.GetCount());
        test.Close();
    }
    SetPluginManager(previous);
}

TEST_F(CFrameServicesTest, TheActiveTabsEngineIsWhatTheHostedBandsReach)
{
    CFakeEngine engine;
    CFakeBrowser* browser = engine.MakeBrowser();
    ASSERT_NE(nullptr, browser);
    CTestFrame test;
    test.RunAfterCreate();
    IUnknown* site = test.Frame().GetServices().GetBandHost().GetSite();
    ASSERT_NE(nullptr, site);
    CComPtr<IServiceProvider> services;
    ASSERT_HRESULT_SUCCEEDED(site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services)));
    CComPtr<IWebBrowser2> served;
    // Before any tab was active there is no engine to give.
    EXPECT_EQ(E_NOINTERFACE, services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, reinterpret_cast<void**>(&served)));
    EXPECT_EQ(nullptr, served.p);
    SetHostedBandsBrowser(browser->AsDispatch());
    ASSERT_HRESULT_SUCCEEDED(
        services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, reinterpret_cast<void**>(&served)));
    EXPECT_EQ(static_cast<IWebBrowser2*>(browser), served.p);
    // Another service is not the site's to give.
    CComPtr<IUnknown> other;
    EXPECT_FALSE(SUCCEEDED(services->QueryService(IID_IUnknown, IID_IUnknown, reinterpret_cast<void**>(&other))));
    served.Release();
    services.Release();
    test.Close();
}
