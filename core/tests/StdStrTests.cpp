#include "core/library/StdStr.h"

#include <gtest/gtest.h>

TEST(StdStr, FormatCutsAtTheLastCapacity)
{
    const std::string longText(50000, 'x');
    TStdStr<char> s;
    s.Format("%s", longText.c_str());
    EXPECT_EQ(s.size(), 43008u);
    for (size_t n : {2048u, 2049u, 43008u}) {
        s.Format("%s", std::string(n, 'y').c_str());
        EXPECT_EQ(s.size(), n);
    }
    EXPECT_EQ(FormatString("%d-%s", 7, "a"), "7-a");
}

TEST(StdStr, ReplaceResumesBehindTheInsertedText)
{
    TStdStr<char> s = "aaa";
    EXPECT_EQ(s.Replace("a", "aa"), 3);
    EXPECT_EQ(s, "aaaaaa");
    EXPECT_EQ(s.Replace("", "b"), 0);
    EXPECT_EQ(s.Replace(nullptr, "b"), 0);
    EXPECT_EQ(s.Replace("aa", nullptr), 3);
    EXPECT_TRUE(s.empty());
    TStdStr<char> c = "a.b.c";
    EXPECT_EQ(c.Replace('.', '/'), 2);
    EXPECT_EQ(c, "a/b/c");
}

TEST(StdStr, SubstringsAndSearch)
{
    const TStdStr<char> s = "abc";
    EXPECT_EQ(s.Right(0), "");
    EXPECT_EQ(s.Right(-3), "");
    EXPECT_EQ(s.Right(100), "abc");
    EXPECT_EQ(s.Right(2), "bc");
    EXPECT_EQ(s.Left(100), "abc");
    EXPECT_EQ(s.Mid(1), "bc");
    EXPECT_EQ(s.Mid(5), "");
    EXPECT_EQ(TStdStr<char>().Find('a'), -1);
    EXPECT_EQ(s.Find("c"), 2);
    EXPECT_EQ(s.Find("x"), -1);
}

TEST(StdStr, WideTextAndBuffers)
{
    EXPECT_TRUE(TStdStr<char>(static_cast<const wchar_t*>(nullptr)).empty());
    EXPECT_EQ(TStdStr<char>(L"Hello"), "Hello");
    TStdStr<char> folder;
    char* buffer = folder.GetBuffer(260);
    std::strcpy(buffer, "C:\\Windows");
    folder.ReleaseBuffer(-1);
    EXPECT_EQ(folder.size(), 10u);
    TStdStr<char> t = " \t mixed Case \r\n";
    t.TrimLeft().TrimRight();
    EXPECT_EQ(t, "mixed Case");
    EXPECT_EQ(TStdStr<char>(t).MakeLower(), "mixed case");
    EXPECT_EQ(t.MakeUpper(), "MIXED CASE");
    t.GetBufferSetLength(-4);
    EXPECT_TRUE(t.empty());
}
