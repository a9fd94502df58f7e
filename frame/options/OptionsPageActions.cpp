#include "frame/options/OptionsPageActions.h"

#include "core/app/Settings.h"
#include "frame/FrameResources.h"

// The dialog's root owner is the frame; a dialog opened without an owner is its own root, which
// ignores the commands.
HWND CFrameOptionsPageActions::CommandTarget() const
{
    return m_page ? ::GetAncestor(m_page, GA_ROOTOWNER) : nullptr;
}

void CFrameOptionsPageActions::SetAsDefaultBrowser()
{
    if (HWND frame = CommandTarget())
        ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_FRAME_SET_DEFAULT_BROWSER, 0), 0);
}

void CFrameOptionsPageActions::SwitchLanguage(int languageIndex)
{
    HWND frame = CommandTarget();
    if (frame && languageIndex >= 0)
        ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(kLanguageCommandFirst + languageIndex, 0), 0);
}

void CFrameOptionsPageActions::ClearRecord(DWORD privacyClearBit)
{
    CSettingsServices& services = GetSettingsServices();
    switch (privacyClearBit) {
    case PrivacyClearFlag::Cache:
        ClearUrlCacheEntries(true, false);
        break;
    case PrivacyClearFlag::History:
        if (services.clearUrlHistory)
            services.clearUrlHistory();
        break;
    case PrivacyClearFlag::TypedAddresses:
        if (services.deleteTypedUrlHistory)
            services.deleteTypedUrlHistory();
        break;
    case PrivacyClearFlag::Cookies:
        ClearUrlCacheEntries(false, true);
        break;
    default:
        break;
    }
}
