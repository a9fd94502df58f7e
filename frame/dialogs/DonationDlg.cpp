#include "frame/dialogs/DonationDlg.h"

#include "frame/dialogs/FrameDialogHelpers.h"
#include "frame/MainFrame.h"

#include "core/library/AppWindowInfo.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/OpenUrl.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>

namespace {

struct CCurrency {
    const char* name;
    const char* code;    // null: the fixed address
    const char* locale;  // null: none
};

constexpr CCurrency kCurrencies[kDonationCurrencyCount] = {
    {"U.S. Dollars", "USD", nullptr},       {"Euros", "EUR", nullptr},  {"Pounds Sterling", "GBP", "GB"},
    {"Canadian Dollars", "CAD", "CA"},      {"Australian Dollar", "AUD", "AU"}, {"Yen", "JPY", "JP"},
    {"Chinese Yuan", nullptr, nullptr},
};

constexpr int kEuroAmounts[] = {15, 20, 25, 10, 30, 40, 50, 70, 100, 200};
constexpr int kDollarAmounts[] = {20, 25, 30, 10, 40, 50, 70, 100, 200};
constexpr int kYenFactor = 100;

constexpr const char* kPaymentPage = "https://www.paypal.com/cgi-bin/webscr";
constexpr const char* kReceivingAccount = "donate@kivobrowser.example";
constexpr const char* kItemName = "Kivo Browser Donation";
// The Chinese item name, UTF-8 and percent-encoded, in the fixed address of the yuan.
constexpr const char* kChineseItemName = "Kivo%20%E6%B5%8F%E8%A7%88%E5%99%A8%E6%8D%90%E8%B5%A0";

constexpr const char* kExplanation =
    "<b>Kivo Browser</b> is freeware. You can use it for <b>free</b> as long as you like. \n\nBut we accept and "
    "appreciate monetary donations to help and encourage the development of this software. Your support will keep "
    "Kivo Browser alive and help it to be the best web browser. \n\nYou can input whatever amount you like and "
    "click the <b>Donate</b> button. All online transactions are SSL-secured. \n\nThanks!";

// Form encoding: letters, digits and "-_." stay, a blank becomes '+', the rest "%XX".
CStdString FormEncoded(const char* text)
{
    CStdString encoded;
    for (const char* at = text; *at; ++at) {
        const unsigned char c = static_cast<unsigned char>(*at);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            char escape[4] = {};
            std::snprintf(escape, sizeof(escape), "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

// A whole number above 0, blanks around it allowed; 0 for anything else.
int ReadAmount(const char* text)
{
    if (!text)
        return 0;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || value <= 0 || value > INT_MAX)
        return 0;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0' ? static_cast<int>(value) : 0;
}

}  // namespace

const char* DonationCurrencyName(int currency)
{
    return currency >= 0 && currency < kDonationCurrencyCount ? kCurrencies[currency].name : nullptr;
}

int DonationCurrencyForLanguage(const char* languageName)
{
    const CStdString name = languageName ? languageName : "";
    if (name == "Chinese Simplified")
        return kDonationChineseYuan;
    for (const char* euroLanguage : {"German", "French", "Italian", "Spanish", "Portuguese"})
        if (name == euroLanguage)
            return kDonationEuros;
    return kDonationUsDollars;
}

std::vector<int> DonationAmounts(int currency)
{
    switch (currency) {
    case kDonationEuros:
    case kDonationPoundsSterling:
        return {std::begin(kEuroAmounts), std::end(kEuroAmounts)};
    case kDonationUsDollars:
    case kDonationCanadianDollars:
    case kDonationAustralianDollar:
    case kDonationChineseYuan:
        return {std::begin(kDollarAmounts), std::end(kDollarAmounts)};
    case kDonationYen: {
        std::vector<int> amounts;
        for (int amount : kDollarAmounts)
            amounts.push_back(amount * kYenFactor);
        return amounts;
    }
    default:
        return {};
    }
}

CStdString BuildDonationUrl(int currency, const char* amountText)
{
    if (currency < 0 || currency >= kDonationCurrencyCount)
        currency = kDonationUsDollars;
    const CCurrency& entry = kCurrencies[currency];
    CStdString url = kPaymentPage;
    url += "?cmd=_xclick&business=";
    url += FormEncoded(kReceivingAccount);
    if (entry.code) {
        url += "&item_name=" + FormEncoded(kItemName);
        url += "&return=" + FormEncoded(kProductHomePage);
        url += "&no_note=1&tax=0&currency_code=";
        url += entry.code;
    } else {
        url += "&item_name=";
        url += kChineseItemName;
        url += "&no_shipping=0&no_note=1&tax=0&currency_code=CNY&charset=UTF%2d8&charset=UTF%2d8";
    }
    if (const int amount = ReadAmount(amountText)) {
        CStdString part;
        part.Format("&amount=%d", amount);
        url += part;
    }
    if (entry.locale) {
        url += "&lc=";
        url += entry.locale;
    }
    return url;
}

void CDonationDlg::OnInitControls()
{
    m_text.SubclassWindow(GetDlgItem(IDC_DONATION_TEXT));
    const CSettings* settings = GetSettings();
    SetItemChecked(m_hWnd, IDC_DONATION_DONT_REMIND, settings && (settings->SysFlags & SysFlag::NoSupportReminder));
    if (!m_reminder) {
        ::ShowWindow(GetDlgItem(IDC_DONATION_DONT_REMIND), SW_HIDE);
        HWND close = GetDlgItem(IDOK);
        ::ShowWindow(close, SW_HIDE);
        ::SendMessageA(close, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        ::SendMessageA(GetDlgItem(IDC_DONATION_DONATE), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendMessage(DM_SETDEFID, IDC_DONATION_DONATE, 0);
    }
    HWND currencies = GetDlgItem(IDC_DONATION_CURRENCY);
    for (const CCurrency& currency : kCurrencies)
        ::SendMessageA(currencies, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TranslateText(currency.name).c_str()));
    const CLanguageManager* languages = GetLanguageManager();
    const int start = DonationCurrencyForLanguage(languages ? languages->GetLanguageName().c_str() : "");
    ::SendMessageA(currencies, CB_SETCURSEL, start, 0);
    FillAmounts();
    SetDlgItemTextA(IDC_DONATION_TEXT, TranslateText(kExplanation).c_str());
}

void CDonationDlg::FillAmounts()
{
    HWND amounts = GetDlgItem(IDC_DONATION_AMOUNT);
    ::SendMessageA(amounts, CB_RESETCONTENT, 0, 0);
    const int currency = static_cast<int>(SendDlgItemMessage(IDC_DONATION_CURRENCY, CB_GETCURSEL, 0, 0));
    for (int amount : DonationAmounts(currency)) {
        const CStdString text = std::to_string(amount).c_str();
        ::SendMessageA(amounts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageA(amounts, CB_SETCURSEL, 0, 0);
    ::SetFocus(amounts);
}

LRESULT CDonationDlg::OnCurrencyChanged(WORD, WORD, HWND, BOOL&)
{
    FillAmounts();
    return 0;
}

void CDonationDlg::Donate()
{
    CSettings* settings = GetSettings();
    if (m_reminder && settings)
        settings->SysFlags |= SysFlag::NoSupportReminder;
    int currency = static_cast<int>(SendDlgItemMessage(IDC_DONATION_CURRENCY, CB_GETCURSEL, 0, 0));
    if (currency < 0)
        currency = kDonationUsDollars;
    const CStdString url = BuildDonationUrl(currency, GetItemText(m_hWnd, IDC_DONATION_AMOUNT).c_str());
    if (m_reminder) {
        if (CMainFrame* frame = GetMainFrame())
            frame->OpenUrlInTab(url.c_str(), kOpenNewTab);
    } else {
        CAppWindowInfo* info = GetAppWindowInfo();
        if (HWND main = info ? info->GetMainWindow() : nullptr)
            OpenUrlInFrame(main, url.c_str(), kOpenNewTab);
    }
    EndDialog(IDCANCEL);
}

LRESULT CDonationDlg::OnDonate(WORD, WORD, HWND, BOOL&)
{
    Donate();
    return 0;
}

bool CDonationDlg::OnAccept()
{
    if (!m_reminder) {
        Donate();
        return false;  // donating ended the dialog
    }
    if (CSettings* settings = GetSettings()) {
        if (IsItemChecked(m_hWnd, IDC_DONATION_DONT_REMIND))
            settings->SysFlags |= SysFlag::NoSupportReminder;
        else
            settings->SysFlags &= ~SysFlag::NoSupportReminder;
    }
    return true;
}
