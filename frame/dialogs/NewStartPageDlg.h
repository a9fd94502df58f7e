#pragma once
// CNewStartPageDlg: "Enter a website address:", the prompt for one more start page (dialog 167).
// The address field shows the default page icon and completes from the history; OK is enabled
// only while the field holds text, and appends the text to the start-page list it was given.
//
// Lifetime: held by the code that opens it, for DoModal (rule (a)). UI thread only.
#include "core/system/Icons.h"
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/DialogsResources.h"

#include <commctrl.h>

#include <memory>
#include <string>

class CShellAutoComplete;
class CStartSites;

// The dialog's icon in the general image list, and the default page icon of the site icons.
inline constexpr int kNewStartPageIconImage = 20;
inline constexpr int kDefaultPageSiteIcon = 4;

class CNewStartPageDlg : public CDialogBase<CNewStartPageDlg> {
public:
    enum { IDD = IDD_NEW_START_PAGE };
    // `sites`: the list OK appends to (not owned; null: the program's start sites). `siteIcons`:
    // the site icons' image list (not owned; null: no icon), which the caller keeps locked.
    explicit CNewStartPageDlg(CStartSites* sites = nullptr, HIMAGELIST siteIcons = nullptr);
    ~CNewStartPageDlg() override;

    const std::string& GetAddress() const { return m_address; }

    BEGIN_MSG_MAP(CNewStartPageDlg)
        COMMAND_HANDLER(IDC_NEW_START_PAGE_URL, EN_CHANGE, OnAddressChange)
        CHAIN_MSG_MAP(CDialogBase<CNewStartPageDlg>)
    END_MSG_MAP()

    BEGIN_DDX_MAP(CNewStartPageDlg)
        if (!DDX_StdString(IDC_NEW_START_PAGE_URL, m_address, bSaveAndValidate, FALSE, 0))
            return FALSE;
    END_DDX_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnAddressChange(WORD code, WORD id, HWND control, BOOL& handled);
    void UpdateOk();

    CStartSites* m_sites;     // not owned
    HIMAGELIST m_siteIcons;   // not owned
    std::string m_address;
    CIconStatic m_addressEdit;
    std::unique_ptr<CShellAutoComplete> m_autoComplete;
};
