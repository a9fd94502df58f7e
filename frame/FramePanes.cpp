#include "frame/FramePanes.h"

#include "controls/docking/DockingRecord.h"
#include "controls/docking/DockingState.h"
#include "controls/docking/DockingWindow.h"
#include "core/app/SettingsStore.h"

namespace {

const TStdStr<char> kNoCaption;

// A pane's object lives exactly as long as its window: a handle of the list that is no longer a
// window of the panes' class has lost its object.
bool IsPaneWindow(HWND window)
{
    if (!window || !::IsWindow(window))
        return false;
    char name[32] = {};
    ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
    return lstrcmpA(name, CDockingWindow::GetWndClassInfo().m_wc.lpszClassName) == 0;
}

// The content's small icon, else its class's.
HICON ContentIcon(HWND content)
{
    if (!content)
        return nullptr;
    auto icon = reinterpret_cast<HICON>(::SendMessageA(content, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(content, GCLP_HICONSM));
    return icon;
}

} // namespace

CFramePanes::CFramePanes() = default;

CFramePanes::~CFramePanes()
{
    DestroyIcons();
}

void CFramePanes::Attach(HWND frame, CSettingsStore* store)
{
    m_frame = frame;
    m_store = store;
    m_state = std::make_unique<CDockingState>(frame, store);
    m_state->m_restorePlacement = false;
}

bool CFramePanes::Alive(int index) const
{
    return index >= 0 && index < GetCount() && IsPaneWindow(m_panes[static_cast<size_t>(index)].window);
}

CDockingWindow* CFramePanes::GetPane(int index) const
{
    if (!Alive(index))
        return nullptr;
    return m_panes[static_cast<size_t>(index)].pane;
}

HWND CFramePanes::GetPaneWindow(int index) const
{
    return Alive(index) ? m_panes[static_cast<size_t>(index)].window : nullptr;
}

int CFramePanes::AddDockingPane(HWND content, const char* caption, HICON icon)
{
    const char* text = caption ? caption : "";
    CDockingWindow* pane = nullptr;
    if (m_frame && ::IsWindow(m_frame)) {
        if (content) {
            // The pane draws the edge: the content sits one pixel inside it.
            const LONG_PTR exStyle = ::GetWindowLongPtrA(content, GWL_EXSTYLE);
            ::SetWindowLongPtrA(content, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
        }
        pane = CDockingWindow::CreatePane(m_frame, content, text, icon ? icon : ContentIcon(content), false, true);
    }
    CPane entry;
    entry.content = content;
    entry.caption = text;
    entry.icon = icon;
    if (!pane) {
        // The entry keeps its place, so that the later panes keep their commands and their stored
        // records; it has no window and its command does nothing.
        if (content)
            ::ShowWindow(content, SW_HIDE);
        m_panes.push_back(entry);
        if (m_state)
            m_state->AddPane(nullptr);
        return GetCount() - 1;
    }
    RECT floating = {0, 0, kFloatingWidth, kFloatingHeight};
    ::OffsetRect(&floating, 100, 100);
    pane->SetFloatingRect(floating);
    if (m_panes.empty() || !Alive(0)) {
        pane->DockAtSide(kDockFlagLeftRight | kDockFlagStartSide, 0, kDefaultWidth);
    } else {
        // The later panes share the first one's place (its box once there are two).
        CDockingWindow* firstPane = GetPane(0);
        HWND place = firstPane->Host() && IsDockingBox(firstPane->Host()) ? firstPane->Host() : firstPane->m_hWnd;
        pane->DockTo(place, GetCount());
    }
    entry.pane = pane;
    entry.window = pane->m_hWnd;
    m_panes.push_back(entry);
    if (m_state)
        m_state->AddPane(pane);
    return GetCount() - 1;
}

// Shown on the screen, as far as the frame is concerned: a tab of a box that is not the box's shown
// tab is not (its command shows it).
bool CFramePanes::IsVisible(int index) const
{
    const CDockingWindow* pane = GetPane(index);
    if (!pane || !(::GetWindowLongPtrA(pane->m_hWnd, GWL_STYLE) & WS_VISIBLE))
        return false;
    HWND host = pane->Host();
    return !host || (::GetWindowLongPtrA(host, GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND CFramePanes::GetContent(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].content : nullptr;
}

const TStdStr<char>& CFramePanes::GetCaption(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].caption : kNoCaption;
}

bool CFramePanes::Toggle(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    Show(index, !IsVisible(index));
    return true;
}

// A hidden pane comes back where it was. When it shared a box whose other panes were hidden too
// (the box is gone, or its last pane is hidden), it joins a shown pane of the list that is docked
// at the same side and bar, so that panes hidden together and shown again share one place again.
void CFramePanes::Show(int index, bool show)
{
    CDockingWindow* pane = GetPane(index);
    if (!pane)
        return;
    if (!show) {
        if (pane->IsVisible())
            pane->Hide();
        return;
    }
    if (pane->IsDocked() && IsDockingBox(pane->Host())) {
        pane->Show();  // a tab of a box: it becomes the box's shown tab
        return;
    }
    if (pane->IsVisible())
        return;
    const CDockPositionRecord place = pane->RememberedDocking();
    HWND host = DockFieldHandle(place.header.host);
    const bool hostShown = host && ::IsWindow(host) && (::GetWindowLongPtrA(host, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!pane->IsDocked() && place.header.host && !hostShown && !(place.flags & kDockFlagFloating)) {
        if (HWND mate = FindShownPlace(index, place)) {
            pane->DockTo(mate, static_cast<int>(place.order));
            if (pane->IsVisible())
                return;
        }
    }
    pane->Show();
}

HWND CFramePanes::FindShownPlace(int index, const CDockPositionRecord& place) const
{
    constexpr uint32_t kSide = kDockFlagLeftRight | kDockFlagStartSide | kDockFlagFloating;
    for (int i = 0; i < GetCount(); ++i) {
        CDockingWindow* other = i == index ? nullptr : GetPane(i);
        if (!other || !other->IsDocked() || !other->IsVisible())
            continue;
        const CDockPositionRecord at = other->GetPosition();
        if ((at.flags & kSide) != (place.flags & kSide) || at.barIndex != place.barIndex)
            continue;
        // The box the pane is a tab of, or the pane itself (which becomes a box with it); a bar
        // is no box and is never joined as one.
        HWND host = other->Host();
        return host && IsDockingBox(host) ? host : other->m_hWnd;
    }
    return nullptr;
}

void CFramePanes::ShowAll()
{
    for (int i = 0; i < GetCount(); ++i)
        Show(i, true);
}

void CFramePanes::HideAll()
{
    for (int i = 0; i < GetCount(); ++i)
        Show(i, false);
}

void CFramePanes::CloseAll()
{
    for (int i = 0; i < GetCount(); ++i) {
        if (Alive(i))
            ::SendMessageA(m_panes[static_cast<size_t>(i)].window, WM_CLOSE, 0, 0);
    }
}

void CFramePanes::DestroyIcons()
{
    for (CPane& pane : m_panes) {
        if (pane.icon)
            ::DestroyIcon(pane.icon);
        pane.icon = nullptr;
    }
}

void CFramePanes::SaveState()
{
    if (!m_state)
        return;
    // Only the panes whose own windows show: the other tabs of a box are not shown, and showing
    // them would make the last of them the box's shown tab.
    for (int i = 0; i < GetCount(); ++i) {
        CDockingWindow* pane = GetPane(i);
        if (pane && (::GetWindowLongPtrA(pane->m_hWnd, GWL_STYLE) & WS_VISIBLE))
            pane->Show();
    }
    m_state->Save();
}

// Without a stored record of any pane (a new profile) the panes keep the place they were given
// when they were added, the one box at the left: a restore would take them out of it first.
void CFramePanes::LoadState()
{
    CSettingsStore* store = m_store ? m_store : GetSettingsStore();
    if (!m_state || !store)
        return;
    bool stored = false;
    std::vector<BYTE> bytes;
    for (int i = 0; i < GetCount() && !stored; ++i)
        stored = store->GetBinary(CDockingState::kPanesSection, CDockingState::IdName(-1 - i).c_str(), bytes);
    if (stored)
        m_state->Restore();
}
