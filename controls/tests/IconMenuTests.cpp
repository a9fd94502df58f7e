// Owner-drawn menus: the colour table and the item geometry headless, the drawing into a memory
// DC with fabricated structures, and real popups tracked under Wine: converted while open, given
// flat frames and shadow strips, put back afterwards, and pictured in icon-menu.bmp.
#include "controls/CommandImageManager.h"
#include "controls/DropShadow.h"
#include "controls/FlatMenuFrame.h"
#include "controls/IconMenu2.h"
#include "controls/MenuItemLayout.h"
#include "controls/MenuStyleManager.h"
#include "platform/AtlWin.h"

#include <commctrl.h>
#include "controls/tests/Screenshot.h"
#include "controls/tests/SolidCommandIcons.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kOpenCommand = 41001;
constexpr UINT kStatusBarCommand = 41002;
constexpr UINT kPrintCommand = 41003;
constexpr UINT kOptionsCommand = 41004;
constexpr UINT kLongCommand = 41005;
constexpr UINT_PTR kStepTimer = 77;
constexpr ULONG_PTR kOwnersData = 0x5150;
const char kToolsCaption[] = "&Tools";

std::string Hex(COLORREF color)
{
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(color));
    return text;
}

}  // namespace

TEST(MenuColors, TheTableBlendsOnRichScreensAndUsesSystemColoursOnEightBits)
{
    CMenuSystemColors system;
    system.window = RGB(255, 255, 255);
    system.windowText = RGB(0, 0, 0);
    system.buttonFace = RGB(200, 200, 200);
    system.highlight = RGB(0, 100, 200);
    system.grayText = RGB(128, 128, 128);
    system.menuText = RGB(1, 2, 3);
    system.buttonText = RGB(4, 5, 6);
    struct Case {
        int depth;
        int index;
        COLORREF expected;
    };
    const Case cases[] = {
        {24, kMenuColorBackground, RGB(248, 248, 248)},     // 255 - 255 * 3 / 100
        {24, kMenuColorBorder, RGB(124, 124, 124)},         // half of the background
        {24, kMenuColorIconColumn, RGB(211, 211, 211)},     // 200 + 55 * 20 / 100
        {24, kMenuColorSelectionEdge, RGB(0, 100, 200)},
        {24, kMenuColorSelection, RGB(178, 208, 238)},      // 0 + 255 * 70 / 100, 100 + 155 * 70 / 100, ...
        {24, kMenuColorCheckSelected, RGB(153, 193, 233)},
        {24, kMenuColorSelectionDark, RGB(143, 167, 191)},  // the selection toward black by 20
        {24, kMenuColorDisabledText, RGB(128, 128, 128)},
        {24, kMenuColorSelectedText, RGB(1, 2, 3)},
        {24, kMenuColorButtonText, RGB(4, 5, 6)},
        {24, kMenuColorFaceDark, RGB(130, 130, 130)},       // 200 - 200 * 35 / 100
        {8, kMenuColorBackground, RGB(255, 255, 255)},
        {8, kMenuColorBorder, RGB(127, 127, 127)},
        {8, kMenuColorIconColumn, RGB(200, 200, 200)},
        {8, kMenuColorSelection, RGB(255, 255, 255)},
        {8, kMenuColorCheckSelected, RGB(255, 255, 255)},
        {8, kMenuColorSelectionDark, RGB(0, 100, 200)},
        {8, kMenuColorFaceDark, RGB(128, 128, 128)},
    };
    for (const Case& c : cases) {
        COLORREF colors[kMenuColorCount] = {};
        ComputeMenuColors(system, c.depth, colors);
        EXPECT_EQ(Hex(colors[c.index]), Hex(c.expected)) << "depth " << c.depth << " colour " << c.index;
    }
    EXPECT_EQ(BlendColor(RGB(10, 20, 30), RGB(110, 20, 0), 50), RGB(60, 20, 15));

    LOGFONTA a = {};
    a.lfHeight = -12;
    std::snprintf(a.lfFaceName, LF_FACESIZE, "Tahoma");
    LOGFONTA b = a;
    EXPECT_TRUE(IsSameLogFont(a, b));
    b.lfWeight = FW_BOLD;
    EXPECT_FALSE(IsSameLogFont(a, b));
    b = a;
    b.lfFaceName[0] = 't';
    EXPECT_FALSE(IsSameLogFont(a, b));
}

TEST(MenuItemLayout, ItemsAreMeasuredAndPlacedPerLook)
{
    struct Case {
        EMenuLook look;
        bool separator;
        int textWidth, fontHeight, extraWidth;
        SIZE expected;
    };
    // Check width 13 and menu height 19 as Wine reports them; fonts given as lfHeight.
    const Case cases[] = {
        {EMenuLook::kOffice, true, 0, -11, 0, {0, 5}},
        {EMenuLook::kClassic3D, true, 0, -11, 0, {0, 9}},
        {EMenuLook::kOffice, false, 60, -11, 7, {60 + 13 + 44 - 13 + 1, 21}},   // no extra width
        {EMenuLook::kClassic3D, false, 60, -11, 7, {60 + 5 + 44 + 7 - 13 + 1, 19}},
        {EMenuLook::kClassicFlat, false, 0, 12, 0, {5 + 44 - 13 + 1, 20}},
    };
    for (const Case& c : cases) {
        const SIZE size = MeasureMenuItem(c.look, c.separator, c.textWidth, c.fontHeight, c.extraWidth, 13, 19);
        EXPECT_EQ(size.cx, c.expected.cx) << static_cast<int>(c.look) << " " << c.separator;
        EXPECT_EQ(size.cy, c.expected.cy) << static_cast<int>(c.look) << " " << c.separator;
    }

    const RECT item = {3, 10, 203, 36};
    const CMenuItemRects office = LayoutMenuItem(EMenuLook::kOffice, item);
    EXPECT_EQ(office.cell.left, 3);
    EXPECT_EQ(office.cell.top, 12);
    EXPECT_EQ(office.cell.right, 25);
    EXPECT_EQ(office.cell.bottom, 34);
    EXPECT_EQ(office.textArea.left, 26);
    EXPECT_EQ(office.text.left, 32);
    EXPECT_EQ(office.text.right, 181);
    EXPECT_EQ(LayoutMenuItem(EMenuLook::kClassic3D, item).text.left, 28);
    const POINT icon = IconPosition(office.cell);
    EXPECT_EQ(icon.x, 6);
    EXPECT_EQ(icon.y, 15);

    EXPECT_EQ(SplitMenuItemText("&Open\tCtrl+O").caption, "&Open");
    EXPECT_EQ(SplitMenuItemText("&Open\tCtrl+O").accelerator, "Ctrl+O");
    EXPECT_EQ(SplitMenuItemText("a\tb\tc").accelerator, "b\tc");
    EXPECT_EQ(SplitMenuItemText("Plain").accelerator, "");

    struct PrefixCase {
        const char* text;
        const char* plain;
    };
    const PrefixCase prefixes[] = {
        {"&Open", "Open"}, {"Save &As...", "Save As..."}, {"Fish && &Chips", "Fish & Chips"}, {"End&", "End"},
        {"", ""}, {"&&&", "&"},
    };
    for (const PrefixCase& c : prefixes)
        EXPECT_EQ(StripMenuPrefixes(c.text), c.plain) << c.text;
}

namespace {

// A visible owner window that chains the menu object into its map and runs a step on each tick
// of its step timer while a popup is open.
class CMenuOwner : public CWindowImpl<CMenuOwner, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW>> {
public:
    DECLARE_WND_CLASS_EX("KivoIconMenuTestOwner", 0, COLOR_APPWORKSPACE)

    BEGIN_MSG_MAP(CMenuOwner)
        CHAIN_MSG_MAP_MEMBER(m_menu)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
    END_MSG_MAP()

    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        if (wParam != kStepTimer || m_steps.empty()) {
            handled = FALSE;
            return 0;
        }
        const std::function<void()> step = m_steps.front();
        m_steps.erase(m_steps.begin());
        if (m_steps.empty())
            KillTimer(kStepTimer);
        step();
        return 0;
    }
    LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&)
    {
        ++m_settingChanges;
        return 0;
    }
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&)
    {
        ++m_menuSelects;
        return 0;
    }

    CIconMenu2 m_menu;
    std::vector<std::function<void()>> m_steps;
    int m_settingChanges = 0;
    int m_menuSelects = 0;
};

// Command icons: solid squares, normal and greyed.
class CTestIcons : public controls_test::CSolidCommandIcons {
public:
    static constexpr COLORREF kOpenColor = RGB(220, 40, 40);

    CTestIcons() : CSolidCommandIcons({kOpenColor, RGB(40, 160, 40), RGB(40, 40, 220)})
    {
        CCommandImageManager* store = GetCommandImageManager();
        store->AddCommandImage(0, kOpenCommand, kImageSetToolBar);
        store->AddCommandImage(2, kPrintCommand, kImageSetToolBar);
        store->AddCommandImage(1, kOptionsCommand, kImageSetGeneral);
        store->ShareCommandImageByName(kOptionsCommand, kToolsCaption);
    }
};

// The popup of the tests: an icon and an accelerator, a checked item without icon, a disabled
// item with icon, a separator, a submenu with an icon by its caption, and a long text.
struct CTestMenu {
    CTestMenu()
    {
        sub = CreatePopupMenu();
        AppendMenuA(sub, MF_STRING, kOptionsCommand, "&Options...");
        popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, kOpenCommand, "&Open\tCtrl+O");
        AppendMenuA(popup, MF_STRING | MF_CHECKED, kStatusBarCommand, "Status &Bar");
        AppendMenuA(popup, MF_STRING | MF_GRAYED, kPrintCommand, "&Print...");
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), kToolsCaption);
        AppendMenuA(popup, MF_STRING, kLongCommand, longText.c_str());
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        info.dwItemData = kOwnersData;
        SetMenuItemInfoA(popup, kOpenCommand, FALSE, &info);
    }
    ~CTestMenu() { DestroyMenu(popup); }
    CTestMenu(const CTestMenu&) = delete;
    CTestMenu& operator=(const CTestMenu&) = delete;

    HMENU popup = nullptr;
    HMENU sub = nullptr;  // owned by the popup
    std::string longText = "A favorite with a long title: " + std::string(150, 'x') + " end";
};

struct CItemState {
    UINT type = 0;
    ULONG_PTR data = 0;
    HMENU sub = nullptr;
    std::string text;
};

CItemState ReadItem(HMENU menu, int position)
{
    CItemState state;
    char text[512] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    GetMenuItemInfoA(menu, position, TRUE, &info);
    state.type = info.fType;
    state.data = info.dwItemData;
    state.sub = info.hSubMenu;
    state.text = (info.fType & MFT_OWNERDRAW) ? std::string() : std::string(text);
    return state;
}

// The test's own CBT hook, older than the menu's: it only sees menu windows when the newer hook
// passes them on.
int g_olderHookMenuWindows = 0;
LRESULT CALLBACK OlderCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && IsMenuWindow(reinterpret_cast<HWND>(wParam)))
        ++g_olderHookMenuWindows;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct CShadowStrip {
    HWND window;
    RECT rect;
};
std::vector<CShadowStrip> ShadowStripsOf(HWND owner)
{
    struct Search {
        HWND owner;
        std::vector<CShadowStrip> found;
    } search = {owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            char name[16] = {};
            GetClassNameA(window, name, sizeof(name));
            if (std::string(name) == "_ShadWnd" && GetWindow(window, GW_OWNER) == s->owner) {
                RECT rect = {};
                GetWindowRect(window, &rect);
                s->found.push_back({window, rect});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The strips are made where the system itself draws no shadow: the fake answers as a system
// without the setting would.
class CStripShadows : public IDropShadowEnvironment {
public:
    bool IsDropShadowEnabled() override { return false; }
    bool IsWinXPOrLater() override { return false; }
    bool IsFullWindowDragEnabled() override { return false; }
    bool IsSkinActive() override { return false; }
    bool SetLayeredAlpha(HWND window, BYTE alpha) override
    {
        return SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
    }
};


class IconMenuTrack : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(0, 0);  // no item under the pointer
        ASSERT_TRUE(m_owner.Create(nullptr, RECT{40, 40, 340, 240}, "menu owner"));
        m_owner.m_menu.Attach(m_owner.m_hWnd);
    }
    void TearDown() override
    {
        m_owner.m_menu.Detach();
        if (m_owner.m_hWnd)
            m_owner.DestroyWindow();
    }
    // Tracks the popup at (x, y); the steps run one per timer tick while it is open, and the
    // last one must end the menu.
    UINT Track(HMENU popup, int x, int y, std::vector<std::function<void()>> steps)
    {
        m_owner.m_steps = std::move(steps);
        m_owner.SetTimer(kStepTimer, 50);
        return m_owner.m_menu.TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_VERPOSANIMATION,
                                             x, y);
    }

    CStripShadows m_shadows;
    CScopedDropShadowEnvironment m_shadowScope{m_shadows};
    CTestIcons m_icons;
    CTestMenu m_menu;
    CMenuOwner m_owner;
};

}  // namespace

TEST_F(IconMenuTrack, ItemsAreOwnerDrawnWhileOpenAndGivenBackWholeAfterwards)
{
    const CItemState submenuBefore = ReadItem(m_menu.popup, 4);
    ASSERT_NE(submenuBefore.sub, nullptr);
    g_olderHookMenuWindows = 0;
    HHOOK older = SetWindowsHookExA(WH_CBT, OlderCbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(older, nullptr);

    bool sawOpen = false;
    HWND menuWindow = nullptr;
    std::vector<CShadowStrip> strips;
    RECT menuRect = {};
    UINT nested = 99;
    size_t subWindows = 0, records = 0, subStrips = 0;
    bool subOwnerDrawn = false;
    const UINT chosen = Track(m_menu.popup, 100, 100, {[&] {
        const std::deque<HWND>& windows = m_owner.m_menu.GetOpenMenuWindows();
        sawOpen = !windows.empty();
        if (sawOpen) {
            menuWindow = windows.front();
            GetWindowRect(menuWindow, &menuRect);
            strips = ShadowStripsOf(menuWindow);
        }
        for (int position = 0; position < GetMenuItemCount(m_menu.popup); ++position)
            EXPECT_TRUE(ReadItem(m_menu.popup, position).type & MFT_OWNERDRAW) << position;
        EXPECT_EQ(m_owner.m_menu.GetRecordCount(), 6u);
        nested = m_owner.m_menu.TrackPopupMenu(m_menu.popup, TPM_RETURNCMD, 0, 0);
        // The mnemonic opens the submenu.
        PostMessageA(menuWindow, WM_KEYDOWN, 'T', 0);
    },
    [&] {
        // The submenu was converted as it opened and its window got a frame of its own.
        subWindows = m_owner.m_menu.GetOpenMenuWindows().size();
        subOwnerDrawn = (ReadItem(m_menu.sub, 0).type & MFT_OWNERDRAW) != 0;
        records = m_owner.m_menu.GetRecordCount();
        if (subWindows == 2)
            subStrips = ShadowStripsOf(m_owner.m_menu.GetOpenMenuWindows().back()).size();
        EndMenu();
    }});
    UnhookWindowsHookEx(older);

    EXPECT_EQ(chosen, 0u);
    EXPECT_EQ(nested, 0u);  // refused while the first track runs
    ASSERT_TRUE(sawOpen);
    EXPECT_EQ(subWindows, 2u);
    EXPECT_TRUE(subOwnerDrawn);
    EXPECT_EQ(records, 7u);
    EXPECT_EQ(subStrips, 2u);
    EXPECT_EQ(g_olderHookMenuWindows, 2);  // the menu's hook passed each creation on
    EXPECT_FALSE(IsWindow(menuWindow));

    // The menu window had its flat frame and the two 3-pixel strips beside it.
    ASSERT_EQ(strips.size(), 2u);
    RECT right = {}, bottom = {};
    ComputeShadowRects(menuRect, kMenuDropShadowThickness, right, bottom);
    for (const CShadowStrip& strip : strips) {
        const bool isRight = EqualRect(&strip.rect, &right) != FALSE;
        const bool isBottom = EqualRect(&strip.rect, &bottom) != FALSE;
        EXPECT_TRUE(isRight || isBottom) << strip.rect.left << "," << strip.rect.top << "-" << strip.rect.right
                                         << "," << strip.rect.bottom;
    }
    EXPECT_TRUE(m_owner.m_menu.GetOpenMenuWindows().empty());
    EXPECT_FALSE(m_owner.m_menu.IsTracking());

    // Every item is what it was: types, texts at their full length, the owner's data, submenu.
    EXPECT_EQ(m_owner.m_menu.GetRecordCount(), 0u);
    const CItemState open = ReadItem(m_menu.popup, 0);
    EXPECT_EQ(open.type, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(open.text, "&Open\tCtrl+O");
    EXPECT_EQ(open.data, kOwnersData);
    EXPECT_EQ(ReadItem(m_menu.popup, 3).type, static_cast<UINT>(MFT_SEPARATOR));
    const CItemState submenu = ReadItem(m_menu.popup, 4);
    EXPECT_EQ(submenu.sub, submenuBefore.sub);
    EXPECT_EQ(submenu.text, kToolsCaption);
    EXPECT_TRUE(IsMenu(submenu.sub));
    EXPECT_EQ(ReadItem(m_menu.sub, 0).type, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(ReadItem(m_menu.sub, 0).text, "&Options...");
    EXPECT_EQ(ReadItem(m_menu.popup, 5).text, m_menu.longText);
    EXPECT_EQ(GetMenuState(m_menu.popup, kPrintCommand, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(m_menu.popup, kStatusBarCommand, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
}

TEST_F(IconMenuTrack, ScreenshotOfAnOpenPopupWithIconsCheckDisabledItemSubmenuAndShadow)
{
    RECT shot = {};
    COLORREF iconPixel = 0, columnPixel = 0, textAreaPixel = 0, borderPixel = 0;
    std::string path;
    bool written = false, subWritten = false;
    COLORREF colors[kMenuColorCount] = {};
    for (int index = 0; index < kMenuColorCount; ++index)
        colors[index] = GetMenuStyleManager()->GetColor(index);
    DeleteMenu(m_menu.popup, kLongCommand, MF_BYCOMMAND);  // wider than the screen
    Track(m_menu.popup, 120, 90,
          {[&] {
               // Down twice: the checked item is selected in the picture.
               HWND menuWindow = m_owner.m_menu.GetOpenMenuWindows().empty()
                                     ? nullptr
                                     : m_owner.m_menu.GetOpenMenuWindows().front();
               PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
               PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
           },
           [&] {
               HWND menuWindow = m_owner.m_menu.GetOpenMenuWindows().empty()
                                     ? nullptr
                                     : m_owner.m_menu.GetOpenMenuWindows().front();
               if (menuWindow) {
                   RedrawWindow(menuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
                   for (const CShadowStrip& strip : ShadowStripsOf(menuWindow))
                       RedrawWindow(strip.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                   GdiFlush();
                   RECT menuRect = {};
                   GetWindowRect(menuWindow, &menuRect);
                   RECT item = {};
                   GetMenuItemRect(nullptr, m_menu.popup, 0, &item);
                   HDC screen = GetDC(nullptr);
                   const RECT cell = LayoutMenuItem(EMenuLook::kOffice, item).cell;
                   const POINT icon = IconPosition(cell);
                   iconPixel = GetPixel(screen, icon.x + 8, icon.y + 8);
                   columnPixel = GetPixel(screen, cell.left + 1, cell.top + 1);
                   textAreaPixel = GetPixel(screen, item.right - 4, (item.top + item.bottom) / 2);
                   borderPixel = GetPixel(screen, menuRect.left, (menuRect.top + menuRect.bottom) / 2);
                   ReleaseDC(nullptr, screen);
                   shot = {menuRect.left - 20, menuRect.top - 20, menuRect.right + 20, menuRect.bottom + 20};
                   written = kivo_test::WriteScreenRect(shot, "icon-menu.bmp", path);
                   PostMessageA(menuWindow, WM_KEYDOWN, 'T', 0);
               } else {
                   EndMenu();
               }
           },
           [&] {
               // The submenu beside it, with its own frame and shadow.
               const std::deque<HWND>& windows = m_owner.m_menu.GetOpenMenuWindows();
               if (windows.size() == 2) {
                   RedrawWindow(windows.back(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                   GdiFlush();
                   RECT first = {}, second = {}, both = {};
                   GetWindowRect(windows.front(), &first);
                   GetWindowRect(windows.back(), &second);
                   UnionRect(&both, &first, &second);
                   InflateRect(&both, 20, 20);
                   std::string subPath;
                   subWritten = kivo_test::WriteScreenRect(both, "icon-menu-submenu.bmp", subPath);
               }
               EndMenu();
           }});
    EXPECT_TRUE(subWritten);
    EXPECT_TRUE(written) << path << " " << shot.left << "," << shot.top << "-" << shot.right << "," << shot.bottom;
    EXPECT_EQ(Hex(iconPixel), Hex(CTestIcons::kOpenColor));
    EXPECT_EQ(Hex(columnPixel), Hex(colors[kMenuColorIconColumn]));
    EXPECT_EQ(Hex(textAreaPixel), Hex(colors[kMenuColorBackground]));
    EXPECT_EQ(Hex(borderPixel), Hex(colors[kMenuColorBorder]));
}

TEST_F(IconMenuTrack, DrawingFollowsSelectionAndLeavesForeignItemsAlone)
{
    m_owner.m_menu.ConvertPopup(m_menu.popup);
    ASSERT_EQ(m_owner.m_menu.GetRecordCount(), 6u);
    const CItemState open = ReadItem(m_menu.popup, 0);
    const CItemState separator = ReadItem(m_menu.popup, 3);

    // Measuring: the separator 5 high in the office look; an unknown item is not answered.
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = separator.data;
    ASSERT_TRUE(m_owner.m_menu.MeasureItem(measure));
    EXPECT_EQ(measure.itemHeight, 5u);
    measure.itemData = kOwnersData;
    EXPECT_FALSE(m_owner.m_menu.MeasureItem(measure));

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    struct Case {
        UINT state;
        int x, y;
        int expectedColor;
    };
    const Case cases[] = {
        {0, 1, 1, kMenuColorIconColumn},
        {0, 150, 15, kMenuColorBackground},
        {ODS_SELECTED, 0, 0, kMenuColorSelectionEdge},
        {ODS_SELECTED, 150, 15, kMenuColorSelection},
        {ODS_SELECTED | ODS_GRAYED, 150, 15, kMenuColorBackground},
    };
    for (const Case& c : cases) {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = kOpenCommand;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = c.state;
        draw.hDC = dc;
        draw.rcItem = {0, 0, 200, 30};
        draw.itemData = open.data;
        ASSERT_TRUE(m_owner.m_menu.DrawItem(draw));
        EXPECT_EQ(Hex(GetPixel(dc, c.x, c.y)), Hex(GetMenuStyleManager()->GetColor(c.expectedColor)))
            << c.state << " at " << c.x << "," << c.y;
    }
    DRAWITEMSTRUCT foreign = {};
    foreign.CtlType = ODT_MENU;
    foreign.hDC = dc;
    foreign.itemData = kOwnersData;
    EXPECT_FALSE(m_owner.m_menu.DrawItem(foreign));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    m_owner.m_menu.RestoreOpenPopups();
    EXPECT_EQ(m_owner.m_menu.GetRecordCount(), 0u);
    EXPECT_EQ(ReadItem(m_menu.popup, 0).data, kOwnersData);
}

TEST_F(IconMenuTrack, MenuSelectGoesToADifferentTopLevelWindowOnly)
{
    LRESULT result = 5;
    // The owner is its own top-level window: the message stays with the owner's map.
    EXPECT_FALSE(m_owner.m_menu.ProcessWindowMessage(m_owner.m_hWnd, WM_MENUSELECT, 0, 0, result));

    CMenuOwner child;
    ASSERT_TRUE(child.Create(m_owner.m_hWnd, RECT{0, 0, 50, 50}, "child", WS_CHILD | WS_VISIBLE, 0));
    child.m_menu.Attach(child.m_hWnd);
    const int before = m_owner.m_menuSelects;
    EXPECT_TRUE(child.m_menu.ProcessWindowMessage(child.m_hWnd, WM_MENUSELECT, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_owner.m_menuSelects, before + 1);
    child.m_menu.Detach();
    child.DestroyWindow();
}

TEST(MenuStyleManager, SettingChangesReachEachListedWindowOnce)
{
    CMenuOwner window;
    ASSERT_TRUE(window.Create(nullptr, RECT{0, 0, 10, 10}, "listed", WS_POPUP, 0));
    CMenuStyleManager* style = GetMenuStyleManager();
    ASSERT_NE(style, nullptr);
    style->AddWindow(window.m_hWnd);
    style->AddWindow(window.m_hWnd);  // listed once, told at each registration
    EXPECT_EQ(window.m_settingChanges, 2);
    ASSERT_NE(style->GetWatcherWindow(), nullptr);
    SendMessageA(style->GetWatcherWindow(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(window.m_settingChanges, 3);
    EXPECT_NE(style->GetMenuFont(), nullptr);
    EXPECT_GT(style->GetColorDepth(), 0);
    style->RemoveWindow(window.m_hWnd);
    SendMessageA(style->GetWatcherWindow(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(window.m_settingChanges, 3);
    window.DestroyWindow();
}

TEST_F(IconMenuTrack, ClassicLooksFillTheSelectionAndDrawTheSystemCheckMark)
{
    // Outside a track the owner's WM_INITMENUPOPUP converts nothing.
    LRESULT result = 0;
    EXPECT_FALSE(m_owner.m_menu.ProcessWindowMessage(m_owner.m_hWnd, WM_INITMENUPOPUP,
                                                     reinterpret_cast<WPARAM>(m_menu.popup), 0, result));
    EXPECT_EQ(m_owner.m_menu.GetRecordCount(), 0u);

    CIconMenu2 classic(false);
    classic.ConvertPopup(m_menu.popup);
    const bool flat = GetMenuStyleManager()->IsFlatMenus();
    EXPECT_EQ(classic.GetLook(), flat ? EMenuLook::kClassicFlat : EMenuLook::kClassic3D);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = kStatusBarCommand;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hDC = dc;
    draw.rcItem = {0, 0, 200, 30};
    draw.itemData = ReadItem(m_menu.popup, 1).data;  // checked, without an icon

    draw.itemState = ODS_SELECTED | ODS_CHECKED;
    ASSERT_TRUE(classic.DrawItem(draw));
    EXPECT_EQ(Hex(GetPixel(dc, 150, 15)), Hex(GetSysColor(flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT)));
    draw.itemState = ODS_CHECKED;
    ASSERT_TRUE(classic.DrawItem(draw));
    EXPECT_EQ(Hex(GetPixel(dc, 150, 15)), Hex(GetSysColor(COLOR_MENU)));
    // The check mark (a Marlett glyph in Wine) is drawn in the menu text colour inside the cell.
    const RECT cell = LayoutMenuItem(classic.GetLook(), draw.rcItem).cell;
    int markPixels = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x)
            markPixels += GetPixel(dc, x, y) == GetSysColor(COLOR_MENUTEXT);
    EXPECT_GT(markPixels, 4);

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    classic.RestoreOpenPopups();
    EXPECT_EQ(ReadItem(m_menu.popup, 1).type, static_cast<UINT>(MFT_STRING));
}
