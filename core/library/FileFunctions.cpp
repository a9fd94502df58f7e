#include "core/library/FileFunctions.h"

#include "core/library/RegistryKey.h"
#include "core/library/Z4KException.h"
#include "core/library/Z4KFile.h"

#include <boost/tokenizer.hpp>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// Index of the last single-byte character of text that satisfies the test (trail bytes of double-byte
// characters never count), or npos.
template <typename Test>
size_t FindLastSingleByte(const char* text, Test test)
{
    size_t found = TStdStr<char>::npos;
    for (size_t i = 0; text[i];) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && text[i + 1]) {
            i += 2;
            continue;
        }
        if (test(text[i]))
            found = i;
        ++i;
    }
    return found;
}

size_t FindLastBackslash(const char* text)
{
    return FindLastSingleByte(text, [](char ch) { return ch == '\\'; });
}

// True when the text's last character is a single-byte backslash.
bool EndsWithBackslash(const char* text)
{
    const size_t length = std::strlen(text);
    return length > 0 && FindLastBackslash(text) == length - 1;
}

void CopyCut(char* target, size_t capacity, const char* text, size_t length)
{
    const size_t n = length < capacity ? length : capacity - 1;
    std::memcpy(target, text, n);
    target[n] = '\0';
}

// Length of the part of a full path that the long-name walk leaves alone: "C:\" or "\\server\share\".
size_t RootLength(const TStdStr<char>& path)
{
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        int separators = 0;
        for (size_t i = 2; i < path.size(); ++i) {
            if (IsSeparator(path[i]) && ++separators == 2)
                return i + 1;
        }
        return path.size();
    }
    return 0;
}

// Rewrites each component of a full path with the name the file system reports for it (its long form
// in its real letter case). Components that are not found stay as written.
TStdStr<char> MakeLongPath(const TStdStr<char>& fullPath)
{
    const size_t rootLength = RootLength(fullPath);
    if (rootLength == 0)
        return fullPath;
    TStdStr<char> result = fullPath.substr(0, rootLength);
    bool lookUp = true;
    size_t start = rootLength;
    while (start < fullPath.size()) {
        size_t stop = fullPath.find_first_of("\\/", start);
        if (stop == TStdStr<char>::npos)
            stop = fullPath.size();
        TStdStr<char> component = fullPath.substr(start, stop - start);
        if (lookUp && !component.empty() && component.find_first_of("*?") == TStdStr<char>::npos && component != "." &&
            component != "..") {
            WIN32_FIND_DATAA data;
            const CFindHandle find(FindFirstFileA((result + component).c_str(), &data));
            if (find) {
                component = data.cFileName;
            } else {
                lookUp = false; // nothing below a missing component can be found either
            }
        }
        result += component;
        if (stop < fullPath.size())
            result += '\\';
        start = stop + 1;
    }
    return result;
}

TStdStr<char> ExpandEnvironment(const char* text, DWORD capacity)
{
    std::vector<char> buffer(capacity + 1, '\0');
    const DWORD length = ExpandEnvironmentStringsA(text, buffer.data(), capacity);
    if (length == 0 || length > capacity)
        return text;
    return buffer.data();
}

bool FileExists(const TStdStr<char>& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TStdStr<char> WithoutQuotes(TStdStr<char> text)
{
    text.Replace("\"", "");
    return text;
}

TStdStr<char> WithBackslash(TStdStr<char> folder)
{
    if (!folder.empty() && !EndsWithBackslash(folder.c_str()))
        folder += '\\';
    return folder;
}

char FoldForMatch(char ch)
{
    if (ch == '\\')
        return '/';
    if (ch >= 'a' && ch <= 'z')
        return static_cast<char>(ch - 'a' + 'A');
    return ch;
}

} // namespace

CFilePath::CFilePath(const char* name)
{
    char full[MAX_PATH] = {};
    if (!name || !_fullpath(full, name, MAX_PATH)) {
        SetLastError(ERROR_INVALID_NAME);
        throw CZ4KSimpleTextException("Bad filename!");
    }
    m_fullPath = MakeLongPath(full);
    Split();
}

void CFilePath::SetModulePath(HMODULE module)
{
    char name[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    m_fullPath = name;
    Split();
}

// Splits like the runtime's path splitting (double-byte aware), cutting each part to its array.
void CFilePath::Split()
{
    const char* path = m_fullPath.c_str();
    size_t start = 0;
    m_drive[0] = '\0';
    if (m_fullPath.size() >= 2 && path[1] == ':' && !IsDBCSLeadByte(static_cast<BYTE>(path[0]))) {
        CopyCut(m_drive, sizeof(m_drive), path, 2);
        start = 2;
    }
    const size_t lastSeparator = FindLastSingleByte(path + start, IsSeparator);
    const size_t nameStart = lastSeparator == TStdStr<char>::npos ? start : start + lastSeparator + 1;
    CopyCut(m_folder, sizeof(m_folder), path + start, nameStart - start);
    const char* name = path + nameStart;
    const size_t dot = FindLastSingleByte(name, [](char ch) { return ch == '.'; });
    const size_t titleLength = dot == TStdStr<char>::npos ? std::strlen(name) : dot;
    CopyCut(m_title, sizeof(m_title), name, titleLength);
    CopyCut(m_extension, sizeof(m_extension), name + titleLength, std::strlen(name + titleLength));
}

bool CFileFinder::FindFirst(const char* pattern)
{
    Close();
    if (!pattern)
        pattern = "*.*";
    if (std::strlen(pattern) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    m_next = std::make_unique<WIN32_FIND_DATAA>();
    m_find.Attach(FindFirstFileA(pattern, m_next.get()));
    if (!m_find) {
        const DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return false;
    }
    char full[MAX_PATH] = {};
    if (!_fullpath(full, pattern, MAX_PATH)) {
        Close();
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    m_root = full;
    const size_t separator = FindLastSingleByte(full, IsSeparator);
    if (separator != TStdStr<char>::npos)
        m_root.erase(separator);
    return true;
}

// After the last entry the search is closed, so that further calls keep the last entry current and
// return false.
bool CFileFinder::FindNext()
{
    if (!m_find)
        return false;
    if (!m_current)
        m_current = std::make_unique<WIN32_FIND_DATAA>();
    *m_current = *m_next;
    if (!FindNextFileA(m_find, m_next.get())) {
        m_find.Close();
        return false;
    }
    return true;
}

void CFileFinder::Close()
{
    m_current.reset();
    m_next.reset();
    m_find.Close();
}

TStdStr<char> CFileFinder::GetFileName() const
{
    return m_current ? TStdStr<char>(m_current->cFileName) : TStdStr<char>();
}

TStdStr<char> CFileFinder::GetFilePath() const
{
    return m_root + m_separator + GetFileName();
}

bool CFileFinder::MatchesAttribute(DWORD mask) const
{
    return m_current && (m_current->dwFileAttributes & mask) != 0;
}

bool CFileFinder::IsDots() const
{
    if (!m_current || !(m_current->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return std::strcmp(m_current->cFileName, ".") == 0 || std::strcmp(m_current->cFileName, "..") == 0;
}

TStdStr<char> ChangeFileExtension(const char* path, const char* extension)
{
    const CFilePath parts(path);
    return TStdStr<char>(parts.GetDrive()) + parts.GetFolder() + parts.GetTitle() + (extension ? extension : "");
}

bool IsDirectory(const char* path)
{
    const DWORD attributes = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolderPath(const char* path, bool test)
{
    if (!path)
        return false;
    return test ? IsDirectory(path) : EndsWithBackslash(path);
}

void ReplaceInvalidFileNameChars(TStdStr<char>& text)
{
    static const char kInvalid[] = "\\/:,;*?\"<>|";
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (std::strchr(kInvalid, text[i]))
            text[i] = '-';
    }
}

// Compares as many trailing characters as the extension has, after checking that the path is long
// enough to hold them.
bool HasExtension(const char* path, const char* extension)
{
    if (!path || !extension)
        return false;
    const size_t pathLength = std::strlen(path);
    const size_t extensionLength = std::strlen(extension);
    if (extensionLength == 0 || pathLength < extensionLength)
        return false;
    return lstrcmpiA(path + pathLength - extensionLength, extension) == 0;
}

TStdStr<char> GetFileTitle(const char* path)
{
    if (!path)
        return {};
    TStdStr<char> text = path;
    if (EndsWithBackslash(path)) {
        text.pop_back();
        const size_t slash = FindLastBackslash(text.c_str());
        return slash == TStdStr<char>::npos ? text : TStdStr<char>(text.substr(slash + 1));
    }
    const size_t slash = FindLastBackslash(path);
    if (slash != TStdStr<char>::npos)
        text.erase(0, slash + 1);
    const size_t dot = FindLastSingleByte(text.c_str(), [](char ch) { return ch == '.'; });
    if (dot != TStdStr<char>::npos)
        text.erase(dot);
    return text;
}

TStdStr<char> GetFileName(const char* path)
{
    if (!path)
        return {};
    if (EndsWithBackslash(path))
        return GetFileTitle(path);
    const size_t slash = FindLastBackslash(path);
    return slash == TStdStr<char>::npos ? TStdStr<char>(path) : TStdStr<char>(path + slash + 1);
}

bool PathsEqual(const char* a, const char* b)
{
    auto normal = [](const char* path) {
        TStdStr<char> text = path ? path : "";
        if (EndsWithBackslash(text.c_str()))
            text.pop_back();
        return text.MakeUpper();
    };
    return normal(a) == normal(b);
}

bool CreateFolderTree(const char* path)
{
    if (!path || !*path)
        return false;
    TStdStr<char> folder = path;
    if (EndsWithBackslash(folder.c_str()))
        folder.pop_back();
    std::vector<TStdStr<char>> missing;
    while (!CreateDirectoryA(folder.c_str(), nullptr)) {
        missing.push_back(folder);
        const size_t slash = FindLastBackslash(folder.c_str());
        if (slash == TStdStr<char>::npos)
            return false;
        folder.erase(slash);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryA(it->c_str(), nullptr))
            return false;
    }
    return true;
}

bool GetFileStatusByName(const char* path, CZ4KFileStatus& status)
{
    std::memset(&status, 0, sizeof(status));
    if (!path || !*path)
        return false;
    TStdStr<char> full;
    try {
        full = CFilePath(path).GetFullPath();
    } catch (const CZ4KException&) {
        return false;
    }
    WIN32_FIND_DATAA data;
    if (!CFindHandle(FindFirstFileA(full.c_str(), &data)))
        return false;
    lstrcpynA(status.fullName, full.c_str(), MAX_PATH);
    status.attribute = static_cast<BYTE>(data.dwFileAttributes & 0x7F);
    status.size = data.nFileSizeLow;
    status.lastWriteTime = data.ftLastWriteTime;
    status.creationTime = data.ftCreationTime;
    status.lastAccessTime = data.ftLastAccessTime;
    auto isZero = [](const FILETIME& t) { return t.dwLowDateTime == 0 && t.dwHighDateTime == 0; };
    if (isZero(status.creationTime))
        status.creationTime = status.lastWriteTime;
    if (isZero(status.lastAccessTime))
        status.lastAccessTime = status.lastWriteTime;
    return true;
}

bool WildcardMatch(const char* pattern, const char* text)
{
    if (!pattern)
        pattern = "";
    if (!text)
        text = "";
    const char* star = nullptr;    // pattern position behind the last "*"
    const char* starText = nullptr; // text position that "*" has swallowed up to
    while (*text) {
        if (!*pattern)
            return true;
        if (*pattern == '*') {
            star = ++pattern;
            starText = text;
            continue;
        }
        if (*pattern == '?' || FoldForMatch(*pattern) == FoldForMatch(*text)) {
            ++pattern;
            ++text;
            continue;
        }
        if (!star)
            return false;
        pattern = star;
        text = ++starText;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// A quoted program ends at the quote that closes the opening one; the arguments follow it.
void SplitCommandLine(const char* command, TStdStr<char>& program, TStdStr<char>& arguments)
{
    const TStdStr<char> text = ExpandEnvironment(command ? command : "", MAX_PATH);
    program.clear();
    arguments.clear();
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        if (close == TStdStr<char>::npos) {
            program = WithoutQuotes(text);
            return;
        }
        program = text.substr(1, close - 1);
        arguments = text.substr(close + 1);
        arguments.TrimLeft();
        return;
    }
    const size_t blank = text.find(' ');
    if (blank == TStdStr<char>::npos) {
        program = text;
        return;
    }
    program = text.substr(0, blank);
    arguments = text.substr(blank + 1);
}

void SplitAtExe(const char* command, TStdStr<char>& program, TStdStr<char>& arguments)
{
    const TStdStr<char> text = ExpandEnvironment(command ? command : "", MAX_PATH);
    TStdStr<char> lower = text;
    lower.MakeLower();
    const int exe = lower.Find(".exe");
    if (exe < 0)
        return;
    program = WithoutQuotes(text.Left(exe + 4));
    arguments = text.Mid(exe + 5);
}

TStdStr<char> ExpandPathMacros(const char* text)
{
    TStdStr<char> result = text ? text : "";
    if (result.find('$') == TStdStr<char>::npos)
        return result;
    result.Replace("$WINDIR", GetWindowsFolder().c_str());
    result.Replace("$SYSDIR", GetSystemFolder().c_str());
    result.Replace("$PROGRAMFILES", GetProgramFilesDir().c_str());
    return result;
}

TStdStr<char> FindApplicationPath(const char* name, TStdStr<char>* friendlyName)
{
    if (!name || !*name)
        return {};
    const TStdStr<char> expanded = ExpandPathMacros(name);
    if (FileExists(expanded))
        return expanded;

    CFilePath module;
    module.SetModulePath(nullptr);
    const TStdStr<char> programFolder = TStdStr<char>(module.GetDrive()) + module.GetFolder();
    const size_t slash = FindLastBackslash(name);
    const TStdStr<char> lastComponent = TStdStr<char>("\\") + (slash == TStdStr<char>::npos ? name : name + slash + 1);

    char currentFolder[MAX_PATH] = {};
    const DWORD currentLength = GetCurrentDirectoryA(MAX_PATH, currentFolder);
    TStdStr<char> candidates[] = {
        programFolder + name,
        currentLength && currentLength < MAX_PATH ? TStdStr<char>(currentFolder) + lastComponent : TStdStr<char>(),
        GetSystemFolder() + lastComponent,
        GetWindowsFolder() + lastComponent,
    };
    for (const auto& candidate : candidates) {
        if (!candidate.empty() && candidate != lastComponent && FileExists(candidate))
            return candidate;
    }

    CRegistryKey shell;
    if (shell.Open(HKEY_CLASSES_ROOT, (TStdStr<char>("applications") + lastComponent + "\\shell").c_str(), KEY_READ)) {
        TStdStr<char> friendly;
        if (friendlyName && shell.QueryStringValue("FriendlyCache", friendly))
            *friendlyName = friendly;
        CRegistryKey command;
        TStdStr<char> commandLine;
        if (command.Open(shell, "open\\command", KEY_READ) && command.QueryStringValue(nullptr, commandLine)) {
            TStdStr<char> program, arguments;
            SplitAtExe(commandLine.c_str(), program, arguments);
            if (FileExists(program))
                return program;
        }
    }

    const TStdStr<char> searchPath = ExpandEnvironment("%PATH%", 8192);
    boost::char_separator<char> separator(";");
    boost::tokenizer<boost::char_separator<char>> folders(searchPath, separator);
    for (const auto& folder : folders) {
        const TStdStr<char> candidate = WithBackslash(folder) + name;
        if (FileExists(candidate))
            return candidate;
    }
    return {};
}
