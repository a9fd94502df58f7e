// Stands in for the browser's main window in the installer plug-in's tests: a top-level window of
// class "Kivo Browser" that answers "UWM_KivoBrowser_IsMe" the way the mode asks.
//
//   KivoBrowserStandIn MODE READY-FILE
//
// MODE is one of
//   closes   answers the question; on WM_CLOSE it waits a moment (as a closing browser does) and ends
//   refuses  answers the question; ignores WM_CLOSE
//   silent   has the class but answers the question with 0
//   hangs    answers the question only after 3 seconds
// READY-FILE is created once the window exists. The program also ends when READY-FILE.stop appears
// or after a minute, so no test can leave it behind.
//
//   KivoBrowserStandIn await READY-FILE
//
// opens no window: it waits (up to 30 seconds) until a real browser window answers the question,
// then (up to 30 seconds more) until it answers as fast as the plug-in asks, several times running,
// then creates READY-FILE.
//
// Exit codes: 0 closed through WM_CLOSE (await: the browser answered), 3 ended by the stop file or
// the minute, 2 bad use, 1 await: no browser answered.
#include "core/app/TestRegistry.h"

#include <windows.h>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT_PTR kStopPollTimer = 2;
constexpr UINT kCloseDelayMs = 800;
constexpr UINT kStopPollMs = 100;
constexpr DWORD kLifetimeMs = 60000;
constexpr DWORD kHangMs = 3000;
constexpr UINT kPluginReplyMs = 200;  // what the plug-in gives a window to answer
constexpr int kSettledAnswers = 5;

enum class Mode { Closes, Refuses, Silent, Hangs };

Mode g_mode = Mode::Closes;
UINT g_questionMessage = 0;
std::string g_stopFile;
DWORD g_startTicks = 0;
int g_exitCode = 3;

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LRESULT CALLBACK StandInWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == g_questionMessage && g_questionMessage != 0) {
        if (g_mode == Mode::Silent)
            return 0;
        if (g_mode == Mode::Hangs)
            Sleep(kHangMs);
        return g_questionMessage;
    }
    switch (msg) {
    case WM_CLOSE:
        if (g_mode == Mode::Closes)
            SetTimer(hwnd, kCloseTimer, kCloseDelayMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            g_exitCode = 0;
            DestroyWindow(hwnd);
        } else if (wParam == kStopPollTimer &&
                   (FileExists(g_stopFile) || GetTickCount() - g_startTicks >= kLifetimeMs)) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(g_exitCode);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool ParseMode(const char* text)
{
    static const struct {
        const char* name;
        Mode mode;
    } kModes[] = {{"closes", Mode::Closes}, {"refuses", Mode::Refuses}, {"silent", Mode::Silent}, {"hangs", Mode::Hangs}};
    for (const auto& entry : kModes) {
        if (std::strcmp(text, entry.name) == 0) {
            g_mode = entry.mode;
            return true;
        }
    }
    return false;
}

} // namespace

// Waits for a window of the browser's class that answers the question with the question's number,
// then for the browser to wait for input.
int AwaitBrowser(const std::string& readyFile)
{
    const UINT question = RegisterWindowMessageA("UWM_KivoBrowser_IsMe");
    for (int attempt = 0; attempt < 300; ++attempt) {
        DWORD_PTR answer = 0;
        HWND window = FindWindowA("Kivo Browser", nullptr);
        if (window && SendMessageTimeoutA(window, question, 0, 0, SMTO_ABORTIFHUNG, kPluginReplyMs, &answer) &&
            answer == question) {
            // The browser goes on starting after its window answers; it is ready once it waits
            // for input.
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
                WaitForInputIdle(process, 30000);
                CloseHandle(process);
            }
            // Waiting for input once is not yet settled: the work it posted to itself follows. The
            // browser is ready when it has answered within the plug-in's time several times running.
            int quickAnswers = 0;
            for (int settle = 0; settle < 300 && quickAnswers < kSettledAnswers; ++settle) {
                answer = 0;
                const bool quick = SendMessageTimeoutA(window, question, 0, 0, SMTO_ABORTIFHUNG, kPluginReplyMs,
                                                       &answer) &&
                                   answer == question;
                quickAnswers = quick ? quickAnswers + 1 : 0;
                Sleep(100);
            }
            HANDLE file = CreateFileA(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return 2;
            CloseHandle(file);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

int main(int argc, char** argv)
{
    ApplyTestRegistryRedirect();
    if (argc == 3 && std::strcmp(argv[1], "await") == 0)
        return AwaitBrowser(argv[2]);
    if (argc != 3 || !ParseMode(argv[1]))
        return 2;
    const std::string readyFile = argv[2];
    g_stopFile = readyFile + ".stop";
    g_startTicks = GetTickCount();
    g_questionMessage = RegisterWindowMessageA("UWM_KivoBrowser_IsMe");

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Kivo Browser";
    if (!RegisterClassA(&wc))
        return 2;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Kivo Browser", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 2;
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetTimer(hwnd, kStopPollTimer, kStopPollMs, nullptr);

    HANDLE ready = CreateFileA(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE)
        return 2;
    CloseHandle(ready);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return static_cast<int>(msg.wParam);
}
