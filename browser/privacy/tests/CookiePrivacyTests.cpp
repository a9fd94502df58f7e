// The cookie privacy menu against a privacy API of the test's own.
#include "browser/privacy/CookiePrivacy.h"
#include "frame/services/ServicesResources.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct CFakePrivacy : IPrivacyApi {
    std::optional<DWORD> GetZoneTemplate(DWORD party) override
    {
        if (!available)
            return std::nullopt;
        return templates[party];
    }
    bool SetZoneTemplate(DWORD party, DWORD value) override
    {
        if (!available)
            return false;
        templates[party] = value;
        return true;
    }
    std::optional<DWORD> GetActionPolicy(DWORD action) override { return policies[action]; }
    bool SetActionPolicy(DWORD action, DWORD policy) override
    {
        policies[action] = policy;
        return true;
    }
    bool HasPrivacyLevels() override { return version6; }
    std::map<DWORD, DWORD> templates{{kPrivacyFirstParty, 3}, {kPrivacyThirdParty, 3}};
    std::map<DWORD, DWORD> policies{{kUrlActionCookies, 1}, {kUrlActionCookiesSession, 3}};
    bool available = true;
    bool version6 = true;
};

int CheckedLevels(CCookiePrivacyMenu& menu)
{
    int checked = 0;
    for (UINT id = kIdCookiesBlockAll; id <= kIdCookiesAllowAll; ++id)
        checked += menu.GetState(id).checked ? 1 : 0;
    return checked;
}

} // namespace

TEST(CookiePrivacy, LevelsAreCheckedOnlyWhenBothPartiesAgree)
{
    CFakePrivacy api;
    CCookiePrivacyMenu menu(api);
    ASSERT_TRUE(menu.RememberPreferences());
    EXPECT_TRUE(menu.GetState(ID_COOKIES_MEDIUM).checked);
    EXPECT_EQ(1, CheckedLevels(menu));

    api.templates[kPrivacyFirstParty] = 1;  // high, third party medium: no level
    EXPECT_EQ(0, CheckedLevels(menu));

    EXPECT_TRUE(menu.OnCommand(ID_COOKIES_BLOCK_ALL));
    EXPECT_EQ(0u, api.templates[kPrivacyFirstParty]);
    EXPECT_EQ(0u, api.templates[kPrivacyThirdParty]);
    EXPECT_TRUE(menu.GetState(ID_COOKIES_BLOCK_ALL).checked);

    // "&Custom" is always greyed; its command restores the templates found at start-up.
    EXPECT_FALSE(menu.GetState(ID_COOKIES_CUSTOM).enabled);
    EXPECT_TRUE(menu.OnCommand(ID_COOKIES_CUSTOM));
    EXPECT_EQ(3u, api.templates[kPrivacyFirstParty]);
    EXPECT_FALSE(menu.OnCommand(ID_CHECK_FOR_UPDATE));
}

TEST(CookiePrivacy, PermissionsToggleBetweenDisallowAndAllow)
{
    CFakePrivacy api;
    CCookiePrivacyMenu menu(api);
    EXPECT_TRUE(menu.GetState(ID_COOKIES_ENABLE).checked);    // query counts as enabled
    EXPECT_FALSE(menu.GetState(ID_COOKIES_SESSION).checked);  // disallow
    menu.OnCommand(ID_COOKIES_SESSION);
    EXPECT_EQ(kUrlPolicyAllow, api.policies[kUrlActionCookiesSession]);
    menu.OnCommand(ID_COOKIES_ENABLE);
    EXPECT_EQ(kUrlPolicyDisallow, api.policies[kUrlActionCookies]);
    EXPECT_FALSE(menu.GetState(ID_COOKIES_ENABLE).checked);
}

TEST(CookiePrivacy, WithoutThePrivacyCallsNothingIsCheckedAndTheMenuIsGreyed)
{
    CFakePrivacy api;
    api.available = false;
    api.version6 = false;
    CCookiePrivacyMenu menu(api);
    EXPECT_FALSE(menu.RememberPreferences());
    EXPECT_EQ(0, CheckedLevels(menu));
    EXPECT_TRUE(menu.OnCommand(ID_COOKIES_HIGH));
    EXPECT_TRUE(menu.OnCommand(ID_COOKIES_CUSTOM));  // nothing remembered, nothing set

    HMENU parent = CreateMenu();
    HMENU submenu = CreatePopupMenu();
    AppendMenuA(submenu, MF_STRING, ID_COOKIES_BLOCK_ALL, "&Block All");
    AppendMenuA(submenu, MF_STRING, ID_COOKIES_CUSTOM, "&Custom");
    AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "Cookies IE&6");
    menu.UpdateMenu(submenu, parent, 0);
    EXPECT_TRUE(GetMenuState(parent, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(submenu, ID_COOKIES_CUSTOM, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(submenu, ID_COOKIES_BLOCK_ALL, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(parent);
}

// The real calls under Wine answer without a crash, whatever they answer.
TEST(CookiePrivacy, TheSystemCallsAnswer)
{
    CSystemPrivacyApi api;
    CCookiePrivacyMenu menu(api);
    menu.RememberPreferences();
    menu.GetState(ID_COOKIES_MEDIUM);
    menu.GetState(ID_COOKIES_ENABLE);
    RecordProperty("privacy_levels", api.HasPrivacyLevels() ? "yes" : "no");
    SUCCEED();
}
