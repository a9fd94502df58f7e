#pragma once
// CGestureSettings: the named gestures, the action bound to each and the on/off flags, kept in the
// settings store's section "Mouse Gestures": "Flags" (bit 0 gestures on, bit 1 trails drawn) and
// one integer per gesture under the gesture's name, the action index (-1 for none). One instance
// for the program (GetGestureSettings), created on first use; SetAction writes at once.
#include "core/app/SettingsStore.h"
#include "frame/gestures/GestureActions.h"

#include <map>

extern const char kMouseGesturesSection[];  // "Mouse Gestures"

constexpr DWORD kGestureFlagEnabled = 0x1;
constexpr DWORD kGestureFlagTrails = 0x2;
constexpr DWORD kGestureFlagsDefault = kGestureFlagEnabled;

// The action a gesture has until the user binds another: Up 2, Down 5, Up-Down 6, Down-Up 8,
// Right 1, Left 0, Down-Right 4, Up-Left 11, Down-Left 12, Up-Right 10, the two rocker clicks 1
// and 0 and the wheel 9; every other gesture -1.
int GetDefaultGestureAction(int gestureId);

class CGestureSettings {
public:
    struct Entry {
        const char* name = nullptr;  // a literal
        int action = kNoGestureAction;
    };

    // Reads from the program's settings store.
    CGestureSettings();
    // Reads from `store`, which must outlive the object (tests).
    explicit CGestureSettings(CSettingsStore& store);
    CGestureSettings(const CGestureSettings&) = delete;
    CGestureSettings& operator=(const CGestureSettings&) = delete;

    DWORD GetFlags() const { return m_flags; }
    bool GesturesEnabled() const { return (m_flags & kGestureFlagEnabled) != 0; }
    bool TrailsEnabled() const { return (m_flags & kGestureFlagTrails) != 0; }
    // Stores "Flags" at once.
    void SetFlags(DWORD flags);

    // The action bound to the gesture; null while gestures are off, for a gesture without a name
    // (the network's unbound shapes) and for a gesture without an action.
    const CGestureAction* GetAction(int gestureId) const;
    // The bound action index, -1 for none or an unknown gesture (whether or not gestures are on).
    int GetActionIndex(int gestureId) const;
    // Binds a named gesture to an action (-1: none) and writes it at once; false for a gesture
    // without a name.
    bool SetAction(int gestureId, int action);

    // The named gestures in id order (19).
    size_t GetGestureCount() const { return m_gestures.size(); }
    // The n-th gesture in id order: its id and entry; false past the end.
    bool GetGestureEntryAt(size_t n, int& gestureId, Entry& entry) const;
    bool IsGestureUnbound(size_t n) const;
    // The gesture's English name, or null when it has none.
    const char* GetGestureName(int gestureId) const;

private:
    void Load();

    CSettingsStore* m_store;  // not owned: the program's store or the test's
    DWORD m_flags = kGestureFlagsDefault;
    std::map<int, Entry> m_gestures;
};

// The one CGestureSettings of the program; null after the teardown.
CGestureSettings* GetGestureSettings();
