#pragma once
// CStartupPage: the "Startup" page of the Options dialog (dialog 180): starting with Windows, the
// update check, the splash screen, the exit confirmation (each checked while its "No..." bit of
// SysFlags is clear) and the default-browser check at start; its button makes the program the
// default browser at once. Applying also adds or removes the program's Run value.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsPageActions.h"
#include "frame/options/OptionsResources.h"

#include <span>

class CStartupPage : public COptionsPage {
public:
    static std::span<const CCheckBinding> Bindings();

    // Not owned; null: the frame's commands.
    void SetActions(IOptionsPageActions* actions) { m_actions = actions; }

    int GetDialogID() const override { return IDD_STARTUP_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CStartupPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_STARTUP_SET_DEFAULT_BROWSER, OnSetDefaultBrowser)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetDefaultBrowser(WORD code, WORD id, HWND control, BOOL& handled);

    IOptionsPageActions* m_actions = nullptr;  // not owned
};
