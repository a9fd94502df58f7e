// Benchmark of the edit control, run by hand under Wine:
//     python3 ../shared/tools/gen_html.py build/bench-data   (from the project root)
//     tools/wine-run build/bin/editctl_bench.exe build/bench-data
// It loads and fully colours big.html (10 MB, 200,000 lines) and oneline.html (5 MB, one line),
// paints the same screen again, types characters at the end of each (WM_CHAR, coloured to the
// end, painted), and prints times and memory. editctl/bench/compare runs it beside the build of
// an earlier commit and prints the two side by side.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/tests/Screenshot.h"
#include "editctl/Quillpoint.h"
#include "editctl/win/EditData.h"

using namespace quill::win;

namespace {

double Now()
{
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double PrivateMegabytes()
{
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    // Wine leaves PrivateUsage at 0; the page-file usage counts the committed private memory.
    return static_cast<double>(std::max(pmc.PrivateUsage, pmc.PagefileUsage)) / (1024.0 * 1024.0);
}

double FileMegabytes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<double>(data.nFileSizeLow) / (1024.0 * 1024.0);
}

void AddBuiltins(HINSTANCE instance)
{
    for (int id : {QP_IDR_CONFIG_HTML, QP_IDR_CONFIG_CSS, QP_IDR_CONFIG_JAVASCRIPT}) {
        HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
        if (!resource)
            continue;
        const DWORD size = SizeofResource(instance, resource);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        std::memcpy(GlobalLock(block), LockResource(LoadResource(instance, resource)), size);
        GlobalUnlock(block);
        AddParserConfigFromMemory(block);
        GlobalFree(block);
    }
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One figure, in a form editctl/bench/compare reads: "figure|<name>|<value>".
void Figure(const char* name, double value) { std::printf("figure|%s|%.3f\n", name, value); }

void ColourAll(HWND edit)
{
    EditData* ed = GetEditData(edit);
    while (ed->frontier >= 0)
        SendMessageA(edit, WM_TIMER, kParseTimer, 0);
}

// Loads a file and colours all of it: every line's state (what the background slices do, run here
// back to back) and one paint of the first screen.
double g_baseline = 0;  // private memory before any text was loaded

bool LoadAndColour(HWND edit, const std::string& path, const char* label, const char* figure)
{
    const double t0 = Now();
    if (SendMessageA(edit, QPM_LOADFILE, 1, reinterpret_cast<LPARAM>(path.c_str())) != 1) {
        std::printf("%s: cannot load %s\n", label, path.c_str());
        return false;
    }
    const double t1 = Now();
    EditData* ed = GetEditData(edit);
    ColourAll(edit);
    const double t2 = Now();
    InvalidateRect(edit, nullptr, FALSE);
    UpdateWindow(edit);
    const double t3 = Now();
    const double memory = PrivateMegabytes() - g_baseline;
    std::printf("%s: %.1f MB, %d lines: load %.0f ms, colour all lines %.0f ms, paint %.1f ms, total %.0f ms; "
                "memory %.1f MB (%.2fx the file)\n",
                label, FileMegabytes(path), ed->doc.Text().LineCount(), (t1 - t0) * 1000, (t2 - t1) * 1000,
                (t3 - t2) * 1000, (t3 - t0) * 1000, memory, memory / FileMegabytes(path));
    if (figure) {
        Figure((std::string(figure) + " load ms").c_str(), (t1 - t0) * 1000);
        Figure((std::string(figure) + " memory x file").c_str(), memory / FileMegabytes(path));
    }
    return true;
}

// Paints the whole window again with nothing changed, count times; answers the median. A paint
// costs a fraction of a millisecond, so that a burst of the other work on the machine shifts the
// median of a few dozen paints made back to back: the paints are spread over a few moments
// (a pause after each tenth, the messages of the time dispatched), and the first few, which may
// still draw what changed before, are not counted.
double RepaintSame(HWND edit, int count)
{
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(edit, nullptr, FALSE);
        UpdateWindow(edit);
    }
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        if (i % 10 == 9) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
        InvalidateRect(edit, nullptr, FALSE);
        const double a = Now();
        UpdateWindow(edit);
        times.push_back(Now() - a);
    }
    return Median(times) * 1000;
}

// Types count characters at the end with WM_CHAR, each coloured to the end and painted.
void TypeAtEnd(HWND edit, int count, const char* figure)
{
    EditData* ed = GetEditData(edit);
    const quill::TextPos end = ed->doc.Text().EndPosition();
    QPPosition caret{end.column, end.line};
    SendMessageA(edit, QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&caret));
    UpdateWindow(edit);
    const int64_t before = ed->doc.Text().TotalLength();
    std::vector<double> keys, sideways;  // every key; the keys that moved the view sideways
    double insert = 0, parse = 0, paint = 0;
    double worstParts[3] = {0, 0, 0};  // insert, parse and repaint of the slowest key
    for (int i = 0; i < count; ++i) {
        const int left = ed->firstColumn;
        const double a = Now();
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>('a' + i % 26), 1);
        const double b = Now();
        ColourAll(edit);
        const double c = Now();
        UpdateWindow(edit);
        const double d = Now();
        insert += b - a;
        parse += c - b;
        paint += d - c;
        if (keys.empty() || d - a > *std::max_element(keys.begin(), keys.end())) {
            worstParts[0] = b - a;
            worstParts[1] = c - b;
            worstParts[2] = d - c;
        }
        keys.push_back(d - a);
        if (ed->firstColumn != left)
            sideways.push_back(d - a);
    }
    const double worst = *std::max_element(keys.begin(), keys.end());
    std::printf("typing %d characters at the end (%lld typed): median %.3f ms, at worst %.3f ms "
                "(on average insert %.3f, parse %.3f, repaint %.3f)\n",
                count, static_cast<long long>(ed->doc.Text().TotalLength() - before), Median(keys) * 1000,
                worst * 1000, insert * 1000 / count, parse * 1000 / count, paint * 1000 / count);
    std::printf("%zu keys moved the view sideways: median %.3f ms\n", sideways.size(), Median(sideways) * 1000);
    std::printf("the slowest key: insert %.3f, parse %.3f, repaint %.3f ms\n", worstParts[0] * 1000,
                worstParts[1] * 1000, worstParts[2] * 1000);
    // What the keys left for the window's timers (the scroll bars are drawn once the window is
    // idle): the messages of the next moments are dispatched and those of the window's timers
    // timed. Not part of any key's time above.
    double later = 0;
    int timers = 0;
    const double until = Now() + 0.2;
    for (double now = Now(); now < until; now = Now()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((until - now) * 1000) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const bool timer = msg.message == WM_TIMER && msg.hwnd == edit;
            const double t = Now();
            DispatchMessageA(&msg);
            if (timer) {
                later += Now() - t;
                ++timers;
            }
        }
    }
    std::printf("after the keys, %d timer message(s) of the window took %.3f ms\n", timers, later * 1000);
    Figure((std::string(figure) + " key median ms").c_str(), Median(keys) * 1000);
    Figure((std::string(figure) + " key worst ms").c_str(), worst * 1000);
    if (!sideways.empty())
        Figure((std::string(figure) + " key moving sideways ms").c_str(), Median(sideways) * 1000);
}

// What the window shows, to look at: the build folder's screenshots\<name>.
void Shot(HWND edit, const char* name)
{
    std::string path;
    if (kivo_test::WriteWindowScreenshot(edit, name, path))
        std::printf("screenshot %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : ".";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    OleInitialize(nullptr);
    if (!QuillpointDllMain(instance, 1, nullptr)) {
        std::printf("the control did not start\n");
        return 1;
    }
    AddBuiltins(instance);
    HWND frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 840, 660, nullptr,
                                 nullptr, instance, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, QUILLPOINT_CLASS, "big.html", WS_CHILD | WS_VISIBLE, 0, 0, 800,
                                600, frame, nullptr, instance, nullptr);
    if (!edit) {
        std::printf("no edit window\n");
        return 1;
    }
    UpdateWindow(edit);
    g_baseline = PrivateMegabytes();
    if (LoadAndColour(edit, folder + "\\big.html", "big.html", "10 MB")) {
        Figure("10 MB repaint ms", RepaintSame(edit, 101));
        TypeAtEnd(edit, 1000, "10 MB");
        Shot(edit, "editctl_bench_big_end.bmp");
    }
    if (LoadAndColour(edit, folder + "\\oneline.html", "oneline.html", nullptr)) {
        Figure("5 MB line repaint ms", RepaintSame(edit, 101));
        // The middle of the line, as a row far to the right paints it (from a parse checkpoint).
        QPPosition middle{2500000, 0};
        SendMessageA(edit, QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&middle));
        UpdateWindow(edit);
        Shot(edit, "editctl_bench_oneline_middle.bmp");
        TypeAtEnd(edit, 100, "5 MB line");
        Figure("5 MB line repaint at end ms", RepaintSame(edit, 101));
        Shot(edit, "editctl_bench_oneline_end.bmp");
    }
    DestroyWindow(frame);
    QuillpointDllMain(instance, 0, nullptr);
    OleUninitialize();
    return 0;
}
