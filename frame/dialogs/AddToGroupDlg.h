#pragma once
// CAddToGroupDlg: "Add to Group" (dialog 171), the address to add to a group of sites. The caption
// names the group; the field starts with the active tab's address and completes from the history;
// OK is enabled only while the text is a web address (http, https or ftp with a host).
//
// Lifetime: held by the code that opens it, for DoModal (rule (a)). UI thread only.
#include "core/system/Icons.h"
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/DialogsResources.h"

#include <memory>
#include <string>

class CShellAutoComplete;

// The dialog's icon and the field's icon in the general image list.
inline constexpr int kAddToGroupIconImage = 44;
inline constexpr int kAddToGroupFieldImage = 14;

class CAddToGroupDlg : public CDialogBase<CAddToGroupDlg> {
public:
    enum { IDD = IDD_ADD_TO_GROUP };
    CAddToGroupDlg(std::string groupName, std::string activeAddress);
    ~CAddToGroupDlg() override;

    const std::string& GetAddress() const { return m_address; }
    // Whether OK may take the text.
    static bool IsAcceptableAddress(const char* text);

    BEGIN_MSG_MAP(CAddToGroupDlg)
        COMMAND_HANDLER(IDC_ADD_TO_GROUP_URL, EN_CHANGE, OnAddressChange)
        CHAIN_MSG_MAP(CDialogBase<CAddToGroupDlg>)
    END_MSG_MAP()

    BEGIN_DDX_MAP(CAddToGroupDlg)
        if (!DDX_StdString(IDC_ADD_TO_GROUP_URL, m_address, bSaveAndValidate, FALSE, 0))
            return FALSE;
    END_DDX_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnAddressChange(WORD code, WORD id, HWND control, BOOL& handled);
    void UpdateOk();

    std::string m_groupName;
    std::string m_address;
    CIconStatic m_addressEdit;
    std::unique_ptr<CShellAutoComplete> m_autoComplete;
};
