#pragma once
// COptionsDlg: the modal Options dialog (dialog 135): the tree of option pages at the left, the
// shown page in the page host at the right under the caption panel, OK and Cancel below. The
// dialog embeds one object of each page of frame/options/ and asks the installed
// IOptionsPageFactory (frame/options/OptionsPageFactory.h) for the pages of the later libraries,
// which it then owns; every page window is created when the dialog opens and destroyed when it
// closes. A group that receives no page is left out of the tree. OK asks every page to apply in tree order and stays open on
// the first that refuses; Cancel tells every page and writes nothing. The page shown last is
// stored in the settings' "LastOptionID" on every close, and a dialog opened on -1 starts there.
//
// Lifetime: constructed on the stack of the command that opens it and run with DoModal.
#include "controls/ImageListManager.h"
#include "controls/widgets/WindowUtilities.h"
#include "frame/options/AddressBarPage.h"
#include "frame/options/ClearRecordsPage.h"
#include "frame/options/DownloadPage.h"
#include "frame/options/MiscellaneousPage.h"
#include "frame/options/OptionsCaption.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsPageFactory.h"
#include "frame/options/OptionsResources.h"
#include "frame/options/SelectLanguagePage.h"
#include "frame/options/StartupPage.h"
#include "frame/options/TabPage.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <commctrl.h>

#include <memory>
#include <vector>

class COptionsDlg : public CDialogImpl<COptionsDlg> {
public:
    enum { IDD = IDD_OPTIONS };
    static constexpr int kLastPage = -1;
    // The tree's fixed images, copied from the option icons.
    static constexpr int kClosedGroupImage = 0;
    static constexpr int kOpenGroupImage = 1;
    static constexpr int kSelectedPageImage = 2;

    // `startPage`: the dialog id of the page to show first, or kLastPage for the remembered one.
    explicit COptionsDlg(int startPage = kLastPage);
    ~COptionsDlg() override = default;

    // The tree colour: each part of the window colour 6 % darker, in integers.
    static COLORREF DarkenedTreeColor(COLORREF window);

    // The pages the dialog owns, for the frame to connect them before DoModal.
    CMiscellaneousPage& MiscellaneousPage() { return m_miscellaneousPage; }
    CAddressBarPage& AddressBarPage() { return m_addressBarPage; }
    CSelectLanguagePage& SelectLanguagePage() { return m_selectLanguagePage; }
    // What the startup, language and clear-records pages ask of the program at once (not owned;
    // null: the frame's commands and the settings' clean-ups).
    void SetPageActions(IOptionsPageActions* actions);

    // What is open now (tests and the frame's commands): the page shown, or null.
    COptionsPage* GetShownPage() const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    COptionsPage* GetPage(int index) const;
    HTREEITEM GetPageItem(int index) const;
    // Selects the page with this dialog id through the tree, as a click would; false when the
    // dialog has no such page or the page refused.
    bool SelectPage(int dialogId);

    BEGIN_MSG_MAP(COptionsDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDOK, OnOK)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        NOTIFY_HANDLER(IDC_OPTIONS_TREE, TVN_SELCHANGINGA, OnSelectionChanging)
        NOTIFY_HANDLER(IDC_OPTIONS_TREE, TVN_SELCHANGEDA, OnSelectionChanged)
        NOTIFY_HANDLER(IDC_OPTIONS_TREE, TVN_ITEMEXPANDEDA, OnItemExpanded)
    END_MSG_MAP()

protected:
    virtual void InitButtons();
    virtual void SaveLastPage(int dialogId);
    virtual bool AddPages();
    virtual HICON GetIcon();

    // Building blocks of AddPages.
    bool AddPage(COptionsPage& page);
    // The embedded page with this id, else one the installed factory makes; false when neither
    // gives a page or its window cannot be created.
    bool AddPageOf(int dialogId);
    void AddGroup(const char* title);
    // A group that received no page is removed on the way back.
    void BackToRoot();
    // The embedded page with this dialog id, or null.
    COptionsPage* OwnPage(int dialogId);

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnOK(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnSelectionChanging(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSelectionChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnItemExpanded(int id, NMHDR* header, BOOL& handled);

    void SetUpTree();
    void SelectStartPage();
    COptionsPage* PageOfItem(HTREEITEM item) const;

    int m_startPage;
    HWND m_tree = nullptr;  // the dialog's child
    CImageListHandle m_treeImages;
    CIcon m_icon;  // the dialog's big and small icon
    CPageHostWnd m_pageHost;
    COptionsCaption m_caption;
    std::vector<HTREEITEM> m_items;
    std::vector<COptionsPage*> m_pages;  // not owned: the page members below or m_factoryPages
    HTREEITEM m_root = nullptr;
    HTREEITEM m_parent = nullptr;

    CMiscellaneousPage m_miscellaneousPage;
    CAddressBarPage m_addressBarPage;
    CDownloadPage m_downloadPage;
    CStartupPage m_startupPage;
    CTabPage m_tabPage;
    CClearRecordsPage m_clearRecordsPage;
    CSelectLanguagePage m_selectLanguagePage;
    // The factory's pages; declared last so their windows and objects go before the members above.
    std::vector<std::unique_ptr<COptionsPage>> m_factoryPages;
};
