#include "editctl/model/TextStore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "editctl/model/TextUtil.h"

namespace quill {

namespace {

int WidthOf(const char* text, int length, int tab)
{
    if (!text || !FindByte(text, static_cast<size_t>(length), '\t'))
        return length;
    int width = 0;
    for (int i = 0; i < length; ++i)
        width = text[i] == '\t' ? (width / tab + 1) * tab : width + 1;
    return width;
}

// The display width of a whole line, and whether it holds a tab: a line without one displays
// each character in one column, which spares the column conversions a walk over megabytes.
void MeasureLine(LineRecord& line, int tab)
{
    const bool tabs = line.text && FindByte(line.text, static_cast<size_t>(line.length), '\t');
    line.width = tabs ? WidthOf(line.text, line.length, tab) : line.length;
    line.flags = tabs ? (line.flags | kLineHasTab) : (line.flags & ~static_cast<uint32_t>(kLineHasTab));
}

// A line's own buffer starts with its capacity (32 bits, in a header of 8 bytes, so that the
// text keeps the alignment of the allocation).
constexpr size_t kBufferHeader = 8;

uint32_t SlotOf(const LineRecord& line) { return line.flags >> kCheckpointSlotShift; }

void SetSlot(LineRecord& line, uint32_t slot)
{
    line.flags = (line.flags & kLineFlagBits) | (slot << kCheckpointSlotShift);
}

} // namespace

int32_t TextStore::Capacity(const LineRecord& line)
{
    if (!(line.flags & kLineOwnsText) || !line.text)
        return 0;
    int32_t capacity = 0;
    std::memcpy(&capacity, line.text - kBufferHeader, sizeof(capacity));
    return capacity;
}

TextStore::TextStore() { m_lines.emplace_back(); }

TextStore::~TextStore()
{
    for (LineRecord& line : m_lines)
        FreeLine(line);
}

void TextStore::FreeLine(LineRecord& line)
{
    DropCheckpointsFrom(line, 0);
    if ((line.flags & kLineOwnsText) && line.text)
        std::free(line.text - kBufferHeader);
    line.text = nullptr;
    line.flags &= ~static_cast<uint32_t>(kLineOwnsText);
    line.length = 0;
}

// Makes room for length characters in a line's own buffer. Short lines grow in steps of 16; long
// ones by half again, so that typing into a line of megabytes does not copy it every time.
bool TextStore::Reserve(LineRecord& line, int32_t length)
{
    const int32_t have = Capacity(line);
    if (have > 0 && length <= have)
        return true;
    int64_t capacity = (static_cast<int64_t>(length) + 15) / 16 * 16;
    if (have > 0)
        capacity = std::max<int64_t>(capacity, have + have / 2);
    if (capacity == 0)
        capacity = 16;
    if (capacity > 0x7FFFFFF0)
        return false;
    const size_t bytes = static_cast<size_t>(capacity) + kBufferHeader;
    char* block = nullptr;
    if (have > 0) {
        block = static_cast<char*>(std::realloc(line.text - kBufferHeader, bytes));
    } else {
        // The text moves out of the load block; a line set to shorter text than it had keeps
        // only what fits (the caller writes the new text over it).
        block = static_cast<char*>(std::malloc(bytes));
        if (block && line.length > 0)
            std::memcpy(block + kBufferHeader, line.text, static_cast<size_t>(std::min<int64_t>(line.length, capacity)));
    }
    if (!block)
        return false;
    const auto stored = static_cast<int32_t>(capacity);
    std::memcpy(block, &stored, sizeof(stored));
    line.text = block + kBufferHeader;
    line.flags |= kLineOwnsText;
    return true;
}

void TextStore::UpdateWidth(LineRecord& line)
{
    MeasureLine(line, m_tab);
    if (line.width > m_longest)
        m_longest = line.width;
}

bool TextStore::SetLineText(LineRecord& line, std::string_view text)
{
    if (!Reserve(line, static_cast<int32_t>(text.size())))
        return false;
    if (!text.empty())
        std::memmove(line.text, text.data(), text.size());
    m_totalLength += static_cast<int64_t>(text.size()) - line.length;
    line.length = static_cast<int32_t>(text.size());
    if (m_caseFixing)
        line.flags |= kLineCaseFixPending;
    UpdateWidth(line);
    return true;
}

LineRecord TextStore::MakeLine(std::string_view text, bool* ok)
{
    LineRecord line;
    *ok = text.empty() || SetLineText(line, text);
    if (text.empty() && m_caseFixing)
        line.flags |= kLineCaseFixPending;
    return line;
}

TextPos TextStore::EndPosition() const
{
    const int last = LineCount() - 1;
    return {m_lines[last].length, last};
}

bool TextStore::IsValid(TextPos pos) const
{
    return pos.line >= 0 && pos.line < LineCount() && pos.column >= 0 && pos.column <= m_lines[pos.line].length;
}

TextPos TextStore::Clamp(TextPos pos) const
{
    pos.line = std::clamp(pos.line, 0, LineCount() - 1);
    pos.column = std::clamp(pos.column, 0, static_cast<int>(m_lines[pos.line].length));
    return pos;
}

void TextStore::Clear()
{
    for (LineRecord& line : m_lines)
        FreeLine(line);
    m_lines.assign(1, LineRecord{});
    m_checkpoints.clear();
    m_freeCheckpoints.clear();
    m_blocks.clear();
    m_totalLength = 0;
    m_longest = 0;
    m_longestDirty = false;
}

void TextStore::Assign(std::string_view text)
{
    auto block = std::make_unique<char[]>(text.size() + 1);
    if (!text.empty())
        std::memcpy(block.get(), text.data(), text.size());
    Assign(std::move(block), text.size());
}

void TextStore::Assign(std::unique_ptr<char[]> block, size_t size)
{
    Clear();
    // One block holds the whole text; lines point into it until they are changed. A loaded file
    // then costs its own size plus one record a line instead of one allocation a line.
    const std::string_view text(block.get(), size);
    const char* base = block.get();
    // The record array is made once at its size. Text with LF breaks only has one line more
    // than it has LFs; its lines and their tabs are found in one pass, eight bytes at a time.
    auto add = [&](const char* start, size_t length, bool tabs) {
        LineRecord& line = m_lines.emplace_back();
        line.length = static_cast<int32_t>(length);
        line.text = length == 0 ? nullptr : const_cast<char*>(start);
        if (m_caseFixing)
            line.flags |= kLineCaseFixPending;
        if (tabs) {
            line.flags |= kLineHasTab;
            line.width = WidthOf(line.text, line.length, m_tab);
        } else {
            line.width = line.length;
        }
        m_longest = std::max(m_longest, line.width);
        m_totalLength += static_cast<int64_t>(length);
    };
    m_lines.clear();
    m_totalLength = 0;
    const size_t breaks = CountLfUnlessCr(text.data(), text.size());
    if (breaks != kHasCr) {
        m_lines.reserve(breaks + 1);
        ForEachLfLine(text.data(), text.size(), add);
    } else {
        size_t count = 0;
        SplitLines(text, [&](std::string_view) { ++count; });
        m_lines.reserve(count);
        SplitLines(text, [&](std::string_view piece) {
            add(base + (piece.data() - text.data()), piece.size(), FindByte(piece.data(), piece.size(), '\t'));
        });
    }
    m_blocks.push_back(std::move(block));
}

bool TextStore::InsertLine(std::string_view text, int index)
{
    bool ok = false;
    LineRecord line = MakeLine(text, &ok);
    if (!ok)
        return false;
    if (index < 0 || index > LineCount())
        index = LineCount();
    m_lines.insert(m_lines.begin() + index, line);
    return true;
}

bool TextStore::AppendToLine(int index, std::string_view text)
{
    if (index < 0 || index >= LineCount())
        return false;
    LineRecord& line = m_lines[index];
    const int32_t old = line.length;
    DropCheckpointsFrom(line, old);
    if (!Reserve(line, old + static_cast<int32_t>(text.size())))
        return false;
    if (!text.empty())
        std::memcpy(line.text + old, text.data(), text.size());
    line.length = old + static_cast<int32_t>(text.size());
    m_totalLength += static_cast<int64_t>(text.size());
    if (m_caseFixing)
        line.flags |= kLineCaseFixPending;
    // Appending text without tabs to a line widens it by its length alone.
    if (!FindByte(text.data(), text.size(), '\t'))
        line.width += static_cast<int32_t>(text.size());
    else
        MeasureLine(line, m_tab);
    m_longest = std::max(m_longest, line.width);
    return true;
}

bool TextStore::RawInsertText(TextPos at, std::string_view text, TextPos* end)
{
    if (!IsValid(at))
        return false;
    const bool oneLine = !FindByte(text.data(), text.size(), '\n') && !FindByte(text.data(), text.size(), '\r');
    LineRecord& first = m_lines[at.line];
    DropCheckpointsFrom(first, at.column);
    if (oneLine) {
        // Within one line: open a gap and copy the text in.
        const int32_t add = static_cast<int32_t>(text.size());
        const int32_t tail = first.length - at.column;
        if (!Reserve(first, first.length + add))
            return false;
        std::memmove(first.text + at.column + add, first.text + at.column, static_cast<size_t>(tail));
        std::memcpy(first.text + at.column, text.data(), text.size());
        first.length += add;
        m_totalLength += add;
        if (m_caseFixing)
            first.flags |= kLineCaseFixPending;
        // Text without a tab widens the line by its length alone unless a tab behind it moves.
        if (!FindByte(text.data(), text.size(), '\t') &&
            (!(first.flags & kLineHasTab) || !FindByte(first.text + at.column + add, static_cast<size_t>(tail), '\t')))
            first.width += add;
        else
            MeasureLine(first, m_tab);
        m_longest = std::max(m_longest, first.width);
        if (end)
            *end = {at.column + add, at.line};
        return true;
    }

    // Across lines: build the new lines first, then open the gap in the line array once.
    std::vector<std::string_view> pieces;
    SplitLines(text, [&](std::string_view piece) { pieces.push_back(piece); });
    const std::string tail(LineText(at.line).substr(static_cast<size_t>(at.column)));
    std::vector<LineRecord> added;
    added.reserve(pieces.size() - 1);
    bool ok = true;
    for (size_t i = 1; i < pieces.size() && ok; ++i) {
        std::string text2(pieces[i]);
        if (i + 1 == pieces.size())
            text2 += tail;
        LineRecord line = MakeLine(text2, &ok);
        if (ok)
            added.push_back(line);
    }
    if (!ok) {
        for (LineRecord& line : added) {
            m_totalLength -= line.length;
            FreeLine(line);
        }
        return false;
    }
    const std::string head = std::string(LineText(at.line).substr(0, static_cast<size_t>(at.column))) + std::string(pieces[0]);
    if (!SetLineText(m_lines[at.line], head)) {
        for (LineRecord& line : added) {
            m_totalLength -= line.length;
            FreeLine(line);
        }
        return false;
    }
    m_lines.insert(m_lines.begin() + at.line + 1, added.begin(), added.end());
    if (end)
        *end = {static_cast<int>(pieces.back().size()), at.line + static_cast<int>(pieces.size()) - 1};
    return true;
}

bool TextStore::RawDeleteRange(TextPos start, TextPos end)
{
    if (end < start)
        std::swap(start, end);
    if (!IsValid(start) || !IsValid(end))
        return false;
    if (start == end)
        return true;
    LineRecord& first = m_lines[start.line];
    DropCheckpointsFrom(first, start.column);
    const bool wasLongest = first.width >= m_longest;
    if (start.line == end.line) {
        if (!(first.flags & kLineOwnsText) && !Reserve(first, first.length))
            return false;
        std::memmove(first.text + start.column, first.text + end.column,
                     static_cast<size_t>(first.length - end.column));
        const int32_t removed = end.column - start.column;
        first.length -= removed;
        m_totalLength -= removed;
        if (m_caseFixing)
            first.flags |= kLineCaseFixPending;
        if (first.flags & kLineHasTab)
            MeasureLine(first, m_tab);
        else
            first.width = first.length;
        if (wasLongest)
            m_longestDirty = true;
        return true;
    }
    const std::string joined = std::string(LineText(start.line).substr(0, static_cast<size_t>(start.column))) +
                               std::string(LineText(end.line).substr(static_cast<size_t>(end.column)));
    if (!SetLineText(first, joined))
        return false;
    for (int i = start.line + 1; i <= end.line; ++i) {
        m_totalLength -= m_lines[i].length;
        FreeLine(m_lines[i]);
    }
    m_lines.erase(m_lines.begin() + start.line + 1, m_lines.begin() + end.line + 1);
    m_longestDirty = true;
    return true;
}

size_t TextStore::RangeLength(TextPos start, TextPos end) const
{
    if (end < start)
        std::swap(start, end);
    start = Clamp(start);
    end = Clamp(end);
    if (start.line == end.line)
        return static_cast<size_t>(end.column - start.column);
    size_t total = static_cast<size_t>(m_lines[start.line].length - start.column);
    for (int i = start.line + 1; i < end.line; ++i)
        total += 2 + static_cast<size_t>(m_lines[i].length);
    return total + 2 + static_cast<size_t>(end.column);
}

std::string TextStore::CopyRangeText(TextPos start, TextPos end) const
{
    if (end < start)
        std::swap(start, end);
    start = Clamp(start);
    end = Clamp(end);
    std::string out;
    out.reserve(RangeLength(start, end));
    if (start.line == end.line)
        return std::string(LineText(start.line).substr(static_cast<size_t>(start.column),
                                                       static_cast<size_t>(end.column - start.column)));
    out.append(LineText(start.line).substr(static_cast<size_t>(start.column)));
    for (int i = start.line + 1; i < end.line; ++i) {
        out += "\r\n";
        out.append(LineText(i));
    }
    out += "\r\n";
    out.append(LineText(end.line).substr(0, static_cast<size_t>(end.column)));
    return out;
}

LineCheckpoints* TextStore::Checkpoints(int line)
{
    const uint32_t slot = SlotOf(m_lines[line]);
    return slot > 0 ? &m_checkpoints[slot - 1] : nullptr;
}

LineCheckpoints& TextStore::MakeCheckpoints(int line)
{
    LineRecord& record = m_lines[line];
    // Only lines of kLongLine characters or more get a slot: a text of at most 2^31 characters
    // has fewer of them than the flags have room for.
    if (SlotOf(record) == 0) {
        if (!m_freeCheckpoints.empty()) {
            SetSlot(record, static_cast<uint32_t>(m_freeCheckpoints.back()));
            m_freeCheckpoints.pop_back();
        } else {
            m_checkpoints.emplace_back();
            SetSlot(record, static_cast<uint32_t>(m_checkpoints.size()));
        }
    }
    return m_checkpoints[SlotOf(record) - 1];
}

void TextStore::ClearCheckpoints()
{
    for (LineRecord& line : m_lines)
        SetSlot(line, 0);
    m_checkpoints.clear();
    m_freeCheckpoints.clear();
}

// The text from column on changes: checkpoints whose state may read it go (all of them at 0).
void TextStore::DropCheckpointsFrom(LineRecord& line, int column)
{
    const uint32_t slot = SlotOf(line);
    if (slot == 0)
        return;
    LineCheckpoints& kept = m_checkpoints[slot - 1];
    const int64_t limit = static_cast<int64_t>(column) - kCheckpointLookahead;
    while (!kept.marks.empty() && static_cast<int64_t>(kept.marks.back() >> 1) >= limit)
        kept.marks.pop_back();
    if (!kept.marks.empty())
        return;
    kept = LineCheckpoints{};
    m_freeCheckpoints.push_back(static_cast<int32_t>(slot));
    SetSlot(line, 0);
}

void TextStore::SetTabWidth(int tab)
{
    if (tab == m_tab || tab < 1)
        return;
    m_tab = tab;
    m_longest = 0;
    for (LineRecord& line : m_lines)
        UpdateWidth(line);
    m_longestDirty = false;
}

int TextStore::DisplayColumn(int line, int column) const
{
    const LineRecord& r = m_lines[line];
    if (!(r.flags & kLineHasTab))
        return column;
    return WidthOf(r.text, std::min(column, static_cast<int>(r.length)), m_tab) +
           std::max(0, column - static_cast<int>(r.length));
}

int TextStore::CharColumn(int line, int display) const
{
    const LineRecord& r = m_lines[line];
    if (!(r.flags & kLineHasTab))
        return std::clamp(display, 0, static_cast<int>(r.length));
    int width = 0;
    for (int i = 0; i < r.length; ++i) {
        width = r.text[i] == '\t' ? (width / m_tab + 1) * m_tab : width + 1;
        if (width > display)
            return i;
    }
    return r.length;
}

int TextStore::LongestWidth() const
{
    if (m_longestDirty) {
        m_longest = 0;
        for (const LineRecord& line : m_lines)
            m_longest = std::max(m_longest, static_cast<int>(line.width));
        m_longestDirty = false;
    }
    return m_longest;
}

} // namespace quill
