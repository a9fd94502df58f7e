#pragma once
// Small functions and classes that windows all over the program share: bringing a window to the
// front, closing MDI children, the program's message box, bold fonts, cutting a text to a length
// with an ellipsis, painting the parent's background under a child, the taskbar edge, the
// keyboard filter of embedded edit boxes, a combo box whose entries live in the registry, and the
// page host that shows one of several child dialogs. UI thread only.
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <string>
#include <vector>

// ---- Windows and focus ------------------------------------------------------------------------

void BringWindowToFront(HWND window);
void ForceForegroundWindow(HWND window);
// False when either is null; true when equal or their top-level ancestors are.
bool HaveSameTopLevelParent(HWND a, HWND b);
// WM_CLOSE to every direct, unowned child of the MDI client, the active one last; nothing
// without an active child.
void CloseMdiChildren(HWND mdiClient);
// The same for every child but `keep`.
void CloseOtherMdiChildren(HWND mdiClient, HWND keep);
// Shell completion (file system, URL history and MRU, Tab) for an edit; false without the shell's
// SHAutoComplete or when it fails.
bool EnableShellAutoComplete(HWND edit);

// The program's message box: the caption is the program's title, the owner the main frame when
// it exists, else the last active pop-up of the active window. `format` is printf's: pass text
// from pages, files or users only as an argument of "%s", never as the format.
int ShowMessageBox(UINT type, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The owner the message box picks.
HWND GetMessageBoxOwner();

// ---- Drawing ----------------------------------------------------------------------------------

// Selects a pen and a brush into a DC for a scope; puts back the old brush, then the old pen.
class CPenBrushSelector {
public:
    CPenBrushSelector(HDC dc, HPEN pen, HBRUSH brush);
    ~CPenBrushSelector();
    CPenBrushSelector(const CPenBrushSelector&) = delete;
    CPenBrushSelector& operator=(const CPenBrushSelector&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_oldPen;
    HGDIOBJ m_oldBrush;
};

// A weight-700 copy of the font (DEFAULT_GUI_FONT for null); null when the font cannot be read.
// The caller owns the result.
HFONT CreateBoldFont(HFONT font);

// The text cut to at most `maximum` bytes: unchanged when it fits; else its first maximum - 3
// bytes (one fewer rather than half a double-byte character) and "..."; a maximum of 3 or less
// gives that many dots. `isLeadByte` tells the lead bytes of the text's code page.
std::string TruncateWithEllipsis(const std::string& text, size_t maximum);
std::string TruncateWithEllipsis(const std::string& text, size_t maximum, bool (*isLeadByte)(unsigned char));

// Paints the parent's background (WM_ERASEBKGND) into the child's DC, in the child's coordinates.
void PaintParentBackground(HWND child, HDC dc);

// ---- Other ------------------------------------------------------------------------------------

enum ETaskbarEdge { kTaskbarTop = 1, kTaskbarLeft = 2, kTaskbarRight = 3, kTaskbarBottom = 4 };
// Which edge of the screen the work area leaves free (the taskbar's), from a work area and a
// screen size; GetTaskbarEdge reads both from the system.
int TaskbarEdgeOf(const RECT& workArea, int screenWidth, int screenHeight);
int GetTaskbarEdge();

// The key filter applied before the frame's accelerators: 2 when an edit box embedded in a bar
// takes the key (Shift or Ctrl with an arrow, Home or End; Enter; plain keys 1 to VK_HELP), else 0.
// `shift`, `ctrl`, `alt` are the modifier states.
int FilterEmbeddedEditKey(UINT message, WPARAM key, bool shift, bool ctrl, bool alt);

// ---- Combo box with a registry history ---------------------------------------------------------

class CHistoryComboBox {
public:
    // imageIndex -2 marks a plain combo box, anything else a ComboBoxEx whose items show that image.
    CHistoryComboBox(HKEY root, const char* keyPath, const char* prefix, int maxEntries, int imageIndex = -2);
    CHistoryComboBox(const CHistoryComboBox&) = delete;
    CHistoryComboBox& operator=(const CHistoryComboBox&) = delete;

    void Attach(HWND comboBox) { m_combo = comboBox; }
    HWND GetWindow() const { return m_combo; }

    void AddItem(const char* text, int index);
    void LoadHistory();
    // Writes the list in order; stored entries past the list's end are removed afterwards, so that
    // a failure midway never leaves less than was there.
    bool SaveHistory();
    void ClearHistory();
    void AddToHistory(const char* text, bool save);
    int GetCount() const;
    std::string GetItemText(int index) const;

private:
    bool IsEx() const { return m_imageIndex != -2; }
    HWND Combo() const;

    HWND m_combo = nullptr;
    HKEY m_root;
    std::string m_keyPath;
    std::string m_prefix;
    int m_maxEntries;
    int m_imageIndex;
};

// ---- Page host ---------------------------------------------------------------------------------

// Notification codes the page host sends its parent.
inline constexpr int kPageHostAttached = -560;
inline constexpr int kPageHostPageAdded = -561;

// CPageHostWnd: a subclassed window (a static placeholder of a dialog) that holds child dialogs
// and shows one at a time. Lifetime: a member of the dialog that owns the placeholder (rule (a));
// the pages are the caller's.
class CPageHostWnd : public CWindowImpl<CPageHostWnd> {
public:
    CPageHostWnd() = default;
    BOOL SubclassWindow(HWND window);
    int AddPage(HWND page);
    bool SetActivePage(int index);
    int GetActivePage() const { return m_active; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    HWND GetPage(int index) const;

    BEGIN_MSG_MAP(CPageHostWnd)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

private:
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT Notify(int code);

    std::vector<HWND> m_pages;  // not owned
    int m_active = -1;
};
