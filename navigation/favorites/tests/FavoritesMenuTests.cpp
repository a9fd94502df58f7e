#include "navigation/favorites/FavoritesMenu.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "controls/CommandImageManager.h"
#include "controls/tests/Screenshot.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/Settings.h"
#include "core/library/RegistryKey.h"
#include "core/system/ShellItems.h"
#include "navigation/FavIconCache.h"
#include "platform/AtlCtrls.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using favorites_test::CFakeFrame;
using favorites_test::CFavoritesTree;

namespace {

class CNoIconSource : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string&, HANDLE) override { return nullptr; }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string& path) override { return ReadInternetShortcutUrl(path); }
};

std::string ItemText(HMENU menu, int position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

std::vector<std::string> ItemTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        texts.push_back(ItemText(menu, i));
    return texts;
}

std::vector<BYTE> ChildIdList(const std::string& path)
{
    CPidl full(ParseDisplayNameToPidl(path.c_str()));
    LPCITEMIDLIST last = full.Get() ? ILFindLastID(full.Get()) : nullptr;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(last);
    return last ? std::vector<BYTE>(bytes, bytes + GetPidlSize(last)) : std::vector<BYTE>();
}

// Restores the settings the menus read.
class CSettingsRestore {
public:
    CSettingsRestore()
        : m_sysFlags(GetSettings()->SysFlags), m_break(GetSettings()->FavMenuBreakCount.value),
          m_width(GetSettings()->MaxFavMenuWidth.value), m_tabFlags(GetSettings()->TabOpenFlags.value)
    {
    }
    ~CSettingsRestore()
    {
        GetSettings()->SysFlags = m_sysFlags;
        GetSettings()->FavMenuBreakCount = m_break;
        GetSettings()->MaxFavMenuWidth = m_width;
        GetSettings()->TabOpenFlags = m_tabFlags;
    }
    CSettingsRestore(const CSettingsRestore&) = delete;
    CSettingsRestore& operator=(const CSettingsRestore&) = delete;

private:
    DWORD m_sysFlags;
    int m_break;
    int m_width;
    int m_tabFlags;
};

class FavoritesMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetSettings()->SysFlags &= ~DWORD{0x20000};
        GetSettings()->FavMenuBreakCount = 25;
        GetSettings()->MaxFavMenuWidth = 35;
        root.CreatePopupMenu();
        root.AppendMenu(MF_STRING, 22870, "&Add to Favorites...");
        root.AppendMenu(MF_STRING, 22871, "&Organize Favorites...");
        root.AppendMenu(MF_SEPARATOR);
        root.AppendMenu(MF_STRING, kFavoritesMenuInsertPoint, "Insert Point");
        menu.Attach(root.m_hMenu);
        menu.SetRootFolder(tree.Root());
        menu.SetOwnerWindow(frame.window);
        menu.SetFavIconCache(&icons);
    }
    void TearDown() override
    {
        CRegistryKey key;
        if (key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder"))
            key.DeleteSubKeyTree("Favorites");
    }
    void WriteOrder(const std::string& folder, const std::vector<CMenuOrderEntry>& entries)
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, GetMenuOrderKeyPath(folder, tree.Root()).c_str()));
        const std::vector<BYTE> value = BuildMenuOrderValue(entries, 8);
        ASSERT_EQ(RegSetValueExA(key, kMenuOrderValueName, 0, REG_BINARY, value.data(), static_cast<DWORD>(value.size())), ERROR_SUCCESS);
    }
    UINT CommandOf(HMENU popup, const std::string& text)
    {
        for (int i = 0; i < GetMenuItemCount(popup); ++i)
            if (ItemText(popup, i) == text)
                return GetMenuItemID(popup, i);
        return 0;
    }

    CSettingsRestore settings;
    CFavoritesTree tree{"FavoritesMenuTree"};
    CFavIconCache icons{std::make_unique<CNoIconSource>(), {}};
    CFakeFrame frame;
    CMenu root;
    CFrameFavoritesMenu menu;
};

}  // namespace

TEST_F(FavoritesMenuTest, ListsTheTreeInTheStoredOrderAndOpensItsItems)
{
    tree.Folder("News");
    tree.Folder("Empty");
    const std::string beta = tree.Link("Beta", "http://beta.test/");
    const std::string alpha = tree.Link("Alpha", "http://alpha.test/page");
    const std::string gamma = tree.Link("Gamma", "http://gamma.test/");
    tree.Link("Unlisted", "http://unlisted.test/");
    const std::string hidden = tree.Link("Hidden", "http://hidden.test/");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    tree.Link("News\\Fish & Chips", "http://fish.test/");
    tree.Link("News\\A very long title that goes on and on!", "http://long.test/");
    WriteOrder(tree.Root(), {{1, ChildIdList(gamma)}, {2, ChildIdList(alpha)}, {3, ChildIdList(tree.Root() + "News")},
                             {4, ChildIdList(beta)}, {-1, ChildIdList(tree.Root() + "Empty")}});

    menu.OnInitMenuPopup(root);
    // The fixed items stay; the placeholder is gone; unlisted entries (place 0) come first, entries
    // without a place last.
    EXPECT_EQ(ItemTexts(root), (std::vector<std::string>{"&Add to Favorites...", "&Organize Favorites...", "",
                                                          "Unlisted", "Gamma", "Alpha", "News", "Beta", "Empty"}));
    HMENU news = GetSubMenu(root, 6);
    ASSERT_TRUE(news);
    menu.OnInitMenuPopup(news);
    EXPECT_EQ(ItemTexts(news), (std::vector<std::string>{"A very long title that goes on a...", "Fish && Chips"}));
    HMENU empty = GetSubMenu(root, 8);
    ASSERT_TRUE(empty);
    ASSERT_EQ(GetMenuItemCount(empty), 1);
    EXPECT_EQ(ItemText(empty, 0), "(empty)");
    EXPECT_TRUE(GetMenuState(empty, 0, MF_BYPOSITION) & MF_GRAYED);

    // Icons and tooltips: every item has the favicon list's icon (4 while it is fetched) and its address.
    const UINT alphaCommand = CommandOf(root, "Alpha");
    ASSERT_GT(alphaCommand, kFavoritesMenuFirstCommand);
    ASSERT_LT(alphaCommand, kFavoritesMenuLastCommand);
    EXPECT_EQ(std::string(GetCommandImageManager()->GetCommandText(alphaCommand).c_str()), "http://alpha.test/page");
    const auto& waiting = menu.GetCommandsWaitingForIcon();
    EXPECT_NE(std::find(waiting.begin(), waiting.end(), alphaCommand), waiting.end());

    // Opening: the item's address goes to the frame, in a new tab when the favorites ask for one.
    LRESULT result = 0;
    GetSettings()->TabOpenFlags = 0;
    EXPECT_TRUE(menu.ProcessWindowMessage(frame.window, WM_COMMAND, alphaCommand, 0, result));
    GetSettings()->TabOpenFlags = 0x4;
    EXPECT_TRUE(menu.ProcessWindowMessage(frame.window, WM_COMMAND, CommandOf(root, "Beta"), 0, result));
    EXPECT_FALSE(menu.ProcessWindowMessage(frame.window, WM_COMMAND, 22870, 0, result));
    EXPECT_FALSE(menu.ProcessWindowMessage(frame.window, WM_COMMAND, alphaCommand, reinterpret_cast<LPARAM>(frame.window), result));
    EXPECT_EQ(frame.opened, (std::vector<std::pair<std::string, DWORD>>{{"http://alpha.test/page", 0}, {"http://beta.test/", kOpenNewTab}}));

    // Each opening rebuilds from the disk.
    DeleteFileA(gamma.c_str());
    menu.OnInitMenuPopup(root);
    EXPECT_EQ(CommandOf(root, "Gamma"), 0u);
    EXPECT_EQ(GetMenuItemCount(root), 8);
    menu.RemoveItems();
    EXPECT_EQ(ItemTexts(root).back(), "Insert Point");
    EXPECT_EQ(GetMenuItemCount(root), 4);
}

TEST_F(FavoritesMenuTest, NameSortColumnsAndMenuCharacters)
{
    GetSettings()->SysFlags |= 0x20000;
    GetSettings()->FavMenuBreakCount = 5;
    tree.Folder("zeta");
    for (const char* name : {"Mango", "apple", "_under", "Kiwi", "Melon", "banana", "Cherry"})
        tree.Link(name, std::string("http://") + name + ".test/");
    menu.OnInitMenuPopup(root);
    // Folders first, then upper-cased byte order ("_" after the letters).
    const std::vector<std::string> expected = {"zeta", "apple", "banana", "Cherry", "Kiwi", "Mango", "Melon", "_under"};
    std::vector<std::string> texts = ItemTexts(root);
    texts.erase(texts.begin(), texts.begin() + 3);
    EXPECT_EQ(texts, expected);
    // Columns of at most five entries, the three fixed items counted.
    for (int i = 0; i < GetMenuItemCount(root); ++i) {
        const bool breaks = (GetMenuState(root, i, MF_BYPOSITION) & MF_MENUBARBREAK) != 0;
        EXPECT_EQ(breaks, i == 5 || i == 10) << i;
    }
    // "M" is shared by two items: select the first; "k" is unique: execute it.
    LRESULT result = 0;
    ASSERT_TRUE(menu.ProcessWindowMessage(frame.window, WM_MENUCHAR, MAKEWPARAM('m', MF_POPUP), reinterpret_cast<LPARAM>(root.m_hMenu), result));
    EXPECT_EQ(result, MAKELRESULT(8, 3));
    ASSERT_TRUE(menu.ProcessWindowMessage(frame.window, WM_MENUCHAR, MAKEWPARAM('k', MF_POPUP), reinterpret_cast<LPARAM>(root.m_hMenu), result));
    EXPECT_EQ(result, MAKELRESULT(7, 2));
    ASSERT_TRUE(menu.ProcessWindowMessage(frame.window, WM_MENUCHAR, MAKEWPARAM(VK_RETURN, MF_POPUP), reinterpret_cast<LPARAM>(root.m_hMenu), result));
    EXPECT_EQ(result, 0x10001);
    HMENU foreign = CreatePopupMenu();
    EXPECT_FALSE(menu.ProcessWindowMessage(frame.window, WM_MENUCHAR, MAKEWPARAM('k', MF_POPUP), reinterpret_cast<LPARAM>(foreign), result));
    DestroyMenu(foreign);
}

TEST(FavoritesDisplayText, CutsAndEscapes)
{
    const struct {
        const char* path;
        int width;
        const char* text;
    } cases[] = {
        {"C:\\F\\Fish & Chips.url", 35, "Fish && Chips"},
        {"C:\\F\\1234567890123456789012345678901234567890.url", 35, "12345678901234567890123456789012..."},
        {"C:\\F\\abc.url", 2, ".."},
        {"C:\\F\\abc.url", 0, ""},
        {"C:\\F\\ab.url", 2, "ab"},
        {"C:\\F\\News\\", 35, "News"},
        {"C:\\F\\v1.2 notes.url", 35, "v1.2 notes"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeFavoritesDisplayText(c.path, c.width), c.text) << c.path;
}

TEST_F(FavoritesMenuTest, ScreenshotOfTheOpenMenu)
{
    tree.Folder("Projects");
    for (const char* name : {"Kivo Home", "Search & Find", "Weather", "News of the Day"})
        tree.Link(name, "http://example.test/");
    SetForegroundWindow(frame.window);
    menu.OnInitMenuPopup(root);
    favorites_test::CMenuShot shot(frame.window, "favorites-menu.bmp");
    TrackPopupMenu(root, TPM_LEFTALIGN | TPM_TOPALIGN, 40, 40, 0, frame.window, nullptr);
    EXPECT_TRUE(shot.Written()) << shot.Path();
}

// Each opening rebuilds the menu; the ids start again, so a large tree opened often loses nothing.
TEST_F(FavoritesMenuTest, ReopeningALargeTreeKeepsEveryItem)
{
    GetSettings()->FavMenuBreakCount = 1000;
    for (int i = 0; i < 120; ++i)
        tree.Link("Site " + std::to_string(1000 + i), "http://site" + std::to_string(i) + ".test/");
    for (int opening = 0; opening < 20; ++opening)
        menu.OnInitMenuPopup(root);
    EXPECT_EQ(GetMenuItemCount(root), 3 + 120);
    EXPECT_EQ(ItemText(root, 3 + 119), "Site 1119");
    LRESULT result = 0;
    EXPECT_TRUE(menu.ProcessWindowMessage(frame.window, WM_COMMAND, GetMenuItemID(root, 3 + 119), 0, result));
    EXPECT_EQ(frame.opened.back().first, "http://site119.test/");
}

// A tree deeper than the menus build (as a folder link back into the tree makes it) ends in an
// empty folder instead of building without end.
TEST_F(FavoritesMenuTest, AVeryDeepTreeIsCutAtItsDepthLimit)
{
    std::string relative = "d";
    for (int level = 0; level < 40; ++level) {
        tree.Folder(relative);
        relative += "\\d";
    }
    menu.OnInitMenuPopup(root);
    ASSERT_EQ(ItemTexts(root).back(), "d");
    int depth = 0;
    for (HMENU level = GetSubMenu(root, 3); level && GetMenuItemCount(level) > 0; level = GetSubMenu(level, 0))
        ++depth;
    EXPECT_GE(depth, 10);
    EXPECT_LT(depth, 30);
}
