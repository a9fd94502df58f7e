// CloseKivoBrowser: the installer plug-in that a setup program loads before it replaces the
// browser's files. IsUnicodeOS tells the setup script whether the system has the wide-character
// interfaces; CloseApp closes a running browser and waits until it is gone.
//
// Both exports use the setup program's plug-in calling convention: C calling convention (the
// caller removes the arguments), (parent window, string size, variables, stack top), no result.
// Newer setup programs pass a fifth argument, which the C calling convention lets us ignore.
#include "setup-plugin/SetupStack.h"
#include "setup-plugin/WindowFinder.h"

using CSetupStackNode = TSetupStackNode<TSetupChar>;

namespace {

constexpr char kMainWindowClass[] = "Kivo Browser";
constexpr char kQuestionMessage[] = "UWM_KivoBrowser_IsMe";

// While the main window still exists it is checked again at this pace...
constexpr DWORD kClosePollMs = 500;
// ...but not for longer than this: a browser whose exit confirmation stays open, or that refuses to
// close, must not keep the setup waiting for ever.
constexpr DWORD kCloseWaitLimitMs = 15000;
// Once the window is gone the process still saves its settings and ends; give it this long.
constexpr DWORD kAfterCloseMs = 4100;

// Pushed by CloseApp when the window did not go away within the limit. Nothing is pushed otherwise,
// which keeps scripts that call CloseApp without popping working as before.
constexpr char kCloseTimedOut[] = "timeout";

// The call context of the last export call, kept the way the setup program handed it over.
struct CSetupCall {
    int stringSize = 0;
    TSetupChar* variables = nullptr;
    CSetupStackNode** stackTop = nullptr;
};
CSetupCall g_setupCall;

void KeepSetupCall(int stringSize, TSetupChar* variables, CSetupStackNode** stackTop)
{
    g_setupCall.stringSize = stringSize;
    g_setupCall.variables = variables;
    g_setupCall.stackTop = stackTop;
}

bool HasWideVersionQuery()
{
    OSVERSIONINFOW info = {};
    static_assert(sizeof(info) == 276, "the wide version record is 276 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExW(&info) != FALSE;
}

// Posts WM_CLOSE and waits for the window to go; false when it outlives the wait limit.
bool CloseAndWait(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= kCloseWaitLimitMs)
            return false;
        Sleep(kClosePollMs);
    }
    Sleep(kAfterCloseMs);
    return true;
}

} // namespace

extern "C" {

void __cdecl IsUnicodeOS(HWND, int stringSize, TSetupChar* variables, CSetupStackNode** stackTop)
{
    KeepSetupCall(stringSize, variables, stackTop);
    PushSetupText(stackTop, stringSize, HasWideVersionQuery() ? "true" : "false");
}

void __cdecl CloseApp(HWND, int stringSize, TSetupChar* variables, CSetupStackNode** stackTop)
{
    KeepSetupCall(stringSize, variables, stackTop);
    CWindowFinder finder(kMainWindowClass, kQuestionMessage);
    HWND window = finder.Find();
    if (window && !CloseAndWait(window))
        PushSetupText(stackTop, stringSize, kCloseTimedOut);
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
