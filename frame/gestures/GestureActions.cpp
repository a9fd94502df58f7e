#include "frame/gestures/GestureActions.h"

#include "core/app/LanguageManager.h"
#include "frame/gestures/UserActions.h"

#include <cstdio>
#include <iterator>

namespace {

constexpr const char* kUnmapped = "* Unmapped *";

const CGestureAction kActions[kGestureActionCount] = {
    {0, "Go to previous document in history"},
    {1, "Go to next document in history"},
    {2, "Go to top of document"},
    {3, "Go to bottom of document"},
    {4, "Close window"},
    {5, "Open new foreground window"},
    {6, "Refresh document"},
    {7, "Reload document"},
    {8, "Duplicate window"},
    {9, "Scroll through open windows"},
    {10, "Go to next window"},
    {11, "Go to previous window"},
    {12, "Close all opened windows except the active one"},
    {13, "User Action 0"},
    {14, "User Action 1"},
    {15, "User Action 2"},
    {16, "User Action 3"},
    {17, "User Action 4"},
    {18, "User Action 5"},
    {19, "User Action 6"},
    {20, "User Action 7"},
    {21, "User Action 8"},
    {22, "User Action 9"},
};

struct CKeyName {
    unsigned code;
    const char* name;
};

// The punctuation and navigation keys by what they type or say. Besides the keys whose name the
// program always had, the keys that have no printable character of their own get a word: taken
// as a character, Delete (46) read ".", Print Screen (44) ",", and Enter, Tab, Esc, Space and
// Backspace control characters. The quote key (222) reads as the quote it types.
constexpr CKeyName kKeyNames[] = {
    {192, "`"}, {219, "'['"}, {220, "\\"}, {221, "']'"}, {190, "."}, {189, "'-'"}, {109, "Num -"},
    {106, "Num *"}, {107, "Num +"}, {110, "Num Del"}, {111, "Num /"}, {187, "="}, {188, ","}, {36, "Home"},
    {35, "End"}, {45, "Insert"}, {33, "Page Up"}, {34, "Page Down"}, {37, "Left"}, {39, "Right"}, {38, "Up"},
    {40, "Down"}, {20, "Caps Lock"}, {144, "Num Lock"}, {222, "'"},
    {8, "Backspace"}, {9, "Tab"}, {13, "Enter"}, {19, "Pause"}, {27, "Esc"}, {32, "Space"}, {44, "Print Screen"},
    {46, "Delete"}, {145, "Scroll Lock"}, {186, ";"}, {191, "/"}, {12, "Clear"}, {93, "Menu"},
};

CStdString KeyName(unsigned code)
{
    char text[32] = {};
    if (code >= VK_F1 && code <= VK_F24) {
        std::snprintf(text, sizeof text, "F%u", code - (VK_F1 - 1));
        return text;
    }
    if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9) {
        std::snprintf(text, sizeof text, "Num %u", code - VK_NUMPAD0);
        return text;
    }
    for (const CKeyName& key : kKeyNames) {
        if (key.code == code)
            return key.name;
    }
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
        text[0] = static_cast<char>(code);
        return text;
    }
    // Any other code (from a damaged store or an unusual keyboard) is shown by number rather than
    // as an unprintable character.
    std::snprintf(text, sizeof text, "Key %u", code);
    return text;
}

}  // namespace

void CGestureAction::Run(CBrowserActions& actions, HWND window, int x, int y) const
{
    using Operation = void (CBrowserActions::*)(HWND, int, int);
    static constexpr Operation kOperations[kFirstUserAction] = {
        &CBrowserActions::RunGoBack,          &CBrowserActions::RunGoForward,         &CBrowserActions::RunGoToTop,
        &CBrowserActions::RunGoToBottom,      &CBrowserActions::RunCloseTab,       &CBrowserActions::RunOpenNewForegroundWindow,
        &CBrowserActions::RunRefreshDocument, &CBrowserActions::RunReloadDocument,    &CBrowserActions::RunDuplicateWindow,
        &CBrowserActions::RunScrollThroughWindows, &CBrowserActions::RunGoToNextWindow, &CBrowserActions::RunGoToPreviousWindow,
        &CBrowserActions::RunCloseAllButActive,
    };
    if (index >= 0 && index < kFirstUserAction)
        (actions.*kOperations[index])(window, x, y);
    else if (IsUserActionIndex(index))
        actions.RunUserAction(index - kFirstUserAction, window, x, y);
}

const char* GetActionName(int index)
{
    return index >= 0 && index < kGestureActionCount ? kActions[index].name : kUnmapped;
}

bool IsUserActionIndex(int index)
{
    return index >= kFirstUserAction && index < kFirstUserAction + kUserActionCount;
}

const CGestureAction* GetUserActionTable()
{
    return kActions;
}

const CGestureAction* GetGestureAction(int index)
{
    return index >= 0 && index < kGestureActionCount ? &kActions[index] : nullptr;
}

CStdString FormatHotKeyName(uint32_t keyCombination)
{
    if (keyCombination == 0)
        return CStdString();
    CStdString text;
    if (keyCombination & kHotKeyControl)
        text += "Ctrl + ";
    if (keyCombination & kHotKeyShift)
        text += "Shift + ";
    if (keyCombination & kHotKeyAlt)
        text += "Alt + ";
    const unsigned code = keyCombination & 0xFFFFu;
    // Modifiers alone (a hot-key control still being typed into) name no key.
    if (code != 0)
        text += KeyName(code);
    return text;
}

CStdString FormatActionWithHotKey(int index)
{
    const char* name = GetActionName(index);
    CLanguageManager* languages = GetLanguageManager();
    const char* translated = languages ? languages->Translate(name) : nullptr;
    CStdString text = translated ? translated : name;
    if (IsUserActionIndex(index)) {
        CUserActions* userActions = GetUserActions();
        const CStdString keys =
            userActions ? FormatHotKeyName(static_cast<uint32_t>(userActions->GetAt(index - kFirstUserAction))) : CStdString();
        if (!keys.IsEmpty()) {
            text += " [";
            text += keys;
            text += "]";
        }
    }
    return text;
}
