#include "controls/MenuStyleManager.h"

#include "core/library/LifetimeTracker.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cstring>

CMenuSystemColors ReadMenuSystemColors()
{
    CMenuSystemColors colors;
    colors.window = ::GetSysColor(COLOR_WINDOW);
    colors.windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    colors.buttonFace = ::GetSysColor(COLOR_BTNFACE);
    colors.highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    colors.grayText = ::GetSysColor(COLOR_GRAYTEXT);
    colors.menuText = ::GetSysColor(COLOR_MENUTEXT);
    colors.buttonText = ::GetSysColor(COLOR_BTNTEXT);
    return colors;
}

COLORREF BlendColor(COLORREF from, COLORREF to, int percent)
{
    const auto channel = [percent](int a, int b) { return static_cast<BYTE>(a + (b - a) * percent / 100); };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

void ComputeMenuColors(const CMenuSystemColors& system, int colorDepth, COLORREF (&colors)[kMenuColorCount])
{
    const bool rich = colorDepth > 8;
    const COLORREF w = system.window, t = system.windowText, f = system.buttonFace, h = system.highlight;
    colors[kMenuColorBackground] = rich ? BlendColor(w, t, 3) : w;
    const COLORREF background = colors[kMenuColorBackground];
    colors[kMenuColorBorder] =
        RGB(GetRValue(background) * 50 / 100, GetGValue(background) * 50 / 100, GetBValue(background) * 50 / 100);
    colors[kMenuColorIconColumn] = rich ? BlendColor(f, w, 20) : f;
    colors[kMenuColorSelectionEdge] = h;
    colors[kMenuColorSelection] = rich ? BlendColor(h, w, 70) : w;
    colors[kMenuColorCheckSelected] = rich ? BlendColor(h, w, 60) : w;
    colors[kMenuColorSelectionDark] = rich ? BlendColor(colors[kMenuColorSelection], t, 20) : h;
    colors[kMenuColorDisabledText] = system.grayText;
    colors[kMenuColorText] = system.windowText;
    colors[kMenuColorSelectedText] = system.menuText;
    colors[kMenuColorButtonText] = system.buttonText;
    colors[kMenuColorMenuText] = system.menuText;
    colors[kMenuColorFaceDark] = rich ? BlendColor(f, t, 35) : system.grayText;
}

bool IsSameLogFont(const LOGFONTA& a, const LOGFONTA& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

CMenuStyleManager::CMenuStyleManager()
{
    Refresh(0, 0);
}

CMenuStyleManager::~CMenuStyleManager()
{
    if (!m_windows.empty() && ::IsWindow(m_windows.front()))
        ::DestroyWindow(m_windows.front());
}

COLORREF CMenuStyleManager::GetColor(int index) const
{
    if (!KIVO_CHECK(index >= 0 && index < kMenuColorCount))
        return ::GetSysColor(COLOR_MENU);
    return m_colors[index];
}

void CMenuStyleManager::RefreshFonts()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return;  // the fonts made before stay in use
    m_captionFont.DeleteObject();
    m_captionFont.CreateFontIndirect(&metrics.lfCaptionFont);
    if (m_menuFont.IsNull() || !IsSameLogFont(m_menuLogFont, metrics.lfMenuFont)) {
        m_menuFont.DeleteObject();
        m_menuFont.CreateFontIndirect(&metrics.lfMenuFont);
        m_menuLogFont = metrics.lfMenuFont;
    }
}

// The system is newer than NT 4 everywhere this program runs, so both flags are always read.
void CMenuStyleManager::Refresh(WPARAM wParam, LPARAM lParam)
{
    BOOL flat = FALSE;
    m_flatMenus = ::SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat ? 1 : 0;
    BOOL cues = TRUE;
    m_hideCues = ::SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) && !cues ? 1 : 0;
    HDC screen = ::GetDC(nullptr);
    m_colorDepth = screen ? ::GetDeviceCaps(screen, BITSPIXEL) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    ComputeMenuColors(ReadMenuSystemColors(), m_colorDepth, m_colors);
    RefreshFonts();

    // A copy: a window may register or leave while it is told.
    const std::vector<HWND> windows(m_windows.begin() + (m_windows.empty() ? 0 : 1), m_windows.end());
    for (HWND window : windows) {
        DWORD_PTR ignored = 0;
        if (::IsWindow(window))
            ::SendMessageTimeoutA(window, WM_SETTINGCHANGE, wParam, lParam, SMTO_ABORTIFHUNG, kForwardTimeout,
                                  &ignored);
    }
}

INT_PTR CALLBACK CMenuStyleManager::WatcherProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
            return TRUE;
        }
        if (message == WM_SETTINGCHANGE) {
            auto* manager = reinterpret_cast<CMenuStyleManager*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
            if (manager)
                manager->Refresh(wParam, lParam);
            return TRUE;
        }
    } catch (...) {
        ReportCaughtException("CMenuStyleManager::WatcherProc");
    }
    return FALSE;
}

void CMenuStyleManager::AddWindow(HWND window)
{
    if (m_windows.empty()) {
        // An in-memory template: a bare pop-up without items, caption, menu or class.
        struct alignas(DWORD) {
            DLGTEMPLATE dialog;
            WORD menu, windowClass, title;
        } form = {};
        form.dialog.style = WS_POPUP;
        HWND watcher = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), &form.dialog, nullptr, WatcherProc,
                                                    reinterpret_cast<LPARAM>(this));
        if (!watcher)
            return;
        m_windows.push_back(watcher);
    }
    if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end())
        m_windows.push_back(window);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_SETTINGCHANGE, 0, 0, SMTO_ABORTIFHUNG, kForwardTimeout, &ignored);
}

void CMenuStyleManager::RemoveWindow(HWND window)
{
    if (m_windows.empty())
        return;
    m_windows.erase(std::remove(m_windows.begin() + 1, m_windows.end(), window), m_windows.end());
}

CMenuStyleManager* GetMenuStyleManager()
{
    return GetSingleton<CMenuStyleManager, kPriorityMenuStyleManager>();
}
