#pragma once
// The teardown probe's record: one line per event, appended to the file named on its command
// line. Plain storage and direct file calls only, so it works during the runtime's exit.
#include <windows.h>

#include <cstdio>
#include <cstring>

inline char g_recordPath[MAX_PATH];

inline void Record(const char* format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    const int length = _vsnprintf(line, sizeof(line) - 2, format, args);
    va_end(args);
    if (length < 0 || !g_recordPath[0])
        return;
    line[length] = '\n';
    const HANDLE file = CreateFileA(g_recordPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length + 1), &written, nullptr);
    CloseHandle(file);
}

// The objects that static initializers create publish a global pointer, and their tracker
// reaches them through it (the application object and the settings store of the program).
struct CProbeApplication {
    CProbeApplication();
    ~CProbeApplication();
    const char* name = "probe-app";
};
struct CProbeStore {
    CProbeStore();
    ~CProbeStore();
    char appName[32] = {};
};
extern CProbeApplication* g_probeApplication;
extern CProbeStore* g_probeStore;
