#pragma once
// Joining and splitting lists of strings, and byte counts as display text.
#include "core/library/StdStr.h"

#include <cstdint>
#include <vector>

// Every element followed by the separator (the last one too); an empty list gives "".
TStdStr<char> JoinStrings(const std::vector<TStdStr<char>>& list, const char* separator);

// Appends the pieces of the text between the delimiters to the list. An empty piece between two
// delimiters (or before a leading one) is kept as an empty element, and a text ending in the
// delimiter ends with an empty piece.
void SplitString(std::vector<TStdStr<char>>& list, const TStdStr<char>& text, char delimiter);

// Below 1024: "N bytes"; otherwise "%.2f " and the binary unit (KB, MB, GB, TB, PB, EB).
TStdStr<char> FormatByteSize(uint64_t bytes);
