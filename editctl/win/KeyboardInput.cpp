// Keyboard input of an edit window: every key press looks up its binding in the window's parser
// configuration and runs the bound macro; unbound keys without Ctrl or Alt type their characters.
#include <windows.h>

#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

uint8_t QualifierOf(WPARAM key)
{
    switch (key) {
    case VK_SHIFT: return kShift;
    case VK_CONTROL: return kCtrl;
    case VK_MENU: return kAlt;
    default: return 0;
    }
}

// The qualifier keys as the system holds them now. Read at every key press, so that a Ctrl
// pressed while another window had the focus still counts. One read of the whole keyboard state
// answers all three: each key asked for on its own is a round trip to the system under Wine.
uint8_t HeldQualifiers()
{
    BYTE keys[256] = {};
    if (!GetKeyboardState(keys))
        return 0;
    uint8_t q = 0;
    if (keys[VK_SHIFT] & 0x80)
        q |= kShift;
    if (keys[VK_CONTROL] & 0x80)
        q |= kCtrl;
    if (keys[VK_MENU] & 0x80)
        q |= kAlt;
    return q;
}

// A character that may go into the text: printable, or a tab. Control characters never do.
bool Typeable(unsigned char c) { return c == '\t' || (c >= 0x20 && c != 0x7F); }

const KeyMacro* BindingOf(const EditData& ed, WPARAM key, uint8_t qualifiers)
{
    if (!ed.config || key > 0xFF)
        return nullptr;
    return ed.config->keys.Find({static_cast<uint8_t>(key), qualifiers});
}

} // namespace

void RunKeyMacro(EditData& ed, const KeyMacro& macro)
{
    for (const KeyMacroStep& step : macro.steps) {
        switch (step.kind) {
        case MacroStep::kCommand: RunCommand(ed, step.command); break;
        case MacroStep::kInsertText: InsertTextAtCaret(ed, ExpandInsertText(step.data)); break;
        case MacroStep::kRun: EditSystem().StartProcess(step.data); break;
        case MacroStep::kOpen:
            if (!EditSystem().ShellOpen(step.data))
                EditMessageBox(ed, step.data, MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (ed.stopMacro) {
            ed.stopMacro = false;
            break;
        }
    }
}

LRESULT OnKeyMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam)
{
    InputState& in = ed.input;
    const uint8_t qualifier = QualifierOf(wParam);
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        HideHyperlinkTip(ed);
        in.autoRepeat = (lParam & (1 << 30)) != 0;
        in.qualifiers = static_cast<uint8_t>(HeldQualifiers() | qualifier);
        if (qualifier) {
            if (qualifier == kCtrl)
                RefreshCursor(ed);
            return 0;
        }
        if (wParam == VK_ESCAPE && in.selecting) {
            DropSelection(ed);
            ed.anchor = ed.caret;
            InvalidateRect(ed.window, nullptr, FALSE);
            return 0;
        }
        if (const KeyMacro* macro = BindingOf(ed, wParam, in.qualifiers)) {
            in.typedAlready = true;  // a bound key types nothing, not even through its WM_CHAR
            RunKeyMacro(ed, *macro);
            return 0;
        }
        in.typedAlready = false;
        if (in.qualifiers & (kCtrl | kAlt))
            return DefWindowProcA(ed.window, message, wParam, lParam);
        BYTE state[256] = {};
        GetKeyboardState(state);
        WORD chars = 0;
        const int n = ToAscii(static_cast<UINT>(wParam), (static_cast<UINT>(lParam) >> 16) & 0xFF, state, &chars, 0);
        if (n <= 0)
            return DefWindowProcA(ed.window, message, wParam, lParam);
        for (int i = 0; i < n && i < 2; ++i) {
            const auto c = static_cast<unsigned char>((chars >> (8 * i)) & 0xFF);
            if (c != '\r' && c != '\n' && Typeable(c))
                InsertTypedChar(ed, static_cast<char>(c));
        }
        in.typedAlready = true;
        return 0;
    }
    case WM_CHAR: {
        const bool typed = in.typedAlready;
        in.typedAlready = false;
        const auto c = static_cast<unsigned char>(wParam & 0xFF);
        if (!typed && !(HeldQualifiers() & (kCtrl | kAlt)) && c != '\r' && c != '\n' && Typeable(c))
            InsertTypedChar(ed, static_cast<char>(c));
        return 0;
    }
    case WM_SYSCHAR: {
        const SHORT scan = VkKeyScanA(static_cast<char>(wParam & 0xFF));
        if (scan != -1 && BindingOf(ed, static_cast<WPARAM>(scan & 0xFF), HeldQualifiers()))
            return 0;
        in.qualifiers = 0;
        return DefWindowProcA(ed.window, message, wParam, lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!qualifier)
            return DefWindowProcA(ed.window, message, wParam, lParam);
        in.qualifiers = static_cast<uint8_t>(in.qualifiers & ~qualifier);
        if (qualifier == kCtrl)
            RefreshCursor(ed);
        return 0;
    default:
        return DefWindowProcA(ed.window, message, wParam, lParam);
    }
}

} // namespace quill::win
