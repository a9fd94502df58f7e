#include "navigation/OptionsPages.h"

#include "browser/filter/BlockerAdvancedPage.h"
#include "browser/filter/BlockerPages.h"
#include "browser/filter/FilterResources.h"

std::unique_ptr<COptionsPage> COptionsPages::CreatePage(int dialogId)
{
    switch (dialogId) {
    case IDD_POPUP_BLOCKER_PAGE:
        return std::make_unique<CPopupBlockerPage>();
    case IDD_POPUP_ADVANCED:
        return std::make_unique<CBlockerAdvancedPage>(true);
    case IDD_AD_FILTER_PAGE:
        return std::make_unique<CAdFilterPage>();
    case IDD_AD_ADVANCED:
        return std::make_unique<CBlockerAdvancedPage>(false);
    default:
        return nullptr;
    }
}
