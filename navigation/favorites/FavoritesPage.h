#pragma once
// CFavoritesPage: the "Favorites" page of the Options dialog (dialog 247): the favorites menu's
// width and column break (a single column is a break count of 3000), sorting by name, and the
// Links bar's folder. The page works on its own copies: nothing reaches the settings before Apply,
// which checks every value first (a refused value keeps the dialog open with the integer warning)
// and then tells the favorites menu or the Links bar to rebuild when what it shows changed.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"

#include <string>

// Who shows the favorites: told after Apply changed what they show. May be absent.
class IFavoritesOptionsTarget {
public:
    virtual ~IFavoritesOptionsTarget() = default;
    // The sort order, the menu width or the break count changed.
    virtual void RebuildFavoritesMenu() = 0;
    // The Links bar's folder changed (the bar reads it from the settings).
    virtual void RebuildLinksBar() = 0;
};

class CFavoritesPage : public COptionsPage {
public:
    static constexpr int kMinMenuWidth = 3;
    static constexpr int kMaxMenuWidth = 255;
    static constexpr int kMinBreakCount = 3;
    static constexpr int kMaxBreakCount = 3000;
    // The break count that a single column stands for, and the one unticking it goes back to.
    static constexpr int kSingleColumnBreakCount = kMaxBreakCount;
    static constexpr int kDefaultBreakCount = 25;

    // Remembers what the settings hold now, to tell on Apply what changed. `target` is not owned
    // and may be null.
    explicit CFavoritesPage(IFavoritesOptionsTarget* target = nullptr);

    int GetDialogID() const override { return IDD_FAVORITES_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CFavoritesPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_FAV_SINGLE_COLUMN, OnSingleColumn)
        COMMAND_ID_HANDLER(IDC_FAV_LINKS_FOLDER_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_FAV_LINKS_FOLDER_DEFAULTS, OnRestoreDefaults)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSingleColumn(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnBrowse(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRestoreDefaults(WORD code, WORD id, HWND control, BOOL& handled);
    void EnableBreakCount(bool enable);
    // The edit's number within the range; false (after the warning) when it is not one.
    bool ReadNumber(int editId, int minimum, int maximum, int& value);

    IFavoritesOptionsTarget* m_target;  // not owned
    bool m_sortByName = false;
    int m_menuWidth = 0;
    int m_breakCount = 0;
    std::string m_linksFolder;
};
