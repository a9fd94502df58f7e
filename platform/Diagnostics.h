#pragma once
// Failure reports: the one way a "cannot happen" case (KIVO_CHECK) and an exception caught at a
// boundary (ReportCaughtException) are told. Every report goes to the debugger output and to the
// process's failure reporter, which the program installs (the core's log writes it as an error).
// Reports may come from any thread; the reporter is called with one report at a time.
#include <atomic>

#include <windows.h>

// Where reports go besides the debugger output. The installer keeps it alive while installed.
class IFailureReporter
{
public:
    virtual void Report(const char* text) = 0;

protected:
    ~IFailureReporter() = default;
};

// The reporter in force: the one installed, or one that drops the text (the debugger copy is
// written regardless).
IFailureReporter& CurrentFailureReporter() noexcept;
// The program's reporter (null: none). Returns the one it replaces.
IFailureReporter* InstallFailureReporter(IFailureReporter* reporter) noexcept;

// Replaces the reporter for the object's scope and puts the previous one back.
class CScopedFailureReporter
{
public:
    explicit CScopedFailureReporter(IFailureReporter& reporter) noexcept
        : m_previous(InstallFailureReporter(&reporter))
    {
    }
    ~CScopedFailureReporter() { InstallFailureReporter(m_previous); }
    CScopedFailureReporter(const CScopedFailureReporter&) = delete;
    CScopedFailureReporter& operator=(const CScopedFailureReporter&) = delete;

private:
    IFailureReporter* m_previous; // not owned
};

// Sends one line to the debugger output and the reporter.
void ReportFailure(const char* text) noexcept;

// Call inside a catch block: reports what is being handled there (a std::exception's what(), or
// that it is of an unknown type), naming the boundary `where`.
void ReportCaughtException(const char* where) noexcept;
// The same for a COM method: reports, then gives E_OUTOFMEMORY for std::bad_alloc, else E_UNEXPECTED.
HRESULT ReportCaughtExceptionAsHresult(const char* where) noexcept;

// The exit code of a thread whose body threw: far from the small results jobs give, and not
// STILL_ACTIVE.
constexpr unsigned kExceptionExitCode = 0xE0000100u;

// KIVO_CHECK's failure path: reports once per site (the site's flag) and gives false.
bool KivoCheckFailed(const char* file, int line, const char* condition, std::atomic_flag& reported) noexcept;

// "Cannot happen": evaluated in every build; a false condition is reported with its file, line
// and text the first time that site sees it, and the value is given back so the caller can take
// a safe path: if (!KIVO_CHECK(index < count)) return;
#define KIVO_CHECK(...)                                                                                   \
    (static_cast<bool>(__VA_ARGS__) ||                                                                    \
     ::KivoCheckFailed(__FILE__, __LINE__, #__VA_ARGS__, []() noexcept -> std::atomic_flag& {             \
         static std::atomic_flag reported;                                                                \
         return reported;                                                                                 \
     }()))
