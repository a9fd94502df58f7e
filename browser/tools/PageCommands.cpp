#include "browser/tools/PageCommands.h"

#include "platform/AtlCom.h"

#include <exdisp.h>
#include <oleauto.h>

#include <string>

namespace {

// Reads a property or calls a method of an automation object by name.
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result)
{
    if (!object)
        return E_POINTER;
    std::wstring copy(name);
    LPOLESTR names[] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(found))
        return found;
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result, nullptr, nullptr);
}

CComPtr<IDispatch> DocumentOf(IUnknown* page)
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

} // namespace

const char* ZoomScript(UINT command)
{
    static const struct {
        UINT command;
        const char* script;
    } kScripts[] = {
        {kZoom50Command, "document.body.style.zoom=0.5"},
        {kZoom80Command, "document.body.style.zoom=0.8"},
        {kZoom100Command, "document.body.style.zoom=1"},
        {kZoom150Command, "document.body.style.zoom=1.5"},
        {kZoom200Command, "document.body.style.zoom=2.0"},
        {kZoomInCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=1.1}else{document.body.style.zoom*=1.1}"},
        {kZoomOutCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=10.0/11}else{document.body.style.zoom*=10.0/11}"},
        {kZoomPageCommand, "if(document.body.style.zoom>1.5||document.body.style.zoom==''){document.body.style.zoom=1.5}"
                           "else{document.body.style.zoom=''}"},
    };
    for (const auto& entry : kScripts)
        if (entry.command == command)
            return entry.script;
    return nullptr;
}

void RunPageWindowScript(IUnknown* page, const char* code)
{
    CComPtr<IDispatch> document = DocumentOf(page);
    if (!document || !code)
        return;
    DISPPARAMS none = {};
    CComVariant window;
    if (FAILED(InvokeByName(document, L"parentWindow", DISPATCH_PROPERTYGET, none, &window)) ||
        window.vt != VT_DISPATCH || !window.pdispVal)
        return;
    // Arguments go in reverse: the language (empty: the default), then the code.
    CComVariant arguments[2] = {CComVariant(L""), CComVariant(code)};
    DISPPARAMS params = {arguments, nullptr, 2, 0};
    CComVariant result;
    InvokeByName(window.pdispVal, L"execScript", DISPATCH_METHOD, params, &result);
}

bool RunZoomCommand(IUnknown* page, UINT command)
{
    const char* script = ZoomScript(command);
    if (!script)
        return false;
    RunPageWindowScript(page, script);
    return true;
}
