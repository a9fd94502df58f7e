#pragma once
// CSearchBar: the search band of the main frame. A window of class "_SearchBar", a superclass of
// ComboBoxEx32: a menu button (19701, the bar menu) at its left, the query box with its history
// (at most 30 entries, newest first, kept in the registry), and a toolbar with one drop-down
// button per enabled category of the search catalogue (42960 + index; the arrow lists the
// category's engines) followed by find-next (42958) and highlight (42959), which the bar posts to
// the frame as WM_COMMAND (the frame reads GetQueryText and acts on the active page).
//
// Lifetime: the owner (the main frame) holds the object and destroys the window before it; the
// history is written to the registry at WM_DESTROY.
#include "navigation/AddressBar.h"

class CSearchBar : public CWindowImpl<CSearchBar, CComboBoxEx>, public CBarDropTarget::IHandler {
public:
    DECLARE_WND_SUPERCLASS("_SearchBar", WC_COMBOBOXEXA)

    // The catalogue is not owned; null takes the program's.
    // The icons (for the engine menus) are not owned either; null: none.
    explicit CSearchBar(CSearchEngineManager* engines = nullptr, CRegistryHistory history = SearchHistory(),
                        CFavIconCache* icons = nullptr);
    ~CSearchBar() override;
    CSearchBar(const CSearchBar&) = delete;
    CSearchBar& operator=(const CSearchBar&) = delete;

    HWND Create(HWND parent, UINT id = ID_SEARCH_BAR);

    // A non-empty query moves to the top of the history and is searched in the category with the
    // engine (-1: its default). False when nothing opened.
    bool SearchFor(int category, const std::string& query, int engine = -1);
    void ClearHistory();
    // Rebuilds the category buttons after the catalogue changed (the options page's Apply).
    void RebuildCategoryButtons();
    int PreTranslateMessage(const MSG* message) const;

    std::string GetQueryText() const;
    const std::vector<std::string>& History() const { return m_entries; }
    HWND GetEditWindow() const { return m_edit.m_hWnd; }
    HWND GetCategoryToolbar() const { return m_categoryToolbar; }

    void ShowBarMenu();
    void ShowEngineMenu(int category);

    // CBarDropTarget::IHandler: dropped text becomes the query; no search starts.
    bool CanTakeDrop() const override { return true; }
    bool TakeDrop(IDataObject* data) override;
    void ShowDropFrame(bool show) override;

    BEGIN_MSG_MAP(CSearchBar)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        COMMAND_RANGE_HANDLER(ID_SEARCH_CATEGORY_FIRST, ID_SEARCH_CATEGORY_LAST, OnCategoryButton)
        COMMAND_RANGE_HANDLER(ID_SEARCH_FIND_NEXT, ID_SEARCH_HIGHLIGHT, OnPageCommand)
        COMMAND_ID_HANDLER(ID_SEARCH_MENU_BUTTON, OnMenuButton)
        NOTIFY_CODE_HANDLER(TBN_DROPDOWN, OnToolbarDropDown)
        REFLECTED_COMMAND_CODE_HANDLER(CBN_SELENDOK, OnSelEndOk)
        DEFAULT_REFLECTION_HANDLER()
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_KEYDOWN, OnEditKeyDown)
        MESSAGE_HANDLER(WM_CHAR, OnEditChar)
    ALT_MSG_MAP(2)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnComboPosChanging)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCategoryButton(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnPageCommand(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnMenuButton(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnToolbarDropDown(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSelEndOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnEditKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEditChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnComboPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void Layout();
    void FillList();
    void MoveSelection(int step);
    POINT MenuPoint(HWND toolbar, UINT command) const;

    CSearchEngineManager* m_engines;  // not owned
    CFavIconCache* m_icons;           // not owned
    CRegistryHistory m_history;
    std::vector<std::string> m_entries;
    CContainedWindow m_edit{this, 1};
    CContainedWindow m_combo{this, 2};
    HWND m_menuToolbar = nullptr;  // child windows, destroyed with the bar
    HWND m_categoryToolbar = nullptr;
    CBarDropTarget* m_dropTarget = nullptr;  // one reference held while registered
    bool m_dropFrameShown = false;
};
