#include "tests/scenario/ScenarioWorld.h"

#include "browser/AdFilterProtocol.h"
#include "browser/BrowserView.h"
#include "browser/privacy/FramePrivacyMenus.h"
#include "controls/TabbedMDI.h"
#include "controls/tests/Screenshot.h"
#include "core/app/AppModule.h"
#include "core/app/BrowserApp.h"
#include "core/app/Settings.h"
#include "core/app/StartupServices.h"
#include "core/library/AppWindowInfo.h"
#include "editctl/Quillpoint.h"
#include "navigation/FrameNavigation.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>

namespace scenario {

class CScenarioLoop final : public CMessageLoop {};

namespace {

// The module's COM classes, as the program's entry declares them: the http/https namespace
// handler under the all-zero class id, which the main frame registers for the URL layer.
BEGIN_OBJECT_MAP(ObjectMap)
OBJECT_ENTRY(CLSID_NULL, CAdFilterProtocol)
END_OBJECT_MAP()

constexpr UINT kFrameWidth = 960;
constexpr UINT kFrameHeight = 680;

// The program's start-up services, less the default-browser question (a dialog no scenario
// answers); the edit control is started once for the process below.
class CScenarioStartupServices final : public CDefaultStartupServices {
public:
    HWND CreateMainFrame(const RECT& rect) override { return ::CreateMainFrame(rect); }
};

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text)
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

std::string WithoutAmpersands(const char* text)
{
    std::string plain;
    for (const char* c = text; *c; ++c) {
        if (*c == '\t')
            break;
        if (*c != '&')
            plain.push_back(*c);
    }
    return plain;
}

void RemoveTree(const std::string& folder)
{
    std::string from = folder;
    if (!from.empty() && from.back() == '\\')
        from.pop_back();
    from.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

// What the program's entry does once per process before its application starts: the module with
// its object map and class objects, the application's start (the multi-instance mode: the test
// process must not hand itself over to a program that another test started), the edit control
// and the subsystems' installation.
bool g_programStarted = false;

// What the program does after its message loop ends, once for the process: the edit control
// stopped and the class objects revoked before the test main leaves COM.
class CProgramEnvironment final : public testing::Environment {
public:
    void TearDown() override
    {
        if (!g_programStarted)
            return;
        g_programStarted = false;
        QuillpointDllMain(::GetModuleHandleA(nullptr), 0, nullptr);
        GetAppModule().RevokeClassObjects();
    }
};
testing::Environment* const g_programEnvironment = testing::AddGlobalTestEnvironment(new CProgramEnvironment);

void StartProgramOnce()
{
    static const bool started = [] {
        g_programStarted = true;
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        CAppModule& module = GetAppModule();
        module.Init(ObjectMap, instance);
        static CScenarioStartupServices services;
        SetStartupServices(&services);
        InstallBrowserTabFactory();
        InstallFrameNavigation();
        InstallFramePrivacyMenus();
        CBrowserApp& app = frame_test::TestApplication();
        app.SetInstance(instance);
        app.InitInstanceFrom("KivoBrowser.exe -s multi");
        module.RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE);
        QuillpointDllMain(instance, 1, nullptr);
        return true;
    }();
    (void)started;
}

CTabItem* StripItem(const CMainFrame& frame, HWND tab)
{
    IMdiTabOwner* owner = frame.GetTabOwner();
    ITabCtrlInterface* strip = owner ? owner->GetTabCtrl() : nullptr;
    for (int i = 0; strip && i < strip->GetItemCount(); ++i)
        if (CTabItem* item = strip->GetItem(i); item && item->GetViewWindow() == tab)
            return item;
    return nullptr;
}

} // namespace

CScenarioWorld::CScenarioWorld()
{
    StartProgramOnce();
    m_loop = std::make_unique<CScenarioLoop>();
    GetAppModule().AddMessageLoop(m_loop.get());
    m_shellScope = std::make_unique<CScopedFrameShell>(m_shell);
    m_boxesScope = std::make_unique<CScopedMessageBoxes>(m_boxes);
    m_questionsScope = std::make_unique<CScopedFrameQuestions>(m_questions);
    m_profile = KivoTestScratchFolder() + "scenario\\";
    RemoveTree(m_profile);
    ::CreateDirectoryA(m_profile.c_str(), nullptr);
    m_favorites = m_profile + "Favorites\\";
    ::CreateDirectoryA(m_favorites.c_str(), nullptr);
    ::CreateDirectoryA((m_favorites + "Links\\").c_str(), nullptr);
    m_favoritesScope = std::make_unique<CScopedFavoritesFolder>(m_favorites);
    // The update file says this build is the newest.
    ServeFile("/kvbver.ini", "text/plain", "[main]\r\nversion=1.0\r\nreleasedate=Nov 28 2005\r\n");
    ServeFile("/favicon.ico", "image/x-icon", std::string("\0\0\1\0\0\0", 6));
    m_server.Start();
    NewProfile();
}

CScenarioWorld::~CScenarioWorld()
{
    if (m_window && ::IsWindow(m_window))
        ::DestroyWindow(m_window);
    Pump();
    if (CAppWindowInfo* info = GetAppWindowInfo())
        info->SetMainWindow(nullptr);
    if (CSettings* settings = GetSettings()) {
        settings->Closing = false;
        settings->LastOpenSites.clear();
        // The settings write their logs and the session once more at the process's exit: to the
        // places they had before the world, which outlive it.
        settings->SessionFilePath = m_savedPaths[0].c_str();
        settings->PopupLogPath = m_savedPaths[1].c_str();
        settings->AdLogPath = m_savedPaths[2].c_str();
        settings->PopupLog.Clear();
        settings->AdLog.Clear();
    }
    GetAppModule().RemoveMessageLoop();
    m_questionsScope.reset();
    m_boxesScope.reset();
    m_shellScope.reset();
    m_favoritesScope.reset();
    m_server.Stop();
    RemoveTree(m_profile);
}

// A new user's profile: the settings as a first start finds them, every file in the world's folder.
void CScenarioWorld::NewProfile()
{
    frame_test::ResetFrameLayout();
    CSettings& settings = *GetSettings();
    m_savedPaths = {settings.SessionFilePath.c_str(), settings.PopupLogPath.c_str(), settings.AdLogPath.c_str()};
    settings.SessionFilePath = (m_profile + "lastopensites").c_str();
    settings.PopupLogPath = (m_profile + "popups.log").c_str();
    settings.AdLogPath = (m_profile + "ads.log").c_str();
    settings.PopupLog.Clear();
    settings.AdLog.Clear();
    settings.BlockedPopup = 0;
    settings.BlockedContent = 0;
    settings.RunCount.value = 0;
    settings.SysFlags = 0x101C | SysFlag::NoSplash;
    settings.BlockerFlags = 0x5002;
    settings.TabOpenFlags.value = 0x22;
    settings.StartupFlags.value = 2;
    settings.ViewFlags = ViewFlag::Defaults;
    settings.ProxyIndex.value = -2;
    settings.StartPagesOpened = false;
    settings.PreviousRunState = -1;
    settings.Closing = false;
    settings.LastOpenSites.clear();
    if (CSettingsStore* store = GetSettingsStore())
        store->WriteString("Settings", "UpdateURL", Url("/kvbver.ini").c_str());
}

std::string CScenarioWorld::Url(const std::string& path) const
{
    return m_server.Url(path);
}

std::string CScenarioWorld::ServePage(const ScenarioPage& page)
{
    const std::string html = page.html.empty()
                                 ? "<html><head><title>" + page.title + "</title></head><body>" + page.title + "</body></html>"
                                 : page.html;
    m_server.Serve(page.path, {200, "text/html", {}, html});
    const std::string url = Url(page.path);
    FakePage fake;
    fake.title = Wide(page.title);
    fake.statusText = Wide(page.statusText.empty() ? std::string("Done") : page.statusText);
    for (const std::string& popup : page.popups)
        fake.popups.push_back(Wide(popup));
    fake.source = html;
    m_engine.AddPage(Wide(url), std::move(fake));
    return url;
}

void CScenarioWorld::AddEnginePage(const std::string& url, const std::string& title, std::vector<std::string> popups)
{
    FakePage fake;
    fake.title = Wide(title);
    fake.statusText = L"Done";
    for (const std::string& popup : popups)
        fake.popups.push_back(Wide(popup));
    m_engine.AddPage(Wide(url), std::move(fake));
}

void CScenarioWorld::ServeFile(const std::string& path, const std::string& contentType, std::string body)
{
    m_server.Serve(path, {200, contentType, {}, std::move(body)});
}

void CScenarioWorld::BeginStart()
{
    CSettings& settings = *GetSettings();
    // A new process: nothing of the last one's window, the session file read again.
    settings.Closing = false;
    settings.StartPagesOpened = false;
    settings.PreviousRunState = -1;
    settings.LastOpenSites.clear();
    m_questions.m_exitQuestions = 0;
    m_questions.m_sessionQuestions = 0;
}

bool CScenarioWorld::Start()
{
    BeginStart();
    const RECT rect = {0, 0, static_cast<LONG>(kFrameWidth), static_cast<LONG>(kFrameHeight)};
    m_window = GetStartupServices().CreateMainFrame(rect);
    m_frame = m_window ? GetMainFrame() : nullptr;
    if (!m_window || !m_frame)
        return false;
    ++m_starts;
    if (CAppWindowInfo* info = GetAppWindowInfo())
        info->SetMainWindow(m_window);
    ::SetWindowPos(m_window, nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(m_window, SW_SHOWNORMAL);
    ::UpdateWindow(m_window);
    Pump();  // the after-create step: the side panels, the start pages
    Load();
    // The placement the frame restored may be another one: the scenario's pictures keep one size.
    if (!::IsZoomed(m_window))
        ::SetWindowPos(m_window, nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    return true;
}

int CScenarioWorld::Exit()
{
    if (!m_window || !::IsWindow(m_window))
        return -1;
    const HWND window = m_window;
    m_quitCode = -1;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    PumpUntil([window] { return !::IsWindow(window); });
    Pump();
    if (CAppWindowInfo* info = GetAppWindowInfo())
        info->SetMainWindow(nullptr);
    m_window = nullptr;
    m_frame = nullptr;
    // What the settings' destruction at the program's exit writes.
    if (CSettings* settings = GetSettings())
        settings->Save();
    const int code = m_quitCode;
    m_quitCode = -1;
    return code;
}

bool CScenarioWorld::Restart()
{
    Exit();
    return Start();
}

std::unique_ptr<CSettings> CScenarioWorld::StoredSettings() const
{
    auto stored = std::make_unique<CSettings>();
    stored->SkipSaveAtExit();
    stored->SessionFilePath = (m_profile + "lastopensites").c_str();
    stored->LoadLastOpenSites();
    return stored;
}

void CScenarioWorld::Pump()
{
    bool dispatched = true;
    while (dispatched) {
        dispatched = false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            dispatched = true;
            if (message.message == WM_QUIT) {
                m_quitCode = static_cast<int>(message.wParam);
                continue;
            }
            if (!m_loop->PreTranslateMessage(&message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
        }
        // The idle pass of the program's loop: the command states, the bars.
        for (int count = 0; count < 4 && m_loop->OnIdle(count); ++count) {
        }
    }
}

bool CScenarioWorld::PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + deadlineMs;
    while (!condition()) {
        if (::GetTickCount64() > deadline)
            return condition();
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

void CScenarioWorld::Load()
{
    for (int round = 0; round < 4; ++round) {
        m_engine.PumpUntilIdle();
        Pump();
        const auto& browsers = m_engine.Browsers();
        if (std::none_of(browsers.begin(), browsers.end(),
                         [](const CComPtr<CFakeBrowser>& browser) { return browser->IsLoading(); }))
            break;
    }
}

void CScenarioWorld::TypeAddress(const std::string& text, bool control, bool shift)
{
    const HWND edit = m_frame->GetAddressBarEdit();
    ::SetFocus(edit);
    ::SetWindowTextA(edit, text.c_str());
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    Load();
}

void CScenarioWorld::TypeSearch(const std::string& text)
{
    const HWND edit = m_frame->GetSearchBarEdit();
    ::SetFocus(edit);
    ::SetWindowTextA(edit, text.c_str());
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    Load();
}

void CScenarioWorld::Command(UINT id)
{
    ::SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Load();
}

bool CScenarioWorld::ClickToolBarButton(UINT id)
{
    const HWND rebar = m_frame->GetReBar();
    const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_CHILD;
        if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) || !band.hwndChild)
            continue;
        const HWND bar = band.hwndChild;
        const LRESULT index = ::SendMessageA(bar, TB_COMMANDTOINDEX, id, 0);
        if (index < 0)
            continue;
        if (!::SendMessageA(bar, TB_ISBUTTONENABLED, id, 0))
            return false;
        RECT rect = {};
        if (!::SendMessageA(bar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&rect)))
            return false;
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageA(bar, WM_MOUSEMOVE, 0, point);
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendMessageA(bar, WM_LBUTTONUP, 0, point);
        Load();
        return true;
    }
    return false;
}

void CScenarioWorld::ActivateTab(HWND tab)
{
    ::SendMessageA(m_frame->GetMdiClientWindow(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(tab), 0);
    Pump();
}

void CScenarioWorld::CloseTab(HWND tab)
{
    ::PostMessageA(tab, WM_CLOSE, 0, 0);
    PumpUntil([tab] { return !::IsWindow(tab); });
    Pump();
}

HMENU CScenarioWorld::OpenMenuBarMenu(const std::string& name)
{
    const HMENU bar = m_frame->GetMenuBarMenu();
    const int count = bar ? ::GetMenuItemCount(bar) : 0;
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        ::GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        if (WithoutAmpersands(text) != name)
            continue;
        const HMENU menu = ::GetSubMenu(bar, i);
        if (menu)
            ::SendMessageA(m_window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(i, FALSE));
        return menu;
    }
    return nullptr;
}

std::vector<std::string> CScenarioWorld::MenuTexts(HMENU menu, bool deep)
{
    std::vector<std::string> texts;
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (info.fType & MFT_SEPARATOR) {
            texts.push_back("-");
            continue;
        }
        texts.push_back(WithoutAmpersands(text));
        if (deep && info.hSubMenu)
            for (const std::string& inner : MenuTexts(info.hSubMenu, true))
                texts.push_back("  " + inner);
    }
    return texts;
}

UINT CScenarioWorld::FindMenuCommand(HMENU menu, const std::string& text)
{
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char label[256] = {};
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
        info.dwTypeData = label;
        info.cch = sizeof(label) - 1;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (!(info.fType & MFT_SEPARATOR) && !info.hSubMenu && WithoutAmpersands(label) == text)
            return info.wID;
        if (info.hSubMenu)
            if (const UINT inner = FindMenuCommand(info.hSubMenu, text))
                return inner;
    }
    return 0;
}

std::vector<HWND> CScenarioWorld::Tabs() const
{
    return m_frame ? m_frame->GetTabWindowsInOrder() : std::vector<HWND>();
}

std::vector<std::string> CScenarioWorld::TabTexts() const
{
    std::vector<std::string> texts;
    for (HWND tab : Tabs())
        texts.push_back(TabText(tab));
    return texts;
}

std::string CScenarioWorld::TabText(HWND tab) const
{
    const CTabItem* item = m_frame ? StripItem(*m_frame, tab) : nullptr;
    return item ? item->GetText().c_str() : "<no tab>";
}

std::string CScenarioWorld::TabToolTip(HWND tab) const
{
    const CTabItem* item = m_frame ? StripItem(*m_frame, tab) : nullptr;
    return item ? item->GetToolTip().c_str() : "<no tab>";
}

HWND CScenarioWorld::ActiveTab() const
{
    return m_frame ? reinterpret_cast<HWND>(::SendMessageA(m_frame->GetMdiClientWindow(), WM_MDIGETACTIVE, 0, 0))
                   : nullptr;
}

CFakeBrowser* CScenarioWorld::EngineOf(HWND tab) const
{
    CBrowserView* view = CBrowserView::FromWindow(tab);
    return view ? m_engine.FindBrowser(view->GetWebBrowser()) : nullptr;
}

std::string CScenarioWorld::TabUrl(HWND tab) const
{
    const CFakeBrowser* engine = EngineOf(tab);
    return engine ? Narrow(engine->LocationUrl()) : std::string();
}

std::string CScenarioWorld::WindowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string CScenarioWorld::AddressText() const
{
    return m_frame ? WindowText(m_frame->GetAddressBarEdit()) : std::string();
}

std::string CScenarioWorld::SearchText() const
{
    return m_frame ? WindowText(m_frame->GetSearchBarEdit()) : std::string();
}

std::string CScenarioWorld::WindowTitle() const
{
    return WindowText(m_window);
}

std::string CScenarioWorld::PaneText(int paneId) const
{
    if (!m_frame)
        return "<no frame>";
    const HWND bar = m_frame->GetStatusBar().m_hWnd;
    const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
    if (!bar || index < 0)
        return "<no pane>";
    const int length = LOWORD(::SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string CScenarioWorld::PaneToolTip(int paneId) const
{
    if (!m_frame)
        return "<no frame>";
    const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
    if (index < 0)
        return "<no pane>";
    char text[256] = {};
    ::SendMessageA(m_frame->GetStatusBar().m_hWnd, SB_GETTIPTEXTA, MAKEWPARAM(index, sizeof(text)),
                   reinterpret_cast<LPARAM>(text));
    return text;
}

bool CScenarioWorld::Screenshot(const char* name, std::string& path)
{
    ::SetWindowPos(m_window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    RECT rect = {};
    ::GetWindowRect(m_window, &rect);
    return kivo_test::WriteScreenRect(rect, name, path);
}

std::string CScenarioWorld::AddFavoriteFile(const std::string& relative, const std::string& url) const
{
    const std::string path = m_favorites + relative + ".url";
    CreateInternetShortcut(path, url);
    return path;
}

}  // namespace scenario
