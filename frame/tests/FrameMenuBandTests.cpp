// The menu bar's band: at the window's default size every top-level item of the menu is inside the
// rebar and not cut off, with the default layout and with each stored layout a user may come with
// (the earlier one that put the system toolbar beside the menu, the menu moved behind other bars,
// the system toolbar hidden, the menu itself hidden). The pictures: the frame at the default size
// (screenshots\main-frame-default-size.bmp) and narrower than its menu (main-frame-narrow.bmp).
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "controls/ToolBarHelpers.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace frame_test;

namespace {

// The size the program gives its window on a first run.
constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 400;

void ShowAtDefaultSize(HWND frame)
{
    SetWindowPos(frame, nullptr, 0, 0, kDefaultWidth, kDefaultHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
}

RECT ChildRectIn(HWND child, HWND parent)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

UINT BandStyle(HWND rebar, int index)
{
    REBARBANDINFOA band = {sizeof(band)};
    band.fMask = RBBIM_STYLE;
    SendMessageA(rebar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    return band.fStyle;
}

void SetBandStyle(HWND rebar, int index, UINT style)
{
    REBARBANDINFOA band = {sizeof(band)};
    band.fMask = RBBIM_STYLE;
    band.fStyle = style;
    SendMessageA(rebar, RB_SETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
}

int IndexOf(HWND rebar, UINT id)
{
    return static_cast<int>(SendMessageA(rebar, RB_IDTOINDEX, id, 0));
}

// Every top-level item of the menu is a button of the command bar that lies wholly inside the bar's
// window, and the bar's window wholly inside the rebar's client area.
void ExpectWholeMenuShown(CMainFrame& frame)
{
    const HWND rebar = frame.GetReBar();
    const HWND bar = frame.GetCommandBar().m_hWnd;
    ASSERT_TRUE(IsWindowVisible(bar));
    RECT rebarClient = {};
    GetClientRect(rebar, &rebarClient);
    const RECT barRect = ChildRectIn(bar, rebar);
    EXPECT_GE(barRect.left, rebarClient.left);
    EXPECT_LE(barRect.right, rebarClient.right);
    EXPECT_LE(barRect.bottom, rebarClient.bottom);
    const int items = GetMenuItemCount(frame.GetMenuBarMenu());
    ASSERT_GT(items, 0);
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), items);
    for (int i = 0; i < items; ++i) {
        SCOPED_TRACE("menu item " + std::to_string(i));
        RECT button = {};
        ASSERT_TRUE(SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_FALSE(IsRectEmpty(&button));
        EXPECT_GE(button.left, 0);
        EXPECT_LE(button.right, barRect.right - barRect.left);
        EXPECT_LE(button.bottom, barRect.bottom - barRect.top);
    }
    // The band heads the rebar on a row of its own.
    EXPECT_EQ(IndexOf(rebar, ID_BAND_COMMAND_BAR), 0);
    EXPECT_TRUE(BandStyle(rebar, 1) & RBBS_BREAK);
    RECT row = {};
    SendMessageA(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&row));
    RECT last = {};
    SendMessageA(bar, TB_GETITEMRECT, items - 1, reinterpret_cast<LPARAM>(&last));
    EXPECT_GE(row.right - row.left, last.right);
    // Its ideal width is the menu's, so that a narrower window shows the chevron.
    REBARBANDINFOA band = {sizeof(band)};
    band.fMask = RBBIM_IDEALSIZE | RBBIM_STYLE;
    SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    EXPECT_GE(static_cast<LONG>(band.cxIdeal), last.right);
    EXPECT_TRUE(band.fStyle & RBBS_USECHEVRON);
}

} // namespace

TEST(FrameMenuBand, TheWholeMenuShowsAtTheDefaultSize)
{
    ResetFrameSettings();
    ResetFrameLayout();
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://www.kivobrowser.example/", 0);
    ShowAtDefaultSize(test.Window());
    ExpectWholeMenuShown(test.Frame());
    // The system toolbar comes next, on the second row.
    EXPECT_EQ(IndexOf(test.Frame().GetReBar(), ID_BAND_SYSTEM_TOOLBAR), 1);

    RedrawWindow(test.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    RECT frame = {};
    GetWindowRect(test.Window(), &frame);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(frame, "main-frame-default-size.bmp", path)) << path;

    // Narrower than the menu: the band shrinks below its ideal width, and the chevron offers the rest.
    SetWindowPos(test.Window(), nullptr, 0, 0, 260, kDefaultHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    const HWND rebar = test.Frame().GetReBar();
    RECT band = {};
    SendMessageA(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&band));
    REBARBANDINFOA info = {sizeof(info)};
    info.fMask = RBBIM_IDEALSIZE;
    SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_LT(band.right - band.left, static_cast<LONG>(info.cxIdeal));
    // So does the system toolbar below it, which never reaches past the rebar.
    const int system = IndexOf(rebar, ID_BAND_SYSTEM_TOOLBAR);
    SendMessageA(rebar, RB_GETRECT, system, reinterpret_cast<LPARAM>(&band));
    RECT rebarClient = {};
    GetClientRect(rebar, &rebarClient);
    EXPECT_LE(band.right, rebarClient.right);
    EXPECT_LE(ChildRectIn(GetReBarBandChild(rebar, ID_BAND_SYSTEM_TOOLBAR), rebar).right, rebarClient.right);
    RedrawWindow(test.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    GetWindowRect(test.Window(), &frame);
    EXPECT_TRUE(kivo_test::WriteScreenRect(frame, "main-frame-narrow.bmp", path)) << path;
}

// Each case arranges the bands of one frame, which then saves its layout; the next frame loads it.
TEST(FrameMenuBand, TheWholeMenuShowsAfterAStoredLayoutIsApplied)
{
    struct Case {
        const char* name;
        std::function<void(HWND rebar)> arrange;
    };
    const Case cases[] = {
        {"the system toolbar first and the menu beside it on one row, squeezed",
         [](HWND rebar) {
             SendMessageA(rebar, RB_MOVEBAND, IndexOf(rebar, ID_BAND_SYSTEM_TOOLBAR), 0);
             SetBandStyle(rebar, 1, BandStyle(rebar, 1) & ~RBBS_BREAK);
             REBARBANDINFOA band = {sizeof(band)};
             band.fMask = RBBIM_SIZE;
             band.cx = 40;
             SendMessageA(rebar, RB_SETBANDINFOA, 1, reinterpret_cast<LPARAM>(&band));
         }},
        {"the menu moved behind the search bar on its row",
         [](HWND rebar) {
             const int search = IndexOf(rebar, ID_BAND_SEARCH_BAR);
             SendMessageA(rebar, RB_MOVEBAND, IndexOf(rebar, ID_BAND_COMMAND_BAR), search);
             const int menu = IndexOf(rebar, ID_BAND_COMMAND_BAR);
             SetBandStyle(rebar, menu, BandStyle(rebar, menu) & ~RBBS_BREAK);
         }},
        {"the menu hidden (a damaged value: no command hides it)",
         [](HWND rebar) { ShowReBarBand(rebar, ID_BAND_COMMAND_BAR, false); }},
        {"the system toolbar hidden, the address bar on the menu's row",
         [](HWND rebar) {
             ShowReBarBand(rebar, ID_BAND_SYSTEM_TOOLBAR, false);
             const int address = IndexOf(rebar, ID_BAND_ADDRESS_BAR);
             SetBandStyle(rebar, address, BandStyle(rebar, address) & ~RBBS_BREAK);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFrameSettings();
        ResetFrameLayout();
        {
            CTestFrame test;
            const HWND rebar = test.Frame().GetReBar();
            c.arrange(rebar);
            ASSERT_TRUE(SaveReBarBandLayout(rebar, kFrameSettingsSection));
        }
        ResetFrameSettings();
        CTestFrame test;
        test.RunAfterCreate();
        test.Open("http://www.kivobrowser.example/", 0);
        ShowAtDefaultSize(test.Window());
        ExpectWholeMenuShown(test.Frame());
        // The rest of the stored layout stays as the user left it.
        const HWND rebar = test.Frame().GetReBar();
        if (!IsReBarBandVisible(rebar, ID_BAND_SYSTEM_TOOLBAR)) {
            EXPECT_TRUE(BandStyle(rebar, IndexOf(rebar, ID_BAND_ADDRESS_BAR)) & RBBS_BREAK);
        }
    }
    ResetFrameLayout();
}
