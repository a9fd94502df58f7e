#pragma once
// CDynamicUpdateUI: the enabled, checked, default and text state of every command that shows in a
// menu, a toolbar or a status-bar pane, keyed by command id, with commands added at run time
// (skins, external tools, plug-ins and favorites bring their own). States may change at any time;
// the map only remembers which kinds of element became stale, and the element kinds catch up at
// the next update pass (toolbars, status bars; run from the frame's idle handler) or when a popup
// menu is about to open. One instance for the process: GetCommandStateMap. UI thread only.
#include "platform/AtlApp.h"
#include "platform/AtlWin.h"

#include <map>
#include <string>
#include <vector>

// Element kinds: the kinds of registered element windows and, in the low byte of a command's
// state word, the kinds the command shows in.
inline constexpr WORD kUpdateUIPopupMenu = 0x0001;
inline constexpr WORD kUpdateUIMenuBar = 0x0002;
inline constexpr WORD kUpdateUIChildWindow = 0x0004;
inline constexpr WORD kUpdateUIToolBar = 0x0008;
inline constexpr WORD kUpdateUIStatusBar = 0x0010;
inline constexpr WORD kUpdateUIKindMask = 0x00FF;

// Command state bits: the high byte of the state word.
inline constexpr WORD kUpdateUIDisabled = 0x0100;
inline constexpr WORD kUpdateUIChecked = 0x0200;
inline constexpr WORD kUpdateUIChecked2 = 0x0400;  // indeterminate, the second check state
inline constexpr WORD kUpdateUIRadio = 0x0800;     // shown as a pressed toolbar button
inline constexpr WORD kUpdateUIDefault = 0x1000;
inline constexpr WORD kUpdateUIText = 0x2000;
inline constexpr WORD kUpdateUIClearDefault = 0x4000;  // clear the menu's default item at the next menu update

// The commands every frame has from the start, as popup menu items.
inline constexpr WORD kUpdateUIInitialCommands[] = {0x3000, 0x3001, 0x3002};

struct CUpdateUIItem {
    WORD id;
    WORD kinds;
};

class CDynamicUpdateUI {
public:
    CDynamicUpdateUI();
    CDynamicUpdateUI(const CDynamicUpdateUI&) = delete;
    CDynamicUpdateUI& operator=(const CDynamicUpdateUI&) = delete;

    // A command that exists keeps its record (and its first kind mask).
    void UIAddItem(WORD id, WORD kinds);
    void UIAddItems(int count, const CUpdateUIItem* items);
    // Element windows; a window is registered once per kind.
    void UIAddElement(HWND window, WORD kind);
    void UIAddToolBar(HWND toolBar) { UIAddElement(toolBar, kUpdateUIToolBar); }
    void UIAddStatusBar(HWND statusBar) { UIAddElement(statusBar, kUpdateUIStatusBar); }
    void UIRemoveElement(HWND window);

    // Unknown ids are ignored. A change (or force) marks the command's kinds stale.
    void UIEnable(WORD id, bool enable, bool force = false);
    // check: 0 unchecked, 1 checked, 2 indeterminate; other values change nothing.
    void UISetCheck(WORD id, int check, bool force = false);
    void UISetRadio(WORD id, bool radio, bool force = false);
    // Clearing the default also clears the menu's default item at the next menu update.
    void UISetDefault(WORD id, bool isDefault, bool force = false);
    // The text shows in the command's menu items and once in its status-bar pane.
    void UISetText(WORD id, const char* text);
    // The state word, 0 for an unknown id.
    WORD UIGetState(WORD id) const;
    WORD GetStaleKinds() const { return m_staleKinds; }

    // The update passes; both answer true.
    bool UIUpdateToolBar(bool force = false);
    bool UIUpdateStatusBar(bool force = false);

    // While set, a WM_COMMAND from an accelerator for a disabled command is swallowed.
    void SetBlockDisabledAccelerators(bool block) { m_blockDisabledAccelerators = block ? 1 : 0; }

    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommandFilter(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    // Chained into the frame's map (CHAIN_MSG_MAP_MEMBER): both handlers leave the message to the
    // frame unless a disabled accelerator is swallowed.
    BEGIN_MSG_MAP(CDynamicUpdateUI)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_COMMAND, OnCommandFilter)
    END_MSG_MAP()

private:
    struct CElement {
        HWND window;
        WORD kind;
    };
    struct CCommandState {
        WORD state = 0;  // kind mask in the low byte, state bits in the high byte
        std::string text;  // meaningful while kUpdateUIText is set
    };

    // Clears `clear` and sets `set` in the command's word; a change (or force) marks its kinds stale.
    void ChangeState(WORD id, WORD clear, WORD set, bool force);
    static void UpdateMenuItem(WORD id, CCommandState& command, HMENU menu);

    std::vector<CElement> m_elements;
    std::map<WORD, CCommandState> m_commands;  // ascending command id
    WORD m_staleKinds = 0;
    BYTE m_blockDisabledAccelerators = 0;
};

// The process's map, created on first call (teardown priority kPriorityDynamicUpdateUI).
CDynamicUpdateUI* GetCommandStateMap();

// The frame's idle step: runs the toolbar and status-bar passes of a map.
class CUpdateUIIdleHandler : public CIdleHandler {
public:
    explicit CUpdateUIIdleHandler(CDynamicUpdateUI* map = nullptr) : m_map(map) {}
    BOOL OnIdle() override;

private:
    CDynamicUpdateUI* m_map;  // not owned; null: the process's map
};
