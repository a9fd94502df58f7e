#include "frame/FramePanes.h"

#include "core/app/SettingsStore.h"

namespace {

const TStdStr<char> kNoCaption;

TStdStr<char> DockerSection(const char* section)
{
    return TStdStr<char>(section) + "\\Docker";
}

} // namespace

CFramePanes::~CFramePanes()
{
    DestroyIcons();
}

int CFramePanes::AddDockingPane(HWND content, const char* caption, HICON icon)
{
    if (content)
        ::ShowWindow(content, SW_HIDE);
    CPane pane;
    pane.content = content;
    pane.caption = caption ? caption : "";
    pane.icon = icon;
    m_panes.push_back(pane);
    return static_cast<int>(m_panes.size()) - 1;
}

bool CFramePanes::IsVisible(int index) const
{
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
    for (const CPane& pane : m_panes)
        store->WriteInt(docker.c_str(), pane.caption.c_str(), pane.visible ? 1 : 0);
}

void CFramePanes::LoadState(const char* section)
{
    CSettingsStore* store = GetSettingsStore();
    if (!store)
        return;
    const TStdStr<char> docker = DockerSection(section);
    for (CPane& pane : m_panes)
        pane.visible = store->GetInt(docker.c_str(), pane.caption.c_str(), pane.visible ? 1 : 0) == 1;
}
