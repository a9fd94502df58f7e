// Find and replace in an edit window: the search commands, the modeless Find and Replace
// dialogs, and the find and replace histories kept in the registry.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

const char kHistoryKey[] = "Software\\QPDLL\\CurrentVersion";
constexpr int kHistoryMost = 30;
constexpr int kFindDialog = 104, kReplaceDialog = 105;
// Find dialog controls
constexpr int kIdFindCombo = 1003, kIdFindWhole = 1004, kIdFindCase = 1005, kIdFindNext = 1006, kIdFindPrevious = 3,
              kIdBookmarkAll = 4;
// Replace dialog controls
constexpr int kIdReplaceFindCombo = 1008, kIdReplaceCombo = 1007, kIdReplaceWhole = 1009, kIdReplaceCase = 1010,
              kIdReplaceOne = 1011, kIdReplaceAllButton = 1012, kIdInSelection = 1013, kIdInWholeText = 1014;

bool MatchCase(const EditData& ed) { return ed.config->searchCase; }

IsDelimiterFn DelimiterTest(const EditData& ed)
{
    const ParserConfig* cfg = ed.config;
    return [cfg](char c) { return IsDelimiter(*cfg, c); };
}

std::string Format(const char* format, const std::string& a, const std::string& b = {}, long n = 0)
{
    // The formats hold at most one number and two texts, in that order of use.
    std::string out;
    int text = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += text++ == 0 ? a : b;
            ++p;
        } else if (p[0] == '%' && p[1] == 'l' && p[2] == 'd') {
            out += std::to_string(n);
            p += 2;
        } else {
            out += *p;
        }
    }
    return out;
}

bool SelectionIsOccurrence(const EditData& ed)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e) || s.line != e.line)
        return false;
    const SearchPattern& p = ed.input.pattern;
    return e.column - s.column == static_cast<int>(p.Text().size()) &&
           p.MatchesAt(ed.doc.Text().LineText(s.line), s.column, MatchCase(ed));
}

void SelectHit(EditData& ed, const SearchHit& hit)
{
    DropSelection(ed);
    ed.selStart = ed.anchor = hit.start;
    ed.selEnd = hit.end;
    ed.caret = hit.end;
    ed.desiredColumn = DesiredColumnNow(ed);
    RepaintLines(ed, hit.start.line, hit.end.line);
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
    EditNotifyParent(ed);
}

// The text a search starts with: a selection on one line, else the word at the caret.
std::string SearchTextAtCaret(const EditData& ed)
{
    TextPos s, e;
    if (SelectionRange(ed, &s, &e)) {
        if (s.line != e.line)
            return {};
        return ed.doc.Text().CopyRangeText(s, e);
    }
    int from = 0, to = 0;
    if (!WordRange(ed, ed.caret, &from, &to))
        return {};
    return std::string(ed.doc.Text().LineText(ed.caret.line).substr(static_cast<size_t>(from),
                                                                     static_cast<size_t>(to - from)));
}

std::string ItemText(HWND dialog, int id)
{
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}

void FillCombo(HWND dialog, int id, const std::vector<std::string>& list)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : list)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (!list.empty())
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

EditData* DialogOwner(HWND dialog) { return reinterpret_cast<EditData*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The buttons that need a find text, and the default button that follows them.
void EnableFindButtons(HWND dialog, bool replace, bool on)
{
    const int ids[] = {kIdFindNext, replace ? kIdReplaceOne : kIdFindPrevious, replace ? kIdReplaceAllButton : kIdBookmarkAll};
    const bool inSelection = replace && IsDlgButtonChecked(dialog, kIdInSelection) == BST_CHECKED;
    for (int id : ids)
        EnableWindow(GetDlgItem(dialog, id), on && !(inSelection && id != kIdReplaceAllButton));
    SendMessageA(dialog, DM_SETDEFID, on ? (inSelection ? kIdReplaceAllButton : kIdFindNext) : IDCANCEL, 0);
}

// The find text of a dialog becomes the pattern; false when it is empty.
bool TakeFindText(EditData& ed, HWND dialog, int combo)
{
    const std::string text = ItemText(dialog, combo);
    if (text.empty())
        return false;
    SetSearchPattern(ed, text);
    FillCombo(dialog, combo, ed.input.findHistory);
    return true;
}

void BookmarkAll(EditData& ed)
{
    TextPos from{0, 0};
    const TextStore& text = ed.doc.Text();
    for (;;) {
        const SearchHit hit = SearchText(text, ed.input.pattern, from, true, MatchCase(ed), ed.config->wholeWords,
                                         DelimiterTest(ed));
        if (!hit.found)
            break;
        SetLineBookmark(ed, hit.start.line, true);
        from = hit.end;
    }
    DropSelection(ed);
    InvalidateRect(ed.window, nullptr, FALSE);
    EditNotifyParent(ed);
}

void CloseDialog(EditData& ed, HWND dialog)
{
    const bool replace = dialog == ed.replaceDialog;
    SaveFindHistory(ed, false);
    if (replace)
        SaveFindHistory(ed, true);
    (replace ? ed.replaceDialog : ed.findDialog) = nullptr;
    DestroyWindow(dialog);
}

void InitDialog(EditData& ed, HWND dialog, bool replace)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&ed));
    const int combo = replace ? kIdReplaceFindCombo : kIdFindCombo;
    std::string text = SearchTextAtCaret(ed);
    if (text.empty() && !ed.input.findHistory.empty())
        text = ed.input.findHistory.front();
    if (!text.empty())
        SetSearchPattern(ed, text);
    FillCombo(dialog, combo, ed.input.findHistory);
    CheckDlgButton(dialog, replace ? kIdReplaceCase : kIdFindCase, MatchCase(ed) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, replace ? kIdReplaceWhole : kIdFindWhole, ed.config->wholeWords ? BST_CHECKED : BST_UNCHECKED);
    if (replace) {
        FillCombo(dialog, kIdReplaceCombo, ed.input.replaceHistory);
        const bool selection = ed.HasSelection();
        EnableWindow(GetDlgItem(dialog, kIdInSelection), selection);
        CheckRadioButton(dialog, kIdInSelection, kIdInWholeText, selection ? kIdInSelection : kIdInWholeText);
    }
    EnableFindButtons(dialog, replace, !text.empty());
    EditSystem().DialogReady(dialog, replace ? kReplaceDialog : kFindDialog);
}

bool OnDialogCommand(EditData& ed, HWND dialog, bool replace, int id, int code)
{
    const int combo = replace ? kIdReplaceFindCombo : kIdFindCombo;
    switch (id) {
    case kIdFindCombo:
    case kIdReplaceFindCombo:
        if (code == CBN_EDITCHANGE)
            EnableFindButtons(dialog, replace, !ItemText(dialog, combo).empty());
        else if (code == CBN_SELCHANGE)
            EnableFindButtons(dialog, replace, SendDlgItemMessageA(dialog, combo, CB_GETCURSEL, 0, 0) >= 0);
        else if (code == CBN_KILLFOCUS)
            TakeFindText(ed, dialog, combo);
        return true;
    case kIdFindCase:
    case kIdReplaceCase:
        ed.config->searchCase = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        return true;
    case kIdFindWhole:
    case kIdReplaceWhole:
        ed.config->wholeWords = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        return true;
    case kIdInSelection:
    case kIdInWholeText:
        EnableFindButtons(dialog, replace, !ItemText(dialog, combo).empty());
        return true;
    case kIdFindNext:
        if (TakeFindText(ed, dialog, combo))
            FindText(ed, true, false);
        return true;
    case IDCANCEL:
        CloseDialog(ed, dialog);
        return true;
    default: break;
    }
    if (!replace) {
        if (id == kIdFindPrevious && TakeFindText(ed, dialog, combo))
            FindText(ed, false, false);
        else if (id == kIdBookmarkAll && TakeFindText(ed, dialog, combo))
            BookmarkAll(ed);
        return true;
    }
    if (id != kIdReplaceOne && id != kIdReplaceAllButton)
        return false;
    if (!TakeFindText(ed, dialog, combo))
        return true;
    const std::string replacement = ItemText(dialog, kIdReplaceCombo);
    AddToHistory(ed.input.replaceHistory, replacement, ed.historyLimit);
    FillCombo(dialog, kIdReplaceCombo, ed.input.replaceHistory);
    if (id == kIdReplaceOne) {
        if (!ed.ReadOnly() && SelectionIsOccurrence(ed))
            InsertTextAtCaret(ed, replacement);
        FindText(ed, true, false);
        return true;
    }
    TextPos s{0, 0}, e = ed.doc.Text().EndPosition();
    if (IsDlgButtonChecked(dialog, kIdInSelection) == BST_CHECKED && !SelectionRange(ed, &s, &e))
        return true;
    const int count = ReplaceAll(ed, replacement, s, e);
    const std::string& pattern = ed.input.pattern.Text();
    EditMessageBox(ed,
                   count > 0 ? Format("Replaced %ld occurrences of \n\n\"%s\"\n\nwith\n\n\"%s\"\n\nin the given range.",
                                      pattern, replacement, count)
                             : Format("Did not find\n\n\"%s\"\n\nto replace with\n\n\"%s\"\n\nin the given range.",
                                      pattern, replacement),
                   MB_OK | MB_ICONINFORMATION);
    return true;
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditData* ed = message == WM_INITDIALOG ? reinterpret_cast<EditData*>(lParam) : DialogOwner(dialog);
    if (!ed)
        return FALSE;
    const bool replace = message == WM_INITDIALOG ? ed->input.openingReplace : dialog == ed->replaceDialog;
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(*ed, dialog, replace);
        return TRUE;
    case WM_COMMAND:
        return OnDialogCommand(*ed, dialog, replace, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        CloseDialog(*ed, dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

// The history key, or nullptr when it cannot be opened (or made, for writing); the caller holds
// it in a CRegKey.
HKEY OpenHistoryKey(bool write)
{
    HKEY key = nullptr;
    const LONG r = write ? RegCreateKeyExA(HKEY_CURRENT_USER, kHistoryKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                           nullptr, &key, nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, kHistoryKey, 0, KEY_READ, &key);
    return r == ERROR_SUCCESS ? key : nullptr;
}

std::string ValueName(bool replace, int index) { return (replace ? "Replace" : "Search") + std::to_string(index); }

} // namespace

void SetSearchPattern(EditData& ed, const std::string& text)
{
    AddToHistory(ed.input.findHistory, text, ed.historyLimit);
    ed.input.pattern.Set(text);
}

bool FindText(EditData& ed, bool forward, bool quiet)
{
    const SearchPattern& pattern = ed.input.pattern;
    if (pattern.Empty()) {
        if (!quiet)
            EditMessageBox(ed, "No search string defined.", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    TextPos from = ed.doc.Text().Clamp(ed.caret), s, e;
    if (SelectionIsOccurrence(ed) && SelectionRange(ed, &s, &e))
        from = forward ? e : s;
    const SearchHit hit =
        SearchText(ed.doc.Text(), pattern, from, forward, MatchCase(ed), ed.config->wholeWords, DelimiterTest(ed));
    if (hit.found) {
        SelectHit(ed, hit);
        return true;
    }
    if (!quiet)
        EditMessageBox(ed, Format("\"%s\"\n\nThe specified text was not found.", pattern.Text()),
                       MB_OK | MB_ICONINFORMATION);
    return false;
}

int ReplaceAll(EditData& ed, const std::string& replacement, TextPos start, TextPos end)
{
    if (ed.ReadOnly() || ed.input.pattern.Empty())
        return 0;
    TextStore& text = ed.doc.Text();
    TextPos from = start, limit = end;
    int count = 0;
    for (;;) {
        const SearchHit hit = SearchText(text, ed.input.pattern, from, true, MatchCase(ed), ed.config->wholeWords,
                                         DelimiterTest(ed));
        if (!hit.found || limit < hit.end)
            break;
        // All replacements are one undo group.
        if (!ed.doc.DeleteText(hit.start, hit.end, count == 0))
            break;
        TextPos after = hit.start;
        if (!replacement.empty() && !ed.doc.InsertText(hit.start, replacement, &after, false))
            break;
        // The range's end moves with the change of length on its line.
        if (limit.line == hit.end.line)
            limit = {after.column + (limit.column - hit.end.column), after.line};
        else
            limit.line += after.line - hit.end.line;
        from = after;
        ++count;
    }
    if (count > 0) {
        DropSelection(ed);
        ed.caret = from;
        ed.desiredColumn = DesiredColumnNow(ed);
        AfterEdit(ed, start.line, limit.line);
    }
    return count;
}

void CloseFindDialogs(EditData& ed)
{
    for (HWND dialog : {ed.findDialog, ed.replaceDialog})
        if (dialog)
            CloseDialog(ed, dialog);
}

void OpenFindDialog(EditData& ed, bool replace)
{
    ed.input.qualifiers = 0;
    HWND& mine = replace ? ed.replaceDialog : ed.findDialog;
    HWND other = replace ? ed.findDialog : ed.replaceDialog;
    if (mine) {
        ShowWindow(mine, SW_SHOW);
        SetActiveWindow(mine);
        return;
    }
    RECT place{};
    const bool hasPlace = other && GetWindowRect(other, &place);
    if (other)
        CloseDialog(ed, other);
    if (!ed.input.historyLoaded) {
        ed.input.historyLoaded = true;
        LoadFindHistory(ed, false);
        LoadFindHistory(ed, true);
    }
    ed.input.openingReplace = replace;
    mine = CreateDialogParamA(ControlInstance(), MAKEINTRESOURCEA(replace ? kReplaceDialog : kFindDialog), ed.window,
                              FindDialogProc, reinterpret_cast<LPARAM>(&ed));
    if (!mine)
        return;
    if (hasPlace) {
        SetWindowPos(mine, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RECT owner{}, self{};
        GetWindowRect(ed.window, &owner);
        GetWindowRect(mine, &self);
        const int x = owner.left + ((owner.right - owner.left) - (self.right - self.left)) / 2;
        const int y = owner.top + ((owner.bottom - owner.top) - (self.bottom - self.top)) / 2;
        SetWindowPos(mine, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A window that cannot be seen keeps its dialog hidden until it is shown and focused.
    if (IsWindowVisible(ed.window))
        ShowWindow(mine, SW_SHOW);
}

bool LoadFindHistory(EditData& ed, bool replace)
{
    const CRegKey key(OpenHistoryKey(false));
    if (!key)
        return false;
    std::vector<std::string>& list = replace ? ed.input.replaceHistory : ed.input.findHistory;
    list.clear();
    const int limit = std::clamp(ed.historyLimit, 1, kHistoryMost);
    for (int i = 0; i < limit; ++i) {
        char value[1024] = {};
        DWORD size = sizeof(value) - 1, type = 0;
        if (RegQueryValueExA(key, ValueName(replace, i).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            break;
        list.emplace_back(value);
    }
    return !list.empty();
}

bool SaveFindHistory(EditData& ed, bool replace)
{
    const CRegKey key(OpenHistoryKey(true));
    if (!key)
        return false;
    for (int i = 0; i < kHistoryMost; ++i)
        if (RegDeleteValueA(key, ValueName(replace, i).c_str()) != ERROR_SUCCESS)
            break;
    const std::vector<std::string>& list = replace ? ed.input.replaceHistory : ed.input.findHistory;
    bool any = false;
    for (size_t i = 0; i < list.size() && i < static_cast<size_t>(kHistoryMost); ++i) {
        const std::string& text = list[i];
        any = RegSetValueExA(key, ValueName(replace, static_cast<int>(i)).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1)) ==
                  ERROR_SUCCESS ||
              any;
    }
    return any;
}

LRESULT RunFindCommand(EditData& ed, int number, bool* known)
{
    *known = true;
    switch (number) {
    case kFindNext: return FindText(ed, true, false) ? 1 : 0;
    case kFindPrevious: return FindText(ed, false, false) ? 1 : 0;
    case kFindNextWord:
    case kFindPrevWord: {
        const std::string text = SearchTextAtCaret(ed);
        if (text.empty())
            return 0;
        SetSearchPattern(ed, text);
        // The word itself counts as found already: the search goes on from beyond it.
        int from = 0, to = 0;
        if (!ed.HasSelection() && WordRange(ed, ed.caret, &from, &to)) {
            ed.selStart = ed.anchor = {from, ed.caret.line};
            ed.selEnd = {to, ed.caret.line};
        }
        return FindText(ed, number == kFindNextWord, false) ? 1 : 0;
    }
    case kDialogFind: OpenFindDialog(ed, false); return 1;
    case kDialogReplace: OpenFindDialog(ed, true); return 1;
    case kDialogGoto: return RunGotoDialog(ed) == IDOK ? 1 : 0;
    case kDialogProperties: return RunPropertiesDialog(ed) == IDOK ? 1 : 0;
    default: *known = false; return 0;
    }
}

bool DispatchDialogMessage(EditData& ed, UINT message, WPARAM, LPARAM, LRESULT* result)
{
    switch (message) {
    case QPM_GOTODIALOG: *result = RunGotoDialog(ed) == IDOK ? 1 : 0; return true;
    case QPM_FINDDIALOG: OpenFindDialog(ed, false); *result = 0; return true;
    case QPM_REPLACEDIALOG: OpenFindDialog(ed, true); *result = 0; return true;
    case QPM_PROPERTIESDIALOG: *result = RunPropertiesDialog(ed) == IDOK ? 1 : 0; return true;
    case QPM_RUNSETTINGSAPPLET: *result = RunSettingsApplet(ed); return true;
    default: return false;
    }
}

} // namespace quill::win
