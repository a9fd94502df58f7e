#include "core/system/TrayArea.h"

#include "core/system/WindowFunctions.h"

#include <shellapi.h>

namespace {

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
