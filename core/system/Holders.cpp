#include "core/system/Holders.h"

bool CWindowsHookHolder::Set(int type, HOOKPROC procedure, HINSTANCE module, DWORD threadId)
{
    Unhook();
    m_hook = ::SetWindowsHookExA(type, procedure, module, threadId);
    return m_hook != nullptr;
}

void CWindowsHookHolder::Unhook()
{
    if (m_hook) {
        ::UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
    }
}
