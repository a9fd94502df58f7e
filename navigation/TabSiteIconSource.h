#pragma once
// CTabSiteIconSource: what the browser tabs ask for their sites' icons, answered by the favicon
// cache: a tab's image is the cache's index of its address (the page icon while the site's icon is
// not known), and every address a tab goes to is queued for fetching. The tab strip shows the
// cache's image list, so the indices are those of the icons it draws.
//
// Lifetime: InstallFrameNavigation installs one for the program and keeps it until exit; the cache
// it asks is not owned.
#include "browser/TabSiteIcons.h"

class CFavIconCache;

class CTabSiteIconSource final : public ITabSiteIcons {
public:
    // Null: the program's cache (GetFavIconCache), asked at each call.
    explicit CTabSiteIconSource(CFavIconCache* cache = nullptr) : m_cache(cache) {}

    int GetIconIndex(const char* url) override;
    void QueueRequest(const char* url) override;

private:
    CFavIconCache* Cache() const;

    CFavIconCache* m_cache;  // not owned; null: the program's cache
};
