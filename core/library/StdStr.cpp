#include "core/library/StdStr.h"

#include <mbstring.h>
#include <vector>

namespace {

// The capacities offered to the bounded formatter, smallest first; the last one is the cut.
constexpr int kFormatCapacities[] = {2048, 6144, 12288, 20480, 30720, 43008};

} // namespace

// msvcrt's _vsnprintf returns -1 when the output does not fit, and writes no terminator when it fills
// the buffer exactly; each attempt therefore gets one extra character and is terminated by hand.
template <>
void TStdStr<char>::FormatV(const char* format, va_list args)
{
    if (!format) {
        clear();
        return;
    }
    std::vector<char> buffer;
    int length = -1;
    for (int capacity : kFormatCapacities) {
        buffer.assign(capacity + 1, '\0');
        va_list copy;
        va_copy(copy, args);
        length = _vsnprintf(buffer.data(), capacity, format, copy);
        va_end(copy);
        if (length >= 0 && length <= capacity)
            break;
        length = capacity;
    }
    assign(buffer.data(), length);
}

template <>
TStdStr<char>& TStdStr<char>::MakeLower()
{
    if (!empty())
        _mbslwr(reinterpret_cast<unsigned char*>(data()));
    return *this;
}

template <>
TStdStr<char>& TStdStr<char>::MakeUpper()
{
    if (!empty())
        _mbsupr(reinterpret_cast<unsigned char*>(data()));
    return *this;
}

template <>
void TStdStr<char>::AssignWide(const wchar_t* wide)
{
    clear();
    if (!wide || !*wide)
        return;
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1)
        return;
    resize(needed);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, data(), needed, nullptr, nullptr);
    resize(needed - 1);
}

TStdStr<char> FormatString(const char* format, ...)
{
    TStdStr<char> result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}
