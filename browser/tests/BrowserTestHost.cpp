#include "browser/tests/BrowserTestHost.h"

namespace {

constexpr char kFrameClass[] = "KivoBrowserTestFrame";
std::vector<MSG> g_frameMessages;
std::vector<std::pair<std::string, LPARAM>> g_openedUrls;
HWND g_createdClient = nullptr;

void RegisterFrameClass(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSA frame = {};
        frame.lpfnWndProc = procedure;
        frame.hInstance = ::GetModuleHandleA(nullptr);
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        frame.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        frame.lpszClassName = kFrameClass;
        return ::RegisterClassA(&frame) != 0;
    }();
    (void)registered;
}

} // namespace

LRESULT CALLBACK CTestBrowserHost::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT create = {nullptr, 1000};
        g_createdClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                            WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0, 0, window, nullptr,
                                            ::GetModuleHandleA(nullptr), &create);
        return g_createdClient ? 0 : -1;
    }
    if (message == kOpenUrlMessage)
        g_openedUrls.emplace_back(wParam ? reinterpret_cast<const char*>(wParam) : "", lParam);
    if (message == WM_COMMAND || message == WM_USER + 2 || message == kOpenUrlMessage) {
        g_frameMessages.push_back({window, message, wParam, lParam, 0, {}});
        return 0;
    }
    HWND client = ::FindWindowExA(window, nullptr, "MDICLIENT", nullptr);
    return ::DefFrameProcA(window, client, message, wParam, lParam);
}

CTestBrowserHost::CTestBrowserHost()
{
    RegisterFrameClass(&CTestBrowserHost::FrameProc);
    g_frameMessages.clear();
    g_openedUrls.clear();
    g_createdClient = nullptr;
    m_frame = ::CreateWindowExA(0, kFrameClass, "Kivo Browser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 720,
                                480, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    m_client = g_createdClient;
    m_tabbed = std::make_unique<CTabbedMDIClient>(ETabLook::DotNet2005);
    m_tabbed->SetFrameWindow(m_frame);
    if (m_client)
        m_tabbed->SubclassMDIClient(m_client);
    // Without a window manager, Wine takes seconds to destroy a window that was activated.
    ::ShowWindow(m_frame, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_frame);
    m_previousHost = SetBrowserTabHost(this);
}

CTestBrowserHost::~CTestBrowserHost()
{
    if (m_frame) {
        ::ShowWindow(m_frame, SW_HIDE);
        ::DestroyWindow(m_frame);
    }
    m_tabbed.reset();
    PumpPendingMessages();
    SetBrowserTabHost(m_previousHost);
}

std::string CTestBrowserHost::TabText(HWND tab)
{
    const int index = Owner().FindTab(tab);
    CTabItem* item = index >= 0 ? Owner().GetItem(index) : nullptr;
    return item ? item->GetText() : "<no tab>";
}

std::string CTestBrowserHost::TabToolTip(HWND tab)
{
    const int index = Owner().FindTab(tab);
    CTabItem* item = index >= 0 ? Owner().GetItem(index) : nullptr;
    return item ? item->GetToolTip() : "<no tab>";
}

std::vector<UINT> CTestBrowserHost::FrameCommands() const
{
    std::vector<UINT> commands;
    for (const MSG& message : g_frameMessages)
        if (message.message == WM_COMMAND)
            commands.push_back(LOWORD(message.wParam));
    return commands;
}

int CTestBrowserHost::CountFrameMessages(UINT message) const
{
    int count = 0;
    for (const MSG& recorded : g_frameMessages)
        count += recorded.message == message;
    return count;
}

void CTestBrowserHost::ClearFrameRecord()
{
    g_frameMessages.clear();
    g_openedUrls.clear();
}

std::vector<std::pair<std::string, LPARAM>> CTestBrowserHost::OpenedUrls() const
{
    return g_openedUrls;
}
