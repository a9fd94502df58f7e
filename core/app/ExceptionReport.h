#pragma once
// The exception report: when a structured exception escapes the program, "ERRORLOG.TXT" beside the
// executable records the fault, the machine and process state, the stack and the loaded modules,
// and the crash-report program "XCrashReport.exe" beside the executable is started with the
// report's path. Everything runs on plain Win32 calls and static buffers, so that it still works
// in a damaged process.
#include <windows.h>

// The code of exceptions thrown by g++'s C++ runtime ("GCC "). The runtime's own top-level filter
// lets such an exception continue, so that an uncaught throw ends in std::terminate.
constexpr DWORD kGccCppExceptionCode = 0x20474343;

// Writes the report for this exception and starts the crash reporter. The verdict for an exception
// filter: 0 (continue the search) when a report was written before, when the file cannot be created
// (also when the program folder is too long for the report's path within MAX_PATH) or when a
// debugger is present; otherwise 1 when the crash reporter started, 0 when it did not.
LONG WriteExceptionReport(EXCEPTION_POINTERS* exception, const char* label);

// Guards the whole process with the report: installs the top-level exception filter, which writes
// the report with the label and ends the process with exit code -1 once the crash reporter runs.
// Exceptions of the C++ runtime are passed on to the filter that was installed before.
void InstallExceptionReportGuard(const char* label);

// The report's wording of an exception code, e.g. "an Access Violation".
const char* GetExceptionDescription(DWORD code);

// The name of a Windows version as the report gives it, and its numeric code (0 when unknown).
const char* GetWindowsVersionName(const OSVERSIONINFOA& version, int& code);
