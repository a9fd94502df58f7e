#include "tests/http/AsyncUrlFetch.h"

#include "platform/AtlBase.h"

#include <cstring>

namespace kivo_test {

STDMETHODIMP CAsyncUrlFetch::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
        *object = static_cast<IBindStatusCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CAsyncUrlFetch::OnStopBinding(HRESULT result, LPCWSTR)
{
    m_result = result;
    m_done = true;
    return S_OK;
}

STDMETHODIMP CAsyncUrlFetch::GetBindInfo(DWORD* flags, BINDINFO* info)
{
    *flags = m_bindFlags;
    const ULONG size = info->cbSize;
    std::memset(info, 0, size);
    info->cbSize = size;
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
}

STDMETHODIMP CAsyncUrlFetch::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium)
{
    if (medium && medium->tymed == TYMED_ISTREAM && medium->pstm) {
        char buffer[1024];
        HRESULT hr;
        ULONG read;
        do {
            read = 0;
            hr = medium->pstm->Read(buffer, sizeof(buffer), &read);
            m_body.append(buffer, read);
        } while (hr == S_OK && read > 0);
    }
    return S_OK;
}

HRESULT CAsyncUrlFetch::Fetch(const std::string& url)
{
    const std::wstring wide(url.begin(), url.end());
    CComPtr<IMoniker> moniker;
    CComPtr<IBindCtx> context;
    HRESULT hr = CreateURLMonikerEx(nullptr, wide.c_str(), &moniker, URL_MK_UNIFORM);
    if (SUCCEEDED(hr))
        hr = CreateAsyncBindCtx(0, this, nullptr, &context);
    CComPtr<IStream> stream;
    if (SUCCEEDED(hr))
        hr = moniker->BindToStorage(context, nullptr, IID_IStream, reinterpret_cast<void**>(&stream));
    if (FAILED(hr))
        return hr;
    if (!m_pump([this] { return m_done; }))
        return E_ABORT;
    return m_result;
}

}  // namespace kivo_test
