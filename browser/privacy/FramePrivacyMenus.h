#pragma once
// CFramePrivacyMenus: the browser library's IFramePrivacy for the main frame: the "Pro&xy" submenu
// from the proxy list, the switch of the session's proxy, and the "Cookies IE&6" submenu through
// the privacy seam. A proxy the URL layer refuses is written to the program log as a warning (Wine's
// urlmon takes no proxy for its session).
//
// Lifetime: InstallFramePrivacyMenus makes the program's one object and keeps it until exit; tests
// make their own with their list, session and privacy seam and install it for their scope.
#include "browser/privacy/CookiePrivacy.h"
#include "browser/privacy/ProxyList.h"
#include "frame/services/FramePrivacy.h"

class CFramePrivacyMenus final : public IFramePrivacy {
public:
    // `list` null: the process's proxy list (GetProxyList). The references are not owned and must
    // outlive the object.
    CFramePrivacyMenus(CProxyList* list, IProxySession& session, IPrivacyApi& privacy);
    CFramePrivacyMenus(const CFramePrivacyMenus&) = delete;
    CFramePrivacyMenus& operator=(const CFramePrivacyMenus&) = delete;

    void BuildProxyMenu(HMENU menu, int proxyIndex) override;
    void UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex) override;
    EFrameProxyResult ApplyProxy(int oldIndex, int newIndex, bool atStartup) override;
    void RememberCookiePreferences() override;
    bool OnCookieCommand(UINT id) override;
    void UpdateCookieMenu(HMENU submenu, HMENU parent, UINT position) override;

private:
    CProxyList* List() const;

    CProxyList* m_list;        // not owned; null: the process's
    IProxySession& m_session;  // not owned
    CCookiePrivacyMenu m_cookies;
};

// Installs the program's object for the frame (start-up, once).
void InstallFramePrivacyMenus();
