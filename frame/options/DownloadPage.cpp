#include "frame/options/DownloadPage.h"

#include "core/app/LanguageManager.h"

std::span<const CCheckBinding> CDownloadPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_DOWNLOAD_IMAGES, W::DLCtrlFlags, DLCtrlFlag::LoadImages, false},
        {IDC_DOWNLOAD_VIDEOS, W::DLCtrlFlags, DLCtrlFlag::LoadVideos, false},
        {IDC_DOWNLOAD_SOUNDS, W::DLCtrlFlags, DLCtrlFlag::LoadSounds, false},
        {IDC_DOWNLOAD_SCRIPTS, W::DLCtrlFlags, DLCtrlFlag::NoScripts, true},
        {IDC_DOWNLOAD_JAVA, W::DLCtrlFlags, DLCtrlFlag::NoJava, true},
        {IDC_DOWNLOAD_ACTIVEX, W::DLCtrlFlags, DLCtrlFlag::NoActiveX, true},
    };
    return bindings;
}

LRESULT CDownloadPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CSettings* settings = GetSettings())
        LoadCheckBindings(m_hWnd, *settings, Bindings());
    return TRUE;
}

int CDownloadPage::OnApply()
{
    if (CSettings* settings = GetSettings())
        SaveCheckBindings(m_hWnd, *settings, Bindings());
    return 0;
}
