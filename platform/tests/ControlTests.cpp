// Control and GDI wrappers over real controls in a hidden window.
#include <gtest/gtest.h>
#include "platform/AtlCtrls.h"
#include "platform/AtlGdi.h"

namespace {

class CHost : public CWindowImpl<CHost, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>>
{
public:
    BEGIN_MSG_MAP(CHost)
    END_MSG_MAP()
};

TEST(PlatformControls, WrappersDriveRealControls)
{
    CHost host;
    ASSERT_TRUE(host.Create(nullptr, CRect(0, 0, 400, 300)));

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(CTabCtrl::GetWndClassName(), host, CRect(0, 0, 300, 30), nullptr, WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(0, tabs.AddItem("one"));
    EXPECT_EQ(1, tabs.AddItem("two"));
    EXPECT_EQ(0, tabs.InsertItem(0, "zero", -1, 42));
    EXPECT_EQ(3, tabs.GetItemCount());
    tabs.SetCurSel(2);
    EXPECT_EQ(2, tabs.GetCurSel());
    TCITEMA item = {};
    char text[16] = {};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ASSERT_TRUE(tabs.GetItem(0, &item));
    EXPECT_STREQ("zero", text);
    EXPECT_EQ(42, item.lParam);

    CListViewCtrl list;
    ASSERT_TRUE(list.Create(CListViewCtrl::GetWndClassName(), host, CRect(0, 40, 300, 200), nullptr,
                            WS_CHILD | WS_VISIBLE | LVS_REPORT));
    EXPECT_EQ(0, list.InsertColumn(0, "Name", LVCFMT_LEFT, 100));
    EXPECT_EQ(1, list.InsertColumn(1, "Value", LVCFMT_LEFT, 100));
    EXPECT_EQ(0, list.InsertItem(0, "a"));
    EXPECT_EQ(0, list.AddItem(0, 1, "b"));
    EXPECT_TRUE(list.SetItemData(0, 77));
    EXPECT_EQ(77u, list.GetItemData(0));
    list.GetItemText(0, 1, text, sizeof(text));
    EXPECT_STREQ("b", text);
    EXPECT_TRUE(list.SelectItem(0));
    EXPECT_EQ(0, list.GetSelectedIndex());

    CImageListManaged images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
    EXPECT_EQ(0, images.AddIcon(::LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_EQ(1, images.GetImageCount());
    int cx = 0, cy = 0;
    images.GetIconSize(cx, cy);
    EXPECT_EQ(16, cx);

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 10, "&Open"));
    CMenu sub;
    sub.CreatePopupMenu();
    sub.AppendMenu(MF_STRING, 11, "Inner");
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, sub.Detach(), "Sub"));
    EXPECT_EQ(2, menu.GetMenuItemCount());
    EXPECT_EQ(11u, menu.GetSubMenu(1).GetMenuItemID(0));
    menu.GetMenuString(10, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("&Open", text);
    CMenuItemInfo info;
    info.fMask = MIIM_ID;
    EXPECT_TRUE(menu.GetMenuItemInfo(0, TRUE, &info));
    EXPECT_EQ(10u, info.wID);
    host.DestroyWindow();
}

TEST(PlatformGdi, ScopesSelectAndRestore)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    {
        CClientDC screen(nullptr);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 8, 8));
    }
    const HGDIOBJ originalBitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    const HGDIOBJ originalBrush = ::GetCurrentObject(dc, OBJ_BRUSH);
    CBrush red;
    ASSERT_TRUE(red.CreateSolidBrush(RGB(255, 0, 0)));
    {
        CGdiObjectSelector selectBitmap(dc, bitmap);
        CGdiObjectSelector selectBrush(dc, red);
        EXPECT_EQ(static_cast<HGDIOBJ>(red), ::GetCurrentObject(dc, OBJ_BRUSH));
        CRect rc(0, 0, 8, 8);
        dc.FillRect(rc, red);
        EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(3, 3));
        dc.FillSolidRect(0, 0, 2, 2, RGB(0, 0, 255));
        EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(1, 1));
        {
            CSaveDC saved(dc);
            dc.SetTextColor(RGB(1, 2, 3));
            dc.SelectStockBrush(BLACK_BRUSH);
        }
        EXPECT_EQ(static_cast<HGDIOBJ>(red), ::GetCurrentObject(dc, OBJ_BRUSH));
        EXPECT_NE(RGB(1, 2, 3), dc.GetTextColor());
    }
    EXPECT_EQ(originalBitmap, ::GetCurrentObject(dc, OBJ_BITMAP));
    EXPECT_EQ(originalBrush, ::GetCurrentObject(dc, OBJ_BRUSH));

    // Owning holders free their handle; handles only wrap.
    HBRUSH raw = nullptr;
    {
        CBrush owned;
        raw = owned.CreateSolidBrush(RGB(1, 1, 1));
        CBrushHandle view(raw);
        CBrushHandle copy = view;
        EXPECT_EQ(raw, static_cast<HBRUSH>(copy));
        CBrush moved(std::move(owned));
        EXPECT_TRUE(owned.IsNull());
        EXPECT_EQ(raw, static_cast<HBRUSH>(moved));
    }
    LOGBRUSH lb = {};
    EXPECT_EQ(0, ::GetObjectA(raw, sizeof(lb), &lb)); // deleted exactly once, by the moved-to holder
}

TEST(PlatformGdi, MemoryDcCopiesItsBufferAtTheEnd)
{
    CDC target;
    target.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    {
        CClientDC screen(nullptr);
        bitmap.CreateCompatibleBitmap(screen, 20, 20);
    }
    CGdiObjectSelector select(target, bitmap);
    target.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 0));
    {
        CMemoryDC buffer(target, CRect(5, 5, 15, 15));
        buffer.FillSolidRect(5, 5, 10, 10, RGB(0, 255, 0));
        EXPECT_EQ(RGB(0, 0, 0), target.GetPixel(8, 8)); // nothing reaches the target before the end
    }
    EXPECT_EQ(RGB(0, 255, 0), target.GetPixel(8, 8));
    EXPECT_EQ(RGB(0, 0, 0), target.GetPixel(2, 2));
}

TEST(PlatformTypes, RectanglesPointsAndSizes)
{
    CRect rc(10, 20, 30, 60);
    EXPECT_EQ(CSize(20, 40), rc.Size());
    EXPECT_EQ(CPoint(20, 40), rc.CenterPoint());
    rc.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(11, 22, 27, 56), rc);
    rc.MoveToXY(0, 0);
    EXPECT_EQ(CRect(0, 0, 16, 34), rc);
    EXPECT_TRUE(rc.PtInRect(CPoint(15, 33)));
    EXPECT_FALSE(rc.PtInRect(CPoint(16, 0)));
    EXPECT_EQ(CRect(5, 5, 16, 20), rc & CRect(5, 5, 50, 20));
    const CPoint fromLParam(MAKELPARAM(-5, 7));
    EXPECT_EQ(CPoint(-5, 7), fromLParam);
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(CRect(0, 0, 10, 10), flipped);
}

} // namespace
