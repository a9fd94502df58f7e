#include "frame/dialogs/FrameDialogHelpers.h"

#include <vector>

namespace {

constexpr int kMaxItemText = 2048;

TStdStr<char> WindowTextOf(HWND window)
{
    std::vector<char> text(kMaxItemText + 1, '\0');
    ::GetWindowTextA(window, text.data(), kMaxItemText + 1);
    return text.data();
}

}  // namespace

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
