#pragma once
// CZ4KTime: the library's date-time value, a count of 100-nanosecond units since 1601-01-01
// 00:00 UTC (the file-time scale), with a Format that adds milli-, micro- and nanosecond tokens
// to the strftime patterns.
#include "core/library/StdStr.h"

#include <cstdint>

struct CZ4KTimeParts {
    int year = 0;
    int month = 0;       // 1-12
    int day = 0;         // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0; // 0-999
    int microsecond = 0; // 0-999
    int nanosecond = 0;  // 0-900 in steps of 100
    int dayOfYear = 0;   // 1-366
    int dayOfWeek = 0;   // 0 = Sunday
};

class CZ4KTime {
public:
    explicit CZ4KTime(int64_t value = 0) : m_value(value) {}
    static CZ4KTime GetCurrentTime();

    int64_t GetValue() const { return m_value; }
    // The value in local time, with the daylight-saving rule in force at that date; false for
    // values the system cannot convert (negative ones, years past 30827).
    bool GetLocalParts(CZ4KTimeParts& parts) const;
    // The millisecond of the value; -1 when it does not convert.
    int GetMillisecond() const;

    // The local time formatted with strftime after these tokens are replaced: "%s" milliseconds
    // as three digits, "%#s" without padding, "%u" and "%#u" microseconds, "%n" and "%#n"
    // nanoseconds. "Invalid datetime" when the value does not convert. Unknown conversions are
    // written as they stand.
    TStdStr<char> Format(const char* pattern) const;
    static TStdStr<char> Format(int64_t value, const char* pattern) { return CZ4KTime(value).Format(pattern); }

private:
    int64_t m_value;
};

// The current time as "%m/%d/%Y %H:%M:%S.%s".
TStdStr<char> GetTimestampText();
