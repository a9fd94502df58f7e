#include "core/system/StartupTrace.h"

#include "platform/AtlBase.h"

#include <cstdio>
#include <string>

namespace {

struct CTraceTarget {
    bool on = false;
    std::string path;
    LONGLONG createdAt = 0;  // the process's creation, in 100 ns units of the system time
};

const CTraceTarget& GetTraceTarget()
{
    static const CTraceTarget target = [] {
        CTraceTarget made;
        char path[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableA(kStartupTraceVariable, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return made;
        made.on = true;
        made.path = path;
        FILETIME creation = {};
        FILETIME unused = {};
        if (::GetProcessTimes(::GetCurrentProcess(), &creation, &unused, &unused, &unused))
            made.createdAt = static_cast<LONGLONG>((static_cast<ULONGLONG>(creation.dwHighDateTime) << 32) |
                                                   creation.dwLowDateTime);
        return made;
    }();
    return target;
}

double MillisecondsSinceCreation(const CTraceTarget& target)
{
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    const auto current =
        static_cast<LONGLONG>((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return static_cast<double>(current - target.createdAt) / 10000.0;
}

void AppendLine(const CTraceTarget& target, const char* text)
{
    const CHandle file(::CreateFileA(target.path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return;
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(std::char_traits<char>::length(text)), &written, nullptr);
}

} // namespace

bool IsStartupTraceOn()
{
    return GetTraceTarget().on;
}

void StartupTraceMark(const char* step)
{
    const CTraceTarget& target = GetTraceTarget();
    if (!target.on)
        return;
    char line[256] = {};
    std::snprintf(line, sizeof(line), "%9.1f %.200s\r\n", MillisecondsSinceCreation(target), step ? step : "");
    AppendLine(target, line);
}

CStartupTraceScope::CStartupTraceScope(const char* step) : m_step(step)
{
    const CTraceTarget& target = GetTraceTarget();
    if (!target.on)
        return;
    m_begin = MillisecondsSinceCreation(target);
    char line[256] = {};
    std::snprintf(line, sizeof(line), "%s begin", m_step);
    StartupTraceMark(line);
}

CStartupTraceScope::~CStartupTraceScope()
{
    const CTraceTarget& target = GetTraceTarget();
    if (!target.on)
        return;
    char line[256] = {};
    std::snprintf(line, sizeof(line), "%s end (%.1f ms)", m_step, MillisecondsSinceCreation(target) - m_begin);
    StartupTraceMark(line);
}
