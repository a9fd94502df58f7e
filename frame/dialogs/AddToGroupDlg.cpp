#include "frame/dialogs/AddToGroupDlg.h"

#include "controls/ImageListManager.h"
#include "core/app/LanguageManager.h"
#include "core/library/UrlFunctions.h"
#include "core/system/ShellAutoComplete.h"

#include <shlguid.h>

#include <vector>

CAddToGroupDlg::CAddToGroupDlg(std::string groupName, std::string activeAddress)
    : CDialogBase(kAddToGroupIconImage), m_groupName(std::move(groupName)), m_address(std::move(activeAddress))
{
}

CAddToGroupDlg::~CAddToGroupDlg() = default;

// Secure pages belong in groups as much as plain ones: https counts with http and ftp.
bool CAddToGroupDlg::IsAcceptableAddress(const char* text)
{
    return text && IsWebUrl(text);
}

void CAddToGroupDlg::OnInitControls()
{
    const std::string caption = std::string(TranslateText("Add to Group:").c_str()) + " " + m_groupName;
    SetWindowText(caption.c_str());
    HWND edit = GetDlgItem(IDC_ADD_TO_GROUP_URL);
    const CImageListManager* images = GetImageListManager();
    if (HIMAGELIST list = images ? images->GetList(kSlotGeneralSmall) : nullptr;
        list && kAddToGroupFieldImage < ::ImageList_GetImageCount(list))
        m_addressEdit.SetIcon(list, kAddToGroupFieldImage);
    m_addressEdit.SubclassWindow(edit);
    m_autoComplete = std::make_unique<CShellAutoComplete>(edit, CLSID_ACLHistory);
    UpdateOk();
}

LRESULT CAddToGroupDlg::OnAddressChange(WORD, WORD, HWND, BOOL&)
{
    UpdateOk();
    return 0;
}

void CAddToGroupDlg::UpdateOk()
{
    HWND edit = GetDlgItem(IDC_ADD_TO_GROUP_URL);
    const int length = ::GetWindowTextLengthA(edit);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::GetWindowTextA(edit, text.data(), length + 1);
    ::EnableWindow(GetDlgItem(IDOK), IsAcceptableAddress(text.data()));
}

bool CAddToGroupDlg::OnAccept()
{
    return IsAcceptableAddress(m_address.c_str());
}
