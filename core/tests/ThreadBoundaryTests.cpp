// A background job that throws ends its thread with a report, not with the process.
#include "core/library/BackgroundThread.h"
#include "platform/Diagnostics.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

// Keeps the first report and signals it; reports arrive on the worker thread.
class CSignallingReporter : public IFailureReporter {
public:
    CSignallingReporter() = default;
    ~CSignallingReporter() { CloseHandle(m_reported); }
    CSignallingReporter(const CSignallingReporter&) = delete;
    CSignallingReporter& operator=(const CSignallingReporter&) = delete;

    void Report(const char* text) override
    {
        if (WaitForSingleObject(m_reported, 0) == WAIT_OBJECT_0)
            return;
        m_text = text;
        SetEvent(m_reported);
    }

    HANDLE m_reported = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::string m_text; // written before the event is set, read after it
};

TEST(ThreadBoundary, JobThatThrowsIsReported)
{
    CSignallingReporter reporter;
    ASSERT_NE(reporter.m_reported, nullptr);
    CScopedFailureReporter scope(reporter);
    CBackgroundThread thread([]() -> unsigned { throw std::runtime_error("job failed"); }, 5000);
    thread.Start(); // may see the job ended already
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reporter.m_reported, 30000));
    thread.Stop();
    EXPECT_EQ("background thread: exception caught: job failed", reporter.m_text);
}

} // namespace
