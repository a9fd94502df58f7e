// The drop shadow: its geometry and decisions headless, then owners under Wine with the system's
// answers given by a fake environment (Wine's own shadow setting is off and its layered windows
// are not visible without a compositor, but the strip windows and their places are real).
#include "controls/DropShadow.h"
#include "platform/AtlDlgs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(DropShadowGeometry, StripsLieAlongTheRightAndBottomEdges)
{
    struct Case {
        RECT owner;
        int thickness;
        RECT right, bottom;
    };
    const Case cases[] = {
        {{10, 20, 110, 70}, kDropShadowThickness, {110, 24, 114, 74}, {14, 70, 110, 74}},
        {{10, 20, 110, 70}, kMenuDropShadowThickness, {110, 23, 113, 73}, {13, 70, 110, 73}},
        {{-50, -40, 0, 0}, 4, {0, -36, 4, 4}, {-46, 0, 0, 4}},
    };
    for (const Case& c : cases) {
        RECT right = {}, bottom = {};
        ComputeShadowRects(c.owner, c.thickness, right, bottom);
        EXPECT_TRUE(SameRect(right, c.right)) << Describe(right);
        EXPECT_TRUE(SameRect(bottom, c.bottom)) << Describe(bottom);
    }
}

TEST(DropShadowGeometry, ModeFlagsAndShowCommandFollowTheSystemAndTheOwner)
{
    EXPECT_EQ(ChooseShadowMode(false, true), EShadowMode::kClassStyle);
    EXPECT_EQ(ChooseShadowMode(true, true), EShadowMode::kShadowWindows);
    EXPECT_EQ(ChooseShadowMode(false, false), EShadowMode::kShadowWindows);
    EXPECT_TRUE(ShadowWindowAllowed(true, true));
    EXPECT_FALSE(ShadowWindowAllowed(true, false));
    EXPECT_TRUE(ShadowWindowAllowed(false, false));  // before XP the query fails and counts as off
    EXPECT_EQ(ShadowPlacementFlags(false, false), static_cast<UINT>(SWP_NOACTIVATE));
    EXPECT_EQ(ShadowPlacementFlags(false, true), static_cast<UINT>(SWP_NOACTIVATE | SWP_SHOWWINDOW));
    EXPECT_EQ(ShadowPlacementFlags(true, false), static_cast<UINT>(SWP_NOACTIVATE | SWP_SHOWWINDOW));
    EXPECT_EQ(ShadowShowCommand(false, true), SW_SHOWNOACTIVATE);
    EXPECT_EQ(ShadowShowCommand(false, false), SW_HIDE);
    EXPECT_EQ(ShadowShowCommand(true, true), SW_HIDE);
}

namespace {

class CFakeShadowEnvironment : public IDropShadowEnvironment {
public:
    bool IsDropShadowEnabled() override { return shadows; }
    bool IsWinXPOrLater() override { return winXP; }
    bool IsFullWindowDragEnabled() override { return fullDrag; }
    bool IsSkinActive() override { return skin; }
    bool SetLayeredAlpha(HWND window, BYTE alpha) override
    {
        lastAlpha = alpha;
        return layered && SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
    }
    bool shadows = false, winXP = true, fullDrag = false, skin = false, layered = true;
    BYTE lastAlpha = 0;
};

// An owner as the pop-up windows use the shadow; each instantiation has a class of its own, so
// that a class style set by one test does not reach another.
template <int t_thickness, bool t_alwaysShow, int t_tag>
class TShadowOwner : public CWindowImpl<TShadowOwner<t_thickness, t_alwaysShow, t_tag>, CWindow,
                                        CWinTraits<WS_POPUP, WS_EX_TOOLWINDOW>>,
                     public CDropShadow<TShadowOwner<t_thickness, t_alwaysShow, t_tag>, t_thickness> {
    using Shadow = CDropShadow<TShadowOwner<t_thickness, t_alwaysShow, t_tag>, t_thickness>;

public:
    DECLARE_WND_CLASS_EX(nullptr, 0, COLOR_WINDOW)
    TShadowOwner() : Shadow(t_alwaysShow) {}

    BEGIN_MSG_MAP(TShadowOwner)
        CHAIN_MSG_MAP(Shadow)
    END_MSG_MAP()
};

class CShadowDialog : public CDialogImpl<CShadowDialog>, public CDropShadow<CShadowDialog> {
public:
    BEGIN_MSG_MAP(CShadowDialog)
        CHAIN_MSG_MAP(CDropShadow<CShadowDialog>)
    END_MSG_MAP()
};

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void MoveAway(HWND strip) { SetWindowPos(strip, nullptr, 500, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

bool AtAway(HWND strip) { return WindowRect(strip).left == 500 && WindowRect(strip).top == 500; }

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The shadow windows the owner has, whichever object made them.
int StripsOwnedBy(HWND owner)
{
    struct Search {
        HWND owner;
        int count;
    } search = {owner, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetWindow(window, GW_OWNER) == s->owner && ClassName(window) == "_ShadWnd")
                ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

}  // namespace

TEST(DropShadow, StripsFollowTheOwnerWhereTheSystemDrawsNoShadow)
{
    // A system before XP with layered windows: the strips, whatever the owner.
    CFakeShadowEnvironment environment;
    environment.winXP = false;
    CScopedDropShadowEnvironment scope(environment);
    TShadowOwner<kDropShadowThickness, false, 1> owner;
    ASSERT_TRUE(owner.Create(nullptr, RECT{0, 0, 40, 40}));
    const HWND right = owner.GetShadowStrips().RightWindow();
    const HWND bottom = owner.GetShadowStrips().BottomWindow();
    ASSERT_TRUE(right && bottom);
    EXPECT_EQ(StripsOwnedBy(owner.m_hWnd), 2);
    EXPECT_EQ(environment.lastAlpha, kShadowAlpha);
    for (HWND strip : {right, bottom}) {
        EXPECT_EQ(ClassName(strip), "_ShadWnd");
        EXPECT_EQ(GetWindow(strip, GW_OWNER), owner.m_hWnd);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(strip, GWL_STYLE)) & (WS_POPUP | WS_DISABLED | WS_CHILD),
                  static_cast<DWORD>(WS_POPUP | WS_DISABLED));
        EXPECT_TRUE(GetWindowLongA(strip, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_FALSE(IsWindowVisible(strip));
    }
    EXPECT_FALSE(GetClassLongPtrA(owner.m_hWnd, GCL_STYLE) & CS_DROPSHADOW);

    // Placed by the owner's move; hidden while the owner is.
    SetWindowPos(owner.m_hWnd, nullptr, 10, 20, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(SameRect(WindowRect(right), RECT{110, 24, 114, 74})) << Describe(WindowRect(right));
    EXPECT_TRUE(SameRect(WindowRect(bottom), RECT{14, 70, 110, 74})) << Describe(WindowRect(bottom));
    EXPECT_FALSE(IsWindowVisible(right));
    ShowWindow(owner.m_hWnd, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(right));
    EXPECT_TRUE(IsWindowVisible(bottom));

    // Minimising does not move them; a restore does.
    MoveAway(right);
    SendMessageA(owner.m_hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(AtAway(right));
    SendMessageA(owner.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 50));
    EXPECT_TRUE(SameRect(WindowRect(right), RECT{110, 24, 114, 74}));

    // While dragged, they follow only with full-window dragging.
    MoveAway(right);
    RECT drag = WindowRect(owner.m_hWnd);
    SendMessageA(owner.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&drag));
    EXPECT_TRUE(AtAway(right));
    environment.fullDrag = true;
    SendMessageA(owner.m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&drag));
    EXPECT_TRUE(SameRect(WindowRect(right), RECT{110, 24, 114, 74}));

    ShowWindow(owner.m_hWnd, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(right));
    EXPECT_FALSE(IsWindowVisible(bottom));
    // The strips are the owner's: they go with it.
    owner.DestroyWindow();
    EXPECT_FALSE(IsWindow(right));
    EXPECT_FALSE(IsWindow(bottom));
}

TEST(DropShadow, AMenuFrameShowsItsThinnerStripsBeforeItIsVisible)
{
    CFakeShadowEnvironment environment;
    environment.winXP = false;
    CScopedDropShadowEnvironment scope(environment);
    TShadowOwner<kMenuDropShadowThickness, true, 2> menu;
    ASSERT_TRUE(menu.Create(nullptr, RECT{0, 0, 40, 40}));
    SetWindowPos(menu.m_hWnd, nullptr, 10, 20, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    const HWND right = menu.GetShadowStrips().RightWindow();
    const HWND bottom = menu.GetShadowStrips().BottomWindow();
    ASSERT_TRUE(right && bottom);
    EXPECT_FALSE(IsWindowVisible(menu.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(right));
    EXPECT_TRUE(IsWindowVisible(bottom));
    EXPECT_TRUE(SameRect(WindowRect(right), RECT{110, 23, 113, 73})) << Describe(WindowRect(right));
    EXPECT_TRUE(SameRect(WindowRect(bottom), RECT{13, 70, 110, 73})) << Describe(WindowRect(bottom));
    menu.DestroyWindow();
}

TEST(DropShadow, TheSystemShadowOrNoneWhereStripsAreNotWanted)
{
    struct Case {
        const char* name;
        bool shadows, winXP, layered;
        bool classStyle, strips;
    };
    const Case cases[] = {
        {"system shadows on: the class style", true, true, true, true, false},
        {"XP with shadows off: nothing", false, true, true, false, false},
        {"no layered windows: nothing", false, false, false, false, false},
    };
    int tag = 0;
    for (const Case& c : cases) {
        CFakeShadowEnvironment environment;
        environment.shadows = c.shadows;
        environment.winXP = c.winXP;
        environment.layered = c.layered;
        CScopedDropShadowEnvironment scope(environment);
        // A class of its own per case.
        auto check = [&](auto& owner) {
            ASSERT_TRUE(owner.Create(nullptr, RECT{0, 0, 40, 40})) << c.name;
            EXPECT_EQ((GetClassLongPtrA(owner.m_hWnd, GCL_STYLE) & CS_DROPSHADOW) != 0, c.classStyle) << c.name;
            EXPECT_EQ(owner.GetShadowStrips().RightWindow() != nullptr, c.strips) << c.name;
            EXPECT_EQ(owner.GetShadowStrips().BottomWindow() != nullptr, c.strips) << c.name;
            // Moving and showing an owner without strips does nothing.
            SetWindowPos(owner.m_hWnd, nullptr, 10, 20, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            EXPECT_EQ(StripsOwnedBy(owner.m_hWnd), 0) << c.name;
            owner.DestroyWindow();
        };
        if (tag == 0) {
            TShadowOwner<4, false, 10> owner;
            check(owner);
        } else if (tag == 1) {
            TShadowOwner<4, false, 11> owner;
            check(owner);
        } else {
            TShadowOwner<4, false, 12> owner;
            check(owner);
        }
        ++tag;
    }
}

TEST(DropShadow, DialogBoxesGetStripsAndASkinnedOneHidesThem)
{
    CFakeShadowEnvironment environment;
    environment.shadows = true;
    CScopedDropShadowEnvironment scope(environment);
    CMemDlgTemplate dialogTemplate;
    dialogTemplate.Create("shadowed", RECT{0, 0, 80, 40}, WS_POPUP | DS_SETFONT, 0, "MS Shell Dlg", 8);

    CShadowDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialogTemplate.GetTemplatePtr()));
    const HWND right = dialog.GetShadowStrips().RightWindow();
    ASSERT_TRUE(right && dialog.GetShadowStrips().BottomWindow());
    EXPECT_FALSE(GetClassLongPtrA(dialog.m_hWnd, GCL_STYLE) & CS_DROPSHADOW);
    SetWindowPos(dialog.m_hWnd, nullptr, 10, 20, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(SameRect(WindowRect(right), RECT{110, 24, 114, 74})) << Describe(WindowRect(right));
    ShowWindow(dialog.m_hWnd, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(right));

    // With a skin the dialog's frame draws its own edge: the strips hide and stay put.
    environment.skin = true;
    ShowWindow(dialog.m_hWnd, SW_HIDE);
    ShowWindow(dialog.m_hWnd, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(right));
    MoveAway(right);
    SetWindowPos(dialog.m_hWnd, nullptr, 30, 40, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(AtAway(right));
    dialog.DestroyWindow();
}
