#pragma once
// The start-up trace: where the program spends its time between process start and the main window
// shown. It is off unless the environment variable KIVO_STARTUP_TRACE names a file; then every mark
// appends one line "<milliseconds since the process was created> <step>" to that file. Off, a mark
// costs one test of a flag that is read once.
#include <windows.h>

// The variable that switches the trace on: its value is the file the lines go to.
inline constexpr char kStartupTraceVariable[] = "KIVO_STARTUP_TRACE";

// True when the trace is on for this process.
bool IsStartupTraceOn();
// Appends the line for `step` (at most 200 characters of it) when the trace is on.
void StartupTraceMark(const char* step);

// Marks "<step> begin" at construction and "<step> end (<n> ms)" at the end of its scope.
class CStartupTraceScope {
public:
    explicit CStartupTraceScope(const char* step);
    ~CStartupTraceScope();
    CStartupTraceScope(const CStartupTraceScope&) = delete;
    CStartupTraceScope& operator=(const CStartupTraceScope&) = delete;

private:
    const char* m_step = nullptr;  // not owned: a literal of the caller
    double m_begin = 0;
};
