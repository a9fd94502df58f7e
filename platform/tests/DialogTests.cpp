// Dialogs from in-memory templates, with data exchange both ways and validation failures.
#include <gtest/gtest.h>
#include <string>
#include <cstring>
#include <vector>
#include "platform/AtlDlgs.h"
#include "platform/tests/RecordingReporter.h"
#include <stdexcept>

namespace {

enum : WORD
{
    IDC_NAME = 101,
    IDC_COUNT = 102,
    IDC_ENABLED = 103,
    IDC_RADIO_A = 104,
    IDC_RADIO_B = 105,
    IDC_RADIO_C = 106,
};

const UINT kRunChecks = WM_APP + 20;

CMemDlgTemplate MakeTemplate()
{
    CMemDlgTemplate t;
    t.Create("Data exchange", CRect(0, 0, 200, 120), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
             "MS Shell Dlg", 8);
    t.AddControl(CMemDlgTemplate::CTRL_EDIT, IDC_NAME, CRect(5, 5, 100, 17), WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, "");
    t.AddControl(CMemDlgTemplate::CTRL_EDIT, IDC_COUNT, CRect(5, 20, 100, 32), WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0, "");
    t.AddControl(CMemDlgTemplate::CTRL_BUTTON, IDC_ENABLED, CRect(5, 35, 100, 47), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, "Enabled");
    t.AddControl(CMemDlgTemplate::CTRL_BUTTON, IDC_RADIO_A, CRect(5, 50, 60, 62), WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 0, "A");
    t.AddControl(CMemDlgTemplate::CTRL_BUTTON, IDC_RADIO_B, CRect(5, 65, 60, 77), WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, "B");
    t.AddControl(CMemDlgTemplate::CTRL_BUTTON, IDC_RADIO_C, CRect(5, 80, 60, 92), WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, "C");
    t.AddControl(CMemDlgTemplate::CTRL_BUTTON, IDOK, CRect(140, 95, 190, 110), WS_CHILD | WS_VISIBLE | WS_GROUP | BS_DEFPUSHBUTTON, 0, "OK");
    return t;
}

class CExchangeDialog : public CDialogImplBaseT<CWindow>, public CWinDataExchange<CExchangeDialog>
{
public:
    BEGIN_MSG_MAP(CExchangeDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(kRunChecks, OnRunChecks)
        COMMAND_ID_HANDLER(IDOK, OnOk)
    END_MSG_MAP()

    BEGIN_DDX_MAP(CExchangeDialog)
        DDX_TEXT_LEN(IDC_NAME, m_name, 5)
        DDX_INT_RANGE(IDC_COUNT, m_count, 1, 10)
        DDX_CHECK(IDC_ENABLED, m_enabled)
        DDX_RADIO(IDC_RADIO_A, m_choice)
    END_DDX_MAP()

    void OnDataExchangeError(UINT id, BOOL save) { m_errors.push_back("exchange " + std::to_string(id) + (save ? " save" : " load")); }
    void OnDataValidateError(UINT id, BOOL, _XData& data)
    {
        if (data.nDataType == ddxDataText)
            m_errors.push_back("text " + std::to_string(id) + " " + std::to_string(data.textData.nLength) + ">" +
                               std::to_string(data.textData.nMaxLength));
        else
            m_errors.push_back("int " + std::to_string(id) + " " + std::to_string(data.intData.nVal));
    }

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        m_initParam = lParam;
        DoDataExchange(FALSE);
        PostMessage(kRunChecks);
        return TRUE;
    }
    LRESULT OnRunChecks(UINT, WPARAM, LPARAM, BOOL&)
    {
        // The controls were filled from the members.
        char text[32] = {};
        GetDlgItemText(IDC_NAME, text, sizeof(text));
        m_loadedName = text;
        m_loadedCount = static_cast<int>(GetDlgItemInt(IDC_COUNT));
        m_loadedChecked = IsDlgButtonChecked(IDC_ENABLED) == BST_CHECKED;
        m_loadedRadioB = IsDlgButtonChecked(IDC_RADIO_B) == BST_CHECKED;

        // Edit and read back.
        SetDlgItemText(IDC_NAME, "xyz");
        SetDlgItemInt(IDC_COUNT, 7);
        CheckDlgButton(IDC_ENABLED, BST_UNCHECKED);
        CheckRadioButton(IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_C);
        m_saveResult = DoDataExchange(TRUE);

        // Failures: a number out of range, a text too long, a count that is no number.
        SetDlgItemInt(IDC_COUNT, 11);
        m_rangeResult = DoDataExchange(TRUE, IDC_COUNT);
        SetDlgItemText(IDC_NAME, "toolong");
        m_lengthResult = DoDataExchange(TRUE);
        SetDlgItemText(IDC_NAME, "ok");
        SetDlgItemText(IDC_COUNT, "abc");
        m_garbageResult = DoDataExchange(TRUE);

        // A text longer than the buffer is refused, not cut.
        SetDlgItemText(IDC_NAME, "abcdef");
        char small[4] = "old";
        m_smallResult = DDX_Text(IDC_NAME, small, TRUE, FALSE, 0);
        m_small = small;

        SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDOK)));
        return 0;
    }
    LRESULT OnOk(WORD, WORD id, HWND, BOOL&)
    {
        EndDialog(id);
        return 0;
    }

    char m_name[16] = "abc";
    int m_count = 3;
    bool m_enabled = true;
    int m_choice = 1;
    LPARAM m_initParam = 0;
    std::string m_loadedName;
    int m_loadedCount = 0;
    bool m_loadedChecked = false;
    bool m_loadedRadioB = false;
    BOOL m_saveResult = FALSE, m_rangeResult = TRUE, m_lengthResult = TRUE, m_garbageResult = TRUE, m_smallResult = TRUE;
    std::string m_small;
    std::vector<std::string> m_errors;
};

TEST(PlatformDialog, ModalFromMemoryTemplateWithDataExchange)
{
    const CMemDlgTemplate dialogTemplate = MakeTemplate();
    CExchangeDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModalIndirect(dialogTemplate.GetTemplatePtr(), nullptr, 1234));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(1234, dialog.m_initParam);

    EXPECT_EQ("abc", dialog.m_loadedName);
    EXPECT_EQ(3, dialog.m_loadedCount);
    EXPECT_TRUE(dialog.m_loadedChecked);
    EXPECT_TRUE(dialog.m_loadedRadioB);

    EXPECT_TRUE(dialog.m_saveResult);
    EXPECT_FALSE(dialog.m_rangeResult);
    EXPECT_FALSE(dialog.m_lengthResult);
    EXPECT_FALSE(dialog.m_garbageResult);
    // Rejected input leaves the members as the last good exchange set them.
    EXPECT_STREQ("ok", dialog.m_name);
    EXPECT_EQ(7, dialog.m_count);
    EXPECT_FALSE(dialog.m_enabled);
    EXPECT_EQ(2, dialog.m_choice);
    EXPECT_FALSE(dialog.m_smallResult);
    EXPECT_EQ("old", dialog.m_small);
    const std::vector<std::string> expected = {"int 102 11", "text 101 7>5", "exchange 102 save", "exchange 101 save"};
    EXPECT_EQ(expected, dialog.m_errors);
}

TEST(PlatformDialog, ModelessDialogEndsWithDestroy)
{
    const CMemDlgTemplate dialogTemplate = MakeTemplate();
    CExchangeDialog dialog;
    HWND hWnd = dialog.CreateIndirect(dialogTemplate.GetTemplatePtr());
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(hWnd, dialog.m_hWnd);
    EXPECT_FALSE(dialog.IsModal());
    MSG msg;
    while (dialog.m_hWnd && ::GetMessageA(&msg, nullptr, 0, 0)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_TRUE(dialog.m_saveResult);
}

BOOL FakeOpen(OPENFILENAMEA* ofn, bool open)
{
    if (!open)
        return FALSE;
    // Both filter pairs arrive, double-terminated.
    const char* filter = ofn->lpstrFilter;
    std::string all;
    while (*filter) {
        all += filter;
        all += ';';
        filter += std::strlen(filter) + 1;
    }
    ::lstrcpynA(ofn->lpstrFile, all.c_str(), static_cast<int>(ofn->nMaxFile));
    return TRUE;
}

class CFailingSetUpDialog : public CDialogImplBaseT<CWindow>
{
public:
    BEGIN_MSG_MAP(CFailingSetUpDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    END_MSG_MAP()
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("set-up failed"); }
};

// A dialog whose WM_INITDIALOG handler throws ends at once (modal: DoModal gives -1; modeless: the
// window is gone) rather than stay on screen half set up, and the exception is reported.
TEST(PlatformDialog, SetUpThatThrowsEndsTheDialog)
{
    CMemDlgTemplate t = MakeTemplate();
    for (const bool modal : {true, false}) {
        SCOPED_TRACE(modal ? "modal" : "modeless");
        CRecordingReporter reporter;
        CFailingSetUpDialog dialog;
        if (modal) {
            EXPECT_EQ(-1, dialog.DoModalIndirect(t.GetTemplatePtr(), nullptr));
        } else {
            HWND hWnd = dialog.CreateIndirect(t.GetTemplatePtr(), nullptr);
            EXPECT_FALSE(hWnd && ::IsWindow(hWnd));
        }
        EXPECT_EQ(nullptr, dialog.m_hWnd);
        const std::vector<std::string> texts = reporter.Texts();
        ASSERT_EQ(1u, texts.size());
        EXPECT_NE(std::string::npos, texts[0].find("set-up failed")) << texts[0];
    }
}

TEST(PlatformDialog, FileDialogPassesFilterPairsThroughTheSeam)
{
    AtlSetFileDialogRunner(FakeOpen);
    CFileDialog open(TRUE, "txt", nullptr, OFN_FILEMUSTEXIST, "Text files|*.txt|All files|*.*|");
    EXPECT_EQ(IDOK, open.DoModal(nullptr));
    EXPECT_STREQ("Text files;*.txt;All files;*.*;", open.m_szFileName);
    CFileDialog zeros(TRUE, nullptr, nullptr, 0, "A\0*.a\0B\0*.b\0");
    EXPECT_EQ(IDOK, zeros.DoModal(nullptr));
    EXPECT_STREQ("A;*.a;B;*.b;", zeros.m_szFileName);
    CFileDialog save(FALSE);
    EXPECT_EQ(IDCANCEL, save.DoModal(nullptr));
    AtlSetFileDialogRunner(nullptr);
}

LPITEMIDLIST FakeBrowse(BROWSEINFOA* info)
{
    EXPECT_STREQ("Pick", info->lpszTitle);
    return ::ILCreateFromPathA("C:\\windows");
}

LPITEMIDLIST CancelBrowse(BROWSEINFOA*)
{
    return nullptr;
}

TEST(PlatformDialog, FolderDialogGivesThePathChosen)
{
    AtlSetFolderDialogRunner(FakeBrowse);
    CFolderDialog dialog(nullptr, "Pick");
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_STREQ("C:\\windows", dialog.GetFolderPath());
    AtlSetFolderDialogRunner(CancelBrowse);
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_STREQ("", dialog.GetFolderPath());
    AtlSetFolderDialogRunner(nullptr);
}

} // namespace
