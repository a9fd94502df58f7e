#include "browser/FavIconSource.h"

namespace {

class CNoFavIcons final : public IFavIconSource {
public:
    int GetIconIndex(const char*) override { return kUnknownSiteIcon; }
    void QueueRequest(const char*) override {}
};

CNoFavIcons g_none;
IFavIconSource* g_source = nullptr;  // not owned

} // namespace

IFavIconSource& GetFavIconSource()
{
    return g_source ? *g_source : g_none;
}

IFavIconSource* SetFavIconSource(IFavIconSource* source)
{
    IFavIconSource* previous = g_source;
    g_source = source;
    return previous;
}
