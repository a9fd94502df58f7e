// Screenshots of the menus the services fill: the tray menu with its external tools, the proxy
// menu, and the proxy page's dialog resource.
#include "browser/privacy/ProxyList.h"
#include "controls/tests/Screenshot.h"
#include "core/tests/ScratchFolder.h"
#include "frame/services/ExternalTools.h"
#include "frame/services/ServicesResources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_menuShot;
bool g_menuSeen = false;

// Runs inside the menu's own loop: once the menu window is on the screen it is captured, then the
// menu is closed.
void CALLBACK CaptureOpenMenu(HWND window, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    RECT rect{};
    GetWindowRect(menu, &rect);
    std::string path;
    g_menuSeen = kivo_test::WriteScreenRect(rect, g_menuShot.c_str(), path);
    KillTimer(window, timer);
    EndMenu();
}

void ShootPopup(HMENU popup, const char* name)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    SetForegroundWindow(owner);
    g_menuShot = name;
    g_menuSeen = false;
    SetTimer(owner, 1, 100, CaptureOpenMenu);
    TrackPopupMenu(popup, TPM_LEFTALIGN, 50, 50, 0, owner, nullptr);
    KillTimer(owner, 1);
    DestroyWindow(owner);
    EXPECT_TRUE(g_menuSeen) << name;
}

} // namespace

TEST(ServicesScreenshots, TrayMenuWithExternalTools)
{
    HMENU tray = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(nullptr, tray);
    HMENU popup = GetSubMenu(tray, 0);
    SetMenuDefaultItem(popup, 0, TRUE);
    CExternalToolList tools;
    char notepad[MAX_PATH] = "";
    SearchPathA(nullptr, "notepad.exe", nullptr, sizeof(notepad), notepad, nullptr);
    tools.m_tools = {{"Notepad", notepad, "", "", "", -1}, {"Missing", "C:\\none.exe", "", "", "", -1}};
    HMENU external = nullptr;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        GetMenuStringA(popup, UINT(i), text, sizeof(text), MF_BYPOSITION);
        if (std::string(text) == "&External Tools")
            external = GetSubMenu(popup, i);
    }
    ASSERT_NE(nullptr, external);
    tools.BuildMenu(external);
    EXPECT_EQ(3, GetMenuItemCount(external));
    ShootPopup(popup, "services_tray_menu.bmp");
    ShootPopup(external, "services_external_tools_menu.bmp");
    DestroyMenu(tray);
}

TEST(ServicesScreenshots, ProxyMenuAndPage)
{
    CScratchFolder folder("ProxyShots");
    CProxyList list((folder / kProxiesFileName).c_str());
    list.m_proxies = {{"Office", "10.0.0.1:8080"}, {"", "cache.example:3128"}};
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kIdUseSystemProxy, "Use &IE Proxy");
    AppendMenuA(menu, MF_STRING, kIdNoProxy, "&No Proxy");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    BuildProxyMenu(menu, list, 0);
    ShootPopup(menu, "services_proxy_menu.bmp");
    DestroyMenu(menu);

    HWND host = CreateWindowExA(0, "#32770", "Proxy", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 20, 460, 380, nullptr,
                                nullptr, nullptr, nullptr);
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROXY_PAGE), host,
                                   [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    SetDlgItemTextA(page, IDC_PROXY_EXCEPTIONS, "*.local;intranet");
    UpdateWindow(host);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(page, "services_proxy_page.bmp", path));
    DestroyWindow(host);
}
