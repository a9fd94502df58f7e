#pragma once
// TWebBrowserEventSink<T>: the engine's DWebBrowserEvents2 sink as a table. T (the tab, a pane)
// derives from it and gives a static table of entries: the event's name, its DISPID, its exact
// argument types and a handler that receives the arguments in natural order. Invoke checks every
// call against the entry before the handler runs, so a call with the wrong number or types of
// arguments, named arguments or a null by-reference pointer is answered with an error and never
// reaches the handler.
//
// The sink is part of its owner and counts no references; the owner advises it after the engine
// exists and unadvises it before it goes (Unadvise is also safe to call twice).
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <cwchar>

template <class T>
struct TWebBrowserSinkEntry {
    const wchar_t* name;  // null ends the table
    DISPID dispid;        // -1: the entry's 1-based position
    UINT argumentCount;
    VARTYPE types[8];
    // arguments[0] is the first argument; the entry's types have been checked.
    void (*handler)(T& owner, VARIANTARG* const* arguments);
};

template <class T>
class TWebBrowserEventSink : public IDispatch {
public:
    TWebBrowserEventSink() = default;
    TWebBrowserEventSink(const TWebBrowserEventSink&) = delete;
    TWebBrowserEventSink& operator=(const TWebBrowserEventSink&) = delete;

    // Finds the engine's event connection point and advises; false on any failure.
    bool Advise(IWebBrowser2* browser)
    {
        if (!browser || m_cookie)
            return false;
        CComQIPtr<IConnectionPointContainer> container(browser);
        CComPtr<IConnectionPoint> point;
        if (!container || FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) || !point)
            return false;
        DWORD cookie = 0;
        if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie)) || !cookie)
            return false;
        m_cookie = cookie;
        m_browser = browser;
        return true;
    }
    void Unadvise()
    {
        if (!m_cookie || !m_browser)
            return;
        const DWORD cookie = m_cookie;
        m_cookie = 0;
        CComQIPtr<IConnectionPointContainer> container(m_browser);
        CComPtr<IConnectionPoint> point;
        if (container && SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) && point)
            point->Unadvise(cookie);
    }
    bool IsAdvised() const { return m_cookie != 0; }
    // True when the event's dispatch argument is the advised browser itself (not one of its frames).
    bool IsTopLevel(IDispatch* source) const
    {
        if (!source || !m_browser)
            return false;
        CComQIPtr<IDispatch> own(m_browser);
        CComPtr<IUnknown> a, b;
        if (!own || FAILED(own->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a))) ||
            FAILED(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b))))
            return false;
        return a.p == b.p;
    }

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_NULL) {
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetTypeInfoCount)(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids)
            return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            int position = 1;
            for (const auto* entry = T::GetSinkTable(); names[i] && entry->name; ++entry, ++position)
                if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry->name, -1, names[i], -1) ==
                    CSTR_EQUAL) {
                    ids[i] = entry->dispid == -1 ? position : entry->dispid;
                    break;
                }
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT* argumentError) override
    {
        if (params && params->cNamedArgs != 0 && flags != DISPATCH_PROPERTYPUT)
            return DISP_E_NONAMEDARGS;
        const TWebBrowserSinkEntry<T>* entry = Find(id);
        if (!entry)
            return DISP_E_MEMBERNOTFOUND;
        if (flags == DISPATCH_PROPERTYPUT && entry[1].name && entry[1].dispid == DISPID_PROPERTYPUT)
            ++entry;
        const UINT count = params ? params->cArgs : 0;
        if (count != entry->argumentCount || (count && !params->rgvarg) || count > 8)
            return DISP_E_BADPARAMCOUNT;
        VARIANTARG* arguments[8] = {};
        for (UINT i = 0; i < count; ++i) {
            VARIANTARG* argument = &params->rgvarg[count - 1 - i];
            if (argument->vt != entry->types[i] || ((argument->vt & VT_BYREF) && !argument->byref)) {
                if (argumentError)
                    *argumentError = count - 1 - i;
                return DISP_E_TYPEMISMATCH;
            }
            arguments[i] = argument;
        }
        if (result)
            ::VariantInit(result);
        try {
            entry->handler(static_cast<T&>(*this), arguments);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("TWebBrowserEventSink::Invoke");
        }
        return S_OK;
    }

    // The busy count: raised by top-level navigations and download begins, lowered by download
    // completions, 0 again at every top-level DocumentComplete.
    int m_busyCount = 0;

protected:
    ~TWebBrowserEventSink() = default;
    IWebBrowser2* AdvisedBrowser() const { return m_browser; }

private:
    static const TWebBrowserSinkEntry<T>* Find(DISPID id)
    {
        int position = 1;
        for (const auto* entry = T::GetSinkTable(); entry->name; ++entry, ++position)
            if ((entry->dispid == -1 ? position : entry->dispid) == id)
                return entry;
        return nullptr;
    }

    DWORD m_cookie = 0;
    CComPtr<IWebBrowser2> m_browser;
};

// Reading checked arguments.
inline BSTR SinkBstr(VARIANTARG* argument)
{
    return argument->vt == VT_BSTR ? argument->bstrVal : nullptr;
}
// A by-reference VARIANT that holds a BSTR (the URL of the navigation events), else null.
inline BSTR SinkRefBstr(VARIANTARG* argument)
{
    const VARIANT* inner = argument->vt == (VT_BYREF | VT_VARIANT) ? argument->pvarVal : nullptr;
    if (!inner)
        return nullptr;
    if (inner->vt == VT_BSTR)
        return inner->bstrVal;
    if (inner->vt == (VT_BYREF | VT_BSTR) && inner->pbstrVal)
        return *inner->pbstrVal;
    return nullptr;
}
