#include "frame/tests/FrameTestSupport.h"

#include "frame/dialogs/SessionRestoreDlg.h"

#include "controls/TabbedMDI.h"
#include "core/app/BrowserApp.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/AppWindowInfo.h"
#include "tests/support/TestScratch.h"

namespace frame_test {

namespace {

constexpr const char* kFakeTabClass = "KivoFrameTestTab";
int g_quitCode = -1;

HWND FrameOfTab(HWND tab)
{
    return ::GetParent(::GetParent(tab));
}

LRESULT CALLBACK FakeTabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const CTabbedMdiMessages& ids = GetTabbedMdiMessages();
    auto* tab = reinterpret_cast<CFakeTab*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const auto* mdi = static_cast<const MDICREATESTRUCTA*>(create->lpCreateParams);
        tab = reinterpret_cast<CFakeTab*>(mdi->lParam);
        tab->m_window = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tab));
        break;
    }
    case WM_CREATE:
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->AddTab(window, tab);
        break;
    case WM_SETTEXT: {
        const LRESULT result = ::DefMDIChildProcA(window, message, wParam, lParam);
        ::SendMessageA(::GetParent(window), ids.tabTextChange, reinterpret_cast<WPARAM>(window), 0);
        return result;
    }
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == window)
            ::SendMessageA(::GetParent(window), ids.activationChange, reinterpret_cast<WPARAM>(window), 0);
        break;
    case WM_SIZE:
        ::SendMessageA(::GetParent(window), wParam == SIZE_MAXIMIZED ? ids.maximized : ids.unmaximized,
                       reinterpret_cast<WPARAM>(window), lParam);
        break;
    case WM_COMMAND:
        if (tab)
            tab->m_commands.push_back(LOWORD(wParam));
        ReceivedTabCommands().push_back(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        if (IBrowserTabHost* host = GetBrowserTabHost())
            host->RemoveTab(window);
        // A closed tab tells the frame, which saves the session.
        ::SendMessageA(FrameOfTab(window), WM_COMMAND, kTabStateChangedCommand, 0);
        break;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete tab;
        break;
    default:
        break;
    }
    return ::DefMDIChildProcA(window, message, wParam, lParam);
}

void RegisterFakeTabClass()
{
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FakeTabProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kFakeTabClass;
        return ::RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

std::vector<UINT>& ReceivedTabCommands()
{
    static std::vector<UINT> commands;
    return commands;
}

CBrowserApp& TestApplication()
{
    // Deleted in the ordered teardown at exit, as in the program.
    static CBrowserApp* application = CreateBrowserApp();
    return *application;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition)
{
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    while (!condition()) {
        if (::GetTickCount64() > deadline)
            return condition();
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

int TakeQuitCode()
{
    Pump();
    const int code = g_quitCode;
    g_quitCode = -1;
    return code;
}

void CFakeTab::Navigate(const char* url)
{
    m_url = url ? url : "";
    ++m_navigations;
    ::SetWindowTextA(m_window, m_url.empty() ? "about:blank" : m_url.c_str());
    ::SendMessageA(FrameOfTab(m_window), WM_COMMAND, kTabStateChangedCommand, 0);
}

CFakeTabFactory::CFakeTabFactory() : m_previous(SetBrowserTabFactory(this))
{
    RegisterFakeTabClass();
}

CFakeTabFactory::~CFakeTabFactory()
{
    SetBrowserTabFactory(m_previous);
}

IBrowserTab* CFakeTabFactory::CreateBrowserTab(HWND mdiClient, IBrowserTab*, const char* url, DWORD)
{
    if (m_fail)
        return nullptr;
    const std::string address = url && *url ? url : "about:blank";
    m_createdUrls.push_back(address);
    auto* tab = new CFakeTab(address);
    MDICREATESTRUCTA create = {};
    create.szClass = kFakeTabClass;
    create.szTitle = address.c_str();
    create.hOwner = ::GetModuleHandleA(nullptr);
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.style = 0;
    create.lParam = reinterpret_cast<LPARAM>(tab);
    HWND window = reinterpret_cast<HWND>(::SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    if (!window)
        return nullptr;  // WM_NCDESTROY deleted the tab
    // Browser tabs fill the client: maximised once they exist.
    ::SendMessageA(mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(window), 0);
    return tab;
}

CFakeTab* CFakeTabFactory::TabOf(HWND window)
{
    if (!window || !::IsWindow(window))
        return nullptr;
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, kFakeTabClass) != 0)
        return nullptr;
    return reinterpret_cast<CFakeTab*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

int CAnsweringQuestions::ChooseSessionSites(HWND, const std::vector<CSessionEntry>& sites, std::vector<bool>&,
                                            bool normalRestore)
{
    ++m_sessionQuestions;
    const CSettings* settings = GetSettings();
    const int answer = SessionRestoreAnswerWithoutAsking(sites.size(), normalRestore,
                                                         settings ? static_cast<DWORD>(settings->StartupFlags.value) : 0,
                                                         settings ? settings->SysFlags : 0);
    return answer ? answer : kSessionRestoreOpen;
}

CTestFrame::CTestFrame(CFrameBuild build)
{
    TestApplication();
    const RECT rect = {0, 0, 800, 560};
    m_window = CreateMainFrame(rect, build);
    m_frame = GetMainFrame();
    if (m_window) {
        if (CAppWindowInfo* info = GetAppWindowInfo())
            info->SetMainWindow(m_window);
        ::ShowWindow(m_window, SW_SHOWNORMAL);
        ::UpdateWindow(m_window);
    }
}

CTestFrame::~CTestFrame()
{
    if (m_window && ::IsWindow(m_window))
        ::DestroyWindow(m_window);
    TakeQuitCode();
    if (CSettings* settings = GetSettings())
        settings->Closing = false;
}

void CTestFrame::RunAfterCreate()
{
    Pump();
}

void CTestFrame::Close()
{
    ::PostMessageA(m_window, WM_CLOSE, 0, 0);
    PumpUntil([this] { return !::IsWindow(m_window); });
}

CFakeTab* CTestFrame::ActiveTab() const
{
    BOOL maximized = FALSE;
    HWND active = reinterpret_cast<HWND>(
        ::SendMessageA(m_frame->GetMdiClientWindow(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return CFakeTabFactory::TabOf(active);
}

std::vector<CFakeTab*> CTestFrame::TabsInOrder() const
{
    std::vector<CFakeTab*> tabs;
    for (HWND window : m_frame->GetTabWindowsInOrder()) {
        if (CFakeTab* tab = CFakeTabFactory::TabOf(window))
            tabs.push_back(tab);
    }
    return tabs;
}

void ResetFrameSettings()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return;
    // The session file of the tests is their own: the program folder's is shared with the
    // programs that other tests start.
    settings->SessionFilePath = (KivoTestScratchFolder() + "lastopensites").c_str();
    settings->Closing = false;
    settings->RunCount.value = 5;
    settings->SysFlags = 0x101C | SysFlag::NoStartWithWindows;
    settings->BlockerFlags = 0x5002;
    settings->TabOpenFlags.value = 0x22;
    settings->StartupFlags.value = 1;
    settings->ViewFlags = ViewFlag::Defaults;
    settings->ProxyIndex.value = -2;
    settings->StartPagesOpened = false;
    settings->LastOpenSites.clear();
    // The start-up update check asks a port of this machine where nothing answers.
    if (CSettingsStore* store = GetSettingsStore())
        store->WriteString("Settings", "UpdateURL", "http://127.0.0.1:1/kvbver.ini");
}

void ResetFrameLayout()
{
    CSettingsStore* store = GetSettingsStore();
    for (int i = 0; i < 16; ++i)
        store->WriteString(kFrameSettingsSection, ("band" + std::to_string(i)).c_str(), nullptr);
    store->WriteString(kFrameSettingsSection, "SystemToolBar", nullptr);
    store->WriteString(kFrameSettingsSection, kMainToolBarStyleValue, nullptr);
    store->WriteString((std::string(kFrameSettingsSection) + "\\Docker").c_str(), nullptr, nullptr);
}

std::string BandText(HWND rebar, UINT bandId)
{
    const int index = static_cast<int>(::SendMessageA(rebar, RB_IDTOINDEX, bandId, 0));
    char text[128] = {};
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_TEXT;
    band.lpText = text;
    band.cch = sizeof(text);
    ::SendMessageA(rebar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    return text;
}

} // namespace frame_test
