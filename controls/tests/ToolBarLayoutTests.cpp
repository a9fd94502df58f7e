// The button tables and the stored forms of the toolbar order and the band layout, without windows.
#include "controls/ToolBarLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ToolBarButtonInfo kTable[] = {
    {0, 101, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {1, 102, TBSTATE_ENABLED, BTNS_DROPDOWN, 0, 0},
    {2, 103, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, 1, 0},
    {3, 104, 0, BTNS_BUTTON, 1, 0},
};
constexpr int kCount = 4;

// The buttons as "id" per button, "|" for a separator.
std::string Describe(const std::vector<TBBUTTON>& buttons)
{
    std::string text;
    for (const TBBUTTON& b : buttons) {
        if (!text.empty())
            text += ' ';
        text += (b.fsStyle & BTNS_SEP) ? std::string("|") : std::to_string(b.idCommand);
    }
    return text;
}

std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    std::vector<BYTE> bytes;
    for (int v : values)
        bytes.push_back(static_cast<BYTE>(v));
    return bytes;
}

void Put32(std::vector<BYTE>& data, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        data[at + i] = static_cast<BYTE>(value >> (8 * i));
}

}  // namespace

TEST(ToolBarButtons, FindButtonInfoGivesTheFirstEntryOrMinusOne)
{
    EXPECT_EQ(FindButtonInfo(103, kCount, kTable), 2);
    EXPECT_EQ(FindButtonInfo(999, kCount, kTable), -1);
    EXPECT_EQ(FindButtonInfo(101, 0, kTable), -1);
    EXPECT_EQ(FindButtonInfo(101, -3, kTable), -1);
    EXPECT_EQ(FindButtonInfo(104, 3, kTable), -1);  // beyond the count given
    EXPECT_EQ(FindButtonInfo(101, kCount, nullptr), -1);
}

TEST(ToolBarButtons, IdListsGiveButtonsInTheirOrder)
{
    struct Case {
        const char* what;
        std::vector<int> ids;
        const char* expected;
    } cases[] = {
        {"the user's order", {103, 0, 101, 102}, "103 | 101 102"},
        {"no stored order: the default buttons in table order", {}, "101 103 104"},
        {"stops once count command buttons are made", {101, 0, 102, 0, 103, 104, 101, 102}, "101 | 102 | 103 104"},
        {"every button with separators comes back whole", {101, 0, 102, 0, 103, 0, 104}, "101 | 102 | 103 | 104"},
        {"at most count separators", {0, 0, 0, 0, 0, 0, 101}, "| | | | 101"},
        {"ids the program no longer has do not count", {555, 101, 556, 557, 102, 103, 558, 104}, "101 102 103 104"},
        {"only separators and unknown ids: the defaults", {0, 777, 0, 0}, "101 103 104"},
        {"a button hidden by default can be chosen", {102}, "102"},
    };
    for (const Case& c : cases) {
        std::vector<TBBUTTON> buttons(3);  // the output is replaced, not appended to
        BuildToolBarButtons(buttons, c.ids, kCount, kTable);
        EXPECT_EQ(Describe(buttons), c.expected) << c.what;
    }
}

TEST(ToolBarButtons, ButtonsCarryTheTableEntryAndSeparatorsAreEightWide)
{
    std::vector<TBBUTTON> buttons;
    BuildToolBarButtons(buttons, {103, 0}, kCount, kTable);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].iBitmap, 2);
    EXPECT_EQ(buttons[0].idCommand, 103);
    EXPECT_EQ(buttons[0].fsState, TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_EQ(buttons[0].fsStyle, BTNS_CHECK);
    EXPECT_EQ(buttons[0].dwData, 0u);
    EXPECT_EQ(buttons[0].iString, 0);
    EXPECT_EQ(buttons[1].iBitmap, 8);
    EXPECT_EQ(buttons[1].idCommand, 0);
    EXPECT_EQ(buttons[1].fsState, 0);
    EXPECT_EQ(buttons[1].fsStyle, BTNS_SEP);
}

TEST(ToolBarOrder, EncodesAsACountAndLittleEndianIdsAndDecodesBack)
{
    const std::vector<int> ids = {0x1234, 0, -2};
    const std::vector<BYTE> data = EncodeToolBarOrder(ids);
    EXPECT_EQ(data, Bytes({3, 0, 0, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
    std::vector<int> back = {9};
    ASSERT_TRUE(DecodeToolBarOrder(data, back));
    EXPECT_EQ(back, ids);
    // An empty order is a valid order (the caller then builds the default buttons).
    ASSERT_TRUE(DecodeToolBarOrder(EncodeToolBarOrder({}), back));
    EXPECT_TRUE(back.empty());
}

TEST(ToolBarOrder, DamagedValuesAreRefused)
{
    std::vector<BYTE> tooMany(4 + 4 * (kMaxStoredToolBarButtons + 1), 0);
    Put32(tooMany, 0, static_cast<uint32_t>(kMaxStoredToolBarButtons + 1));
    struct Case {
        const char* what;
        std::vector<BYTE> data;
    } cases[] = {
        {"empty", {}},
        {"shorter than the count", Bytes({2, 0, 0})},
        {"truncated in an id", Bytes({2, 0, 0, 0, 101, 0, 0, 0, 102, 0})},
        {"count beyond the data", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 101, 0, 0, 0})},
        {"bytes after the last id", Bytes({1, 0, 0, 0, 101, 0, 0, 0, 7})},
        {"more buttons than any toolbar has", tooMany},
    };
    for (const Case& c : cases) {
        std::vector<int> ids = {5};
        EXPECT_FALSE(DecodeToolBarOrder(c.data, ids)) << c.what;
        EXPECT_TRUE(ids.empty()) << c.what;
    }
}

TEST(BandRecord, IsTheEightyByteImageWithTheRecordMask)
{
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fStyle = RBBS_BREAK | RBBS_USECHEVRON;
    band.clrFore = 0x00112233;
    band.clrBack = CLR_DEFAULT;
    band.cx = 321;
    band.wID = 0xEB01;
    band.cxIdeal = 250;
    // Fields outside the mask are never stored.
    band.lpText = const_cast<LPSTR>("title");
    band.hwndChild = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x12345));
    band.cxMinChild = 40;
    band.lParam = 77;
    const CBandRecord record = EncodeBandRecord(band);
    std::vector<BYTE> expected(80, 0);
    Put32(expected, 0, 80);
    Put32(expected, 4, 0x343);
    Put32(expected, 8, RBBS_BREAK | RBBS_USECHEVRON);
    Put32(expected, 12, 0x00112233);
    Put32(expected, 16, CLR_DEFAULT);
    Put32(expected, 44, 321);
    Put32(expected, 52, 0xEB01);
    Put32(expected, 68, 250);
    EXPECT_EQ(std::vector<BYTE>(record.begin(), record.end()), expected);

    REBARBANDINFOA back = {};
    ASSERT_TRUE(DecodeBandRecord(expected, back));
    EXPECT_EQ(back.cbSize, sizeof(REBARBANDINFOA));
    EXPECT_EQ(back.fMask, kBandRecordMask);
    EXPECT_EQ(back.fStyle, band.fStyle);
    EXPECT_EQ(back.clrFore, band.clrFore);
    EXPECT_EQ(back.clrBack, band.clrBack);
    EXPECT_EQ(back.cx, band.cx);
    EXPECT_EQ(back.wID, band.wID);
    EXPECT_EQ(back.cxIdeal, band.cxIdeal);
    EXPECT_EQ(back.lpText, nullptr);
    EXPECT_EQ(back.hwndChild, nullptr);
}

TEST(BandRecord, DamagedOrForeignRecordsAreRefused)
{
    REBARBANDINFOA band = {};
    band.fStyle = RBBS_CHILDEDGE;
    band.cx = 200;
    band.wID = 0xEB00;
    band.cxIdeal = 200;
    const CBandRecord good = EncodeBandRecord(band);
    const std::vector<BYTE> base(good.begin(), good.end());
    auto with = [&](size_t at, uint32_t value) {
        std::vector<BYTE> data = base;
        Put32(data, at, value);
        return data;
    };
    struct Case {
        const char* what;
        std::vector<BYTE> data;
    } cases[] = {
        {"empty", {}},
        {"truncated", std::vector<BYTE>(base.begin(), base.begin() + 79)},
        {"longer: another layout", [&] { auto d = base; d.push_back(0); return d; }()},
        {"the native size of this build", [&] { auto d = base; d.resize(sizeof(REBARBANDINFOA)); return d; }()},
        {"another record size", with(0, 0x6C)},
        {"a mask that would take the child and text", with(4, 0x343 | RBBIM_CHILD | RBBIM_TEXT)},
        {"a smaller mask", with(4, RBBIM_SIZE)},
        {"unknown style bits", with(8, RBBS_CHILDEDGE | 0x80000000u)},
        {"a width no screen has", with(44, 0xFFFFFFF0u)},
        {"an ideal width no screen has", with(68, 0x10000)},
    };
    for (const Case& c : cases) {
        REBARBANDINFOA out = {};
        EXPECT_FALSE(DecodeBandRecord(c.data, out)) << c.what;
    }
    REBARBANDINFOA out = {};
    EXPECT_TRUE(DecodeBandRecord(base, out));
}
