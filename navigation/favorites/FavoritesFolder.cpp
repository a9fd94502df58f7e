#include "navigation/favorites/FavoritesFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// The longest address the program takes (the Internet library's own limit).
constexpr DWORD kMaxShortcutUrl = 2083;

class CShellFavoritesFolder : public IFavoritesFolder {
public:
    std::string GetFavoritesFolder() override
    {
        char path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0])
            return {};
        return WithTrailingBackslash(path);
    }
};

IFavoritesFolder*& CurrentService()
{
    static CShellFavoritesFolder shell;
    static IFavoritesFolder* current = &shell;
    return current;
}

}  // namespace

IFavoritesFolder& GetFavoritesFolderService() { return *CurrentService(); }

std::string GetFavoritesFolder() { return GetFavoritesFolderService().GetFavoritesFolder(); }

CScopedFavoritesFolder::CScopedFavoritesFolder(std::string folder)
    : m_folder(WithTrailingBackslash(std::move(folder))), m_previous(CurrentService())
{
    CurrentService() = this;
}

CScopedFavoritesFolder::~CScopedFavoritesFolder() { CurrentService() = m_previous; }

std::string WithTrailingBackslash(std::string path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

bool FolderPathsEqual(const std::string& a, const std::string& b)
{
    std::string left = WithTrailingBackslash(a);
    std::string right = WithTrailingBackslash(b);
    if (left.size() != right.size())
        return false;
    return std::equal(left.begin(), left.end(), right.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string GetPathFileName(const std::string& path)
{
    std::string trimmed = path;
    if (!trimmed.empty() && trimmed.back() == '\\')
        trimmed.pop_back();
    const size_t slash = trimmed.find_last_of('\\');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string GetPathFileTitle(const std::string& path)
{
    std::string name = GetPathFileName(path);
    if (!path.empty() && path.back() == '\\')
        return name;
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string MakeFileNameSafe(const std::string& text)
{
    std::string name;
    name.reserve(text.size());
    for (char c : text) {
        const bool forbidden = static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        name += forbidden ? '_' : c;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    return name;
}

bool CreateInternetShortcut(const std::string& path, const std::string& url)
{
    if (url.empty() || url.find_first_of("\r\n") != std::string::npos || path.empty())
        return false;
    // WritePrivateProfileString creates the file; an existing shortcut of the name is replaced
    // rather than merged, so a stale "IconFile" or "HotKey" of another site cannot survive.
    DeleteFileA(path.c_str());
    if (!WritePrivateProfileStringA("InternetShortcut", "URL", url.c_str(), path.c_str()))
        return false;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush the profile cache
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadInternetShortcutUrl(const std::string& path)
{
    // Read as the profile file it is rather than through the shell's shortcut object: that needs
    // COM on the calling thread, and a profile read is bounded by its buffer whatever the file holds.
    if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return {};
    char url[kMaxShortcutUrl + 2] = {};
    const DWORD length = GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof(url), path.c_str());
    if (length == 0 || length > kMaxShortcutUrl)
        return {};
    return std::string(url, length);
}
