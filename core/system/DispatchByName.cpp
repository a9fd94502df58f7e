#include "core/system/DispatchByName.h"

#include <exdisp.h>

#include <string>
#include <vector>

namespace {

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result)
{
    if (!object || !name)
        return E_POINTER;
    std::wstring copy(name);
    LPOLESTR names[] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(found))
        return found;
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result, nullptr, nullptr);
}

} // namespace

CComVariant GetByName(IDispatch* object, const wchar_t* name)
{
    DISPPARAMS none = {};
    CComVariant value;
    if (FAILED(Invoke(object, name, DISPATCH_PROPERTYGET, none, &value)))
        value.Clear();
    return value;
}

CComPtr<IDispatch> GetObjectByName(IDispatch* object, const wchar_t* name)
{
    CComVariant value = GetByName(object, name);
    CComPtr<IDispatch> result;
    if (value.vt == VT_DISPATCH && value.pdispVal)
        result = value.pdispVal;
    return result;
}

HRESULT PutByName(IDispatch* object, const wchar_t* name, const VARIANT& value)
{
    VARIANT argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    return Invoke(object, name, DISPATCH_PROPERTYPUT, params, nullptr);
}

HRESULT CallByName(IDispatch* object, const wchar_t* name, std::initializer_list<CComVariant> arguments,
                   VARIANT* result)
{
    // DISPPARAMS holds the arguments last first.
    std::vector<CComVariant> reversed(arguments.begin(), arguments.end());
    std::vector<VARIANT> raw;
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it)
        raw.push_back(*it);
    DISPPARAMS params = {raw.empty() ? nullptr : raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    CComVariant ignored;
    return Invoke(object, name, DISPATCH_METHOD, params, result ? result : &ignored);
}

CComPtr<IDispatch> PageDocument(IUnknown* page)
{
    CComPtr<IDispatch> document;
    if (!page)
        return document;
    CComPtr<IWebBrowser2> browser;
    if (SUCCEEDED(page->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser.p))) && browser)
        browser->get_Document(&document);
    else
        page->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document.p));
    return document;
}
