#include "controls/docking/FrameMixins.h"

#include <cstring>

UINT GetUpdateUICommandMessage()
{
    static const UINT message = ::RegisterWindowMessageA("_UpdateUICmdMsg");
    return message;
}

UINT GetMsWheelMessage()
{
    static const UINT message = ::RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    return message;
}

void CMenuItemUIElement::Enable(bool enable)
{
    ::EnableMenuItem(m_menu, static_cast<UINT>(m_position), MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
}

void CMenuItemUIElement::SetCheck(int check)
{
    ::CheckMenuItem(m_menu, static_cast<UINT>(m_position), MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void CMenuItemUIElement::SetText(const char* text)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text ? text : "");
    ::SetMenuItemInfoA(m_menu, static_cast<UINT>(m_position), TRUE, &info);
}

void CMenuItemUIElement::SetDefault(bool isDefault)
{
    if (isDefault)
        ::SetMenuDefaultItem(m_menu, static_cast<UINT>(m_position), TRUE);
    else if (::GetMenuDefaultItem(m_menu, TRUE, 0) == static_cast<UINT>(m_position))
        ::SetMenuDefaultItem(m_menu, static_cast<UINT>(-1), TRUE);
}

std::vector<HWND> MdiChildrenActiveLast(HWND client)
{
    std::vector<HWND> children;
    HWND active = reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
    for (HWND child = ::GetWindow(client, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetWindow(child, GW_OWNER))
            continue;  // an icon title
        if (child != active)
            children.push_back(child);
    }
    if (active)
        children.push_back(active);
    return children;
}

UINT MenuItemCommand(HMENU popup, int position)
{
    if (HMENU sub = ::GetSubMenu(popup, position)) {
        if (::GetSubMenu(sub, 0))
            return 0;
        const UINT first = ::GetMenuItemID(sub, 0);
        return first == static_cast<UINT>(-1) ? 0 : first;
    }
    const UINT id = ::GetMenuItemID(popup, position);
    return id == static_cast<UINT>(-1) ? 0 : id;
}
