// The application module and the message loop: filters that see each message before it is
// dispatched, and idle handlers that run whenever the queue runs empty.
#pragma once
#include <map>
#include <vector>
#include "platform/AtlCom.h"
#include "platform/AtlWin.h"

class CMessageFilter
{
public:
    // True when the message was used up and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler
{
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop
{
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;
    virtual ~CMessageLoop() = default;

    BOOL AddMessageFilter(CMessageFilter* filter);
    BOOL RemoveMessageFilter(CMessageFilter* filter);
    BOOL AddIdleHandler(CIdleHandler* handler);
    BOOL RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and gives its exit code.
    int Run();

    // Filters added last see messages first.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(int idleCount);
    // Messages after which the idle handlers need not run again (mouse moves, paints, caret blinks).
    static BOOL IsIdleMessage(const MSG* pMsg);

    MSG m_msg = {};

protected:
    std::vector<CMessageFilter*> m_aMsgFilter; // not owned
    std::vector<CIdleHandler*> m_aIdleHandler; // not owned
};

// The module of an application: the COM module plus one message loop per UI thread.
class CAppModule : public CComModule
{
public:
    CAppModule() = default;
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;
    ~CAppModule();

    void Term();

    // One loop per thread; false when the thread has one already.
    BOOL AddMessageLoop(CMessageLoop* pMsgLoop);
    BOOL RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD dwThreadID = ::GetCurrentThreadId()) const;

private:
    mutable CComAutoCriticalSection m_csLoops;
    std::map<DWORD, CMessageLoop*> m_loops; // not owned
};
