#include "navigation/FavIconCache.h"

#include "core/library/LifetimeTracker.h"
#include "core/library/UrlFunctions.h"
#include "navigation/AddressText.h"
#include "navigation/NavigationImages.h"
#include "platform/Diagnostics.h"

#include <ole2.h>
#include <process.h>

#include <atomic>
#include <deque>
#include <unordered_map>

std::string GetFavIconKey(const std::string& address, EFavIconKind* kind)
{
    EFavIconKind found = EFavIconKind::File;
    std::string text = TrimBlanks(address);
    std::string key;
    if (text.compare(0, 4, "www.") == 0)
        text = "http://" + text;
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://")) {
        key = CompleteUrl(text.c_str()).c_str();
        if (!key.empty() && key.back() == '/')
            found = EFavIconKind::Site;
    } else if (text.compare(0, 6, "about:") == 0 || text.compare(0, 4, "res:") == 0) {
        key = "about:blank";
        found = EFavIconKind::BuiltIn;
    } else {
        key = text;
    }
    if (kind)
        *kind = found;
    return key;
}

namespace {
constexpr size_t kMaxQueuedRequests = 4096;
}  // namespace

// Everything the loader thread and the cache share; the last of the two to let go frees it.
struct CFavIconCache::CState {
    CState()
    {
        InitializeCriticalSection(&queueLock);
        InitializeCriticalSection(&imageListLock);
        InitializeCriticalSection(&mapLock);
    }
    ~CState()
    {
        DeleteCriticalSection(&mapLock);
        DeleteCriticalSection(&imageListLock);
        DeleteCriticalSection(&queueLock);
    }
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;

    CRITICAL_SECTION queueLock;
    CRITICAL_SECTION imageListLock;
    CRITICAL_SECTION mapLock;
    CHandle workEvent{CreateEventA(nullptr, FALSE, TRUE, nullptr)};   // auto-reset, created set
    CHandle stopEvent{CreateEventA(nullptr, TRUE, FALSE, nullptr)};   // stays set once stopping
    std::unordered_map<std::string, int> keyMap;
    std::deque<std::string> queue;
    std::unordered_map<int, int> shellIconMap;  // loader thread only
    CImageListHolder imageList{CreateNavigationImageList(kFavIconBaseImages)};
    std::unique_ptr<IFavIconSource> source;
    std::atomic<long> fetches{0};

    void Queue(const std::string& text)
    {
        {
            // Every repaint asks again for an unknown key; while a download stalls the queue would
            // grow without end. Past the bound a request is dropped: it is asked for again later.
            EnterCriticalSection(&queueLock);
            if (queue.size() < kMaxQueuedRequests)
                queue.push_back(text);
            LeaveCriticalSection(&queueLock);
        }
        SetEvent(workEvent);
    }
    bool Pop(std::string& text)
    {
        EnterCriticalSection(&queueLock);
        const bool any = !queue.empty();
        if (any) {
            text = std::move(queue.front());
            queue.pop_front();
        }
        LeaveCriticalSection(&queueLock);
        return any;
    }
    bool Known(const std::string& key)
    {
        EnterCriticalSection(&mapLock);
        const bool known = keyMap.count(key) != 0;
        LeaveCriticalSection(&mapLock);
        return known;
    }
    void Record(const std::string& key, int index)
    {
        EnterCriticalSection(&mapLock);
        keyMap[key] = index;
        LeaveCriticalSection(&mapLock);
    }
    int Append(HICON icon)
    {
        EnterCriticalSection(&imageListLock);
        const int index = ImageList_AddIcon(imageList.Get(), icon);
        LeaveCriticalSection(&imageListLock);
        return index;
    }
    bool Stopping() const { return WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0; }

    int Fetch(const std::string& key, EFavIconKind kind);
    void Drain();
    unsigned Run();
};

int CFavIconCache::CState::Fetch(const std::string& key, EFavIconKind kind)
{
    if (kind == EFavIconKind::BuiltIn || !source)
        return kDefaultPageIcon;
    ++fetches;
    if (kind == EFavIconKind::Site) {
        HICON icon = source->FetchSiteIcon(key + "favicon.ico", stopEvent);
        if (!icon)
            return kDefaultPageIcon;
        const int index = Append(icon);
        DestroyIcon(icon);
        return index >= 0 ? index : kDefaultPageIcon;
    }
    const int shellIndex = source->GetShellIconIndex(key);
    if (shellIndex < 0)
        return kDefaultPageIcon;
    const auto known = shellIconMap.find(shellIndex);
    if (known != shellIconMap.end())
        return known->second;
    HICON icon = source->GetShellIcon(shellIndex);
    if (!icon)
        return kDefaultPageIcon;
    const int index = Append(icon);
    DestroyIcon(icon);
    if (index < 0)
        return kDefaultPageIcon;
    shellIconMap[shellIndex] = index;
    return index;
}

void CFavIconCache::CState::Drain()
{
    std::string text;
    while (!Stopping() && Pop(text)) {
        if (text.size() >= 4 && EqualNoCase(text.substr(text.size() - 4), ".url"))
            text = source ? source->ReadShortcutUrl(text) : std::string();
        EFavIconKind kind = EFavIconKind::File;
        const std::string key = GetFavIconKey(text, &kind);
        if (key.empty() || Known(key))
            continue;
        Record(key, Fetch(key, kind));
    }
}

unsigned CFavIconCache::CState::Run()
{
    const HRESULT ole = OleInitialize(nullptr);
    if (source) {
        std::vector<std::string> seeds;
        source->CollectSeeds(seeds);
        for (const std::string& seed : seeds)
            Queue(seed);
    }
    const HANDLE events[2] = {workEvent, stopEvent};
    for (;;) {
        const DWORD result = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 + 1 || result == WAIT_FAILED)
            break;
        if (result == WAIT_OBJECT_0)
            Drain();
    }
    if (SUCCEEDED(ole))
        OleUninitialize();
    return 0;
}

namespace {

struct CLoaderStart {
    std::shared_ptr<CFavIconCache::CState> state;
};

unsigned __stdcall LoaderThread(void* parameter)
{
    std::unique_ptr<CLoaderStart> start(static_cast<CLoaderStart*>(parameter));
    try {
        return start->state->Run();
    } catch (...) {
        ReportCaughtException("favicon loader thread");
        return kExceptionExitCode;
    }
}

}  // namespace

CFavIconCache::CFavIconCache(std::unique_ptr<IFavIconSource> source, const std::vector<std::string>& seeds)
    : m_state(std::make_shared<CState>())
{
    m_state->source = std::move(source);
    m_state->keyMap["about:blank"] = kDefaultPageIcon;
    for (const std::string& seed : seeds)
        m_state->queue.push_back(seed);
    auto start = std::make_unique<CLoaderStart>(CLoaderStart{m_state});
    const uintptr_t thread = _beginthreadex(nullptr, 0, LoaderThread, start.get(), 0, nullptr);
    if (thread) {
        start.release();
        m_thread.Attach(reinterpret_cast<HANDLE>(thread));
    }
}

CFavIconCache::~CFavIconCache()
{
    SetEvent(m_state->stopEvent);
    if (m_thread && WaitForSingleObject(m_thread, kFavIconStopTimeout) != WAIT_OBJECT_0) {
        // Terminating a thread that may hold the heap or a lock would break the rest of the exit;
        // it keeps its share of the state and ends when its download gives up.
        OutputDebugStringA("Kivo Browser: the favicon loader did not stop in time; it is left to end on its own\n");
    }
}

int CFavIconCache::GetIconIndex(const std::string& address)
{
    const std::string key = GetFavIconKey(address);
    if (key.empty())
        return kDefaultPageIcon;
    if (TryEnterCriticalSection(&m_state->mapLock)) {
        const auto found = m_state->keyMap.find(key);
        if (found != m_state->keyMap.end()) {
            const int index = found->second;
            LeaveCriticalSection(&m_state->mapLock);
            return index;
        }
        // The key is queued while the map lock is held: map lock, then queue lock.
        m_state->Queue(key);
        LeaveCriticalSection(&m_state->mapLock);
        return kDefaultPageIcon;
    }
    m_state->Queue(key);
    return kDefaultPageIcon;
}

void CFavIconCache::QueueRequest(const std::string& text)
{
    m_state->Queue(text);
}

HIMAGELIST CFavIconCache::GetImageList() const
{
    return m_state->imageList.Get();
}

CRITICAL_SECTION& CFavIconCache::GetImageListLock()
{
    return m_state->imageListLock;
}

long CFavIconCache::GetFetchCount() const
{
    return m_state->fetches;
}
