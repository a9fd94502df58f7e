#pragma once
// CSkinsDlg: "Select Skins" (dialog 250). The owner-drawn list holds "Disable Skin" and then every
// installed skin in the skin manager's order; the row of the skin in use (or "Disable Skin" while
// none is) is bold. Selecting a row shows the skin's author, web site and e-mail address; "&Apply"
// or a double click puts the row's skin on the main window at once and keeps the dialog open, OK
// applies and closes, Cancel closes and keeps what was applied before. "&Help" opens the skins
// topic of the help. A chosen skin is kept in the settings, so the next start wears it too.
//
// Lifetime: held by the code that opens it, for DoModal (rule (a)). UI thread only.
#include "controls/widgets/BmpButton.h"
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/DialogsResources.h"
#include "frame/dialogs/HelpViewer.h"
#include "platform/AtlGdi.h"

#include <string>

class CFrameSkinManager;

// The dialog's icon and the Help button's image in the general image list.
inline constexpr int kSkinsDialogIconImage = 43;
inline constexpr int kSkinsHelpImage = 38;

// Loads the named skin (empty: none) for the main window `frame` (its rebar's bands get the skin's
// bar picture) and keeps the choice in the settings; false when the skin's files cannot be read,
// and the skin in use stays.
bool ChooseSkin(CFrameSkinManager& skins, const char* name, HWND frame);
// Whether two skin names are the same skin (compared without case).
bool IsSameSkinName(const char* first, const char* second);

class CSkinsDlg : public CDialogBase<CSkinsDlg> {
public:
    enum { IDD = IDD_SELECT_SKINS };
    // None of the three is owned; null: the program's skin manager, the help of the system.
    // `frame`: the main window the skins are put on.
    explicit CSkinsDlg(HWND frame, CFrameSkinManager* skins = nullptr, IHelpViewer* help = nullptr);

    // What the list shows (tests): the rows' texts and marks.
    int GetRowCount() const;
    std::string GetRowText(int row) const;
    bool IsRowMarked(int row) const;
    // Selects the row as a click would (the fields and "&Apply" follow).
    void SelectRow(int row);

    BEGIN_MSG_MAP(CSkinsDlg)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        COMMAND_HANDLER(IDC_SKIN_LIST, LBN_SELCHANGE, OnSelectionChange)
        COMMAND_HANDLER(IDC_SKIN_LIST, LBN_DBLCLK, OnApply)
        COMMAND_ID_HANDLER(IDC_SKIN_APPLY, OnApply)
        COMMAND_ID_HANDLER(IDC_SKIN_HELP, OnHelp)
        CHAIN_MSG_MAP(CDialogBase<CSkinsDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnMeasureItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSelectionChange(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnApply(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnHelp(WORD code, WORD id, HWND control, BOOL& handled);

    CFrameSkinManager* Skins() const;
    void MakeFonts();
    void FillList();
    void RefreshMarks();
    void ShowRow(int row);
    void ApplySelectedRow();
    // The skin name of a row: "" for "Disable Skin".
    std::string SkinNameOfRow(int row) const;
    bool IsCurrentRow(int row) const;

    HWND m_frame;                // not owned
    CFrameSkinManager* m_skins;  // not owned
    IHelpViewer* m_help;         // not owned
    CFont m_font;
    CFont m_boldFont;
    CTwoStateBmpButton m_helpButton;
    CHyperLink m_emailLink;
    CHyperLink m_websiteLink;
};
