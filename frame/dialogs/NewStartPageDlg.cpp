#include "frame/dialogs/NewStartPageDlg.h"

#include "core/app/ProgramFolders.h"
#include "core/system/ShellAutoComplete.h"

#include <shlguid.h>

CNewStartPageDlg::CNewStartPageDlg(CStartSites* sites, HIMAGELIST siteIcons)
    : CDialogBase(kNewStartPageIconImage), m_sites(sites), m_siteIcons(siteIcons)
{
}

CNewStartPageDlg::~CNewStartPageDlg() = default;

void CNewStartPageDlg::OnInitControls()
{
    HWND edit = GetDlgItem(IDC_NEW_START_PAGE_URL);
    if (m_siteIcons && kDefaultPageSiteIcon < ::ImageList_GetImageCount(m_siteIcons))
        m_addressEdit.SetIcon(m_siteIcons, kDefaultPageSiteIcon);
    m_addressEdit.SubclassWindow(edit);
    // Where the system has no history list the field simply does not complete.
    m_autoComplete = std::make_unique<CShellAutoComplete>(edit, CLSID_ACLHistory);
    UpdateOk();
}

LRESULT CNewStartPageDlg::OnAddressChange(WORD, WORD, HWND, BOOL&)
{
    UpdateOk();
    return 0;
}

void CNewStartPageDlg::UpdateOk()
{
    ::EnableWindow(GetDlgItem(IDOK), ::GetWindowTextLengthA(GetDlgItem(IDC_NEW_START_PAGE_URL)) > 0);
}

bool CNewStartPageDlg::OnAccept()
{
    if (m_address.empty())
        return false;
    CStartSites* sites = m_sites ? m_sites : GetStartSites();
    if (sites)
        sites->m_sites.push_back(m_address.c_str());
    return true;
}
