#pragma once
// A frame double for the filter's tests: records what the handler and the pages report and installs
// itself as the tab host while it lives.
#include "frame/BrowserTab.h"

#include <string>
#include <vector>

namespace filter_test {

class CFakeTabHost : public IBrowserTabHost {
public:
    CFakeTabHost() : m_previous(SetBrowserTabHost(this)) {}
    ~CFakeTabHost() override { SetBrowserTabHost(m_previous); }
    CFakeTabHost(const CFakeTabHost&) = delete;
    CFakeTabHost& operator=(const CFakeTabHost&) = delete;

    struct CBlocked {
        std::string first;   // title or rule
        std::string second;  // opener (popups) or URL (ads)
        std::string third;   // URL (popups)
    };

    HWND GetFrameWindow() const override { return nullptr; }
    HWND GetMdiClientWindow() const override { return nullptr; }
    void AddTab(HWND, IBrowserTab*) override {}
    void RemoveTab(HWND) override {}
    void OnPopupBlocked(const char* title, const char* openerUrl, const char* url) override
    {
        m_popups.push_back({title, openerUrl, url});
        if (m_forwardPopup)
            m_forwardPopup(title, openerUrl, url);
    }
    void OnAdBlocked(const char* rule, const char* url) override
    {
        m_ads.push_back({rule, url, ""});
        if (m_forwardAd)
            m_forwardAd(rule, url);
    }
    void SetAddressBarText(const char*) override {}
    void SetTabImage(HWND, int) override {}
    void SetStatusPane(int paneId, HICON, const char* text) override { m_statusTexts.emplace_back(paneId, text ? text : ""); }

    std::vector<CBlocked> m_popups;
    std::vector<CBlocked> m_ads;
    std::vector<std::pair<int, std::string>> m_statusTexts;
    void (*m_forwardPopup)(const char*, const char*, const char*) = nullptr;
    void (*m_forwardAd)(const char*, const char*) = nullptr;

private:
    IBrowserTabHost* m_previous;  // not owned: the host that was installed before
};

}  // namespace filter_test
