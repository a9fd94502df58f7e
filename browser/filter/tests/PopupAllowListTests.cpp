// The popup allow list: site keys, matching, the file.
#include "browser/filter/PopupAllowList.h"
#include "browser/filter/tests/FilterTestSupport.h"

#include <gtest/gtest.h>

namespace {

using filter_test::CScopedProgramFolders;
using filter_test::ReadFileText;
using filter_test::WriteFileText;

TEST(PopupAllowList, SiteKeysOfUrls)
{
    const struct {
        const char* url;
        const char* key;
    } cases[] = {
        {"http://WWW.Example.com/", "www.example.com"},
        {"https://www.example.com:443/x", "www.example.com/x"},
        {"http://intranet:8080/", "intranet:8080"},
        {"http://example.org/Members/list.html?a=1#f", "example.org/members/list.html"},
        {"http://example.org/a%20b/", "example.org/a b/"},
        {"www.example.com/page", "www.example.com/page"},  // no scheme: read as http
        {"not a url at all", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeSiteKey(c.url), c.key) << c.url;
}

TEST(PopupAllowList, MatchingSites)
{
    CPopupAllowList list(false);
    ASSERT_TRUE(list.AddSite("https://www.example.com/"));
    ASSERT_TRUE(list.AddSite("http://example.org/members/"));
    ASSERT_TRUE(list.AddSite("http://intranet:8080/"));
    EXPECT_FALSE(list.AddSite("HTTP://www.example.com"));  // added once
    EXPECT_EQ(list.GetSites().size(), 3u);
    const struct {
        const char* url;
        bool allowed;
    } cases[] = {
        {"http://www.example.com/any/page.html?q=1", true},  // https key allows http too, query ignored
        {"https://www.example.com/", true},
        {"www.example.com/page", true},                      // no scheme
        {"http://sub.www.example.com/", false},              // no subdomains
        {"http://example.org/members/area/1.html", true},    // below the key's path
        {"http://example.org/other/", false},
        {"http://example.org/", false},
        {"http://intranet:8080/x", true},                    // a key with a port takes effect
        {"http://intranet/x", false},
        {"https://evil.example/?next=http://www.example.com/", false},  // no borrowing through a query
        {"javascript:http://www.example.com/", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.IsSiteAllowed(c.url), c.allowed) << c.url;
}

TEST(PopupAllowList, FileIsReadWholeLowerCasedAndWrittenToConfig)
{
    CScopedProgramFolders folders;
    ASSERT_TRUE(WriteFileText(folders.Defaults(kPopupsFileName),
                              "[Popups]\r\nbypass0=www.example.com\r\nbypass1=\r\nbypass2=Example.ORG/members\r\n"));
    CPopupAllowList list;
    EXPECT_EQ(list.GetSites(), (std::vector<std::string>{"www.example.com", "example.org/members"}));
    EXPECT_TRUE(list.IsSiteAllowed("http://example.org/members/x"));
    ASSERT_TRUE(list.AddSite("http://a.example.net/"));
    list.m_modified = true;
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ReadFileText(folders.Config(kPopupsFileName)),
              "[Popups]\r\nbypass0=a.example.net\r\nbypass1=example.org/members\r\nbypass2=www.example.com\r\n");
}

TEST(PopupAllowList, HostileFile)
{
    CScopedProgramFolders folders;
    std::string text = "[Popups]\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "bypass" + std::to_string(i) + "=site" + std::to_string(i) + ".example\r\n";
    text += "bypass100000=" + std::string(100 * 1024, 'h') + std::string(1, '\0') + "\x81\x82\r\n";
    ASSERT_TRUE(WriteFileText(folders.Config(kPopupsFileName), text));
    CPopupAllowList list;
    EXPECT_EQ(list.GetSites().size(), 100001u);
    EXPECT_TRUE(list.IsSiteAllowed("http://site99999.example/page"));
    EXPECT_FALSE(list.IsSiteAllowed(("http://" + std::string(100 * 1024, 'h') + "/").c_str()));
}

}  // namespace
