#pragma once
// CIniFile: the program's own reader and writer of INI-form files (section headers in square
// brackets, "key=value" lines; ANSI text with CR LF or LF line ends). It reads the file itself line by
// line through a CZ4KFile, never through the system's profile functions, so the grammar and the case
// rules are its own:
//   - a named header is: blanks, "[", blanks, the name (compared without regard to case over exactly
//     its length), blanks, "]"; text behind the "]" is ignored. The first matching header wins.
//   - any line whose first non-blank character is "[" and which holds a "]" ends a section.
//   - a lookup's key line is: blanks, the key (compared without regard to case), blanks, "=", and the
//     value is everything behind the "=", blanks included.
//   - the bulk readers take every line with a "=", split at the first "=", trim both sides and turn
//     each "\n" of the value into a line break.
// Blanks are space, tab, CR and LF. Lines may be of any length.
#include "core/library/StdStr.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CZ4KFile;
class CIniLineReader;

class CIniFile {
public:
    using KeyValues = std::vector<std::pair<TStdStr<char>, TStdStr<char>>>;
    using SectionMap = std::map<TStdStr<char>, TStdStr<char>>;

    CIniFile();
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Opens the file for reading, denying writes to others; false when it cannot be opened.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // Copies the value (or the default) into the buffer, cut to size - 1 characters and terminated;
    // returns the number of characters copied.
    int GetString(const char* section, const char* key, const char* defaultValue, char* buffer, int size);
    // A null default is the empty text.
    TStdStr<char> GetString(const char* section, const char* key, const char* defaultValue = nullptr);
    void GetString(const char* section, const char* key, TStdStr<char>& value, const char* defaultValue);
    // True for "YES", "Y", "TRUE" and "1" in any letter case; any other present value is false.
    bool GetBool(const char* section, const char* key, bool defaultValue);
    // The leading decimal number of the value (blanks and a sign allowed); 0 without digits.
    int GetInt(const char* section, const char* key, int defaultValue);

    // Appends the section's key lines in file order, duplicates kept.
    void GetSectionKeyValues(const char* section, KeyValues& pairs);
    KeyValues GetSectionKeyValues(const char* section);
    // With keyIsKey the INI key maps to its value, otherwise the value to its key; the first of equal
    // map keys is kept.
    void GetSectionMap(const char* section, SectionMap& map, bool keyIsKey);
    // Every line with "[" and "]" and no "=" gives the trimmed text between them; empty names skipped.
    void GetSectionNames(std::vector<TStdStr<char>>& names);

    // Both rewrite the file: the new text goes to a temporary file in the same folder, which replaces
    // the file only when it was written whole. On failure the file stays as it was and they return false.
    // Empty lines are dropped from the rewritten file; every line ends in CR LF.
    bool WriteKey(const char* section, const char* key, const char* value);
    // Keeps the section's header line and drops the lines under it.
    bool DeleteSection(const char* section);

private:
    bool FindSection(const char* section);
    // Finds the section and the key's value in it.
    bool Lookup(const char* section, const char* key, TStdStr<char>& value);
    bool Rewrite(const std::function<void(const std::string& line, std::string& out)>& edit,
                 const std::function<void(std::string& out)>& finish);
    bool ReplaceFile(const std::string& content);

    std::unique_ptr<CZ4KFile> m_file;
    std::unique_ptr<CIniLineReader> m_reader;
    TStdStr<char> m_path;
};
