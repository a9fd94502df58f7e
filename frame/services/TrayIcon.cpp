#include "frame/services/TrayIcon.h"

#include "core/system/MenuFunctions.h"
#include "core/system/TrayArea.h"

namespace {

class CShellNotifyIconApi : public INotifyIconApi {
public:
    bool Notify(DWORD message, NOTIFYICONDATAA& data) override { return Shell_NotifyIconA(message, &data) != FALSE; }
};

} // namespace

INotifyIconApi& GetShellNotifyIconApi()
{
    static CShellNotifyIconApi api;
    return api;
}

// The block is the form with the balloon fields: sizeof of this build (504 bytes is that form's
// size only in a 32-bit build; on x86_64 the same form is larger).
void CTrayIcon::SetUp(HWND window, HICON icon, HINSTANCE instance, UINT menuResource, const std::string& tooltip,
                      bool addNow)
{
    Destroy();
    m_data = NOTIFYICONDATAA{};
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = window;
    m_data.uID = kTrayIconId;
    m_data.uCallbackMessage = kMsgTrayCallback;
    m_data.hIcon = icon;
    m_menu = menuResource ? LoadMenuA(instance, MAKEINTRESOURCEA(menuResource)) : nullptr;
    m_hidden = true;
    SetTooltip(tooltip);
    if (addNow)
        Add();
}

void CTrayIcon::Add()
{
    if (!m_hidden || !m_data.hWnd)
        return;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_api.Notify(NIM_ADD, m_data);
    m_hidden = false;
}

void CTrayIcon::Remove()
{
    if (m_hidden || !m_data.hWnd)
        return;
    m_api.Notify(NIM_DELETE, m_data);
    m_hidden = true;
}

void CTrayIcon::SetTooltip(const std::string& text)
{
    const size_t length = text.size() < kMaxTrayTooltip ? text.size() : kMaxTrayTooltip;
    memcpy(m_data.szTip, text.data(), length);
    m_data.szTip[length] = '\0';
    if (m_hidden || !m_data.hWnd)
        return;
    m_data.uFlags = NIF_TIP;
    m_api.Notify(NIM_MODIFY, m_data);
}

void CTrayIcon::Destroy()
{
    Remove();
    m_data.hWnd = nullptr;
    if (m_menu) {
        DestroyMenu(m_menu);
        m_menu = nullptr;
    }
}

void CTrayIcon::HideToTray()
{
    Add();
    RECT from{};
    RECT to{};
    GetWindowRect(m_data.hWnd, &from);
    GetTrayAreaRect(&to);
    DrawAnimatedRects(m_data.hWnd, IDANI_CAPTION, &from, &to);
    ShowWindow(m_data.hWnd, SW_HIDE);
}

void CTrayIcon::ShowFromTray()
{
    RECT from{};
    RECT to{};
    GetTrayAreaRect(&from);
    GetWindowRect(m_data.hWnd, &to);
    DrawAnimatedRects(m_data.hWnd, IDANI_CAPTION, &from, &to);
    ShowWindow(m_data.hWnd, SW_SHOWNA);
    SetForegroundWindow(m_data.hWnd);
    if (IsIconic(m_data.hWnd))
        ShowWindow(m_data.hWnd, SW_RESTORE);
    BringWindowToTop(m_data.hWnd);
}

void CTrayIcon::ToggleWindow()
{
    if (!m_data.hWnd || !IsWindow(m_data.hWnd))
        return;
    if (IsWindowVisible(m_data.hWnd))
        HideToTray();
    else
        ShowFromTray();
}

void CTrayIcon::PopupMenuAtCursor()
{
    HMENU popup = GetPopupMenu();
    if (!popup)
        return;
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor{};
    GetCursorPos(&cursor);
    // The owner must be in the foreground, or the menu stays open after a click elsewhere.
    SetForegroundWindow(m_data.hWnd);
    // Through the frame's owner-drawn menus when the frame has them, else the system's.
    TrackFramePopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, m_data.hWnd);
    PostMessageA(m_data.hWnd, WM_NULL, 0, 0);
}

bool CTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD sysFlags, LRESULT& result)
{
    result = 0;
    if (!m_data.hWnd)
        return false;
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED && !(sysFlags & kSysFlagMinimizeNormally)) {
        HideToTray();
        return true;
    }
    if (message == WM_SYSCOMMAND) {
        const WPARAM command = wParam & 0xFFF0;
        if ((command == SC_MINIMIZE && !(sysFlags & kSysFlagMinimizeNormally)) ||
            (command == SC_CLOSE && !(sysFlags & kSysFlagCloseNormally))) {
            HideToTray();
            return true;
        }
        return false;
    }
    if (message == kMsgTrayCallback && wParam == kTrayIconId) {
        if (lParam == WM_LBUTTONDOWN)
            ToggleWindow();
        else if (lParam == WM_RBUTTONDOWN)
            PopupMenuAtCursor();
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kIdTrayShow) {
        ToggleWindow();
        return true;
    }
    // A new task bar knows no icons: the icon comes back only when it was there, so an icon the
    // user turned off stays off and a later removal still finds it.
    if (m_taskbarCreated && message == m_taskbarCreated) {
        if (!m_hidden) {
            m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
            m_api.Notify(NIM_ADD, m_data);
        }
        return false;
    }
    return false;
}
