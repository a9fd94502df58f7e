// The theme shim against Wine's own theme library (a fresh prefix has its "light" visual style
// on) and against a stand-in library whose styles the test switches on and off.
#include "controls/ThemeApi.h"
#include "core/library/LifetimeTracker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr const char* kFakeThemeLibrary = "kivo_fake_theme.dll";
constexpr COLORREF kFakeBackground = RGB(0, 128, 255);
constexpr COLORREF kRingColour = RGB(200, 30, 30);

int CountThemeEntries(const CThemeApi& api)
{
    int bound = 0;
    for (int i = 0; i < CThemeApi::kThemeEntryCount; ++i)
        bound += api.ThemeEntry(i) != nullptr;
    return bound;
}

template <class F>
F FakeEntry(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(kFakeThemeLibrary), name)));
}

void SetFakeStyles(BOOL active)
{
    auto set = FakeEntry<void(WINAPI*)(BOOL)>("FakeThemeSetActive");
    ASSERT_NE(set, nullptr);
    set(active);
}

TEST(ThemeApi, BindsWineThemeLibrary)
{
    CThemeApi api;
    EXPECT_NE(api.AnimateWindow, nullptr);
    EXPECT_NE(api.SetLayeredWindowAttributes, nullptr);
    EXPECT_TRUE(api.IsThemeLibraryPresent());
    EXPECT_EQ(CountThemeEntries(api), CThemeApi::kThemeEntryCount);
    EXPECT_EQ(api.ThemeEntry(CThemeApi::kThemeEntryCount), nullptr);
    // The shim reports what the library says: Wine's prefix selects its "light" style.
    EXPECT_EQ(api.IsThemingActive(), api.IsThemeActive() != FALSE);
    EXPECT_TRUE(api.IsThemingActive());
}

TEST(ThemeApi, NoThemeLookupBeforeXpOrWithoutTheLibrary)
{
    struct Case {
        DWORD major, minor;
        const char* library;
    } const cases[] = {
        {5, 0, "UXTHEME.DLL"},            // Windows 2000: never looked up, even though the file exists
        {4, 0, "UXTHEME.DLL"},
        {10, 0, "kivo_no_such_theme.dll"},  // no library of that name
    };
    for (const Case& c : cases) {
        CThemeApi api(c.major, c.minor, c.library);
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " " << c.library);
        EXPECT_FALSE(api.IsThemeLibraryPresent());
        EXPECT_EQ(CountThemeEntries(api), 0);
        EXPECT_FALSE(api.IsThemingActive());
        EXPECT_NE(api.AnimateWindow, nullptr);  // the window effects do not depend on the version
    }
    CThemeApi xp(5, 1, "UXTHEME.DLL");
    EXPECT_TRUE(xp.IsThemeLibraryPresent());
}

TEST(ThemeApi, KeepsTheThemeLibraryLoadedWhileHoldingItsEntryPoints)
{
    ASSERT_EQ(::GetModuleHandleA(kFakeThemeLibrary), nullptr);
    {
        CThemeApi api(6, 1, kFakeThemeLibrary);
        ASSERT_TRUE(api.IsThemeLibraryPresent());
        // Nothing else in the process holds the library: the shim's own reference keeps it.
        EXPECT_NE(::GetModuleHandleA(kFakeThemeLibrary), nullptr);
        EXPECT_EQ(CountThemeEntries(api), CThemeApi::kThemeEntryCount);
        EXPECT_TRUE(api.IsThemingActive());
        SetFakeStyles(FALSE);
        EXPECT_FALSE(api.IsThemingActive());
        SetFakeStyles(TRUE);
    }
    EXPECT_EQ(::GetModuleHandleA(kFakeThemeLibrary), nullptr);
}

TEST(ThemeApi, ProcessWideShimIsCreatedOnceAndTornDownInItsTurn)
{
    CThemeApi* shim = GetThemeApi();
    ASSERT_NE(shim, nullptr);
    EXPECT_EQ(GetThemeApi(), shim);
    EXPECT_TRUE(shim->IsThemeLibraryPresent());
    const auto& trackers = GetLifetimeTrackerList();
    EXPECT_TRUE(std::any_of(trackers.begin(), trackers.end(),
                            [](const CLifetimeTracker* t) { return t->GetPriority() == kPriorityThemeApi; }));
}

// A bordered window whose non-client painting goes through a CThemeSupport.
class ThemedWindow {
public:
    ThemedWindow(CThemeApi& api, DWORD exStyle, DWORD themeFlags) : m_theme(&api)
    {
        static const ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &ThemedWindow::Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "KivoThemeTestWindow";
            wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
            return ::RegisterClassA(&wc);
        }();
        (void)atom;
        m_theme.SetThemeClassList(L"EDIT");
        m_theme.SetThemeExtendedStyle(themeFlags);
        m_window = ::CreateWindowExA(exStyle, "KivoThemeTestWindow", "", WS_POPUP, 40, 40, 120, 80,
                                     nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
        // Shown without activation: Wine without a window manager waits seconds to destroy an
        // activated window.
        ::ShowWindow(m_window, SW_SHOWNOACTIVATE);
    }
    ~ThemedWindow() { ::DestroyWindow(m_window); }

    HWND Window() const { return m_window; }
    CThemeSupport& Theme() { return m_theme; }
    int NcPaintsHandled() const { return m_handled; }

    COLORREF WindowPixel(int x, int y) const
    {
        HDC dc = ::GetWindowDC(m_window);
        const COLORREF colour = ::GetPixel(dc, x, y);
        ::ReleaseDC(m_window, dc);
        return colour;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ThemedWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (self && self->m_theme.ProcessThemeMessage(window, message, wParam, lParam, result)) {
            ++self->m_handled;
            return result;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    CThemeSupport m_theme;
    HWND m_window = nullptr;
    int m_handled = 0;
};

using FakeOpenCount = LONG(WINAPI*)();

TEST(ThemeSupport, OpensOnCreateClosesOnDestroyAndReopensOnThemeChange)
{
    CThemeApi api(6, 1, kFakeThemeLibrary);
    auto openCount = FakeEntry<FakeOpenCount>("FakeThemeOpenCount");
    ASSERT_NE(openCount, nullptr);
    {
        ThemedWindow window(api, WS_EX_CLIENTEDGE, CThemeSupport::kThemeExThemedClientEdge);
        EXPECT_NE(window.Theme().GetThemeHandle(), nullptr);
        EXPECT_EQ(openCount(), 1);
        ::SendMessageA(window.Window(), WM_THEMECHANGED, 0, 0);
        EXPECT_NE(window.Theme().GetThemeHandle(), nullptr);
        EXPECT_EQ(openCount(), 1);  // the old theme was closed before the new one opened
        ::DestroyWindow(window.Window());
        EXPECT_EQ(window.Theme().GetThemeHandle(), nullptr);
        EXPECT_EQ(openCount(), 0);
        EXPECT_FALSE(window.Theme().CloseThemeData());
    }
}

TEST(ThemeSupport, PaintsThemedClientEdgeOnlyWithClientEdgeAndActiveStyles)
{
    CThemeApi styled(6, 1, kFakeThemeLibrary);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    ASSERT_GE(edgeX, 2);  // room for the one-pixel theme border and the ring inside it

    ThemedWindow edged(styled, WS_EX_CLIENTEDGE, CThemeSupport::kThemeExThemedClientEdge);
    HBRUSH ring = ::CreateSolidBrush(kRingColour);
    ASSERT_TRUE(edged.Theme().DrawThemeClientEdge(edged.Window(), nullptr, ring, 0, 0));
    ::DeleteObject(ring);
    EXPECT_EQ(edged.WindowPixel(0, 0), kFakeBackground);                   // the theme's border
    EXPECT_EQ(edged.WindowPixel(1, 1), kRingColour);                       // ring up to the system edge
    EXPECT_NE(edged.WindowPixel(edgeX + 4, edgeX + 4), kFakeBackground);   // client area untouched

    // Through WM_NCPAINT the ring takes the class brush (white).
    const int before = edged.NcPaintsHandled();
    ::SendMessageA(edged.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(edged.NcPaintsHandled(), before + 1);
    EXPECT_EQ(edged.WindowPixel(0, 0), kFakeBackground);
    EXPECT_EQ(edged.WindowPixel(1, 1), RGB(255, 255, 255));

    // No client edge: never a themed edge.
    ThemedWindow plain(styled, 0, CThemeSupport::kThemeExThemedClientEdge);
    const int plainBefore = plain.NcPaintsHandled();
    ::SendMessageA(plain.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(plain.NcPaintsHandled(), plainBefore);

    // Styles switched off: the classic edge stays.
    SetFakeStyles(FALSE);
    const int offBefore = edged.NcPaintsHandled();
    ::SendMessageA(edged.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(edged.NcPaintsHandled(), offBefore);
    SetFakeStyles(TRUE);
}

TEST(ThemeSupport, WineVisualStylePaintsTheEditBorder)
{
    CThemeApi wine;
    ASSERT_TRUE(wine.IsThemingActive());
    ThemedWindow edged(wine, WS_EX_CLIENTEDGE, CThemeSupport::kThemeExThemedClientEdge);
    ASSERT_NE(edged.Theme().GetThemeHandle(), nullptr);
    const int before = edged.NcPaintsHandled();
    ::SendMessageA(edged.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(edged.NcPaintsHandled(), before + 1);

    // Letting the system paint the client edge is handled too, through DefWindowProc.
    edged.Theme().SetThemeExtendedStyle(CThemeSupport::kThemeExSystemClientEdge);
    ::SendMessageA(edged.Window(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(edged.NcPaintsHandled(), before + 2);
}

}  // namespace
