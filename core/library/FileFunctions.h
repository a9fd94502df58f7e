#pragma once
// The library's path vocabulary: the path object, free functions on path texts, the find-file
// iterator, the wildcard matcher of URL and name patterns, and the lookup of a program by name.
// Paths are ANSI texts of at most MAX_PATH characters.
#include "core/library/StdStr.h"
#include "platform/AtlBase.h"

#include <windows.h>

#include <memory>

struct CZ4KFileStatus;

// A full, long, correctly-cased path and its parts.
class CFilePath {
public:
    CFilePath() = default;
    // Throws CZ4KSimpleTextException "Bad filename!" (last error ERROR_INVALID_NAME) when the name
    // cannot be made into a full path.
    explicit CFilePath(const char* name);

    // The module's file name; stays empty when it cannot be had.
    void SetModulePath(HMODULE module);

    const TStdStr<char>& GetFullPath() const { return m_fullPath; }
    const char* GetDrive() const { return m_drive; }
    const char* GetFolder() const { return m_folder; }
    const char* GetTitle() const { return m_title; }
    const char* GetExtension() const { return m_extension; }
    TStdStr<char> GetFileName() const { return TStdStr<char>(m_title) + m_extension; }

private:
    void Split();

    TStdStr<char> m_fullPath;
    char m_drive[3] = {};
    char m_folder[256] = {};
    char m_title[256] = {};
    char m_extension[256] = {};
};

// Walks the entries that match a pattern. Usage: FindFirst; while the previous FindNext returned true,
// handle the current entry; handle it once more after the FindNext that returned false.
class CFileFinder {
public:
    CFileFinder() = default;
    ~CFileFinder() { Close(); }
    CFileFinder(const CFileFinder&) = delete;
    CFileFinder& operator=(const CFileFinder&) = delete;

    // A null pattern means "*.*". Failures keep the thread's last error.
    bool FindFirst(const char* pattern = nullptr);
    bool FindNext();
    void Close();

    TStdStr<char> GetFileName() const;
    TStdStr<char> GetFilePath() const;
    bool MatchesAttribute(DWORD mask) const;
    bool IsDots() const;
    const TStdStr<char>& GetRoot() const { return m_root; }

private:
    std::unique_ptr<WIN32_FIND_DATAA> m_current;
    std::unique_ptr<WIN32_FIND_DATAA> m_next;
    CFindHandle m_find;
    TStdStr<char> m_root;
    char m_separator = '\\';
};

// Drive, folder and title of the path, followed by the extension (which carries its own dot).
TStdStr<char> ChangeFileExtension(const char* path, const char* extension);
bool IsDirectory(const char* path);
// With test: IsDirectory; without: the path ends in a backslash (a double-byte trail byte does not count).
bool IsFolderPath(const char* path, bool test);
// Replaces each of \ / : , ; * ? " < > | by "-".
void ReplaceInvalidFileNameChars(TStdStr<char>& text);
// The path ends with the extension, ignoring case.
bool HasExtension(const char* path, const char* extension);
TStdStr<char> GetFileTitle(const char* path);
TStdStr<char> GetFileName(const char* path);
// Equal after a trailing backslash is dropped and both are upper-cased.
bool PathsEqual(const char* a, const char* b);
// Creates the folder and every missing parent. A folder that exists already counts as a failure.
bool CreateFolderTree(const char* path);
bool GetFileStatusByName(const char* path, CZ4KFileStatus& status);
// "?" one character, "*" any run; "\" counts as "/", a-z as A-Z; a used-up pattern matches the rest.
bool WildcardMatch(const char* pattern, const char* text);
void SplitCommandLine(const char* command, TStdStr<char>& program, TStdStr<char>& arguments);
void SplitAtExe(const char* command, TStdStr<char>& program, TStdStr<char>& arguments);
// Replaces "$WINDIR", "$SYSDIR" and "$PROGRAMFILES" by their folders.
TStdStr<char> ExpandPathMacros(const char* text);
// The full path of a program typed by name; empty when none is found. The shell's friendly name of
// the application is given out when the registry supplies it.
TStdStr<char> FindApplicationPath(const char* name, TStdStr<char>* friendlyName = nullptr);
