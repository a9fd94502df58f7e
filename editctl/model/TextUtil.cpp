#include "editctl/model/TextUtil.h"

#include <cstring>

namespace quill {

size_t FindText(std::string_view hay, std::string_view needle, size_t from, bool caseSensitive)
{
    if (needle.empty() || from > hay.size() || hay.size() - from < needle.size())
        return std::string_view::npos;
    if (caseSensitive)
        return hay.find(needle, from);
    // Case-blind: look for either case of the first byte with memchr, then compare the rest.
    const char first = FoldCase(needle[0]);
    const char other = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
    const size_t last = hay.size() - needle.size();
    const char* base = hay.data();
    // The next place of each case of the first byte; each is searched again only once passed, so
    // a frequent byte of one case does not make the other case's search start over every time.
    auto next = [&](char c, size_t at) -> const char* {
        return at > last ? nullptr : static_cast<const char*>(std::memchr(base + at, c, last - at + 1));
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
