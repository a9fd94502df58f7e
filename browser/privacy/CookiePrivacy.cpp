#include "browser/privacy/CookiePrivacy.h"

#include "core/system/DynamicLibrary.h"
#include "platform/AtlBase.h"

#include <urlmon.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kInternetZone = 3;
using PrivacyGetZonePreference = DWORD(WINAPI*)(DWORD, DWORD, LPDWORD, LPWSTR, LPDWORD);
using PrivacySetZonePreference = DWORD(WINAPI*)(DWORD, DWORD, DWORD, LPCWSTR);

bool IsActionCommand(UINT id, DWORD& action)
{
    if (id == kIdCookiesEnable)
        action = kUrlActionCookies;
    else if (id == kIdCookiesSession)
        action = kUrlActionCookiesSession;
    else
        return false;
    return true;
}

} // namespace

std::optional<DWORD> CSystemPrivacyApi::GetZoneTemplate(DWORD party)
{
    CDynamicLibrary wininet;
    if (!wininet.Load("wininet.dll"))
        return std::nullopt;
    auto get = reinterpret_cast<PrivacyGetZonePreference>(reinterpret_cast<void (*)()>(wininet.GetProc("PrivacyGetZonePreferenceW")));
    if (!get)
        return std::nullopt;
    DWORD value = 0;
    if (get(kInternetZone, party, &value, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool CSystemPrivacyApi::SetZoneTemplate(DWORD party, DWORD privacyTemplate)
{
    CDynamicLibrary wininet;
    if (!wininet.Load("wininet.dll"))
        return false;
    auto set = reinterpret_cast<PrivacySetZonePreference>(reinterpret_cast<void (*)()>(wininet.GetProc("PrivacySetZonePreferenceW")));
    return set && set(kInternetZone, party, privacyTemplate, nullptr) == ERROR_SUCCESS;
}

std::optional<DWORD> CSystemPrivacyApi::GetActionPolicy(DWORD action)
{
    CComPtr<IInternetZoneManager> zones;
    if (FAILED(CoInternetCreateZoneManager(nullptr, &zones, 0)) || !zones)
        return std::nullopt;
    DWORD policy = 0;
    if (FAILED(zones->GetZoneActionPolicy(kInternetZone, action, reinterpret_cast<BYTE*>(&policy), sizeof(policy),
                                          URLZONEREG_DEFAULT)))
        return std::nullopt;
    return policy;
}

bool CSystemPrivacyApi::SetActionPolicy(DWORD action, DWORD policy)
{
    CComPtr<IInternetZoneManager> zones;
    if (FAILED(CoInternetCreateZoneManager(nullptr, &zones, 0)) || !zones)
        return false;
    return SUCCEEDED(zones->SetZoneActionPolicy(kInternetZone, action, reinterpret_cast<BYTE*>(&policy), sizeof(policy),
                                                URLZONEREG_DEFAULT));
}

bool CSystemPrivacyApi::HasPrivacyLevels()
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA("shdocvw.dll", &ignored);
    if (size == 0)
        return false;
    std::string block(size, '\0');
    if (!GetFileVersionInfoA("shdocvw.dll", 0, size, block.data()))
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info || length < sizeof(*info))
        return false;
    return HIWORD(info->dwFileVersionMS) >= 6;
}

bool CCookiePrivacyMenu::RememberPreferences()
{
    const std::optional<DWORD> first = m_api.GetZoneTemplate(kPrivacyFirstParty);
    const std::optional<DWORD> third = m_api.GetZoneTemplate(kPrivacyThirdParty);
    if (!first || !third)
        return false;
    m_firstParty = first;
    m_thirdParty = third;
    return true;
}

bool CCookiePrivacyMenu::OnCommand(UINT id)
{
    DWORD action = 0;
    if (IsActionCommand(id, action)) {
        const std::optional<DWORD> policy = m_api.GetActionPolicy(action);
        m_api.SetActionPolicy(action, policy && *policy == kUrlPolicyDisallow ? kUrlPolicyAllow : kUrlPolicyDisallow);
        return true;
    }
    if (id >= kIdCookiesBlockAll && id <= kIdCookiesAllowAll) {
        const DWORD level = id - kIdCookiesBlockAll;
        m_api.SetZoneTemplate(kPrivacyFirstParty, level);
        m_api.SetZoneTemplate(kPrivacyThirdParty, level);
        return true;
    }
    if (id == kIdCookiesCustom) {
        // Nothing remembered (the start-up read failed): nothing to restore.
        if (m_firstParty && m_thirdParty) {
            m_api.SetZoneTemplate(kPrivacyFirstParty, *m_firstParty);
            m_api.SetZoneTemplate(kPrivacyThirdParty, *m_thirdParty);
        }
        return true;
    }
    return false;
}

CCookieItemState CCookiePrivacyMenu::GetState(UINT id)
{
    CCookieItemState state;
    DWORD action = 0;
    if (IsActionCommand(id, action)) {
        const std::optional<DWORD> policy = m_api.GetActionPolicy(action);
        state.checked = policy && *policy != kUrlPolicyDisallow;
    } else if (id >= kIdCookiesBlockAll && id <= kIdCookiesAllowAll) {
        const std::optional<DWORD> first = m_api.GetZoneTemplate(kPrivacyFirstParty);
        const std::optional<DWORD> third = m_api.GetZoneTemplate(kPrivacyThirdParty);
        state.checked = first && third && *first == *third && *first == id - kIdCookiesBlockAll;
    } else if (id == kIdCookiesCustom) {
        state.enabled = false;
    }
    return state;
}

void CCookiePrivacyMenu::UpdateMenu(HMENU submenu, HMENU parent, UINT position)
{
    if (parent)
        EnableMenuItem(parent, position, MF_BYPOSITION | (m_api.HasPrivacyLevels() ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    if (!submenu)
        return;
    std::vector<UINT> ids = {kIdCookiesEnable, kIdCookiesSession, kIdCookiesCustom};
    for (UINT id = kIdCookiesBlockAll; id <= kIdCookiesAllowAll; ++id)
        ids.push_back(id);
    for (UINT id : ids) {
        const CCookieItemState state = GetState(id);
        CheckMenuItem(submenu, id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(submenu, id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
    }
}
