// Small helpers: the wait cursor. (Registry keys are held by the core library's CRegistryKey.)
#pragma once
#include <windows.h>

// Shows the wait cursor for a scope.
class CWaitCursor
{
public:
    explicit CWaitCursor(bool set = true, LPCSTR cursor = IDC_WAIT, bool sysCursor = true) noexcept
        : m_hWaitCursor(::LoadCursorA(sysCursor ? nullptr : ::GetModuleHandleA(nullptr), cursor))
    {
        if (set)
            Set();
    }
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    bool Set() noexcept
    {
        if (m_active)
            return false;
        m_hOldCursor = ::SetCursor(m_hWaitCursor);
        m_active = true;
        return true;
    }
    bool Restore() noexcept
    {
        if (!m_active)
            return false;
        ::SetCursor(m_hOldCursor);
        m_active = false;
        return true;
    }

private:
    HCURSOR m_hWaitCursor;
    HCURSOR m_hOldCursor = nullptr;
    bool m_active = false;
};
