#include "controls/skins/SubclassRegistry.h"

#include "core/library/LifetimeTracker.h"
#include "platform/Diagnostics.h"

#include <algorithm>

CWindowHook::~CWindowHook()
{
    if (m_window) {
        if (CSubclassRegistry* registry = GetSubclassRegistry())
            registry->Detach(this);
    }
}

LRESULT CWindowHook::CallNext(UINT message, WPARAM wParam, LPARAM lParam)
{
    CSubclassRegistry* registry = GetSubclassRegistry();
    if (!m_window || !registry)
        return 0;
    return registry->CallNext(this, message, wParam, lParam);
}

CSubclassRegistry::~CSubclassRegistry()
{
    // Windows that outlive the registry get their own procedures back.
    for (auto& [window, entry] : m_entries) {
        for (CWindowHook* hook : entry.hooks)
            hook->m_window = nullptr;
        if (::IsWindow(window) &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) == SharedWindowProc)
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.previous));
    }
}

bool CSubclassRegistry::Attach(CWindowHook* hook, HWND window)
{
    if (!hook || hook->m_window || !::IsWindow(window))
        return false;
    auto found = m_entries.find(window);
    if (found == m_entries.end()) {
        // A pointer-sized procedure: SetWindowLong would cut it to 32 bits on 64-bit Windows.
        const LONG_PTR previous =
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSubclassRegistry::SharedWindowProc));
        if (!previous)
            return false;
        found = m_entries.emplace(window, CEntry{reinterpret_cast<WNDPROC>(previous), {}}).first;
    }
    found->second.hooks.push_back(hook);
    hook->m_window = window;
    return true;
}

bool CSubclassRegistry::Detach(CWindowHook* hook)
{
    if (!hook || !hook->m_window)
        return false;
    const HWND window = hook->m_window;
    hook->m_window = nullptr;
    auto found = m_entries.find(window);
    if (found == m_entries.end())
        return false;
    auto& hooks = found->second.hooks;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), hook), hooks.end());
    if (hooks.empty() &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) == SharedWindowProc) {
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
        m_entries.erase(found);
    }
    // Otherwise a procedure put over ours later still calls the shared one, which now only
    // passes everything on to the previous procedure.
    return true;
}

size_t CSubclassRegistry::GetHookCount(HWND window) const
{
    const auto found = m_entries.find(window);
    return found == m_entries.end() ? 0 : found->second.hooks.size();
}

LRESULT CSubclassRegistry::CallNext(CWindowHook* hook, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = m_entries.find(hook->m_window);
    if (found == m_entries.end())
        return 0;
    const auto& hooks = found->second.hooks;
    const auto at = std::find(hooks.begin(), hooks.end(), hook);
    return Dispatch(hook->m_window, static_cast<size_t>(at - hooks.begin()), message, wParam, lParam);
}

// Offers the message to the hooks below position `below` (newest first), then to the previous
// procedure. A hook may detach itself or others while it runs, so the list is read afresh on
// every step.
LRESULT CSubclassRegistry::Dispatch(HWND window, size_t below, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (;;) {
        const auto found = m_entries.find(window);
        if (found == m_entries.end())
            return ::DefWindowProcA(window, message, wParam, lParam);
        auto& hooks = found->second.hooks;
        below = std::min(below, hooks.size());
        if (below == 0)
            return ::CallWindowProcA(found->second.previous, window, message, wParam, lParam);
        --below;
        CWindowHook* hook = hooks[below];
        LRESULT result = 0;
        if (hook->ProcessMessage(message, wParam, lParam, result))
            return result;
    }
}

LRESULT CSubclassRegistry::WindowDestroyed(HWND window, WPARAM wParam, LPARAM lParam)
{
    const auto found = m_entries.find(window);
    if (found == m_entries.end())
        return ::DefWindowProcA(window, WM_NCDESTROY, wParam, lParam);
    const WNDPROC previous = found->second.previous;
    for (CWindowHook* hook : found->second.hooks)
        hook->m_window = nullptr;
    m_entries.erase(found);
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) == SharedWindowProc)
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    return ::CallWindowProcA(previous, window, WM_NCDESTROY, wParam, lParam);
}

LRESULT CALLBACK CSubclassRegistry::SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CSubclassRegistry* registry = GetSubclassRegistry();
    if (!registry)
        return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        if (message == WM_NCDESTROY)
            return registry->WindowDestroyed(window, wParam, lParam);
        const auto found = registry->m_entries.find(window);
        const size_t count = found == registry->m_entries.end() ? 0 : found->second.hooks.size();
        return registry->Dispatch(window, count, message, wParam, lParam);
    } catch (...) {
        ReportCaughtException("CSubclassRegistry::SharedWindowProc");
    }
    const auto found = registry->m_entries.find(window);
    if (found != registry->m_entries.end())
        return ::CallWindowProcA(found->second.previous, window, message, wParam, lParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

CSubclassRegistry* GetSubclassRegistry()
{
    return GetSingleton<CSubclassRegistry, kPrioritySubclassRegistry>();
}
