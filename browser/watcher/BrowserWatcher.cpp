#include "browser/watcher/BrowserWatcher.h"

#include "core/library/LifetimeTracker.h"
#include "frame/BrowserTab.h"
#include "frame/gestures/GestureInputFilter.h"
#include "frame/gestures/GestureTracker.h"
#include "platform/Diagnostics.h"

#include <cstring>
#include <new>

const char kEngineViewWindowClass[] = "Shell DocObject View";
const char kEngineServerWindowClass[] = "Internet Explorer_Server";

namespace {

// The watcher whose hook runs on this thread: the hook procedure has no other way to find it.
thread_local CBrowserWatcherManager* t_watcher = nullptr;

bool IsEngineWindow(HWND window)
{
    char className[64] = {};
    if (::GetClassNameA(window, className, sizeof className) <= 0)
        return false;
    return std::strcmp(className, kEngineViewWindowClass) == 0 || std::strcmp(className, kEngineServerWindowClass) == 0;
}

}  // namespace

CBrowserWatcherManager::CEntry::CEntry() = default;
CBrowserWatcherManager::CEntry::~CEntry()
{
    if (tracker)
        tracker->Detach();
    tracker.reset();
    filter.reset();
}

CBrowserWatcherManager::CBrowserWatcherManager() : CBrowserWatcherManager(nullptr) {}

CBrowserWatcherManager::CBrowserWatcherManager(IBrowserTabHost* host) : m_host(host)
{
    if (t_watcher)
        return;
    if (m_hook.Set(WH_CALLWNDPROCRET, HookProcedure, nullptr, ::GetCurrentThreadId()))
        t_watcher = this;
}

CBrowserWatcherManager::~CBrowserWatcherManager()
{
    m_hook.Unhook();
    if (t_watcher == this)
        t_watcher = nullptr;
    m_watched.clear();
}

IBrowserTabHost* CBrowserWatcherManager::TabHost() const
{
    return m_host ? m_host : GetBrowserTabHost();
}

// Every other hook of the thread is called as well, whatever the message: a hook that kept the
// messages it looked at from the rest of the chain would starve the others.
LRESULT CALLBACK CBrowserWatcherManager::HookProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    CBrowserWatcherManager* watcher = t_watcher;
    if (code == HC_ACTION && watcher) {
        try {
            const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
            if (message->message == WM_CREATE && message->lResult != -1)
                watcher->OnWindowCreated(message->hwnd);
            else if (message->message == WM_DESTROY)
                watcher->ForgetWindow(message->hwnd);
        } catch (...) {
            ReportCaughtException("CBrowserWatcherManager::HookProcedure");
        }
    }
    return ::CallNextHookEx(watcher ? watcher->m_hook.Get() : nullptr, code, wParam, lParam);
}

// The tab is the nearest ancestor (or the window itself) that the tab host knows. A tracker is
// built with left-button gestures off and right-button gestures on.
void CBrowserWatcherManager::OnWindowCreated(HWND window)
{
    if (!IsEngineWindow(window))
        return;
    ForgetWindow(window);  // a reused handle loses its old tracker
    IBrowserTabHost* host = TabHost();
    if (!host)
        return;
    IBrowserTab* tab = nullptr;
    for (HWND at = window; at && !tab; at = ::GetAncestor(at, GA_PARENT))
        tab = host->FindTab(at);
    if (!tab || !tab->GetGestureHandler())
        return;
    auto entry = std::unique_ptr<CEntry>(new (std::nothrow) CEntry);
    if (!entry)
        return;
    entry->filter.reset(new (std::nothrow) CGestureInputFilter);
    if (!entry->filter)
        return;
    entry->tracker.reset(new (std::nothrow) CGestureTracker(*entry->filter, false, true));
    if (!entry->tracker)
        return;
    if (FAILED(entry->tracker->Attach(window, tab->GetGestureHandler(), tab->GetGestureListener())))
        return;
    m_watched[window] = std::move(entry);
}

void CBrowserWatcherManager::ForgetWindow(HWND window)
{
    m_watched.erase(window);
}

CBrowserWatcherManager* GetBrowserWatcher()
{
    return GetSingleton<CBrowserWatcherManager, kPriorityBrowserWatcherManager>();
}
