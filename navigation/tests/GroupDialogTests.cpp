// The groups of sites in real dialogs under Wine: groups added, renamed, reordered and deleted in
// "Organize Groups" are in Groups.ini after exit, addresses are edited through the working copy,
// and a group opens all its sites in new tabs.
#include "navigation/GroupDialogs.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "core/library/IniFile.h"

#include <gtest/gtest.h>

using nav_test::Click;
using nav_test::CModalScript;

namespace {

void SetText(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}

TEST(GroupDialogs, OrganizedGroupsAreInTheFileAfterExit)
{
    CScratchFolder folder("organize-groups");
    const std::string path = nav_test::WriteText(folder, "Groups.ini",
                                                 "[Morning]\r\nurl1=http://news.example/\r\nurl2=http://mail.example/\r\n"
                                                 "[Work]\r\nurl1=http://work.example/\r\n[Old]\r\nurl1=http://old.example/\r\n");
    nav_test::CAnsweringMessageBoxes boxes(IDYES);
    bool newRefusedBadName = false;
    int addressesShown = -1;
    {
        CGroupStore store(path);
        {
            CIniFile file;
            ASSERT_TRUE(file.Open(path.c_str()));
            store.Load(file);
        }
        COrganizeGroupsDlg dialog(store);
        CModalScript script({
            [&](HWND d) {
                addressesShown = static_cast<int>(SendDlgItemMessageA(d, IDC_GROUP_ADDRESS_LIST, LVM_GETITEMCOUNT, 0, 0));
                std::string shot;
                kivo_test::WriteWindowScreenshot(d, "organize-groups.bmp", shot);
                Click(d, IDC_NEW_GROUP);  // opens Group Name
            },
            [&](HWND d) {
                SetText(d, IDC_GROUP_NAME, "work");  // equal to "Work" but for case
                newRefusedBadName = !IsWindowEnabled(GetDlgItem(d, IDOK));
                SetText(d, IDC_GROUP_NAME, "Evening");
                RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                std::string shot;
                kivo_test::WriteWindowScreenshot(d, "group-name.bmp", shot);
                Click(d, IDOK);
            },
            [&](HWND d) { Click(d, IDC_NEW_GROUP_ADDRESS); },  // the new group is selected
            [&](HWND d) {
                SetText(d, IDC_GROUP_ADDRESS, "  http://tv.example/  ");
                Click(d, IDOK);
            },
            [&](HWND d) { Click(d, IDC_MOVE_GROUP_UP); },   // Evening before Old
            [&](HWND d) { nav_test::SelectListItem(d, IDC_GROUP_LIST, 0); },  // Morning
            [&](HWND d) {
                nav_test::SelectListItem(d, IDC_GROUP_ADDRESS_LIST, 1);
                Click(d, IDC_MOVE_ADDRESS_UP);
                Click(d, IDC_RENAME_GROUP);
            },
            [&](HWND d) {
                SetText(d, IDC_GROUP_NAME, "Breakfast");
                Click(d, IDOK);
            },
            [&](HWND d) { nav_test::SelectListItem(d, IDC_GROUP_LIST, 3); },  // Old
            [&](HWND d) { Click(d, IDC_DELETE_GROUP); },
            [&](HWND d) { Click(d, IDOK); },
        });
        EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
        EXPECT_TRUE(script.Finished());
    }  // the store writes Groups.ini as the program does at exit

    EXPECT_EQ(2, addressesShown);
    EXPECT_TRUE(newRefusedBadName);
    EXPECT_EQ((std::vector<std::string>{"Are you sure you want to delete the selected group?"}), boxes.texts);
    EXPECT_EQ("[Breakfast]\r\nurl1=http://mail.example/\r\nurl2=http://news.example/\r\n"
              "[Work]\r\nurl1=http://work.example/\r\n"
              "[Evening]\r\nurl1=http://tv.example/\r\n",
              nav_test::ReadText(path));
}

TEST(GroupDialogs, EscapeDropsOnlyTheWorkingCopyAndLargeGroupsKeepEveryAddress)
{
    CGroupStore store("");
    std::vector<std::string> many;
    for (int i = 1; i <= 60; ++i)
        many.push_back("http://site" + std::to_string(i) + ".example/");
    ASSERT_TRUE(store.AddGroup("Many", many));
    ASSERT_TRUE(store.AddGroup("Few", {"http://a.example/", "http://b.example/"}));
    COrganizeGroupsDlg dialog(store);
    bool newDisabledForSixty = false;
    CModalScript script({
        [&](HWND d) {
            newDisabledForSixty = !IsWindowEnabled(GetDlgItem(d, IDC_NEW_GROUP_ADDRESS));
            nav_test::SelectListItem(d, IDC_GROUP_LIST, 1);  // writes Many back whole
        },
        [&](HWND d) {
            nav_test::SelectListItem(d, IDC_GROUP_ADDRESS_LIST, 0);
            Click(d, IDC_DELETE_GROUP_ADDRESS);
            Click(d, IDCANCEL);
        },
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(newDisabledForSixty);
    EXPECT_EQ(many, store.Groups()[0].urls);
    EXPECT_EQ(2u, store.Groups()[1].urls.size());
}

TEST(GroupDialogs, AGroupOpensAllItsSitesInNewTabs)
{
    nav_test::CFrameDouble frame;
    const CSiteGroup group{"Morning", {"http://news.example/", "http://mail.example/", "http://news.example/"}};
    EXPECT_EQ(3, OpenGroup(frame.Window(), group));
    ASSERT_EQ(3u, frame.opens.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(group.urls[i], frame.opens[i].url);
        EXPECT_EQ(DWORD{kOpenNewTab}, frame.opens[i].flags);
    }
    EXPECT_EQ(0, OpenGroup(frame.Window(), CSiteGroup{"Empty", {}}));
    EXPECT_EQ(RGB(235, 235, 235), ShadedListBackground(RGB(250, 250, 250)));
}

}  // namespace
