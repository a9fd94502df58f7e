#include "browser/filter/AdFilterProtocol.h"

#include "browser/filter/AdFilter.h"
#include "browser/filter/FilterNotices.h"
#include "browser/filter/PopupAllowList.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "frame/BrowserTab.h"
#include "frame/MainFrameData.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

bool IsCtrlDown()
{
    // GetKeyState is the calling thread's view of the keyboard; only the user-interface thread
    // follows the user's input, other threads ask the hardware state.
    const SHORT state = IsFilterUiThread() ? GetKeyState(VK_CONTROL) : GetAsyncKeyState(VK_CONTROL);
    return (state & 0x8000) != 0;
}

// The 42 bytes in a file of their own: a synchronous client of Wine's URL layer (URLOpenBlockingStream,
// URLDownloadToFile) takes the data only from a cache file the handler names.
const std::wstring& BlockedImageCacheFile()
{
    static std::once_flag once;
    static std::wstring path;
    std::call_once(once, [] {
        wchar_t folder[MAX_PATH] = {};
        const DWORD length = GetTempPathW(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH - 32)
            return;
        const std::wstring candidate = std::wstring(folder) + L"KivoBrowserBlocked.gif";
        CHandle file(CreateFileW(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file && WriteFile(file, kBlockedImage, sizeof(kBlockedImage), &written, nullptr) &&
            written == sizeof(kBlockedImage) && file.Close())
            path = candidate;
    });
    return path;
}

bool EndsWith(const std::string& text, const char* end)
{
    const size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

}  // namespace

CAdFilterClassFactory::CAdFilterClassFactory()
{
    InstallFilterUiThread();
}

HRESULT CreateAdFilterClassFactory(IClassFactory** factory)
{
    return CAdFilterProtocol::_ClassFactoryCreatorClass::CreateInstance(
        reinterpret_cast<void*>(CAdFilterProtocol::_CreatorClass::CreateInstance), IID_IClassFactory,
        reinterpret_cast<void**>(factory));
}

HRESULT CreateSystemProtocolHandler(LPCWSTR url, IInternetProtocol** handler)
{
    if (!handler)
        return E_POINTER;
    *handler = nullptr;
    const bool secure = url && _wcsnicmp(url, L"https:", 6) == 0;
    HMODULE urlmon = GetModuleHandleA("urlmon.dll");
    using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = urlmon ? reinterpret_cast<GetClassObjectFunction>(
                                       reinterpret_cast<void*>(GetProcAddress(urlmon, "DllGetClassObject")))
                                 : nullptr;
    if (!getClassObject)
        return E_FAIL;
    CComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(secure ? CLSID_HttpSProtocol : CLSID_HttpProtocol, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_IInternetProtocol, reinterpret_cast<void**>(handler));
}

void CAdFilterProtocol::FinalRelease()
{
    if (m_inner) {
        m_inner->Release();
        m_inner = nullptr;
    }
}

STDMETHODIMP CAdFilterProtocol::Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                      DWORD flags, HANDLE_PTR reserved)
{
    try {
        if (!url)
            return E_INVALIDARG;
        if (m_mode != EMode::kIdle)
            return E_UNEXPECTED;
        const std::string narrow = TStdStr<char>(url);
        if (BlockWebPageDialog(narrow, sink, bindInfo) || BlockAd(narrow, sink))
            return S_OK;
        return PassThrough(url, sink, bindInfo, flags, reserved);
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CAdFilterProtocol::Start");
    }
}

bool CAdFilterProtocol::BlockWebPageDialog(const std::string& url, IInternetProtocolSink* sink,
                                           IInternetBindInfo* bindInfo)
{
    // The engine fetches its dialogs on the user-interface thread; the frame data and the allow list
    // belong to that thread.
    if (!IsFilterUiThread() || IsCtrlDown())
        return false;
    const DWORD blocker = GetSettings()->BlockerFlags;
    if (!(blocker & BlockerFlag::PopupBlocker) || (blocker & BlockerFlag::WebPageDialogBlocker))
        return false;
    if (!bindInfo)
        return false;
    BINDINFO info = {};
    info.cbSize = sizeof(info);
    DWORD bindFlags = 0;
    if (FAILED(bindInfo->GetBindInfo(&bindFlags, &info)))
        return false;
    ReleaseBindInfo(&info);
    if (bindFlags != kWebPageDialogBindFlags)
        return false;
    CMainFrameData& frameData = GetMainFrameData();
    // A dialog that shows the page itself is not blocked.
    if (frameData.m_latestNavigationUrl.find(url) != std::string::npos)
        return false;
    TStdStr<char> lower = url;
    lower.MakeLower();
    if (EndsWith(lower, ".xsl") || EndsWith(lower, ".htc"))
        return false;
    if (GetPopupAllowList().IsSiteAllowed(frameData.m_latestNavigationUrl.c_str()))
        return false;
    TStdStr<char> rule;
    if (MatchAdFilterException(lower.c_str(), rule))
        return false;
    m_mode = EMode::kEmpty;
    ++frameData.m_pendingBlockedDialogs;
    if (IBrowserTabHost* host = GetBrowserTabHost())
        host->OnPopupBlocked(TranslateText("Web Page Dialog").c_str(), "", lower.c_str());
    if (sink) {
        CComPtr<IInternetProtocolSink> hold(sink);
        hold->ReportResult(S_OK, 0, nullptr);
    }
    return true;
}

bool CAdFilterProtocol::BlockAd(const std::string& url, IInternetProtocolSink* sink)
{
    if (IsCtrlDown() || !(GetSettings()->BlockerFlags & BlockerFlag::AdFilter))
        return false;
    TStdStr<char> rule;
    if (!MatchAdFilter(url.c_str(), rule))
        return false;
    // Ready before the sink is called: the URL layer reads from inside ReportData.
    m_mode = EMode::kImage;
    m_readPosition = 0;
    ReportAdBlockedToHost(rule, url);
    if (sink) {
        // Terminate may come from inside ReportResult; the sink stays alive until the end here.
        CComPtr<IInternetProtocolSink> hold(sink);
        hold->ReportProgress(BINDSTATUS_MIMETYPEAVAILABLE, L"image/gif");
        const std::wstring& cacheFile = BlockedImageCacheFile();
        if (!cacheFile.empty())
            hold->ReportProgress(BINDSTATUS_CACHEFILENAMEAVAILABLE, cacheFile.c_str());
        hold->ReportData(BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION | BSCF_DATAFULLYAVAILABLE,
                         sizeof(kBlockedImage), sizeof(kBlockedImage));
        hold->ReportResult(S_OK, 0, nullptr);
    }
    return true;
}

HRESULT CAdFilterProtocol::PassThrough(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                       DWORD flags, HANDLE_PTR reserved)
{
    IInternetProtocol* inner = nullptr;
    if (FAILED(CreateSystemProtocolHandler(url, &inner)) || !inner)
        return INET_E_USE_DEFAULT_PROTOCOLHANDLER;  // the last resort, which Windows honours
    m_inner = inner;
    m_mode = EMode::kPassThrough;
    return m_inner->Start(url, sink, bindInfo, flags, reserved);
}

STDMETHODIMP CAdFilterProtocol::Continue(PROTOCOLDATA* data)
{
    return m_inner ? m_inner->Continue(data) : S_OK;
}

STDMETHODIMP CAdFilterProtocol::Abort(HRESULT reason, DWORD options)
{
    return m_inner ? m_inner->Abort(reason, options) : S_OK;
}

STDMETHODIMP CAdFilterProtocol::Terminate(DWORD options)
{
    return m_inner ? m_inner->Terminate(options) : S_OK;
}

STDMETHODIMP CAdFilterProtocol::Suspend()
{
    return m_inner ? m_inner->Suspend() : E_NOTIMPL;
}

STDMETHODIMP CAdFilterProtocol::Resume()
{
    return m_inner ? m_inner->Resume() : E_NOTIMPL;
}

STDMETHODIMP CAdFilterProtocol::Read(void* buffer, ULONG size, ULONG* read)
{
    if (m_inner)
        return m_inner->Read(buffer, size, read);
    ULONG copied = 0;
    if (m_mode == EMode::kImage && buffer && m_readPosition < sizeof(kBlockedImage)) {
        copied = static_cast<ULONG>(std::min<size_t>(size, sizeof(kBlockedImage) - m_readPosition));
        std::memcpy(buffer, kBlockedImage + m_readPosition, copied);
        m_readPosition += copied;
    }
    if (read)
        *read = copied;
    return m_mode == EMode::kImage && m_readPosition < sizeof(kBlockedImage) ? S_OK : S_FALSE;
}

STDMETHODIMP CAdFilterProtocol::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    return m_inner ? m_inner->Seek(move, origin, position) : E_NOTIMPL;
}

STDMETHODIMP CAdFilterProtocol::LockRequest(DWORD options)
{
    return m_inner ? m_inner->LockRequest(options) : S_OK;
}

STDMETHODIMP CAdFilterProtocol::UnlockRequest()
{
    return m_inner ? m_inner->UnlockRequest() : S_OK;
}

STDMETHODIMP CAdFilterProtocol::ParseUrl(LPCWSTR, PARSEACTION, DWORD, LPWSTR, DWORD, DWORD*, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP CAdFilterProtocol::CombineUrl(LPCWSTR, LPCWSTR, DWORD, LPWSTR, DWORD, DWORD*, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP CAdFilterProtocol::CompareUrl(LPCWSTR first, LPCWSTR second, DWORD)
{
    if (!first || !second)
        return E_POINTER;
    return lstrcmpW(first, second) == 0 ? S_OK : S_FALSE;
}

STDMETHODIMP CAdFilterProtocol::QueryInfo(LPCWSTR, QUERYOPTION, DWORD, LPVOID, DWORD, DWORD*, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}
