#pragma once
// What the popup test asks of the content filter: whether the opener's site is on the popup
// allow list, and whether the new address is on the ad filter's exception list. The browser tab
// calls it through this one seam; by default it asks the filter's own lists, and tests give their
// own.
class IPopupSiteRules {
public:
    virtual ~IPopupSiteRules() = default;
    virtual bool IsSiteAllowed(const char* openerUrl) const = 0;
    virtual bool IsException(const char* url) const = 0;
};

IPopupSiteRules& GetPopupSiteRules();
// Installs the rules (not owned; null: the default) and returns the previous ones.
IPopupSiteRules* SetPopupSiteRules(IPopupSiteRules* rules);

// Installs rules for a scope and puts the previous ones back.
class CScopedPopupSiteRules {
public:
    explicit CScopedPopupSiteRules(IPopupSiteRules& rules) : m_previous(SetPopupSiteRules(&rules)) {}
    CScopedPopupSiteRules(const CScopedPopupSiteRules&) = delete;
    CScopedPopupSiteRules& operator=(const CScopedPopupSiteRules&) = delete;
    ~CScopedPopupSiteRules() { SetPopupSiteRules(m_previous); }

private:
    IPopupSiteRules* m_previous;  // not owned
};
