#include "frame/dialogs/FrameQuestions.h"

#include "frame/dialogs/AboutDlg.h"
#include "frame/dialogs/DonationDlg.h"
#include "frame/dialogs/ExitDlg.h"
#include "frame/dialogs/SessionRestoreDlg.h"

namespace {

CFrameDialogQuestions& DialogQuestions()
{
    static CFrameDialogQuestions questions;
    return questions;
}

IFrameQuestions*& InstalledQuestions()
{
    static IFrameQuestions* installed = nullptr;
    return installed;
}

}  // namespace

int CFrameDialogQuestions::AskExit(HWND frame, const std::function<bool(const char* group)>& saveToGroup)
{
    CExitDlg dialog(saveToGroup);
    return static_cast<int>(dialog.Run(frame));
}

void CFrameDialogQuestions::RemindDonation(HWND parent)
{
    CDonationDlg dialog(true);
    dialog.DoModal(parent);
}

int CFrameDialogQuestions::ChooseSessionSites(HWND frame, const std::vector<CSessionEntry>& sites,
                                              std::vector<bool>& chosen, bool normalRestore)
{
    CSessionRestoreDlg dialog(sites, chosen, normalRestore);
    return static_cast<int>(dialog.Run(frame));
}

bool CFrameDialogQuestions::AskOpenAddress(HWND frame, CStdString& address)
{
    COpenDlg dialog(address);
    if (dialog.DoModal(frame) != IDOK)
        return false;
    address = dialog.GetAddress();
    return true;
}

void CFrameDialogQuestions::ShowAbout(HWND parent)
{
    CAboutDlg dialog;
    dialog.DoModal(parent);
}

void CFrameDialogQuestions::ShowDonation(HWND parent)
{
    CDonationDlg dialog(false);
    dialog.DoModal(parent);
}

IFrameQuestions& GetFrameQuestions()
{
    IFrameQuestions* installed = InstalledQuestions();
    return installed ? *installed : DialogQuestions();
}

CScopedFrameQuestions::CScopedFrameQuestions(IFrameQuestions& questions) : m_previous(InstalledQuestions())
{
    InstalledQuestions() = &questions;
}

CScopedFrameQuestions::~CScopedFrameQuestions()
{
    InstalledQuestions() = m_previous;
}
