#include "core/app/WindowFinder.h"
#include "core/library/Z4KApp.h"
#include "core/tests/TestProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Windows of a class private to this test process, so that windows of other processes never match.
std::string PrivateClassName()
{
    return "KivoFinderTest" + std::to_string(GetCurrentProcessId());
}

// How a test window answers the question message. A late one answers only once the test has
// seen what the finder made of the silence (or after a deadline far beyond any time-out).
enum class Answer { WithTheMessage, WithZero, Late };
HANDLE g_answerNow = nullptr;  // owned by the test that uses Answer::Late

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT question = RegisterWindowMessageA("UWM_KivoFinderTest_IsMe");
    if (message == question) {
        const auto answer = static_cast<Answer>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (answer == Answer::Late)
            WaitForSingleObject(g_answerNow, 30000);
        return answer == Answer::WithZero ? 0 : question;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTestWindow(Answer answer)
{
    static const std::string className = PrivateClassName();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, className.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(answer));
    return window;
}

class RecordingApp : public CZ4KApp {
public:
    bool OpenUrl(const char* url) override
    {
        urls.push_back(url);
        return true;
    }
    std::vector<std::string> urls;
};

} // namespace

TEST(WindowFinder, FindsOnlyTheWindowThatAnswersWithTheMessage)
{
    CWindowFinder finder(PrivateClassName().c_str(), "UWM_KivoFinderTest_IsMe");
    EXPECT_EQ(finder.Find(), nullptr);
    HWND silent = CreateTestWindow(Answer::WithZero);
    EXPECT_EQ(finder.Find(), nullptr);
    HWND answering = CreateTestWindow(Answer::WithTheMessage);
    EXPECT_EQ(finder.Find(), answering);
    EXPECT_EQ(finder.GetFoundWindow(), answering);
    DestroyWindow(answering);
    EXPECT_EQ(finder.Find(), nullptr);
    EXPECT_EQ(finder.GetFoundWindow(), nullptr);
    DestroyWindow(silent);

    // The class name is compared exactly.
    CWindowFinder otherCase(("kivo" + PrivateClassName().substr(4)).c_str(), "UWM_KivoFinderTest_IsMe");
    answering = CreateTestWindow(Answer::WithTheMessage);
    EXPECT_EQ(otherCase.Find(), nullptr);
    DestroyWindow(answering);
}

TEST(WindowFinder, AWindowThatAnswersTooLateIsNotFound)
{
    g_answerNow = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(g_answerNow, nullptr);
    {
        testproc::WindowThread busy([] { return CreateTestWindow(Answer::Late); });
        CWindowFinder finder(PrivateClassName().c_str(), "UWM_KivoFinderTest_IsMe");
        EXPECT_EQ(finder.Find(), nullptr) << "the finder waited for the answer instead of giving up";
        SetEvent(g_answerNow);
    }
    CloseHandle(g_answerNow);
    g_answerNow = nullptr;
}

TEST(SingleInstanceFinder, AnswersTheQuestionAndTakesOnlyProtocolData)
{
    RecordingApp app;
    CSingleInstanceFinder finder;
    LRESULT result = -1;
    ASSERT_TRUE(finder.ProcessWindowMessage(nullptr, finder.GetQuestionMessage(), 0, 0, result));
    EXPECT_EQ(result, static_cast<LRESULT>(RegisterWindowMessageA("UWM_KivoBrowser_IsMe")));
    EXPECT_FALSE(finder.ProcessWindowMessage(nullptr, WM_PAINT, 0, 0, result));

    struct Case {
        ULONG_PTR id;
        std::string bytes; // the data block, exactly cbData bytes
        bool nullData;
        bool handled;
        const char* url; // the URL opened, null when none
    };
    const std::string longest(CSingleInstanceFinder::kMaxUrlBytes - 1, 'u');
    const Case cases[] = {
        {100, std::string("http://example.org/\0", 20), false, true, "http://example.org/"},
        // No terminator within cbData: the text ends with the data, nothing beyond is read.
        {100, "http://no-zero/", false, true, "http://no-zero/"},
        {100, std::string("http://a/\0junk", 14), false, true, "http://a/"},
        {100, std::string("\0", 1), false, true, ""},
        {100, longest + '\0', false, true, longest.c_str()},
        {100, longest + "uu", false, false, nullptr},
        {100, "http://a/\x01\x02", false, false, nullptr},
        {99, std::string("http://example.org/\0", 20), false, false, nullptr},
        {100, "", false, false, nullptr},
        {100, "abc", true, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        app.urls.clear();
        // The data sits at the very end of its buffer, so a read past cbData would see other bytes.
        std::vector<char> buffer(c.bytes.begin(), c.bytes.end());
        buffer.push_back('X');
        COPYDATASTRUCT data = {c.id, static_cast<DWORD>(c.bytes.size()), c.nullData ? nullptr : buffer.data()};
        result = -1;
        EXPECT_EQ(finder.ProcessWindowMessage(nullptr, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), result) != FALSE,
                  c.handled);
        EXPECT_EQ(result, c.handled ? 1 : 0);
        if (c.url) {
            ASSERT_EQ(app.urls.size(), 1u);
            EXPECT_EQ(app.urls[0], c.url);
        } else {
            EXPECT_TRUE(app.urls.empty());
        }
    }
    EXPECT_FALSE(finder.OnCopyData(nullptr, nullptr));
}

TEST(SingleInstanceFinder, StartProcessGivesTheProcessHandle)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    CHandle process = StartProcess(self, "core_tests.exe --gtest_filter=NoSuchTest");
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    EXPECT_FALSE(StartProcess("C:\\no\\such\\program.exe", nullptr));
}

TEST(Z4KApp, RegistryLocation)
{
    RecordingApp app;
    EXPECT_EQ(GetCurrentApp(), &app);
    app.SetRegistryKey("KivoTestCompany", "Kivo Test App");
    app.SetRegistryKey(nullptr, nullptr);
    HKEY root = nullptr;
    TStdStr<char> path;
    app.GetRegistryPath(root, path);
    EXPECT_EQ(root, HKEY_CURRENT_USER);
    EXPECT_EQ(path, "software\\KivoTestCompany\\Kivo Test App");
    {
        CRegistryKey section;
        ASSERT_TRUE(app.GetSectionKey("Settings", section));
        EXPECT_NE(section.GetHandle(), nullptr);
    }
    CRegistryKey opened;
    EXPECT_TRUE(opened.Open(HKEY_CURRENT_USER, "software\\KivoTestCompany\\Kivo Test App\\Settings", KEY_READ));
    opened.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, "software\\KivoTestCompany");
}
