// The startup, tab, clear-records and language pages as real windows under Wine: the lists bound
// to bits, the Run value that follows "Start at Windows startup", the tab looks and the pictures
// of the strip's buttons, the order of the clean-ups of "Clear Now", and the language list with
// its "Set as Default".
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/RegistryKey.h"
#include "core/system/RunAtStartup.h"
#include "frame/options/OptionsDlg.h"
#include "frame/options/OptionsPageFactory.h"
#include "frame/options/TabPage.h"
#include "frame/options/tests/OptionsTestSupport.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace options_test;

class CRecordingActions final : public IOptionsPageActions {
public:
    void SetAsDefaultBrowser() override { ++defaultBrowserRuns; }
    void SwitchLanguage(int languageIndex) override
    {
        languages.push_back(languageIndex);
        if (manager)
            manager->LoadLanguage(manager->GetLanguages()[static_cast<size_t>(languageIndex)].m_name);
    }
    void ClearRecord(DWORD privacyClearBit) override { cleared.push_back(privacyClearBit); }

    int defaultBrowserRuns = 0;
    std::vector<int> languages;
    std::vector<DWORD> cleared;
    CLanguageManager* manager = nullptr;  // not owned: switched as the frame would
};

class OptionPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = GetSettings();
        ASSERT_NE(settings, nullptr);
        settings->SessionFilePath = (KivoTestScratchFolder() + "lastopensites").c_str();
        settings->SkipSaveAtExit();
        settings->SysFlags = 0;
        settings->ViewFlags = 0;
        settings->PrivacyClearFlags = 0;
        settings->TabStyle = "DotNet2005";
        settings->LastOptionID = -1;
        settings->Save();
    }

    std::unique_ptr<CSettings> Reread() const
    {
        const std::string folder = KivoTestScratchFolder() + "reread\\";
        auto fresh = std::make_unique<CSettings>(folder.c_str(), folder.c_str());
        fresh->SkipSaveAtExit();
        return fresh;
    }

    // The page's window with this control, shown in a dialog connected to `actions`.
    std::unique_ptr<COpenOptions> Open(int page, IOptionsPageActions* actions = nullptr)
    {
        auto open = std::make_unique<COpenOptions>(page, [actions](COptionsDlg& dialog) { dialog.SetPageActions(actions); });
        EXPECT_EQ(open->ShownPageId(), page);
        return open;
    }

    static bool Checked(HWND box) { return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    static void Choose(const COpenOptions& open, int listId, int index)
    {
        HWND list = open.Control(listId);
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageA(::GetParent(list), WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    CSettings* settings = nullptr;
};

// A list bound to a bit shows its first entry while the bit is set; choosing the other entry
// and OK clears the bit as the registry holds it, Cancel writes nothing.
TEST_F(OptionPages, EveryListBoundToABitShowsAndStoresItsBit)
{
    const struct {
        int page;
        int control;
        EFlagWord word;
        DWORD mask;
    } cases[] = {
        {IDD_MISCELLANEOUS_PAGE, IDC_MISC_CLOSE_ACTION, EFlagWord::SysFlags, 0x4},
        {IDD_MISCELLANEOUS_PAGE, IDC_MISC_MINIMIZE_ACTION, EFlagWord::SysFlags, 0x8},
        {IDD_TAB_PAGE, IDC_TAB_POSITION, EFlagWord::ViewFlags, 0x100000},
    };
    for (const auto& c : cases) {
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(std::to_string(c.control) + (ok ? " OK" : " Cancel"));
            settings->SetFlagWord(c.word, c.mask);
            settings->Save();
            {
                const auto open = Open(c.page);
                HWND list = open->Control(c.control);
                EXPECT_EQ(::SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
                ::SendMessageA(list, CB_SETCURSEL, 1, 0);
                open->Command(ok ? IDOK : IDCANCEL);
                ASSERT_TRUE(open->Closed());
            }
            settings->Save();
            EXPECT_EQ(Reread()->GetFlagWord(c.word) & c.mask, ok ? 0u : c.mask);
        }
    }
}

TEST_F(OptionPages, StartupPageShowsTheDefaultFlagsAsTheyHaveAlwaysBeenShown)
{
    settings->SysFlags = 0x101c;
    const auto open = Open(IDD_STARTUP_PAGE);
    EXPECT_FALSE(Checked(open->Control(IDC_STARTUP_RUN_AT_WINDOWS_START)));
    EXPECT_TRUE(Checked(open->Control(IDC_STARTUP_CHECK_NEW_VERSION)));
    EXPECT_TRUE(Checked(open->Control(IDC_STARTUP_SHOW_SPLASH)));
    EXPECT_TRUE(Checked(open->Control(IDC_STARTUP_CONFIRM_EXIT)));
    EXPECT_TRUE(Checked(open->Control(IDC_STARTUP_CHECK_DEFAULT_BROWSER)));
}

std::string RunValue()
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_READ))
        return "<no key>";
    char data[MAX_PATH * 2] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "<none>";
    return data;
}

// OK with "Start at Windows startup" unticked removes the program's Run value; ticked, it writes
// the program's quoted path. Cancel leaves the value alone.
TEST_F(OptionPages, StartAtWindowsStartupAddsAndRemovesTheRunValue)
{
    ASSERT_TRUE(SetRunAtStartup(kRunValueName));
    const std::string written = RunValue();
    ASSERT_EQ(written.front(), '"');
    {
        const auto open = Open(IDD_STARTUP_PAGE);
        ASSERT_TRUE(Checked(open->Control(IDC_STARTUP_RUN_AT_WINDOWS_START)));
        open->Click(IDC_STARTUP_RUN_AT_WINDOWS_START);
        open->Command(IDCANCEL);
    }
    EXPECT_EQ(RunValue(), written);
    {
        const auto open = Open(IDD_STARTUP_PAGE);
        open->Click(IDC_STARTUP_RUN_AT_WINDOWS_START);
        open->Command(IDOK);
        ASSERT_TRUE(open->Closed());
    }
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_TRUE(settings->SysFlags & SysFlag::NoStartWithWindows);
    {
        const auto open = Open(IDD_STARTUP_PAGE);
        ASSERT_FALSE(Checked(open->Control(IDC_STARTUP_RUN_AT_WINDOWS_START)));
        open->Click(IDC_STARTUP_RUN_AT_WINDOWS_START);
        open->Command(IDOK);
    }
    EXPECT_EQ(RunValue(), written);
    RemoveRunAtStartup(kRunValueName);
}

TEST_F(OptionPages, StartupPageButtonMakesTheProgramTheDefaultBrowserAtOnce)
{
    CRecordingActions actions;
    const auto open = Open(IDD_STARTUP_PAGE, &actions);
    open->Click(IDC_STARTUP_SET_DEFAULT_BROWSER);
    EXPECT_EQ(actions.defaultBrowserRuns, 1);
    open->Command(IDCANCEL);
}

// The stored look selects its preview; a name the list does not know selects the first look. OK
// stores the chosen look's name, untranslated.
TEST_F(OptionPages, TabStyleListSelectsTheStoredLookAndStoresTheChosenOne)
{
    const struct {
        const char* stored;
        int shown;
    } cases[] = {{"DotNet", 0}, {"DotNetButton", 1}, {"Button", 2}, {"DotNet2005", 3}, {"button", 0}, {"", 0}, {"Flat", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(CTabPage::StyleIndexOf(c.stored), c.shown);
        settings->TabStyle = c.stored;
        const auto open = Open(IDD_TAB_PAGE);
        HWND styles = open->Control(IDC_TAB_STYLE_LIST);
        EXPECT_EQ(::SendMessageA(styles, LB_GETCURSEL, 0, 0), c.shown);
        EXPECT_EQ(::SendMessageA(styles, LB_GETITEMHEIGHT, 0, 0), CTabPage::kStyleItemHeight);
        Choose(*open, IDC_TAB_STYLE_LIST, (c.shown + 1) % CTabPage::kStyleCount);
        open->Command(IDOK);
        ASSERT_TRUE(open->Closed());
        settings->Save();
        EXPECT_EQ(Reread()->TabStyle.value, CTabPage::StyleName((c.shown + 1) % CTabPage::kStyleCount));
    }
}

// The four pictures stand for the four combinations of the strip's buttons, both ways.
TEST_F(OptionPages, ButtonPicturesFollowTheTwoBoxesAndTheBoxesFollowThePicture)
{
    settings->ViewFlags = ViewFlag::HideTabCloseButton;
    const auto open = Open(IDD_TAB_PAGE);
    HWND pictures = open->Control(IDC_TAB_BUTTONS_PICTURES);
    HWND scroll = open->Control(IDC_TAB_SHOW_SCROLL_BUTTONS);
    HWND close = open->Control(IDC_TAB_SHOW_CLOSE_BUTTON);
    EXPECT_EQ(::SendMessageA(pictures, LB_GETCOUNT, 0, 0), CTabPage::kPictureCount);
    EXPECT_EQ(::SendMessageA(pictures, LB_GETITEMHEIGHT, 0, 0), CTabPage::kPictureItemHeight);
    EXPECT_EQ(::SendMessageA(pictures, LB_GETCURSEL, 0, 0), 2);
    const struct {
        int picture;
        bool scrollShown;
        bool closeShown;
    } cases[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        Choose(*open, IDC_TAB_BUTTONS_PICTURES, c.picture);
        EXPECT_EQ(Checked(scroll), c.scrollShown);
        EXPECT_EQ(Checked(close), c.closeShown);
    }
    open->Click(IDC_TAB_SHOW_SCROLL_BUTTONS);
    EXPECT_EQ(::SendMessageA(pictures, LB_GETCURSEL, 0, 0), 1);
    open->Click(IDC_TAB_SHOW_CLOSE_BUTTON);
    EXPECT_EQ(::SendMessageA(pictures, LB_GETCURSEL, 0, 0), 0);
    open->Command(IDOK);
    ASSERT_TRUE(open->Closed());
    EXPECT_EQ(settings->ViewFlags & (ViewFlag::HideTabScrollButtons | ViewFlag::HideTabCloseButton),
              ViewFlag::HideTabScrollButtons | ViewFlag::HideTabCloseButton);
}

// "Clear Now" stores the boxes and runs the checked clean-ups in their fixed order.
TEST_F(OptionPages, ClearNowRunsTheCheckedCleanUpsInOrder)
{
    const struct {
        std::vector<int> boxes;
        std::vector<DWORD> cleared;
    } cases[] = {
        {{IDC_CLEAR_COOKIES, IDC_CLEAR_CACHE}, {0x1, 0x8}},
        {{IDC_CLEAR_COOKIES, IDC_CLEAR_TYPED_ADDRESSES, IDC_CLEAR_HISTORY, IDC_CLEAR_CACHE}, {0x1, 0x2, 0x4, 0x8}},
        {{IDC_CLEAR_ON_EXIT}, {}},
    };
    for (const auto& c : cases) {
        settings->PrivacyClearFlags = 0;
        settings->SysFlags = 0;
        CRecordingActions actions;
        const auto open = Open(IDD_CLEAR_RECORDS_PAGE, &actions);
        for (int box : c.boxes)
            open->Click(box);
        open->Click(IDC_CLEAR_NOW);
        EXPECT_EQ(actions.cleared, c.cleared);
        DWORD stored = 0;
        for (DWORD bit : c.cleared)
            stored |= bit;
        EXPECT_EQ(settings->PrivacyClearFlags, stored);
        open->Command(IDCANCEL);
    }
}

// A language manager of two languages in a scratch folder, English in use.
class CTwoLanguages {
public:
    CTwoLanguages()
    {
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        ::CopyFileA(SourcePath(KIVO_LANGUAGE_DIR, "English.lng").c_str(), (m_folder + "English.lng").c_str(), FALSE);
        ::CopyFileA(SourcePath(KIVO_TEST_DATA_DIR, "German.lng").c_str(), (m_folder + "German.lng").c_str(), FALSE);
        GetSettingsStore()->WriteString("Config", "Language", "English");
        manager = std::make_unique<CLanguageManager>(m_folder.c_str());
    }

    static std::string SourcePath(const char* folder, const char* name)
    {
        std::string path = std::string("Z:") + folder + "/" + name;
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        return path;
    }

    std::unique_ptr<CLanguageManager> manager;

private:
    std::string m_folder = KivoTestScratchFolder() + "languages\\";
};

void SelectItem(HWND list, int item)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

std::string Text(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The language in use is selected and cannot be set again; another one shows its file's
// information and switches the interface through the frame's command, once.
TEST_F(OptionPages, SelectLanguageShowsTheFileInformationAndSwitchesThroughTheFrame)
{
    CTwoLanguages languages;
    ASSERT_EQ(languages.manager->GetLanguages().size(), 2u);
    const int german = languages.manager->GetLanguageIndex("German");
    ASSERT_GE(german, 0);
    CRecordingActions actions;
    actions.manager = languages.manager.get();
    const auto open = std::make_unique<COpenOptions>(IDD_SELECT_LANGUAGE_PAGE, [&](COptionsDlg& dialog) {
        dialog.SetPageActions(&actions);
        dialog.SelectLanguagePage().SetLanguageManager(languages.manager.get());
    });
    ASSERT_EQ(open->ShownPageId(), IDD_SELECT_LANGUAGE_PAGE);
    HWND list = open->Control(IDC_LANGUAGE_LIST);
    HWND setDefault = open->Control(IDC_LANGUAGE_SET_DEFAULT);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    const int english = languages.manager->GetLanguageIndex("English");
    EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), english);
    EXPECT_FALSE(::IsWindowEnabled(setDefault));
    // "Set as Default" on the language in use does nothing.
    ::SendMessageA(open->dialog->GetShownPage()->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_SET_DEFAULT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(setDefault));
    EXPECT_TRUE(actions.languages.empty());

    SelectItem(list, german);
    EXPECT_TRUE(::IsWindowEnabled(setDefault));
    EXPECT_EQ(Text(open->Control(IDC_LANGUAGE_TRANSLATOR)), "Test Translator");
    EXPECT_EQ(Text(open->Control(IDC_LANGUAGE_EMAIL)), "translator@example.org");
    EXPECT_EQ(Text(open->Control(IDC_LANGUAGE_WEBSITE)), "http://example.org/");
    EXPECT_EQ(Text(open->Control(IDC_LANGUAGE_VERSION)), "0.1");
    EXPECT_EQ(open->dialog->SelectLanguagePage().GetEmailTarget(), "mailto:translator@example.org");
    EXPECT_EQ(open->dialog->SelectLanguagePage().GetWebsiteTarget(), "http://example.org/");

    // Choosing alone changes nothing: the page writes nothing on OK.
    EXPECT_EQ(std::string(languages.manager->GetLanguageName()), "English");

    open->Click(IDC_LANGUAGE_SET_DEFAULT);
    EXPECT_EQ(actions.languages, std::vector<int>{german});
    EXPECT_EQ(std::string(languages.manager->GetLanguageName()), "German");
    EXPECT_FALSE(::IsWindowEnabled(setDefault));
    open->Command(IDCANCEL);
    GetSettingsStore()->WriteString("Config", "Language", "English");
}

// Without the HTML Help control the help tells the user so instead of failing silently.
TEST_F(OptionPages, HelpWithoutTheHelpControlSaysSo)
{
    CRecordingMessageBoxes boxes;
    CScopedMessageBoxes scope(boxes);
    EXPECT_FALSE(ShowHelpTopic(nullptr, "::/translate.htm", "kivo-no-such-help-control.ocx"));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "The help viewer (hhctrl.ocx) is not installed.");
}

// The dialog's own "Address Bar" page tells the address bar the factory names, after OK only.
class CAddressBarOnlyFactory final : public IOptionsPageFactory, public IAddressBarOptionsTarget {
public:
    std::unique_ptr<COptionsPage> CreatePage(int) override { return nullptr; }
    IAddressBarOptionsTarget* GetAddressBarTarget() override { return this; }
    void ReapplyButtons() override { ++reapplied; }
    int reapplied = 0;
};

TEST_F(OptionPages, AppliedAddressBarPageHasTheAddressBarReapplyItsButtons)
{
    CAddressBarOnlyFactory factory;
    CScopedOptionsPageFactory scope(factory);
    for (const bool ok : {false, true}) {
        const auto open = Open(IDD_ADDRESS_BAR_PAGE);
        open->Click(IDC_SHOW_GO_BUTTON);
        open->Command(ok ? IDOK : IDCANCEL);
        ASSERT_TRUE(open->Closed());
        EXPECT_EQ(factory.reapplied, ok ? 1 : 0);
    }
}

}  // namespace
