#include "core/system/StringResources.h"

#include <string>

const WCHAR* FindStringResource(HINSTANCE module, UINT id, int* length)
{
    if (length)
        *length = 0;
    // Strings live in blocks of sixteen: block id / 16 + 1, entry id mod 16.
    HRSRC block = ::FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!block)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, block);
    const DWORD size = ::SizeofResource(module, block);
    const WCHAR* entry = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (!entry)
        return nullptr;
    const WCHAR* end = entry + size / sizeof(WCHAR);
    for (UINT i = 0; i < id % 16; ++i) {
        if (entry >= end)
            return nullptr;
        entry += 1 + *entry;
    }
    // An entry that would run past the block is treated as missing.
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return nullptr;
    if (length)
        *length = *entry;
    return entry + 1;
}

TStdStr<char> LoadStringResource(HINSTANCE module, UINT id)
{
    int length = 0;
    const WCHAR* text = FindStringResource(module, id, &length);
    if (!text)
        return TStdStr<char>();
    return TStdStr<char>(std::wstring(text, length).c_str());
}
