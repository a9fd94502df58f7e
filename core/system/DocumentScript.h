#pragma once
// COM-level helpers the page tools share: run a script in the window of an HTML document, read
// the source text of a document (or of any object that saves itself to a stream), and turn the
// progress notifications of a URL download into a display text and a percentage.
#include "core/library/StdStr.h"
#include "platform/AtlCom.h"

#include <windows.h>
#include <urlmon.h>

#include <cstdint>
#include <functional>

// Runs `code` in the page's window through execScript; an empty language is the engine's
// default. `page` is a document or a web browser (its document is used). Every failure is
// swallowed.
void ExecPageScript(IUnknown* page, const char* code, const char* language);
// The bytes the object saves through IPersistStreamInit as text: UTF-16 after a byte-order mark
// (converted to the ANSI code page), otherwise ANSI. "" on any failure.
TStdStr<char> GetPersistStreamText(IUnknown* object);
// The source of a document, or of the current document of a web browser; "" on failure.
TStdStr<char> GetDocumentSource(IUnknown* page);

// The progress receiver of a download. Its owner sets a cancel test, asked with the current
// system time at every notification, and a report of (status text, progress text, percent).
class CDownloadProgress : public CComObjectRootEx<CComSingleThreadModel>, public IBindStatusCallback {
public:
    using CancelTest = std::function<bool(const SYSTEMTIME& now)>;
    using Report = std::function<void(const char* status, const char* progress, int percent)>;

    BEGIN_COM_MAP(CDownloadProgress)
        COM_INTERFACE_ENTRY(IBindStatusCallback)
    END_COM_MAP()

    void SetCancelTest(CancelTest test) { m_cancelTest = std::move(test); }
    void SetReport(Report report) { m_report = std::move(report); }

    // "Downloaded <size>" and " of <total size>", or " (total size unknown)" without a total.
    static TStdStr<char> FormatProgressText(uint64_t progress, uint64_t total);
    // progress x 100 / total in 64 bits; 0 without a total.
    static int ComputePercent(uint64_t progress, uint64_t total);

    STDMETHOD(OnStartBinding)(DWORD, IBinding*) override { return S_OK; }
    STDMETHOD(GetPriority)(LONG*) override { return E_NOTIMPL; }
    STDMETHOD(OnLowResource)(DWORD) override { return S_OK; }
    STDMETHOD(OnProgress)(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
    STDMETHOD(OnStopBinding)(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHOD(GetBindInfo)(DWORD*, BINDINFO*) override { return S_OK; }
    STDMETHOD(OnDataAvailable)(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    STDMETHOD(OnObjectAvailable)(REFIID, IUnknown*) override { return S_OK; }

private:
    CancelTest m_cancelTest;
    Report m_report;
};
