// COM basics: locks and thread models, smart pointers, BSTR and VARIANT holders, and the module's
// lock count that live COM objects and class factories hold.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/Diagnostics.h"

// "Cannot happen" inside the stand-in: checked in every build and reported (see KIVO_CHECK).
#ifndef ATLASSERT
#define ATLASSERT(expr) ((void)KIVO_CHECK(expr))
#endif

// The lock count of the module: every live COM object made by CComObject and every
// IClassFactory::LockServer(TRUE) holds one.
LONG AtlModuleLock() noexcept;
LONG AtlModuleUnlock() noexcept;
LONG AtlModuleGetLockCount() noexcept;

// The instance whose resources and window classes this library uses; the application sets it at
// start-up (CAppModule::Init). It defaults to the module this library is linked into.
HINSTANCE AtlGetModuleInstance() noexcept;
HINSTANCE AtlGetResourceInstance() noexcept;
void AtlSetModuleInstance(HINSTANCE instance, HINSTANCE resourceInstance = nullptr) noexcept;

// Failed HRESULTs that a caller chose to turn into exceptions go through this hook; the core
// library installs its own (COM exceptions), the default throws the HRESULT itself.
using AtlThrowHook = void (*)(HRESULT hr);
void AtlSetThrowHook(AtlThrowHook hook) noexcept;
[[noreturn]] void AtlThrow(HRESULT hr);
[[noreturn]] void AtlThrowLastWin32();

inline HRESULT AtlHresultFromLastError() noexcept
{
    const DWORD error = ::GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// ---------------------------------------------------------------------------------------------
// Critical sections and thread models.

class CComCriticalSection
{
public:
    CComCriticalSection() noexcept { ::ZeroMemory(&m_sec, sizeof(m_sec)); }
    CComCriticalSection(const CComCriticalSection&) = delete;
    CComCriticalSection& operator=(const CComCriticalSection&) = delete;
    HRESULT Lock() noexcept { ::EnterCriticalSection(&m_sec); return S_OK; }
    HRESULT Unlock() noexcept { ::LeaveCriticalSection(&m_sec); return S_OK; }
    HRESULT Init() noexcept { ::InitializeCriticalSection(&m_sec); return S_OK; }
    HRESULT Term() noexcept { ::DeleteCriticalSection(&m_sec); return S_OK; }
    CRITICAL_SECTION m_sec;
};

class CComAutoCriticalSection : public CComCriticalSection
{
public:
    CComAutoCriticalSection() noexcept { Init(); }
    ~CComAutoCriticalSection() { Term(); }
};

class CComFakeCriticalSection
{
public:
    HRESULT Lock() noexcept { return S_OK; }
    HRESULT Unlock() noexcept { return S_OK; }
    HRESULT Init() noexcept { return S_OK; }
    HRESULT Term() noexcept { return S_OK; }
};

// Holds a lock for a scope; Unlock() may end it early.
template <class TLock>
class CComCritSecLock
{
public:
    explicit CComCritSecLock(TLock& cs, bool initialLock = true) : m_cs(cs)
    {
        if (initialLock)
            Lock();
    }
    ~CComCritSecLock()
    {
        if (m_locked)
            m_cs.Unlock();
    }
    CComCritSecLock(const CComCritSecLock&) = delete;
    CComCritSecLock& operator=(const CComCritSecLock&) = delete;
    HRESULT Lock()
    {
        if (!m_locked) {
            m_cs.Lock();
            m_locked = true;
        }
        return S_OK;
    }
    void Unlock()
    {
        if (m_locked) {
            m_cs.Unlock();
            m_locked = false;
        }
    }

private:
    TLock& m_cs;
    bool m_locked = false;
};

// ---------------------------------------------------------------------------------------------
// Kernel handles.

// The owner of one kernel handle (a thread, a process, an event, a mutex, a file or a mapping),
// closed when the holder goes or another handle is attached. Both "no handle" values of the API,
// null and INVALID_HANDLE_VALUE, count as empty, so CreateFile's failure needs no special case.
class CHandle
{
public:
    CHandle() noexcept = default;
    explicit CHandle(HANDLE handle) noexcept : m_h(handle) {}
    ~CHandle() { Close(); }
    // A holder is the one owner of its handle: no copy; moving would hide who closes it.
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    static bool IsValid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    bool IsValid() const noexcept { return IsValid(m_h); }
    explicit operator bool() const noexcept { return IsValid(); }
    HANDLE Get() const noexcept { return m_h; }
    operator HANDLE() const noexcept { return m_h; }

    // Closes the handle held and takes the new one.
    void Attach(HANDLE handle) noexcept
    {
        Close();
        m_h = handle;
    }
    // Gives the handle up without closing it.
    HANDLE Detach() noexcept
    {
        HANDLE handle = m_h;
        m_h = nullptr;
        return handle;
    }
    // False only when the system failed to close the handle; the holder is empty either way.
    bool Close() noexcept
    {
        const bool closed = !IsValid() || ::CloseHandle(m_h) != FALSE;
        m_h = nullptr;
        return closed;
    }

private:
    HANDLE m_h = nullptr;
};

// The owner of one search handle of FindFirstFile, closed with FindClose when the holder goes or
// another search is attached. The search's failure value, INVALID_HANDLE_VALUE, counts as empty.
class CFindHandle
{
public:
    CFindHandle() noexcept = default;
    explicit CFindHandle(HANDLE find) noexcept : m_find(find) {}
    ~CFindHandle() { Close(); }
    // One owner per search, as for CHandle.
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    bool IsValid() const noexcept { return m_find != nullptr && m_find != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return IsValid(); }
    HANDLE Get() const noexcept { return m_find; }
    operator HANDLE() const noexcept { return m_find; }

    void Attach(HANDLE find) noexcept
    {
        Close();
        m_find = find;
    }
    void Close() noexcept
    {
        if (IsValid())
            ::FindClose(m_find);
        m_find = nullptr;
    }

private:
    HANDLE m_find = nullptr;
};

// The owner of one block of COM task memory (a text or a structure an interface hands out), freed
// with CoTaskMemFree when the holder goes.
template <class T>
class CComHeapPtr
{
public:
    CComHeapPtr() noexcept = default;
    explicit CComHeapPtr(T* data) noexcept : m_pData(data) {}
    ~CComHeapPtr() { Free(); }
    // One owner per block, as for CHandle.
    CComHeapPtr(const CComHeapPtr&) = delete;
    CComHeapPtr& operator=(const CComHeapPtr&) = delete;

    operator T*() const noexcept { return m_pData; }
    // Taking the address is for out parameters: a block held before is freed first.
    T** operator&() noexcept
    {
        Free();
        return &m_pData;
    }
    void Attach(T* data) noexcept
    {
        Free();
        m_pData = data;
    }
    T* Detach() noexcept
    {
        T* data = m_pData;
        m_pData = nullptr;
        return data;
    }
    void Free() noexcept
    {
        ::CoTaskMemFree(m_pData);
        m_pData = nullptr;
    }

    T* m_pData = nullptr;
};

class CComSingleThreadModel
{
public:
    static ULONG Increment(LONG* p) noexcept { return ++(*p); }
    static ULONG Decrement(LONG* p) noexcept { return --(*p); }
    using AutoCriticalSection = CComFakeCriticalSection;
    using AutoDeleteCriticalSection = CComFakeCriticalSection;
    using CriticalSection = CComFakeCriticalSection;
    using ThreadModelNoCS = CComSingleThreadModel;
};

class CComMultiThreadModel
{
public:
    static ULONG Increment(LONG* p) noexcept { return ::InterlockedIncrement(p); }
    static ULONG Decrement(LONG* p) noexcept { return ::InterlockedDecrement(p); }
    using AutoCriticalSection = CComAutoCriticalSection;
    using AutoDeleteCriticalSection = CComAutoCriticalSection;
    using CriticalSection = CComCriticalSection;
    using ThreadModelNoCS = CComMultiThreadModel;
};

using CComObjectThreadModel = CComSingleThreadModel;
using CComGlobalsThreadModel = CComMultiThreadModel;

// ---------------------------------------------------------------------------------------------
// Smart interface pointers.

template <class T>
class CComPtr
{
public:
    CComPtr() noexcept = default;
    CComPtr(T* lp) noexcept : p(lp)
    {
        if (p)
            p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(other.p) { other.p = nullptr; }
    ~CComPtr()
    {
        if (p)
            p->Release();
    }
    T* operator=(T* lp) noexcept
    {
        if (lp != p) {
            if (lp)
                lp->AddRef();
            T* old = p;
            p = lp;
            if (old)
                old->Release();
        }
        return p;
    }
    T* operator=(const CComPtr& other) noexcept { return *this = other.p; }
    T* operator=(CComPtr&& other) noexcept
    {
        if (this != std::addressof(other)) {
            Release();
            p = other.p;
            other.p = nullptr;
        }
        return p;
    }

    operator T*() const noexcept { return p; }
    T& operator*() const noexcept { return *p; }
    T* operator->() const noexcept { return p; }
    // Taking the address is for out parameters: the pointer must be empty.
    T** operator&() noexcept
    {
        ATLASSERT(p == nullptr);
        return &p;
    }
    bool operator!() const noexcept { return p == nullptr; }
    bool operator==(T* other) const noexcept { return p == other; }
    bool operator!=(T* other) const noexcept { return p != other; }
    bool operator<(T* other) const noexcept { return p < other; }

    void Release() noexcept
    {
        T* old = p;
        if (old) {
            p = nullptr;
            old->Release();
        }
    }
    void Attach(T* lp) noexcept
    {
        if (p)
            p->Release();
        p = lp;
    }
    T* Detach() noexcept
    {
        T* old = p;
        p = nullptr;
        return old;
    }
    HRESULT CopyTo(T** ppT) const noexcept
    {
        if (!ppT)
            return E_POINTER;
        *ppT = p;
        if (p)
            p->AddRef();
        return S_OK;
    }
    bool IsEqualObject(IUnknown* other) const noexcept
    {
        if (!p && !other)
            return true;
        if (!p || !other)
            return false;
        IUnknown* mine = nullptr;
        IUnknown* theirs = nullptr;
        p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&mine));
        other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&theirs));
        const bool same = mine == theirs;
        if (mine)
            mine->Release();
        if (theirs)
            theirs->Release();
        return same;
    }
    template <class Q>
    HRESULT QueryInterface(Q** pp) const noexcept
    {
        if (!p)
            return E_POINTER;
        return p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
    }
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) noexcept
    {
        ATLASSERT(p == nullptr);
        return ::CoCreateInstance(clsid, outer, context, __uuidof(T), reinterpret_cast<void**>(&p));
    }
    HRESULT CoCreateInstance(LPCOLESTR progId, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) noexcept
    {
        CLSID clsid;
        const HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
        return FAILED(hr) ? hr : CoCreateInstance(clsid, outer, context);
    }

    T* p = nullptr;
};

// A CComPtr that queries its source for T (or for the interface `piid` names) on assignment.
template <class T, const IID* piid = nullptr>
class CComQIPtr : public CComPtr<T>
{
public:
    CComQIPtr() noexcept = default;
    CComQIPtr(T* lp) noexcept : CComPtr<T>(lp) {}
    CComQIPtr(const CComQIPtr& other) noexcept : CComPtr<T>(other.p) {}
    CComQIPtr(IUnknown* lp) noexcept { Query(lp); }
    template <class U>
        requires(!std::is_same_v<U, T> && !std::is_same_v<U, IUnknown>)
    CComQIPtr(U* lp) noexcept
    {
        Query(lp);
    }
    T* operator=(T* lp) noexcept { return CComPtr<T>::operator=(lp); }
    T* operator=(const CComQIPtr& other) noexcept { return CComPtr<T>::operator=(other.p); }
    T* operator=(IUnknown* lp) noexcept
    {
        CComPtr<T> queried;
        if (lp)
            lp->QueryInterface(Iid(), reinterpret_cast<void**>(&queried.p));
        this->Attach(queried.Detach());
        return this->p;
    }
    template <class U>
        requires(!std::is_same_v<U, T> && !std::is_same_v<U, IUnknown>)
    T* operator=(U* lp) noexcept
    {
        return *this = static_cast<IUnknown*>(lp);
    }
    static const IID& Iid() noexcept { return piid ? *piid : __uuidof(T); }

private:
    void Query(IUnknown* lp) noexcept
    {
        if (lp)
            lp->QueryInterface(Iid(), reinterpret_cast<void**>(&this->p));
    }
};

template <>
class CComQIPtr<IUnknown, nullptr> : public CComPtr<IUnknown>
{
public:
    CComQIPtr() noexcept = default;
    CComQIPtr(IUnknown* lp) noexcept
    {
        if (lp)
            lp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&p));
    }
    IUnknown* operator=(IUnknown* lp) noexcept
    {
        CComQIPtr other(lp);
        Attach(other.Detach());
        return p;
    }
};

// ---------------------------------------------------------------------------------------------
// BSTR holder. Text given as char is converted from the ANSI code page.

class CComBSTR
{
public:
    CComBSTR() noexcept = default;
    explicit CComBSTR(int length) : m_str(::SysAllocStringLen(nullptr, length)) {}
    CComBSTR(int length, LPCOLESTR text) : m_str(::SysAllocStringLen(text, length)) {}
    CComBSTR(LPCOLESTR text) : m_str(text ? ::SysAllocString(text) : nullptr) {}
    CComBSTR(LPCSTR text) { AssignAnsi(text, text ? -1 : 0); }
    CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}
    CComBSTR(CComBSTR&& other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    ~CComBSTR() { ::SysFreeString(m_str); }

    CComBSTR& operator=(const CComBSTR& other)
    {
        if (this != std::addressof(other)) {
            BSTR copy = other.Copy();
            ::SysFreeString(m_str);
            m_str = copy;
        }
        return *this;
    }
    CComBSTR& operator=(CComBSTR&& other) noexcept
    {
        std::swap(m_str, other.m_str);
        return *this;
    }
    CComBSTR& operator=(LPCOLESTR text)
    {
        if (text != m_str) {
            BSTR copy = text ? ::SysAllocString(text) : nullptr;
            ::SysFreeString(m_str);
            m_str = copy;
        }
        return *this;
    }
    CComBSTR& operator=(LPCSTR text)
    {
        Empty();
        AssignAnsi(text, text ? -1 : 0);
        return *this;
    }

    operator BSTR() const noexcept { return m_str; }
    BSTR* operator&() noexcept { return &m_str; }
    bool operator!() const noexcept { return m_str == nullptr; }
    bool operator==(LPCOLESTR text) const noexcept
    {
        if (!m_str || !text)
            return (!m_str || !*m_str) && (!text || !*text);
        return ::wcscmp(m_str, text) == 0;
    }
    bool operator!=(LPCOLESTR text) const noexcept { return !(*this == text); }
    // A template, so that NULL and nullptr pick the LPCOLESTR form alone.
    template <class P>
        requires std::is_same_v<P, BSTR>
    bool operator==(P text) const noexcept
    {
        return *this == static_cast<LPCOLESTR>(text);
    }
    template <class P>
        requires std::is_same_v<P, BSTR>
    bool operator!=(P text) const noexcept
    {
        return !(*this == static_cast<LPCOLESTR>(text));
    }

    unsigned int Length() const noexcept { return ::SysStringLen(m_str); }
    unsigned int ByteLength() const noexcept { return ::SysStringByteLen(m_str); }
    BSTR Copy() const { return m_str ? ::SysAllocStringByteLen(reinterpret_cast<const char*>(m_str), ByteLength()) : nullptr; }
    HRESULT CopyTo(BSTR* out) const
    {
        if (!out)
            return E_POINTER;
        *out = Copy();
        return (*out || !m_str) ? S_OK : E_OUTOFMEMORY;
    }
    void Attach(BSTR text) noexcept
    {
        if (text != m_str) {
            ::SysFreeString(m_str);
            m_str = text;
        }
    }
    BSTR Detach() noexcept
    {
        BSTR old = m_str;
        m_str = nullptr;
        return old;
    }
    void Empty() noexcept
    {
        ::SysFreeString(m_str);
        m_str = nullptr;
    }
    HRESULT Append(LPCOLESTR text, int length)
    {
        if (!text || length <= 0)
            return S_OK;
        const unsigned int old = Length();
        BSTR joined = ::SysAllocStringLen(nullptr, old + length);
        if (!joined)
            return E_OUTOFMEMORY;
        if (m_str)
            ::memcpy(joined, m_str, old * sizeof(OLECHAR));
        ::memcpy(joined + old, text, length * sizeof(OLECHAR));
        ::SysFreeString(m_str);
        m_str = joined;
        return S_OK;
    }
    HRESULT Append(LPCOLESTR text) { return text ? Append(text, static_cast<int>(::wcslen(text))) : S_OK; }
    HRESULT Append(const CComBSTR& other) { return Append(other.m_str, other.Length()); }
    HRESULT Append(LPCSTR text)
    {
        CComBSTR wide(text);
        return Append(wide);
    }
    CComBSTR& operator+=(LPCOLESTR text) { Append(text); return *this; }
    CComBSTR& operator+=(const CComBSTR& other) { Append(other); return *this; }

    BSTR m_str = nullptr;

private:
    void AssignAnsi(LPCSTR text, int length)
    {
        if (!text)
            return;
        const int wide = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
        const int chars = length < 0 ? wide - 1 : wide;
        m_str = ::SysAllocStringLen(nullptr, chars < 0 ? 0 : chars);
        if (m_str && chars > 0)
            ::MultiByteToWideChar(CP_ACP, 0, text, length < 0 ? -1 : length, m_str, wide);
        if (m_str && chars >= 0)
            m_str[chars] = 0;
    }
};

// ---------------------------------------------------------------------------------------------
// VARIANT holder.

class CComVariant : public tagVARIANT
{
public:
    CComVariant() noexcept { ::VariantInit(this); }
    ~CComVariant() { Clear(); }
    CComVariant(const VARIANT& other) { ::VariantInit(this); ::VariantCopy(this, const_cast<VARIANT*>(&other)); }
    CComVariant(const CComVariant& other) : CComVariant(static_cast<const VARIANT&>(other)) {}
    CComVariant(LPCOLESTR text) { ::VariantInit(this); *this = text; }
    CComVariant(LPCSTR text) { ::VariantInit(this); *this = text; }
    CComVariant(const CComBSTR& text) : CComVariant(static_cast<LPCOLESTR>(text.m_str)) {}
    CComVariant(bool value) noexcept { ::VariantInit(this); *this = value; }
    CComVariant(int value, VARTYPE type = VT_I4) noexcept
    {
        ::VariantInit(this);
        vt = type == VT_INT ? VT_INT : VT_I4;
        lVal = value;
    }
    CComVariant(long value, VARTYPE type = VT_I4) noexcept
    {
        ::VariantInit(this);
        vt = type == VT_ERROR ? VT_ERROR : VT_I4;
        lVal = value;
    }
    CComVariant(unsigned long value) noexcept { ::VariantInit(this); vt = VT_UI4; ulVal = value; }
    CComVariant(unsigned int value) noexcept { ::VariantInit(this); vt = VT_UI4; ulVal = value; }
    CComVariant(short value) noexcept { ::VariantInit(this); vt = VT_I2; iVal = value; }
    CComVariant(BYTE value) noexcept { ::VariantInit(this); vt = VT_UI1; bVal = value; }
    CComVariant(double value) noexcept { ::VariantInit(this); vt = VT_R8; dblVal = value; }
    CComVariant(LONGLONG value) noexcept { ::VariantInit(this); vt = VT_I8; llVal = value; }
    CComVariant(IDispatch* value) noexcept
    {
        ::VariantInit(this);
        vt = VT_DISPATCH;
        pdispVal = value;
        if (value)
            value->AddRef();
    }
    CComVariant(IUnknown* value) noexcept
    {
        ::VariantInit(this);
        vt = VT_UNKNOWN;
        punkVal = value;
        if (value)
            value->AddRef();
    }

    CComVariant& operator=(const CComVariant& other)
    {
        if (this != std::addressof(other))
            Copy(&other);
        return *this;
    }
    CComVariant& operator=(const VARIANT& other)
    {
        if (std::addressof(other) != this)
            Copy(&other);
        return *this;
    }
    CComVariant& operator=(LPCOLESTR text)
    {
        BSTR copy = text ? ::SysAllocString(text) : nullptr;
        Clear();
        vt = VT_BSTR;
        bstrVal = copy;
        return *this;
    }
    CComVariant& operator=(LPCSTR text)
    {
        CComBSTR wide(text);
        Clear();
        vt = VT_BSTR;
        bstrVal = wide.Detach();
        return *this;
    }
    CComVariant& operator=(bool value)
    {
        Clear();
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return *this;
    }
    CComVariant& operator=(long value)
    {
        Clear();
        vt = VT_I4;
        lVal = value;
        return *this;
    }
    CComVariant& operator=(int value) { return *this = static_cast<long>(value); }
    CComVariant& operator=(IDispatch* value)
    {
        CComVariant other(value);
        return *this = other;
    }
    CComVariant& operator=(IUnknown* value)
    {
        CComVariant other(value);
        return *this = other;
    }

    bool operator==(const VARIANT& other) const noexcept
    {
        if (this == &other)
            return true;
        if (vt != other.vt)
            return false;
        if (vt == VT_EMPTY || vt == VT_NULL)
            return true;
        if (vt == VT_UNKNOWN || vt == VT_DISPATCH)
            return punkVal == other.punkVal;
        return ::VarCmp(const_cast<VARIANT*>(static_cast<const VARIANT*>(this)), const_cast<VARIANT*>(&other),
                        LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
    }
    bool operator!=(const VARIANT& other) const noexcept { return !(*this == other); }

    HRESULT Clear() noexcept { return ::VariantClear(this); }
    HRESULT Copy(const VARIANT* source) noexcept { return ::VariantCopy(this, const_cast<VARIANT*>(source)); }
    HRESULT CopyTo(BSTR* out) const
    {
        if (!out)
            return E_POINTER;
        if (vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        *out = ::SysAllocStringByteLen(reinterpret_cast<const char*>(bstrVal), ::SysStringByteLen(bstrVal));
        return S_OK;
    }
    HRESULT Attach(VARIANT* source) noexcept
    {
        Clear();
        ::memcpy(static_cast<VARIANT*>(this), source, sizeof(VARIANT));
        source->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT Detach(VARIANT* dest) noexcept
    {
        ::VariantClear(dest);
        ::memcpy(dest, static_cast<VARIANT*>(this), sizeof(VARIANT));
        vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT ChangeType(VARTYPE type, const VARIANT* source = nullptr) noexcept
    {
        VARIANT* from = const_cast<VARIANT*>(source ? source : static_cast<VARIANT*>(this));
        return ::VariantChangeType(this, from, 0, type);
    }
};
