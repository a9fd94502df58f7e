#include "frame/BrowserTab.h"

namespace {
// UI-thread state: set and read on the thread that owns the main window.
IBrowserTabFactory* g_factory = nullptr;
IBrowserTabHost* g_host = nullptr;
} // namespace

IBrowserTabFactory* GetBrowserTabFactory()
{
    return g_factory;
}

IBrowserTabFactory* SetBrowserTabFactory(IBrowserTabFactory* factory)
{
    IBrowserTabFactory* previous = g_factory;
    g_factory = factory;
    return previous;
}

IBrowserTabHost* GetBrowserTabHost()
{
    return g_host;
}

IBrowserTabHost* SetBrowserTabHost(IBrowserTabHost* host)
{
    IBrowserTabHost* previous = g_host;
    g_host = host;
    return previous;
}
