#pragma once
// Searching an edit window's text: a pattern with skip tables for forward and backward search
// within one line, whole-word filtering, and the most-recently-used history lists of the Find and
// Replace dialogs. No window code here.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editctl/model/TextStore.h"

namespace quill {

class SearchPattern {
public:
    void Set(std::string_view pattern);
    const std::string& Text() const { return m_pattern; }
    bool Empty() const { return m_pattern.empty(); }

    // The first occurrence at or after from (forward), or the last one that starts at or before
    // from (backward), within one line; -1 when there is none. Bytes compare as unsigned.
    int FindForward(std::string_view line, int from, bool matchCase) const;
    int FindBackward(std::string_view line, int from, bool matchCase) const;
    // Whether text at column equals the pattern under the case setting.
    bool MatchesAt(std::string_view line, int column, bool matchCase) const;

private:
    std::string m_pattern;
    std::array<int, 256> m_forward{};
    std::array<int, 256> m_backward{};
};

// A delimiter test for whole-word matches (the configuration's Delimiters=).
using IsDelimiterFn = std::function<bool(char)>;

struct SearchHit {
    bool found = false;
    TextPos start, end;
};

// Searches the text from a position: forward from `from`, or backward from the character before it,
// line by line; with whole words only, a match must stand between blanks, delimiters or line ends.
SearchHit SearchText(const TextStore& text, const SearchPattern& pattern, TextPos from, bool forward,
                     bool matchCase, bool wholeWords, const IsDelimiterFn& isDelimiter);

// A most-recently-used list: an existing equal text moves to the front; otherwise the text goes in
// at the front and the oldest entry falls out beyond the limit.
void AddToHistory(std::vector<std::string>& list, const std::string& text, int limit);

// The characters of a text as the Properties dialog counts them: the line lengths and, between
// lines, 2 per break in mode 0 (MS DOS) and 1 in modes 1 and 2.
long long CountCharacters(const TextStore& text, int fileMode);

} // namespace quill
