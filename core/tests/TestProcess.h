#pragma once
// Helpers of the tests that start real processes: copies of programs into a test's scratch folder,
// waits for the files they write, and a process run with a bounded wait.
#include "core/tests/ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace testproc {

// A window made and served by a thread of its own, so that it can be busy, or answer another
// process, while the test's thread waits. The destructor destroys the window and ends the thread.
class WindowThread {
public:
    explicit WindowThread(std::function<HWND()> create)
        : m_thread([this, create] {
              m_window = create();
              MSG msg;
              while (!m_done) {
                  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                      DispatchMessageA(&msg);
                  MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
              }
              DestroyWindow(m_window);
          })
    {
        while (!m_window)
            Sleep(1);
    }
    ~WindowThread()
    {
        m_done = true;
        m_thread.join();
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Window() const { return m_window; }

private:
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// The folder of the running test program, with a trailing backslash.
inline std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Copies a program built beside the test program into the folder, under a name of choice.
inline bool CopyProgram(const char* builtName, const std::string& folder, const char* targetName)
{
    return CopyFileA((ProgramFolder() + builtName).c_str(), (folder + targetName).c_str(), FALSE) != 0;
}

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls until the file holds text that contains the expected part, or the time is up.
inline std::string WaitForFileText(const std::string& path, const char* expected, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    std::string text;
    do {
        text = CScratchFolder::ReadBytes(path.c_str());
        if (text.find(expected) != std::string::npos)
            break;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return text;
}

// A started process; the destructor ends it when it still runs.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process()
    {
        if (m_info.hProcess) {
            if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_info.hProcess, 99);
            CloseHandle(m_info.hProcess);
            CloseHandle(m_info.hThread);
        }
    }

    // Starts "program" args in the folder of the program.
    bool Start(const std::string& program, const std::string& arguments)
    {
        std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        std::string folder = program.substr(0, program.find_last_of('\\') + 1);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &m_info) != 0;
    }

    // The exit code, or STILL_ACTIVE when the process did not end in time.
    DWORD Wait(DWORD timeoutMs)
    {
        DWORD code = STILL_ACTIVE;
        if (m_info.hProcess && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }

private:
    PROCESS_INFORMATION m_info = {};
};

// Runs a program to its end and gives its exit code (STILL_ACTIVE after the time-out).
inline DWORD Run(const std::string& program, const std::string& arguments, DWORD timeoutMs = 30000)
{
    Process process;
    if (!process.Start(program, arguments))
        return 0xDEADBEEF;
    return process.Wait(timeoutMs);
}

} // namespace testproc
