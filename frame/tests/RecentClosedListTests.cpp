// The recently closed pages: the list's rules, its numbered menu and its registry form.
#include "frame/RecentClosedList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kTestKey = "Software\\KivoFrameTests\\Recent Document List";

class CRecentKeyFixture : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kTestKey));
    }
    void TearDown() override
    {
        key.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    bool HasValue(const std::string& name)
    {
        TStdStr<char> value;
        return key.QueryStringValue(name.c_str(), value);
    }
    CRegistryKey key;
};

std::string ItemText(HMENU menu, int position)
{
    char text[512] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

} // namespace

TEST(RecentClosedList, SameUrlInAnyCaseLeavesOneEntryAndAFullListDropsTheOldest)
{
    CRecentClosedList list;
    list.SetMaxEntries(16);
    list.AddToList("First", "http://site.example/page");
    list.AddToList("Second", "HTTP://SITE.EXAMPLE/PAGE");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetEntries().back().title.c_str(), "Second");
    for (int i = 0; i < 16; ++i)
        list.AddToList("Page", ("http://page" + std::to_string(i) + ".example/").c_str());
    ASSERT_EQ(list.GetCount(), 16);
    EXPECT_STREQ(list.GetEntries().front().url.c_str(), "http://page0.example/");
    EXPECT_STREQ(list.EntryForCommand(CRecentClosedList::kFirstCommand)->url.c_str(), "http://page15.example/");
    EXPECT_STREQ(list.EntryForCommand(CRecentClosedList::kFirstCommand + 15)->url.c_str(), "http://page0.example/");
    EXPECT_EQ(list.EntryForCommand(CRecentClosedList::kFirstCommand + 16), nullptr);
    EXPECT_EQ(list.EntryForCommand(CRecentClosedList::kFirstCommand - 1), nullptr);
}

TEST(RecentClosedList, MenuShowsNumberedNewestFirstAndTheAttachedEmptyText)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 100, "Before");
    AppendMenuA(menu, MF_STRING | MF_GRAYED, CRecentClosedList::kFirstCommand, "Nothing yet");
    AppendMenuA(menu, MF_STRING, 101, "After");
    CRecentClosedList list;
    list.SetMenuHandle(menu);
    ASSERT_TRUE(list.UpdateMenu());
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(ItemText(menu, 1), "Nothing yet");
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);

    const std::string longTitle(300, 'x');
    list.AddToList("Old & new", "http://a.example/");
    list.AddToList(longTitle.c_str(), "http://b.example/");
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(ItemText(menu, 0), "Before");
    EXPECT_EQ(GetMenuItemID(menu, 1), CRecentClosedList::kFirstCommand);
    EXPECT_EQ(ItemText(menu, 1).size(), std::string("&1 ").size() + CRecentClosedList::kMaxItemLength);
    EXPECT_EQ(ItemText(menu, 2), "&2 Old && new");
    EXPECT_EQ(ItemText(menu, 3), "After");
    // The stored title stays whole.
    EXPECT_EQ(list.GetEntries().back().title.size(), longTitle.size());

    ASSERT_TRUE(list.RemoveCommand(CRecentClosedList::kFirstCommand));
    list.Clear();
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(ItemText(menu, 1), "Nothing yet");
    DestroyMenu(menu);

    CRecentClosedList detached;
    EXPECT_FALSE(detached.UpdateMenu());
}

TEST_F(CRecentKeyFixture, StoredCountIsClampedAndEntriesReadNewestFirst)
{
    struct Case {
        DWORD stored;
        int maximum;
    };
    for (const Case& c : {Case{1, 2}, Case{2, 2}, Case{9, 9}, Case{40, 16}, Case{0xFFFFFFFF, 16}}) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(key.SetDWordValue("DocumentCount", c.stored));
        CRecentClosedList list;
        ASSERT_TRUE(list.ReadFromRegistry(key, false));
        EXPECT_EQ(list.GetMaxEntries(), c.maximum);
    }
    ASSERT_TRUE(key.SetDWordValue("DocumentCount", 16));
    key.SetStringValue("Document1", "Newest");
    key.SetStringValue("OpenName1", "http://newest.example/");
    key.SetStringValue("Document3", "Oldest");
    key.SetStringValue("OpenName3", "http://oldest.example/");
    // A URL no tab could open is not taken; an over-long title is cut.
    key.SetStringValue("Document2", std::string(5000, 't').c_str());
    key.SetStringValue("OpenName2", ("http://" + std::string(3000, 'u')).c_str());
    key.SetStringValue("Document4", std::string(5000, 't').c_str());
    key.SetStringValue("OpenName4", "http://long-title.example/");
    CRecentClosedList list;
    list.AddToList("Kept only when nothing is stored", "http://x.example/");
    ASSERT_TRUE(list.ReadFromRegistry(key, false));
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_STREQ(list.EntryForCommand(CRecentClosedList::kFirstCommand)->title.c_str(), "Newest");
    EXPECT_STREQ(list.EntryForCommand(CRecentClosedList::kFirstCommand + 1)->url.c_str(), "http://oldest.example/");
    EXPECT_EQ(list.EntryForCommand(CRecentClosedList::kFirstCommand + 2)->title.size(), CRecentClosedList::kMaxStoredTitle);

    key.DeleteValue("DocumentCount");
    CRecentClosedList untouched;
    untouched.AddToList("Stays", "http://stays.example/");
    EXPECT_FALSE(untouched.ReadFromRegistry(key, false));
    EXPECT_EQ(untouched.GetCount(), 1);
}

TEST_F(CRecentKeyFixture, WritingThreeAfterSixteenLeavesOnlyPositionsOneToThree)
{
    CRecentClosedList list;
    list.SetMaxEntries(16);
    for (int i = 0; i < 16; ++i)
        list.AddToList(("Title " + std::to_string(i)).c_str(), ("http://p" + std::to_string(i) + ".example/").c_str());
    ASSERT_TRUE(list.WriteToRegistry(key));
    EXPECT_TRUE(HasValue("Document16"));
    list.Clear();
    for (int i = 0; i < 3; ++i)
        list.AddToList(("Page " + std::to_string(i)).c_str(), ("http://q" + std::to_string(i) + ".example/").c_str());
    ASSERT_TRUE(list.WriteToRegistry(key));
    for (int i = 1; i <= 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HasValue("Document" + std::to_string(i)), i <= 3);
        EXPECT_EQ(HasValue("OpenName" + std::to_string(i)), i <= 3);
    }
    TStdStr<char> newest;
    ASSERT_TRUE(key.QueryStringValue("OpenName1", newest));
    EXPECT_STREQ(newest.c_str(), "http://q2.example/");
    DWORD count = 0;
    ASSERT_TRUE(key.QueryDWordValue("DocumentCount", count));
    EXPECT_EQ(count, 16u);

    CRecentClosedList reread;
    ASSERT_TRUE(reread.ReadFromRegistry(key, false));
    ASSERT_EQ(reread.GetCount(), 3);
    EXPECT_STREQ(reread.GetEntries().front().url.c_str(), "http://q0.example/");
}
