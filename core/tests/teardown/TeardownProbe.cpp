// A program that records the teardown of its singletons: it creates stand-ins for a spread of
// the table's priorities in a shuffled order, returns from main, and lets the runtime's exit
// processing destroy them. The test that starts it reads the record.
#include "core/LifetimeTracker.h"
#include "core/OleHolder.h"
#include "core/tests/teardown/TeardownRecord.h"

#include <cstdlib>

using CMainFrameProbe = TProbeObject<kPriorityMainFrame>;
using CCommandImagesProbe = TProbeObject<kPriorityCommandImageManager>;
using CFavIconProbe = TProbeObject<kPriorityFavIconCache>;
using CGroupStoreProbe = TProbeObject<kPriorityGroupStore>;
using CInstanceFinderProbe = TProbeObject<kPriorityInstanceFinder>;
using CLanguageProbe = TProbeObject<kPriorityLanguageManager>;
using CLogProbe = TProbeObject<kPriorityLog>;
using COsInfoProbe = TProbeObject<kPriorityOsInfo>;
using CSkinProbe = TProbeObject<kPrioritySkinManager>;
using CUserActionsProbe = TProbeObject<kPriorityUserActions>;

template <> const char* CMainFrameProbe::s_name = "main-frame";
template <> const char* CCommandImagesProbe::s_name = "command-images";
template <> const char* CFavIconProbe::s_name = "favicon-cache";
template <> const char* CGroupStoreProbe::s_name = "group-store";
template <> const char* CInstanceFinderProbe::s_name = "instance-finder";
template <> const char* CLanguageProbe::s_name = "language";
template <> const char* CLogProbe::s_name = "log";
template <> const char* COsInfoProbe::s_name = "os-info";
template <> const char* CSkinProbe::s_name = "skin-never-used";
template <> const char* CUserActionsProbe::s_name = "user-actions";

// The settings save themselves when destroyed; the store and the application must still exist.
struct CSettingsProbe {
    ~CSettingsProbe()
    {
        Record("destroy settings %u saved-to-store=%s of=%s", unsigned(kPrioritySettings), g_probeStore ? "yes" : "no",
               g_probeStore ? g_probeStore->appName : "-");
    }
};

// The favorites panel uses the language manager for the first time while it is destroyed: the
// manager is created then and still destroyed in the order of its priority.
struct CFavoritesPanelProbe {
    ~CFavoritesPanelProbe()
    {
        Record("destroy favorites-panel %u", unsigned(kPriorityFavoritesPanel));
        GetSingleton<CLanguageProbe, kPriorityLanguageManager>();
    }
};

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::strncpy(g_recordPath, argv[1], MAX_PATH - 1);
    // Created in an order unrelated to the priorities.
    GetSingleton<COsInfoProbe, kPriorityOsInfo>();
    GetSingleton<CSettingsProbe, kPrioritySettings>();
    GetSingleton<CUserActionsProbe, kPriorityUserActions>();
    GetSingleton<CLogProbe, kPriorityLog>();
    GetSingleton<CMainFrameProbe, kPriorityMainFrame>();
    GetSingleton<CFavoritesPanelProbe, kPriorityFavoritesPanel>();
    GetSingleton<CInstanceFinderProbe, kPriorityInstanceFinder>();
    GetSingleton<CGroupStoreProbe, kPriorityGroupStore>();
    GetSingleton<CFavIconProbe, kPriorityFavIconCache>();
    GetSingleton<CCommandImagesProbe, kPriorityCommandImageManager>();
    // Repeated calls give the same object.
    if (GetSingleton<CLogProbe, kPriorityLog>() != GetSingleton<CLogProbe, kPriorityLog>())
        return 3;
    Record("ole %s", GetOleHolder() && GetOleHolder()->IsInitialized() ? "initialized" : "failed");
    Record("shell-allocator %s", GetShellAllocator() ? "yes" : "no");
    Record("main returns");
    return 0;
}
