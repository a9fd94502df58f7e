// The entry list of a site group: titles (an "about:blank" or empty one shows the address),
// addresses and favicons from the display requests, check boxes from the group's bits, and the
// copy command, which leaves the clipboard alone without a selection.
#include "controls/widgets/SiteGroupEntryList.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "core/system/Clipboard.h"

#include <gtest/gtest.h>

namespace {

class CListParent : public CWindowImpl<CListParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoSiteGroupListParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CListParent)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

std::string ItemText(HWND list, int item, int subItem)
{
    char buffer[256] = {};
    LVITEMA request = {};
    request.iSubItem = subItem;
    request.pszText = buffer;
    request.cchTextMax = sizeof(buffer);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return buffer;
}

}  // namespace

TEST(SiteGroupEntryList, ShowsTheEntriesAndCopiesTheFirstSelectedAddress)
{
    CListParent parent;
    ASSERT_TRUE(parent.Create(nullptr, RECT{skin_test::kTestOriginX, skin_test::kTestOriginY, skin_test::kTestOriginX + 400,
                                            skin_test::kTestOriginY + 200}));
    CSiteGroupEntryList list;
    ASSERT_TRUE(list.Create(parent, RECT{0, 0, 400, 200}, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS));
    list.Init(nullptr,
              {{"News", "http://news.example/"}, {"about:blank", "http://blank.example/"}, {"", "http://untitled.example/"}},
              {true, false, true}, [](const char* url) { return std::string(url).find("news") != std::string::npos ? 3 : 1; });
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ItemText(list, 0, 0), "News");
    EXPECT_EQ(ItemText(list, 1, 0), "http://blank.example/");
    EXPECT_EQ(ItemText(list, 2, 0), "http://untitled.example/");
    EXPECT_EQ(ItemText(list, 0, 1), "http://news.example/");
    CListViewHelper helper(list);
    EXPECT_TRUE(helper.IsChecked(0));
    EXPECT_FALSE(helper.IsChecked(1));
    EXPECT_TRUE(helper.IsChecked(2));
    LVITEMA image = {};
    image.mask = LVIF_IMAGE;
    image.iItem = 0;
    helper.GetItem(image);
    EXPECT_EQ(image.iImage, 3);

    ASSERT_TRUE(OpenClipboard(parent));
    EmptyClipboard();
    CopyTextToClipboard("untouched", 9);
    CloseClipboard();
    SendMessageA(list, WM_COMMAND, ID_SITE_GROUP_COPY_URL, 0);
    EXPECT_EQ(std::string(GetClipboardText()), "untouched");
    for (int i : {2, 1}) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
    }
    SendMessageA(list, WM_COMMAND, ID_SITE_GROUP_COPY_URL, 0);
    EXPECT_EQ(std::string(GetClipboardText()), "http://blank.example/");
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_SITE_GROUP_LIST_MENU));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(ID_SITE_GROUP_COPY_URL));
    DestroyMenu(menu);
}
