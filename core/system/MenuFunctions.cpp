#include "core/system/MenuFunctions.h"

#include "core/library/AppWindowInfo.h"

#include <atomic>

namespace {

// Installed by the frame on its user-interface thread; read wherever a menu is tracked.
std::atomic<IFramePopupMenuTracker*> g_popupMenuTracker{nullptr};

} // namespace

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

bool AppendMenuSeparator(HMENU menu) { return ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != FALSE; }

bool InsertMenuSeparator(HMENU menu, UINT position)
{
    return ::InsertMenuA(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr) != FALSE;
}

IFramePopupMenuTracker* SetFramePopupMenuTracker(IFramePopupMenuTracker* tracker)
{
    return g_popupMenuTracker.exchange(tracker);
}

UINT TrackFramePopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    if (!owner) {
        const CAppWindowInfo* info = GetAppWindowInfo();
        owner = info ? info->GetMainWindow() : nullptr;
    }
    if (IFramePopupMenuTracker* tracker = g_popupMenuTracker.load())
        return tracker->Track(menu, flags, x, y, owner);
    const BOOL result = ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    return (flags & TPM_RETURNCMD) ? static_cast<UINT>(result) : 0;
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
