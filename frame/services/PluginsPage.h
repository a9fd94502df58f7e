#pragma once
// The "Plug-in" page of the Options dialog (dialog 246): every plug-in with its icon and a check
// box (checked = enabled), and the selected one's details from its "plugin.ini". Applying stores
// the unchecked ones as "DisabledPlugins" and has the main frame rebuild its plug-ins bar and
// panes.
//
// Lifetime: rule (a). The manager is not owned and outlives the page.
#include "frame/options/OptionsPage.h"
#include "frame/services/PluginManager.h"

#include <functional>

inline constexpr int kIdPluginsPage = 246;
inline constexpr int kIdPluginList = 24600;
inline constexpr int kIdPluginAuthor = 24610;
inline constexpr int kIdPluginEmail = 24611;
inline constexpr int kIdPluginWebsite = 24612;
inline constexpr int kIdPluginVersion = 24613;
inline constexpr int kIdPluginComments = 24614;
inline constexpr int kIdPluginAutoRun = 24620;

class CPluginsPage : public COptionsPage {
public:
    // `manager` null: the process's; `onApplied` is what follows an apply (the frame's rebuild in
    // the program).
    explicit CPluginsPage(CPluginManager* manager = nullptr, std::function<void()> onApplied = {});

    BEGIN_MSG_MAP(CPluginsPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        NOTIFY_HANDLER(kIdPluginList, LVN_ITEMCHANGED, OnItemChanged)
    END_MSG_MAP()

    int GetDialogID() const override { return kIdPluginsPage; }
    int OnApply() override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnItemChanged(int, LPNMHDR header, BOOL&);
    void ShowDetails(int row);
    CPluginManager* Manager() const;

    CPluginManager* m_manager;  // not owned; null: the process's
    std::function<void()> m_onApplied;
};
