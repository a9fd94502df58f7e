// Pictures of the main window on the test display: the frame with its menu bar, toolbars, tab strip
// and status bar (screenshots\main-frame.bmp), and the same frame with its "File" menu open
// (screenshots\main-frame-menu.bmp), taken when the menu's modal loop reports that it is idle.
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"

#include <gtest/gtest.h>

using namespace frame_test;

namespace {

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

struct CMenuShot {
    HWND frame = nullptr;
    bool written = false;
    std::string path;
};
CMenuShot g_menuShot;

// Owns the tracked menu: its first idle moment is the menu on the screen.
LRESULT CALLBACK MenuOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !g_menuShot.written) {
        g_menuShot.written = true;
        RECT rect = WindowRect(g_menuShot.frame);
        rect.right += 40;
        rect.bottom += 40;
        kivo_test::WriteScreenRect(rect, "main-frame-menu.bmp", g_menuShot.path);
        EndMenu();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST(MainFrameScreenshot, MainWindowAndItsOpenFileMenu)
{
    ResetFrameSettings();
    ResetFrameLayout();
    GetSettings()->PreviousRunState = 1;
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://www.kivobrowser.example/", 0);
    test.Open("http://news.example/", kOpenNewTab);
    test.Open("http://search.example/", kOpenNewTab);
    SetWindowPos(test.Window(), HWND_TOP, 0, 0, 800, 560, SWP_SHOWWINDOW);
    SetForegroundWindow(test.Window());
    RedrawWindow(test.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    // The tab strip shows the three tabs, the last one active.
    ASSERT_EQ(test.Frame().GetTabOwner()->GetTabCtrl()->GetItemCount(), 3);
    std::string path;
    ASSERT_TRUE(kivo_test::WriteScreenRect(WindowRect(test.Window()), "main-frame.bmp", path));
    std::printf("main window: %s\n", path.c_str());

    WNDCLASSA wc = {};
    wc.lpfnWndProc = MenuOwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivoFrameMenuShotOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, nullptr, WS_POPUP, 0, 0, 1, 1, test.Window(), nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_TRUE(owner);
    g_menuShot = {test.Window(), false, {}};
    HMENU file = GetSubMenu(test.Frame().GetMenuBarMenu(), 0);
    RECT frame = WindowRect(test.Window());
    const int menuBarBottom = frame.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) +
                              GetSystemMetrics(SM_CYFRAME);
    TrackPopupMenu(file, TPM_LEFTALIGN | TPM_TOPALIGN, frame.left + GetSystemMetrics(SM_CXFRAME), menuBarBottom, 0, owner,
                   nullptr);
    DestroyWindow(owner);
    EXPECT_TRUE(g_menuShot.written);
    std::printf("open menu: %s\n", g_menuShot.path.c_str());
}
