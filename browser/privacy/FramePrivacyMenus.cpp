#include "browser/privacy/FramePrivacyMenus.h"

#include "core/library/Z4KLog.h"

CFramePrivacyMenus::CFramePrivacyMenus(CProxyList* list, IProxySession& session, IPrivacyApi& privacy)
    : m_list(list), m_session(session), m_cookies(privacy)
{
}

CProxyList* CFramePrivacyMenus::List() const
{
    return m_list ? m_list : GetProxyList();
}

void CFramePrivacyMenus::BuildProxyMenu(HMENU menu, int proxyIndex)
{
    if (!menu)
        return;
    if (CProxyList* list = List())
        ::BuildProxyMenu(menu, *list, proxyIndex);
}

void CFramePrivacyMenus::UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex)
{
    if (menu)
        ::UpdateProxyMenuCheck(menu, oldIndex, newIndex);
}

EFrameProxyResult CFramePrivacyMenus::ApplyProxy(int oldIndex, int newIndex, bool atStartup)
{
    CProxyList* list = List();
    if (!list)
        return EFrameProxyResult::kNoSuchProxy;
    const EProxyApplyResult result =
        ApplyProxyIndex(m_session, *list, oldIndex, newIndex, atStartup, ReadSystemProxyOverride());
    switch (result) {
    case EProxyApplyResult::kUnchanged:
        return EFrameProxyResult::kUnchanged;
    case EProxyApplyResult::kRestartRequired:
        return EFrameProxyResult::kRestartRequired;
    case EProxyApplyResult::kApplied:
        return EFrameProxyResult::kApplied;
    case EProxyApplyResult::kRefused:
        if (CZ4KLog* log = GetLog())
            log->Write(kLogWarning, "The URL layer refused the proxy for this session; the proxy is not in use.");
        return EFrameProxyResult::kRefused;
    case EProxyApplyResult::kNoSuchProxy:
        return EFrameProxyResult::kNoSuchProxy;
    }
    return EFrameProxyResult::kNoSuchProxy;
}

void CFramePrivacyMenus::RememberCookiePreferences()
{
    m_cookies.RememberPreferences();
}

bool CFramePrivacyMenus::OnCookieCommand(UINT id)
{
    return m_cookies.OnCommand(id);
}

void CFramePrivacyMenus::UpdateCookieMenu(HMENU submenu, HMENU parent, UINT position)
{
    m_cookies.UpdateMenu(submenu, parent, position);
}

void InstallFramePrivacyMenus()
{
    static CSystemPrivacyApi privacy;
    static CFramePrivacyMenus menus(nullptr, GetUrlMonProxySession(), privacy);
    SetFramePrivacy(&menus);
}
