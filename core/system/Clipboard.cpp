#include "core/system/Clipboard.h"

#include <cstring>

TStdStr<char> GetGlobalMemoryText(HGLOBAL memory)
{
    const char* text = static_cast<const char*>(::GlobalLock(memory));
    if (!text)
        return TStdStr<char>();
    const size_t size = ::GlobalSize(memory);
    TStdStr<char> result(text, strnlen(text, size));
    ::GlobalUnlock(memory);
    return result;
}

bool CopyTextToClipboard(const char* text, size_t length)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!memory)
        return false;
    if (char* bytes = static_cast<char*>(::GlobalLock(memory))) {
        if (text)
            std::memcpy(bytes, text, strnlen(text, length));
        ::GlobalUnlock(memory);
    }
    if (!::SetClipboardData(CF_TEXT, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    return true;
}

TStdStr<char> GetClipboardText()
{
    if (!::OpenClipboard(nullptr))
        return TStdStr<char>();
    TStdStr<char> text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT))
        text = GetGlobalMemoryText(data);
    ::CloseClipboard();
    return text;
}

const ClipboardFormats& GetClipboardFormats()
{
    static const ClipboardFormats formats = {
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("HTML Format")),
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("UniformResourceLocator")),
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("FileGroupDescriptor")),
    };
    return formats;
}
