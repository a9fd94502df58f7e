// A picture of two toolbars in rebar bands, the second on a row of its own with a title, shown on
// the test display, copied from the screen and written to screenshots\toolbars.bmp in the build
// folder.
#include "controls/ToolBarHelpers.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 70;

constexpr ToolBarButtonInfo kTable[] = {
    {STD_FILENEW, 301, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {STD_FILEOPEN, 302, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {STD_FILESAVE, 303, 0, BTNS_BUTTON, 1, 0},
    {STD_PRINT, 304, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, 1, 0},
    {STD_FIND, 305, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeToolBar(HWND reBar, const std::vector<int>& ids)
{
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 200, 24, reBar, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(bar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    std::vector<TBBUTTON> buttons;
    BuildToolBarButtons(buttons, ids, 5, kTable);
    SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}


}  // namespace

TEST(ToolBarScreenshot, ToolBarsStandInTheirBands)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivoToolBarShotParent";
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "bars", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                  420, 600, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    SetWindowPos(parent, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND reBar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT |
                                     RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                                 0, 0, kWidth, kHeight, parent, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(AddReBarBand(reBar, MakeToolBar(reBar, {}), 0, nullptr, nullptr, false, 0, false));
    ASSERT_TRUE(AddReBarBand(reBar, MakeToolBar(reBar, {305, 0, 302}), 0, "Links", nullptr, true, 0, false));
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();

    std::string path;
    kivo_test::CPixels pixels;
    ASSERT_TRUE(kivo_test::WriteWindowScreenshot(parent, "toolbars.bmp", path, &pixels)) << path;
    // The button images bring colours of their own beside the face colour and the edges.
    std::set<std::string> colours;
    for (size_t at = 0; at + 3 <= pixels.bytes.size(); at += 3)
        colours.insert(pixels.bytes.substr(at, 3));
    EXPECT_GE(colours.size(), 6u);
    DestroyWindow(parent);
}
