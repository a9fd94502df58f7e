#include "core/library/IniFile.h"

#include "core/library/Z4KFile.h"

#include <boost/algorithm/string/trim.hpp>

#include <mbstring.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Lines are read through a window of the file this large, so a scan costs one read per window
// instead of several calls per line.
constexpr UINT kReadWindow = 64 * 1024;
// The buffers GetBool and GetInt read the value into, as the callers have always seen them.
constexpr int kBoolBufferLength = 259;
constexpr int kValueBufferLength = 1024;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

size_t SkipBlanks(const std::string& line, size_t i)
{
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

bool IsAscii(const char* text)
{
    for (; *text; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    }
    return true;
}

char AsciiUpper(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

// Case-insensitive compare of n bytes; plain ASCII is compared here, the rest by the runtime's
// multibyte-aware compare.
bool EqualNoCase(const char* a, const char* b, size_t n)
{
    for (size_t k = 0; k < n; ++k) {
        const unsigned char ca = static_cast<unsigned char>(a[k]);
        const unsigned char cb = static_cast<unsigned char>(b[k]);
        if (ca >= 0x80 || cb >= 0x80)
            return _mbsnbicmp(reinterpret_cast<const unsigned char*>(a + k), reinterpret_cast<const unsigned char*>(b + k),
                              n - k) == 0;
        if (AsciiUpper(static_cast<char>(ca)) != AsciiUpper(static_cast<char>(cb)))
            return false;
    }
    return true;
}

bool IsSectionHeader(const std::string& line, const char* section)
{
    size_t i = SkipBlanks(line, 0);
    if (i >= line.size() || line[i] != '[')
        return false;
    i = SkipBlanks(line, i + 1);
    const size_t length = std::strlen(section);
    if (line.size() - i < length || !EqualNoCase(line.c_str() + i, section, length))
        return false;
    i = SkipBlanks(line, i + length);
    return i < line.size() && line[i] == ']';
}

bool IsAnyHeader(const std::string& line)
{
    const size_t i = SkipBlanks(line, 0);
    return i < line.size() && line[i] == '[' && line.find(']', i) != std::string::npos;
}

// Where the lines of a rewrite stand against one section, taken in file order: before its header,
// its header, inside it, or after it (from the next header on). Only the first section of the name
// counts, as for the readers.
class CSectionWalk {
public:
    enum EPlace { kBefore, kHeader, kInside, kAfter };
    explicit CSectionWalk(const char* section) : m_section(section) {}

    EPlace Next(const std::string& line)
    {
        if (m_place == kBefore && IsSectionHeader(line, m_section))
            m_place = kHeader;
        else if (m_place == kHeader || m_place == kInside)
            m_place = IsAnyHeader(line) ? kAfter : kInside;
        return m_place;
    }
    bool FoundSection() const { return m_place != kBefore; }

private:
    const char* m_section;  // not owned: the caller's name, alive for the walk
    EPlace m_place = kBefore;
};

// Position of the value behind "=" when the line is the key's line, else npos.
size_t MatchKey(const std::string& line, const char* key)
{
    size_t i = SkipBlanks(line, 0);
    const size_t length = std::strlen(key);
    if (line.size() - i < length || !EqualNoCase(line.c_str() + i, key, length))
        return std::string::npos;
    i = SkipBlanks(line, i + length);
    return (i < line.size() && line[i] == '=') ? i + 1 : std::string::npos;
}

TStdStr<char> Trimmed(const std::string& text)
{
    return boost::algorithm::trim_copy_if(text, IsBlank);
}

// The index name of a header line: the trimmed text between "[" and the first "]", upper-cased.
bool HeaderIndexName(const std::string& line, std::string& name)
{
    const size_t open = SkipBlanks(line, 0);
    if (open >= line.size() || line[open] != '[')
        return false;
    const size_t close = line.find(']', open + 1);
    if (close == std::string::npos)
        return false;
    name = boost::algorithm::trim_copy_if(line.substr(open + 1, close - open - 1), IsBlank);
    for (char& ch : name)
        ch = AsciiUpper(ch);
    return true;
}

// Sections the header index can answer for: plain ASCII names that the grammar cannot read
// differently from the index (no brackets, no blanks at either end).
bool IsIndexableSection(const char* section)
{
    const size_t length = std::strlen(section);
    return length > 0 && IsAscii(section) && !std::strpbrk(section, "[]") && !IsBlank(section[0]) &&
           !IsBlank(section[length - 1]);
}

void AppendLine(std::string& out, const std::string& line)
{
    out += line;
    out += "\r\n";
}

// A value written into a line must not break it: line breaks are stored as the two characters "\n",
// which the bulk readers turn back into line breaks.
std::string EscapeLineBreaks(const char* value)
{
    std::string text = value ? value : "";
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            result += "\\n";
        } else {
            result += text[i];
        }
    }
    return result;
}

void CopyCut(char* buffer, int size, const char* text, size_t length)
{
    const size_t n = length < static_cast<size_t>(size) ? length : static_cast<size_t>(size) - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

} // namespace

// Reads an open INI file line by line through a window of its bytes. A line runs up to a LF (a CR
// before it is dropped); the last line of a file need not end in one. A file failure ends the
// reading like the end of the file, and is remembered so that a rewrite does not go ahead.
class CIniLineReader {
public:
    explicit CIniLineReader(CZ4KFile& file) : m_file(file), m_window(kReadWindow) {}

    void SeekTo(DWORD position) { m_position = position; }
    DWORD Position() const { return m_position; }
    bool Failed() const { return m_failed; }

    bool ReadLine(std::string& line)
    {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_position < m_windowStart || m_position >= m_windowStart + m_windowLength) {
                if (!Refill())
                    break;
            }
            const char* begin = m_window.data() + (m_position - m_windowStart);
            const char* end = m_window.data() + m_windowLength;
            const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
            any = true;
            if (lf) {
                line.append(begin, lf);
                m_position += static_cast<DWORD>(lf - begin) + 1;
                break;
            }
            line.append(begin, end);
            m_position += static_cast<DWORD>(end - begin);
        }
        if (!any || m_failed)
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    // The position of the first header line of a section, or false when the file has none. Only for
    // the names IsIndexableSection accepts.
    bool FindHeader(const char* section, DWORD& position)
    {
        if (!m_indexed)
            BuildIndex();
        if (!m_indexUsable)
            return false;
        std::string name = section;
        for (char& ch : name)
            ch = AsciiUpper(ch);
        const auto it = m_headers.find(name);
        if (it == m_headers.end())
            return false;
        position = it->second;
        return true;
    }
    bool IndexUsable()
    {
        if (!m_indexed)
            BuildIndex();
        return m_indexUsable;
    }

private:
    bool Refill()
    {
        try {
            m_file.Seek(static_cast<LONG>(m_position), CZ4KFile::begin);
            m_windowLength = m_file.Read(m_window.data(), kReadWindow);
        } catch (const CZ4KFileException&) {
            m_failed = true;
            m_windowLength = 0;
            return false;
        }
        m_windowStart = m_position;
        return m_windowLength > 0;
    }

    // One pass over the file records where each header's first occurrence is. The file is open with
    // writes denied to others, so it cannot change while the index is in use.
    void BuildIndex()
    {
        m_indexed = true;
        const DWORD saved = m_position;
        m_position = 0;
        std::string line, name;
        for (;;) {
            const DWORD at = m_position;
            if (!ReadLine(line))
                break;
            if (HeaderIndexName(line, name))
                m_headers.emplace(name, at);
        }
        m_indexUsable = !m_failed;
        m_position = saved;
    }

    CZ4KFile& m_file;
    std::vector<char> m_window;
    DWORD m_windowStart = 0;
    DWORD m_windowLength = 0;
    DWORD m_position = 0;
    bool m_failed = false;
    bool m_indexed = false;
    bool m_indexUsable = false;
    std::map<std::string, DWORD> m_headers;
};

CIniFile::CIniFile() = default;

CIniFile::~CIniFile()
{
    Close();
}

bool CIniFile::Open(const char* path)
{
    Close();
    auto file = std::make_unique<CZ4KFile>();
    try {
        if (!file->Open(path, CZ4KFile::kOpenIni))
            return false;
    } catch (const CZ4KException&) {
        return false;
    }
    m_path = file->GetFilePath();
    m_file = std::move(file);
    m_reader = std::make_unique<CIniLineReader>(*m_file);
    return true;
}

void CIniFile::Close()
{
    m_reader.reset();
    if (m_file) {
        try {
            m_file->Close();
        } catch (const CZ4KException&) {
            // Nothing was written through this handle; a failed close loses nothing.
        }
        m_file.reset();
    }
}

bool CIniFile::FindSection(const char* section)
{
    if (!m_file || !section)
        return false;
    std::string line;
    if (IsIndexableSection(section) && m_reader->IndexUsable()) {
        DWORD position = 0;
        if (!m_reader->FindHeader(section, position))
            return false;
        m_reader->SeekTo(position);
        if (m_reader->ReadLine(line) && IsSectionHeader(line, section))
            return true;
    }
    m_reader->SeekTo(0);
    while (m_reader->ReadLine(line)) {
        if (IsSectionHeader(line, section))
            return true;
    }
    return false;
}

bool CIniFile::Lookup(const char* section, const char* key, TStdStr<char>& value)
{
    if (!key || !FindSection(section))
        return false;
    std::string line;
    while (m_reader->ReadLine(line)) {
        if (IsAnyHeader(line))
            return false;
        const size_t position = MatchKey(line, key);
        if (position != std::string::npos) {
            value = line.substr(position);
            return true;
        }
    }
    return false;
}

int CIniFile::GetString(const char* section, const char* key, const char* defaultValue, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    TStdStr<char> value;
    if (!Lookup(section, key, value))
        value = defaultValue ? defaultValue : "";
    CopyCut(buffer, size, value.c_str(), std::strlen(value.c_str()));
    return static_cast<int>(std::strlen(buffer));
}

TStdStr<char> CIniFile::GetString(const char* section, const char* key, const char* defaultValue)
{
    TStdStr<char> value;
    GetString(section, key, value, defaultValue);
    return value;
}

void CIniFile::GetString(const char* section, const char* key, TStdStr<char>& value, const char* defaultValue)
{
    if (!Lookup(section, key, value))
        value = defaultValue ? defaultValue : "";
}

bool CIniFile::GetBool(const char* section, const char* key, bool defaultValue)
{
    char buffer[kBoolBufferLength];
    GetString(section, key, defaultValue ? "Yes" : "No", buffer, kBoolBufferLength);
    for (const char* truth : {"YES", "Y", "TRUE", "1"}) {
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(buffer), reinterpret_cast<const unsigned char*>(truth)) == 0)
            return true;
    }
    return false;
}

int CIniFile::GetInt(const char* section, const char* key, int defaultValue)
{
    char buffer[kValueBufferLength];
    GetString(section, key, FormatString("%d", defaultValue).c_str(), buffer, kValueBufferLength);
    return static_cast<int>(std::strtol(buffer, nullptr, 10));
}

void CIniFile::GetSectionKeyValues(const char* section, KeyValues& pairs)
{
    if (!FindSection(section))
        return;
    std::string line;
    while (m_reader->ReadLine(line)) {
        if (IsAnyHeader(line))
            break;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        TStdStr<char> value = Trimmed(line.substr(equals + 1));
        value.Replace("\\n", "\n");
        pairs.emplace_back(Trimmed(line.substr(0, equals)), std::move(value));
    }
}

CIniFile::KeyValues CIniFile::GetSectionKeyValues(const char* section)
{
    KeyValues pairs;
    GetSectionKeyValues(section, pairs);
    return pairs;
}

void CIniFile::GetSectionMap(const char* section, SectionMap& map, bool keyIsKey)
{
    for (auto& [key, value] : GetSectionKeyValues(section)) {
        if (keyIsKey)
            map.emplace(std::move(key), std::move(value));
        else
            map.emplace(std::move(value), std::move(key));
    }
}

void CIniFile::GetSectionNames(std::vector<TStdStr<char>>& names)
{
    if (!m_file)
        return;
    m_reader->SeekTo(0);
    std::string line;
    while (m_reader->ReadLine(line)) {
        const size_t open = line.find('[');
        const size_t close = line.find(']');
        if (open == std::string::npos || close == std::string::npos || close < open || line.find('=') != std::string::npos)
            continue;
        TStdStr<char> name = Trimmed(line.substr(open + 1, close - open - 1));
        if (!name.empty())
            names.push_back(std::move(name));
    }
}

bool CIniFile::WriteKey(const char* section, const char* key, const char* value)
{
    if (!m_file || !section || !key)
        return false;
    const std::string escaped = EscapeLineBreaks(value);
    const std::string keyLine = std::string(key) + "=" + escaped;
    CSectionWalk walk(section);
    bool written = false;
    return Rewrite(
        [&](const std::string& line, std::string& out) {
            if (!written) {
                const CSectionWalk::EPlace place = walk.Next(line);
                if (place == CSectionWalk::kAfter) {
                    AppendLine(out, keyLine); // the key was missing from its section
                    written = true;
                } else if (const size_t position = place == CSectionWalk::kInside ? MatchKey(line, key) : std::string::npos;
                           position != std::string::npos) {
                    AppendLine(out, line.substr(0, position) + escaped);
                    written = true;
                    return;
                }
            }
            AppendLine(out, line);
        },
        [&](std::string& out) {
            if (!walk.FoundSection())
                AppendLine(out, std::string("[") + section + "]");
            if (!written)
                AppendLine(out, keyLine);
        });
}

bool CIniFile::DeleteSection(const char* section)
{
    if (!m_file || !section)
        return false;
    CSectionWalk walk(section);
    return Rewrite(
        [&](const std::string& line, std::string& out) {
            if (walk.Next(line) != CSectionWalk::kInside)
                AppendLine(out, line);
        },
        [](std::string&) {});
}

// Passes every non-empty line of the file to the editor, which appends what the new file holds, then
// lets the finisher append; a failed read stops the rewrite before anything is replaced.
bool CIniFile::Rewrite(const std::function<void(const std::string& line, std::string& out)>& edit,
                       const std::function<void(std::string& out)>& finish)
{
    std::string out, line;
    m_reader->SeekTo(0);
    while (m_reader->ReadLine(line)) {
        if (!line.empty())
            edit(line, out);
    }
    if (m_reader->Failed())
        return false;
    finish(out);
    return ReplaceFile(out);
}

// The new text is written whole to a temporary file beside the INI file, which then takes the INI
// file's place in one move. Until the move the INI file is untouched; after it the new file is open.
bool CIniFile::ReplaceFile(const std::string& content)
{
    const TStdStr<char> tempName = MakeTempFileNameBeside(m_path.c_str());
    if (tempName.empty())
        return false;
    try {
        CZ4KFile out;
        if (!out.Open(tempName.c_str(), CZ4KFile::kOpenWrite)) {
            DeleteFileA(tempName.c_str());
            return false;
        }
        out.Write(content.data(), static_cast<UINT>(content.size()));
        out.Flush();
        out.Close();
    } catch (const CZ4KException&) {
        DeleteFileA(tempName.c_str());
        return false;
    }
    const TStdStr<char> path = m_path;
    Close();
    const bool moved = MoveFileExA(tempName.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!moved)
        DeleteFileA(tempName.c_str());
    const bool reopened = Open(path.c_str());
    return moved && reopened;
}
