// Connection-point advising and the exact type check of event arguments.
#include "platform/AtlDisp.h"

namespace {

HRESULT FindConnectionPoint(IUnknown* pUnkCP, const IID& iid, IConnectionPoint** point) noexcept
{
    if (!pUnkCP)
        return E_INVALIDARG;
    CComQIPtr<IConnectionPointContainer> container(pUnkCP);
    if (!container)
        return E_NOINTERFACE;
    return container->FindConnectionPoint(iid, point);
}

} // namespace

HRESULT AtlAdvise(IUnknown* pUnkCP, IUnknown* pUnk, const IID& iid, LPDWORD pdw) noexcept
{
    if (!pUnk || !pdw)
        return E_INVALIDARG;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = FindConnectionPoint(pUnkCP, iid, &point);
    return SUCCEEDED(hr) ? point->Advise(pUnk, pdw) : hr;
}

HRESULT AtlUnadvise(IUnknown* pUnkCP, const IID& iid, DWORD dw) noexcept
{
    CComPtr<IConnectionPoint> point;
    HRESULT hr = FindConnectionPoint(pUnkCP, iid, &point);
    return SUCCEEDED(hr) ? point->Unadvise(dw) : hr;
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
