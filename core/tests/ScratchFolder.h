#pragma once
// CScratchFolder: a fresh, empty folder for one test inside the process's scratch folder
// (KivoTestScratchFolder()), removed with everything in it afterwards; and the file helpers the
// tests use on it.
#include "core/library/StdStr.h"
#include "tests/support/TestScratch.h"

#include <windows.h>

#include <string>
#include <vector>

class CScratchFolder {
public:
    explicit CScratchFolder(const char* name) : m_path(CStdString(KivoTestScratchFolder().c_str()) + name + "\\")
    {
        Remove(m_path);
        CreateDirectoryA(m_path, nullptr);
    }
    ~CScratchFolder() { Remove(m_path); }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder, with a trailing backslash.
    const CStdString& Path() const { return m_path; }
    CStdString operator/(const char* name) const { return m_path + name; }

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

    // Removes a folder (given with a trailing backslash) and everything in it.
    static void Remove(const CStdString& folder)
    {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const CStdString name = data.cFileName;
                if (name == "." || name == "..")
                    continue;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(CStdString(folder + name + "\\"));
                else {
                    SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA((folder + name).c_str());
                }
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder);
    }

    static void WriteBytes(const CStdString& path, const std::string& bytes)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    // The file's bytes, or "<missing>" when it cannot be opened.
    static std::string ReadBytes(const CStdString& path)
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

private:
    CStdString m_path;
};
