#pragma once
// CClearRecordsPage: the "Clear Records" page of the Options dialog (dialog 243): which records the
// privacy clean-up deletes (bits of PrivacyClearFlags) and whether it runs when the program closes
// (SysFlags). "Clear Now" stores the choice as Apply does and runs the chosen clean-ups at once, in
// the order cache, history, typed addresses, cookies.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsPageActions.h"
#include "frame/options/OptionsResources.h"
#include "platform/AtlGdi.h"

#include <span>

class CClearRecordsPage : public COptionsPage {
public:
    static std::span<const CCheckBinding> Bindings();
    // The clean-up bits in the order they run.
    static std::span<const DWORD> ClearOrder();

    // Not owned; null: the settings' own clean-up operations.
    void SetActions(IOptionsPageActions* actions) { m_actions = actions; }

    int GetDialogID() const override { return IDD_CLEAR_RECORDS_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CClearRecordsPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_CLEAR_NOW, OnClearNow)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnClearNow(WORD code, WORD id, HWND control, BOOL& handled);

    IOptionsPageActions* m_actions = nullptr;  // not owned
    CFont m_boldFont;                          // the two labels'; outlives them
    CIcon m_buttonIcon;                        // "Clear Now"'s
};
