#include "core/library/BackgroundThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

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
        // The job sees the stop and returns by itself, well within the stop time-out: a job ended by
        // the time-out would not have counted itself finished.
        thread->Stop();
        EXPECT_FALSE(thread->IsRunning());
        EXPECT_EQ(lastWait, CBackgroundThread::kWaitStop);
        EXPECT_EQ(finished, run);
    }
}

TEST(BackgroundThread, StopWaitsForASlowJobUpToTheTimeOut)
{
    // A job that is slow to stop: it ends only once a thread of the test has seen that it was asked
    // to. Stop must wait for it rather than end it at once (the time-out is far beyond that).
    std::atomic<bool> stopSeen{false};
    std::atomic<bool> ended{false};
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(release, nullptr);
    std::unique_ptr<CBackgroundThread> thread;
    thread = std::make_unique<CBackgroundThread>(
        [&] {
            while (thread->Wait() == CBackgroundThread::kWaitWork)
                Sleep(1);
            stopSeen = true;
            WaitForSingleObject(release, 60000);
            ended = true;
            return 0u;
        },
        60000);
    std::thread releaser([&] {
        while (!stopSeen)
            Sleep(1);
        SetEvent(release);
    });
    ASSERT_TRUE(thread->Start());
    thread->Stop();
    releaser.join();
    CloseHandle(release);
    EXPECT_TRUE(ended) << "the job was ended before its time-out";
    EXPECT_FALSE(thread->IsRunning());
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
    thread.Stop();
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
