#include "frame/options/AddressBarPage.h"

#include "core/app/LanguageManager.h"
#include "core/system/MessageBoxes.h"

#include <string>

namespace {

// A template longer than this is not an address anyone types; the edits are limited to it so
// the text read back is bounded.
constexpr int kMaxTemplateLength = 1024;
constexpr const char* kDomainPlaceholder = "%DOMAIN%";

struct CTemplateField {
    int controlId;
    CSettingString CSettings::*setting;
};

constexpr CTemplateField kTemplates[] = {
    {IDC_DOMAIN_COMPLETION_CTRL, &CSettings::DomainCompletionCtrl},
    {IDC_DOMAIN_COMPLETION_SHIFT, &CSettings::DomainCompletionShift},
    {IDC_DOMAIN_COMPLETION_CTRL_SHIFT, &CSettings::DomainCompletionCtrlShift},
};

const char* Translated(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    return language ? language->Translate(text) : text;
}

}  // namespace

std::span<const CCheckBinding> CAddressBarPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_SHOW_ADDRESS_BUTTON, W::ViewFlags, ViewFlag::HideAddressButton, true},
        {IDC_SHOW_ADDRESS_BUTTON_ICON, W::ViewFlags, ViewFlag::HideAddressButtonIcon, true},
        {IDC_SHOW_GO_BUTTON, W::ViewFlags, ViewFlag::HideGoButton, true},
    };
    return bindings;
}

LRESULT CAddressBarPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CSettings* settings = GetSettings()) {
        for (const CTemplateField& field : kTemplates) {
            ::SendDlgItemMessageA(m_hWnd, field.controlId, EM_LIMITTEXT, kMaxTemplateLength, 0);
            ::SetDlgItemTextA(m_hWnd, field.controlId, (settings->*field.setting).value.c_str());
        }
        LoadCheckBindings(m_hWnd, *settings, Bindings());
    }
    UpdateIconBox();
    return TRUE;
}

LRESULT CAddressBarPage::OnShowAddressButton(WORD, WORD, HWND, BOOL&)
{
    UpdateIconBox();
    return 0;
}

void CAddressBarPage::UpdateIconBox()
{
    ::EnableWindow(GetDlgItem(IDC_SHOW_ADDRESS_BUTTON_ICON), IsDlgButtonChecked(IDC_SHOW_ADDRESS_BUTTON) == BST_CHECKED);
}

// Every template is checked before any is written, so a refused page leaves the settings as
// they were: a template without the placeholder would turn every completed address into the
// same fixed site.
int CAddressBarPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    std::string texts[std::size(kTemplates)];
    for (size_t i = 0; i < std::size(kTemplates); ++i) {
        char buffer[kMaxTemplateLength + 1] = {};
        ::GetDlgItemTextA(m_hWnd, kTemplates[i].controlId, buffer, static_cast<int>(sizeof(buffer)));
        texts[i] = buffer;
        if (texts[i].find(kDomainPlaceholder) == std::string::npos) {
            GetMessageBoxes().Show(m_hWnd, Translated("The domain completion must contain %DOMAIN%."),
                                   Translated("Kivo Browser"), MB_OK | MB_ICONWARNING);
            ::SetFocus(GetDlgItem(kTemplates[i].controlId));
            return 1;
        }
    }
    for (size_t i = 0; i < std::size(kTemplates); ++i)
        (settings->*kTemplates[i].setting) = texts[i].c_str();
    SaveCheckBindings(m_hWnd, *settings, Bindings());
    if (m_target)
        m_target->ReapplyButtons();
    return 0;
}
