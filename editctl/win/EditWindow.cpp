// The window class "QuillpointEditControl32": start-up and shut-down of the control, the message
// table, the per-window record, the notifications to the parent and the owner's messages.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <exception>

#include "editctl/model/MessageIds.h"
#include "editctl/model/TextUtil.h"
#include "editctl/win/EditCommands.h"
#include "editctl/win/EditData.h"
#include "editctl/win/Printing.h"

namespace quill::win {

namespace {

using Handler = LRESULT (*)(HWND, WPARAM, LPARAM, EditData*);

struct MessageRow {
    UINT message;
    Handler handler;
};

bool g_started = false;
UINT g_reloadMessage = 0;

const char* TextArg(LPARAM lParam) { return reinterpret_cast<const char*>(lParam); }

// ---- notifications ---------------------------------------------------------------------------

void SendNotify(EditData& ed, NMHDR& header, UINT code)
{
    HWND parent = GetParent(ed.window);
    if (!parent)
        return;
    header.hwndFrom = ed.window;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(ed.window));
    header.code = code;
    SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void NotifyFileName(EditData& ed)
{
    EditNotifyFileName n{};
    n.fileName = ed.fileName.c_str();
    n.configName = ed.config ? ed.config->name.c_str() : "";
    n.smallIcon = ed.smallIcon;
    n.largeIcon = ed.largeIcon;
    SendNotify(ed, n.hdr, QPN_FILENAMECHANGED);
}

// ---- configuration and file name -------------------------------------------------------------

void ApplyConfig(EditData& ed, ParserConfig* config)
{
    ed.config = config;
    ed.doc.Text().SetTabWidth(config->tab);
    ed.doc.Text().SetCaseFixing(config->caseFixing);
    RecomputeVisibleSize(ed);
    EditNotifyParent(ed);
    if (!ed.batch) {
        RestartParsing(ed);
        SendMessageA(ed.window, WM_SYSCOLORCHANGE, 0, 0);
    }
}

// The system's icons of the file's type. They depend on the extension alone (the file itself is
// not looked at), so a name with the same extension keeps the icons it has: asking the shell
// costs more than reading a file of megabytes.
void TakeIcons(EditData& ed)
{
    const size_t slash = ed.fileName.find_last_of("\\/");
    const size_t dot = ed.fileName.rfind('.');
    std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                ? std::string()
                                : ed.fileName.substr(dot);
    for (char& c : extension)
        c = FoldCase(c);
    if (!ed.fileName.empty() && (ed.smallIcon || ed.largeIcon) && extension == ed.iconExtension)
        return;
    for (HICON* icon : {&ed.smallIcon, &ed.largeIcon}) {
        if (*icon)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
    ed.iconExtension = extension;
    if (ed.fileName.empty())
        return;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(ed.fileName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        ed.smallIcon = info.hIcon;
    info = SHFILEINFOA{};
    if (SHGetFileInfoA(ed.fileName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_ICON | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES))
        ed.largeIcon = info.hIcon;
}

// ---- text helpers ----------------------------------------------------------------------------

// Copies text and its zero into the caller's buffer, or into a new global block (the result).
LRESULT CopyOut(const std::string& text, LPARAM buffer)
{
    if (buffer) {
        char* out = reinterpret_cast<char*>(buffer);
        std::memcpy(out, text.data(), text.size());
        out[text.size()] = 0;
        return buffer;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, text.size() + 1);
    if (!block)
        return 0;
    if (void* p = GlobalLock(block)) {
        std::memcpy(p, text.data(), text.size());
        GlobalUnlock(block);
    }
    return reinterpret_cast<LRESULT>(block);
}

void ClearSelection(EditData& ed)
{
    if (ed.HasSelection())
        InvalidateRect(ed.window, nullptr, FALSE);
    ed.selStart = ed.selEnd = ed.anchor = {kNoPosition, kNoPosition};
}

void ScrollIntoView(EditData& ed)
{
    if (ed.caret.line < ed.firstLine)
        ed.firstLine = ed.caret.line;
    else if (ed.visibleLines > 0 && ed.caret.line >= ed.firstLine + ed.visibleLines)
        ed.firstLine = std::max(0, ed.caret.line - ed.visibleLines + 1);
    const int column = ed.doc.Text().DisplayColumn(ed.caret.line, ed.caret.column);
    if (ed.visibleColumns > 0 && (column < ed.firstColumn || column >= ed.firstColumn + ed.visibleColumns))
        ed.firstColumn = std::max(0, column - ed.visibleColumns / 2);
}

// The whole window again: repaint, scroll bars, and the parent told of state and caret.
void RepaintAll(EditData& ed)
{
    InvalidateRect(ed.window, nullptr, FALSE);
    UpdateScrollBars(ed);
    EditNotifyParent(ed);
    ReportCaretPosition(ed);
}

// After an edit by the owner or a command: repaint, scroll bars, parent. A change within one
// line that did not move the view repaints that line only.
void Refresh(EditData& ed, int firstLine, int lastLine, bool viewMoved)
{
    const int lines = ed.doc.Text().LineCount();
    AfterTextChange(ed, firstLine, lastLine);
    if (!ed.batch) {
        if (firstLine == lastLine && !viewMoved && lines == ed.lastLineCount) {
            RepaintLine(ed, firstLine);
        } else {
            InvalidateRect(ed.window, nullptr, FALSE);
            UpdateScrollBars(ed);
        }
    }
    ed.lastLineCount = lines;
    EditNotifyParent(ed);
    ReportCaretPosition(ed);
}

// Inserts at the caret; a selection is deleted first and the insertion joins its undo group.
LRESULT InsertAtCaret(EditData& ed, const char* text)
{
    if (ed.ReadOnly() || !text)
        return 0;
    bool groupStart = true;
    if (ed.HasSelection()) {
        TextPos s = ed.selStart, e = ed.selEnd;
        if (e < s)
            std::swap(s, e);
        if (!ed.doc.DeleteText(s, e, true))
            return 0;
        ed.caret = s;
        groupStart = false;
        ClearSelection(ed);
    }
    TextPos end;
    const TextPos at = ed.doc.Text().Clamp(ed.caret);
    const bool ok = ed.doc.InsertText(at, text, &end, groupStart);
    if (ok)
        ed.caret = end;
    const int top = ed.firstLine, left = ed.firstColumn;
    ScrollIntoView(ed);
    Refresh(ed, at.line, ed.caret.line, !groupStart || top != ed.firstLine || left != ed.firstColumn);
    return ok ? 1 : 0;
}

// ---- undo commands ---------------------------------------------------------------------------

void AfterUndo(EditData& ed, const UndoOutcome& out)
{
    if (out.records == 0)
        return;
    ed.caret = ed.doc.Text().Clamp(out.caret);
    AfterTextChange(ed, out.firstLine, std::max(out.lastLine, ed.caret.line));
    if (!ed.batch) {
        const int top = ed.firstLine, left = ed.firstColumn;
        ScrollIntoView(ed);
        if (out.records == 1 && out.firstLine == out.lastLine && top == ed.firstLine && left == ed.firstColumn) {
            RepaintLine(ed, out.firstLine);
        } else {
            InvalidateRect(ed.window, nullptr, FALSE);
            UpdateScrollBars(ed);
        }
    }
    EditNotifyParent(ed);
    ReportCaretPosition(ed);
}

LRESULT Replay(EditData& ed, bool undo)
{
    if (ed.ReadOnly() || !(undo ? ed.doc.CanUndo() : ed.doc.CanRedo()))
        return 0;
    if (!ed.batch)
        ClearSelection(ed);
    AfterUndo(ed, undo ? ed.doc.Undo() : ed.doc.Redo());
    return 1;
}

LRESULT EditUndo(EditData& ed) { return Replay(ed, true); }
LRESULT EditRedo(EditData& ed) { return Replay(ed, false); }

LRESULT ReplayAll(EditData& ed, bool undo)
{
    if (ed.ReadOnly() || !(undo ? ed.doc.CanUndo() : ed.doc.CanRedo()))
        return 0;
    ClearSelection(ed);
    ed.batch = true;
    const UndoOutcome out = undo ? ed.doc.UndoAll() : ed.doc.RedoAll();
    AfterUndo(ed, out);
    ed.batch = false;
    ScrollIntoView(ed);
    InvalidateRect(ed.window, nullptr, FALSE);
    UpdateScrollBars(ed);
    EditNotifyParent(ed);
    return 1;
}

LRESULT EditUndoAll(EditData& ed) { return ReplayAll(ed, true); }
LRESULT EditRedoAll(EditData& ed) { return ReplayAll(ed, false); }

// Empties the undo history; whether the text differs from its file stays as it was.
LRESULT MiscClearUndoBuffers(EditData& ed)
{
    ed.doc.ClearUndo();
    EditNotifyParent(ed);
    return 1;
}

// ---- loading and saving ----------------------------------------------------------------------

std::string FormatFileMessage(int id, const std::string& path)
{
    const std::string format = LoadMessageText(id);
    const size_t at = format.find("%s");
    return at == std::string::npos ? format : format.substr(0, at) + path + format.substr(at + 2);
}

LRESULT SaveTo(EditData& ed, std::string path)
{
    if (path.empty())
        path = ed.fileName;
    if (path.empty())
        return 2;
    HCURSOR old = SetCursor(ed.waitCursor);
    if (!MakeBackupFile(ed)) {
        SetCursor(old);
        return 4;
    }
    DWORD error = 0;
    const bool ok = SaveTextFile(ed, path, &error);
    SetCursor(old);
    if (!ok) {
        EditSystemErrorBox(ed, FormatFileMessage(kMsgSaveError, path), error);
        SetLastError(error);
        return 2;
    }
    ed.doc.MarkSaved();
    SetFileName(ed, path);
    ed.caret = ed.doc.Text().Clamp(ed.caret);
    EditNotifyParent(ed);
    return 1;
}

bool AskToSave(EditData& ed)
{
    if (!ed.doc.Modified())
        return true;
    const std::string text = FormatFileMessage(kMsgAskSave, ed.fileName);
    switch (EditMessageBox(ed, text, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES: return SaveTo(ed, ed.fileName) == 1;
    case IDNO: return true;
    default: return false;
    }
}

// ---- standard messages -----------------------------------------------------------------------

LRESULT OnCreate(HWND window, WPARAM, LPARAM lParam, EditData*)
{
    if (!RegisterEditWindow(window))
        return -1;
    auto owned = std::make_unique<EditData>();
    EditData& ed = *owned;
    ed.window = window;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(owned.release()));
    ParserConfig* def = nullptr;
    {
        ConfigLock lock;
        def = DefaultConfigOf(ParserList());
    }
    if (!def)
        return -1;
    const HINSTANCE instance = ControlInstance();
    ed.ibeamCursor = LoadCursor(nullptr, IDC_IBEAM);
    ed.arrowCursor = LoadCursor(nullptr, IDC_ARROW);
    ed.waitCursor = LoadCursor(nullptr, IDC_WAIT);
    ed.marginCursor = LoadCursorA(instance, MAKEINTRESOURCEA(QP_IDC_MARGIN));
    ed.linkCursor = LoadCursorA(instance, MAKEINTRESOURCEA(QP_IDC_LINK));
    if (!ed.ibeamCursor || !ed.arrowCursor || !ed.waitCursor || !ed.marginCursor || !ed.linkCursor)
        return -1;

    ed.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 instance, nullptr);
    if (!ed.tooltip)
        return -1;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = const_cast<char*>("");
    SendMessageA(ed.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(ed.tooltip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 3);

    ed.config = def;
    ed.syntaxColoring = def->globalSyntaxColoring;
    if (!RebuildBrushes(ed))
        return -1;
    ed.undoLimit = def->undoSize;
    ed.doc.SetUndoLimit(ed.undoLimit);
    ed.historyLimit = def->maxTrack;
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const char* name = create && create->lpszName && HIWORD(reinterpret_cast<ULONG_PTR>(create->lpszName))
                           ? create->lpszName : "";
    SetFileName(ed, name);
    EditNotifyParent(ed);
    UpdateScrollBars(ed);
    StartInput(ed);
    return 0;
}

LRESULT OnDestroy(HWND window, WPARAM, LPARAM, EditData* ed)
{
    ReleaseInput(*ed);
    UnregisterEditWindow(window);
    for (HWND* dialog : {&ed->findDialog, &ed->replaceDialog, &ed->gotoDialog})
        if (*dialog)
            DestroyWindow(*dialog);
    for (HICON icon : {ed->smallIcon, ed->largeIcon})
        if (icon)
            DestroyIcon(icon);
    if (ed->parseTimer)
        KillTimer(window, kParseTimer);
    DropOffscreen(*ed);
    for (HCURSOR cursor : {ed->marginCursor, ed->linkCursor})
        if (cursor)
            DestroyCursor(cursor);
    if (ed->tooltip)
        DestroyWindow(ed->tooltip);
    DeleteBrushes(*ed);
    SetWindowLongPtrA(window, 0, 0);
    delete ed;
    return 0;
}

LRESULT OnPaint(HWND window, WPARAM, LPARAM, EditData* ed)
{
    // A region of a few bands is painted band by band: rows of which only a strip is to be
    // drawn are drawn in that strip, not whole.
    constexpr DWORD kMostBands = 8;
    TGdiObject<HRGN> region;
    if (ed->bandedUpdate) {
        ed->bandedUpdate = false;
        region.Reset(CreateRectRgn(0, 0, 0, 0));
        if (region && GetUpdateRgn(window, region, FALSE) != COMPLEXREGION)
            region.Reset();
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    struct Bands {
        RGNDATAHEADER header;
        RECT rects[kMostBands];
    } bands{};
    if (region && GetRegionData(region, sizeof(bands), reinterpret_cast<RGNDATA*>(&bands)) != 0 &&
        bands.header.iType == RDH_RECTANGLES && bands.header.nCount <= kMostBands) {
        for (DWORD i = 0; i < bands.header.nCount; ++i)
            PaintClient(*ed, dc, bands.rects[i]);
    } else {
        PaintClient(*ed, dc, ps.rcPaint);
    }
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnPrintClient(HWND window, WPARAM wParam, LPARAM, EditData* ed)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT box{};
    if (GetClipBox(dc, &box) == NULLREGION || IsRectEmpty(&box))
        GetClientRect(window, &box);
    PaintClient(*ed, dc, box);
    return 0;
}

LRESULT OnEraseBackground(HWND, WPARAM, LPARAM, EditData*) { return 0; }

LRESULT OnSize(HWND, WPARAM, LPARAM, EditData* ed)
{
    RecomputeVisibleSize(*ed);
    DropOffscreen(*ed);
    UpdateScrollBars(*ed);
    return 0;
}

// The screen font of the window's configuration (shared by its windows), made from a copy of the
// given LOGFONT: the caller keeps its own font and may delete it whenever it likes.
bool TakeScreenFont(EditData& ed, const LOGFONTA& given)
{
    TGdiObject<HFONT> probe(CreateFontIndirectA(&given));
    if (!probe)
        return false;
    TEXTMETRICA tm{};
    {
        const CWindowDc dc(ed.window);
        const CSelection font(dc, probe);
        GetTextMetricsA(dc, &tm);
    }
    // In TEXTMETRIC the bit called TMPF_FIXED_PITCH is set for variable-pitch fonts.
    if (tm.tmPitchAndFamily & TMPF_FIXED_PITCH)
        return false;
    LOGFONTA link = given;
    link.lfUnderline = TRUE;
    TGdiObject<HFONT> linkFont(CreateFontIndirectA(&link));
    if (!linkFont)
        return false;
    ParserConfig& cfg = *ed.config;
    cfg.SetFont(cfg.screenFont, probe.Release());
    cfg.SetFont(cfg.hyperlinkFont, linkFont.Release());
    cfg.screenSpec.face = given.lfFaceName;
    cfg.screenSpec.height = given.lfHeight;
    cfg.screenSpec.weight = given.lfWeight;
    cfg.hyperlinkSpec = cfg.screenSpec;
    cfg.hyperlinkSpec.underline = true;
    cfg.charWidth = cfg.lineHeight = -1;
    RecomputeVisibleSize(ed);
    DropOffscreen(ed);
    InvalidateRect(ed.window, nullptr, FALSE);
    UpdateScrollBars(ed);
    return true;
}

LRESULT OnSetFont(HWND window, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    LOGFONTA lf{};
    if (wParam && GetObjectA(reinterpret_cast<HFONT>(wParam), sizeof(lf), &lf) == sizeof(lf))
        TakeScreenFont(*ed, lf);
    return DefWindowProcA(window, WM_SETFONT, wParam, lParam);
}

LRESULT OnGetDlgCode(HWND, WPARAM, LPARAM, EditData*) { return DLGC_WANTALLKEYS; }

LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    if (wParam == kAutoScrollTimer) {
        OnAutoScrollTimer(*ed);
        return 0;
    }
    if (wParam == kScrollBarTimer) {
        DrawPendingScrollBars(*ed);
        return 0;
    }
    if (wParam != kParseTimer)
        return DefWindowProcA(window, WM_TIMER, wParam, lParam);
    // Once everything is parsed the timer simply ends; a tick that arrives late has nothing to do.
    TextStore& text = ed->doc.Text();
    const int first = std::max(0, ed->firstLine - 1);
    const int last = std::min(text.LineCount() - 1, ed->firstLine + ed->visibleLines);
    std::vector<int> before;  // the states the visible rows start from
    for (int line = first; ed->frontier >= 0 && ed->frontier <= last && line <= last; ++line)
        before.push_back(text.Line(line).endState);
    if (ed->frontier < 0 || !ed->ColouringOn() ||
        !ParseUpTo(*ed->config, text, ed->frontier, ed->frontier + kParseSlice, ed->stableFrom)) {
        KillTimer(window, kParseTimer);
        ed->parseTimer = 0;
    }
    // Repaint only when a visible row now starts from another state.
    for (size_t i = 0; i < before.size(); ++i) {
        if (text.Line(first + static_cast<int>(i)).endState != before[i]) {
            InvalidateRect(window, nullptr, FALSE);
            break;
        }
    }
    return 0;
}

LRESULT OnSysColorChange(HWND window, WPARAM, LPARAM, EditData* ed)
{
    ed->bracket[0] = ed->bracket[1] = {kNoPosition, kNoPosition};
    {
        ConfigLock lock;
        RefreshSystemColours(*ed->config, Environment());
    }
    RebuildBrushes(*ed);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnSetFocus(HWND window, WPARAM wParam, LPARAM, EditData* ed)
{
    ed->focused = true;
    if (ed->HasSelection())
        InvalidateRect(window, nullptr, FALSE);
    EditNotifyParent(*ed);
    OnFocusChange(*ed, true, reinterpret_cast<HWND>(wParam));
    return 0;
}

LRESULT OnKillFocus(HWND window, WPARAM wParam, LPARAM, EditData* ed)
{
    OnFocusChange(*ed, false, reinterpret_cast<HWND>(wParam));
    ed->focused = false;
    if (ed->HasSelection())
        InvalidateRect(window, nullptr, FALSE);
    return 0;
}

// ---- the owner's messages --------------------------------------------------------------------

LRESULT OnGetExtensions(HWND, WPARAM, LPARAM, EditData* ed)
{
    return reinterpret_cast<LRESULT>(ed->config->extentions.c_str());
}

LRESULT OnTakeSharedLimits(HWND, WPARAM, LPARAM, EditData* ed)
{
    ConfigLock lock;
    if (ParserConfig* def = DefaultConfigOf(ParserList())) {
        ed->undoLimit = def->undoSize;
        ed->doc.SetUndoLimit(def->undoSize);
        ed->syntaxColoring = def->globalSyntaxColoring;
        ed->historyLimit = def->maxTrack;
    }
    return 0;
}

LRESULT OnRechooseConfig(HWND, WPARAM, LPARAM, EditData* ed)
{
    SetFileName(*ed, std::string(ed->fileName));
    return 0;
}

LRESULT OnUseBuiltinDefault(HWND, WPARAM, LPARAM, EditData* ed)
{
    ed->config = BuiltinDefault();
    return 0;
}

LRESULT OnLoadFile(HWND, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    if (!wParam && !AskToSave(*ed))
        return 3;
    const char* path = TextArg(lParam);
    if (!path || !*path)
        return 2;
    const std::string name = path;
    ClearText(*ed);
    HCURSOR old = SetCursor(ed->waitCursor);
    DWORD error = 0;
    const bool ok = LoadTextFile(*ed, name, &error);
    SetCursor(old);
    if (!ok) {
        ed->doc.Reset();
        EditSystemErrorBox(*ed, FormatFileMessage(kMsgLoadError, name), error);
    }
    ed->selStart = ed->selEnd = ed->anchor = {kNoPosition, kNoPosition};
    ed->caret = {};
    ed->firstLine = ed->firstColumn = 0;
    SetFileName(*ed, name);
    RestartParsing(*ed);
    RepaintAll(*ed);
    if (!ok) {
        SetLastError(error);
        return 2;
    }
    return 1;
}

LRESULT OnSaveFile(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    return SaveTo(*ed, lParam ? TextArg(lParam) : "");
}

LRESULT OnSetScreenFont(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    return lParam && TakeScreenFont(*ed, *reinterpret_cast<const LOGFONTA*>(lParam)) ? 1 : 0;
}

LRESULT OnGotoLine(HWND, WPARAM wParam, LPARAM, EditData* ed)
{
    const int line = static_cast<int>(wParam) - 1;
    if (line < 0 || line >= ed->doc.Text().LineCount())
        return 0;
    ClearSelection(*ed);
    ed->caret = {0, line};
    ScrollIntoView(*ed);
    RepaintAll(*ed);
    return 1;
}

LRESULT OnSetFileName(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const char* name = TextArg(lParam);
    if (!name || !*name)
        return 0;
    SetFileName(*ed, name);
    return 1;
}

LRESULT OnRunCommand(HWND, WPARAM wParam, LPARAM, EditData* ed)
{
    return RunCommand(*ed, static_cast<int>(wParam));
}

LRESULT OnGetText(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const TextStore& text = ed->doc.Text();
    if (!text.HasText())
        return 0;
    return CopyOut(text.CopyRangeText({0, 0}, text.EndPosition()), lParam);
}

LRESULT OnGetTextLength(HWND, WPARAM, LPARAM, EditData* ed)
{
    const TextStore& text = ed->doc.Text();
    if (!text.HasText())
        return 0;
    return static_cast<LRESULT>(text.TotalLength() + 2 * static_cast<int64_t>(text.LineCount() - 1) + 1);
}

// The word under the caret: a delimiter alone, nothing on white space, else the run around it.
std::string WordAtCaret(const EditData& ed)
{
    const std::string_view line = ed.doc.Text().LineText(ed.caret.line);
    const int at = ed.caret.column;
    if (at < 0 || at >= static_cast<int>(line.size()))
        return {};
    auto space = [](char c) { return c == ' ' || c == '\t'; };
    if (IsDelimiter(*ed.config, line[at]))
        return std::string(1, line[at]);
    if (space(line[at]))
        return {};
    int from = at, to = at;
    while (from > 0 && !space(line[from - 1]) && !IsDelimiter(*ed.config, line[from - 1]))
        --from;
    while (to < static_cast<int>(line.size()) && !space(line[to]) && !IsDelimiter(*ed.config, line[to]))
        ++to;
    return std::string(line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

LRESULT OnGetWord(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const std::string word = WordAtCaret(*ed);
    return word.empty() ? 0 : CopyOut(word, lParam);
}

LRESULT OnGetWordLength(HWND, WPARAM, LPARAM, EditData* ed)
{
    const std::string word = WordAtCaret(*ed);
    return word.empty() ? 0 : static_cast<LRESULT>(word.size() + 1);
}

int LineArg(const EditData& ed, WPARAM wParam)
{
    const int line = static_cast<int>(wParam);
    return line == -1 ? ed.caret.line : line;
}

LRESULT OnGetLine(HWND, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    const int line = LineArg(*ed, wParam);
    if (line < 0 || line >= ed->doc.Text().LineCount())
        return 0;
    return CopyOut(std::string(ed->doc.Text().LineText(line)), lParam);
}

LRESULT OnGetLineLength(HWND, WPARAM wParam, LPARAM, EditData* ed)
{
    const int line = LineArg(*ed, wParam);
    if (line < 0 || line >= ed->doc.Text().LineCount())
        return 0;
    return ed->doc.Text().Line(line).length + 1;
}

LRESULT OnAskToSave(HWND, WPARAM, LPARAM, EditData* ed) { return AskToSave(*ed) ? 1 : 0; }

// Clear, then fill. This is the owner's operation: it always fills, also in a window the owner
// made read-only (the source view refills its read-only window on every page), and starts again
// with the attributes of a new text.
LRESULT OnSetText(HWND, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    if (!wParam && !AskToSave(*ed))
        return 0;
    const size_t dot = ed->fileName.rfind('.');
    const std::string name = "Unnamed" + (dot == std::string::npos ? std::string() : ed->fileName.substr(dot));
    ClearText(*ed);
    ed->attributes = kNewTextAttributes;
    ed->fileMode = -1;
    LRESULT result = 1;
    if (const char* text = TextArg(lParam)) {
        result = ed->doc.InsertText({0, 0}, text, nullptr, true) ? 1 : 0;
        ed->doc.MarkSaved();
    }
    SetFileName(*ed, name);
    RestartParsing(*ed);
    RepaintAll(*ed);
    return result;
}

LRESULT OnSetSyntaxColoring(HWND window, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    bool& flag = lParam ? ed->syntaxColoring : ed->config->syntaxColoring;
    const bool on = wParam != 0;
    if (flag != on) {
        flag = on;
        if (on)
            RestartParsing(*ed);
        InvalidateRect(window, nullptr, FALSE);
    }
    return 0;
}

std::string SelectedText(const EditData& ed)
{
    return ed.HasSelection() ? ed.doc.Text().CopyRangeText(ed.selStart, ed.selEnd) : std::string();
}

LRESULT OnGetSelText(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    if (!ed->HasSelection())
        return 0;
    return CopyOut(SelectedText(*ed), lParam);
}

LRESULT OnGetSelTextLength(HWND, WPARAM, LPARAM, EditData* ed)
{
    if (!ed->HasSelection())
        return 0;
    return static_cast<LRESULT>(ed->doc.Text().RangeLength(ed->selStart, ed->selEnd) + 1);
}

LRESULT OnGetFileInfo(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    auto* info = reinterpret_cast<QPFileInfo*>(lParam);
    if (!info || info->size < static_cast<int>(sizeof(QPFileInfo)))
        return 0;
    info->fileName = ed->fileName.c_str();
    info->configName = ed->config->name.c_str();
    info->smallIcon = ed->smallIcon;
    info->largeIcon = ed->largeIcon;
    return 1;
}

LRESULT OnSetReadOnly(HWND window, WPARAM wParam, LPARAM, EditData* ed)
{
    const bool readOnly = (wParam & 1) != 0;
    if (readOnly != ed->ReadOnly()) {
        ed->attributes ^= FILE_ATTRIBUTE_READONLY;
        InvalidateRect(window, nullptr, FALSE);
        EditNotifyParent(*ed);
    }
    return 0;
}

bool HasSystemValue(int index)
{
    return (index >= kTextRGB && index <= kMarginRGB) || (index >= kNumberRGB && index <= kSelectedBackgroundRGB) ||
           index == kBkgndLineNumberRGB || index == kBracketMatchRGB || index == kLineHighlightRGB;
}

LRESULT OnSetColor(HWND window, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    if (wParam >= kColourCount)
        return -1;
    const int index = static_cast<int>(wParam);
    ParserConfig& cfg = *ed->config;
    const Colour old = cfg.colours[index];
    const Colour colour = static_cast<Colour>(lParam);
    {
        ConfigLock lock;
        if (colour == kNoColour && HasSystemValue(index)) {
            cfg.systemMask |= 1u << index;
            cfg.colours[index] = SystemValueOf(cfg, index, Environment());
        } else {
            cfg.systemMask &= ~(1u << index);
            cfg.colours[index] = colour;
        }
    }
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    return static_cast<LRESULT>(old);
}

LRESULT OnGetColor(HWND, WPARAM wParam, LPARAM, EditData* ed)
{
    return wParam >= kColourCount ? -1 : static_cast<LRESULT>(ed->config->colours[wParam]);
}

// Inserts a line before the given one, or after the last; through the undo history like every
// other change of the text.
LRESULT OnInsertLine(HWND, WPARAM wParam, LPARAM lParam, EditData* ed)
{
    const char* text = TextArg(lParam);
    if (ed->ReadOnly() && text)
        return 0;
    const std::string line = text ? text : "";
    TextStore& store = ed->doc.Text();
    const int index = static_cast<int>(wParam);
    bool ok = false;
    int first = 0;
    if (index >= 0 && index < store.LineCount()) {
        first = index;
        ok = ed->doc.InsertText({0, index}, line + "\r\n", nullptr, true);
    } else {
        const TextPos end = store.EndPosition();
        first = end.line;
        ok = ed->doc.InsertText(end, "\r\n" + line, nullptr, true);
    }
    Refresh(*ed, first, store.LineCount() - 1, true);
    return ok ? 1 : 0;
}

LRESULT OnAddParserConfig(HWND, WPARAM wParam, LPARAM lParam, EditData*)
{
    if (wParam)
        return AddParserConfigFromMemory(reinterpret_cast<HGLOBAL>(lParam));
    return lParam && AddParserConfigFile(TextArg(lParam), true) ? 1 : 0;
}

LRESULT OnSetUnicode(HWND, WPARAM wParam, LPARAM, EditData* ed)
{
    const bool old = ed->unicode;
    ed->unicode = wParam != 0;
    return old ? 1 : 0;
}

LRESULT OnGetUnicode(HWND, WPARAM, LPARAM, EditData* ed) { return ed->unicode ? 1 : 0; }

LRESULT OnReplaceSel(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const char* text = TextArg(lParam);
    if (!text || !*text || !ed->HasSelection() || ed->ReadOnly())
        return 0;
    return InsertAtCaret(*ed, text);
}

LRESULT OnSetCaret(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const auto* pos = reinterpret_cast<const QPPosition*>(lParam);
    if (!pos || !ed->doc.Text().IsValid({pos->column, pos->line}))
        return 0;
    ClearSelection(*ed);
    ed->caret = {pos->column, pos->line};
    ScrollIntoView(*ed);
    RepaintAll(*ed);
    return 1;
}

LRESULT OnSetSelection(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    const auto* range = reinterpret_cast<const QPRange*>(lParam);
    if (!range)
        return 0;
    const TextPos s{range->startColumn, range->startLine}, e{range->endColumn, range->endLine};
    const TextStore& text = ed->doc.Text();
    if (!text.IsValid(s) || !text.IsValid(e))
        return 0;
    ed->selStart = e < s ? e : s;
    ed->selEnd = e < s ? s : e;
    ed->anchor = ed->selStart;
    if (ed->selStart == ed->selEnd)
        ed->selStart = ed->selEnd = ed->anchor = {kNoPosition, kNoPosition};
    ed->caret = e;
    ScrollIntoView(*ed);
    RepaintAll(*ed);
    return 1;
}

LRESULT OnGetSelection(HWND, WPARAM, LPARAM lParam, EditData* ed)
{
    int* out = reinterpret_cast<int*>(lParam);
    if (!out)
        return 0;
    const bool has = ed->HasSelection();
    const int add = has ? 1 : 0;
    out[0] = ed->selStart.column + add;
    out[1] = ed->selStart.line + add;
    out[2] = ed->selEnd.column + add;
    out[3] = ed->selEnd.line + add;
    return has ? 1 : 0;
}

LRESULT OnInsertText(HWND, WPARAM, LPARAM lParam, EditData* ed) { return InsertAtCaret(*ed, TextArg(lParam)); }

template <bool (*query)(const EditData&)>
LRESULT Query(HWND, WPARAM, LPARAM, EditData* ed)
{
    return query(*ed) ? 1 : 0;
}

bool CanUndo(const EditData& ed) { return !ed.ReadOnly() && ed.doc.CanUndo(); }
bool CanRedo(const EditData& ed) { return !ed.ReadOnly() && ed.doc.CanRedo(); }
bool CanCut(const EditData& ed) { return !ed.ReadOnly() && ed.HasSelection(); }
bool HasSelection(const EditData& ed) { return ed.HasSelection(); }
bool CanPaste(const EditData& ed) { return !ed.ReadOnly() && IsClipboardFormatAvailable(CF_TEXT); }
bool Modified(const EditData& ed) { return ed.doc.Modified(); }
bool Overwrite(const EditData& ed) { return ed.overwrite; }
bool ReadOnly(const EditData& ed) { return ed.ReadOnly(); }
bool HasText(const EditData& ed) { return ed.doc.Text().HasText(); }

LRESULT OnGetLineCount(HWND, WPARAM, LPARAM, EditData* ed) { return ed->doc.Text().LineCount(); }

// The message table: first match wins; messages not listed go to the default window procedure.
const MessageRow kMessageTable[] = {
    {WM_CREATE, OnCreate},
    {WM_DESTROY, OnDestroy},
    {WM_PAINT, OnPaint},
    {WM_PRINTCLIENT, OnPrintClient},
    {WM_ERASEBKGND, OnEraseBackground},
    {WM_SIZE, OnSize},
    {WM_SETFONT, OnSetFont},
    {WM_GETDLGCODE, OnGetDlgCode},
    {WM_TIMER, OnTimer},
    {WM_SYSCOLORCHANGE, OnSysColorChange},
    {WM_SETFOCUS, OnSetFocus},
    {WM_KILLFOCUS, OnKillFocus},
    {QPM_GETEXTENSIONS, OnGetExtensions},
    {QPM_TAKESHAREDLIMITS, OnTakeSharedLimits},
    {QPM_RECHOOSECONFIG, OnRechooseConfig},
    {QPM_USEBUILTINDEFAULT, OnUseBuiltinDefault},
    {QPM_LOADFILE, OnLoadFile},
    {QPM_SAVEFILE, OnSaveFile},
    {QPM_SETSCREENFONT, OnSetScreenFont},
    {QPM_GOTOLINE, OnGotoLine},
    {QPM_SETFILENAME, OnSetFileName},
    {QPM_RUNCOMMAND, OnRunCommand},
    {QPM_GETTEXT, OnGetText},
    {QPM_GETTEXTLENGTH, OnGetTextLength},
    {QPM_GETWORD, OnGetWord},
    {QPM_GETWORDLENGTH, OnGetWordLength},
    {QPM_GETLINE, OnGetLine},
    {QPM_GETLINELENGTH, OnGetLineLength},
    {QPM_ASKTOSAVE, OnAskToSave},
    {QPM_SETTEXT, OnSetText},
    {QPM_SETSYNTAXCOLORING, OnSetSyntaxColoring},
    {QPM_GETSELTEXT, OnGetSelText},
    {QPM_GETSELTEXTLENGTH, OnGetSelTextLength},
    {QPM_GETFILEINFO, OnGetFileInfo},
    {QPM_SETREADONLY, OnSetReadOnly},
    {QPM_SETCOLOR, OnSetColor},
    {QPM_GETCOLOR, OnGetColor},
    {QPM_INSERTLINE, OnInsertLine},
    {QPM_ADDPARSERCONFIG, OnAddParserConfig},
    {QPM_SETUNICODE, OnSetUnicode},
    {QPM_GETUNICODE, OnGetUnicode},
    {QPM_REPLACESEL, OnReplaceSel},
    {QPM_SETCARET, OnSetCaret},
    {QPM_SETSELECTION, OnSetSelection},
    {QPM_GETSELECTION, OnGetSelection},
    {QPM_INSERTTEXT, OnInsertText},
    {QPM_CANUNDO, Query<CanUndo>},
    {QPM_CANREDO, Query<CanRedo>},
    {QPM_CANCUT, Query<CanCut>},
    {QPM_HASSELECTION, Query<HasSelection>},
    {QPM_CANPASTE, Query<CanPaste>},
    {QPM_CANDELETE, Query<CanCut>},
    {QPM_ISMODIFIED, Query<Modified>},
    {QPM_ISOVERWRITE, Query<Overwrite>},
    {QPM_ISREADONLY, Query<ReadOnly>},
    {QPM_GETLINECOUNT, OnGetLineCount},
    {QPM_HASTEXT, Query<HasText>},
};

// The control uses nothing of its host: what a message's handler threw goes to the debugger output.
void ReportWindowProcException(UINT message, const char* what)
{
    char text[256];
    std::snprintf(text, sizeof(text), "Edit control: message 0x%04X failed: %s\n", message, what ? what : "");
    OutputDebugStringA(text);
}

LRESULT CALLBACK EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditData* ed = GetEditData(window);
    if (!ed && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    for (const MessageRow& row : kMessageTable) {
        if (row.message == message) {
            try {
                return row.handler(window, wParam, lParam, ed);
            } catch (const std::exception& error) {
                ReportWindowProcException(message, error.what());
                return message == WM_CREATE ? -1 : 0;  // out of memory: the message fails, the process goes on
            } catch (...) {
                ReportWindowProcException(message, "unknown exception");
                return message == WM_CREATE ? -1 : 0;
            }
        }
    }
    LRESULT result = 0;
    if (ed && DispatchInputMessage(*ed, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

EditData* GetEditData(HWND window) { return reinterpret_cast<EditData*>(GetWindowLongPtrA(window, 0)); }

void EditNotifyParent(EditData& ed)
{
    EditNotifyState n{};
    n.hasText = HasText(ed);
    n.canUndo = CanUndo(ed);
    n.canRedo = CanRedo(ed);
    n.canCut = CanCut(ed);
    n.hasSelection = ed.HasSelection();
    n.canPaste = CanPaste(ed);
    n.canDelete = n.canCut;
    n.modified = ed.doc.Modified();
    n.overwrite = ed.overwrite;
    n.readOnly = ed.ReadOnly();
    n.bookmarks = ed.bookmarkCount;
    n.fileMode = ed.FileModeNow();
    constexpr size_t from = offsetof(EditNotifyState, hasText);
    if (ed.stateSent && std::memcmp(reinterpret_cast<const char*>(&n) + from,
                                    reinterpret_cast<const char*>(&ed.lastState) + from, sizeof(n) - from) == 0)
        return;
    ed.lastState = n;
    ed.stateSent = true;
    SendNotify(ed, n.hdr, QPN_STATECHANGED);
}

void ReportCaretPosition(EditData& ed)
{
    const QPPosition now{ed.doc.Text().DisplayColumn(ed.caret.line, ed.caret.column) + 1, ed.caret.line + 1};
    if (now.column == ed.lastCaretSent.column && now.line == ed.lastCaretSent.line)
        return;
    ed.lastCaretSent = now;
    EditNotifyCaret n{};
    n.column = now.column;
    n.line = now.line;
    SendNotify(ed, n.hdr, QPN_CARETMOVED);
}

void SetFileName(EditData& ed, const std::string& name)
{
    ed.fileName = name.substr(0, MAX_PATH - 1);
    SetWindowTextA(ed.window, ed.fileName.c_str());
    ParserConfig* chosen = nullptr;
    {
        ConfigLock lock;
        chosen = ChooseParserConfig(ParserList(), ed.fileName, nullptr);
    }
    if (chosen)
        ApplyConfig(ed, chosen);
    TakeIcons(ed);
    NotifyFileName(ed);
}

LRESULT RunCommand(EditData& ed, int number)
{
    switch (number) {
    case kEditUndo: return EditUndo(ed);
    case kEditRedo: return EditRedo(ed);
    case kEditUndoAll: return EditUndoAll(ed);
    case kEditRedoAll: return EditRedoAll(ed);
    case kMiscClearUndoBuffers: return MiscClearUndoBuffers(ed);
    case kMarkAll: {
        const QPRange all{0, 0, ed.doc.Text().EndPosition().column, ed.doc.Text().EndPosition().line};
        return OnSetSelection(ed.window, 0, reinterpret_cast<LPARAM>(&all), &ed);
    }
    case kMarkClear:
        ClearSelection(ed);
        EditNotifyParent(ed);
        return 1;
    case kFileSave: return SaveTo(ed, ed.fileName) == 1 ? 1 : 0;
    case kFileClear: return OnSetText(ed.window, 0, 0, &ed);
    case kDialogAbout:
        EditMessageBox(ed, FormatFileMessage(kMsgAbout, __DATE__), MB_OK | MB_ICONINFORMATION);
        return 1;
    default:
        return RunEditingHalfCommand(ed, number);
    }
}

} // namespace quill::win

using namespace quill::win;

BOOL WINAPI QuillpointDllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == 0) {
        if (!g_started)
            return TRUE;
        StopSharedSettings();
        FreePrintSettings();
        OleUninitialize();
        UnregisterClassA(QUILLPOINT_CLASS, instance);
        UnregisterClassA(QUILLPOINT_IPC_CLASS, instance);
        g_started = false;
        return TRUE;
    }
    if (reason != 1 || g_started)
        return reason == 1 ? TRUE : FALSE;
    InitCommonControls();
    WNDCLASSA ipc{};
    ipc.lpfnWndProc = NotifyWindowProc;
    ipc.hInstance = instance;
    ipc.lpszClassName = QUILLPOINT_IPC_CLASS;
    if (!RegisterClassA(&ipc))
        return FALSE;
    g_reloadMessage = RegisterWindowMessageA(QUILLPOINT_RELOAD_MESSAGE);
    if (g_reloadMessage < 0xC000 || g_reloadMessage > 0xFFFF || !StartSharedSettings(instance, g_reloadMessage)) {
        UnregisterClassA(QUILLPOINT_IPC_CLASS, instance);
        return FALSE;
    }
    WNDCLASSA edit{};
    edit.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    edit.lpfnWndProc = EditWindowProc;
    edit.cbWndExtra = sizeof(LONG_PTR);  // the EditData pointer
    edit.hInstance = instance;
    edit.lpszClassName = QUILLPOINT_CLASS;
    if (!RegisterClassA(&edit)) {
        StopSharedSettings();
        UnregisterClassA(QUILLPOINT_IPC_CLASS, instance);
        return FALSE;
    }
    // The program has OLE running already; S_FALSE says so and counts as success.
    if (FAILED(OleInitialize(nullptr))) {
        StopSharedSettings();
        UnregisterClassA(QUILLPOINT_CLASS, instance);
        UnregisterClassA(QUILLPOINT_IPC_CLASS, instance);
        return FALSE;
    }
    g_started = true;
    return TRUE;
}

BOOL WINAPI AddParserConfigFromMemory(HGLOBAL block)
{
    if (!block || !g_started)
        return FALSE;
    const SIZE_T size = GlobalSize(block);
    const char* data = size ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (!data)
        return FALSE;
    // A resource copied into a zero-initialised block may carry zeros at its end.
    SIZE_T length = size;
    while (length > 0 && data[length - 1] == 0)
        --length;
    const std::string text(data, length);
    GlobalUnlock(block);
    return AddParserConfigText(text, "MemoryHandle", true) ? TRUE : FALSE;
}

HWND WINAPI QuillpointGetFindDialog(HWND edit)
{
    EditData* ed = edit ? GetEditData(edit) : nullptr;
    return ed ? ed->findDialog : nullptr;
}
