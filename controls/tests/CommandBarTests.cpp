// The flat command bar in a real MDI frame under Wine: a rebar with the bar, a toolbar too narrow
// for its buttons and a titled band, and an MDI client with two children. Keys and mouse moves
// are real input messages; what happens while a popup's menu loop runs is driven by a thread
// timer that waits for each state before it takes the next step. Pictures: the open popup joined
// to its button (command-bar-popup.bmp), the bands with grippers and the chevron
// (command-bar-rebar.bmp) and the maximised child's icon and caption buttons
// (command-bar-mdi.bmp).
#include "controls/CommandBarXP.h"
#include "controls/CommandImageManager.h"
#include "controls/DropShadow.h"
#include "controls/DynamicUpdateUI.h"
#include "controls/FlatMenuFrame.h"
#include "controls/ToolBarFlatLook.h"
#include "controls/ToolBarHelpers.h"
#include "platform/AtlFrame.h"

#include "controls/tests/Screenshot.h"
#include "controls/tests/SolidCommandIcons.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kNewCommand = 20150;
constexpr UINT kOpenCommand = 20151;
constexpr UINT kRecentOne = 20152;
constexpr UINT kExitCommand = 20153;
constexpr UINT kCutCommand = 20154;
constexpr UINT kCopyCommand = 20155;
constexpr UINT kPasteCommand = 20156;
constexpr UINT kWrapCommand = 20157;
constexpr UINT kStatusCommand = 20158;
constexpr UINT kAboutCommand = 20159;
constexpr UINT kOfflineCommand = 20160;
constexpr UINT kFirstToolCommand = 20170;
constexpr int kToolButtons = 10;
// Band ids below the default ones, so that each band goes to the end of the rebar.
constexpr UINT kCommandBarBand = 101;
constexpr UINT kToolBarBand = 102;
constexpr UINT kLinksBand = 103;
constexpr DWORD kDeadline = 10000;

// The frame's menu: File (icons, a disabled item, a submenu), Edit (a checked item, a
// separator), View and Help.
struct CTestMenu {
    CTestMenu()
    {
        HMENU recent = CreatePopupMenu();
        AppendMenuA(recent, MF_STRING, kRecentOne, "&1 start page");
        HMENU file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, kNewCommand, "&New Tab\tCtrl+T");
        AppendMenuA(file, MF_STRING, kOpenCommand, "&Open...");
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent Pages");
        AppendMenuA(file, MF_STRING | MF_CHECKED, kOfflineCommand, "Work Off&line");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_STRING | MF_GRAYED, kExitCommand, "E&xit");
        HMENU edit = CreatePopupMenu();
        AppendMenuA(edit, MF_STRING, kCutCommand, "Cu&t\tCtrl+X");
        AppendMenuA(edit, MF_STRING, kCopyCommand, "&Copy\tCtrl+C");
        AppendMenuA(edit, MF_STRING | MF_GRAYED, kPasteCommand, "&Paste\tCtrl+V");
        AppendMenuA(edit, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(edit, MF_STRING | MF_CHECKED, kWrapCommand, "Word &Wrap");
        HMENU view = CreatePopupMenu();
        AppendMenuA(view, MF_STRING | MF_CHECKED, kStatusCommand, "&Status Bar");
        HMENU help = CreatePopupMenu();
        AppendMenuA(help, MF_STRING, kAboutCommand, "&About");
        bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    }
    ~CTestMenu() { DestroyMenu(bar); }
    CTestMenu(const CTestMenu&) = delete;
    CTestMenu& operator=(const CTestMenu&) = delete;
    HMENU bar = nullptr;
};

// Command icons: solid squares, normal and greyed.
class CTestIcons : public controls_test::CSolidCommandIcons {
public:
    CTestIcons() : CSolidCommandIcons({RGB(220, 40, 40), RGB(40, 160, 40), RGB(40, 40, 220), RGB(230, 160, 20)})
    {
        CCommandImageManager* store = GetCommandImageManager();
        store->AddCommandImage(0, kNewCommand, kImageSetToolBar);
        store->AddCommandImage(1, kOpenCommand, kImageSetToolBar);
        store->AddCommandImage(2, kExitCommand, kImageSetToolBar);
        store->AddCommandImage(3, kCutCommand, kImageSetToolBar);
        store->AddCommandImage(1, kCopyCommand, kImageSetToolBar);
        store->AddCommandImage(2, kPasteCommand, kImageSetToolBar);
        store->ShareCommandImageByName(kOpenCommand, "&Recent Pages");
    }
};

class CTestChild : public CMDIChildWindowImpl<CTestChild> {
public:
    DECLARE_FRAME_WND_CLASS("KivoCmdBarTestChild", 0)
    BEGIN_MSG_MAP(CTestChild)
        CHAIN_MSG_MAP(CMDIChildWindowImpl<CTestChild>)
    END_MSG_MAP()
    void OnFinalMessage(HWND) override { delete this; }
};

class CTestFrame : public CMDIFrameWindowImpl<CTestFrame> {
public:
    DECLARE_FRAME_WND_CLASS("KivoCmdBarTestFrame", 0)

    CCommandBarXP m_bar;
    HWND m_toolBar = nullptr;
    HWND m_links = nullptr;
    HMENU m_menu = nullptr; // not owned: the test's menu
    std::vector<UINT> m_commands;
    CDynamicUpdateUI m_updateUI;

    BEGIN_MSG_MAP(CTestFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        CHAIN_MSG_MAP_MEMBER(m_updateUI)
        CHAIN_MSG_MAP(CMDIFrameWindowImpl<CTestFrame>)
    END_MSG_MAP()

    HWND ReBar() const { return m_hWndToolBar; }

    HWND AddChild(const char* title)
    {
        auto* child = new CTestChild;
        HWND window = child->Create(m_hWndMDIClient, nullptr, title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW);
        if (!window)
            delete child;
        return window;
    }

private:
    HWND MakeToolBar(int buttons, DWORD extraStyle)
    {
        HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN | extraStyle,
                                   0, 0, 200, 24, ReBar(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
        SendMessageA(bar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
        std::vector<TBBUTTON> table;
        for (int i = 0; i < buttons; ++i) {
            TBBUTTON button = {};
            button.iBitmap = i % 12;
            button.idCommand = static_cast<int>(kFirstToolCommand + i);
            button.fsState = static_cast<BYTE>(i == 5 ? 0 : TBSTATE_ENABLED | (i == 3 ? TBSTATE_CHECKED : 0));
            button.fsStyle = static_cast<BYTE>(i == 1 ? BTNS_DROPDOWN : i == 3 ? BTNS_CHECK : BTNS_BUTTON);
            button.iString = -1;
            table.push_back(button);
        }
        SendMessageA(bar, TB_ADDBUTTONSA, table.size(), reinterpret_cast<LPARAM>(table.data()));
        SendMessageA(bar, TB_AUTOSIZE, 0, 0);
        return bar;
    }

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_hWndToolBar = CreateSimpleReBarCtrl(m_hWnd, ATL_SIMPLE_REBAR_NOBORDER_STYLE);
        if (!m_bar.Create(ReBar()))
            return -1;
        m_bar.AttachMenu(m_menu);
        AddReBarBand(ReBar(), m_bar, kCommandBarBand, nullptr, nullptr, false, 0, false);
        m_bar.UpdateBandWidth();
        m_toolBar = MakeToolBar(kToolButtons, 0);
        AddReBarBand(ReBar(), m_toolBar, kToolBarBand, nullptr, nullptr, true, 90, false);
        SizeBandToToolBar(m_toolBar);
        m_links = MakeToolBar(3, TBSTYLE_LIST);
        AddReBarBand(ReBar(), m_links, kLinksBand, "Links", nullptr, false, 0, false);
        m_bar.AddToolBar(m_toolBar);
        m_bar.AddToolBar(m_links);
        CreateMDIClient();
        m_bar.SetMDIClient(m_hWndMDIClient);
        handled = FALSE;
        return 0;
    }

    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        if (lParam == 0 && LOWORD(wParam) >= kNewCommand && LOWORD(wParam) < kFirstToolCommand + kToolButtons)
            m_commands.push_back(LOWORD(wParam));
        handled = FALSE;
        return 0;
    }
};

// Shadow strips of their own for the menu windows: Wine draws no class shadows.
class CStripShadows : public IDropShadowEnvironment {
public:
    bool IsDropShadowEnabled() override { return false; }
    bool IsWinXPOrLater() override { return false; }
    bool IsFullWindowDragEnabled() override { return false; }
    bool IsSkinActive() override { return false; }
    bool SetLayeredAlpha(HWND window, BYTE alpha) override { return SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA); }
};

// The frame of a test, shown at the screen's top left with two MDI children.
struct CFrameFixture {
    CStripShadows shadows;
    CScopedDropShadowEnvironment shadowScope{shadows};
    CTestIcons icons;
    CTestMenu menu;
    CTestFrame frame;
    HWND first = nullptr;
    HWND second = nullptr;

    CFrameFixture()
    {
        frame.m_menu = menu.bar;
        RECT rect = {10, 10, 530, 330};
        frame.Create(nullptr, rect, "Command bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
        if (!frame.m_hWnd)
            return;
        // Above whatever other tests left on the display, for the pictures read from the screen.
        SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        first = frame.AddChild("First page");
        second = frame.AddChild("Second page");
        SetForegroundWindow(frame);
        frame.UpdateLayout();
        SetFocus(frame);
        Pump();
    }
    ~CFrameFixture()
    {
        if (frame.m_hWnd)
            frame.DestroyWindow();
        Pump();
    }
    CFrameFixture(const CFrameFixture&) = delete;
    CFrameFixture& operator=(const CFrameFixture&) = delete;

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Pumps until the condition holds or the deadline passes.
    static bool PumpUntil(const std::function<bool()>& condition)
    {
        const DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > kDeadline)
                return false;
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
        return true;
    }

    HWND KeyTarget() const
    {
        HWND focus = GetFocus();
        return focus ? focus : frame.m_hWnd;
    }
    // A key as the keyboard gives it: down and up, system keys while Alt is held.
    void Key(UINT key, bool alt = false) const
    {
        const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
        const LPARAM up = down | (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
        const bool system = alt || key == VK_F10 || key == VK_MENU;
        PostMessageA(KeyTarget(), system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
        PostMessageA(KeyTarget(), system ? WM_SYSKEYUP : WM_KEYUP, key, up);
    }
    // Alt and a letter, released in the keyboard's order.
    void AltKey(UINT key) const
    {
        const LPARAM alt = 1 | (static_cast<LPARAM>(MapVirtualKeyA(VK_MENU, MAPVK_VK_TO_VSC)) << 16) | (1 << 29);
        PostMessageA(KeyTarget(), WM_SYSKEYDOWN, VK_MENU, alt);
        const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16) | (1 << 29);
        PostMessageA(KeyTarget(), WM_SYSKEYDOWN, key, down);
        PostMessageA(KeyTarget(), WM_SYSKEYUP, key, down | (static_cast<LPARAM>(3) << 30));
        PostMessageA(KeyTarget(), WM_KEYUP, VK_MENU, (alt & ~(1 << 29)) | (static_cast<LPARAM>(3) << 30));
    }

    RECT ButtonScreenRect(int index) const
    {
        RECT rect = {};
        SendMessageA(frame.m_bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(frame.m_bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // The mouse moved to a screen point, as the input system reports it.
    static void MoveMouse(POINT to)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(to.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(to.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(input));
    }
    static void Click(bool down)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
    }
    static POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

    HWND OpenMenuWindow() const
    {
        const auto& windows = frame.m_bar.GetMenuWindows();
        return windows.empty() ? nullptr : windows.front();
    }
    bool PopupOpen(int item) const
    {
        HWND window = OpenMenuWindow();
        return frame.m_bar.GetTrackingItem() == item && window && IsWindowVisible(window);
    }
};

// Steps run from a thread timer, so that they also run inside a popup's menu loop: each waits
// for its condition, then acts.
class CScript {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
        const char* name;
    };
    explicit CScript(std::vector<Step> steps) : m_steps(std::move(steps))
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 15, Tick);
    }
    ~CScript()
    {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    bool Run()
    {
        return CFrameFixture::PumpUntil([this] { return m_next >= m_steps.size(); });
    }
    const char* Pending() const { return m_next < m_steps.size() ? m_steps[m_next].name : "none"; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CScript* script = s_current;
        if (!script || script->m_busy || script->m_next >= script->m_steps.size())
            return;
        script->m_busy = true;
        Step& step = script->m_steps[script->m_next];
        if (!step.ready || step.ready()) {
            ++script->m_next;
            if (step.act)
                step.act();
        }
        script->m_busy = false;
    }

    static inline CScript* s_current = nullptr;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    UINT_PTR m_timer = 0;
};

int g_olderHookMenuWindows = 0;
LRESULT CALLBACK OlderCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && IsMenuWindow(reinterpret_cast<HWND>(wParam)))
        ++g_olderHookMenuWindows;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(CommandBarPieces, MnemonicsAndTheFlatSchemeFollowTheirRules)
{
    struct MnemonicCase {
        const char* text;
        char mnemonic;
    };
    const MnemonicCase mnemonics[] = {
        {"&File", 'f'}, {"E&xit", 'x'}, {"Fish && &Chips", 'c'}, {"&&Plain", 0}, {"None", 0}, {"End&", 0}, {"", 0},
    };
    for (const MnemonicCase& c : mnemonics)
        EXPECT_EQ(AtlMenuMnemonic(c.text), c.mnemonic) << c.text;
    EXPECT_EQ(AtlMenuMnemonic(nullptr), 0);

    CMenuSystemColors system;
    system.window = RGB(255, 255, 255);
    system.windowText = RGB(0, 0, 0);
    system.buttonFace = RGB(200, 200, 200);
    system.highlight = RGB(0, 100, 200);
    system.grayText = RGB(128, 128, 128);
    system.menuText = RGB(1, 2, 3);
    system.buttonText = RGB(4, 5, 6);
    struct SchemeCase {
        int depth;
        int entry;
        COLORREF expected;
    };
    const SchemeCase cases[] = {
        {24, kFlatWindowFrame, RGB(9, 9, 9)},
        {24, kFlatMenuBack, RGB(248, 248, 248)},
        {24, kFlatFace, RGB(211, 211, 211)},
        {24, kFlatHotFrame, RGB(0, 100, 200)},
        {24, kFlatHotFill, RGB(178, 208, 238)},
        {24, kFlatHotFillLight, RGB(153, 193, 233)},
        {24, kFlatPressedFill, RGB(143, 167, 191)},  // entry 5 toward black by 20
        {24, kFlatGrayText, RGB(128, 128, 128)},
        {24, kFlatMenuText, RGB(1, 2, 3)},
        {24, kFlatButtonText, RGB(4, 5, 6)},
        {24, kFlatHotText, RGB(1, 2, 3)},
        {24, kFlatIconShadow, RGB(130, 130, 130)},
        {8, kFlatMenuBack, RGB(255, 255, 255)},
        {8, kFlatFace, RGB(200, 200, 200)},
        {8, kFlatHotFill, RGB(255, 255, 255)},
        {8, kFlatPressedFill, RGB(0, 100, 200)},
        {8, kFlatIconShadow, RGB(128, 128, 128)},
    };
    for (const SchemeCase& c : cases) {
        const CFlatColorScheme scheme = ComputeFlatColorScheme(system, RGB(9, 9, 9), c.depth);
        EXPECT_EQ(scheme[c.entry], c.expected) << "depth " << c.depth << " entry " << c.entry;
    }
    EXPECT_EQ(ComputeFlatColorScheme(system, 0, 24)[0], 0u);
    EXPECT_EQ(ComputeFlatColorScheme(system, 0, 24)[kFlatColorCount], 0u);
}

TEST(CommandBar, TheMenuItemsBecomeButtonsAndTheBandFollowsThem)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    EXPECT_EQ(GetMenu(fixture.frame), nullptr);
    ASSERT_EQ(bar.GetItemCount(), 4);
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(bar, CBRM_GETCMDBAR, 0, 0)), bar.m_hWnd);
    EXPECT_EQ(bar.FindMnemonic('E'), 1);
    EXPECT_EQ(bar.FindMnemonic('q'), -1);

    RECT last = {};
    SendMessageA(bar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&last));
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_IDEALSIZE | RBBIM_STYLE;
    const int index = static_cast<int>(SendMessageA(fixture.frame.ReBar(), RB_IDTOINDEX, kCommandBarBand, 0));
    ASSERT_GE(index, 0);
    SendMessageA(fixture.frame.ReBar(), RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    EXPECT_EQ(static_cast<int>(band.cxIdeal), last.right);
    EXPECT_TRUE(band.fStyle & RBBS_USECHEVRON);
}

TEST(CommandBar, KeyboardAccessOpensRunsAndLeaves)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    auto& commands = fixture.frame.m_commands;

    // Alt alone makes the bar hot at its first item; Right moves on, Down opens, Return runs the
    // popup's first command.
    fixture.Key(VK_MENU);
    ASSERT_TRUE(fixture.PumpUntil([&] { return bar.IsKeyboardMode(); }));
    EXPECT_EQ(bar.GetHotItem(), 0);
    EXPECT_TRUE(bar.IsShowingCues());
    fixture.Key(VK_RIGHT);
    ASSERT_TRUE(fixture.PumpUntil([&] { return bar.GetHotItem() == 1; }));
    {
        CScript script({
            {nullptr, [&] { fixture.Key(VK_DOWN); }, "down"},
            {[&] { return fixture.PopupOpen(1); }, [&] { fixture.Key(VK_RETURN); }, "return in the Edit popup"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
        ASSERT_TRUE(fixture.PumpUntil([&] { return !commands.empty(); }));
    }
    EXPECT_EQ(commands, std::vector<UINT>{kCutCommand});
    EXPECT_FALSE(bar.IsKeyboardMode());
    EXPECT_EQ(bar.GetTrackingItem(), -1);

    // F10, Down: the popup; Escape closes it and leaves the bar hot; Escape again leaves the bar.
    commands.clear();
    {
        CScript script({
            {nullptr, [&] { fixture.Key(VK_F10); }, "F10"},
            {[&] { return bar.IsKeyboardMode(); }, [&] { fixture.Key(VK_DOWN); }, "down"},
            {[&] { return fixture.PopupOpen(0); }, [&] { fixture.Key(VK_ESCAPE); }, "escape in the popup"},
            {[&] { return bar.GetTrackingItem() == -1 && bar.IsKeyboardMode(); }, nullptr, "back on the bar"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_EQ(bar.GetHotItem(), 0);
    fixture.Key(VK_ESCAPE);
    EXPECT_TRUE(fixture.PumpUntil([&] { return !bar.IsKeyboardMode(); }));
    EXPECT_EQ(bar.GetHotItem(), -1);

    // Alt+V opens the View popup by its mnemonic; Left goes over to Edit; Escape, Escape.
    {
        CScript script({
            {nullptr, [&] { fixture.AltKey('V'); }, "Alt+V"},
            {[&] { return fixture.PopupOpen(2); }, [&] { fixture.Key(VK_LEFT); }, "left in the View popup"},
            {[&] { return fixture.PopupOpen(1); }, [&] { fixture.Key(VK_ESCAPE); }, "escape in the Edit popup"},
            {[&] { return bar.GetTrackingItem() == -1 && bar.IsKeyboardMode(); },
             [&] { fixture.Key(VK_ESCAPE); }, "escape on the bar"},
            {[&] { return !bar.IsKeyboardMode(); }, nullptr, "bar left"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_TRUE(commands.empty());

    // Inside an owner-drawn popup a letter chooses the item whose caption has it as mnemonic.
    {
        CScript script({
            {nullptr, [&] { fixture.AltKey('E'); }, "Alt+E"},
            {[&] { return fixture.PopupOpen(1); }, [&] { fixture.Key('C'); }, "C in the Edit popup"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
        ASSERT_TRUE(fixture.PumpUntil([&] { return !commands.empty(); }));
    }
    EXPECT_EQ(commands, std::vector<UINT>{kCopyCommand});
    // The popups were given back as plain items.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(GetSubMenu(fixture.menu.bar, 1), 0, TRUE, &info);
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(bar.GetFlags() & (CCommandBarXP::kBusyTracking | CCommandBarXP::kItemsConverted), 0u);
}

TEST(CommandBar, MouseMovesCarryTheOpenPopupFromItemToItem)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    RECT joinedMenu = {}, button = {};
    HWND firstWindow = nullptr;
    UINT busyAnswer = 1;
    {
        CScript script({
            {nullptr,
             [&] {
                 fixture.MoveMouse(fixture.Centre(fixture.ButtonScreenRect(0)));
                 fixture.Click(true);
                 fixture.Click(false);
             },
             "click File"},
            {[&] { return fixture.PopupOpen(0); },
             [&] {
                 firstWindow = fixture.OpenMenuWindow();
                 // A second track while the bar is busy is refused.
                 HMENU other = CreatePopupMenu();
                 AppendMenuA(other, MF_STRING, kAboutCommand, "x");
                 busyAnswer = bar.DoTrackPopupMenu(other, TPM_RETURNCMD, 0, 0, nullptr);
                 DestroyMenu(other);
                 fixture.MoveMouse(fixture.Centre(fixture.ButtonScreenRect(2)));
             },
             "move to View"},
            {[&] { return fixture.PopupOpen(2) && fixture.OpenMenuWindow() != firstWindow; },
             [&] {
                 GetWindowRect(fixture.OpenMenuWindow(), &joinedMenu);
                 button = fixture.ButtonScreenRect(2);
                 fixture.MoveMouse(fixture.Centre(fixture.ButtonScreenRect(1)));
             },
             "move to Edit"},
            {[&] { return fixture.PopupOpen(1); }, [&] { fixture.Key(VK_ESCAPE); }, "escape"},
            {[&] { return bar.GetTrackingItem() == -1; }, [&] { fixture.Key(VK_ESCAPE); }, "escape on the bar"},
            {[&] { return !bar.IsKeyboardMode(); }, nullptr, "bar left"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_EQ(busyAnswer, 0u);
    // The popup hangs one pixel over its button, at the button's left edge.
    EXPECT_EQ(joinedMenu.left, button.left);
    EXPECT_EQ(joinedMenu.top, button.bottom - 1);
    EXPECT_TRUE(fixture.frame.m_commands.empty());
}

TEST(CommandBar, TheMaximisedChildsButtonsActOnThatChild)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    HWND client = fixture.frame.m_hWndMDIClient;
    const int bandIndex = static_cast<int>(SendMessageA(fixture.frame.ReBar(), RB_IDTOINDEX, kCommandBarBand, 0));
    const auto ideal = [&] {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_IDEALSIZE;
        SendMessageA(fixture.frame.ReBar(), RB_GETBANDINFOA, bandIndex, reinterpret_cast<LPARAM>(&band));
        return static_cast<int>(band.cxIdeal);
    };
    const int plainIdeal = ideal();
    const auto clickPart = [&](int part) {
        RECT rect = bar.GetMdiPartRect(part);
        RECT window = {};
        GetWindowRect(bar, &window);
        OffsetRect(&rect, window.left, window.top);
        fixture.MoveMouse(fixture.Centre(rect));
        fixture.Click(true);
        fixture.Click(false);
    };

    struct Case {
        int part;
        const char* name;
        const char* tip;
    };
    const Case cases[] = {
        {CMDICommandBarCtrlImpl::kMdiMinimize, "minimise", "Minimize"},
        {CMDICommandBarCtrlImpl::kMdiRestore, "restore", "Restore"},
        {CMDICommandBarCtrlImpl::kMdiClose, "close", "Close"},
    };
    for (const Case& c : cases) {
        HWND child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
        ASSERT_NE(child, nullptr) << c.name;
        SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        ASSERT_TRUE(fixture.PumpUntil([&] { return bar.GetMaximizedChild() == child; })) << c.name;
        EXPECT_EQ(ideal(), plainIdeal + bar.GetMdiAreaWidth()) << c.name;
        EXPECT_GT(bar.GetMdiAreaWidth(), 0);
        EXPECT_EQ(GetMenu(fixture.frame), nullptr) << c.name;
        // The button under the mouse shows its tooltip from the bar's string table.
        {
            RECT rect = bar.GetMdiPartRect(c.part);
            RECT window = {};
            GetWindowRect(bar, &window);
            OffsetRect(&rect, window.left, window.top);
            fixture.MoveMouse(fixture.Centre(rect));
            ASSERT_TRUE(fixture.PumpUntil([&] { return bar.GetCaptionToolTipPart() == c.part; })) << c.name;
            char text[80] = {};
            TOOLINFOA tool = {};
            tool.cbSize = sizeof(tool);
            tool.hwnd = bar;
            tool.uId = 1;
            tool.lpszText = text;
            SendMessageA(bar.GetCaptionToolTip(), TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
            EXPECT_STREQ(text, c.tip) << c.name;
            EXPECT_TRUE(IsWindowVisible(bar.GetCaptionToolTip())) << c.name;
        }
        if (c.part == CMDICommandBarCtrlImpl::kMdiMinimize) {
            RedrawWindow(fixture.frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                                            RDW_UPDATENOW);
            GdiFlush();
            RECT shot = {};
            GetWindowRect(fixture.frame.ReBar(), &shot);
            std::string path;
            EXPECT_TRUE(kivo_test::WriteScreenRect(shot, "command-bar-mdi.bmp", path)) << path;
        }
        clickPart(c.part);
        switch (c.part) {
        case CMDICommandBarCtrlImpl::kMdiMinimize:
            EXPECT_TRUE(fixture.PumpUntil([&] { return IsIconic(child) != FALSE; })) << c.name;
            break;
        case CMDICommandBarCtrlImpl::kMdiRestore:
            EXPECT_TRUE(fixture.PumpUntil([&] { return !IsZoomed(child) && !IsIconic(child); })) << c.name;
            break;
        case CMDICommandBarCtrlImpl::kMdiClose:
            EXPECT_TRUE(fixture.PumpUntil([&] { return !IsWindow(child); })) << c.name;
            break;
        default:
            break;
        }
        // The MDI client may keep its maximised mode for the child it activates next: the bar
        // shows whatever child is maximised now, and its band is as wide as that needs.
        BOOL maximized = FALSE;
        HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
        EXPECT_NE(bar.GetMaximizedChild(), child) << c.name;
        EXPECT_EQ(bar.GetMaximizedChild(), maximized ? active : nullptr) << c.name;
        EXPECT_EQ(ideal(), plainIdeal + bar.GetMdiAreaWidth()) << c.name;
        // Every child back to its own size: the bar loses the caption buttons, the band its width.
        // (Restoring an iconic child while another is maximised maximises it: the maximised one
        // goes last.)
        for (HWND each = GetWindow(client, GW_CHILD); each; each = GetWindow(each, GW_HWNDNEXT))
            if (IsIconic(each))
                SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(each), 0);
        active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
        if (maximized)
            SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(active), 0);
        EXPECT_TRUE(fixture.PumpUntil([&] { return bar.GetMaximizedChild() == nullptr; })) << c.name;
        EXPECT_EQ(ideal(), plainIdeal) << c.name;
    }
}

TEST(CommandBarPictures, TheOpenPopupHangsFromItsPressedButton)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    std::string path;
    bool written = false;
    COLORREF buttonPixel = 0, joinPixel = 0;
    size_t shadows = 0;
    {
        CScript script({
            {nullptr, [&] { PostMessageA(bar, CBRM_OPENITEM, 0, TRUE); }, "open File"},
            {[&] { return fixture.PopupOpen(0); },
             [&] {
                 // The submenu item is selected, so that its arrow and the icon by caption show.
                 fixture.Key(VK_DOWN);
                 fixture.Key(VK_DOWN);
             },
             "select the submenu item"},
            {[&] {
                 MENUITEMINFOA info = {};
                 info.cbSize = sizeof(info);
                 info.fMask = MIIM_STATE;
                 GetMenuItemInfoA(GetSubMenu(fixture.menu.bar, 0), 2, TRUE, &info);
                 return (info.fState & MFS_HILITE) != 0;
             },
             [&] {
                 HWND menuWindow = fixture.OpenMenuWindow();
                 RedrawWindow(menuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
                 RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                 GdiFlush();
                 RECT menuRect = {};
                 GetWindowRect(menuWindow, &menuRect);
                 const RECT button = fixture.ButtonScreenRect(0);
                 // Wine copies what windows draw to the display on its own time (each wait of the
                 // thread flushes it): the screen is read again until it shows the face colour or
                 // two seconds have passed.
                 const COLORREF expected = bar.GetScheme()[kFlatFace];
                 const DWORD start = GetTickCount();
                 for (;;) {
                     HDC screen = GetDC(nullptr);
                     buttonPixel = GetPixel(screen, (button.left + button.right) / 2, button.top + 3);
                     joinPixel = GetPixel(screen, (button.left + button.right) / 2, menuRect.top);
                     ReleaseDC(nullptr, screen);
                     if ((buttonPixel == expected && joinPixel == expected) || GetTickCount() - start > 2000)
                         break;
                     MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                 }
                 EnumThreadWindows(
                     GetCurrentThreadId(),
                     [](HWND window, LPARAM lParam) -> BOOL {
                         char name[16] = {};
                         GetClassNameA(window, name, sizeof(name));
                         if (std::string(name) == "_ShadWnd" && IsWindowVisible(window)) {
                             ++*reinterpret_cast<size_t*>(lParam);
                             RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                         }
                         return TRUE;
                     },
                     reinterpret_cast<LPARAM>(&shadows));
                 GdiFlush();
                 RECT shot = {button.left - 10, button.top - 10, menuRect.right + 20, menuRect.bottom + 20};
                 written = kivo_test::WriteScreenRect(shot, "command-bar-popup.bmp", path);
                 fixture.Key(VK_ESCAPE);
                 fixture.Key(VK_ESCAPE);
             },
             "picture"},
            {[&] { return bar.GetTrackingItem() == -1; }, [&] { bar.LeaveKeyboardMode(); }, "closed"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_TRUE(written) << path;
    // The pressed button is filled like the popup's side strip, and the popup's top edge is open
    // over the button's width in the same colour.
    const COLORREF face = bar.GetScheme()[kFlatFace];
    EXPECT_EQ(buttonPixel, face);
    EXPECT_EQ(joinPixel, face);
    EXPECT_GE(shadows, 2u);
}

TEST(CommandBarPictures, TheBandsShowGrippersAndTheNarrowBandItsChevron)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    HWND reBar = fixture.frame.ReBar();
    const int toolBand = static_cast<int>(SendMessageA(reBar, RB_IDTOINDEX, kToolBarBand, 0));
    RECT chevron = {};
    ASSERT_TRUE(GetReBarChevronRect(reBar, toolBand, chevron));
    const int linksBand = static_cast<int>(SendMessageA(reBar, RB_IDTOINDEX, kLinksBand, 0));
    RECT unused = {};
    EXPECT_FALSE(GetReBarChevronRect(reBar, linksBand, unused));

    // The cursor over the chevron makes it hot: framed and filled like a hot button.
    RECT chevronOnScreen = chevron;
    MapWindowPoints(reBar, nullptr, reinterpret_cast<POINT*>(&chevronOnScreen), 2);
    fixture.MoveMouse({chevronOnScreen.left + 3, chevronOnScreen.top + 3});
    ASSERT_TRUE(fixture.PumpUntil([&] { return fixture.frame.m_bar.GetHotChevron() == toolBand; }));
    UpdateWindow(reBar);
    GdiFlush();
    HDC rebarDc = GetDC(reBar);
    const COLORREF chevronEdge = GetPixel(rebarDc, chevron.left, (chevron.top + chevron.bottom) / 2);
    const COLORREF chevronFill = GetPixel(rebarDc, chevron.left + 1, chevron.top + 2);
    ReleaseDC(reBar, rebarDc);
    fixture.MoveMouse({chevronOnScreen.left + 3, chevronOnScreen.bottom + 150});
    ASSERT_TRUE(fixture.PumpUntil([&] { return fixture.frame.m_bar.GetHotChevron() == -1; }));

    // A hot toolbar button: framed in entry 4 and filled with entry 5.
    SendMessageA(fixture.frame.m_links, TB_SETHOTITEM, 0, 0);
    RedrawWindow(fixture.frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    RECT shot = {};
    GetWindowRect(reBar, &shot);
    std::string path;
    kivo_test::CPixels pixels;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(kivo_test::CapturePixels(screen, shot.left, shot.top, shot.right - shot.left, shot.bottom - shot.top,
                                         pixels));
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(kivo_test::WriteBitmap(path = kivo_test::ScreenshotPath("command-bar-rebar.bmp"), pixels)) << path;

    const CFlatColorScheme& scheme = fixture.frame.m_bar.GetScheme();
    RECT hot = {};
    SendMessageA(fixture.frame.m_links, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&hot));
    MapWindowPoints(fixture.frame.m_links, reBar, reinterpret_cast<POINT*>(&hot), 2);
    EXPECT_EQ(pixels.At(hot.left, (hot.top + hot.bottom) / 2), scheme[kFlatHotFrame]);
    EXPECT_EQ(pixels.At(hot.left + 3, hot.top + 2), scheme[kFlatHotFill]);
    EXPECT_EQ(chevronEdge, scheme[kFlatHotFrame]);
    EXPECT_EQ(chevronFill, scheme[kFlatHotFill]);
    EXPECT_NE(pixels.At(chevron.left, (chevron.top + chevron.bottom) / 2), scheme[kFlatHotFrame]);
    // The chevron's "»" leaves dark (text-coloured, smoothed) pixels in its area.
    int ink = 0;
    for (int y = chevron.top; y < chevron.bottom; ++y)
        for (int x = chevron.left; x < chevron.right; ++x) {
            const COLORREF pixel = pixels.At(x, y);
            ink += GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 300 ? 1 : 0;
        }
    EXPECT_GT(ink, 3);
    // The gripper's stripes: face and shadow rows at the band's left.
    RECT band = {};
    SendMessageA(reBar, RB_GETRECT, toolBand, reinterpret_cast<LPARAM>(&band));
    int shadowRows = 0, faceRows = 0;
    for (int y = band.top + 3; y < band.bottom - 3; ++y) {
        const COLORREF pixel = pixels.At(band.left + 5, y);
        shadowRows += pixel == GetSysColor(COLOR_BTNSHADOW) ? 1 : 0;
        faceRows += pixel == GetSysColor(COLOR_BTNFACE) ? 1 : 0;
    }
    EXPECT_GT(shadowRows, 3);
    EXPECT_GT(faceRows, 3);
}

// The system's own caption buttons, check marks and submenu arrows are glyphs of the Marlett
// font; a test display without it shows the letters "0 1 r" in their place.
TEST(CommandBarPieces, TheCaptionGlyphFontIsThere)
{
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    HGDIOBJ old = SelectObject(screen, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(face, "Marlett");
}

// A click on the chevron of the narrow toolbar's band lists the buttons that do not fit, as
// owner-drawn items of the bar's own tracking; the chosen one goes to the frame as its command.
TEST(CommandBar, TheChevronListsTheHiddenButtonsAndRunsTheChosenOne)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    HWND reBar = fixture.frame.ReBar();
    HWND toolBar = fixture.frame.m_toolBar;
    const int band = static_cast<int>(SendMessageA(reBar, RB_IDTOINDEX, kToolBarBand, 0));
    RECT chevron = {};
    ASSERT_TRUE(GetReBarChevronRect(reBar, band, chevron));
    MapWindowPoints(reBar, nullptr, reinterpret_cast<POINT*>(&chevron), 2);

    // The buttons beyond the visible part of the toolbar, in order.
    RECT visible = {};
    GetClientRect(toolBar, &visible);
    std::vector<UINT> hidden;
    for (int i = 0; i < kToolButtons; ++i) {
        RECT rect = {};
        SendMessageA(toolBar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        if (rect.right > visible.right)
            hidden.push_back(kFirstToolCommand + i);
    }
    ASSERT_FALSE(hidden.empty());

    std::vector<UINT> listed;
    {
        CScript script({
            {nullptr,
             [&] {
                 fixture.MoveMouse({chevron.left + 3, (chevron.top + chevron.bottom) / 2});
                 fixture.Click(true);
                 fixture.Click(false);
             },
             "click the chevron"},
            {[&] { return fixture.OpenMenuWindow() && IsWindowVisible(fixture.OpenMenuWindow()); },
             [&] {
                 HMENU popup = reinterpret_cast<HMENU>(SendMessageA(fixture.OpenMenuWindow(), MN_GETHMENU, 0, 0));
                 for (int i = 0; i < GetMenuItemCount(popup); ++i)
                     listed.push_back(GetMenuItemID(popup, i));
                 fixture.Key(VK_DOWN);
                 fixture.Key(VK_RETURN);
             },
             "choose the first"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_EQ(listed, hidden);
    ASSERT_TRUE(fixture.PumpUntil([&] { return !fixture.frame.m_commands.empty(); }));
    EXPECT_EQ(fixture.frame.m_commands.front(), hidden.front());
}

// A popup the frame tracks through the bar (a context menu, a toolbar drop-down) is owner-drawn,
// stays inside the monitor's work area however far off the point is, and sends its command to
// the frame when the caller does not ask for it back.
TEST(CommandBar, TheFramesOwnPopupsGoThroughTheBar)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, kNewCommand, "&New Tab");
    AppendMenuA(popup, MF_STRING, kOpenCommand, "&Open...");
    RECT menuRect = {};
    bool ownerDrawn = false;
    UINT result = 0;
    {
        CScript script({
            {[&] { return fixture.OpenMenuWindow() && IsWindowVisible(fixture.OpenMenuWindow()); },
             [&] {
                 GetWindowRect(fixture.OpenMenuWindow(), &menuRect);
                 MENUITEMINFOA info = {};
                 info.cbSize = sizeof(info);
                 info.fMask = MIIM_FTYPE;
                 GetMenuItemInfoA(popup, 1, TRUE, &info);
                 ownerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
                 fixture.Key(VK_UP);
                 fixture.Key(VK_RETURN);
             },
             "choose the last item"},
        });
        // An older CBT hook of the thread (the docking focus, the skins) still sees the menu window.
        g_olderHookMenuWindows = 0;
        HHOOK older = SetWindowsHookExA(WH_CBT, OlderCbtHook, nullptr, GetCurrentThreadId());
        result = bar.DoTrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 50000, 50000);
        UnhookWindowsHookEx(older);
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    DestroyMenu(popup);
    EXPECT_GE(g_olderHookMenuWindows, 1);
    EXPECT_TRUE(ownerDrawn);
    EXPECT_NE(result, 0u);
    MONITORINFO monitor = {sizeof(monitor)};
    GetMonitorInfoA(MonitorFromWindow(fixture.frame, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_LE(menuRect.right, monitor.rcWork.right);
    EXPECT_LE(menuRect.bottom, monitor.rcWork.bottom);
    ASSERT_TRUE(fixture.PumpUntil([&] { return !fixture.frame.m_commands.empty(); }));
    EXPECT_EQ(fixture.frame.m_commands, std::vector<UINT>{kOpenCommand});
}

// Command states set in the frame's update map reach the items of the bar's popups when they
// open (the bar passes WM_INITMENUPOPUP on to the frame) and the flat toolbars at the idle pass.
TEST(CommandBar, CommandStatesReachThePopupsAndToolbars)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CDynamicUpdateUI& states = fixture.frame.m_updateUI;
    states.UIAddToolBar(fixture.frame.m_toolBar);
    struct Case {
        UINT command;
        WORD kind;
        bool disable;  // else checked
        const char* name;
    };
    const Case cases[] = {
        {kCopyCommand, kUpdateUIPopupMenu, true, "menu item disabled"},
        {kCutCommand, kUpdateUIPopupMenu, false, "menu item checked"},
        {kFirstToolCommand, kUpdateUIToolBar, true, "button disabled"},
        {kFirstToolCommand + 4, kUpdateUIToolBar, false, "button checked"},
    };
    for (const Case& c : cases) {
        states.UIAddItem(static_cast<WORD>(c.command), c.kind);
        if (c.disable)
            states.UIEnable(static_cast<WORD>(c.command), false);
        else
            states.UISetCheck(static_cast<WORD>(c.command), 1);
    }
    states.UIUpdateToolBar();  // what the frame's idle handler runs

    HMENU edit = GetSubMenu(fixture.menu.bar, 1);
    UINT copyState = 0, cutState = 0;
    {
        CScript script({
            {nullptr, [&] { PostMessageA(fixture.frame.m_bar, CBRM_OPENITEM, 1, TRUE); }, "open Edit"},
            {[&] { return fixture.PopupOpen(1); },
             [&] {
                 copyState = GetMenuState(edit, kCopyCommand, MF_BYCOMMAND);
                 cutState = GetMenuState(edit, kCutCommand, MF_BYCOMMAND);
                 fixture.Key(VK_ESCAPE);
                 fixture.Key(VK_ESCAPE);
             },
             "read the states"},
            {[&] { return fixture.frame.m_bar.GetTrackingItem() == -1 && !fixture.frame.m_bar.IsKeyboardMode(); },
             nullptr, "closed"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    EXPECT_TRUE(copyState & MF_GRAYED) << cases[0].name;
    EXPECT_TRUE(cutState & MF_CHECKED) << cases[1].name;
    EXPECT_FALSE(SendMessageA(fixture.frame.m_toolBar, TB_ISBUTTONENABLED, kFirstToolCommand, 0)) << cases[2].name;
    EXPECT_TRUE(SendMessageA(fixture.frame.m_toolBar, TB_ISBUTTONCHECKED, kFirstToolCommand + 4, 0)) << cases[3].name;
}

// In a frame too narrow for the menu, the command bar's own chevron lists its hidden items with
// their popups; the popups are the menu's and stay alive when the chevron's menu goes.
TEST(CommandBar, TheBarsChevronHangsTheHiddenItemsPopupsIn)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    SetWindowPos(fixture.frame, nullptr, 0, 0, 130, 300, SWP_NOMOVE | SWP_NOZORDER);
    fixture.frame.UpdateLayout();
    fixture.Pump();
    HWND reBar = fixture.frame.ReBar();
    const int band = static_cast<int>(SendMessageA(reBar, RB_IDTOINDEX, kCommandBarBand, 0));
    RECT chevron = {};
    ASSERT_TRUE(GetReBarChevronRect(reBar, band, chevron));
    MapWindowPoints(reBar, nullptr, reinterpret_cast<POINT*>(&chevron), 2);

    std::vector<HMENU> listed;
    {
        CScript script({
            {nullptr,
             [&] {
                 fixture.MoveMouse({chevron.left + 3, (chevron.top + chevron.bottom) / 2});
                 fixture.Click(true);
                 fixture.Click(false);
             },
             "click the chevron"},
            {[&] { return fixture.OpenMenuWindow() && IsWindowVisible(fixture.OpenMenuWindow()); },
             [&] {
                 HMENU popup = reinterpret_cast<HMENU>(SendMessageA(fixture.OpenMenuWindow(), MN_GETHMENU, 0, 0));
                 for (int i = 0; i < GetMenuItemCount(popup); ++i)
                     listed.push_back(GetSubMenu(popup, i));
                 fixture.Key(VK_ESCAPE);
             },
             "read the items"},
            {[&] { return !fixture.OpenMenuWindow(); }, nullptr, "closed"},
        });
        EXPECT_TRUE(script.Run()) << script.Pending();
    }
    ASSERT_FALSE(listed.empty());
    const int count = GetMenuItemCount(fixture.menu.bar);
    EXPECT_EQ(listed.back(), GetSubMenu(fixture.menu.bar, count - 1));
    for (size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(listed[i], GetSubMenu(fixture.menu.bar, count - static_cast<int>(listed.size() - i))) << i;
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(IsMenu(GetSubMenu(fixture.menu.bar, i))) << i;
}

// The bar shows the top-level items of whatever menu it is given: an item without a popup is a
// command of its own, and bitmap items (the ones the MDI client adds for a maximised child) and
// separators are not buttons.
TEST(CommandBar, ATopLevelCommandRunsAndBitmapItemsAreLeftOut)
{
    CFrameFixture fixture;
    ASSERT_NE(fixture.frame.m_hWnd, nullptr);
    CCommandBarXP& bar = fixture.frame.m_bar;
    HMENU tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, kNewCommand, "&New Tab");
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_BITMAP, SC_CLOSE, reinterpret_cast<LPCSTR>(HBMMENU_MBAR_CLOSE));
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kAboutCommand, "&About!");
    ASSERT_TRUE(bar.AttachMenu(menu));
    EXPECT_EQ(bar.GetItemCount(), 2);
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageA(bar, CBRM_GETITEMPOPUP, 0, 0)), tools);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageA(bar, CBRM_GETITEMPOPUP, 1, 0)), nullptr);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageA(bar, CBRM_GETITEMPOPUP, 7, 0)), nullptr);

    fixture.AltKey('A');
    ASSERT_TRUE(fixture.PumpUntil([&] { return !fixture.frame.m_commands.empty(); }));
    EXPECT_EQ(fixture.frame.m_commands, std::vector<UINT>{kAboutCommand});
    EXPECT_EQ(bar.GetTrackingItem(), -1);

    // Back to the frame's menu; a menu handle that is none is refused and changes nothing.
    EXPECT_FALSE(bar.AttachMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x4321))));
    EXPECT_EQ(bar.GetItemCount(), 2);
    ASSERT_TRUE(bar.AttachMenu(fixture.menu.bar));
    EXPECT_EQ(bar.GetItemCount(), 4);
    DestroyMenu(menu);
}

namespace {

LRESULT CALLBACK DrawingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        auto& draw = *reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            DrawToolBarButton(draw);
            return CDRF_SKIPDEFAULT;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// DrawToolBarButton in the menu style manager's colours: a hot button is framed in the
// selection edge and filled with the selection colour, a checked one filled darker, a plain one
// left to the toolbar's background.
TEST(CommandBarPictures, DrawToolBarButtonPaintsTheFlatStates)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DrawingParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivoDrawToolBarParent";
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, "buttons", WS_POPUP | WS_VISIBLE,
                                  600, 20, 200, 40, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE |
                                       CCS_NOPARENTALIGN,
                                   0, 0, 200, 30, parent, nullptr, wc.hInstance, nullptr);
    SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = STD_FILENEW + i;
        buttons[i].idCommand = 301 + i;
        buttons[i].fsState = static_cast<BYTE>(TBSTATE_ENABLED | (i == 1 ? TBSTATE_CHECKED : 0));
        buttons[i].fsStyle = static_cast<BYTE>(i == 1 ? BTNS_CHECK : BTNS_BUTTON);
        buttons[i].iString = -1;
    }
    SendMessageA(toolBar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolBar, TB_AUTOSIZE, 0, 0);
    SendMessageA(toolBar, TB_SETHOTITEM, 2, 0);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();

    RECT client = {};
    GetClientRect(toolBar, &client);
    HDC dc = GetDC(toolBar);
    kivo_test::CPixels pixels;
    const bool read = kivo_test::CapturePixels(dc, 0, 0, client.right, client.bottom, pixels);
    ReleaseDC(toolBar, dc);
    ASSERT_TRUE(read);
    const CButtonColors colors = MenuStyleButtonColors();
    RECT rects[3] = {};
    for (int i = 0; i < 3; ++i)
        SendMessageA(toolBar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rects[i]));
    EXPECT_EQ(pixels.At(rects[0].left + 2, rects[0].top + 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixels.At(rects[1].left + 2, rects[1].top + 2), colors.pressedFill);
    EXPECT_EQ(pixels.At(rects[1].left, (rects[1].top + rects[1].bottom) / 2), colors.frame);
    EXPECT_EQ(pixels.At(rects[2].left + 2, rects[2].top + 2), colors.hotFill);
    EXPECT_EQ(pixels.At(rects[2].left, (rects[2].top + rects[2].bottom) / 2), colors.frame);
    DestroyWindow(parent);
}
