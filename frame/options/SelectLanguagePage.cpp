#include "frame/options/SelectLanguagePage.h"

#include "controls/ImageListManager.h"
#include "core/app/LanguageManager.h"
#include "core/app/ProgramFolders.h"
#include "core/system/DynamicLibrary.h"
#include "core/system/MessageBoxes.h"
#include "frame/options/PageWidgets.h"
#include "platform/Diagnostics.h"

#include <shellapi.h>

namespace {

constexpr int kPageIcon = 29;
constexpr int kSetDefaultImage = 53;
constexpr int kHelpImage = 38;
constexpr const char* kHelpFileName = "KivoBrowser.chm";
constexpr const char* kTranslateTopic = "::/translate.htm";
// The control's HTML Help entry: exported by ordinal; some builds export only the name.
constexpr WORD kHtmlHelpOrdinal = 14;
constexpr const char* kHtmlHelpName = "HtmlHelpA";
constexpr UINT kHelpDisplayToc = 1;  // HH_DISPLAY_TOC
constexpr const char* kMailPrefix = "mailto:";

using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

const CImageListManager* Images()
{
    return GetImageListManager();
}

}  // namespace

bool ShowHelpTopic(HWND owner, const char* topic, const char* control)
{
    // The help window belongs to the control, so the control stays loaded for the process.
    static CDynamicLibrary htmlHelp;
    static std::string loadedName;
    const std::string name = control ? control : "";
    if (!htmlHelp.IsLoaded() || loadedName != name) {
        htmlHelp.Free();
        loadedName = name;
        htmlHelp.Load(name.c_str());
    }
    auto entry = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void (*)()>(htmlHelp.GetProc(MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
    if (!entry)
        entry = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void (*)()>(htmlHelp.GetProc(kHtmlHelpName)));
    if (!entry) {
        GetMessageBoxes().Show(owner, PageText("The help viewer (hhctrl.ocx) is not installed."), PageText("Kivo Browser"),
                               MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::string path = std::string(GetProgramFolder()) + kHelpFileName + (topic ? topic : "");
    return entry(owner, path.c_str(), kHelpDisplayToc, 0) != nullptr;
}

HICON CSelectLanguagePage::GetIcon()
{
    const CImageListManager* images = Images();
    HIMAGELIST list = images ? images->GetList(kSlotGeneralSmall) : nullptr;
    return list && ImageList_GetImageCount(list) > kPageIcon ? ImageList_GetIcon(list, kPageIcon, ILD_NORMAL)
                                                             : COptionsPage::GetIcon();
}

LRESULT CSelectLanguagePage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND setDefault = GetDlgItem(IDC_LANGUAGE_SET_DEFAULT);
    HWND help = GetDlgItem(IDC_LANGUAGE_HELP);
    if (const CImageListManager* images = Images()) {
        SetButtonIcon(setDefault, images->m_generalSmall, kSetDefaultImage, m_setDefaultIcon);
        SetButtonIcon(help, images->m_generalSmall, kHelpImage, m_helpIcon);
    }
    AddControlToolTip(m_hWnd, setDefault, PageText("Set as Default"));
    ::EnableWindow(setDefault, FALSE);
    const CLanguageManager* languages = Languages();
    if (languages) {
        m_list = std::make_unique<CLanguageListView>(*languages);
        HWND list = GetDlgItem(IDC_LANGUAGE_LIST);
        if (!m_list->SubclassWindow(list)) {
            m_list.reset();
        } else {
            ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
            const int current = languages->GetLanguageIndex(languages->GetLanguageName().c_str());
            if (current >= 0) {
                LVITEMA state = {};
                state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(&state));
                ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(current), FALSE);
                ShowLanguage(current);
            }
        }
        languages->TranslateWindow(m_hWnd);
    }
    return TRUE;
}

const CLanguageManager* CSelectLanguagePage::Languages() const
{
    return m_languages ? m_languages : GetLanguageManager();
}

int CSelectLanguagePage::SelectedLanguage() const
{
    return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_LANGUAGE_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

LRESULT CSelectLanguagePage::OnItemChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    constexpr UINT kChosen = LVIS_SELECTED | LVIS_FOCUSED;
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & kChosen) == kChosen && change->iItem >= 0)
        ShowLanguage(change->iItem);
    return 0;
}

void CSelectLanguagePage::ShowLanguage(int index)
{
    const CLanguageManager* languages = Languages();
    if (!languages || index < 0 || static_cast<size_t>(index) >= languages->GetLanguages().size())
        return;
    const CLanguageFile& language = languages->GetLanguages()[static_cast<size_t>(index)];
    ::EnableWindow(GetDlgItem(IDC_LANGUAGE_SET_DEFAULT), !languages->IsCurrentLanguage(index));
    const std::string email = std::string(language.GetEmail());
    const std::string website = std::string(language.GetWebsite());
    m_emailTarget = email.empty() ? std::string() : kMailPrefix + email;
    m_websiteTarget = website;
    SetDlgItemText(IDC_LANGUAGE_TRANSLATOR, language.GetTranslator().c_str());
    SetDlgItemText(IDC_LANGUAGE_EMAIL, email.c_str());
    SetDlgItemText(IDC_LANGUAGE_WEBSITE, website.c_str());
    SetDlgItemText(IDC_LANGUAGE_VERSION, language.GetVersion().c_str());
}

// The frame switches the language and translates its own windows; the dialog and this page are
// then translated from the old texts to the new ones here.
LRESULT CSelectLanguagePage::OnSetDefault(WORD, WORD, HWND, BOOL&)
{
    const CLanguageManager* languages = Languages();
    const int selected = SelectedLanguage();
    if (!languages || selected < 0 || languages->IsCurrentLanguage(selected))
        return 0;
    try {
        CFrameOptionsPageActions frame(m_hWnd);
        (m_actions ? *m_actions : static_cast<IOptionsPageActions&>(frame)).SwitchLanguage(selected);
    } catch (...) {
        ReportCaughtException("CSelectLanguagePage::OnSetDefault");
    }
    // The page is a child of the dialog, so both are translated together.
    languages->TranslateWindow(::GetAncestor(m_hWnd, GA_ROOT));
    ::EnableWindow(GetDlgItem(IDC_LANGUAGE_SET_DEFAULT), FALSE);
    ::InvalidateRect(GetDlgItem(IDC_LANGUAGE_LIST), nullptr, TRUE);
    return 0;
}

LRESULT CSelectLanguagePage::OnHelpButton(WORD, WORD, HWND, BOOL&)
{
    OnHelp();
    return 0;
}

void CSelectLanguagePage::OnHelp()
{
    ShowHelpTopic(m_hWnd, kTranslateTopic);
}

LRESULT CSelectLanguagePage::OnLink(WORD, WORD id, HWND, BOOL&)
{
    const std::string& target = id == IDC_LANGUAGE_EMAIL ? m_emailTarget : m_websiteTarget;
    if (!target.empty())
        ::ShellExecuteA(m_hWnd, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}
