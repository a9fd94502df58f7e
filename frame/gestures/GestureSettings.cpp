#include "frame/gestures/GestureSettings.h"

#include "core/library/LifetimeTracker.h"
#include "frame/gestures/GestureRecognizer.h"

#include <iterator>

const char kMouseGesturesSection[] = "Mouse Gestures";

namespace {

constexpr char kFlagsKey[] = "Flags";

struct CNamedGesture {
    int id;
    const char* name;
    int defaultAction;
};

// The gestures that can carry an action, in the order they are entered.
constexpr CNamedGesture kNamedGestures[] = {
    {kGestureUp, "Up", 2},
    {kGestureDown, "Down", 5},
    {kGestureLeft, "Left", 0},
    {kGestureRight, "Right", 1},
    {kGestureUpDown, "Up-Down", 6},
    {kGestureUpLeft, "Up-Left", 11},
    {kGestureUpRight, "Up-Right", 10},
    {kGestureDownUp, "Down-Up", 8},
    {kGestureDownLeft, "Down-Left", 12},
    {kGestureDownRight, "Down-Right", 4},
    {kGestureRightLeft, "Right-Left", kNoGestureAction},
    {kGestureLeftRight, "Left-Right", kNoGestureAction},
    {kGestureLeftArrow, "Left Arrow", kNoGestureAction},
    {kGestureRightArrow, "Right Arrow", kNoGestureAction},
    {kGestureDownArrow, "Down Arrow", kNoGestureAction},
    {kGestureUpArrow, "Up Arrow", kNoGestureAction},
    {kGestureClickLeftRight, "Click Left Right", 1},
    {kGestureClickRightLeft, "Click Right Left", 0},
    {kGestureMouseWheel, "Mouse Wheel", 9},
};

bool IsActionIndex(int action)
{
    return action >= 0 && action < kGestureActionCount;
}

}  // namespace

int GetDefaultGestureAction(int gestureId)
{
    for (const CNamedGesture& gesture : kNamedGestures) {
        if (gesture.id == gestureId)
            return gesture.defaultAction;
    }
    return kNoGestureAction;
}

CGestureSettings::CGestureSettings() : CGestureSettings(*GetSettingsStore()) {}

CGestureSettings::CGestureSettings(CSettingsStore& store) : m_store(&store)
{
    Load();
}

// A stored action outside 0 to 22 (a damaged or foreign value) reads as no action.
void CGestureSettings::Load()
{
    m_flags = m_store->GetInt(kMouseGesturesSection, kFlagsKey, kGestureFlagsDefault);
    for (const CNamedGesture& gesture : kNamedGestures)
        m_gestures[gesture.id] = {gesture.name, kNoGestureAction};
    for (auto& [id, entry] : m_gestures) {
        const int action = static_cast<int>(
            m_store->GetInt(kMouseGesturesSection, entry.name, static_cast<DWORD>(GetDefaultGestureAction(id))));
        entry.action = IsActionIndex(action) ? action : kNoGestureAction;
    }
}

void CGestureSettings::SetFlags(DWORD flags)
{
    m_flags = flags;
    m_store->WriteInt(kMouseGesturesSection, kFlagsKey, flags);
}

const CGestureAction* CGestureSettings::GetAction(int gestureId) const
{
    if (!GesturesEnabled())
        return nullptr;
    return GetGestureAction(GetActionIndex(gestureId));
}

int CGestureSettings::GetActionIndex(int gestureId) const
{
    const auto found = m_gestures.find(gestureId);
    return found == m_gestures.end() ? kNoGestureAction : found->second.action;
}

bool CGestureSettings::SetAction(int gestureId, int action)
{
    const auto found = m_gestures.find(gestureId);
    if (found == m_gestures.end())
        return false;
    found->second.action = IsActionIndex(action) ? action : kNoGestureAction;
    m_store->WriteInt(kMouseGesturesSection, found->second.name, static_cast<DWORD>(found->second.action));
    return true;
}

bool CGestureSettings::GetGestureEntryAt(size_t n, int& gestureId, Entry& entry) const
{
    if (n >= m_gestures.size())
        return false;
    auto at = std::next(m_gestures.begin(), static_cast<std::ptrdiff_t>(n));
    gestureId = at->first;
    entry = at->second;
    return true;
}

bool CGestureSettings::IsGestureUnbound(size_t n) const
{
    int id = 0;
    Entry entry;
    return !GetGestureEntryAt(n, id, entry) || !IsActionIndex(entry.action);
}

const char* CGestureSettings::GetGestureName(int gestureId) const
{
    const auto found = m_gestures.find(gestureId);
    return found == m_gestures.end() ? nullptr : found->second.name;
}

CGestureSettings* GetGestureSettings()
{
    return GetSingleton<CGestureSettings, kPriorityGestureSettings>();
}
