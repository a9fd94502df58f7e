// The shared drawing routines into a 24-bit memory DC: where the arrows fall, text widths, the
// two colours of etched text and one-colour silhouettes, and the DC left as it was.
#include "controls/MenuDrawing.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A white 60-by-30 bitmap in a memory DC.
class CCanvas {
public:
    CCanvas()
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, 60, 30);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        RECT all = {0, 0, 60, 30};
        FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~CCanvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    HDC Dc() const { return m_dc; }
    std::set<COLORREF> ColorsIn(const RECT& rect) const
    {
        std::set<COLORREF> colors;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                colors.insert(GetPixel(m_dc, x, y));
        return colors;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kArrow = RGB(200, 0, 0);

}  // namespace

TEST(MenuDrawing, DropDownArrowIsACentredDownwardTriangle)
{
    CCanvas canvas;
    const HGDIOBJ penBefore = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    DrawDropDownArrow(canvas.Dc(), RECT{0, 0, 21, 21}, 4, kArrow);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), penBefore);  // the selection came back
    // Top edge from x 6 to 14 at y 8, tip at (10, 12).
    struct Case {
        int x, y;
        COLORREF expected;
    };
    const Case cases[] = {
        {6, 8, kArrow}, {14, 8, kArrow}, {10, 12, kArrow}, {10, 10, kArrow},
        {6, 11, kWhite}, {14, 11, kWhite}, {10, 7, kWhite}, {10, 14, kWhite},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPixel(canvas.Dc(), c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(MenuDrawing, TextWidthIsZeroForNoTextAndTheExtentOtherwise)
{
    CCanvas canvas;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(CalcTextWidth(canvas.Dc(), font, ""), 0);
    EXPECT_EQ(CalcTextWidth(canvas.Dc(), font, nullptr), 0);
    const HGDIOBJ fontBefore = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    SelectObject(canvas.Dc(), font);
    SIZE size = {};
    GetTextExtentPoint32A(canvas.Dc(), "Favorites", 9, &size);
    SelectObject(canvas.Dc(), fontBefore);
    EXPECT_EQ(CalcTextWidth(canvas.Dc(), font, "Favorites"), size.cx);
    EXPECT_GT(size.cx, 0);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), fontBefore);
}

TEST(MenuDrawing, SortArrowsEtchedTextAndSilhouettesUseTheirColours)
{
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shade = GetSysColor(COLOR_BTNSHADOW);
    {
        for (bool up : {true, false}) {
            CCanvas canvas;
            const RECT all = {0, 0, 60, 30};
            FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            DrawSortArrow(canvas.Dc(), RECT{0, 0, 10, 30}, up, 9);
            const std::set<COLORREF> colors = canvas.ColorsIn({10 + kSortArrowGap, 10, 10 + kSortArrowGap + 9, 20});
            EXPECT_TRUE(colors.count(shade)) << "shaded edge " << up;
            EXPECT_TRUE(colors.count(light)) << "lit edge " << up;
            EXPECT_EQ(canvas.ColorsIn({0, 0, 10 + kSortArrowGap, 30}).size(), 1u);  // nothing left of the gap
        }
    }
    {
        CCanvas canvas;
        const RECT all = {0, 0, 60, 30};
        FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const COLORREF textBefore = GetTextColor(canvas.Dc());
        DrawEtchedText(canvas.Dc(), "Wg", RECT{0, 0, 60, 30}, DT_SINGLELINE | DT_VCENTER);
        const std::set<COLORREF> colors = canvas.ColorsIn({0, 0, 60, 30});
        EXPECT_TRUE(colors.count(light));
        EXPECT_TRUE(colors.count(shade));
        EXPECT_EQ(GetTextColor(canvas.Dc()), textBefore);
    }
    {
        CCanvas canvas;
        HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
        ASSERT_NE(icon, nullptr);
        DrawIconSilhouette(canvas.Dc(), icon, POINT{0, 0}, SIZE{32, 32}, kArrow);
        const std::set<COLORREF> colors = canvas.ColorsIn({0, 0, 30, 30});
        EXPECT_TRUE(colors.count(kArrow));
        for (COLORREF color : colors)
            EXPECT_TRUE(color == kArrow || color == kWhite) << std::hex << color;
    }
}
