#pragma once
// The data exchange of the option pages: a check box bound to one bit of one of the settings'
// flag words (checked while the bit is clear when the binding is inverted), and a list bound to a
// bit through its first two entries. Loading reads the settings into the controls when a page
// opens; saving writes the controls back when it is applied. A control id the page lacks is
// skipped, so a binding table can never write a bit the user did not see.
#include "core/app/Settings.h"

#include <windows.h>

#include <span>

struct CCheckBinding {
    int controlId;
    EFlagWord word;
    DWORD mask;
    bool inverse;
};

// A drop-down list whose index 0 stands for the bit set and index 1 for the bit clear.
struct CListBitBinding {
    int controlId;
    EFlagWord word;
    DWORD mask;
};

void LoadCheckBindings(HWND page, const CSettings& settings, std::span<const CCheckBinding> bindings);
void SaveCheckBindings(HWND page, CSettings& settings, std::span<const CCheckBinding> bindings);
void LoadListBitBindings(HWND page, const CSettings& settings, std::span<const CListBitBinding> bindings);
void SaveListBitBindings(HWND page, CSettings& settings, std::span<const CListBitBinding> bindings);

// One bit of a flags word through a check box (checked = bit set): load when `save` is false.
void DdxCheckFlag(DWORD& flags, DWORD mask, HWND checkBox, bool save);
