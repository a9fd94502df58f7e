// A picture of every look: each strip shows a selected closable tab with its close button, a hot
// tab, a highlighted tab and the scroll buttons. The window is shown on the test display, copied
// from the screen and written to screenshots\tab-looks.bmp in the build folder.
#include "TabTestParent.h"
#include "controls/ButtonTabCtrl.h"
#include "controls/DotNet2005TabCtrl.h"
#include "controls/DotNetTabCtrl.h"
#include "controls/FlyingTabCtrl.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

constexpr int kWidth = 460;
constexpr int kRowHeight = 32;
constexpr int kStripHeight = 24;

template <class TLook>
void Populate(TLook& strip, HWND parent, int row)
{
    const DWORD style = kTabStyleScroll | kTabStyleCloseButton | kTabStyleHotTrack | kTabStyleToolTips |
                        kTabStyleBoldSelected | (row == 4 ? DWORD{kTabStyleBottom} : DWORD{0});
    ASSERT_TRUE(strip.Create(parent, RECT{4, row * kRowHeight + 4, kWidth - 4, row * kRowHeight + 4 + kStripHeight},
                             style, 100 + row));
    const char* texts[] = {"Start page", "Selected", "Hot tab", "Highlighted"};
    for (const char* text : texts) {
        auto item = strip.CreateNewItem();
        item->SetText(text);
        strip.InsertItem(-1, std::move(item));
    }
    strip.GetItem(3)->SetHighlighted(true);
    strip.SetCurSel(1);
    RECT hot;
    strip.GetItemRect(2, hot);
    SendMessageA(strip.m_hWnd, WM_MOUSEMOVE, 0, MousePoint((hot.left + hot.right) / 2, 12));
    // Paint at once: the pointer is elsewhere, so a leave notice is on its way.
    UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetHotItem(), 2);
}


}  // namespace

TEST(TabLookScreenshot, EveryLookDrawsSelectedHotAndClosableTabs)
{
    CTabTestParent parent(kWidth, 5 * kRowHeight + 4, true);
    // Away from the corner where other test programs' windows appear.
    SetWindowPos(parent.Window(), HWND_TOPMOST, 420, 380, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    CDotNetTabCtrl dotNet;
    CDotNet2005TabCtrl dotNet2005;
    CButtonTabCtrl button;
    CDotNetButtonTabCtrl dotNetButton;
    CFlyingTabCtrl flying;
    Populate(dotNet, parent.Window(), 0);
    Populate(dotNet2005, parent.Window(), 1);
    Populate(button, parent.Window(), 2);
    Populate(dotNetButton, parent.Window(), 3);
    Populate(flying, parent.Window(), 4);
    GdiFlush();

    const int height = 5 * kRowHeight + 4;
    HDC window = GetDC(parent.Window());
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, kWidth, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kWidth, height, window, 0, 0, SRCCOPY);

    SelectObject(memory, old);
    kivo_test::CPixels pixels;
    ASSERT_TRUE(kivo_test::ReadPixels(memory, bitmap, kWidth, height, pixels));
    // Each strip shows more than a plain background: tab edges, text and buttons.
    for (int row = 0; row < 5; ++row) {
        std::set<COLORREF> colours;
        for (int x = 4; x < kWidth - 4; ++x)
            for (int y = row * kRowHeight + 4; y < row * kRowHeight + 4 + kStripHeight; ++y)
                colours.insert(pixels.At(x, y));
        EXPECT_GE(colours.size(), 3u) << "row " << row;
    }
    const std::string path = kivo_test::ScreenshotPath("tab-looks.bmp");
    EXPECT_TRUE(kivo_test::WriteBitmap(path, pixels)) << path;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(parent.Window(), window);
}
