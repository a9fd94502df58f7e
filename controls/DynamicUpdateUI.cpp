#include "controls/DynamicUpdateUI.h"

#include "controls/MultiPaneStatusBar.h"
#include "core/library/LifetimeTracker.h"

#include <commctrl.h>

#include <algorithm>

CDynamicUpdateUI::CDynamicUpdateUI()
{
    for (WORD id : kUpdateUIInitialCommands)
        UIAddItem(id, kUpdateUIPopupMenu);
}

CDynamicUpdateUI* GetCommandStateMap()
{
    return GetSingleton<CDynamicUpdateUI, kPriorityDynamicUpdateUI>();
}

void CDynamicUpdateUI::UIAddItem(WORD id, WORD kinds)
{
    const auto [command, added] = m_commands.try_emplace(id);
    if (added)
        command->second.state = static_cast<WORD>(kinds & kUpdateUIKindMask);
}

void CDynamicUpdateUI::UIAddItems(int count, const CUpdateUIItem* items)
{
    if (!items)
        return;
    for (int i = 0; i < count; ++i)
        UIAddItem(items[i].id, items[i].kinds);
}

void CDynamicUpdateUI::UIAddElement(HWND window, WORD kind)
{
    for (const CElement& element : m_elements) {
        if (element.window == window && element.kind == kind)
            return;
    }
    m_elements.push_back({window, kind});
}

void CDynamicUpdateUI::UIRemoveElement(HWND window)
{
    m_elements.erase(std::remove_if(m_elements.begin(), m_elements.end(),
                                    [window](const CElement& element) { return element.window == window; }),
                     m_elements.end());
}

void CDynamicUpdateUI::ChangeState(WORD id, WORD clear, WORD set, bool force)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end())
        return;
    WORD& state = found->second.state;
    const WORD changed = static_cast<WORD>((state & ~clear) | set);
    if (changed != state || force) {
        state = changed;
        m_staleKinds |= static_cast<WORD>(state & kUpdateUIKindMask);
    }
}

void CDynamicUpdateUI::UIEnable(WORD id, bool enable, bool force)
{
    ChangeState(id, kUpdateUIDisabled, enable ? 0 : kUpdateUIDisabled, force);
}

void CDynamicUpdateUI::UISetCheck(WORD id, int check, bool force)
{
    switch (check) {
    case 0:
        ChangeState(id, kUpdateUIChecked | kUpdateUIChecked2, 0, force);
        break;
    case 1:
        ChangeState(id, kUpdateUIChecked | kUpdateUIChecked2, kUpdateUIChecked, force);
        break;
    case 2:
        ChangeState(id, kUpdateUIChecked | kUpdateUIChecked2, kUpdateUIChecked2, force);
        break;
    default:
        ChangeState(id, 0, 0, force);
        break;
    }
}

void CDynamicUpdateUI::UISetRadio(WORD id, bool radio, bool force)
{
    ChangeState(id, kUpdateUIRadio, radio ? kUpdateUIRadio : 0, force);
}

void CDynamicUpdateUI::UISetDefault(WORD id, bool isDefault, bool force)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end())
        return;
    if (isDefault)
        ChangeState(id, kUpdateUIClearDefault, kUpdateUIDefault, force);
    else if ((found->second.state & kUpdateUIDefault) || force)
        ChangeState(id, kUpdateUIDefault, kUpdateUIClearDefault, force);
}

void CDynamicUpdateUI::UISetText(WORD id, const char* text)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end())
        return;
    found->second.text = text ? text : "";
    ChangeState(id, 0, kUpdateUIText, true);
}

WORD CDynamicUpdateUI::UIGetState(WORD id) const
{
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? 0 : found->second.state;
}

bool CDynamicUpdateUI::UIUpdateToolBar(bool force)
{
    if (!(m_staleKinds & kUpdateUIToolBar) && !force)
        return true;
    for (const auto& [id, command] : m_commands) {
        if (!(command.state & kUpdateUIToolBar))
            continue;
        for (const CElement& element : m_elements) {
            if (element.kind != kUpdateUIToolBar || !::IsWindow(element.window))
                continue;
            const WORD state = command.state;
            ::SendMessageA(element.window, TB_ENABLEBUTTON, id, MAKELPARAM(!(state & kUpdateUIDisabled), 0));
            ::SendMessageA(element.window, TB_CHECKBUTTON, id, MAKELPARAM((state & kUpdateUIChecked) != 0, 0));
            ::SendMessageA(element.window, TB_INDETERMINATE, id, MAKELPARAM((state & kUpdateUIChecked2) != 0, 0));
            ::SendMessageA(element.window, TB_PRESSBUTTON, id, MAKELPARAM((state & kUpdateUIRadio) != 0, 0));
        }
    }
    m_staleKinds &= static_cast<WORD>(~kUpdateUIToolBar);
    return true;
}

// A command's text goes to the pane the status bar names for the command id. SB_SETTEXT takes the
// part index in its low byte and the drawing type in the next: a command id such as 21404 sent as
// the index would address part (id & 0xFF) with owner-draw and border bits set, and an owner-drawn
// part keeps the text pointer freed right after this pass. A bar that names no pane for the id gets
// the text only when the id itself is a plain part index.
bool CDynamicUpdateUI::UIUpdateStatusBar(bool force)
{
    constexpr LRESULT kPartIndexLimit = 0x100;  // SB_SETTEXT's part index is one byte
    if (!(m_staleKinds & kUpdateUIStatusBar) && !force)
        return true;
    for (auto& [id, command] : m_commands) {
        if (!(command.state & kUpdateUIStatusBar) || !(command.state & kUpdateUIText))
            continue;
        for (const CElement& element : m_elements) {
            if (element.kind != kUpdateUIStatusBar || !::IsWindow(element.window))
                continue;
            const LRESULT named = ::SendMessageA(element.window, kMsgPaneIndexFromId, id, 0);
            int index = -1;
            if (named > 0 && named <= kPartIndexLimit)
                index = static_cast<int>(named - 1);
            else if (named == 0 && id < kPartIndexLimit)
                index = id;
            if (index >= 0)
                ::SendMessageA(element.window, SB_SETTEXTA, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(command.text.c_str()));
        }
        command.text.clear();
        command.text.shrink_to_fit();
        command.state &= static_cast<WORD>(~kUpdateUIText);
    }
    m_staleKinds &= static_cast<WORD>(~kUpdateUIStatusBar);
    return true;
}

void CDynamicUpdateUI::UpdateMenuItem(WORD id, CCommandState& command, HMENU menu)
{
    if (command.state & kUpdateUIClearDefault) {
        ::SetMenuDefaultItem(menu, static_cast<UINT>(-1), FALSE);
        command.state &= static_cast<WORD>(~kUpdateUIClearDefault);
    }
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (command.state & kUpdateUIDisabled)
        info.fState |= MFS_DISABLED | MFS_GRAYED;
    if (command.state & kUpdateUIChecked)
        info.fState |= MFS_CHECKED;
    if (command.state & kUpdateUIDefault)
        info.fState |= MFS_DEFAULT;
    if (command.state & kUpdateUIText) {
        MENUITEMINFOA type = {};
        type.cbSize = sizeof(type);
        type.fMask = MIIM_TYPE;
        if (::GetMenuItemInfoA(menu, id, FALSE, &type)) {
            info.fMask |= MIIM_TYPE;
            info.fType = type.fType & ~(MFT_BITMAP | MFT_SEPARATOR);
            info.dwTypeData = command.text.data();
        }
    }
    ::SetMenuItemInfoA(menu, id, FALSE, &info);
}

LRESULT CDynamicUpdateUI::OnInitMenuPopup(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& handled)
{
    handled = FALSE;
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (!menu)
        return 0;
    for (auto& [id, command] : m_commands) {
        if (command.state & kUpdateUIPopupMenu)
            UpdateMenuItem(id, command, menu);
    }
    return 0;
}

LRESULT CDynamicUpdateUI::OnCommandFilter(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& handled)
{
    handled = FALSE;
    constexpr WORD kFromAccelerator = 1;
    if (m_blockDisabledAccelerators && HIWORD(wParam) == kFromAccelerator &&
        (UIGetState(LOWORD(wParam)) & kUpdateUIDisabled))
        handled = TRUE;
    return 0;
}

BOOL CUpdateUIIdleHandler::OnIdle()
{
    CDynamicUpdateUI* map = m_map ? m_map : GetCommandStateMap();
    if (map) {
        map->UIUpdateToolBar();
        map->UIUpdateStatusBar();
    }
    return FALSE;
}
