#include "browser/tools/ClosedPageSink.h"

#include "core/library/UrlFunctions.h"

namespace {

IClosedPageSink* g_sink = nullptr;  // not owned

} // namespace

IClosedPageSink* GetClosedPageSink()
{
    return g_sink;
}

IClosedPageSink* SetClosedPageSink(IClosedPageSink* sink)
{
    IClosedPageSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void NotifyPageClosed(const char* title, const char* url)
{
    // about:blank, local files and script addresses are no pages to reopen.
    if (g_sink && url && IsWebUrl(url))
        g_sink->AddClosedPage(title ? title : "", url);
}
