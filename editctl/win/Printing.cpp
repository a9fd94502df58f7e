// Printing an edit window: the print and page-setup dialogs, the abort dialog, and the job that
// lays the text out in pages with header, footer, line numbers, wrapped rows and colours.
#include "editctl/win/Printing.h"

#include <algorithm>

#include "editctl/win/EditCommands.h"

namespace quill::win {

namespace {

constexpr int kAbortDialog = 114, kAbortButton = 1033;
const char kDocumentName[] = "Quillpoint Text";
const char kPrintFailed[] = "The text could not be printed.";

// The page setup of the process: the printer chosen and the margins.
struct PageSetupState {
    HGLOBAL devMode = nullptr, devNames = nullptr;
    PrintMargins margins;
    bool done = false;
};
PageSetupState g_setup;

// The running job's abort state: the abort procedure has no other way to reach it.
struct AbortState {
    HWND dialog = nullptr;
    HWND window = nullptr;
    bool aborted = false;
};
AbortState* g_abort = nullptr;

INT_PTR CALLBACK AbortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == kAbortButton || LOWORD(wParam) == IDCANCEL) && g_abort) {
        g_abort->aborted = true;
        return TRUE;
    }
    (void)dialog;
    return FALSE;
}

BOOL CALLBACK AbortProc(HDC, int)
{
    MSG msg;
    while (g_abort && !g_abort->aborted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!g_abort->dialog || !IsDialogMessageA(g_abort->dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // A window closed while its text prints ends the job.
    if (g_abort && !IsWindow(g_abort->window))
        g_abort->aborted = true;
    return g_abort && !g_abort->aborted;
}

class PrinterSink final : public PageSink {
public:
    explicit PrinterSink(HDC dc) : m_dc(dc) {}
    HDC InfoDc() override { return m_dc; }
    bool StartDocument(const std::string& name) override
    {
        DOCINFOA doc{};
        doc.cbSize = sizeof(doc);
        doc.lpszDocName = name.c_str();
        SetAbortProc(m_dc, AbortProc);
        return StartDocA(m_dc, &doc) > 0;
    }
    HDC StartPage() override { return ::StartPage(m_dc) > 0 ? m_dc : nullptr; }
    bool EndPage() override { return ::EndPage(m_dc) > 0; }
    void EndDocument(bool completed) override
    {
        if (completed)
            EndDoc(m_dc);
        else
            AbortDoc(m_dc);
    }

private:
    HDC m_dc;
};

// What the job prints, copied when it starts: the abort procedure lets messages through, and
// the window may change its text, or go, while the pages come out.
struct PrintSnapshot {
    std::vector<std::string> lines;  // tabs expanded
    std::vector<std::vector<int>> runOf;  // per display character: its colour run
    std::vector<std::vector<ColorSpan>> runs;
    int firstLine = 0;
    std::string path;
};

void TakeLine(const EditData& ed, PrintSnapshot& s, int line, int from, int to, bool colours)
{
    const TextStore& text = ed.doc.Text();
    const std::string_view all = text.LineText(line);
    const int tab = text.TabWidth();
    std::vector<ColorSpan> spans;
    if (colours && !all.empty()) {
        spans.resize(all.size() + 1);
        int count = 0;
        const int state = line == 0 ? -1 : text.Line(line - 1).endState;
        ParseLine(*ed.config, state, all.data(), static_cast<int>(all.size()), spans.data(), &count,
                  static_cast<int>(spans.size()));
        spans.resize(static_cast<size_t>(std::max(0, count)));
    }
    // Expand tabs, keeping for each display character its run; then keep the chosen part.
    std::string shown;
    std::vector<int> runOf;
    size_t run = 0, first = 0, last = std::string::npos;
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        while (run < spans.size() && spans[run].end <= i)
            ++run;
        if (i == from)
            first = shown.size();
        if (i == to)
            last = shown.size();
        const char c = all[static_cast<size_t>(i)];
        const size_t n = c == '\t' ? static_cast<size_t>(tab - static_cast<int>(shown.size() % static_cast<size_t>(tab))) : 1;
        shown.append(n, c == '\t' ? ' ' : c);
        runOf.insert(runOf.end(), n, run < spans.size() ? static_cast<int>(run) : -1);
    }
    if (from >= static_cast<int>(all.size()))
        first = shown.size();
    last = std::min(last, shown.size());
    shown = shown.substr(first, last - std::min(first, last));
    runOf = std::vector<int>(runOf.begin() + static_cast<std::ptrdiff_t>(first),
                             runOf.begin() + static_cast<std::ptrdiff_t>(std::max(first, last)));
    s.lines.push_back(std::move(shown));
    s.runOf.push_back(std::move(runOf));
    s.runs.push_back(std::move(spans));
}

PrintSnapshot Snapshot(EditData& ed, bool selection, bool colours)
{
    PrintSnapshot s;
    TextStore& text = ed.doc.Text();
    TextPos from{0, 0}, to = text.EndPosition();
    if (selection && !SelectionRange(ed, &from, &to))
        from = {0, 0}, to = text.EndPosition();
    if (colours && ed.ColouringOn() && ed.frontier >= 0)
        ParseUpTo(*ed.config, text, ed.frontier, to.line + 1, ed.stableFrom);
    s.firstLine = from.line;
    s.path = ed.fileName;
    for (int line = from.line; line <= to.line; ++line) {
        const int a = line == from.line ? from.column : 0;
        const int b = line == to.line ? to.column : text.Line(line).length;
        TakeLine(ed, s, line, a, b, colours && ed.ColouringOn());
    }
    return s;
}

std::string LocalDateTime(const std::string& picture, bool date)
{
    char buffer[256] = {};
    const char* format = picture.empty() ? nullptr : picture.c_str();
    const int n = date ? GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, format, buffer, sizeof(buffer))
                       : GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, format, buffer, sizeof(buffer));
    return n > 0 ? buffer : "";
}

// The font a job prints with: the screen font scaled to the printer, or the printer font. The
// configuration's fonts stay as they are; a font made here is the job's own.
HFONT MakePrintFont(const EditData& ed, HDC printer, bool* owned)
{
    const ParserConfig& cfg = *ed.config;
    *owned = false;
    if (!cfg.printScreenFont)
        return static_cast<HFONT>(cfg.printerFont ? cfg.printerFont : cfg.screenFont);
    LOGFONTA lf{};
    if (!cfg.screenFont || !GetObjectA(static_cast<HFONT>(cfg.screenFont), sizeof(lf), &lf))
        return static_cast<HFONT>(cfg.printerFont);
    const CWindowDc screen(nullptr);
    const int sx = std::max(1, GetDeviceCaps(screen, LOGPIXELSX)), sy = std::max(1, GetDeviceCaps(screen, LOGPIXELSY));
    const int px = std::max(1, GetDeviceCaps(printer, LOGPIXELSX)), py = std::max(1, GetDeviceCaps(printer, LOGPIXELSY));
    lf.lfHeight = MulDiv(lf.lfHeight, py, sy);
    lf.lfWidth = MulDiv(lf.lfWidth, px, sx);
    if (HFONT scaled = CreateFontIndirectA(&lf)) {
        *owned = true;
        return scaled;
    }
    return static_cast<HFONT>(cfg.printerFont);  // the scaled font could not be made
}

class PageWriter {
public:
    PageWriter(const EditData& ed, const PageMetrics& m, HFONT font) : m_cfg(*ed.config), m_m(m), m_font(font) {}

    void Begin(HDC dc)
    {
        m_dc = dc;
        // Each page may come in a DC of its own (a metafile DC is gone after its page).
        End();
        m_fontSelection.Select(dc, m_font);
        m_penSelection.Select(dc, GetStockObject(BLACK_PEN));
        SetBkMode(dc, TRANSPARENT);
    }

    // Undoes the page's selections before the page ends: the job's font must not stay selected.
    void End()
    {
        m_penSelection.Restore();
        m_fontSelection.Restore();
    }

    void HeaderFooter(bool header, const HeaderFields& fields)
    {
        if ((header ? m_m.headerRows : m_m.footerRows) == 0)
            return;
        const int first = header ? kHeaderLeft : kFooterLeft;
        const int y = header ? m_m.top : m_m.top + (m_m.rowsPerPage - 1) * m_m.lineHeight;
        SetTextColor(m_dc, m_cfg.colours[kTextRGB]);
        for (int part = 0; part < 3; ++part) {
            const std::string text = ExpandHeaderText(m_cfg.headerFooter[static_cast<size_t>(first + part)], fields);
            if (text.empty())
                continue;
            SIZE size{};
            GetTextExtentPoint32A(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
            int x = m_m.left;
            if (part == 1)
                x += (m_m.printableWidth - size.cx) / 2;
            else if (part == 2)
                x += m_m.printableWidth - size.cx;
            ExtTextOutA(m_dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        }
        const int mm = static_cast<int>(m_m.pxPerMmY);
        const int ruleY = header ? y + m_m.lineHeight + mm : y - mm;
        MoveToEx(m_dc, m_m.left, ruleY, nullptr);
        LineTo(m_dc, m_m.left + m_m.printableWidth, ruleY);
    }

    void NumberColumn()
    {
        if (!m_m.numberColumn)
            return;
        const int top = m_m.top + m_m.headerRows * m_m.lineHeight;
        const int bottom = m_m.top + (m_m.rowsPerPage - m_m.footerRows) * m_m.lineHeight;
        const Colour back = m_cfg.colours[kBkgndLineNumberRGB];
        if (m_cfg.printSyntaxColoring && back != kNoColour) {
            const TGdiObject<HBRUSH> brush(CreateSolidBrush(back));
            RECT r{m_m.left, top, m_m.left + m_m.numberColumn, bottom};
            FillRect(m_dc, &r, brush);
        }
        const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, m_cfg.printSyntaxColoring ? m_cfg.colours[kLineNumberRGB] : 0));
        const CSelection selected(m_dc, pen);
        MoveToEx(m_dc, m_m.left + m_m.numberColumn - 1, top, nullptr);
        LineTo(m_dc, m_m.left + m_m.numberColumn - 1, bottom);
    }

    // Rows [first, first + count) of a line, from the given text row of the page on.
    void Slice(const PrintSnapshot& s, const PageSlice& slice, int pageRow, int totalRows, bool colours)
    {
        const size_t index = static_cast<size_t>(slice.line - s.firstLine);
        const std::string& text = s.lines[index];
        const int textTop = m_m.top + m_m.headerRows * m_m.lineHeight;
        const int x0 = m_m.left + m_m.numberColumn;
        if (slice.firstRow == 0 && m_m.numberColumn) {
            const std::string number = std::to_string(slice.line + 1);
            SetTextColor(m_dc, m_cfg.printSyntaxColoring ? m_cfg.colours[kLineNumberRGB] : 0);
            const UINT align = SetTextAlign(m_dc, TA_RIGHT | TA_TOP);
            ExtTextOutA(m_dc, x0 - 2 * static_cast<int>(m_m.pxPerMmX), textTop + pageRow * m_m.lineHeight, 0,
                        nullptr, number.c_str(), static_cast<UINT>(number.size()), nullptr);
            SetTextAlign(m_dc, align);
        }
        for (int r = 0; r < slice.rows; ++r) {
            const int row = slice.firstRow + r;
            const int y = textTop + (pageRow + r) * m_m.lineHeight;
            const size_t from = static_cast<size_t>(row) * static_cast<size_t>(m_m.charsPerRow);
            const size_t to = std::min(text.size(), from + static_cast<size_t>(m_m.charsPerRow));
            for (size_t a = from; a < to;) {
                const int run = colours ? s.runOf[index][a] : -1;
                size_t b = a + 1;
                while (b < to && (colours ? s.runOf[index][b] : -1) == run)
                    ++b;
                Colour fore = m_cfg.colours[kTextRGB], back = kNoColour;
                if (run >= 0) {
                    fore = s.runs[index][static_cast<size_t>(run)].colour;
                    back = s.runs[index][static_cast<size_t>(run)].background;
                }
                SetTextColor(m_dc, fore);
                if (back != kNoColour) {
                    SetBkMode(m_dc, OPAQUE);
                    SetBkColor(m_dc, back);
                }
                ExtTextOutA(m_dc, x0 + static_cast<int>(a - from) * m_m.charWidth, y, 0, nullptr, text.data() + a,
                            static_cast<UINT>(b - a), nullptr);
                SetBkMode(m_dc, TRANSPARENT);
                a = b;
            }
            if (row + 1 < totalRows)
                WrapMark(y);
        }
    }

private:
    void WrapMark(int y)
    {
        const int x = m_m.left + m_m.printableWidth + 2 * static_cast<int>(m_m.pxPerMmX);
        const int h = m_m.lineHeight;
        const POINT corners[3] = {{x, y + h / 2}, {x + h / 2, y + h}, {x, y + h}};
        Polygon(m_dc, corners, 3);
    }

    const ParserConfig& m_cfg;
    const PageMetrics& m_m;
    HFONT m_font;  // not owned: the job's font
    HDC m_dc = nullptr;
    // The page's selections, declared in this order so that the pen goes back before the font.
    CSelection m_fontSelection;
    CSelection m_penSelection;
};


bool RunPageSetup(EditData& ed, bool silent)
{
    PAGESETUPDLGA setup{};
    setup.lStructSize = sizeof(setup);
    setup.hwndOwner = ed.window;
    setup.hDevMode = g_setup.devMode;
    setup.hDevNames = g_setup.devNames;
    setup.Flags = PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS | (silent ? PSD_RETURNDEFAULT : 0);
    const PrintMargins& m = g_setup.margins;
    setup.rtMargin = {m.left, m.top, m.right, m.bottom};
    if (silent) {  // the defaults only: the dialog wants no device yet
        setup.hDevMode = setup.hDevNames = nullptr;
    }
    const BOOL ok = EditSystem().PageSetupDialog(&setup);
    if (!ok)
        return false;
    if (setup.hDevMode != g_setup.devMode && g_setup.devMode)
        GlobalFree(g_setup.devMode);
    if (setup.hDevNames != g_setup.devNames && g_setup.devNames)
        GlobalFree(g_setup.devNames);
    g_setup.devMode = setup.hDevMode;
    g_setup.devNames = setup.hDevNames;
    if (!silent)
        g_setup.margins = {static_cast<int>(setup.rtMargin.left), static_cast<int>(setup.rtMargin.top),
                           static_cast<int>(setup.rtMargin.right), static_cast<int>(setup.rtMargin.bottom)};
    g_setup.done = true;
    return true;
}

LRESULT FilePrint(EditData& ed)
{
    if (!g_setup.done)
        RunPageSetup(ed, true);
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ed.window;
    dialog.hDevMode = g_setup.devMode;
    dialog.hDevNames = g_setup.devNames;
    dialog.nCopies = 1;
    dialog.Flags = PD_RETURNDC | PD_DISABLEPRINTTOFILE | (ed.HasSelection() ? 0 : PD_NOSELECTION);
    ed.input.qualifiers = 0;
    if (!EditSystem().PrintDialog(&dialog) || !dialog.hDC)
        return 0;
    if (dialog.hDevMode != g_setup.devMode) {
        if (g_setup.devMode)
            GlobalFree(g_setup.devMode);
        g_setup.devMode = dialog.hDevMode;
    }
    if (dialog.hDevNames != g_setup.devNames) {
        if (g_setup.devNames)
            GlobalFree(g_setup.devNames);
        g_setup.devNames = dialog.hDevNames;
    }
    const CCreatedDc printer(dialog.hDC);
    PrinterSink sink(printer);
    const bool ok = PrintText(ed, sink, (dialog.Flags & PD_SELECTION) != 0, std::max<int>(1, dialog.nCopies));
    return ok ? 1 : 0;
}

} // namespace

PrintMargins& PageMargins() { return g_setup.margins; }

void FreePrintSettings()
{
    for (HGLOBAL* block : {&g_setup.devMode, &g_setup.devNames}) {
        if (*block)
            GlobalFree(*block);
        *block = nullptr;
    }
    g_setup.done = false;
}

PageMetrics PrintMetricsFor(EditData& ed, HDC dc, HFONT font)
{
    const ParserConfig& cfg = *ed.config;
    TEXTMETRICA tm{};
    bool measured = false;
    {
        const CSelection selected(dc, font);
        measured = GetTextMetricsA(dc, &tm) != FALSE;
    }
    const PrintDevice device{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZSIZE),
                             GetDeviceCaps(dc, VERTSIZE)};
    const PrintFontMetrics metrics{measured ? static_cast<int>(tm.tmHeight + tm.tmExternalLeading) : 0,
                                   measured ? static_cast<int>(tm.tmAveCharWidth + tm.tmOverhang) : 0};
    const auto& hf = cfg.headerFooter;
    return ComputePageMetrics(device, metrics, g_setup.margins, ed.doc.Text().LineCount(), cfg.printLineNumbers,
                              HeaderFooterRows(cfg.printHeader, hf[kHeaderLeft], hf[kHeaderCenter], hf[kHeaderRight]),
                              HeaderFooterRows(cfg.printFooter, hf[kFooterLeft], hf[kFooterCenter], hf[kFooterRight]));
}

bool PrintText(EditData& ed, PageSink& sink, bool selection, int copies)
{
    if (g_abort)
        return false;  // one job at a time: the abort pump could start another
    bool owned = false;
    const HFONT font = MakePrintFont(ed, sink.InfoDc(), &owned);
    const TGdiObject<HFONT> ownedFont(owned ? font : nullptr);  // a scaled copy made for this job
    const PageMetrics m = PrintMetricsFor(ed, sink.InfoDc(), font);
    const ParserConfig& cfg = *ed.config;
    auto finish = [&](bool ok, DWORD error) {
        if (!ok && IsWindow(ed.window))
            EditSystemErrorBox(ed, kPrintFailed, error);
        return ok;
    };
    if (!m.valid)
        return finish(false, ERROR_INVALID_PARAMETER);
    const bool colours = cfg.printSyntaxColoring;
    const PrintSnapshot snap = Snapshot(ed, selection, colours);
    std::vector<int> rows;
    rows.reserve(snap.lines.size());
    for (const std::string& line : snap.lines)
        rows.push_back(RowsOfLine(static_cast<long long>(line.size()), m.charsPerRow));
    const std::vector<PrintedPage> pages = PaginateRows(rows, snap.firstLine, m.TextRows());

    AbortState abort;
    abort.window = ed.window;
    HWND top = GetAncestor(ed.window, GA_ROOT);
    abort.dialog = CreateDialogParamA(ControlInstance(), MAKEINTRESOURCEA(kAbortDialog), ed.window, AbortDialogProc, 0);
    if (abort.dialog && IsWindowVisible(ed.window))
        ShowWindow(abort.dialog, SW_SHOW);
    // The user may not type or close while the pages go out: the job works from a copy, but the
    // window itself must stay.
    const bool wasEnabled = top && IsWindowEnabled(top);
    if (wasEnabled)
        EnableWindow(top, FALSE);
    g_abort = &abort;
    const HWND window = ed.window;
    const std::string path = snap.path;
    const std::string dateText = LocalDateTime(cfg.dateFormat, true), timeText = LocalDateTime(cfg.timeFormat, false);
    bool ok = sink.StartDocument(kDocumentName);
    DWORD error = ok ? 0 : GetLastError();
    const bool started = ok;
    PageWriter writer(ed, m, font);
    for (int copy = 0; ok && copy < copies && !abort.aborted; ++copy) {
        for (size_t p = 0; ok && p < pages.size() && !abort.aborted; ++p) {
            HDC dc = sink.StartPage();
            if (!dc) {
                ok = false;
                error = GetLastError();
                break;
            }
            writer.Begin(dc);
            const HeaderFields fields{path, static_cast<long long>(p + 1), static_cast<long long>(pages.size()),
                                      dateText, timeText};
            writer.HeaderFooter(true, fields);
            writer.NumberColumn();
            int pageRow = 0;
            for (const PageSlice& slice : pages[p]) {
                writer.Slice(snap, slice, pageRow, rows[static_cast<size_t>(slice.line - snap.firstLine)], colours);
                pageRow += slice.rows;
            }
            writer.HeaderFooter(false, fields);
            writer.End();
            if (!sink.EndPage()) {
                ok = abort.aborted;  // an aborted job is not a failure
                error = GetLastError();
                break;
            }
        }
    }
    if (started)
        sink.EndDocument(ok && !abort.aborted);
    g_abort = nullptr;
    if (wasEnabled)
        EnableWindow(top, TRUE);
    if (abort.dialog)
        DestroyWindow(abort.dialog);
    if (!IsWindow(window))
        return false;
    return finish(ok, error ? error : ERROR_PRINT_CANCELLED);
}

LRESULT RunPrintCommand(EditData& ed, int number, bool* known)
{
    *known = true;
    switch (number) {
    case kFilePrint: return FilePrint(ed);
    case kDialogPageSetup: return RunPageSetup(ed, false) ? 1 : 0;
    default: *known = false; return 0;
    }
}

} // namespace quill::win
