#pragma once
// The syntax parser: turns one line into colour runs and carries the block state (inside a comment
// or string that spans lines, or not) from line to line. No window code here.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editctl/model/ParserConfig.h"

namespace quill {

class TextStore;

struct LineCheckpoints;

struct ColorSpan {
    Colour colour = 0;
    Colour background = kNoColour;
    int end = 0;                            // the run ends here; it starts at the previous run's end
    const KeywordEntry* keyword = nullptr;  // the keyword the run is, if any
    uint16_t hyperlink = 0;                 // 1: the run is a hyperlink
};

// The highlighted bracket pair on the line being parsed, in the parsed text's columns (-1: none).
struct BracketMarks {
    int first = -1;
    int second = -1;
    bool Has(int column) const { return column >= 0 && (column == first || column == second); }
};

uint16_t KeywordHash(const char* text, size_t length, bool caseSensitive);
bool IsDelimiter(const ParserConfig& config, char c);
const KeywordEntry* FindKeyword(const ParserConfig& config, const char* word, int length);
bool IsHyperlinkStart(int remaining, const char* text);
bool IsBlockEnd(const ParserConfig& config, const BlockDef& block, const char* line, int position, int length);

// Parses a line from the state at its start; returns the state at its end (-1: no block open).
// With spans given, fills at most capacity of them and sets *count (an empty line writes none).
// Runs that end at or before skipBefore are not kept (the painter of a row scrolled far to the
// right needs only the runs it shows); the first run kept then starts at or before skipBefore.
int ParseLine(const ParserConfig& config, int state, const char* text, int length, ColorSpan* spans,
              int* count, int capacity, const BracketMarks* marks = nullptr, int skipBefore = 0);

// Lines at least this long keep parse checkpoints (TextStore::Checkpoints), so that a change
// near a line's end, or a row scrolled far to the right, parses only from the nearest one.
constexpr int kLongLine = 16384;

// ParseLine from a checkpoint mark of the line (0: from its start in state; else the state there
// is "no block open"). The runs before the mark are not written: the first run written starts at
// the mark, or at the line's start. New checkpoints are appended to record when it is given.
int ParseLineFrom(const ParserConfig& config, uint32_t resume, int state, const char* text, int length,
                  ColorSpan* spans, int* count, int capacity, const BracketMarks* marks, int skipBefore,
                  std::vector<uint32_t>* record);
// Whether the configuration's block starts are short enough for checkpoints to be kept.
bool CheckpointsAllowed(const ParserConfig& config);
// Whether a line's kept checkpoints were made by this configuration from this start state.
bool CheckpointsUsable(const ParserConfig& config, const LineCheckpoints* kept, int state);
// The last checkpoint mark at or before a position (0 when there is none).
uint32_t LastCheckpointAtOrBefore(const LineCheckpoints& kept, int position);
// The end state of a stored line parsed from state: a long line resumes at its last checkpoint
// and keeps the ones it passes.
int ParseStoredLine(const ParserConfig& config, TextStore& store, int line, int state);

// Background parsing: makes the end states of the lines known from the frontier up to target.
// The frontier is the first line whose end state is unknown, -1 when all are known.
// Lines from stableFrom on have their text unchanged since their states were stored: once such a
// line's end state comes out as stored, all lines after it are known too and parsing stops.
// Returns true when lines remain to be parsed afterwards.
bool ParseUpTo(const ParserConfig& config, TextStore& store, int& frontier, int target, int stableFrom = 0x7FFFFFFF);

} // namespace quill
