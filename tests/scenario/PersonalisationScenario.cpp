// One user makes the browser their own: switches the interface language, chooses a skin,
// customises the main toolbar and moves a side panel; after a restart all of it is as they left it.
// Each start makes its language and skin engines anew from what the profile holds, as a new process
// of the program does.
#include "tests/scenario/ScenarioWorld.h"

#include "controls/ToolBarHelpers.h"
#include "controls/docking/DockingRecord.h"
#include "controls/docking/DockingWindow.h"
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinnedWindow.h"
#include "core/app/LanguageManager.h"
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/system/MenuFunctions.h"
#include "core/tests/RegistryRestore.h"
#include "core/tests/ScratchFolder.h"
#include "frame/FrameBaseCommands.h"
#include "frame/FramePanes.h"
#include "frame/FrameResources.h"
#include "platform/AtlGdi.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using scenario::CScenarioWorld;

namespace {

constexpr const char* kConfigKey = "software\\KivoBrowser\\Kivo Browser\\Config";
constexpr int kBlockerPanel = 2;      // Favorites, History, Popup Blocker, Ad-Filter
constexpr int kMovedPanelWidth = 180;
constexpr const char* kSkin = "Slate";  // one of the skins the program ships
constexpr int kCaptionProbeRow = 1;   // a row of the caption above its text

// The reference language and a second one, in a folder of the scenario's own: the program ships
// only the first.
const char kEnglish[] =
    "[Info]\r\nVersion=1.0\r\n[String]\r\nMenuFile=&File\r\nMenuEdit=&Edit\r\nMenuView=&View\r\n"
    "MenuFavorites=&Favorites\r\nMenuGroups=&Groups\r\nMenuTools=&Tools\r\nMenuWindow=&Window\r\nMenuHelp=&Help\r\n"
    "BandAddress=Address\r\nBandLinks=Links\r\nBandSearch=Search\r\n";
const char kTestish[] =
    "[Info]\r\nVersion=1.0\r\n[String]\r\nMenuFile=&Datei\r\nMenuEdit=&Bearbeiten\r\nMenuView=&Ansicht\r\n"
    "MenuFavorites=Fa&voriten\r\nMenuGroups=&Gruppen\r\nMenuTools=E&xtras\r\nMenuWindow=&Fenster\r\nMenuHelp=&Hilfe\r\n"
    "BandAddress=Adresse\r\nBandLinks=Verweise\r\nBandSearch=Suche\r\n";

bool WriteText(const std::string& path, const char* text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

std::vector<std::string> TopMenuTexts(CScenarioWorld& world)
{
    std::vector<std::string> texts;
    HMENU menu = world.Frame().GetMenuBarMenu();
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        texts.push_back(GetMenuItemText(menu, i, MF_BYPOSITION).c_str());
    return texts;
}

// The texts of the command bar's buttons: the menu as the user sees it.
std::vector<std::string> CommandBarTexts(CScenarioWorld& world)
{
    std::vector<std::string> texts;
    HWND bar = world.Frame().GetCommandBar().m_hWnd;
    const int count = bar ? static_cast<int>(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        char text[64] = "";
        ::SendMessageA(bar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// The item of a menu or its submenus whose text contains the part; 0 when none.
UINT FindMenuItemContaining(HMENU menu, const std::string& part)
{
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
        if (HMENU popup = ::GetSubMenu(menu, i)) {
            if (UINT found = FindMenuItemContaining(popup, part))
                return found;
            continue;
        }
        if (std::string(GetMenuItemText(menu, i, MF_BYPOSITION).c_str()).find(part) != std::string::npos)
            return ::GetMenuItemID(menu, i);
    }
    return 0;
}

HWND SystemToolBar(CScenarioWorld& world)
{
    return GetReBarBandChild(world.Frame().GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
}

std::vector<int> ToolBarCommands(HWND toolBar)
{
    std::vector<int> commands;
    const int count = static_cast<int>(::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        commands.push_back(button.idCommand);
    }
    return commands;
}

int IndexOf(HWND toolBar, int command)
{
    return static_cast<int>(::SendMessageA(toolBar, TB_COMMANDTOINDEX, command, 0));
}

// What the toolbar's customise dialog tells the frame as the user starts and ends it.
void NotifyToolBar(CScenarioWorld& world, UINT code)
{
    NMHDR header = {};
    header.hwndFrom = SystemToolBar(world);
    header.idFrom = IDC_FRAME_SYSTEM_TOOLBAR;
    header.code = code;
    ::SendMessageA(world.Window(), WM_NOTIFY, IDC_FRAME_SYSTEM_TOOLBAR, reinterpret_cast<LPARAM>(&header));
}

// The window's rectangle in the frame's client coordinates.
RECT InFrame(HWND frame, HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The docking bar a pane lies in: its host, or the host of the box it is a tab of.
HWND BarOf(CDockingWindow& pane)
{
    constexpr const char* kBarClass = "CPackageWindowFrame::CPackageWindow";
    auto classOf = [](HWND window) {
        char name[64] = {};
        ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
        return std::string(name);
    };
    HWND host = pane.Host();
    if (host && classOf(host) != kBarClass)
        host = ::GetParent(host);
    return host && classOf(host) == kBarClass ? host : nullptr;
}

// The colour of a picture's pixel, read from its file.
COLORREF PicturePixel(const std::string& path, int x, int y)
{
    CBitmap picture(static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (picture.IsNull())
        return CLR_INVALID;
    HDC screen = ::GetDC(nullptr);
    CDC memory(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = ::SelectObject(memory, picture);
    const COLORREF colour = ::GetPixel(memory, x, y);
    ::SelectObject(memory, previous);
    return colour;
}

// A pixel of the main window as it painted itself, its frame included.
COLORREF WindowPixel(HWND window, int x, int y)
{
    HDC dc = ::GetWindowDC(window);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

// A start of the program as a new process makes it: the language and skin engines made from the
// profile (the languages from the scenario's folder) and put in the program's place.
class CProcessEngines {
public:
    explicit CProcessEngines(const std::string& languageFolder)
        : m_languages(languageFolder.c_str()), m_languageScope(m_languages), m_skinScope(m_skins)
    {
    }
    CLanguageManager& Languages() { return m_languages; }
    CFrameSkinManager& Skins() { return m_skins; }

private:
    CLanguageManager m_languages;
    CFrameSkinManager m_skins;
    CScopedLanguageManager m_languageScope;
    CScopedSkinManager m_skinScope;
};

} // namespace

TEST(PersonalisationScenario, LanguageSkinToolbarAndPanelAreKeptAfterARestart)
{
    // Whatever the profile held before is put back afterwards.
    CSavedRegistryValue savedLanguage(HKEY_CURRENT_USER, kConfigKey, "Language");
    CSavedRegistryValue savedSkin(HKEY_CURRENT_USER, kConfigKey, "SkinName");
    CSettingString("Config", "Language", "English").Save();
    CSettingString("Config", "SkinName", "").Save();
    CScratchFolder languageFolder("scenario-languages");
    const std::string languages = languageFolder.Path().c_str();
    ASSERT_TRUE(WriteText(languages + "English.lng", kEnglish));
    ASSERT_TRUE(WriteText(languages + "Testish.lng", kTestish));
    const std::string skinPicture = std::string(GetProgramFolder().c_str()) + "skins\\" + kSkin + "\\top.bmp";
    const COLORREF skinCaption = PicturePixel(skinPicture, 0, kCaptionProbeRow);
    ASSERT_NE(skinCaption, CLR_INVALID) << skinPicture;

    CScenarioWorld world;
    std::vector<int> customised;
    {
        CProcessEngines engines(languages);
        ASSERT_TRUE(world.Start());
        HMENU menu = world.Frame().GetMenuBarMenu();
        ASSERT_FALSE(TopMenuTexts(world).empty());
        EXPECT_EQ(TopMenuTexts(world).front(), "&File");
        EXPECT_FALSE(engines.Skins().IsSkinActive());

        // View > Interface Language: the second language.
        const UINT testish = FindMenuItemContaining(menu, "[Testish]");
        ASSERT_NE(testish, 0u);
        world.Command(testish);
        EXPECT_EQ(TopMenuTexts(world).front(), "&Datei");

        // View > Skins: the shipped skin.
        const UINT slate = FindMenuItemContaining(menu, kSkin);
        ASSERT_NE(slate, 0u);
        world.Command(slate);
        EXPECT_EQ(engines.Skins().GetCurrentSkinName(), kSkin);

        // The main toolbar customised: Print taken away, Options put first.
        HWND toolBar = SystemToolBar(world);
        ASSERT_NE(toolBar, nullptr);
        NotifyToolBar(world, TBN_BEGINADJUST);
        ASSERT_GE(IndexOf(toolBar, ID_FRAME_PRINT), 0);
        ::SendMessageA(toolBar, TB_DELETEBUTTON, IndexOf(toolBar, ID_FRAME_PRINT), 0);
        ::SendMessageA(toolBar, TB_MOVEBUTTON, IndexOf(toolBar, ID_FRAME_OPTIONS), 0);
        NotifyToolBar(world, TBN_ENDADJUST);
        customised = ToolBarCommands(toolBar);
        ASSERT_FALSE(customised.empty());
        EXPECT_EQ(customised.front(), ID_FRAME_OPTIONS);

        // View > Explorer Bar > Popup Blocker, then the panel moved to a bar of its own at the right.
        world.Command(ID_FRAME_PANE_FIRST + kBlockerPanel);
        CFramePanes& panes = world.Frame().GetPanes();
        ASSERT_TRUE(panes.IsVisible(kBlockerPanel));
        ASSERT_NE(panes.GetPane(kBlockerPanel), nullptr);
        ASSERT_TRUE(panes.GetPane(kBlockerPanel)->DockAtSide(kDockFlagLeftRight, 0, kMovedPanelWidth));
        world.Pump();
        HWND right = BarOf(*panes.GetPane(kBlockerPanel));
        ASSERT_NE(right, nullptr);
        RECT client = {};
        ::GetClientRect(world.Window(), &client);
        EXPECT_EQ(InFrame(world.Window(), right).right, client.right);
        EXPECT_EQ(world.Exit(), 1);
    }

    // What the next start reads.
    CSettingString language("Config", "Language", "");
    language.Load();
    EXPECT_EQ(language.value, "Testish");
    CSettingString skin("Config", "SkinName", "");
    skin.Load();
    EXPECT_EQ(skin.value, kSkin);

    CProcessEngines engines(languages);
    ASSERT_TRUE(world.Start());
    // The menus and bars speak the chosen language.
    const std::vector<std::string> menuTexts = TopMenuTexts(world);
    ASSERT_GE(menuTexts.size(), 3u);
    EXPECT_EQ(menuTexts[0], "&Datei");
    EXPECT_NE(std::find(menuTexts.begin(), menuTexts.end(), "&Ansicht"), menuTexts.end());
    const std::vector<std::string> commandBar = CommandBarTexts(world);
    ASSERT_FALSE(commandBar.empty());
    EXPECT_EQ(commandBar.front(), "&Datei");
    EXPECT_EQ(frame_test::BandText(world.Frame().GetReBar(), ID_BAND_LINKS_BAR), "Verweise");

    // The frame wears the skin: its caption is the skin's picture.
    EXPECT_EQ(engines.Skins().GetCurrentSkinName(), kSkin);
    const CSkinnedWindow* record = engines.Skins().FindWindowRecord(world.Window());
    ASSERT_NE(record, nullptr);
    const RECT close = record->ButtonRect(HTCLOSE);
    EXPECT_GT(close.right, close.left);
    RECT window = {};
    ::GetWindowRect(world.Window(), &window);
    ::RedrawWindow(world.Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    world.Pump();
    EXPECT_EQ(WindowPixel(world.Window(), (window.right - window.left) / 2, kCaptionProbeRow), skinCaption);

    // The toolbar has the user's buttons in the user's order.
    EXPECT_EQ(ToolBarCommands(SystemToolBar(world)), customised);
    EXPECT_EQ(IndexOf(SystemToolBar(world), ID_FRAME_PRINT), -1);

    // The panel is where the user put it.
    CFramePanes& panes = world.Frame().GetPanes();
    CDockingWindow* blocker = panes.GetPane(kBlockerPanel);
    ASSERT_NE(blocker, nullptr);
    EXPECT_TRUE(panes.IsVisible(kBlockerPanel));
    EXPECT_TRUE(blocker->IsDocked());
    HWND bar = BarOf(*blocker);
    ASSERT_NE(bar, nullptr);
    RECT client = {};
    ::GetClientRect(world.Window(), &client);
    EXPECT_EQ(InFrame(world.Window(), bar).right, client.right);
    EXPECT_EQ(InFrame(world.Window(), bar).right - InFrame(world.Window(), bar).left, kMovedPanelWidth);

    std::string path;
    EXPECT_TRUE(world.Screenshot("scenario-personalisation.bmp", path)) << path;

    // The user goes back to no skin; the frame lets the scenario's engines go with its window.
    world.Command(kCommandDisableSkin);
    EXPECT_EQ(world.Exit(), 1);
}
