#include "core/library/AppWindowInfo.h"
#include "core/app/BrowserApp.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/SplashWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A splash whose window cannot be created: its thread ends without ever becoming ready.
class FailingSplash : public CSplashWindow {
protected:
    HWND CreateSplashWindow() override
    {
        Sleep(100);
        return nullptr;
    }
};

} // namespace

TEST(SplashWindow, ShowsOnItsOwnThreadAndClosesAfterTheDelay)
{
    HWND window = nullptr;
    {
        CSplashWindow splash;
        splash.StartThread();
        // The window is created on the splash thread; wait for it to be shown.
        for (int i = 0; i < 200 && !splash.IsReady(); ++i)
            Sleep(10);
        ASSERT_TRUE(splash.IsReady());
        window = splash.GetSplashWindow();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
        EXPECT_TRUE(IsWindowVisible(window));
        const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
        const DWORD start = GetTickCount();
        splash.CloseAfter(200);
        splash.CloseAfter(200); // a second call does nothing
        EXPECT_LT(GetTickCount() - start, 1000u);
        EXPECT_TRUE(IsWindow(window)); // still waiting for its timer
    }
    // The destructor returns once the window is gone.
    EXPECT_FALSE(IsWindow(window));
}

TEST(SplashWindow, CloseDoesNotWaitForAWindowThatNeverCame)
{
    const DWORD start = GetTickCount();
    {
        FailingSplash splash;
        splash.StartThread();
        splash.CloseAfter(500);
        EXPECT_FALSE(splash.IsReady());
    }
    EXPECT_LT(GetTickCount() - start, 2000u);

    // The thread has already ended when CloseAfter looks: only the handle is closed.
    FailingSplash ended;
    ended.StartThread();
    Sleep(300);
    const DWORD closing = GetTickCount();
    ended.CloseAfter(500);
    EXPECT_LT(GetTickCount() - closing, 200u);
}

TEST(SplashWindow, WithoutAThreadNothingWaits)
{
    const DWORD start = GetTickCount();
    {
        CSplashWindow splash;
        splash.CloseAfter(500);
        EXPECT_EQ(splash.GetSplashWindow(), nullptr);
    }
    EXPECT_LT(GetTickCount() - start, 200u);
}

namespace {

struct OpenRequest {
    std::string url;
    LPARAM flags;
};
std::vector<OpenRequest> g_openRequests;

LRESULT CALLBACK RecordingFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kOpenUrlMessage) {
        g_openRequests.push_back({reinterpret_cast<const char*>(wParam), lParam});
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST(BrowserApp, OpenUrlKeepsTheUrlUntilTheMainWindowExists)
{
    CBrowserApp app;
    EXPECT_TRUE(app.OpenUrl(""));
    EXPECT_TRUE(app.OpenUrl(nullptr));
    EXPECT_EQ(app.GetPendingUrl(), "");
    EXPECT_TRUE(app.OpenUrl("http://pending.example/"));
    EXPECT_EQ(app.GetPendingUrl(), "http://pending.example/");
    EXPECT_EQ(app.TakePendingUrl(), "http://pending.example/");
    EXPECT_EQ(app.GetPendingUrl(), "");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingFrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KivoRecordingFrame";
    RegisterClassA(&windowClass);
    HWND frame = CreateWindowExA(0, "KivoRecordingFrame", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    ASSERT_NE(frame, nullptr);
    GetAppWindowInfo()->SetMainWindow(frame);
    g_openRequests.clear();
    EXPECT_TRUE(app.OpenUrl("http://now.example/"));
    EXPECT_TRUE(app.OpenUrl(""));
    ASSERT_EQ(g_openRequests.size(), 1u);
    EXPECT_EQ(g_openRequests[0].url, "http://now.example/");
    EXPECT_EQ(g_openRequests[0].flags, 1); // a new tab
    EXPECT_EQ(app.GetPendingUrl(), "");
    GetAppWindowInfo()->SetMainWindow(nullptr);
    DestroyWindow(frame);
}

TEST(BrowserApp, MultiStartKeepsTheCommandLineUrl)
{
    struct Case {
        const char* commandLine;
        const char* pendingUrl;
    };
    const Case cases[] = {
        {"kivo.exe -s multi http://a.example/", "http://a.example/"},
        {"kivo.exe /s multi http://b.example/", "http://b.example/"},
        {"\"C:\\Kivo Browser\\kivo.exe\" -startmode multi \"http://c.example/x y\"", "http://c.example/x y"},
        {"kivo.exe -s multi", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        CBrowserApp app;
        ASSERT_TRUE(app.InitInstanceFrom(c.commandLine));
        EXPECT_EQ(app.GetPendingUrl(), c.pendingUrl);
        HKEY root = nullptr;
        TStdStr<char> path;
        app.GetRegistryPath(root, path);
        EXPECT_EQ(root, HKEY_CURRENT_USER);
        EXPECT_EQ(path, "software\\KivoBrowser\\Kivo Browser");
    }
}
