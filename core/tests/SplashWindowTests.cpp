#include "core/library/AppWindowInfo.h"
#include "core/app/BrowserApp.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/SplashWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDeadlineMs = 20000;

// Waits until the condition holds, answering this thread's messages meanwhile; false when the
// generous deadline passed first.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kDeadlineMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return true;
}

// Runs the work on a thread of its own and tells whether it ended before the deadline: the
// operations under test must not wait for something that never comes.
template <typename Work>
bool EndsBeforeTheDeadline(Work work)
{
    struct Call {
        static DWORD WINAPI Run(void* work)
        {
            (*static_cast<Work*>(work))();
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, &Call::Run, &work, 0, nullptr);
    if (!thread)
        return false;
    const bool ended = WaitForSingleObject(thread, kDeadlineMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateThread(thread, 1); // only after the test has failed: it must not hang the whole run
    CloseHandle(thread);
    return ended;
}

// A splash whose window cannot be created: its thread ends without ever becoming ready. It waits
// in CreateSplashWindow until the test lets it fail, and keeps its thread for the test to wait on.
class FailingSplash : public CSplashWindow {
public:
    FailingSplash() = default;
    ~FailingSplash() override
    {
        CloseHandle(m_release);
        CloseHandle(m_entered);
        if (m_splashThread)
            CloseHandle(m_splashThread);
    }
    FailingSplash(const FailingSplash&) = delete;
    FailingSplash& operator=(const FailingSplash&) = delete;

    // Waits until the splash thread is inside CreateSplashWindow.
    bool WaitEntered() const { return WaitForSingleObject(m_entered, kDeadlineMs) == WAIT_OBJECT_0; }
    void Release() const { SetEvent(m_release); }
    // Waits until the splash thread has ended.
    bool WaitEnded() const { return WaitForSingleObject(m_splashThread, kDeadlineMs) == WAIT_OBJECT_0; }

protected:
    HWND CreateSplashWindow() override
    {
        m_splashThread = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
        SetEvent(m_entered);
        WaitForSingleObject(m_release, kDeadlineMs);
        return nullptr;
    }

private:
    HANDLE m_entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // owned
    HANDLE m_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // owned
    std::atomic<HANDLE> m_splashThread{nullptr};                     // owned, set by the splash thread
};

} // namespace

TEST(SplashWindow, ShowsOnItsOwnThreadAndClosesAfterTheDelay)
{
    HWND window = nullptr;
    {
        CSplashWindow splash;
        splash.StartThread();
        // The window is created on the splash thread; wait for it to be shown.
        ASSERT_TRUE(WaitUntil([&] { return splash.IsReady(); }));
        window = splash.GetSplashWindow();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
        EXPECT_TRUE(IsWindowVisible(window));
        const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
        // A delay far longer than the test: CloseAfter hands it to the splash thread and returns.
        splash.CloseAfter(600000);
        splash.CloseAfter(0); // a second call does nothing
        EXPECT_TRUE(IsWindow(window)) << "still waiting for its timer";
        // The timer's message closes the window; the destructor returns once it is gone.
        PostMessageA(window, WM_TIMER, CSplashWindow::kCloseTimerId, 0);
    }
    EXPECT_FALSE(IsWindow(window));

    // A short delay closes the window by itself.
    CSplashWindow splash;
    splash.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return splash.IsReady(); }));
    window = splash.GetSplashWindow();
    splash.CloseAfter(50);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
}

TEST(SplashWindow, CloseDoesNotWaitForAWindowThatNeverCame)
{
    // The splash thread fails while CloseAfter waits for its window.
    {
        FailingSplash splash;
        splash.StartThread();
        ASSERT_TRUE(splash.WaitEntered());
        EXPECT_TRUE(EndsBeforeTheDeadline([&] {
            splash.Release();
            splash.CloseAfter(500);
        }));
        EXPECT_FALSE(splash.IsReady());
    }

    // The thread has already ended when CloseAfter looks: only the handle is closed.
    FailingSplash ended;
    ended.StartThread();
    ASSERT_TRUE(ended.WaitEntered());
    ended.Release();
    ASSERT_TRUE(ended.WaitEnded());
    EXPECT_TRUE(EndsBeforeTheDeadline([&] { ended.CloseAfter(500); }));
    EXPECT_FALSE(ended.IsReady());
}

TEST(SplashWindow, WithoutAThreadNothingWaits)
{
    EXPECT_TRUE(EndsBeforeTheDeadline([] {
        CSplashWindow splash;
        splash.CloseAfter(500);
        EXPECT_EQ(splash.GetSplashWindow(), nullptr);
    }));
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
