#pragma once
// Three small behaviours a frame window takes in through its map, each a mix-in with its own
// short map (chain them with CHAIN_MSG_MAP; T is the frame):
//  - TMDIWindowCommands<T>: the MDI arrangement commands and "close all" / "close all but the
//    active one", acting on T's MDI client (T::m_hWndMDIClient);
//  - TCommandUIUpdater<T>: menu items and registered controls are brought up to date before they
//    are shown; every item goes to T::UpdateCommandUI(UINT id, ICommandUIElement&), the frame's
//    command-state routine;
//  - TMouseWheelForwarder<T>: the wheel message of old mouse drivers ("MSWHEEL_ROLLMSG") becomes
//    WM_MOUSEWHEEL for the window with the focus and its ancestors.
// Each chained map keeps the frame's current message as it found it, so chained handlers nest.
#include "platform/AtlMisc.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <algorithm>
#include <vector>

enum : UINT {
    kCmdWindowArrange = 57649,
    kCmdWindowCascade = 57650,
    kCmdWindowTileHorizontal = 57651,
    kCmdWindowTileVertical = 57652,
    kCmdCloseAllWindows = 33031,
    kCmdCloseOtherWindows = 33032,
    kCommandNeverUpdated = 0xFFFF,
};

// The registered messages: "_UpdateUICmdMsg" (wParam a command id, lParam an ICommandUIElement*)
// and "MSWHEEL_ROLLMSG" (wParam the wheel delta).
UINT GetUpdateUICommandMessage();
UINT GetMsWheelMessage();

// What the command-state routine sets on a menu item, a button or another element.
class ICommandUIElement {
public:
    virtual void Enable(bool enable) = 0;
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual void SetCheck(int check) = 0;
    virtual void SetText(const char* text) = 0;
    virtual void SetDefault(bool isDefault) = 0;

protected:
    ~ICommandUIElement() = default;
};

// A popup menu's item at a position (a submenu stands for its first item's command).
class CMenuItemUIElement : public ICommandUIElement {
public:
    CMenuItemUIElement(HMENU menu, int position) : m_menu(menu), m_position(position) {}
    void Enable(bool enable) override;
    void SetCheck(int check) override;
    void SetText(const char* text) override;
    void SetDefault(bool isDefault) override;

private:
    HMENU m_menu;  // not owned
    int m_position;
};

// The MDI children of a client, the active one last; icon-title windows are left out.
std::vector<HWND> MdiChildrenActiveLast(HWND client);
// The command of a popup's item: its own id, or a submenu's first item's; 0 when there is none.
UINT MenuItemCommand(HMENU popup, int position);
// Walks the popup and hands every item with a command to `update` once, also when `update`
// removes items on the way.
template <class TUpdate>
void WalkPopupMenu(HMENU popup, TUpdate&& update)
{
    int count = ::GetMenuItemCount(popup);
    for (int position = 0; position < count;) {
        const UINT id = MenuItemCommand(popup, position);
        if (id == 0 || id == kCommandNeverUpdated) {
            ++position;
            continue;
        }
        update(id, position);
        const int now = ::GetMenuItemCount(popup);
        int next = position + 1;
        // Items removed before this one shift it back: go back by their number and past the
        // items of this id. When this item is still in its place, only later items went, and
        // going back would visit items a second time.
        if (now < count && MenuItemCommand(popup, position) != id) {
            next = std::max(0, next - (count - now));
            while (next < now && MenuItemCommand(popup, next) == id)
                ++next;
        }
        count = now;
        position = next;
    }
}

template <class T>
class TMDIWindowCommands {
public:
    BEGIN_MSG_MAP(TMDIWindowCommands)
        COMMAND_ID_HANDLER(kCmdWindowArrange, OnWindowCommand)
        COMMAND_ID_HANDLER(kCmdWindowCascade, OnWindowCommand)
        COMMAND_ID_HANDLER(kCmdWindowTileHorizontal, OnWindowCommand)
        COMMAND_ID_HANDLER(kCmdWindowTileVertical, OnWindowCommand)
        COMMAND_ID_HANDLER(kCmdCloseAllWindows, OnCloseAll)
        COMMAND_ID_HANDLER(kCmdCloseOtherWindows, OnCloseOthers)
    END_MSG_MAP()

    LRESULT OnWindowCommand(WORD, WORD id, HWND, BOOL&)
    {
        HWND client = static_cast<T*>(this)->m_hWndMDIClient;
        switch (id) {
        case kCmdWindowArrange:
            ::SendMessageA(client, WM_MDIICONARRANGE, 0, 0);
            break;
        case kCmdWindowCascade:
            ::SendMessageA(client, WM_MDICASCADE, 0, 0);
            break;
        case kCmdWindowTileHorizontal:
            ::SendMessageA(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
            break;
        default:
            ::SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
            break;
        }
        return 0;
    }
    LRESULT OnCloseAll(WORD, WORD, HWND, BOOL&)
    {
        CWaitCursor wait;
        for (HWND child : MdiChildrenActiveLast(static_cast<T*>(this)->m_hWndMDIClient))
            if (::IsWindow(child))
                ::SendMessageA(child, WM_CLOSE, 0, 0);
        return 0;
    }
    LRESULT OnCloseOthers(WORD, WORD, HWND, BOOL&)
    {
        CWaitCursor wait;
        HWND client = static_cast<T*>(this)->m_hWndMDIClient;
        HWND active = reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
        for (HWND child : MdiChildrenActiveLast(client))
            if (child != active && ::IsWindow(child))
                ::SendMessageA(child, WM_CLOSE, 0, 0);
        return 0;
    }
};

template <class T>
class TCommandUIUpdater {
public:
    // Controls whose commands repaint them at once (the frame's updated controls).
    void AddUpdatedControl(HWND control)
    {
        if (std::find(m_controls.begin(), m_controls.end(), control) == m_controls.end())
            m_controls.push_back(control);
    }
    void RemoveUpdatedControl(HWND control)
    {
        m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
    }

    BEGIN_MSG_MAP(TCommandUIUpdater)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(GetUpdateUICommandMessage(), OnUpdateUICommand)
    END_MSG_MAP()

    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        HMENU popup = reinterpret_cast<HMENU>(wParam);
        T* frame = static_cast<T*>(this);
        WalkPopupMenu(popup, [&](UINT id, int position) {
            CMenuItemUIElement element(popup, position);
            frame->UpdateCommandUI(id, element);
        });
        handled = FALSE;
        return 0;
    }
    LRESULT OnCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end())
            ::UpdateWindow(control);
        handled = FALSE;  // the command itself goes on
        return 0;
    }
    LRESULT OnUpdateUICommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const UINT id = static_cast<UINT>(wParam);
        if (!lParam || id == kCommandNeverUpdated || ::InSendMessage())
            return 0;  // the element is a pointer into this thread's own memory only
        static_cast<T*>(this)->UpdateCommandUI(id, *reinterpret_cast<ICommandUIElement*>(lParam));
        return 1;
    }

private:
    std::vector<HWND> m_controls;  // not owned
};

template <class T>
class TMouseWheelForwarder {
public:
    BEGIN_MSG_MAP(TMouseWheelForwarder)
        MESSAGE_HANDLER(GetMsWheelMessage(), OnMsWheel)
    END_MSG_MAP()

    LRESULT OnMsWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        WORD keys = 0;
        if (::GetKeyState(VK_CONTROL) < 0)
            keys |= MK_CONTROL;
        if (::GetKeyState(VK_SHIFT) < 0)
            keys |= MK_SHIFT;
        const WPARAM wheel = MAKEWPARAM(keys, static_cast<WORD>(wParam));
        HWND window = ::GetFocus();
        if (!window)
            return ::SendMessageA(static_cast<T*>(this)->m_hWnd, WM_MOUSEWHEEL, wheel, lParam);
        HWND desktop = ::GetDesktopWindow();
        LRESULT answer = 0;
        for (; window && window != desktop; window = ::GetParent(window)) {
            answer = ::SendMessageA(window, WM_MOUSEWHEEL, wheel, lParam);
            if (answer)
                break;
        }
        return answer;
    }
};
