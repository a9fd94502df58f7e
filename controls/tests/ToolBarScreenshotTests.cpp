// A picture of two toolbars in rebar bands, the second on a row of its own with a title, shown on
// the test display, copied from the screen and written to toolbars.bmp beside the bin folder of the
// test program.
#include "controls/ToolBarHelpers.h"

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

std::string OutputPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/"));  // bin
    folder.erase(folder.find_last_of("\\/"));  // the build folder
    return folder + "\\toolbars.bmp";
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

    HDC window = GetDC(parent);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, kWidth, kHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = kWidth;
    info.biHeight = kHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (kWidth * 3 + 3) & ~3;
    std::string bytes(static_cast<size_t>(stride) * kHeight, '\0');
    ASSERT_EQ(GetDIBits(memory, bitmap, 0, kHeight, bytes.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              kHeight);
    // The button images bring colours of their own beside the face colour and the edges.
    std::set<std::string> colours;
    for (size_t at = 0; at + 3 <= bytes.size(); at += 3)
        colours.insert(bytes.substr(at, 3));
    EXPECT_GE(colours.size(), 6u);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bytes.size());
    const std::string path = OutputPath();
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info, sizeof(info), 1, out);
    fwrite(bytes.data(), 1, bytes.size(), out);
    EXPECT_EQ(fclose(out), 0);

    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(parent, window);
    DestroyWindow(parent);
}
