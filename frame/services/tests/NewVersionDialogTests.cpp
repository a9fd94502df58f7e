// The New Version dialog on the test display: its fields, the reminder box shown only for the
// start-up check and stored on OK, "&Close" storing nothing.
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "frame/services/NewVersionDialog.h"

#include <gtest/gtest.h>

namespace {

std::string Text(CNewVersionDlg& dialog, int id)
{
    char text[256] = "";
    dialog.GetDlgItemTextA(id, text, sizeof(text));
    return text;
}

} // namespace

TEST(NewVersionDialog, TheOfferShowsBothVersionsAndKeepsTheReminderChoice)
{
    CSettings& settings = *GetSettings();
    const DWORD saved = settings.SysFlags;
    settings.SysFlags = saved & ~SysFlag::NoUpdateCheck;
    CUpdateInfo info;
    info.version = "2.0";
    info.releaseDate = "Jan 1 2030";
    info.downloadUrl = "http://kivo.example/get";
    {
        CNewVersionDlg dialog(info, "1.0.0.1", false);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.ShowWindow(SW_SHOW);
        char caption[128] = "";
        dialog.GetWindowTextA(caption, sizeof(caption));
        EXPECT_STREQ("New Version of Kivo Browser", caption);
        EXPECT_EQ("2.0", Text(dialog, kIdNewVersionLatest));
        EXPECT_EQ("Jan 1 2030", Text(dialog, kIdNewVersionLatestDate));
        EXPECT_EQ("1.0.0.1", Text(dialog, kIdNewVersionCurrent));
        EXPECT_EQ(kBuildReleaseDate, Text(dialog, kIdNewVersionCurrentDate));
        EXPECT_TRUE(IsWindowVisible(dialog.GetDlgItem(kIdNewVersionNoReminder)));
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        std::string path;
        EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, "services_new_version_dialog.bmp", path));
        dialog.CheckDlgButton(kIdNewVersionNoReminder, BST_CHECKED);
        dialog.SendMessageA(WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(settings.SysFlags & SysFlag::NoUpdateCheck);
    }
    {
        // "&Close" keeps the setting as it was, whatever the box says.
        CNewVersionDlg dialog(info, "1.0.0.1", false);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.CheckDlgButton(kIdNewVersionNoReminder, BST_UNCHECKED);
        dialog.SendMessageA(WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(settings.SysFlags & SysFlag::NoUpdateCheck);
    }
    {
        // The user who asked sees no reminder box.
        CNewVersionDlg dialog(info, "1.0.0.1", true);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.ShowWindow(SW_SHOW);
        EXPECT_FALSE(IsWindowVisible(dialog.GetDlgItem(kIdNewVersionNoReminder)));
        dialog.SendMessageA(WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(settings.SysFlags & SysFlag::NoUpdateCheck);
    }
    settings.SysFlags = saved;
}
