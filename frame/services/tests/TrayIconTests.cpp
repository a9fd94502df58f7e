// The tray icon on a real hidden frame window, with the notification calls recorded.
#include "frame/services/ServicesResources.h"
#include "frame/services/TrayIcon.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CRecordingNotify : INotifyIconApi {
    bool Notify(DWORD message, NOTIFYICONDATAA& data) override
    {
        calls.push_back(message);
        lastSize = data.cbSize;
        return true;
    }
    std::vector<DWORD> calls;
    DWORD lastSize = 0;
};

constexpr DWORD kDefaultSysFlags = 0x101c;

struct CFrameWindow {
    CFrameWindow()
        : handle(CreateWindowExA(0, "STATIC", "Tray frame", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr))
    {
    }
    ~CFrameWindow() { DestroyWindow(handle); }
    CFrameWindow(const CFrameWindow&) = delete;
    CFrameWindow& operator=(const CFrameWindow&) = delete;
    HWND handle;
};

} // namespace

TEST(TrayIcon, TheIconIsAddedAtCreationOnlyWhenTheNoIconBitIsClear)
{
    EXPECT_TRUE(ShowsTrayIconAtCreation(kDefaultSysFlags));
    EXPECT_FALSE(ShowsTrayIconAtCreation(kDefaultSysFlags | kSysFlagNoTrayIcon));

    CFrameWindow frame;
    CRecordingNotify notify;
    {
        CTrayIcon tray(notify);
        tray.SetUp(frame.handle, LoadIcon(nullptr, IDI_APPLICATION), GetModuleHandleA(nullptr), IDR_TRAY_MENU,
                   "Kivo Browser 1.0", ShowsTrayIconAtCreation(kDefaultSysFlags));
        EXPECT_FALSE(tray.IsHidden());
        ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, notify.calls);
        EXPECT_EQ(sizeof(NOTIFYICONDATAA), notify.lastSize);
        ASSERT_NE(nullptr, tray.GetPopupMenu());
        EXPECT_EQ(UINT(ID_TRAY_SHOW), GetMenuItemID(tray.GetPopupMenu(), 0));

        // A long tooltip is cut to 127 characters.
        tray.SetTooltip(std::string(200, 't'));
        EXPECT_EQ(127u, tray.GetTooltip().size());
        EXPECT_EQ(DWORD(NIM_MODIFY), notify.calls.back());
        tray.Remove();
        EXPECT_EQ(DWORD(NIM_DELETE), notify.calls.back());

        // A new task bar does not bring back an icon that was removed.
        LRESULT result = 0;
        const size_t before = notify.calls.size();
        tray.HandleMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0, kDefaultSysFlags, result);
        EXPECT_EQ(before, notify.calls.size());
        tray.Add();
        tray.HandleMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0, kDefaultSysFlags, result);
        EXPECT_EQ(DWORD(NIM_ADD), notify.calls.back());
    }
    EXPECT_EQ(DWORD(NIM_DELETE), notify.calls.back());  // the icon goes with the tray record
}

TEST(TrayIcon, TheFrameHidesToTheTrayAndComesBackOnAClick)
{
    CFrameWindow frame;
    ShowWindow(frame.handle, SW_SHOW);
    CRecordingNotify notify;
    CTrayIcon tray(notify);
    const DWORD flags = kDefaultSysFlags & ~kSysFlagMinimizeNormally;
    tray.SetUp(frame.handle, LoadIcon(nullptr, IDI_APPLICATION), GetModuleHandleA(nullptr), IDR_TRAY_MENU, "Kivo",
               false);
    EXPECT_TRUE(notify.calls.empty());

    LRESULT result = 0;
    // With the default flags minimising and closing are the frame's own.
    EXPECT_FALSE(tray.HandleMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0, kDefaultSysFlags, result));
    EXPECT_FALSE(tray.HandleMessage(WM_SYSCOMMAND, SC_CLOSE, 0, kDefaultSysFlags, result));
    EXPECT_FALSE(tray.HandleMessage(WM_SIZE, SIZE_MINIMIZED, 0, kDefaultSysFlags, result));

    EXPECT_TRUE(tray.HandleMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0, flags, result));
    EXPECT_FALSE(IsWindowVisible(frame.handle));
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_TRUE(tray.HandleMessage(kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN, flags, result));
    EXPECT_TRUE(IsWindowVisible(frame.handle));
    EXPECT_FALSE(tray.IsHidden());  // the icon stays after the window is back

    // Minimised from the task bar (a size message) and through the tray menu's first command.
    EXPECT_TRUE(tray.HandleMessage(WM_SIZE, SIZE_MINIMIZED, 0, flags, result));
    EXPECT_FALSE(IsWindowVisible(frame.handle));
    EXPECT_TRUE(tray.HandleMessage(WM_COMMAND, ID_TRAY_SHOW, 0, flags, result));
    EXPECT_TRUE(IsWindowVisible(frame.handle));
    EXPECT_EQ(std::vector<DWORD>{NIM_ADD}, notify.calls);  // added once
}
