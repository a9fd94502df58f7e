#pragma once
// CAboutDlg: the Help menu's "About" box (dialog 100): the logo band across the top, the version
// text from the program's version resource, the credits, links to the home page and the mail
// address, and the translator of the interface language when it is not the built-in one. Held by
// its caller for DoModal.
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/FrameDialogResources.h"

#include "controls/widgets/BmpButton.h"
#include "controls/widgets/HtmlStatic.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

// The deployment's mail address of the product.
constexpr const char* kProductMailAddress = "mailto:support@kivobrowser.example";

// The translator link of an interface language: hidden for the built-in language and without a
// translator's name; it leads to the translator's web site, else to the e-mail address.
struct CTranslatorLink {
    bool shown = false;
    CStdString text;
    CStdString target;
};
CTranslatorLink MakeTranslatorLink(const char* languageName, const char* translator, const char* email,
                                   const char* website);

// The host name of an address ("http://www.a.example/x" gives "www.a.example").
CStdString HostNameOf(const char* url);

// The window icon: image 41 of the general small list.
inline constexpr int kAboutDialogIcon = 41;

class CAboutDlg : public CDialogBase<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUT };
    CAboutDlg() : CDialogBase(kAboutDialogIcon) {}
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // The version text the label shows.
    static CStdString VersionText();

    BEGIN_MSG_MAP(CAboutDlg)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        COMMAND_ID_HANDLER(IDC_ABOUT_HOME_ICON, OnHome)
        COMMAND_ID_HANDLER(IDC_ABOUT_MAIL_ICON, OnMail)
        COMMAND_RANGE_HANDLER(IDOK, 7, OnEnd)
        CHAIN_MSG_MAP(CDialogBase<CAboutDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;

private:
    LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnColorStatic(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnHome(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnMail(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnEnd(WORD code, WORD id, HWND control, BOOL& handled);
    void SetUpTranslatorLink();
    RECT LogoRect() const;

    CHtmlStatic m_credits;
    CHyperLink m_homeLink;
    CHyperLink m_mailLink;
    CHyperLink m_translatorLink;
    CBrush m_logoBrush;
};
