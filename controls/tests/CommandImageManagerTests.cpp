// The command-icon and command-text registry, with the program's real image lists.
#include "controls/CommandImageManager.h"
#include "controls/ImageListManager.h"
#include "core/library/LifetimeTracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr ToolBarButtonInfo kButtons[] = {
    {0, 33001, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {1, 33002, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {0, 0, 0, BTNS_SEP, 1, 0},
    {8, 33010, TBSTATE_ENABLED, BTNS_BUTTON, 0, 0},
};

class CommandImages : public testing::Test {
protected:
    void RegisterSharedLists()
    {
        ASSERT_TRUE(m_store.RegisterToolBarImages(static_cast<int>(std::size(kButtons)), kButtons,
                                                  m_lists.m_toolBarSmall.Address(),
                                                  m_lists.m_toolBarSmallDisabled.Address(),
                                                  m_lists.m_generalSmall.Address(),
                                                  m_lists.m_generalSmallDisabled.Address(),
                                                  m_lists.m_optionIcons.Address()));
    }

    CImageListManager m_lists;
    CCommandImageManager m_store;
};

TEST_F(CommandImages, RegisteredToolBarCommandsResolveToTheirIcons)
{
    EXPECT_EQ(m_store.GetImageSetCount(), 3u);
    EXPECT_NE(m_store.GetSystemImageList(), nullptr);
    RegisterSharedLists();
    EXPECT_EQ(m_store.GetImageSize().cx, 16);
    EXPECT_EQ(m_store.GetButtonSize().cy, 22);

    CommandImageRef ref = 0;
    ASSERT_TRUE(m_store.GetCommandImage(33010, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(kImageSetToolBar, 8));
    EXPECT_FALSE(m_store.GetCommandImage(0, ref));  // the separator is no command

    m_store.SetCommandIcon(10, 57600, kImageSetGeneral);
    for (UINT command : {33001u, 33002u, 33010u, 57600u}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(m_store.GetCommandImage(command, ref));
        for (bool disabled : {false, true}) {
            HIMAGELIST list = m_store.GetImageSetList(CommandImageSet(ref), disabled);
            ASSERT_NE(list, nullptr);
            HICON icon = ImageList_GetIcon(list, static_cast<int>(CommandImageIndex(ref)), ILD_NORMAL);
            EXPECT_NE(icon, nullptr);
            ::DestroyIcon(icon);
        }
    }
    // Set 2 is the option icons as both lists.
    EXPECT_EQ(m_store.GetImageSetList(kImageSetOptions, false), m_lists.m_optionIcons.Get());
    EXPECT_EQ(m_store.GetImageSetList(kImageSetOptions, true), m_lists.m_optionIcons.Get());
}

TEST_F(CommandImages, ToolBarRegistrationFailsWithoutImageSizes)
{
    HIMAGELIST none = nullptr;
    EXPECT_FALSE(m_store.RegisterToolBarImages(1, kButtons, m_lists.m_toolBarSmall.Address(), &none, &none, &none,
                                               &none));
    CommandImageRef ref = 0;
    EXPECT_FALSE(m_store.GetCommandImage(33001, ref));
}

TEST_F(CommandImages, ImageSetsGrowToTheirIndex)
{
    HIMAGELIST list = m_lists.m_optionIcons.Get();
    EXPECT_TRUE(m_store.SetImageSet(7, &list, &list));
    EXPECT_EQ(m_store.GetImageSetCount(), 8u);
    EXPECT_EQ(m_store.GetImageSetList(5, false), nullptr);
    EXPECT_EQ(m_store.GetImageSetList(7, true), list);
    EXPECT_EQ(m_store.GetImageSetList(30, false), nullptr);

    EXPECT_TRUE(m_store.SetCommandIcons(kImageSetPlugins, m_lists.m_toolBarSmall, m_lists.m_toolBarLargeHot));
    EXPECT_EQ(m_store.GetImageSetList(kImageSetPlugins, false), m_lists.m_toolBarSmall.Get());
    EXPECT_EQ(m_store.GetImageSetList(kImageSetPlugins, true), m_lists.m_toolBarLargeHot.Get());
    EXPECT_TRUE(m_store.SetCommandIcons(40, m_lists.m_goButton, nullptr));  // others' handles stay put
    EXPECT_EQ(m_store.GetImageSetList(kImageSetPlugins, true), m_lists.m_toolBarLargeHot.Get());
}

TEST_F(CommandImages, SharingAndNamesKeepEntriesAsTheyWere)
{
    m_store.AddCommandImage(3, 100, 1);
    m_store.AddCommandImage(9, 100, 0);  // an existing entry stays
    CommandImageRef ref = 0;
    ASSERT_TRUE(m_store.GetCommandImage(100, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 3));

    EXPECT_FALSE(m_store.ShareCommandImage(999, 200));
    EXPECT_FALSE(m_store.GetCommandImage(200, ref));
    EXPECT_FALSE(m_store.ShareCommandImageByName(999, "&Tools"));
    EXPECT_FALSE(m_store.GetNamedImage("&Tools", ref));

    EXPECT_TRUE(m_store.ShareCommandImage(100, 200));
    ASSERT_TRUE(m_store.GetCommandImage(200, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 3));

    EXPECT_TRUE(m_store.ShareCommandImageByName(100, "&Tools"));
    m_store.TranslateImageNames([](const char* text) { return TStdStr<char>("[") + text + "]"; });
    ASSERT_TRUE(m_store.GetNamedImage("&Tools", ref));
    ASSERT_TRUE(m_store.GetNamedImage("[&Tools]", ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 3));
}

TEST_F(CommandImages, TemporaryAndSubmenuIcons)
{
    m_store.AddCommandImage(4, 100, 1);
    EXPECT_FALSE(m_store.SetTemporaryCommandImage(300, 999));
    EXPECT_TRUE(m_store.SetTemporaryCommandImage(300, 100));
    m_store.SetTemporaryCommandImageRef(100, MakeCommandImageRef(5, 7));
    CommandImageRef ref = 0;
    ASSERT_TRUE(m_store.GetCommandImage(300, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 4));
    ASSERT_TRUE(m_store.GetCommandImage(100, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(5, 7));  // shown while the menu is up
    m_store.ClearTemporaryCommandImages();
    EXPECT_FALSE(m_store.GetCommandImage(300, ref));
    ASSERT_TRUE(m_store.GetCommandImage(100, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 4));

    HMENU menu = ::CreatePopupMenu();
    m_store.SetSubMenuImage(menu, MakeCommandImageRef(1, 28));
    ASSERT_TRUE(m_store.GetSubMenuImage(menu, ref));
    EXPECT_EQ(ref, MakeCommandImageRef(1, 28));
    m_store.RemoveSubMenuImage(menu);
    EXPECT_FALSE(m_store.GetSubMenuImage(menu, ref));
    ::DestroyMenu(menu);
}

TEST_F(CommandImages, CommandTextsAreTheTooltipRegistry)
{
    EXPECT_FALSE(m_store.HasCommandText(44000));
    EXPECT_TRUE(m_store.GetCommandText(44000).empty());  // an empty entry now exists
    m_store.SetCommandText(44000, "http://example.org/");
    EXPECT_TRUE(m_store.HasCommandText(44000));
    m_store.GetCommandText(44000) += "page";
    EXPECT_EQ(m_store.GetCommandText(44000), "http://example.org/page");
}

COLORREF DrawAndReadMiddle(const CCommandImageManager& store, CommandImageRef ref, bool disabled)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 32, 32);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 32, 32};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    store.DrawCommandImage(dc, ref, POINT{8, 8}, disabled);
    const COLORREF middle = ::GetPixel(dc, 16, 16);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return middle;
}

TEST_F(CommandImages, DrawsNothingUntilTheToolBarSetIsComplete)
{
    const CommandImageRef star = MakeCommandImageRef(kImageSetGeneral, 28);  // yellow in the middle
    HIMAGELIST normal = m_lists.m_toolBarSmall, disabled = nullptr;
    HIMAGELIST general = m_lists.m_generalSmall, generalDisabled = m_lists.m_generalSmallDisabled;
    m_store.SetImageSet(kImageSetToolBar, &normal, &disabled);
    m_store.SetImageSet(kImageSetGeneral, &general, &generalDisabled);
    EXPECT_EQ(DrawAndReadMiddle(m_store, star, false), RGB(255, 255, 255));

    disabled = m_lists.m_toolBarSmallDisabled;  // the set points at the handle, not its value
    const COLORREF drawn = DrawAndReadMiddle(m_store, star, false);
    EXPECT_NE(drawn, RGB(255, 255, 255));
    const COLORREF grey = DrawAndReadMiddle(m_store, star, true);
    EXPECT_NE(grey, RGB(255, 255, 255));
    EXPECT_LE(std::abs(GetRValue(grey) - GetBValue(grey)), 16);  // the disabled twin is grey
    EXPECT_NE(grey, drawn);
}

TEST(CommandImageStore, TornDownBeforeTheImageLists)
{
    CCommandImageManager* store = GetCommandImageManager();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(GetCommandImageManager(), store);
    ASSERT_NE(GetImageListManager(), nullptr);
    const auto& trackers = GetLifetimeTrackerList();
    auto position = [&](unsigned priority) {
        return std::find_if(trackers.begin(), trackers.end(),
                            [&](const CLifetimeTracker* t) { return t->GetPriority() == priority; });
    };
    ASSERT_NE(position(kPriorityCommandImageManager), trackers.end());
    ASSERT_NE(position(kPriorityImageListManager), trackers.end());
    EXPECT_GT(kPriorityCommandImageManager, kPriorityImageListManager);
}

}  // namespace
