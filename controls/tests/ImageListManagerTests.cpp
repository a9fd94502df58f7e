// The shared image lists built from the program's image resources (linked into this test).
#include "controls/ImageListManager.h"

#include <gtest/gtest.h>

namespace {

struct SlotCase {
    EImageListSlot slot;
    int size;
    int images;
};

constexpr SlotCase kSlots[] = {
    {kSlotToolBarLarge, 24, 25},     {kSlotToolBarLargeDisabled, 24, 25}, {kSlotToolBarLargeHot, 24, 25},
    {kSlotGeneralSmall, 16, 56},     {kSlotGeneralSmallDisabled, 16, 56}, {kSlotToolBarSmall, 16, 25},
    {kSlotToolBarSmallDisabled, 16, 25}, {kSlotOptionIcons, 16, 12},   {kSlotGoButton, 16, 1},
    {kSlotGoButtonSecond, 16, 1},    {kSlotActionIcons, 16, 20},          {kSlotExpandStrip, 16, 2},
    {kSlotCheckStateStrip, 16, 2},   {kSlotPageAnalyzer, 16, 9},
};

TEST(ImageListManager, EverySlotHoldsItsImagesAndIcons)
{
    CImageListManager manager;
    for (const SlotCase& c : kSlots) {
        SCOPED_TRACE(c.slot);
        HIMAGELIST list = manager.GetList(c.slot);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(list), c.images);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        EXPECT_EQ(cx, c.size);
        EXPECT_EQ(cy, c.size);
        EXPECT_EQ(manager.GetIcon(c.slot), nullptr);
    }
    for (EImageListSlot icon : {kSlotSiteIcon, kSlotGeneralIcon19, kSlotSecureIcon, kSlotInsecureIcon,
                                kSlotPopupBlockedIcon}) {
        SCOPED_TRACE(icon);
        EXPECT_NE(manager.GetIcon(icon), nullptr);
        EXPECT_EQ(manager.GetList(icon), nullptr);
    }
    EXPECT_EQ(manager.GetList(static_cast<EImageListSlot>(kImageListSlotCount)), nullptr);
}

// Draws image index of the list over a red square and reads back a corner and the middle.
void DrawOverRed(HIMAGELIST list, int index, int size, COLORREF& corner, COLORREF& middle)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(dc, &all, red);
    ::DeleteObject(red);
    ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
    corner = ::GetPixel(dc, 0, 0);
    middle = ::GetPixel(dc, size / 2, size / 2);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST(ImageListManager, MagentaIsTransparentInTheToolBarImages)
{
    CImageListManager manager;
    // Image 2 (stop) is a round sign: its corners are background, its middle is drawn.
    for (EImageListSlot slot : {kSlotToolBarSmall, kSlotToolBarLarge, kSlotToolBarLargeHot}) {
        SCOPED_TRACE(slot);
        int size = 0, height = 0;
        ImageList_GetIconSize(manager.GetList(slot), &size, &height);
        COLORREF corner = 0, middle = 0;
        DrawOverRed(manager.GetList(slot), 2, size, corner, middle);
        EXPECT_EQ(corner, RGB(255, 0, 0));
        EXPECT_NE(middle, RGB(255, 0, 0));
        EXPECT_NE(middle, RGB(255, 0, 255));
    }
}

TEST(ImageListManager, ModuleWithoutTheImagesLeavesEmptyListsAndNoIcons)
{
    CImageListManager manager(::GetModuleHandleA("kernel32.dll"));
    for (const SlotCase& c : kSlots) {
        SCOPED_TRACE(c.slot);
        ASSERT_NE(manager.GetList(c.slot), nullptr);
        EXPECT_EQ(ImageList_GetImageCount(manager.GetList(c.slot)), 0);
    }
    EXPECT_EQ(manager.GetIcon(kSlotSiteIcon), nullptr);
    EXPECT_EQ(manager.GetIcon(kSlotGeneralIcon19), nullptr);
    EXPECT_EQ(manager.GetIcon(kSlotPopupBlockedIcon), nullptr);
    EXPECT_EQ(manager.GetActionIcon(0), nullptr);
}

TEST(ImageListManager, ActionIconIndexTable)
{
    const int keys[] = {0, 1, 5, 4, 2, 9, 12, 3, 11, 8, 6, 7, 13, 14, 16, 17, 61440, 61441, 61442};
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(ActionIconIndex(keys[i]), i + 1) << keys[i];
    for (int unknown : {10, 15, 18, 22, 61439, 61443, -1})
        EXPECT_EQ(ActionIconIndex(unknown), 0) << unknown;

    CImageListManager manager;
    HICON icon = manager.GetActionIcon(10);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(::DestroyIcon(icon));
}

TEST(ImageListManager, ListHandleDestroysOnlyWhatItHolds)
{
    CImageListHandle list;
    EXPECT_FALSE(list.Destroy());
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
    HIMAGELIST first = list.Get();
    ASSERT_TRUE(list.Create(24, 24, ILC_COLOR24 | ILC_MASK, 1, 1));  // the first list goes
    EXPECT_NE(list.Get(), nullptr);
    EXPECT_FALSE(ImageList_GetImageCount(first) > 0);
    EXPECT_TRUE(list.Destroy());
    EXPECT_EQ(list.Get(), nullptr);
}

TEST(ImageListManager, SharedListsAreCreatedOnce)
{
    CImageListManager* manager = GetImageListManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(GetImageListManager(), manager);
    EXPECT_EQ(ImageList_GetImageCount(manager->GetList(kSlotGeneralSmall)), 56);
}

}  // namespace
