#pragma once
// CAdFilterProtocol: the namespace handler that the URL layer puts in front of every "http" and
// "https" request of the process (the module's object-map entry under the all-zero class id; the
// main frame registers its class object for both schemes). Per request it
//   - refuses a page's modal web-page dialog its content (an empty answer) and reports it to the frame
//     as a blocked popup, unless Ctrl is held, the blocker is off, or one of the exemptions holds;
//   - answers a URL that a filter rule matches with a 1x1 transparent GIF of 42 bytes and reports it
//     as a blocked ad (ReportAdBlockedToHost);
//   - passes every other request to the system's own http or https handler, which it creates and
//     forwards every call to. Wine's URL layer does not fall back to the system handler when a
//     temporary handler answers INET_E_USE_DEFAULT_PROTOCOLHANDLER (the request fails with that
//     code), so the handler does the forwarding itself; Windows works the same way.
// The image keeps a read position: Wine's URL layer reads once to sniff the MIME type and then again,
// and every read after the 42 bytes answers S_FALSE with nothing, so the image arrives once.
//
// Objects live per request, on the thread that started the binding; the class factory is
// free-threaded and refuses aggregation (the URL layer then asks again without an outer object).
#include "platform/AtlCom.h"

#include <windows.h>
#include <urlmon.h>

#include <cstddef>
#include <string>

// The answer to a blocked ad: GIF89a, 1x1, two-colour table, transparent index 0.
constexpr unsigned char kBlockedImage[42] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x01, 0x44, 0x00, 0x3B};

// The bind flags with which the engine fetches a modal web-page dialog's content.
constexpr DWORD kWebPageDialogBindFlags = BINDF_FROMURLMON | BINDF_PULLDATA | BINDF_ASYNCSTORAGE | BINDF_ASYNCHRONOUS;

// The class factory: making it records the user-interface thread (InstallFilterUiThread).
class CAdFilterClassFactory : public CComClassFactory {
public:
    CAdFilterClassFactory();
};

class CAdFilterProtocol : public CComObjectRootEx<CComMultiThreadModel>,
                          public CComCoClass<CAdFilterProtocol>,
                          public IInternetProtocol,
                          public IInternetProtocolInfo {
public:
    using _ClassFactoryCreatorClass = CComFactoryCreator<CAdFilterClassFactory>;

    BEGIN_COM_MAP(CAdFilterProtocol)
        COM_INTERFACE_ENTRY(IInternetProtocol)
        COM_INTERFACE_ENTRY(IInternetProtocolRoot)
        COM_INTERFACE_ENTRY(IInternetProtocolInfo)
    END_COM_MAP()

    void FinalRelease();

    // IInternetProtocolRoot
    STDMETHOD(Start)(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo, DWORD flags,
                     HANDLE_PTR reserved) override;
    STDMETHOD(Continue)(PROTOCOLDATA* data) override;
    STDMETHOD(Abort)(HRESULT reason, DWORD options) override;
    STDMETHOD(Terminate)(DWORD options) override;
    STDMETHOD(Suspend)() override;
    STDMETHOD(Resume)() override;
    // IInternetProtocol
    STDMETHOD(Read)(void* buffer, ULONG size, ULONG* read) override;
    STDMETHOD(Seek)(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    STDMETHOD(LockRequest)(DWORD options) override;
    STDMETHOD(UnlockRequest)() override;
    // IInternetProtocolInfo
    STDMETHOD(ParseUrl)(LPCWSTR url, PARSEACTION action, DWORD flags, LPWSTR result, DWORD size, DWORD* written,
                        DWORD reserved) override;
    STDMETHOD(CombineUrl)(LPCWSTR base, LPCWSTR relative, DWORD flags, LPWSTR result, DWORD size, DWORD* written,
                          DWORD reserved) override;
    STDMETHOD(CompareUrl)(LPCWSTR first, LPCWSTR second, DWORD flags) override;
    STDMETHOD(QueryInfo)(LPCWSTR url, QUERYOPTION option, DWORD flags, LPVOID buffer, DWORD size, DWORD* written,
                         DWORD reserved) override;

private:
    enum class EMode { kIdle, kImage, kEmpty, kPassThrough };

    bool BlockWebPageDialog(const std::string& url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo);
    bool BlockAd(const std::string& url, IInternetProtocolSink* sink);
    HRESULT PassThrough(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo, DWORD flags,
                        HANDLE_PTR reserved);

    EMode m_mode = EMode::kIdle;
    size_t m_readPosition = 0;
    IInternetProtocol* m_inner = nullptr;  // owned: the system handler of a request passed through
};

// The system's own handler for the URL's scheme ("https" gets the https one), made through
// urlmon's own class objects so that it works in any apartment; null on failure.
HRESULT CreateSystemProtocolHandler(LPCWSTR url, IInternetProtocol** handler);
// A class factory of CAdFilterProtocol for callers outside the module's object map (tests).
HRESULT CreateAdFilterClassFactory(IClassFactory** factory);
