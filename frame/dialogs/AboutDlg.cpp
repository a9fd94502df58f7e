#include "frame/dialogs/AboutDlg.h"

#include "frame/dialogs/FrameDialogHelpers.h"
#include "frame/MainFrame.h"

#include "core/app/LanguageManager.h"
#include "core/library/AppWindowInfo.h"
#include "core/system/OpenUrl.h"
#include "core/system/VersionInfo.h"

#include <cstring>

namespace {

constexpr const char* kBuiltInLanguage = "English";
constexpr const char* kMailScheme = "mailto:";
constexpr DWORD kFadeInMilliseconds = 300;
constexpr COLORREF kLogoBackground = RGB(0x1F, 0x4E, 0x9C);
constexpr COLORREF kLogoText = RGB(0xFF, 0xFF, 0xFF);
// The version resource's text in the label's form ("Version: 1.50 build 123").
constexpr int kVersionTextWithBuild = 1;

void OpenInNewTab(const char* url)
{
    CAppWindowInfo* info = GetAppWindowInfo();
    if (HWND frame = info ? info->GetMainWindow() : nullptr)
        OpenUrlInFrame(frame, url, kOpenNewTab);
}

}  // namespace

CTranslatorLink MakeTranslatorLink(const char* languageName, const char* translator, const char* email,
                                   const char* website)
{
    CTranslatorLink link;
    const CStdString language = languageName ? languageName : "";
    const CStdString name = TrimmedText(translator ? translator : "");
    if (language.empty() || language == kBuiltInLanguage || name.empty())
        return link;
    link.shown = true;
    link.text = TranslateText("Translator:") + " " + name;
    const CStdString site = TrimmedText(website ? website : "");
    const CStdString mail = TrimmedText(email ? email : "");
    if (!site.empty())
        link.target = site;
    else if (!mail.empty())
        link.target = CStdString(kMailScheme) + mail;
    else
        link.shown = false;
    return link;
}

CStdString HostNameOf(const char* url)
{
    CStdString text = url ? url : "";
    const size_t scheme = text.find("://");
    if (scheme != CStdString::npos)
        text.erase(0, scheme + 3);
    const size_t end = text.find_first_of("/?#");
    if (end != CStdString::npos)
        text.erase(end);
    return text;
}

CStdString CAboutDlg::VersionText()
{
    return FormatVersionText(kVersionTextWithBuild);
}

// The base translates the texts after this; the links and the credits are set here.
void CAboutDlg::OnInitControls()
{
    m_logoBrush.CreateSolidBrush(kLogoBackground);
    SetDlgItemTextA(IDC_ABOUT_LOGO, "Kivo Browser");
    m_homeLink.SubclassWindow(GetDlgItem(IDC_ABOUT_HOME_LINK));
    m_homeLink.SetHyperLink(kProductHomePage);
    m_homeLink.SetLabel(HostNameOf(kProductHomePage).c_str());
    m_mailLink.SubclassWindow(GetDlgItem(IDC_ABOUT_MAIL_LINK));
    m_mailLink.SetHyperLink(kProductMailAddress);
    m_mailLink.SetLabel(kProductMailAddress + std::strlen(kMailScheme));
    m_translatorLink.SubclassWindow(GetDlgItem(IDC_ABOUT_TRANSLATOR_LINK));
    ::AnimateWindow(m_hWnd, kFadeInMilliseconds, AW_BLEND | AW_ACTIVATE);
    m_homeLink.Invalidate();
    m_mailLink.Invalidate();
    m_credits.SubclassWindow(GetDlgItem(IDC_ABOUT_CREDITS));
    const CStdString version = VersionText();
    SetDlgItemTextA(IDC_ABOUT_LABEL, version.c_str());
    const CStdString credits = "<b>Kivo Browser</b> " + version + "\n" +
                               TranslateText("A tabbed web browser around the system's HTML engine.") + "\n<i>" +
                               TranslateText("Made by the Kivo Browser team.") + "</i>";
    SetDlgItemTextA(IDC_ABOUT_CREDITS, credits.c_str());
    SetUpTranslatorLink();
}

void CAboutDlg::SetUpTranslatorLink()
{
    const CLanguageManager* languages = GetLanguageManager();
    if (!languages)
        return;
    const CStdString name = languages->GetLanguageName();
    const CLanguageFile* file = languages->FindLanguage(name.c_str());
    if (!file)
        return;
    const CTranslatorLink link = MakeTranslatorLink(name.c_str(), file->GetTranslator().c_str(),
                                                    file->GetEmail().c_str(), file->GetWebsite().c_str());
    if (!link.shown)
        return;
    m_translatorLink.SetLabel(link.text.c_str());
    m_translatorLink.SetHyperLink(link.target.c_str());
    m_translatorLink.ShowWindow(SW_SHOW);
}

RECT CAboutDlg::LogoRect() const
{
    RECT rect = {};
    HWND logo = ::GetDlgItem(m_hWnd, IDC_ABOUT_LOGO);
    ::GetWindowRect(logo, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LRESULT CAboutDlg::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const RECT logo = LogoRect();
    if (::PtInRect(&logo, point))
        OpenInNewTab(kProductHomePage);
    else
        handled = FALSE;
    return 0;
}

// The logo band: the product's name in white on its colour, the label's font twice as high.
LRESULT CAboutDlg::OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_ABOUT_LOGO) {
        handled = FALSE;
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, kLogoText);
    ::SetBkColor(dc, kLogoBackground);
    return reinterpret_cast<LRESULT>(m_logoBrush.m_hGdiObj);
}

LRESULT CAboutDlg::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client = {};
    GetClientRect(&client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    const RECT logo = LogoRect();
    if (!m_logoBrush.IsNull())
        ::FillRect(dc, &logo, m_logoBrush.m_hGdiObj);
    return TRUE;
}

LRESULT CAboutDlg::OnHome(WORD, WORD, HWND, BOOL&)
{
    OpenInNewTab(kProductHomePage);
    return 0;
}

LRESULT CAboutDlg::OnMail(WORD, WORD, HWND, BOOL&)
{
    OpenInNewTab(kProductMailAddress);
    return 0;
}

LRESULT CAboutDlg::OnEnd(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}
