#include "browser/TabTextStore.h"

#include "frame/BrowserTab.h"
#include "frame/MainFrameData.h"

namespace {

HWND ActiveChild()
{
    IBrowserTabHost* host = GetBrowserTabHost();
    HWND client = host ? host->GetMdiClientWindow() : nullptr;
    return client ? reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

} // namespace

CTabTextStore& GetTabTextStore()
{
    // Holds only texts: nothing to tear down in order, so a function-local object serves.
    static CTabTextStore store;
    return store;
}

HICON CTabTextStore::ScriptErrorIcon()
{
    return ::LoadIconA(nullptr, IDI_WARNING);  // shared by the system: not destroyed
}

HICON CTabTextStore::PageIcon()
{
    return ::LoadIconA(nullptr, IDI_APPLICATION);
}

void CTabTextStore::SetText(HWND child, const char* text)
{
    if (child)
        m_texts[child] = text ? text : "";
    if (m_hold && (!text || !*text))
        return;
    HWND active = ActiveChild();
    if (child && child != active)
        return;
    Show(active, text);
    m_hold = false;
}

void CTabTextStore::Refresh(HWND child)
{
    const auto found = m_texts.find(child);
    if (found != m_texts.end())
        Show(child, found->second.c_str());
}

void CTabTextStore::Remove(HWND child)
{
    m_texts.erase(child);
}

const char* CTabTextStore::GetText(HWND child) const
{
    const auto found = m_texts.find(child);
    return found == m_texts.end() ? nullptr : found->second.c_str();
}

void CTabTextStore::Show(HWND activeChild, const char* text)
{
    IBrowserTabHost* host = GetBrowserTabHost();
    if (!host)
        return;
    const auto& errors = GetMainFrameData().m_scriptErrors;
    const auto found = activeChild ? errors.find(activeChild) : errors.end();
    const bool hasErrors = found != errors.end() && !found->second.empty();
    host->SetStatusPane(0, hasErrors ? ScriptErrorIcon() : PageIcon(), text ? text : "");
}
