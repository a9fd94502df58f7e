// The "Start Pages" and "Favorites" pages in the Options dialog as real windows under Wine: the
// start mode as a radio group with the controls each mode needs, the start-page list edited on
// a copy until OK, the default group, and the favorites menu's numbers with their range warning.
#include "core/app/Settings.h"
#include "core/app/ProgramFolders.h"
#include "frame/options/OptionsPageFactory.h"
#include "frame/options/tests/OptionsTestSupport.h"
#include "navigation/GroupStore.h"
#include "navigation/StartPagesPage.h"
#include "navigation/favorites/FavoritesPage.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace options_test;

class CAnsweringPrompt final : public IStartPagePrompt {
public:
    bool AskAddress(HWND, std::string& address) override
    {
        ++asked;
        address = answer;
        return !answer.empty();
    }
    std::string answer = "http://example.org/";
    int asked = 0;
};

class CRecordingTarget final : public IFavoritesOptionsTarget {
public:
    void RebuildFavoritesMenu() override { ++menuRebuilds; }
    void RebuildLinksBar() override { ++linksBarRebuilds; }
    int menuRebuilds = 0;
    int linksBarRebuilds = 0;
};

// The two pages over the test's own start pages, groups and favorites target.
class CTestPages final : public IOptionsPageFactory {
public:
    std::unique_ptr<COptionsPage> CreatePage(int dialogId) override
    {
        if (dialogId == IDD_START_PAGES_PAGE) {
            auto page = std::make_unique<CStartPagesPage>(&sites, &groups);
            page->SetPrompt(&prompt);
            startPages = page.get();
            return page;
        }
        if (dialogId == IDD_FAVORITES_PAGE)
            return std::make_unique<CFavoritesPage>(&target);
        return nullptr;
    }

    CStartSites sites{(KivoTestScratchFolder() + "StartSites").c_str()};
    CGroupStore groups{""};
    CAnsweringPrompt prompt;
    CRecordingTarget target;
    CStartPagesPage* startPages = nullptr;  // not owned: the open dialog's
};

class CAnsweringBoxes final : public IMessageBoxes {
public:
    int Show(HWND, const char* text, const char*, UINT) override
    {
        texts.push_back(text ? text : "");
        return answer;
    }
    int answer = IDYES;
    std::vector<std::string> texts;
};

class StartAndFavoritesPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = GetSettings();
        ASSERT_NE(settings, nullptr);
        settings->SkipSaveAtExit();
        settings->SysFlags = 0x101c;
        settings->StartupFlags = 0x10002;
        settings->DefaultGroup = "";
        settings->MaxFavMenuWidth = 35;
        settings->FavMenuBreakCount = 25;
        settings->LinksBarDefaultFolder = "Links";
        settings->LastOptionID = -1;
        settings->Save();
        pages.sites.m_sites.clear();
        ASSERT_TRUE(pages.groups.AddGroup("News"));
        ASSERT_TRUE(pages.groups.AddGroup("Work"));
    }

    std::unique_ptr<CSettings> Reread() const
    {
        const std::string folder = KivoTestScratchFolder() + "reread\\";
        auto fresh = std::make_unique<CSettings>(folder.c_str(), folder.c_str());
        fresh->SkipSaveAtExit();
        return fresh;
    }

    static void Click(const COpenOptions& open, int id) { open.Click(id); }
    static bool Enabled(const COpenOptions& open, int id) { return ::IsWindowEnabled(open.Control(id)) != FALSE; }

    CSettings* settings = nullptr;
    CTestPages pages;
    CScopedOptionsPageFactory scope{pages};
};

TEST_F(StartAndFavoritesPages, StartModeSetsItsBitWithTheRunningMarkerAndEnablesWhatTheModeNeeds)
{
    const struct {
        int radio;
        int mode;
        bool group;
        bool siteSelection;
        bool list;
    } cases[] = {
        {IDC_START_MODE_BLANK, 0, false, false, false},      {IDC_START_MODE_HOME_PAGE, 1, false, false, false},
        {IDC_START_MODE_LAST_SITES, 2, false, true, false},  {IDC_START_MODE_GROUP, 3, true, false, false},
        {IDC_START_MODE_START_PAGES, 4, false, false, true}, {IDC_START_MODE_SEARCH_PAGE, 5, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radio);
        COpenOptions open(IDD_START_PAGES_PAGE);
        ASSERT_EQ(open.ShownPageId(), IDD_START_PAGES_PAGE);
        EXPECT_EQ(CStartPagesPage::GetCheckedRadio(open.dialog->GetShownPage()->m_hWnd, IDC_START_MODE_BLANK), 1);
        Click(open, c.radio);
        EXPECT_EQ(CStartPagesPage::GetCheckedRadio(open.dialog->GetShownPage()->m_hWnd, IDC_START_MODE_BLANK), c.mode);
        EXPECT_EQ(Enabled(open, IDC_START_GROUP), c.group);
        EXPECT_EQ(Enabled(open, IDC_START_SITE_SELECTION), c.siteSelection);
        EXPECT_EQ(Enabled(open, IDC_START_PAGES_LIST), c.list);
        EXPECT_EQ(Enabled(open, IDC_START_PAGES_ADD), c.list);
        EXPECT_FALSE(Enabled(open, IDC_START_PAGES_REMOVE));
        EXPECT_FALSE(Enabled(open, IDC_START_PAGES_REMOVE_ALL));
        open.Command(IDOK);
        ASSERT_TRUE(open.Closed());
        EXPECT_EQ(settings->StartupFlags.value, 0x10000 | (1 << c.mode));
        // The running marker is the running program's: a save at exit leaves the mode alone.
        settings->Save();
        EXPECT_EQ(Reread()->StartupFlags.value, 1 << c.mode);
        // Back to the home page for the next case's opening.
        settings->StartupFlags = 0x10002;
    }
}

TEST_F(StartAndFavoritesPages, SiteSelectionBoxIsTheInvertedBitAndCancelWritesNothing)
{
    settings->StartupFlags = 0x10004;
    for (const bool ok : {false, true}) {
        COpenOptions open(IDD_START_PAGES_PAGE);
        HWND box = open.Control(IDC_START_SITE_SELECTION);
        EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
        Click(open, IDC_START_SITE_SELECTION);
        Click(open, IDC_START_MODE_BLANK);
        open.Command(ok ? IDOK : IDCANCEL);
        ASSERT_TRUE(open.Closed());
        EXPECT_EQ(settings->StartupFlags.value, ok ? 0x10001 : 0x10004);
        settings->Save();
        const auto stored = Reread();
        EXPECT_EQ((stored->SysFlags & SysFlag::NoSiteSelectionDialog) != 0, ok);
        EXPECT_EQ(stored->StartupFlags.value, ok ? 0x1 : 0x4);
        settings->SysFlags &= ~SysFlag::NoSiteSelectionDialog;
        settings->StartupFlags = 0x10004;
    }
}

TEST_F(StartAndFavoritesPages, DefaultGroupIsTheChosenGroupOrEmptyWithoutOne)
{
    settings->DefaultGroup = "Work";
    settings->StartupFlags = 0x10008;
    {
        COpenOptions open(IDD_START_PAGES_PAGE);
        HWND combo = open.Control(IDC_START_GROUP);
        EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
        ::SendMessageA(combo, CB_SETCURSEL, 0, 0);
        open.Command(IDOK);
        ASSERT_TRUE(open.Closed());
    }
    EXPECT_EQ(std::string(settings->DefaultGroup.value), "News");
    {
        COpenOptions open(IDD_START_PAGES_PAGE);
        ::SendMessageA(open.Control(IDC_START_GROUP), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        open.Command(IDOK);
        ASSERT_TRUE(open.Closed());
    }
    settings->Save();
    EXPECT_EQ(std::string(Reread()->DefaultGroup.value), "");
}

// Add, Remove and Remove All change the page's copy; OK writes it, Cancel drops it.
TEST_F(StartAndFavoritesPages, StartPageListIsEditedOnACopyUntilOk)
{
    CAnsweringBoxes boxes;
    CScopedMessageBoxes boxScope(boxes);
    settings->StartupFlags = 0x10010;
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        COpenOptions open(IDD_START_PAGES_PAGE);
        HWND list = open.Control(IDC_START_PAGES_LIST);
        EXPECT_FALSE(Enabled(open, IDC_START_PAGES_REMOVE_ALL)) << "an empty list";
        pages.prompt.answer = "http://example.org/";
        Click(open, IDC_START_PAGES_ADD);
        EXPECT_TRUE(Enabled(open, IDC_START_PAGES_REMOVE_ALL));
        pages.prompt.answer = "http://example.net/";
        Click(open, IDC_START_PAGES_ADD);
        pages.prompt.answer = "";
        Click(open, IDC_START_PAGES_ADD);  // cancelled: nothing added
        EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_FALSE(Enabled(open, IDC_START_PAGES_REMOVE));
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        EXPECT_TRUE(Enabled(open, IDC_START_PAGES_REMOVE));
        Click(open, IDC_START_PAGES_REMOVE);
        ASSERT_EQ(pages.startPages->GetShownSites().size(), 1u);
        EXPECT_EQ(std::string(pages.startPages->GetShownSites()[0]), "http://example.net/");
        EXPECT_TRUE(pages.sites.m_sites.empty()) << "nothing is written before OK";
        open.Command(ok ? IDOK : IDCANCEL);
        ASSERT_TRUE(open.Closed());
        EXPECT_EQ(pages.sites.m_sites.size(), ok ? 1u : 0u);
    }
    CStartSites stored((KivoTestScratchFolder() + "StartSites").c_str());
    ASSERT_EQ(stored.m_sites.size(), 1u);
    EXPECT_EQ(std::string(stored.m_sites[0]), "http://example.net/");

    // Remove All asks first: No keeps the list.
    COpenOptions open(IDD_START_PAGES_PAGE);
    boxes.answer = IDNO;
    Click(open, IDC_START_PAGES_REMOVE_ALL);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Are you sure you want to permanently delete these item(s)?");
    EXPECT_EQ(pages.startPages->GetShownSites().size(), 1u);
    boxes.answer = IDYES;
    Click(open, IDC_START_PAGES_REMOVE_ALL);
    EXPECT_TRUE(pages.startPages->GetShownSites().empty());
    EXPECT_FALSE(Enabled(open, IDC_START_PAGES_REMOVE_ALL));
    open.Command(IDOK);
    EXPECT_TRUE(pages.sites.m_sites.empty());
}

// The single column is a break count of 3000; unticking it goes back to 25. The count reaches
// the settings with OK only.
TEST_F(StartAndFavoritesPages, SingleColumnIsABreakCountOf3000AndCancelKeepsTheCount)
{
    for (const bool ok : {false, true}) {
        COpenOptions open(IDD_FAVORITES_PAGE);
        ASSERT_EQ(open.ShownPageId(), IDD_FAVORITES_PAGE);
        HWND count = open.Control(IDC_FAV_BREAK_COUNT);
        EXPECT_TRUE(::IsWindowEnabled(count));
        Click(open, IDC_FAV_SINGLE_COLUMN);
        EXPECT_EQ(::GetDlgItemInt(::GetParent(count), IDC_FAV_BREAK_COUNT, nullptr, TRUE), 3000u);
        EXPECT_FALSE(::IsWindowEnabled(count));
        EXPECT_EQ(settings->FavMenuBreakCount.value, 25) << "nothing is written before OK";
        open.Command(ok ? IDOK : IDCANCEL);
        ASSERT_TRUE(open.Closed());
        settings->Save();
        EXPECT_EQ(Reread()->FavMenuBreakCount.value, ok ? 3000 : 25);
    }
    EXPECT_EQ(pages.target.menuRebuilds, 1);
    EXPECT_EQ(pages.target.linksBarRebuilds, 0);
    COpenOptions open(IDD_FAVORITES_PAGE);
    HWND count = open.Control(IDC_FAV_BREAK_COUNT);
    EXPECT_FALSE(::IsWindowEnabled(count));
    Click(open, IDC_FAV_SINGLE_COLUMN);
    EXPECT_EQ(::GetDlgItemInt(::GetParent(count), IDC_FAV_BREAK_COUNT, nullptr, TRUE), 25u);
    open.Command(IDOK);
    EXPECT_EQ(settings->FavMenuBreakCount.value, 25);
}

TEST_F(StartAndFavoritesPages, FavoritesPageStoresEachValueAndTellsOnlyWhatChanged)
{
    // Cancel after changing everything writes nothing and tells nobody.
    {
        COpenOptions open(IDD_FAVORITES_PAGE);
        Click(open, IDC_FAV_SORT_BY_NAME);
        ::SetWindowTextA(open.Control(IDC_FAV_MENU_WIDTH), "60");
        ::SetWindowTextA(open.Control(IDC_FAV_BREAK_COUNT), "40");
        ::SetWindowTextA(open.Control(IDC_FAV_LINKS_FOLDER), "C:\\Links");
        open.Command(IDCANCEL);
        ASSERT_TRUE(open.Closed());
        settings->Save();
        const auto stored = Reread();
        EXPECT_FALSE(stored->SysFlags & SysFlag::SortFavoritesByName);
        EXPECT_EQ(stored->MaxFavMenuWidth.value, 35);
        EXPECT_EQ(stored->FavMenuBreakCount.value, 25);
        EXPECT_EQ(std::string(stored->LinksBarDefaultFolder.value), "Links");
        EXPECT_EQ(pages.target.menuRebuilds + pages.target.linksBarRebuilds, 0);
    }
    {
        COpenOptions open(IDD_FAVORITES_PAGE);
        ::SetWindowTextA(open.Control(IDC_FAV_LINKS_FOLDER), "C:\\Links");
        open.Command(IDOK);
        ASSERT_TRUE(open.Closed());
    }
    EXPECT_EQ(pages.target.menuRebuilds, 0);
    EXPECT_EQ(pages.target.linksBarRebuilds, 1);
    {
        COpenOptions open(IDD_FAVORITES_PAGE);
        EXPECT_EQ(::SendMessageA(open.Control(IDC_FAV_SORT_BY_NAME), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Click(open, IDC_FAV_SORT_BY_NAME);
        ::SetWindowTextA(open.Control(IDC_FAV_MENU_WIDTH), "60");
        ::SetWindowTextA(open.Control(IDC_FAV_BREAK_COUNT), "40");
        open.Command(IDOK);
        ASSERT_TRUE(open.Closed());
    }
    EXPECT_EQ(pages.target.menuRebuilds, 1);
    EXPECT_EQ(pages.target.linksBarRebuilds, 1);
    settings->Save();
    const auto stored = Reread();
    EXPECT_TRUE(stored->SysFlags & SysFlag::SortFavoritesByName);
    EXPECT_EQ(stored->MaxFavMenuWidth.value, 60);
    EXPECT_EQ(stored->FavMenuBreakCount.value, 40);
    EXPECT_EQ(std::string(stored->LinksBarDefaultFolder.value), "C:\\Links");
    // "Restore defaults" puts the folder's name back.
    COpenOptions open(IDD_FAVORITES_PAGE);
    Click(open, IDC_FAV_LINKS_FOLDER_DEFAULTS);
    char folder[MAX_PATH] = {};
    ::GetWindowTextA(open.Control(IDC_FAV_LINKS_FOLDER), folder, sizeof(folder));
    EXPECT_EQ(std::string(folder), std::string(GetLinksFolderName()));
    open.Command(IDCANCEL);
}

// A number out of range keeps the dialog open with the warning, and nothing is written.
TEST_F(StartAndFavoritesPages, ANumberOutOfRangeKeepsTheDialogOpenWithItsWarning)
{
    CAnsweringBoxes boxes;
    CScopedMessageBoxes boxScope(boxes);
    const struct {
        int edit;
        const char* text;
        const char* warning;
    } cases[] = {
        {IDC_FAV_MENU_WIDTH, "2", "Please enter an integer between 3 and 255\n"},
        {IDC_FAV_MENU_WIDTH, "256", "Please enter an integer between 3 and 255\n"},
        {IDC_FAV_MENU_WIDTH, "", "Please enter an integer between 3 and 255\n"},
        {IDC_FAV_BREAK_COUNT, "3001", "Please enter an integer between 3 and 3000\n"},
        {IDC_FAV_BREAK_COUNT, "2", "Please enter an integer between 3 and 3000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        boxes.texts.clear();
        COpenOptions open(IDD_FAVORITES_PAGE);
        ::SetWindowTextA(open.Control(IDC_FAV_LINKS_FOLDER), "C:\\Elsewhere");
        ::SetWindowTextA(open.Control(c.edit), c.text);
        open.Command(IDOK);
        EXPECT_FALSE(open.Closed());
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], c.warning);
        EXPECT_EQ(settings->MaxFavMenuWidth.value, 35);
        EXPECT_EQ(settings->FavMenuBreakCount.value, 25);
        EXPECT_EQ(std::string(settings->LinksBarDefaultFolder.value), "Links");
        open.Command(IDCANCEL);
        EXPECT_TRUE(open.Closed());
    }
    EXPECT_EQ(pages.target.menuRebuilds + pages.target.linksBarRebuilds, 0);
}

}  // namespace
