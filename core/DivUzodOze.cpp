// The program's entry function. The application object is built by a static initializer before it
// runs; the entry function guards the whole start with the exception report and calls the
// application's operations in order: initialise, run, exit.
#include "core/BrowserApp.h"
#include "core/ExceptionReport.h"

#include <windows.h>
#include <tchar.h>

#include <memory>

namespace {

// Destroyed after everything that was built on first use during the run (the single-instance
// finder among them), as the application object is the last to go.
const std::unique_ptr<CBrowserApp> g_application(CreateBrowserApp());

} // namespace

int WINAPI _tWinMain(HINSTANCE instance, HINSTANCE, LPTSTR commandLine, int showCommand)
{
    InstallExceptionReportGuard("DivUzodOze - _tWinMain");
    // Makes sure the window subsystem is loaded before anything else.
    DefWindowProc(nullptr, 0, 0, 0);
    CBrowserApp& app = *g_application;
    app.SetInstance(instance);
    int exitCode = 0;
    if (app.InitInstance())
        exitCode = app.Run(commandLine, showCommand);
    app.ExitInstance();
    return exitCode;
}
