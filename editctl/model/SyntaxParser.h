#pragma once
// The syntax parser: turns one line into colour runs and carries the block state (inside a comment
// or string that spans lines, or not) from line to line. No window code here.
#include <cstddef>
#include <cstdint>

#include "editctl/model/ParserConfig.h"

namespace quill {

class TextStore;

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

// Background parsing: makes the end states of the lines known from the frontier up to target.
// The frontier is the first line whose end state is unknown, -1 when all are known.
// Lines from stableFrom on have their text unchanged since their states were stored: once such a
// line's end state comes out as stored, all lines after it are known too and parsing stops.
// Returns true when lines remain to be parsed afterwards.
bool ParseUpTo(const ParserConfig& config, TextStore& store, int& frontier, int target, int stableFrom = 0x7FFFFFFF);

} // namespace quill
