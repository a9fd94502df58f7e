// The application object's run from start to end: the default-browser check, the ActiveX host, the
// edit control started before the main window is made and stopped after the loop, the main window
// shown, and the loop's exit code returned as the program's.
#include "core/app/BrowserApp.h"
#include "core/app/Settings.h"
#include "core/app/StartupServices.h"
#include "core/library/AppWindowInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kLoopExitCode = 7;
constexpr const char* kFrameClass = "KivoRunRecordingFrame";

std::vector<std::string>* g_calls = nullptr;

// The stand-in main window: a close ends the loop with its own exit code, and what it saw of
// itself is recorded.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (g_calls) {
            g_calls->push_back(IsWindowVisible(window) ? "close shown" : "close hidden");
            CAppWindowInfo* info = GetAppWindowInfo();
            g_calls->push_back(info && info->GetMainWindow() == window ? "is main window" : "not main window");
        }
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(kLoopExitCode);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Records the calls the run makes in its neighbours, in order; the main window it makes closes
// itself as soon as the loop runs.
class CRunRecorder final : public IStartupServices {
public:
    void CheckDefaultBrowser() override { calls.push_back("check default browser"); }
    void RegisterActiveXHost() override { calls.push_back("register host"); }
    bool StartEditControl(HINSTANCE) override
    {
        calls.push_back("start edit control");
        return true;
    }
    void StopEditControl(HINSTANCE) override { calls.push_back("stop edit control"); }
    void LoadParserConfiguration(HGLOBAL) override { calls.push_back("parser configuration"); }
    HWND CreateMainFrame(const RECT& rect) override
    {
        calls.push_back("create frame " + std::to_string(rect.right - rect.left) + "x" +
                        std::to_string(rect.bottom - rect.top));
        HWND frame = CreateWindowExA(0, kFrameClass, "", WS_OVERLAPPEDWINDOW, 0, 0, rect.right - rect.left,
                                     rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (frame)
            PostMessageA(frame, WM_CLOSE, 0, 0);
        return frame;
    }
    std::vector<std::string> calls;
};

// The parser configurations come from the program's resources, which a test module may lack: they
// are left out of the comparison, but wherever they come they lie between the start and the frame.
std::vector<std::string> WithoutParserConfigurations(const std::vector<std::string>& calls)
{
    std::vector<std::string> kept;
    bool frameMade = false;
    for (const std::string& call : calls) {
        if (call.rfind("create frame", 0) == 0)
            frameMade = true;
        if (call == "parser configuration") {
            EXPECT_FALSE(frameMade) << "a parser configuration was loaded after the main window was made";
            continue;
        }
        kept.push_back(call);
    }
    return kept;
}

TEST(ApplicationRun, TheEditControlRunsAroundTheMainWindowsLoopAndTheLoopsExitCodeIsTheProgramsOwn)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kFrameClass;
    RegisterClassA(&windowClass);

    CSettings* settings = GetSettings();
    const DWORD flagsBefore = settings ? settings->SysFlags : 0;
    if (settings)
        settings->SysFlags |= SysFlag::NoSplash; // the splash has tests of its own

    CRunRecorder recorder;
    g_calls = &recorder.calls;
    int result = 0;
    {
        CScopedStartupServices scope(recorder);
        CBrowserApp app;
        app.SetInstance(GetModuleHandleA(nullptr));
        result = app.Run("", SW_SHOWNOACTIVATE);
    }
    g_calls = nullptr;
    if (settings)
        settings->SysFlags = flagsBefore;
    if (CAppWindowInfo* info = GetAppWindowInfo())
        info->SetMainWindow(nullptr);

    EXPECT_EQ(result, kLoopExitCode);
    const std::vector<std::string> expected = {
        "check default browser", "register host", "start edit control", "create frame 600x400",
        "close shown",           "is main window", "stop edit control",
    };
    EXPECT_EQ(WithoutParserConfigurations(recorder.calls), expected);
}

} // namespace
