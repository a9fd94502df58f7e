// The External Tools dialog with real windows: the first ten tools, the button states, New,
// Delete, the moves, the fields kept per row, the browse chooser, OK that changes the list only
// when something differs, Cancel; a screenshot of the dialog.
#include "controls/tests/Screenshot.h"
#include "frame/services/ExternalToolsDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

void Click(CExternalToolsDlg& dialog, int id)
{
    dialog.SendMessageA(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)));
}

std::string Field(CExternalToolsDlg& dialog, int id)
{
    char text[256] = "";
    dialog.GetDlgItemTextA(id, text, sizeof(text));
    return text;
}

bool Enabled(CExternalToolsDlg& dialog, int id)
{
    return IsWindowEnabled(dialog.GetDlgItem(id)) != FALSE;
}

void SelectRow(CExternalToolsDlg& dialog, int row)
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(dialog.GetDlgItem(kIdToolList), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

CExternalTool Tool(const std::string& title)
{
    return CExternalTool{title, title + ".exe", "--" + title, "C:\\" + title, "", -1};
}

} // namespace

TEST(ExternalToolsDialog, TheDialogEditsUpToTenToolsAndReplacesTheListOnOk)
{
    CExternalToolList list;
    for (int i = 0; i < 12; ++i)
        list.m_tools.push_back(Tool("tool" + std::to_string(i)));
    {
        CExternalToolsDlg dialog(list);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.ShowWindow(SW_SHOW);
        // The first ten only; the first row selected with its fields.
        ASSERT_EQ(10u, dialog.GetTools().size());
        EXPECT_EQ(10, SendMessageA(dialog.GetDlgItem(kIdToolList), LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(0, dialog.GetSelection());
        EXPECT_EQ("tool0", Field(dialog, kIdToolTitle));
        EXPECT_EQ("--tool0", Field(dialog, kIdToolArguments));
        EXPECT_FALSE(Enabled(dialog, kIdToolNew));  // ten already
        EXPECT_FALSE(Enabled(dialog, kIdToolMoveUp));
        EXPECT_TRUE(Enabled(dialog, kIdToolMoveDown));
        // Cancel changes nothing.
        Click(dialog, IDCANCEL);
        EXPECT_EQ(12u, list.m_tools.size());
        EXPECT_FALSE(list.m_changed);
    }
    list.m_tools.resize(3);
    {
        CExternalToolsDlg dialog(list);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.ShowWindow(SW_SHOW);
        HWND window = dialog.m_hWnd;
        // OK without a change leaves the list unmarked.
        Click(dialog, IDOK);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(list.m_changed);
    }
    {
        CExternalToolsDlg dialog(list);
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        dialog.ShowWindow(SW_SHOW);
        // An edit of the first row's arguments is kept when another row is chosen.
        dialog.SetDlgItemTextA(kIdToolArguments, "--page \"a b\"");
        SelectRow(dialog, 2);
        EXPECT_EQ(2, dialog.GetSelection());
        EXPECT_EQ("tool2", Field(dialog, kIdToolTitle));
        EXPECT_FALSE(Enabled(dialog, kIdToolMoveDown));
        EXPECT_EQ("--page \"a b\"", dialog.GetTools()[0].arguments);
        // The title edits the row at once.
        dialog.SetDlgItemTextA(kIdToolTitle, "Renamed");
        EXPECT_EQ("Renamed", dialog.GetTools()[2].title);
        // Move Up swaps it with the row before and keeps it selected.
        Click(dialog, kIdToolMoveUp);
        EXPECT_EQ(1, dialog.GetSelection());
        EXPECT_EQ("Renamed", dialog.GetTools()[1].title);
        EXPECT_EQ("tool1", dialog.GetTools()[2].title);
        // New appends "<New Tool>" and selects it; the browse chooser fills its command.
        Click(dialog, kIdToolNew);
        ASSERT_EQ(4u, dialog.GetTools().size());
        EXPECT_EQ(3, dialog.GetSelection());
        EXPECT_EQ("<New Tool>", Field(dialog, kIdToolTitle));
        dialog.m_chooseFile = [](HWND, std::string& file) {
            file = "C:\\Tools\\chosen.exe";
            return true;
        };
        Click(dialog, kIdToolBrowse);
        EXPECT_EQ("C:\\Tools\\chosen.exe", Field(dialog, kIdToolCommand));
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        std::string path;
        EXPECT_TRUE(kivo_test::WriteWindowScreenshot(dialog, "services_external_tools_dialog.bmp", path));
        // Delete removes the selected row and selects the first.
        SelectRow(dialog, 2);
        Click(dialog, kIdToolDelete);
        ASSERT_EQ(3u, dialog.GetTools().size());
        EXPECT_EQ(0, dialog.GetSelection());
        Click(dialog, IDOK);
    }
    ASSERT_EQ(3u, list.m_tools.size());
    EXPECT_TRUE(list.m_changed);
    EXPECT_EQ("--page \"a b\"", list.m_tools[0].arguments);
    EXPECT_EQ("Renamed", list.m_tools[1].title);
    EXPECT_EQ("<New Tool>", list.m_tools[2].title);
    EXPECT_EQ("C:\\Tools\\chosen.exe", list.m_tools[2].command);
}
