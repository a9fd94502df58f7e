#pragma once
// The per-window record of an edit window and the control's process-wide state. Internal to the
// control: the program includes only editctl/Quillpoint.h.
//
// Lifetime: an EditData is made at WM_CREATE and freed at WM_DESTROY; the window's extra bytes
// hold the pointer (one LONG_PTR, so that it fits on 64-bit Windows as well).
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editctl/Quillpoint.h"
#include "editctl/model/EditDocument.h"
#include "editctl/model/ParserConfig.h"
#include "editctl/model/SyntaxParser.h"
#include "editctl/win/EditSystem.h"
#include "editctl/win/GdiHolders.h"
#include "editctl/win/InputState.h"

namespace quill::win {

constexpr UINT_PTR kParseTimer = 901;
constexpr UINT kParseTimerPeriod = 100;
constexpr int kParseSlice = 2000;
// Scroll bars set by an edit or a caret move are drawn once the window has been idle this long
// (UpdateScrollBarsSoon).
constexpr UINT_PTR kScrollBarTimer = 902;
constexpr UINT kScrollBarDelay = 30;
constexpr int kNoPosition = -1;
constexpr DWORD kNewTextAttributes = FILE_ATTRIBUTE_ARCHIVE;  // 32: the attributes of a new text

// What a scroll bar of the window was last set to (UpdateScrollBars).
struct ScrollBarState {
    bool set = false;
    bool drawn = true;  // false: set without drawing it, the scroll bar timer draws it
    int max = 0, page = 0, pos = 0;
};

// What a row of the off-screen picture shows: the line (its number), its text and runs from the
// first visible column on, the bookmark, the line highlight and the selection on it.
struct RowPicture {
    struct Run {
        Colour colour = 0, background = 0;
        int end = 0;
        uint16_t hyperlink = 0;
        bool operator==(const Run&) const = default;
    };
    bool valid = false;
    int line = -1;  // -1: a row below the text
    bool bookmark = false, highlighted = false, selected = false, selActive = false;
    int selFrom = 0, selTo = 0, selExtra = 0;
    std::string text;
    std::vector<Run> runs;
    bool operator==(const RowPicture& other) const
    {
        return line == other.line && bookmark == other.bookmark && highlighted == other.highlighted &&
               selected == other.selected && selActive == other.selActive && selFrom == other.selFrom &&
               selTo == other.selTo && selExtra == other.selExtra && text == other.text && runs == other.runs;
    }
};

// What every row of the off-screen picture shares: when any of it changes, all rows are drawn.
struct PictureKey {
    const ParserConfig* config = nullptr;
    std::array<Colour, kColourCount> colours{};
    FontHandle screenFont = nullptr, hyperlinkFont = nullptr;
    int charWidth = 0, lineHeight = 0, margin = 0, numbers = 0, firstColumn = 0, visibleColumns = 0;
    int columnMarker = 0;  // the marker's column, 0: none
    bool solidMargin = false, showLineNumbers = false, readOnly = false;
    RECT client{};
    COLORREF buttonFace = 0, grayText = 0;
    HBITMAP bitmap = nullptr;
    unsigned fontsMeasured = 0;
    bool operator==(const PictureKey& o) const
    {
        return fontsMeasured == o.fontsMeasured && columnMarker == o.columnMarker && config == o.config &&
               colours == o.colours && screenFont == o.screenFont && hyperlinkFont == o.hyperlinkFont &&
               charWidth == o.charWidth && lineHeight == o.lineHeight &&
               margin == o.margin && numbers == o.numbers && firstColumn == o.firstColumn &&
               visibleColumns == o.visibleColumns && solidMargin == o.solidMargin &&
               showLineNumbers == o.showLineNumbers && readOnly == o.readOnly && EqualRect(&client, &o.client) &&
               buttonFace == o.buttonFace && grayText == o.grayText && bitmap == o.bitmap;
    }
};

struct EditData {
    HWND window = nullptr;
    HCURSOR ibeamCursor = nullptr, arrowCursor = nullptr, waitCursor = nullptr;
    HCURSOR marginCursor = nullptr, linkCursor = nullptr;  // our own; destroyed with the window
    TGdiObject<HBITMAP> marginPattern, lineNumberPattern;

    std::string fileName;
    DWORD attributes = kNewTextAttributes;  // bit 0: read-only
    FILETIME lastWrite{};
    HICON smallIcon = nullptr, largeIcon = nullptr;
    std::string iconExtension;  // the extension (lower case) the icons were taken for

    EditDocument doc;
    int frontier = 0;                 // first line whose end state is unknown; -1: all known
    int stableFrom = 0x7FFFFFFF;      // lines from here on kept their text since they were parsed
    int undoLimit = 1000;

    TGdiObject<HBRUSH> backgroundBrush, readOnlyBrush, marginPatternBrush;
    TGdiObject<HBRUSH> marginBrush, bookmarkBrush, selectionBrush;
    TGdiObject<HBRUSH> lineNumberPatternBrush, lineNumberBrush, lineHighlightBrush;
    TGdiObject<HPEN> darkMarginPen, marginPen;
    // The off-screen bitmap, selected into its memory DC while both exist. In this order, so that
    // the selection is undone first, then the bitmap and the DC deleted (DropOffscreen).
    CCreatedDc memoryDc;
    TGdiObject<HBITMAP> memoryBitmap;
    CSelection memoryBitmapSelection;

    TextPos caret;
    int firstColumn = 0, firstLine = 0, visibleColumns = 0, visibleLines = 0;
    TextPos selStart{kNoPosition, kNoPosition}, selEnd{kNoPosition, kNoPosition};
    TextPos anchor{kNoPosition, kNoPosition};
    TextPos bracket[2] = {{kNoPosition, kNoPosition}, {kNoPosition, kNoPosition}};

    UINT_PTR parseTimer = 0;
    ScrollBarState scrollBars[2];  // vertical, horizontal
    HWND findDialog = nullptr, replaceDialog = nullptr, gotoDialog = nullptr;
    int historyLimit = 20;
    HWND tooltip = nullptr;
    int desiredColumn = 0;
    int bookmarkCount = 0;
    int lastLineCount = 1;  // the line count at the last repaint decision

    ParserConfig* config = nullptr;  // shared; owned by the configuration list
    std::vector<ColorSpan> spans;    // the painter's buffers, kept between paints
    std::string display;
    std::vector<INT> advances;       // one character width for each character a call draws
    PictureKey pictureKey;           // what the kept rows of the off-screen picture share
    std::vector<RowPicture> rowPictures;  // by screen row

    QPPosition lastCaretSent{-1, -1};
    EditNotifyState lastState{};
    bool stateSent = false;

    bool focused = false, overwrite = false, statesChanged = false, batch = false;
    // The update region is a few bands, each worth painting on its own: after a sideways move it
    // is the columns that came into view and the changed row, and its bounding box the whole area.
    bool bandedUpdate = false;
    bool syntaxColoring = true, unicode = false, stopMacro = false;
    int fileMode = -1;  // this window's line breaks (set by loading); -1: the configuration's

    InputState input;  // keyboard, mouse and caret state (EditCommands.h)

    bool ReadOnly() const { return (attributes & FILE_ATTRIBUTE_READONLY) != 0; }
    bool HasSelection() const { return selStart.line >= 0 && !(selStart == selEnd); }
    int FileModeNow() const { return fileMode >= 0 ? fileMode : (config ? config->fileMode : 0); }
    bool ColouringOn() const { return syntaxColoring && config && config->syntaxColoring; }
};

EditData* GetEditData(HWND window);

// ---- process-wide state (SharedSettings.cpp) --------------------------------------------------
// The configuration lock guards the configuration list and every walk over it; it is recursive,
// as a reload re-chooses the windows' configurations while it holds the lock.
void LockConfigurations();
void UnlockConfigurations();
class ConfigLock {
public:
    ConfigLock();
    ~ConfigLock();
    ConfigLock(const ConfigLock&) = delete;
    ConfigLock& operator=(const ConfigLock&) = delete;
};

HINSTANCE ControlInstance();
ConfigEnvironment& Environment();
// The configuration list in list order; walk it under a ConfigLock.
const std::vector<ParserConfig*>& ParserList();
ParserConfig* BuiltinDefault();
bool StartSharedSettings(HINSTANCE instance, UINT reloadMessage);
void StopSharedSettings();
bool RegisterEditWindow(HWND window);
void UnregisterEditWindow(HWND window);
std::vector<HWND> EditWindows();
// Loads a configuration text and appends it to the list: true when it loaded.
bool AddParserConfigText(const std::string& text, const std::string& source, bool builtIn);
bool AddParserConfigFile(const std::string& path, bool builtIn);
// Loads every "*.qpp" of a folder into list; a file that fails is reported and skipped.
void ScanParserFiles(const std::string& folder, std::vector<std::unique_ptr<ParserConfig>>& list);
void ReloadParserConfigs();
UINT ReloadMessage();
// The window procedure of the hidden "QPCIPCClass" notification window.
LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- message boxes (MessageBoxes.cpp) ---------------------------------------------------------
std::string LoadMessageText(int id);
// The control's own boxes: the file name as title; system errors get the system's text appended
// and show nothing when the system has none.
int EditMessageBox(EditData& ed, const std::string& text, UINT flags);
int EditSystemErrorBox(EditData& ed, const std::string& text, DWORD error);

// ---- painting (Painter.cpp) -------------------------------------------------------------------
void MeasureFont(EditData& ed, HDC dc);
int MarginWidth(const EditData& ed);
int LineNumberWidth(const EditData& ed);
void RecomputeVisibleSize(EditData& ed);
void PaintClient(EditData& ed, HDC dc, const RECT& update);
void RepaintLine(EditData& ed, int line);
void RepaintLines(EditData& ed, int first, int last);
void ScrollLines(EditData& ed, int n);
void ScrollColumns(EditData& ed, int n);
void UpdateScrollBars(EditData& ed);
// The same for the views that an edit or a caret move changed: the values are set at once (what
// GetScrollInfo answers), the bars drawn when the window has been idle for kScrollBarDelay, so
// that a key's text is on the screen before them and a run of keys draws them once.
void UpdateScrollBarsSoon(EditData& ed);
// The scroll bar timer: draws the bars that were set without being drawn.
void DrawPendingScrollBars(EditData& ed);
bool RebuildBrushes(EditData& ed);
void DeleteBrushes(EditData& ed);
void DropOffscreen(EditData& ed);

// ---- text and files (EditText.cpp) ------------------------------------------------------------
void AfterTextChange(EditData& ed, int firstLine, int lastLine);
void RestartParsing(EditData& ed);
void ArmParseTimer(EditData& ed);
void ClearText(EditData& ed);
bool LoadTextFile(EditData& ed, const std::string& path, DWORD* error);
bool SaveTextFile(EditData& ed, const std::string& path, DWORD* error);
int MakeBackupFile(EditData& ed);

// ---- window (EditWindow.cpp) ------------------------------------------------------------------
void EditNotifyParent(EditData& ed);
void ReportCaretPosition(EditData& ed);
void SetFileName(EditData& ed, const std::string& name);
// Runs a command of the command table; 0 for numbers this control does not run.
LRESULT RunCommand(EditData& ed, int number);

} // namespace quill::win
