#pragma once
// The popup allow list: the sites whose pages may open new windows and web-page dialogs, kept in
// "Popups.ini", section "Popups", as bypass0, bypass1, ... (read from the first of config\,
// config\<language>\ and config\defaults\ that holds it; written to config\).
//
// A site key is the lower-case host, then ":" and the port when the URL's port is not its scheme's
// default, then the URL's path (percent escapes decoded) unless it is empty or "/". A URL is allowed
// when a key equals its host (with the same non-default port) followed by its path cut back at a
// "/" any number of times: a bare host allows the whole host (not its subdomains), a key with a path
// the pages below that path. Keys read from the file are lower-cased, so a hand-written key in
// capitals still takes effect.
//
// A URL is matched as given; only a URL without any scheme is read as if it began with "http://".
// (Text in a query such as "?next=http://allowed.example/" does not lend another site's rights.)
//
// UI thread only, like the tabs' popup test and the web-page-dialog blocker that ask it.
#include "core/library/StdStr.h"

#include <string>
#include <vector>

constexpr char kPopupsFileName[] = "Popups.ini";
constexpr char kPopupsSection[] = "Popups";

class CPopupAllowList {
public:
    explicit CPopupAllowList(bool load = true);
    // Saves when modified.
    ~CPopupAllowList();
    CPopupAllowList(const CPopupAllowList&) = delete;
    CPopupAllowList& operator=(const CPopupAllowList&) = delete;

    bool Load();
    // True at once when not modified; else rewrites the section in config\Popups.ini.
    bool Save();

    // The popup test: whether the page at this URL may open windows and dialogs.
    bool IsSiteAllowed(const char* url) const;
    // Adds the URL's site key; false when the URL does not parse or its key is there already.
    // Does not set m_modified.
    bool AddSite(const char* url);
    bool Remove(size_t index);
    void Clear();

    const std::vector<std::string>& GetSites() const { return m_sites; }

    bool m_modified = false;

private:
    std::vector<std::string> m_sites;
    bool m_loadFailed = false;
};

CPopupAllowList& GetPopupAllowList();

// The site key of a URL (empty when it does not parse).
TStdStr<char> MakeSiteKey(const char* url);
// The design's two routines over a list.
bool AddSiteToList(CPopupAllowList& list, const char* url);
bool MatchSiteList(const CPopupAllowList& list, const char* url);
