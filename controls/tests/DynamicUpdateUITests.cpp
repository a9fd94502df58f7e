// The command state map: its state rules headless, then the idle pass and the popup opening
// reaching real menu items, toolbar buttons and status-bar panes in a hidden frame.
#include "TabTestParent.h"
#include "controls/DynamicUpdateUI.h"
#include "controls/MultiPaneStatusBar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr WORD kBack = 101;
constexpr WORD kForward = 102;
constexpr WORD kStop = 103;
constexpr WORD kZonePane = 21404;
constexpr WORD kShared = 0x3001;  // one of the commands every map starts with

constexpr WORD kEverywhere = kUpdateUIPopupMenu | kUpdateUIToolBar | kUpdateUIStatusBar;

}  // namespace

TEST(DynamicUpdateUI, StateChangesMarkTheCommandsKindsStaleOnlyWhenTheyChangeSomething)
{
    using Action = std::function<void(CDynamicUpdateUI&)>;
    struct Case {
        const char* name;
        Action setup;
        Action action;
        WORD state;  // the state bits afterwards
        bool stale;
    };
    const WORD id = kBack;
    const Case cases[] = {
        {"enable an enabled command", nullptr, [](auto& m) { m.UIEnable(id, true, false); }, 0, false},
        {"enable it by force", nullptr, [](auto& m) { m.UIEnable(id, true, true); }, 0, true},
        {"disable", nullptr, [](auto& m) { m.UIEnable(id, false, false); }, kUpdateUIDisabled, true},
        {"disable a disabled command", [](auto& m) { m.UIEnable(id, false); },
         [](auto& m) { m.UIEnable(id, false); }, kUpdateUIDisabled, false},
        {"check", nullptr, [](auto& m) { m.UISetCheck(id, 1); }, kUpdateUIChecked, true},
        {"check a checked command", [](auto& m) { m.UISetCheck(id, 1); }, [](auto& m) { m.UISetCheck(id, 1); },
         kUpdateUIChecked, false},
        {"indeterminate over checked", [](auto& m) { m.UISetCheck(id, 1); }, [](auto& m) { m.UISetCheck(id, 2); },
         kUpdateUIChecked2, true},
        {"uncheck an indeterminate command", [](auto& m) { m.UISetCheck(id, 2); },
         [](auto& m) { m.UISetCheck(id, 0); }, 0, true},
        {"unknown check value", [](auto& m) { m.UISetCheck(id, 1); }, [](auto& m) { m.UISetCheck(id, 7); },
         kUpdateUIChecked, false},
        {"unknown check value by force", [](auto& m) { m.UISetCheck(id, 1); },
         [](auto& m) { m.UISetCheck(id, 7, true); }, kUpdateUIChecked, true},
        {"radio", nullptr, [](auto& m) { m.UISetRadio(id, true); }, kUpdateUIRadio, true},
        {"default", nullptr, [](auto& m) { m.UISetDefault(id, true); }, kUpdateUIDefault, true},
        {"default cleared", [](auto& m) { m.UISetDefault(id, true); }, [](auto& m) { m.UISetDefault(id, false); },
         kUpdateUIClearDefault, true},
        {"text", nullptr, [](auto& m) { m.UISetText(id, "Back"); }, kUpdateUIText, true},
        {"unknown command", nullptr, [](auto& m) { m.UIEnable(999, false, true); }, 0, false},
    };
    for (const Case& c : cases) {
        CDynamicUpdateUI map;
        map.UIAddItem(id, kUpdateUIToolBar | kUpdateUIStatusBar);
        if (c.setup)
            c.setup(map);
        map.UIUpdateToolBar(true);
        map.UIUpdateStatusBar(true);
        ASSERT_EQ(map.GetStaleKinds(), 0) << c.name;
        c.action(map);
        EXPECT_EQ(map.UIGetState(id) & 0xFF00, c.state) << c.name;
        EXPECT_EQ(map.UIGetState(id) & kUpdateUIKindMask, kUpdateUIToolBar | kUpdateUIStatusBar) << c.name;
        EXPECT_EQ(map.GetStaleKinds(), c.stale ? kUpdateUIToolBar | kUpdateUIStatusBar : 0) << c.name;
        EXPECT_EQ(map.UIGetState(999), 0) << c.name;
    }
}

TEST(DynamicUpdateUI, CommandsKeepTheirFirstKindsAndTheProcessMapIsOne)
{
    CDynamicUpdateUI map;
    for (WORD id : kUpdateUIInitialCommands)
        EXPECT_EQ(map.UIGetState(id), kUpdateUIPopupMenu) << id;
    const CUpdateUIItem items[] = {{kBack, kUpdateUIToolBar}, {kBack, kUpdateUIStatusBar}, {kStop, 0x1FF}};
    map.UIAddItems(3, items);
    map.UIEnable(kBack, false);
    map.UIAddItem(kBack, kUpdateUIPopupMenu);
    EXPECT_EQ(map.UIGetState(kBack), kUpdateUIToolBar | kUpdateUIDisabled);
    // Kind bits beyond the low byte would read as state bits.
    EXPECT_EQ(map.UIGetState(kStop), 0xFF);
    ASSERT_NE(GetCommandStateMap(), nullptr);
    EXPECT_EQ(GetCommandStateMap(), GetCommandStateMap());
}

namespace {

// A frame as the program's main frame sets it up: the map chained ahead of its own command
// handling, a toolbar, the pane status bar and a popup menu. It records the commands that reach it.
class CUpdateTestFrame : public CWindowImpl<CUpdateTestFrame> {
public:
    explicit CUpdateTestFrame(CDynamicUpdateUI& map) : m_map(map) {}

    BEGIN_MSG_MAP(CUpdateTestFrame)
        CHAIN_MSG_MAP_MEMBER(m_map)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        m_commands.push_back(LOWORD(wParam));
        return 0;
    }

    CDynamicUpdateUI& m_map;
    std::vector<WORD> m_commands;
};

struct CUpdateFixture {
    CTabTestParent parent{500, 300};
    CDynamicUpdateUI map;
    CUpdateTestFrame frame{map};
    CMultiPaneStatusBar statusBar;
    HWND toolBar = nullptr;
    HMENU menu = nullptr;

    CUpdateFixture()
    {
        RECT place = {0, 0, 400, 200};
        frame.Create(parent.Window(), place, nullptr, WS_CHILD);
        toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_FLAT, 0, 0, 300, 30,
                                  frame.m_hWnd, nullptr, nullptr, nullptr);
        SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[3] = {};
        const WORD ids[] = {kBack, kForward, kStop};
        for (int i = 0; i < 3; ++i) {
            buttons[i].iBitmap = I_IMAGENONE;
            buttons[i].idCommand = ids[i];
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_CHECK;
        }
        SendMessageA(toolBar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
        statusBar.Create(frame.m_hWnd);
        const int panes[] = {0, kZonePane};
        statusBar.SetPanes(panes, 2, false);
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, kBack, "Back");
        AppendMenuA(menu, MF_STRING, kForward, "Forward");
        AppendMenuA(menu, MF_STRING, kZonePane, "Zone");
        AppendMenuA(menu, MF_STRING, kShared, "Shared");

        const CUpdateUIItem items[] = {{kBack, kEverywhere}, {kForward, kEverywhere}, {kStop, kUpdateUIToolBar},
                                       {kZonePane, kEverywhere}};
        map.UIAddItems(4, items);
        map.UIAddToolBar(toolBar);
        map.UIAddStatusBar(statusBar.m_hWnd);
    }
    ~CUpdateFixture() { DestroyMenu(menu); }

    // What the frame's message loop does when its queue runs empty, then a popup about to open.
    void Idle()
    {
        CMessageLoop loop;
        CUpdateUIIdleHandler handler(&map);
        loop.AddIdleHandler(&handler);
        loop.OnIdle(0);
        SendMessageA(frame.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    }
    bool Button(UINT query, WORD id) const { return SendMessageA(toolBar, query, id, 0) != 0; }
    UINT MenuState(WORD id) const { return GetMenuState(menu, id, MF_BYCOMMAND); }
    std::string MenuText(WORD id) const
    {
        char text[64] = {};
        GetMenuStringA(menu, id, text, sizeof(text), MF_BYCOMMAND);
        return text;
    }
    std::string PaneText(int index) const
    {
        char text[128] = {};
        SendMessageA(statusBar.m_hWnd, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

// Count the update messages a toolbar and a status bar receive (their WM_USER numbers overlap).
LRESULT CALLBACK CountToolBarUpdates(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data)
{
    if (message == TB_ENABLEBUTTON || message == TB_CHECKBUTTON || message == TB_INDETERMINATE ||
        message == TB_PRESSBUTTON)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CountStatusUpdates(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data)
{
    if (message == SB_SETTEXTA)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

TEST(DynamicUpdateUI, TheIdlePassAndThePopupBringEveryElementKindUpToDate)
{
    struct Case {
        const char* name;
        std::function<void(CDynamicUpdateUI&)> action;
        WORD id;
        bool enabled, checked, indeterminate, pressed;  // the toolbar button
        UINT menuState;                                   // MF_* of the popup item
    };
    const Case cases[] = {
        {"disabled", [](auto& m) { m.UIEnable(kBack, false); }, kBack, false, false, false, false,
         MF_GRAYED | MF_DISABLED},
        {"checked", [](auto& m) { m.UISetCheck(kForward, 1); }, kForward, true, true, false, false, MF_CHECKED},
        {"indeterminate", [](auto& m) { m.UISetCheck(kForward, 2); }, kForward, true, false, true, false, 0},
        {"radio", [](auto& m) { m.UISetRadio(kBack, true); }, kBack, true, false, false, true, 0},
        {"enabled again",
         [](auto& m) {
             m.UIEnable(kBack, false);
             m.UIEnable(kBack, true);
         },
         kBack, true, false, false, false, 0},
        {"toolbar only", [](auto& m) { m.UIEnable(kStop, false); }, kStop, false, false, false, false, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        CUpdateFixture f;
        ASSERT_TRUE(f.frame.m_hWnd && f.toolBar && f.statusBar.m_hWnd) << c.name;
        // Elements start out the other way round, so that the pass has to reach them.
        SendMessageA(f.toolBar, TB_CHECKBUTTON, c.id, MAKELPARAM(!c.checked, 0));
        f.map.UIUpdateToolBar(true);
        c.action(f.map);
        f.Idle();
        EXPECT_EQ(f.Button(TB_ISBUTTONENABLED, c.id), c.enabled) << c.name;
        EXPECT_EQ(f.Button(TB_ISBUTTONCHECKED, c.id), c.checked) << c.name;
        EXPECT_EQ(f.Button(TB_ISBUTTONINDETERMINATE, c.id), c.indeterminate) << c.name;
        EXPECT_EQ(f.Button(TB_ISBUTTONPRESSED, c.id), c.pressed) << c.name;
        EXPECT_EQ(f.MenuState(c.id), c.menuState) << c.name;
        EXPECT_EQ(f.map.GetStaleKinds() & (kUpdateUIToolBar | kUpdateUIStatusBar), 0) << c.name;
    }
}

TEST(DynamicUpdateUI, NothingStaleSendsNothingAndAStatusTextIsSentOnceToItsPane)
{
    CUpdateFixture f;
    int toolBarUpdates = 0, statusUpdates = 0;
    ASSERT_TRUE(SetWindowSubclass(f.toolBar, CountToolBarUpdates, 1, reinterpret_cast<DWORD_PTR>(&toolBarUpdates)));
    ASSERT_TRUE(SetWindowSubclass(f.statusBar.m_hWnd, CountStatusUpdates, 1, reinterpret_cast<DWORD_PTR>(&statusUpdates)));
    f.map.UIUpdateToolBar(true);
    f.map.UIUpdateStatusBar(true);
    toolBarUpdates = statusUpdates = 0;

    EXPECT_TRUE(f.map.UIUpdateToolBar(false));
    EXPECT_TRUE(f.map.UIUpdateStatusBar(false));
    EXPECT_EQ(toolBarUpdates, 0);
    EXPECT_EQ(statusUpdates, 0);

    // One state change: each of the four toolbar commands gets its four messages.
    f.map.UIEnable(kStop, false);
    EXPECT_TRUE(f.map.UIUpdateToolBar(false));
    EXPECT_EQ(toolBarUpdates, 4 * 4);

    // The pane text reaches the pane the bar names for the id as plain text; the id itself would
    // address part 0x9C with owner-draw and border bits in the drawing type.
    f.map.UISetText(kZonePane, "Internet zone");
    f.Idle();
    EXPECT_EQ(statusUpdates, 1);
    EXPECT_EQ(f.PaneText(1), "Internet zone");
    EXPECT_EQ(HIWORD(SendMessageA(f.statusBar.m_hWnd, SB_GETTEXTLENGTHA, 1, 0)), 0);
    EXPECT_EQ(f.map.UIGetState(kZonePane) & kUpdateUIText, 0);
    // The menu missed the text: the status-bar pass ran first and the text is gone.
    EXPECT_EQ(f.MenuText(kZonePane), "Zone");
    f.map.UIUpdateStatusBar(true);
    EXPECT_EQ(statusUpdates, 1);

    // A plain status bar names no panes: a command id that is a part index still reaches it, a
    // larger one is not sent at all.
    HWND plain = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD, 0, 0, 0, 0, f.frame.m_hWnd, nullptr,
                                 nullptr, nullptr);
    int edges[3] = {50, 100, -1};
    SendMessageA(plain, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    int plainUpdates = 0;
    ASSERT_TRUE(SetWindowSubclass(plain, CountStatusUpdates, 1, reinterpret_cast<DWORD_PTR>(&plainUpdates)));
    f.map.UIAddItem(2, kUpdateUIStatusBar);
    f.map.UIAddStatusBar(plain);
    f.map.UISetText(2, "second part");
    f.map.UISetText(kZonePane, "not for the plain bar");
    f.map.UIUpdateStatusBar(false);
    char text[64] = {};
    SendMessageA(plain, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "second part");
    EXPECT_EQ(plainUpdates, 1);
    RemoveWindowSubclass(plain, CountStatusUpdates, 1);
    // A window that went away is passed over.
    DestroyWindow(plain);
    f.map.UISetText(2, "gone");
    EXPECT_TRUE(f.map.UIUpdateStatusBar(false));
    RemoveWindowSubclass(f.toolBar, CountToolBarUpdates, 1);
    RemoveWindowSubclass(f.statusBar.m_hWnd, CountStatusUpdates, 1);
}

TEST(DynamicUpdateUI, PopupItemsTakeTheDefaultAndTheText)
{
    CUpdateFixture f;
    f.map.UISetDefault(kForward, true);
    f.map.UISetText(kBack, "Back to the start");
    SendMessageA(f.frame.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.menu), 0);
    EXPECT_EQ(GetMenuDefaultItem(f.menu, FALSE, 0), kForward);
    EXPECT_EQ(f.MenuText(kBack), "Back to the start");
    f.map.UISetDefault(kForward, false);
    SendMessageA(f.frame.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.menu), 0);
    EXPECT_EQ(GetMenuDefaultItem(f.menu, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_EQ(f.map.UIGetState(kForward) & (kUpdateUIDefault | kUpdateUIClearDefault), 0);
    // The popup message goes on to the frame's own handlers; a null menu changes nothing.
    EXPECT_EQ(SendMessageA(f.frame.m_hWnd, WM_INITMENUPOPUP, 0, 0), 0);
}

TEST(DynamicUpdateUI, ADisabledCommandsAcceleratorIsSwallowedOnlyWhileBlocked)
{
    struct Case {
        bool block, disabled;
        WORD source;  // 1: an accelerator, 0: a menu
        bool reaches;
    };
    const Case cases[] = {
        {true, true, 1, false}, {false, true, 1, true}, {true, true, 0, true}, {true, false, 1, true},
    };
    for (const Case& c : cases) {
        CUpdateFixture f;
        f.map.SetBlockDisabledAccelerators(c.block);
        f.map.UIEnable(kBack, !c.disabled);
        SendMessageA(f.frame.m_hWnd, WM_COMMAND, MAKEWPARAM(kBack, c.source), 0);
        EXPECT_EQ(f.frame.m_commands.size(), c.reaches ? 1u : 0u)
            << "block " << c.block << " disabled " << c.disabled << " source " << c.source;
    }
}
