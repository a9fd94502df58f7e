// The "Search Bar" options page as a real child dialog: it shows the catalogue's categories with
// their check boxes and the engines with the default, edits a copy, and Apply hands the result to
// the catalogue and the search bar's buttons.
#include "navigation/SearchBarPage.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "navigation/FavIconCache.h"
#include "navigation/SearchBar.h"
#include "navigation/SearchEngineManager.h"

#include <gtest/gtest.h>

namespace {

class CNoFetchSource : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string&, HANDLE) override { return nullptr; }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string&) override { return std::string(); }
};

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

    CFavIconCache icons(std::make_unique<CNoFetchSource>(), std::vector<std::string>{});
    CSearchBarPage page(engines, &bar, &icons);
    ASSERT_TRUE(page.Create(frame.Window()));
    EXPECT_EQ(page.GetDialogID(), 178);
    page.SetWindowPos(nullptr, 0, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    HWND categories = page.GetDlgItem(IDC_SEARCH_CATEGORY_LIST);
    HWND engineList = page.GetDlgItem(IDC_SEARCH_ENGINE_LIST);
    HWND setDefault = page.GetDlgItem(IDC_SET_DEFAULT_ENGINE);
    EXPECT_EQ(2, static_cast<int>(SendMessageA(categories, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_TRUE(page.IsChecked(0));
    EXPECT_EQ(3, static_cast<int>(SendMessageA(engineList, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_FALSE(IsWindowEnabled(setDefault)) << "nothing selected yet";
    // Each engine shows its site's icon; the separator has none.
    const auto rowImage = [&](int row) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageA(engineList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    };
    EXPECT_EQ(rowImage(0), icons.GetIconIndex("http://find.example/?q=%us"));
    EXPECT_EQ(rowImage(1), I_IMAGENONE);

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
    EXPECT_EQ(0, page.OnApply());
    EXPECT_EQ(0, engines.Categories()[0].defaultEngine);
    EXPECT_FALSE(engines.Categories()[1].enabled);
    EXPECT_TRUE(SendMessageA(bar.GetCategoryToolbar(), TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST + 1, 0));
    EXPECT_FALSE(SendMessageA(bar.GetCategoryToolbar(), TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST, 0));

    page.DestroyWindow();
    bar.DestroyWindow();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KivoNavigationTests\\PageHistory");

    // What the catalogue writes at exit is what the page applied.
    engines.SaveSettings(store);
    CIniFile again;
    ASSERT_TRUE(again.Open(path.c_str()));
    CSearchEngineManager restarted(&again, store);
    EXPECT_EQ(0, restarted.Categories()[0].defaultEngine);
    EXPECT_FALSE(restarted.Categories()[1].enabled);
    EXPECT_TRUE(restarted.Categories()[0].enabled);
}

// The page's table: each control set, then Apply or Cancel, then the catalogue read back from
// what it stores.
TEST(SearchBarPage, ApplyStoresWhatTheControlsShowAndCancelStoresNothing)
{
    CScratchFolder folder("search-page-table");
    const std::string path = nav_test::WriteText(folder, "searchengine.ini",
                                                 "[Web]\r\nFind=http://find.example/?q=%us\r\nSeek=http://seek.example/?s=%s\r\n"
                                                 "[Images]\r\nPictures=http://pictures.example/%us\r\nPhotos=http://photos.example/%us\r\n");
    const struct {
        const char* name;
        int category;     // the category whose check box is cleared, -1 none
        int defaultOf1;   // the engine made default in "Images", -1 none
        bool apply;
        bool web, images;  // enabled flags read back
        int imagesDefault;
    } cases[] = {
        {"uncheck Web, apply", 0, -1, true, false, true, 0},
        {"default Photos, apply", -1, 1, true, true, true, 1},
        {"both, cancel", 1, 1, false, true, true, 0},
    };
    for (const auto& c : cases) {
        nav_test::CMemorySettingsStore store;
        CIniFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        CSearchEngineManager engines(&file, store);
        nav_test::CFrameDouble frame;
        CSearchBarPage page(engines, nullptr);
        ASSERT_TRUE(page.Create(frame.Window())) << c.name;
        if (c.category >= 0)
            ListView_SetCheckState(page.GetDlgItem(IDC_SEARCH_CATEGORY_LIST), c.category, FALSE);
        if (c.defaultOf1 >= 0) {
            page.SelectCategory(1);
            LVITEMA item = {};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(page.GetDlgItem(IDC_SEARCH_ENGINE_LIST), LVM_SETITEMSTATE, c.defaultOf1, reinterpret_cast<LPARAM>(&item));
            page.SetSelectedAsDefault();
        }
        if (c.apply)
            EXPECT_EQ(0, page.OnApply());
        else
            page.OnCancel();
        page.DestroyWindow();
        engines.SaveSettings(store);
        CIniFile again;
        ASSERT_TRUE(again.Open(path.c_str()));
        CSearchEngineManager restarted(&again, store);
        EXPECT_EQ(restarted.Categories()[0].enabled, c.web) << c.name;
        EXPECT_EQ(restarted.Categories()[1].enabled, c.images) << c.name;
        EXPECT_EQ(restarted.Categories()[1].defaultEngine, c.imagesDefault) << c.name;
    }
}

}  // namespace
