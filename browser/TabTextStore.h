#pragma once
// CTabTextStore: the status text of every MDI child. Only the active child's text reaches the
// first status pane (through the frame's IBrowserTabHost), with the script-error icon while that
// child has collected script errors and the page icon otherwise. One instance, reached through
// GetTabTextStore; UI thread only.
#include "core/library/StdStr.h"

#include <windows.h>

#include <map>

class CTabTextStore {
public:
    // Stores the child's text (null child: the active child, nothing stored) and shows it when the
    // child is the active one. While a notice is held an empty text shows nothing.
    void SetText(HWND child, const char* text);
    // Shows the child's stored text, when it has one.
    void Refresh(HWND child);
    // A closed child's text goes with it, so a window handle used again starts without one.
    void Remove(HWND child);
    // Set by code that writes a notice straight into the pane (the popup notice, the gesture text).
    void HoldNotice() { m_hold = true; }
    bool IsHoldingNotice() const { return m_hold; }
    // The stored text of a child, or null.
    const char* GetText(HWND child) const;

    static HICON ScriptErrorIcon();
    static HICON PageIcon();

private:
    void Show(HWND activeChild, const char* text);
    bool m_hold = false;
    std::map<HWND, TStdStr<char>> m_texts;
};

CTabTextStore& GetTabTextStore();
