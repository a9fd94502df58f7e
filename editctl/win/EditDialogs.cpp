// The modal dialogs of an edit window: Goto Line and Properties, and the control's settings
// applet.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

constexpr int kGotoDialog = 103, kGotoEdit = 1000, kGotoSpin = 1001, kGotoRange = 1002;
constexpr int kPropertiesDialog = 107, kPropIcon = 1031, kPropName = 1015, kPropType = 1032, kPropClass = 1016,
              kPropMode = 1023, kPropUnicode = 1019, kPropSize = 1017, kPropSaved = 1018, kPropTab = 1024,
              kPropTabSpin = 1025;
constexpr int kTabLeast = 2, kTabMost = 24;

EditData* DialogOwner(HWND dialog) { return reinterpret_cast<EditData*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The number in an edit field, kept between least and most and written back when it changed.
int ClampedNumber(HWND dialog, int id, int least, int most)
{
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(dialog, id, &ok, TRUE));
    const int n = std::clamp(ok ? typed : least, least, most);
    if (!ok || n != typed)
        SetDlgItemInt(dialog, id, static_cast<UINT>(n), TRUE);
    return n;
}

int LineCount(const EditData& ed) { return ed.doc.Text().LineCount(); }

INT_PTR CALLBACK GotoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        EditData& ed = *reinterpret_cast<EditData*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SendDlgItemMessageA(dialog, kGotoSpin, UDM_SETRANGE32, 1, LineCount(ed));
        SetDlgItemInt(dialog, kGotoEdit, static_cast<UINT>(ed.caret.line + 1), FALSE);
        const std::string range = "Min. 1, Max " + std::to_string(LineCount(ed));
        SetDlgItemTextA(dialog, kGotoRange, range.c_str());
        EditSystem().DialogReady(dialog, kGotoDialog);
        return TRUE;
    }
    EditData* ed = DialogOwner(dialog);
    if (message != WM_COMMAND || !ed)
        return FALSE;
    const int id = LOWORD(wParam);
    if (id == kGotoEdit && HIWORD(wParam) == EN_KILLFOCUS) {
        ClampedNumber(dialog, kGotoEdit, 1, LineCount(*ed));
    } else if (id == IDOK) {
        const int line = ClampedNumber(dialog, kGotoEdit, 1, LineCount(*ed)) - 1;
        DropSelection(*ed);
        ed->caret = {std::min(ed->caret.column, ed->doc.Text().Line(line).length), line};
        EnsureCaretVisible(*ed, true);
        UpdateCaret(*ed);
        EndDialog(dialog, IDOK);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
}

// What the Properties dialog changes, to put back on Cancel.
struct PropertiesState {
    EditData* ed;
    int tab;
    int fileMode;
};

// The tab width of a configuration, for every window that shares it.
void ApplyTab(EditData& ed, int tab)
{
    ed.config->tab = tab;
    for (HWND window : EditWindows()) {
        EditData* other = GetEditData(window);
        if (other && other->config == ed.config) {
            other->doc.Text().SetTabWidth(tab);
            InvalidateRect(window, nullptr, FALSE);
            UpdateScrollBars(*other);
        }
    }
}

void SetFileMode(EditData& ed, int mode)
{
    ed.fileMode = mode;
    EditNotifyParent(ed);
}

std::string LastSaved(const EditData& ed)
{
    if (ed.lastWrite.dwLowDateTime == 0 && ed.lastWrite.dwHighDateTime == 0)
        return "(File has not been saved yet).";
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&ed.lastWrite, &local) || !FileTimeToSystemTime(&local, &t))
        return {};
    char time[128] = {}, date[128] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, sizeof(time));
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, date, sizeof(date));
    return std::string(time) + " " + date;
}

void FillProperties(HWND dialog, EditData& ed)
{
    if (ed.largeIcon)
        SendDlgItemMessageA(dialog, kPropIcon, STM_SETICON, reinterpret_cast<WPARAM>(ed.largeIcon), 0);
    SetDlgItemTextA(dialog, kPropName, ed.fileName.c_str());
    SHFILEINFOA info{};
    const bool typed = !ed.fileName.empty() &&
                       SHGetFileInfoA(ed.fileName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                      SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) &&
                       info.szTypeName[0];
    SetDlgItemTextA(dialog, kPropType, typed ? info.szTypeName : "<File type not registered.>");
    SetDlgItemTextA(dialog, kPropClass, ed.config->name.c_str());
    for (const char* mode : {"MS DOS", "Unix", "Macintosh"})
        SendDlgItemMessageA(dialog, kPropMode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendDlgItemMessageA(dialog, kPropMode, CB_SETCURSEL, static_cast<WPARAM>(ed.FileModeNow()), 0);
    SetDlgItemTextA(dialog, kPropUnicode, ed.unicode ? "Yes." : "No.");
    const std::string size = std::to_string(CountCharacters(ed.doc.Text(), ed.FileModeNow())) + " characters. (" +
                             std::to_string(LineCount(ed)) + " Lines.)";
    SetDlgItemTextA(dialog, kPropSize, size.c_str());
    SetDlgItemTextA(dialog, kPropSaved, LastSaved(ed).c_str());
    SendDlgItemMessageA(dialog, kPropTabSpin, UDM_SETRANGE32, kTabLeast, kTabMost);
    SetDlgItemInt(dialog, kPropTab, static_cast<UINT>(ed.config->tab), FALSE);
}

INT_PTR CALLBACK PropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* state = reinterpret_cast<PropertiesState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        FillProperties(dialog, *state->ed);
        EditSystem().DialogReady(dialog, kPropertiesDialog);
        return TRUE;
    }
    auto* state = reinterpret_cast<PropertiesState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || !state)
        return FALSE;
    EditData& ed = *state->ed;
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == kPropMode && code == CBN_SELCHANGE) {
        const LRESULT mode = SendDlgItemMessageA(dialog, kPropMode, CB_GETCURSEL, 0, 0);
        if (mode >= 0 && mode <= 2)
            SetFileMode(ed, static_cast<int>(mode));
    } else if ((id == kPropTab && code == EN_KILLFOCUS) || id == IDOK) {
        const int tab = ClampedNumber(dialog, kPropTab, kTabLeast, kTabMost);
        if (tab != ed.config->tab)
            ApplyTab(ed, tab);
        if (id == IDOK)
            EndDialog(dialog, IDOK);
    } else if (id == IDCANCEL) {
        if (ed.config->tab != state->tab)
            ApplyTab(ed, state->tab);
        if (ed.fileMode != state->fileMode)
            SetFileMode(ed, state->fileMode);
        EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
}

} // namespace

INT_PTR RunGotoDialog(EditData& ed)
{
    ed.input.qualifiers = 0;
    return DialogBoxParamA(ControlInstance(), MAKEINTRESOURCEA(kGotoDialog), ed.window, GotoProc,
                           reinterpret_cast<LPARAM>(&ed));
}

INT_PTR RunPropertiesDialog(EditData& ed)
{
    ed.input.qualifiers = 0;
    PropertiesState state{&ed, ed.config->tab, ed.fileMode};
    return DialogBoxParamA(ControlInstance(), MAKEINTRESOURCEA(kPropertiesDialog), ed.window, PropertiesProc,
                           reinterpret_cast<LPARAM>(&state));
}

int RunSettingsApplet(EditData& ed)
{
    HMODULE applet = LoadLibraryA("qpc.cpl");
    if (!applet)
        return 0;
    using AppletEntry = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);
    const auto entry = reinterpret_cast<AppletEntry>(reinterpret_cast<void*>(GetProcAddress(applet, "CPlApplet")));
    if (!entry) {
        FreeLibrary(applet);
        return 0;
    }
    if (entry(ed.window, 1, 0, 0)) {  // initialise, then open the first applet, stop and exit
        entry(ed.window, 5, 0, 0);
        entry(ed.window, 6, 0, 0);
        entry(ed.window, 7, 0, 0);
    }
    FreeLibrary(applet);
    return 1;
}

} // namespace quill::win
