#pragma once
// The programs the rig tests start: where they are and a run to the end with a generous deadline.
#include <windows.h>

#include <string>

namespace rig {

// The folder of the running test program, with a trailing backslash.
inline std::string ProgramFolder()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Runs a program to its end and gives its exit code, with its process id (STILL_ACTIVE when it did
// not end within the deadline; it is ended then).
inline DWORD RunProgram(const std::string& program, const std::string& arguments, DWORD* processId = nullptr)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return 0xDEADBEEF;
    if (processId)
        *processId = process.dwProcessId;
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, STILL_ACTIVE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

} // namespace rig
