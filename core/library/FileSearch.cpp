#include "core/library/FileSearch.h"

#include "platform/AtlBase.h"

#include <algorithm>
#include <cstring>

namespace {

// Deeper descents than this only happen through a cycle the folder identities cannot see (a
// network share without file indexes); the ANSI find functions stop far earlier anyway.
constexpr size_t kMaxFolderDepth = 128;

char LowerByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

void AddUnique(std::vector<TStdStr<char>>& list, const char* pattern)
{
    if (!pattern)
        return;
    for (const auto& item : list) {
        if (_stricmp(item.c_str(), pattern) == 0)
            return;
    }
    list.emplace_back(pattern);
}

// The pattern with "/" as the only separator, dot runs spelled out as parent folders and every
// "**" standing alone in its component with what follows it made explicit; the options (from
// the first "@" on) are returned apart.
TStdStr<char> NormalizePattern(const char* pattern, TStdStr<char>& options)
{
    const std::string in = pattern ? pattern : "";
    TStdStr<char> out;
    size_t i = 0;
    if (in.starts_with("\\\\")) {
        out = "\\\\";
        i = 2;
    }
    auto atComponentStart = [&out] { return out.empty() || out.back() == '/' || out.back() == ':' || out.back() == '\\'; };
    auto endsPattern = [&in](size_t pos) { return pos >= in.size() || in[pos] == '@'; };
    while (!endsPattern(i)) {
        const char c = in[i];
        if (IsSeparator(c)) {
            out += '/';
            ++i;
        } else if (c == '.' && atComponentStart()) {
            size_t end = i;
            while (end < in.size() && in[end] == '.')
                ++end;
            const size_t dots = end - i;
            if (dots >= 3 && (endsPattern(end) || IsSeparator(in[end]))) {
                out += "..";
                for (size_t k = 2; k < dots; ++k)
                    out += "/..";
            } else {
                out.append(dots, '.');
            }
            i = end;
        } else if (c == '*' && i + 1 < in.size() && in[i + 1] == '*') {
            if (!atComponentStart())
                out += "*/";
            out += "**";
            i += 2;
            while (i < in.size() && in[i] == '*')
                ++i;
            if (i < in.size() && IsSeparator(in[i])) {
                out += '/';
                ++i;
                if (endsPattern(i))
                    out += "*/"; // "dir/**/" lists every folder below dir
            } else {
                out += "/*"; // "**.url" reads as "**/*.url"
            }
        } else {
            out += c;
            ++i;
        }
    }
    options = in.substr(i);
    return out;
}

} // namespace

CFileSearch::CFileSearch()
{
    m_exclusions = {"./", "../"};
}

void CFileSearch::AddInclusion(const char* pattern) { AddUnique(m_inclusions, pattern); }
void CFileSearch::AddExclusion(const char* pattern) { AddUnique(m_exclusions, pattern); }

bool CFileSearch::MatchFileNamePattern(const char* pattern, const char* name, bool caseSensitive)
{
    auto same = [caseSensitive](char a, char b) { return caseSensitive ? a == b : LowerByte(a) == LowerByte(b); };
    const char* p = pattern;
    const char* n = name;
    while (*n && *p != '*') {
        if (*p != '?' && !same(*p, *n))
            return false;
        ++p;
        ++n;
    }
    // From the first star on: on a mismatch the last star swallows one more character.
    const char* starPattern = p;
    const char* starName = n;
    while (*n) {
        if (*p == '*') {
            if (!*++p)
                return true;
            starPattern = p;
            starName = n + 1;
        } else if (*p == '?' || same(*p, *n)) {
            ++p;
            ++n;
        } else {
            p = starPattern;
            n = starName++;
        }
    }
    while (*p == '*')
        ++p;
    return !*p;
}

TStdStr<char> CFileSearch::JoinSearchPath(const TStdStr<char>& folder, const TStdStr<char>& name)
{
    TStdStr<char> path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != ':')
        path += '/';
    path += name;
    return path;
}

void CFileSearch::ReadOptions(const TStdStr<char>& options)
{
    m_exclusions = {"./", "../"};
    m_inclusions.clear();
    size_t pos = 0;
    while (pos + 1 < options.size() && options[pos] == '@' && (options[pos + 1] == '-' || options[pos + 1] == '=')) {
        const size_t end = options.find('@', pos + 2);
        const TStdStr<char> name = options.substr(pos + 2, end == std::string::npos ? std::string::npos : end - pos - 2);
        if (!name.empty())
            options[pos + 1] == '-' ? AddExclusion(name.c_str()) : AddInclusion(name.c_str());
        if (end == std::string::npos)
            break;
        pos = end;
    }
}

void CFileSearch::Search(const char* pattern)
{
    TStdStr<char> options;
    const TStdStr<char> normalized = NormalizePattern(pattern, options);
    if (!options.empty())
        ReadOptions(options);
    std::vector<FolderId> ancestors;
    Expand(normalized, ancestors);
}

bool CFileSearch::IsExcluded(const TStdStr<char>& name) const
{
    return std::any_of(m_exclusions.begin(), m_exclusions.end(),
                       [&name](const TStdStr<char>& p) { return MatchFileNamePattern(p.c_str(), name.c_str(), false); });
}

bool CFileSearch::IsIncluded(const TStdStr<char>& name) const
{
    return m_inclusions.empty() ||
           std::any_of(m_inclusions.begin(), m_inclusions.end(),
                       [&name](const TStdStr<char>& p) { return MatchFileNamePattern(p.c_str(), name.c_str(), false); });
}

std::vector<CFileSearch::Entry> CFileSearch::ListFolder(const TStdStr<char>& folder, const TStdStr<char>& component,
                                                         bool files) const
{
    std::vector<Entry> entries;
    WIN32_FIND_DATAA data;
    const CFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &data));
    if (!find)
        return entries;
    do {
        const TStdStr<char> name = data.cFileName;
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == files || !MatchFileNamePattern(component.c_str(), name.c_str(), false))
            continue;
        if (files ? IsExcluded(name) || !IsIncluded(name) : IsExcluded(name + "/"))
            continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileA(find, &data));
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

CFileSearch::FolderId CFileSearch::GetFolderId(const TStdStr<char>& folder)
{
    FolderId id;
    const CHandle handle(CreateFileA(folder.empty() ? "." : folder.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return id;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info)) {
        id.valid = true;
        id.volume = info.dwVolumeSerialNumber;
        id.indexHigh = info.nFileIndexHigh;
        id.indexLow = info.nFileIndexLow;
    }
    return id;
}

// One wildcard component at a time: the folder part before it is listed, and the rest of the
// pattern is expanded below every matching folder. A "**/" component is first matched with no
// folder at all, then the pattern is retried with "*/**/" in its place, one level deeper.
void CFileSearch::Expand(TStdStr<char> pattern, std::vector<FolderId>& ancestors)
{
    for (;;) {
        size_t folderEnd = 0;
        size_t globstar = std::string::npos;
        bool wild = false;
        size_t i = 0;
        while (i < pattern.size()) {
            const char c = pattern[i];
            if (c == '/' || c == ':') {
                if (wild)
                    break;
                folderEnd = i + 1;
            } else if (c == '*' && !wild && globstar == std::string::npos && i + 1 < pattern.size() &&
                       pattern[i + 1] == '*' && (i == 0 || pattern[i - 1] == '/' || pattern[i - 1] == ':')) {
                if (i + 2 == pattern.size()) {
                    pattern.erase(i);
                    globstar = i;
                    break;
                }
                if (pattern[i + 2] == '/') {
                    pattern.erase(i, 3);
                    globstar = i;
                    continue;
                }
                wild = true;
            } else if (c == '*' || c == '?') {
                wild = true;
            }
            ++i;
        }
        if (!wild) {
            m_results.push_back(pattern);
            return;
        }
        const TStdStr<char> folder = pattern.substr(0, folderEnd);
        const TStdStr<char> component = pattern.substr(folderEnd, i - folderEnd);
        const bool last = i >= pattern.size();
        const std::vector<Entry> entries = ListFolder(folder, component, last);
        if (last) {
            for (const auto& entry : entries)
                m_results.push_back(JoinSearchPath(folder, entry.name));
        } else if (!entries.empty() && ancestors.size() < kMaxFolderDepth) {
            const TStdStr<char> rest = pattern.substr(i);
            ancestors.push_back(GetFolderId(folder));
            for (const auto& entry : entries) {
                const TStdStr<char> path = JoinSearchPath(folder, entry.name);
                const FolderId id = GetFolderId(path);
                // Without an identity a link is not followed: it may lead back up the tree.
                if (id.valid ? std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end() : entry.reparsePoint)
                    continue;
                Expand(path + rest, ancestors);
            }
            ancestors.pop_back();
        }
        if (globstar == std::string::npos)
            return;
        pattern.insert(globstar, "*/**/");
    }
}
