#pragma once
// Test failures show TStdStr values as quoted text instead of character lists.
#include "core/library/StdStr.h"

#include <ostream>

inline void PrintTo(const TStdStr<char>& text, std::ostream* out) { *out << '"' << text.c_str() << '"'; }
