#include "browser/BrowserStrings.h"

#include "platform/AtlBase.h"

TStdStr<char> BrowserString(UINT id, const char* fallback)
{
    char buffer[512] = {};
    const int length = ::LoadStringA(AtlGetResourceInstance(), id, buffer, sizeof(buffer));
    return length > 0 ? TStdStr<char>(buffer, static_cast<size_t>(length)) : TStdStr<char>(fallback ? fallback : "");
}

TStdStr<char> CutWithEllipsis(const TStdStr<char>& text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    if (limit <= 3)
        return TStdStr<char>(limit, '.');
    return TStdStr<char>(text.c_str(), limit - 3) + "...";
}

TStdStr<char> NarrowText(const wchar_t* text)
{
    if (!text || !*text)
        return TStdStr<char>();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return TStdStr<char>();
    TStdStr<char> narrow(static_cast<size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}
