#include "core/app/BrowserApp.h"
#include "core/app/AppModule.h"
#include "core/app/LanguageManager.h"
#include "core/library/AppWindowInfo.h"
#include "core/library/CommandLineParser.h"
#include "core/library/Z4KLog.h"
#include "core/app/OleHolder.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/Settings.h"
#include "core/app/SplashWindow.h"
#include "core/app/StartupServices.h"
#include "core/app/WindowFinder.h"
#include "core/system/MessageBoxes.h"
#include "core/system/StartupTrace.h"

#include <commctrl.h>
#include <ole2.h>

namespace {

constexpr const char* kCompanyName = "KivoBrowser";
constexpr const char* kApplicationName = "Kivo Browser";
// The parser configurations built into the program (RCDATA), handed to the edit control in order.
constexpr WORD kParserConfigurationIds[] = {150, 151, 152};

// Brings the main window to the front even when another program's window is active: the input of
// this thread is attached to the foreground window's thread for the duration.
void ForceToForeground(HWND window)
{
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD thisThread = GetCurrentThreadId();
    const bool attached = foregroundThread && foregroundThread != thisThread &&
                          AttachThreadInput(thisThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    SetFocus(window);
    if (attached)
        AttachThreadInput(thisThread, foregroundThread, FALSE);
}

} // namespace

CBrowserApp* CreateBrowserApp()
{
    return new CBrowserApp;
}

CBrowserApp::CBrowserApp() = default;

CBrowserApp::~CBrowserApp() = default;

bool CBrowserApp::InitInstance()
{
    return InitInstanceFrom(GetCommandLineA());
}

bool CBrowserApp::InitInstanceFrom(const char* commandLine)
{
    CCommandLineParser parser(nullptr, nullptr, "-/");
    parser.DeclarePositional("url", "", nullptr);
    CCommandLineOption startMode('s', nullptr);
    startMode.DeclareArgument("startmode", "single", nullptr);
    parser.DeclareOption(startMode);
    // A line the parser rejects keeps what it assigned before the error; the rest keeps its defaults.
    TStdStr<char> error;
    parser.Parse(commandLine, error);
    const TStdStr<char> mode = parser.GetOption('s').GetArgumentValue("startmode");
    const TStdStr<char> url = parser.GetPositionalValue("url");

    if (mode != "multi") {
        HWND running = nullptr;
        if (GetSingleInstanceFinder()->HandOverToRunningInstance(url.c_str(), running, true))
            return false;
    }
    GetOleHolder();
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    SetRegistryKey(kCompanyName, kApplicationName);
    OpenUrl(url.c_str());
    return true;
}

void CBrowserApp::ExitInstance() {}

bool CBrowserApp::OpenUrl(const char* url)
{
    if (!url || !*url)
        return true;
    const CAppWindowInfo* info = GetAppWindowInfo();
    if (HWND frame = info ? info->GetMainWindow() : nullptr) {
        SendMessageA(frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(url), kOpenNewTab);
        return true;
    }
    m_pendingUrl = url;
    return true;
}

TStdStr<char> CBrowserApp::TakePendingUrl()
{
    TStdStr<char> url;
    url.swap(m_pendingUrl);
    return url;
}

// Starts the edit control and hands it the built-in parser configurations; a missing one is skipped.
void CBrowserApp::StartEditControl()
{
    IStartupServices& services = GetStartupServices();
    services.StartEditControl(m_instance);
    for (WORD id : kParserConfigurationIds) {
        HRSRC resource = FindResourceA(m_instance, MAKEINTRESOURCEA(id), RT_RCDATA);
        HGLOBAL loaded = resource ? LoadResource(m_instance, resource) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = resource ? SizeofResource(m_instance, resource) : 0;
        if (!bytes || size == 0)
            continue;
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        if (!copy)
            continue;
        if (void* target = GlobalLock(copy)) {
            CopyMemory(target, bytes, size);
            GlobalUnlock(copy);
            services.LoadParserConfiguration(copy);
        }
        GlobalFree(copy);
    }
}

// Nothing of this run is written back: the settings were only read, and writing them (or the
// session file, which was never loaded) would replace the user's with defaults. The log comes
// first and always: where Wine runs with no display driver no message box can be shown either
// (it answers 0 at once), and the log is what is left.
void CBrowserApp::ReportNoMainWindow()
{
    if (CSettings* settings = GetSettings())
        settings->SkipSaveAtExit();
    constexpr const char* kText = "Kivo Browser could not open its main window and will close.";
    if (CZ4KLog* log = GetLog())
        log->WriteFormat(kLogCritical, "%s\n", kText);
    GetMessageBoxes().Show(nullptr, TranslateText(kText), kApplicationName, MB_OK | MB_ICONSTOP);
}

int CBrowserApp::Run(const char*, int showCommand)
{
    StartupTraceMark("run");
    IStartupServices& services = GetStartupServices();
    services.CheckDefaultBrowser();
    StartupTraceMark("default-browser check done");
    CSplashWindow splash;
    const CSettings* settings = GetSettings();
    if (!settings || !(settings->SysFlags & SysFlag::NoSplash))
        splash.StartThread();
    StartupTraceMark("splash started");
    services.RegisterActiveXHost();
    CAppModule& module = GetAppModule();
    const bool registered = SUCCEEDED(module.RegisterClassObjects(CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE));
    StartupTraceMark("class objects registered");
    StartEditControl();
    StartupTraceMark("edit control started");

    int result = 0;
    const RECT rect = {0, 0, 600, 400};
    HWND frame = nullptr;
    {
        const CStartupTraceScope scope("main frame creation");
        frame = services.CreateMainFrame(rect);
    }
    if (!frame) {
        splash.CloseAfter(0);
        ReportNoMainWindow();
        result = kExitNoMainWindow;
    } else {
        if (CAppWindowInfo* info = GetAppWindowInfo())
            info->SetMainWindow(frame);
        CenterOnWorkArea(frame);
        ShowWindow(frame, showCommand);
        StartupTraceMark("main window shown");
        splash.CloseAfter(500);
        ForceToForeground(frame);
        StartupTraceMark("message loop");
        if (CMessageLoop* loop = module.GetMessageLoop()) {
            result = loop->Run();
        } else {
            CMessageLoop ownLoop;
            result = ownLoop.Run();
        }
    }
    services.StopEditControl(m_instance);
    if (registered)
        module.RevokeClassObjects();
    return result;
}
