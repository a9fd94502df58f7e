// KIVO_CHECK and the reports of caught exceptions.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/AtlBase.h"
#include "platform/tests/RecordingReporter.h"

namespace {

// One site for every call, so that "once per site" can be seen.
bool CheckedAtOneSite(int value, int& evaluations)
{
    return KIVO_CHECK((++evaluations, value > 0));
}

TEST(PlatformDiagnostics, CheckGivesTheValueAndReportsEachSiteOnce)
{
    CRecordingReporter reporter;
    int evaluations = 0;
    EXPECT_TRUE(CheckedAtOneSite(1, evaluations));
    EXPECT_TRUE(reporter.Texts().empty());
    EXPECT_FALSE(CheckedAtOneSite(0, evaluations));
    EXPECT_FALSE(CheckedAtOneSite(-1, evaluations));
    EXPECT_EQ(3, evaluations); // evaluated in every build, once per call

    const std::vector<std::string> texts = reporter.Texts();
    ASSERT_EQ(1u, texts.size());
    const std::string expectedStart = std::string(__FILE__) + "(";
    EXPECT_EQ(0u, texts[0].find(expectedStart)) << texts[0];
    EXPECT_NE(std::string::npos, texts[0].find("++evaluations, value > 0")) << texts[0];

    // Another site reports on its own; ATLASSERT is the same check.
    EXPECT_FALSE(KIVO_CHECK(evaluations < 0));
    ATLASSERT(evaluations == 0);
    ASSERT_EQ(3u, reporter.Texts().size());
    EXPECT_NE(std::string::npos, reporter.Texts()[2].find("evaluations == 0"));
}

TEST(PlatformDiagnostics, ScopedReporterPutsThePreviousOneBack)
{
    CRecordingReporter outer;
    {
        CRecordingReporter inner;
        ReportFailure("inner");
        EXPECT_EQ(std::vector<std::string>{"inner"}, inner.Texts());
    }
    ReportFailure("outer");
    EXPECT_EQ(std::vector<std::string>{"outer"}, outer.Texts());
}

// A reporter that fails in turn: its failure must neither recurse nor escape.
class CThrowingReporter : public IFailureReporter
{
public:
    void Report(const char*) override
    {
        ++m_calls;
        KIVO_CHECK(m_calls == 0);
        throw std::runtime_error("reporter failed");
    }
    int m_calls = 0;
};

TEST(PlatformDiagnostics, FailingReporterStaysQuiet)
{
    CThrowingReporter reporter;
    CScopedFailureReporter scope(reporter);
    ReportFailure("first");
    ReportFailure("second");
    EXPECT_EQ(2, reporter.m_calls);
}

TEST(PlatformDiagnostics, CaughtExceptionsAreToldApartAndMapped)
{
    struct Case
    {
        void (*raise)();
        const char* expectedText;
        HRESULT expectedHresult;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("disk on fire"); }, "sink: exception caught: disk on fire", E_UNEXPECTED},
        {[] { throw std::bad_alloc(); }, "sink: exception caught: std::bad_alloc", E_OUTOFMEMORY},
        {[] { throw 42; }, "sink: exception of unknown type caught", E_UNEXPECTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedText);
        CRecordingReporter reporter;
        HRESULT hr = S_OK;
        try {
            c.raise();
        } catch (...) {
            ReportCaughtException("sink");
            hr = ReportCaughtExceptionAsHresult("sink");
        }
        EXPECT_EQ(c.expectedHresult, hr);
        EXPECT_EQ((std::vector<std::string>{c.expectedText, c.expectedText}), reporter.Texts());
    }
    CRecordingReporter reporter;
    ReportCaughtException("nowhere");
    EXPECT_EQ(std::vector<std::string>{"nowhere: ReportCaughtException called outside a catch block"}, reporter.Texts());
}

} // namespace
