#include "browser/filter/PopupAllowList.h"

#include "browser/filter/FilterIni.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/Url.h"

#include <algorithm>

namespace {

// Parses the URL as given, or with "http://" in front when it has no scheme at all.
bool ParseSiteUrl(const char* url, CUrl& parsed)
{
    if (!url || !*url)
        return false;
    TStdStr<char> text = url;
    text.MakeLower();
    if (parsed.CrackUrl(text.c_str(), kUrlDecode))
        return parsed.HasAuthority() && !parsed.GetHostName().empty();
    if (text.find("://") != std::string::npos)
        return false;
    return parsed.CrackUrl(("http://" + text).c_str(), kUrlDecode) && !parsed.GetHostName().empty();
}

// Host, ":port" when it is not the scheme's default, and the path unless it is empty or "/".
TStdStr<char> SiteKeyOf(const CUrl& url)
{
    TStdStr<char> key = url.GetHostName();
    const int port = url.GetPortNumber();
    if (port != 0 && port != CUrl::GetDefaultPort(url.GetScheme()))
        key += ":" + std::to_string(port);
    const TStdStr<char>& path = url.GetUrlPath();
    if (!path.empty() && path != "/")
        key += path;
    key.MakeLower();
    return key;
}

}  // namespace

CPopupAllowList::CPopupAllowList(bool load)
{
    if (load)
        Load();
}

CPopupAllowList::~CPopupAllowList()
{
    Save();
}

bool CPopupAllowList::Load()
{
    m_sites.clear();
    m_loadFailed = false;
    std::string path;
    std::string text;
    if (!FindConfigFile(kPopupsFileName, path))
        return false;
    if (!ReadWholeFile(path.c_str(), text)) {
        m_loadFailed = true;
        return false;
    }
    for (std::string& site : ReadNumberedValues(ReadIniSection(text, kPopupsSection), "bypass")) {
        TStdStr<char> lower = site;
        lower.MakeLower();
        m_sites.push_back(lower);
    }
    return true;
}

bool CPopupAllowList::Save()
{
    if (!m_modified)
        return true;
    const std::string path = GetConfigFilePath(kPopupsFileName);
    std::string found;
    if (m_loadFailed && FindConfigFile(kPopupsFileName, found) && found == path)
        return false;
    CIniLines lines;
    AppendNumberedLines(lines, "bypass", m_sites);
    return RewriteIniSection(path.c_str(), kPopupsSection, lines);
}

bool CPopupAllowList::IsSiteAllowed(const char* url) const
{
    CUrl parsed;
    if (m_sites.empty() || !ParseSiteUrl(url, parsed))
        return false;
    TStdStr<char> candidate = SiteKeyOf(parsed);
    auto listed = [this](const std::string& key) { return std::find(m_sites.begin(), m_sites.end(), key) != m_sites.end(); };
    for (;;) {
        // A key stored with its path's closing "/" ("example.org/members/") allows the pages below it.
        if (listed(candidate) || listed(candidate + "/"))
            return true;
        const size_t slash = candidate.rfind('/');
        if (slash == std::string::npos)
            return false;
        candidate.resize(slash);
    }
}

bool CPopupAllowList::AddSite(const char* url)
{
    const TStdStr<char> key = MakeSiteKey(url);
    if (key.empty() || std::find(m_sites.begin(), m_sites.end(), key) != m_sites.end())
        return false;
    m_sites.push_back(key);
    std::sort(m_sites.begin(), m_sites.end());
    return true;
}

bool CPopupAllowList::Remove(size_t index)
{
    if (index >= m_sites.size())
        return false;
    m_sites.erase(m_sites.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void CPopupAllowList::Clear()
{
    m_sites.clear();
}

CPopupAllowList& GetPopupAllowList()
{
    if (CPopupAllowList* list = GetSingleton<CPopupAllowList, kPriorityPopupAllowList>())
        return *list;
    static CPopupAllowList spent(false);
    return spent;
}

TStdStr<char> MakeSiteKey(const char* url)
{
    CUrl parsed;
    return ParseSiteUrl(url, parsed) ? SiteKeyOf(parsed) : TStdStr<char>();
}

bool AddSiteToList(CPopupAllowList& list, const char* url)
{
    return list.AddSite(url);
}

bool MatchSiteList(const CPopupAllowList& list, const char* url)
{
    return list.IsSiteAllowed(url);
}
