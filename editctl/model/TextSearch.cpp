#include "editctl/model/TextSearch.h"

#include <algorithm>

#include "editctl/model/TextUtil.h"

namespace quill {

namespace {

inline unsigned char Folded(char c) { return static_cast<unsigned char>(FoldCase(c)); }

inline bool Same(char a, char b, bool matchCase) { return matchCase ? a == b : FoldCase(a) == FoldCase(b); }

bool IsWordEdge(std::string_view line, int at, const IsDelimiterFn& isDelimiter)
{
    if (at < 0 || at >= static_cast<int>(line.size()))
        return true;
    const char c = line[static_cast<size_t>(at)];
    return c == ' ' || c == '\t' || (isDelimiter && isDelimiter(c));
}

} // namespace

void SearchPattern::Set(std::string_view pattern)
{
    m_pattern.assign(pattern);
    const int n = static_cast<int>(m_pattern.size());
    m_forward.fill(n);
    m_backward.fill(n);
    for (int i = 0; i + 1 < n; ++i)
        m_forward[Folded(m_pattern[static_cast<size_t>(i)])] = n - 1 - i;
    for (int i = n - 1; i >= 1; --i)
        m_backward[Folded(m_pattern[static_cast<size_t>(i)])] = i;
}

bool SearchPattern::MatchesAt(std::string_view line, int column, bool matchCase) const
{
    const size_t n = m_pattern.size();
    if (n == 0 || column < 0 || static_cast<size_t>(column) + n > line.size())
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!Same(line[static_cast<size_t>(column) + i], m_pattern[i], matchCase))
            return false;
    return true;
}

int SearchPattern::FindForward(std::string_view line, int from, bool matchCase) const
{
    const int n = static_cast<int>(m_pattern.size()), length = static_cast<int>(line.size());
    if (n == 0)
        return -1;
    const char last = m_pattern[static_cast<size_t>(n - 1)];
    for (int s = std::max(0, from); s + n <= length;) {
        const char under = line[static_cast<size_t>(s + n - 1)];
        if (Same(under, last, matchCase) && MatchesAt(line, s, matchCase))
            return s;
        s += m_forward[Folded(under)];
    }
    return -1;
}

int SearchPattern::FindBackward(std::string_view line, int from, bool matchCase) const
{
    const int n = static_cast<int>(m_pattern.size()), length = static_cast<int>(line.size());
    if (n == 0)
        return -1;
    const char first = m_pattern[0];
    for (int s = std::min(from, length - n); s >= 0;) {
        const char under = line[static_cast<size_t>(s)];
        if (Same(under, first, matchCase) && MatchesAt(line, s, matchCase))
            return s;
        s -= m_backward[Folded(under)];
    }
    return -1;
}

SearchHit SearchText(const TextStore& text, const SearchPattern& pattern, TextPos from, bool forward,
                     bool matchCase, bool wholeWords, const IsDelimiterFn& isDelimiter)
{
    SearchHit hit;
    const int n = static_cast<int>(pattern.Text().size());
    if (n == 0 || from.line < 0 || from.line >= text.LineCount())
        return hit;
    auto accept = [&](std::string_view line, int at) {
        return !wholeWords || (IsWordEdge(line, at - 1, isDelimiter) && IsWordEdge(line, at + n, isDelimiter));
    };
    if (forward) {
        int column = std::max(0, from.column);
        for (int line = from.line; line < text.LineCount(); ++line, column = 0) {
            const std::string_view t = text.LineText(line);
            for (int at = pattern.FindForward(t, column, matchCase); at >= 0;
                 at = pattern.FindForward(t, at + 1, matchCase)) {
                if (accept(t, at))
                    return {true, {at, line}, {at + n, line}};
            }
        }
        return hit;
    }
    int line = from.line, column = from.column - 1;
    if (column < 0) {
        if (--line < 0)
            return hit;
        column = text.Line(line).length;
    }
    for (; line >= 0; --line, column = line >= 0 ? text.Line(line).length : 0) {
        const std::string_view t = text.LineText(line);
        for (int at = pattern.FindBackward(t, column, matchCase); at >= 0;
             at = pattern.FindBackward(t, at - 1, matchCase)) {
            if (accept(t, at))
                return {true, {at, line}, {at + n, line}};
        }
    }
    return hit;
}

void AddToHistory(std::vector<std::string>& list, const std::string& text, int limit)
{
    if (text.empty())
        return;
    const auto same = std::find(list.begin(), list.end(), text);
    if (same != list.end())
        list.erase(same);
    list.insert(list.begin(), text);
    if (limit > 0 && static_cast<int>(list.size()) > limit)
        list.resize(static_cast<size_t>(limit));
}

long long CountCharacters(const TextStore& text, int fileMode)
{
    long long count = text.TotalLength();
    count += static_cast<long long>(text.LineCount() - 1) * (fileMode == 0 ? 2 : 1);
    return count;
}

} // namespace quill
