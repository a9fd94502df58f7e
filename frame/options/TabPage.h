#pragma once
// CTabPage: the "Tab" page of the Options dialog (dialog 245): a double click closing a tab, the
// tab bar's position (a list whose first entry, "Tab at Bottom", stands for the ViewFlags bit
// set), the look of the tab strip ("TabStyle", a list of four previews) and the strip's scroll and
// close buttons (two check boxes, each checked while its "Hide..." bit is clear) with a list of
// the four pictures of their combinations that follows them both ways. Position and look apply at
// the next start.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/options/OptionBindings.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"

#include <span>

class CTabPage : public COptionsPage {
public:
    static constexpr int kStyleItemHeight = 59;
    static constexpr int kPictureItemHeight = 39;
    static constexpr int kStyleCount = 4;
    static constexpr int kPictureCount = 4;

    static std::span<const CCheckBinding> Bindings();
    static std::span<const CListBitBinding> ListBindings();
    // The stored names of the styles in list order.
    static const char* StyleName(int index);
    // The list index of a stored style name: the first entry for a name that matches none.
    static int StyleIndexOf(const char* name);
    // The picture of a combination of the two buttons, and back.
    static int PictureOf(bool scrollButtons, bool closeButton) { return (scrollButtons ? 2 : 0) + (closeButton ? 1 : 0); }
    static bool PictureHasScrollButtons(int picture) { return picture / 2 != 0; }
    static bool PictureHasCloseButton(int picture) { return picture % 2 != 0; }

    int GetDialogID() const override { return IDD_TAB_PAGE; }
    HICON GetIcon() override;
    int OnApply() override;

    BEGIN_MSG_MAP(CTabPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        COMMAND_HANDLER(IDC_TAB_BUTTONS_PICTURES, LBN_SELCHANGE, OnPictureChosen)
        COMMAND_ID_HANDLER(IDC_TAB_SHOW_SCROLL_BUTTONS, OnButtonBox)
        COMMAND_ID_HANDLER(IDC_TAB_SHOW_CLOSE_BUTTON, OnButtonBox)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMeasureItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPictureChosen(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnButtonBox(WORD code, WORD id, HWND control, BOOL& handled);
    void SelectPictureOfBoxes();
};
