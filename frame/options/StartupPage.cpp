#include "frame/options/StartupPage.h"

#include "core/system/RunAtStartup.h"

std::span<const CCheckBinding> CStartupPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_STARTUP_RUN_AT_WINDOWS_START, W::SysFlags, SysFlag::NoStartWithWindows, true},
        {IDC_STARTUP_CHECK_NEW_VERSION, W::SysFlags, SysFlag::NoUpdateCheck, true},
        {IDC_STARTUP_SHOW_SPLASH, W::SysFlags, SysFlag::NoSplash, true},
        {IDC_STARTUP_CONFIRM_EXIT, W::SysFlags, SysFlag::NoExitConfirmation, true},
        {IDC_STARTUP_CHECK_DEFAULT_BROWSER, W::SysFlags, SysFlag::CheckDefaultBrowser, false},
    };
    return bindings;
}

LRESULT CStartupPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CSettings* settings = GetSettings())
        LoadCheckBindings(m_hWnd, *settings, Bindings());
    return TRUE;
}

LRESULT CStartupPage::OnSetDefaultBrowser(WORD, WORD, HWND, BOOL&)
{
    CFrameOptionsPageActions frame(m_hWnd);
    (m_actions ? *m_actions : static_cast<IOptionsPageActions&>(frame)).SetAsDefaultBrowser();
    return 0;
}

int CStartupPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    SaveCheckBindings(m_hWnd, *settings, Bindings());
    if (settings->SysFlags & SysFlag::NoStartWithWindows)
        RemoveRunAtStartup(kRunValueName);
    else
        SetRunAtStartup(kRunValueName);
    return 0;
}
