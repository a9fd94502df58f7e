#include "core/library/Z4KTime.h"

#include <windows.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr int64_t kUnitsPerSecond = 10000000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DayOfYear(int year, int month, int day)
{
    static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    return before[month - 1] + day + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

// strftime of the runtime rejects conversions it does not know, which may end the process
// through its invalid-parameter handler; such a "%" is doubled so that it is written as text.
std::string SafeStrftimePattern(const std::string& pattern)
{
    static const char known[] = "aAbBcdHIjmMpSUwWxXyYzZ%";
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        size_t next = i + 1;
        if (next < pattern.size() && pattern[next] == '#')
            ++next;
        if (next < pattern.size() && pattern[next] != '\0' && std::strchr(known, pattern[next])) {
            out.append(pattern, i, next - i + 1);
            i = next;
        } else {
            out += "%%";
        }
    }
    return out;
}

} // namespace

CZ4KTime CZ4KTime::GetCurrentTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return CZ4KTime(static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime));
}

// The conversion to local time uses the time-zone rule of the value's own date, so a summer
// time is shown in summer time even when formatted in winter (a fixed standard-time bias would
// show every summer time one hour off).
bool CZ4KTime::GetLocalParts(CZ4KTimeParts& parts) const
{
    if (m_value < 0)
        return false;
    FILETIME utcFile;
    utcFile.dwLowDateTime = static_cast<DWORD>(m_value & 0xFFFFFFFF);
    utcFile.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(m_value) >> 32);
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&utcFile, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return false;
    const int64_t subSecond = m_value % kUnitsPerSecond;
    parts.year = local.wYear;
    parts.month = local.wMonth;
    parts.day = local.wDay;
    parts.hour = local.wHour;
    parts.minute = local.wMinute;
    parts.second = local.wSecond;
    parts.millisecond = static_cast<int>(subSecond / 10000);
    parts.microsecond = static_cast<int>(subSecond / 10 % 1000);
    parts.nanosecond = static_cast<int>(subSecond % 10 * 100);
    parts.dayOfYear = DayOfYear(local.wYear, local.wMonth, local.wDay);
    parts.dayOfWeek = local.wDayOfWeek;
    return true;
}

int CZ4KTime::GetMillisecond() const
{
    CZ4KTimeParts parts;
    return GetLocalParts(parts) ? parts.millisecond : -1;
}

TStdStr<char> CZ4KTime::Format(const char* pattern) const
{
    CZ4KTimeParts parts;
    if (!GetLocalParts(parts))
        return "Invalid datetime";
    TStdStr<char> text = pattern ? pattern : "";
    text.Replace("%s", FormatString("%03d", parts.millisecond).c_str());
    text.Replace("%#s", FormatString("%d", parts.millisecond).c_str());
    text.Replace("%u", FormatString("%03d", parts.microsecond).c_str());
    text.Replace("%#u", FormatString("%d", parts.microsecond).c_str());
    text.Replace("%n", FormatString("%03d", parts.nanosecond).c_str());
    text.Replace("%#n", FormatString("%d", parts.nanosecond).c_str());
    if (text.empty())
        return text;

    std::tm tm = {};
    tm.tm_year = parts.year - 1900;
    tm.tm_mon = parts.month - 1;
    tm.tm_mday = parts.day;
    tm.tm_hour = parts.hour;
    tm.tm_min = parts.minute;
    tm.tm_sec = parts.second;
    tm.tm_wday = parts.dayOfWeek;
    tm.tm_yday = parts.dayOfYear - 1;
    tm.tm_isdst = 0;
    const std::string safe = SafeStrftimePattern(text);
    // 256 characters are enough for any usual pattern; a longer result gets a larger buffer.
    for (size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        const size_t length = std::strftime(buffer.data(), size, safe.c_str(), &tm);
        if (length > 0)
            return TStdStr<char>(buffer.data(), length);
    }
    return TStdStr<char>();
}

TStdStr<char> GetTimestampText() { return CZ4KTime::GetCurrentTime().Format("%m/%d/%Y %H:%M:%S.%s"); }
