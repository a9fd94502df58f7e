#pragma once
// COptionsPages: the program's IOptionsPageFactory (frame/options/OptionsPageFactory.h), the option
// pages that the Options dialog does not embed because they belong to the browser and navigation
// libraries: the popup blocker's and the ad filter's pages with their advanced settings, the
// mouse gesture pages, the URL aliases and the search bar (whose buttons its page rebuilds).
//
// Lifetime: one object for the program, installed with the frame's other navigation services
// (InstallFrameNavigation) and kept until exit; each page it makes belongs to the dialog that asked.
#include "frame/options/OptionsPageFactory.h"

class CFrameNavigation;

class COptionsPages final : public IOptionsPageFactory {
public:
    // `navigation` (not owned, may be null) holds the search bar the search page updates.
    explicit COptionsPages(const CFrameNavigation* navigation = nullptr) : m_navigation(navigation) {}
    std::unique_ptr<COptionsPage> CreatePage(int dialogId) override;
    // The frame's address bar, rebuilt from the settings' button bits.
    IAddressBarOptionsTarget* GetAddressBarTarget() override { return &m_addressBarButtons; }

private:
    class CAddressBarButtons final : public IAddressBarOptionsTarget {
    public:
        explicit CAddressBarButtons(const CFrameNavigation* navigation) : m_navigation(navigation) {}
        void ReapplyButtons() override;

    private:
        const CFrameNavigation* m_navigation;  // not owned
    };

    const CFrameNavigation* m_navigation;  // not owned
    CAddressBarButtons m_addressBarButtons{m_navigation};
};
