#pragma once
// Small byte-text helpers shared by the configuration loader, the key map and the parser. The text
// is 8-bit ANSI; case folding is ASCII only, as the configuration format is.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>

namespace quill {

// Space, tab, CR, LF, vertical tab and form feed: the white space of configuration lines.
inline bool IsConfigSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string_view TrimLeft(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsConfigSpace(text[i]))
        ++i;
    return text.substr(i);
}

inline std::string_view TrimRight(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && IsConfigSpace(text[n - 1]))
        --n;
    return text.substr(0, n);
}

inline bool EqualBytes(const char* a, const char* b, size_t n, bool caseSensitive)
{
    for (size_t i = 0; i < n; ++i) {
        if (caseSensitive ? a[i] != b[i] : FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualBytes(text.data(), prefix.data(), prefix.size(), false);
}

// The first byte c in [text, text + length), or null; how many bytes c there are. Both look at
// eight bytes at a time (the C library's memchr of the system goes byte by byte under Wine).
const char* FindByte(const char* text, size_t length, char c);
size_t CountByte(const char* text, size_t length, char c);
// Text without CR: calls line(start, length, has a tab) for every line between LF breaks (the
// last one after the last LF), in one pass. Text with a CR is left to the caller: false.
// How many LF there are in text, or kHasCr when it holds a CR: one pass to learn both whether
// ForEachLfLine may split it and how many lines it gives.
constexpr size_t kHasCr = static_cast<size_t>(-1);
size_t CountLfUnlessCr(const char* text, size_t length);
// Text without CR (as CountLfUnlessCr found it): calls line(start, length, has a tab) for every
// line between LF breaks (the last one after the last LF), in one pass.
template <typename Fn>
void ForEachLfLine(const char* text, size_t length, Fn&& line);

namespace detail {

constexpr uint64_t kEveryByte = 0x0101010101010101ull;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;

inline uint64_t Load(const char* at)
{
    uint64_t word = 0;
    std::memcpy(&word, at, sizeof(word));
    return word;
}

// The top bit of every byte of word that equals the byte repeated in pattern, and no other bit:
// a byte is zero after the XOR exactly when neither its low seven bits carry nor its top bit is set.
inline uint64_t Matches(uint64_t word, uint64_t pattern)
{
    const uint64_t x = word ^ pattern;
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}

} // namespace detail

template <typename Fn>
void ForEachLfLine(const char* text, size_t length, Fn&& line)
{
    using detail::Load;
    using detail::Matches;
    const uint64_t lf = detail::kEveryByte * static_cast<unsigned char>('\n');
    const uint64_t tab = detail::kEveryByte * static_cast<unsigned char>('\t');
    const char* start = text;
    bool tabs = false;  // a tab seen since start
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
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
}

// The first occurrence of needle in hay at or after from, or npos.
size_t FindText(std::string_view hay, std::string_view needle, size_t from, bool caseSensitive);

} // namespace quill
