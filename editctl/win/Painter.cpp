// Painting the client area: selection margin with bookmarks, line numbers, the text rows in their
// syntax colours, the line highlight, the selection and the column marker. Everything is drawn
// into an off-screen bitmap of the client size and copied to the window in one go.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editctl/win/EditData.h"

namespace quill::win {

namespace {

HBITMAP MappedPattern(COLORREF colour)
{
    COLORMAP map{RGB(0xC0, 0xC0, 0xC0), colour};
    return CreateMappedBitmap(ControlInstance(), QP_IDB_PATTERN, 0, &map, 1);
}

// A brush of the pattern bitmap, or a solid one when the bitmap is missing.
HBRUSH PatternBrush(HBITMAP pattern, COLORREF colour)
{
    return pattern ? CreatePatternBrush(pattern) : CreateSolidBrush(colour);
}

int TextLeft(const EditData& ed) { return MarginWidth(ed) + LineNumberWidth(ed); }

// What the DC holds for drawing text, through one paint: each is set only when it changes.
// Under Wine every such call costs about as much as drawing a short run.
struct TextState {
    HFONT font = nullptr;
    HGDIOBJ firstFont = nullptr;  // what the DC held before the first font this paint selected
    int mode = 0;
    COLORREF back = CLR_INVALID, fore = CLR_INVALID;
    // What the paint's update rectangle meets: only that is drawn. The columns keep one more on
    // either side, so that a character that reaches into its neighbour's cell is drawn there.
    RECT update{};
    int fromColumn = 0, toColumn = 0x7FFFFFFF;

    bool Meets(const RECT& r) const
    {
        RECT both{};
        return IntersectRect(&both, &r, &update) != FALSE;
    }

    void Font(HDC dc, HFONT wanted)
    {
        if (wanted == font)
            return;
        const HGDIOBJ before = SelectObject(dc, font = wanted);
        if (!firstFont)
            firstFont = before;
    }
    void Mode(HDC dc, int wanted)
    {
        if (wanted != mode)
            SetBkMode(dc, mode = wanted);
    }
    void Back(HDC dc, COLORREF wanted)
    {
        if (wanted != back)
            SetBkColor(dc, back = wanted);
    }
    void Fore(HDC dc, COLORREF wanted)
    {
        if (wanted != fore)
            SetTextColor(dc, fore = wanted);
    }
};

// The line as displayed (tabs expanded to spaces) and the display columns where tabs began, up
// to the visible end: a line of megabytes costs only what the row shows. The cut is made at white
// space (or 256 characters on) so that the last visible word is still looked up whole.
// A line without a tab before the cut is shown as it is stored: *shown is then a view of the
// line's own text, unless copy asks for a copy in the display buffer (to be changed there).
// Answers whether the line was cut; *same says whether the display text is the line's own.
bool BuildDisplay(EditData& ed, std::string_view text, bool hasTab, std::vector<int>* tabStarts, size_t needed,
                  bool copy, std::string_view* shown, bool* same)
{
    const int tab = std::max(1, ed.config->tab);
    ed.display.clear();
    *same = false;
    if (!hasTab || !std::memchr(text.data(), '\t', std::min(text.size(), needed + 256))) {
        // No tab before the cut: the display text is the line itself.
        size_t cut = std::min(text.size(), needed);
        while (cut < text.size() && cut < needed + 256 && text[cut] != ' ')
            ++cut;
        *same = true;
        if (copy) {
            ed.display.assign(text.substr(0, cut));
            *shown = ed.display;
        } else {
            *shown = text.substr(0, cut);
        }
        return cut < text.size();
    }
    bool cut = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (ed.display.size() >= needed && (c == ' ' || c == '\t' || ed.display.size() >= needed + 256)) {
            cut = true;
            break;
        }
        if (c != '\t') {
            ed.display += c;
            continue;
        }
        if (tabStarts)
            tabStarts->push_back(static_cast<int>(ed.display.size()));
        const size_t next = (ed.display.size() / static_cast<size_t>(tab) + 1) * static_cast<size_t>(tab);
        ed.display.append(next - ed.display.size(), ' ');
    }
    *shown = ed.display;
    return cut;
}

// Brings the keywords of a line to their stored spelling. It is a change of the text like any
// other, so it goes through the undo history (one group per word), and never in a read-only window.
void FixKeywordCase(EditData& ed, int line, int count)
{
    TextStore& text = ed.doc.Text();
    LineRecord& record = text.LineRecordAt(line);
    if (!(record.flags & kLineCaseFixPending))
        return;
    record.flags &= ~kLineCaseFixPending;
    if (ed.ReadOnly())
        return;
    int start = 0;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        const ColorSpan& span = ed.spans[i];
        const KeywordEntry* kw = span.keyword;
        const int end = span.end;
        if (kw && static_cast<size_t>(end - start) == kw->text.size() &&
            ed.display.compare(static_cast<size_t>(start), kw->text.size(), kw->text) != 0) {
            const int column = text.CharColumn(line, start);
            const TextPos from{column, line};
            const TextPos to{column + static_cast<int>(kw->text.size()), line};
            if (ed.doc.DeleteText(from, to, true) && ed.doc.InsertText(from, kw->text, nullptr, false)) {
                ed.display.replace(static_cast<size_t>(start), kw->text.size(), kw->text);
                changed = true;
            }
        }
        start = end;
    }
    if (changed)
        EditNotifyParent(ed);
}

// Draws the runs of a row between display columns from and to. Neighbouring runs drawn alike
// (font, background mode and colour, text colour) go out in one call, and so do runs of spaces
// on a transparent background, which show nothing in whatever colour they are drawn: under Wine
// every call costs about as much as drawing a short run. Each character is placed on the
// column grid, as it is when every run is drawn on its own.
void DrawRuns(EditData& ed, HDC dc, TextState& state, std::string_view shown, int y, int count, int from, int to,
              bool selected, COLORREF selectedColour)
{
    const ParserConfig& cfg = *ed.config;
    const int cw = cfg.charWidth;
    const int left = TextLeft(ed);
    const HFONT screen = static_cast<HFONT>(cfg.screenFont);
    RECT clip{left, y, 0x7FFF, y + cfg.lineHeight};
    struct Piece {
        int a = 0, b = 0;
        HFONT font = nullptr;
        int mode = 0;
        COLORREF back = 0, fore = 0;
        bool blank = false;  // spaces only, transparent, in the screen font: nothing to draw
    };
    Piece open;
    bool have = false;
    auto flush = [&] {
        if (!have || open.blank)
            return;
        state.Font(dc, open.font);
        state.Mode(dc, open.mode);
        if (open.mode == OPAQUE)
            state.Back(dc, open.back);
        state.Fore(dc, open.fore);
        const auto n = static_cast<size_t>(open.b - open.a);
        if (ed.advances.size() < n)
            ed.advances.assign(n, cw);
        ExtTextOutA(dc, left + (open.a - ed.firstColumn) * cw, y, ETO_CLIPPED, &clip, shown.data() + open.a,
                    static_cast<UINT>(n), ed.advances.data());
    };
    if (!ed.advances.empty() && ed.advances[0] != cw)
        ed.advances.clear();
    int start = 0;
    for (int i = 0; i < count; ++i) {
        const ColorSpan& span = ed.spans[i];
        const int a = std::max({start, from, ed.firstColumn, state.fromColumn});
        const int b = std::min({span.end, to, ed.firstColumn + ed.visibleColumns + 1, state.toColumn});
        start = span.end;
        if (a >= b)
            continue;
        Piece piece;
        piece.a = a;
        piece.b = b;
        piece.font = span.hyperlink ? static_cast<HFONT>(cfg.hyperlinkFont) : screen;
        piece.mode = selected || span.background == kNoColour ? TRANSPARENT : OPAQUE;
        piece.back = piece.mode == OPAQUE ? span.background : 0;
        piece.fore = selected ? selectedColour : span.colour;
        piece.blank = piece.mode == TRANSPARENT && piece.font == screen &&
                      shown.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)).find_first_not_of(' ') ==
                          std::string_view::npos;
        if (have && open.b == a) {
            const bool plainJoin = open.font == screen && open.mode == TRANSPARENT && piece.font == screen &&
                                   piece.mode == TRANSPARENT;
            if (piece.blank && (open.blank || plainJoin)) {
                open.b = b;  // spaces go with the run before them
                continue;
            }
            if (open.blank && plainJoin) {
                const int from0 = open.a;
                open = piece;  // the spaces before go with this run
                open.a = from0;
                continue;
            }
            if (!open.blank && piece.font == open.font && piece.mode == open.mode && piece.back == open.back &&
                piece.fore == open.fore) {
                open.b = b;
                continue;
            }
        }
        flush();
        open = piece;
        have = true;
    }
    flush();
}

// The strip of the margin, the line-number column and the text background behind one row.
void FillRowStrip(EditData& ed, HDC dc, const TextState& state, int y, const RECT& client)
{
    const ParserConfig& cfg = *ed.config;
    const int margin = MarginWidth(ed), numbers = LineNumberWidth(ed), left = margin + numbers;
    const int bottom = y + cfg.lineHeight;
    if (margin > 0 && state.Meets({0, y, margin, bottom})) {
        RECT r{0, y, margin, bottom};
        FillRect(dc, &r, cfg.solidMargin ? ed.marginBrush : ed.marginPatternBrush);
        const CSelection pen(dc, ed.darkMarginPen);
        MoveToEx(dc, margin - 1, y, nullptr);
        LineTo(dc, margin - 1, bottom);
    }
    if (numbers > 0 && state.Meets({margin, y, left, bottom})) {
        RECT r{margin, y, left, bottom};
        FillRect(dc, &r, ed.lineNumberBrush);
        r.left = left - 1;
        FillRect(dc, &r, ed.lineNumberPatternBrush);
    }
    RECT textArea{left, y, client.right, bottom};
    FillRect(dc, &textArea, ed.ReadOnly() ? ed.readOnlyBrush : ed.backgroundBrush);
}

// Whether the off-screen picture of a row already shows what it would be drawn with now; the
// picture is updated to what it is drawn with when it is drawn whole.
bool RowUnchanged(EditData& ed, int slot, const RowPicture& now, bool drawnWhole)
{
    if (slot < 0)
        return false;
    if (ed.rowPictures.size() <= static_cast<size_t>(slot))
        ed.rowPictures.resize(static_cast<size_t>(slot) + 1);
    RowPicture& kept = ed.rowPictures[static_cast<size_t>(slot)];
    if (kept.valid && kept == now)
        return true;
    kept = now;
    kept.valid = drawnWhole;
    return false;
}

// The runs of a row from its first visible column to the last column drawn, as a row picture
// compares them: colours, link flag and where each ends.
void KeepVisibleRuns(const EditData& ed, std::string_view shown, int count, RowPicture& picture)
{
    const int from = ed.firstColumn, to = ed.firstColumn + ed.visibleColumns + 1;
    const int length = static_cast<int>(shown.size());
    if (from < length)
        picture.text.assign(shown.substr(static_cast<size_t>(from), static_cast<size_t>(std::min(to, length) - from)));
    int start = 0;
    for (int i = 0; i < count && start < to; ++i) {
        const ColorSpan& span = ed.spans[i];
        if (span.end > from && span.end > start)
            picture.runs.push_back({span.colour, span.background, std::min(span.end, to), span.hyperlink});
        start = span.end;
    }
}

// Draws one line at row y; answers whether its end state changed.
bool DrawLine(EditData& ed, HDC dc, TextState& state, int line, int y, const RECT& client, int slot, bool whole)
{
    const ParserConfig& cfg = *ed.config;
    TextStore& text = ed.doc.Text();
    const int cw = cfg.charWidth, lh = cfg.lineHeight;
    const int margin = MarginWidth(ed), left = TextLeft(ed);
    std::vector<int> tabStarts;
    bool same = false;
    std::string_view shown;
    // Visible spaces and case fixing change the display text: those take a copy of the line.
    // Keywords are fixed only in a row that shows the line from its start.
    const uint32_t flags = text.Line(line).flags;
    const bool copy = cfg.visibleSpaces || (cfg.caseFixing && (flags & kLineCaseFixPending) && ed.firstColumn == 0);
    const bool cut = BuildDisplay(ed, text.LineText(line), (flags & kLineHasTab) != 0,
                                  cfg.visibleSpaces ? &tabStarts : nullptr,
                                  static_cast<size_t>(ed.firstColumn + ed.visibleColumns + 1), copy, &shown, &same);
    const int length = static_cast<int>(shown.size());
    // Room for every run from the first visible column on (a run is at least one column wide).
    const int skip = std::min(ed.firstColumn, length);
    if (ed.spans.size() < static_cast<size_t>(length - skip) + 4)
        ed.spans.resize(static_cast<size_t>(length - skip) + 4);
    ed.spans[0] = ColorSpan{cfg.colours[kTextRGB], kNoColour, length, nullptr, 0};
    int count = 1;
    bool changed = false;
    if (ed.ColouringOn()) {
        BracketMarks marks;
        for (int i = 0; i < 2; ++i)
            if (ed.bracket[i].line == line)
                (i == 0 ? marks.first : marks.second) = text.DisplayColumn(line, ed.bracket[i].column);
        const int start = line == 0 ? -1 : text.Line(line - 1).endState;
        // A row scrolled far into a long line starts parsing at the last checkpoint before its
        // first visible column. The checkpoint's state was found in the whole line: it holds for
        // the cut display text while the cut lies beyond what that state could have looked at.
        uint32_t resume = 0;
        if (same && skip > 0 && text.Line(line).length >= kLongLine && length > kCheckpointLookahead) {
            const LineCheckpoints* kept = text.Checkpoints(line);
            if (CheckpointsUsable(cfg, kept, start))
                resume = LastCheckpointAtOrBefore(*kept, std::min(skip, length - kCheckpointLookahead));
        }
        int end = ParseLineFrom(cfg, resume, start, shown.data(), length, ed.spans.data(), &count,
                                static_cast<int>(ed.spans.size()), &marks, skip, nullptr);
        if (cut) {
            // The state at the end needs the whole line. The background parse has just brought
            // the visible lines up to date, so the stored state is the right one unless the
            // parse is still behind this line.
            const LineRecord& r = text.Line(line);
            end = ed.frontier >= 0 && line >= ed.frontier ? ParseStoredLine(cfg, text, line, start) : r.endState;
        }
        if (end != text.Line(line).endState) {
            text.LineRecordAt(line).endState = end;
            changed = line + 1 < text.LineCount();
        }
        if (cfg.caseFixing && !cut && skip == 0 && copy)
            FixKeywordCase(ed, line, count);
    }
    if (cfg.visibleSpaces) {
        for (char& c : ed.display)
            if (c == ' ')
                c = '^';
        for (int column : tabStarts)
            ed.display[static_cast<size_t>(column)] = '^';
    }

    shown = copy || !same ? std::string_view(ed.display) : shown;

    // What the row shows besides its text and runs: bookmark, highlight and selection.
    RowPicture picture;
    picture.line = line;
    picture.bookmark = (text.Line(line).flags & kLineBookmark) != 0;
    picture.highlighted = cfg.highlightLine && line == ed.caret.line;
    bool selected = false;
    if (ed.HasSelection()) {
        TextPos s = ed.selStart, e = ed.selEnd;
        if (e < s)
            std::swap(s, e);
        if (line >= s.line && line <= e.line) {
            picture.selFrom = line == s.line ? text.DisplayColumn(line, s.column) : 0;
            picture.selTo = line == e.line ? text.DisplayColumn(line, e.column) : length;
            picture.selExtra = line < e.line ? cw / 2 : 0;
            const int selLeft = std::max(left + (picture.selFrom - ed.firstColumn) * cw, left);
            const int selRight = left + (picture.selTo - ed.firstColumn) * cw + picture.selExtra;
            selected = selRight > selLeft;
            if (selected)
                picture.selActive = ed.focused || (ed.findDialog && IsWindowVisible(ed.findDialog)) ||
                                    (ed.replaceDialog && IsWindowVisible(ed.replaceDialog));
        }
    }
    picture.selected = selected;
    KeepVisibleRuns(ed, shown, count, picture);
    if (RowUnchanged(ed, slot, picture, whole))
        return changed;
    FillRowStrip(ed, dc, state, y, client);

    RECT row{left, y, client.right, y + lh};
    if (picture.bookmark) {
        if (margin > 0 && state.Meets({0, y, margin, y + lh})) {
            const CSelection brush(dc, ed.bookmarkBrush);
            const CSelection pen(dc, GetStockObject(BLACK_PEN));
            RoundRect(dc, 2, y + 1, margin - 3, y + lh - 1, cw / 2 + 1, cw / 2 + 1);
        } else if (margin == 0) {
            FillRect(dc, &row, ed.bookmarkBrush);
        }
    }
    if (cfg.showLineNumbers && state.Meets({margin, y, left, y + lh})) {
        char number[16];
        if (line >= 99999)
            std::snprintf(number, sizeof(number), "-----");
        else
            std::snprintf(number, sizeof(number), "%5d", line + 1);
        state.Font(dc, static_cast<HFONT>(cfg.screenFont));
        state.Mode(dc, TRANSPARENT);
        state.Fore(dc, cfg.colours[kLineNumberRGB]);
        TextOutA(dc, margin + 2, y, number, 5);
    }
    if (picture.highlighted)
        FillRect(dc, &row, ed.lineHighlightBrush);
    DrawRuns(ed, dc, state, shown, y, count, 0, length, false, 0);

    // The selection on this row, drawn over the runs.
    if (selected) {
        RECT sel{left + (picture.selFrom - ed.firstColumn) * cw, y,
                 left + (picture.selTo - ed.firstColumn) * cw + picture.selExtra, y + lh};
        sel.left = std::max(sel.left, static_cast<LONG>(left));
        FillRect(dc, &sel, picture.selActive ? ed.selectionBrush : GetSysColorBrush(COLOR_BTNFACE));
        DrawRuns(ed, dc, state, shown, y, count, picture.selFrom, std::min(picture.selTo, length), true,
                 picture.selActive ? cfg.colours[kSelectedTextRGB] : GetSysColor(COLOR_GRAYTEXT));
    }
    return changed;
}

} // namespace

int MarginWidth(const EditData& ed)
{
    return ed.config && ed.config->selectionMargin && ed.config->charWidth > 0 ? 2 * ed.config->charWidth : 0;
}

int LineNumberWidth(const EditData& ed)
{
    return ed.config && ed.config->showLineNumbers && ed.config->charWidth > 0 ? 5 * ed.config->charWidth + 6 : 0;
}

// Counts the measurings of screen fonts, which follow every change of one: the kept rows of the
// off-screen pictures are drawn again after each, as a new font may have an old one's handle.
namespace {
unsigned g_fontsMeasured = 0;
} // namespace

void MeasureFont(EditData& ed, HDC dc)
{
    ParserConfig* cfg = ed.config;
    if (!cfg || (cfg->charWidth > 0 && cfg->lineHeight > 0))
        return;
    TEXTMETRICA tm{};
    {
        const CSelection font(dc, static_cast<HFONT>(cfg->screenFont));
        GetTextMetricsA(dc, &tm);
    }
    ++g_fontsMeasured;
    cfg->charWidth = std::max(1, static_cast<int>(tm.tmAveCharWidth + tm.tmOverhang));
    cfg->lineHeight = std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
}

void RecomputeVisibleSize(EditData& ed)
{
    if (!ed.config || !ed.window)
        return;
    if (ed.config->charWidth <= 0) {
        const CWindowDc dc(ed.window);
        MeasureFont(ed, dc);
    }
    RECT client{};
    GetClientRect(ed.window, &client);
    ed.visibleColumns = std::max(0, static_cast<int>(client.right - TextLeft(ed)) / ed.config->charWidth);
    ed.visibleLines = std::max(0, static_cast<int>(client.bottom) / ed.config->lineHeight);
    ed.firstLine = std::max(0, std::min(ed.firstLine, ed.doc.Text().LineCount() - ed.visibleLines));
}

void DropOffscreen(EditData& ed)
{
    ed.rowPictures.clear();  // a new bitmap may get the old one's handle
    ed.memoryBitmapSelection.Restore();
    ed.memoryBitmap.Reset();
    ed.memoryDc.Reset();
}

void PaintClient(EditData& ed, HDC windowDc, const RECT& update)
{
    if (IsRectEmpty(&update) || !ed.config)
        return;
    RECT client{};
    GetClientRect(ed.window, &client);
    if (!ed.memoryDc && client.right > 0 && client.bottom > 0) {
        // The DC matches the window's own DC: the DC of a WM_PRINTCLIENT may be a memory DC that
        // still holds its one-pixel monochrome bitmap. The picture is a 32-bit top-down DIB
        // section: under Wine a compatible bitmap reaches the screen at up to ten times the cost
        // of a DIB, which is copied as it is.
        const CWindowDc own(ed.window);
        ed.memoryDc.Reset(CreateCompatibleDC(own));
        if (ed.memoryDc) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = client.right;
            info.bmiHeader.biHeight = -client.bottom;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            ed.memoryBitmap.Reset(CreateDIBSection(own, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!ed.memoryBitmap)
                ed.memoryBitmap.Reset(CreateCompatibleBitmap(own, client.right, client.bottom));
        }
        if (ed.memoryBitmap)
            ed.memoryBitmapSelection.Select(ed.memoryDc, ed.memoryBitmap);
        else
            ed.memoryDc.Reset();
    }
    HDC dc = ed.memoryDc ? ed.memoryDc : windowDc;
    // The off-screen DC is the window's own: what a paint changes in it is put back by hand, as
    // saving and restoring its whole state costs more than a paint of an unchanged screen.
    const bool offscreen = dc != windowDc;
    const int saved = offscreen ? 0 : SaveDC(dc);
    // Everything below draws only inside the update rectangle: typing repaints one row, not the
    // whole client area.
    IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
    if (ed.config->charWidth <= 0) {
        MeasureFont(ed, dc);
        RecomputeVisibleSize(ed);
    }
    const ParserConfig& cfg = *ed.config;
    const int margin = MarginWidth(ed), numbers = LineNumberWidth(ed), left = margin + numbers;
    const bool keep = dc != windowDc;

    // Rows are kept in the off-screen picture: one is drawn again only when something it shows
    // differs from what it was drawn with. Everything the rows share is compared here.
    PictureKey key;
    key.config = &cfg;
    key.colours = cfg.colours;
    key.screenFont = cfg.screenFont;
    key.hyperlinkFont = cfg.hyperlinkFont;
    key.charWidth = cfg.charWidth;
    key.fontsMeasured = g_fontsMeasured;
    key.lineHeight = cfg.lineHeight;
    key.margin = margin;
    key.numbers = numbers;
    key.solidMargin = cfg.solidMargin;
    key.showLineNumbers = cfg.showLineNumbers;
    key.columnMarker = cfg.columnMarker ? cfg.columnMarkerOffset : 0;
    key.readOnly = ed.ReadOnly();
    key.firstColumn = ed.firstColumn;
    key.visibleColumns = ed.visibleColumns;
    key.client = client;
    key.buttonFace = GetSysColor(COLOR_BTNFACE);
    key.grayText = GetSysColor(COLOR_GRAYTEXT);
    key.bitmap = dc == windowDc ? nullptr : static_cast<HBITMAP>(ed.memoryBitmap);
    if (!key.bitmap || !(key == ed.pictureKey)) {
        ed.rowPictures.clear();
        ed.pictureKey = key;
    }
    TextState state;
    state.update = update;
    if (update.left > left)
        state.fromColumn = ed.firstColumn + (update.left - left) / cfg.charWidth - 1;
    if (update.right < client.right)
        state.toColumn = ed.firstColumn + (update.right - left + cfg.charWidth - 1) / cfg.charWidth + 1;
    state.Back(dc, cfg.colours[ed.ReadOnly() ? kBackgroundReadOnlyRGB : kBackgroundRGB]);

    TextStore& text = ed.doc.Text();
    const int lastVisible = ed.firstLine + ed.visibleLines;
    if (ed.ColouringOn() && ed.frontier >= 0 && ed.frontier <= lastVisible)
        ParseUpTo(cfg, text, ed.frontier, lastVisible, ed.stableFrom);

    bool changed = false;
    int line = ed.firstLine;
    for (int y = 0, slot = 0; y < client.bottom; y += cfg.lineHeight, ++line, ++slot) {
        RECT row{0, y, client.right, y + cfg.lineHeight};
        RECT meet{};
        if (!IntersectRect(&meet, &row, &update)) {
            if (changed && y >= update.bottom)
                break;
            continue;
        }
        // A row drawn only in part does not count as kept.
        const bool whole = keep && EqualRect(&meet, &row);
        if (line >= text.LineCount()) {
            RowPicture empty;  // below the text: background only
            if (!RowUnchanged(ed, keep ? slot : -1, empty, whole))
                FillRowStrip(ed, dc, state, y, client);
            continue;
        }
        if (DrawLine(ed, dc, state, line, y, client, keep ? slot : -1, whole))
            changed = true;
    }
    if (changed) {
        // The end state of a drawn line changed: the lines below follow for as long as theirs do.
        for (; line < text.LineCount(); ++line) {
            const LineRecord& r = text.Line(line);
            const int start = line == 0 ? -1 : text.Line(line - 1).endState;
            const int end = ParseStoredLine(cfg, text, line, start);
            if (end == r.endState)
                break;
            text.LineRecordAt(line).endState = end;
        }
        InvalidateRect(ed.window, nullptr, FALSE);
    }
    if (cfg.columnMarker && cfg.columnMarkerOffset > 0 && cfg.columnMarkerOffset >= ed.firstColumn &&
        cfg.columnMarkerOffset < ed.firstColumn + ed.visibleColumns) {
        const int x = left + (cfg.columnMarkerOffset - ed.firstColumn) * cfg.charWidth;
        const CSelection pen(dc, ed.marginPen);
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, client.bottom);
    }
    if (offscreen) {
        SelectClipRgn(dc, nullptr);
        if (state.firstFont)
            SelectObject(dc, state.firstFont);
    } else {
        RestoreDC(dc, saved);
    }
    if (dc != windowDc)
        BitBlt(windowDc, update.left, update.top, update.right - update.left, update.bottom - update.top, dc,
               update.left, update.top, SRCCOPY);
}

void RepaintLines(EditData& ed, int first, int last)
{
    if (!ed.window || !ed.config || ed.config->lineHeight <= 0 || ed.batch)
        return;
    if (last < first)
        std::swap(first, last);
    first = std::max(first, ed.firstLine);
    last = std::min(last, ed.firstLine + ed.visibleLines);
    if (first > last)
        return;
    RECT client{};
    GetClientRect(ed.window, &client);
    RECT r{0, (first - ed.firstLine) * ed.config->lineHeight, client.right,
           (last - ed.firstLine + 1) * ed.config->lineHeight};
    InvalidateRect(ed.window, &r, FALSE);
}

void RepaintLine(EditData& ed, int line) { RepaintLines(ed, line, line); }

// Moves the rows by n (the caller has moved the first visible line already): the system moves
// what is on the screen and only the rows that come into view are painted.
void ScrollLines(EditData& ed, int n)
{
    if (!ed.window || ed.batch || n == 0 || !ed.config || ed.config->lineHeight <= 0)
        return;
    if (std::abs(n) >= ed.visibleLines) {
        InvalidateRect(ed.window, nullptr, FALSE);
        return;
    }
    ScrollWindowEx(ed.window, 0, -n * ed.config->lineHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

// The same sideways, for the text area only: the margin and the line numbers stay.
void ScrollColumns(EditData& ed, int n)
{
    if (!ed.window || ed.batch || n == 0 || !ed.config || ed.config->charWidth <= 0)
        return;
    RECT client{};
    GetClientRect(ed.window, &client);
    RECT text{TextLeft(ed), 0, client.right, client.bottom};
    if (std::abs(n) >= ed.visibleColumns) {
        InvalidateRect(ed.window, &text, FALSE);
        return;
    }
    ScrollWindowEx(ed.window, -n * ed.config->charWidth, 0, &text, &text, nullptr, nullptr, SW_INVALIDATE);
    ed.bandedUpdate = true;
}

namespace {

// Gives the system the bar's range, page and position, drawing it when the state says drawn.
void ApplyScrollBar(HWND window, int bar, const ScrollBarState& state)
{
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    si.nMax = state.max;
    si.nPage = static_cast<UINT>(state.page);
    si.nPos = state.pos;
    SetScrollInfo(window, bar, &si, state.drawn ? TRUE : FALSE);
}

// Sets a scroll bar only when its range, page or position differ from what this window set last:
// the system draws the bar again at every call, changed or not, and under Wine that costs more
// than painting the text.
// Without redraw the values are set and the bar is left to DrawPendingScrollBars.
void SetScrollBar(EditData& ed, int bar, int max, int page, int pos, bool redraw)
{
    ScrollBarState& last = ed.scrollBars[bar == SB_VERT ? 0 : 1];
    if (last.set && last.max == max && last.page == page && last.pos == pos)
        return;
    last = {true, redraw, max, page, pos};
    ApplyScrollBar(ed.window, bar, last);
}

int VerticalMax(const EditData& ed) { return std::max(0, ed.doc.Text().LineCount() - 1); }
int HorizontalMax(const EditData& ed) { return std::max(0, ed.doc.Text().LongestWidth()); }

} // namespace

// Whether setting the bars now shows one or switches one between enabled and disabled: either
// changes or draws the window's frame.
bool ScrollBarsTurn(const EditData& ed, LONG_PTR style)
{
    const int max[2] = {std::max(0, ed.doc.Text().LineCount() - 1), std::max(0, ed.doc.Text().LongestWidth())};
    const int page[2] = {std::max(1, ed.visibleLines), std::max(1, ed.visibleColumns)};
    const LONG_PTR shown[2] = {style & WS_VSCROLL, style & WS_HSCROLL};
    for (int i = 0; i < 2; ++i) {
        const ScrollBarState& last = ed.scrollBars[i];
        const bool needed = max[i] >= page[i];
        if ((needed && !shown[i]) || !last.set || needed != (last.max >= last.page))
            return true;
    }
    return false;
}

void UpdateScrollBars(EditData& ed)
{
    if (!ed.window || ed.batch)
        return;
    // A bar that appears or is enabled or disabled is drawn there and then, and under Wine each
    // such drawing costs more than reading megabytes; showing one resizes the text area, which
    // sets the bars again. A long text loaded into an empty window does all of that for both
    // bars: the window then draws nothing until both are set, and its frame and text area are
    // painted once, with the next paint.
    const LONG_PTR style = GetWindowLongPtrA(ed.window, GWL_STYLE);
    const bool quiet = (style & WS_VISIBLE) && ScrollBarsTurn(ed, style);
    if (quiet)
        DefWindowProcA(ed.window, WM_SETREDRAW, FALSE, 0);
    SetScrollBar(ed, SB_VERT, VerticalMax(ed), std::max(1, ed.visibleLines), ed.firstLine, true);
    SetScrollBar(ed, SB_HORZ, HorizontalMax(ed), std::max(1, ed.visibleColumns), ed.firstColumn, true);
    if (quiet) {
        DefWindowProcA(ed.window, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(ed.window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
    }
}

// Under Wine drawing one bar costs five milliseconds or more, whatever changed in it: many times
// what a key costs otherwise. A bar that appears or is enabled or disabled is set at once.
void UpdateScrollBarsSoon(EditData& ed)
{
    if (!ed.window || ed.batch)
        return;
    const LONG_PTR style = GetWindowLongPtrA(ed.window, GWL_STYLE);
    if (!(style & WS_VISIBLE) || ScrollBarsTurn(ed, style)) {
        UpdateScrollBars(ed);
        return;
    }
    SetScrollBar(ed, SB_VERT, VerticalMax(ed), std::max(1, ed.visibleLines), ed.firstLine, false);
    SetScrollBar(ed, SB_HORZ, HorizontalMax(ed), std::max(1, ed.visibleColumns), ed.firstColumn, false);
    if (!ed.scrollBars[0].drawn || !ed.scrollBars[1].drawn)
        SetTimer(ed.window, kScrollBarTimer, kScrollBarDelay, nullptr);
}

void DrawPendingScrollBars(EditData& ed)
{
    KillTimer(ed.window, kScrollBarTimer);
    for (int i = 0; i < 2; ++i) {
        ScrollBarState& last = ed.scrollBars[i];
        if (last.drawn)
            continue;
        last.drawn = true;
        ApplyScrollBar(ed.window, i == 0 ? SB_VERT : SB_HORZ, last);
    }
}

bool RebuildBrushes(EditData& ed)
{
    if (!ed.config)
        return false;
    const auto& c = ed.config->colours;
    ed.marginPattern.ReplaceIfMade(MappedPattern(c[kMarginRGB]));
    ed.lineNumberPattern.ReplaceIfMade(MappedPattern(c[kLineNumberRGB]));
    ed.backgroundBrush.ReplaceIfMade(CreateSolidBrush(c[kBackgroundRGB]));
    ed.readOnlyBrush.ReplaceIfMade(CreateSolidBrush(c[kBackgroundReadOnlyRGB]));
    ed.marginPatternBrush.ReplaceIfMade(PatternBrush(ed.marginPattern, c[kMarginRGB]));
    ed.marginBrush.ReplaceIfMade(CreateSolidBrush(c[kMarginRGB]));
    ed.bookmarkBrush.ReplaceIfMade(CreateSolidBrush(c[kBookmarkRGB]));
    ed.selectionBrush.ReplaceIfMade(CreateSolidBrush(c[kSelectedBackgroundRGB]));
    ed.lineNumberPatternBrush.ReplaceIfMade(PatternBrush(ed.lineNumberPattern, c[kLineNumberRGB]));
    ed.lineNumberBrush.ReplaceIfMade(CreateSolidBrush(c[kBkgndLineNumberRGB]));
    ed.lineHighlightBrush.ReplaceIfMade(CreateSolidBrush(c[kLineHighlightRGB]));
    ed.marginPen.ReplaceIfMade(CreatePen(PS_SOLID, 1, c[kMarginRGB]));
    ed.darkMarginPen.ReplaceIfMade(CreatePen(PS_SOLID, 1, Darken(c[kMarginRGB], 0.3)));
    return ed.backgroundBrush && ed.readOnlyBrush && ed.marginPatternBrush && ed.marginBrush && ed.bookmarkBrush &&
           ed.selectionBrush && ed.lineNumberPatternBrush && ed.lineNumberBrush && ed.lineHighlightBrush &&
           ed.marginPen && ed.darkMarginPen;
}

void DeleteBrushes(EditData& ed)
{
    for (TGdiObject<HBRUSH>* b : {&ed.backgroundBrush, &ed.readOnlyBrush, &ed.marginPatternBrush, &ed.marginBrush,
                                  &ed.bookmarkBrush, &ed.selectionBrush, &ed.lineNumberPatternBrush,
                                  &ed.lineNumberBrush, &ed.lineHighlightBrush})
        b->Reset();
    ed.marginPen.Reset();
    ed.darkMarginPen.Reset();
    ed.marginPattern.Reset();
    ed.lineNumberPattern.Reset();
}

} // namespace quill::win
