#pragma once
// CThemeApi: the visual-styles library and the newer window-effect functions, looked up at run
// time so that the program starts on systems without them. Every caller tests an entry point for
// null before calling it; a null entry point means the feature is absent (no animation, no
// translucency, classic drawing).
//
// CThemeSupport: the theme part of a control: a theme handle for the control's class list and a
// themed client edge in place of the classic sunken one.
#include <windows.h>
#include <uxtheme.h>

#include "core/system/DynamicLibrary.h"

#include <string>

// The 41 entry points of the theme library, in their lookup order.
#define KIVO_THEME_API_ENTRIES(X)                                                          \
    X(CloseThemeData) X(OpenThemeData) X(DrawThemeBackground) X(DrawThemeParentBackground) \
    X(DrawThemeText) X(EnableThemeDialogTexture) X(IsThemeDialogTextureEnabled)            \
    X(GetThemeBackgroundContentRect) X(IsThemeBackgroundPartiallyTransparent)              \
    X(GetThemeBackgroundExtent) X(GetThemePartSize) X(GetThemeTextExtent)                  \
    X(GetThemeTextMetrics) X(GetThemeBackgroundRegion) X(HitTestThemeBackground)           \
    X(DrawThemeEdge) X(DrawThemeIcon) X(IsThemePartDefined) X(GetThemeColor)               \
    X(GetThemeMetric) X(GetThemeString) X(GetThemeBool) X(GetThemeInt)                     \
    X(GetThemeEnumValue) X(GetThemePosition) X(GetThemeFont) X(GetThemeRect)               \
    X(GetThemeMargins) X(GetThemeIntList) X(GetThemePropertyOrigin) X(GetThemeFilename)    \
    X(GetThemeSysColor) X(GetThemeSysColorBrush) X(GetThemeSysSize) X(GetThemeSysBool)     \
    X(GetThemeSysFont) X(GetThemeSysString) X(GetThemeSysInt) X(SetWindowTheme)            \
    X(GetWindowTheme) X(IsThemeActive)

class CThemeApi {
public:
    // Looks the functions up for the running system.
    CThemeApi();
    // Looks them up as on a system of the given version, from the named theme library; the
    // theme library is looked up only on version 5.1 (Windows XP) and later.
    CThemeApi(DWORD majorVersion, DWORD minorVersion, const char* themeLibrary);
    ~CThemeApi();
    CThemeApi(const CThemeApi&) = delete;
    CThemeApi& operator=(const CThemeApi&) = delete;

    // True when the theme library is present and says that visual styles are on.
    bool IsThemingActive() const;
    bool IsThemeLibraryPresent() const { return m_themeLibraryPresent != 0; }

    using AnimateWindowFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

    AnimateWindowFunction AnimateWindow = nullptr;
    SetLayeredWindowAttributesFunction SetLayeredWindowAttributes = nullptr;

#define KIVO_THEME_API_MEMBER(name) decltype(&::name) name = nullptr;
    KIVO_THEME_API_ENTRIES(KIVO_THEME_API_MEMBER)
#undef KIVO_THEME_API_MEMBER

    static constexpr int kThemeEntryCount = 41;
    // The theme entry points in lookup order, as untyped addresses (for checks and tests).
    FARPROC ThemeEntry(int index) const;

private:
    void LookUp(DWORD majorVersion, DWORD minorVersion, const char* themeLibrary);

    // The libraries stay loaded while their entry points are held: the theme library may have no
    // other user in the process, and releasing it would leave every pointer above dangling.
    CDynamicLibrary m_user32;
    CDynamicLibrary m_themeLibrary;
    BYTE m_themeLibraryPresent = 0;
};

// The process-wide theme shim, created on first use (UI thread) and destroyed at exit.
CThemeApi* GetThemeApi();

class CThemeSupport {
public:
    enum : DWORD {
        kThemeExSystemClientEdge = 0x0001,  // let DefWindowProc paint the 3-D client edge
        kThemeExThemedClientEdge = 0x0002,  // paint the client edge from the theme
    };

    // The shim to use; null means the process-wide one.
    explicit CThemeSupport(CThemeApi* api = nullptr) : m_api(api) {}
    ~CThemeSupport() { CloseThemeData(); }
    CThemeSupport(const CThemeSupport&) = delete;
    CThemeSupport& operator=(const CThemeSupport&) = delete;

    void SetThemeClassList(const wchar_t* classList) { m_classList = classList ? classList : L""; }
    const std::wstring& GetThemeClassList() const { return m_classList; }
    void SetThemeExtendedStyle(DWORD flags) { m_extendedStyle = flags; }
    DWORD GetThemeExtendedStyle() const { return m_extendedStyle; }
    HTHEME GetThemeHandle() const { return m_theme; }

    // Opens the theme of the class list for the window, closing any open one first. Without a
    // class list or without the theme library nothing happens.
    HTHEME OpenThemeData(HWND window);
    // Closes and clears the handle; false when there was none or closing failed.
    bool CloseThemeData();

    // WM_NCPAINT: true when the message was handled here (result 0).
    bool OnNcPaint(HWND window, HRGN updateRegion);
    // Paints the theme's border of the part and state as the window's client edge, fills the
    // ring up to the system edge with the brush (or the class brush), and lets DefWindowProc
    // paint the rest of the non-client area inside the edge.
    bool DrawThemeClientEdge(HWND window, HRGN updateRegion, HBRUSH background, int part, int state);

    // The theme messages for a message map: opens on WM_CREATE (after the window exists),
    // closes on WM_DESTROY, reopens on WM_THEMECHANGED and paints the edge on WM_NCPAINT.
    // True when the message is handled and result holds the answer.
    bool ProcessThemeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The part and state of the themed client edge (an edit box's border unless set).
    void SetClientEdgePart(int part, int state)
    {
        m_edgePart = part;
        m_edgeState = state;
    }

private:
    CThemeApi* Api() const { return m_api ? m_api : GetThemeApi(); }

    CThemeApi* m_api = nullptr;  // not owned
    HTHEME m_theme = nullptr;
    std::wstring m_classList;
    DWORD m_extendedStyle = 0;
    int m_edgePart = 0;
    int m_edgeState = 0;
};
