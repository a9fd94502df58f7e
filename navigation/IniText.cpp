#include "navigation/IniText.h"

#include "navigation/AddressText.h"
#include "platform/AtlBase.h"

#include <windows.h>

namespace {

// The name of a header line "[name]", or false when the line is none.
bool HeaderName(const std::string& line, std::string& name)
{
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed[0] != '[' || line.find('=') != std::string::npos)
        return false;
    const size_t close = trimmed.find(']');
    if (close == std::string::npos)
        return false;
    name = TrimBlanks(trimmed.substr(1, close - 1));
    return true;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void CreateFolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0)
        return;
    const std::string folder = path.substr(0, slash);
    if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    CreateFolderOf(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

std::string FormatIniLine(const std::string& key, const std::string& value)
{
    std::string line = key + "=";
    for (char ch : value) {
        if (ch == '\n')
            line += "\\n";
        else if (ch != '\r')
            line += ch;
    }
    return line;
}

std::string ReplaceIniSection(const std::string& fileText, const std::string& section, const IniLines& lines)
{
    std::string out;
    bool inTarget = false;
    bool written = false;
    auto writeSection = [&]() {
        if (written || lines.empty())
            return;
        written = true;
        out += "[" + section + "]\r\n";
        for (const auto& [key, value] : lines)
            out += FormatIniLine(key, value) + "\r\n";
    };
    for (const std::string& line : SplitLines(fileText)) {
        std::string name;
        if (HeaderName(line, name)) {
            if (EqualNoCase(name, section)) {
                // The first header of the name is where the new section goes; a second one of the
                // same name could never be read and goes with the old lines.
                inTarget = true;
                writeSection();
                continue;
            }
            inTarget = false;
        }
        if (inTarget)
            continue;
        out += line + "\r\n";
    }
    writeSection();
    return out;
}

bool ReadSmallFile(const std::string& path, std::string& content, size_t limit)
{
    CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit)
        return false;
    content.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() && (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
                             read != content.size()))
        return false;
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& content)
{
    CreateFolderOf(path);
    const std::string temporary = path + ".tmp";
    {
        CHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD written = 0;
        if (!content.empty() && (!WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
                                 written != content.size())) {
            file.Close();
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
