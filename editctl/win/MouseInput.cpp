// Mouse input of an edit window: caret moves and selections by character, word, line or all,
// auto-scrolling while the button drags beyond the edges, the wheel and the scroll bars, the
// cursor shape, and hyperlinks (Ctrl and a click follows one, hovering shows its tip).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

constexpr int kWheelStep = WHEEL_DELTA;  // 120 units make one line
constexpr size_t kTipLimit = 1024;
const char kTipSuffix[] = "\r\nCTRL+Click to follow link";

int TextLeft(const EditData& ed) { return MarginWidth(ed) + LineNumberWidth(ed); }
const TextStore& Text(const EditData& ed) { return ed.doc.Text(); }
POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

TextPos LineEndWithBreak(const EditData& ed, int line)
{
    return line < Text(ed).LineCount() - 1 ? TextPos{0, line + 1} : TextPos{Text(ed).Line(line).length, line};
}

// The selection from two positions pushed out to the edges of the words they stand in.
void SelectWords(EditData& ed, TextPos a, TextPos b)
{
    TextPos s = a < b ? a : b, e = a < b ? b : a;
    int from = 0, to = 0;
    if (WordRange(ed, s, &from, &to))
        s.column = from;
    if (WordRange(ed, e, &from, &to) || (e.column > 0 && WordRange(ed, {e.column - 1, e.line}, &from, &to)))
        e.column = std::max(e.column, to);
    ed.selStart = s;
    ed.selEnd = e;
    ed.caret = b < a ? s : e;
}

void StopMouseSelection(EditData& ed)
{
    InputState& in = ed.input;
    if (!in.selecting)
        return;
    in.selecting = false;
    if (ed.HasSelection())
        EditNotifyParent(ed);
    KillTimer(ed.window, kAutoScrollTimer);
    if (GetCapture() == ed.window)
        ReleaseCapture();
    ed.desiredColumn = DesiredColumnNow(ed);
    in.lineMode = in.wordMode = in.allMode = false;
}

// Extends a running mouse selection to the position under a client point.
void ExtendTo(EditData& ed, POINT p)
{
    InputState& in = ed.input;
    if (in.allMode)
        return;
    if (in.lineMode && p.x >= TextLeft(ed)) {
        in.lineMode = false;
        SetCursor(ed.ibeamCursor);
    }
    bool onText = false;
    const TextPos at = PositionFromPoint(ed, p, &onText);
    const TextPos oldStart = ed.selStart, oldEnd = ed.selEnd;
    if (ed.anchor.line < 0)
        ed.anchor = ed.caret;
    if (in.lineMode) {
        const int a = ed.anchor.line;
        ed.selStart = {0, std::min(a, at.line)};
        ed.selEnd = LineEndWithBreak(ed, std::max(a, at.line));
        ed.caret = at.line >= a ? ed.selEnd : ed.selStart;
    } else if (in.wordMode) {
        SelectWords(ed, ed.anchor, at);
    } else {
        ed.caret = at;
        ExtendSelectionToCaret(ed, oldStart, oldEnd);
        UpdateCaret(ed);
        return;
    }
    RepaintLines(ed, std::min(oldStart.line, ed.selStart.line), std::max(oldEnd.line, ed.selEnd.line));
    InvalidateRect(ed.window, nullptr, FALSE);
    UpdateCaret(ed);
}

void ButtonDown(EditData& ed, WPARAM keys, POINT p, bool doubleClick)
{
    InputState& in = ed.input;
    if (GetFocus() != ed.window)
        SetFocus(ed.window);
    HideHyperlinkTip(ed);
    const bool ctrl = doubleClick || (keys & MK_CONTROL) != 0;
    const bool shift = (keys & MK_SHIFT) != 0;
    bool onText = false;
    const TextPos at = PositionFromPoint(ed, p, &onText);
    if (!doubleClick && ctrl && ed.config->parseHyperlinks) {
        const std::string link = HyperlinkAt(ed, at);
        if (!link.empty()) {
            FollowHyperlink(ed, link);
            return;
        }
    }
    TextPos s, e;
    if (!doubleClick && !shift && ed.config->dndEnabled && onText && SelectionRange(ed, &s, &e) && s <= at && at < e) {
        StartDragOut(ed);
        return;
    }
    if (shift) {
        if (ed.anchor.line < 0 || !ed.HasSelection())
            ed.anchor = ed.caret;
        if (ctrl) {
            SelectWords(ed, ed.anchor, at);
            in.wordMode = true;
        } else {
            ed.caret = at;
            ed.selStart = ed.anchor < at ? ed.anchor : at;
            ed.selEnd = ed.anchor < at ? at : ed.anchor;
        }
        if (ed.selStart == ed.selEnd)
            ed.selStart = ed.selEnd = {kNoPosition, kNoPosition};
        InvalidateRect(ed.window, nullptr, FALSE);
        EditNotifyParent(ed);
    } else {
        DropSelection(ed);
        if (p.x < TextLeft(ed)) {
            if (ctrl) {
                ed.selStart = ed.anchor = {0, 0};
                ed.selEnd = Text(ed).EndPosition();
                in.allMode = true;
            } else {
                ed.selStart = ed.anchor = {0, at.line};
                ed.selEnd = LineEndWithBreak(ed, at.line);
                in.lineMode = true;
            }
            ed.caret = ed.selEnd;
            if (ed.selStart == ed.selEnd)
                ed.selStart = ed.selEnd = {kNoPosition, kNoPosition};
            InvalidateRect(ed.window, nullptr, FALSE);
        } else {
            ed.anchor = ed.caret = at;
            if (ctrl) {
                RunCommand(ed, kMarkWord);
                in.wordMode = true;
            }
        }
        EditNotifyParent(ed);
    }
    EnsureCaretVisible(ed, true);
    UpdateCaret(ed);
    ed.desiredColumn = DesiredColumnNow(ed);
    SetTimer(ed.window, kAutoScrollTimer, kAutoScrollPeriod, nullptr);
    SetCapture(ed.window);
    in.selecting = true;
    if (doubleClick)
        EditNotifyParent(ed);
}

void ShowHyperlinkTip(EditData& ed, const std::string& link, POINT p)
{
    if (!ed.tooltip || !ed.config)
        return;
    std::string text = link + kTipSuffix;
    if (text.size() > kTipLimit)
        text.resize(kTipLimit);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = ed.window;
    tool.uId = reinterpret_cast<UINT_PTR>(ed.window);
    tool.lpszText = text.data();
    SendMessageA(ed.tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    const int height = std::max(1, ed.config->lineHeight);
    POINT at{p.x, (p.y / height + 1) * height + 2};
    ClientToScreen(ed.window, &at);
    SendMessageA(ed.tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    if (!ed.input.tipShown)
        SendMessageA(ed.tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ed.input.tipShown = true;
}

std::string LinkUnderPoint(const EditData& ed, POINT p)
{
    if (!ed.config->parseHyperlinks || p.x < TextLeft(ed))
        return {};
    bool onText = false;
    const TextPos at = PositionFromPoint(ed, p, &onText);
    return onText ? HyperlinkAt(ed, at) : std::string();
}

void MouseMove(EditData& ed, POINT p)
{
    InputState& in = ed.input;
    const bool moved = p.x != in.lastMouse.x || p.y != in.lastMouse.y;
    in.lastMouse = p;
    if (ed.config->parseHyperlinks && !in.tipShown && !in.hoverTracking && moved) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, ed.window, HOVER_DEFAULT};
        in.hoverTracking = TrackMouseEvent(&track) != FALSE;
    }
    if (in.tipShown) {
        const std::string link = LinkUnderPoint(ed, p);
        if (link.empty())
            HideHyperlinkTip(ed);
        else
            ShowHyperlinkTip(ed, link, p);
    }
    if (in.selecting)
        ExtendTo(ed, p);
}

int ScrollTarget(int code, int now, int line, int page, int track, int bottom)
{
    switch (code) {
    case SB_LINEUP: return now - line;
    case SB_LINEDOWN: return now + line;
    case SB_PAGEUP: return now - page;
    case SB_PAGEDOWN: return now + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return track;
    case SB_TOP: return 0;
    case SB_BOTTOM: return bottom;
    default: return now;
    }
}

void OnScrollBar(EditData& ed, int bar, WPARAM wParam)
{
    SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
    GetScrollInfo(ed.window, bar, &si);  // the 32-bit track position: HIWORD stops at 65,535
    const int code = LOWORD(wParam);
    HideHyperlinkTip(ed);
    if (bar == SB_VERT) {
        const int page = std::max(1, ed.visibleLines);
        const int bottom = std::max(0, Text(ed).LineCount() - page);
        ScrollToLine(ed, std::clamp(ScrollTarget(code, ed.firstLine, 1, page, si.nTrackPos, bottom), 0, bottom));
    } else {
        const int page = std::max(1, ed.visibleColumns);
        const int right = std::max(0, Text(ed).LongestWidth() - page);
        ScrollToColumn(ed, std::clamp(ScrollTarget(code, ed.firstColumn, 1, page, si.nTrackPos, right), 0, right));
    }
    UpdateScrollBars(ed);
    UpdateCaret(ed);
}

HCURSOR CursorAt(const EditData& ed, POINT p)
{
    if (p.x < TextLeft(ed))
        return ed.marginCursor;
    bool onText = false;
    const TextPos at = PositionFromPoint(ed, p, &onText);
    TextPos s, e;
    if (ed.config->dndEnabled && onText && SelectionRange(ed, &s, &e) && s <= at && at < e)
        return ed.arrowCursor;
    if (!LinkUnderPoint(ed, p).empty() && (ed.input.qualifiers & kCtrl))
        return ed.linkCursor;
    return ed.ibeamCursor;
}

} // namespace

TextPos PositionFromPoint(const EditData& ed, POINT p, bool* onText)
{
    const TextStore& text = Text(ed);
    const int cw = std::max(1, ed.config ? ed.config->charWidth : 1);
    const int lh = std::max(1, ed.config ? ed.config->lineHeight : 1);
    const int x = std::max(0, static_cast<int>(p.x) - TextLeft(ed));
    const int display = x / cw + ed.firstColumn;
    int line = (p.y < 0 ? -1 : static_cast<int>(p.y) / lh) + ed.firstLine;
    line = std::clamp(line, 0, text.LineCount() - 1);
    const int width = text.Line(line).width;
    *onText = display < width;
    const int column = std::min(text.CharColumn(line, std::min(display, width)), text.Line(line).length);
    return {column, line};
}

std::string HyperlinkAt(const EditData& ed, TextPos at)
{
    const TextStore& text = Text(ed);
    if (at.line < 0 || at.line >= text.LineCount())
        return {};
    const std::string_view line = text.LineText(at.line);
    const int n = static_cast<int>(line.size());
    if (at.column < 0 || at.column >= n || IsBlank(line[static_cast<size_t>(at.column)]))
        return {};
    int a = at.column, b = at.column;
    while (a > 0 && !IsBlank(line[static_cast<size_t>(a - 1)]))
        --a;
    while (b < n && !IsBlank(line[static_cast<size_t>(b)]))
        ++b;
    // Inside quotes, the link is the quoted text (it may hold blanks, and the quotes do not belong).
    const size_t before = line.rfind('"', static_cast<size_t>(at.column));
    int quotes = 0;
    for (int i = 0; i < at.column; ++i)
        quotes += line[static_cast<size_t>(i)] == '"' ? 1 : 0;
    if (before != std::string_view::npos && (quotes % 2 == 1 || line[static_cast<size_t>(a)] == '"')) {
        const size_t open = quotes % 2 == 1 ? before : static_cast<size_t>(a);
        const size_t close = line.find('"', open + 1);
        if (close != std::string_view::npos && static_cast<int>(close) >= at.column) {
            a = static_cast<int>(open) + 1;
            b = static_cast<int>(close);
        }
    }
    if (a >= b || !IsHyperlinkStart(b - a, line.data() + a))
        return {};
    return std::string(line.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
}

bool IsSafeHyperlink(const std::string& link)
{
    for (const char* prefix : {"http://", "https://", "ftp://", "mailto:", "www.", "ftp."})
        if (StartsWithNoCase(link, prefix) && link.size() > std::strlen(prefix))
            return true;
    return false;
}

bool FollowHyperlink(EditData& ed, const std::string& link)
{
    // Only web and mail addresses go to the shell: a "file:" link or a program path in a page's
    // source would otherwise open or run whatever it names.
    if (!IsSafeHyperlink(link)) {
        EditSystem().Beep(MB_ICONEXCLAMATION);
        return false;
    }
    const bool bare = StartsWithNoCase(link, "www.") || StartsWithNoCase(link, "ftp.");
    const std::string target = bare ? (StartsWithNoCase(link, "ftp.") ? "ftp://" : "http://") + link : link;
    if (EditSystem().ShellOpen(target))
        return true;
    EditSystemErrorBox(ed, link, GetLastError());
    return false;
}

void HideHyperlinkTip(EditData& ed)
{
    if (!ed.input.tipShown || !ed.tooltip)
        return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = ed.window;
    tool.uId = reinterpret_cast<UINT_PTR>(ed.window);
    SendMessageA(ed.tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    ed.input.tipShown = false;
}

void RefreshCursor(EditData& ed)
{
    POINT p{};
    if (!GetCursorPos(&p) || WindowFromPoint(p) != ed.window)
        return;
    ScreenToClient(ed.window, &p);
    SetCursor(CursorAt(ed, p));
}

void OnAutoScrollTimer(EditData& ed)
{
    if (!ed.input.selecting) {
        KillTimer(ed.window, kAutoScrollTimer);
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(ed.window, &p);
    RECT client{};
    GetClientRect(ed.window, &client);
    if (p.y < 0)
        ScrollToLine(ed, ed.firstLine - 1);
    else if (p.y >= client.bottom)
        ScrollToLine(ed, ed.firstLine + 1);
    if (p.x < TextLeft(ed))
        ScrollToColumn(ed, ed.firstColumn - 1);
    else if (p.x >= client.right)
        ScrollToColumn(ed, ed.firstColumn + 1);
    ExtendTo(ed, p);
}

LRESULT OnMouseMessage(EditData& ed, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: ButtonDown(ed, wParam, PointOf(lParam), false); return 0;
    case WM_LBUTTONDBLCLK: ButtonDown(ed, wParam, PointOf(lParam), true); return 0;
    case WM_MOUSEMOVE: MouseMove(ed, PointOf(lParam)); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_CAPTURECHANGED:
        StopMouseSelection(ed);
        return 0;
    case WM_MOUSEHOVER: {
        ed.input.hoverTracking = false;
        const POINT p = PointOf(lParam);
        const std::string link = ed.config->showHyperTips ? LinkUnderPoint(ed, p) : std::string();
        if (!link.empty())
            ShowHyperlinkTip(ed, link, p);
        return 0;
    }
    case WM_MOUSELEAVE:
        ed.input.hoverTracking = false;
        HideHyperlinkTip(ed);
        return 0;
    case WM_MOUSEWHEEL: {
        // The remainder below one step is kept for the next turn, so that fine-grained wheels
        // (smaller deltas than 120) scroll too.
        ed.input.wheelSum += GET_WHEEL_DELTA_WPARAM(wParam);
        const int lines = ed.input.wheelSum / kWheelStep;
        if (lines != 0) {
            ed.input.wheelSum -= lines * kWheelStep;
            ScrollToLine(ed, ed.firstLine - lines);
            UpdateCaret(ed);
        }
        return 0;
    }
    case WM_VSCROLL: OnScrollBar(ed, SB_VERT, wParam); return 0;
    case WM_HSCROLL: OnScrollBar(ed, SB_HORZ, wParam); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != ed.window)
            return DefWindowProcA(ed.window, message, wParam, lParam);
        {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(ed.window, &p);
            SetCursor(CursorAt(ed, p));
        }
        return TRUE;
    default: return DefWindowProcA(ed.window, message, wParam, lParam);
    }
}

} // namespace quill::win
