#pragma once
// UTF-8 codec between zero-terminated UTF-16 text and zero-terminated UTF-8 bytes. A null text
// counts as an empty one.
#include <cstddef>

// Encodes the UTF-16 text and writes a terminating zero; returns the number of bytes written
// without the zero. A surrogate pair becomes one four-byte sequence; a lone surrogate becomes
// U+FFFD. The buffer must hold 3 bytes per code unit plus 1.
size_t Utf16ToUtf8(const wchar_t* text, char* buffer);
// The same for a narrow text, first widened with the ANSI code page. The buffer must hold
// 3 bytes per input byte plus 1.
size_t Utf16ToUtf8(const char* text, char* buffer);

// Decodes the UTF-8 text and writes a terminating zero unit; returns the number of units written
// without the zero. Code points above U+FFFF become surrogate pairs. Every ill-formed sequence
// (stray continuation byte, overlong form, encoded surrogate, value above U+10FFFF, sequence cut
// short) gives one U+FFFD, and decoding never reads past the terminating zero. The buffer must
// hold one unit per input byte plus 1.
size_t Utf8ToUtf16(const char* text, wchar_t* buffer);
