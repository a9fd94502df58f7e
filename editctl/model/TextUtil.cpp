#include "editctl/model/TextUtil.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>

namespace quill {

namespace {

static_assert(std::endian::native == std::endian::little, "the first match is the lowest byte of a word");

constexpr uint64_t kEveryByte = 0x0101010101010101ull;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;

uint64_t Load(const char* at)
{
    uint64_t word = 0;
    std::memcpy(&word, at, sizeof(word));
    return word;
}

// The top bit of every byte of word that equals the byte repeated in pattern, and no other bit:
// a byte is zero after the XOR exactly when neither its low seven bits carry nor its top bit is set.
uint64_t Matches(uint64_t word, uint64_t pattern)
{
    const uint64_t x = word ^ pattern;
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}

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

bool ForEachLfLine(const char* text, size_t length, const std::function<void(const char*, size_t, bool)>& line)
{
    const uint64_t lf = kEveryByte * static_cast<unsigned char>('\n');
    const uint64_t cr = kEveryByte * static_cast<unsigned char>('\r');
    const uint64_t tab = kEveryByte * static_cast<unsigned char>('\t');
    size_t i = 0;
    for (; i + 8 <= length; i += 8)
        if (Matches(Load(text + i), cr))
            return false;
    for (size_t j = i; j < length; ++j)
        if (text[j] == '\r')
            return false;
    const char* start = text;
    bool tabs = false;  // a tab seen since start
    for (i = 0; i + 8 <= length; i += 8) {
        const uint64_t word = Load(text + i);
        uint64_t breaks = Matches(word, lf);
        uint64_t tabBits = Matches(word, tab);
        while (breaks) {
            const uint64_t first = breaks & (~breaks + 1);  // the lowest break's bit
            const char* at = text + i + (std::countr_zero(breaks) >> 3);
            line(start, static_cast<size_t>(at - start), tabs || (tabBits & (first - 1)) != 0);
            start = at + 1;
            tabs = false;
            tabBits &= ~((first << 1) - 1);  // the tabs of the next line only
            breaks &= breaks - 1;
        }
        tabs = tabs || tabBits != 0;
    }
    for (; i < length; ++i) {
        if (text[i] == '\n') {
            line(start, static_cast<size_t>(text + i - start), tabs);
            start = text + i + 1;
            tabs = false;
        } else if (text[i] == '\t') {
            tabs = true;
        }
    }
    line(start, static_cast<size_t>(text + length - start), tabs);
    return true;
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
