// The scroll bars of a window created without them: a long text shows both, a short one leaves
// them shown but disabled, and the frame is drawn again with the next paint each time, so that the
// screen never keeps the bars as they were before the text came.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>
#include <string>

#include "editctl/tests/EditFixture.h"
#include "editctl/tests/Pictures.h"
#include "editctl/win/GdiHolders.h"

namespace quill::testing {

namespace {

// Counts the frame paints of a window whose procedure it stands in front of.
WNDPROC g_editProc = nullptr;
int g_framePaints = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT)
        ++g_framePaints;
    return CallWindowProcA(g_editProc, window, message, wParam, lParam);
}

} // namespace

class ScrollBars : public EditFixture {
protected:
    HWND CreateBare(DWORD visible)
    {
        return CreateWindowExA(WS_EX_CLIENTEDGE, QUILLPOINT_CLASS, "bars.htm", WS_CHILD | visible, 0, 0, 400, 300,
                               m_parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static SCROLLINFO Info(HWND window, int bar)
    {
        SCROLLINFO si{sizeof(si), SIF_ALL};
        GetScrollInfo(window, bar, &si);
        return si;
    }
};

TEST_F(ScrollBars, ALongTextShowsBothAndTheFrameIsPaintedAfterwards)
{
    ShowWindow(m_parent, SW_SHOW);
    const HWND bare = CreateBare(WS_VISIBLE);
    ASSERT_TRUE(bare);
    UpdateWindow(bare);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bare, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "<p>line " + std::to_string(i) + (i == 50 ? std::string(500, 'x') : std::string()) + "</p>\r\n";

    struct Case {
        const char* what;
        std::string text;
        bool enabled;
    };
    const Case cases[] = {
        {"a long text", text, true},
        {"a short text", "<p>short</p>", false},
        {"the long text again", text, true},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(SendMessageA(bare, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>(c.text.c_str())), 1) << c.what;
        const LONG_PTR style = GetWindowLongPtrA(bare, GWL_STYLE);
        EXPECT_TRUE(style & WS_VISIBLE) << c.what;  // drawing is on again
        EXPECT_TRUE(style & WS_VSCROLL) << c.what;
        EXPECT_TRUE(style & WS_HSCROLL) << c.what;
        const win::EditData* data = win::GetEditData(bare);
        const SCROLLINFO v = Info(bare, SB_VERT), h = Info(bare, SB_HORZ);
        EXPECT_EQ(v.nMax, data->doc.Text().LineCount() - 1) << c.what;
        // The system holds a page to at most the whole range.
        EXPECT_EQ(static_cast<int>(v.nPage), std::min(data->visibleLines, v.nMax + 1)) << c.what;
        EXPECT_EQ(h.nMax, data->doc.Text().LongestWidth()) << c.what;
        EXPECT_EQ(static_cast<int>(h.nPage), std::min(data->visibleColumns, h.nMax + 1)) << c.what;
        // The text area fits inside the shown bars.
        RECT client{}, window{};
        GetClientRect(bare, &client);
        GetWindowRect(bare, &window);
        EXPECT_LE(client.right + GetSystemMetrics(SM_CXVSCROLL), window.right - window.left) << c.what;
        EXPECT_LE(client.bottom + GetSystemMetrics(SM_CYHSCROLL), window.bottom - window.top) << c.what;
        EXPECT_EQ(data->visibleLines, client.bottom / data->config->lineHeight) << c.what;

        g_framePaints = 0;
        UpdateWindow(bare);
        EXPECT_GE(g_framePaints, 1) << c.what << ": the bars were set but not drawn";
        RECT pending{};
        EXPECT_FALSE(GetUpdateRect(bare, &pending, FALSE)) << c.what;
        // Enabled when the text needs them, disabled (not removed) when it does not.
        SCROLLBARINFO bar{sizeof(bar)};
        ASSERT_TRUE(GetScrollBarInfo(bare, OBJID_VSCROLL, &bar)) << c.what;
        EXPECT_EQ((bar.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0, c.enabled) << c.what;
    }
    SetWindowLongPtrA(bare, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
    DestroyWindow(bare);
}

// A hidden window stays hidden when its text shows the bars.
TEST_F(ScrollBars, AHiddenWindowStaysHidden)
{
    const HWND bare = CreateBare(0);
    ASSERT_TRUE(bare);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::string(300, 'y') + "\r\n";
    ASSERT_EQ(SendMessageA(bare, QPM_SETTEXT, 1, reinterpret_cast<LPARAM>(text.c_str())), 1);
    EXPECT_FALSE(GetWindowLongPtrA(bare, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(Info(bare, SB_VERT).nMax, 100);
    DestroyWindow(bare);
}

// The pixels of both scroll bars of a window as its window DC shows them.
std::vector<uint32_t> BarPixels(HWND window)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const std::vector<uint32_t> pixels = DrawPicture(window, w, h, [&](HDC dc) {
        const win::CWindowDc windowDc(window, win::CWindowDc::kWholeWindow);
        BitBlt(dc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    });
    std::vector<uint32_t> out;
    if (pixels.empty())
        return out;
    for (LONG id : {OBJID_VSCROLL, OBJID_HSCROLL}) {
        SCROLLBARINFO bar{sizeof(bar)};
        if (!GetScrollBarInfo(window, id, &bar))
            continue;
        for (LONG y = bar.rcScrollBar.top - frame.top; y < bar.rcScrollBar.bottom - frame.top; ++y)
            for (LONG x = bar.rcScrollBar.left - frame.left; x < bar.rcScrollBar.right - frame.left; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h)
                    out.push_back(pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)]);
    }
    return out;
}

// Typing and moving the caret set the bars at once: what the system answers follows every key.
// They are drawn once the window has been idle a moment, and then show what a paint of the
// whole frame draws.
TEST_F(ScrollBars, KeysSetTheBarsAtOnceAndDrawThemWhenIdle)
{
    ShowWindow(m_parent, SW_SHOW);
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "<p>line " + std::to_string(i) + (i == 7 ? std::string(200, 'w') : std::string()) + "</p>\r\n";
    SetText(text.c_str());
    UpdateWindow(m_edit);
    struct Step {
        const char* what;
        std::function<void()> keys;
        bool moved;  // the view moved: a bar waits to be drawn
    };
    const int columns = ed->visibleColumns;
    const Step steps[] = {
        {"typed past the right edge", [&] { Caret(10, 3); for (int i = 0; i < columns; ++i) Send(WM_CHAR, 'x', 1); }, true},
        {"typed further", [&] { for (int i = 0; i < columns; ++i) Send(WM_CHAR, 'y', 1); }, true},
        {"back to the line's start", [&] { Press(VK_HOME); }, true},
        {"new lines at the end", [&] { Caret(0, 60); for (int i = 0; i < 30; ++i) Press(VK_RETURN); }, true},
        {"up to the top", [&] { Press(VK_HOME, kCtrl); }, true},
        {"typed within the view", [&] { Send(WM_CHAR, 'z', 1); }, false},
    };
    for (const Step& step : steps) {
        for (win::ScrollBarState& bar : ed->scrollBars)
            bar.drawn = true;
        step.keys();
        const SCROLLINFO v = Info(m_edit, SB_VERT), h = Info(m_edit, SB_HORZ);
        EXPECT_EQ(v.nMax, ed->doc.Text().LineCount() - 1) << step.what;
        EXPECT_EQ(v.nPos, ed->firstLine) << step.what;
        EXPECT_EQ(static_cast<int>(v.nPage), std::min(ed->visibleLines, v.nMax + 1)) << step.what;
        EXPECT_EQ(h.nMax, ed->doc.Text().LongestWidth()) << step.what;
        EXPECT_EQ(h.nPos, ed->firstColumn) << step.what;
        EXPECT_EQ(static_cast<int>(h.nPage), std::min(ed->visibleColumns, h.nMax + 1)) << step.what;
        const bool waiting = !ed->scrollBars[0].drawn || !ed->scrollBars[1].drawn;
        EXPECT_EQ(waiting, step.moved) << step.what;
        UpdateWindow(m_edit);
        // The bars are drawn by the window's timer once nothing else is to be done.
        const ULONGLONG giveUp = GetTickCount64() + 10000;
        while ((!ed->scrollBars[0].drawn || !ed->scrollBars[1].drawn) && GetTickCount64() < giveUp) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        EXPECT_TRUE(ed->scrollBars[0].drawn && ed->scrollBars[1].drawn) << step.what;
        const std::vector<uint32_t> shown = BarPixels(m_edit);
        RedrawWindow(m_edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
        const std::vector<uint32_t> whole = BarPixels(m_edit);
        EXPECT_FALSE(shown.empty()) << step.what;
        EXPECT_TRUE(shown == whole) << step.what;
    }
}

} // namespace quill::testing
