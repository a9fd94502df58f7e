#include "browser/filter/FilterIni.h"

#include "core/app/ProgramFolders.h"
#include "platform/AtlBase.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EqualNoCase(const char* a, size_t length, const char* b)
{
    if (std::strlen(b) != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y))
            return false;
    }
    return true;
}

// One line of the text without its line end; `next` moves behind the line end.
struct CLineView {
    const char* begin;
    size_t length;
};

template <typename Visit>
void ForEachLine(const std::string& text, Visit visit)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        size_t length = end - at;
        if (length > 0 && text[at + length - 1] == '\r')
            --length;
        if (!visit(CLineView{text.data() + at, length}, at, next))
            return;
        at = next;
    }
}

// A line whose first non-blank is "[" and which holds a "]".
bool IsHeaderLine(const CLineView& line)
{
    size_t i = 0;
    while (i < line.length && IsBlank(line.begin[i]))
        ++i;
    return i < line.length && line.begin[i] == '[' && std::memchr(line.begin + i, ']', line.length - i) != nullptr;
}

bool IsHeaderOf(const CLineView& line, const char* section)
{
    size_t i = 0;
    while (i < line.length && IsBlank(line.begin[i]))
        ++i;
    if (i >= line.length || line.begin[i] != '[')
        return false;
    ++i;
    while (i < line.length && IsBlank(line.begin[i]))
        ++i;
    const char* close = static_cast<const char*>(std::memchr(line.begin + i, ']', line.length - i));
    if (!close)
        return false;
    size_t end = static_cast<size_t>(close - line.begin);
    while (end > i && IsBlank(line.begin[end - 1]))
        --end;
    return EqualNoCase(line.begin + i, end - i, section);
}

// The number behind the prefix when the key is prefix + decimal digits.
bool NumberedKey(const std::string& key, const char* prefix, unsigned long long& number)
{
    const size_t prefixLength = std::strlen(prefix);
    if (key.size() <= prefixLength || key.size() > prefixLength + 18 || !EqualNoCase(key.data(), prefixLength, prefix))
        return false;
    number = 0;
    for (size_t i = prefixLength; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9')
            return false;
        number = number * 10 + static_cast<unsigned>(key[i] - '0');
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const char* path, std::string& text, size_t limit)
{
    text.clear();
    CHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit)
        return false;
    text.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < text.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 24));
        if (!ReadFile(file, text.data() + done, chunk, &read, nullptr) || read == 0) {
            text.clear();
            return false;
        }
        done += read;
    }
    return true;
}

CIniLines ReadIniSection(const std::string& text, const char* section)
{
    CIniLines lines;
    bool inside = false;
    bool seen = false;
    ForEachLine(text, [&](const CLineView& line, size_t, size_t) {
        if (IsHeaderLine(line)) {
            if (inside)
                return false;
            if (!seen && IsHeaderOf(line, section)) {
                inside = true;
                seen = true;
            }
            return true;
        }
        if (!inside)
            return true;
        const char* equals = static_cast<const char*>(std::memchr(line.begin, '=', line.length));
        if (!equals)
            return true;
        size_t keyBegin = 0;
        size_t keyEnd = static_cast<size_t>(equals - line.begin);
        while (keyBegin < keyEnd && IsBlank(line.begin[keyBegin]))
            ++keyBegin;
        while (keyEnd > keyBegin && IsBlank(line.begin[keyEnd - 1]))
            --keyEnd;
        std::string value(equals + 1, line.begin + line.length);
        const size_t nul = value.find('\0');
        if (nul != std::string::npos)
            value.resize(nul);
        lines.emplace_back(std::string(line.begin + keyBegin, keyEnd - keyBegin), std::move(value));
        return true;
    });
    return lines;
}

std::vector<std::string> ReadNumberedValues(const CIniLines& lines, const char* prefix)
{
    std::vector<std::pair<unsigned long long, const std::string*>> numbered;
    for (const auto& [key, value] : lines) {
        unsigned long long number = 0;
        if (!value.empty() && NumberedKey(key, prefix, number))
            numbered.emplace_back(number, &value);
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> values;
    values.reserve(numbered.size());
    for (const auto& entry : numbered)
        values.push_back(*entry.second);
    return values;
}

void AppendNumberedLines(CIniLines& lines, const char* prefix, const std::vector<std::string>& values)
{
    size_t k = 0;
    for (const std::string& value : values) {
        if (value.empty())
            continue;
        lines.emplace_back(std::string(prefix) + std::to_string(k++), value);
    }
}

bool RewriteIniSection(const char* path, const char* section, const CIniLines& lines)
{
    std::string old;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !ReadWholeFile(path, old))
        return false;  // there is a file, but it cannot be read whole: it is not written over
    std::string body;
    for (const auto& [key, value] : lines) {
        // A line end inside a value would make a line of its own: it is not written.
        if (key.find_first_of("\r\n") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
            continue;
        body += key;
        body += '=';
        body += value;
        body += "\r\n";
    }
    std::string text;
    bool inside = false;
    bool replaced = false;
    ForEachLine(old, [&](const CLineView& line, size_t, size_t) {
        if (IsHeaderLine(line)) {
            inside = false;
            if (!replaced && IsHeaderOf(line, section)) {
                text.append(line.begin, line.length);
                text += "\r\n";
                text += body;
                inside = true;
                replaced = true;
                return true;
            }
        }
        if (!inside) {
            text.append(line.begin, line.length);
            text += "\r\n";
        }
        return true;
    });
    if (!replaced) {
        text += "[";
        text += section;
        text += "]\r\n";
        text += body;
    }
    std::string folder = path;
    const size_t slash = folder.find_last_of("\\/");
    if (slash != std::string::npos) {
        folder.resize(slash);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    const std::string temporary = std::string(path) + ".new";
    {
        CHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        size_t done = 0;
        while (done < text.size()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 24));
            if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
                file.Close();
                DeleteFileA(temporary.c_str());
                return false;
            }
            done += written;
        }
        if (!file.Close()) {
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool FindConfigFile(const char* name, std::string& path)
{
    const CAppFolders& folders = *GetAppFolders();
    for (int kind : {CAppFolders::configFolder, CAppFolders::languageFolder, CAppFolders::defaultsFolder}) {
        const std::string candidate = folders.GetConfigFolder(kind) + name;
        const DWORD attributes = GetFileAttributesA(candidate.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            path = candidate;
            return true;
        }
    }
    return false;
}

std::string GetConfigFilePath(const char* name)
{
    return GetAppFolders()->GetConfigFolder(CAppFolders::configFolder) + name;
}
