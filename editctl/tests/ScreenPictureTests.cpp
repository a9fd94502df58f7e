// What the window shows after its own paints is, pixel for pixel, what a whole paint of the same
// state draws: the kept picture reaches the window whole and never lags behind a change.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editctl/tests/EditFixture.h"
#include "editctl/tests/Pictures.h"
#include "editctl/win/GdiHolders.h"

namespace quill::testing {

class ScreenPicture : public EditFixture {
protected:
    struct Step {
        std::string what;
        std::function<void()> change;
    };

    // The pixels of either the window itself or a whole paint into a bitmap of our own.
    std::vector<uint32_t> Picture(bool fromWindow)
    {
        if (!fromWindow) {
            win::DropOffscreen(*ed);  // nothing kept: every row is drawn
            return PrintedClient(m_edit);
        }
        RECT client{};
        GetClientRect(m_edit, &client);
        return DrawPicture(m_edit, client.right, client.bottom, [&](HDC dc) {
            const win::CWindowDc own(m_edit);
            BitBlt(dc, 0, 0, client.right, client.bottom, own, 0, 0, SRCCOPY);
        });
    }

    // Runs the steps one after the other, each followed by the window's own paint, and compares
    // what the window shows with a whole paint after each. A whole paint drops the kept picture:
    // with keepBetween, the window paints the next step on the picture of its own paints instead,
    // and the whole paints are made only at the steps marked with a "!" in front.
    void ExpectWholePictures(const std::vector<Step>& steps, bool keepBetween = false)
    {
        for (const Step& step : steps) {
            step.change();
            UpdateWindow(m_edit);
            if (keepBetween && step.what.rfind('!', 0) != 0)
                continue;
            const std::vector<uint32_t> shown = Picture(true);
            const std::vector<uint32_t> whole = Picture(false);
            size_t differ = 0;
            for (size_t i = 0; i < shown.size(); ++i)
                differ += shown[i] != whole[i] ? 1 : 0;
            EXPECT_EQ(differ, 0u) << step.what << " (first column " << ed->firstColumn << ")";
        }
    }

    // cutColumn: the window is made as wide that the text area ends in the middle of a column.
    void Start(const std::string& text, bool cutColumn = false)
    {
        ShowWindow(m_parent, SW_SHOW);
        SetFocus(m_parent);  // no caret blinking in the pictures
        SetText(text.c_str());
        if (cutColumn) {
            RECT client{}, frame{};
            GetClientRect(m_edit, &client);
            GetWindowRect(m_edit, &frame);
            const int cw = ed->config->charWidth;
            const int rest = (client.right - win::MarginWidth(*ed) - win::LineNumberWidth(*ed)) % cw;
            MoveWindow(m_edit, 0, 0, frame.right - frame.left + cw / 2 + 1 - rest, frame.bottom - frame.top, TRUE);
        }
        UpdateWindow(m_edit);
    }
};

TEST_F(ScreenPicture, TheWindowShowsWhatAWholePaintDraws)
{
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "<p class=\"c" + std::to_string(i) + "\">row " + std::to_string(i) + "</p>\r\n";
    text += "<p>" + std::string(2000, 'z') + "</p>\r\n";
    Start(text);
    RECT client{};
    GetClientRect(m_edit, &client);
    ExpectWholePictures({
        {"loaded", [] {}},
        {"painted again", [&] { InvalidateRect(m_edit, nullptr, FALSE); }},
        {"typed", [&] { Caret(3, 2); Send(WM_CHAR, 'q', 1); }},
        {"selected", [&] { Select(1, 4, 6, 9); }},
        {"scrolled down", [&] { Send(WM_VSCROLL, SB_PAGEDOWN); }},
        {"the long row's end", [&] { Caret(2000, 60); }},
        {"part painted again", [&] { RECT r{0, 0, client.right / 2, client.bottom / 2}; InvalidateRect(m_edit, &r, FALSE); }},
        {"back to the top", [&] { Send(QPM_GOTOLINE, 1); }},
    });
}

// Moving the view sideways moves what the window shows and draws only what comes into view:
// every column, the one cut at the right edge included, shows what a whole paint draws there.
TEST_F(ScreenPicture, SidewaysMovesShowWhatAWholePaintDraws)
{
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "<td class=\"x" + std::to_string(i) + "\" style='a:b'>";
        for (int j = 0; j < 12 + i % 7; ++j)
            text += (j % 3 ? "word" : "<b>bold</b>") + std::to_string(i * j) + (i % 5 ? " " : "\t");
        text += "<!-- note " + std::to_string(i) + " --> &amp; http://example.test/" + std::to_string(i) + "\r\n";
    }
    Start(text, true);
    const int tail = 20;  // the line typed at the end of
    std::vector<Step> typing, moves;
    const int columns = ed->visibleColumns;
    Caret(static_cast<int>(ed->doc.Text().LineText(tail).size()), tail);
    for (int i = 0; i < 3 * columns; ++i)
        typing.push_back({"typed " + std::to_string(i), [this, i] { Send(WM_CHAR, "ab <c=\"d\">e;"[i % 12], 1); }});
    ExpectWholePictures(typing);
    EXPECT_GT(ed->firstColumn, columns);  // the view moved sideways more than once
    moves = {
        {"a column right", [&] { Send(WM_HSCROLL, SB_LINERIGHT); }},
        {"another column right", [&] { Send(WM_HSCROLL, SB_LINERIGHT); }},
        {"a column left", [&] { Send(WM_HSCROLL, SB_LINELEFT); }},
        {"a page left", [&] { Send(WM_HSCROLL, SB_PAGELEFT); }},
        {"a page right", [&] { Send(WM_HSCROLL, SB_PAGERIGHT); }},
        {"to a third of a page", [&] { Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, columns / 3)); }},
        {"selected across rows", [&] { Select(5, 10, 60, 25); }},
        {"the selection moved right", [&] { Send(WM_HSCROLL, SB_LINERIGHT); }},
        {"the selection moved left", [&] { Send(WM_HSCROLL, SB_LINELEFT); }},
        {"the caret far left", [&] { Caret(0, 22); }},
        {"a bookmark", [&] { Caret(3, 12); Send(QPM_RUNCOMMAND, kBookmarkToggle); }},
        {"the caret past the right edge", [&] { Caret(columns + 5, 12); }},
        {"typed there", [&] { Send(WM_CHAR, 'w', 1); }},
    };
    ExpectWholePictures(moves);
}

// The same moves one after the other on the window's own picture, compared only now and then:
// nothing a move leaves behind shows through a later one.
TEST_F(ScreenPicture, SidewaysMovesInARowLeaveNothingBehind)
{
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "<a href=\"" + std::to_string(i) + "\">" + std::string(150 + i * 3, static_cast<char>('a' + i % 26)) +
                "</a> <i>" + std::to_string(i) + "</i>\r\n";
    Start(text, true);
    const int columns = ed->visibleColumns;
    std::vector<Step> steps;
    Caret(static_cast<int>(ed->doc.Text().LineText(4).size()), 4);
    for (int i = 0; i < 2 * columns; ++i)
        steps.push_back({(i % 9 == 8 ? "!typed " : "typed ") + std::to_string(i),
                         [this, i] { Send(WM_CHAR, "x<y>\"z\" "[i % 8], 1); }});
    for (int i = 0; i < 12; ++i)
        steps.push_back({(i % 4 == 3 ? "!right " : "right ") + std::to_string(i), [this] { Send(WM_HSCROLL, SB_LINERIGHT); }});
    for (int i = 0; i < 12; ++i)
        steps.push_back({(i % 4 == 3 ? "!left " : "left ") + std::to_string(i), [this] { Send(WM_HSCROLL, SB_LINELEFT); }});
    steps.push_back({"!caret home", [this] { Caret(0, 4); }});
    ExpectWholePictures(steps, true);
}

} // namespace quill::testing
