// The four lists read from files a user or another program damaged: bytes that are no text, huge
// lines, a thousand sections, headers without their bracket. Nothing crashes, and what can be
// read is read; writing back keeps the rest of the file. Also the small helpers of the bars.
#include "navigation/GroupStore.h"
#include "navigation/NavigationHelpers.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/UrlAliasList.h"
#include "navigation/WebServiceList.h"
#include "navigation/tests/NavigationTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string HostileText(const std::string& section)
{
    std::string text;
    text += std::string("\xFF\xFE\x00\x01garbage\r\n", 13);
    text += "[" + section + "]\r\n";
    text += std::string("bin\0ary=http://nul.example/\r\n", 29);
    text += "good=http://good.example/\r\n";
    text += "huge=http://huge.example/" + std::string(1 << 20, 'h') + "\r\n";
    text += "[unclosed\r\nlost=http://x/\r\n";
    text += "noequals line\r\n";
    text += "=http://emptykey.example/\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "[S" + std::to_string(i) + "]\r\nk=http://s" + std::to_string(i) + ".example/\r\n";
    return text;
}

TEST(HostileFiles, EveryLoaderSurvivesAndKeepsWhatItCanRead)
{
    CScratchFolder folder("hostile");
    struct {
        const char* file;
        const char* section;
    } const files[] = {{"Alias.ini", "Alias"}, {"Groups.ini", "G"}, {"webbasedservices.ini", "W"}, {"searchengine.ini", "E"}};
    for (const auto& f : files) {
        const std::string path = nav_test::WriteText(folder, f.file, HostileText(f.section));
        CIniFile file;
        ASSERT_TRUE(file.Open(path.c_str())) << f.file;
        if (std::string(f.file) == "Alias.ini") {
            CUrlAliasList list("");
            list.Load(file);
            EXPECT_EQ("http://good.example/", list.Lookup("good"));
            EXPECT_EQ(1u << 20, list.Lookup("huge").size() - std::string("http://huge.example/").size());
        } else if (std::string(f.file) == "Groups.ini") {
            CGroupStore store("");
            store.Load(file);
            ASSERT_GE(store.GetCount(), 1001);
            EXPECT_EQ("G", store.Groups()[0].name);
            EXPECT_EQ("S999", store.Groups().back().name);
        } else if (std::string(f.file) == "webbasedservices.ini") {
            CWebServiceList services(file);
            EXPECT_GE(services.Categories().size(), 1001u);
            HMENU menu = CreatePopupMenu();
            services.AppendToMenu(menu, 2);
            EXPECT_LE(GetMenuItemCount(menu), kMaxWebServiceLines + static_cast<int>(services.Categories().size()));
            DestroyMenu(menu);
        } else {
            nav_test::CMemorySettingsStore store;
            CSearchEngineManager manager(&file, store);
            EXPECT_GE(manager.Categories().size(), 1001u);
            // A template that would give an address over the limit gives none.
            const auto& engines = manager.Categories()[0].engines;
            const auto huge = std::find_if(engines.begin(), engines.end(), [](const CSearchEngine& e) { return e.name == "huge"; });
            ASSERT_NE(engines.end(), huge);
            EXPECT_EQ("", manager.BuildSearchUrl(0, "x", static_cast<int>(huge - engines.begin())));
            const auto good = std::find_if(engines.begin(), engines.end(), [](const CSearchEngine& e) { return e.name == "good"; });
            ASSERT_NE(engines.end(), good);
            EXPECT_EQ("http://good.example/", manager.BuildSearchUrl(0, "x", static_cast<int>(good - engines.begin())));
        }
    }
}

TEST(HostileFiles, RewritingAnAliasFileKeepsItsOtherLines)
{
    CScratchFolder folder("hostile-rewrite");
    const std::string text = HostileText("Alias");
    const std::string path = nav_test::WriteText(folder, "Alias.ini", text);
    CUrlAliasList list(path);
    {
        CIniFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        list.Load(file);
    }
    ASSERT_TRUE(list.Add({"new", "http://new.example/"}));
    ASSERT_TRUE(list.Save());
    const std::string written = nav_test::ReadText(path);
    EXPECT_EQ(0u, written.find(std::string("\xFF\xFE\x00\x01garbage\r\n", 13)));
    EXPECT_NE(std::string::npos, written.find("[S999]\r\nk=http://s999.example/\r\n"));
    EXPECT_NE(std::string::npos, written.find("new=http://new.example/"));
    EXPECT_NE(std::string::npos, written.find("huge=http://huge.example/hhh"));
}

TEST(NavigationHelpers, ComboTextsWindowTextsAndSiteGroupRecords)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    std::string text;
    EXPECT_EQ(5, GetComboItemText(combo, 0, text));
    EXPECT_EQ("first", text);
    EXPECT_EQ(CB_ERR, GetComboItemText(combo, 3, text));
    EXPECT_EQ("", text);
    DestroyWindow(combo);

    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_LIMITTEXT, 1000, 0);
    SetWindowTextA(edit, std::string(600, 'w').c_str());
    EXPECT_EQ(std::string(511, 'w'), GetWindowText512(edit));
    DestroyWindow(edit);

    char buffer[8] = "abcdefg";
    ZeroBuffer(buffer, sizeof(buffer));
    EXPECT_EQ(std::string(8, '\0'), std::string(buffer, 8));

    CSiteGroupRecord record;
    record.Add({"A", "http://a/"}, true);
    record.Add({"B", "http://b/"}, false);
    EXPECT_EQ(2, record.GetCount());
    EXPECT_TRUE(record.IsChecked(0));
    EXPECT_FALSE(record.IsChecked(5));
    EXPECT_EQ(nullptr, record.GetEntry(2));
    ASSERT_TRUE(record.Remove(0));
    EXPECT_EQ(1, record.GetCount());
    EXPECT_FALSE(record.IsChecked(0));
    EXPECT_EQ("B", record.GetEntry(0)->title);
}

}  // namespace
