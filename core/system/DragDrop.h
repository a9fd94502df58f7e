#pragma once
// Drag and drop: the drop effect the keys choose, what a data object offers, the system's drag
// thresholds, and telling a drag from a click.
#include "core/library/StdStr.h"

#include <windows.h>
#include <oleidl.h>

#include <vector>

// Ctrl and Shift: link; Ctrl: copy; otherwise move; always with the scroll bit.
DWORD DropEffectFromKeyState(DWORD keyState);
// The effects when they are exactly copy or exactly link (the scroll bit ignored), else 0.
DWORD FilterDropEffect(DWORD effects);
// The object offers files, text or a URL.
bool IsDataObjectDroppable(IDataObject* data);
// The text of a global-memory text format; "" when the object does not offer it.
TStdStr<char> GetDataObjectText(IDataObject* data, CLIPFORMAT format);
// The CF_HDROP file names in order; false without such data.
bool GetDataObjectFiles(IDataObject* data, std::vector<TStdStr<char>>& files);

// The drag thresholds of the "windows" section of WIN.INI, read once.
struct DragDetectSettings {
    int minDistance = 2;  // "DragMinDist"
    int delay = 200;      // "DragDelay", ms
};
struct DragScrollSettings {
    int inset = 11;       // "DragScrollInset"
    int delay = 50;       // "DragScrollDelay", ms
    int interval = 50;    // "DragScrollInterval", ms
};
const DragDetectSettings& GetDragDetectSettings();
const DragScrollSettings& GetDragScrollSettings();

// Watches the mouse after a button press to tell a drag from a click.
class CDragDetector {
public:
    // True when a drag starts: the mouse leaves the start rectangle (the given one, or the cursor
    // position inflated by twice the minimum drag distance), or, with the time limit, the drag
    // delay passes. A button release or press, or Escape, ends the wait without a drag.
    bool DetectDrag(HWND window, const RECT* start, bool timeLimit);
    // The mouse button that was down when the detection started (MK_LBUTTON, MK_RBUTTON, MK_MBUTTON or 0).
    UINT GetButton() const { return m_button; }

private:
    UINT m_button = 0;
};
