// Connection-point advising and the exact type check of event arguments.
#include "platform/AtlDisp.h"

HRESULT AtlAdvise(IUnknown* pUnkCP, IUnknown* pUnk, const IID& iid, LPDWORD pdw) noexcept
{
    if (!pUnkCP || !pUnk || !pdw)
        return E_INVALIDARG;
    CComQIPtr<IConnectionPointContainer> container(pUnkCP);
    if (!container)
        return E_NOINTERFACE;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = container->FindConnectionPoint(iid, &point);
    if (SUCCEEDED(hr))
        hr = point->Advise(pUnk, pdw);
    return hr;
}

HRESULT AtlUnadvise(IUnknown* pUnkCP, const IID& iid, DWORD dw) noexcept
{
    if (!pUnkCP)
        return E_INVALIDARG;
    CComQIPtr<IConnectionPointContainer> container(pUnkCP);
    if (!container)
        return E_NOINTERFACE;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = container->FindConnectionPoint(iid, &point);
    if (SUCCEEDED(hr))
        hr = point->Unadvise(dw);
    return hr;
}

bool AtlSinkArgs::MatchesInfo(const _ATL_FUNC_INFO* info, const DISPPARAMS* params) noexcept
{
    if (!params || info->nParams < 0 || params->cArgs != static_cast<UINT>(info->nParams))
        return false;
    if (params->cNamedArgs != 0)
        return false; // events come positional; named arguments mean a caller we do not understand
    for (UINT i = 0; i < params->cArgs; ++i) {
        if (params->rgvarg[params->cArgs - 1 - i].vt != info->pVarTypes[i])
            return false;
    }
    return true;
}
