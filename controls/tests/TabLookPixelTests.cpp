// Every tab look paints its strip its own way: each strip prints itself (WM_PRINTCLIENT) into a
// 24-bit memory bitmap, and pixels of the background, the selected tab and an unselected tab are
// compared with the colours that look uses.
#include "TabTestParent.h"
#include "controls/ButtonTabCtrl.h"
#include "controls/DotNet2005TabCtrl.h"
#include "controls/DotNetTabCtrl.h"
#include "controls/FlyingTabCtrl.h"
#include "controls/TabLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 24;

// A strip's picture as it prints itself, with its item rectangles.
struct CStripPicture {
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * kWidth + x]; }
    std::vector<COLORREF> pixels;
    RECT items[3] = {};
};

template <class TLook>
CStripPicture Print(TLook& strip, HWND parent)
{
    CStripPicture picture;
    EXPECT_TRUE(strip.Create(parent, RECT{0, 0, kWidth, kHeight}, kTabStyleScroll, 100));
    for (const char* text : {"First page", "Selected page", "Third page"}) {
        auto item = strip.CreateNewItem();
        item->SetText(text);
        strip.InsertItem(-1, std::move(item));
    }
    strip.SetCurSel(1, false);
    for (int i = 0; i < 3; ++i)
        strip.GetItemRect(i, picture.items[i]);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(strip.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    picture.pixels.resize(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.pixels[static_cast<size_t>(y) * kWidth + x] = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    strip.DestroyWindow();
    return picture;
}

std::string Hex(COLORREF colour)
{
    char text[16] = {};
    snprintf(text, sizeof(text), "%06lx", static_cast<unsigned long>(colour));
    return text;
}

// The lightened face of the DotNet looks' background (more than 8 bits per pixel).
COLORREF DotNetBackground()
{
    return CDotNetColours::For(CDotNetColours::ScreenBitsPerPixel(), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_GRAYTEXT))
        .background;
}

} // namespace

TEST(TabLookPixels, EachLookPaintsItsBackgroundAndItsSelectedTabInItsOwnColours)
{
    CTabTestParent parent(kWidth, 200, false);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF lightFace = DotNetBackground();
    ASSERT_NE(face, lightFace) << "the test needs a screen where the DotNet background is not the plain face";

    {
        SCOPED_TRACE("DotNet: flat tabs on the lightened face, the selected one a face-coloured box");
        CDotNetTabCtrl strip;
        const CStripPicture p = Print(strip, parent.Window());
        const RECT& selected = p.items[1];
        const RECT& first = p.items[0];
        EXPECT_EQ(Hex(p.At(first.left + 3, first.top + 4)), Hex(lightFace));
        EXPECT_EQ(Hex(p.At(selected.left + 2, selected.top + 4)), Hex(face));
        EXPECT_EQ(Hex(p.At(selected.right - 4, selected.top + 4)), Hex(face));
        // The selected tab's top edge is the highlight line.
        EXPECT_EQ(Hex(p.At(selected.left + 8, selected.top + 2)), Hex(GetSysColor(COLOR_BTNHIGHLIGHT)));
    }
    {
        SCOPED_TRACE("DotNet 2005: the selected tab slants up from its left corner");
        CDotNet2005TabCtrl strip;
        const CStripPicture p = Print(strip, parent.Window());
        const RECT& selected = p.items[1];
        ASSERT_GE(selected.right - selected.left, 27);
        // Left of the slant the strip's background shows; right of it the tab's face.
        EXPECT_EQ(Hex(p.At(selected.left + 2, selected.top + 5)), Hex(lightFace));
        EXPECT_EQ(Hex(p.At(selected.right - 5, selected.top + 5)), Hex(face));
        // The outline is drawn in the highlight colour.
        EXPECT_EQ(Hex(p.At(selected.left + 23, selected.top + 2)), Hex(highlight));
    }
    {
        SCOPED_TRACE("DotNet buttons: on the plain face, the selected tab a window-coloured box framed in the highlight");
        CDotNetButtonTabCtrl strip;
        const CStripPicture p = Print(strip, parent.Window());
        const RECT& selected = p.items[1];
        const RECT& first = p.items[0];
        EXPECT_EQ(Hex(p.At(first.left + 3, first.top + 5)), Hex(face));
        EXPECT_EQ(Hex(p.At(selected.left, selected.top + 3)), Hex(highlight));
        EXPECT_EQ(Hex(p.At(selected.left + 2, selected.top + 5)), Hex(window));
    }
    {
        SCOPED_TRACE("Buttons: push buttons on the plain face, the selected one pushed in");
        CButtonTabCtrl strip;
        const CStripPicture p = Print(strip, parent.Window());
        const RECT& selected = p.items[1];
        const RECT& first = p.items[0];
        EXPECT_EQ(Hex(p.At(first.left + 3, first.top + 6)), Hex(face));
        // A raised button's top-left edge is light, a pushed one's dark.
        const COLORREF raisedEdge = p.At(first.left + 1, first.top + 4);
        const COLORREF pushedEdge = p.At(selected.left + 1, selected.top + 4);
        EXPECT_NE(Hex(raisedEdge), Hex(pushedEdge));
        EXPECT_LT(GetRValue(pushedEdge) + GetGValue(pushedEdge) + GetBValue(pushedEdge),
                  GetRValue(raisedEdge) + GetGValue(raisedEdge) + GetBValue(raisedEdge));
    }
}
