#include "editctl/model/SyntaxParser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "editctl/model/TextStore.h"
#include "editctl/model/TextUtil.h"

namespace quill {

namespace {

// Checkpoints inside a long line lie at least this far apart.
constexpr int kCheckpointSpacing = 4096;

constexpr std::string_view kHyperlinkPrefixes[] = {"www.", "http:", "file:", "mailto:", "ftp:",
                                                   "https:", "gopher:", "nntp:", "telnet:", "news:"};

// The CRC table of polynomial 0x1021, computed most-significant bit first (entry 1 = 0x1021).
const std::array<uint16_t, 256>& CrcTable()
{
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            uint16_t r = static_cast<uint16_t>(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                r = static_cast<uint16_t>((r & 0x8000) ? (r << 1) ^ 0x1021 : r << 1);
            t[i] = r;
        }
        return t;
    }();
    return table;
}

enum class RunKind { kPlain, kDelimiter, kWord, kBlock, kLink, kBracket };

// Writes the colour runs of one line. A run begun where the current one starts replaces it;
// without a span array only the kind is tracked.
class SpanWriter {
public:
    SpanWriter(ColorSpan* spans, int capacity, int length, int skipBefore)
        : m_spans(spans), m_capacity(capacity), m_length(length), m_skipBefore(skipBefore)
    {
    }

    void Begin(int pos, Colour colour, Colour background, RunKind kind, const KeywordEntry* keyword = nullptr,
               uint16_t link = 0)
    {
        m_kind = kind;
        if (!m_spans || pos >= m_length)
            return;
        const ColorSpan span{colour, background, m_length, keyword, link};
        if (m_count > 0 && (CurrentStart() == pos || (m_count == 1 && pos <= m_skipBefore))) {
            m_spans[m_count - 1] = span;  // replaces an empty run, or one that ends before the kept part
            if (m_count == 1 && pos > 0)
                m_firstStart = pos;
        } else if (m_count < m_capacity) {
            if (m_count > 0)
                m_spans[m_count - 1].end = pos;
            m_spans[m_count++] = span;
        }
    }
    RunKind Kind() const { return m_kind; }
    bool Writes() const { return m_spans != nullptr; }
    int SkipBefore() const { return m_skipBefore; }
    int Count() const { return m_count; }

private:
    int CurrentStart() const { return m_count >= 2 ? m_spans[m_count - 2].end : m_firstStart; }

    ColorSpan* m_spans;
    int m_capacity;
    int m_length;
    int m_skipBefore;
    int m_firstStart = 0;
    int m_count = 0;
    RunKind m_kind = RunKind::kPlain;
};

class LineParser {
public:
    LineParser(const ParserConfig& config, const char* text, int length, SpanWriter& out, const BracketMarks* marks)
        : c(config), m_text(text), m_length(length), m_line(text, static_cast<size_t>(length)), w(out), m_marks(marks)
    {
    }

    // Parses from the checkpoint mark resume (0: the line's start, in state); records new
    // checkpoints in record when it is given.
    int Run(int state, uint32_t resume = 0, std::vector<uint32_t>* record = nullptr)
    {
        const Colour textColour = c.colours[kTextRGB];
        int pos = static_cast<int>(resume >> 1);
        if (state < 0 || state >= static_cast<int>(c.blocks.size()) || pos > 0)
            state = -1;
        if (state >= 0)
            w.Begin(pos, c.blocks[state].colour, c.blocks[state].background, RunKind::kBlock);
        else if (resume & 1)
            w.Begin(pos, c.colours[kDelimiterRGB], c.colours[kBkgndDelimiterRGB], RunKind::kDelimiter);
        else
            w.Begin(pos, textColour, kNoColour, RunKind::kPlain);
        FindPresentBlocks(pos);
        int startOfLine = 0;
        while (startOfLine < m_length && IsConfigSpace(m_text[startOfLine]))
            ++startOfLine;

        int lastMark = pos;
        while (pos <= m_length) {
            // A checkpoint stands where no block is open and the run is plain text or delimiters:
            // what follows it is parsed the same from there as from the line's start.
            if (record && state < 0 && pos - lastMark >= kCheckpointSpacing &&
                (w.Kind() == RunKind::kPlain || w.Kind() == RunKind::kDelimiter)) {
                record->push_back(static_cast<uint32_t>(pos) << 1 | (w.Kind() == RunKind::kDelimiter ? 1u : 0u));
                lastMark = pos;
            }
            if (state >= 0) {
                const BlockDef& b = c.blocks[state];
                int endAt = 0;
                if (!FindBlockEnd(b, pos, &endAt)) {
                    MarkLinks(pos, m_length, b);
                    return state;
                }
                MarkLinks(pos, endAt, b);
                pos = endAt + static_cast<int>(b.hasEnd && !b.endOfLine ? b.end.size() : 0);
                w.Begin(pos, textColour, kNoColour, RunKind::kPlain);
                state = -1;
                continue;
            }
            if (pos == m_length)
                break;
            const char ch = m_text[pos];
            if (IsConfigSpace(ch)) {
                if (w.Kind() != RunKind::kPlain)
                    w.Begin(pos, textColour, kNoColour, RunKind::kPlain);
                ++pos;
                continue;
            }
            const int opened = OpenBlockAt(pos, startOfLine);
            if (opened >= 0) {
                const BlockDef& b = c.blocks[opened];
                w.Begin(pos, b.colour, b.background, RunKind::kBlock);
                state = opened;
                pos += static_cast<int>(b.start.size());
                continue;
            }
            if (c.parseHyperlinks && IsHyperlinkStart(m_length - pos, m_text + pos)) {
                const int end = LinkEnd(pos, m_length);
                w.Begin(pos, c.colours[kHyperlinkRGB], c.colours[kBkgndHyperlinkRGB], RunKind::kLink, nullptr, 1);
                pos = end;
                continue;
            }
            if (IsDelimiter(c, ch)) {
                if (m_marks && m_marks->Has(pos))
                    w.Begin(pos, c.colours[kDelimiterRGB], c.colours[kBracketMatchRGB], RunKind::kBracket);
                else if (w.Kind() != RunKind::kDelimiter)
                    w.Begin(pos, c.colours[kDelimiterRGB], c.colours[kBkgndDelimiterRGB], RunKind::kDelimiter);
                ++pos;
                continue;
            }
            pos = Word(pos, startOfLine);
        }
        return state;
    }

private:
    void FindPresentBlocks(int from)
    {
        const size_t n = c.blocks.size();
        if (n > m_presentSmall.size())
            m_presentLarge.assign(n, 0);
        m_present = n > m_presentSmall.size() ? m_presentLarge.data() : m_presentSmall.data();
        for (size_t i = 0; i < n; ++i) {
            const std::string& start = c.blocks[i].start;
            m_present[i] = !start.empty() && start.size() <= m_line.size() &&
                           FindText(m_line, start, static_cast<size_t>(from), c.caseSensitive) != std::string_view::npos;
        }
    }

    int OpenBlockAt(int pos, int startOfLine) const
    {
        if (!c.startsBlock[static_cast<unsigned char>(m_text[pos])])
            return -1;
        for (size_t i = 0; i < c.blocks.size(); ++i) {
            if (!m_present[i])
                continue;
            const BlockDef& b = c.blocks[i];
            if (b.start.size() > static_cast<size_t>(m_length - pos) ||
                !EqualBytes(m_text + pos, b.start.data(), b.start.size(), c.caseSensitive))
                continue;
            if (!b.startOfLine || pos == startOfLine)
                return static_cast<int>(i);
        }
        return -1;
    }

    // Where the open block ends at or after pos (the start of its end text); false: not on this line.
    bool FindBlockEnd(const BlockDef& b, int pos, int* endAt) const
    {
        if (b.hasEnd && !b.endOfLine) {
            size_t q = FindText(m_line, b.end, static_cast<size_t>(pos), c.caseSensitive);
            while (q != std::string_view::npos && !IsBlockEnd(c, b, m_text, static_cast<int>(q), m_length))
                q = FindText(m_line, b.end, q + 1, c.caseSensitive);
            if (q == std::string_view::npos)
                return false;
            *endAt = static_cast<int>(q);
            return true;
        }
        int q = pos;
        while (q < m_length && !IsBlockEnd(c, b, m_text, q, m_length))
            ++q;
        if (q >= m_length && !IsBlockEnd(c, b, m_text, m_length, m_length))
            return false;
        *endAt = std::min(q, m_length);
        return true;
    }

    // A link runs to the next double quote when a double quote stands before it, else to the next
    // white space; never past limit.
    int LinkEnd(int pos, int limit) const
    {
        const bool quoted = pos > 0 && m_text[pos - 1] == '"';
        int end = pos;
        while (end < limit && (quoted ? m_text[end] != '"' : !IsConfigSpace(m_text[end])))
            ++end;
        return end;
    }

    // Hyperlinks inside a block's run [from, to): a prefix at the run's start, after white space
    // or after a double quote; the block's colours resume behind each link.
    void MarkLinks(int from, int to, const BlockDef& b)
    {
        if (!c.parseHyperlinks)
            return;
        for (int p = from; p < to; ++p) {
            const bool allowed = p == from || IsConfigSpace(m_text[p - 1]) || m_text[p - 1] == '"';
            if (!allowed || !IsHyperlinkStart(m_length - p, m_text + p))
                continue;
            const int end = LinkEnd(p, to);
            w.Begin(p, c.colours[kHyperlinkRGB], c.colours[kBkgndHyperlinkRGB], RunKind::kLink, nullptr, 1);
            w.Begin(end, b.colour, b.background, RunKind::kBlock);
            p = end;
        }
    }

    int Word(int pos, int startOfLine)
    {
        int end = pos;
        while (end < m_length && !IsConfigSpace(m_text[end]) && !IsDelimiter(c, m_text[end]))
            ++end;
        // Words and keywords do not change the state, and a word that ends before the runs
        // that are kept needs no colour: the run that follows it begins at its end.
        if (!w.Writes() || end <= w.SkipBefore())
            return end;
        const bool number = m_text[pos] >= '0' && m_text[pos] <= '9';
        Colour colour = number ? c.colours[kNumberRGB] : c.colours[kTextRGB];
        Colour background = number ? c.colours[kBkgndNumberRGB] : kNoColour;
        const KeywordEntry* keyword = nullptr;
        if (pos == startOfLine || pos == 0 || IsConfigSpace(m_text[pos - 1]) || IsDelimiter(c, m_text[pos - 1]))
            keyword = FindKeyword(c, m_text + pos, end - pos);
        if (keyword) {
            colour = keyword->colour;
            background = keyword->background;
        }
        w.Begin(pos, colour, background, RunKind::kWord, keyword);
        if (m_marks) {
            const int marks[2] = {std::min(m_marks->first, m_marks->second), std::max(m_marks->first, m_marks->second)};
            for (int m : marks) {
                if (m >= pos && m < end) {
                    w.Begin(m, colour, c.colours[kBracketMatchRGB], RunKind::kBracket, keyword);
                    w.Begin(m + 1, colour, background, RunKind::kWord, keyword);
                }
            }
        }
        return end;
    }

    const ParserConfig& c;
    const char* m_text;
    int m_length;
    std::string_view m_line;
    SpanWriter& w;
    const BracketMarks* m_marks;
    std::array<uint8_t, 64> m_presentSmall{};
    std::vector<uint8_t> m_presentLarge;
    uint8_t* m_present = nullptr;
};

} // namespace

uint16_t KeywordHash(const char* text, size_t length, bool caseSensitive)
{
    const auto& table = CrcTable();
    uint16_t r = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        const auto b = static_cast<uint8_t>(caseSensitive ? text[i] : FoldCase(text[i]));
        r = static_cast<uint16_t>((r >> 8) ^ table[(r ^ b) & 0xFF]);
    }
    return r;
}

bool IsDelimiter(const ParserConfig& config, char c)
{
    return config.isDelimiter[static_cast<unsigned char>(c)];
}

const KeywordEntry* FindKeyword(const ParserConfig& config, const char* word, int length)
{
    if (length <= 0)
        return nullptr;
    const auto& bucket = config.keywords[KeywordHash(word, static_cast<size_t>(length), config.caseSensitive) & 0xFF];
    for (const KeywordEntry& entry : bucket) {
        if (entry.text.size() == static_cast<size_t>(length) &&
            EqualBytes(entry.text.data(), word, static_cast<size_t>(length), config.caseSensitive))
            return &entry;
    }
    return nullptr;
}

bool IsHyperlinkStart(int remaining, const char* text)
{
    if (remaining <= 0)
        return false;
    switch (FoldCase(text[0])) {  // the first letters of the prefixes
    case 'w': case 'h': case 'f': case 'm': case 'g': case 'n': case 't': break;
    default: return false;
    }
    for (const std::string_view prefix : kHyperlinkPrefixes) {
        if (static_cast<size_t>(remaining) >= prefix.size() && EqualBytes(text, prefix.data(), prefix.size(), false))
            return true;
    }
    return false;
}

bool IsBlockEnd(const ParserConfig& config, const BlockDef& block, const char* line, int position, int length)
{
    const char e = config.escape;
    auto escaped = [&](int at) {  // the character before at is a single escape character
        return e != 0 && at >= 1 && line[at - 1] == e && !(at >= 2 && line[at - 2] == e);
    };
    if (!block.hasEnd)
        return position >= length || IsConfigSpace(line[position]) || IsDelimiter(config, line[position]);
    if (block.endOfLine)
        return position >= length && !escaped(length);
    const size_t n = block.end.size();
    if (position < 0 || static_cast<size_t>(length - position) < n ||
        !EqualBytes(line + position, block.end.data(), n, config.caseSensitive))
        return false;
    return !escaped(position);
}

int ParseLine(const ParserConfig& config, int state, const char* text, int length, ColorSpan* spans, int* count,
              int capacity, const BracketMarks* marks, int skipBefore)
{
    if (length <= 0)
        return state;
    SpanWriter writer(spans, capacity, length, skipBefore);
    LineParser parser(config, text, length, writer, marks);
    const int end = parser.Run(state);
    if (spans && count)
        *count = writer.Count();
    return end;
}

int ParseLineFrom(const ParserConfig& config, uint32_t resume, int state, const char* text, int length,
                  ColorSpan* spans, int* count, int capacity, const BracketMarks* marks, int skipBefore,
                  std::vector<uint32_t>* record)
{
    if (length <= 0 || static_cast<int>(resume >> 1) > length)
        return state;
    SpanWriter writer(spans, capacity, length, skipBefore);
    LineParser parser(config, text, length, writer, marks);
    const int end = parser.Run(state, resume, record);
    if (spans && count)
        *count = writer.Count();
    return end;
}

bool CheckpointsUsable(const ParserConfig& config, const LineCheckpoints* kept, int state)
{
    return kept && kept->config == &config && kept->startState == state && !kept->marks.empty();
}

uint32_t LastCheckpointAtOrBefore(const LineCheckpoints& kept, int position)
{
    const auto after = std::upper_bound(kept.marks.begin(), kept.marks.end(), position,
                                        [](int p, uint32_t mark) { return p < static_cast<int>(mark >> 1); });
    return after == kept.marks.begin() ? 0 : *(after - 1);
}

int ParseStoredLine(const ParserConfig& config, TextStore& store, int line, int state)
{
    const LineRecord& r = store.Line(line);
    if (r.length < kLongLine || !CheckpointsAllowed(config))
        return ParseLine(config, state, r.text, r.length, nullptr, nullptr, 0);
    LineCheckpoints* kept = store.Checkpoints(line);
    uint32_t resume = 0;
    if (CheckpointsUsable(config, kept, state)) {
        resume = kept->marks.back();
    } else {
        kept = &store.MakeCheckpoints(line);
        kept->config = &config;
        kept->startState = state;
        kept->marks.clear();
    }
    return ParseLineFrom(config, resume, state, r.text, r.length, nullptr, nullptr, 0, nullptr, 0, &kept->marks);
}

bool CheckpointsAllowed(const ParserConfig& config)
{
    for (const BlockDef& b : config.blocks)
        if (b.start.size() + 8 > static_cast<size_t>(kCheckpointLookahead))
            return false;
    return true;
}

bool ParseUpTo(const ParserConfig& config, TextStore& store, int& frontier, int target, int stableFrom)
{
    if (frontier < 0)
        return false;
    const int last = std::min(target, store.LineCount() - 1);
    for (int line = frontier; line <= last; ++line) {
        const int start = line == 0 ? -1 : store.Line(line - 1).endState;
        const LineRecord& r = store.Line(line);
        const int state = ParseStoredLine(config, store, line, start);
        if (line >= stableFrom && state == r.endState) {
            frontier = -1;
            return false;
        }
        store.LineRecordAt(line).endState = state;
    }
    if (last + 1 < store.LineCount()) {
        frontier = std::max(frontier, last + 1);
        return true;
    }
    frontier = -1;
    return false;
}

} // namespace quill
