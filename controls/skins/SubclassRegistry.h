#pragma once
// CSubclassRegistry: one shared window procedure per window for any number of independent hook
// objects (CWindowHook). The first hook attached to a window replaces its procedure; every message
// is then offered to the hooks from the most recently attached to the oldest, and the window's
// previous procedure answers what none of them handles. WM_NCDESTROY lets every hook go and puts
// the previous procedure back before that procedure sees the message.
//
// Lifetime: the registry is a singleton (GetSubclassRegistry, torn down with priority 200); hook
// objects are owned by whoever attaches them and detach themselves when destroyed. UI thread only.
#include <windows.h>

#include <map>
#include <vector>

class CWindowHook {
public:
    CWindowHook() = default;
    virtual ~CWindowHook();
    CWindowHook(const CWindowHook&) = delete;
    CWindowHook& operator=(const CWindowHook&) = delete;

    // Answers a message: true (with its result) when handled.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // The window the hook is attached to, null when detached.
    HWND GetHookedWindow() const { return m_window; }

protected:
    // The default processing from inside ProcessMessage: the hooks attached before this one, then
    // the window's previous procedure.
    LRESULT CallNext(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class CSubclassRegistry;
    HWND m_window = nullptr;
};

class CSubclassRegistry {
public:
    CSubclassRegistry() = default;
    ~CSubclassRegistry();
    CSubclassRegistry(const CSubclassRegistry&) = delete;
    CSubclassRegistry& operator=(const CSubclassRegistry&) = delete;

    // False for a null hook, a hook already attached (to any window) or a window that is none.
    bool Attach(CWindowHook* hook, HWND window);
    // Removes the hook from its window's list; the last hook out gives the window its previous
    // procedure back unless another procedure was put over the shared one since.
    bool Detach(CWindowHook* hook);
    size_t GetHookCount(HWND window) const;
    bool IsHooked(HWND window) const { return m_entries.count(window) != 0; }

    LRESULT CallNext(CWindowHook* hook, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct CEntry {
        WNDPROC previous = nullptr;
        std::vector<CWindowHook*> hooks;  // not owned; oldest first
    };
    static LRESULT CALLBACK SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(HWND window, size_t below, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowDestroyed(HWND window, WPARAM wParam, LPARAM lParam);

    std::map<HWND, CEntry> m_entries;
};

// The registry, created on first use; null after the teardown.
CSubclassRegistry* GetSubclassRegistry();
