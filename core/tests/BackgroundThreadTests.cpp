#include "core/library/BackgroundThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

TEST(BackgroundThread, StopWithoutAThreadDoesNothing)
{
    CBackgroundThread thread([] { return 0u; }, 100);
    thread.Stop();
    EXPECT_FALSE(thread.IsRunning());
}

TEST(BackgroundThread, CooperativeJobStopsPromptlyAndCanStartAgain)
{
    std::atomic<int> rounds{0};
    std::atomic<int> lastWait{0};
    std::atomic<int> finished{0};
    std::unique_ptr<CBackgroundThread> thread;
    thread = std::make_unique<CBackgroundThread>(
        [&] {
            int result;
            while ((result = thread->Wait()) == CBackgroundThread::kWaitWork) {
                ++rounds;
                Sleep(1);
            }
            lastWait = result;
            ++finished;
            return 7u;
        },
        5000);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(thread->Start());
        EXPECT_TRUE(thread->IsRunning());
        // A second start while the job runs is refused.
        EXPECT_FALSE(thread->Start());
        while (rounds < 3 * run)
            Sleep(1);
        const DWORD before = GetTickCount();
        thread->Stop();
        EXPECT_LT(GetTickCount() - before, 2000u);
        EXPECT_FALSE(thread->IsRunning());
        EXPECT_EQ(lastWait, CBackgroundThread::kWaitStop);
        EXPECT_EQ(finished, run);
    }
}

TEST(BackgroundThread, JobThatIgnoresStopIsEndedAfterTheTimeOut)
{
    std::atomic<bool> started{false};
    CBackgroundThread thread(
        [&] {
            started = true;
            for (;;)
                Sleep(10);
            return 0u;
        },
        300);
    ASSERT_TRUE(thread.Start());
    while (!started)
        Sleep(1);
    const DWORD before = GetTickCount();
    thread.Stop();
    const DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(BackgroundThread, JobThatEndedIsReplacedByTheNextStart)
{
    std::atomic<int> runs{0};
    CBackgroundThread thread(
        [&] {
            ++runs;
            return 0u;
        },
        1000);
    // The job may end before Start looks at it; either way the next Start runs it again.
    thread.Start();
    while (runs < 1)
        Sleep(1);
    thread.Stop();
    thread.Start();
    while (runs < 2)
        Sleep(1);
    thread.Stop();
    EXPECT_EQ(runs, 2);
}
