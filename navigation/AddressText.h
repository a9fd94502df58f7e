#pragma once
// The text rules of the navigation bars, free of windows: URL escaping of a query, the address
// templates ("%us" the text in UTF-8, "%s" the text in the ANSI code page, both URL-escaped;
// "%DOMAIN%" the completed word; "%code" a service's value), the classification of a typed text
// as an address or a search, and the most-recent-first lists of typed addresses and searches.
#include <functional>
#include <string>
#include <vector>

// The longest address the program builds: 2083 characters (the engine's limit without the zero).
constexpr size_t kMaxAddressLength = 2083;

// Percent-escapes the bytes below 0x20 or above 0x7E, the blank and " ` # $ % & + , ; < = > ? @
// [ \ ] ^ { | } as "%" and two lower-case hex digits. Unlike the core's EscapeUrl the "%" itself
// is escaped too, because a query is text, not an address: "%41" must reach the engine as typed.
// Empty when the result would be longer than kMaxAddressLength.
std::string EscapeQueryBytes(const std::string& bytes);

// The ANSI text in UTF-8 (through UTF-16; a surrogate pair becomes one four-byte sequence).
std::string AnsiToUtf8(const std::string& ansi);

// The template with every "%us" replaced by the text in UTF-8, escaped, and every "%s" by the
// text's ANSI bytes, escaped, in one pass over the template alone, so that a text holding "%s"
// is never substituted into itself. Empty when the text's escaped form or the whole address is
// longer than kMaxAddressLength: the caller then opens nothing rather than an empty search.
std::string ExpandAddressTemplate(const std::string& addressTemplate, const std::string& ansiText);

// Every "%code" of the category template replaced by the service's value (one pass); the value
// itself when the category has no template.
std::string ComposeServiceTemplate(const std::string& categoryTemplate, const std::string& value);

// Trims blanks (space, tab, CR, LF) at both ends.
std::string TrimBlanks(const std::string& text);
bool StartsWithNoCase(const std::string& text, const char* prefix);
bool EqualNoCase(const std::string& a, const std::string& b);

// True for text that names a local file or folder: "X:\", "X:/", "\\server" or "file:".
bool IsLocalPathText(const std::string& text);

// What a text typed into the address bar becomes.
struct CTypedDecision {
    enum EKind { kNothing, kAddress, kSearch };
    EKind kind = kNothing;
    std::string text;  // the address to open or the query to search, trimmed
};

// Looks up an alias (before trimming, so " mail " is not the alias "mail"); gives back the text
// itself when it is none.
using AliasLookup = std::function<std::string(const std::string&)>;

// The alias, then: blank text does nothing; "http://", "https://" and local paths are addresses;
// text with a blank, or with none of ".", ":" and "localhost", is a search; the rest is an
// address. The typed-address list takes the trimmed text of an address.
CTypedDecision ClassifyTypedText(const std::string& text, const AliasLookup& lookup);

// The completion of a bare word with a domain template (every "%DOMAIN%" replaced by the word).
// No template applies to text with a scheme or a dot (it already names a host: "www.x.com" is
// not wrapped again into "www.www.x.com.com"), nor to an empty template.
std::string CompleteDomain(const std::string& text, const std::string& domainTemplate);

// Puts the text at the top of the list: an entry equal to it without regard to case goes first,
// else the last one when the list holds `capacity` entries.
void MruInsert(std::vector<std::string>& list, const std::string& text, size_t capacity);

// The key decision of the bars' message filter: 2 when the key must go to the bar's edit rather
// than to the frame's accelerators, 0 otherwise. `keyData` is the message's lParam.
int BarKeyDecision(unsigned virtualKey, bool shift, bool control, unsigned long keyData, bool f4OpensList);
