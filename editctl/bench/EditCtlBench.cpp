// Benchmark of the edit control, run by hand under Wine:
//     python3 ../shared/tools/gen_html.py build/bench-data   (from the project root)
//     tools/wine-run build/bin/editctl_bench.exe build/bench-data
// It loads and fully colours big.html (10 MB, 200,000 lines) and oneline.html (5 MB, one line),
// types 1,000 characters at the end of big.html, and prints times and memory.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

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

// Loads a file and colours all of it: every line's state (what the background slices do, run here
// back to back) and one paint of the first screen.
double g_baseline = 0;  // private memory before any text was loaded

void LoadAndColour(HWND edit, const std::string& path, const char* label)
{
    const double t0 = Now();
    if (SendMessageA(edit, QPM_LOADFILE, 1, reinterpret_cast<LPARAM>(path.c_str())) != 1) {
        std::printf("%s: cannot load %s\n", label, path.c_str());
        return;
    }
    const double t1 = Now();
    EditData* ed = GetEditData(edit);
    while (ed->frontier >= 0)
        SendMessageA(edit, WM_TIMER, kParseTimer, 0);
    const double t2 = Now();
    InvalidateRect(edit, nullptr, FALSE);
    UpdateWindow(edit);
    const double t3 = Now();
    const double memory = PrivateMegabytes() - g_baseline;
    std::printf("%s: %.1f MB, %d lines: load %.0f ms, colour all lines %.0f ms, paint %.1f ms, total %.0f ms; "
                "memory %.1f MB (%.2fx the file)\n",
                label, FileMegabytes(path), ed->doc.Text().LineCount(), (t1 - t0) * 1000, (t2 - t1) * 1000,
                (t3 - t2) * 1000, (t3 - t0) * 1000, memory, memory / FileMegabytes(path));
}

void TypeAtEnd(HWND edit, int count)
{
    EditData* ed = GetEditData(edit);
    const quill::TextPos end = ed->doc.Text().EndPosition();
    QPPosition caret{end.column, end.line};
    SendMessageA(edit, QPM_SETCARET, 0, reinterpret_cast<LPARAM>(&caret));
    UpdateWindow(edit);
    double worst = 0, insert = 0, parse = 0, paint = 0;
    const double t0 = Now();
    for (int i = 0; i < count; ++i) {
        const double a = Now();
        const char text[2] = {static_cast<char>('a' + i % 26), 0};
        SendMessageA(edit, QPM_INSERTTEXT, 0, reinterpret_cast<LPARAM>(text));
        const double b = Now();
        while (ed->frontier >= 0)
            SendMessageA(edit, WM_TIMER, kParseTimer, 0);
        const double c = Now();
        UpdateWindow(edit);
        const double d = Now();
        insert += b - a;
        parse += c - b;
        paint += d - c;
        worst = std::max(worst, d - a);
    }
    const double total = Now() - t0;
    std::printf("typing %d characters at the end: %.3f ms each on average (insert %.3f, parse %.3f, repaint %.3f), "
                "%.3f ms at worst\n",
                count, total * 1000 / count, insert * 1000 / count, parse * 1000 / count, paint * 1000 / count,
                worst * 1000);
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
    HWND frame = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                                 nullptr, instance, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, QUILLPOINT_CLASS, "big.html", WS_CHILD | WS_VISIBLE, 0, 0, 980,
                                660, frame, nullptr, instance, nullptr);
    if (!edit) {
        std::printf("no edit window\n");
        return 1;
    }
    UpdateWindow(edit);
    g_baseline = PrivateMegabytes();
    LoadAndColour(edit, folder + "\\big.html", "big.html");
    TypeAtEnd(edit, 1000);
    LoadAndColour(edit, folder + "\\oneline.html", "oneline.html");
    TypeAtEnd(edit, 100);
    DestroyWindow(frame);
    QuillpointDllMain(instance, 0, nullptr);
    OleUninitialize();
    return 0;
}
