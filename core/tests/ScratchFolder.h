#pragma once
// A fresh folder under the temporary folder for one test, removed with everything in it afterwards.
#include "core/library/StdStr.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class ScratchFolder {
public:
    explicit ScratchFolder(const char* name)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_path = FormatString("%skivo-%s-%lu\\", temp, name, GetCurrentProcessId());
        Remove();
        CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, with a trailing backslash.
    const TStdStr<char>& Path() const { return m_path; }
    TStdStr<char> operator/(const char* name) const { return m_path + name; }

    static void WriteBytes(const TStdStr<char>& path, const std::string& bytes)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    static std::string ReadBytes(const TStdStr<char>& path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        bytes.resize(read);
        return bytes;
    }
    // The names in the folder, for checks that no temporary file was left behind.
    std::vector<std::string> List() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((m_path + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (std::string(data.cFileName) != "." && std::string(data.cFileName) != "..")
                names.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

private:
    void Remove()
    {
        std::string from = m_path.substr(0, m_path.size() - 1);
        from.push_back('\0'); // the operation takes a list ending in two zeros
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&op);
    }

    TStdStr<char> m_path;
};
