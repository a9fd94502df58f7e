#pragma once
// CMiscellaneousPage: the "Miscellaneous" page of the Options dialog (dialog 242): script errors,
// where new tabs open, and the tray (its icon, and what closing and minimising do). The two tray
// lists are enabled only while "Show Tray Icon" is checked; unchecking it sets both to their
// first entry. Applying also shows or removes the tray icon through the frame.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"
#include "frame/options/TrayIconOwner.h"

#include <span>

class CMiscellaneousPage : public COptionsPage {
public:
    static std::span<const CCheckBinding> Bindings();
    static std::span<const CListBitBinding> ListBindings();

    // Not owned; null: nobody to tell.
    void SetTrayIconOwner(ITrayIconOwner* owner) { m_trayOwner = owner; }

    int GetDialogID() const override { return IDD_MISCELLANEOUS_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CMiscellaneousPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_MISC_SHOW_TRAY_ICON, OnShowTrayIcon)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnShowTrayIcon(WORD code, WORD id, HWND control, BOOL& handled);
    void ApplyTrayRule();

    ITrayIconOwner* m_trayOwner = nullptr;  // not owned
};
