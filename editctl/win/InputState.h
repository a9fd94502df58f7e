#pragma once
// What an edit window keeps between keyboard, mouse and caret events: the held qualifier keys,
// the caret's state, the mouse selection modes, the hyperlink tip and the OLE drag and drop
// objects. A plain record inside EditData.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editctl/model/TextSearch.h"

namespace quill::win {

constexpr UINT_PTR kAutoScrollTimer = 900;
constexpr UINT kAutoScrollPeriod = 50;

class EditDropTarget;

struct InputState {
    uint8_t qualifiers = 0;      // Shift 1, Ctrl 2, Alt 4, as the key map counts them
    bool typedAlready = false;   // the last key press typed its character: skip the WM_CHAR
    bool autoRepeat = false;     // the last key press repeats (bit 30 of its lParam)
    bool hasCaret = false;       // the system caret exists for this window
    bool caretShown = false;
    bool lineMode = false, wordMode = false, allMode = false;  // mouse selection modes
    bool selecting = false;      // the left button went down over the text and is held
    bool hoverTracking = false, tipShown = false;
    bool draggingOut = false, dropActive = false;
    bool droppedOnSelf = false;  // the running drag out ended in this window
    int wheelSum = 0;            // wheel delta not yet turned into lines
    int highlightedLine = -1;    // the line drawn as the caret line
    int linesBefore = -1;        // the line count before the running command, -1: unknown
    POINT lastMouse{-1, -1};
    EditDropTarget* dropTarget = nullptr;  // registered while the window is shown

    // Find and replace: the two histories (most recent first) and the search pattern.
    std::vector<std::string> findHistory, replaceHistory;
    bool historyLoaded = false;
    bool openingReplace = false;  // the dialog being created is the Replace dialog
    SearchPattern pattern;
};

} // namespace quill::win
