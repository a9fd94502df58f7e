#include "frame/FramePanes.h"

#include "controls/docking/DockingState.h"
#include "controls/docking/DockingWindow.h"
#include "core/app/SettingsStore.h"

namespace {

const TStdStr<char> kNoCaption;
// A new pane's bar at the frame's left edge.
constexpr int kDefaultPaneWidth = 200;

TStdStr<char> DockerSection(const char* section)
{
    return TStdStr<char>(section) + "\\Docker";
}

} // namespace

CFramePanes::CFramePanes() = default;

CFramePanes::~CFramePanes()
{
    DestroyIcons();
}

void CFramePanes::AttachFrame(HWND frame)
{
    m_frame = frame;
    m_dockingState = frame ? std::make_unique<CDockingState>(frame) : nullptr;
}

int CFramePanes::AddDockingPane(HWND content, const char* caption, HICON icon)
{
    if (content)
        ::ShowWindow(content, SW_HIDE);
    CPane pane;
    pane.content = content;
    pane.caption = caption ? caption : "";
    pane.icon = icon;
    if (m_frame && content) {
        pane.dock = CDockingWindow::CreatePane(m_frame, content, pane.caption.c_str(), icon);
        if (pane.dock) {
            pane.dockWindow = pane.dock->m_hWnd;
            // Docked first, so that a pane shown before any layout was saved comes back at the left.
            pane.dock->DockAtSide(kDockFlagLeftRight | kDockFlagStartSide, 0, kDefaultPaneWidth);
            pane.dock->Hide();
            ::ShowWindow(content, SW_SHOWNA);
            if (m_dockingState)
                m_dockingState->AddPane(pane.dock);
        }
    }
    m_panes.push_back(pane);
    return static_cast<int>(m_panes.size()) - 1;
}

CDockingWindow* CFramePanes::GetDockingWindow(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    const CPane& pane = m_panes[static_cast<size_t>(index)];
    return pane.dock && ::IsWindow(pane.dockWindow) ? pane.dock : nullptr;
}

// A docking pane may also be hidden by its own close button: its window is asked.
bool CFramePanes::IsVisible(int index) const
{
    if (CDockingWindow* dock = GetDockingWindow(index))
        return dock->IsVisible();
    return index >= 0 && index < GetCount() && m_panes[static_cast<size_t>(index)].visible;
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

void CFramePanes::Show(int index, bool show)
{
    if (index < 0 || index >= GetCount())
        return;
    m_panes[static_cast<size_t>(index)].visible = show;
    if (CDockingWindow* dock = GetDockingWindow(index); dock && dock->IsVisible() != show) {
        if (show)
            dock->Show();
        else
            dock->Hide();
    }
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
    for (const CPane& pane : m_panes) {
        if (pane.content && ::IsWindow(pane.content))
            ::SendMessageA(pane.content, WM_CLOSE, 0, 0);
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

void CFramePanes::SaveState(const char* section) const
{
    CSettingsStore* store = GetSettingsStore();
    if (!store)
        return;
    const TStdStr<char> docker = DockerSection(section);
    for (int i = 0; i < GetCount(); ++i)
        store->WriteInt(docker.c_str(), m_panes[static_cast<size_t>(i)].caption.c_str(), IsVisible(i) ? 1 : 0);
    if (m_dockingState)
        m_dockingState->Save();
}

void CFramePanes::LoadState(const char* section)
{
    CSettingsStore* store = GetSettingsStore();
    if (!store)
        return;
    const TStdStr<char> docker = DockerSection(section);
    for (int i = 0; i < GetCount(); ++i) {
        CPane& pane = m_panes[static_cast<size_t>(i)];
        Show(i, store->GetInt(docker.c_str(), pane.caption.c_str(), pane.visible ? 1 : 0) == 1);
    }
}

// A restored record may show or hide a pane (or float one it has no record of): the frame's own
// value for whether each pane is shown has the last word. The frame keeps the visibility it has:
// the layout comes back once the frame is shown, and a frame still hidden stays hidden.
bool CFramePanes::RestoreLayout()
{
    if (!m_dockingState || !m_frame || !::IsWindow(m_frame))
        return false;
    std::vector<bool> shown;
    for (const CPane& pane : m_panes)
        shown.push_back(pane.visible);
    m_dockingState->m_defaultShowCommand = ::IsWindowVisible(m_frame) ? SW_SHOWNA : SW_HIDE;
    const bool restored = m_dockingState->Restore();
    for (int i = 0; i < GetCount(); ++i) {
        if (CDockingWindow* dock = GetDockingWindow(i); dock && dock->IsVisible() != shown[static_cast<size_t>(i)]) {
            if (shown[static_cast<size_t>(i)])
                dock->Show();
            else
                dock->Hide();
        }
    }
    return restored;
}
