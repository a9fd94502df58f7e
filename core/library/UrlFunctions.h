#pragma once
// String-in, string-out operations on URLs over CUrl, and a few small text helpers.
#include "core/library/StdStr.h"
#include "core/library/Url.h"

#include <cstddef>
#include <cstdint>

// Percent-escapes every byte below 0x20 or above 0x7E and each of the blank, the double quote,
// the grave accent and # $ & + , ; < = > ? @ [ \ ] ^ { | } as "%" and two lower-case hex digits
// ("%" itself stays). Empty when the result would exceed kMaxUrlLength - 1 characters.
TStdStr<char> EscapeUrl(const char* text);

// The URL composed from the object (CUrl::CreateUrl flags); empty on failure.
TStdStr<char> ComposeUrl(const CUrl& url, unsigned flags = 0);

// Resolves an address against a parsed base URL: a full URL is returned unchanged, "//host/..."
// takes the base's scheme, "/..." or "\..." replaces the base's path, "?..." the base's query,
// "#..." the base's fragment, anything else replaces the base's last path segment. Query and fragment are split off (not for file URLs), the result is
// canonicalised. Empty when the result cannot be composed or does not parse.
TStdStr<char> ResolveRelativeUrl(const CUrl& base, const char* address);

// The site root of a typed address ("Example.com/page" gives "http://example.com/"), lower-case.
// A text that does not parse, even with "http://" in front, and an address without a host
// ("about:blank", "mailto:...", "file:///c:/") are returned trimmed.
TStdStr<char> CompleteUrl(const char* text);

// The address one level up: the enclosing folder of the path ("http://a.com/x/y/" gives
// "http://a.com/x/"), and at the root of a host such as "mail.example.com" the same root of
// "www.example.com". Roots of two-label hosts ("example.com"), of numeric addresses and of "www"
// hosts, and texts that do not parse, are returned trimmed.
TStdStr<char> GetParentUrl(const char* text);

// True when the text parses with a non-empty host and the scheme http, https or ftp.
bool IsWebUrl(const char* text);

// "%u.%u.%u.%u" of the four bytes, lowest byte first.
TStdStr<char> FormatDottedQuad(uint32_t address);

void CopyMemoryBlock(void* destination, const void* source, size_t count);

// Copies a text of at most kMaxHostNameLength characters with its zero into a destination of
// kMaxHostNameLength + 1 bytes and stores its length; false (nothing copied) for a longer text.
bool CopyBoundedText(char* destination, const char* text, int* length);
