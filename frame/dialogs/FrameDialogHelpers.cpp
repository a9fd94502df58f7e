#include "frame/dialogs/FrameDialogHelpers.h"

#include "core/app/LanguageManager.h"

#include <vector>

namespace {

constexpr int kMaxItemText = 2048;

TStdStr<char> WindowTextOf(HWND window)
{
    std::vector<char> text(kMaxItemText + 1, '\0');
    ::GetWindowTextA(window, text.data(), kMaxItemText + 1);
    return text.data();
}

BOOL CALLBACK TranslateChild(HWND child, LPARAM)
{
    char className[32] = {};
    ::GetClassNameA(child, className, sizeof(className));
    // An edit's or a combo box's text is the user's, not a label.
    if (_stricmp(className, "Edit") == 0 || _stricmp(className, "ComboBox") == 0)
        return TRUE;
    const TStdStr<char> text = WindowTextOf(child);
    if (!text.empty()) {
        const CStdString translated = TranslateText(text.c_str());
        if (translated != text.c_str())
            ::SetWindowTextA(child, translated.c_str());
    }
    return TRUE;
}

}  // namespace

void TranslateDialogTexts(HWND dialog)
{
    if (!dialog)
        return;
    TranslateChild(dialog, 0);
    ::EnumChildWindows(dialog, TranslateChild, 0);
}

bool IsItemChecked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetItemChecked(HWND dialog, int id, bool checked)
{
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

TStdStr<char> GetItemText(HWND dialog, int id)
{
    return WindowTextOf(::GetDlgItem(dialog, id));
}

TStdStr<char> TrimmedText(const TStdStr<char>& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t'))
        --last;
    return text.substr(first, last - first);
}
