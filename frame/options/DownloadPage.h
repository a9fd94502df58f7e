#pragma once
// CDownloadPage: the "Download" page of the Options dialog (dialog 244): six check boxes that say
// what a page loads and runs, each bound to one bit of the settings' "DLCtrlFlags"; the three
// "Allow" boxes are checked while their "No..." bit is clear. Load on WM_INITDIALOG, save on
// Apply, nothing written on Cancel.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"

#include <span>

class CDownloadPage : public COptionsPage {
public:
    static std::span<const CCheckBinding> Bindings();

    int GetDialogID() const override { return IDD_DOWNLOAD_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CDownloadPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
};
