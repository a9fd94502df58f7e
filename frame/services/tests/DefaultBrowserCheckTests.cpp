// The default-browser question at start-up and the registration that keeps what it replaced,
// against a classes root of the test's own registry; the question's dialog on the test display.
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/RegistryKey.h"
#include "core/system/MessageBoxes.h"
#include "frame/services/DefaultBrowserCheck.h"

#include <gtest/gtest.h>

namespace {

constexpr char kCheckRoot[] = "Software\\ServicesTestCheckClasses";
constexpr char kProgram[] = "C:\\Program Files\\Kivo Browser\\KivoBrowser.exe";

struct CRecordingBoxes : IMessageBoxes {
    int Show(HWND, const char* text, const char*, UINT) override
    {
        texts.push_back(text ? text : "");
        return IDOK;
    }
    std::vector<std::string> texts;
};

} // namespace

TEST(DefaultBrowserCheck, TheStartUpQuestionRegistersOnYesAndTheUndoPutsTheOldHandlersBack)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kCheckRoot);
    CRegistryKey root;
    ASSERT_TRUE(root.Create(HKEY_CURRENT_USER, kCheckRoot));
    // The shell keys of a system whose web handler is another program.
    for (const std::string& key : DefaultBrowserShellKeys()) {
        CRegistryKey shell;
        ASSERT_TRUE(shell.Create(root, key.c_str()));
        shell.SetStringValue(nullptr, "open");
        CRegistryKey command;
        ASSERT_TRUE(command.Create(root, (key + "\\open\\command").c_str()));
        command.SetStringValue(nullptr, "\"C:\\Other\\other.exe\" \"%1\"");
    }
    GetSettingsStore()->WriteString("Settings", kDefaultBrowserBackupKey, nullptr);
    CRecordingBoxes boxes;
    CScopedMessageBoxes scope(boxes);

    // No: nothing is written.
    int asked = 0;
    EXPECT_FALSE(CheckDefaultBrowserAtStartup(root, kProgram, [&] { ++asked; return IDCANCEL; }));
    EXPECT_EQ(1, asked);
    EXPECT_FALSE(IsDefaultBrowser(root));
    // Yes: registered, confirmed, and the next start asks nothing.
    EXPECT_TRUE(CheckDefaultBrowserAtStartup(root, kProgram, [&] { ++asked; return IDOK; }));
    EXPECT_EQ(2, asked);
    EXPECT_TRUE(IsDefaultBrowser(root));
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ("Kivo Browser has been set as your default browser.", boxes.texts[0]);
    EXPECT_FALSE(CheckDefaultBrowserAtStartup(root, kProgram, [&] { ++asked; return IDOK; }));
    EXPECT_EQ(2, asked);
    // A second registration keeps the first one's record of the old handlers.
    RegisterAsDefaultBrowser(root, kProgram);
    // The undo puts the other program back.
    EXPECT_TRUE(UndoDefaultBrowserRegistration(root));
    EXPECT_FALSE(IsDefaultBrowser(root));
    {
        CRegistryKey command;
        ASSERT_TRUE(command.Open(root, "http\\shell\\open\\command", KEY_READ));
        TStdStr<char> text;
        ASSERT_TRUE(command.QueryStringValue(nullptr, text));
        EXPECT_STREQ("\"C:\\Other\\other.exe\" \"%1\"", text.c_str());
    }
    EXPECT_FALSE(UndoDefaultBrowserRegistration(root));
    root.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, kCheckRoot);
}

TEST(DefaultBrowserCheck, TheDialogKeepsItsCheckBoxInTheSettings)
{
    CSettings& settings = *GetSettings();
    const DWORD saved = settings.SysFlags;
    // With the check switched off the dialog answers No at once.
    settings.SysFlags = saved & ~SysFlag::CheckDefaultBrowser;
    {
        CDefaultBrowserDlg dialog;
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    }
    settings.SysFlags = saved | SysFlag::CheckDefaultBrowser;
    CDefaultBrowserDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(BST_CHECKED, dialog.IsDlgButtonChecked(kIdDefaultBrowserCheck));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, "services_default_browser_dialog.bmp", path));
    // Unticking the box and answering stops the question.
    dialog.CheckDlgButton(kIdDefaultBrowserCheck, BST_UNCHECKED);
    dialog.SendMessageA(WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(settings.SysFlags & SysFlag::CheckDefaultBrowser);
    settings.SysFlags = saved;
}
