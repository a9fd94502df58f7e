// Stands in for the crash-report program in the tests: appends the command line it was started
// with, and each of its arguments, to "XCrashReport.log" in its own folder.
#include "core/app/TestRegistry.h"

#include <windows.h>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ApplyTestRegistryRedirect();
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* name = path;
    for (char* p = path; *p; ++p) {
        if (*p == '\\')
            name = p + 1;
    }
    lstrcpyA(name, "XCrashReport.log");
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    auto write = [log](const char* label, const char* text) {
        DWORD written = 0;
        WriteFile(log, label, lstrlenA(label), &written, nullptr);
        WriteFile(log, text, lstrlenA(text), &written, nullptr);
        WriteFile(log, "\r\n", 2, &written, nullptr);
    };
    write("command line: ", GetCommandLineA());
    for (int i = 1; i < __argc; ++i)
        write("argument: ", __argv[i]);
    CloseHandle(log);
    return 0;
}
