#include "core/system/ShellAutoComplete.h"

#include <shlguid.h>

CShellAutoComplete::CShellAutoComplete(HWND edit, REFCLSID sourceClass)
{
    if (FAILED(::CoCreateInstance(CLSID_AutoComplete, nullptr, CLSCTX_INPROC_SERVER, IID_IAutoComplete,
                                  reinterpret_cast<void**>(&m_autoComplete.p))) ||
        !m_autoComplete)
        return;
    if (FAILED(::CoCreateInstance(sourceClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&m_source.p))) ||
        !m_source || FAILED(m_autoComplete->Init(edit, m_source, nullptr, nullptr)))
        return;
    CComPtr<IAutoComplete2> options;
    if (SUCCEEDED(m_autoComplete->QueryInterface(IID_IAutoComplete2, reinterpret_cast<void**>(&options.p))) && options)
        options->SetOptions(ACO_AUTOSUGGEST | ACO_USETAB);
    m_bound = true;
}
