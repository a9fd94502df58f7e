#pragma once
// CDonationDlg: "Support Kivo Browser" (dialog 193). It explains that the program is free and opens
// the payment page in a new tab for the chosen currency and amount. Plain mode is the Help menu's
// command; reminder mode, shown every 50th run, adds "Don't remind me again" ("SysFlags" bit
// 0x800) and "Close". Held by its caller for DoModal.
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/FrameDialogResources.h"

#include "controls/widgets/HtmlStatic.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

#include <vector>

// The currencies in the order the list shows them.
enum EDonationCurrency {
    kDonationUsDollars,
    kDonationEuros,
    kDonationPoundsSterling,
    kDonationCanadianDollars,
    kDonationAustralianDollar,
    kDonationYen,
    kDonationChineseYuan,
    kDonationCurrencyCount
};

// The display name of a currency; null outside the table.
const char* DonationCurrencyName(int currency);
// The currency the dialog starts with for an interface language's name.
int DonationCurrencyForLanguage(const char* languageName);
// The amounts the list offers for a currency, in the list's order; none outside the table.
std::vector<int> DonationAmounts(int currency);
// The payment page's address. The amount text is used when it reads as a whole number above 0;
// any other text leaves the amount to the payment page. A currency outside the table is 0's.
CStdString BuildDonationUrl(int currency, const char* amountText);

class CDonationDlg : public CDialogBase<CDonationDlg> {
public:
    enum { IDD = IDD_DONATION };
    explicit CDonationDlg(bool reminder) : m_reminder(reminder) {}
    CDonationDlg(const CDonationDlg&) = delete;
    CDonationDlg& operator=(const CDonationDlg&) = delete;

    BEGIN_MSG_MAP(CDonationDlg)
        COMMAND_HANDLER(IDC_DONATION_CURRENCY, CBN_SELCHANGE, OnCurrencyChanged)
        COMMAND_HANDLER(IDC_DONATION_PICTURE, STN_CLICKED, OnDonate)
        COMMAND_ID_HANDLER(IDC_DONATION_DONATE, OnDonate)
        CHAIN_MSG_MAP(CDialogBase<CDonationDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;
    // "Close" (IDOK): the reminder keeps its check box; from the menu it donates.
    bool OnAccept() override;

private:
    LRESULT OnCurrencyChanged(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnDonate(WORD code, WORD id, HWND control, BOOL& handled);
    void FillAmounts();
    void Donate();

    bool m_reminder;
    CHtmlStatic m_text;
};
