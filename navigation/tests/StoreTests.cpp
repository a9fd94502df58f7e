// The lists behind the bars: aliases, groups, web-based services and the search catalogue, read
// from damaged or hostile INI files and written back without losing the rest of the file; and the
// typed-address and search histories in the registry.
#include "navigation/GroupStore.h"
#include "navigation/RegistryHistory.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/UrlAliasList.h"
#include "navigation/WebServiceList.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "core/library/RegistryKey.h"

#include <gtest/gtest.h>

using nav_test::ReadText;
using nav_test::WriteText;

namespace {

TEST(UrlAliases, LoadMergesCaseDuplicatesAndLooksUpWithoutCase)
{
    CScratchFolder folder("aliases-load");
    const std::string path = WriteText(folder, "Alias.ini",
                                       "[Other]\r\nkeep=me\r\n[Alias]\r\nmail=http://mail.example/\r\n"
                                       "Mail=http://other.example/\r\nb = http://b.example/\r\nempty=\r\n"
                                       "news=http://news.example/?q=a\\nb\r\n" +
                                           std::string("long=http://x.example/") + std::string(5000, 'y') + "\r\n");
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CUrlAliasList list("");
    list.Load(file);
    // Byte order of the keys: "Mail" < "b" < "long" < "mail" < "news"; "mail" merges into "Mail".
    ASSERT_EQ(4, list.GetCount());
    EXPECT_EQ("Mail", list.Records()[0].alias);
    EXPECT_EQ("http://other.example/", list.Lookup("MAIL"));
    EXPECT_EQ("http://b.example/", list.Lookup("B"));
    EXPECT_EQ(" b", list.Lookup(" b"));  // blanks around are no match
    EXPECT_EQ(5017u, list.Lookup("long").size());
    EXPECT_EQ("http://news.example/?q=a\nb", list.Lookup("news"));
    EXPECT_FALSE(list.IsModified());
}

TEST(UrlAliases, SaveKeepsOtherSectionsAndRoundTripsEveryRecord)
{
    CScratchFolder folder("aliases-save");
    const std::string path = WriteText(folder, "Alias.ini", "; comment\r\n[Other]\r\nkeep=me\r\n[alias]\r\nold=http://old/\r\n");
    CUrlAliasList list(path);
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(list.Add({"a" + std::to_string(i), "http://site" + std::to_string(i) + ".example/"}));
    EXPECT_FALSE(list.Add({"A7", "http://dup/"}));          // equal but for case
    EXPECT_FALSE(list.Add({"x=y", "http://bad/"}));         // cannot be a key
    EXPECT_FALSE(list.Add({" pad", "http://bad/"}));
    EXPECT_FALSE(list.Add({"nourl", ""}));
    ASSERT_TRUE(list.Add({"multi", "http://m/\nsecond"}));
    ASSERT_TRUE(list.Save());

    const std::string text = ReadText(path);
    EXPECT_EQ(0u, text.find("; comment\r\n[Other]\r\nkeep=me\r\n"));
    EXPECT_EQ(std::string::npos, text.find("old="));
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CUrlAliasList reloaded("");
    reloaded.Load(file);
    EXPECT_EQ(1001, reloaded.GetCount());
    EXPECT_EQ("http://site999.example/", reloaded.Lookup("a999"));
    EXPECT_EQ("http://m/\nsecond", reloaded.Lookup("multi"));
    EXPECT_EQ("me", std::string(file.GetString("Other", "keep").c_str()));
}

TEST(UrlAliases, AnEmptiedListLeavesNoSectionAndAnUnchangedOneWritesNothing)
{
    CScratchFolder folder("aliases-empty");
    const std::string path = WriteText(folder, "Alias.ini", "[Alias]\r\nmail=http://mail/\r\n[Z]\r\nz=1\r\n");
    {
        CUrlAliasList list(path);
        CIniFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        list.Load(file);
        file.Close();
        ASSERT_TRUE(list.Remove(0));
    }  // saved at destruction because it changed
    EXPECT_EQ("[Z]\r\nz=1\r\n", ReadText(path));

    const std::string untouched = WriteText(folder, "Untouched.ini", "[Alias]\r\n  x = http://x/  \r\n");
    {
        CUrlAliasList list(untouched);
        CIniFile file;
        ASSERT_TRUE(file.Open(untouched.c_str()));
        list.Load(file);
    }
    EXPECT_EQ("[Alias]\r\n  x = http://x/  \r\n", ReadText(untouched));
}

TEST(Groups, OrderIsKeptForMoreThanTenAddressesAndEmptyStoresAreSaved)
{
    CScratchFolder folder("groups");
    const std::string path = std::string((folder / "Groups.ini").c_str());
    {
        CGroupStore store(path);
        std::vector<std::string> urls;
        for (int i = 1; i <= 12; ++i)
            urls.push_back("http://site" + std::to_string(i) + ".example/");
        ASSERT_TRUE(store.AddGroup("News", urls));
        ASSERT_TRUE(store.AddGroup("Empty"));
        ASSERT_TRUE(store.AddGroup("Work", {"http://w/"}));
        EXPECT_FALSE(store.AddGroup("news"));     // the same section to the reader
        EXPECT_FALSE(store.AddGroup("a[b]"));
        EXPECT_FALSE(store.AddGroup("a=b"));
        EXPECT_FALSE(store.AddGroup(" pad"));
        EXPECT_FALSE(store.AddGroup(""));
        store.AddUrlToGroup(5, "http://nowhere/");  // outside the list: ignored
        store.AddUrlToGroup(2, "http://w/");         // the same address may stand twice
        ASSERT_TRUE(store.MoveGroup(2, 0));
    }
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CGroupStore reloaded("");
    reloaded.Load(file);
    file.Close();
    ASSERT_EQ(3, reloaded.GetCount());
    EXPECT_EQ("Work", reloaded.Groups()[0].name);
    EXPECT_EQ((std::vector<std::string>{"http://w/", "http://w/"}), reloaded.Groups()[0].urls);
    EXPECT_EQ("News", reloaded.Groups()[1].name);
    ASSERT_EQ(12u, reloaded.Groups()[1].urls.size());
    EXPECT_EQ("http://site2.example/", reloaded.Groups()[1].urls[1]);
    EXPECT_EQ("http://site12.example/", reloaded.Groups()[1].urls[11]);
    EXPECT_EQ("Empty", reloaded.Groups()[2].name);
    EXPECT_EQ(1, reloaded.FindGroup("News"));
    EXPECT_EQ(-1, reloaded.FindGroup("news"));
    EXPECT_EQ(-1, reloaded.FindGroup(""));

    {
        CGroupStore store(path);
        CIniFile again;
        ASSERT_TRUE(again.Open(path.c_str()));
        store.Load(again);
        again.Close();
        while (store.GetCount())
            store.DeleteGroup(0);
    }
    EXPECT_EQ("", ReadText(path));
}

TEST(Groups, MenusAreCappedSoOpenAndAddIdsNeverMeet)
{
    CGroupStore store("");
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(store.AddGroup("g" + std::to_string(i)));
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Organize");
    AppendMenuA(menu, MF_STRING, kOpenGroupFirstCommand, "stale 0");
    AppendMenuA(menu, MF_STRING, kOpenGroupFirstCommand + 1, "stale 1");
    BuildGroupsMenu(menu, store);
    ASSERT_EQ(1 + kMaxMenuGroups, GetMenuItemCount(menu));
    EXPECT_EQ(1u, GetMenuItemID(menu, 0));
    EXPECT_EQ(kOpenGroupFirstCommand, GetMenuItemID(menu, 1));
    EXPECT_EQ(kOpenGroupFirstCommand + kMaxMenuGroups - 1, GetMenuItemID(menu, kMaxMenuGroups));
    BuildAddToGroupMenu(menu, store);
    ASSERT_EQ(kMaxMenuGroups, GetMenuItemCount(menu));
    EXPECT_EQ(kAddToGroupFirstCommand, GetMenuItemID(menu, 0));
    DestroyMenu(menu);
}

TEST(WebServices, CategoriesTemplatesAndMenuNumbering)
{
    CScratchFolder folder("services");
    const std::string path = WriteText(folder, "webbasedservices.ini",
                                       "[Check]\r\nURL =  http://check.example/?u=%us&k=%code  \r\nValidate=html\r\n-=\r\n-=\r\nLinks=links\r\n"
                                       "[Raw]\r\nArchive=http://archive.example/%s\r\nFixed=http://fixed.example/\r\n");
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CWebServiceList services(file);
    ASSERT_EQ(2u, services.Categories().size());
    EXPECT_EQ("http://check.example/?u=%us&k=%code", services.Categories()[0].urlTemplate);

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Go");
    services.AppendToMenu(menu, 2);
    // Go, separator, Validate (2), two separators (3, 4), Links (5), separator, Archive (6), Fixed (7).
    ASSERT_EQ(9, GetMenuItemCount(menu));
    EXPECT_EQ(2u, GetMenuItemID(menu, 2));
    EXPECT_EQ(5u, GetMenuItemID(menu, 5));
    EXPECT_EQ(7u, GetMenuItemID(menu, 8));
    char label[64] = {};
    GetMenuStringA(menu, 2, label, sizeof(label), MF_BYCOMMAND);
    EXPECT_STREQ("Check : Validate", label);
    DestroyMenu(menu);

    EXPECT_EQ("http://check.example/?u=http://a.example/%3fx%3d1&k=html", services.BuildUrl("http://a.example/?x=1", 2));
    EXPECT_EQ("http://archive.example/a%20b", services.BuildUrl("a b", 6));
    EXPECT_EQ("http://fixed.example/", services.BuildUrl("anything", 7));
    EXPECT_EQ("", services.BuildUrl("a", 3));   // a separator's number
    EXPECT_EQ("", services.BuildUrl("a", 99));  // never given out
}

TEST(WebServices, AnEmptyFileGivesTheGoItemAlone)
{
    CScratchFolder folder("services-empty");
    CIniFile file;
    ASSERT_TRUE(file.Open(WriteText(folder, "webbasedservices.ini", "").c_str()));
    CWebServiceList services(file);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Go");
    services.AppendToMenu(menu, 2);
    EXPECT_EQ(1, GetMenuItemCount(menu));
    DestroyMenu(menu);
}

TEST(SearchCatalogue, SectionsEnginesAndStoredSettings)
{
    CScratchFolder folder("engines");
    const std::string path = WriteText(folder, "searchengine.ini",
                                       "[Web]\r\nICON=web.ico\r\nHotIcon=webhot.ico\r\nAlpha=http://alpha.example/?q=%us\r\n-=\r\n"
                                       "Beta=http://beta.example/?q=%s\r\n[Images]\r\nPics=http://pics.example/%us\r\n[web]\r\nDup=x\r\n");
    nav_test::CMemorySettingsStore store;
    store.WriteBinary("Settings", kDefaultSearchEngineKey, EncodeIntList({2, 5, -1}));
    store.WriteBinary("Settings", kDisabledCategoriesKey, EncodeIntList({1, 7}));
    CIniFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    CSearchEngineManager manager(&file, store);
    auto& categories = manager.Categories();
    ASSERT_EQ(2u, categories.size());
    EXPECT_EQ("Web", categories[0].name);
    ASSERT_EQ(3u, categories[0].engines.size());  // icon keys are no engines
    EXPECT_EQ(2, categories[0].defaultEngine);
    EXPECT_EQ(0, categories[1].defaultEngine);  // 5 is outside its list
    EXPECT_TRUE(categories[0].enabled);
    EXPECT_FALSE(categories[1].enabled);

    EXPECT_EQ("http://beta.example/?q=a%20b", manager.BuildSearchUrl(0, "a b", -1));
    EXPECT_EQ("http://alpha.example/?q=a%20b", manager.BuildSearchUrl(0, "a b", 0));
    EXPECT_EQ("", manager.BuildSearchUrl(0, "a b", 1));  // the separator
    EXPECT_EQ("", manager.BuildSearchUrl(2, "a b", -1));
    categories[0].defaultEngine = 40;  // made valid before use
    EXPECT_EQ("http://alpha.example/?q=x", manager.BuildSearchUrl(0, "x", -1));
    EXPECT_EQ(0, categories[0].defaultEngine);

    HMENU menu = CreatePopupMenu();
    manager.BuildEngineMenu(menu, 0);
    ASSERT_EQ(3, GetMenuItemCount(menu));
    EXPECT_EQ(kEngineMenuFirstCommand, GetMenuItemID(menu, 0));
    EXPECT_EQ(0u, GetMenuItemID(menu, 1));
    EXPECT_EQ(kEngineMenuFirstCommand, GetMenuDefaultItem(menu, FALSE, 0));
    DestroyMenu(menu);

    categories[1].enabled = true;
    categories[0].enabled = false;
    manager.SaveSettings(store);
    EXPECT_EQ(EncodeIntList({0}), store.m_values["Settings\\" + std::string(kDisabledCategoriesKey)]);
    EXPECT_EQ(EncodeIntList({0, 0}), store.m_values["Settings\\" + std::string(kDefaultSearchEngineKey)]);
}

TEST(SearchCatalogue, DamagedSettingsAndMissingFilesGiveDefaults)
{
    const std::vector<std::vector<BYTE>> damaged = {
        {},
        {1, 0, 0},
        {2, 0, 0, 0, 1, 0, 0, 0},                 // a count beyond its values
        {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0},     // a huge count
    };
    for (const auto& blob : damaged) {
        std::vector<int> values = {9};
        EXPECT_FALSE(DecodeIntList(blob, values));
        EXPECT_TRUE(values.empty());
    }
    std::vector<int> values;
    EXPECT_TRUE(DecodeIntList(EncodeIntList({3, -1}), values));
    EXPECT_EQ((std::vector<int>{3, -1}), values);

    nav_test::CMemorySettingsStore store;
    store.WriteBinary("Settings", kDefaultSearchEngineKey, std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0x7F});
    CSearchEngineManager builtIn(nullptr, store);
    ASSERT_EQ(1u, builtIn.Categories().size());
    EXPECT_EQ("Search the Web", builtIn.Categories()[0].name);
    EXPECT_EQ("https://www.google.com/search?q=kivo%20browser", builtIn.BuildSearchUrl(0, "kivo browser", -1));
}

TEST(SearchCatalogue, ShippedDefaultsHoldRealEnginesAliasesAndServices)
{
    const std::string folder = KIVO_NAVIGATION_DEFAULTS;
    CIniFile engines;
    ASSERT_TRUE(engines.Open((folder + "/searchengine.ini").c_str()));
    nav_test::CMemorySettingsStore store;
    CSearchEngineManager manager(&engines, store);
    ASSERT_GE(manager.Categories().size(), 2u);
    ASSERT_GE(manager.Categories()[0].engines.size(), 3u);
    for (size_t c = 0; c < manager.Categories().size(); ++c) {
        const auto& engineList = manager.Categories()[c].engines;
        for (size_t i = 0; i < engineList.size(); ++i) {
            if (engineList[i].IsSeparator())
                continue;
            const std::string url = manager.BuildSearchUrl(static_cast<int>(c), "a b", static_cast<int>(i));
            EXPECT_EQ(0u, url.find("https://")) << engineList[i].name;
            EXPECT_NE(std::string::npos, url.find("a%20b")) << engineList[i].name;
        }
    }
    CIniFile aliases;
    ASSERT_TRUE(aliases.Open((folder + "/Alias.ini").c_str()));
    CUrlAliasList list("");
    list.Load(aliases);
    EXPECT_GE(list.GetCount(), 3);
    CIniFile services;
    ASSERT_TRUE(services.Open((folder + "/webbasedservices.ini").c_str()));
    CWebServiceList serviceList(services);
    serviceList.AppendToMenu(nullptr, 2);
    EXPECT_EQ(0u, serviceList.BuildUrl("http://example.com/", 2).find("https://"));
}

class RegistryHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    static constexpr const char* kKey = "Software\\KivoNavigationTests\\History";
};

TEST_F(RegistryHistoryTest, TypedAddressesAreNumberedNewestFirstAndBounded)
{
    CRegistryHistory history(HKEY_CURRENT_USER, kKey, "url", kTypedUrlCapacity);
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    key.SetStringValue("url1", "http://first/");
    key.SetStringValue("url3", "http://third/");  // a gap
    key.SetStringValue("url4", std::string(5000, 'x').c_str());  // too long
    const BYTE bytes[] = {1, 2, 3, 0};
    RegSetValueExA(key, "url5", 0, REG_BINARY, bytes, sizeof(bytes));  // not text
    key.SetStringValue("url26", "http://beyond/");
    key.SetStringValue("Other", "kept");
    EXPECT_EQ((std::vector<std::string>{"http://first/", "http://third/"}), history.Load());

    std::vector<std::string> entries;
    for (int i = 30; i >= 1; --i)
        entries.push_back("http://site" + std::to_string(i) + "/");
    ASSERT_TRUE(history.Save(entries));
    const std::vector<std::string> loaded = history.Load();
    ASSERT_EQ(25u, loaded.size());
    EXPECT_EQ("http://site30/", loaded.front());
    EXPECT_EQ("http://site6/", loaded.back());
    TStdStr<char> value;
    ASSERT_TRUE(key.QueryStringValue("url1", value));
    EXPECT_STREQ("http://site30/", value.c_str());
    ASSERT_TRUE(key.QueryStringValue("Other", value));
    EXPECT_STREQ("kept", value.c_str());

    ASSERT_TRUE(history.Save({"http://only/"}));
    EXPECT_FALSE(key.QueryStringValue("url2", value));
    EXPECT_EQ(1u, history.Load().size());
    EXPECT_EQ("Software\\Microsoft\\Internet Explorer\\TypedURLs", GetIeRegistryKeyPath(kTypedUrlsKeyIndex));
    EXPECT_EQ("", GetIeRegistryKeyPath(6));
}

TEST_F(RegistryHistoryTest, SearchHistoryKeepsItsOrderAndReadsTheOldValueNames)
{
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
    key.SetStringValue("zeta query", "");
    key.SetStringValue("alpha query", "");
    CRegistryHistory history(HKEY_CURRENT_USER, kKey, "", kSearchHistoryCapacity);
    EXPECT_EQ(2u, history.Load().size());

    // Names that Wine would enumerate in another order come back in the order written.
    const std::vector<std::string> entries = {"zeta", "alpha", "Mid", "beta"};
    ASSERT_TRUE(history.Save(entries));
    EXPECT_EQ(entries, history.Load());
    TStdStr<char> value;
    EXPECT_FALSE(key.QueryStringValue("zeta query", value));
}

}  // namespace
