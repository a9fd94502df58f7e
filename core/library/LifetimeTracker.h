#pragma once
// Ordered teardown of the process-wide objects (settings, managers, caches, the application
// object and so on). Each object registers one tracker with a fixed priority; at process exit
// DestroyLifetimeTrackers destroys the objects in descending priority, so that an object dies
// before every object it uses. Nothing may use a singleton from the destructor of an object of
// lower priority: by then it is gone.
#include <cstddef>
#include <new>
#include <vector>

// The priorities of every tracked object, highest first, which is also the destruction order.
// Every object has its own value; a new object takes one that no other object has.
enum LifetimePriority : unsigned {
    kPriorityCommandImageManager = 30001,
    kPriorityMainFrame = 30000,
    kPriorityMainFrameData = 29999,
    kPriorityFavIconCache = 6043,
    kPriorityPopupAllowList = 5034,
    kPriorityAdFilter = 5033,
    kPriorityPluginManager = 5030,
    kPriorityTabTextStore = 5025,
    kPriorityWebServiceList = 5024,
    kPriorityStartSites = 5023,
    kPrioritySearchEngineManager = 5022,
    kPriorityProxyList = 5021,
    kPriorityUrlAliasList = 5020,
    kPriorityGroupStore = 5019,
    kPriorityExternalTools = 5009,
    kPriorityImageListManager = 5003,
    kPrioritySettings = 5000,
    kPriorityIEToolBarHost = 2053,
    kPriorityBrowserWatcherManager = 1304,
    kPriorityTrailSettings = 1303,
    kPriorityUserActions = 1301,
    kPriorityGestureSettings = 1300,
    kPriorityDownloadManagerHandOff = 1002,
    kPriorityInstanceFinder = 201,
    kPrioritySubclassRegistry = 200,
    kPriorityFavoritesOrganizer = 184,
    kPriorityFavoritesPanel = 183,
    kPriorityShortcutTempFolder = 179,
    kPriorityAppFolders = 178,
    kPriorityDynamicUpdateUI = 99,
    kPrioritySkinManager = 97,
    kPriorityLanguageManager = 95,
    kPriorityClipboardFormats = 91,
    kPriorityThemeApi = 90,
    kPrioritySettingsStore = 80,
    kPriorityApplication = 50,
    kPriorityMenuStyleManager = 29,
    kPriorityActiveXHost = 14,
    kPriorityShellAllocator = 13,
    kPriorityOle = 11,
    kPriorityAppWindowInfo = 8,
    kPriorityLog = 6,
    kPriorityOsInfo = 5,
};

inline constexpr LifetimePriority kLifetimePriorities[] = {
    kPriorityCommandImageManager, kPriorityMainFrame, kPriorityMainFrameData, kPriorityFavIconCache,
    kPriorityPopupAllowList, kPriorityAdFilter, kPriorityPluginManager, kPriorityTabTextStore,
    kPriorityWebServiceList, kPriorityStartSites, kPrioritySearchEngineManager, kPriorityProxyList,
    kPriorityUrlAliasList, kPriorityGroupStore, kPriorityExternalTools, kPriorityImageListManager,
    kPrioritySettings, kPriorityIEToolBarHost, kPriorityBrowserWatcherManager, kPriorityTrailSettings,
    kPriorityUserActions, kPriorityGestureSettings, kPriorityDownloadManagerHandOff, kPriorityInstanceFinder,
    kPrioritySubclassRegistry, kPriorityFavoritesOrganizer, kPriorityFavoritesPanel, kPriorityShortcutTempFolder,
    kPriorityAppFolders, kPriorityDynamicUpdateUI, kPrioritySkinManager, kPriorityLanguageManager,
    kPriorityClipboardFormats, kPriorityThemeApi, kPrioritySettingsStore,
    kPriorityApplication, kPriorityMenuStyleManager, kPriorityActiveXHost, kPriorityShellAllocator, kPriorityOle,
    kPriorityAppWindowInfo, kPriorityLog, kPriorityOsInfo,
};

constexpr bool LifetimePrioritiesDescend()
{
    for (size_t i = 1; i < std::size(kLifetimePriorities); ++i) {
        if (kLifetimePriorities[i - 1] <= kLifetimePriorities[i])
            return false;
    }
    return true;
}
static_assert(LifetimePrioritiesDescend(), "lifetime priorities must be distinct and listed highest first");

// One registration for the teardown. Trackers are created with new; the constructor appends
// the tracker to the list, and the teardown destroys the object and then frees the tracker.
class CLifetimeTracker {
public:
    explicit CLifetimeTracker(unsigned priority);
    virtual ~CLifetimeTracker() = default;
    CLifetimeTracker(const CLifetimeTracker&) = delete;
    CLifetimeTracker& operator=(const CLifetimeTracker&) = delete;

    // Destroys the guarded object, when there still is one.
    virtual void Destroy() = 0;
    unsigned GetPriority() const { return m_priority; }

private:
    unsigned m_priority;
};

// Deletes the object through the pointer it is given (the object's own global pointer or the
// slot of its accessor) and clears that pointer.
template <typename T>
class TLifetimeTracker : public CLifetimeTracker {
public:
    TLifetimeTracker(unsigned priority, T** object) : CLifetimeTracker(priority), m_object(object) {}
    void Destroy() override
    {
        T* object = *m_object;
        *m_object = nullptr;
        delete object;
    }

private:
    T** m_object; // not owned: a pointer in static storage
};

// The trackers registered so far, in order of registration. The list is created on first use,
// whatever translation unit's static initializer comes first, and the first call registers
// DestroyLifetimeTrackers with atexit.
std::vector<CLifetimeTracker*>& GetLifetimeTrackerList();

// Destroys the tracked objects, highest priority first, frees the trackers and the list. An
// object first created by another object's destruction is registered then and destroyed in its
// turn. Runs at exit; later registrations are kept but no longer destroyed.
void DestroyLifetimeTrackers();

// The accessor shape of every singleton: the object is created on the first call (no lock; the
// first call happens on the user-interface thread) and registered for the teardown with the
// given priority. A constructor that throws leaves nothing behind and the next call tries again;
// a failed allocation gives null. After the teardown the accessor returns null.
template <typename T, unsigned Priority>
T* GetSingleton()
{
    static bool created = false;
    static T* instance = nullptr;
    if (!created) {
        instance = new (std::nothrow) T;
        created = true;
        if (instance)
            new TLifetimeTracker<T>(Priority, &instance);
    }
    return instance;
}
