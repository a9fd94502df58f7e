#pragma once
// The saved docking layout: the main window's placement and the place of every docking pane, kept
// in the settings store under "Settings\Docker" when the frame closes and put back once the frame
// and its panes exist. Sizes are scaled when the screen size differs from the one at the save.
//
// Sections and values (the store adds the program's key in front):
//   Settings\Docker\General                  SM_CXSCREEN, SM_CYSCREEN   (DWORD) screen at save
//   Settings\Docker\Main Window              placement                  (44 bytes) WINDOWPLACEMENT
//   Settings\Docker\Main Window\0xffffffff   0xffffffff, 0xfffffffe, ... (60 bytes) a pane's record
// Pane ids count down from -1 in the order the frame registers its panes; names are the ids as
// unsigned lower-case hexadecimal with "0x".
//
// The frame, once its panes exist: AddPane for each (always in the same order: the order names
// the stored values), Restore, then its UpdateLayout; on close (before the window is destroyed)
// Save.
//
// Stored window handles are only grouping keys (which panes shared one box): nothing is ever sent
// to a handle read from the store, because it names a window of an earlier run. A record that is
// damaged, truncated or from another version gives the whole layout its default (every pane
// where it was before the restore), never a crash.
#include "controls/docking/DockingRecord.h"
#include "core/app/SettingsStore.h"

#include <windows.h>

#include <string>
#include <vector>

class CDockingWindow;

class CDockingState {
public:
    static constexpr const char* kGeneralSection = "Settings\\Docker\\General";
    static constexpr const char* kMainWindowSection = "Settings\\Docker\\Main Window";
    static constexpr const char* kPanesSection = "Settings\\Docker\\Main Window\\0xffffffff";
    static constexpr const char* kPlacementValue = "placement";
    static constexpr size_t kPlacementSize = 44;

    // The state of the frame's layout; the store is not owned (the program's store by default).
    explicit CDockingState(HWND frame, CSettingsStore* store = nullptr);
    CDockingState(const CDockingState&) = delete;
    CDockingState& operator=(const CDockingState&) = delete;

    // Registers a pane (not owned; panes live as long as the frame) and gives its id.
    int32_t AddPane(CDockingWindow* pane);
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    // "0xffffffff" for -1.
    static std::string IdName(int32_t id);

    // The show command of a frame without a stored placement.
    int m_defaultShowCommand = SW_SHOWNOACTIVATE;
    // Whether Restore puts the stored placement back and shows the frame; a frame that places and
    // shows itself clears it, and Restore then puts back only the panes. Save writes it either way.
    bool m_restorePlacement = true;

    // Writes the screen size, the placement and every pane's record.
    void Save();
    // Puts the placement and the panes back, at the given screen size (the system's by default);
    // the frame lays itself out afterwards. False when the default layout was used.
    bool Restore(SIZE screen = {0, 0});

private:
    struct CPane {
        int32_t id;
        CDockingWindow* pane;       // not owned
        HWND window;                // the pane's window, checked before the object is used
        CDockPositionRecord prepared;
        bool hasPrepared = false;
    };
    bool Alive(const CPane& pane) const;
    void ApplyDefault(CPane& pane);
    static void ApplyRecord(CDockingWindow& pane, CDockPositionRecord record);
    void RestorePanes(float xRatio, float yRatio);
    static bool ReadPlacement(const std::vector<BYTE>& bytes, WINDOWPLACEMENT& placement);

    HWND m_frame;
    CSettingsStore* m_store;  // not owned
    int32_t m_nextId = -1;
    std::vector<CPane> m_panes;
};
