// Frames and dialogs built from resources: title, menu, accelerators, prompts and tooltips.
#include <gtest/gtest.h>
#include <string>
#include "platform/AtlFrame.h"
#include "platform/tests/TestResources.h"

namespace {

class CResourceFrame : public CMDIFrameWindowImpl<CResourceFrame>
{
public:
    DECLARE_FRAME_WND_CLASS(nullptr, IDR_TESTFRAME)
    BEGIN_MSG_MAP(CResourceFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        CHAIN_MSG_MAP(CMDIFrameWindowImpl<CResourceFrame>)
    END_MSG_MAP()
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        CreateSimpleStatusBar();
        CreateMDIClient();
        bHandled = FALSE;
        return 0;
    }
};

class CPlainChild : public CMDIChildWindowImpl<CPlainChild>
{
public:
    BEGIN_MSG_MAP(CPlainChild)
        CHAIN_MSG_MAP(CMDIChildWindowImpl<CPlainChild>)
    END_MSG_MAP()
};

std::string StatusText(HWND statusBar, int pane)
{
    char text[256] = {};
    ::SendMessageA(statusBar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text));
    return text;
}

// The text of the simple-mode pane: Windows reads it as pane 255, Wine as pane 0.
std::string SimpleText(HWND statusBar)
{
    const std::string text = StatusText(statusBar, SB_SIMPLEID);
    return text.empty() ? StatusText(statusBar, 0) : text;
}

TEST(PlatformResources, FrameFromItsCommonResource)
{
    CResourceFrame frame;
    ASSERT_TRUE(frame.CreateEx(nullptr, CRect(0, 0, 500, 300)));
    char title[64] = {};
    frame.GetWindowText(title, sizeof(title));
    EXPECT_STREQ("Resource frame", title);
    ASSERT_TRUE(frame.GetMenu());
    EXPECT_EQ(2, ::GetMenuItemCount(frame.GetMenu()));
    EXPECT_TRUE(frame.m_hAccel);
    EXPECT_EQ("Ready", StatusText(frame.m_hWndStatusBar, 0));

    // Menu prompts in the status bar while the menu is up; the panes again when it closes.
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_COMMAND, MF_STRING), reinterpret_cast<LPARAM>(frame.GetMenu()));
    EXPECT_TRUE(::SendMessageA(frame.m_hWndStatusBar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ("Runs the test command", SimpleText(frame.m_hWndStatusBar));
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_FALSE(::SendMessageA(frame.m_hWndStatusBar, SB_ISSIMPLE, 0, 0));

    // A tool bar button's tooltip is the text after the prompt.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = frame.m_hWnd;
    info.hdr.idFrom = ID_TEST_COMMAND;
    info.hdr.code = TTN_GETDISPINFOA;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("Test command", info.lpszText);

    // The MDI client found the Window menu and lists the children there.
    HMENU windowMenu = CMDIWindow::GetStandardWindowMenu(frame.GetMenu());
    ASSERT_TRUE(windowMenu);
    const int before = ::GetMenuItemCount(windowMenu);
    CPlainChild child;
    ASSERT_TRUE(child.Create(frame.m_hWndMDIClient, CRect(0, 0, 100, 100), "Child"));
    ::DrawMenuBar(frame);
    EXPECT_GT(::GetMenuItemCount(windowMenu), before);
    frame.DestroyWindow();
}

TEST(PlatformResources, ActiveChildShowsItsMenuAndTheFrameGetsItsOwnBack)
{
    CResourceFrame frame;
    HMENU frameMenu = ::CreateMenu();
    HMENU window = ::CreatePopupMenu();
    ::AppendMenuA(window, MF_STRING, ID_WINDOW_CASCADE, "&Cascade");
    ::AppendMenuA(frameMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    ASSERT_TRUE(frame.Create(nullptr, CRect(0, 0, 400, 300), "menus", 0, 0, frameMenu));
    EXPECT_EQ(frameMenu, frame.GetMenu());

    CPlainChild child;
    ASSERT_TRUE(child.Create(frame.m_hWndMDIClient, CRect(0, 0, 100, 100), "Child", 0, 0, IDR_TESTFRAME));
    ASSERT_TRUE(child.m_hMenu);
    EXPECT_EQ(child.m_hMenu, frame.GetMenu());
    HMENU childMenu = child.m_hMenu;
    frame.MDIDestroy(child);
    EXPECT_EQ(frameMenu, frame.GetMenu());
    EXPECT_FALSE(::IsMenu(childMenu)); // the child's menu went with it
    frame.DestroyWindow();
}

class CResourceDialog : public CDialogImpl<CResourceDialog>
{
public:
    enum { IDD = IDD_TESTDIALOG };
    BEGIN_MSG_MAP(CResourceDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
    END_MSG_MAP()
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        SetDlgItemText(IDC_TESTEDIT, reinterpret_cast<LPCSTR>(lParam));
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
        return TRUE;
    }
    LRESULT OnOk(WORD, WORD, HWND, BOOL&)
    {
        char text[32] = {};
        GetDlgItemText(IDC_TESTEDIT, text, sizeof(text));
        m_text = text;
        EndDialog(42);
        return 0;
    }
    std::string m_text;
};

TEST(PlatformResources, ModalDialogFromAResource)
{
    CResourceDialog dialog;
    EXPECT_EQ(42, dialog.DoModal(nullptr, reinterpret_cast<LPARAM>("hello")));
    EXPECT_EQ("hello", dialog.m_text);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

} // namespace
