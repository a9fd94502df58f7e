#include "navigation/favorites/FavoritesMenuOrder.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "core/library/RegistryKey.h"
#include "core/system/ShellItems.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>

using favorites_test::CFavoritesTree;

namespace {

// The id list of the file's last item alone, as the "Order" value keeps its entries.
std::vector<BYTE> ChildIdList(const std::string& path)
{
    CPidl full(ParseDisplayNameToPidl(path.c_str()));
    if (!full.Get())
        return {};
    LPCITEMIDLIST last = ILFindLastID(full.Get());
    const UINT size = GetPidlSize(last);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(last);
    return std::vector<BYTE>(bytes, bytes + size);
}

std::vector<BYTE> Words(std::initializer_list<uint32_t> words)
{
    std::vector<BYTE> bytes;
    for (uint32_t word : words) {
        const BYTE* at = reinterpret_cast<const BYTE*>(&word);
        bytes.insert(bytes.end(), at, at + 4);
    }
    return bytes;
}

void WriteOrder(const std::string& keyPath, const std::vector<BYTE>& value)
{
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, keyPath.c_str()));
    ASSERT_EQ(RegSetValueExA(key, kMenuOrderValueName, 0, REG_BINARY, value.data(), static_cast<DWORD>(value.size())),
              ERROR_SUCCESS);
}

}  // namespace

TEST(MenuOrderKey, FollowsTheFolderBelowTheFavorites)
{
    const std::string root = "C:\\Fav\\";
    const std::string base = kMenuOrderFavoritesKey;
    const struct {
        const char* folder;
        std::string key;
    } cases[] = {
        {"C:\\Fav\\", base},
        {"C:\\Fav", base},
        {"c:\\fav\\News\\", base + "\\News"},
        {"C:\\Fav\\News\\Local", base + "\\News\\Local"},
        {"C:\\Other\\News\\", ""},  // outside the Favorites: no order rather than another folder's
        {"C:\\Fa", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetMenuOrderKeyPath(c.folder, root), c.key) << c.folder;
}

// Damaged values: every length is checked against the data, no loop, the good entries kept.
TEST(MenuOrderValue, HostileValuesAreReadWithinTheirBytes)
{
    const std::vector<BYTE> item = {6, 0, 'a', 'b', 'c', 'd', 0, 0};  // one item of 6 bytes, terminator
    std::vector<BYTE> good = BuildMenuOrderValue({{3, item}, {-5, item}}, 4);
    ASSERT_EQ(ParseMenuOrderValue(good.data(), good.size()).size(), 2u);

    std::vector<BYTE> zeroSize = Words({0, 0, 0, 0, 7});  // entry size 0 would never advance
    std::vector<BYTE> hugeHeader = Words({0xFFFFFFF8u, 0, 0, 16, 1, 0});
    std::vector<BYTE> pastEnd = Words({0, 0, 0, 400, 9});
    pastEnd.insert(pastEnd.end(), {40, 0, 'x', 'y'});  // item claims 40 bytes, 4 remain
    std::vector<BYTE> goodThenZero = good;
    const std::vector<BYTE> zeroTail = Words({0, 0});
    goodThenZero.insert(goodThenZero.end(), zeroTail.begin(), zeroTail.end());
    std::vector<BYTE> shortItem = Words({0, 0, 0, 11, 2});
    shortItem.insert(shortItem.end(), {1, 0, 0});  // an item count of 1 would not advance

    const struct {
        const char* name;
        std::vector<BYTE> value;
        size_t entries;
        int32_t firstPosition;
        size_t firstListSize;  // bytes of the first id list, terminator counted
    } cases[] = {
        {"well formed", good, 2, 3, 8},
        {"eleven bytes", std::vector<BYTE>(11, 0), 0, 0, 0},
        {"entry size zero", zeroSize, 0, 0, 0},
        {"header beyond the data", hugeHeader, 0, 0, 0},
        {"entry running past the end", pastEnd, 1, 9, 2},
        {"good entries then a zero size", goodThenZero, 2, 3, 8},
        {"item count below two", shortItem, 1, 2, 2},
    };
    for (const auto& c : cases) {
        const std::vector<CMenuOrderEntry> entries = ParseMenuOrderValue(c.value.data(), c.value.size());
        ASSERT_EQ(entries.size(), c.entries) << c.name;
        if (c.entries) {
            EXPECT_EQ(entries[0].position, c.firstPosition) << c.name;
            EXPECT_EQ(entries[0].idList.size(), c.firstListSize) << c.name;
        }
        for (const CMenuOrderEntry& entry : entries)
            EXPECT_EQ(GetPidlSize(reinterpret_cast<LPCITEMIDLIST>(entry.idList.data())), entry.idList.size()) << c.name;
    }
}

TEST(MenuOrderValue, PlacesAndTheComparisonOfTheSorts)
{
    const CFavoritesOrderMap order = {{"b.url", 1}, {"a.url", 2}, {"gone.url", -1}, {"old.url", -5}};
    EXPECT_EQ(GetMenuOrderPlace(order, "b.url"), 1);
    EXPECT_EQ(GetMenuOrderPlace(order, "new.url"), 0);
    EXPECT_EQ(GetMenuOrderPlace(order, "gone.url"), kNoMenuOrderPlace);
    EXPECT_EQ(GetMenuOrderPlace(order, "old.url"), kNoMenuOrderPlace);
    EXPECT_TRUE(MenuOrderLess(order, "b.url", false, "a.url", false));
    EXPECT_TRUE(MenuOrderLess(order, "new.url", false, "b.url", false));  // unlisted (0) before listed
    EXPECT_TRUE(MenuOrderLess(order, "a.url", false, "gone.url", true));
    EXPECT_TRUE(MenuOrderLess(order, "zfolder", true, "gone.url", false));  // both without place: folders first
    EXPECT_TRUE(MenuOrderLess(order, "Old.url", false, "gone.url", false)); // then byte order
}

// A real tree, its order written to the (test-redirected) registry and read back.
TEST(MenuOrderRegistry, ReadsTheStoredOrderOfEachFolder)
{
    CFavoritesTree tree("MenuOrderTree");
    const std::string news = tree.Folder("News");
    const std::string first = tree.Link("News\\First", "http://first.test/");
    const std::string second = tree.Link("News\\Second", "http://second.test/");
    const std::string top = tree.Link("Top", "http://top.test/");

    std::vector<BYTE> value = BuildMenuOrderValue(
        {{7, ChildIdList(second)}, {2, ChildIdList(first)}, {9, ChildIdList(second)}}, 2);
    WriteOrder(GetMenuOrderKeyPath(news, tree.Root()), value);
    WriteOrder(GetMenuOrderKeyPath(tree.Root(), tree.Root()), BuildMenuOrderValue({{-1, ChildIdList(top)}}));

    CFavoritesOrderMap order;
    ReadFavoritesMenuOrder(order, news);
    EXPECT_EQ(order, (CFavoritesOrderMap{{"First.url", 2}, {"Second.url", 7}}));  // the first position kept
    ReadFavoritesMenuOrder(order, tree.Root());
    EXPECT_EQ(order, (CFavoritesOrderMap{{"Top.url", -1}}));

    WriteOrder(GetMenuOrderKeyPath(news, tree.Root()), std::vector<BYTE>(11, 0));
    ReadFavoritesMenuOrder(order, news);
    EXPECT_TRUE(order.empty());
    ReadFavoritesMenuOrder(order, tree.Folder("Unordered"));
    EXPECT_TRUE(order.empty());
    {
        // A value of another type than binary is not an order, whatever its bytes.
        CRegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, GetMenuOrderKeyPath(news, tree.Root()).c_str()));
        ASSERT_EQ(RegSetValueExA(key, kMenuOrderValueName, 0, REG_SZ, value.data(), static_cast<DWORD>(value.size())), ERROR_SUCCESS);
    }
    ReadFavoritesMenuOrder(order, news);
    EXPECT_TRUE(order.empty());

    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder"))
        key.DeleteSubKeyTree("Favorites");
}
