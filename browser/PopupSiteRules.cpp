#include "browser/PopupSiteRules.h"
#include "browser/filter/AdFilter.h"
#include "browser/filter/PopupAllowList.h"

namespace {

// The program's own rules: the popup allow list ("Popups.ini") and the ad filter's exception list
// ("AdFilters.ini"), both loaded on first use.
class CFilterPopupSiteRules final : public IPopupSiteRules {
public:
    bool IsSiteAllowed(const char* openerUrl) const override
    {
        return openerUrl && GetPopupAllowList().IsSiteAllowed(openerUrl);
    }
    bool IsException(const char* url) const override
    {
        TStdStr<char> rule;
        return url && MatchAdFilterException(url, rule);
    }
};

CFilterPopupSiteRules g_filterRules;
IPopupSiteRules* g_rules = nullptr;  // not owned

} // namespace

IPopupSiteRules& GetPopupSiteRules()
{
    return g_rules ? *g_rules : g_filterRules;
}

IPopupSiteRules* SetPopupSiteRules(IPopupSiteRules* rules)
{
    IPopupSiteRules* previous = g_rules;
    g_rules = rules;
    return previous;
}
