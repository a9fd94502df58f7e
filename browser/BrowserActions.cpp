#include "browser/BrowserActions.h"

namespace {

class CDefaultActionServices final : public IBrowserActionServices {
public:
    DWORD UserActionHotKey(int) const override { return 0; }
    void PlayKey(BYTE virtualKey, bool down) override
    {
        const BYTE scan = static_cast<BYTE>(::MapVirtualKeyA(virtualKey, 0) | 0x80);
        ::keybd_event(virtualKey, scan, down ? 0 : KEYEVENTF_KEYUP, 0);
    }
    void ShowWindowListPopup(HWND) override {}
};

CDefaultActionServices g_defaultServices;
IBrowserActionServices* g_services = nullptr;  // not owned

} // namespace

IBrowserActionServices& GetBrowserActionServices()
{
    return g_services ? *g_services : g_defaultServices;
}

IBrowserActionServices* SetBrowserActionServices(IBrowserActionServices* services)
{
    IBrowserActionServices* previous = g_services;
    g_services = services;
    return previous;
}

void PlayHotKey(IBrowserActionServices& services, DWORD hotKey)
{
    const BYTE key = static_cast<BYTE>(hotKey & 0xFF);
    if (!hotKey || !key)
        return;
    const DWORD modifiers = hotKey >> 16;
    BYTE pressed[4] = {};
    int count = 0;
    if (modifiers & HotKeyModifier::Ctrl)
        pressed[count++] = VK_CONTROL;
    if (modifiers & HotKeyModifier::Alt)
        pressed[count++] = VK_MENU;
    if (modifiers & HotKeyModifier::Shift)
        pressed[count++] = VK_SHIFT;
    pressed[count++] = key;
    for (int i = 0; i < count; ++i)
        services.PlayKey(pressed[i], true);
    for (int i = count - 1; i >= 0; --i)
        services.PlayKey(pressed[i], false);
}

bool RunBrowserAction(CTabActions& actions, int index, HWND window, POINT point)
{
    using Action = void (CTabActions::*)(HWND, POINT);
    static const Action kActions[kFirstUserAction] = {
        &CTabActions::GoPreviousDocument,      &CTabActions::GoNextDocument,
        &CTabActions::GoTopOfDocument,         &CTabActions::GoBottomOfDocument,
        &CTabActions::CloseDocumentWindow,     &CTabActions::OpenNewForegroundWindow,
        &CTabActions::RefreshDocument,         &CTabActions::ReloadDocument,
        &CTabActions::DuplicateWindow,         &CTabActions::ScrollThroughOpenWindows,
        &CTabActions::GoNextWindow,            &CTabActions::GoPreviousWindow,
        &CTabActions::CloseAllExceptActive,
    };
    if (index < 0 || index >= kBrowserActionCount)
        return false;
    if (index < kFirstUserAction)
        (actions.*kActions[index])(window, point);
    else
        actions.RunUserAction(index - kFirstUserAction, window, point);
    return true;
}
