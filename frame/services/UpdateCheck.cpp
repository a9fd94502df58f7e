#include "frame/services/UpdateCheck.h"

#include "core/library/IniFile.h"
#include "core/library/UrlFunctions.h"
#include "platform/Diagnostics.h"

#include <objbase.h>
#include <urlmon.h>

#include <cstdio>

namespace {

constexpr size_t kMaxVersionFields = 8;
constexpr size_t kMaxFieldDigits = 9;
constexpr size_t kMaxInfoText = 4096;

bool ParseVersion(const std::string& text, std::vector<unsigned long>& fields)
{
    fields.clear();
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        const std::string field = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (field.empty() || field.size() > kMaxFieldDigits || fields.size() >= kMaxVersionFields)
            return false;
        for (char c : field) {
            if (c < '0' || c > '9')
                return false;
        }
        fields.push_back(std::stoul(field));
        if (dot == std::string::npos)
            return true;
        start = dot + 1;
    }
}

std::string Bounded(const TStdStr<char>& text)
{
    std::string value = text.c_str();
    if (value.size() > kMaxInfoText)
        value.clear();  // a text this long is no address, date or version: treated as absent
    return value;
}

// The download's status callback: its only job is to let the worker give up when asked.
// It also takes the server's status code: Wine's URLDownloadToFile reports success for a 404
// answer and leaves its (empty) body as the file.
class CCancellableDownload final : public IBindStatusCallback, public IHttpNegotiate {
public:
    CCancellableDownload(const std::atomic<bool>& cancel, HWND progressWindow)
        : m_cancel(cancel), m_progressWindow(progressWindow)
    {
    }
    DWORD ResponseCode() const { return m_responseCode; }
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
            *object = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == IID_IHttpNegotiate) {
            *object = static_cast<IHttpNegotiate*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the worker's stack for the one synchronous download.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // Wine's urlmon gives up on a download whose callback answers E_NOTIMPL to the start of the
    // binding or to the request for the bind information, so those two answer S_OK.
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    // The amounts go to the progress window as a posted message: the worker touches no window.
    STDMETHODIMP OnProgress(ULONG progress, ULONG maximum, ULONG, LPCWSTR) override
    {
        if (m_progressWindow)
            PostMessageA(m_progressWindow, kMsgUpdateProgress, progress, static_cast<LPARAM>(maximum));
        return m_cancel ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO*) override
    {
        // Always fetched anew: a cached copy would hide a newer version.
        if (flags)
            *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override
    {
        if (additionalHeaders)
            *additionalHeaders = nullptr;
        return S_OK;
    }
    STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override
    {
        m_responseCode = responseCode;
        if (additionalHeaders)
            *additionalHeaders = nullptr;
        return S_OK;
    }

private:
    DWORD m_responseCode = 0;
    const std::atomic<bool>& m_cancel;  // the check's flag, which outlives the download
    HWND m_progressWindow;              // not owned; may be gone by the time a message arrives
};

} // namespace

std::optional<int> CompareVersions(const std::string& left, const std::string& right)
{
    std::vector<unsigned long> a;
    std::vector<unsigned long> b;
    if (!ParseVersion(left, a) || !ParseVersion(right, b))
        return std::nullopt;
    for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
        const unsigned long x = i < a.size() ? a[i] : 0;
        const unsigned long y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

std::string ChooseUpdateUrl(const std::string& setting, const std::string& builtIn)
{
    return !setting.empty() && IsWebUrl(setting.c_str()) ? setting : builtIn;
}

CUpdateResult ReadUpdateInfo(const std::string& path, const std::string& runningVersion,
                             const std::string& languageName, bool isFirstLanguage,
                             const std::string& installedLanguageVersion)
{
    CUpdateResult result;
    CIniFile file;
    if (!file.Open(path.c_str()))
        return result;
    CUpdateInfo& info = result.info;
    info.version = Bounded(file.GetString("main", "version", runningVersion.c_str()));
    if (info.version.empty())
        info.version = runningVersion;
    const std::optional<int> order = CompareVersions(runningVersion, info.version);
    if (!order) {
        result.decision = EUpdateDecision::kBadVersion;
        return result;
    }
    if (*order < 0) {
        info.releaseDate = Bounded(file.GetString("main", "releasedate", kBuildReleaseDate));
        info.downloadUrl = Bounded(file.GetString("main", "downloadurl", ""));
        // The address comes from a server over plain http: only a web page is offered, never a
        // path or a share that would start a program.
        if (IsWebUrl(info.downloadUrl.c_str()) && info.downloadUrl.size() < kMaxDownloadUrlLength) {
            result.decision = EUpdateDecision::kOfferNewVersion;
            return result;
        }
        info.downloadUrl.clear();
        result.decision = EUpdateDecision::kBadVersion;
        return result;
    }
    result.decision = EUpdateDecision::kUpToDate;
    if (isFirstLanguage || languageName.empty() || languageName == "English")
        return result;
    // A language name is a key and a file name: one with path characters is no language.
    if (languageName.find_first_of("\\/:.*?\"<>|") != std::string::npos || languageName.size() > 64)
        return result;
    info.languageVersion = Bounded(file.GetString("language", languageName.c_str(), ""));
    if (info.languageVersion.empty())
        return result;
    const std::optional<int> languageOrder = CompareVersions(installedLanguageVersion, info.languageVersion);
    const std::string base = Bounded(file.GetString("language", "downloadurl", ""));
    if (languageOrder && *languageOrder < 0 && IsWebUrl(base.c_str())) {
        info.languageFileUrl = base + languageName + ".lng";
        result.decision = EUpdateDecision::kUpdateLanguage;
    }
    return result;
}

bool DownloadUpdateFile(const std::string& url, const std::string& path, const std::atomic<bool>& cancel,
                        HWND progressWindow)
{
    DeleteFileA(path.c_str());
    CCancellableDownload callback(cancel, progressWindow);
    const HRESULT downloaded = URLDownloadToFileA(nullptr, url.c_str(), path.c_str(), 0, &callback);
    // An error answer of the server is a failed download, whatever the URL layer says; so is an
    // empty file (a server that answered nothing usable).
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    const bool hasContent = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes) &&
                            (attributes.nFileSizeLow != 0 || attributes.nFileSizeHigh != 0);
    const bool ok = SUCCEEDED(downloaded) && callback.ResponseCode() < 400 && hasContent && !cancel;
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}

bool UpdateLanguageFile(const std::string& url, const std::string& installedPath)
{
    const size_t slash = installedPath.find_last_of('\\');
    if (slash == std::string::npos || !IsWebUrl(url.c_str()))
        return false;
    const std::string folder = installedPath.substr(0, slash + 1);
    char temporary[MAX_PATH] = "";
    if (!GetTempFileNameA(folder.c_str(), "KIV", 0, temporary))
        return false;
    const std::atomic<bool> never{false};
    if (!DownloadUpdateFile(url, temporary, never)) {
        DeleteFileA(temporary);
        return false;
    }
    // A language file is an INI text of bounded size; anything else the server sent is not one.
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    bool usable = GetFileAttributesExA(temporary, GetFileExInfoStandard, &attributes) && attributes.nFileSizeHigh == 0 &&
                  attributes.nFileSizeLow <= kMaxLanguageFileBytes;
    if (usable) {
        CIniFile file;
        usable = file.Open(temporary) && !file.GetString("Info", "Version", "").empty();
    }
    // The installed file is replaced in one move, and kept when the move fails.
    if (!usable || !MoveFileExA(temporary, installedPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

CUpdateCheck::~CUpdateCheck()
{
    Stop();
}

bool CUpdateCheck::Start(HWND notifyWindow, const std::string& url, const std::string& localPath, bool userCheck,
                         HWND progressWindow)
{
    if (IsRunning())
        return false;
    // The thread of a check that has ended is released before the next one starts: a thread
    // object still holding it would refuse the start.
    Stop();
    m_cancel = false;
    m_finished = false;
    m_thread = std::make_unique<CBackgroundThread>(
        [this, notifyWindow, url, localPath, userCheck, progressWindow] {
            return Run(notifyWindow, url, localPath, userCheck, progressWindow);
        },
        kUpdateCheckStopTimeout);
    return m_thread->Start();
}

void CUpdateCheck::Stop()
{
    m_cancel = true;
    if (m_thread)
        m_thread->Stop();
    m_thread.reset();
}

unsigned CUpdateCheck::Run(HWND notifyWindow, std::string url, std::string localPath, bool userCheck,
                           HWND progressWindow)
{
    try {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const bool ok = DownloadUpdateFile(url, localPath, m_cancel, progressWindow);
        if (SUCCEEDED(com))
            CoUninitialize();
        // The window may be gone by now; a posted message to a dead handle is simply dropped.
        if (!m_cancel && IsWindow(notifyWindow))
            PostMessageA(notifyWindow, kMsgUpdateCheckDone, userCheck ? 1 : 0, ok ? 1 : 0);
        m_finished = true;
        return ok ? 0 : 1;
    } catch (...) {
        m_finished = true;
        ReportCaughtException("CUpdateCheck::Run");
        return kExceptionExitCode;
    }
}

std::string FormatDownloadSize(ULONG bytes)
{
    char text[64] = "";
    if (bytes < 1024)
        snprintf(text, sizeof(text), "%lu bytes", static_cast<unsigned long>(bytes));
    else if (bytes < 1024 * 1024)
        snprintf(text, sizeof(text), "%.2f KB", bytes / 1024.0);
    else
        snprintf(text, sizeof(text), "%.2f MB", bytes / (1024.0 * 1024.0));
    return text;
}

std::string FormatDownloadProgress(ULONG progress, ULONG total)
{
    return "Downloaded " + FormatDownloadSize(progress) + " of " +
           (total ? FormatDownloadSize(total) : std::string("(total size unknown)"));
}

int DownloadPercent(ULONG progress, ULONG total)
{
    if (!total)
        return 0;
    const unsigned long long percent = static_cast<unsigned long long>(progress) * 100 / total;
    return static_cast<int>(percent > 100 ? 100 : percent);
}
