#include "editctl/model/TextUtil.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>

namespace quill {

namespace {

static_assert(std::endian::native == std::endian::little, "the first match is the lowest byte of a word");

using detail::kEveryByte;
using detail::Load;
using detail::Matches;

} // namespace

const char* FindByte(const char* text, size_t length, char c)
{
    const uint64_t pattern = kEveryByte * static_cast<unsigned char>(c);
    size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        const uint64_t a = Matches(Load(text + i), pattern);
        const uint64_t b = Matches(Load(text + i + 8), pattern);
        if (a | b)
            return a ? text + i + (std::countr_zero(a) >> 3) : text + i + 8 + (std::countr_zero(b) >> 3);
    }
    for (; i < length; ++i)
        if (text[i] == c)
            return text + i;
    return nullptr;
}

size_t CountLfUnlessCr(const char* text, size_t length)
{
    const uint64_t lf = kEveryByte * static_cast<unsigned char>('\n');
    const uint64_t cr = kEveryByte * static_cast<unsigned char>('\r');
    size_t count = 0, i = 0;
    for (; i + 8 <= length; i += 8) {
        const uint64_t word = Load(text + i);
        if (Matches(word, cr))
            return kHasCr;
        count += static_cast<size_t>(((Matches(word, lf) >> 7) * kEveryByte) >> 56);
    }
    for (; i < length; ++i) {
        if (text[i] == '\r')
            return kHasCr;
        count += text[i] == '\n' ? 1 : 0;
    }
    return count;
}

size_t CountByte(const char* text, size_t length, char c)
{
    const uint64_t pattern = kEveryByte * static_cast<unsigned char>(c);
    size_t count = 0, i = 0;
    // Each match is one top bit: moved down to the bottom of its byte, the multiplication adds
    // the eight bytes up in the top byte (without a population-count instruction to rely on).
    for (; i + 8 <= length; i += 8)
        count += static_cast<size_t>(((Matches(Load(text + i), pattern) >> 7) * kEveryByte) >> 56);
    for (; i < length; ++i)
        count += text[i] == c ? 1 : 0;
    return count;
}

size_t FindText(std::string_view hay, std::string_view needle, size_t from, bool caseSensitive)
{
    if (needle.empty() || from > hay.size() || hay.size() - from < needle.size())
        return std::string_view::npos;
    const size_t last = hay.size() - needle.size();
    const char* base = hay.data();
    if (caseSensitive) {
        // The first byte is looked for, then the rest compared.
        for (const char* p = FindByte(base + from, last - from + 1, needle[0]); p;
             p = FindByte(p + 1, last - static_cast<size_t>(p - base), needle[0])) {
            if (std::memcmp(p + 1, needle.data() + 1, needle.size() - 1) == 0)
                return static_cast<size_t>(p - base);
        }
        return std::string_view::npos;
    }
    // Case-blind: look for either case of the first byte, then compare the rest.
    const char first = FoldCase(needle[0]);
    const char other = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
    // The next place of each case of the first byte; each is searched again only once passed, so
    // a frequent byte of one case does not make the other case's search start over every time.
    auto next = [&](char c, size_t at) -> const char* {
        return at > last ? nullptr : FindByte(base + at, last - at + 1, c);
    };
    const char* p1 = next(first, from);
    const char* p2 = other == first ? nullptr : next(other, from);
    while (p1 || p2) {
        const char* p = (p1 && p2) ? (p1 < p2 ? p1 : p2) : (p1 ? p1 : p2);
        if (EqualBytes(p + 1, needle.data() + 1, needle.size() - 1, false))
            return static_cast<size_t>(p - base);
        const size_t after = static_cast<size_t>(p - base) + 1;
        if (p == p1)
            p1 = next(first, after);
        else
            p2 = next(other, after);
    }
    return std::string_view::npos;
}

} // namespace quill
