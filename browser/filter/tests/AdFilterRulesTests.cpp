// The ad filter's rules: the wildcard match as a table, the index against the plain scan, the
// exception order, the file's reading and writing, the rules typed into the dialog, hostile files.
#include "browser/filter/AdFilter.h"
#include "browser/filter/FilterIni.h"
#include "browser/filter/tests/FilterTestSupport.h"
#include "core/library/FileFunctions.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using filter_test::CScopedProgramFolders;
using filter_test::ReadFileText;
using filter_test::WriteFileText;

struct MatchCase {
    const char* pattern;
    const char* url;
    bool matches;
};

// The match as the design states it: ASCII letters and "\" / "/" fold, "?" is one byte, "*" any run,
// the start is anchored unless the pattern starts with "*", the end never is.
const MatchCase kMatchCases[] = {
    {"ads.example.com", "http://ads.example.com/x", false},  // a host without "*" is anchored at the start
    {"*ads.example.com", "http://ads.example.com/x", true},
    {"http://x/ba", "http://x/banner.gif", true},             // the end is not anchored
    {"", "http://anything/", true},                          // the empty pattern matches all
    {"HTTP://ADS.", "http://ads.example.com/", true},         // ASCII letters fold
    {"*/banner/*", "http://a.com\\banner\\1.gif", true},      // a backslash matches a slash
    {"*\\banner\\", "http://a.com/banner/1.gif", true},
    {"*\xC9t\xE9", "http://a/\xE9t\xE9", false},               // letters outside ASCII compare exactly
    {"*\xE9t\xE9", "http://a/\xE9t\xE9", true},
    {"*a?", "http://a", false},                               // "?" needs one more byte
    {"*a*", "http://a", true},                                // a trailing "*" matches the empty run
    {"http://a.com/?d", "http://a.com/ad", true},
    {"*ads.php?id=", "http://x/ads.phpXid=3", true},          // "?" is never a literal question mark
    {"*doubleclick.", "http://ad.doubleclick.net/", true},
    {"*/ad*s/*.gif", "http://x/adverts/big.gif", true},
    {"*/ad*s/*.gif", "http://x/adverts/big.png", false},
    {"*a*a*a*a*a*b", std::string(2000, 'a').c_str(), false},  // pathological backtracking still ends
    {" *ad*", "http://ad/", false},                           // a blank kept from the file is a character
};

TEST(AdFilterMatch, TableOfCases)
{
    for (const MatchCase& c : kMatchCases) {
        CAdFilterRuleList list("filter");
        list.Assign({c.pattern});
        EXPECT_EQ(list.FindFirstMatch(c.url) == 0, c.matches) << c.pattern << " / " << c.url;
        EXPECT_EQ(WildcardMatch(c.pattern, c.url), c.matches) << c.pattern << " / " << c.url;
    }
}

// The index gives exactly the plain first-match scan's rule for lists shaped like real ones.
TEST(AdFilterMatch, IndexAnswersAsThePlainScan)
{
    std::mt19937 random(20);
    const char* pieces[] = {"ads", "ad", "banner", "track", "x", "doubleclick", "img", "com", "/", ".", "?", "*", "\\", "A"};
    auto piece = [&] { return std::string(pieces[random() % std::size(pieces)]); };
    std::vector<std::string> patterns;
    for (int i = 0; i < 600; ++i) {
        std::string pattern;
        switch (random() % 4) {
        case 0: pattern = "*" + piece() + piece() + "*"; break;
        case 1: pattern = "http://" + piece() + "." + piece(); break;
        case 2: pattern = "*/" + piece() + "/*" + piece(); break;
        default: pattern = piece() + piece() + piece(); break;
        }
        patterns.push_back(pattern);
    }
    CRuleIndex index;
    index.Build(patterns);
    int differences = 0;
    int matched = 0;
    for (int i = 0; i < 5000; ++i) {
        std::string url = (random() % 2 ? "http://" : "HTTPS://") + piece() + piece() + "." + piece();
        for (int k = random() % 5; k > 0; --k)
            url += "/" + piece() + piece();
        int scan = -1;
        for (size_t p = 0; p < patterns.size() && scan < 0; ++p) {
            if (WildcardMatch(patterns[p].c_str(), url.c_str()))
                scan = static_cast<int>(p);
        }
        matched += scan >= 0;
        differences += index.FindFirst(url.c_str(), url.size()) != scan;
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(matched, 500);  // the case list really exercises matches
}

TEST(AdFilterMatch, ExceptionsComeFirstAndTheFirstRuleInListOrderIsReported)
{
    CAdFilter filter(false);
    filter.AddRule(CAdFilter::kFilterList, "*ads.");
    filter.AddRule(CAdFilter::kFilterList, "*.gif");
    filter.AddRule(CAdFilter::kExceptionList, "*example.com/allowed/*");
    TStdStr<char> rule;
    EXPECT_TRUE(filter.Match("http://ads.x.com/a.gif", rule));
    EXPECT_EQ(rule, "*.gif");  // sorted list: "*.gif" < "*ads."
    EXPECT_FALSE(filter.Match("http://ads.example.com/allowed/a.gif", rule));
    EXPECT_EQ(rule, "*example.com/allowed/*");
    EXPECT_TRUE(filter.MatchException("http://ads.example.com/allowed/a.gif", rule));
    EXPECT_FALSE(filter.Match("http://news.example.com/page.html", rule));
}

TEST(AdFilterFile, LoadsEveryNumberedRuleAndSavesToConfig)
{
    CScopedProgramFolders folders;
    // In defaults\ only; a gap after filter1, a duplicate number, blanks, a NUL byte and non-ASCII.
    const std::string text = std::string("[Other]\r\nfilter0=not mine\r\n[ ad filters ]\r\n") +
                             "filter0=*ads.\r\nfilter1= *blank*\r\nfilter2=\r\nfilter3=*/Banner/*\r\n" +
                             "bypass0=*good.com*\n" + std::string("filter7=*nul") + '\0' + "after\r\n" +
                             "filter1=*second one*\r\nfilter8=*\xE9t\xE9*\r\n[Ad Filters]\r\nfilter9=*ignored*\r\n";
    ASSERT_TRUE(WriteFileText(folders.Defaults(kAdFiltersFileName), text));
    CAdFilter filter;
    EXPECT_EQ(filter.GetPatterns(CAdFilter::kFilterList),
              (std::vector<std::string>{"*ads.", " *blank*", "*second one*", "*/Banner/*", "*nul", "*\xE9t\xE9*"}));
    EXPECT_EQ(filter.GetPatterns(CAdFilter::kExceptionList), std::vector<std::string>{"*good.com*"});

    // Not modified: nothing is written.
    EXPECT_TRUE(filter.Save());
    EXPECT_EQ(GetFileAttributesA(folders.Config(kAdFiltersFileName).c_str()), INVALID_FILE_ATTRIBUTES);

    // A rule added through the program is lower-cased and the list sorted; the file goes to config\.
    EXPECT_TRUE(filter.AddRule(CAdFilter::kFilterList, "*TRACK.Example*"));
    EXPECT_FALSE(filter.AddRule(CAdFilter::kFilterList, "*track.example*"));
    EXPECT_TRUE(filter.AddRule(CAdFilter::kFilterList, "*/BANNER/*"));  // the file's capitals are not equal
    filter.m_modified = true;
    EXPECT_TRUE(filter.Save());
    const std::string saved = ReadFileText(folders.Config(kAdFiltersFileName));
    EXPECT_EQ(saved,
              "[Ad Filters]\r\nbypass0=*good.com*\r\nfilter0= *blank*\r\nfilter1=*/Banner/*\r\n"
              "filter2=*/banner/*\r\nfilter3=*ads.\r\nfilter4=*nul\r\n"
              "filter5=*second one*\r\nfilter6=*track.example*\r\nfilter7=*\xE9t\xE9*\r\n");

    // config\ now wins over defaults\, and the saved rules come back as they were.
    CAdFilter again;
    EXPECT_EQ(again.GetPatterns(CAdFilter::kFilterList), filter.GetPatterns(CAdFilter::kFilterList));
}

TEST(AdFilterFile, RewriteKeepsTheOtherSections)
{
    CScopedProgramFolders folders;
    const std::string path = folders.Config(kAdFiltersFileName);
    ASSERT_TRUE(WriteFileText(path, "; comment\r\n[First]\r\na=1\r\n[Ad Filters]\r\nfilter0=*x*\r\n[Last]\r\nb=2\r\n"));
    CAdFilter filter;
    filter.ClearList(CAdFilter::kFilterList);
    filter.AddRule(CAdFilter::kExceptionList, "*ok*");
    filter.m_modified = true;
    ASSERT_TRUE(filter.Save());
    EXPECT_EQ(ReadFileText(path), "; comment\r\n[First]\r\na=1\r\n[Ad Filters]\r\nbypass0=*ok*\r\n[Last]\r\nb=2\r\n");
}

TEST(AdFilterFile, MissingFileMeansNoRules)
{
    CScopedProgramFolders folders;
    CAdFilter filter;
    EXPECT_FALSE(filter.Load());
    TStdStr<char> rule;
    EXPECT_FALSE(filter.Match("http://ads.example.com/", rule));
}

TEST(AdFilterRuleDialog, TypedRulesAreCompleted)
{
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"ads.example.com", "*ads.example.com"},
        {"HTTP://Ads.Example.com/", "http://ads.example.com/"},
        {"?x", "?x"},
        {"*Banner*", "*banner*"},
        {"ftp://files.example.com/ad", "ftp://files.example.com/ad"},
        {"http://", "*http://"},  // a URL without a host is not a web URL
    };
    for (const auto& c : cases) {
        CAdFilterRuleList list("filter");
        ASSERT_TRUE(list.Add(CompleteTypedRule(c.typed).c_str())) << c.typed;
        EXPECT_EQ(list.GetPatterns().front(), c.stored) << c.typed;
    }
}

// Hostile files: 100,000 rules, values of 100 KB, URLs of 100 KB; loading and matching finish.
TEST(AdFilterFile, HugeFilesAndUrls)
{
    CScopedProgramFolders folders;
    std::string text = "[Ad Filters]\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "filter" + std::to_string(i) + "=*/ad" + std::to_string(i) + "/banner*\r\n";
    text += "filter100000=*" + std::string(100 * 1024, 'q') + "\r\n";
    text += "bypass0=*" + std::string(100 * 1024, '\x80') + "\r\n";
    ASSERT_TRUE(WriteFileText(folders.Config(kAdFiltersFileName), text));
    CAdFilter filter;
    ASSERT_EQ(filter.GetCount(CAdFilter::kFilterList), 100001u);
    TStdStr<char> rule;
    EXPECT_TRUE(filter.Match("http://x.com/ad99999/banner.gif", rule));
    EXPECT_EQ(rule, "*/ad99999/banner*");
    const std::string longUrl = "http://x.com/" + std::string(100 * 1024, 'q') + "/ad5/banner";
    EXPECT_TRUE(filter.Match(longUrl.c_str(), rule));
    EXPECT_EQ(rule, "*/ad5/banner*");  // the 100 KB rule is kept in the file but never matches
    std::string repeating = "http://x.com";
    for (int i = 0; i < 25000; ++i)
        repeating += "/ad1";
    EXPECT_FALSE(filter.Match(repeating.c_str(), rule));
    // The kept rules survive a save.
    filter.m_modified = true;
    ASSERT_TRUE(filter.Save());
    CAdFilter again;
    EXPECT_EQ(again.GetCount(CAdFilter::kFilterList), 100001u);
    EXPECT_EQ(again.GetCount(CAdFilter::kExceptionList), 1u);
}

}  // namespace
