// The URL alias editors in real windows under Wine: the "URL Alias" page's New, Edit and Remove
// change its copy, duplicates are refused, Apply puts the copy into the list (written at exit)
// and Cancel leaves list and file alone; "Assign URL Alias" starts with the active page.
#include "navigation/AliasDialogs.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using nav_test::Click;
using nav_test::CModalScript;

namespace {

void Shot(HWND dialog, const char* name)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, name, path));
}

// Runs one step in the modal "Assign URL Alias" dialog that `action` opens on the page.
void WithAssignDialog(const std::function<void()>& action, CModalScript::Step step)
{
    CModalScript script({std::move(step)});
    action();
    EXPECT_TRUE(script.Finished());
}

TEST(AliasPage, NewEditAndRemoveChangeTheCopyAndApplyPutsItIntoTheList)
{
    CScratchFolder folder("alias-page");
    const std::string path = std::string((folder / "Alias.ini").c_str());
    nav_test::CAnsweringMessageBoxes boxes(IDYES);
    bool duplicateRefused = false;
    std::string editedAlias;
    {
        CUrlAliasList list(path);
        ASSERT_TRUE(list.Add({"mail", "http://mail.example/"}));
        ASSERT_TRUE(list.Add({"news", "http://news.example/"}));
        list.SetModified(false);
        nav_test::CFrameDouble host;
        ::SetWindowPos(host.Window(), nullptr, 0, 0, 480, 360, SWP_NOMOVE | SWP_NOZORDER);
        CUrlAliasPage page(list, nullptr);
        HWND d = page.Create(host.Window());
        ASSERT_TRUE(d);
        ::ShowWindow(d, SW_SHOW);
        EXPECT_EQ(page.GetDialogID(), 174);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_EDIT_ALIAS)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_REMOVE_ALIAS)));

        WithAssignDialog([&] { Click(d, IDC_NEW_ALIAS); },
                         [&](HWND assign) {
                             SetDlgItemTextA(assign, IDC_ALIAS_TEXT, "MAIL");  // "mail" in other letters
                             SetDlgItemTextA(assign, IDC_ALIAS_URL, "http://other.example/");
                             duplicateRefused = !IsWindowEnabled(GetDlgItem(assign, IDOK));
                             SetDlgItemTextA(assign, IDC_ALIAS_TEXT, "wiki");
                             SetDlgItemTextA(assign, IDC_ALIAS_URL, "https://wiki.example/");
                             Shot(assign, "assign-url-alias.bmp");
                             Click(assign, IDOK);
                         });
        EXPECT_EQ(3, static_cast<int>(SendDlgItemMessageA(d, IDC_ALIAS_LIST, LVM_GETITEMCOUNT, 0, 0)));
        Shot(d, "url-alias-page.bmp");
        nav_test::SelectListItem(d, IDC_ALIAS_LIST, 0);
        WithAssignDialog([&] { Click(d, IDC_EDIT_ALIAS); },
                         [&](HWND assign) {
                             char text[64] = {};
                             GetDlgItemTextA(assign, IDC_ALIAS_TEXT, text, sizeof(text));
                             editedAlias = text;
                             SetDlgItemTextA(assign, IDC_ALIAS_URL, "https://mail.example/");
                             Click(assign, IDOK);
                         });
        nav_test::SelectListItem(d, IDC_ALIAS_LIST, 1);
        Click(d, IDC_REMOVE_ALIAS);
        // The row at the same position is selected: Edit and Remove stay enabled.
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_REMOVE_ALIAS)));
        // The Options dialog's OK reaches the shown page as a command too; it must not end the page.
        Click(d, IDOK);
        ASSERT_TRUE(IsWindow(d));

        EXPECT_FALSE(list.IsModified()) << "the list changes only on Apply";
        EXPECT_EQ("http://news.example/", list.Lookup("news"));
        EXPECT_EQ(0, page.OnApply());
        EXPECT_TRUE(list.IsModified());
        ASSERT_EQ(2, list.GetCount());
        EXPECT_EQ("https://mail.example/", list.Lookup("mail"));
        EXPECT_EQ("https://wiki.example/", list.Lookup("WIKI"));
        EXPECT_EQ("news", list.Lookup("news"));
        page.DestroyWindow();
    }  // written at exit because it changed
    EXPECT_TRUE(duplicateRefused);
    EXPECT_EQ("mail", editedAlias);
    EXPECT_EQ((std::vector<std::string>{"Are you sure you want to permanently delete these item(s)?"}), boxes.texts);
    EXPECT_EQ("[Alias]\r\nmail=https://mail.example/\r\nwiki=https://wiki.example/\r\n", nav_test::ReadText(path));
}

TEST(AliasPage, CancelLeavesTheListAndItsFileAsTheyWere)
{
    CScratchFolder folder("alias-page-cancel");
    const std::string path = std::string((folder / "Alias.ini").c_str());
    nav_test::CAnsweringMessageBoxes boxes(IDYES);
    {
        CUrlAliasList list(path);
        ASSERT_TRUE(list.Add({"mail", "http://mail.example/"}));
        list.SetModified(false);
        nav_test::CFrameDouble host;
        CUrlAliasPage page(list, nullptr);
        HWND d = page.Create(host.Window());
        ASSERT_TRUE(d);
        nav_test::SelectListItem(d, IDC_ALIAS_LIST, 0);
        Click(d, IDC_REMOVE_ALIAS);
        EXPECT_EQ(0, page.GetEdited().GetCount());
        page.OnCancel();
        page.DestroyWindow();
        EXPECT_FALSE(list.IsModified());
        EXPECT_EQ(1, list.GetCount());
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "an unchanged list writes no file";
}

TEST(AliasDialogs, AssignStartsWithTheActivePageAndNeedsBothTexts)
{
    CUrlAliasDlg dialog("", "", nullptr, -1, "http://active.example/page");
    std::string shownUrl;
    bool okWithoutAlias = true;
    CModalScript script({
        [&](HWND d) {
            char text[128] = {};
            GetDlgItemTextA(d, IDC_ALIAS_URL, text, sizeof(text));
            shownUrl = text;
            okWithoutAlias = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
            SetDlgItemTextA(d, IDC_ALIAS_TEXT, "  act  ");
            Click(d, IDOK);
        },
    });
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ("http://active.example/page", shownUrl);
    EXPECT_FALSE(okWithoutAlias);
    EXPECT_EQ("act", dialog.GetAlias());
    EXPECT_EQ("http://active.example/page", dialog.GetUrl());
}

}  // namespace
