#include "browser/filter/AdFilter.h"

#include "browser/filter/FilterIni.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/UrlFunctions.h"

#include <algorithm>
#include <cstring>

namespace {

// Shared and exclusive holds of the store's lock.
class CSharedHold {
public:
    explicit CSharedHold(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockShared(&m_lock); }
    ~CSharedHold() { ReleaseSRWLockShared(&m_lock); }
    CSharedHold(const CSharedHold&) = delete;
    CSharedHold& operator=(const CSharedHold&) = delete;

private:
    SRWLOCK& m_lock;
};

class CExclusiveHold {
public:
    explicit CExclusiveHold(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~CExclusiveHold() { ReleaseSRWLockExclusive(&m_lock); }
    CExclusiveHold(const CExclusiveHold&) = delete;
    CExclusiveHold& operator=(const CExclusiveHold&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace

void CAdFilterRuleList::Assign(std::vector<std::string> patterns)
{
    m_patterns = std::move(patterns);
    m_index.Build(m_patterns);
}

bool CAdFilterRuleList::Add(const char* pattern)
{
    TStdStr<char> lower = pattern ? pattern : "";
    lower.MakeLower();
    if (lower.empty() || std::find(m_patterns.begin(), m_patterns.end(), lower) != m_patterns.end())
        return false;
    m_patterns.push_back(lower);
    std::sort(m_patterns.begin(), m_patterns.end());
    m_index.Build(m_patterns);
    return true;
}

bool CAdFilterRuleList::Remove(size_t index)
{
    if (index >= m_patterns.size())
        return false;
    m_patterns.erase(m_patterns.begin() + static_cast<std::ptrdiff_t>(index));
    m_index.Build(m_patterns);
    return true;
}

void CAdFilterRuleList::Clear()
{
    m_patterns.clear();
    m_index.Clear();
}

int CAdFilterRuleList::FindFirstMatch(const char* url) const
{
    return url ? m_index.FindFirst(url, std::strlen(url)) : -1;
}

CAdFilter::CAdFilter(bool load)
{
    if (load)
        Load();
}

CAdFilter::~CAdFilter()
{
    Save();
}

bool CAdFilter::Load()
{
    std::string path;
    std::string text;
    std::vector<std::string> exceptions;
    std::vector<std::string> filters;
    bool loaded = false;
    m_loadFailed = false;
    if (FindConfigFile(kAdFiltersFileName, path)) {
        if (ReadWholeFile(path.c_str(), text)) {
            const CIniLines lines = ReadIniSection(text, kAdFiltersSection);
            exceptions = ReadNumberedValues(lines, m_exceptions.GetPrefix().c_str());
            filters = ReadNumberedValues(lines, m_filters.GetPrefix().c_str());
            loaded = true;
        } else {
            m_loadFailed = true;
        }
    }
    CExclusiveHold hold(m_lock);
    m_exceptions.Assign(std::move(exceptions));
    m_filters.Assign(std::move(filters));
    return loaded;
}

bool CAdFilter::Save()
{
    if (!m_modified)
        return true;
    CIniLines lines;
    {
        CSharedHold hold(m_lock);
        AppendNumberedLines(lines, m_exceptions.GetPrefix().c_str(), m_exceptions.GetPatterns());
        AppendNumberedLines(lines, m_filters.GetPrefix().c_str(), m_filters.GetPatterns());
    }
    const std::string path = GetConfigFilePath(kAdFiltersFileName);
    // A config\ file that could not be read is kept; a damaged defaults\ file does not matter.
    std::string found;
    if (m_loadFailed && FindConfigFile(kAdFiltersFileName, found) && found == path)
        return false;
    return RewriteIniSection(path.c_str(), kAdFiltersSection, lines);
}

bool CAdFilter::MatchException(const char* url, TStdStr<char>& rule) const
{
    CSharedHold hold(m_lock);
    const int found = m_exceptions.FindFirstMatch(url);
    if (found < 0)
        return false;
    rule = m_exceptions.GetPatterns()[static_cast<size_t>(found)];
    return true;
}

bool CAdFilter::Match(const char* url, TStdStr<char>& rule) const
{
    CSharedHold hold(m_lock);
    int found = m_exceptions.FindFirstMatch(url);
    if (found >= 0) {
        rule = m_exceptions.GetPatterns()[static_cast<size_t>(found)];
        return false;
    }
    found = m_filters.FindFirstMatch(url);
    if (found < 0)
        return false;
    rule = m_filters.GetPatterns()[static_cast<size_t>(found)];
    return true;
}

std::vector<std::string> CAdFilter::GetPatterns(EList list) const
{
    CSharedHold hold(m_lock);
    return List(list).GetPatterns();
}

size_t CAdFilter::GetCount(EList list) const
{
    CSharedHold hold(m_lock);
    return List(list).GetPatterns().size();
}

bool CAdFilter::AddRule(EList list, const char* pattern)
{
    CExclusiveHold hold(m_lock);
    return List(list).Add(pattern);
}

bool CAdFilter::RemoveRule(EList list, size_t index)
{
    CExclusiveHold hold(m_lock);
    return List(list).Remove(index);
}

void CAdFilter::ClearList(EList list)
{
    CExclusiveHold hold(m_lock);
    List(list).Clear();
}

CAdFilter& GetAdFilter()
{
    if (CAdFilter* filter = GetSingleton<CAdFilter, kPriorityAdFilter>())
        return *filter;
    // After the teardown (or when memory ran out): an empty store that neither loads nor saves.
    static CAdFilter spent(false);
    return spent;
}

bool MatchAdFilter(const char* url, TStdStr<char>& rule)
{
    return GetAdFilter().Match(url, rule);
}

bool MatchAdFilterException(const char* url, TStdStr<char>& rule)
{
    return GetAdFilter().MatchException(url, rule);
}

TStdStr<char> CompleteTypedRule(const char* typed)
{
    TStdStr<char> rule = typed ? typed : "";
    if (!rule.empty() && rule[0] != '*' && rule[0] != '?' && !IsWebUrl(rule.c_str()))
        rule.insert(rule.begin(), '*');
    return rule;
}
