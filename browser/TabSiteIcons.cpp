#include "browser/TabSiteIcons.h"

namespace {

class CNoSiteIcons final : public ITabSiteIcons {
public:
    int GetIconIndex(const char*) override { return kUnknownSiteIcon; }
    void QueueRequest(const char*) override {}
};

CNoSiteIcons g_none;
ITabSiteIcons* g_source = nullptr;  // not owned

} // namespace

ITabSiteIcons& GetTabSiteIcons()
{
    return g_source ? *g_source : g_none;
}

ITabSiteIcons* SetTabSiteIcons(ITabSiteIcons* source)
{
    ITabSiteIcons* previous = g_source;
    g_source = source;
    return previous;
}
