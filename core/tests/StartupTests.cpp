// The program's start end to end: real KivoBrowser.exe processes under one Wine server, which
// share the single-instance mutex, the windows and the registry.
#include "core/app/MainFrameMessages.h"
#include "core/tests/ProgramWindows.h"
#include "core/tests/RegistryRestore.h"
#include "core/tests/TestProcess.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

using testproc::ActiveTabIs;
using testproc::ActiveTabText;
using testproc::Eventually;
using testproc::FindVisibleWindow;
using testproc::Joined;
using testproc::kStartTimeoutMs;
using testproc::TabsShow;
using testproc::TabTexts;
using testproc::WindowTitle;

constexpr const char* kConfigKey = "software\\KivoBrowser\\Kivo Browser\\Config";

void SetSystemFlags(DWORD flags)
{
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kConfigKey, "SysFlags", REG_DWORD, &flags, sizeof(flags)),
              ERROR_SUCCESS);
}

class Startup : public testing::Test {
protected:
    // The flags the tests set are the browser's own: put back whatever was there, after TearDown has
    // closed every instance that could read them.
    CSavedRegistryValue m_savedFlags{HKEY_CURRENT_USER, kConfigKey, "SysFlags"};

    // No splash unless a test asks for one: it only slows the start down. Nor do the exit question
    // and the donation reminder stop an instance the tests close.
    void SetUp() override { SetSystemFlags(0x8000 | 0x800 | 0x1); }
    void TearDown() override
    {
        for (auto& instance : instances) {
            if (instance->Wait(0) == STILL_ACTIVE) {
                if (HWND window = FindVisibleWindow(instance->Id(), false))
                    PostMessageA(window, WM_CLOSE, 0, 0);
                instance->Wait(5000);
            }
        }
        instances.clear();
    }

    static std::string Program(const char* name = "KivoBrowser.exe") { return testproc::ProgramFolder() + name; }

    // Starts a process that stays; its main window once visible with its tabs and bars.
    HWND StartInstance(const std::string& arguments, const char* program = "KivoBrowser.exe")
    {
        instances.push_back(std::make_unique<testproc::Process>());
        testproc::Process& process = *instances.back();
        if (!process.Start(Program(program), arguments))
            return nullptr;
        HWND window = nullptr;
        if (!Eventually([&] { return (window = FindVisibleWindow(process.Id(), false)) != nullptr; }) ||
            !testproc::FrameContentsBuilt(window))
            return nullptr;
        return window;
    }

    static DWORD RunToEnd(const std::string& arguments) { return testproc::Run(Program(), arguments, kStartTimeoutMs); }

    // Closes the main window of the instance and gives its exit code.
    DWORD Close(size_t index, HWND window)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return instances[index]->Wait(kStartTimeoutMs);
    }

    std::vector<std::unique_ptr<testproc::Process>> instances;
};

bool TitleIs(HWND window, const std::string& title)
{
    return Eventually([&] { return WindowTitle(window) == title; }, testproc::kChangeTimeoutMs);
}

} // namespace

TEST_F(Startup, SecondStartsHandTheirUrlToTheFirstInstance)
{
    HWND first = StartInstance("http://first.example/");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(TabsShow(first, {"http://first.example/"})) << Joined(TabTexts(first));
    EXPECT_TRUE(ActiveTabIs(first, "http://first.example/")) << ActiveTabText(first);

    // The second start finds the first one, hands it the URL, brings it back and ends with 0.
    ShowWindowAsync(first, SW_MINIMIZE);
    ASSERT_TRUE(Eventually([&] { return IsIconic(first) != FALSE; }, 5000));
    EXPECT_EQ(RunToEnd("http://second.example/a?b=c"), 0u);
    EXPECT_TRUE(TabsShow(first, {"http://first.example/", "http://second.example/a?b=c"})) << Joined(TabTexts(first));
    EXPECT_TRUE(ActiveTabIs(first, "http://second.example/a?b=c")) << ActiveTabText(first);
    EXPECT_TRUE(Eventually([&] { return !IsIconic(first); }, 5000));

    // Without a URL the first instance only comes to the front; a start mode that differs from
    // "multi" in letter case is a single start.
    EXPECT_EQ(RunToEnd(""), 0u);
    EXPECT_EQ(RunToEnd("/s MULTI http://third.example/"), 0u);
    const std::vector<std::string> three = {"http://first.example/", "http://second.example/a?b=c",
                                            "http://third.example/"};
    EXPECT_TRUE(TabsShow(first, three)) << Joined(TabTexts(first));
    EXPECT_TRUE(ActiveTabIs(first, "http://third.example/")) << ActiveTabText(first);
    EXPECT_EQ(RunToEnd("-x \"http://quoted.example/x y\""), 0u);
    EXPECT_TRUE(ActiveTabIs(first, "http://third.example/")) << ActiveTabText(first);
    EXPECT_TRUE(TabsShow(first, three, {"http://quoted.example/x y"})) << Joined(TabTexts(first));
    EXPECT_EQ(RunToEnd("\"http://quoted.example/x y\""), 0u);
    std::vector<std::string> four = three;
    four.push_back("http://quoted.example/x y");
    EXPECT_TRUE(TabsShow(first, four)) << Joined(TabTexts(first));
    EXPECT_TRUE(ActiveTabIs(first, "http://quoted.example/x y")) << ActiveTabText(first);

    // Closing the main window ends the process with exit code 1.
    EXPECT_EQ(Close(0, first), 1u);
}

TEST_F(Startup, MultiStartModeStartsAnotherInstance)
{
    HWND first = StartInstance("");
    ASSERT_NE(first, nullptr);
    HWND second = StartInstance("-s multi http://second.example/");
    HWND third = StartInstance("/s multi http://third.example/");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_NE(second, first);
    EXPECT_NE(third, first);
    // Each keeps its URL until its window exists, then opens it.
    EXPECT_TRUE(TabsShow(second, {"http://second.example/"}, {"http://third.example/"})) << Joined(TabTexts(second));
    EXPECT_TRUE(TabsShow(third, {"http://third.example/"})) << Joined(TabTexts(third));
    EXPECT_TRUE(TabsShow(first, {}, {"http://second.example/", "http://third.example/"})) << Joined(TabTexts(first));
    EXPECT_TRUE(TitleIs(first, "Kivo Browser")) << WindowTitle(first);
    EXPECT_EQ(Close(2, third), 1u);
    EXPECT_EQ(Close(1, second), 1u);
    EXPECT_EQ(Close(0, first), 1u);
}

TEST_F(Startup, UrlForAnInstanceThatIsStillStartingIsNotLost)
{
    // The first instance holds the mutex for two seconds before its window exists.
    SetEnvironmentVariableA("KIVO_LATE_START_MS", "2000");
    instances.push_back(std::make_unique<testproc::Process>());
    ASSERT_TRUE(instances[0]->Start(Program("late_instance_host.exe"), ""));
    SetEnvironmentVariableA("KIVO_LATE_START_MS", nullptr);
    ASSERT_TRUE(Eventually([] {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "{CBC28A19-427D-442b-925C-6C539D06565A}");
        if (mutex)
            CloseHandle(mutex);
        return mutex != nullptr;
    }));
    EXPECT_EQ(RunToEnd("http://late.example/"), 0u);
    HWND first = FindVisibleWindow(instances[0]->Id(), false);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(TabsShow(first, {"http://late.example/"})) << Joined(TabTexts(first));
    EXPECT_TRUE(ActiveTabIs(first, "http://late.example/")) << ActiveTabText(first);
    EXPECT_EQ(Close(0, first), 1u);
}

namespace {

// A stand-in for a running instance that is busy when the first question comes: it answers only
// once the starting program has given up on that answer and asked again, then takes the URL.
struct BusyInstance {
    std::atomic<int> questions{0};
    std::string url;
};
BusyInstance* g_busy = nullptr;

LRESULT CALLBACK BusyInstanceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT question = RegisterWindowMessageA("UWM_KivoBrowser_IsMe");
    if (message == question) {
        if (g_busy->questions++ == 0) {
            // Only messages sent to this thread are answered meanwhile (the second question among
            // them); the deadline is far beyond the starting program's time-out.
            const ULONGLONG deadline = GetTickCount64() + 30000;
            MSG msg;
            while (g_busy->questions < 2 && GetTickCount64() < deadline) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
                PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            }
        }
        return question;
    }
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData != 100 || data->cbData == 0)
            return 0;
        g_busy->url.assign(static_cast<const char*>(data->lpData), data->cbData - 1);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST_F(Startup, UrlForABusyInstanceIsNotLost)
{
    // This process holds the single-instance mutex and shows a window of the main window's class.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "{CBC28A19-427D-442b-925C-6C539D06565A}");
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    BusyInstance busy;
    g_busy = &busy;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BusyInstanceProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kMainFrameClassName;
    RegisterClassA(&windowClass);
    auto instance = std::make_unique<testproc::WindowThread>([&] {
        return CreateWindowExA(0, kMainFrameClassName, "busy", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    });
    EXPECT_EQ(RunToEnd("http://busy.example/"), 0u);
    EXPECT_GE(busy.questions, 2) << "the starting program did not ask again";
    instance.reset();
    UnregisterClassA(kMainFrameClassName, windowClass.hInstance);
    g_busy = nullptr;
    CloseHandle(mutex);
    EXPECT_EQ(busy.url, "http://busy.example/");
}

TEST_F(Startup, AccessViolationInTheProgramWritesTheReportAndExitsWithMinusOne)
{
    // A copy of the program with the stand-in crash reporter beside it.
    CScratchFolder scratch("startcrash");
    const std::string folder = scratch.Path();
    ASSERT_TRUE(testproc::CopyProgram("KivoBrowser.exe", folder, "KivoBrowser.exe"));
    ASSERT_TRUE(testproc::CopyProgram("crash_reporter_standin.exe", folder, "XCrashReport.exe"));
    testproc::Process process;
    ASSERT_TRUE(process.Start(folder + "KivoBrowser.exe", "-s multi"));
    ASSERT_TRUE(Eventually([&] { return FindVisibleWindow(process.Id(), false) != nullptr; }));

    // A thread of the running program that starts at an address where nothing is mapped.
    HANDLE remote = CreateRemoteThread(process.Handle(), nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10)),
                                       nullptr, 0, nullptr);
    ASSERT_NE(remote, nullptr);
    CloseHandle(remote);
    EXPECT_EQ(process.Wait(kStartTimeoutMs), static_cast<DWORD>(-1));

    const std::string report = CScratchFolder::ReadBytes((folder + "ERRORLOG.TXT").c_str());
    EXPECT_EQ(report.rfind("KivoBrowser caused an Access Violation (0xc0000005) \r\nin module ", 0), 0u)
        << report.substr(0, 400);
    EXPECT_NE(report.find("\r\nException handler called in DivUzodOze - _tWinMain.\r\n"), std::string::npos);
    EXPECT_NE(report.find("Execute at location 0000000000000010 caused an access violation.\r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\nBytes at CS:RIP:\r\n?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? \r\n"),
              std::string::npos);
    EXPECT_NE(report.find("KivoBrowser.exe\r\nImage Base: "), std::string::npos);
    EXPECT_TRUE(report.ends_with("===== [end of ERRORLOG.TXT] =====\r\n"));
    const std::string log = testproc::WaitForFileText(folder + "XCrashReport.log", "argument: ", 10000);
    EXPECT_NE(log.find("argument: " + folder + "ERRORLOG.TXT\r\n"), std::string::npos) << log;
    for (int i = 0; i < 100 && !DeleteFileA((folder + "XCrashReport.exe").c_str()); ++i)
        Sleep(50);
}

// The program as a user sees it: the menu in the command bar (the window has no menu bar of its
// own), two tabs and the bars, pictured as screenshots\program.bmp.
TEST_F(Startup, ProgramShowsItsTabsAndBars)
{
    HWND first = StartInstance("http://first.example/");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(RunToEnd("http://second.example/"), 0u);
    EXPECT_TRUE(TabsShow(first, {"http://first.example/", "http://second.example/"})) << Joined(TabTexts(first));
    EXPECT_EQ(GetMenu(first), nullptr);
    EXPECT_NE(FindWindowExA(first, nullptr, "ReBarWindow32", nullptr), nullptr);
    RECT frame = {};
    GetWindowRect(first, &frame);
    // Painting is the program's own affair: the picture is taken once its window has painted what
    // it was asked to (the update below reaches its thread as sent paint messages) and answers again.
    RedrawWindow(first, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    WindowTitle(first);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(frame, "program.bmp", path)) << path;
    EXPECT_EQ(Close(0, first), 1u);
}

TEST_F(Startup, SplashShowsUnlessTheSystemFlagsForbidIt)
{
    // The default flags without the default-browser question (0x1000), which would come first.
    SetSystemFlags(0x001C | 0x800 | 0x1);
    instances.push_back(std::make_unique<testproc::Process>());
    ASSERT_TRUE(instances[0]->Start(Program(), ""));
    const DWORD first = instances[0]->Id();
    EXPECT_TRUE(Eventually([&] { return FindVisibleWindow(first, true) != nullptr; }));
    HWND window = nullptr;
    ASSERT_TRUE(Eventually([&] { return (window = FindVisibleWindow(first, false)) != nullptr; }));
    // It closes half a second after the main window shows.
    EXPECT_TRUE(Eventually([&] { return FindVisibleWindow(first, true) == nullptr; }, 10000));
    EXPECT_EQ(Close(0, window), 1u);

    SetSystemFlags(0x001C | 0x8000 | 0x800 | 0x1);
    instances.push_back(std::make_unique<testproc::Process>());
    ASSERT_TRUE(instances[1]->Start(Program(), ""));
    const DWORD second = instances[1]->Id();
    // Watched from the start until a second after the main window shows.
    bool splashSeen = false;
    window = nullptr;
    DWORD shownAt = 0;
    Eventually([&] {
        splashSeen = splashSeen || FindVisibleWindow(second, true) != nullptr;
        if (!window && (window = FindVisibleWindow(second, false)) != nullptr)
            shownAt = GetTickCount();
        return window && GetTickCount() - shownAt > 1000;
    });
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(splashSeen);
    EXPECT_EQ(Close(1, window), 1u);
}
