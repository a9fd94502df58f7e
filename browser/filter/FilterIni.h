#pragma once
// Reading and rewriting the one section of a feature list file ("AdFilters.ini", "Popups.ini") in a
// single pass, with the grammar of CIniFile (core/library/IniFile.h): a header is blanks, "[", blanks,
// the name (any letter case), blanks, "]"; a line whose first non-blank is "[" and that holds a "]"
// ends a section; a key line is blanks, the key, blanks, "=" and the value, which is everything behind
// the "=" (blanks kept, a CR before the line end dropped). Only the first matching header counts.
//
// Numbered lists ("filter0", "filter1", ...) are read whole: every key of the prefix followed by
// decimal digits, ordered by the number (equal numbers in file order), empty values skipped. A list
// with a gap in its numbering (a hand-edited file) therefore keeps every rule, and a rewrite, which
// renumbers from 0, loses none of them. A value is cut at a NUL byte.
//
// Files larger than kMaxFeatureFileBytes are refused as a whole: the list stays empty and the file is
// never rewritten over.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

constexpr size_t kMaxFeatureFileBytes = 64u * 1024 * 1024;

using CIniLines = std::vector<std::pair<std::string, std::string>>;

// Reads a whole file; false when it cannot be opened, read or is larger than the limit.
bool ReadWholeFile(const char* path, std::string& text, size_t limit = kMaxFeatureFileBytes);
// The key lines of the first section with that name, in file order.
CIniLines ReadIniSection(const std::string& text, const char* section);
// The values of prefix + number keys, ordered by number, empty ones skipped.
std::vector<std::string> ReadNumberedValues(const CIniLines& lines, const char* prefix);
// Replaces the lines under the section's first header by the given key lines (the header is appended
// when the file has none); everything outside the section stays as it was. The new text goes to a
// temporary file beside the file, which replaces it only when written whole. A missing file is
// created, and so is a missing folder.
bool RewriteIniSection(const char* path, const char* section, const CIniLines& lines);
// The first of config\name, config\<language>\name and config\defaults\name that exists.
bool FindConfigFile(const char* name, std::string& path);
// config\name, where every feature file is written.
std::string GetConfigFilePath(const char* name);
// Numbered key lines: prefix0=..., prefix1=... for the non-empty values, in order.
void AppendNumberedLines(CIniLines& lines, const char* prefix, const std::vector<std::string>& values);
