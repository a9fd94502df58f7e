// The start-pages virtual list under a parent that reflects its notifications.
#include "core/app/StartPagesListView.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CReflectingParent : public CWindowImpl<CReflectingParent, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
public:
    BEGIN_MSG_MAP(CReflectingParent)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

TEST(StartPagesListView, ShowsTheStartPagesThroughDisplayRequests)
{
    std::vector<CStdString> sites = {"http://one.example/", "http://two.example/"};
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, CRect(0, 0, 300, 200)));
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 300,
                                200, parent, reinterpret_cast<HMENU>(16612), nullptr, nullptr);
    ASSERT_NE(nullptr, list);
    CStartPagesListView view(&sites);
    ASSERT_TRUE(view.SubclassWindow(list));
    EXPECT_EQ(0, view.GetListViewColumnCount());

    view.Init(nullptr, [](const char* url) { return std::string(url).find("two") != std::string::npos ? 7 : 3; });
    EXPECT_EQ(1, view.GetListViewColumnCount());
    view.Init(nullptr, nullptr);
    EXPECT_EQ(1, view.GetListViewColumnCount()) << "the column is inserted once";
    view.Init(nullptr, [](const char* url) { return std::string(url).find("two") != std::string::npos ? 7 : 3; });

    view.Refresh();
    EXPECT_EQ(2, view.GetItemCount());
    char text[64] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("http://two.example/", text);

    // The display request itself, as the list sends it to its parent.
    NMLVDISPINFOA info = {};
    info.hdr = {list, 16612, static_cast<UINT>(LVN_GETDISPINFOA)};
    info.item.mask = LVIF_TEXT | LVIF_IMAGE;
    info.item.iItem = 1;
    info.item.pszText = text;
    info.item.cchTextMax = 8;
    parent.SendMessage(WM_NOTIFY, 16612, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("http://", text) << "cut to the buffer";
    EXPECT_EQ(7, info.item.iImage);
    info.item.iItem = 5;
    info.item.iImage = 99;
    parent.SendMessage(WM_NOTIFY, 16612, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(99, info.item.iImage) << "a row beyond the list is left alone";

    sites.clear();
    view.Refresh();
    EXPECT_EQ(0, view.GetItemCount());
    parent.DestroyWindow();
}

} // namespace
