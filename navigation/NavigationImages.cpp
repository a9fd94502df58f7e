#include "navigation/NavigationImages.h"

#include "platform/AtlGdi.h"

namespace {

constexpr int kSize = 16;

void DrawImage(HDC dc, int index)
{
    CBrush back(CreateSolidBrush(RGB(255, 0, 255)));
    RECT all = {0, 0, kSize, kSize};
    FillRect(dc, &all, back);
    CPen pen(CreatePen(PS_SOLID, 1, RGB(64, 64, 96)));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    COLORREF fill = RGB(255, 255, 255);
    switch (index) {
    case 0:
    case 1:
        fill = RGB(240, 200, 90);
        break;
    case 5:
        fill = RGB(200, 240, 200);
        break;
    case 6:
    case 7:
        fill = RGB(220, 230, 255);
        break;
    case 8:
        fill = RGB(255, 255, 120);
        break;
    default:
        break;
    }
    CBrush brush(CreateSolidBrush(fill));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (index <= 1) {
        Rectangle(dc, 1, 4, 15, 14);
        Rectangle(dc, 1, 2, 7, 5);
    } else if (index >= 6) {
        if (index == 6)
            Rectangle(dc, 6, 5, 15, 15);
        Ellipse(dc, 1, 1, 11, 11);
        MoveToEx(dc, 9, 9, nullptr);
        LineTo(dc, 15, 15);
    } else {
        Rectangle(dc, 3, 1, 13, 15);
        for (int y = 4; y < 13; y += 3) {
            MoveToEx(dc, 5, y, nullptr);
            LineTo(dc, 11, y);
        }
        if (index == 3) {
            MoveToEx(dc, 3, 14, nullptr);
            LineTo(dc, 8, 9);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

}  // namespace

namespace {

HIMAGELIST CreateDrawnList(int count, int (*picture)(int))
{
    HIMAGELIST list = ImageList_Create(kSize, kSize, ILC_COLOR32 | ILC_MASK, count, 4);
    if (!list)
        return nullptr;
    HDC screen = GetDC(nullptr);
    CDC dc(CreateCompatibleDC(screen));
    for (int i = 0; i < count; ++i) {
        CBitmap bitmap(CreateCompatibleBitmap(screen, kSize, kSize));
        HGDIOBJ old = SelectObject(dc, bitmap);
        DrawImage(dc, picture(i));
        SelectObject(dc, old);
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
    }
    ReleaseDC(nullptr, screen);
    return list;
}

}  // namespace

HIMAGELIST CreateNavigationImageList(int count)
{
    return CreateDrawnList(count, [](int index) { return index; });
}

HIMAGELIST CreateSearchImageList()
{
    return CreateDrawnList(3, [](int index) { return index == 2 ? 6 : 6 + 1 + index; });
}
