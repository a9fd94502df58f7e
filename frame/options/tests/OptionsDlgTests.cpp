// The Options dialog as a real window under Wine: its tree of pages, switching pages, OK applying
// every page's check boxes to the settings (read back from the registry by a fresh settings
// object), Cancel writing nothing, a refused page keeping the dialog open with its message, and a
// screenshot of the dialog on every page.
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/system/MessageBoxes.h"
#include "frame/FrameResources.h"
#include "frame/options/OptionsCommands.h"
#include "frame/options/OptionsDlg.h"
#include "frame/options/tests/OptionsTestSupport.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace options_test;

// Every check box of every page and the bit it stands for, as the pages have always had them.
struct CCheckCase {
    int page;
    int control;
    EFlagWord word;
    DWORD mask;
    bool inverse;
};

const CCheckCase kCheckCases[] = {
    {IDD_DOWNLOAD_PAGE, 24410, EFlagWord::DLCtrlFlags, 0x10, false},
    {IDD_DOWNLOAD_PAGE, 24411, EFlagWord::DLCtrlFlags, 0x20, false},
    {IDD_DOWNLOAD_PAGE, 24412, EFlagWord::DLCtrlFlags, 0x40, false},
    {IDD_DOWNLOAD_PAGE, 24413, EFlagWord::DLCtrlFlags, 0x80, true},
    {IDD_DOWNLOAD_PAGE, 24414, EFlagWord::DLCtrlFlags, 0x100, true},
    {IDD_DOWNLOAD_PAGE, 24415, EFlagWord::DLCtrlFlags, 0x200, true},
    {IDD_MISCELLANEOUS_PAGE, 24250, EFlagWord::SysFlags, 0x100, true},
    {IDD_MISCELLANEOUS_PAGE, 24210, EFlagWord::SysFlags, 0x200000, false},
    {IDD_MISCELLANEOUS_PAGE, 24240, EFlagWord::TabOpenFlags, 0x1, false},
    {IDD_MISCELLANEOUS_PAGE, 24241, EFlagWord::TabOpenFlags, 0x4, false},
    {IDD_MISCELLANEOUS_PAGE, 24242, EFlagWord::TabOpenFlags, 0x10, false},
    {IDD_MISCELLANEOUS_PAGE, 24243, EFlagWord::TabOpenFlags, 0x2, false},
    {IDD_MISCELLANEOUS_PAGE, 24244, EFlagWord::TabOpenFlags, 0x8, false},
    {IDD_MISCELLANEOUS_PAGE, 24230, EFlagWord::SysFlags, 0x20, true},
    {IDD_ADDRESS_BAR_PAGE, 17920, EFlagWord::ViewFlags, 0x4000000, true},
    {IDD_ADDRESS_BAR_PAGE, 17922, EFlagWord::ViewFlags, 0x10000000, true},
    {IDD_ADDRESS_BAR_PAGE, 17921, EFlagWord::ViewFlags, 0x8000000, true},
    {IDD_STARTUP_PAGE, 18021, EFlagWord::SysFlags, 0x10, true},
    {IDD_STARTUP_PAGE, 18022, EFlagWord::SysFlags, 0x2, true},
    {IDD_STARTUP_PAGE, 18024, EFlagWord::SysFlags, 0x8000, true},
    {IDD_STARTUP_PAGE, 18023, EFlagWord::SysFlags, 0x1, true},
    {IDD_STARTUP_PAGE, 1491, EFlagWord::SysFlags, 0x1000, false},
    {IDD_TAB_PAGE, 24510, EFlagWord::ViewFlags, 0x200000, false},
    {IDD_TAB_PAGE, 24530, EFlagWord::ViewFlags, 0x40000, true},
    {IDD_TAB_PAGE, 24531, EFlagWord::ViewFlags, 0x80000, true},
    {IDD_CLEAR_RECORDS_PAGE, 2510, EFlagWord::PrivacyClearFlags, 0x1, false},
    {IDD_CLEAR_RECORDS_PAGE, 2511, EFlagWord::PrivacyClearFlags, 0x2, false},
    {IDD_CLEAR_RECORDS_PAGE, 2512, EFlagWord::PrivacyClearFlags, 0x4, false},
    {IDD_CLEAR_RECORDS_PAGE, 2513, EFlagWord::PrivacyClearFlags, 0x8, false},
    {IDD_CLEAR_RECORDS_PAGE, 2520, EFlagWord::SysFlags, 0x400, false},
};

// The dialog's own pages in tree order, with their tree texts.
const struct {
    int id;
    const char* text;
} kOwnPages[] = {
    {IDD_STARTUP_PAGE, "Startup"},
    {IDD_ADDRESS_BAR_PAGE, "Address Bar"},
    {IDD_TAB_PAGE, "Tab"},
    {IDD_DOWNLOAD_PAGE, "Download"},
    {IDD_CLEAR_RECORDS_PAGE, "Clear Records"},
    {IDD_MISCELLANEOUS_PAGE, "Miscellaneous"},
    {IDD_SELECT_LANGUAGE_PAGE, "Select Language"},
};
const EFlagWord kWords[] = {EFlagWord::SysFlags, EFlagWord::DLCtrlFlags, EFlagWord::TabOpenFlags, EFlagWord::ViewFlags,
                            EFlagWord::PrivacyClearFlags};

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = GetSettings();
        ASSERT_NE(settings, nullptr);
        settings->SessionFilePath = (KivoTestScratchFolder() + "lastopensites").c_str();
        settings->SkipSaveAtExit();
        for (EFlagWord word : kWords)
            settings->SetFlagWord(word, 0);
        settings->DomainCompletionCtrl = "http://www.%DOMAIN%.com";
        settings->DomainCompletionShift = "http://www.%DOMAIN%.net";
        settings->DomainCompletionCtrlShift = "http://www.%DOMAIN%.org";
        settings->LastOptionID = -1;
        settings->Save();
    }

    // The values the registry holds now, read by a settings object of its own.
    std::unique_ptr<CSettings> Reread() const
    {
        const std::string folder = KivoTestScratchFolder() + "reread\\";
        auto fresh = std::make_unique<CSettings>(folder.c_str(), folder.c_str());
        fresh->SkipSaveAtExit();
        return fresh;
    }

    CSettings* settings = nullptr;
};

// Without a page factory the tree holds the dialog's own pages alone, in their order.
TEST_F(OptionsDialog, TreeHoldsEveryOwnPageUnderTheRootAndOpensOnTheFirstWithoutARememberedPage)
{
    COpenOptions open(COptionsDlg::kLastPage);
    ASSERT_TRUE(open.window);
    ASSERT_EQ(open.dialog->GetPageCount(), static_cast<int>(std::size(kOwnPages)));
    HWND tree = open.Tree();
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(TreeText(tree, root), "Options");
    for (int i = 0; i < open.dialog->GetPageCount(); ++i) {
        EXPECT_EQ(open.dialog->GetPage(i)->GetDialogID(), kOwnPages[i].id);
        EXPECT_EQ(TreeText(tree, open.dialog->GetPageItem(i)), kOwnPages[i].text);
    }
    // The first page of the tree, and its title in the caption panel.
    EXPECT_EQ(open.ShownPageId(), kOwnPages[0].id);
    char caption[64] = {};
    ::GetDlgItemTextA(open.window, IDC_OPTIONS_CAPTION, caption, sizeof(caption));
    EXPECT_STREQ(caption, kOwnPages[0].text);
    // "Address Bar" is a group holding its page.
    HTREEITEM addressBar = nullptr;
    for (int i = 0; i < open.dialog->GetPageCount(); ++i) {
        if (open.dialog->GetPage(i)->GetDialogID() == IDD_ADDRESS_BAR_PAGE)
            addressBar = open.dialog->GetPageItem(i);
    }
    HTREEITEM group = TreeView_GetParent(tree, addressBar);
    EXPECT_NE(group, root);
    EXPECT_EQ(TreeView_GetParent(tree, group), root);
    EXPECT_EQ(TreeText(tree, group), "Address Bar");
}

TEST_F(OptionsDialog, OpensOnTheAskedPageInsideItsGroupAndAGroupClickKeepsThePage)
{
    COpenOptions open(IDD_ADDRESS_BAR_PAGE);
    ASSERT_TRUE(open.window);
    EXPECT_EQ(open.ShownPageId(), IDD_ADDRESS_BAR_PAGE);
    HWND tree = open.Tree();
    HTREEITEM group = TreeView_GetParent(tree, TreeView_GetSelection(tree));
    EXPECT_TRUE(TreeView_GetItemState(tree, group, TVIS_EXPANDED) & TVIS_EXPANDED);
    ASSERT_TRUE(open.dialog->SelectPage(IDD_MISCELLANEOUS_PAGE));
    TreeView_SelectItem(tree, group);
    EXPECT_EQ(open.ShownPageId(), IDD_MISCELLANEOUS_PAGE);
}

TEST_F(OptionsDialog, CancelAfterSwitchingRemembersTheLastPageForTheNextOpening)
{
    {
        COpenOptions open(IDD_DOWNLOAD_PAGE);
        ASSERT_TRUE(open.dialog->SelectPage(IDD_MISCELLANEOUS_PAGE));
        open.Command(IDCANCEL);
        ASSERT_TRUE(open.Closed());
    }
    EXPECT_EQ(Reread()->LastOptionID.value, IDD_MISCELLANEOUS_PAGE);
    COpenOptions again(COptionsDlg::kLastPage);
    EXPECT_EQ(again.ShownPageId(), IDD_MISCELLANEOUS_PAGE);
}

TEST_F(OptionsDialog, AnUnknownRememberedPageOpensTheFirstPage)
{
    settings->LastOptionID = 9999;
    COpenOptions open(COptionsDlg::kLastPage);
    EXPECT_EQ(open.ShownPageId(), kOwnPages[0].id);
}

// From all bits clear and from all bits set, every box shows its bit (inverted ones checked while
// the bit is clear); clicking every box and OK flips exactly its bit, as a fresh settings object
// reads it back from the registry.
TEST_F(OptionsDialog, OkWritesEveryCheckBoxToItsBitAndCancelWritesNothing)
{
    for (const bool startSet : {false, true}) {
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(std::string(startSet ? "bits set, " : "bits clear, ") + (ok ? "OK" : "Cancel"));
            for (EFlagWord word : kWords) {
                DWORD value = 0;
                for (const CCheckCase& c : kCheckCases)
                    value |= (c.word == word && startSet) ? c.mask : 0;
                settings->SetFlagWord(word, value);
            }
            settings->Save();
            const auto before = Reread();
            {
                COpenOptions open(IDD_DOWNLOAD_PAGE);
                ASSERT_TRUE(open.window);
                for (const CCheckCase& c : kCheckCases) {
                    SCOPED_TRACE(c.control);
                    ASSERT_TRUE(open.dialog->SelectPage(c.page));
                    HWND box = open.Control(c.control);
                    ASSERT_TRUE(box);
                    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED, startSet != c.inverse);
                    open.Click(c.control);
                }
                open.Command(ok ? IDOK : IDCANCEL);
                ASSERT_TRUE(open.Closed());
            }
            settings->Save();
            const auto after = Reread();
            for (const CCheckCase& c : kCheckCases) {
                SCOPED_TRACE(c.control);
                const bool wasSet = (before->GetFlagWord(c.word) & c.mask) != 0;
                EXPECT_EQ(wasSet, startSet);
                EXPECT_EQ((after->GetFlagWord(c.word) & c.mask) != 0, ok ? !wasSet : wasSet);
            }
        }
    }
}

TEST_F(OptionsDialog, UntickingTheTrayIconResetsAndGreysBothTrayLists)
{
    COpenOptions open(IDD_MISCELLANEOUS_PAGE);
    HWND close = open.Control(IDC_MISC_CLOSE_ACTION);
    HWND minimize = open.Control(IDC_MISC_MINIMIZE_ACTION);
    // All SysFlags clear: the tray icon is shown and both lists say "to the tray".
    EXPECT_TRUE(::IsWindowEnabled(close));
    EXPECT_EQ(::SendMessageA(close, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(minimize, CB_GETCURSEL, 0, 0), 1);
    open.Click(IDC_MISC_SHOW_TRAY_ICON);
    EXPECT_FALSE(::IsWindowEnabled(close));
    EXPECT_FALSE(::IsWindowEnabled(minimize));
    EXPECT_EQ(::SendMessageA(close, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(minimize, CB_GETCURSEL, 0, 0), 0);
    open.Command(IDOK);
    ASSERT_TRUE(open.Closed());
    const DWORD tray = SysFlag::NoTrayIcon | SysFlag::CloseButtonCloses | SysFlag::MinimizeNormally;
    EXPECT_EQ(settings->SysFlags & tray, tray);
}

TEST_F(OptionsDialog, ARefusedPageKeepsTheDialogOpenWithItsMessageAndWritesNoTemplate)
{
    CRecordingMessageBoxes boxes;
    CScopedMessageBoxes scope(boxes);
    COpenOptions open(IDD_ADDRESS_BAR_PAGE);
    ::SetWindowTextA(open.Control(IDC_DOMAIN_COMPLETION_SHIFT), "http://www.example.net");
    ::SetWindowTextA(open.Control(IDC_DOMAIN_COMPLETION_CTRL), "http://%DOMAIN%.example");
    open.Command(IDOK);
    EXPECT_FALSE(open.Closed());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("%DOMAIN%"), std::string::npos);
    EXPECT_EQ(settings->DomainCompletionCtrl.value, "http://www.%DOMAIN%.com");
    EXPECT_EQ(settings->DomainCompletionShift.value, "http://www.%DOMAIN%.net");
    // Mended, it is applied.
    ::SetWindowTextA(open.Control(IDC_DOMAIN_COMPLETION_SHIFT), "http://%DOMAIN%.example.net");
    open.Command(IDOK);
    EXPECT_TRUE(open.Closed());
    EXPECT_EQ(settings->DomainCompletionCtrl.value, "http://%DOMAIN%.example");
    EXPECT_EQ(settings->DomainCompletionShift.value, "http://%DOMAIN%.example.net");
}

TEST_F(OptionsDialog, TreeColourIsSixPercentDarkerInIntegers)
{
    EXPECT_EQ(COptionsDlg::DarkenedTreeColor(RGB(255, 255, 255)), RGB(240, 240, 240));
    EXPECT_EQ(COptionsDlg::DarkenedTreeColor(RGB(16, 17, 100)), RGB(16, 16, 94));
}

TEST_F(OptionsDialog, ScreenshotOfEveryPage)
{
    COpenOptions open(IDD_DOWNLOAD_PAGE);
    ASSERT_TRUE(open.window);
    for (const auto& page : kOwnPages) {
        const int id = page.id;
        ASSERT_TRUE(open.dialog->SelectPage(id));
        ::RedrawWindow(open.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpUntil([] { return true; });
        RECT rect = {};
        ::GetWindowRect(open.window, &rect);
        std::string path;
        const std::string name = "options_page_" + std::to_string(id) + ".bmp";
        EXPECT_TRUE(kivo_test::WriteScreenRect(rect, name.c_str(), path)) << path;
    }
}

}  // namespace

namespace {

// The frame's commands and the page each opens; a command that is not one of them opens nothing.
TEST(OptionsCommands, EachCommandOpensItsPage)
{
    const struct {
        UINT command;
        int page;
    } cases[] = {
        {ID_FRAME_OPTIONS, COptionsDlg::kLastPage}, {ID_FRAME_TAB_OPTIONS, 245}, {ID_FRAME_FAVORITES_OPTIONS, 247},
        {ID_FRAME_SEARCH_OPTIONS, 178},           {ID_FRAME_ADDRESS_OPTIONS, 179}, {ID_FRAME_URL_ALIAS, 174},
        {ID_FRAME_INTERNET_OPTIONS, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OptionsPageOfCommand(c.command), c.page) << c.command;
}

// The dialog run modally, as the frame's command runs it: it ends with OK once it is up, and the
// page shown is remembered.
TEST(OptionsCommands, ModalDialogEndsWithOkAndRemembersItsPage)
{
    CSettings* settings = GetSettings();
    ASSERT_NE(settings, nullptr);
    settings->SkipSaveAtExit();
    // Posted before the modal loop starts: the dialog's own loop delivers it once the dialog is up.
    struct CCloser {
        static void CALLBACK Close(HWND, UINT, UINT_PTR timer, DWORD)
        {
            HWND dialog = ::FindWindowA(reinterpret_cast<LPCSTR>(WC_DIALOG), "Options");
            if (!dialog)
                return;
            ::KillTimer(nullptr, timer);
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CCloser::Close);
    EXPECT_EQ(ShowOptionsDialog(nullptr, IDD_MISCELLANEOUS_PAGE, nullptr), IDOK);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(settings->LastOptionID.value, IDD_MISCELLANEOUS_PAGE);
}

}  // namespace
