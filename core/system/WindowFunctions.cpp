#include "core/system/WindowFunctions.h"

#include <commctrl.h>

bool IsWindowCovered(HWND window)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return false;
    HWND found = ::WindowFromPoint({rect.left + 1, rect.top + 5});
    return found && ::GetAncestor(found, GA_ROOT) != ::GetAncestor(window, GA_ROOT);
}

void RefreshWindowLayout(HWND window)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return;
    if (HWND parent = ::GetParent(window); parent && (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top, flags);
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
}

HWND FindChildWindowByClass(HWND parent, const char* className)
{
    if (!parent || !className)
        return nullptr;
    if (HWND direct = ::FindWindowExA(parent, nullptr, className, nullptr))
        return direct;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HWND found = FindChildWindowByClass(child, className))
            return found;
    }
    return nullptr;
}

void GetWorkAreaFromPoint(POINT point, RECT* rect)
{
    using MonitorFromPointProc = HMONITOR(WINAPI*)(POINT, DWORD);
    using GetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    HMODULE user = ::GetModuleHandleA("USER32.DLL");
    auto fromPoint = reinterpret_cast<MonitorFromPointProc>(
        reinterpret_cast<void*>(user ? ::GetProcAddress(user, "MonitorFromPoint") : nullptr));
    auto getInfo = reinterpret_cast<GetMonitorInfoProc>(
        reinterpret_cast<void*>(user ? ::GetProcAddress(user, "GetMonitorInfoA") : nullptr));
    if (fromPoint && getInfo) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (HMONITOR monitor = fromPoint(point, MONITOR_DEFAULTTONEAREST); monitor && getInfo(monitor, &info)) {
            *rect = info.rcWork;
            return;
        }
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

bool GetToolbarItemRect(HWND toolbar, int indexOrCommand, bool byCommand, RECT* rect)
{
    int index = indexOrCommand;
    if (byCommand)
        index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, indexOrCommand, 0));
    return index >= 0 && ::SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)) != 0;
}

TStdStr<char> GetWindowClassName(HWND window)
{
    char name[257] = {};
    if (!window || ::GetClassNameA(window, name, 257) <= 0)
        return TStdStr<char>();
    return name;
}

bool IsDialogWindow(HWND window)
{
    char name[65] = {};
    return window && ::GetClassNameA(window, name, 65) > 0 && lstrcmpA(name, "#32770") == 0;
}
