#pragma once
// Small byte-text helpers shared by the configuration loader, the key map and the parser. The text
// is 8-bit ANSI; case folding is ASCII only, as the configuration format is.
#include <cstddef>
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
bool ForEachLfLine(const char* text, size_t length, const std::function<void(const char*, size_t, bool)>& line);

// The first occurrence of needle in hay at or after from, or npos.
size_t FindText(std::string_view hay, std::string_view needle, size_t from, bool caseSensitive);

} // namespace quill
