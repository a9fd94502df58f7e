#include "core/system/DialogFunctions.h"

#include "core/app/LanguageManager.h"

TStdStr<char> MakeFileDialogFilter(const std::vector<std::pair<const char*, const char*>>& pairs)
{
    TStdStr<char> filter;
    for (const auto& [description, pattern] : pairs) {
        filter += TranslateText(description);
        filter += '\0';
        filter += pattern ? pattern : "";
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

void DdxCheckFlag(HWND dialog, int controlId, DWORD& flags, DWORD mask, bool saving)
{
    if (saving) {
        if (::IsDlgButtonChecked(dialog, controlId) == BST_CHECKED)
            flags |= mask;
        else
            flags &= ~mask;
    } else {
        ::CheckDlgButton(dialog, controlId, (flags & mask) ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool RemoveFile(const char* path) { return path && ::DeleteFileA(path) != FALSE; }
