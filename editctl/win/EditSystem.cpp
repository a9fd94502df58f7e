// The system's own implementation of the window layer's system operations, and the current one.
#include "editctl/win/EditSystem.h"

#include <shellapi.h>

#include <algorithm>

#include "editctl/win/GdiHolders.h"

namespace quill::win {

namespace {

CWindowsEditSystem g_windowsSystem;
IEditSystem* g_current = &g_windowsSystem;  // not owned

} // namespace

int CWindowsEditSystem::ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT flags)
{
    return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
}

bool CWindowsEditSystem::WriteFileBytes(HANDLE file, const char* data, size_t size)
{
    // WriteFile takes a DWORD count: large texts go in chunks of 16 MB.
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

void CWindowsEditSystem::Beep(UINT type) { MessageBeep(type); }

bool CWindowsEditSystem::ShellOpen(const std::string& target)
{
    // ShellExecute answers a number above 32 for success, an error code at or below it.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool CWindowsEditSystem::StartProcess(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process))
        return false;
    // The program runs on by itself: its handles are not needed.
    CKernelHandle thread(process.hThread);
    CKernelHandle started(process.hProcess);
    return true;
}

HRESULT CWindowsEditSystem::QueryContinueDrag(BOOL escape, DWORD keys)
{
    if (escape)
        return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}

IEditSystem& EditSystem() { return *g_current; }

CScopedEditSystem::CScopedEditSystem(IEditSystem& replacement) : m_previous(g_current) { g_current = &replacement; }

CScopedEditSystem::~CScopedEditSystem() { g_current = m_previous; }

} // namespace quill::win
