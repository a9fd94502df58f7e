#include "setup-plugin/WindowFinder.h"

#include <cstring>

namespace {

// The library-wide lock under which question messages are registered: finders may be built on
// whatever thread the setup program calls the plug-in from.
class CLibraryLock {
public:
    CLibraryLock() { InitializeCriticalSection(&m_section); }
    ~CLibraryLock() { DeleteCriticalSection(&m_section); }
    CLibraryLock(const CLibraryLock&) = delete;
    CLibraryLock& operator=(const CLibraryLock&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

CLibraryLock g_libraryLock;

} // namespace

CWindowFinder::CWindowFinder(const char* className, const char* questionMessageName)
{
    lstrcpynA(m_className, className ? className : "", sizeof(m_className));
    g_libraryLock.Enter();
    m_questionMessage = RegisterWindowMessageA(questionMessageName);
    g_libraryLock.Leave();
}

HWND CWindowFinder::Find()
{
    m_foundWindow = nullptr;
    EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(this));
    return m_foundWindow;
}

BOOL CALLBACK CWindowFinder::EnumWindowsProc(HWND window, LPARAM finder)
{
    auto* self = reinterpret_cast<CWindowFinder*>(finder);
    if (!self->TestWindow(window))
        return TRUE;
    self->m_foundWindow = window;
    return FALSE;
}

bool CWindowFinder::TestWindow(HWND window)
{
    char className[256];
    if (GetClassNameA(window, className, sizeof(className)) <= 0)
        className[0] = '\0';
    if (std::strcmp(className, m_className) != 0)
        return false;
    // A busy or hung window must not stall the caller: it gets a bounded time to answer.
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(window, m_questionMessage, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                             &reply))
        return false;
    return m_questionMessage != 0 && reply == m_questionMessage;
}
