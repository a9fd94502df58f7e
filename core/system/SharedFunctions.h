#pragma once
// The small one-purpose functions and holders that many parts share: key state, drag-and-drop
// decisions and data-object reading, window and monitor functions, menu separators, icons on
// windows, the shell's autocomplete on an edit, the clipboard, file-dialog filters, scope locks,
// hook holders, the registered clipboard formats and the text of the ad-blocking history.
#include "core/library/RegistryKey.h"
#include "core/library/StdStr.h"
#include "platform/AtlBase.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>
#include <oleidl.h>
#include <shldisp.h>

#include <utility>
#include <vector>

class CBlockedLog;

// ---------------------------------------------------------------------------------------------
// Input and drag and drop.

// The key is held down (Ctrl lets the user bypass the ad filter, the popup blocker and the
// download-control reload).
bool IsKeyDown(int virtualKey);
// Ctrl and Shift: link; Ctrl: copy; otherwise move; always with the scroll bit.
DWORD DropEffectFromKeyState(DWORD keyState);
// The effects when they are exactly copy or exactly link (the scroll bit ignored), else 0.
DWORD FilterDropEffect(DWORD effects);
// The object offers files, text or a URL.
bool IsDataObjectDroppable(IDataObject* data);
// The text of a global-memory text format; "" when the object does not offer it.
TStdStr<char> GetDataObjectText(IDataObject* data, CLIPFORMAT format);
// The CF_HDROP file names in order; false without such data.
bool GetDataObjectFiles(IDataObject* data, std::vector<TStdStr<char>>& files);

// The drag thresholds of the "windows" section of WIN.INI, read once.
struct DragDetectSettings {
    int minDistance = 2;  // "DragMinDist"
    int delay = 200;      // "DragDelay", ms
};
struct DragScrollSettings {
    int inset = 11;       // "DragScrollInset"
    int delay = 50;       // "DragScrollDelay", ms
    int interval = 50;    // "DragScrollInterval", ms
};
const DragDetectSettings& GetDragDetectSettings();
const DragScrollSettings& GetDragScrollSettings();

// Watches the mouse after a button press to tell a drag from a click.
class CDragDetector {
public:
    // True when a drag starts: the mouse leaves the start rectangle (the given one, or the cursor
    // position inflated by twice the minimum drag distance), or, with the time limit, the drag
    // delay passes. A button release or press, or Escape, ends the wait without a drag.
    bool DetectDrag(HWND window, const RECT* start, bool timeLimit);
    // The mouse button that was down when the detection started (MK_LBUTTON, MK_RBUTTON, MK_MBUTTON or 0).
    UINT GetButton() const { return m_button; }

private:
    UINT m_button = 0;
};

// The window found one pixel right of and five pixels below the window's top-left corner belongs
// to another top-level window.
bool IsWindowCovered(HWND window);

// ---------------------------------------------------------------------------------------------
// Windows, menus and icons.

// Moves the window to its own rectangle one pixel narrower and back, which forces a new layout.
void RefreshWindowLayout(HWND window);
// The first descendant of that class: a direct child, else depth first through the children.
HWND FindChildWindowByClass(HWND parent, const char* className);
// The work area of the monitor nearest to the point; the primary screen's without monitor functions.
void GetWorkAreaFromPoint(POINT point, RECT* rect);
// A toolbar button's rectangle by index, or by command id with the flag; false on failure.
bool GetToolbarItemRect(HWND toolbar, int indexOrCommand, bool byCommand, RECT* rect);
bool AppendMenuSeparator(HMENU menu);
bool InsertMenuSeparator(HMENU menu, UINT position);
// The window's big and then small icon become image `index` of the image list.
void SetWindowIcons(HWND window, HIMAGELIST imageList, int index);

// Holder of one icon, destroyed with it or when another is attached.
class CSizedIcon {
public:
    CSizedIcon() = default;
    ~CSizedIcon() { Attach(nullptr); }
    CSizedIcon(const CSizedIcon&) = delete;
    CSizedIcon& operator=(const CSizedIcon&) = delete;
    void Attach(HICON icon);
    HICON Get() const { return m_icon; }

private:
    HICON m_icon = nullptr;
};

// An edit that shows a small icon in its left margin (the Open dialog's address field).
class CIconStatic : public CWindowImpl<CIconStatic, CEdit> {
public:
    BEGIN_MSG_MAP(CIconStatic)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
    END_MSG_MAP()

    // The icon is image `index` of the image list (not owned).
    void SetIcon(HIMAGELIST imageList, int index);
    // Binds the edit and widens its left margin by the small icon width and twice the padding.
    BOOL SubclassWindow(HWND edit);
    int GetIconPadding() const { return m_padding; }

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    void DrawIcon();

    HIMAGELIST m_imageList = nullptr;
    int m_index = -1;
    int m_padding = 2;
};

// The shell's autocomplete object bound to an edit with a source list of the given class
// (autosuggest and Tab: options 17). Destroying it releases both.
class CShellAutoComplete {
public:
    CShellAutoComplete(HWND edit, REFCLSID sourceClass);
    bool IsBound() const { return m_bound; }

private:
    CComPtr<IAutoComplete> m_autoComplete;
    CComPtr<IUnknown> m_source;
    bool m_bound = false;
};

// ---------------------------------------------------------------------------------------------
// Shell, clipboard and text tests.

// The double-zero-terminated filter of a file dialog; each description translated.
TStdStr<char> MakeFileDialogFilter(const std::vector<std::pair<const char*, const char*>>& pairs);
// Puts at most `length` characters of the text on the (opened and emptied) clipboard as CF_TEXT.
bool CopyTextToClipboard(const char* text, size_t length);
// The clipboard's CF_TEXT; "" when absent.
TStdStr<char> GetClipboardText();
bool RemoveFile(const char* path);

// The URL begins, in any letter case, with scheme n: 0 "http://", 1 "ftp://", 2 "https://",
// 3 "file://", 4 "mailto:", 5 "news:".
bool UrlHasScheme(const char* url, int scheme);
// 2 when a key message for a visible edit must go to the edit rather than to the accelerators;
// 0 otherwise. The second form takes the Shift and Ctrl state instead of reading the keyboard.
int IsEditNavigationKey(HWND window, const MSG& message);
int IsEditNavigationKeyState(const MSG& message, bool shift, bool ctrl);

// ---------------------------------------------------------------------------------------------
// Locks, hooks and holders.

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~CCriticalSectionLock() { ::LeaveCriticalSection(&m_section); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

class CWindowsHookHolder {
public:
    CWindowsHookHolder() = default;
    ~CWindowsHookHolder() { Unhook(); }
    CWindowsHookHolder(const CWindowsHookHolder&) = delete;
    CWindowsHookHolder& operator=(const CWindowsHookHolder&) = delete;
    bool Set(int type, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
    void Unhook();
    HHOOK Get() const { return m_hook; }

private:
    HHOOK m_hook = nullptr;
};

// A registry key with two strings that go with it.
struct CKeyedRegValue {
    CRegistryKey key;
    TStdStr<char> first;
    TStdStr<char> second;
};

// Loads (saving false) or saves one bit of a flags word through a check box of a dialog.
void DdxCheckFlag(HWND dialog, int controlId, DWORD& flags, DWORD mask, bool saving);
inline bool IsZeroOrOne(int value) { return value == 0 || value == 1; }

// The registered clipboard formats "HTML Format", "UniformResourceLocator" and
// "FileGroupDescriptor", registered once in that order.
struct ClipboardFormats {
    CLIPFORMAT html;
    CLIPFORMAT url;
    CLIPFORMAT fileGroupDescriptor;
};
const ClipboardFormats& GetClipboardFormats();

// The title "Ad Blocked History" (translated), an empty line, one line per entry of the time,
// the rule and the URL, tab-separated, and a final line break.
TStdStr<char> FormatAdBlockedHistoryText(const CBlockedLog& log);
