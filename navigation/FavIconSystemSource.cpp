// The favicon cache's system source and the program's cache.
#include "navigation/FavIconCache.h"

#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/RegistryKey.h"
#include "core/system/ShellItems.h"
#include "navigation/RegistryHistory.h"
#include "navigation/UrlAliasList.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>
#include <shlobj.h>
#include <urlmon.h>

#include <atomic>

namespace {

// Asks urlmon to give up a download once the stop event is set: a binding whose callback answers
// E_ABORT from OnProgress is cancelled, so the loader returns at once at exit.
class CCancellingBindCallback : public IBindStatusCallback {
public:
    explicit CCancellingBindCallback(HANDLE stopEvent) : m_stopEvent(stopEvent) {}
    virtual ~CCancellingBindCallback() = default;
    CCancellingBindCallback(const CCancellingBindCallback&) = delete;
    CCancellingBindCallback& operator=(const CCancellingBindCallback&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
            *object = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG count = --m_references;
        if (count == 0)
            delete this;
        return count;
    }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return Check(); }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return Check(); }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return Check(); }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

private:
    HRESULT Check() const
    {
        try {
            return WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0 ? E_ABORT : S_OK;
        } catch (...) {
            return ReportCaughtExceptionAsHresult("CCancellingBindCallback");
        }
    }

    HANDLE m_stopEvent;  // not owned: the cache's stop event, which outlives the download
    std::atomic<ULONG> m_references{1};
};

constexpr int kMaxSeedFiles = 5000;
constexpr int kMaxSeedDepth = 16;

void CollectShortcuts(const std::string& folder, int depth, std::vector<std::string>& seeds)
{
    if (depth > kMaxSeedDepth || static_cast<int>(seeds.size()) >= kMaxSeedFiles)
        return;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                CollectShortcuts(folder + name + "\\", depth + 1, seeds);
        } else if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".url") == 0) {
            seeds.push_back(folder + name);
        }
    } while (static_cast<int>(seeds.size()) < kMaxSeedFiles && FindNextFileA(find, &data));
}

class CSystemFavIconSource : public IFavIconSource {
public:
    CSystemFavIconSource()
    {
        SHFILEINFOA info = {};
        m_systemImages = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        m_registryPath = GetRegistrySettingsStore()->GetRegistryPath().c_str();
    }

    HICON FetchSiteIcon(const std::string& iconUrl, HANDLE stopEvent) override
    {
        char file[MAX_PATH] = {};
        auto* callback = new CCancellingBindCallback(stopEvent);
        const HRESULT result = URLDownloadToCacheFileA(nullptr, iconUrl.c_str(), file, MAX_PATH, 0, callback);
        callback->Release();
        if (FAILED(result) || !file[0])
            return nullptr;
        return static_cast<HICON>(LoadImageA(nullptr, file, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
    }

    int GetShellIconIndex(const std::string& path) override
    {
        CPidl list(ParseDisplayNameToPidl(path.c_str()));
        if (!list.Get())
            return -1;
        SHFILEINFOA info = {};
        if (!SHGetFileInfoA(reinterpret_cast<const char*>(list.Get()), 0, &info, sizeof(info),
                            SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
            return -1;
        return info.iIcon;
    }

    // The system image list is the shell's, held for the process, not the command-icon store's,
    // which may be gone before the loader stops.
    HICON GetShellIcon(int index) override
    {
        return m_systemImages ? ImageList_GetIcon(m_systemImages, index, ILD_TRANSPARENT) : nullptr;
    }

    std::string ReadShortcutUrl(const std::string& path) override
    {
        return GetInternetShortcutUrl(path.c_str()).c_str();
    }

    void CollectSeeds(std::vector<std::string>& seeds) override
    {
        char favorites[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, favorites)) &&
            favorites[0]) {
            std::string folder = favorites;
            if (folder.back() != '\\')
                folder += '\\';
            CollectShortcuts(folder, 0, seeds);
        }
        CRegistryKey recent;
        if (recent.Open(HKEY_CURRENT_USER, (m_registryPath + "\\Recent Document List").c_str(), KEY_READ)) {
            DWORD count = 0;
            recent.QueryDWordValue("DocumentCount", count);
            for (DWORD i = std::min<DWORD>(count, 100); i >= 1; --i) {
                TStdStr<char> name;
                if (recent.QueryStringValue(("OpenName" + std::to_string(i)).c_str(), name) && !name.empty() &&
                    name.size() <= kMaxHistoryText)
                    seeds.emplace_back(name.c_str());
            }
        }
        for (const std::string& url : TypedUrlHistory().Load())
            seeds.push_back(url);
    }

private:
    HIMAGELIST m_systemImages = nullptr;  // not owned: the shell's system image list
    std::string m_registryPath;
};

// The seeds held in memory, taken on the thread that builds the cache; everything that reads
// files or the registry is read by the loader.
std::vector<std::string> ProgramSeeds()
{
    std::vector<std::string> seeds = {"https://www.google.com/", "https://www.wikipedia.org/"};
    if (CSettings* settings = GetSettings()) {
        settings->LoadLastOpenSites();
        for (const CSessionEntry& entry : settings->LastOpenSites)
            seeds.emplace_back(entry.url.c_str());
    }
    if (CStartSites* sites = GetStartSites()) {
        for (const auto& site : sites->m_sites)
            seeds.emplace_back(site.c_str());
    }
    if (CUrlAliasList* aliases = GetUrlAliases()) {
        for (const CUrlAlias& alias : aliases->Records())
            seeds.push_back(alias.url);
    }
    return seeds;
}

}  // namespace

std::unique_ptr<IFavIconSource> CreateSystemFavIconSource()
{
    return std::make_unique<CSystemFavIconSource>();
}

CFavIconCache::CFavIconCache() : CFavIconCache(CreateSystemFavIconSource(), ProgramSeeds()) {}

CFavIconCache* GetFavIconCache()
{
    return GetSingleton<CFavIconCache, kPriorityFavIconCache>();
}
