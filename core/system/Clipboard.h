#pragma once
// The clipboard's text and the registered clipboard formats the program exchanges.
#include "core/library/StdStr.h"

#include <windows.h>

// Puts at most `length` characters of the text on the (opened and emptied) clipboard as CF_TEXT.
bool CopyTextToClipboard(const char* text, size_t length);
// The clipboard's CF_TEXT; "" when absent.
TStdStr<char> GetClipboardText();
// The text of a global memory block of a text format, never read beyond the block's size.
TStdStr<char> GetGlobalMemoryText(HGLOBAL memory);

// The registered clipboard formats "HTML Format", "UniformResourceLocator" and
// "FileGroupDescriptor", registered once in that order.
struct ClipboardFormats {
    CLIPFORMAT html;
    CLIPFORMAT url;
    CLIPFORMAT fileGroupDescriptor;
};
const ClipboardFormats& GetClipboardFormats();
