// Add to Favorites in real windows under Wine: the "Add Favorite" dialog offers the page's title
// as the name and the favorites folder with its subfolders; the favorite is written where the
// user chose, never outside the favorites, and an existing one is replaced only when the user
// agrees. The command (Ctrl+D, the menu's and the favorites panel's "Add...") runs the dialog for
// the active page. Picture: screenshots\add-favorite-dialog.bmp.
#include "navigation/FrameNavigation.h"
#include "navigation/favorites/AddFavoriteDlg.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using favorites_test::CFavoritesTree;
using nav_test::Click;
using nav_test::CModalScript;

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

} // namespace

TEST(AddFavorite, WritesTheShortcutInsideTheFavoritesOnlyAndReplacesOnlyWhenTheUserAgrees)
{
    CFavoritesTree tree("add-favorite-write");
    const std::string news = tree.Folder("News");
    struct Case {
        const char* name;
        std::string folder;
        CAddFavoriteResult result;
        std::string written;  // the file, "" when none
    };
    const Case cases[] = {
        {"Daily Portal", news, CAddFavoriteResult::Added, news + "Daily Portal.url"},
        // Path parts in a name stay in the chosen folder.
        {"..\\..\\outside", news, CAddFavoriteResult::Added, news + ".._.._outside.url"},
        {"a/b: c?", tree.Root(), CAddFavoriteResult::Added, tree.Root() + "a_b_ c_.url"},
        {"   ", news, CAddFavoriteResult::Failed, ""},
        {"..", news, CAddFavoriteResult::Failed, ""},
        // A folder outside the favorites, or one that climbs out of them, is refused.
        {"Escaped", KivoTestScratchFolder(), CAddFavoriteResult::Failed, ""},
        {"Escaped", news + "..\\..\\", CAddFavoriteResult::Failed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path;
        EXPECT_EQ(AddFavorite(nullptr, tree.Root(), c.folder, c.name, "http://portal.example/", &path), c.result);
        if (!c.written.empty()) {
            EXPECT_EQ(path, c.written);
            EXPECT_EQ(ReadInternetShortcutUrl(c.written), "http://portal.example/");
        }
    }
    EXPECT_FALSE(Exists(KivoTestScratchFolder() + "Escaped.url"));

    // The same name again: kept when the user says no, replaced when yes.
    {
        nav_test::CAnsweringMessageBoxes no(IDNO);
        EXPECT_EQ(AddFavorite(nullptr, tree.Root(), news, "Daily Portal", "http://other.example/"),
                  CAddFavoriteResult::Cancelled);
        EXPECT_EQ(no.texts.size(), 1u);
        EXPECT_EQ(ReadInternetShortcutUrl(news + "Daily Portal.url"), "http://portal.example/");
    }
    nav_test::CAnsweringMessageBoxes yes(IDYES);
    EXPECT_EQ(AddFavorite(nullptr, tree.Root(), news, "Daily Portal", "http://other.example/"), CAddFavoriteResult::Added);
    EXPECT_EQ(ReadInternetShortcutUrl(news + "Daily Portal.url"), "http://other.example/");
}

TEST(AddFavorite, TheNameComesFromTheTitleOrElseTheAddress)
{
    EXPECT_EQ(FavoriteNameForPage("  Kivo: the <best> tabs  ", "http://kivo.example/"), "Kivo_ the _best_ tabs");
    EXPECT_EQ(FavoriteNameForPage("", "http://kivo.example/a?b"), "http___kivo.example_a_b");
    EXPECT_EQ(FavoriteNameForPage(std::string(400, 'x'), "").size(), 200u);
}

TEST(AddFavoriteDialog, OffersTheNameAndEveryFolderAndOkTakesTheChoice)
{
    CFavoritesTree tree("add-favorite-dialog");
    tree.Folder("Recipes");
    tree.Folder("News");
    tree.Folder("News\\Sport");
    CAddFavoriteDlg dialog(tree.Root(), "Daily Portal");
    std::vector<std::string> folders;
    std::string name;
    CModalScript script({[&](HWND d) {
        char text[256] = "";
        GetDlgItemTextA(d, IDC_FAVORITE_NAME, text, sizeof(text));
        name = text;
        const HWND combo = GetDlgItem(d, IDC_FAVORITE_FOLDER);
        folders = ComboTexts(combo);
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        SetDlgItemTextA(d, IDC_FAVORITE_NAME, "  Portal  ");
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::string path;
        EXPECT_TRUE(kivo_test::WriteWindowScreenshot(d, "add-favorite-dialog.bmp", path)) << path;
        Click(d, IDOK);
    }});
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(name, "Daily Portal");
    EXPECT_EQ(folders, (std::vector<std::string>{"Favorites", "News", "News\\Sport", "Recipes"}));
    EXPECT_EQ(dialog.GetName(), "Portal");
    EXPECT_EQ(dialog.GetFolder(), tree.Root() + "News\\Sport\\");

    // An empty name leaves OK disabled.
    CAddFavoriteDlg empty(tree.Root(), "");
    bool okEnabled = true;
    CModalScript cancel({[&](HWND d) {
        okEnabled = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
        Click(d, IDCANCEL);
    }});
    EXPECT_EQ(empty.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(cancel.Finished());
    EXPECT_FALSE(okEnabled);
}

TEST(AddFavoriteCommand, AddsTheActivePageWhereTheUserChoseAndCancelWritesNothing)
{
    CFavoritesTree tree("add-favorite-command");
    const std::string news = tree.Folder("News");
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    CFrameNavigation navigation;
    CModalScript cancel({[](HWND d) { Click(d, IDCANCEL); }});
    EXPECT_TRUE(navigation.HandleNavigationCommand(frame, kAddToFavoritesCommand, "http://portal.example/"));
    EXPECT_TRUE(cancel.Finished());
    EXPECT_FALSE(Exists(tree.Root() + "http___portal.example_.url"));

    CModalScript add({[](HWND d) {
        SendDlgItemMessageA(d, IDC_FAVORITE_FOLDER, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(d, IDC_FAVORITE_NAME, "Portal");
        Click(d, IDOK);
    }});
    EXPECT_TRUE(navigation.HandleNavigationCommand(frame, kAddToFavoritesCommand, "http://portal.example/"));
    EXPECT_TRUE(add.Finished());
    EXPECT_EQ(ReadInternetShortcutUrl(news + "Portal.url"), "http://portal.example/");
    DestroyWindow(frame);
}
