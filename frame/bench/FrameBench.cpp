// Benchmarks of the main frame, run by hand under Wine (tools/wine-run build/bin/frame_bench.exe):
//  1. start-up: the time from starting KivoBrowser.exe to its main window shown, against a plain
//     Win32 program that only shows a window, both started the same way in the same run;
//  2. tabs: opening and closing 100 tabs in a frame of this process (with stand-in tabs), the time
//     per tab and the process's memory before and after.
// The program runs against a registry key of its own below the current user's
// "Software\\KivoBrowserTests" key, which the started browser follows through KIVO_TEST_REGISTRY;
// the key is removed at the end.
#include "frame/BrowserTab.h"
#include "frame/MainFrame.h"

#include "core/app/BrowserApp.h"
#include "core/app/Settings.h"
#include "core/app/TestRegistry.h"
#include "core/system/StartupTrace.h"
#include "platform/AtlBase.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kStarts = 5;
constexpr int kTabs = 100;
constexpr DWORD kStartTimeoutMs = 60000;
// How long the traced start goes on after its window is shown, so that the trace shows the work
// that follows the show too.
constexpr DWORD kTraceLingerMs = 3000;
// The windows waited for: the plain program's and the browser's main window.
constexpr char kPlainWindowClass[] = "KivoPlainWindow";
constexpr char kMainWindowClass[] = "Kivo Browser";
// The program's system flags as they are by default, without the default-browser question, which
// would come before the main window and wait for an answer: the start of a user who answered it.
constexpr DWORD kBenchSystemFlags = 0x001C;

std::string ProgramFolder()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

struct CWindowSearch {
    DWORD processId;
    const char* className;  // not owned: the class of the window waited for
    bool found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<CWindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, search->className) != 0)
        return TRUE;
    search->found = true;
    return FALSE;
}

// Milliseconds from CreateProcess to the first shown window of the process of the class given (the
// main window, not a question or the splash that may come before it); -1 when none came. The
// process is given `lingerMs` after that to go on with its start (for the start-up trace), then
// closed.
double TimeToWindow(const std::string& program, const std::string& arguments, const char* className,
                    DWORD lingerMs = 0)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    const CHandle processHandle(process.hProcess);
    const CHandle threadHandle(process.hThread);
    CWindowSearch search = {process.dwProcessId, className, false};
    double elapsed = -1;
    const ULONGLONG deadline = GetTickCount64() + kStartTimeoutMs;
    while (GetTickCount64() < deadline) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            elapsed = static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0)
            break;
    }
    if (elapsed >= 0 && lingerMs > 0)
        WaitForSingleObject(process.hProcess, lingerMs);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, kStartTimeoutMs);
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// The least tab: an MDI child window that reports itself to the frame.
class CBenchTab final : public IBrowserTab {
public:
    HWND GetTabWindow() const override { return m_window; }
    TStdStr<char> GetUrl() const override { return m_url; }
    void Navigate(const char* url) override { m_url = url ? url : ""; }
    HRESULT Stop() override { return S_OK; }
    HRESULT GoHome() override { return S_OK; }
    void OnEditCopy() override {}
    void OnEditSelectAll() override {}
    void OnTextSize(UINT) override {}
    IWebBrowser2* GetWebBrowser() const override { return nullptr; }
    HWND m_window = nullptr;
    TStdStr<char> m_url;
};

LRESULT CALLBACK BenchTabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* tab = reinterpret_cast<CBenchTab*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        tab = reinterpret_cast<CBenchTab*>(static_cast<const MDICREATESTRUCTA*>(create->lpCreateParams)->lParam);
        tab->m_window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tab));
    } else if (message == WM_CREATE) {
        GetBrowserTabHost()->AddTab(window, tab);
    } else if (message == WM_DESTROY) {
        GetBrowserTabHost()->RemoveTab(window);
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete tab;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

class CBenchTabFactory final : public IBrowserTabFactory {
public:
    IBrowserTab* CreateBrowserTab(HWND mdiClient, IBrowserTab*, const char* url, DWORD) override
    {
        auto* tab = new CBenchTab;
        tab->m_url = url && *url ? url : "about:blank";
        MDICREATESTRUCTA create = {"KivoBenchTab", tab->m_url.c_str(), GetModuleHandleA(nullptr), CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0, reinterpret_cast<LPARAM>(tab)};
        return SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)) ? tab : nullptr;
    }
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

SIZE_T WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

void BenchTabs()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BenchTabProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivoBenchTab";
    RegisterClassA(&wc);
    CBenchTabFactory factory;
    SetBrowserTabFactory(&factory);
    CreateBrowserApp();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string sessionFile = std::string(temp) + "kivo-frame-bench-lastopensites";
    if (CSettings* settings = GetSettings()) {
        settings->SessionFilePath = sessionFile.c_str();
        settings->SkipSaveAtExit();
    }
    const RECT rect = {0, 0, 800, 600};
    HWND frame = CreateMainFrame(rect);
    if (!frame) {
        std::printf("tabs: no main window\n");
        return;
    }
    ShowWindow(frame, SW_SHOW);
    Pump();
    // One round first, so that what is made once (classes, fonts, caches) is not counted.
    auto round = [frame] {
        std::vector<HWND> tabs;
        for (int i = 0; i < kTabs; ++i) {
            const std::string url = "http://tab" + std::to_string(i) + ".example/";
            tabs.push_back(reinterpret_cast<HWND>(
                SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(url.c_str()), kOpenNewTab)));
            Pump();
        }
        for (HWND tab : tabs) {
            SendMessageA(tab, WM_CLOSE, 0, 0);
            Pump();
        }
    };
    round();
    const SIZE_T before = WorkingSet();
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    round();
    QueryPerformanceCounter(&end);
    const SIZE_T after = WorkingSet();
    const double total = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    std::printf("tabs: %d opened and closed, %.2f ms per tab (open and close)\n", kTabs, total / kTabs);
    std::printf("tabs: working set %.1f KB before, %.1f KB after (%+.1f KB)\n", before / 1024.0, after / 1024.0,
                (static_cast<double>(after) - static_cast<double>(before)) / 1024.0);
    DestroyWindow(frame);
    Pump();
    DeleteFileA(sessionFile.c_str());
    SetBrowserTabFactory(nullptr);
}

} // namespace

int main()
{
    char key[128] = {};
    std::snprintf(key, sizeof(key), "Software\\KivoBrowserTests\\frame-bench-%lu", GetCurrentProcessId());
    SetEnvironmentVariableA("KIVO_TEST_REGISTRY", key);
    ApplyTestRegistryRedirect();
    const DWORD flags = kBenchSystemFlags;
    RegSetKeyValueA(HKEY_CURRENT_USER, "software\\KivoBrowser\\Kivo Browser\\Config", "SysFlags", REG_DWORD, &flags,
                    sizeof(flags));
    const std::string folder = ProgramFolder();
    std::vector<double> plain;
    std::vector<double> browser;
    for (int i = 0; i < kStarts; ++i) {
        plain.push_back(TimeToWindow(folder + "frame_bench_plain_window.exe", "", kPlainWindowClass));
        browser.push_back(TimeToWindow(folder + "KivoBrowser.exe", "-s multi", kMainWindowClass));
    }
    // One more start with the start-up trace on (not counted): where the time went.
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string traceFile = std::string(temp) + "kivo-frame-bench-startup-trace.txt";
        DeleteFileA(traceFile.c_str());
        SetEnvironmentVariableA(kStartupTraceVariable, traceFile.c_str());
        const double traced = TimeToWindow(folder + "KivoBrowser.exe", "-s multi", kMainWindowClass, kTraceLingerMs);
        SetEnvironmentVariableA(kStartupTraceVariable, nullptr);
        std::printf("start-up trace: main window shown after %.0f ms; the steps, in ms since the process was "
                    "created:\n",
                    traced);
        if (FILE* file = std::fopen(traceFile.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof(line), file))
                std::printf("  %s", line);
            std::fclose(file);
        }
        DeleteFileA(traceFile.c_str());
    }
    const double plainMedian = Median(plain);
    const double browserMedian = Median(browser);
    std::printf("start-up: plain window %.0f ms, KivoBrowser %.0f ms (medians of %d), ratio %.2f\n", plainMedian,
                browserMedian, kStarts, plainMedian > 0 ? browserMedian / plainMedian : -1.0);
    BenchTabs();
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    return 0;
}
