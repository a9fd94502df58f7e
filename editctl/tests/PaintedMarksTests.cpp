// What a paint shows of a window's marks: a bookmark is drawn in the margin beside its own line
// and nowhere else, the selection over the text of its own line, and both go when they are taken
// away. The pictures are whole paints into a bitmap of the test's own, never the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editctl/tests/EditFixture.h"
#include "editctl/tests/Pictures.h"
#include "editctl/win/GdiHolders.h"

namespace quill::testing {

namespace {

class PaintedMarks : public EditFixture {
protected:
    // The pixels of a whole paint of the window (0x00RRGGBB, top row first).
    std::vector<uint32_t> Picture()
    {
        RECT client{};
        GetClientRect(m_edit, &client);
        m_width = client.right;
        m_height = client.bottom;
        win::DropOffscreen(*ed);  // nothing kept: every row is drawn
        std::vector<uint32_t> picture = PrintedClient(m_edit);
        EXPECT_FALSE(picture.empty());
        return picture;
    }

    // How many pixels of the colour lie in each text row of the picture, and left of x or from x on.
    struct RowCounts {
        std::vector<int> left, right;
    };
    RowCounts CountByRow(const std::vector<uint32_t>& picture, Colour colour, int x)
    {
        const uint32_t rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
        const int rows = m_height / ed->config->lineHeight + 1;
        RowCounts counts{std::vector<int>(static_cast<size_t>(rows)), std::vector<int>(static_cast<size_t>(rows))};
        for (int py = 0; py < m_height; ++py)
            for (int px = 0; px < m_width; ++px)
                if ((picture[static_cast<size_t>(py) * static_cast<size_t>(m_width) + static_cast<size_t>(px)] &
                     0xFFFFFF) == rgb)
                    ++(px < x ? counts.left : counts.right)[static_cast<size_t>(py / ed->config->lineHeight)];
        return counts;
    }

    int m_width = 0, m_height = 0;
};

std::string Lines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "row " + std::to_string(i) + " of plain words\r\n";
    return text;
}

} // namespace

TEST_F(PaintedMarks, ABookmarkIsDrawnInTheMarginBesideItsOwnLineOnly)
{
    ShowWindow(m_parent, SW_SHOW);
    SetText(Lines(40).c_str());
    ASSERT_GT(ed->config->lineHeight, 0);
    ASSERT_EQ(ed->firstLine, 0);
    const int margin = win::MarginWidth(*ed);
    ASSERT_GT(margin, 0) << "the HTML configuration shows the selection margin";
    const Colour bookmark = ed->config->colours[kBookmarkRGB];

    const RowCounts none = CountByRow(Picture(), bookmark, margin);
    for (size_t row = 0; row < none.left.size(); ++row)
        EXPECT_EQ(none.left[row], 0) << "no bookmark yet, row " << row;

    Caret(2, 3);
    Send(QPM_RUNCOMMAND, kBookmarkToggle);
    ASSERT_EQ(ed->bookmarkCount, 1);
    const RowCounts marked = CountByRow(Picture(), bookmark, margin);
    EXPECT_GT(marked.left[3], 0) << "the mark beside the fourth line";
    for (size_t row = 0; row < marked.left.size(); ++row) {
        EXPECT_EQ(marked.right[row], 0) << "the mark stays in the margin, row " << row;
        if (row != 3) {
            EXPECT_EQ(marked.left[row], 0) << "no mark beside row " << row;
        }
    }

    // The view scrolled down by two lines: the mark moves up with its line.
    Send(WM_VSCROLL, SB_LINEDOWN);
    Send(WM_VSCROLL, SB_LINEDOWN);
    ASSERT_EQ(ed->firstLine, 2);
    const RowCounts scrolled = CountByRow(Picture(), bookmark, margin);
    EXPECT_GT(scrolled.left[1], 0);
    EXPECT_EQ(scrolled.left[3], 0);

    Send(QPM_RUNCOMMAND, kBookmarkToggle);
    EXPECT_EQ(ed->bookmarkCount, 0);
    const RowCounts cleared = CountByRow(Picture(), bookmark, margin);
    for (size_t row = 0; row < cleared.left.size(); ++row)
        EXPECT_EQ(cleared.left[row], 0) << "the mark is gone, row " << row;
}

TEST_F(PaintedMarks, TheSelectionIsDrawnOverTheTextOfItsOwnLinesAndGoesWithIt)
{
    ShowWindow(m_parent, SW_SHOW);
    SetText(Lines(40).c_str());
    Send(WM_SETFOCUS);  // an active selection: drawn in the selection colour
    ASSERT_GT(ed->config->lineHeight, 0);
    const int margin = win::MarginWidth(*ed);
    const Colour colour = ed->config->colours[kSelectedBackgroundRGB];

    const RowCounts before = CountByRow(Picture(), colour, margin);
    Select(4, 5, 9, 6);  // from the fifth column of the sixth line into the seventh
    ASSERT_TRUE(ed->HasSelection());
    const RowCounts selected = CountByRow(Picture(), colour, margin);
    EXPECT_GT(selected.right[5], before.right[5]) << "the sixth line is selected from its fifth column";
    EXPECT_GT(selected.right[6], before.right[6]) << "the seventh up to its tenth column";
    for (size_t row = 0; row < selected.right.size(); ++row)
        if (row != 5 && row != 6) {
            EXPECT_EQ(selected.right[row], before.right[row]) << "no selection on row " << row;
        }
    // The seventh line's part (nine columns) is shorter than the sixth line's (from the fifth on).
    EXPECT_LT(selected.right[6] - before.right[6], selected.right[5] - before.right[5]);

    Press(VK_ESCAPE);
    EXPECT_FALSE(ed->HasSelection());
    const RowCounts after = CountByRow(Picture(), colour, margin);
    EXPECT_EQ(after.right, before.right);
}

} // namespace quill::testing
