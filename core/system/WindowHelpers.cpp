#include "core/system/WindowHelpers.h"

#include "core/library/AppWindowInfo.h"
#include "core/system/OsInfo.h"
#include "core/library/RegistryKey.h"
#include "core/app/Settings.h"
#include "core/system/ShellItems.h"

#include <shellapi.h>

namespace {

MessageBoxHook g_messageBoxHook = nullptr;
FramePopupMenuTracker g_popupMenuTracker = nullptr;

// Cuts the clock away from the tray rectangle: a clock at the bottom of the rectangle takes its
// right part, a clock elsewhere its top part.
void CutAwayClock(RECT& rect, const RECT& clock)
{
    if (clock.bottom >= rect.bottom - 5)
        rect.right = clock.left;
    else
        rect.top = clock.bottom;
}

} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = g_messageBoxHook;
    g_messageBoxHook = hook;
    return previous;
}

int ShowCoreMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (g_messageBoxHook)
        return g_messageBoxHook(owner, text, caption, type);
    return ::MessageBoxA(owner, text, caption, type);
}

LRESULT OpenUrlInFrame(HWND window, const char* url, DWORD flags)
{
    if (!window)
        return 0;
    HWND frame = ::GetAncestor(window, GA_ROOT);
    if (!frame)
        frame = window;
    return ::SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(url), static_cast<LPARAM>(flags));
}

bool OpenInternetShortcut(const char* path)
{
    const TStdStr<char> url = GetInternetShortcutUrl(path);
    HWND active = ::GetActiveWindow();
    if (url.empty() || !active)
        return false;
    const CSettings* settings = GetSettings();
    const DWORD flags = settings && (settings->TabOpenFlags & 0x4) ? DWORD{kOpenNewTab} : DWORD{0};
    OpenUrlInFrame(active, url.c_str(), flags);
    return true;
}

const WCHAR* FindStringResource(HINSTANCE module, UINT id, int* length)
{
    if (length)
        *length = 0;
    // Strings live in blocks of sixteen: block id / 16 + 1, entry id mod 16.
    HRSRC block = ::FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!block)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, block);
    const DWORD size = ::SizeofResource(module, block);
    const WCHAR* entry = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (!entry)
        return nullptr;
    const WCHAR* end = entry + size / sizeof(WCHAR);
    for (UINT i = 0; i < id % 16; ++i) {
        if (entry >= end)
            return nullptr;
        entry += 1 + *entry;
    }
    // An entry that would run past the block is treated as missing.
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return nullptr;
    if (length)
        *length = *entry;
    return entry + 1;
}

TStdStr<char> LoadStringResource(HINSTANCE module, UINT id)
{
    int length = 0;
    const WCHAR* text = FindStringResource(module, id, &length);
    if (!text)
        return TStdStr<char>();
    return TStdStr<char>(std::wstring(text, length).c_str());
}

int GetMenuItemTextLength(HMENU menu, UINT item, UINT flags)
{
    return ::GetMenuStringA(menu, item, nullptr, 0, flags);
}

TStdStr<char> GetMenuItemText(HMENU menu, UINT item, UINT flags)
{
    const int length = GetMenuItemTextLength(menu, item, flags);
    if (length <= 0)
        return TStdStr<char>();
    TStdStr<char> text;
    ::GetMenuStringA(menu, item, text.GetBuffer(length + 1), length + 1, flags);
    text.ReleaseBuffer();
    return text;
}

FramePopupMenuTracker SetFramePopupMenuTracker(FramePopupMenuTracker tracker)
{
    FramePopupMenuTracker previous = g_popupMenuTracker;
    g_popupMenuTracker = tracker;
    return previous;
}

UINT TrackFramePopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    if (!owner) {
        const CAppWindowInfo* info = GetAppWindowInfo();
        owner = info ? info->GetMainWindow() : nullptr;
    }
    if (g_popupMenuTracker)
        return g_popupMenuTracker(menu, flags, x, y, owner);
    const BOOL result = ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    return (flags & TPM_RETURNCMD) ? static_cast<UINT>(result) : 0;
}

bool CDynamicLibrary::Load(const char* name, DWORD flags)
{
    Free();
    const UINT previous = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    ::SetErrorMode(previous | SEM_NOOPENFILEERRORBOX);
    m_module = ::LoadLibraryExA(name, nullptr, flags);
    ::SetErrorMode(previous);
    return m_module != nullptr;
}

void CDynamicLibrary::Free()
{
    if (m_module) {
        ::FreeLibrary(m_module);
        m_module = nullptr;
    }
}

UINT TrackSystemMenu(HWND window, int x, int y)
{
    HMENU menu = ::GetSystemMenu(window, FALSE);
    if (!menu)
        return 0;
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, window, nullptr));
    if (IsSystemMenuCommand(command))
        ::PostMessageA(window, WM_SYSCOMMAND, command & 0xFFFF, 0);
    return command;
}

bool GetTrayAreaRectOf(HWND taskBar, RECT* rect)
{
    if (!taskBar)
        return false;
    ::GetWindowRect(taskBar, rect);
    for (HWND child = ::GetWindow(taskBar, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const TStdStr<char> className = GetWindowClassName(child);
        if (className == "TrayNotifyWnd") {
            ::GetWindowRect(child, rect);
            // The clock sits inside the notification area.
            for (HWND inner = ::GetWindow(child, GW_CHILD); inner; inner = ::GetWindow(inner, GW_HWNDNEXT)) {
                if (GetWindowClassName(inner) == "TrayClockWClass") {
                    RECT clock;
                    ::GetWindowRect(inner, &clock);
                    CutAwayClock(*rect, clock);
                    return true;
                }
            }
        } else if (className == "TrayClockWClass") {
            RECT clock;
            ::GetWindowRect(child, &clock);
            CutAwayClock(*rect, clock);
            return true;
        }
    }
    return true;
}

void GetTrayAreaRect(RECT* rect)
{
    // Wine's desktop may own a task bar window of no size; the animation needs a real place.
    if (GetTrayAreaRectOf(::FindWindowA("Shell_TrayWnd", nullptr), rect) && !::IsRectEmpty(rect))
        return;
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    // Wine answers without a task bar, with an empty rectangle; that counts as no answer.
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &bar) && !::IsRectEmpty(&bar.rc)) {
        *rect = bar.rc;
        if (bar.uEdge == ABE_LEFT || bar.uEdge == ABE_RIGHT) {
            rect->top = bar.rc.bottom - 100;
            rect->bottom = bar.rc.bottom - 16;
        } else {
            rect->left = bar.rc.right - 100;
            rect->right = bar.rc.right - 16;
        }
        return;
    }
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    *rect = {work.right - 150, work.bottom - 30, work.right, work.bottom};
}

HICON GetWindowIcon(HWND window)
{
    HICON icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON));
    if (!icon) {
        WNDCLASSA windowClass = {};
        const TStdStr<char> className = GetWindowClassName(window);
        if (::GetClassInfoA(::GetModuleHandleA(nullptr), className.c_str(), &windowClass))
            icon = windowClass.hIcon;
    }
    return icon;
}

HCURSOR LoadHandCursor()
{
    if (HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */))
        return hand;
    char path[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof("\\winhlp32.exe") > MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\winhlp32.exe");
    CDynamicLibrary help;
    if (!help.Load(path, LOAD_LIBRARY_AS_DATAFILE))
        return nullptr;
    HCURSOR cursor = nullptr;
    if (HCURSOR shared = ::LoadCursorA(help.GetHandle(), MAKEINTRESOURCEA(106)))
        cursor = reinterpret_cast<HCURSOR>(::CopyImage(shared, IMAGE_CURSOR, 0, 0, 0));
    return cursor;
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

bool IsWin9x()
{
    const COsInfo* info = GetOsInfo();
    return info && info->GetPlatform() == VER_PLATFORM_WIN32_WINDOWS;
}

bool IsDropShadowEnabled()
{
    BOOL enabled = FALSE;
    return ::SystemParametersInfoA(0x1024 /* SPI_GETDROPSHADOW */, 0, &enabled, 0) && enabled;
}

TStdStr<char> MakeRunCommand(const char* programPath)
{
    // The Run key's parser splits an unquoted command at the first blank, so a program under
    // "C:\Program Files" could start "C:\Program.exe" instead.
    return TStdStr<char>("\"") + (programPath ? programPath : "") + "\"";
}

bool WriteRunValue(HKEY key, const char* valueName, const char* programPath)
{
    const TStdStr<char> command = MakeRunCommand(programPath);
    return ::RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

bool DeleteRunValue(HKEY key, const char* valueName)
{
    const LONG result = ::RegDeleteValueA(key, valueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool SetRunAtStartup(const char* valueName)
{
    // A fresh profile may not have the Run key yet.
    CRegistryKey key;
    const CAppWindowInfo* info = GetAppWindowInfo();
    if (!info || !key.Create(HKEY_CURRENT_USER, kRunKeyPath, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE))
        return false;
    return WriteRunValue(key, valueName, info->GetModulePath().c_str());
}

bool RemoveRunAtStartup(const char* valueName)
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_SET_VALUE))
        return false;
    return DeleteRunValue(key, valueName);
}

TStdStr<char> GetProgramTitle()
{
    const CAppWindowInfo* info = GetAppWindowInfo();
    return info ? info->GetProgramTitle() : TStdStr<char>();
}
