#include "controls/ThemeApi.h"

#include "core/library/LifetimeTracker.h"
#include "platform/AtlGdi.h"

namespace {

constexpr int kSizingBorderWidthProperty = 1201;  // TMT_SIZINGBORDERWIDTH

void RunningSystemVersion(DWORD& major, DWORD& minor)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    major = known ? info.dwMajorVersion : 0;
    minor = known ? info.dwMinorVersion : 0;
    if (known && info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        major = minor = 0;  // the 9x family has no visual styles
}

template <class F>
void Bind(F& slot, HMODULE module, const char* name)
{
    slot = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

CThemeApi::CThemeApi()
{
    DWORD major = 0;
    DWORD minor = 0;
    RunningSystemVersion(major, minor);
    LookUp(major, minor, "UXTHEME.DLL");
}

CThemeApi::CThemeApi(DWORD majorVersion, DWORD minorVersion, const char* themeLibrary)
{
    LookUp(majorVersion, minorVersion, themeLibrary);
}

void CThemeApi::LookUp(DWORD majorVersion, DWORD minorVersion, const char* themeLibrary)
{
    if (m_user32.Load("USER32.DLL")) {
        Bind(AnimateWindow, m_user32.GetHandle(), "AnimateWindow");
        Bind(SetLayeredWindowAttributes, m_user32.GetHandle(), "SetLayeredWindowAttributes");
    }
    const bool xpOrLater = majorVersion > 5 || (majorVersion == 5 && minorVersion >= 1);
    if (!xpOrLater || !themeLibrary)
        return;
    if (!m_themeLibrary.Load(themeLibrary))
        return;
    m_themeLibraryPresent = 1;
#define KIVO_THEME_API_BIND(name) Bind(name, m_themeLibrary.GetHandle(), #name);
    KIVO_THEME_API_ENTRIES(KIVO_THEME_API_BIND)
#undef KIVO_THEME_API_BIND
}

CThemeApi::~CThemeApi() = default;

bool CThemeApi::IsThemingActive() const
{
    if (!m_themeLibraryPresent || !IsThemeActive)
        return false;
    return IsThemeActive() != FALSE;
}

FARPROC CThemeApi::ThemeEntry(int index) const
{
    int position = 0;
#define KIVO_THEME_API_ENTRY(name)     \
    if (position++ == index)           \
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(name));
    KIVO_THEME_API_ENTRIES(KIVO_THEME_API_ENTRY)
#undef KIVO_THEME_API_ENTRY
    return nullptr;
}

CThemeApi* GetThemeApi()
{
    return GetSingleton<CThemeApi, kPriorityThemeApi>();
}

// ---- CThemeSupport ---------------------------------------------------------------------------

HTHEME CThemeSupport::OpenThemeData(HWND window)
{
    if (m_classList.empty())
        return m_theme;
    CThemeApi* api = Api();
    if (!api->IsThemeLibraryPresent() || !api->OpenThemeData)
        return m_theme;
    CloseThemeData();
    m_theme = api->OpenThemeData(window, m_classList.c_str());
    return m_theme;
}

bool CThemeSupport::CloseThemeData()
{
    if (!m_theme)
        return false;
    CThemeApi* api = Api();
    const HTHEME theme = m_theme;
    m_theme = nullptr;
    return api->CloseThemeData && SUCCEEDED(api->CloseThemeData(theme));
}

bool CThemeSupport::OnNcPaint(HWND window, HRGN updateRegion)
{
    if (!Api()->IsThemingActive())
        return false;
    if (!(::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        return false;
    if (m_extendedStyle & kThemeExSystemClientEdge) {
        ::DefWindowProcA(window, WM_NCPAINT, reinterpret_cast<WPARAM>(updateRegion), 0);
        return true;
    }
    if ((m_extendedStyle & kThemeExThemedClientEdge) && m_theme)
        return DrawThemeClientEdge(window, updateRegion, nullptr, m_edgePart, m_edgeState);
    return false;
}

bool CThemeSupport::DrawThemeClientEdge(HWND window, HRGN updateRegion, HBRUSH background, int part,
                                        int state)
{
    CThemeApi* api = Api();
    if (!m_theme || !api->DrawThemeBackground)
        return false;

    int borderX = ::GetSystemMetrics(SM_CXBORDER);
    int borderY = ::GetSystemMetrics(SM_CYBORDER);
    int themeBorder = 0;
    if (api->GetThemeInt &&
        SUCCEEDED(api->GetThemeInt(m_theme, part, state, kSizingBorderWidthProperty, &themeBorder)))
        borderX = borderY = themeBorder;
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);

    RECT screen = {};
    ::GetWindowRect(window, &screen);
    RECT whole = {0, 0, screen.right - screen.left, screen.bottom - screen.top};
    RECT inner = whole;
    ::InflateRect(&inner, -edgeX, -edgeY);

    // The region left to the system is in screen coordinates, as WM_NCPAINT's own region is; a
    // region handle of 1 stands for the whole window.
    CRgn innerRegion;
    innerRegion.CreateRectRgn(screen.left + inner.left, screen.top + inner.top, screen.left + inner.right,
                              screen.top + inner.bottom);
    if (updateRegion && reinterpret_cast<ULONG_PTR>(updateRegion) != 1)
        ::CombineRgn(innerRegion, innerRegion, updateRegion, RGN_AND);

    {
        // The window DC goes back before the system paints the rest of the frame.
        CWindowDC dc(window);
        ::ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        api->DrawThemeBackground(m_theme, dc, part, state, &whole, nullptr);
        if (borderX < edgeX && borderY < edgeY) {
            RECT ring = whole;
            ::InflateRect(&ring, -borderX, -borderY);
            HBRUSH brush = background ? background
                                      : reinterpret_cast<HBRUSH>(::GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
            if (brush)
                ::FillRect(dc, &ring, brush);
        }
    }

    ::DefWindowProcA(window, WM_NCPAINT, reinterpret_cast<WPARAM>(static_cast<HRGN>(innerRegion)), 0);
    return true;
}

bool CThemeSupport::ProcessThemeMessage(HWND window, UINT message, WPARAM wParam, LPARAM,
                                        LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        OpenThemeData(window);
        return false;  // the window's own creation goes on
    case WM_DESTROY:
        CloseThemeData();
        return false;
    case WM_THEMECHANGED:
        CloseThemeData();
        OpenThemeData(window);
        return false;
    case WM_NCPAINT:
        if (OnNcPaint(window, reinterpret_cast<HRGN>(wParam))) {
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}
