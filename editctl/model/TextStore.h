#pragma once
// The text of one edit window: an array of lines of 8-bit characters without line breaks. It is
// never empty (at least one line). Changes go through RawInsertText and RawDeleteRange; undo is
// layered on top in EditDocument. No window code here.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct TextPos {
    int column = 0;
    int line = 0;
    bool operator==(const TextPos&) const = default;
};
inline bool operator<(TextPos a, TextPos b) { return a.line < b.line || (a.line == b.line && a.column < b.column); }
inline bool operator<=(TextPos a, TextPos b) { return !(b < a); }

// The low byte of a line's flags holds these; the bits above it the slot of the line's parse
// checkpoints in its store (1 + the slot's index; 0: none), so that a line costs 24 bytes.
enum LineFlags : uint32_t { kLineBookmark = 1, kLineCaseFixPending = 2, kLineHasTab = 4, kLineOwnsText = 8 };
constexpr int kCheckpointSlotShift = 8;
constexpr uint32_t kLineFlagBits = (1u << kCheckpointSlotShift) - 1;

struct LineRecord {
    uint32_t flags = 0;      // LineFlags and the checkpoint slot
    int32_t endState = -1;   // parse state at the end of the line
    int32_t length = 0;
    int32_t width = 0;       // display width with tabs expanded
    // The text: in the store's load block, or (kLineOwnsText) in a buffer of the line's own,
    // which keeps its capacity in front of the text (TextStore::Capacity). Null: no text yet.
    char* text = nullptr;
};
static_assert(sizeof(void*) != 8 || sizeof(LineRecord) == 24, "a line's record is three words");

// Where the parser may resume inside a long line: the state there is "no block open", and the
// run there is plain text (bit 0 clear) or a delimiter run (bit 0 set); the position is the rest
// shifted right by one. Kept in position order. The state at a checkpoint depends on the text
// before it and on at most kCheckpointLookahead characters after it, on the state the line
// starts in and on the configuration that parsed it.
struct LineCheckpoints {
    int32_t startState = -1;
    const void* config = nullptr;
    std::vector<uint32_t> marks;
};
constexpr int kCheckpointLookahead = 1024;

// Splits text at line breaks: CR LF and LF CR are one break each, any other CR or LF one of its
// own, so blank lines of LF-only or CR-only text survive. Calls piece(text) for every line.
template <typename Fn>
void SplitLines(std::string_view text, Fn&& piece)
{
    size_t start = 0, i = 0;
    const size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        piece(text.substr(start, i - start));
        const char other = c == '\r' ? '\n' : '\r';
        i += (i + 1 < n && text[i + 1] == other) ? 2 : 1;
        start = i;
    }
    piece(text.substr(start));
}

class TextStore {
public:
    TextStore();
    ~TextStore();
    TextStore(const TextStore&) = delete;  // owns line buffers
    TextStore& operator=(const TextStore&) = delete;

    int LineCount() const { return static_cast<int>(m_lines.size()); }
    const LineRecord& Line(int index) const { return m_lines[index]; }
    LineRecord& LineRecordAt(int index) { return m_lines[index]; }
    std::string_view LineText(int index) const
    {
        const LineRecord& r = m_lines[index];
        return {r.text ? r.text : "", static_cast<size_t>(r.length)};
    }
    int64_t TotalLength() const { return m_totalLength; }
    bool HasText() const { return m_lines.size() > 1 || m_lines[0].length > 0; }
    TextPos EndPosition() const;
    bool IsValid(TextPos pos) const;
    TextPos Clamp(TextPos pos) const;

    void Clear();
    // Replaces the whole text with text split as SplitLines does; one block holds all lines.
    void Assign(std::string_view text);
    // The same, keeping the given block (size bytes of text) instead of copying it.
    void Assign(std::unique_ptr<char[]> block, size_t size);
    bool InsertLine(std::string_view text, int index);  // index -1 or out of range: append
    bool AppendToLine(int line, std::string_view text);
    bool RawInsertText(TextPos at, std::string_view text, TextPos* end);
    bool RawDeleteRange(TextPos start, TextPos end);
    // The text of a range, lines joined by CR LF.
    std::string CopyRangeText(TextPos start, TextPos end) const;
    size_t RangeLength(TextPos start, TextPos end) const;

    void SetTabWidth(int tab);
    int TabWidth() const { return m_tab; }
    // New and changed lines get the case-fixing flag while this is on.
    void SetCaseFixing(bool on) { m_caseFixing = on; }
    int DisplayColumn(int line, int column) const;
    // The index of the first character whose display end passes the display column (the line's
    // length when none does).
    int CharColumn(int line, int display) const;
    int LongestWidth() const;

    // The parse checkpoints of a line: null when it has none. A change of the line drops those
    // its text may have moved or changed; ClearCheckpoints drops all (another configuration).
    LineCheckpoints* Checkpoints(int line);
    LineCheckpoints& MakeCheckpoints(int line);
    void ClearCheckpoints();

    // The room a line's own text buffer has (a multiple of 16); 0 while the text lies in the
    // load block or there is none.
    static int32_t Capacity(const LineRecord& line);

private:
    void DropCheckpointsFrom(LineRecord& line, int column);
    bool Reserve(LineRecord& line, int32_t length);
    void FreeLine(LineRecord& line);
    void UpdateWidth(LineRecord& line);
    bool SetLineText(LineRecord& line, std::string_view text);
    LineRecord MakeLine(std::string_view text, bool* ok);

    std::vector<LineRecord> m_lines;
    std::vector<std::unique_ptr<char[]>> m_blocks;  // load blocks that lines may point into
    std::vector<LineCheckpoints> m_checkpoints;      // slots; a free one has no config
    std::vector<int32_t> m_freeCheckpoints;
    int64_t m_totalLength = 0;
    int m_tab = 8;
    bool m_caseFixing = false;
    mutable int m_longest = 0;
    mutable bool m_longestDirty = false;
};

} // namespace quill
