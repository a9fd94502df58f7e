// The picture from a resource: loading a GIF of the test program's resources, its size in pixels,
// drawing it upright, tiling it clipped to a rectangle, and a missing resource drawing nothing.
#include "controls/tests/Screenshot.h"
#include "frame/dialogs/ResourcePicture.h"
#include "platform/AtlGdi.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// A 24-bit bitmap of the given size filled grey, drawn into by `draw`, read back.
template <class Draw>
kivo_test::CPixels DrawInto(int width, int height, Draw draw)
{
    CClientDC screen(nullptr);
    CDC memory;
    memory.CreateCompatibleDC(screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(screen, width, height);
    kivo_test::CPixels pixels;
    {
        CGdiObjectSelector selected(memory, bitmap);
        CBrush grey;
        grey.CreateSolidBrush(kGrey);
        RECT all = {0, 0, width, height};
        ::FillRect(memory, &all, grey);
        draw(static_cast<HDC>(memory));
    }
    kivo_test::ReadPixels(memory, bitmap, width, height, pixels);
    return pixels;
}

TEST(ResourcePicture, TileRanges)
{
    const CTileRange columns = ComputeTileRange(0, 25, 10);
    EXPECT_EQ(columns.first, 0);
    EXPECT_EQ(columns.last, 2);
    const CTileRange rows = ComputeTileRange(0, 15, 10);
    EXPECT_EQ(rows.first, 0);
    EXPECT_EQ(rows.last, 1);
    const CTileRange none = ComputeTileRange(0, 15, 0);
    EXPECT_GT(none.first, none.last);
}

TEST(ResourcePicture, HimetricToPixels)
{
    EXPECT_EQ(HimetricToPixels(2540, 96), 96);
    EXPECT_EQ(HimetricToPixels(1270, 96), 48);
    EXPECT_EQ(HimetricToPixels(2540, 120), 120);
}

TEST(ResourcePicture, AMissingResourceGivesFalseAndDrawsNothing)
{
    CResourcePicture picture;
    EXPECT_FALSE(picture.LoadFromResource("NO_SUCH_PICTURE", "GIF"));
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(picture.GetPixelSize().cx, 0);
    const kivo_test::CPixels pixels = DrawInto(20, 20, [&](HDC dc) {
        picture.Render(dc, RECT{0, 0, 20, 20});
        picture.RenderTiled(dc, RECT{0, 0, 20, 20});
    });
    EXPECT_EQ(pixels.At(10, 10), kGrey);
}

TEST(ResourcePicture, LoadsAGifAndDrawsItUpright)
{
    CResourcePicture picture;
    ASSERT_TRUE(picture.LoadFromResource("TEST_PICTURE", "GIF"));
    CClientDC screen(nullptr);
    const int dpiX = screen.GetDeviceCaps(LOGPIXELSX);
    const int dpiY = screen.GetDeviceCaps(LOGPIXELSY);
    const SIZE himetric = picture.GetHimetricSize();
    const SIZE pixels = picture.GetPixelSize();
    EXPECT_EQ(pixels.cx, HimetricToPixels(himetric.cx, dpiX));
    EXPECT_EQ(pixels.cy, HimetricToPixels(himetric.cy, dpiY));
    if (dpiX == 96 && dpiY == 96) {
        EXPECT_EQ(pixels.cx, 96);
        EXPECT_EQ(pixels.cy, 48);
    }
    const kivo_test::CPixels drawn = DrawInto(96, 48, [&](HDC dc) { picture.Render(dc, RECT{0, 0, 96, 48}); });
    EXPECT_EQ(drawn.At(48, 5), kRed);
    EXPECT_EQ(drawn.At(48, 42), kBlue);
    EXPECT_TRUE(kivo_test::WriteBitmap(kivo_test::ScreenshotPath("resource_picture.bmp"), drawn));
}

TEST(ResourcePicture, TilesClippedToTheRectangle)
{
    CResourcePicture picture;
    ASSERT_TRUE(picture.LoadFromResource("TEST_TILE", "GIF"));
    const SIZE tile = picture.GetPixelSize();
    ASSERT_EQ(tile.cx, 10);
    ASSERT_EQ(tile.cy, 10);
    const kivo_test::CPixels drawn = DrawInto(40, 30, [&](HDC dc) { picture.RenderTiled(dc, RECT{0, 0, 25, 15}); });
    // Each tile is green over magenta; the third column is cut at x = 25, the second row at y = 15.
    EXPECT_EQ(drawn.At(2, 2), kGreen);
    EXPECT_EQ(drawn.At(2, 7), kMagenta);
    EXPECT_EQ(drawn.At(12, 2), kGreen);
    EXPECT_EQ(drawn.At(22, 7), kMagenta);
    EXPECT_EQ(drawn.At(22, 12), kGreen);
    EXPECT_EQ(drawn.At(27, 2), kGrey);
    EXPECT_EQ(drawn.At(5, 17), kGrey);
}

}  // namespace
