// A stand-in visual-styles library for the tests: it exports the 41 names the theme shim looks
// up, says that visual styles are on or off as the test sets it, and paints every theme
// background in one known colour, so the themed paths can be checked pixel by pixel.
#include <windows.h>

#define FAKE_EXPORT extern "C" __declspec(dllexport)

namespace {
LONG g_openThemes = 0;
BOOL g_active = TRUE;
}

FAKE_EXPORT void WINAPI FakeThemeSetActive(BOOL active)
{
    g_active = active;
}

extern "C" {
__declspec(dllexport) extern const COLORREF FakeThemeBackgroundColour;
__declspec(dllexport) extern int FakeThemeBorderWidth;
const COLORREF FakeThemeBackgroundColour = RGB(0, 128, 255);
int FakeThemeBorderWidth = 1;
}

FAKE_EXPORT LONG WINAPI FakeThemeOpenCount()
{
    return g_openThemes;
}

FAKE_EXPORT BOOL WINAPI IsThemeActive()
{
    return g_active;
}

FAKE_EXPORT HANDLE WINAPI OpenThemeData(HWND, LPCWSTR classList)
{
    if (!classList || !*classList)
        return nullptr;
    ++g_openThemes;
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7E57));
}

FAKE_EXPORT HRESULT WINAPI CloseThemeData(HANDLE theme)
{
    if (theme != reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7E57)))
        return E_HANDLE;
    --g_openThemes;
    return S_OK;
}

FAKE_EXPORT HRESULT WINAPI GetThemeInt(HANDLE, int, int, int property, int* value)
{
    if (property != 1201 || !value)
        return E_INVALIDARG;
    *value = FakeThemeBorderWidth;
    return S_OK;
}

FAKE_EXPORT HRESULT WINAPI DrawThemeBackground(HANDLE, HDC dc, int, int, const RECT* rect, const RECT*)
{
    HBRUSH brush = ::CreateSolidBrush(FakeThemeBackgroundColour);
    ::FillRect(dc, rect, brush);
    ::DeleteObject(brush);
    return S_OK;
}

// The other entry points exist so that every slot is bound; the tests never call them. On x64
// a call with arguments into a function that takes none is harmless.
#define FAKE_UNUSED(name) \
    FAKE_EXPORT HRESULT WINAPI name() { return E_NOTIMPL; }
FAKE_UNUSED(DrawThemeParentBackground)
FAKE_UNUSED(DrawThemeText)
FAKE_UNUSED(EnableThemeDialogTexture)
FAKE_UNUSED(IsThemeDialogTextureEnabled)
FAKE_UNUSED(GetThemeBackgroundContentRect)
FAKE_UNUSED(IsThemeBackgroundPartiallyTransparent)
FAKE_UNUSED(GetThemeBackgroundExtent)
FAKE_UNUSED(GetThemePartSize)
FAKE_UNUSED(GetThemeTextExtent)
FAKE_UNUSED(GetThemeTextMetrics)
FAKE_UNUSED(GetThemeBackgroundRegion)
FAKE_UNUSED(HitTestThemeBackground)
FAKE_UNUSED(DrawThemeEdge)
FAKE_UNUSED(DrawThemeIcon)
FAKE_UNUSED(IsThemePartDefined)
FAKE_UNUSED(GetThemeColor)
FAKE_UNUSED(GetThemeMetric)
FAKE_UNUSED(GetThemeString)
FAKE_UNUSED(GetThemeBool)
FAKE_UNUSED(GetThemeEnumValue)
FAKE_UNUSED(GetThemePosition)
FAKE_UNUSED(GetThemeFont)
FAKE_UNUSED(GetThemeRect)
FAKE_UNUSED(GetThemeMargins)
FAKE_UNUSED(GetThemeIntList)
FAKE_UNUSED(GetThemePropertyOrigin)
FAKE_UNUSED(GetThemeFilename)
FAKE_UNUSED(GetThemeSysColor)
FAKE_UNUSED(GetThemeSysColorBrush)
FAKE_UNUSED(GetThemeSysSize)
FAKE_UNUSED(GetThemeSysBool)
FAKE_UNUSED(GetThemeSysFont)
FAKE_UNUSED(GetThemeSysString)
FAKE_UNUSED(GetThemeSysInt)
FAKE_UNUSED(SetWindowTheme)
FAKE_UNUSED(GetWindowTheme)
