// The failure reports: debugger output, the installed reporter, and the per-site "once" of KIVO_CHECK.
#include "platform/Diagnostics.h"

#include <cstdio>
#include <exception>
#include <new>

namespace {

class CSilentReporter final : public IFailureReporter
{
public:
    void Report(const char*) override {}
};

CSilentReporter g_silentReporter;
std::atomic<IFailureReporter*> g_reporter{nullptr};

// Reports come from any thread and the reporter is called with one at a time. Made on first use and
// never deleted, so that a report from a static destructor at exit still finds it.
CRITICAL_SECTION& ReportLock() noexcept
{
    static CRITICAL_SECTION* const lock = [] {
        auto* section = new CRITICAL_SECTION;
        ::InitializeCriticalSection(section);
        return section;
    }();
    return *lock;
}

// A reporter that fails in turn (its own KIVO_CHECK, a caught exception) reaches only the debugger.
thread_local bool t_reporting = false;

// The text of what the enclosing catch block handles; true when it is std::bad_alloc.
bool DescribeCaughtException(const char* where, char* text, size_t size) noexcept
{
    if (!where)
        where = "?";
    const std::exception_ptr current = std::current_exception();
    if (!current) {
        std::snprintf(text, size, "%s: ReportCaughtException called outside a catch block", where);
        return false;
    }
    try {
        std::rethrow_exception(current);
    } catch (const std::bad_alloc& error) {
        std::snprintf(text, size, "%s: exception caught: %s", where, error.what());
        return true;
    } catch (const std::exception& error) {
        std::snprintf(text, size, "%s: exception caught: %s", where, error.what());
    } catch (...) {
        std::snprintf(text, size, "%s: exception of unknown type caught", where);
    }
    return false;
}

} // namespace

IFailureReporter& CurrentFailureReporter() noexcept
{
    IFailureReporter* const reporter = g_reporter.load();
    return reporter ? *reporter : g_silentReporter;
}

IFailureReporter* InstallFailureReporter(IFailureReporter* reporter) noexcept
{
    ::EnterCriticalSection(&ReportLock());
    IFailureReporter* const previous = g_reporter.exchange(reporter);
    ::LeaveCriticalSection(&ReportLock());
    return previous;
}

void ReportFailure(const char* text) noexcept
{
    if (!text)
        text = "";
    ::OutputDebugStringA(text);
    ::OutputDebugStringA("\n");
    if (t_reporting)
        return;
    t_reporting = true;
    ::EnterCriticalSection(&ReportLock());
    try {
        CurrentFailureReporter().Report(text);
    } catch (...) {
        // The reporter itself failed: the debugger copy above is all that is left.
        ::OutputDebugStringA("failure reporter threw\n");
    }
    ::LeaveCriticalSection(&ReportLock());
    t_reporting = false;
}

void ReportCaughtException(const char* where) noexcept
{
    char text[512];
    DescribeCaughtException(where, text, sizeof(text));
    ReportFailure(text);
}

HRESULT ReportCaughtExceptionAsHresult(const char* where) noexcept
{
    char text[512];
    const bool outOfMemory = DescribeCaughtException(where, text, sizeof(text));
    ReportFailure(text);
    return outOfMemory ? E_OUTOFMEMORY : E_UNEXPECTED;
}

bool KivoCheckFailed(const char* file, int line, const char* condition, std::atomic_flag& reported) noexcept
{
    if (!reported.test_and_set()) {
        char text[512];
        std::snprintf(text, sizeof(text), "%s(%d): check failed: %s", file ? file : "?", line,
                      condition ? condition : "?");
        ReportFailure(text);
    }
    return false;
}
