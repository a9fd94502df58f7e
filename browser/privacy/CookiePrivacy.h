#pragma once
// The "Cookies IE&6" menu: the cookie privacy level of the system's Internet zone and its two
// cookie permissions. The levels and permissions belong to the system; the program only remembers
// the templates it found at start-up, so that "&Custom" can put them back.
//
// The system calls go through IPrivacyApi (WinINet's privacy preferences, the zone manager's URL
// action policies); CSystemPrivacyApi is the production one.
#include <windows.h>

#include <optional>

inline constexpr UINT kIdCookiesEnable = 32980;
inline constexpr UINT kIdCookiesSession = 32981;
inline constexpr UINT kIdCookiesBlockAll = 32986;  // template 0; the next five are templates 1 to 5
inline constexpr UINT kIdCookiesAllowAll = 32991;
inline constexpr UINT kIdCookiesCustom = 32992;
inline constexpr DWORD kUrlActionCookies = 0x1A02;
inline constexpr DWORD kUrlActionCookiesSession = 0x1A03;
inline constexpr DWORD kUrlPolicyAllow = 0;
inline constexpr DWORD kUrlPolicyDisallow = 3;
inline constexpr DWORD kPrivacyFirstParty = 0;
inline constexpr DWORD kPrivacyThirdParty = 1;

class IPrivacyApi {
public:
    virtual ~IPrivacyApi() = default;
    // The Internet zone's privacy template of a party; empty when the call is not available.
    virtual std::optional<DWORD> GetZoneTemplate(DWORD party) = 0;
    virtual bool SetZoneTemplate(DWORD party, DWORD privacyTemplate) = 0;
    // The Internet zone's policy of a URL action; empty when it cannot be read.
    virtual std::optional<DWORD> GetActionPolicy(DWORD action) = 0;
    virtual bool SetActionPolicy(DWORD action, DWORD policy) = 0;
    // Whether the system's browser library is of version 6 or later (the menu is greyed otherwise).
    virtual bool HasPrivacyLevels() = 0;
};

// WinINet's PrivacyGetZonePreferenceW and PrivacySetZonePreferenceW, loaded for each call, and the
// zone manager of urlmon.
class CSystemPrivacyApi : public IPrivacyApi {
public:
    std::optional<DWORD> GetZoneTemplate(DWORD party) override;
    bool SetZoneTemplate(DWORD party, DWORD privacyTemplate) override;
    std::optional<DWORD> GetActionPolicy(DWORD action) override;
    bool SetActionPolicy(DWORD action, DWORD policy) override;
    bool HasPrivacyLevels() override;
};

struct CCookieItemState {
    bool enabled = true;
    bool checked = false;
};

// Lifetime: the main frame holds it (a member).
class CCookiePrivacyMenu {
public:
    explicit CCookiePrivacyMenu(IPrivacyApi& api) : m_api(api) {}

    // Remembers the two templates of the Internet zone; false (nothing kept) when they cannot be read.
    bool RememberPreferences();
    // Carries out one of the menu's commands; false for any other id.
    bool OnCommand(UINT id);
    // The state of an item of the menu.
    CCookieItemState GetState(UINT id);
    // Checks, greys and enables the items of the submenu; `parent` and `position` name the submenu's
    // own entry, greyed when the system has no privacy levels.
    void UpdateMenu(HMENU submenu, HMENU parent, UINT position);

private:
    IPrivacyApi& m_api;
    std::optional<DWORD> m_firstParty;
    std::optional<DWORD> m_thirdParty;
};
