#include "core/library/Utf8.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char* EncodeCodePoint(uint32_t cp, char* out)
{
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

wchar_t* StoreCodePoint(uint32_t cp, wchar_t* out)
{
    if (cp < 0x10000) {
        *out++ = static_cast<wchar_t>(cp);
    } else {
        cp -= 0x10000;
        *out++ = static_cast<wchar_t>(0xD800 | (cp >> 10));
        *out++ = static_cast<wchar_t>(0xDC00 | (cp & 0x3FF));
    }
    return out;
}

} // namespace

size_t Utf16ToUtf8(const wchar_t* text, char* buffer)
{
    char* out = buffer;
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        uint32_t unit = static_cast<uint16_t>(*p);
        if (IsHighSurrogate(unit) && IsLowSurrogate(static_cast<uint16_t>(p[1]))) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<uint16_t>(p[1]) - 0xDC00);
            ++p;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            unit = kReplacement;
        }
        out = EncodeCodePoint(unit, out);
    }
    *out = 0;
    return static_cast<size_t>(out - buffer);
}

size_t Utf16ToUtf8(const char* text, char* buffer)
{
    const int length = text ? static_cast<int>(std::strlen(text)) : 0;
    // An ANSI byte or double-byte pair never widens to more than one unit.
    std::vector<wchar_t> wide(length + 1, 0);
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length);
    return Utf16ToUtf8(wide.data(), buffer);
}

// Well-formed sequences as the Unicode standard lists them: the lead byte fixes the length and
// the range of the second byte (which rules out overlong forms, surrogates and values above
// U+10FFFF); every further byte is 80..BF. A sequence that breaks off is replaced as a whole by
// one U+FFFD and decoding resumes at the byte that broke it, so a zero byte always ends the text.
size_t Utf8ToUtf16(const char* text, wchar_t* buffer)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    wchar_t* out = buffer;
    while (*p) {
        const unsigned lead = *p;
        if (lead < 0x80) {
            *out++ = static_cast<wchar_t>(lead);
            ++p;
            continue;
        }
        int length = 0;
        unsigned secondLow = 0x80, secondHigh = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                secondLow = 0xA0;
            else if (lead == 0xED)
                secondHigh = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                secondLow = 0x90;
            else if (lead == 0xF4)
                secondHigh = 0x8F;
        }
        if (length == 0) {
            *out++ = kReplacement;
            ++p;
            continue;
        }
        uint32_t cp = lead & (0x7F >> length);
        int used = 1;
        for (; used < length; ++used) {
            // p[used] is only read when p[used - 1] was a non-zero byte of this sequence.
            const unsigned unit = p[used];
            const unsigned low = used == 1 ? secondLow : 0x80;
            const unsigned high = used == 1 ? secondHigh : 0xBF;
            if (unit < low || unit > high)
                break;
            cp = (cp << 6) | (unit & 0x3F);
        }
        p += used;
        out = used == length ? StoreCodePoint(cp, out) : (*out = kReplacement, out + 1);
    }
    *out = 0;
    return static_cast<size_t>(out - buffer);
}
