// The status bar with panes addressed by id and the self-painted percent bar: the pane geometry
// as pure functions, then real status windows in a hidden parent, and a picture of both.
#include "TabTestParent.h"
#include "controls/MultiPaneStatusBar.h"
#include "controls/PercentProgressBar.h"

#include <commctrl.h>
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kPaneAddress = 21403;
constexpr int kPaneZone = 21404;
constexpr int kPaneMissing = 21405;

class CFakePaneTexts : public IPaneTextSource {
public:
    bool LoadPaneText(UINT id, std::string& text) override
    {
        const auto found = m_texts.find(id);
        text = found == m_texts.end() ? std::string() : found->second;
        return found != m_texts.end();
    }
    std::map<UINT, std::string> m_texts = {{kPaneAddress, "Internet address"}, {kPaneZone, "Zone"}};
};

// Counts the SB_SETTEXT messages that reach the status window, through a subclass of its own.
LRESULT CALLBACK CountSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == SB_SETTEXTA)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(window, message, wParam, lParam);
}

int TextWidth(HWND bar, const std::string& text)
{
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    return size.cx;
}

std::vector<int> Edges(HWND bar)
{
    int edges[16] = {};
    const int count = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + count);
}

std::string PaneText(HWND bar, int index)
{
    const int length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

TEST(StatusBarGeometry, PaneEdgesFromTextsGiveTheStretchPaneAFixedStart)
{
    // Border 2, spacing 2: a pane is spacing + text + 6 wide, the stretchable pane spacing + 100.
    EXPECT_EQ(PaneEdgesFromTextWidths({0, 1, 2}, {999, 40, 0}, 2, 2), (std::vector<int>{104, 152, 160}));
    EXPECT_EQ(PaneEdgesFromTextWidths({}, {}, 2, 2), std::vector<int>{});
}

TEST(StatusBarGeometry, PaneWidthsBecomeEdgesAndTheFirstPaneTakesTheOthersRoom)
{
    EXPECT_EQ(PaneEdgesFromWidths({100, 30, 20}, 2, false), (std::vector<int>{152, 184, 206}));
    EXPECT_EQ(PaneEdgesFromWidths({100, 30, 20}, 2, true), (std::vector<int>{152, 184, 224}));
    EXPECT_EQ(PaneEdgesFromWidths({}, 2, true), std::vector<int>{});
}

TEST(StatusBarGeometry, ResizingMovesTheStretchPaneAndThoseAfterItOnly)
{
    struct Case {
        std::vector<int> ids;
        int extra;
        std::vector<int> expected;
        bool changed;
    };
    const Case cases[] = {
        {{0, 1, 2}, 50, {150, 200, 250}, true},   // the first pane stretches, the others follow
        {{1, 0, 2}, 50, {100, 200, 250}, true},   // a stretchable pane in the middle
        {{1, 2, 3}, 50, {100, 150, 200}, false},  // no stretchable pane: widths stay
        {{0, 1, 2}, -99, {1, 51, 101}, true},     // shrinking keeps the edge right of 0
        {{0, 1, 2}, -100, {100, 150, 200}, false},  // would reach 0: not applied
        {{1, 0, 2}, -50, {100, 150, 200}, false},   // would reach the previous edge
        {{1, 0}, 0, {100, 150}, false},
    };
    for (const Case& c : cases) {
        std::vector<int> edges = {100, 150, 200};
        edges.resize(c.ids.size());
        EXPECT_EQ(StretchPaneEdges(edges, c.ids, c.extra), c.changed) << c.extra;
        EXPECT_EQ(edges, c.expected) << c.extra;
    }
    // Edges of another count than the panes are left alone.
    std::vector<int> edges = {100, 150};
    EXPECT_FALSE(StretchPaneEdges(edges, {0, 1, 2}, 40));
}

TEST(MultiPaneStatusBar, PanesAreSizedFromTheirTextsAndStretchWithTheBar)
{
    CTabTestParent parent(500, 200);
    CFakePaneTexts texts;
    CMultiPaneStatusBar bar(&texts);
    ASSERT_TRUE(bar.Create(parent.Window()));
    const int ids[] = {0, kPaneAddress, kPaneMissing, kPaneZone};
    ASSERT_TRUE(bar.SetPanes(ids, 4));
    EXPECT_EQ(bar.GetPaneIndexFromId(kPaneZone), 3);
    EXPECT_EQ(bar.GetPaneIndexFromId(12345), -1);

    int borders[3] = {};
    SendMessageA(bar.m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const int spacing = borders[2];
    std::vector<int> edges = Edges(bar.m_hWnd);
    ASSERT_EQ(edges.size(), 4u);
    EXPECT_EQ(edges[0], borders[0] + spacing + kStretchPaneInitialWidth);
    EXPECT_EQ(edges[1] - edges[0], spacing + TextWidth(bar.m_hWnd, "Internet address") + kPaneTextMargin);
    // A pane without a string is measured as empty text.
    EXPECT_EQ(edges[2] - edges[1], spacing + kPaneTextMargin);
    EXPECT_EQ(edges[3] - edges[2], spacing + TextWidth(bar.m_hWnd, "Zone") + kPaneTextMargin);
    EXPECT_EQ(PaneText(bar.m_hWnd, 1), "Internet address");
    EXPECT_EQ(PaneText(bar.m_hWnd, 3), "Zone");

    // The status window sizes itself to its parent on WM_SIZE; the stretchable pane takes the room
    // left of the size grip, and the others keep their widths.
    SendMessageA(bar.m_hWnd, WM_SIZE, SIZE_RESTORED, 0);
    RECT client = {};
    GetClientRect(bar.m_hWnd, &client);
    const int grip = GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL);
    const std::vector<int> stretched = Edges(bar.m_hWnd);
    ASSERT_EQ(stretched.size(), 4u);
    EXPECT_EQ(stretched[3], client.right - grip);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(stretched[i] - stretched[i - 1], edges[i] - edges[i - 1]) << i;

    // Minimised: nothing moves.
    const int shorter[] = {300, 20, 20, 20};
    int copy[4] = {shorter[0], shorter[1], shorter[2], shorter[3]};
    SendMessageA(bar.m_hWnd, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(copy));
    SendMessageA(bar.m_hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(Edges(bar.m_hWnd), (std::vector<int>{300, 20, 20, 20}));
}

TEST(MultiPaneStatusBar, PaneTextIsSentOnlyWhenItChangesWhateverItsLength)
{
    CTabTestParent parent(500, 200);
    CFakePaneTexts texts;
    CMultiPaneStatusBar bar(&texts);
    ASSERT_TRUE(bar.Create(parent.Window()));
    const int ids[] = {0, kPaneZone};
    ASSERT_TRUE(bar.SetPanes(ids, 2));
    int sent = 0;
    ASSERT_TRUE(SetWindowSubclass(bar.m_hWnd, CountSetText, 1, reinterpret_cast<DWORD_PTR>(&sent)));

    EXPECT_FALSE(bar.SetPaneText(kPaneMissing, "nowhere"));
    EXPECT_TRUE(bar.SetPaneText(kPaneZone, "Zone"));
    EXPECT_EQ(sent, 0);
    // A link address far longer than any fixed buffer.
    const std::string longText = "http://example.test/" + std::string(3000, 'x');
    EXPECT_TRUE(bar.SetPaneText(0, longText.c_str()));
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(bar.SetPaneText(0, longText.c_str()));
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(PaneText(bar.m_hWnd, 0), longText);
    EXPECT_TRUE(bar.SetPaneText(0, (longText + "y").c_str()));
    EXPECT_EQ(sent, 2);
    // Beyond the 16 bits SB_GETTEXTLENGTH can tell: nothing is read back into a short buffer.
    const std::string hugeText(70000, 'h');
    EXPECT_TRUE(bar.SetPaneText(0, hugeText.c_str()));
    EXPECT_TRUE(bar.SetPaneText(0, hugeText.c_str()));
    EXPECT_EQ(sent, 3);
    // A text that reached the window another way (the update map sends SB_SETTEXT itself) is known.
    SendMessageA(bar.m_hWnd, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("Trusted sites"));
    EXPECT_EQ(sent, 4);
    EXPECT_TRUE(bar.SetPaneText(kPaneZone, "Trusted sites"));
    EXPECT_EQ(sent, 4);
    // A part that went away and came back has no text known.
    const int fewer[] = {0};
    ASSERT_TRUE(bar.SetPanes(fewer, 1, false));
    const int again[] = {0, kPaneZone};
    ASSERT_TRUE(bar.SetPanes(again, 2, false));
    const int sentBefore = sent;
    EXPECT_TRUE(bar.SetPaneText(kPaneZone, "Trusted sites"));
    EXPECT_EQ(sent, sentBefore + 1);
    RemoveWindowSubclass(bar.m_hWnd, CountSetText, 1);
}

TEST(MultiPaneStatusBar, DoubleClickOnAPanePostsItsCommandToTheTopLevelWindow)
{
    CTabTestParent parent(500, 200);
    CFakePaneTexts texts;
    CMultiPaneStatusBar bar(&texts);
    ASSERT_TRUE(bar.Create(parent.Window()));
    const int ids[] = {0, kPaneZone};
    ASSERT_TRUE(bar.SetPanes(ids, 2));
    SendMessageA(bar.m_hWnd, WM_SIZE, SIZE_RESTORED, 0);
    bar.SetPaneCommand(kPaneZone, 32771);
    RECT zone = {}, first = {};
    ASSERT_TRUE(bar.GetRect(1, &zone));
    ASSERT_TRUE(bar.GetRect(0, &first));

    MSG msg;
    while (PeekMessageA(&msg, parent.Window(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    }
    // The first pane has no command.
    SendMessageA(bar.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(first.left + 3, first.top + 3));
    EXPECT_FALSE(PeekMessageA(&msg, parent.Window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    SendMessageA(bar.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(zone.left + 3, zone.top + 3));
    ASSERT_TRUE(PeekMessageA(&msg, parent.Window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, MAKEWPARAM(32771, 0));
    EXPECT_EQ(msg.lParam, 0);
    // The update map asks the window for a pane's index.
    EXPECT_EQ(SendMessageA(bar.m_hWnd, kMsgPaneIndexFromId, kPaneZone, 0), 2);
    EXPECT_EQ(SendMessageA(bar.m_hWnd, kMsgPaneIndexFromId, kPaneMissing, 0), 0);
}

TEST(PercentProgress, FilledWidthAndPercentStayDefinedForEveryRange)
{
    struct Case {
        int position, minimum, maximum, width;
        int filled, percent;
    };
    const Case cases[] = {
        {50, 0, 100, 200, 100, 50},  {100, 0, 100, 200, 200, 100}, {0, 0, 100, 200, 0, 0},
        {33, 0, 100, 100, 33, 33},   {15, 10, 20, 100, 50, 50},    {5, 5, 5, 100, 0, 0},  // no room: nothing
        {7, 9, 3, 100, 0, 0},        {150, 0, 100, 100, 150, 100}, {-50, 0, 100, 100, -50, 0},
        {INT_MAX, INT_MIN, INT_MAX, 1000, 1000, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressFilledWidth(c.position, c.minimum, c.maximum, c.width), c.filled) << c.position;
        EXPECT_EQ(ProgressPercent(c.position, c.minimum, c.maximum), c.percent) << c.position;
    }
}

namespace {

struct CPrinted {
    std::vector<COLORREF> pixels;
    int width = 0;
    int height = 0;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The bar painted through WM_PRINTCLIENT into a 24-bit bitmap, over a marker colour, so that a
// paint left to the default procedure shows as the marker.
CPrinted Print(HWND window, LRESULT* answer = nullptr)
{
    CPrinted printed;
    RECT client = {};
    GetClientRect(window, &client);
    printed.width = client.right;
    printed.height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, printed.width, printed.height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(dc, &client, marker);
    DeleteObject(marker);
    const LRESULT result = SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    if (answer)
        *answer = result;
    for (int y = 0; y < printed.height; ++y)
        for (int x = 0; x < printed.width; ++x)
            printed.pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return printed;
}

// Counts the paints that reach the bar.
LRESULT CALLBACK CountPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == WM_PAINT)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

TEST(PercentProgress, PaintsTheFillTheRestAndTheTextInvertedAcrossTheEdge)
{
    CTabTestParent parent(300, 100);
    CPercentProgressBar bar;
    RECT place = {0, 0, 200, 20};
    ASSERT_TRUE(bar.Create(parent.Window(), place, nullptr, WS_CHILD | WS_VISIBLE));
    const COLORREF fill = RGB(0, 0, 200);
    const COLORREF back = RGB(240, 240, 240);
    bar.SetBarColor(fill);
    bar.SetBackgroundColor(back);

    struct Case {
        int position;
        const char* text;
        int split;  // the first pixel column of the empty part
    };
    const Case cases[] = {{50, "50%", 100}, {100, "100%", 200}, {0, "0%", 0}, {25, "25%", 50}};
    for (const Case& c : cases) {
        bar.SetPos(c.position);
        EXPECT_EQ(bar.GetPercentText(), c.text);
        const CPrinted printed = Print(bar.m_hWnd);
        // The corners show the plain fill and the plain background, on either side of the split.
        if (c.split > 0) {
            EXPECT_EQ(printed.At(1, 1), fill) << c.text;
            EXPECT_EQ(printed.At(c.split - 1, 1), fill) << c.text;
        }
        if (c.split < 200) {
            EXPECT_EQ(printed.At(c.split, 1), back) << c.text;
            EXPECT_EQ(printed.At(198, 18), back) << c.text;
        }
        // The centred text: over the fill it is drawn in the background colour and over the rest
        // in the fill colour, so the middle of the bar holds the other colour of its side.
        bool textOverFill = false, textOverBack = false;
        for (int y = 4; y < 16; ++y) {
            for (int x = 80; x < 120; ++x) {
                const COLORREF pixel = printed.At(x, y);
                textOverFill = textOverFill || (x < c.split && pixel != fill);
                textOverBack = textOverBack || (x >= c.split && pixel != back);
            }
        }
        EXPECT_EQ(textOverFill, c.split > 80) << c.text;
        EXPECT_EQ(textOverBack, c.split < 120) << c.text;
    }

    // A range without room is left to the default painting (the marker stays).
    bar.SetRange(10, 10);
    LRESULT answer = 1;
    const CPrinted empty = Print(bar.m_hWnd, &answer);
    EXPECT_EQ(empty.At(100, 10), RGB(1, 2, 3));
    EXPECT_EQ(bar.SetPos(10), 25);
}

TEST(PercentProgress, RepaintsOnlyWhenTheFilledWidthChangesOrAfterAResize)
{
    CTabTestParent parent(300, 100, true);
    SetWindowPos(parent.Window(), HWND_TOPMOST, 420, 200, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    CPercentProgressBar bar;
    RECT place = {0, 0, 200, 20};
    ASSERT_TRUE(bar.Create(parent.Window(), place, nullptr, WS_CHILD | WS_VISIBLE));
    UpdateWindow(parent.Window());
    int paints = 0;
    ASSERT_TRUE(SetWindowSubclass(bar.m_hWnd, CountPaint, 1, reinterpret_cast<DWORD_PTR>(&paints)));

    EXPECT_EQ(bar.SetPos(10), 0);  // 20 pixels: repaints at once (RDW_UPDATENOW)
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(bar.SetPos(10), 10);  // the same width: no paint
    EXPECT_EQ(paints, 1);
    bar.SetPos(11);  // 22 pixels
    EXPECT_EQ(paints, 2);
    // After a resize the next SetPos repaints even at the same position.
    SetWindowPos(bar.m_hWnd, nullptr, 0, 0, 100, 20, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    bar.SetPos(22);  // 22 pixels of 100, the width it had before
    EXPECT_EQ(paints, 3);
    RemoveWindowSubclass(bar.m_hWnd, CountPaint, 1);

    CPercentProgressBar unplaced;
    EXPECT_EQ(unplaced.SetPos(5), -1);
}


TEST(StatusBarScreenshot, PanesWithFramesAndTheProgressText)
{
    CTabTestParent parent(480, 60, true);
    SetWindowPos(parent.Window(), HWND_TOPMOST, 420, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    CFakePaneTexts texts;
    texts.m_texts[kPaneMissing] = "Progress 100%";
    CMultiPaneStatusBar bar(&texts);
    ASSERT_TRUE(bar.Create(parent.Window()));
    bar.SetDrawPaneFrames(true);
    const int ids[] = {0, kPaneMissing, kPaneAddress, kPaneZone};
    ASSERT_TRUE(bar.SetPanes(ids, 4));
    SendMessageA(bar.m_hWnd, WM_SIZE, SIZE_RESTORED, 0);
    ASSERT_TRUE(bar.SetPaneText(0, "Done: http://example.test/start"));
    ASSERT_TRUE(bar.SetPaneText(kPaneMissing, ""));

    // The progress bar sits inside its pane, as the frame places it.
    RECT pane = {};
    ASSERT_TRUE(bar.GetRect(1, &pane));
    InflateRect(&pane, -2, -2);
    CPercentProgressBar progress;
    ASSERT_TRUE(progress.Create(bar.m_hWnd, pane, nullptr, WS_CHILD | WS_VISIBLE));
    progress.SetPos(62);
    EXPECT_EQ(progress.GetPercentText(), "62%");
    RedrawWindow(parent.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();

    // The pane frames are drawn in the shadow colour along each part's left edge.
    RECT zone = {};
    ASSERT_TRUE(bar.GetRect(3, &zone));
    HDC dc = GetDC(bar.m_hWnd);
    EXPECT_EQ(GetPixel(dc, zone.left, (zone.top + zone.bottom) / 2), GetSysColor(COLOR_BTNSHADOW));
    ReleaseDC(bar.m_hWnd, dc);

    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent.Window(), "status-bar.bmp", path)) << path;
}
