// A program that records the teardown of its singletons: it creates one stand-in for every
// priority of the table in a shuffled order, returns from main, and lets the runtime's exit
// processing destroy them. The test that starts it reads the record.
#include "core/library/LifetimeTracker.h"
#include "core/app/OleHolder.h"
#include "core/app/TestRegistry.h"
#include "core/tests/teardown/TeardownRecord.h"

#include <algorithm>
#include <array>
#include <random>
#include <utility>

namespace {

// A plain stand-in for the object of table row I.
template <size_t I>
struct TTableProbe {
    ~TTableProbe() { Record("destroy %u", unsigned(kLifetimePriorities[I])); }
};

template <size_t I>
void CreateTableProbe()
{
    GetSingleton<TTableProbe<I>, kLifetimePriorities[I]>();
}

template <size_t... I>
constexpr std::array<void (*)(), sizeof...(I)> MakeCreators(std::index_sequence<I...>)
{
    return {&CreateTableProbe<I>...};
}

// The settings save themselves when destroyed; the store and the application must still exist.
struct CSettingsProbe {
    ~CSettingsProbe()
    {
        Record("destroy settings %u saved-to-store=%s of=%s", unsigned(kPrioritySettings), g_probeStore ? "yes" : "no",
               g_probeStore ? g_probeStore->appName : "-");
    }
};

struct CLanguageProbe {
    CLanguageProbe() { Record("create language"); }
    ~CLanguageProbe() { Record("destroy language %u", unsigned(kPriorityLanguageManager)); }
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

// Never asked for, so never created.
struct CSkinProbe {
    CSkinProbe() { Record("create skin"); }
};

} // namespace

// Returns the unused accessor, so that the program refers to it without calling it.
void* UnusedSkinAccessor() { return reinterpret_cast<void*>(&GetSingleton<CSkinProbe, kPrioritySkinManager>); }

int main(int argc, char** argv)
{
    ApplyTestRegistryRedirect();
    if (argc < 2)
        return 2;
    std::strncpy(g_recordPath, argv[1], MAX_PATH - 1);

    constexpr auto creators = MakeCreators(std::make_index_sequence<std::size(kLifetimePriorities)>());
    std::array<size_t, creators.size()> order;
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(2718));
    for (size_t index : order) {
        switch (kLifetimePriorities[index]) {
        case kPrioritySettings:
            GetSingleton<CSettingsProbe, kPrioritySettings>();
            break;
        case kPriorityFavoritesPanel:
            GetSingleton<CFavoritesPanelProbe, kPriorityFavoritesPanel>();
            break;
        case kPriorityLanguageManager:     // first used during the teardown
        case kPrioritySkinManager:         // never used
        case kPriorityApplication:         // built by a static initializer
        case kPrioritySettingsStore:       // built by a static initializer
        case kPriorityOle:                 // the real holders
        case kPriorityShellAllocator:
            break;
        default:
            creators[index]();
        }
    }
    // Repeated calls give the same object.
    if (GetSingleton<CSettingsProbe, kPrioritySettings>() != GetSingleton<CSettingsProbe, kPrioritySettings>())
        return 3;
    Record("ole %s", GetOleHolder() && GetOleHolder()->IsInitialized() ? "initialized" : "failed");
    Record("shell-allocator %s", GetShellAllocator() ? "yes" : "no");
    Record("main returns");
    return UnusedSkinAccessor() ? 0 : 4;
}
