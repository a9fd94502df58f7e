#pragma once
// CShellItemMenu: the shell's own context menu of one file: its items added to a menu of ours from
// a first command id on, the verb behind each of them ("open", "delete", "link", "rename", ...) so
// that commands are recognised by what they do rather than by their texts (which change with the
// shell's language and wording), running one of them, and the owner-drawn parts of its submenus
// while the menu is up.
//
// Lifetime: held by the window whose menu it fills for as long as the menu is up (and until the
// chosen command has run); it holds the shell's menu object.
#include "platform/AtlBase.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

class CShellItemMenu {
public:
    CShellItemMenu() = default;
    CShellItemMenu(const CShellItemMenu&) = delete;
    CShellItemMenu& operator=(const CShellItemMenu&) = delete;

    // The shell's menu of the file or folder at `path`; false when the shell has none.
    bool Open(HWND owner, const std::string& path);
    bool IsOpen() const { return m_menu != nullptr; }
    // Appends the shell's items at the end of `menu` with ids from `firstCommand` on; false when
    // the shell added nothing.
    bool Fill(HMENU menu, UINT firstCommand, UINT lastCommand);
    // The verb of a command of ours that came from the shell (lower case); empty for any other.
    std::string GetVerb(UINT command) const;
    // The command of ours whose verb is `verb` (any case), searched through the menu and its
    // submenus; 0 when none.
    UINT FindVerb(HMENU menu, const char* verb) const;
    // Runs a command of ours that came from the shell.
    HRESULT Invoke(HWND owner, UINT command, POINT screen) const;
    // The messages a shell menu draws and fills its submenus with (WM_INITMENUPOPUP, WM_DRAWITEM,
    // WM_MEASUREITEM, WM_MENUCHAR); true when the shell took the message.
    bool HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;
    void Close();

private:
    CComPtr<IContextMenu> m_menu;
    CComPtr<IContextMenu2> m_menu2;
    CComPtr<IContextMenu3> m_menu3;
    UINT m_first = 0;
    UINT m_last = 0;
};
