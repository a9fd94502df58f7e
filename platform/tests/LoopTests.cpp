// The message loop: filters first, idle handlers when the queue runs empty, the module's loops.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/AtlApp.h"

namespace {

const UINT kTestMessage = WM_APP + 10;

struct Recorder
{
    std::vector<std::string> log;
};

class CRecordingFilter : public CMessageFilter
{
public:
    CRecordingFilter(Recorder& recorder, std::string name, WPARAM eat) : m_recorder(recorder), m_name(std::move(name)), m_eat(eat) {}
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != kTestMessage)
            return FALSE;
        m_recorder.log.push_back(m_name + " " + std::to_string(pMsg->wParam));
        return pMsg->wParam == m_eat;
    }
    Recorder& m_recorder;
    std::string m_name;
    WPARAM m_eat;
};

// Counts its runs; on its third run it posts more work, on its fifth it ends the loop.
class CCountingIdle : public CIdleHandler
{
public:
    explicit CCountingIdle(Recorder& recorder) : m_recorder(recorder) {}
    BOOL OnIdle() override
    {
        ++m_runs;
        m_recorder.log.push_back("idle");
        if (m_runs < 3)
            ::PostThreadMessageA(::GetCurrentThreadId(), kTestMessage, 100 + m_runs, 0);
        else
            ::PostQuitMessage(7);
        return FALSE;
    }
    Recorder& m_recorder;
    int m_runs = 0;
};

class CSink : public CWindowImpl<CSink, CWindow, CWinTraits<WS_POPUP>>
{
public:
    BEGIN_MSG_MAP(CSink)
        MESSAGE_HANDLER(kTestMessage, OnTest)
    END_MSG_MAP()
    LRESULT OnTest(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        m_recorder->log.push_back("window " + std::to_string(wParam));
        return 0;
    }
    Recorder* m_recorder = nullptr;
};

TEST(PlatformLoop, FiltersSeeMessagesFirstAndIdleHandlersRunWhenTheQueueEmpties)
{
    Recorder recorder;
    CSink sink;
    sink.m_recorder = &recorder;
    ASSERT_TRUE(sink.Create(nullptr, CRect(0, 0, 10, 10)));
    CRecordingFilter early(recorder, "early", 2), late(recorder, "late", 1);
    CCountingIdle idle(recorder);
    CMessageLoop loop;
    EXPECT_TRUE(loop.AddMessageFilter(&early));
    EXPECT_TRUE(loop.AddMessageFilter(&late));
    EXPECT_FALSE(loop.AddMessageFilter(&late)); // once only
    EXPECT_TRUE(loop.AddIdleHandler(&idle));

    CAppModule module;
    EXPECT_TRUE(module.AddMessageLoop(&loop));
    EXPECT_FALSE(module.AddMessageLoop(&loop));
    EXPECT_EQ(&loop, module.GetMessageLoop());

    MSG drain;
    while (::PeekMessageA(&drain, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&drain);
    sink.PostMessage(kTestMessage, 1);
    sink.PostMessage(kTestMessage, 2);
    sink.PostMessage(kTestMessage, 3);
    EXPECT_EQ(7, loop.Run());

    // The filter added last sees each message first; an eaten message reaches nobody else. The
    // idle handler runs only after the queue has emptied, once per emptying.
    const std::vector<std::string> expected = {"late 1",   "late 2",   "early 2",  "late 3",  "early 3",
                                               "window 3", "idle",     "late 101", "early 101", "idle",
                                               "late 102", "early 102", "idle"};
    EXPECT_EQ(expected, recorder.log);
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(nullptr, module.GetMessageLoop());
    sink.DestroyWindow();
}

} // namespace
