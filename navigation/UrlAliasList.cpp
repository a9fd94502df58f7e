#include "navigation/UrlAliasList.h"

#include "core/app/ProgramFolders.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "navigation/AddressText.h"
#include "navigation/IniText.h"

#include <map>

CUrlAliasList::CUrlAliasList() : m_savePath(std::string(GetAppFolders()->m_configFolder.c_str()) + kAliasFileName)
{
    CIniFile file;
    if (OpenConfigIniFile(file, kAliasFileName))
        Load(file);
}

CUrlAliasList::CUrlAliasList(std::string savePath) : m_savePath(std::move(savePath)) {}

CUrlAliasList::~CUrlAliasList()
{
    if (m_modified)
        Save();
}

void CUrlAliasList::Load(CIniFile& file)
{
    // Records come ordered by alias, byte by byte, the first of equal keys counting, as the
    // section map gives them; keys equal but for case are one alias.
    CIniFile::SectionMap map;
    file.GetSectionMap(kAliasSection, map, true);
    m_records.clear();
    for (const auto& [key, value] : map) {
        CUrlAlias record{std::string(key.c_str()), std::string(value.c_str())};
        if (record.alias.empty() || record.url.empty() || Find(record.alias) >= 0)
            continue;
        m_records.push_back(std::move(record));
    }
    m_modified = false;
}

bool CUrlAliasList::Save() const
{
    if (m_savePath.empty())
        return false;
    std::string text;
    ReadSmallFile(m_savePath, text);
    IniLines lines;
    for (const CUrlAlias& record : m_records)
        lines.emplace_back(record.alias, record.url);
    return WriteFileAtomically(m_savePath, ReplaceIniSection(text, kAliasSection, lines));
}

std::string CUrlAliasList::Lookup(const std::string& text) const
{
    const int index = Find(text);
    return index >= 0 ? m_records[index].url : text;
}

int CUrlAliasList::Find(const std::string& alias) const
{
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (EqualNoCase(m_records[i].alias, alias))
            return static_cast<int>(i);
    }
    return -1;
}

bool CUrlAliasList::Acceptable(const CUrlAlias& record, int except) const
{
    // An alias is one INI key: it cannot hold "=", start with "[" or carry blanks at its ends.
    if (record.alias.empty() || record.url.empty() || TrimBlanks(record.alias) != record.alias ||
        record.alias.find_first_of("=\r\n") != std::string::npos || record.alias[0] == '[' ||
        record.url.size() > kMaxAddressLength)
        return false;
    const int other = Find(record.alias);
    return other < 0 || other == except;
}

bool CUrlAliasList::Add(const CUrlAlias& record)
{
    if (!Acceptable(record, -1))
        return false;
    m_records.push_back(record);
    m_modified = true;
    return true;
}

bool CUrlAliasList::Replace(int index, const CUrlAlias& record)
{
    if (index < 0 || index >= GetCount() || !Acceptable(record, index))
        return false;
    m_records[index] = record;
    m_modified = true;
    return true;
}

bool CUrlAliasList::Remove(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_records.erase(m_records.begin() + index);
    m_modified = true;
    return true;
}

CUrlAliasList* GetUrlAliases()
{
    return GetSingleton<CUrlAliasList, kPriorityUrlAliasList>();
}

void CUrlAliasList::Assign(const std::vector<CUrlAlias>& records)
{
    m_records = records;
    m_modified = true;
}
