#pragma once
// CSelectLanguagePage: the "Select Language" page of the Options dialog (dialog 236): the list of
// interface languages with the one in use marked, the selected language's translator, mail
// address, website and version from its file, "Set as Default" that switches the interface to it
// at once through the frame's language command, and the help on translating. Nothing is written
// on Apply: the language changes when the button is pressed.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "controls/widgets/LanguageListView.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsPageActions.h"
#include "frame/options/OptionsResources.h"
#include "platform/AtlGdi.h"

#include <memory>
#include <string>

class CSelectLanguagePage : public COptionsPage {
public:
    // Not owned; null: the frame's commands.
    void SetActions(IOptionsPageActions* actions) { m_actions = actions; }
    // The languages listed (not owned; null: the program's language manager).
    void SetLanguageManager(const CLanguageManager* languages) { m_languages = languages; }

    int GetDialogID() const override { return IDD_SELECT_LANGUAGE_PAGE; }
    HICON GetIcon() override;
    void OnHelp() override;

    // The selected language's links: "mailto:" and the address, and the website itself.
    const std::string& GetEmailTarget() const { return m_emailTarget; }
    const std::string& GetWebsiteTarget() const { return m_websiteTarget; }

    BEGIN_MSG_MAP(CSelectLanguagePage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        NOTIFY_HANDLER(IDC_LANGUAGE_LIST, LVN_ITEMCHANGED, OnItemChanged)
        COMMAND_ID_HANDLER(IDC_LANGUAGE_SET_DEFAULT, OnSetDefault)
        COMMAND_ID_HANDLER(IDC_LANGUAGE_HELP, OnHelpButton)
        COMMAND_HANDLER(IDC_LANGUAGE_EMAIL, STN_CLICKED, OnLink)
        COMMAND_HANDLER(IDC_LANGUAGE_WEBSITE, STN_CLICKED, OnLink)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnItemChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSetDefault(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnHelpButton(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnLink(WORD code, WORD id, HWND control, BOOL& handled);
    const CLanguageManager* Languages() const;
    int SelectedLanguage() const;
    void ShowLanguage(int index);

    IOptionsPageActions* m_actions = nullptr;        // not owned
    const CLanguageManager* m_languages = nullptr;  // not owned
    std::unique_ptr<CLanguageListView> m_list;  // subclasses the page's list
    CIcon m_setDefaultIcon;
    CIcon m_helpIcon;
    std::string m_emailTarget;
    std::string m_websiteTarget;
};

// The system's HTML Help control.
inline constexpr char kHtmlHelpControl[] = "hhctrl.ocx";
// Opens a topic of the program's help file ("KivoBrowser.chm" in the program folder) through the
// HTML Help control (`control`) loaded at run time; without the control the user is told so.
// False when the help could not be shown.
bool ShowHelpTopic(HWND owner, const char* topic, const char* control = kHtmlHelpControl);
