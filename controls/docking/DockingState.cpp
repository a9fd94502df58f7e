#include "controls/docking/DockingState.h"

#include "controls/docking/DockLayout.h"
#include "controls/docking/DockingWindow.h"
#include "controls/docking/TabDockingBox.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

static_assert(sizeof(WINDOWPLACEMENT) == CDockingState::kPlacementSize);

CDockingState::CDockingState(HWND frame, CSettingsStore* store)
    : m_frame(frame), m_store(store ? store : GetSettingsStore())
{
}

int32_t CDockingState::AddPane(CDockingWindow* pane)
{
    const int32_t id = m_nextId--;
    m_panes.push_back({id, pane, pane ? pane->m_hWnd : nullptr, {}, false});
    return id;
}

std::string CDockingState::IdName(int32_t id)
{
    char name[16];
    std::snprintf(name, sizeof(name), "0x%x", static_cast<unsigned>(static_cast<uint32_t>(id)));
    return name;
}

bool CDockingState::Alive(const CPane& pane) const
{
    return pane.pane && pane.window && ::IsWindow(pane.window) && pane.pane->m_hWnd == pane.window;
}

// ---- Save -----------------------------------------------------------------------------------

void CDockingState::Save()
{
    if (!m_store)
        return;
    if (!m_store->WriteInt(kGeneralSection, "SM_CXSCREEN", static_cast<DWORD>(::GetSystemMetrics(SM_CXSCREEN))) ||
        !m_store->WriteInt(kGeneralSection, "SM_CYSCREEN", static_cast<DWORD>(::GetSystemMetrics(SM_CYSCREEN))))
        return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (m_frame && ::GetWindowPlacement(m_frame, &placement)) {
        placement.length = sizeof(placement);
        placement.flags = ::IsZoomed(m_frame) ? WPF_RESTORETOMAXIMIZED : 0;
        // A frame saved minimised comes back in its normal state.
        if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE ||
            placement.showCmd == SW_SHOWMINNOACTIVE)
            placement.showCmd = SW_SHOWNORMAL;
        if (!m_store->WriteBinary(kMainWindowSection, kPlacementValue, &placement, sizeof(placement)))
            return;
    }
    for (CPane& pane : m_panes) {
        if (!Alive(pane))
            continue;
        CDockPositionRecord record = pane.pane->GetPosition();
        record.header.pane = DockHandleField(pane.window);
        record.header.code = kDockStoredCode;
        // Panes of one box are grouped by the box: it is their common host in the store.
        HWND host = pane.pane->Host();
        if (host && IsDockingBox(host) && (record.flags & kDockFlagFloating))
            record.header.host = DockHandleField(host);
        const auto bytes = EncodeDockRecord(record);
        m_store->WriteBinary(kPanesSection, IdName(pane.id).c_str(), bytes.data(), bytes.size());
    }
}

// ---- Restore --------------------------------------------------------------------------------

bool CDockingState::ReadPlacement(const std::vector<BYTE>& bytes, WINDOWPLACEMENT& placement)
{
    if (bytes.size() != kPlacementSize)
        return false;
    std::memcpy(&placement, bytes.data(), kPlacementSize);
    if (placement.length != kPlacementSize || placement.showCmd > SW_MAX)
        return false;
    const RECT& r = placement.rcNormalPosition;
    constexpr LONG kLimit = 32767;
    return r.left >= -kLimit && r.top >= -kLimit && r.right <= kLimit && r.bottom <= kLimit && r.right > r.left &&
           r.bottom > r.top;
}

bool CDockingState::Restore(SIZE screen)
{
    if (screen.cx <= 0 || screen.cy <= 0)
        screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int savedWidth = m_store ? static_cast<int>(m_store->GetInt(kGeneralSection, "SM_CXSCREEN", 0)) : 0;
    const int savedHeight = m_store ? static_cast<int>(m_store->GetInt(kGeneralSection, "SM_CYSCREEN", 0)) : 0;
    const float xRatio = DockGeometry::ScreenRatio(screen.cx, savedWidth);
    const float yRatio = DockGeometry::ScreenRatio(screen.cy, savedHeight);

    if (!m_restorePlacement) {
        if (!m_store) {
            for (CPane& pane : m_panes)
                if (Alive(pane))
                    ApplyDefault(pane);
            return false;
        }
        RestorePanes(xRatio, yRatio);
        return true;
    }
    std::vector<BYTE> bytes;
    WINDOWPLACEMENT placement = {};
    if (!m_store || !m_store->GetBinary(kMainWindowSection, kPlacementValue, bytes) || !ReadPlacement(bytes, placement)) {
        for (CPane& pane : m_panes)
            if (Alive(pane))
                ApplyDefault(pane);
        if (m_frame)
            ::ShowWindow(m_frame, m_defaultShowCommand);
        return false;
    }
    const UINT showCommand = placement.showCmd;
    if (showCommand == SW_SHOWMAXIMIZED)
        ::ShowWindow(m_frame, SW_SHOWMAXIMIZED);
    // Placed hidden, so that nothing flickers while the panes come back.
    placement.showCmd = SW_HIDE;
    ::SetWindowPlacement(m_frame, &placement);
    RestorePanes(xRatio, yRatio);
    ::ShowWindow(m_frame, static_cast<int>(showCommand));
    return true;
}

void CDockingState::ApplyDefault(CPane& pane)
{
    if (pane.hasPrepared) {
        ApplyRecord(*pane.pane, pane.prepared);
    } else if (!pane.pane->IsVisible() && !pane.pane->IsDocked()) {
        pane.pane->ShowWindow(SW_SHOWNOACTIVATE);
    }
}

void CDockingState::ApplyRecord(CDockingWindow& pane, CDockPositionRecord record)
{
    // A handle from the store names a window of another run: the pane remembers only that it
    // was docked (its own handle stands for "docked"), never where to send.
    if (record.header.host)
        record.header.host = DockHandleField(pane.m_hWnd);
    pane.SetRememberedDocking(record);
    const RECT rect = DockRect(record);
    if (!record.visible) {
        if (pane.IsDocked())
            pane.Undock();
        pane.SetFloatingRect(rect);
        pane.SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (record.docked) {
        pane.SetFloatingRect(rect);
        pane.DockRequest(record);
        return;
    }
    if (pane.IsDocked())
        pane.Undock();
    pane.SetFloatingRect(rect);
    pane.SetWindowPos(HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                      SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CDockingState::RestorePanes(float xRatio, float yRatio)
{
    // Every pane is taken out of the layout first: it remembers where it was (its default).
    for (CPane& pane : m_panes) {
        if (!Alive(pane))
            continue;
        pane.prepared = pane.pane->GetPosition();
        pane.hasPrepared = true;
        pane.pane->Hide();
    }
    // All stored records are read and checked before any is applied: one damaged record gives
    // the whole layout its default.
    std::vector<std::optional<CDockPositionRecord>> stored(m_panes.size());
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (!Alive(m_panes[i]))
            continue;
        std::vector<BYTE> bytes;
        if (!m_store->GetBinary(kPanesSection, IdName(m_panes[i].id).c_str(), bytes))
            continue;  // a pane the store does not know yet: its default
        CDockPositionRecord record;
        if (!DecodeDockRecord(bytes.data(), bytes.size(), record)) {
            for (CPane& pane : m_panes)
                if (Alive(pane))
                    ApplyDefault(pane);
            return;
        }
        stored[i] = record;
    }

    std::multimap<uint32_t, size_t> queue;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (!Alive(m_panes[i]))
            continue;
        if (!stored[i]) {
            ApplyDefault(m_panes[i]);
            continue;
        }
        CDockPositionRecord& record = *stored[i];
        if (!record.docked) {
            DockGeometry::ScaleRecord(record, xRatio, yRatio);
            ApplyRecord(*m_panes[i].pane, record);
        } else if ((record.flags & kDockFlagGroup) && !(record.flags & kDockFlagFloating)) {
            // Pane groups are not answered by the frame: such a pane would stay hidden for good.
            ApplyDefault(m_panes[i]);
        } else {
            queue.emplace(DockGeometry::RestoreOrderKey(record), i);
        }
    }

    // Consecutive records of one place form a group: the first docks as saved, the others join
    // the window the previous one produced (a pane, then the box it became).
    HWND produced = nullptr;
    HWND active = nullptr;
    bool firstVisible = true;
    std::optional<uint32_t> groupKey;
    auto endGroup = [&] {
        if (!produced || !::IsWindow(produced))
            return;
        if (active && IsDockingBox(produced)) {
            CDockHeader activate;
            activate.pane = DockHandleField(active);
            activate.code = kDockActivate;
            SendDockRequest(produced, GetDockingBoxMessage(), activate, sizeof(activate));
        }
        if (!firstVisible) {
            // Hidden as a whole, in its place (a close to its parent would end the bar).
            CDockHeader hide;
            hide.pane = DockHandleField(produced);
            hide.code = kDockHide;
            SendDockRequest(produced, GetDockingBoxMessage(), hide, sizeof(hide));
        }
    };
    for (const auto& [key, index] : queue) {
        CPane& pane = m_panes[index];
        CDockPositionRecord record = *stored[index];
        const bool joins = groupKey && DockGeometry::SameRestorePlace(*groupKey, key) && produced && ::IsWindow(produced);
        if (!joins) {
            endGroup();
            produced = nullptr;
            active = nullptr;
            firstVisible = record.visible != 0;
            record.header.host = 0;
        } else {
            record.header.host = DockHandleField(produced);
        }
        groupKey = key;
        DockGeometry::ScaleRecord(record, xRatio, yRatio);
        record.visible = 1;
        const bool wasActive = (record.flags & kDockFlagActive) != 0;
        record.flags &= ~(kDockFlagActive | kDockFlagGroup);
        pane.pane->SetRememberedDocking(CDockPositionRecord{});
        pane.pane->SetFloatingRect(DockRect(record));
        if (!pane.pane->DockRequest(record))
            ApplyDefault(pane);
        if (wasActive)
            active = pane.window;
        HWND host = pane.pane->Host();
        produced = host && IsDockingBox(host) ? host : pane.window;
    }
    endGroup();
}
