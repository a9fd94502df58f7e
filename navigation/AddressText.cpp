#include "navigation/AddressText.h"

#include "core/library/Utf8.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

char LowerAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool NeedsEscape(unsigned char value)
{
    if (value < 0x20 || value > 0x7E)
        return true;
    return std::strchr(" \"`#$%&+,;<=>?@[\\]^{|}", value) != nullptr;
}

bool MatchesAt(const std::string& text, size_t at, const char* what)
{
    return text.compare(at, std::strlen(what), what) == 0;
}

}  // namespace

std::string EscapeQueryBytes(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto value = static_cast<unsigned char>(ch);
        if (NeedsEscape(value)) {
            out += '%';
            out += kHex[value >> 4];
            out += kHex[value & 0xF];
        } else {
            out += ch;
        }
        if (out.size() > kMaxAddressLength)
            return std::string();
    }
    return out;
}

std::string AnsiToUtf8(const std::string& ansi)
{
    // The query is cut at its first zero by the conversion, as every C text is.
    const std::string text(ansi.c_str());
    std::string buffer(text.size() * 3 + 1, '\0');
    buffer.resize(Utf16ToUtf8(text.c_str(), buffer.data()));
    return buffer;
}

std::string ExpandAddressTemplate(const std::string& addressTemplate, const std::string& ansiText)
{
    std::string utf8;
    std::string ansi;
    bool utf8Done = false;
    bool ansiDone = false;
    std::string out;
    for (size_t at = 0; at < addressTemplate.size();) {
        if (MatchesAt(addressTemplate, at, "%us")) {
            if (!utf8Done) {
                utf8 = EscapeQueryBytes(AnsiToUtf8(ansiText));
                utf8Done = true;
                if (utf8.empty() && !ansiText.empty())
                    return std::string();
            }
            out += utf8;
            at += 3;
        } else if (MatchesAt(addressTemplate, at, "%s")) {
            if (!ansiDone) {
                ansi = EscapeQueryBytes(ansiText);
                ansiDone = true;
                if (ansi.empty() && !ansiText.empty())
                    return std::string();
            }
            out += ansi;
            at += 2;
        } else {
            out += addressTemplate[at++];
        }
        if (out.size() > kMaxAddressLength)
            return std::string();
    }
    return out;
}

std::string ComposeServiceTemplate(const std::string& categoryTemplate, const std::string& value)
{
    if (categoryTemplate.empty())
        return value;
    std::string out;
    for (size_t at = 0; at < categoryTemplate.size();) {
        if (MatchesAt(categoryTemplate, at, "%code")) {
            out += value;
            at += 5;
        } else {
            out += categoryTemplate[at++];
        }
    }
    return out;
}

std::string TrimBlanks(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    }
    return true;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    // The system's comparison, as the combo box's CB_FINDSTRINGEXACT and the INI keys compare:
    // letters of the ANSI code page beyond ASCII match their other case too.
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool IsLocalPathText(const std::string& text)
{
    if (text.size() >= 3 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
        text[1] == ':' && (text[2] == '\\' || text[2] == '/'))
        return true;
    if (text.size() >= 3 && text[0] == '\\' && text[1] == '\\')
        return true;
    return StartsWithNoCase(text, "file:");
}

CTypedDecision ClassifyTypedText(const std::string& text, const AliasLookup& lookup)
{
    CTypedDecision decision;
    const std::string resolved = lookup ? lookup(text) : text;
    decision.text = TrimBlanks(resolved);
    if (decision.text.empty()) {
        // Blank text is no search: an empty query does nothing.
        decision.kind = CTypedDecision::kNothing;
        return decision;
    }
    if (StartsWithNoCase(decision.text, "http://") || StartsWithNoCase(decision.text, "https://") ||
        IsLocalPathText(decision.text)) {
        // A local path holds blanks often ("C:\My Files\a.htm"); it is opened, never sent to a
        // search engine.
        decision.kind = CTypedDecision::kAddress;
        return decision;
    }
    const std::string& t = decision.text;
    const bool hasBlank = t.find_first_of(" \t") != std::string::npos;
    const bool looksLikeHost = t.find('.') != std::string::npos || t.find(':') != std::string::npos ||
                               t.find("localhost") != std::string::npos;
    decision.kind = (hasBlank || !looksLikeHost) ? CTypedDecision::kSearch : CTypedDecision::kAddress;
    return decision;
}

std::string CompleteDomain(const std::string& text, const std::string& domainTemplate)
{
    if (domainTemplate.empty() || text.find('.') != std::string::npos || text.find("://") != std::string::npos ||
        StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://"))
        return text;
    std::string out;
    for (size_t at = 0; at < domainTemplate.size();) {
        if (MatchesAt(domainTemplate, at, "%DOMAIN%")) {
            out += text;
            at += 8;
        } else {
            out += domainTemplate[at++];
        }
    }
    return out;
}

void MruInsert(std::vector<std::string>& list, const std::string& text, size_t capacity)
{
    if (text.empty() || capacity == 0)
        return;
    bool removed = false;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (EqualNoCase(*it, text)) {
            list.erase(it);
            removed = true;
            break;
        }
    }
    if (!removed) {
        while (list.size() >= capacity)
            list.pop_back();
    }
    list.insert(list.begin(), text);
}

int BarKeyDecision(unsigned virtualKey, bool shift, bool control, unsigned long keyData, bool f4OpensList)
{
    constexpr unsigned long kAltContextBit = 1UL << 29;
    if (virtualKey == VK_F4)
        return (f4OpensList && !shift && !control) ? 2 : 0;
    const bool moveKey = (virtualKey >= VK_LEFT && virtualKey <= VK_DOWN) || virtualKey == VK_HOME ||
                         virtualKey == VK_END;
    if (moveKey && (shift || control))
        return 2;
    if (virtualKey == VK_RETURN)
        return 2;
    if (virtualKey >= 1 && virtualKey <= 47 && !(keyData & kAltContextBit) && !shift && !control)
        return 2;
    return 0;
}
