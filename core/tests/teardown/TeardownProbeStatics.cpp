// The objects that static initializers create, in a translation unit of their own: their
// trackers are registered before or after those of the other unit, whatever the link order.
#include "core/library/LifetimeTracker.h"
#include "core/tests/teardown/TeardownRecord.h"

CProbeApplication* g_probeApplication = nullptr;
CProbeStore* g_probeStore = nullptr;

CProbeApplication::CProbeApplication()
{
    g_probeApplication = this;
    new TLifetimeTracker<CProbeApplication>(kPriorityApplication, &g_probeApplication);
}

CProbeApplication::~CProbeApplication() { Record("destroy application %u", unsigned(kPriorityApplication)); }

CProbeStore::CProbeStore()
{
    g_probeStore = this;
    // The store copies the application's name, so the application must exist already.
    std::strcpy(appName, g_probeApplication ? g_probeApplication->name : "(none)");
    new TLifetimeTracker<CProbeStore>(kPrioritySettingsStore, &g_probeStore);
}

CProbeStore::~CProbeStore() { Record("destroy store %u", unsigned(kPrioritySettingsStore)); }

// One initializer builds both, in their order.
static const bool g_staticsBuilt = [] {
    new CProbeApplication;
    new CProbeStore;
    return true;
}();
