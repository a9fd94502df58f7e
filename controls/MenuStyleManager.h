#pragma once
// CMenuStyleManager: the process-wide menu look that menus, the command bar, toolbar custom draw,
// caption buttons and the colour picker share: the menu and caption fonts, the flat-menu and
// keyboard-cue flags, the screen colour depth and thirteen blended colours. A hidden watcher
// dialog receives WM_SETTINGCHANGE, recomputes everything and passes the message on to the
// windows that asked for it. The colour arithmetic is a pure function (ComputeMenuColors).
//
// Lifetime: created on first use by GetMenuStyleManager (UI thread) and destroyed at exit; the
// watcher dialog belongs to it and is destroyed with it.
#include "platform/AtlGdi.h"

#include <windows.h>

#include <vector>

// The indexes of the blended colours.
enum EMenuColor : int {
    kMenuColorBorder = 0,          // menu-window border
    kMenuColorBackground = 1,      // text area of the items
    kMenuColorIconColumn = 2,      // icon column, separators, the menu window's side strip
    kMenuColorSelectionEdge = 3,   // selection and check-box border
    kMenuColorSelection = 4,       // selection fill, check-box fill
    kMenuColorCheckSelected = 5,   // check-box fill of a selected item
    kMenuColorSelectionDark = 6,
    kMenuColorDisabledText = 7,
    kMenuColorText = 8,
    kMenuColorSelectedText = 9,
    kMenuColorButtonText = 10,
    kMenuColorMenuText = 11,
    kMenuColorFaceDark = 12,
    kMenuColorCount = 13,
};

// The system colours the table is made from.
struct CMenuSystemColors {
    COLORREF window = 0;       // COLOR_WINDOW
    COLORREF windowText = 0;   // COLOR_WINDOWTEXT
    COLORREF buttonFace = 0;   // COLOR_BTNFACE
    COLORREF highlight = 0;    // COLOR_HIGHLIGHT
    COLORREF grayText = 0;     // COLOR_GRAYTEXT
    COLORREF menuText = 0;     // COLOR_MENUTEXT
    COLORREF buttonText = 0;   // COLOR_BTNTEXT
};
CMenuSystemColors ReadMenuSystemColors();

// from toward to by percent, per channel with integer division.
COLORREF BlendColor(COLORREF from, COLORREF to, int percent);
// The thirteen colours for a screen of the given depth (bits per pixel); 8 bits or fewer give
// plain system colours.
void ComputeMenuColors(const CMenuSystemColors& system, int colorDepth, COLORREF (&colors)[kMenuColorCount]);

// Every numeric field and the face name equal.
bool IsSameLogFont(const LOGFONTA& a, const LOGFONTA& b);

class CMenuStyleManager {
public:
    CMenuStyleManager();
    ~CMenuStyleManager();
    CMenuStyleManager(const CMenuStyleManager&) = delete;
    CMenuStyleManager& operator=(const CMenuStyleManager&) = delete;

    // Registers a window for WM_SETTINGCHANGE and sends it one at once (wParam 0, lParam 0). The
    // first call creates the watcher dialog. A window already listed is not added again.
    void AddWindow(HWND window);
    void RemoveWindow(HWND window);
    // Recomputes flags, colours and fonts and passes WM_SETTINGCHANGE on to the listed windows
    // that still exist; a hung window holds the forwarder at most kForwardTimeout milliseconds.
    void Refresh(WPARAM wParam, LPARAM lParam);

    COLORREF GetColor(int index) const;
    HFONT GetMenuFont() const { return m_menuFont.m_hGdiObj; }
    HFONT GetCaptionFont() const { return m_captionFont.m_hGdiObj; }
    bool IsFlatMenus() const { return m_flatMenus != 0; }
    bool IsHideCues() const { return m_hideCues != 0; }
    int GetColorDepth() const { return m_colorDepth; }
    HWND GetWatcherWindow() const { return m_windows.empty() ? nullptr : m_windows.front(); }

    static constexpr UINT kForwardTimeout = 1500;

private:
    void RefreshFonts();
    static INT_PTR CALLBACK WatcherProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<HWND> m_windows;  // element 0 is the watcher dialog once it exists
    BYTE m_flatMenus = 0;
    BYTE m_hideCues = 0;
    int m_colorDepth = 0;
    COLORREF m_colors[kMenuColorCount] = {};
    CFont m_captionFont;
    CFont m_menuFont;
    LOGFONTA m_menuLogFont = {};
};

// The singleton; null after the teardown.
CMenuStyleManager* GetMenuStyleManager();
