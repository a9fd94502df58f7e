// The "Search Bar" options page as a real child dialog: it shows the catalogue's categories with
// their check boxes and the engines with the default, edits a copy, and Apply hands the result to
// the catalogue and the search bar's buttons.
#include "navigation/SearchBarPage.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "navigation/SearchBar.h"
#include "navigation/SearchEngineManager.h"

#include <gtest/gtest.h>

namespace {

TEST(SearchBarPage, EditsChecksAndDefaultsAndAppliesThem)
{
    CScratchFolder folder("search-page");
    const std::string path = nav_test::WriteText(folder, "searchengine.ini",
                                                 "[Web]\r\nFind=http://find.example/?q=%us\r\n-=\r\nSeek=http://seek.example/?s=%s\r\n"
                                                 "[Images]\r\nPictures=http://pictures.example/%us\r\n");
    nav_test::CMemorySettingsStore store;
    store.WriteBinary("Settings", kDefaultSearchEngineKey, EncodeIntList({2}));
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CSearchEngineManager engines(&file, store);
    nav_test::CFrameDouble frame;
    SetWindowPos(frame.Window(), nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER);
    CSearchBar bar(&engines, CRegistryHistory(HKEY_CURRENT_USER, "Software\\KivoNavigationTests\\PageHistory", "", 30));
    ASSERT_TRUE(bar.Create(frame.Window()));
    bar.SetWindowPos(nullptr, 0, 0, 400, 26, SWP_NOZORDER);

    CSearchBarPage page(engines, &bar);
    ASSERT_TRUE(page.Create(frame.Window()));
    page.SetWindowPos(nullptr, 0, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND categories = page.GetDlgItem(IDC_SEARCH_CATEGORY_LIST);
    HWND engineList = page.GetDlgItem(IDC_SEARCH_ENGINE_LIST);
    HWND setDefault = page.GetDlgItem(IDC_SET_DEFAULT_ENGINE);
    EXPECT_EQ(2, static_cast<int>(SendMessageA(categories, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_TRUE(page.IsChecked(0));
    EXPECT_EQ(3, static_cast<int>(SendMessageA(engineList, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_FALSE(IsWindowEnabled(setDefault)) << "nothing selected yet";

    const auto selectEngine = [&](int row) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(engineList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(engineList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    };
    selectEngine(1);
    EXPECT_FALSE(IsWindowEnabled(setDefault)) << "a separator is never the default";
    selectEngine(2);
    EXPECT_FALSE(IsWindowEnabled(setDefault)) << "already the default";
    selectEngine(0);
    EXPECT_TRUE(IsWindowEnabled(setDefault));
    page.SetSelectedAsDefault();
    EXPECT_EQ(0, page.GetDefault(0));
    EXPECT_FALSE(IsWindowEnabled(setDefault));
    EXPECT_EQ(2, engines.Categories()[0].defaultEngine) << "the catalogue changes only on Apply";

    // Another category and back: the edited default is kept.
    page.SelectCategory(1);
    EXPECT_EQ(1, static_cast<int>(SendMessageA(engineList, LVM_GETITEMCOUNT, 0, 0)));
    page.SelectCategory(0);
    EXPECT_EQ(0, page.GetDefault(0));

    ListView_SetCheckState(categories, 1, FALSE);
    RedrawWindow(frame.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string shot;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(page.m_hWnd, "search-bar-page.bmp", shot));
    page.Apply();
    EXPECT_EQ(0, engines.Categories()[0].defaultEngine);
    EXPECT_FALSE(engines.Categories()[1].enabled);
    EXPECT_TRUE(SendMessageA(bar.GetCategoryToolbar(), TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST + 1, 0));
    EXPECT_FALSE(SendMessageA(bar.GetCategoryToolbar(), TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST, 0));

    page.DestroyWindow();
    bar.DestroyWindow();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KivoNavigationTests\\PageHistory");
}

}  // namespace
