#include "core/library/BackgroundThread.h"

#include "platform/Diagnostics.h"

#include <process.h>
#include <utility>

CBackgroundThread::CBackgroundThread(Job job, DWORD stopTimeout) : m_stopTimeout(stopTimeout), m_job(std::move(job))
{
}

CBackgroundThread::~CBackgroundThread()
{
    Stop();
    CloseEvents();
}

void CBackgroundThread::CloseEvents()
{
    m_stopEvent.Close();
    m_workEvent.Close();
}

// Stop (on the owner's thread) and Wait (on any thread) may both find the thread ended; the exchange
// lets exactly one of them take the handle, and the holder closes it.
void CBackgroundThread::ReleaseThread()
{
    CHandle ended(m_thread.exchange(nullptr));
}

// The object itself is the thread's argument, so a member job runs without any generated code.
unsigned __stdcall CBackgroundThread::ThreadRoutine(void* self)
{
    try {
        return static_cast<CBackgroundThread*>(self)->m_job();
    } catch (...) {
        ReportCaughtException("background thread");
        return kExceptionExitCode;
    }
}

bool CBackgroundThread::Start()
{
    // A second start while the job runs would lose the first thread's handle and events.
    if (m_thread.load())
        return false;
    CloseEvents();
    m_stopEvent.Attach(CreateEvent(nullptr, TRUE, FALSE, nullptr));
    m_workEvent.Attach(CreateEvent(nullptr, TRUE, TRUE, nullptr));
    if (!m_stopEvent || !m_workEvent || !m_job)
        return false;
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CBackgroundThread::ThreadRoutine, this, 0, nullptr);
    if (!thread)
        return false;
    m_thread = reinterpret_cast<HANDLE>(thread);
    switch (WaitForSingleObject(m_thread.load(), 0)) {
    case WAIT_TIMEOUT:
        m_running = true;
        return true;
    case WAIT_OBJECT_0:
        ReleaseThread();
        return false;
    default:
        // The handle stays held, so that Stop still ends the thread.
        return false;
    }
}

void CBackgroundThread::Stop()
{
    HANDLE thread = m_thread.load();
    if (!thread)
        return;
    SetEvent(m_stopEvent);
    if (WaitForSingleObject(thread, m_stopTimeout) == WAIT_TIMEOUT)
        TerminateThread(thread, 0);
    ReleaseThread();
    ResetEvent(m_stopEvent);
    m_running = false;
}

int CBackgroundThread::Wait()
{
    HANDLE events[2] = {m_stopEvent, m_workEvent};
    switch (WaitForMultipleObjects(2, events, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
        return kWaitStop;
    case WAIT_OBJECT_0 + 1: {
        // From any thread but the worker itself, a thread that has ended means there is nothing more
        // to wait for: release its handle and report a stop.
        HANDLE thread = m_thread.load();
        if (!thread || WaitForSingleObject(thread, 0) != WAIT_OBJECT_0)
            return kWaitWork;
        m_running = false;
        ReleaseThread();
        return kWaitStop;
    }
    default:
        return kWaitFailed;
    }
}
