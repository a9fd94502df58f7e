// The frame's services joined to a window: the tray icon hiding the window and bringing it back,
// the update check's result as the user sees it (against a server of the test's own on 127.0.0.1),
// the worker stopped when the window goes, and the tool commands.
#include "frame/services/tests/TinyHttpServer.h"  // first: winsock2.h goes before windows.h

#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "controls/tests/Screenshot.h"
#include "core/tests/ScratchFolder.h"
#include "frame/services/FrameServices.h"
#include "frame/services/ServicesResources.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct CRecordingNotify : INotifyIconApi {
    bool Notify(DWORD message, NOTIFYICONDATAA&) override
    {
        messages.push_back(message);
        return true;
    }
    std::vector<DWORD> messages;
};

struct CRecordingUpdateUi : IUpdateCheckUi {
    bool OfferNewVersion(HWND, const CUpdateInfo& info, bool) override
    {
        offers.push_back(info);
        return false;
    }
    void ShowMessage(HWND, const std::string& text, UINT icon) override { messages.push_back({text, icon}); }
    struct CMessage {
        std::string text;
        UINT icon;
    };
    std::vector<CUpdateInfo> offers;
    std::vector<CMessage> messages;
};

struct CRecordingStarter : IToolStarter {
    bool Start(HWND, const std::string& file, const std::string& arguments, const std::string&) override
    {
        started.push_back(file + " " + arguments);
        return true;
    }
    std::vector<std::string> started;
};

CFrameServices* g_services = nullptr;  // not owned: the test's, while its window lives

LRESULT CALLBACK ServicesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (g_services && g_services->HandleMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window whose messages go through the services first, as the frame base's do.
class CServicesWindow {
public:
    explicit CServicesWindow(CFrameServices& services)
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ServicesWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KivoServicesTestFrame";
        RegisterClassA(&windowClass);
        g_services = &services;
        m_window = CreateWindowExA(0, "KivoServicesTestFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300,
                                   200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        services.OnCreate(m_window, GetModuleHandleA(nullptr));
    }
    ~CServicesWindow()
    {
        if (g_services)
            g_services->OnDestroy();
        DestroyWindow(m_window);
        g_services = nullptr;
    }
    CServicesWindow(const CServicesWindow&) = delete;
    CServicesWindow& operator=(const CServicesWindow&) = delete;
    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// Dispatches what is queued, then waits for more until `done`; false after a generous deadline.
bool PumpUntil(const std::function<bool()>& done)
{
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (true) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount64() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

} // namespace

TEST(FrameServices, TheWindowHidesToTheTrayAndComesBackOnAClickOfItsIcon)
{
    CRecordingNotify notify;
    CRecordingUpdateUi ui;
    CRecordingStarter starter;
    CFrameServices services(notify, ui, starter);
    CServicesWindow window(services);
    CTrayIcon& tray = services.GetTrayIcon();
    EXPECT_TRUE(tray.IsHidden());
    EXPECT_TRUE(notify.messages.empty());
    EXPECT_EQ("Kivo Browser", tray.GetTooltip().substr(0, 12));
    ASSERT_NE(nullptr, tray.GetPopupMenu());

    // A left click on the icon hides the shown window and adds the icon; the next shows it again.
    SendMessageA(window.Handle(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    EXPECT_FALSE(tray.IsHidden());
    ASSERT_EQ(1u, notify.messages.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), notify.messages[0]);
    SendMessageA(window.Handle(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_FALSE(tray.IsHidden());  // the icon stays

    // "Show Kivo Browser" toggles as the click does; a click of another icon id is not ours.
    SendMessageA(window.Handle(), WM_COMMAND, ID_TRAY_SHOW, 0);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    SendMessageA(window.Handle(), kMsgTrayCallback, kTrayIconId + 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    SendMessageA(window.Handle(), WM_COMMAND, ID_TRAY_SHOW, 0);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));

    // With "SysFlags" 0x08 clear, minimising from the title bar hides to the tray.
    CSettings& settings = *GetSettings();
    const DWORD saved = settings.SysFlags;
    settings.SysFlags = saved & ~kSysFlagMinimizeNormally;
    SendMessageA(window.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    EXPECT_FALSE(IsIconic(window.Handle()));
    settings.SysFlags = saved;
    SendMessageA(window.Handle(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));

    // The window's going deletes the icon.
    services.OnDestroy();
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), notify.messages.back());
    EXPECT_TRUE(tray.IsHidden());
}

TEST(FrameServices, TheUpdateCheckOffersANewerVersionAndReportsFailuresOnlyToTheUserWhoAsked)
{
    CScratchFolder folder("FrameServicesUpdate");
    CTinyHttpServer server({{"/new/kvbver.ini", "[main]\r\nversion=99.0\r\nreleasedate=Jan 1 2030\r\n"
                                                "downloadurl=http://kivo.example/get\r\n"},
                            {"/same/kvbver.ini", "[main]\r\nreleasedate=Jan 1 2030\r\n"},
                            {"/bad/kvbver.ini", "[main]\r\nversion=new!\r\n"},
                            {"/share/kvbver.ini", "[main]\r\nversion=99.0\r\ndownloadurl=\\\\evil\\s\\setup.exe\r\n"}});
    CSettingsStore& store = *GetSettingsStore();
    CSettings& settings = *GetSettings();
    const DWORD savedFlags = settings.SysFlags;
    settings.SysFlags = savedFlags & ~SysFlag::NoUpdateCheck;
    const struct {
        std::string path;
        bool userCheck;
        size_t offers;
        const char* message;  // the start of the message shown, or null for none
    } cases[] = {
        {"/new/kvbver.ini", false, 1, nullptr},
        {"/new/kvbver.ini", true, 1, nullptr},
        {"/same/kvbver.ini", false, 0, nullptr},
        {"/same/kvbver.ini", true, 0, "You already have the latest version"},
        {"/bad/kvbver.ini", false, 0, nullptr},
        {"/bad/kvbver.ini", true, 0, "The update information could not be read."},
        {"/share/kvbver.ini", true, 0, "The update information could not be read."},
        {"/missing/kvbver.ini", false, 0, nullptr},
        {"/missing/kvbver.ini", true, 0, "Cann't connect to "},
        {"unreachable", true, 0, "Cann't connect to "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + (c.userCheck ? " (user)" : " (automatic)"));
        CRecordingNotify notify;
        CRecordingUpdateUi ui;
        CRecordingStarter starter;
        CFrameServices services(notify, ui, starter);
        services.SetUpdateInfoPath((folder / kUpdateInfoFileName).c_str());
        const std::string url = c.path == "unreachable" ? "http://127.0.0.1:1/kvbver.ini" : server.Url(c.path);
        store.WriteString(kUpdateUrlSection, kUpdateUrlKey, url.c_str());
        EXPECT_EQ(url, services.GetUpdateUrl());
        CServicesWindow window(services);
        ASSERT_TRUE(c.userCheck ? services.StartUserUpdateCheck() : services.StartAutomaticUpdateCheck());
        // One check at a time.
        EXPECT_FALSE(services.StartUserUpdateCheck());
        ASSERT_TRUE(PumpUntil([&] { return !services.GetUpdateCheck().IsRunning(); }));
        // The worker posted its result before it ended: one more pump reads it.
        PumpUntil([] { return true; });
        ASSERT_EQ(c.offers, ui.offers.size()) << (ui.messages.empty() ? std::string("no message") : ui.messages[0].text);
        if (c.offers) {
            EXPECT_EQ("99.0", ui.offers[0].version);
            EXPECT_EQ("Jan 1 2030", ui.offers[0].releaseDate);
            EXPECT_EQ("http://kivo.example/get", ui.offers[0].downloadUrl);
        }
        if (c.message) {
            ASSERT_EQ(1u, ui.messages.size());
            EXPECT_EQ(0u, ui.messages[0].text.find(c.message)) << ui.messages[0].text;
        } else {
            EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
        }
        // The local copy does not outlive the reading.
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder / kUpdateInfoFileName).c_str()));
    }

    // "SysFlags" 0x02 switches the start-up check off; the user's check still runs.
    settings.SysFlags = savedFlags | SysFlag::NoUpdateCheck;
    {
        CRecordingNotify notify;
        CRecordingUpdateUi ui;
        CRecordingStarter starter;
        CFrameServices services(notify, ui, starter);
        services.SetUpdateInfoPath((folder / kUpdateInfoFileName).c_str());
        CServicesWindow window(services);
        EXPECT_FALSE(services.StartAutomaticUpdateCheck());
        EXPECT_TRUE(services.StartUserUpdateCheck());
    }
    settings.SysFlags = savedFlags;

    // An address that is no web address gives the built-in one.
    store.WriteString(kUpdateUrlSection, kUpdateUrlKey, "gopher://old.example/kvbver.ini");
    CFrameServices services;
    EXPECT_EQ(kBuiltInUpdateUrl, services.GetUpdateUrl());
    store.WriteString(kUpdateUrlSection, kUpdateUrlKey, "http://127.0.0.1:1/kvbver.ini");
}

TEST(FrameServices, TheWindowsGoingStopsARunningCheckWithinItsTimeOut)
{
    CScratchFolder folder("FrameServicesStop");
    // A server that takes the connection and never answers: the worker waits in its download.
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    listen(listener, 4);
    GetSettingsStore()->WriteString(kUpdateUrlSection, kUpdateUrlKey,
                                    ("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/kvbver.ini").c_str());
    CRecordingNotify notify;
    CRecordingUpdateUi ui;
    CRecordingStarter starter;
    CFrameServices services(notify, ui, starter);
    services.SetUpdateInfoPath((folder / kUpdateInfoFileName).c_str());
    {
        CServicesWindow window(services);
        ASSERT_TRUE(services.StartUserUpdateCheck());
        EXPECT_TRUE(services.GetUpdateCheck().IsRunning());
    }
    EXPECT_FALSE(services.GetUpdateCheck().IsRunning());
    EXPECT_TRUE(ui.messages.empty());
    closesocket(listener);
    WSACleanup();
    GetSettingsStore()->WriteString(kUpdateUrlSection, kUpdateUrlKey, "http://127.0.0.1:1/kvbver.ini");
}

TEST(FrameServices, ToolCommandsStartTheFirstTenToolsOnly)
{
    CScratchFolder folder("FrameServicesTools");
    CRecordingNotify notify;
    CRecordingUpdateUi ui;
    CRecordingStarter starter;
    CFrameServices services(notify, ui, starter);
    CServicesWindow window(services);
    CExternalToolList* tools = GetExternalToolList();
    ASSERT_NE(nullptr, tools);
    const std::vector<CExternalTool> saved = tools->m_tools;
    char notepad[MAX_PATH] = "";
    ASSERT_NE(0u, SearchPathA(nullptr, "notepad.exe", nullptr, sizeof(notepad), notepad, nullptr));
    tools->m_tools.assign(12, CExternalTool{"Notepad", notepad, "--page http://kivo.example/", "", "", -1});
    SendMessageA(window.Handle(), WM_COMMAND, kIdFirstTool, 0);
    SendMessageA(window.Handle(), WM_COMMAND, kIdFirstTool + 9, 0);
    SendMessageA(window.Handle(), WM_COMMAND, kIdFirstTool + 10, 0);  // the eleventh: nothing
    ASSERT_EQ(2u, starter.started.size());
    EXPECT_EQ(std::string(notepad) + " --page http://kivo.example/", starter.started[0]);
    // The tray menu's tools submenu holds the manager, a separator and the tools.
    HMENU popup = services.GetTrayIcon().GetPopupMenu();
    ASSERT_NE(nullptr, popup);
    HMENU external = nullptr;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        GetMenuStringA(popup, UINT(i), text, sizeof(text), MF_BYPOSITION);
        if (std::string(text) == "&External Tools")
            external = GetSubMenu(popup, i);
    }
    ASSERT_NE(nullptr, external);
    services.FillToolsMenu(external);
    EXPECT_EQ(kIdToolsManager, GetMenuItemID(external, 0));
    EXPECT_EQ(kIdFirstTool, GetMenuItemID(external, 2));
    tools->m_tools = saved;
}

namespace {

HWND g_progressSeen = nullptr;
bool g_progressShot = false;

// Runs inside the progress dialog's modal loop: captures the dialog and presses its Cancel.
void CALLBACK CancelProgressDialog(HWND window, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Check for New Version");
    if (!dialog || !IsWindowVisible(dialog))
        return;
    KillTimer(window, timer);
    g_progressSeen = dialog;
    std::string path;
    g_progressShot = kivo_test::WriteWindowScreenshot(dialog, "services_update_progress_dialog.bmp", path);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

TEST(FrameServices, TheUsersCheckRunsUnderItsProgressDialogWhichCancelStops)
{
    EXPECT_EQ("512 bytes", FormatDownloadSize(512));
    EXPECT_EQ("2.00 KB", FormatDownloadSize(2048));
    EXPECT_EQ("Downloaded 512 bytes of 2.00 KB", FormatDownloadProgress(512, 2048));
    EXPECT_EQ("Downloaded 1.50 KB of (total size unknown)", FormatDownloadProgress(1536, 0));
    EXPECT_EQ(25, DownloadPercent(512, 2048));
    EXPECT_EQ(0, DownloadPercent(512, 0));
    EXPECT_EQ(100, DownloadPercent(4000000000u, 4000000000u));

    CScratchFolder folder("FrameServicesProgress");
    CTinyHttpServer server(std::map<std::string, std::string>{{"/same/kvbver.ini", "[main]\r\nreleasedate=Jan 1 2030\r\n"}});
    CSettingsStore& store = *GetSettingsStore();
    {
        // The dialog starts the check; the result closes it and then tells the user.
        store.WriteString(kUpdateUrlSection, kUpdateUrlKey, server.Url("/same/kvbver.ini").c_str());
        CRecordingNotify notify;
        CRecordingUpdateUi ui;
        CRecordingStarter starter;
        CFrameServices services(notify, ui, starter);
        services.SetUpdateInfoPath((folder / kUpdateInfoFileName).c_str());
        CServicesWindow window(services);
        SendMessageA(window.Handle(), WM_COMMAND, ID_CHECK_FOR_UPDATE, 0);
        ASSERT_EQ(1u, ui.messages.size());
        EXPECT_EQ(0u, ui.messages[0].text.find("You already have the latest version"));
        EXPECT_EQ(nullptr, FindWindowA("#32770", "Check for New Version"));
    }
    {
        // A server that never answers: Cancel ends the dialog and nothing more is shown.
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int length = sizeof(address);
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        listen(listener, 4);
        store.WriteString(kUpdateUrlSection, kUpdateUrlKey,
                          ("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/kvbver.ini").c_str());
        CRecordingNotify notify;
        CRecordingUpdateUi ui;
        CRecordingStarter starter;
        CFrameServices services(notify, ui, starter);
        services.SetUpdateInfoPath((folder / kUpdateInfoFileName).c_str());
        {
            CServicesWindow window(services);
            g_progressSeen = nullptr;
            g_progressShot = false;
            SetTimer(window.Handle(), 1, 100, CancelProgressDialog);
            SendMessageA(window.Handle(), WM_COMMAND, ID_CHECK_FOR_UPDATE, 0);
            EXPECT_NE(nullptr, g_progressSeen);
            EXPECT_TRUE(g_progressShot);
            PumpUntil([] { return true; });
        }
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(ui.offers.empty());
        closesocket(listener);
        WSACleanup();
    }
    store.WriteString(kUpdateUrlSection, kUpdateUrlKey, "http://127.0.0.1:1/kvbver.ini");
}
