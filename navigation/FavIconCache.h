#pragma once
// CFavIconCache: one shared 16 x 16 image list of site and file icons, a map from cache key to
// image index, a queue of keys still to fetch and one loader thread that downloads each site's
// "favicon.ico" (or takes the shell's icon of a file). GetIconIndex answers at once: the stored
// index, or 4 (the default page) while the icon is unknown, queueing the key.
//
// Locks (one short step each): the queue lock guards the queue, the map lock the key map, the
// image-list lock the image list. The one nesting is map lock, then queue lock (a missed lookup
// queues its key while it holds the map lock); the loader never holds two at once and fetches
// with none held; the user-interface thread only try-locks the map. Whoever attaches the image
// list to a control or draws from it holds the image-list lock meanwhile (CFavIconImageListLock).
//
// Lifetime: the loader thread shares the cache's state. At destruction the stop event is set,
// which also cancels a download in progress; the thread is waited for, never terminated. A thread
// that has not ended within the stop time-out keeps the state alive until it ends on its own.
#include "platform/AtlBase.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

enum class EFavIconKind { File = 0, Site = 1, BuiltIn = 2 };

constexpr int kDefaultPageIcon = 4;
constexpr int kFavIconBaseImages = 7;
constexpr DWORD kFavIconStopTimeout = 5500;

// The cache key of an address: "www." gets "http://" in front; an http or https address gives
// its site root, lower-case ("http://www.x.org/"), kind Site; "about:" and "res:" give
// "about:blank", kind BuiltIn; any other text is its own key, kind File. Empty for empty text.
std::string GetFavIconKey(const std::string& address, EFavIconKind* kind = nullptr);

// What the loader thread fetches with. Every call runs on the loader thread.
class IFavIconSource {
public:
    virtual ~IFavIconSource() = default;
    // The icon of the address (a site root followed by "favicon.ico") at the small-icon size, null
    // when it cannot be had. Must give up soon after `stopEvent` is signalled.
    virtual HICON FetchSiteIcon(const std::string& iconUrl, HANDLE stopEvent) = 0;
    // The index of the path's small icon in the system image list, -1 when none.
    virtual int GetShellIconIndex(const std::string& path) = 0;
    // A copy of the system image list's small icon `index` (the caller destroys it), null when none.
    virtual HICON GetShellIcon(int index) = 0;
    // The URL of an Internet shortcut file; empty when it holds none.
    virtual std::string ReadShortcutUrl(const std::string& path) = 0;
    // Further keys to seed with, read on the loader thread (favorites, typed addresses, recent
    // documents); none by default.
    virtual void CollectSeeds(std::vector<std::string>& /*seeds*/) {}
};

// The program's source: urlmon's download into the Internet cache (cancelled through its binding
// callback when the stop event is set), the shell's system image list, the shortcut reader, and
// the seeds from the favorites folder and the registry.
std::unique_ptr<IFavIconSource> CreateSystemFavIconSource();

class CFavIconCache {
public:
    // The program's cache with the system source, seeded (GetFavIconCache).
    CFavIconCache();
    // A cache with the given source and these first seeds (besides "about:blank").
    CFavIconCache(std::unique_ptr<IFavIconSource> source, const std::vector<std::string>& seeds);
    ~CFavIconCache();
    CFavIconCache(const CFavIconCache&) = delete;
    CFavIconCache& operator=(const CFavIconCache&) = delete;

    // The image index of the address's icon; 4 while it is unknown or the map is busy (the key is
    // then queued). Never waits for a lock.
    int GetIconIndex(const std::string& address);
    // Appends the text (a key, an address or a ".url" path) to the queue and wakes the loader.
    void QueueRequest(const std::string& text);

    HIMAGELIST GetImageList() const;
    CRITICAL_SECTION& GetImageListLock();
    // The number of fetches the loader started (each key at most once per run).
    long GetFetchCount() const;

    struct CState;

private:
    std::shared_ptr<CState> m_state;
    CHandle m_thread;
};

// Holds the cache's image-list lock for a scope.
class CFavIconImageListLock {
public:
    explicit CFavIconImageListLock(CFavIconCache& cache) : m_section(cache.GetImageListLock()) { EnterCriticalSection(&m_section); }
    ~CFavIconImageListLock() { LeaveCriticalSection(&m_section); }
    CFavIconImageListLock(const CFavIconImageListLock&) = delete;
    CFavIconImageListLock& operator=(const CFavIconImageListLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

CFavIconCache* GetFavIconCache();
