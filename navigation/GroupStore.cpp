#include "navigation/GroupStore.h"

#include "core/app/ProgramFolders.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/system/OpenUrl.h"
#include "navigation/AddressText.h"
#include "navigation/IniText.h"

#include <algorithm>

namespace {
constexpr size_t kMaxGroupNameLength = 255;
}

CGroupStore::CGroupStore() : m_savePath(std::string(GetAppFolders()->m_configFolder.c_str()) + kGroupsFileName)
{
    CIniFile file;
    if (OpenConfigIniFile(file, kGroupsFileName))
        Load(file);
}

CGroupStore::CGroupStore(std::string savePath) : m_savePath(std::move(savePath)) {}

CGroupStore::~CGroupStore()
{
    if (m_modified)
        Save();
}

void CGroupStore::Load(CIniFile& file)
{
    m_groups.clear();
    std::vector<TStdStr<char>> names;
    file.GetSectionNames(names);
    for (const auto& name : names) {
        CSiteGroup group{std::string(name.c_str()), {}};
        // A second section of a name differing only in case is the first one again to the reader.
        if (std::any_of(m_groups.begin(), m_groups.end(),
                        [&](const CSiteGroup& g) { return EqualNoCase(g.name, group.name); }))
            continue;
        std::vector<std::string> keys;
        for (const auto& [key, value] : file.GetSectionKeyValues(name.c_str())) {
            const std::string k(key.c_str());
            if (value.empty() ||
                std::any_of(keys.begin(), keys.end(), [&](const std::string& seen) { return EqualNoCase(seen, k); }))
                continue;
            keys.push_back(k);
            group.urls.emplace_back(value.c_str());
        }
        m_groups.push_back(std::move(group));
    }
    m_modified = false;
}

bool CGroupStore::Save() const
{
    if (m_savePath.empty())
        return false;
    std::string text;
    for (const CSiteGroup& group : m_groups) {
        text += "[" + group.name + "]\r\n";
        for (size_t i = 0; i < group.urls.size(); ++i)
            text += FormatIniLine("url" + std::to_string(i + 1), group.urls[i]) + "\r\n";
    }
    return WriteFileAtomically(m_savePath, text);
}

int CGroupStore::FindGroup(const std::string& name) const
{
    if (name.empty())
        return -1;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        if (m_groups[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

void CGroupStore::AddUrlToGroup(int index, const std::string& url)
{
    if (index < 0 || index >= GetCount() || url.empty())
        return;
    m_groups[index].urls.push_back(url);
    m_modified = true;
}

bool CGroupStore::IsValidGroupName(const std::string& name, int except) const
{
    if (name.empty() || name.size() > kMaxGroupNameLength || TrimBlanks(name) != name ||
        name.find_first_of("[]=\r\n") != std::string::npos)
        return false;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        if (static_cast<int>(i) != except && EqualNoCase(m_groups[i].name, name))
            return false;
    }
    return true;
}

bool CGroupStore::AddGroup(const std::string& name, std::vector<std::string> urls)
{
    if (!IsValidGroupName(name))
        return false;
    m_groups.push_back(CSiteGroup{name, std::move(urls)});
    m_modified = true;
    return true;
}

bool CGroupStore::RenameGroup(int index, const std::string& name)
{
    if (index < 0 || index >= GetCount() || !IsValidGroupName(name, index))
        return false;
    m_groups[index].name = name;
    m_modified = true;
    return true;
}

bool CGroupStore::DeleteGroup(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_groups.erase(m_groups.begin() + index);
    m_modified = true;
    return true;
}

bool CGroupStore::SetGroupUrls(int index, std::vector<std::string> urls)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (m_groups[index].urls != urls) {
        m_groups[index].urls = std::move(urls);
        m_modified = true;
    }
    return true;
}

bool CGroupStore::MoveGroup(int from, int to)
{
    if (from < 0 || from >= GetCount() || to < 0 || to >= GetCount())
        return false;
    if (from == to)
        return true;
    CSiteGroup group = std::move(m_groups[from]);
    m_groups.erase(m_groups.begin() + from);
    m_groups.insert(m_groups.begin() + to, std::move(group));
    m_modified = true;
    return true;
}

CGroupStore* GetGroupStore()
{
    return GetSingleton<CGroupStore, kPriorityGroupStore>();
}

void BuildGroupsMenu(HMENU menu, const CGroupStore& store)
{
    if (!menu)
        return;
    for (int i = 0; i < kMaxMenuGroups; ++i) {
        if (!DeleteMenu(menu, kOpenGroupFirstCommand + i, MF_BYCOMMAND))
            break;
    }
    const int count = std::min(store.GetCount(), kMaxMenuGroups);
    for (int i = 0; i < count; ++i)
        AppendMenuA(menu, MF_STRING, kOpenGroupFirstCommand + i, store.Groups()[i].name.c_str());
}

void BuildAddToGroupMenu(HMENU menu, const CGroupStore& store)
{
    if (!menu)
        return;
    while (GetMenuItemCount(menu) > 0) {
        if (!DeleteMenu(menu, 0, MF_BYPOSITION))
            break;
    }
    const int count = std::min(store.GetCount(), kMaxMenuGroups);
    for (int i = 0; i < count; ++i)
        AppendMenuA(menu, MF_STRING, kAddToGroupFirstCommand + i, store.Groups()[i].name.c_str());
}

int OpenGroup(HWND window, const CSiteGroup& group)
{
    int sent = 0;
    for (const std::string& url : group.urls) {
        OpenUrlInFrame(window, url.c_str(), kOpenNewTab);
        ++sent;
    }
    return sent;
}
