// The edit with an icon in its margin.
#include "core/system/Icons.h"
#include "platform/AtlGdi.h"

#include <gtest/gtest.h>

namespace {

TEST(Icons, IconEditMakesRoomForItsIcon)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 24, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 4));
    {
        CIconStatic iconEdit;
        ASSERT_TRUE(iconEdit.SubclassWindow(edit));
        const DWORD margins = static_cast<DWORD>(SendMessageA(edit, EM_GETMARGINS, 0, 0));
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON) + 2 * iconEdit.GetIconPadding() + 3, LOWORD(margins));
        EXPECT_EQ(4, HIWORD(margins));
        HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        ImageList_AddIcon(images, LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
        iconEdit.SetIcon(images, 0);
        UpdateWindow(edit); // paints through the subclass without failing
        DestroyWindow(edit);
        ImageList_Destroy(images);
    }
}

// The icon in the normal look while the edit is enabled, greyed (the system's disabled look) while
// it is not.
TEST(Icons, IconEditGreysItsIconWhileDisabled)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 24, nullptr, nullptr, nullptr, nullptr);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    CClientDC screen(nullptr);
    {
        CBitmap red;
        red.CreateCompatibleBitmap(screen, 16, 16);
        CDC memory;
        memory.CreateCompatibleDC(screen);
        {
            CGdiObjectSelector selected(memory, red);
            CBrush brush;
            brush.CreateSolidBrush(RGB(255, 0, 0));
            RECT all = {0, 0, 16, 16};
            FillRect(memory, &all, brush);
        }
        ImageList_AddMasked(images, red, RGB(0, 255, 0));
    }
    CIconStatic iconEdit;
    ASSERT_TRUE(iconEdit.SubclassWindow(edit));
    iconEdit.SetIcon(images, 0);
    auto centre = [&] {
        CDC memory;
        memory.CreateCompatibleDC(screen);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(screen, 40, 24);
        CGdiObjectSelector selected(memory, bitmap);
        CBrush white;
        white.CreateSolidBrush(RGB(255, 255, 255));
        RECT all = {0, 0, 40, 24};
        FillRect(memory, &all, white);
        iconEdit.DrawIcon(memory);
        return GetPixel(memory, iconEdit.GetIconPadding() + 8, 12);
    };
    EXPECT_EQ(centre(), RGB(255, 0, 0));
    EnableWindow(edit, FALSE);
    EXPECT_NE(centre(), RGB(255, 0, 0));
    DestroyWindow(edit);
    ImageList_Destroy(images);
}

} // namespace
