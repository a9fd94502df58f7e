// The editing commands of an edit window: deleting, splitting lines with indentation, case
// changes, line copies and swaps, tab and back-tab, date and time, typed characters, the marks,
// the clipboard, bookmarks and bracket matching. Every change goes through the document's
// InsertText and DeleteText, so that each command is one undo group.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "editctl/model/Commands.h"
#include "editctl/model/MessageIds.h"
#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

constexpr int kMsgNotMatchable = 1006;
constexpr int kMsgNoMatch = 1007;
constexpr int kMsgClosingUnmatched = 1027;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

TextStore& Text(EditData& ed) { return ed.doc.Text(); }
int LineLength(const EditData& ed, int line) { return ed.doc.Text().Line(line).length; }
int LastLine(const EditData& ed) { return ed.doc.Text().LineCount() - 1; }

// The caret line with its break, or to the end of the text on the last line.
void LineWithBreak(const EditData& ed, int line, TextPos* start, TextPos* end)
{
    *start = {0, line};
    *end = line < LastLine(ed) ? TextPos{0, line + 1} : TextPos{LineLength(ed, line), line};
}

// Deletes a range as one step and puts the caret at its start.
bool DeleteRange(EditData& ed, TextPos start, TextPos end, bool groupStart)
{
    if (start == end)
        return false;
    if (!ed.doc.DeleteText(start, end, groupStart))
        return false;
    ed.caret = start;
    return true;
}

bool DeleteSelection(EditData& ed, bool groupStart)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e))
        return false;
    DropSelection(ed);
    return DeleteRange(ed, s, e, groupStart);
}

void Finish(EditData& ed, int first, int last)
{
    ed.desiredColumn = DesiredColumnNow(ed);
    AfterEdit(ed, first, last);
}

// ---- deleting --------------------------------------------------------------------------------

// Deletes a range as one command and puts the caret at its start: 1 when something went.
LRESULT DeleteCommand(EditData& ed, TextPos start, TextPos end)
{
    if (!DeleteRange(ed, start, end, true))
        return 0;
    Finish(ed, start.line, start.line);
    return 1;
}

LRESULT EditPull(EditData& ed)
{
    const std::string_view line = Text(ed).LineText(ed.caret.line);
    int to = ed.caret.column;
    while (to < static_cast<int>(line.size()) && IsBlank(line[static_cast<size_t>(to)]))
        ++to;
    return DeleteCommand(ed, ed.caret, {to, ed.caret.line});
}

LRESULT EditDeleteEndOfLine(EditData& ed)
{
    return DeleteCommand(ed, ed.caret, {LineLength(ed, ed.caret.line), ed.caret.line});
}

// Back space and Delete: the selection, else one character before or at the caret, where a line
// break counts as one character.
LRESULT DeleteCharacter(EditData& ed, bool forwards)
{
    TextPos s, e;
    if (SelectionRange(ed, &s, &e)) {
        DropSelection(ed);
        return DeleteCommand(ed, s, e);
    }
    const TextPos at = ed.caret;
    TextPos other = at;
    if (forwards && at.column < LineLength(ed, at.line))
        other.column = at.column + 1;
    else if (forwards && at.line < LastLine(ed))
        other = {0, at.line + 1};
    else if (!forwards && at.column > 0)
        other.column = at.column - 1;
    else if (!forwards && at.line > 0)
        other = {LineLength(ed, at.line - 1), at.line - 1};
    return forwards ? DeleteCommand(ed, at, other) : DeleteCommand(ed, other, at);
}

LRESULT EditBackSpace(EditData& ed) { return DeleteCharacter(ed, false); }
LRESULT EditDeleteChar(EditData& ed) { return DeleteCharacter(ed, true); }

LRESULT EditDeleteLine(EditData& ed)
{
    if (!Text(ed).HasText())
        return 0;
    const int line = ed.caret.line;
    TextPos s, e;
    LineWithBreak(ed, line, &s, &e);
    if (line == LastLine(ed) && line > 0)
        s = {LineLength(ed, line - 1), line - 1};
    const int column = ed.caret.column;
    if (!DeleteRange(ed, s, e, true))
        return 0;
    ed.caret = Text(ed).Clamp({column, std::min(line, LastLine(ed))});
    Finish(ed, ed.caret.line, ed.caret.line);
    return 1;
}

// ---- split line --------------------------------------------------------------------------------

std::string IndentFor(EditData& ed)
{
    const ParserConfig& cfg = *ed.config;
    const std::string_view line = Text(ed).LineText(ed.caret.line);
    const int tab = std::max(1, Text(ed).TabWidth());
    int lead = 0;
    while (lead < ed.caret.column && lead < static_cast<int>(line.size()) && IsBlank(line[static_cast<size_t>(lead)]))
        ++lead;
    int width = Text(ed).DisplayColumn(ed.caret.line, lead);
    int tabs = width / tab, spaces = width % tab;
    if (cfg.smartIndent) {
        size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        const std::string_view rest = line.substr(first);
        for (const IndentWord& word : cfg.indentWords) {
            if (word.text.empty() || rest.size() < word.text.size() ||
                !EqualBytes(rest.data(), word.text.data(), word.text.size(), cfg.caseSensitive))
                continue;
            if (word.direction == 1)
                ++tabs;
            else if (tabs > 0)
                --tabs;
            else
                spaces = std::max(0, spaces - tab);
            break;
        }
    }
    return std::string(static_cast<size_t>(tabs), '\t') + std::string(static_cast<size_t>(spaces), ' ');
}

LRESULT EditSplitLine(EditData& ed)
{
    const bool deleted = DeleteSelection(ed, true);
    if (ed.overwrite && ed.caret.line < LastLine(ed)) {
        ed.caret = {0, ed.caret.line + 1};
        Finish(ed, ed.caret.line - 1, ed.caret.line);
        return 1;
    }
    if (ed.overwrite)
        ed.caret.column = LineLength(ed, ed.caret.line);
    const std::string indent = ed.config->autoIndent ? IndentFor(ed) : std::string();
    const TextPos at = ed.caret;
    TextPos end;
    if (!ed.doc.InsertText(at, "\r\n" + indent, &end, !deleted))
        return 0;
    ed.caret = end;
    // A line left above with white space only is emptied, as a step of the same group, so that
    // undo finds the text it recorded.
    const std::string_view above = Text(ed).LineText(at.line);
    if (!indent.empty() && !above.empty() &&
        std::all_of(above.begin(), above.end(), [](char c) { return IsBlank(c); }))
        ed.doc.DeleteText({0, at.line}, {static_cast<int>(above.size()), at.line}, false);
    Finish(ed, at.line, ed.caret.line);
    return 1;
}

// ---- case ------------------------------------------------------------------------------------

enum class CaseChange { kUpper, kLower, kSwap };

char ChangeCase(char c, CaseChange how)
{
    const bool lower = c >= 'a' && c <= 'z', upper = c >= 'A' && c <= 'Z';
    if ((how == CaseChange::kUpper || how == CaseChange::kSwap) && lower)
        return static_cast<char>(c - 'a' + 'A');
    if ((how == CaseChange::kLower || how == CaseChange::kSwap) && upper)
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

bool ChangeRangeCase(EditData& ed, TextPos s, TextPos e, CaseChange how)
{
    std::string text = Text(ed).CopyRangeText(s, e);
    for (char& c : text)
        c = ChangeCase(c, how);
    if (!DeleteRange(ed, s, e, true))
        return false;
    TextPos end;
    ed.doc.InsertText(s, text, &end, false);
    ed.caret = end;
    Finish(ed, s.line, end.line);
    return true;
}

LRESULT WordCase(EditData& ed, CaseChange how)
{
    int from = 0, to = 0;
    if (!WordRange(ed, ed.caret, &from, &to))
        return 0;
    return ChangeRangeCase(ed, {from, ed.caret.line}, {to, ed.caret.line}, how) ? 1 : 0;
}

LRESULT SelectionCase(EditData& ed, CaseChange how)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e))
        return 0;
    DropSelection(ed);
    return ChangeRangeCase(ed, s, e, how) ? 1 : 0;
}

// ---- lines -----------------------------------------------------------------------------------

LRESULT EditCopyLine(EditData& ed)
{
    const int line = ed.caret.line;
    const std::string copy = std::string(Text(ed).LineText(line)) + "\r\n";
    if (!ed.doc.InsertText({0, line}, copy, nullptr, true))
        return 0;
    ed.caret.line = line + 1;
    Finish(ed, line, line + 1);
    return 1;
}

LRESULT EditSwapLines(EditData& ed)
{
    const int line = ed.caret.line;
    if (line == 0) {
        EditSystem().Beep(MB_OK);
        return 0;
    }
    TextPos s, e;
    LineWithBreak(ed, line, &s, &e);
    std::string text = Text(ed).CopyRangeText(s, e);
    const bool last = line == LastLine(ed);
    if (last) {
        // The last line has no break of its own: it takes the one that ended the line above.
        s = {LineLength(ed, line - 1), line - 1};
        text += "\r\n";
    }
    const int column = ed.caret.column;
    if (!DeleteRange(ed, s, e, true))
        return 0;
    ed.doc.InsertText({0, line - 1}, text, nullptr, false);
    ed.caret = Text(ed).Clamp({column, line - 1});
    Finish(ed, line - 1, line);
    return 1;
}

// The lines a tab or back-tab over the selection works on.
bool SelectedLines(const EditData& ed, int* first, int* last)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e))
        return false;
    *first = s.line;
    *last = e.column == 0 && e.line > s.line ? e.line - 1 : e.line;
    return true;
}

void AfterBlockIndent(EditData& ed, int first, int last)
{
    TextPos s, e;
    SelectionRange(ed, &s, &e);
    ed.selStart = {0, first};
    ed.selEnd = {std::min(e.column, LineLength(ed, e.line)), e.line};
    ed.anchor = ed.selStart;
    ed.caret = ed.selEnd;
    if (ed.selStart == ed.selEnd)
        DropSelection(ed);
    Finish(ed, first, last);
    InvalidateRect(ed.window, nullptr, FALSE);
}

LRESULT EditDoTab(EditData& ed)
{
    int first = 0, last = 0;
    if (!SelectedLines(ed, &first, &last)) {
        InsertTypedChar(ed, '\t');
        return 1;
    }
    for (int line = first; line <= last; ++line)
        ed.doc.InsertText({0, line}, "\t", nullptr, line == first);
    AfterBlockIndent(ed, first, last);
    return 1;
}

LRESULT EditDoBackTab(EditData& ed)
{
    int first = 0, last = 0;
    if (!SelectedLines(ed, &first, &last))
        return RunCommand(ed, kCaretTabBack);
    if (ed.ReadOnly())
        return 0;
    bool group = true;
    const int tab = Text(ed).TabWidth();
    for (int line = first; line <= last; ++line) {
        const std::string_view text = Text(ed).LineText(line);
        int n = 0;
        if (!text.empty() && text[0] == '\t')
            n = 1;
        else
            while (n < tab && n < static_cast<int>(text.size()) && text[static_cast<size_t>(n)] == ' ')
                ++n;
        if (n > 0 && ed.doc.DeleteText({0, line}, {n, line}, group))
            group = false;
    }
    if (group)
        return 0;
    AfterBlockIndent(ed, first, last);
    return 1;
}

// ---- date and time ---------------------------------------------------------------------------

LRESULT InsertDateTime(EditData& ed, bool date)
{
    const std::string& picture = date ? ed.config->dateFormat : ed.config->timeFormat;
    char buffer[1024] = {};
    const DWORD flags = picture.empty() ? LOCALE_NOUSEROVERRIDE : 0;
    const char* format = picture.empty() ? nullptr : picture.c_str();
    const int n = date ? GetDateFormatA(LOCALE_USER_DEFAULT, flags, nullptr, format, buffer, sizeof(buffer))
                       : GetTimeFormatA(LOCALE_USER_DEFAULT, flags, nullptr, format, buffer, sizeof(buffer));
    if (n <= 0)
        return 0;
    DropSelection(ed);
    const TextPos at = ed.caret;
    TextPos end;
    if (!ed.doc.InsertText(at, buffer, &end, true))
        return 0;
    ed.caret = end;
    Finish(ed, at.line, end.line);
    return 1;
}

LRESULT EditToggleOverwrite(EditData& ed)
{
    ed.overwrite = !ed.overwrite;
    if (ed.focused)
        CreateEditCaret(ed);
    EditNotifyParent(ed);
    return 1;
}

// ---- marks -----------------------------------------------------------------------------------

void Select(EditData& ed, TextPos s, TextPos e)
{
    RepaintLines(ed, std::min(ed.selStart.line, s.line), std::max(ed.selEnd.line, e.line));
    ed.selStart = s;
    ed.selEnd = e;
    ed.anchor = s;
    if (s == e)
        ed.selStart = ed.selEnd = ed.anchor = {kNoPosition, kNoPosition};
    InvalidateRect(ed.window, nullptr, FALSE);
    EditNotifyParent(ed);
}

LRESULT MarkWord(EditData& ed)
{
    int from = 0, to = 0;
    if (!WordRange(ed, ed.caret, &from, &to))
        return 0;
    Select(ed, {from, ed.caret.line}, {to, ed.caret.line});
    ed.caret.column = to;
    ed.desiredColumn = DesiredColumnNow(ed);
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
    return 1;
}

LRESULT MarkLine(EditData& ed)
{
    TextPos s, e;
    LineWithBreak(ed, ed.caret.line, &s, &e);
    Select(ed, s, e);
    ed.caret = e;
    ed.desiredColumn = DesiredColumnNow(ed);
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
    return 1;
}

LRESULT MarkAll(EditData& ed)
{
    if (!Text(ed).HasText())
        return 0;
    Select(ed, {0, 0}, Text(ed).EndPosition());
    return 1;
}

LRESULT MarkClear(EditData& ed)
{
    DropSelection(ed);
    EditNotifyParent(ed);
    return 1;
}

// ---- clipboard -------------------------------------------------------------------------------

class Clipboard {
public:
    explicit Clipboard(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~Clipboard()
    {
        if (m_open)
            CloseClipboard();
    }
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    bool Open() const { return m_open; }

private:
    bool m_open;
};

std::string ClipboardText()
{
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!p)
        return {};
    const std::string text(p, strnlen(p, GlobalSize(data)));
    GlobalUnlock(data);
    return text;
}

HGLOBAL MakeTextBlock(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    if (!block)
        return nullptr;
    char* p = static_cast<char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

// Replaces the clipboard content with text. The block is made before the clipboard is emptied,
// so that a failure leaves the clipboard as it was.
bool PutClipboardText(EditData& ed, const std::string& text, bool append)
{
    Clipboard clip(ed.window);
    if (!clip.Open())
        return false;
    const std::string full = append && IsClipboardFormatAvailable(CF_TEXT) ? ClipboardText() + text : text;
    HGLOBAL block = MakeTextBlock(full);
    if (!block)
        return false;
    if (!EmptyClipboard() || !SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        return false;
    }
    EditNotifyParent(ed);
    return true;
}

LRESULT ClipClearClipboard(EditData& ed)
{
    Clipboard clip(ed.window);
    if (!clip.Open() || !EmptyClipboard())
        return 0;
    EditNotifyParent(ed);
    return 1;
}

LRESULT ClipPaste(EditData& ed)
{
    if (ed.ReadOnly())
        return 0;
    std::string text;
    {
        Clipboard clip(ed.window);
        if (!clip.Open() || !IsClipboardFormatAvailable(CF_TEXT))
            return 0;
        text = ClipboardText();
    }
    if (text.empty())
        return 0;
    return InsertTextAtCaret(ed, text) ? 1 : 0;
}

LRESULT ClipDelete(EditData& ed)
{
    TextPos s, e;
    if (!SelectionRange(ed, &s, &e))
        return 0;
    DropSelection(ed);
    return DeleteCommand(ed, s, e);
}

LRESULT ClipCopy(EditData& ed) { return CopySelectionToClipboard(ed, false) ? 1 : 0; }

LRESULT ClipCut(EditData& ed, bool append)
{
    if (ed.ReadOnly() || !ed.HasSelection() || !CopySelectionToClipboard(ed, append))
        return 0;
    return ClipDelete(ed);
}

LRESULT ClipLine(EditData& ed, bool cut)
{
    MarkLine(ed);
    return cut ? ClipCut(ed, false) : ClipCopy(ed);
}

LRESULT ClipCopyAppend(EditData& ed)
{
    return ed.HasSelection() && CopySelectionToClipboard(ed, true) ? 1 : 0;
}

// ---- bookmarks -------------------------------------------------------------------------------

bool HasBookmark(const EditData& ed, int line) { return (ed.doc.Text().Line(line).flags & kLineBookmark) != 0; }

void SetBookmarkBit(EditData& ed, int line, bool on)
{
    if (HasBookmark(ed, line) == on)
        return;
    LineRecord& r = Text(ed).LineRecordAt(line);
    r.flags = on ? (r.flags | kLineBookmark) : (r.flags & ~static_cast<uint32_t>(kLineBookmark));
    ed.bookmarkCount += on ? 1 : -1;
    RepaintLine(ed, line);
    EditNotifyParent(ed);
}

void CaretToLine(EditData& ed, int line)
{
    DropSelection(ed);
    ed.caret = {0, line};
    ed.desiredColumn = 0;
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
}

LRESULT BookmarkGoto(EditData& ed, bool forwards)
{
    const int count = Text(ed).LineCount();
    if (count < 2)
        return 0;
    const int start = ed.caret.line;
    for (int step = 1; step <= count; ++step) {
        const int line = ((forwards ? start + step : start - step) % count + count) % count;
        if (!HasBookmark(ed, line))
            continue;
        CaretToLine(ed, line);
        if (line == start)
            EditSystem().Beep(MB_OK);
        return 1;
    }
    return 0;
}

LRESULT BookmarkEnd(EditData& ed, bool first)
{
    const int count = Text(ed).LineCount();
    for (int i = 0; i < count; ++i) {
        const int line = first ? i : count - 1 - i;
        if (HasBookmark(ed, line)) {
            CaretToLine(ed, line);
            return 1;
        }
    }
    EditSystem().Beep(MB_OK);
    return 0;
}

LRESULT BookmarkClearAll(EditData& ed)
{
    const bool any = ed.bookmarkCount > 0;
    for (int line = 0; line < Text(ed).LineCount(); ++line) {
        LineRecord& r = Text(ed).LineRecordAt(line);
        if (r.flags & kLineBookmark) {
            r.flags &= ~static_cast<uint32_t>(kLineBookmark);
            RepaintLine(ed, line);
        }
    }
    ed.bookmarkCount = 0;
    if (any)
        EditNotifyParent(ed);
    return 1;
}

// ---- brackets --------------------------------------------------------------------------------

struct BracketPair {
    char open, close;
};
constexpr BracketPair kPairs[] = {{'(', ')'}, {'[', ']'}, {'{', '}'}, {'<', '>'}, {'`', '\''}};

LRESULT FindMatchingBracket(EditData& ed, bool select)
{
    TextPos match;
    bool matchable = false;
    const TextPos from = ed.caret;
    if (!FindBracketMatch(ed, from, &match, &matchable)) {
        EditMessageBox(ed, LoadMessageText(matchable ? kMsgNoMatch : kMsgNotMatchable),
                       MB_OK | (matchable ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
        return 0;
    }
    DropSelection(ed);
    ed.caret = match;
    if (select) {
        TextPos s = from < match ? from : match;
        TextPos e = from < match ? match : from;
        e.column += 1;  // the bracket at the far end belongs to the selection
        Select(ed, s, e);
    }
    ed.desiredColumn = DesiredColumnNow(ed);
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
    return 1;
}

void CheckClosingBracket(EditData& ed, char typed)
{
    // The apostrophe closes the grave accent only for the explicit command: as a typed character
    // it is far more often a quote, and checking it would beep on every one.
    if (!ed.config->autoMatch || !std::strchr(")]}>", typed))
        return;
    TextPos match;
    bool matchable = false;
    if (FindBracketMatch(ed, {ed.caret.column - 1, ed.caret.line}, &match, &matchable))
        return;
    if (ed.config->visibleAutoMatchError)
        EditMessageBox(ed, LoadMessageText(kMsgClosingUnmatched), MB_OK | MB_ICONSTOP);
    else
        EditSystem().Beep(MB_OK);
}

// ---- the table -------------------------------------------------------------------------------

using CommandFn = LRESULT (*)(EditData&);

struct Row {
    int number;
    CommandFn run;
    bool changesText;
};

const Row kRows[] = {
    {kEditPull, EditPull, true},
    {kEditDeleteEndOfLine, EditDeleteEndOfLine, true},
    {kEditBackSpace, EditBackSpace, true},
    {kEditDeleteChar, EditDeleteChar, true},
    {kEditDeleteLine, EditDeleteLine, true},
    {kEditSplitLine, EditSplitLine, true},
    {kEditWordToUpper, [](EditData& ed) { return WordCase(ed, CaseChange::kUpper); }, true},
    {kEditWordToLower, [](EditData& ed) { return WordCase(ed, CaseChange::kLower); }, true},
    {kEditWordSwapCase, [](EditData& ed) { return WordCase(ed, CaseChange::kSwap); }, true},
    {kEditCopyLine, EditCopyLine, true},
    {kEditDeleteWord,
     [](EditData& ed) -> LRESULT {
         int from = 0, to = 0;
         return WordRange(ed, ed.caret, &from, &to) ? DeleteCommand(ed, {from, ed.caret.line}, {to, ed.caret.line}) : 0;
     },
     true},
    {kEditDeleteEndOfWord,
     [](EditData& ed) -> LRESULT {
         int from = 0, to = 0;
         return WordRange(ed, ed.caret, &from, &to) ? DeleteCommand(ed, ed.caret, {to, ed.caret.line}) : 0;
     },
     true},
    {kEditDeleteStartOfWord,
     [](EditData& ed) -> LRESULT {
         int from = 0, to = 0;
         TextPos at = ed.caret;
         // At a word's end the caret stands behind it: the word before the caret counts.
         if (!WordRange(ed, at, &from, &to) && !(at.column > 0 && WordRange(ed, {at.column - 1, at.line}, &from, &to)))
             return 0;
         return DeleteCommand(ed, {from, at.line}, at);
     },
     true},
    {kEditDoTab, EditDoTab, true},
    {kEditDoBackTab, EditDoBackTab, false},
    {kEditSwapLines, EditSwapLines, true},
    {kEditUpperCaseSelection, [](EditData& ed) { return SelectionCase(ed, CaseChange::kUpper); }, true},
    {kEditLowerCaseSelection, [](EditData& ed) { return SelectionCase(ed, CaseChange::kLower); }, true},
    {kEditSwapCaseSelection, [](EditData& ed) { return SelectionCase(ed, CaseChange::kSwap); }, true},
    {kEditInsertDate, [](EditData& ed) { return InsertDateTime(ed, true); }, true},
    {kEditInsertTime, [](EditData& ed) { return InsertDateTime(ed, false); }, true},
    {kEditToggleOverwrite, EditToggleOverwrite, false},
    {kMarkWord, MarkWord, false},
    {kMarkAll, MarkAll, false},
    {kMarkClear, MarkClear, false},
    {kMarkLine, MarkLine, false},
    {kClipPaste, ClipPaste, true},
    {kClipCopy, ClipCopy, false},
    {kClipCut, [](EditData& ed) { return ClipCut(ed, false); }, true},
    {kClipDelete, ClipDelete, true},
    {kClipCopyClipLine, [](EditData& ed) { return ClipLine(ed, false); }, false},
    {kClipCutLine, [](EditData& ed) { return ClipLine(ed, true); }, true},
    {kClipClearClipboard, ClipClearClipboard, false},
    {kClipCopyAppend, ClipCopyAppend, false},
    {kClipCutAppend, [](EditData& ed) { return ClipCut(ed, true); }, true},
    {kBookmarkSet, [](EditData& ed) -> LRESULT { SetBookmarkBit(ed, ed.caret.line, true); return 1; }, false},
    {kBookmarkClear, [](EditData& ed) -> LRESULT { SetBookmarkBit(ed, ed.caret.line, false); return 1; }, false},
    {kBookmarkToggle,
     [](EditData& ed) -> LRESULT { SetBookmarkBit(ed, ed.caret.line, !HasBookmark(ed, ed.caret.line)); return 1; }, false},
    {kBookmarkClearAll, BookmarkClearAll, false},
    {kBookmarkGotoNext, [](EditData& ed) { return BookmarkGoto(ed, true); }, false},
    {kBookmarkGotoPrevious, [](EditData& ed) { return BookmarkGoto(ed, false); }, false},
    {kBookmarkGotoFirst, [](EditData& ed) { return BookmarkEnd(ed, true); }, false},
    {kBookmarkGotoLast, [](EditData& ed) { return BookmarkEnd(ed, false); }, false},
    {kFindMatchingBracket, [](EditData& ed) { return FindMatchingBracket(ed, false); }, false},
    {kFindMatchingBracketSelect, [](EditData& ed) { return FindMatchingBracket(ed, true); }, false},
};

} // namespace

void SetLineBookmark(EditData& ed, int line, bool on) { SetBookmarkBit(ed, line, on); }


bool SelectionRange(const EditData& ed, TextPos* start, TextPos* end)
{
    if (!ed.HasSelection())
        return false;
    const TextStore& t = ed.doc.Text();
    TextPos s = t.Clamp(ed.selStart), e = t.Clamp(ed.selEnd);
    if (e < s)
        std::swap(s, e);
    if (s == e)
        return false;
    *start = s;
    *end = e;
    return true;
}

void DropSelection(EditData& ed)
{
    if (ed.HasSelection())
        RepaintLines(ed, std::min(ed.selStart.line, ed.selEnd.line), std::max(ed.selStart.line, ed.selEnd.line));
    ed.selStart = ed.selEnd = ed.anchor = {kNoPosition, kNoPosition};
}

bool WordRange(const EditData& ed, TextPos at, int* from, int* to)
{
    if (at.line < 0 || at.line >= ed.doc.Text().LineCount())
        return false;
    const std::string_view line = ed.doc.Text().LineText(at.line);
    const int n = static_cast<int>(line.size());
    if (at.column < 0 || at.column >= n || IsBlank(line[static_cast<size_t>(at.column)]))
        return false;
    const ParserConfig& cfg = *ed.config;
    if (IsDelimiter(cfg, line[static_cast<size_t>(at.column)])) {
        *from = at.column;
        *to = at.column + 1;
        return true;
    }
    auto word = [&](int i) { return !IsBlank(line[static_cast<size_t>(i)]) && !IsDelimiter(cfg, line[static_cast<size_t>(i)]); };
    int a = at.column, b = at.column;
    while (a > 0 && word(a - 1))
        --a;
    while (b < n && word(b))
        ++b;
    *from = a;
    *to = b;
    return true;
}

void AfterEdit(EditData& ed, int first, int last)
{
    // A change within one line that keeps the line count and the view repaints that line only.
    const bool oneLine = first == last && ed.input.linesBefore == ed.doc.Text().LineCount();
    ed.input.linesBefore = -1;
    AfterTextChange(ed, first, last);
    if (!ed.batch) {
        const int top = ed.firstLine, left = ed.firstColumn;
        EnsureCaretVisible(ed, false);
        if (oneLine && top == ed.firstLine && left == ed.firstColumn) {
            RepaintLine(ed, first);
        } else if (oneLine && top == ed.firstLine) {
            // Typing past the edge of the view moves it sideways: the rows move with it and only
            // the changed line and the columns that come into view are drawn.
            ScrollColumns(ed, ed.firstColumn - left);
            RepaintLine(ed, first);
            UpdateScrollBarsSoon(ed);
        } else {
            InvalidateRect(ed.window, nullptr, FALSE);
            UpdateScrollBarsSoon(ed);
        }
        UpdateCaret(ed);
    }
    EditNotifyParent(ed);
}

bool InsertTextAtCaret(EditData& ed, const std::string& text)
{
    if (ed.ReadOnly())
        return false;
    const bool deleted = DeleteSelection(ed, true);
    const TextPos at = ed.doc.Text().Clamp(ed.caret);
    TextPos end = at;
    const bool ok = !text.empty() && ed.doc.InsertText(at, text, &end, !deleted);
    if (ok)
        ed.caret = end;
    if (ok || deleted)
        Finish(ed, at.line, ed.caret.line);
    return ok;
}

void InsertTypedChar(EditData& ed, char c)
{
    if (ed.ReadOnly())
        return;
    ed.input.linesBefore = ed.doc.Text().LineCount();
    bool deleted = DeleteSelection(ed, true);
    TextStore& t = Text(ed);
    ed.caret = t.Clamp(ed.caret);
    if (ed.overwrite && ed.caret.column < t.Line(ed.caret.line).length)
        deleted = ed.doc.DeleteText(ed.caret, {ed.caret.column + 1, ed.caret.line}, !deleted) || deleted;
    TextPos end;
    if (!ed.doc.InsertText(ed.caret, std::string(1, c), &end, !deleted))
        return;
    ed.caret = end;
    Finish(ed, end.line, end.line);
    CheckClosingBracket(ed, c);
}

bool FindBracketMatch(const EditData& ed, TextPos at, TextPos* match, bool* matchable)
{
    *matchable = false;
    const TextStore& t = ed.doc.Text();
    if (at.line < 0 || at.line >= t.LineCount() || at.column < 0 || at.column >= t.Line(at.line).length)
        return false;
    const char c = t.LineText(at.line)[static_cast<size_t>(at.column)];
    const BracketPair* pair = nullptr;
    bool forwards = false;
    for (const BracketPair& p : kPairs) {
        if (c == p.open || c == p.close) {
            pair = &p;
            forwards = c == p.open;
            break;
        }
    }
    if (!pair)
        return false;
    *matchable = true;
    const char same = c, partner = forwards ? pair->close : pair->open;
    int count = 0;
    TextPos p = at;
    for (;;) {
        const std::string_view line = t.LineText(p.line);
        const char here = line[static_cast<size_t>(p.column)];
        if (here == same)
            ++count;
        else if (here == partner && --count == 0) {
            *match = p;
            return true;
        }
        // The next character in the search's direction, across empty lines.
        if (forwards) {
            ++p.column;
            while (p.column >= t.Line(p.line).length) {
                if (++p.line >= t.LineCount())
                    return false;
                p.column = 0;
            }
        } else {
            --p.column;
            while (p.column < 0) {
                if (--p.line < 0)
                    return false;
                p.column = t.Line(p.line).length - 1;
            }
        }
    }
}

void UpdateCaretHighlights(EditData& ed)
{
    if (!ed.config)
        return;
    if (ed.config->highlightLine && ed.input.highlightedLine != ed.caret.line) {
        if (ed.input.highlightedLine >= 0)
            RepaintLine(ed, ed.input.highlightedLine);
        RepaintLine(ed, ed.caret.line);
        ed.input.highlightedLine = ed.caret.line;
    }
    if (!ed.config->colorBracketMatches)
        return;
    for (const TextPos& p : ed.bracket)
        if (p.line >= 0)
            RepaintLine(ed, p.line);
    TextPos match;
    bool matchable = false;
    TextPos at = ed.caret;
    bool found = FindBracketMatch(ed, at, &match, &matchable);
    if (!found && !matchable && at.column > 0) {
        at.column -= 1;
        found = FindBracketMatch(ed, at, &match, &matchable);
    }
    if (found) {
        ed.bracket[0] = at < match ? at : match;
        ed.bracket[1] = at < match ? match : at;
        RepaintLine(ed, ed.bracket[0].line);
        RepaintLine(ed, ed.bracket[1].line);
    } else {
        ed.bracket[0] = ed.bracket[1] = {kNoPosition, kNoPosition};
    }
}

bool CopySelectionToClipboard(EditData& ed, bool append)
{
    TextPos s, e;
    if (SelectionRange(ed, &s, &e))
        return PutClipboardText(ed, Text(ed).CopyRangeText(s, e), append);
    if (append)
        return false;
    // Without a selection the caret line is copied with its break. A line that holds nothing
    // copies nothing and leaves the clipboard as it was.
    LineWithBreak(ed, ed.caret.line, &s, &e);
    if (s == e)
        return false;
    return PutClipboardText(ed, Text(ed).CopyRangeText(s, e), false);
}

LRESULT RunEditingCommand(EditData& ed, int number, bool* known)
{
    for (const Row& row : kRows) {
        if (row.number != number)
            continue;
        *known = true;
        if (row.changesText && ed.ReadOnly())
            return 0;
        ed.caret = ed.doc.Text().Clamp(ed.caret);
        ed.input.linesBefore = ed.doc.Text().LineCount();
        const LRESULT result = row.run(ed);
        ed.input.linesBefore = -1;
        return result;
    }
    *known = false;
    return 0;
}

} // namespace quill::win
