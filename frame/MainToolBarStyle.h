#pragma once
// CMainToolBarStyle: the main toolbar's style and customisation. The user picks the buttons and
// their order in the toolbar's customise dialog, to which the style adds a panel with two choices:
// text labels (none, below every icon, or on the right of the buttons marked for it) and the icon
// size. The choices live in "Settings" / "MainToolBarStyle" (icon option in the high 16 bits, text
// option in the low 16 bits) and the button order beside the other toolbar orders; both are
// applied when the frame makes the toolbar and saved when the customise dialog closes.
//
// Lifetime: a member of the main frame; the toolbar window is the frame's (a child of the rebar).
#include "frame/dialogs/FrameDialogResources.h"

#include "controls/ToolBarButtonInfo.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

enum EMainToolBarText { kToolBarNoText = 0, kToolBarTextLabels = 1, kToolBarSelectiveTextRight = 2 };
enum EMainToolBarIcons { kToolBarSmallIcons = 0, kToolBarLargeIcons = 1 };

// The stored style of a new profile: large icons without texts.
constexpr DWORD kDefaultMainToolBarStyle = 0x10000;
constexpr const char* kMainToolBarStyleValue = "MainToolBarStyle";

DWORD EncodeMainToolBarStyle(int iconOption, int textOption);
// An option outside its range reads as 0.
void DecodeMainToolBarStyle(DWORD value, int& iconOption, int& textOption);

class CToolBarOptionsPanel;

class CMainToolBarStyle {
public:
    // The table holds every button the toolbar can show; the commands in selectiveText show their
    // text on the right in the selective mode. The toolbar's order is kept under layoutValue of
    // section.
    CMainToolBarStyle(const ToolBarButtonInfo* table, size_t count, std::vector<UINT> selectiveText,
                      const char* section, const char* layoutValue);
    ~CMainToolBarStyle();
    CMainToolBarStyle(const CMainToolBarStyle&) = delete;
    CMainToolBarStyle& operator=(const CMainToolBarStyle&) = delete;

    // Reads the stored style.
    void Load();
    // Takes the toolbar (its buttons already in the stored order), makes it customisable and
    // applies the style. relayout is called after each change of the toolbar's size.
    void SetUp(HWND toolBar, std::function<void()> relayout);
    void ApplyStyle();
    // Writes the style and the toolbar's button order.
    void Save() const;
    // The customise notifications of the toolbar; false for any other notification.
    bool HandleNotify(const NMHDR& header, LRESULT& result);

    int GetTextOption() const { return m_textOption; }
    int GetIconOption() const { return m_iconOption; }
    void SetTextOption(int option) { m_textOption = option; }
    void SetIconOption(int option) { m_iconOption = option; }
    HWND GetToolBar() const { return m_toolBar; }
    // The panel while the customise dialog shows it, else null.
    HWND GetOptionsPanel() const;

    // A command's button text: the tooltip part of its string, translated, at most 255 characters.
    static CStdString ButtonText(UINT command);

private:
    void ApplyImages();
    void RebuildButtons();
    void ResetToDefault();
    bool IsSelective(UINT command) const;
    bool FillButtonInfo(int index, TBBUTTON& button, CStdString& text) const;
    void InsertPanel(HWND customizeDialog);

    const ToolBarButtonInfo* m_table;  // not owned: a static table
    size_t m_count;
    std::vector<UINT> m_selectiveText;
    const char* m_section;      // not owned: a literal
    const char* m_layoutValue;  // not owned: a literal
    HWND m_toolBar = nullptr;   // not owned: the frame's toolbar
    std::function<void()> m_relayout;
    int m_textOption = kToolBarNoText;
    int m_iconOption = kToolBarLargeIcons;
    std::unique_ptr<CToolBarOptionsPanel> m_panel;
};

// The "Text options" and "Icon options" panel (dialog 414) in the customise dialog. Choosing an
// entry stores it in the style at once; it takes effect when the customise dialog closes.
// Lifetime: held by the style; its window is a child of the customise dialog and goes with it.
class CToolBarOptionsPanel : public CDialogImpl<CToolBarOptionsPanel> {
public:
    enum { IDD = IDD_TOOLBAR_OPTIONS };
    explicit CToolBarOptionsPanel(CMainToolBarStyle& style) : m_style(style) {}
    CToolBarOptionsPanel(const CToolBarOptionsPanel&) = delete;
    CToolBarOptionsPanel& operator=(const CToolBarOptionsPanel&) = delete;

    BEGIN_MSG_MAP(CToolBarOptionsPanel)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_CODE_HANDLER(CBN_SELCHANGE, OnSelChange)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSelChange(WORD code, WORD id, HWND control, BOOL& handled);

    CMainToolBarStyle& m_style;
};
