// The frame base's commands on a real main window under Wine: the Skins and Interface Language
// menus filled once however often the menu is set up, switching the interface language
// re-translating the open frame's menus and bars, a skin chosen from the menu put on the frame,
// the status bar and the toolbar lock following their bits, the minimum window size, and the user
// manual telling the user that the help viewer is missing.
#include "frame/FrameBaseCommands.h"
#include "frame/MainFrame.h"
#include "frame/dialogs/HelpViewer.h"
#include "frame/dialogs/SkinsDlg.h"
#include "frame/tests/FrameTestSupport.h"

#include "controls/DynamicUpdateUI.h"
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinnedWindow.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/system/MenuFunctions.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

using namespace frame_test;

namespace {

class CFrameBaseTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        if (CSettings* settings = GetSettings()) {
            settings->PreviousRunState = 1;
            settings->BaseViewFlags.value = static_cast<int>(kBaseViewStatusBar);
        }
    }
    void TearDown() override
    {
        if (CSettings* settings = GetSettings())
            settings->BaseViewFlags.value = static_cast<int>(kBaseViewStatusBar);
        ResetFrameSettings();
    }
};

// The popup holding the item, at any depth.
HMENU PopupHolding(HMENU menu, UINT id)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetMenuItemID(menu, i) == id)
            return menu;
    for (int i = 0; i < count; ++i)
        if (HMENU popup = ::GetSubMenu(menu, i))
            if (HMENU found = PopupHolding(popup, id))
                return found;
    return nullptr;
}

bool IsChecked(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::vector<std::string> ItemTexts(HMENU popup)
{
    std::vector<std::string> texts;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
        texts.push_back(GetMenuItemText(popup, i, MF_BYPOSITION).c_str());
    return texts;
}

TEST(FrameBaseRules, ToggleBits)
{
    const struct {
        DWORD flags;
        DWORD bits;
        DWORD expected;
    } cases[] = {
        {0x0, 0x1000, 0x1000},        {0x1000, 0x1000, 0x0},       {0x10001, 0x1000, 0x11001},
        {0x0, 0x0C, 0x0C},            {0x04, 0x0C, 0x00},          {0x0C, 0x0C, 0x00},
    };
    for (const auto& test : cases)
        EXPECT_EQ(ToggleBits(test.flags, test.bits), test.expected) << test.flags << " " << test.bits;
}

TEST(FrameBaseRules, MinimumSizeAndTheSkinnedMaximisedWindow)
{
    const RECT work = {0, 0, 1024, 738};
    MINMAXINFO plain = {};
    plain.ptMaxPosition = {-4, -4};
    ApplyFrameMinMaxInfo(plain, false, work);
    EXPECT_EQ(plain.ptMinTrackSize.x, 400);
    EXPECT_EQ(plain.ptMinTrackSize.y, 300);
    EXPECT_EQ(plain.ptMaxPosition.x, -4);
    MINMAXINFO skinned = {};
    ApplyFrameMinMaxInfo(skinned, true, work);
    EXPECT_EQ(skinned.ptMaxPosition.x, 0);
    EXPECT_EQ(skinned.ptMaxTrackSize.x, 1025);
    EXPECT_EQ(skinned.ptMaxTrackSize.y, 739);
}

TEST_F(CFrameBaseTest, TheWindowCannotBeMadeSmallerThan400By300)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    ::SetWindowPos(frame.Window(), nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect = {};
    ::GetWindowRect(frame.Window(), &rect);
    EXPECT_GE(rect.right - rect.left, 400);
    EXPECT_GE(rect.bottom - rect.top, 300);
}

TEST_F(CFrameBaseTest, TheSkinAndLanguageMenusAreFilledOnce)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    HMENU menu = frame.Frame().GetMenuBarMenu();
    HMENU skins = PopupHolding(menu, kCommandSelectSkins);
    HMENU languages = PopupHolding(menu, kCommandSelectLanguage);
    ASSERT_TRUE(skins);
    ASSERT_TRUE(languages);
    const std::vector<std::string> skinItems = ItemTexts(skins);
    ASSERT_GE(skinItems.size(), 2u);
    EXPECT_EQ(skinItems[0], "&Disable Skin");
    EXPECT_EQ(skinItems[1], "&Select Skins...");
    const std::vector<std::string> languageItems = ItemTexts(languages);
    ASSERT_GE(languageItems.size(), 2u);
    EXPECT_EQ(languageItems[0], "&Select Language...");
    EXPECT_EQ(::GetMenuItemID(languages, 1), kCommandLanguageFirst);
    // Setting the menu up again adds nothing and does not stop the setup.
    EXPECT_TRUE(frame.Frame().GetBaseCommands().FillMenus(menu));
    EXPECT_EQ(ItemTexts(skins), skinItems);
    EXPECT_EQ(ItemTexts(languages), languageItems);
}

TEST_F(CFrameBaseTest, TheStatusBarFollowsItsBit)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    HWND status = frame.Frame().GetBaseStatusBar();
    ASSERT_TRUE(status);
    EXPECT_TRUE(::IsWindowVisible(status));
    CDynamicUpdateUI* map = GetCommandStateMap();
    ASSERT_TRUE(map);
    EXPECT_TRUE(map->UIGetState(static_cast<WORD>(kCommandStatusBar)) & kUpdateUIChecked);
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandStatusBar, 0);
    EXPECT_FALSE(::IsWindowVisible(status));
    EXPECT_EQ(GetSettings()->BaseViewFlags.value & kBaseViewStatusBar, 0);
    EXPECT_FALSE(map->UIGetState(static_cast<WORD>(kCommandStatusBar)) & kUpdateUIChecked);
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandStatusBar, 0);
    EXPECT_TRUE(::IsWindowVisible(status));
    EXPECT_NE(GetSettings()->BaseViewFlags.value & kBaseViewStatusBar, 0);
}

TEST_F(CFrameBaseTest, ANewFrameHidesTheStatusBarAndLocksTheToolbarsAsTheSettingsSay)
{
    GetSettings()->BaseViewFlags.value = static_cast<int>(kBaseViewToolbarsLocked);
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    HWND status = frame.Frame().GetBaseStatusBar();
    ASSERT_TRUE(status);
    EXPECT_FALSE(::IsWindowVisible(status));
    HWND rebar = frame.Frame().GetReBar();
    const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_STYLE;
        ::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        EXPECT_TRUE(band.fStyle & RBBS_NOGRIPPER) << "band " << i;
    }
}

TEST_F(CFrameBaseTest, LockingTheToolbarsTakesEveryGripperAndUnlockingGivesItBack)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    HWND rebar = frame.Frame().GetReBar();
    const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    ASSERT_GT(count, 0);
    auto grippers = [&](bool none) {
        for (int i = 0; i < count; ++i) {
            REBARBANDINFOA band = {};
            band.cbSize = sizeof(band);
            band.fMask = RBBIM_STYLE;
            ::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
            if (((band.fStyle & RBBS_NOGRIPPER) != 0) != none)
                return false;
        }
        return true;
    };
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandLockToolbars, 0);
    EXPECT_NE(GetSettings()->BaseViewFlags.value & kBaseViewToolbarsLocked, 0);
    EXPECT_TRUE(grippers(true));
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandLockToolbars, 0);
    EXPECT_EQ(GetSettings()->BaseViewFlags.value & kBaseViewToolbarsLocked, 0);
    EXPECT_TRUE(grippers(false));
}

// Two languages in a scratch folder: the reference English file and one that translates the
// menu's first popup and two band texts.
class CFrameLanguageTest : public CFrameBaseTest {
protected:
    void SetUp() override
    {
        CFrameBaseTest::SetUp();
        m_saved.Load();
        CSettingString english("Config", "Language", "English");
        english.Save();
        ASSERT_TRUE(skin_test::WriteFile(m_folder / "English.lng",
                                         "[Info]\r\nVersion=1\r\n[String]\r\nFile=&File\r\nAddress=Address\r\n"
                                         "Links=Links\r\nGroups=&Groups\r\n"));
        ASSERT_TRUE(skin_test::WriteFile(m_folder / "Testish.lng",
                                         "[Info]\r\nVersion=1\r\n[String]\r\nFile=&Datei\r\nAddress=Adresse\r\n"
                                         "Links=Verweise\r\nGroups=&Gruppen\r\n"));
        m_languages = std::make_unique<CLanguageManager>(m_folder.Path());
    }
    void TearDown() override
    {
        m_saved.Save();
        CFrameBaseTest::TearDown();
    }

    CScratchFolder m_folder{"frame-base-languages"};
    CSettingString m_saved{"Config", "Language", "English"};
    std::unique_ptr<CLanguageManager> m_languages;
};

TEST_F(CFrameLanguageTest, SwitchingTheLanguageRetranslatesTheOpenFramesMenusAndBars)
{
    ASSERT_EQ(m_languages->GetLanguages().size(), 2u);
    ASSERT_EQ(m_languages->GetLanguages()[1].m_name, "Testish");
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    frame.Frame().GetBaseCommands().SetLanguageManager(m_languages.get());
    HMENU menu = frame.Frame().GetMenuBarMenu();
    HWND rebar = frame.Frame().GetReBar();
    ASSERT_EQ(GetMenuItemText(menu, 0, MF_BYPOSITION), "&File");
    ASSERT_EQ(BandText(rebar, ID_BAND_LINKS_BAR), "Links");

    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandLanguageFirst + 1, 0);
    EXPECT_EQ(m_languages->GetLanguageName(), "Testish");
    EXPECT_EQ(GetMenuItemText(menu, 0, MF_BYPOSITION), "&Datei");
    EXPECT_EQ(GetMenuItemText(menu, 4, MF_BYPOSITION), "&Gruppen");
    EXPECT_EQ(BandText(rebar, ID_BAND_LINKS_BAR), "Verweise");
    // The command bar shows the translated menu.
    HWND commandBar = frame.Frame().GetCommandBar().m_hWnd;
    ASSERT_TRUE(commandBar);
    TBBUTTON first = {};
    ::SendMessageA(commandBar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first));
    char text[64] = {};
    ::SendMessageA(commandBar, TB_GETBUTTONTEXTA, first.idCommand, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "&Datei");
    // The choice is kept for the next start.
    CSettingString stored("Config", "Language", "");
    stored.Load();
    EXPECT_EQ(stored.value, "Testish");

    // Choosing the current language again changes nothing, not even the check marks.
    HMENU languages = PopupHolding(menu, kCommandSelectLanguage);
    ASSERT_TRUE(languages);
    ::CheckMenuItem(languages, kCommandLanguageFirst, MF_BYCOMMAND | MF_CHECKED);
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandLanguageFirst + 1, 0);
    EXPECT_TRUE(IsChecked(languages, kCommandLanguageFirst));
    EXPECT_EQ(GetMenuItemText(menu, 0, MF_BYPOSITION), "&Datei");

    // And back.
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandLanguageFirst, 0);
    EXPECT_EQ(GetMenuItemText(menu, 0, MF_BYPOSITION), "&File");
    EXPECT_EQ(BandText(rebar, ID_BAND_LINKS_BAR), "Links");
}

bool WearsSkin(CFrameSkinManager& skins, HWND window)
{
    const CSkinnedWindow* record = skins.FindWindowRecord(window);
    if (!record)
        return false;
    const RECT close = record->ButtonRect(HTCLOSE);
    return close.right > close.left;
}

TEST_F(CFrameBaseTest, ASkinChosenFromTheMenuIsPutOnTheFrameAndKept)
{
    CScratchFolder folder("frame-base-skins");
    const std::string skinsFolder = std::string(folder.Path().c_str()) + "skins\\";
    ASSERT_TRUE(skin_test::MakeTwelvePartSkin(skinsFolder, "Ember"));
    CFrameSkinManager skins(skinsFolder.c_str(), "");
    CSettingString savedSkin("Config", "SkinName", "");
    savedSkin.Load();
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    CFrameBaseCommands& commands = frame.Frame().GetBaseCommands();
    commands.SetSkinManager(&skins);
    skins.AttachWindow(frame.Window());
    HMENU menu = frame.Frame().GetMenuBarMenu();
    HMENU skinsMenu = PopupHolding(menu, kCommandSelectSkins);
    ASSERT_TRUE(skinsMenu);
    // The frame's menu was filled from the program's skins; the test's skin is the first.
    ::AppendMenuA(skinsMenu, MF_STRING, kCommandSkinFirst, "Ember");

    // Disable Skin with no skin on: only the mark moves.
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandDisableSkin, 0);
    EXPECT_TRUE(IsChecked(skinsMenu, kCommandDisableSkin));
    EXPECT_FALSE(skins.IsSkinActive());

    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandSkinFirst, 0);
    EXPECT_EQ(skins.GetCurrentSkinName(), "Ember");
    EXPECT_TRUE(WearsSkin(skins, frame.Window()));
    EXPECT_TRUE(IsChecked(skinsMenu, kCommandSkinFirst));
    EXPECT_FALSE(IsChecked(skinsMenu, kCommandDisableSkin));
    CSettingString stored("Config", "SkinName", "");
    stored.Load();
    EXPECT_EQ(stored.value, "Ember");

    // A skin number beyond the installed ones does nothing.
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandSkinFirst + 5, 0);
    EXPECT_EQ(skins.GetCurrentSkinName(), "Ember");

    // A skin whose files went since the scan is refused: the one in use stays, and so does its mark.
    ASSERT_TRUE(skin_test::MakeTwelvePartSkin(skinsFolder, "Gone"));
    skins.EnumerateSkins();
    ASSERT_EQ(skins.GetSkinCount(), 2u);
    const UINT gone = skins.GetSkins()[0].name == "Gone" ? kCommandSkinFirst : kCommandSkinFirst + 1;
    const UINT ember = gone == kCommandSkinFirst ? kCommandSkinFirst + 1 : kCommandSkinFirst;
    ::AppendMenuA(skinsMenu, MF_STRING, kCommandSkinFirst + 1, "second");
    ::SendMessageA(frame.Window(), WM_COMMAND, ember, 0);
    ASSERT_TRUE(IsChecked(skinsMenu, ember));
    ASSERT_TRUE(::DeleteFileA((skinsFolder + "Gone\\skin.ini").c_str()));
    ::SendMessageA(frame.Window(), WM_COMMAND, gone, 0);
    EXPECT_EQ(skins.GetCurrentSkinName(), "Ember");
    EXPECT_TRUE(IsChecked(skinsMenu, ember));
    EXPECT_FALSE(IsChecked(skinsMenu, gone));

    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandDisableSkin, 0);
    EXPECT_FALSE(skins.IsSkinActive());
    EXPECT_FALSE(WearsSkin(skins, frame.Window()));
    EXPECT_TRUE(IsChecked(skinsMenu, kCommandDisableSkin));
    commands.SetSkinManager(nullptr);
    skins.DetachWindow(frame.Window());
    savedSkin.Save();
}

// The skins dialog over the real main window: the skin chosen is on the frame at once; after a
// restart (the frame and the skin manager made anew, the manager from the settings) the new frame
// wears it again.
TEST_F(CFrameBaseTest, ASkinChosenInTheSkinsDialogIsOnTheFrameAtOnceAndAfterARestart)
{
    CScratchFolder folder("frame-base-skins-dialog");
    const std::string skinsFolder = std::string(folder.Path().c_str()) + "skins\\";
    ASSERT_TRUE(skin_test::MakeTwelvePartSkin(skinsFolder, "Slate"));
    CSettingString savedSkin("Config", "SkinName", "");
    savedSkin.Load();
    CSettingString none("Config", "SkinName", "");
    none.Save();
    {
        CFrameSkinManager skins(skinsFolder.c_str(), "");
        CTestFrame frame;
        ASSERT_TRUE(frame.Window());
        frame.Frame().GetBaseCommands().SetSkinManager(&skins);
        frame.Frame().GetBaseCommands().OnFrameCreated();
        EXPECT_FALSE(WearsSkin(skins, frame.Window()));
        CSkinsDlg dialog(frame.Window(), &skins);
        HWND window = dialog.Create(frame.Window());
        ASSERT_TRUE(window);
        ::ShowWindow(window, SW_SHOW);
        ASSERT_EQ(dialog.GetRowCount(), 2);
        dialog.SelectRow(1);
        ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_SKIN_LIST, LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, IDC_SKIN_LIST)));
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_EQ(skins.GetCurrentSkinName(), "Slate");
        EXPECT_TRUE(WearsSkin(skins, frame.Window()));
        ::DestroyWindow(window);
        Pump();
        RECT rect = {};
        ::GetWindowRect(frame.Window(), &rect);
        std::string path;
        EXPECT_TRUE(kivo_test::WriteScreenRect(rect, "skinned_main_frame.bmp", path));
        skins.DetachWindow(frame.Window());
        frame.Frame().GetBaseCommands().SetSkinManager(nullptr);
    }
    CSettingString stored("Config", "SkinName", "");
    stored.Load();
    EXPECT_EQ(stored.value, "Slate");
    {
        CFrameSkinManager restarted(skinsFolder.c_str(), stored.value.c_str());
        CTestFrame frame;
        ASSERT_TRUE(frame.Window());
        frame.Frame().GetBaseCommands().SetSkinManager(&restarted);
        frame.Frame().GetBaseCommands().OnFrameCreated();
        EXPECT_EQ(restarted.GetCurrentSkinName(), "Slate");
        EXPECT_TRUE(WearsSkin(restarted, frame.Window()));
        restarted.DetachWindow(frame.Window());
        frame.Frame().GetBaseCommands().SetSkinManager(nullptr);
    }
    savedSkin.Save();
}

TEST_F(CFrameBaseTest, TheUserManualWithoutTheHelpLibraryTellsTheUser)
{
    CHtmlHelpViewer missing("kivo-no-such-help-library.ocx");
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    frame.Frame().GetBaseCommands().SetHelpViewer(&missing);
    frame.m_boxes.m_texts.clear();
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandUserManual, 0);
    ASSERT_EQ(frame.m_boxes.m_texts.size(), 1u);
    EXPECT_NE(frame.m_boxes.m_texts[0].find("hhctrl.ocx"), std::string::npos);
    frame.Frame().GetBaseCommands().SetHelpViewer(nullptr);
}

// With the system's own viewer the command never fails silently: the help file is not installed
// beside the test program, so the user hears of it (or of the missing viewer).
TEST_F(CFrameBaseTest, TheUserManualReportsWhatKeepsItFromShowing)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    frame.m_boxes.m_texts.clear();
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandUserManual, 0);
    ASSERT_EQ(frame.m_boxes.m_texts.size(), 1u);
    const std::string& text = frame.m_boxes.m_texts[0];
    EXPECT_TRUE(text.find("hhctrl.ocx") != std::string::npos || text.find("KivoBrowser.chm") != std::string::npos)
        << text;
}

TEST_F(CFrameBaseTest, TheHomePageOpensInANewTab)
{
    CTestFrame frame;
    ASSERT_TRUE(frame.Window());
    ::SendMessageA(frame.Window(), WM_COMMAND, kCommandHomePage, 0);
    bool shown = false;
    for (CFakeTab* tab : frame.TabsInOrder())
        shown = shown || tab->m_url == kProductHomePage;
    EXPECT_TRUE(shown);
}

}  // namespace

namespace {

// What the commands ask of the main window, recorded; no window at all.
class CRecordingHost final : public IFrameBaseHost {
public:
    HWND GetBaseFrameWindow() const override { return nullptr; }
    HWND GetBaseReBar() const override { return nullptr; }
    HWND GetBaseStatusBar() const override { return nullptr; }
    HMENU GetBaseMenu() const override { return nullptr; }
    void LayOutFrame() override { ++layouts; }
    void RetranslateFrame(const CLanguageManager&) override { ++retranslations; }
    void OpenUrlInNewTab(const char* url) override { urls.push_back(url ? url : ""); }
    void ShowOptionsPage(int pageId) override { pages.push_back(pageId); }
    void SetModalFlag(bool) override {}

    int layouts = 0;
    int retranslations = 0;
    std::vector<std::string> urls;
    std::vector<int> pages;
};

TEST(FrameBaseCommandsWithoutWindows, EachCommandAsksTheFrameForItsPart)
{
    CRecordingHost host;
    CFrameBaseCommands commands(host);
    CRecordingShell shell;
    CScopedFrameShell shellScope(shell);
    commands.Execute(kCommandSelectLanguage);
    ASSERT_EQ(host.pages.size(), 1u);
    EXPECT_EQ(host.pages[0], kLanguagePageId);
    commands.Execute(kCommandHomePage);
    ASSERT_EQ(host.urls.size(), 1u);
    EXPECT_EQ(host.urls[0], kProductHomePage);
    commands.Execute(kCommandFeedback);
    ASSERT_EQ(shell.m_executed.size(), 1u);
    EXPECT_NE(shell.m_executed[0].find("mailto:"), std::string::npos);
    // A language number the manager does not have changes nothing.
    commands.Execute(kCommandLanguageLast);
    EXPECT_EQ(host.retranslations, 0);
}

}  // namespace
