// The ad filter's rules and the popup allow list are written when the program lets go of them
// (the stores save as they go): a changed list reaches config\, an unchanged one writes nothing,
// and the next start reads what was written.
#include "browser/filter/AdFilter.h"
#include "browser/filter/PopupAllowList.h"
#include "browser/filter/tests/FilterTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using filter_test::CScopedProgramFolders;
using filter_test::ReadFileText;
using filter_test::WriteFileText;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(FilterListsAtExit, ChangedRulesAreWrittenWhenTheFilterGoesAndUnchangedOnesAreNot)
{
    CScopedProgramFolders folders;
    ASSERT_TRUE(WriteFileText(folders.Defaults(kAdFiltersFileName), "[Ad Filters]\r\nfilter0=*ads.\r\n"));
    {
        CAdFilter filter;
        ASSERT_EQ(filter.GetCount(CAdFilter::kFilterList), 1u);
    }
    EXPECT_FALSE(Exists(folders.Config(kAdFiltersFileName))) << "nothing changed: nothing written";
    {
        CAdFilter filter;
        ASSERT_TRUE(filter.AddRule(CAdFilter::kExceptionList, "*good.example*"));
        ASSERT_TRUE(filter.AddRule(CAdFilter::kFilterList, "*/banner/*"));
        filter.m_modified = true;
    }
    EXPECT_EQ(ReadFileText(folders.Config(kAdFiltersFileName)),
              "[Ad Filters]\r\nbypass0=*good.example*\r\nfilter0=*/banner/*\r\nfilter1=*ads.\r\n");
    CAdFilter next;
    TStdStr<char> rule;
    EXPECT_TRUE(next.Match("http://x.example/banner/1.gif", rule));
    EXPECT_EQ(rule, "*/banner/*");
    EXPECT_FALSE(next.Match("http://good.example/ads.gif", rule));
}

TEST(FilterListsAtExit, AnAllowedSiteIsWrittenWhenTheListGoesAndAnUnchangedListIsNot)
{
    CScopedProgramFolders folders;
    ASSERT_TRUE(WriteFileText(folders.Defaults(kPopupsFileName), "[Popups]\r\nbypass0=www.example.com\r\n"));
    {
        CPopupAllowList list;
        ASSERT_EQ(list.GetSites().size(), 1u);
    }
    EXPECT_FALSE(Exists(folders.Config(kPopupsFileName))) << "nothing changed: nothing written";
    {
        CPopupAllowList list;
        ASSERT_TRUE(list.AddSite("http://popups.example.org/games/"));
        list.m_modified = true;
    }
    EXPECT_EQ(ReadFileText(folders.Config(kPopupsFileName)),
              "[Popups]\r\nbypass0=popups.example.org/games/\r\nbypass1=www.example.com\r\n");
    CPopupAllowList next;
    EXPECT_TRUE(next.IsSiteAllowed("http://popups.example.org/games/chess.html"));
    EXPECT_FALSE(next.IsSiteAllowed("http://popups.example.org/other/"));
}

} // namespace
