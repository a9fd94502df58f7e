// Caret and view movement of an edit window: the caret commands by character, word, line, page
// and document with and without extending the selection, the scroll commands, keeping the caret
// in view, the system caret's shape and place, and focus changes.
#include <windows.h>

#include <algorithm>

#include "editctl/model/Commands.h"
#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

enum class CharClass { kBlank, kDelimiter, kWord };

const TextStore& Text(const EditData& ed) { return ed.doc.Text(); }
int LastLine(const EditData& ed) { return Text(ed).LineCount() - 1; }
int LineLength(const EditData& ed, int line) { return Text(ed).Line(line).length; }
int VisibleLines(const EditData& ed) { return std::max(1, ed.visibleLines); }
int BottomLine(const EditData& ed) { return ed.firstLine + VisibleLines(ed) - 1; }

CharClass ClassOf(const EditData& ed, char c)
{
    if (c == ' ' || c == '\t')
        return CharClass::kBlank;
    return IsDelimiter(*ed.config, c) ? CharClass::kDelimiter : CharClass::kWord;
}

// The character column under the desired display column on a line, within its length.
int ColumnForDesired(const EditData& ed, int line)
{
    return std::min(Text(ed).CharColumn(line, ed.desiredColumn), LineLength(ed, line));
}

int FirstNonBlank(const EditData& ed, int line)
{
    const std::string_view text = Text(ed).LineText(line);
    int i = 0;
    while (i < static_cast<int>(text.size()) && ClassOf(ed, text[static_cast<size_t>(i)]) == CharClass::kBlank)
        ++i;
    return i;
}

// Moves that collapse a selection first: true when they did and must not move further.
bool CollapseTo(EditData& ed, bool extending, bool toEnd)
{
    TextPos s, e;
    if (extending || !SelectionRange(ed, &s, &e))
        return false;
    ed.caret = toEnd ? e : s;
    DropSelection(ed);
    return true;
}

void Right(EditData& ed, bool extending)
{
    if (!CollapseTo(ed, extending, true)) {
        if (ed.caret.column < LineLength(ed, ed.caret.line))
            ++ed.caret.column;
        else if (ed.caret.line < LastLine(ed))
            ed.caret = {0, ed.caret.line + 1};
    }
    ed.desiredColumn = DesiredColumnNow(ed);
}

void Left(EditData& ed, bool extending)
{
    if (!CollapseTo(ed, extending, false)) {
        if (ed.caret.column > 0)
            --ed.caret.column;
        else if (ed.caret.line > 0)
            ed.caret = {LineLength(ed, ed.caret.line - 1), ed.caret.line - 1};
    }
    ed.desiredColumn = DesiredColumnNow(ed);
}

int LinesPerStep(const EditData& ed, bool atEdge)
{
    return ed.config->fastScroll && ed.input.autoRepeat && atEdge ? 2 : 1;
}

void Up(EditData& ed, bool extending)
{
    CollapseTo(ed, extending, false);
    if (ed.caret.line == 0)
        return;
    const int step = LinesPerStep(ed, ed.caret.line == ed.firstLine);
    ed.caret.line = std::max(0, ed.caret.line - step);
    ed.caret.column = ColumnForDesired(ed, ed.caret.line);
}

void Down(EditData& ed, bool extending)
{
    CollapseTo(ed, extending, true);
    if (ed.caret.line == LastLine(ed)) {
        ed.caret.column = LineLength(ed, ed.caret.line);
        return;
    }
    const int step = LinesPerStep(ed, ed.caret.line == BottomLine(ed));
    ed.caret.line = std::min(LastLine(ed), ed.caret.line + step);
    ed.caret.column = ColumnForDesired(ed, ed.caret.line);
}

void EndOfLine(EditData& ed, bool)
{
    ed.caret.column = LineLength(ed, ed.caret.line);
    ed.desiredColumn = DesiredColumnNow(ed);
}

void StartOfLine(EditData& ed, bool)
{
    if (LineLength(ed, ed.caret.line) == 0)
        return;
    const int first = FirstNonBlank(ed, ed.caret.line);
    ed.caret.column = ed.caret.column == 0 || ed.caret.column > first ? first : 0;
    ed.desiredColumn = DesiredColumnNow(ed);
}

void NextWord(EditData& ed, bool)
{
    const std::string_view text = Text(ed).LineText(ed.caret.line);
    const int n = static_cast<int>(text.size());
    int i = ed.caret.column;
    if (i >= n) {
        if (ed.caret.line < LastLine(ed))
            ed.caret = {FirstNonBlank(ed, ed.caret.line + 1), ed.caret.line + 1};
    } else {
        const CharClass start = ClassOf(ed, text[static_cast<size_t>(i)]);
        bool sawBlank = start == CharClass::kBlank;
        ++i;
        for (; i < n; ++i) {
            const CharClass k = ClassOf(ed, text[static_cast<size_t>(i)]);
            if (k == CharClass::kBlank) {
                sawBlank = true;
                continue;
            }
            if (k != start || sawBlank)
                break;
        }
        ed.caret.column = i;
    }
    ed.desiredColumn = DesiredColumnNow(ed);
}

void PreviousWord(EditData& ed, bool extending)
{
    if (ed.caret.column == 0) {
        if (ed.caret.line > 0) {
            ed.caret = {LineLength(ed, ed.caret.line - 1), ed.caret.line - 1};
            if (ed.caret.column > 0)
                PreviousWord(ed, extending);
        }
    } else {
        const std::string_view text = Text(ed).LineText(ed.caret.line);
        int i = std::min(ed.caret.column, static_cast<int>(text.size()));
        while (i > 0 && ClassOf(ed, text[static_cast<size_t>(i - 1)]) == CharClass::kBlank)
            --i;
        if (i > 0) {
            const CharClass k = ClassOf(ed, text[static_cast<size_t>(i - 1)]);
            while (i > 0 && ClassOf(ed, text[static_cast<size_t>(i - 1)]) == k)
                --i;
        }
        ed.caret.column = i;
    }
    ed.desiredColumn = DesiredColumnNow(ed);
}

void Home(EditData& ed, bool)
{
    ed.caret = {0, 0};
    ed.desiredColumn = 0;
}

void End(EditData& ed, bool)
{
    ed.caret = Text(ed).EndPosition();
    ed.desiredColumn = DesiredColumnNow(ed);
}

void TabBack(EditData& ed, bool)
{
    if (ed.caret.column == 0)
        return;
    const int tab = std::max(1, Text(ed).TabWidth());
    const int d = DesiredColumnNow(ed);
    const int target = d % tab ? d - d % tab : d - tab;
    ed.caret.column = std::min(Text(ed).CharColumn(ed.caret.line, std::max(0, target)), ed.caret.column);
    ed.desiredColumn = DesiredColumnNow(ed);
}

void PageUp(EditData& ed, bool)
{
    if (ed.caret.line == 0)
        return;
    ShowEditCaret(ed, false);
    ed.caret.line = ed.caret.line == ed.firstLine ? std::max(0, ed.caret.line - VisibleLines(ed)) : ed.firstLine;
    ed.caret.column = std::min(ed.caret.column, LineLength(ed, ed.caret.line));
}

void PageDown(EditData& ed, bool)
{
    if (ed.caret.line == LastLine(ed))
        return;
    ShowEditCaret(ed, false);
    const int bottom = BottomLine(ed);
    ed.caret.line = ed.caret.line != bottom ? std::min(bottom, LastLine(ed))
                                            : std::min(LastLine(ed), ed.caret.line + VisibleLines(ed) - 1);
    ed.caret.column = std::min(ed.caret.column, LineLength(ed, ed.caret.line));
}

using Move = void (*)(EditData&, bool extending);

struct MoveRow {
    int number;  // the plain command; the extending one is number + 1
    Move move;
    bool clearsSelection;
};

const MoveRow kMoves[] = {
    {kCaretRight, Right, false}, {kCaretLeft, Left, false},
    {kCaretUp, Up, false}, {kCaretDown, Down, false},
    {kCaretEndOfLine, EndOfLine, true}, {kCaretStartOfLine, StartOfLine, true},
    {kCaretNextWord, NextWord, true}, {kCaretPreviousWord, PreviousWord, true},
    {kCaretHome, Home, true}, {kCaretEnd, End, true},
    {kCaretTabBack, TabBack, true}, {kCaretViewUp, PageUp, true}, {kCaretViewDown, PageDown, true},
};

// The window content follows a new top line.
void FollowTopLine(EditData& ed, int oldTop)
{
    if (ed.firstLine == oldTop)
        return;
    ScrollLines(ed, ed.firstLine - oldTop);
    UpdateScrollBars(ed);
}

LRESULT ScrollCommand(EditData& ed, int number)
{
    switch (number) {
    case kScrollViewDown:
        if (ed.firstLine == 0)
            return 0;
        ScrollToLine(ed, ed.firstLine - 1);
        if (ed.caret.line > BottomLine(ed))
            ed.caret = {0, BottomLine(ed)};
        break;
    case kScrollViewUp:
        if (BottomLine(ed) >= LastLine(ed))
            return 0;
        ScrollToLine(ed, ed.firstLine + 1);
        if (ed.caret.line < ed.firstLine)
            ed.caret = {0, ed.firstLine};
        break;
    case kScrollViewRight:
        if (ed.firstColumn == 0)
            return 0;
        ScrollToColumn(ed, ed.firstColumn - 1);
        break;
    case kScrollViewLeft:
        if (ed.firstColumn + ed.visibleColumns >= Text(ed).LongestWidth())
            return 0;
        ScrollToColumn(ed, ed.firstColumn + 1);
        break;
    }
    UpdateCaret(ed);
    return 1;
}

} // namespace

int DesiredColumnNow(const EditData& ed) { return ed.doc.Text().DisplayColumn(ed.caret.line, ed.caret.column); }

bool IsCaretInView(const EditData& ed)
{
    const int d = DesiredColumnNow(ed);
    return ed.caret.line >= ed.firstLine && ed.caret.line <= BottomLine(ed) && d >= ed.firstColumn &&
           d < ed.firstColumn + std::max(1, ed.visibleColumns);
}

void EnsureCaretVisible(EditData& ed, bool redraw)
{
    if (IsCaretInView(ed))
        return;
    const int top = ed.firstLine, left = ed.firstColumn;
    const int d = DesiredColumnNow(ed);
    const int columns = std::max(1, ed.visibleColumns);
    if (d < ed.firstColumn || d >= ed.firstColumn + columns)
        ed.firstColumn = std::max(0, d - columns / 2);
    if (ed.caret.line < ed.firstLine)
        ed.firstLine = ed.caret.line;
    else if (ed.caret.line > BottomLine(ed))
        ed.firstLine = std::max(0, ed.caret.line - VisibleLines(ed) + 1);
    if (!redraw || ed.batch)
        return;
    if (ed.firstColumn != left && ed.firstLine != top) {
        UpdateScrollBarsSoon(ed);
        InvalidateRect(ed.window, nullptr, FALSE);
    } else if (ed.firstColumn != left) {
        // What stays in view moves with the text; only the columns that come into view are drawn.
        ScrollColumns(ed, ed.firstColumn - left);
        UpdateScrollBarsSoon(ed);
    } else if (ed.firstLine != top) {
        ScrollLines(ed, ed.firstLine - top);
        UpdateScrollBarsSoon(ed);
    }
}

void ScrollToLine(EditData& ed, int top)
{
    const int bottomTop = std::max(0, Text(ed).LineCount() - VisibleLines(ed));
    top = std::clamp(top, 0, bottomTop);
    const int old = ed.firstLine;
    ed.firstLine = top;
    HideHyperlinkTip(ed);
    FollowTopLine(ed, old);
}

void ScrollToColumn(EditData& ed, int left)
{
    const int most = std::max(0, Text(ed).LongestWidth() - std::max(1, ed.visibleColumns));
    left = std::clamp(left, 0, std::max(most, 0));
    if (left == ed.firstColumn)
        return;
    const int old = ed.firstColumn;
    ed.firstColumn = left;
    HideHyperlinkTip(ed);
    ScrollColumns(ed, left - old);
    UpdateScrollBars(ed);
}

void CreateEditCaret(EditData& ed)
{
    if (!ed.focused || !ed.config)
        return;
    if (ed.input.hasCaret)
        DestroyCaret();
    const ParserConfig& cfg = *ed.config;
    const int charWidth = std::max(1, cfg.charWidth), height = std::max(1, cfg.lineHeight);
    int width = GetSystemMetrics(SM_CXBORDER), h = height;
    if (ed.overwrite) {
        width = charWidth;
    } else {
        switch (cfg.caretType) {
        case 1: width *= 2; break;
        case 2: width = charWidth; break;
        case 3:
            width = charWidth;
            h = 2 * GetSystemMetrics(SM_CYBORDER);
            break;
        default: break;
        }
    }
    ed.input.hasCaret = CreateCaret(ed.window, nullptr, std::max(1, width), std::max(1, h)) != FALSE;
    ed.input.caretShown = false;
    UpdateCaret(ed);
}

void ShowEditCaret(EditData& ed, bool on)
{
    if (!ed.input.hasCaret || ed.input.caretShown == on)
        return;
    if (on ? ShowCaret(ed.window) : HideCaret(ed.window))
        ed.input.caretShown = on;
}

void UpdateCaret(EditData& ed)
{
    if (ed.focused && ed.input.hasCaret && ed.config) {
        if (IsCaretInView(ed)) {
            const ParserConfig& cfg = *ed.config;
            const int x = (DesiredColumnNow(ed) - ed.firstColumn) * cfg.charWidth + MarginWidth(ed) + LineNumberWidth(ed);
            int y = (ed.caret.line - ed.firstLine) * cfg.lineHeight;
            if (cfg.caretType == 3 && !ed.overwrite)
                y += cfg.lineHeight - 2 * GetSystemMetrics(SM_CYBORDER);
            SetCaretPos(x, y);
            ShowEditCaret(ed, true);
        } else {
            ShowEditCaret(ed, false);
        }
    }
    ReportCaretPosition(ed);
    UpdateCaretHighlights(ed);
}

void ExtendSelectionToCaret(EditData& ed, TextPos oldStart, TextPos oldEnd)
{
    const TextPos a = ed.anchor;
    if (a <= ed.caret) {
        ed.selStart = a;
        ed.selEnd = ed.caret;
    } else {
        ed.selStart = ed.caret;
        ed.selEnd = a;
    }
    RepaintLines(ed, std::min(oldStart.line, ed.selStart.line), std::max(oldStart.line, ed.selStart.line));
    RepaintLines(ed, std::min(oldEnd.line, ed.selEnd.line), std::max(oldEnd.line, ed.selEnd.line));
    if (ed.selStart == ed.selEnd) {
        ed.selStart = ed.selEnd = {kNoPosition, kNoPosition};
        ed.anchor = a;
    }
    EditNotifyParent(ed);
}

LRESULT RunCaretCommand(EditData& ed, int number, bool* known)
{
    *known = true;
    if (number >= kScrollViewUp && number <= kScrollViewRight)
        return ScrollCommand(ed, number);
    for (const MoveRow& row : kMoves) {
        if (number != row.number && number != row.number + 1)
            continue;
        ed.caret = Text(ed).Clamp(ed.caret);
        const bool extending = number == row.number + 1;
        if (!extending) {
            if (row.clearsSelection)
                DropSelection(ed);
            row.move(ed, false);
        } else {
            if (!ed.HasSelection()) {
                ed.anchor = ed.selStart = ed.selEnd = ed.caret;
            } else if (ed.anchor.line < 0) {
                ed.anchor = ed.caret == ed.selStart ? ed.selEnd : ed.selStart;
            }
            const TextPos oldStart = ed.selStart, oldEnd = ed.selEnd;
            row.move(ed, true);
            ExtendSelectionToCaret(ed, oldStart, oldEnd);
        }
        EnsureCaretVisible(ed, true);
        ShowEditCaret(ed, true);
        UpdateCaret(ed);
        return 1;
    }
    *known = false;
    return 0;
}

void OnFocusChange(EditData& ed, bool gained, HWND other)
{
    if (gained) {
        CreateEditCaret(ed);
        for (HWND dialog : {ed.findDialog, ed.replaceDialog})
            if (dialog && !IsWindowVisible(dialog))
                ShowWindow(dialog, SW_SHOWNA);
        return;
    }
    HideHyperlinkTip(ed);
    ed.input.qualifiers = 0;
    if (ed.input.hasCaret)
        DestroyCaret();
    ed.input.hasCaret = ed.input.caretShown = false;
    for (HWND dialog : {ed.findDialog, ed.replaceDialog})
        if (dialog && other != dialog && !IsChild(dialog, other))
            ShowWindow(dialog, SW_HIDE);
}

} // namespace quill::win
