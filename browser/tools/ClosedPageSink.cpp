#include "browser/tools/ClosedPageSink.h"

#include "core/app/Settings.h"
#include "core/library/UrlFunctions.h"
#include "frame/MainFrame.h"
#include "frame/RecentClosedList.h"

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

void CRecentClosedPagesSink::AddClosedPage(const char* title, const char* url)
{
    const CSettings* settings = GetSettings();
    if (settings && settings->Closing)
        return;
    CRecentClosedList* list = m_list;
    if (!list)
        if (CMainFrame* frame = GetMainFrame())
            list = &frame->GetRecentClosedList();
    if (list)
        list->AddToList(title, url);
}

void InstallRecentClosedPagesSink()
{
    static CRecentClosedPagesSink sink;
    SetClosedPageSink(&sink);
}
