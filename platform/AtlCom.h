// COM objects: the reference-counting root, the interface map that QueryInterface walks, the
// object wrappers that give a class its IUnknown, class factories and the module's object map.
#pragma once
#include "platform/AtlBase.h"

struct _ATL_INTMAP_ENTRY
{
    const IID* piid;  // null ends the map
    DWORD_PTR offset; // from the object to the interface's vtable pointer
};

// Offset of base class `base` inside `derived` (computed on a non-null dummy address).
#define offsetofclass(base, derived) \
    (reinterpret_cast<DWORD_PTR>(static_cast<base*>(reinterpret_cast<derived*>(8))) - 8)

// The reference count and the QueryInterface walk shared by every object.
class CComObjectRootBase
{
public:
    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}
    void SetVoid(void*) {}
    void InternalFinalConstructAddRef() {}
    void InternalFinalConstructReleaseNoDelete() {}

    // The first entry answers IUnknown, so every interface of the object reports one identity.
    static HRESULT WINAPI InternalQueryInterface(void* self, const _ATL_INTMAP_ENTRY* entries, REFIID iid,
                                                 void** ppv) noexcept
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!entries || !entries->piid)
            return E_NOINTERFACE;
        if (::IsEqualIID(iid, IID_IUnknown)) {
            IUnknown* unknown = reinterpret_cast<IUnknown*>(reinterpret_cast<DWORD_PTR>(self) + entries->offset);
            unknown->AddRef();
            *ppv = unknown;
            return S_OK;
        }
        for (; entries->piid; ++entries) {
            if (::IsEqualIID(iid, *entries->piid)) {
                IUnknown* unknown = reinterpret_cast<IUnknown*>(reinterpret_cast<DWORD_PTR>(self) + entries->offset);
                unknown->AddRef();
                *ppv = unknown;
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }

    LONG m_dwRef = 0;
};

template <class ThreadModel>
class CComObjectRootEx : public CComObjectRootBase
{
public:
    using _ThreadModel = ThreadModel;
    ULONG InternalAddRef() { return ThreadModel::Increment(&m_dwRef); }
    ULONG InternalRelease() { return ThreadModel::Decrement(&m_dwRef); }
    // FinalConstruct runs with one reference held, so that handing out and releasing the object
    // inside it cannot delete it.
    void InternalFinalConstructAddRef() { InternalAddRef(); }
    void InternalFinalConstructReleaseNoDelete() { InternalRelease(); }
    void Lock() { m_critsec.Lock(); }
    void Unlock() { m_critsec.Unlock(); }

private:
    typename ThreadModel::AutoDeleteCriticalSection m_critsec;
};

using CComObjectRoot = CComObjectRootEx<CComObjectThreadModel>;

// The interface map of a class: BEGIN_COM_MAP(CClass) COM_INTERFACE_ENTRY(IFoo) ... END_COM_MAP().
// END_COM_MAP declares IUnknown's methods pure, so that only CComObject and its kin can be made.
#define BEGIN_COM_MAP(x)                                                                           \
public:                                                                                            \
    using _ComMapClass = x;                                                                        \
    IUnknown* _GetRawUnknown()                                                                     \
    {                                                                                              \
        return reinterpret_cast<IUnknown*>(reinterpret_cast<DWORD_PTR>(this) + _GetEntries()->offset); \
    }                                                                                              \
    IUnknown* GetUnknown() { return _GetRawUnknown(); }                                            \
    HRESULT _InternalQueryInterface(REFIID iid, void** ppv)                                        \
    {                                                                                              \
        return this->InternalQueryInterface(this, _GetEntries(), iid, ppv);                        \
    }                                                                                              \
    static const _ATL_INTMAP_ENTRY* _GetEntries()                                                  \
    {                                                                                              \
        static const _ATL_INTMAP_ENTRY _entries[] = {

#define COM_INTERFACE_ENTRY(x) {&__uuidof(x), offsetofclass(x, _ComMapClass)},
#define COM_INTERFACE_ENTRY_IID(iid, x) {&(iid), offsetofclass(x, _ComMapClass)},
// Interface x reached through base x2, for an interface that several bases derive from.
#define COM_INTERFACE_ENTRY2(x, x2)                                                                \
    {&__uuidof(x), reinterpret_cast<DWORD_PTR>(static_cast<x*>(static_cast<x2*>(                   \
                       reinterpret_cast<_ComMapClass*>(8)))) - 8},
#define COM_INTERFACE_ENTRY2_IID(iid, x, x2)                                                       \
    {&(iid), reinterpret_cast<DWORD_PTR>(static_cast<x*>(static_cast<x2*>(                         \
                 reinterpret_cast<_ComMapClass*>(8)))) - 8},

#define END_COM_MAP()                                                                              \
    {nullptr, 0}                                                                                   \
    }                                                                                              \
    ;                                                                                              \
    return _entries;                                                                               \
    }                                                                                              \
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;                                                  \
    virtual ULONG STDMETHODCALLTYPE Release() = 0;                                                 \
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) = 0;

#define DECLARE_PROTECT_FINAL_CONSTRUCT()
#define DECLARE_NOT_AGGREGATABLE(x)
#define DECLARE_NO_REGISTRY()

// The IUnknown of a heap object that deletes itself on its last Release; with kHoldsModuleLock it
// holds a module lock while it lives.
template <class Base, bool kHoldsModuleLock>
class TComHeapObject : public Base
{
public:
    TComHeapObject()
    {
        if constexpr (kHoldsModuleLock)
            AtlModuleLock();
    }
    virtual ~TComHeapObject()
    {
        // A count far from zero, so that AddRef/Release pairs inside FinalRelease cannot re-enter delete.
        this->m_dwRef = -(LONG_MAX / 2);
        this->FinalRelease();
        if constexpr (kHoldsModuleLock)
            AtlModuleUnlock();
    }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override
    {
        const ULONG count = this->InternalRelease();
        if (count == 0)
            delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override { return this->_InternalQueryInterface(iid, ppv); }
    template <class Q>
    HRESULT QueryInterface(Q** pp)
    {
        return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
    }
};

// A heap object that holds a module lock while it lives and deletes itself on its last Release.
template <class Base>
class CComObject : public TComHeapObject<Base, true>
{
public:
    CComObject(void* = nullptr) {}

    // Makes an object with a reference count of 0; FinalConstruct failing deletes it. A constructor
    // or FinalConstruct that throws is reported and fails the creation.
    static HRESULT WINAPI CreateInstance(CComObject<Base>** pp) noexcept
    {
        if (!pp)
            return E_POINTER;
        *pp = nullptr;
        CComObject<Base>* object = nullptr;
        try {
            object = new (std::nothrow) CComObject<Base>();
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CComObject::CreateInstance");
        }
        if (!object)
            return E_OUTOFMEMORY;
        object->SetVoid(nullptr);
        object->InternalFinalConstructAddRef();
        HRESULT hr = E_UNEXPECTED;
        try {
            hr = object->FinalConstruct();
        } catch (...) {
            hr = ReportCaughtExceptionAsHresult("FinalConstruct");
        }
        object->InternalFinalConstructReleaseNoDelete();
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        *pp = object;
        return S_OK;
    }
};

// Like CComObject, but without the module lock: for objects that must not keep a server alive.
template <class Base>
class CComObjectNoLock : public TComHeapObject<Base, false>
{
public:
    CComObjectNoLock(void* = nullptr) {}
};

// An object embedded in another (a member or a static), never deleted through Release.
template <class Base>
class CComObjectStackEx : public Base
{
public:
    CComObjectStackEx() { this->FinalConstruct(); }
    virtual ~CComObjectStackEx() { this->FinalRelease(); }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return this->InternalRelease(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override { return this->_InternalQueryInterface(iid, ppv); }
};

// ---------------------------------------------------------------------------------------------
// Creators, class factories and the object map.

typedef HRESULT(WINAPI _ATL_CREATORFUNC)(void* outer, REFIID iid, void** ppv);

// Gives a new object (reference count 0) out as `iid`; when it has no such interface, the object goes
// again with the last reference.
template <class T>
HRESULT AtlHandOutNewObject(T* object, REFIID iid, void** ppv)
{
    object->AddRef();
    const HRESULT hr = object->QueryInterface(iid, ppv);
    object->Release();
    return hr;
}

// Makes T and queries it for `iid`. Aggregation is not supported: an outer unknown is refused.
template <class T>
class CComCreator
{
public:
    static HRESULT WINAPI CreateInstance(void* outer, REFIID iid, void** ppv)
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T* object = nullptr;
        const HRESULT hr = T::CreateInstance(&object);
        return SUCCEEDED(hr) ? AtlHandOutNewObject(object, iid, ppv) : hr;
    }
};

class CComClassFactory : public IClassFactory, public CComObjectRootEx<CComGlobalsThreadModel>
{
public:
    BEGIN_COM_MAP(CComClassFactory)
        COM_INTERFACE_ENTRY(IClassFactory)
    END_COM_MAP()

    virtual ~CComClassFactory() = default;

    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!m_pfnCreateInstance)
            return E_FAIL;
        try {
            return m_pfnCreateInstance(nullptr, iid, ppv);
        } catch (...) {
            return ReportCaughtExceptionAsHresult("IClassFactory::CreateInstance");
        }
    }
    STDMETHOD(LockServer)(BOOL lock) override
    {
        if (lock)
            AtlModuleLock();
        else
            AtlModuleUnlock();
        return S_OK;
    }
    void SetVoid(void* creator) { m_pfnCreateInstance = reinterpret_cast<_ATL_CREATORFUNC*>(creator); }

    _ATL_CREATORFUNC* m_pfnCreateInstance = nullptr;
};

// The class factory of a registered class: one object for the server's lifetime. It holds no module
// lock itself, or the server could never reach a count of zero while its factories are registered.
template <class Factory>
class CComFactoryCreator
{
public:
    static HRESULT WINAPI CreateInstance(void* objectCreator, REFIID iid, void** ppv)
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        auto* factory = new (std::nothrow) CComObjectNoLock<Factory>();
        if (!factory)
            return E_OUTOFMEMORY;
        factory->SetVoid(objectCreator);
        return AtlHandOutNewObject(factory, iid, ppv);
    }
};

// The creatable class's identity: CLSID, creator and class factory.
template <class T, const CLSID* pclsid = &CLSID_NULL>
class CComCoClass
{
public:
    using _CreatorClass = CComCreator<CComObject<T>>;
    using _ClassFactoryCreatorClass = CComFactoryCreator<CComClassFactory>;
    static const CLSID& WINAPI GetObjectCLSID() { return *pclsid; }

    template <class Q>
    static HRESULT CreateInstance(Q** pp)
    {
        return _CreatorClass::CreateInstance(nullptr, __uuidof(Q), reinterpret_cast<void**>(pp));
    }
};

struct _ATL_OBJMAP_ENTRY
{
    const CLSID* pclsid;
    _ATL_CREATORFUNC* pfnGetClassObject; // makes the class factory
    _ATL_CREATORFUNC* pfnCreateInstance; // makes the object
    IUnknown* pCF;                       // the class factory while registered
    DWORD dwRegister;                    // CoRegisterClassObject's cookie
};

#define BEGIN_OBJECT_MAP(x) static _ATL_OBJMAP_ENTRY x[] = {
#define OBJECT_ENTRY(clsid, cls) \
    {&(clsid), cls::_ClassFactoryCreatorClass::CreateInstance, cls::_CreatorClass::CreateInstance, nullptr, 0},
#define END_OBJECT_MAP() {nullptr, nullptr, nullptr, nullptr, 0}};

// Registers every class of the map with COM (for a local server, for example); stops at the first
// failure and reports it. Revoke undoes what registration did, entry by entry.
HRESULT AtlRegisterClassObjects(_ATL_OBJMAP_ENTRY* map, DWORD context, DWORD flags) noexcept;
HRESULT AtlRevokeClassObjects(_ATL_OBJMAP_ENTRY* map) noexcept;
// The class factory of one class of the map, for DllGetClassObject and in-process callers.
HRESULT AtlGetClassObject(_ATL_OBJMAP_ENTRY* map, REFCLSID clsid, REFIID iid, void** ppv) noexcept;

// The COM side of a module: its object map, class registration and lock count, and the critical
// section that guards static data initialised on first use.
class CComModule
{
public:
    CComModule() = default;
    CComModule(const CComModule&) = delete;
    CComModule& operator=(const CComModule&) = delete;
    ~CComModule() = default;

    HRESULT Init(_ATL_OBJMAP_ENTRY* pObjMap, HINSTANCE hInstance, const GUID* pLibID = nullptr) noexcept
    {
        AtlSetModuleInstance(hInstance, hInstance);
        m_pObjMap = pObjMap;
        m_pLibID = pLibID;
        return S_OK;
    }
    void Term() noexcept { RevokeClassObjects(); }

    HINSTANCE GetModuleInstance() const noexcept { return AtlGetModuleInstance(); }
    HINSTANCE GetResourceInstance() const noexcept { return AtlGetResourceInstance(); }
    void SetResourceInstance(HINSTANCE instance) noexcept { AtlSetModuleInstance(AtlGetModuleInstance(), instance); }

    LONG Lock() noexcept { return AtlModuleLock(); }
    LONG Unlock() noexcept { return AtlModuleUnlock(); }
    LONG GetLockCount() const noexcept { return AtlModuleGetLockCount(); }

    HRESULT RegisterClassObjects(DWORD dwClsContext, DWORD dwFlags) noexcept
    {
        return AtlRegisterClassObjects(m_pObjMap, dwClsContext, dwFlags);
    }
    HRESULT RevokeClassObjects() noexcept { return AtlRevokeClassObjects(m_pObjMap); }
    HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) noexcept
    {
        return AtlGetClassObject(m_pObjMap, rclsid, riid, ppv);
    }

    CComAutoCriticalSection m_csStaticDataInitAndTypeInfo;
    _ATL_OBJMAP_ENTRY* m_pObjMap = nullptr;
    const GUID* m_pLibID = nullptr;
};
