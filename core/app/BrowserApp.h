#pragma once
// CBrowserApp: the program's application object. It carries the process from the entry function to
// the end of the user-interface message loop: InitInstance parses the command line and hands the URL
// to a running instance or becomes the single instance; Run shows the splash, creates the main
// window and runs the loop; OpenUrl opens a URL in the main window or keeps it until the window exists.
#include "core/library/Z4KApp.h"

// The exit code of a start that could not create its main window.
constexpr int kExitNoMainWindow = 2;

class CBrowserApp : public CZ4KApp {
public:
    CBrowserApp();
    ~CBrowserApp() override;

    // False when a running instance took over: the process ends at once with exit code 0.
    bool InitInstance() override;
    void ExitInstance() override;
    // Opens the URL in a new tab of the main window, or keeps it as the pending URL while no main
    // window exists. An empty URL is ignored. Always true.
    bool OpenUrl(const char* url) override;
    // Creates the main window and runs the message loop; the loop's exit code. When the main window
    // cannot be created, the user is told (the log always, a message box where one can be shown),
    // the settings are not written back at exit, and the answer is kExitNoMainWindow.
    int Run(const char* commandLine, int showCommand) override;

    // The module instance the entry function was given.
    void SetInstance(HINSTANCE instance) { m_instance = instance; }

    // InitInstance with a command line of its own (the whole line, program name first).
    bool InitInstanceFrom(const char* commandLine);

    const TStdStr<char>& GetPendingUrl() const { return m_pendingUrl; }
    // The pending URL, which is cleared: the main window opens it once after its creation.
    TStdStr<char> TakePendingUrl();

private:
    void StartEditControl();
    void ReportNoMainWindow();

    TStdStr<char> m_pendingUrl;
    HINSTANCE m_instance = nullptr;
};

// Builds the application object on the heap; it becomes the current application.
CBrowserApp* CreateBrowserApp();
