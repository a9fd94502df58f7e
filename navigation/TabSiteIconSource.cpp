#include "navigation/TabSiteIconSource.h"

#include "navigation/FavIconCache.h"

// A tab shows no icon for the cache's page icon: both sides must mean the same image by it.
static_assert(kDefaultPageIcon == kUnknownSiteIcon);

CFavIconCache* CTabSiteIconSource::Cache() const
{
    return m_cache ? m_cache : GetFavIconCache();
}

int CTabSiteIconSource::GetIconIndex(const char* url)
{
    CFavIconCache* cache = Cache();
    return cache && url ? cache->GetIconIndex(url) : kUnknownSiteIcon;
}

void CTabSiteIconSource::QueueRequest(const char* url)
{
    if (CFavIconCache* cache = Cache(); cache && url && *url)
        cache->QueueRequest(url);
}
