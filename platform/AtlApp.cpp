// The message loop and the application module.
#include "platform/AtlApp.h"
#include <algorithm>

namespace {

template <class T>
BOOL AddOnce(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end())
        return FALSE;
    list.push_back(item);
    return TRUE;
}

template <class T>
BOOL RemoveItem(std::vector<T*>& list, T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end())
        return FALSE;
    list.erase(found);
    return TRUE;
}

} // namespace

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter)
{
    return AddOnce(m_aMsgFilter, filter);
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter)
{
    return RemoveItem(m_aMsgFilter, filter);
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler)
{
    return AddOnce(m_aIdleHandler, handler);
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler)
{
    return RemoveItem(m_aIdleHandler, handler);
}

int CMessageLoop::Run()
{
    bool doIdle = true;
    int idleCount = 0;
    for (;;) {
        while (doIdle && !::PeekMessageA(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                doIdle = false;
        }
        const BOOL got = ::GetMessageA(&m_msg, nullptr, 0, 0);
        if (got == -1)
            continue; // an invalid window handle was given; nothing to dispatch
        if (!got)
            break;
        if (!PreTranslateMessage(&m_msg)) {
            ::TranslateMessage(&m_msg);
            ::DispatchMessageA(&m_msg);
        }
        if (IsIdleMessage(&m_msg)) {
            doIdle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg)
{
    // Indexes, not iterators: a filter may add or remove filters while it runs.
    for (size_t i = m_aMsgFilter.size(); i > 0; --i) {
        if (i > m_aMsgFilter.size())
            continue;
        CMessageFilter* filter = m_aMsgFilter[i - 1];
        if (filter && filter->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/)
{
    for (size_t i = 0; i < m_aIdleHandler.size(); ++i) {
        if (CIdleHandler* handler = m_aIdleHandler[i])
            handler->OnIdle();
    }
    return FALSE; // once per empty queue
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118: // the system timer that blinks the caret
        return FALSE;
    default:
        return TRUE;
    }
}

CAppModule::~CAppModule() = default;

void CAppModule::Term()
{
    CComModule::Term();
    CComCritSecLock<CComAutoCriticalSection> lock(m_csLoops);
    m_loops.clear();
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* pMsgLoop)
{
    if (!pMsgLoop)
        return FALSE;
    CComCritSecLock<CComAutoCriticalSection> lock(m_csLoops);
    return m_loops.emplace(::GetCurrentThreadId(), pMsgLoop).second;
}

BOOL CAppModule::RemoveMessageLoop()
{
    CComCritSecLock<CComAutoCriticalSection> lock(m_csLoops);
    return m_loops.erase(::GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD dwThreadID) const
{
    CComCritSecLock<CComAutoCriticalSection> lock(m_csLoops);
    const auto found = m_loops.find(dwThreadID);
    return found != m_loops.end() ? found->second : nullptr;
}
