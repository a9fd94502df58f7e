// Frames: bar layout, and an MDI frame with two children.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "platform/AtlFrame.h"

namespace {

const WORD kFrameCommand = 40001;
const WORD kChildCommand = 40002;

class CTestChild : public CMDIChildWindowImpl<CTestChild>
{
public:
    explicit CTestChild(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    BEGIN_MSG_MAP(CTestChild)
        MESSAGE_HANDLER(WM_MDIACTIVATE, OnMDIActivate)
        COMMAND_ID_HANDLER(kChildCommand, OnChildCommand)
        CHAIN_MSG_MAP(CMDIChildWindowImpl<CTestChild>)
    END_MSG_MAP()

    LRESULT OnMDIActivate(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
    {
        m_log.push_back(m_name + (reinterpret_cast<HWND>(lParam) == m_hWnd ? " activated" : " deactivated"));
        bHandled = FALSE; // the base and DefMDIChildProc must see it too
        return 0;
    }
    LRESULT OnChildCommand(WORD, WORD, HWND, BOOL&)
    {
        m_log.push_back(m_name + " command");
        return 0;
    }
    void OnFinalMessage(HWND) override { m_log.push_back(m_name + " final"); }

    std::vector<std::string>& m_log;
    std::string m_name;
};

class CTestMDIFrame : public CMDIFrameWindowImpl<CTestMDIFrame>
{
public:
    explicit CTestMDIFrame(std::vector<std::string>& log) : m_log(log) {}

    BEGIN_MSG_MAP(CTestMDIFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        COMMAND_ID_HANDLER(kFrameCommand, OnFrameCommand)
        CHAIN_MDI_CHILD_COMMANDS()
        CHAIN_MSG_MAP(CMDIFrameWindowImpl<CTestMDIFrame>)
    END_MSG_MAP()

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        CreateSimpleStatusBar("ready");
        CreateMDIClient();
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnFrameCommand(WORD, WORD, HWND, BOOL&)
    {
        m_log.push_back("frame command");
        return 0;
    }

    std::vector<std::string>& m_log;
};

TEST(PlatformFrame, MdiFrameWithTwoChildren)
{
    std::vector<std::string> log;
    CTestMDIFrame frame(log);
    ASSERT_TRUE(frame.Create(nullptr, CRect(0, 0, 600, 400), "frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
    ASSERT_TRUE(frame.m_hWndMDIClient);
    frame.UpdateLayout(); // a hidden frame gets no WM_SIZE until it is shown

    // The client fills the space above the status bar.
    CRect client, status, mdi;
    frame.GetClientRect(&client);
    ::GetWindowRect(frame.m_hWndStatusBar, &status);
    ::GetWindowRect(frame.m_hWndMDIClient, &mdi);
    EXPECT_EQ(client.Height() - status.Height(), mdi.Height());

    CTestChild first(log, "first"), second(log, "second");
    ASSERT_TRUE(first.Create(frame.m_hWndMDIClient, CRect(0, 0, 200, 150), "first"));
    EXPECT_EQ(first.m_hWnd, frame.MDIGetActive());
    ASSERT_TRUE(second.Create(frame.m_hWndMDIClient, CRect(20, 20, 220, 170), "second"));
    EXPECT_EQ(second.m_hWnd, frame.MDIGetActive());

    frame.MDIActivate(first);
    EXPECT_EQ(first.m_hWnd, frame.MDIGetActive());
    const std::vector<std::string> activations = {"first activated", "first deactivated", "second activated",
                                                  "second deactivated", "first activated"};
    EXPECT_EQ(activations, log);

    // The frame's own command stays with the frame; one it does not handle reaches the active child.
    log.clear();
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(kFrameCommand, 0), 0);
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(kChildCommand, 0), 0);
    EXPECT_EQ((std::vector<std::string>{"frame command", "first command"}), log);
    frame.MDIActivate(second);
    log.clear();
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(kChildCommand, 0), 0);
    EXPECT_EQ((std::vector<std::string>{"second command"}), log);

    // Pre-translation reaches the child through WM_FORWARDMSG.
    MSG msg = {second.m_hWnd, WM_KEYDOWN, VK_F2, 0};
    EXPECT_FALSE(::SendMessageA(second, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)));

    frame.MDIDestroy(second);
    EXPECT_EQ(first.m_hWnd, frame.MDIGetActive());
    frame.DestroyWindow();
    EXPECT_EQ(nullptr, first.m_hWnd);
    EXPECT_NE(std::find(log.begin(), log.end(), "second final"), log.end());
    EXPECT_EQ("first final", log.back());
}

class CPlainFrame : public CFrameWindowImpl<CPlainFrame>
{
public:
    BEGIN_MSG_MAP(CPlainFrame)
        CHAIN_MSG_MAP(CFrameWindowImpl<CPlainFrame>)
    END_MSG_MAP()
};

TEST(PlatformFrame, BarsAndClientShareTheFrame)
{
    CPlainFrame frame;
    ASSERT_TRUE(frame.Create(nullptr, CRect(0, 0, 500, 300), "plain", WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(frame.CreateSimpleReBar());
    CToolBarCtrl toolBar;
    ASSERT_TRUE(toolBar.Create(frame.m_hWndToolBar, nullptr, nullptr, ATL_SIMPLE_TOOLBAR_PANE_STYLE));
    toolBar.SetButtonStructSize();
    TBBUTTON buttons[2] = {};
    buttons[0].idCommand = 100;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].fsStyle = BTNS_BUTTON;
    buttons[0].iString = -1;
    buttons[1] = buttons[0];
    buttons[1].idCommand = 101;
    toolBar.AddButtons(2, buttons);
    ASSERT_TRUE(frame.AddSimpleReBarBand(toolBar));
    CReBarCtrl rebar(frame.m_hWndToolBar);
    EXPECT_EQ(1u, rebar.GetBandCount());
    EXPECT_EQ(0, rebar.IdToIndex(ATL_IDW_BAND_FIRST));
    ASSERT_TRUE(frame.CreateSimpleStatusBar());
    CStatic client;
    frame.m_hWndClient = client.Create("STATIC", frame, nullptr, nullptr, WS_CHILD | WS_VISIBLE);
    frame.UpdateLayout();
    CRect frameClient, bar, status, inner;
    frame.GetClientRect(&frameClient);
    ::GetWindowRect(frame.m_hWndToolBar, &bar);
    ::GetWindowRect(frame.m_hWndStatusBar, &status);
    client.GetWindowRect(&inner);
    frame.ScreenToClient(&inner);
    EXPECT_EQ(bar.Height(), inner.top);
    EXPECT_EQ(frameClient.Height() - status.Height(), inner.bottom);
    EXPECT_EQ(frameClient.Width(), inner.Width());
    frame.DestroyWindow();
}

} // namespace
