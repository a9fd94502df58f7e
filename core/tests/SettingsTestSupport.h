#pragma once
// Shared pieces of the settings tests: a registry key of the test's own (removed again afterwards)
// and the files of a scratch folder (CScratchFolder).
#include "core/app/SettingsStore.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Points the global store at HKCU\software\KivoBrowserTests\<name> for the test's lifetime and
// deletes that key before and after, so test programs running side by side never meet.
class CTestRegistryKey {
public:
    explicit CTestRegistryKey(const char* name)
        : m_application(std::string(name) + " " + std::to_string(GetCurrentProcessId())),
          m_scope("KivoBrowserTests", m_application.c_str())
    {
        Delete();
    }
    ~CTestRegistryKey() { Delete(); }
    CStdString Path() const { return CStdString("software\\KivoBrowserTests\\") + m_application.c_str(); }
    void Delete() const { RegDeleteTreeA(HKEY_CURRENT_USER, Path()); }

    // Raw access to a value, bypassing the store.
    bool Query(const char* section, const char* name, DWORD& type, std::vector<BYTE>& data) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, CStdString(Path() + "\\" + section), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        bool ok = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        data.assign(size, 0);
        ok = ok && RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    bool Set(const char* section, const char* name, DWORD type, const void* data, DWORD size) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, CStdString(Path() + "\\" + section), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        const bool ok = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    bool SectionExists(const char* section) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, CStdString(Path() + "\\" + section), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

private:
    std::string m_application;
    CRegistryNamesScope m_scope;
};

inline std::vector<BYTE> ReadWholeFile(const char* path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

inline bool WriteWholeFile(const char* path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A folder of the source tree as the test program sees it (Wine shows the Unix root as Z:).
inline CStdString SourceFolder(const char* path)
{
    CStdString folder(path);
    if (!folder.empty() && folder[0] == '/')
        folder = CStdString("Z:") + folder;
    folder.Replace('/', '\\');
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

inline bool CopyInto(const CStdString& sourceFolder, const char* name, const CStdString& targetFolder,
                     const char* targetName = nullptr)
{
    return CopyFileA(CStdString(sourceFolder + name), CStdString(targetFolder + (targetName ? targetName : name)),
                     FALSE) != FALSE;
}
