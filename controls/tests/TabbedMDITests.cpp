// The tabbed MDI client in a real MDI frame: a frame window with an MDI client, children created
// through WM_MDICREATE that report their title and activation the way the browser's tab windows
// do, and the tab owner's strip above the client.
#include "controls/TabLayout.h"
#include "controls/TabNotify.h"
#include "controls/TabbedMDI.h"
#include "controls/TabbedMDIChild.h"
#include "core/app/Settings.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ReceivedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
};
std::vector<ReceivedMessage> g_received;

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// An MDI child that tells the client of its title, activation and maximised state.
LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const CTabbedMdiMessages& ids = GetTabbedMdiMessages();
    HWND client = ::GetParent(window);
    if (message == ids.showTabContextMenu) {
        g_received.push_back({window, message, wParam, lParam, {}});
        return 0;
    }
    switch (message) {
    case WM_SETTEXT: {
        const LRESULT result = ::DefMDIChildProcA(window, message, wParam, lParam);
        ::SendMessageA(client, ids.tabTextChange, reinterpret_cast<WPARAM>(window), 0);
        return result;
    }
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == window)
            ::SendMessageA(client, ids.activationChange, reinterpret_cast<WPARAM>(window), 0);
        break;
    case WM_SIZE:
        ::SendMessageA(client, wParam == SIZE_MAXIMIZED ? ids.maximized : ids.unmaximized,
                       reinterpret_cast<WPARAM>(window), 0);
        break;
    default:
        break;
    }
    return ::DefMDIChildProcA(window, message, wParam, lParam);
}

HWND g_mdiClient = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == GetTabbedMdiMessages().showTabContextMenu || message == kOpenUrlMessage) {
        g_received.push_back({window, message, wParam, lParam,
                              message == kOpenUrlMessage ? reinterpret_cast<const char*>(wParam) : ""});
        return 0;
    }
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT create = {nullptr, 1000};
        g_mdiClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                                        window, nullptr, ::GetModuleHandleA(nullptr), &create);
        return 0;
    }
    if (message == WM_SIZE && g_mdiClient) {
        // The frame gives its whole client area to the MDI client; the strip takes its share.
        RECT area = {};
        ::GetClientRect(window, &area);
        ::SetWindowPos(g_mdiClient, nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    return ::DefFrameProcA(window, g_mdiClient, message, wParam, lParam);
}

void RegisterClasses()
{
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpfnWndProc = FrameProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        wc.lpszClassName = "KivoTestMdiFrame";
        ::RegisterClassA(&wc);
        wc.lpfnWndProc = ChildProc;
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "KivoTestMdiChild";
        ::RegisterClassA(&wc);
        return true;
    }();
    (void)registered;
}

// Sets the settings' view flags for its scope and puts the previous ones back at its end.
class CScopedViewFlags {
public:
    explicit CScopedViewFlags(DWORD flags) : m_saved(GetSettings()->ViewFlags) { Set(flags); }
    ~CScopedViewFlags() { GetSettings()->ViewFlags = m_saved; }
    CScopedViewFlags(const CScopedViewFlags&) = delete;
    CScopedViewFlags& operator=(const CScopedViewFlags&) = delete;
    void Set(DWORD flags) { GetSettings()->ViewFlags = flags; }

private:
    DWORD m_saved = 0;
};

class TabbedMdi : public testing::Test {
protected:
    void SetUp() override { Open(ETabLook::DotNet2005); }
    void TearDown() override { Close(); }

    void Open(ETabLook look, DWORD addTabStyle = 0)
    {
        RegisterClasses();
        g_received.clear();
        g_mdiClient = nullptr;
        m_frame = ::CreateWindowExA(0, "KivoTestMdiFrame", "Kivo Browser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                    20, 20, 640, 400, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_frame, nullptr);
        ASSERT_NE(g_mdiClient, nullptr);
        m_client = g_mdiClient;
        m_tabbed = std::make_unique<CTabbedMDIClient>(look);
        m_tabbed->SetFrameWindow(m_frame);
        m_tabbed->GetTabOwner()->ModifyTabStyle(0, addTabStyle);
        ASSERT_TRUE(m_tabbed->SubclassMDIClient(m_client));
        // Without a window manager, Wine takes seconds to destroy a window that was activated.
        ::ShowWindow(m_frame, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_frame);
    }

    void Close()
    {
        if (m_frame) {
            ::ShowWindow(m_frame, SW_HIDE);
            ::DestroyWindow(m_frame);
        }
        m_frame = nullptr;
        m_tabbed.reset();
        Pump();
    }

    HWND AddChild(const char* title)
    {
        MDICREATESTRUCTA create = {"KivoTestMdiChild", title, ::GetModuleHandleA(nullptr),
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
        HWND child = reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        Pump();
        return child;
    }

    ITabCtrlInterface& Tabs() { return *m_tabbed->GetTabOwner()->GetTabCtrl(); }
    CMdiTabOwner& Owner() { return m_tabbed->Owner(); }
    HWND Active() const { return reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0, 0)); }

    std::vector<std::string> TabTexts()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Tabs().GetItemCount(); ++i)
            texts.push_back(Tabs().GetItem(i)->GetText());
        return texts;
    }

    RECT InFrame(HWND window) const
    {
        RECT rect = {};
        ::GetWindowRect(window, &rect);
        ::MapWindowPoints(nullptr, m_frame, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    LRESULT NotifyOwner(int code, int item, POINT point = {-1, -1})
    {
        CTabNotifyItem notify = {};
        notify.hdr.hwndFrom = Owner().GetStripWindow();
        notify.hdr.code = static_cast<UINT>(code);
        notify.item = item;
        notify.pt = point;
        return ::SendMessageA(Owner().m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    }

    POINT TabCentreOnScreen(int index)
    {
        RECT rect = {};
        ::SendMessageA(Owner().GetStripWindow(), WM_NULL, 0, 0);
        CTabItem* item = Tabs().GetItem(index);
        rect = item->GetRect();
        POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(Owner().GetStripWindow(), &centre);
        return centre;
    }

    // The tests leave the program's settings as they found them.
    CScopedViewFlags m_viewFlags{kDefaultViewFlags};
    HWND m_frame = nullptr;
    HWND m_client = nullptr;
    std::unique_ptr<CTabbedMDIClient> m_tabbed;
};

TEST_F(TabbedMdi, ThreeChildrenGiveThreeTabsInOrderAboveTheClient)
{
    EXPECT_FALSE(Owner().IsWindowVisible());
    const RECT fullClient = InFrame(m_client);

    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    HWND three = AddChild("");
    ASSERT_TRUE(one && two && three);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"One", "Two", "Untitled"}));
    EXPECT_EQ(Tabs().GetItem(0)->GetViewWindow(), one);
    EXPECT_EQ(Tabs().GetItem(2)->GetViewWindow(), three);
    EXPECT_EQ(Tabs().GetCurSel(), 2);
    EXPECT_EQ(::SendMessageA(Owner().GetStripWindow(), 0x1304, 0, 0), 3);

    // The strip shows above the client, which gave up exactly the strip's height.
    ASSERT_TRUE(Owner().IsWindowVisible());
    const int height = Owner().GetStripHeight();
    EXPECT_GE(height, 24);
    const RECT strip = InFrame(Owner().m_hWnd);
    const RECT client = InFrame(m_client);
    EXPECT_EQ(strip.top, fullClient.top);
    EXPECT_EQ(strip.bottom - strip.top, height);
    EXPECT_EQ(client.top, fullClient.top + height);
    EXPECT_EQ(client.bottom, fullClient.bottom);

    // The frame lays the client out again (a resize): the strip keeps its place.
    ::SetWindowPos(m_frame, nullptr, 0, 0, 700, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(InFrame(m_client).top, fullClient.top + height);
    EXPECT_EQ(InFrame(Owner().m_hWnd).right, InFrame(m_client).right);
}

TEST_F(TabbedMdi, TabsAtTheBottomTakeTheLowerEdge)
{
    Close();
    Open(ETabLook::DotNet, kTabStyleBottom);
    const RECT fullClient = InFrame(m_client);
    AddChild("One");
    const int height = Owner().GetStripHeight();
    const RECT strip = InFrame(Owner().m_hWnd);
    EXPECT_EQ(InFrame(m_client).top, fullClient.top);
    EXPECT_EQ(InFrame(m_client).bottom, fullClient.bottom - height);
    EXPECT_EQ(strip.top, fullClient.bottom - height);
    EXPECT_EQ(strip.bottom, fullClient.bottom);
}

TEST_F(TabbedMdi, ClientEdgeIsAFlatEtchedBorder)
{
    ASSERT_TRUE(::GetWindowLongPtrA(m_client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    ::SendMessageA(m_client, WM_NCPAINT, 1, 0);
    HDC dc = ::GetWindowDC(m_client);
    const COLORREF inner = ::GetPixel(dc, 1, 1);
    ::ReleaseDC(m_client, dc);
    // A sunken 3-D edge has its dark shadow there; the flat etched border does not.
    EXPECT_NE(inner, ::GetSysColor(COLOR_3DDKSHADOW));
    m_tabbed->UnsubclassMDIClient();
    ::SendMessageA(m_client, WM_NCPAINT, 1, 0);
    dc = ::GetWindowDC(m_client);
    const COLORREF classic = ::GetPixel(dc, 1, 1);
    ::ReleaseDC(m_client, dc);
    EXPECT_NE(classic, inner);
}

TEST_F(TabbedMdi, TitleAndTooltipChangesFollowTheChild)
{
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    ::SetWindowTextA(one, "Example Domain");
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"Example Domain", "Two"}));

    const CTabbedMdiMessages& ids = GetTabbedMdiMessages();
    EXPECT_EQ(::SendMessageA(m_client, ids.tabTextChange, reinterpret_cast<WPARAM>(two), reinterpret_cast<LPARAM>("Short")), 1);
    EXPECT_EQ(::SendMessageA(m_client, ids.tabTextChange, reinterpret_cast<WPARAM>(two), reinterpret_cast<LPARAM>("Short")), 0);
    EXPECT_EQ(Tabs().GetItem(1)->GetText(), "Short");
    // lParam 0 takes the window text again.
    EXPECT_EQ(::SendMessageA(m_client, ids.tabTextChange, reinterpret_cast<WPARAM>(two), 0), 1);
    EXPECT_EQ(Tabs().GetItem(1)->GetText(), "Two");

    EXPECT_EQ(::SendMessageA(m_client, ids.tabToolTipChange, reinterpret_cast<WPARAM>(two),
                             reinterpret_cast<LPARAM>("Two: the whole title")), 1);
    EXPECT_EQ(::SendMessageA(m_client, ids.tabToolTipChange, reinterpret_cast<WPARAM>(two),
                             reinterpret_cast<LPARAM>("Two: the whole title")), 0);
    EXPECT_EQ(Tabs().GetItem(1)->GetToolTip(), "Two: the whole title");

    // A window without a tab changes nothing.
    EXPECT_EQ(::SendMessageA(m_client, ids.tabTextChange, reinterpret_cast<WPARAM>(m_frame), reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(Tabs().GetItemCount(), 2);

    EXPECT_TRUE(Owner().SetTabImage(two, 3));
    EXPECT_FALSE(Owner().SetTabImage(two, 3));
    EXPECT_FALSE(Owner().SetTabImage(m_frame, 3));
    EXPECT_EQ(Tabs().GetItem(1)->GetImageIndex(), 3);
}

TEST_F(TabbedMdi, ActivationGoesBothWays)
{
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    HWND three = AddChild("Three");
    ASSERT_EQ(Active(), three);

    Tabs().SetCurSel(0);  // selecting a tab activates its child
    EXPECT_EQ(Active(), one);
    ::SendMessageA(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(two), 0);  // and the reverse
    EXPECT_EQ(Tabs().GetCurSel(), 1);
    ::SendMessageA(m_client, WM_MDINEXT, 0, 0);
    EXPECT_EQ(Tabs().GetItem(Tabs().GetCurSel())->GetViewWindow(), Active());

    // A click on the selected tab gives its child the focus.
    NotifyOwner(NM_CLICK, Tabs().GetCurSel());
    EXPECT_EQ(::GetFocus(), Active());
}

TEST_F(TabbedMdi, SelectingWhileMaximisedKeepsTheNewChildMaximised)
{
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    ::SendMessageA(m_client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(two), 0);
    ASSERT_TRUE(::IsZoomed(two));
    Tabs().SetCurSel(0);
    EXPECT_EQ(Active(), one);
    EXPECT_TRUE(::IsZoomed(one));

    // A minimised child comes back when its tab is chosen.
    ::SendMessageA(m_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(one), 0);
    ::ShowWindow(two, SW_MINIMIZE);
    Tabs().SetCurSel(1);
    EXPECT_EQ(Active(), two);
    EXPECT_FALSE(::IsIconic(two));
}

TEST_F(TabbedMdi, ClosingTabsClosesChildrenAndTheLastGivesTheStripBack)
{
    const RECT fullClient = InFrame(m_client);
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    HWND three = AddChild("Three");

    NotifyOwner(kTabNotifyClose, 1);  // the strip's close button on tab 1
    Pump();
    EXPECT_FALSE(::IsWindow(two));
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(Tabs().GetItem(Tabs().GetCurSel())->GetViewWindow(), Active());

    ::SendMessageA(three, WM_CLOSE, 0, 0);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"One"});
    EXPECT_TRUE(Owner().IsWindowVisible());
    ::SendMessageA(m_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_EQ(Tabs().GetItemCount(), 0);
    EXPECT_FALSE(Owner().IsWindowVisible());
    const RECT client = InFrame(m_client);
    EXPECT_EQ(client.top, fullClient.top);
    EXPECT_EQ(client.bottom, fullClient.bottom);

    // And the strip comes back with the next child.
    AddChild("Again");
    EXPECT_TRUE(Owner().IsWindowVisible());
    EXPECT_EQ(InFrame(m_client).top, fullClient.top + Owner().GetStripHeight());
}

TEST_F(TabbedMdi, DoubleClicksCloseTheSelectedTabOrOpenANewOne)
{
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    g_received.clear();

    const POINT empty = {Tabs().GetItem(1)->GetRect().right + 12, 8};  // empty strip space
    NotifyOwner(NM_DBLCLK, -1, empty);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].window, m_frame);
    EXPECT_EQ(g_received[0].message, kOpenUrlMessage);
    EXPECT_EQ(g_received[0].text, "");
    EXPECT_EQ(g_received[0].lParam, kOpenNewTab);

    NotifyOwner(NM_DBLCLK, 0);  // not the selected tab: nothing
    Pump();
    EXPECT_TRUE(::IsWindow(one));

    // Without the view flag nothing happens at all.
    m_viewFlags.Set(kDefaultViewFlags & ~kViewFlagTabDoubleClick);
    g_received.clear();
    NotifyOwner(NM_DBLCLK, -1, empty);
    NotifyOwner(NM_DBLCLK, 1);
    Pump();
    EXPECT_TRUE(g_received.empty());
    EXPECT_TRUE(::IsWindow(two));

    m_viewFlags.Set(kDefaultViewFlags);
    NotifyOwner(NM_DBLCLK, 1);  // the selected tab
    Pump();
    EXPECT_FALSE(::IsWindow(two));
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"One"});
}

TEST_F(TabbedMdi, DoubleClickOnAStripButtonOpensNothing)
{
    for (int i = 0; i < 12; ++i)
        AddChild("A page with a long enough title");  // the strip must scroll: its buttons show
    RECT strip = {};
    ::GetClientRect(Owner().GetStripWindow(), &strip);
    g_received.clear();
    int onButtons = 0;
    for (int x = strip.left; x < strip.right; ++x) {
        const POINT point = {x, strip.bottom / 2};
        UINT where = 0;
        if (Owner().HitTestStrip(point, &where) >= 0 ||
            !(where & (kTabHitCloseButton | kTabHitScrollLeft | kTabHitScrollRight)))
            continue;
        ++onButtons;
        NotifyOwner(NM_DBLCLK, -1, point);
    }
    EXPECT_GT(onButtons, 10);  // the close and scroll buttons are there
    EXPECT_TRUE(g_received.empty());
}

TEST_F(TabbedMdi, ContextMenuRequestsGoToTheTabsChildOrTheMainWindow)
{
    HWND one = AddChild("One");
    HWND two = AddChild("Two");
    const UINT request = GetTabbedMdiMessages().showTabContextMenu;
    g_received.clear();

    const POINT onOne = TabCentreOnScreen(0);
    ::SendMessageA(Owner().m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Owner().GetStripWindow()),
                   MAKELPARAM(onOne.x, onOne.y));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].window, one);
    EXPECT_EQ(g_received[0].message, request);
    EXPECT_EQ(g_received[0].wParam, reinterpret_cast<WPARAM>(Owner().GetStripWindow()));
    EXPECT_EQ(g_received[0].lParam, MAKELPARAM(onOne.x, onOne.y));

    RECT strip = {};
    ::GetWindowRect(Owner().GetStripWindow(), &strip);
    ::SendMessageA(Owner().m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(strip.right - 200, strip.top + 5));
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[1].window, m_frame);

    // From the keyboard: the selected tab, at its lower left corner.
    ::SendMessageA(Owner().m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_EQ(g_received[2].window, two);
    RECT selected = Tabs().GetItem(1)->GetRect();
    ::MapWindowPoints(Owner().GetStripWindow(), nullptr, reinterpret_cast<POINT*>(&selected), 2);
    EXPECT_EQ(g_received[2].lParam, MAKELPARAM(selected.left, selected.bottom));
}

class CPagedChild : public TTabbedMDIChildWindowImpl<CPagedChild> {
public:
    HWND NewPage(const char* text)
    {
        return ::CreateWindowExA(0, "STATIC", text, WS_CHILD, 0, 0, 10, 10, m_hWnd, nullptr, nullptr, nullptr);
    }
    void OnFinalMessage(HWND) override { m_gone = true; }
    bool m_gone = false;
};

TEST_F(TabbedMdi, PagedChildReportsToTheStripAndSwitchesItsPages)
{
    AddChild("Other");
    CPagedChild child;
    ASSERT_NE(child.Create(m_client, nullptr, "Example Domain"), nullptr);
    Pump();
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"Other", "Example Domain"}));
    EXPECT_EQ(Active(), child.m_hWnd);
    child.SetMdiTabText("Example");
    child.SetMdiTabToolTip("Example Domain - the whole title");
    EXPECT_EQ(Tabs().GetItem(1)->GetText(), "Example");
    EXPECT_EQ(Tabs().GetItem(1)->GetToolTip(), "Example Domain - the whole title");

    HWND html = child.NewPage("HTML");
    HWND source = child.NewPage("Source");
    child.SetMinimumPageCount(2);
    child.AddPage(html, "HTML");
    EXPECT_EQ(child.GetCurrentPage(), html);
    EXPECT_FALSE(child.IsInnerStripShown());
    child.AddPage(source, "Source");
    EXPECT_TRUE(child.IsInnerStripShown());
    EXPECT_EQ(child.GetCurrentPage(), html);

    // The strip along the top, the current page below it.
    RECT strip = {}, page = {};
    ::GetWindowRect(child.GetInnerStrip().m_hWnd, &strip);
    ::GetWindowRect(html, &page);
    EXPECT_TRUE(::IsWindowVisible(child.GetInnerStrip().m_hWnd));
    EXPECT_EQ(page.top, strip.bottom);
    EXPECT_EQ(strip.bottom - strip.top, TabStripHeight(child.GetInnerStrip().m_hWnd));

    child.GetInnerStrip().SetCurSel(1);
    EXPECT_EQ(child.GetCurrentPage(), source);
    EXPECT_FALSE(::IsWindowVisible(html));
    EXPECT_TRUE(::IsWindowVisible(source));

    child.RemovePage(source);
    EXPECT_EQ(child.GetPageCount(), 1);
    EXPECT_FALSE(child.IsInnerStripShown());
    EXPECT_EQ(child.GetCurrentPage(), html);
    ::GetWindowRect(html, &page);
    RECT inner = {};
    ::GetClientRect(child.m_hWnd, &inner);
    ::MapWindowPoints(child.m_hWnd, nullptr, reinterpret_cast<POINT*>(&inner), 2);
    EXPECT_EQ(page.top, inner.top);  // the strip's room went back to the page

    // Maximising tells the client; closing the child removes its tab.
    ::SendMessageA(m_client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child.m_hWnd), 0);
    EXPECT_TRUE(::IsZoomed(child.m_hWnd));
    ::SendMessageA(child.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(child.m_gone);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"Other"});
}

TEST_F(TabbedMdi, APagedChildsNewTitleBecomesItsTabsText)
{
    CPagedChild child;
    ASSERT_NE(child.Create(m_client, nullptr, "Example Domain"), nullptr);
    Pump();
    ASSERT_EQ(TabTexts(), std::vector<std::string>{"Example Domain"});
    // A page that loads gives the child its title; the tab follows without being told.
    ::SetWindowTextA(child.m_hWnd, "Another page");
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"Another page"});
    ::SendMessageA(child.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(child.m_gone);
}

TEST(TabbedMdiMessages, EightDistinctRegisteredMessages)
{
    const CTabbedMdiMessages& ids = GetTabbedMdiMessages();
    const UINT all[] = {ids.tabTextChange,      ids.tabToolTipChange, ids.activationChange, ids.maximized,
                        ids.unmaximized,        ids.showTabContextMenu, ids.saveModified,   ids.closeWithNoPrompt};
    for (size_t i = 0; i < std::size(all); ++i) {
        EXPECT_GE(all[i], 0xC000u);
        for (size_t j = i + 1; j < std::size(all); ++j)
            EXPECT_NE(all[i], all[j]);  // the two "5DAD28EC" names differ in their text
    }
    EXPECT_EQ(ids.tabTextChange,
              ::RegisterWindowMessageA("UWM_MDICHILDTABTEXTCHANGE_MSG-5DAD28E1-C961-11d5-8BDA-00500477589F"));
    EXPECT_EQ(ids.closeWithNoPrompt,
              ::RegisterWindowMessageA("UWM_MDICHILDCLOSEWITHNOPROMPT_MSG-5DAD28EC-C961-11d5-8BDA-00500477589F"));
}

TEST(TabbedMdiLooks, TabStyleChoosesTheLookExactly)
{
    struct Case {
        const char* setting;
        const char* windowClass;
    } const cases[] = {
        {"Button", "_ButtonTab"},           {"DotNetButton", "_DotNetButtonTabCtrl"},
        {"DotNet2005", "_DotNet2005TabCtrl"}, {"DotNet", "_DotNetTabCtrl"},
        {"button", "_DotNetTabCtrl"},        {"", "_DotNetTabCtrl"},
        {nullptr, "_DotNetTabCtrl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting ? c.setting : "(null)");
        const ETabLook look = TabLookFromStyleName(c.setting);
        EXPECT_STREQ(TabLookWindowClass(look), c.windowClass);
        // The owner's strip really is a window of that class.
        HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        CLIENTCREATESTRUCT create = {nullptr, 1000};
        HWND client = ::CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, frame, nullptr,
                                        ::GetModuleHandleA(nullptr), &create);
        {
            CTabbedMDIClient tabbed(look);
            ASSERT_TRUE(tabbed.SubclassMDIClient(client));
            char name[64] = {};
            ::GetClassNameA(tabbed.Owner().GetStripWindow(), name, sizeof(name));
            EXPECT_STREQ(name, c.windowClass);
            ::GetClassNameA(tabbed.Owner().m_hWnd, name, sizeof(name));
            EXPECT_STREQ(name, "MdiTabOwner");
            EXPECT_EQ(tabbed.Owner().GetTabStyle(), 0x6509u);
            tabbed.Owner().ModifyTabStyle(0x0001, 0x0002);
            EXPECT_EQ(tabbed.Owner().GetTabStyle(), 0x650Au);
        }
        // The client works on after its tabbed part is gone.
        EXPECT_EQ(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0), 0);
        ::DestroyWindow(frame);
    }
}

// ---- Screenshot ------------------------------------------------------------------------------

// A PNG of 24-bit rows with stored (uncompressed) deflate blocks: no library needed.
class CPngWriter {
public:
    static bool Write(const std::string& path, int width, int height, const std::vector<BYTE>& rgbRows)
    {
        std::string png("\x89PNG\r\n\x1a\n", 8);
        std::string header;
        Put32(header, width);
        Put32(header, height);
        header += std::string("\x08\x02\x00\x00\x00", 5);
        Chunk(png, "IHDR", header);
        std::string raw;
        const size_t stride = static_cast<size_t>(width) * 3;
        for (int y = 0; y < height; ++y) {
            raw += '\0';
            raw.append(reinterpret_cast<const char*>(&rgbRows[y * stride]), stride);
        }
        std::string zlib("\x78\x01", 2);
        for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
            const size_t length = std::min<size_t>(65535, raw.size() - at);
            zlib += static_cast<char>(at + length >= raw.size() ? 1 : 0);
            zlib += static_cast<char>(length & 0xFF);
            zlib += static_cast<char>(length >> 8);
            zlib += static_cast<char>(~length & 0xFF);
            zlib += static_cast<char>((~length >> 8) & 0xFF);
            zlib.append(raw, at, length);
            if (raw.empty())
                break;
        }
        Put32(zlib, Adler32(raw));
        Chunk(png, "IDAT", zlib);
        Chunk(png, "IEND", "");
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out)
            return false;
        const bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
        return std::fclose(out) == 0 && written;
    }

private:
    static void Put32(std::string& out, uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((value >> shift) & 0xFF);
    }
    static uint32_t Adler32(const std::string& data)
    {
        uint32_t a = 1, b = 0;
        for (unsigned char c : data) {
            a = (a + c) % 65521;
            b = (b + a) % 65521;
        }
        return (b << 16) | a;
    }
    static uint32_t Crc32(const std::string& data)
    {
        uint32_t crc = 0xFFFFFFFF;
        for (unsigned char c : data) {
            crc ^= c;
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        return ~crc;
    }
    static void Chunk(std::string& png, const char* type, const std::string& data)
    {
        Put32(png, static_cast<uint32_t>(data.size()));
        const std::string body = std::string(type, 4) + data;
        png += body;
        Put32(png, Crc32(body));
    }
};

TEST_F(TabbedMdi, ScreenshotOfTheFrameWithItsTabStrip)
{
    AddChild("Kivo Browser start page");
    HWND news = AddChild("News - Example");
    AddChild("Search results");
    ::SendMessageA(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(news), 0);
    ::SendMessageA(m_client, WM_MDICASCADE, 0, 0);
    ::RedrawWindow(m_frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();

    RECT rect = {};
    ::GetWindowRect(m_frame, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ASSERT_TRUE(::BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY));
    ::ReleaseDC(nullptr, screen);

    std::vector<BYTE> rgb(static_cast<size_t>(width) * height * 3);
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4];
    }
    // The strip is on the screen: the selected tab's text colour differs from the strip's background.
    const RECT strip = InFrame(Owner().m_hWnd);
    RECT frameClient = {};
    ::GetClientRect(m_frame, &frameClient);
    POINT origin = {0, 0};
    ::ClientToScreen(m_frame, &origin);
    const int stripTop = origin.y - rect.top + strip.top;
    EXPECT_GT(strip.bottom, strip.top);
    int distinct = 0;
    COLORREF first = 0;
    for (int x = 0; x < width; ++x) {
        const size_t at = (static_cast<size_t>(stripTop + 12) * width + x) * 3;
        const COLORREF c = RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
        if (x == 0)
            first = c;
        distinct += c != first;
    }
    EXPECT_GT(distinct, 20);

    const std::string path = kivo_test::ScreenshotPath("tabbed-mdi-frame.png");
    EXPECT_TRUE(CPngWriter::Write(path, width, height, rgb)) << path;
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

}  // namespace
