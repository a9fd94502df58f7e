#pragma once
// CUserActions: the key combinations of the ten user actions ("User Action 0" to "User Action 9",
// action indexes 13 to 22), kept in the settings store's section "User Actions" as "UA0" to "UA9".
// One instance for the program (GetUserActions), created on first use; changes made with SetAt
// take effect at once and are written back when the object goes at exit.
#include "core/app/SettingsStore.h"

#include <array>
#include <cstdint>

extern const char kUserActionsSection[];  // "User Actions"

class CUserActions {
public:
    // Reads the ten entries from the program's settings store.
    CUserActions();
    // Reads them from `store`, which must outlive the object (tests).
    explicit CUserActions(CSettingsStore& store);
    ~CUserActions();
    CUserActions(const CUserActions&) = delete;
    CUserActions& operator=(const CUserActions&) = delete;

    // Entry i (0 to 9): (hot-key modifiers << 16) | virtual key; 0 for none or an index outside.
    int GetAt(int i) const;
    // Stores entry i in memory; a value that is no key combination becomes 0.
    void SetAt(int i, int value);
    // Writes the ten entries to the store (the destructor does this).
    void Save();

    // A stored value as a key combination: only a virtual key (1 to 254) with the Shift, Ctrl, Alt
    // and extended modifier bits is one; anything else reads as 0.
    static int Validate(uint32_t value);

private:
    CSettingsStore* m_store;  // not owned: the program's store or the test's
    std::array<int, 10> m_keys = {};
};

// The one CUserActions of the program; null after the teardown.
CUserActions* GetUserActions();
