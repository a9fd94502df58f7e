#include "frame/options/ClearRecordsPage.h"

#include "controls/ImageListManager.h"
#include "frame/options/PageWidgets.h"

namespace {

constexpr int kClearNowImage = 16;

}  // namespace

std::span<const CCheckBinding> CClearRecordsPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_CLEAR_CACHE, W::PrivacyClearFlags, PrivacyClearFlag::Cache, false},
        {IDC_CLEAR_HISTORY, W::PrivacyClearFlags, PrivacyClearFlag::History, false},
        {IDC_CLEAR_TYPED_ADDRESSES, W::PrivacyClearFlags, PrivacyClearFlag::TypedAddresses, false},
        {IDC_CLEAR_COOKIES, W::PrivacyClearFlags, PrivacyClearFlag::Cookies, false},
        {IDC_CLEAR_ON_EXIT, W::SysFlags, SysFlag::ClearPrivacyOnExit, false},
    };
    return bindings;
}

std::span<const DWORD> CClearRecordsPage::ClearOrder()
{
    static const DWORD order[] = {PrivacyClearFlag::Cache, PrivacyClearFlag::History, PrivacyClearFlag::TypedAddresses,
                                  PrivacyClearFlag::Cookies};
    return order;
}

LRESULT CClearRecordsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetBoldLabels(m_hWnd, m_boldFont, {IDC_CLEAR_RECORDS_LABEL, IDC_CLEAR_OPTIONS_LABEL});
    if (const CImageListManager* images = GetImageListManager())
        SetButtonIcon(GetDlgItem(IDC_CLEAR_NOW), images->m_generalSmall, kClearNowImage, m_buttonIcon);
    if (const CSettings* settings = GetSettings())
        LoadCheckBindings(m_hWnd, *settings, Bindings());
    return TRUE;
}

LRESULT CClearRecordsPage::OnClearNow(WORD, WORD, HWND, BOOL&)
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    SaveCheckBindings(m_hWnd, *settings, Bindings());
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    CFrameOptionsPageActions own(m_hWnd);
    IOptionsPageActions& actions = m_actions ? *m_actions : own;
    for (DWORD bit : ClearOrder()) {
        if (settings->PrivacyClearFlags & bit)
            actions.ClearRecord(bit);
    }
    ::SetCursor(previous);
    return 0;
}

int CClearRecordsPage::OnApply()
{
    if (CSettings* settings = GetSettings())
        SaveCheckBindings(m_hWnd, *settings, Bindings());
    return 0;
}
