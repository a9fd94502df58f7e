#include "core/library/StringSplit.h"

#include "core/tests/PrintStdStr.h"

#include <gtest/gtest.h>

#include <cstdint>

using StrList = std::vector<TStdStr<char>>;

TEST(StringSplit, SplitsAtEveryDelimiterAndKeepsEmptyPieces)
{
    const struct {
        const char* text;
        StrList pieces;
    } cases[] = {
        {"a;b;c", {"a", "b", "c"}},
        {"a;;b", {"a", "", "b"}},
        {"x;", {"x", ""}},
        {";a", {"", "a"}},
        {"", {""}},
        {"plain", {"plain"}},
    };
    for (const auto& c : cases) {
        StrList list;
        SplitString(list, c.text, ';');
        EXPECT_EQ(list, c.pieces) << c.text;
    }
    StrList appended = {"old"};
    SplitString(appended, "n", ';');
    EXPECT_EQ(appended, (StrList{"old", "n"}));
}

TEST(StringSplit, JoinPutsTheSeparatorBehindEveryElement)
{
    EXPECT_EQ(JoinStrings({"a", "b"}, ","), "a,b,");
    EXPECT_EQ(JoinStrings({}, ","), "");
    // Join then split gives the list back with one empty element at the end.
    StrList list;
    SplitString(list, JoinStrings({"p", "", "q"}, ";"), ';');
    EXPECT_EQ(list, (StrList{"p", "", "q", ""}));
}

TEST(StringSplit, ByteSizesUseBinaryUnits)
{
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"},
        {uint64_t(1) << 30, "1.00 GB"},
        {uint64_t(1) << 40, "1.00 TB"},
        {uint64_t(1) << 50, "1.00 PB"},
        {uint64_t(1) << 60, "1.00 EB"},
        {UINT64_MAX, "16.00 EB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
}
