#pragma once
// CShellAutoComplete: the shell's autocomplete object bound to an edit with a source list of the
// given class (autosuggest and Tab: options 17). Destroying it releases both.
#include "platform/AtlBase.h"

#include <windows.h>
#include <shldisp.h>

class CShellAutoComplete {
public:
    CShellAutoComplete(HWND edit, REFCLSID sourceClass);
    CShellAutoComplete(const CShellAutoComplete&) = delete;
    CShellAutoComplete& operator=(const CShellAutoComplete&) = delete;
    bool IsBound() const { return m_bound; }

private:
    CComPtr<IAutoComplete> m_autoComplete;
    CComPtr<IUnknown> m_source;
    bool m_bound = false;
};
