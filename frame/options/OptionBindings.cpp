#include "frame/options/OptionBindings.h"

#include <commctrl.h>

namespace {

bool BitOf(const CSettings& settings, EFlagWord word, DWORD mask)
{
    return (settings.GetFlagWord(word) & mask) != 0;
}

void SetBit(CSettings& settings, EFlagWord word, DWORD mask, bool set)
{
    const DWORD value = settings.GetFlagWord(word);
    settings.SetFlagWord(word, set ? (value | mask) : (value & ~mask));
}

}  // namespace

void DdxCheckFlag(DWORD& flags, DWORD mask, HWND checkBox, bool save)
{
    if (!checkBox)
        return;
    if (save) {
        const bool checked = ::SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
        flags = checked ? (flags | mask) : (flags & ~mask);
    } else {
        ::SendMessageA(checkBox, BM_SETCHECK, (flags & mask) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void LoadCheckBindings(HWND page, const CSettings& settings, std::span<const CCheckBinding> bindings)
{
    for (const CCheckBinding& binding : bindings) {
        HWND box = ::GetDlgItem(page, binding.controlId);
        if (!box)
            continue;
        const bool checked = BitOf(settings, binding.word, binding.mask) != binding.inverse;
        ::SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void SaveCheckBindings(HWND page, CSettings& settings, std::span<const CCheckBinding> bindings)
{
    for (const CCheckBinding& binding : bindings) {
        HWND box = ::GetDlgItem(page, binding.controlId);
        if (!box)
            continue;
        const bool checked = ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SetBit(settings, binding.word, binding.mask, checked != binding.inverse);
    }
}

void LoadListBitBindings(HWND page, const CSettings& settings, std::span<const CListBitBinding> bindings)
{
    for (const CListBitBinding& binding : bindings) {
        if (HWND list = ::GetDlgItem(page, binding.controlId))
            ::SendMessageA(list, CB_SETCURSEL, BitOf(settings, binding.word, binding.mask) ? 0 : 1, 0);
    }
}

void SaveListBitBindings(HWND page, CSettings& settings, std::span<const CListBitBinding> bindings)
{
    for (const CListBitBinding& binding : bindings) {
        HWND list = ::GetDlgItem(page, binding.controlId);
        if (!list)
            continue;
        // No selection (a list the user never opened is always set on load) counts as the
        // first entry rather than leaving the bit to a stale value.
        const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
        SetBit(settings, binding.word, binding.mask, index != 1);
    }
}
