#include "core/system/DocumentScript.h"

#include "core/library/StringSplit.h"
#include "platform/Diagnostics.h"

#include <exdisp.h>
#include <mshtml.h>

#include <vector>

namespace {

// The document of a page given as a document or as a web browser.
CComPtr<IHTMLDocument2> GetPageDocument(IUnknown* page)
{
    CComPtr<IHTMLDocument2> document;
    if (!page)
        return document;
    if (SUCCEEDED(page->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document.p))) && document)
        return document;
    document.Release();
    CComPtr<IWebBrowser2> browser;
    if (FAILED(page->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser.p))) || !browser)
        return document;
    CComPtr<IDispatch> dispatch;
    if (SUCCEEDED(browser->get_Document(&dispatch)) && dispatch)
        dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document.p));
    return document;
}

// The object whose source is read: the page's document when there is one, else the object itself.
CComPtr<IUnknown> GetSourceObject(IUnknown* page)
{
    CComPtr<IUnknown> object;
    if (!page)
        return object;
    CComPtr<IWebBrowser2> browser;
    if (SUCCEEDED(page->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser.p))) && browser) {
        CComPtr<IDispatch> dispatch;
        if (SUCCEEDED(browser->get_Document(&dispatch)) && dispatch)
            object = static_cast<IUnknown*>(dispatch.p);
        return object;
    }
    object = page;
    return object;
}

TStdStr<char> BytesToText(const std::vector<BYTE>& bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        const size_t units = (bytes.size() - 2) / sizeof(WCHAR);
        std::wstring wide(units, L'\0');
        if (units)
            std::memcpy(wide.data(), bytes.data() + 2, units * sizeof(WCHAR));
        return TStdStr<char>(wide.c_str());
    }
    return TStdStr<char>(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace

void ExecPageScript(IUnknown* page, const char* code, const char* language)
{
    try {
        CComPtr<IHTMLDocument2> document = GetPageDocument(page);
        if (!document)
            return;
        CComPtr<IDispatch> script;
        if (FAILED(document->get_Script(&script)) || !script)
            return;
        CComPtr<IHTMLWindow2> window;
        if (FAILED(script->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&window.p))) || !window)
            return;
        CComBSTR codeText(code ? code : "");
        CComBSTR languageText(language ? language : "");
        CComVariant result;
        window->execScript(codeText, languageText, &result);
    } catch (...) {
        // A page script is a convenience; nothing of its failure reaches the caller but the report.
        ReportCaughtException("page script");
    }
}

TStdStr<char> GetPersistStreamText(IUnknown* object)
{
    if (!object)
        return TStdStr<char>();
    CComPtr<IPersistStreamInit> persist;
    if (FAILED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist.p))) || !persist)
        return TStdStr<char>();
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || !stream)
        return TStdStr<char>();
    if (FAILED(persist->Save(stream, FALSE)))
        return TStdStr<char>();
    // The written length, not the size of the memory block, which may be larger.
    ULARGE_INTEGER end = {};
    LARGE_INTEGER zero = {};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &end)) || FAILED(::GetHGlobalFromStream(stream, &memory)) ||
        !memory || end.QuadPart > ::GlobalSize(memory))
        return TStdStr<char>();
    std::vector<BYTE> bytes(static_cast<size_t>(end.QuadPart));
    if (!bytes.empty()) {
        const void* data = ::GlobalLock(memory);
        if (!data)
            return TStdStr<char>();
        std::memcpy(bytes.data(), data, bytes.size());
        ::GlobalUnlock(memory);
    }
    return BytesToText(bytes);
}

TStdStr<char> GetDocumentSource(IUnknown* page)
{
    return GetPersistStreamText(GetSourceObject(page));
}

TStdStr<char> CDownloadProgress::FormatProgressText(uint64_t progress, uint64_t total)
{
    TStdStr<char> text = "Downloaded " + FormatByteSize(progress) + " ";
    if (total == 0)
        return text + "(total size unknown)";
    return text + "of " + FormatByteSize(total);
}

int CDownloadProgress::ComputePercent(uint64_t progress, uint64_t total)
{
    // In 32 bits the product overflows from about 43 MB on.
    return total == 0 ? 0 : static_cast<int>(progress * 100 / total);
}

STDMETHODIMP CDownloadProgress::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR statusText)
{
    // urlmon calls this; a C++ exception must not leave it, and an owner that set no callback
    // simply gets no call.
    try {
        if (m_cancelTest) {
            SYSTEMTIME now = {};
            ::GetSystemTime(&now);
            if (m_cancelTest(now))
                return E_ABORT;
        }
        if (m_report) {
            const TStdStr<char> status(statusText ? statusText : L"");
            const TStdStr<char> text = FormatProgressText(progress, progressMax);
            m_report(status.c_str(), text.c_str(), ComputePercent(progress, progressMax));
        }
    } catch (...) {
        return ReportCaughtExceptionAsHresult("download progress");
    }
    return S_OK;
}
