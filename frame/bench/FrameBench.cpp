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
#include "platform/AtlBase.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kStarts = 5;
constexpr int kTabs = 100;
constexpr DWORD kStartTimeoutMs = 60000;

std::string ProgramFolder()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

struct CWindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<CWindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (processId == search->processId && IsWindowVisible(window) && !(exStyle & WS_EX_TOOLWINDOW)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the first shown window of the process that is not a tool
// window (the splash is one); -1 when none came. The process is closed afterwards.
double TimeToWindow(const std::string& program, const std::string& arguments)
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
    CWindowSearch search = {process.dwProcessId, false};
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
    const std::string folder = ProgramFolder();
    std::vector<double> plain;
    std::vector<double> browser;
    for (int i = 0; i < kStarts; ++i) {
        plain.push_back(TimeToWindow(folder + "frame_bench_plain_window.exe", ""));
        browser.push_back(TimeToWindow(folder + "KivoBrowser.exe", "-s multi"));
    }
    const double plainMedian = Median(plain);
    const double browserMedian = Median(browser);
    std::printf("start-up: plain window %.0f ms, KivoBrowser %.0f ms (medians of %d), ratio %.2f\n", plainMedian,
                browserMedian, kStarts, plainMedian > 0 ? browserMedian / plainMedian : -1.0);
    BenchTabs();
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    return 0;
}
