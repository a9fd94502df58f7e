// Module-wide state of the class library: the lock count, the instance handles, the throw hook.
#include "platform/AtlCom.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

LONG g_lockCount = 0;
HINSTANCE g_instance = nullptr;
HINSTANCE g_resourceInstance = nullptr;
AtlThrowHook g_throwHook = nullptr;

} // namespace

LONG AtlModuleLock() noexcept
{
    return ::InterlockedIncrement(&g_lockCount);
}

LONG AtlModuleUnlock() noexcept
{
    return ::InterlockedDecrement(&g_lockCount);
}

LONG AtlModuleGetLockCount() noexcept
{
    return ::InterlockedCompareExchange(&g_lockCount, 0, 0);
}

HINSTANCE AtlGetModuleInstance() noexcept
{
    return g_instance ? g_instance : reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE AtlGetResourceInstance() noexcept
{
    return g_resourceInstance ? g_resourceInstance : AtlGetModuleInstance();
}

void AtlSetModuleInstance(HINSTANCE instance, HINSTANCE resourceInstance) noexcept
{
    g_instance = instance;
    g_resourceInstance = resourceInstance ? resourceInstance : instance;
}

void AtlSetThrowHook(AtlThrowHook hook) noexcept
{
    g_throwHook = hook;
}

void AtlThrow(HRESULT hr)
{
    if (g_throwHook)
        g_throwHook(hr);
    throw hr;
}

void AtlThrowLastWin32()
{
    AtlThrow(AtlHresultFromLastError());
}

HRESULT AtlRegisterClassObjects(_ATL_OBJMAP_ENTRY* map, DWORD context, DWORD flags) noexcept
{
    if (!map)
        return S_OK;
    for (_ATL_OBJMAP_ENTRY* entry = map; entry->pclsid; ++entry) {
        if (entry->pCF)
            continue; // registered already
        IUnknown* factory = nullptr;
        HRESULT hr = entry->pfnGetClassObject(reinterpret_cast<void*>(entry->pfnCreateInstance), IID_IUnknown,
                                              reinterpret_cast<void**>(&factory));
        if (SUCCEEDED(hr)) {
            hr = ::CoRegisterClassObject(*entry->pclsid, factory, context, flags, &entry->dwRegister);
            if (FAILED(hr)) {
                factory->Release();
                factory = nullptr;
            }
        }
        if (FAILED(hr))
            return hr;
        entry->pCF = factory;
    }
    return S_OK;
}

HRESULT AtlRevokeClassObjects(_ATL_OBJMAP_ENTRY* map) noexcept
{
    HRESULT result = S_OK;
    if (!map)
        return result;
    for (_ATL_OBJMAP_ENTRY* entry = map; entry->pclsid; ++entry) {
        if (!entry->pCF)
            continue;
        const HRESULT hr = ::CoRevokeClassObject(entry->dwRegister);
        if (FAILED(hr))
            result = hr;
        entry->pCF->Release();
        entry->pCF = nullptr;
        entry->dwRegister = 0;
    }
    return result;
}

HRESULT AtlGetClassObject(_ATL_OBJMAP_ENTRY* map, REFCLSID clsid, REFIID iid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (_ATL_OBJMAP_ENTRY* entry = map; entry && entry->pclsid; ++entry) {
        if (::IsEqualCLSID(*entry->pclsid, clsid)) {
            if (entry->pCF)
                return entry->pCF->QueryInterface(iid, ppv);
            return entry->pfnGetClassObject(reinterpret_cast<void*>(entry->pfnCreateInstance), iid, ppv);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
