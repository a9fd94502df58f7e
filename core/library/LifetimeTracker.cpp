#include "core/library/LifetimeTracker.h"

#include <cstdlib>

namespace {

// Plain pointers in static storage: they are zero before any static initializer runs, so a
// tracker registered from any translation unit's initializer finds a valid state, and no
// runtime destructor frees the list before the teardown has used it.
std::vector<CLifetimeTracker*>* g_trackers = nullptr;
bool g_exitRegistered = false;
bool g_tornDown = false;

} // namespace

CLifetimeTracker::CLifetimeTracker(unsigned priority) : m_priority(priority)
{
    GetLifetimeTrackerList().push_back(this);
}

std::vector<CLifetimeTracker*>& GetLifetimeTrackerList()
{
    if (!g_trackers)
        g_trackers = new std::vector<CLifetimeTracker*>;
    if (!g_exitRegistered && !g_tornDown) {
        g_exitRegistered = true;
        std::atexit(DestroyLifetimeTrackers);
    }
    return *g_trackers;
}

// One tracker at a time, always the highest one left, taken off the list before its object is
// destroyed: a destructor that creates another singleton appends to the list safely, and the
// newcomer still dies in the order of its priority. Among equal priorities (which the table
// rules out) the earlier registration goes first.
void DestroyLifetimeTrackers()
{
    if (g_tornDown || !g_trackers)
        return;
    while (!g_trackers->empty()) {
        auto& list = *g_trackers;
        size_t highest = 0;
        for (size_t i = 1; i < list.size(); ++i) {
            if (list[i]->GetPriority() > list[highest]->GetPriority())
                highest = i;
        }
        CLifetimeTracker* tracker = list[highest];
        list.erase(list.begin() + highest);
        tracker->Destroy();
        delete tracker;
    }
    g_tornDown = true;
    delete g_trackers;
    g_trackers = nullptr;
}
