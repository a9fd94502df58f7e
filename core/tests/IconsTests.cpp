// The edit with an icon in its margin.
#include "core/system/Icons.h"

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

} // namespace
