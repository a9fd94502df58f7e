// The plug-in's window finder against windows of its own, owned by a second thread that runs a
// message loop: a class name must match exactly and the window must answer the question message
// with its number within the reply time-out.
#include "setup-plugin/WindowFinder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <vector>

namespace {

constexpr char kClassName[] = "KivoFinderTestWindow";
// Class names are compared in full: neither a longer name nor a prefix of it counts. (A name that
// differs only in case cannot be tried in one process: class registration ignores case.)
constexpr char kLongerClassName[] = "KivoFinderTestWindow2";
constexpr char kPrefixClassName[] = "KivoFinderTest";
constexpr char kQuestion[] = "UWM_KivoFinderTest_IsMe";
constexpr DWORD kSlowReplyMs = 1000;

enum class Reply { Number, Zero, OtherNumber, Slow };

struct WindowSpec {
    const char* className;
    Reply reply;
};

UINT g_question = 0;

LRESULT CALLBACK FinderTestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (msg == g_question) {
        switch (static_cast<Reply>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
        case Reply::Number:
            return g_question;
        case Reply::Zero:
            return 0;
        case Reply::OtherNumber:
            return g_question + 1;
        case Reply::Slow:
            Sleep(kSlowReplyMs);
            return g_question;
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Windows made in the given order on a thread of their own, destroyed with the object.
class CWindowsOnAnotherThread {
public:
    explicit CWindowsOnAnotherThread(std::vector<WindowSpec> specs) : m_specs(std::move(specs))
    {
        m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId);
        WaitForSingleObject(m_ready, 5000);
    }
    ~CWindowsOnAnotherThread()
    {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
    }
    CWindowsOnAnotherThread(const CWindowsOnAnotherThread&) = delete;
    CWindowsOnAnotherThread& operator=(const CWindowsOnAnotherThread&) = delete;

    HWND operator[](size_t i) const { return m_windows[i]; }

private:
    static DWORD WINAPI ThreadProc(void* param)
    {
        auto* self = static_cast<CWindowsOnAnotherThread*>(param);
        for (const auto& spec : self->m_specs) {
            self->m_windows.push_back(CreateWindowExA(0, spec.className, "finder test", WS_OVERLAPPEDWINDOW, 0, 0,
                                                      100, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                                      reinterpret_cast<void*>(static_cast<LONG_PTR>(spec.reply))));
        }
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists before it is ready
        SetEvent(self->m_ready);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        for (HWND window : self->m_windows)
            DestroyWindow(window);
        return 0;
    }

    std::vector<WindowSpec> m_specs;
    std::vector<HWND> m_windows;
    HANDLE m_ready = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

class WindowFinder : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_question = RegisterWindowMessageA(kQuestion);
        for (const char* name : {kClassName, kLongerClassName, kPrefixClassName}) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = FinderTestWindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = name;
            RegisterClassA(&wc);
        }
    }
};

TEST_F(WindowFinder, FindsTheWindowThatAnswersWithTheMessageNumber)
{
    // The answering window is made first, so the others lie above it in the system's order.
    CWindowsOnAnotherThread windows({{kClassName, Reply::Number},
                                     {kLongerClassName, Reply::Number},
                                     {kPrefixClassName, Reply::Number},
                                     {kClassName, Reply::Zero},
                                     {kClassName, Reply::OtherNumber}});
    ASSERT_NE(windows[0], nullptr);
    CWindowFinder finder(kClassName, kQuestion);
    EXPECT_EQ(finder.GetQuestionMessage(), g_question);
    EXPECT_EQ(finder.Find(), windows[0]);
    EXPECT_EQ(finder.GetFoundWindow(), windows[0]);
}

TEST_F(WindowFinder, PassesOverWindowsThatDoNotAnswerRightOrInTime)
{
    CWindowsOnAnotherThread windows({{kLongerClassName, Reply::Number},
                                     {kPrefixClassName, Reply::Number},
                                     {kClassName, Reply::Zero},
                                     {kClassName, Reply::OtherNumber},
                                     {kClassName, Reply::Slow}});
    ASSERT_NE(windows[4], nullptr);
    CWindowFinder finder(kClassName, kQuestion);
    const DWORD start = GetTickCount();
    EXPECT_EQ(finder.Find(), nullptr);
    EXPECT_EQ(finder.GetFoundWindow(), nullptr);
    // The slow window costs the reply time-out, not its whole second.
    EXPECT_LT(GetTickCount() - start, kSlowReplyMs);
}

TEST_F(WindowFinder, ASecondSearchForgetsTheWindowFoundBefore)
{
    CWindowFinder finder(kClassName, kQuestion);
    {
        CWindowsOnAnotherThread windows({{kClassName, Reply::Number}});
        ASSERT_EQ(finder.Find(), windows[0]);
    }
    EXPECT_EQ(finder.Find(), nullptr);
    EXPECT_EQ(finder.GetFoundWindow(), nullptr);
}

} // namespace
