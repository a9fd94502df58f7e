#pragma once
// CAsyncUrlFetch: one asynchronous fetch through the URL layer (urlmon), made the way the HTML
// engine makes its own, with the bind flags the caller chooses; the body arrives through the
// callback's stream. The caller's pump runs the thread's messages until the binding stops (the
// URL layer reports on the thread that started it). UI thread only; lives on the caller's stack.
#include <windows.h>
#include <urlmon.h>

#include <functional>
#include <string>

namespace kivo_test {

class CAsyncUrlFetch : public IBindStatusCallback {
public:
    // Pumps messages until the condition holds; false when it gave up.
    using Pump = std::function<bool(const std::function<bool()>& condition)>;

    // The flags of the engine's own fetches of a page's pictures.
    static constexpr DWORD kPictureBindFlags =
        BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION;

    CAsyncUrlFetch(DWORD bindFlags, Pump pump) : m_bindFlags(bindFlags), m_pump(std::move(pump)) {}
    CAsyncUrlFetch(const CAsyncUrlFetch&) = delete;
    CAsyncUrlFetch& operator=(const CAsyncUrlFetch&) = delete;

    // Binds the URL to a stream and waits for the binding to stop; its result.
    HRESULT Fetch(const std::string& url);

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_references; }
    STDMETHOD_(ULONG, Release)() override { return --m_references; }
    STDMETHOD(OnStartBinding)(DWORD, IBinding*) override { return S_OK; }
    STDMETHOD(GetPriority)(LONG*) override { return E_NOTIMPL; }
    STDMETHOD(OnLowResource)(DWORD) override { return S_OK; }
    STDMETHOD(OnProgress)(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    STDMETHOD(OnStopBinding)(HRESULT result, LPCWSTR) override;
    STDMETHOD(GetBindInfo)(DWORD* flags, BINDINFO* info) override;
    STDMETHOD(OnDataAvailable)(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override;
    STDMETHOD(OnObjectAvailable)(REFIID, IUnknown*) override { return S_OK; }

    std::string m_body;

private:
    ULONG m_references = 1;  // the caller's, on its stack
    DWORD m_bindFlags;
    Pump m_pump;
    bool m_done = false;
    HRESULT m_result = E_PENDING;
};

}  // namespace kivo_test
