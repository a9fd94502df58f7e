// The URL alias dialogs in real windows under Wine: New, Edit and Remove change the alias list and
// its modified flag, duplicates are refused, and the list shows every record.
#include "navigation/AliasDialogs.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

using nav_test::Click;
using nav_test::CModalScript;

namespace {

void Shot(HWND dialog, const char* name)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, name, path));
}

TEST(AliasDialogs, NewEditAndRemoveChangeTheList)
{
    CScratchFolder folder("alias-dialogs");
    const std::string path = std::string((folder / "Alias.ini").c_str());
    nav_test::CAnsweringMessageBoxes boxes(IDYES);
    bool duplicateRefused = false;
    int rowsShown = -1;
    std::string editedAlias;
    {
        CUrlAliasList list(path);
        ASSERT_TRUE(list.Add({"mail", "http://mail.example/"}));
        ASSERT_TRUE(list.Add({"news", "http://news.example/"}));
        list.SetModified(false);
        CUrlAliasListDlg dialog(list);
        CModalScript script({
            [&](HWND d) {
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_EDIT_ALIAS)));
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_REMOVE_ALIAS)));
                Click(d, IDC_NEW_ALIAS);
            },
            [&](HWND d) {
                SetDlgItemTextA(d, IDC_ALIAS_TEXT, "MAIL");  // the alias "mail" in other letters
                SetDlgItemTextA(d, IDC_ALIAS_URL, "http://other.example/");
                duplicateRefused = !IsWindowEnabled(GetDlgItem(d, IDOK));
                SetDlgItemTextA(d, IDC_ALIAS_TEXT, "wiki");
                SetDlgItemTextA(d, IDC_ALIAS_URL, "https://wiki.example/");
                Shot(d, "assign-url-alias.bmp");
                Click(d, IDOK);
            },
            [&](HWND d) {
                rowsShown = static_cast<int>(SendDlgItemMessageA(d, IDC_ALIAS_LIST, LVM_GETITEMCOUNT, 0, 0));
                Shot(d, "url-alias-list.bmp");
                nav_test::SelectListItem(d, IDC_ALIAS_LIST, 0);
                Click(d, IDC_EDIT_ALIAS);
            },
            [&](HWND d) {
                char text[64] = {};
                GetDlgItemTextA(d, IDC_ALIAS_TEXT, text, sizeof(text));
                editedAlias = text;
                SetDlgItemTextA(d, IDC_ALIAS_URL, "https://mail.example/");
                Click(d, IDOK);
            },
            [&](HWND d) {
                nav_test::SelectListItem(d, IDC_ALIAS_LIST, 1);
                Click(d, IDC_REMOVE_ALIAS);
                // The row at the same position is selected: Edit and Remove stay enabled.
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_REMOVE_ALIAS)));
                Click(d, IDOK);
            },
        });
        EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(list.IsModified());
        ASSERT_EQ(2, list.GetCount());
        EXPECT_EQ("https://mail.example/", list.Lookup("mail"));
        EXPECT_EQ("https://wiki.example/", list.Lookup("WIKI"));
        EXPECT_EQ("news", list.Lookup("news"));
    }  // written at exit because it changed
    EXPECT_TRUE(duplicateRefused);
    EXPECT_EQ(3, rowsShown);
    EXPECT_EQ("mail", editedAlias);
    EXPECT_EQ((std::vector<std::string>{"Are you sure you want to permanently delete these item(s)?"}), boxes.texts);
    EXPECT_EQ("[Alias]\r\nmail=https://mail.example/\r\nwiki=https://wiki.example/\r\n", nav_test::ReadText(path));
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
