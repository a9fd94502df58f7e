#pragma once
// CAddressBarPage: the "Address Bar" page of the Options dialog (dialog 179): which buttons the
// address bar shows (three "Show" boxes, each checked while its "Hide..." view bit is clear) and
// the three domain-completion templates. "Show the icon of Address button" is enabled only while
// "Show Address button" is checked. An empty template is refused with a message and the page
// stays open; applying then tells the address bar through the seam below.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"

#include <span>

// The address bar's part once the page has been applied; may be absent.
class IAddressBarOptionsTarget {
public:
    virtual ~IAddressBarOptionsTarget() = default;
    virtual void ReapplyButtons() = 0;
};

class CAddressBarPage : public COptionsPage {
public:
    static std::span<const CCheckBinding> Bindings();

    // Not owned; null: nobody to tell.
    void SetTarget(IAddressBarOptionsTarget* target) { m_target = target; }
    IAddressBarOptionsTarget* GetTarget() const { return m_target; }

    int GetDialogID() const override { return IDD_ADDRESS_BAR_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CAddressBarPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_SHOW_ADDRESS_BUTTON, OnShowAddressButton)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnShowAddressButton(WORD code, WORD id, HWND control, BOOL& handled);
    void UpdateIconBox();

    IAddressBarOptionsTarget* m_target = nullptr;  // not owned
};
