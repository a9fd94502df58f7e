#pragma once
// Helpers of the ad-filter tests: a program folder of the test's own (config\, its defaults\ and
// appdata\ under the process's scratch folder), files written into it, and a message pump with a
// deadline.
#include "core/app/ProgramFolders.h"
#include "tests/support/TestScratch.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

namespace filter_test {

// Points the program's folders at a fresh folder below the scratch folder for one test and back
// afterwards.
class CScopedProgramFolders {
public:
    CScopedProgramFolders()
    {
        static std::atomic<int> counter{0};
        m_root = KivoTestScratchFolder() + "program" + std::to_string(++counter) + "\\";
        CreateDirectoryA(m_root.c_str(), nullptr);
        CreateDirectoryA((m_root + "config").c_str(), nullptr);
        CreateDirectoryA((m_root + "config\\defaults").c_str(), nullptr);
        CreateDirectoryA((m_root + "appdata").c_str(), nullptr);
        CAppFolders& folders = *GetAppFolders();
        m_oldConfig = folders.m_configFolder;
        m_oldAppData = folders.m_appDataFolder;
        folders.m_configFolder = m_root + "config\\";
        folders.m_appDataFolder = m_root + "appdata\\";
    }
    ~CScopedProgramFolders()
    {
        CAppFolders& folders = *GetAppFolders();
        folders.m_configFolder = m_oldConfig;
        folders.m_appDataFolder = m_oldAppData;
    }
    CScopedProgramFolders(const CScopedProgramFolders&) = delete;
    CScopedProgramFolders& operator=(const CScopedProgramFolders&) = delete;

    std::string Config(const char* name) const { return m_root + "config\\" + name; }
    std::string Defaults(const char* name) const { return m_root + "config\\defaults\\" + name; }

private:
    std::string m_root;
    CStdString m_oldConfig;
    CStdString m_oldAppData;
};

inline bool WriteFileText(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

inline std::string ReadFileText(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return text;
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, read);
    std::fclose(file);
    return text;
}

// Pumps this thread's messages until the condition holds or the deadline passes.
inline bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = 20000)
{
    const ULONGLONG end = GetTickCount64() + deadlineMs;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

}  // namespace filter_test
