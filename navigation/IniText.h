#pragma once
// Writing the navigation lists' INI files whole: the new text of a file in which one section is
// replaced and every other line is kept, and the atomic replacement of a file (a temporary file in
// the same folder, moved over the old one only when it was written whole), so a failed save
// leaves the previous file as it was. One pass instead of a rewrite of the file per key.
#include <string>
#include <utility>
#include <vector>

using IniLines = std::vector<std::pair<std::string, std::string>>;

// The key=value line of one entry: a line break in the value becomes "\n" (which the reader turns
// back into a line break).
std::string FormatIniLine(const std::string& key, const std::string& value);

// The file text with the section `section` (name compared without regard to case) replaced by
// `lines`; without lines the section and its header are gone. Sections of another name and
// lines before the first header stay as they are. Lines end in CR LF.
std::string ReplaceIniSection(const std::string& fileText, const std::string& section, const IniLines& lines);

// Reads a whole file of at most `limit` bytes; false when it is missing, unreadable or larger.
bool ReadSmallFile(const std::string& path, std::string& content, size_t limit = 16u << 20);
// Writes the content through a temporary file that replaces the file; false on any failure, the
// old file then untouched. The folder is created when it is missing.
bool WriteFileAtomically(const std::string& path, const std::string& content);
