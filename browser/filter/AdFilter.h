#pragma once
// The ad filter's rules: two lists of wildcard patterns, the exception list ("bypass" keys: a URL it
// matches is never blocked, neither as an ad nor as a popup) and the filter list ("filter" keys: a
// URL it matches is blocked), kept in "AdFilters.ini", section "Ad Filters":
//   [Ad Filters]
//   bypass0=*example.com/allowed/*
//   filter0=*doubleclick.
//   filter1=http://ads.
// The file is read from the first of config\, config\<language>\ and config\defaults\ that holds it
// and written, when the rules were changed, to config\ at exit. The lists are read whole: a gap in the
// numbering ends nothing, so a save never drops the rules behind one (see FilterIni.h).
//
// Patterns stay as loaded (case, order and blanks as they stand in the file). A pattern added through
// the program is lower-cased, refused when the list already holds it (a linear look-up: a list loaded
// unsorted would defeat a binary search), and the list is then sorted by plain byte comparison.
//
// Matching (MatchAdFilter) consults the exception list first; the reported rule is always the first
// pattern in list order that matches (CRuleIndex gives exactly the plain scan's answer, faster).
//
// Threads: the lists are edited on the user-interface thread; the namespace handler matches on
// whatever thread the URL layer binds on (the favicon loader and the update check bind on workers).
// A reader-writer lock guards the lists and their indexes. `m_modified` is UI-thread only.
#include "browser/filter/RuleIndex.h"
#include "core/library/StdStr.h"

#include <windows.h>

#include <string>
#include <vector>

constexpr char kAdFiltersFileName[] = "AdFilters.ini";
constexpr char kAdFiltersSection[] = "Ad Filters";

// One list of patterns with its INI key prefix.
class CAdFilterRuleList {
public:
    explicit CAdFilterRuleList(const char* prefix) : m_prefix(prefix) {}

    const std::string& GetPrefix() const { return m_prefix; }
    const std::vector<std::string>& GetPatterns() const { return m_patterns; }
    void Assign(std::vector<std::string> patterns);
    // Lower-cases the pattern; false for an empty one or one the list holds; else appends and sorts.
    bool Add(const char* pattern);
    bool Remove(size_t index);
    void Clear();
    // The first pattern that matches, or -1.
    int FindFirstMatch(const char* url) const;

private:
    std::string m_prefix;
    std::vector<std::string> m_patterns;
    CRuleIndex m_index;
};

class CAdFilter {
public:
    enum EList { kExceptionList = 0, kFilterList = 1 };

    // Loads "AdFilters.ini" unless told not to.
    explicit CAdFilter(bool load = true);
    // Saves when modified.
    ~CAdFilter();
    CAdFilter(const CAdFilter&) = delete;
    CAdFilter& operator=(const CAdFilter&) = delete;

    // True when a file was found and read.
    bool Load();
    // True at once when not modified; else rewrites the section in config\AdFilters.ini.
    bool Save();

    // The first exception pattern matching the URL.
    bool MatchException(const char* url, TStdStr<char>& rule) const;
    // False when an exception matches (rule = that exception); else true at the first matching filter.
    bool Match(const char* url, TStdStr<char>& rule) const;

    std::vector<std::string> GetPatterns(EList list) const;
    size_t GetCount(EList list) const;
    // Rule-list edits; they do not set m_modified (the caller does).
    bool AddRule(EList list, const char* pattern);
    bool RemoveRule(EList list, size_t index);
    void ClearList(EList list);

    bool m_modified = false;

private:
    CAdFilterRuleList& List(EList list) { return list == kExceptionList ? m_exceptions : m_filters; }
    const CAdFilterRuleList& List(EList list) const { return list == kExceptionList ? m_exceptions : m_filters; }

    mutable SRWLOCK m_lock = SRWLOCK_INIT;
    CAdFilterRuleList m_exceptions{"bypass"};
    CAdFilterRuleList m_filters{"filter"};
    bool m_loadFailed = false;  // a file that exists could not be read: it is never written over
};

// The one store, created and loaded on first use, saved and destroyed by the ordered teardown.
CAdFilter& GetAdFilter();
bool MatchAdFilter(const char* url, TStdStr<char>& rule);
bool MatchAdFilterException(const char* url, TStdStr<char>& rule);

// What the rule dialog makes of a typed rule: a "*" in front unless it starts with "*" or "?" or is a
// web URL (http, https or ftp with a host). Lower-casing is done by the list.
TStdStr<char> CompleteTypedRule(const char* typed);
