#pragma once
// How the namespace handler's findings reach the main frame. The handler runs on whatever thread the
// URL layer binds on: the tabs' engines bind on the user-interface thread, but the favicon loader
// and the update check bind on workers, and the frame's notices (logs, counters, list views, sounds)
// belong to the user-interface thread. So a block found on another thread is posted, as a heap copy
// of its texts, to a message-only window of the user-interface thread, which hands it to the
// frame's IBrowserTabHost there (frame/BrowserTab.h). A block that finds no host is dropped.
//
// The user-interface thread is the one that called InstallFilterUiThread (the handler's class
// factory does, when start-up or a test makes it). The window lives until that thread ends.
#include <string>

// Records the calling thread as the user-interface thread and makes its relay window; later calls
// on the same thread do nothing. Also creates the rule store, the allow list, the settings and the
// frame data there, so that no worker is the first to touch them.
void InstallFilterUiThread();
bool IsFilterUiThread();
// OnAdBlocked of the installed host, on the user-interface thread (now, or posted).
void ReportAdBlockedToHost(const std::string& rule, const std::string& url);
