// A stand-in for the outside download manager, for the hand-off tests: a top-level window of the
// manager's class that answers the manager's question, and on the request message reads the
// waiting slot's request block, writes what it read to "requests.txt" and answers as the file
// "mode.txt" says: "take" (5), "refuse" (6), "silent" (no answer) or "quit" (ends without an
// answer, as a manager that dies mid-way). Both files are in the folder named by the environment
// variable KIVO_TEST_DM_DIR, where it also writes its command line to "started.txt". It decodes the block on its own, so the tests check the bytes the
// browser writes rather than the browser's reading of them. It ends on WM_CLOSE.
#include "browser/tools/DownloadHandOff.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

UINT g_question = 0;

std::string Folder()
{
    char folder[MAX_PATH] = "";
    const DWORD length = ::GetEnvironmentVariableA("KIVO_TEST_DM_DIR", folder, sizeof(folder));
    return length && length < sizeof(folder) ? std::string(folder) + "\\" : std::string();
}

std::string Mode()
{
    std::ifstream file(Folder() + "mode.txt");
    std::string mode;
    std::getline(file, mode);
    return mode;
}

// One string of the archive: a one-byte length, or 0xFF and a 16-bit one, or 0xFF 0xFFFF and a
// 32-bit one. False when the data ends first.
bool ReadString(const BYTE*& at, const BYTE* end, std::string& text)
{
    auto take = [&](void* value, size_t size) {
        if (static_cast<size_t>(end - at) < size)
            return false;
        std::memcpy(value, at, size);
        at += size;
        return true;
    };
    BYTE shortLength = 0;
    if (!take(&shortLength, 1))
        return false;
    DWORD length = shortLength;
    if (shortLength == 0xFF) {
        WORD middle = 0;
        if (!take(&middle, 2))
            return false;
        length = middle;
        if (middle == 0xFFFF && !take(&length, 4))
            return false;
    }
    if (static_cast<size_t>(end - at) < length)
        return false;
    text.assign(reinterpret_cast<const char*>(at), length);
    at += length;
    return true;
}

void LogRequest(int slot)
{
    std::ofstream log(Folder() + "requests.txt", std::ios::app | std::ios::binary);
    const std::string name = std::string(kDownloadSlotTableName) + std::to_string(slot);
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (!mapping) {
        log << "no block\n";
        return;
    }
    const BYTE* view = static_cast<const BYTE*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view) {
        MEMORY_BASIC_INFORMATION region = {};
        ::VirtualQuery(view, &region, sizeof(region));
        DWORD length = 0;
        std::memcpy(&length, view, sizeof(length));
        const BYTE* at = view + sizeof(length);
        const BYTE* end = at + length;
        DWORD count = 0;
        if (region.RegionSize < sizeof(length) + length || length < sizeof(count)) {
            log << "bad block\n";
        } else {
            std::memcpy(&count, at, sizeof(count));
            at += sizeof(count);
            log << "count " << count << "\n";
            for (DWORD i = 0; i < count; ++i) {
                std::string url, referrer, extra;
                if (!ReadString(at, end, url) || !ReadString(at, end, referrer) || !ReadString(at, end, extra)) {
                    log << "short data\n";
                    break;
                }
                log << "url " << url << "\nreferrer " << referrer << "\nextra " << extra << "\n";
            }
            if (at != end)
                log << "trailing bytes\n";
        }
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
}

void OnRequest()
{
    const std::string mode = Mode();
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kDownloadSlotTableName);
    if (!mapping)
        return;
    auto* table = static_cast<BYTE*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kDownloadSlotTableBytes));
    if (table) {
        for (int slot = 0; slot < kDownloadSlotCount; ++slot) {
            auto* state = reinterpret_cast<volatile LONG*>(table + slot * kDownloadSlotBytes);
            const LONG current = *state;
            if (current != kDownloadSlotWaiting && current != kDownloadSlotNoWait)
                continue;
            LogRequest(slot);
            if (mode == "take")
                ::InterlockedExchange(state, current == kDownloadSlotWaiting ? kDownloadSlotTaken : kDownloadSlotFree);
            else if (mode == "refuse")
                ::InterlockedExchange(state, current == kDownloadSlotWaiting ? kDownloadSlotRefused : kDownloadSlotFree);
            break;
        }
        ::UnmapViewOfFile(table);
    }
    ::CloseHandle(mapping);
    if (mode == "quit")
        ::ExitProcess(3);
}

LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_question)
        return g_question;
    if (message == kDownloadManagerRequestMessage) {
        OnRequest();
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // How the manager was started: the tests look at the command line the browser gave it.
    std::ofstream(Folder() + "started.txt", std::ios::binary) << ::GetCommandLineA() << "\n";
    g_question = ::RegisterWindowMessageA(kDownloadManagerQuestion);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ManagerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kDownloadManagerClass;
    if (!::RegisterClassA(&windowClass))
        return 1;
    if (!::CreateWindowExA(0, kDownloadManagerClass, "Stand-in download manager", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           nullptr, nullptr, instance, nullptr))
        return 2;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
