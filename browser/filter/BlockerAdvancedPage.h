#pragma once
// The two "Advanced Settings" pages of the blockers (dialog 163 for popups, 165 for ads): the notice,
// beep and sound switches (bits of BlockerFlags), the sound file with its browse and play buttons,
// the replacement text of blocked ads, the key that suspends the blockers (Ctrl, the only one), grid
// lines of the log (ViewFlags) and the log's maximum number of entries (1 to 1000).
// The page reads the settings when it opens and writes them in OnApply, which refuses a maximum
// outside 1 to 1000 (beep, message, focus to the edit, nothing applied).
//
// Lifetime: rule (a).
#include "browser/filter/FilterResources.h"
#include "frame/options/OptionsPage.h"

class CBlockerAdvancedPage : public COptionsPage {
public:
    explicit CBlockerAdvancedPage(bool popups) : m_popups(popups) {}

    BEGIN_MSG_MAP(CBlockerAdvancedPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_CODE_HANDLER(BN_CLICKED, OnClicked)
    END_MSG_MAP()

    int GetDialogID() const override { return m_popups ? IDD_POPUP_ADVANCED : IDD_AD_ADVANCED; }
    int OnApply() override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClicked(WORD, WORD id, HWND, BOOL& handled);
    void UpdateControls();
    void BrowseSound();

    bool m_popups;
};
