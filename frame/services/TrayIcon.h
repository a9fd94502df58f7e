#pragma once
// CTrayIcon: the main window's icon in the notification area, hiding the window to it and bringing
// it back on a click. The frame routes its size, system-command, command, tray-callback and
// "TaskbarCreated" messages through HandleMessage before anything else sees them.
//
// "SysFlags" bits read here: 0x20 set = no icon while the window is shown (the icon is added at
// creation only when it is clear); 0x04 clear = the close box hides to the tray; 0x08 clear =
// minimising hides to the tray.
//
// Lifetime: the frame holds it (a member); Destroy (or the destructor) deletes the icon.
#include <windows.h>
#include <shellapi.h>

#include <string>

inline constexpr UINT kMsgTrayCallback = WM_APP + 0x1A7;
inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kIdTrayShow = 1200;
inline constexpr DWORD kSysFlagCloseNormally = 0x04;
inline constexpr DWORD kSysFlagMinimizeNormally = 0x08;
inline constexpr DWORD kSysFlagNoTrayIcon = 0x20;
// The longest tooltip: the data block holds 128 characters with the terminating zero.
inline constexpr size_t kMaxTrayTooltip = 127;

// Shell_NotifyIcon, so that tests see the calls without a notification area.
class INotifyIconApi {
public:
    virtual ~INotifyIconApi() = default;
    virtual bool Notify(DWORD message, NOTIFYICONDATAA& data) = 0;
};
INotifyIconApi& GetShellNotifyIconApi();

// Whether the icon is added when the main window is created.
inline bool ShowsTrayIconAtCreation(DWORD sysFlags)
{
    return (sysFlags & kSysFlagNoTrayIcon) == 0;
}

class CTrayIcon {
public:
    explicit CTrayIcon(INotifyIconApi& api = GetShellNotifyIconApi()) : m_api(api) {}
    ~CTrayIcon() { Destroy(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Fills the data block for `window` (icon: the given one, not owned; menu: loaded from
    // `menuResource` of `instance`, owned); adds the icon now when `addNow`.
    void SetUp(HWND window, HICON icon, HINSTANCE instance, UINT menuResource, const std::string& tooltip, bool addNow);
    void Add();
    void Remove();
    void SetTooltip(const std::string& text);
    void Destroy();
    bool IsHidden() const { return m_hidden; }
    std::string GetTooltip() const { return m_data.szTip; }
    // The first submenu of the tray menu, or null.
    HMENU GetPopupMenu() const { return m_menu ? GetSubMenu(m_menu, 0) : nullptr; }

    // Hides the window and adds the icon, or shows the window again (the icon stays).
    void ToggleWindow();
    // The tray's share of the frame's messages; true when it handled the message (`result` then
    // holds the answer). `sysFlags` is the current "SysFlags" word.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD sysFlags, LRESULT& result);

private:
    void HideToTray();
    void ShowFromTray();
    void PopupMenuAtCursor();

    INotifyIconApi& m_api;
    NOTIFYICONDATAA m_data{};
    bool m_hidden = true;
    HMENU m_menu = nullptr;  // owned: destroyed by Destroy
    UINT m_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
};
