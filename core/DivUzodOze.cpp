// The program's entry function. The application object is built by a static initializer before it
// runs; the entry function guards the whole start with the exception report, initialises the
// module and calls the application's operations in order: initialise, run (with the message loop
// added to the module), exit.
#include "browser/AdFilterProtocol.h"
#include "browser/BrowserView.h"
#include "core/app/AppModule.h"
#include "core/app/BrowserApp.h"
#include "core/app/ExceptionReport.h"
#include "core/app/StartupServices.h"
#include "core/app/TestRegistry.h"
#include "core/system/StartupTrace.h"
#include "editctl/Quillpoint.h"
#include "frame/MainFrame.h"
#include "frame/services/DefaultBrowserCheck.h"
#include "navigation/FrameNavigation.h"
#include "browser/privacy/FramePrivacyMenus.h"

#include <windows.h>
#include <tchar.h>

namespace {

// The module's COM classes: the http/https namespace handler, under the all-zero class id.
BEGIN_OBJECT_MAP(ObjectMap)
OBJECT_ENTRY(CLSID_NULL, CAdFilterProtocol)
END_OBJECT_MAP()

// Built before the entry function runs; the ordered teardown deletes it at exit.
CBrowserApp* const g_application = CreateBrowserApp();

// The main frame and the edit control come after the core in the order of the libraries, so the
// program itself connects them to the start-up.
class CProgramStartupServices final : public CDefaultStartupServices {
public:
    bool StartEditControl(HINSTANCE instance) override { return QuillpointDllMain(instance, 1, nullptr) != FALSE; }
    void StopEditControl(HINSTANCE instance) override { QuillpointDllMain(instance, 0, nullptr); }
    void LoadParserConfiguration(HGLOBAL configuration) override { AddParserConfigFromMemory(configuration); }
    // The window is shown before its bars and first tab are built: they follow from its first
    // message, ahead of the first paint.
    HWND CreateMainFrame(const RECT& rect) override { return ::CreateMainFrame(rect, CFrameBuild::AfterShow); }
    // Asks, while the user keeps the question on (SysFlags 0x1000), whether the program shall be
    // the default browser when it is not.
    void CheckDefaultBrowser() override
    {
        CheckDefaultBrowserAtStartup(HKEY_CLASSES_ROOT, GetProgramFilePath(), [] {
            CDefaultBrowserDlg question;
            return static_cast<int>(question.DoModal());
        });
    }
};

void ConnectSubsystems()
{
    static CProgramStartupServices services;
    SetStartupServices(&services);
    InstallBrowserTabFactory();
    InstallFrameNavigation();
    InstallFramePrivacyMenus();
}

} // namespace

int WINAPI _tWinMain(HINSTANCE instance, HINSTANCE, LPTSTR commandLine, int showCommand)
{
    StartupTraceMark("entry");
    ApplyTestRegistryRedirect();
    InstallExceptionReportGuard("DivUzodOze - _tWinMain");
    // Makes sure the window subsystem is loaded before anything else.
    DefWindowProc(nullptr, 0, 0, 0);
    CAppModule& module = GetAppModule();
    module.Init(ObjectMap, instance);
    ConnectSubsystems();
    CBrowserApp& app = *g_application;
    app.SetInstance(instance);
    int exitCode = 0;
    const bool initialised = app.InitInstance();
    StartupTraceMark("initialised");
    if (initialised) {
        CMessageLoop loop;
        module.AddMessageLoop(&loop);
        exitCode = app.Run(commandLine, showCommand);
        module.RemoveMessageLoop();
    }
    app.ExitInstance();
    return exitCode;
}
