// The messages of the editing half of an edit window: keyboard, mouse, scrolling, the standard
// clipboard messages, key macros and the dialogs, and the commands they run.
#include <windows.h>

#include "editctl/win/EditCommands.h"

namespace quill::win {

LRESULT RunEditingHalfCommand(EditData& ed, int number)
{
    bool known = false;
    LRESULT result = RunCaretCommand(ed, number, &known);
    if (!known)
        result = RunEditingCommand(ed, number, &known);
    if (!known)
        result = RunFindCommand(ed, number, &known);
    if (!known)
        result = RunPrintCommand(ed, number, &known);
    return known ? result : 0;
}

void StartInput(EditData& ed)
{
    if (GetWindowLongA(ed.window, GWL_STYLE) & WS_VISIBLE)
        RegisterDropTarget(ed, ed.config && ed.config->dndEnabled);
}

void ReleaseInput(EditData& ed)
{
    if (ed.input.selecting) {
        KillTimer(ed.window, kAutoScrollTimer);
        if (GetCapture() == ed.window)
            ReleaseCapture();
        ed.input.selecting = false;
    }
    CloseFindDialogs(ed);
    RegisterDropTarget(ed, false);
    if (ed.input.hasCaret)
        DestroyCaret();
    ed.input.hasCaret = false;
}

bool DispatchInputMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    try {
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            *result = OnKeyMessage(ed, message, wParam, lParam);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_CAPTURECHANGED:
        case WM_MOUSEHOVER:
        case WM_MOUSELEAVE:
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_SETCURSOR:
            *result = OnMouseMessage(ed, message, wParam, lParam);
            return true;
        case WM_CUT: *result = RunCommand(ed, kClipCut); return true;
        case WM_COPY: *result = RunCommand(ed, kClipCopy); return true;
        case WM_PASTE: *result = RunCommand(ed, kClipPaste); return true;
        case WM_CLEAR: *result = RunCommand(ed, kClipDelete); return true;
        case QPM_RUNKEYMACRO:
            if (lParam)
                RunKeyMacro(ed, *reinterpret_cast<const KeyMacro*>(lParam));
            *result = 0;
            return true;
        case QPM_PRINT:  // the page setup, as DialogPageSetup
            *result = RunCommand(ed, kDialogPageSetup);
            return true;
        case WM_SHOWWINDOW:
            RegisterDropTarget(ed, wParam && ed.config && ed.config->dndEnabled);
            *result = DefWindowProcA(ed.window, message, wParam, lParam);
            return true;
        default:
            return DispatchDialogMessage(ed, message, wParam, lParam, result);
        }
    } catch (...) {
        *result = 0;  // out of memory: the message fails, the window goes on
        return true;
    }
}

} // namespace quill::win
