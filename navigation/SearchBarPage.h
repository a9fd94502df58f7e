#pragma once
// CSearchBarPage: the "Search Bar" page of the Options dialog (dialog 178). The categories with
// check boxes (checked = shown on the search bar; an unchecked one is drawn grey), the engines of
// the selected category with their templates (the default engine in red), and "Set as Default".
// The page edits a copy; Apply writes the check states and defaults into the catalogue and has
// the search bar rebuild its buttons; Cancel leaves the catalogue as it was. The catalogue writes
// its settings when the program ends.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionsPage.h"
#include "navigation/NavigationResources.h"
#include "platform/AtlGdi.h"

#include <commctrl.h>

#include <vector>

class CFavIconCache;
class CSearchBar;
class CSearchEngineManager;

class CSearchBarPage : public COptionsPage {
public:
    static constexpr COLORREF kDisabledText = RGB(0x80, 0x80, 0x80);
    static constexpr COLORREF kDefaultEngineText = RGB(0xFF, 0x00, 0x00);

    // None is owned; the bar and the site icons (each engine's, by its template) may be null.
    CSearchBarPage(CSearchEngineManager& engines, CSearchBar* bar, CFavIconCache* icons = nullptr)
        : m_engines(engines), m_bar(bar), m_icons(icons)
    {
    }

    int GetDialogID() const override { return IDD_SEARCH_BAR_PAGE; }
    int OnApply() override
    {
        Apply();
        return 0;
    }

    void SelectCategory(int index);
    // Makes the selected engine its category's default (when the button allows it).
    void SetSelectedAsDefault();
    void Apply();

    int GetDefault(int category) const { return category >= 0 && category < static_cast<int>(m_defaults.size()) ? m_defaults[category] : -1; }
    bool IsChecked(int category) const;

    BEGIN_MSG_MAP(CSearchBarPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        NOTIFY_HANDLER(IDC_SEARCH_CATEGORY_LIST, LVN_ITEMCHANGED, OnCategoryChanged)
        NOTIFY_HANDLER(IDC_SEARCH_CATEGORY_LIST, NM_CUSTOMDRAW, OnCategoryDraw)
        NOTIFY_HANDLER(IDC_SEARCH_ENGINE_LIST, LVN_ITEMCHANGED, OnEngineChanged)
        NOTIFY_HANDLER(IDC_SEARCH_ENGINE_LIST, NM_CUSTOMDRAW, OnEngineDraw)
        COMMAND_ID_HANDLER(IDC_SET_DEFAULT_ENGINE, OnSetDefault)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCategoryChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnCategoryDraw(int id, NMHDR* header, BOOL& handled);
    LRESULT OnEngineChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnEngineDraw(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSetDefault(WORD code, WORD id, HWND control, BOOL& handled);

    void FillEngines();
    int SelectedEngine() const;
    void UpdateButton();
    LRESULT Answer(LRESULT result);

    CSearchEngineManager& m_engines;
    CSearchBar* m_bar;
    CFavIconCache* m_icons;  // not owned
    CFont m_listFont;        // the category list's, one unit larger than the page's
    std::vector<int> m_defaults;  // the edited default of every category
    int m_category = -1;
    bool m_filling = false;
};
