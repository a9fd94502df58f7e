#include "browser/PopupSiteRules.h"

namespace {

class CNoPopupSiteRules final : public IPopupSiteRules {
public:
    bool IsSiteAllowed(const char*) const override { return false; }
    bool IsException(const char*) const override { return false; }
};

CNoPopupSiteRules g_noRules;
IPopupSiteRules* g_rules = nullptr;  // not owned

} // namespace

IPopupSiteRules& GetPopupSiteRules()
{
    return g_rules ? *g_rules : g_noRules;
}

IPopupSiteRules* SetPopupSiteRules(IPopupSiteRules* rules)
{
    IPopupSiteRules* previous = g_rules;
    g_rules = rules;
    return previous;
}
