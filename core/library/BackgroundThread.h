#pragma once
// CBackgroundThread runs one job on a thread of its own and lets the owner stop it with a bounded
// wait. The job calls Wait between steps of its work: Wait returns kWaitStop once the owner asks the
// thread to stop, and the job should then return.
#include "platform/AtlBase.h"

#include <windows.h>

#include <atomic>
#include <functional>

class CBackgroundThread {
public:
    // The job's result becomes the thread's exit code.
    using Job = std::function<unsigned()>;

    enum WaitResult { kWaitWork = 1, kWaitStop = 2, kWaitFailed = 3 };

    CBackgroundThread(Job job, DWORD stopTimeout);
    ~CBackgroundThread();
    CBackgroundThread(const CBackgroundThread&) = delete;
    CBackgroundThread& operator=(const CBackgroundThread&) = delete;

    // Starts the job on a new thread. False when a thread already runs, when it cannot be created,
    // or when the job has already ended by the time Start looks at it.
    bool Start();
    // Asks the job to stop and waits for it up to the stop time-out; a job that has not ended by then
    // is terminated. Does nothing when no thread runs.
    void Stop();
    // Called by the job on the worker thread: blocks until there is work (kWaitWork) or the owner
    // asks the thread to stop (kWaitStop); kWaitFailed when the wait itself fails.
    int Wait();

    bool IsRunning() const { return m_running; }

private:
    static unsigned __stdcall ThreadRoutine(void* self);
    void CloseEvents();
    void ReleaseThread();

    DWORD m_stopTimeout;
    // Written by the owner's thread; read by the job's Wait, which may run before Start stores it.
    // Owned: an atomic cannot hold a CHandle, so ReleaseThread hands it to one to be closed.
    std::atomic<HANDLE> m_thread{nullptr};
    std::atomic<bool> m_running{false};
    CHandle m_stopEvent; // manual reset, created clear
    CHandle m_workEvent; // manual reset, created set
    Job m_job;
};
