// Automation: connection-point advising, a small IDispatch implementation over a type library, and
// event sinks whose handlers are typed member functions.
//
// The event sink needs no machine-code thunk and no DispCallFunc: each sink entry is compiled into
// a small function that takes the arguments out of DISPPARAMS (which lists them last first), by the
// handler's own parameter types, and calls the handler directly.
#pragma once
#include <ocidl.h>
#include <olectl.h>
#include <tuple>
#include <type_traits>
#include "platform/AtlCom.h"

HRESULT AtlAdvise(IUnknown* pUnkCP, IUnknown* pUnk, const IID& iid, LPDWORD pdw) noexcept;
HRESULT AtlUnadvise(IUnknown* pUnkCP, const IID& iid, DWORD dw) noexcept;

// ---------------------------------------------------------------------------------------------
// IDispatch for a dual interface T described by a registered type library; without one (plibid
// null) the object has no names and no members to invoke.

template <class T, const IID* piid = nullptr, const GUID* plibid = nullptr, WORD wMajor = 1, WORD wMinor = 0>
class IDispatchImpl : public T
{
public:
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override
    {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = TypeInfo() ? 1 : 0;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT itinfo, LCID, ITypeInfo** pptinfo) override
    {
        if (!pptinfo)
            return E_POINTER;
        *pptinfo = nullptr;
        if (itinfo != 0)
            return DISP_E_BADINDEX;
        ITypeInfo* info = TypeInfo();
        if (!info)
            return E_NOTIMPL;
        info->AddRef();
        *pptinfo = info;
        return S_OK;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgdispid) override
    {
        ITypeInfo* info = TypeInfo();
        if (!info) {
            for (UINT i = 0; i < cNames; ++i)
                rgdispid[i] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        return info->GetIDsOfNames(rgszNames, cNames, rgdispid);
    }
    STDMETHOD(Invoke)(DISPID dispidMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pdispparams, VARIANT* pvarResult,
                      EXCEPINFO* pexcepinfo, UINT* puArgErr) override
    {
        ITypeInfo* info = TypeInfo();
        if (!info)
            return DISP_E_MEMBERNOTFOUND;
        return info->Invoke(static_cast<T*>(this), dispidMember, wFlags, pdispparams, pvarResult, pexcepinfo, puArgErr);
    }

private:
    // Loaded once per interface and kept for the process's life.
    static ITypeInfo* TypeInfo() noexcept
    {
        if (!plibid)
            return nullptr;
        static ITypeInfo* const info = [] {
            ITypeLib* library = nullptr;
            ITypeInfo* found = nullptr;
            if (SUCCEEDED(::LoadRegTypeLib(*plibid, wMajor, wMinor, LOCALE_USER_DEFAULT, &library))) {
                library->GetTypeInfoOfGuid(piid ? *piid : __uuidof(T), &found);
                library->Release();
            }
            return found;
        }();
        return info;
    }
};

// ---------------------------------------------------------------------------------------------
// Event sinks.

// What a handler expects: the argument types, for an exact check before the call.
struct _ATL_FUNC_INFO
{
    CALLCONV cc;
    VARTYPE vtReturn;
    SHORT nParams;
    VARTYPE pVarTypes[12];
};

using _AtlSinkInvoker = HRESULT (*)(void* self, DISPPARAMS* params, VARIANT* result);

struct _ATL_EVENT_ENTRY
{
    UINT nControlID;            // which of the object's sinks (the nID of IDispEventSimpleImpl)
    const IID* piid;            // its event interface
    DISPID dispid;
    const _ATL_FUNC_INFO* pInfo; // null: no type check
    _AtlSinkInvoker pfnInvoke;   // null ends the map
};

// Taking one argument out of its VARIANT, by the parameter type the handler declares. A VARIANT*
// parameter gets the VARIANT itself; by-reference VARIANTs are looked through for value types.
namespace AtlSinkArgs {

inline const VARIANT& Deref(const VARIANT& v) noexcept
{
    return (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) ? *v.pvarVal : v;
}

template <class P>
bool Get(VARIANT& v, P& out) noexcept
{
    const VARIANT& d = Deref(v);
    if constexpr (std::is_same_v<P, VARIANT*>) {
        out = &v;
        return true;
    } else if constexpr (std::is_same_v<P, IDispatch*>) {
        if (d.vt == VT_DISPATCH) { out = d.pdispVal; return true; }
        if (d.vt == (VT_BYREF | VT_DISPATCH)) { out = *d.ppdispVal; return true; }
        if (d.vt == VT_EMPTY || d.vt == VT_NULL) { out = nullptr; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, IDispatch**>) {
        if (d.vt == (VT_BYREF | VT_DISPATCH)) { out = d.ppdispVal; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, IUnknown*>) {
        if (d.vt == VT_UNKNOWN || d.vt == VT_DISPATCH) { out = d.punkVal; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, BSTR>) {
        if (d.vt == VT_BSTR) { out = d.bstrVal; return true; }
        if (d.vt == (VT_BYREF | VT_BSTR)) { out = *d.pbstrVal; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, VARIANT_BOOL*>) {
        if (d.vt == (VT_BYREF | VT_BOOL)) { out = d.pboolVal; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, VARIANT_BOOL>) {
        if (d.vt == VT_BOOL) { out = d.boolVal; return true; }
        return false;
    } else if constexpr (std::is_same_v<P, long*>) {
        if (d.vt == (VT_BYREF | VT_I4)) { out = d.plVal; return true; }
        return false;
    } else if constexpr (std::is_integral_v<P> || std::is_floating_point_v<P>) {
        VARIANT converted;
        ::VariantInit(&converted);
        const VARTYPE want = std::is_floating_point_v<P> ? VT_R8 : VT_I4;
        if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&d), 0, want)))
            return false;
        out = std::is_floating_point_v<P> ? static_cast<P>(converted.dblVal) : static_cast<P>(converted.lVal);
        return true;
    } else {
        static_assert(sizeof(P) == 0, "unsupported event handler parameter type");
        return false;
    }
}

template <class T, class R, class... A, class F, size_t... I>
HRESULT Call(T* self, F fn, DISPPARAMS* params, VARIANT* result, std::index_sequence<I...>)
{
    constexpr UINT count = sizeof...(A);
    if (!params || params->cArgs != count)
        return DISP_E_BADPARAMCOUNT;
    std::tuple<std::decay_t<A>...> args;
    // DISPPARAMS holds the last argument first.
    const bool ok = (Get(params->rgvarg[count - 1 - I], std::get<I>(args)) && ...);
    if (!ok)
        return DISP_E_TYPEMISMATCH;
    if constexpr (std::is_void_v<R>) {
        (self->*fn)(std::get<I>(args)...);
        (void)result;
    } else {
        const R value = (self->*fn)(std::get<I>(args)...);
        if (result) {
            CComVariant answer(value);
            answer.Detach(result);
        }
    }
    return S_OK;
}

// The class, result and parameters of a handler's member function type.
template <class F>
struct HandlerTraits;

template <class T, class R, class... A>
struct HandlerTraits<R (T::*)(A...)>
{
    using Class = T;
    using Result = R;
    using Args = std::tuple<A...>;
};

#ifndef _WIN64
// On 32-bit Windows the calling convention is part of a member function's type.
template <class T, class R, class... A>
struct HandlerTraits<R (__stdcall T::*)(A...)>
{
    using Class = T;
    using Result = R;
    using Args = std::tuple<A...>;
};
#endif

template <class T, class R, class F, class Tuple>
struct Caller;

template <class T, class R, class F, class... A>
struct Caller<T, R, F, std::tuple<A...>>
{
    static HRESULT Run(T* self, F fn, DISPPARAMS* params, VARIANT* result)
    {
        return Call<T, R, A...>(self, fn, params, result, std::index_sequence_for<A...>{});
    }
};

template <auto Fn>
struct Invoker
{
    using Traits = HandlerTraits<decltype(Fn)>;
    static HRESULT Invoke(void* self, DISPPARAMS* params, VARIANT* result)
    {
        using T = typename Traits::Class;
        return Caller<T, typename Traits::Result, decltype(Fn), typename Traits::Args>::Run(static_cast<T*>(self), Fn,
                                                                                          params, result);
    }
};

// True when the arguments have exactly the types the handler's description lists.
bool MatchesInfo(const _ATL_FUNC_INFO* info, const DISPPARAMS* params) noexcept;

} // namespace AtlSinkArgs

#define BEGIN_SINK_MAP(_class)                               \
    using _atl_event_classtype = _class;                     \
    static const _ATL_EVENT_ENTRY* _GetSinkMap()             \
    {                                                        \
        static const _ATL_EVENT_ENTRY map[] = {

#define SINK_ENTRY_INFO(id, iid, dispid, fn, info) \
    {id, &(iid), dispid, info, &AtlSinkArgs::Invoker<&_atl_event_classtype::fn>::Invoke},
#define SINK_ENTRY_EX(id, iid, dispid, fn) \
    {id, &(iid), dispid, nullptr, &AtlSinkArgs::Invoker<&_atl_event_classtype::fn>::Invoke},

#define END_SINK_MAP()                    \
    {0, nullptr, 0, nullptr, nullptr}     \
    }                                     \
    ;                                     \
    return map;                           \
    }

// One sink of class T for the event interface *pdiid; T lists its handlers in a sink map under
// the control id nID. The sink is part of T and counts no references.
template <UINT nID, class T, const IID* pdiid>
class IDispEventSimpleImpl : public IDispatch
{
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IDispatch) || ::IsEqualIID(riid, *pdiid)) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override
    {
        if (pctinfo)
            *pctinfo = 0;
        return E_NOTIMPL;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // An event without a handler is accepted and ignored. A handler that throws is reported and the
    // event source gets a failure, not the exception: it is COM code, often another module's.
    STDMETHOD(Invoke)(DISPID dispidMember, REFIID, LCID, WORD, DISPPARAMS* pdispparams, VARIANT* pvarResult,
                      EXCEPINFO*, UINT*) override
    {
        for (const _ATL_EVENT_ENTRY* entry = T::_GetSinkMap(); entry->pfnInvoke; ++entry) {
            if (entry->nControlID != nID || entry->dispid != dispidMember || !::IsEqualIID(*entry->piid, *pdiid))
                continue;
            if (entry->pInfo && !AtlSinkArgs::MatchesInfo(entry->pInfo, pdispparams))
                return DISP_E_TYPEMISMATCH;
            try {
                return entry->pfnInvoke(static_cast<T*>(this), pdispparams, pvarResult);
            } catch (...) {
                return ReportCaughtExceptionAsHresult("event sink");
            }
        }
        return S_OK;
    }

    HRESULT DispEventAdvise(IUnknown* pUnk, const IID* piid = pdiid) noexcept
    {
        if (m_dwEventCookie != 0xFEFEFEFE)
            return E_UNEXPECTED; // advised already
        DWORD cookie = 0;
        const HRESULT hr = AtlAdvise(pUnk, static_cast<IDispatch*>(this), *piid, &cookie);
        if (SUCCEEDED(hr))
            m_dwEventCookie = cookie;
        return hr;
    }
    HRESULT DispEventUnadvise(IUnknown* pUnk, const IID* piid = pdiid) noexcept
    {
        if (m_dwEventCookie == 0xFEFEFEFE)
            return S_FALSE;
        const HRESULT hr = AtlUnadvise(pUnk, *piid, m_dwEventCookie);
        m_dwEventCookie = 0xFEFEFEFE;
        return hr;
    }

    DWORD m_dwEventCookie = 0xFEFEFEFE; // the value for "not advised"

protected:
    ~IDispEventSimpleImpl() = default;
};
