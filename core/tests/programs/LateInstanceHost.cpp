// Test program of the single-instance protocol: starts like the browser, but waits between taking
// the single-instance mutex and creating its main window, as a slow start does. The wait in
// milliseconds comes from the environment variable KIVO_LATE_START_MS (default 2000).
#include "browser/BrowserView.h"
#include "core/app/AppModule.h"
#include "core/app/BrowserApp.h"
#include "core/app/StartupServices.h"
#include "core/app/TestRegistry.h"
#include "frame/MainFrame.h"

#include <windows.h>

#include <cstdlib>

namespace {

// The real main frame and its real tabs, as in the browser; the rest stays the placeholders.
class CHostStartupServices final : public CDefaultStartupServices {
public:
    HWND CreateMainFrame(const RECT& rect) override { return ::CreateMainFrame(rect); }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    ApplyTestRegistryRedirect();
    GetAppModule().Init(nullptr, instance);
    static CHostStartupServices services;
    SetStartupServices(&services);
    InstallBrowserTabFactory();
    // Deleted in the ordered teardown at exit, as in the browser.
    CBrowserApp* const app = CreateBrowserApp();
    app->SetInstance(instance);
    if (!app->InitInstance())
        return 0;
    char delay[32] = "2000";
    GetEnvironmentVariableA("KIVO_LATE_START_MS", delay, sizeof(delay));
    Sleep(static_cast<DWORD>(std::atoi(delay)));
    CMessageLoop loop;
    GetAppModule().AddMessageLoop(&loop);
    const int exitCode = app->Run(commandLine, showCommand);
    GetAppModule().RemoveMessageLoop();
    app->ExitInstance();
    return exitCode;
}
