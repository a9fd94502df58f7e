// Test program of the exception report: guards itself the way the browser's entry function does,
// then fails in the way its argument names.
//   read    reads through a null pointer        write   writes to a wild address
//   throw   lets a C++ exception escape         twice   reports two exceptions in a row
#include "core/app/ExceptionReport.h"
#include "core/app/TestRegistry.h"

#include <cstring>
#include <stdexcept>

namespace {

// The pointer is volatile so that the compiler cannot see the fault coming and drop the access.
int* volatile g_wild = nullptr;

__attribute__((noinline)) int ReadThroughNull()
{
    return *g_wild;
}

__attribute__((noinline)) void WriteToWildAddress()
{
    g_wild = reinterpret_cast<int*>(static_cast<ULONG_PTR>(0x10));
    *g_wild = 1;
}

// Two reports in a row: the second call must leave the file alone and answer 0. The exit code is
// ten times the first verdict plus the second.
int ReportTwice()
{
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = 0xC0000094;
    CONTEXT context = {};
    RtlCaptureContext(&context);
    EXCEPTION_POINTERS pointers = {&record, &context};
    const LONG first = WriteExceptionReport(&pointers, "first");
    record.ExceptionCode = 0xC00000FD;
    const LONG second = WriteExceptionReport(&pointers, "second");
    return static_cast<int>(first * 10 + second);
}

} // namespace

int main(int argc, char** argv)
{
    ApplyTestRegistryRedirect();
    InstallExceptionReportGuard("DivUzodOze - _tWinMain");
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "read") == 0)
        return ReadThroughNull();
    if (std::strcmp(mode, "write") == 0)
        WriteToWildAddress();
    if (std::strcmp(mode, "throw") == 0)
        throw std::runtime_error("escapes main");
    if (std::strcmp(mode, "twice") == 0)
        return ReportTwice();
    return 0;
}
