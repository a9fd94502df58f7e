// The dialog base as a real window under Wine: values go into the controls when the dialog opens
// and come back on OK; a refused value (a text too long, an integer out of range) beeps, shows its
// message, puts the focus on its control and keeps the dialog open; Cancel saves nothing; flag bits
// through check boxes, inverted ones included; the shadow strips follow the dialog.
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/tests/DialogsTestResources.h"
#include "frame/dialogs/tests/DialogsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace dialogs_test;

constexpr int kNameLimit = 255;
constexpr int kMinCount = 1;
constexpr int kMaxCount = 99;

class CTestDialog : public CDialogBase<CTestDialog> {
public:
    enum { IDD = IDD_TEST_DIALOG_BASE };
    CTestDialog() : CDialogBase(kDialogOkImage) {}

    BEGIN_MSG_MAP(CTestDialog)
        COMMAND_HANDLER(IDC_TEST_FLAG, BN_CLICKED, OnFlagClicked)
        CHAIN_MSG_MAP(CDialogBase<CTestDialog>)
    END_MSG_MAP()

    BEGIN_DDX_MAP(CTestDialog)
        if (!DDX_StdString(IDC_TEST_NAME, m_name, bSaveAndValidate, TRUE, kNameLimit))
            return FALSE;
        DDX_INT_RANGE(IDC_TEST_COUNT, m_count, kMinCount, kMaxCount)
        DdxCheckFlag(IDC_TEST_FLAG, m_flags, 0x4, bSaveAndValidate);
        DDX_InvertedFlagCheck(IDC_TEST_INVERTED_FLAG, m_flags, 0x100, bSaveAndValidate);
    END_DDX_MAP()

    std::string m_name = "start";
    int m_count = 5;
    DWORD m_flags = 0;
    int initCalls = 0;
    int accepted = 0;
    bool acceptAnswer = true;

protected:
    void OnInitControls() override
    {
        ++initCalls;
        EnableByCheck(IDC_TEST_FLAG, IDC_TEST_DEPENDENT);
    }
    bool OnAccept() override
    {
        ++accepted;
        return acceptAnswer;
    }

private:
    LRESULT OnFlagClicked(WORD, WORD, HWND, BOOL&)
    {
        EnableByCheck(IDC_TEST_FLAG, IDC_TEST_DEPENDENT);
        return 0;
    }
};

using COpenTest = COpenDialog<CTestDialog>;

TEST(DialogBase, FillsTheControlsFromTheMembersAndRunsTheSetUpOnce)
{
    auto dialog = std::make_unique<CTestDialog>();
    dialog->m_flags = 0x4;
    COpenTest open(std::move(dialog));
    ASSERT_TRUE(open.window);
    EXPECT_EQ(open.Text(IDC_TEST_NAME), "start");
    EXPECT_EQ(open.Text(IDC_TEST_COUNT), "5");
    EXPECT_EQ(::SendMessageA(open.Control(IDC_TEST_FLAG), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Bit 0x100 clear: the inverted box is checked.
    EXPECT_EQ(::SendMessageA(open.Control(IDC_TEST_INVERTED_FLAG), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDC_TEST_DEPENDENT)));
    EXPECT_EQ(open.dialog->initCalls, 1);
    // OK and Cancel became the program's image buttons (owner-drawn).
    EXPECT_EQ(::GetWindowLongPtrA(open.Control(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(::GetWindowLongPtrA(open.Control(IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(open.dialog->OkButton().m_hWnd, open.Control(IDOK));
    EXPECT_NE(::SendMessageA(open.window, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST(DialogBase, OkSavesEveryControlAndEndsTheDialog)
{
    CRecordingMessageBoxes boxes;
    CScopedMessageBoxes scope(boxes);
    COpenTest open(std::make_unique<CTestDialog>());
    ASSERT_TRUE(open.window);
    open.SetText(IDC_TEST_NAME, "a name");
    open.SetText(IDC_TEST_COUNT, "42");
    ::SendMessageA(open.Control(IDC_TEST_FLAG), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageA(open.Control(IDC_TEST_INVERTED_FLAG), BM_SETCHECK, BST_UNCHECKED, 0);
    open.Command(IDOK);
    EXPECT_TRUE(open.Closed());
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(open.dialog->m_name, "a name");
    EXPECT_EQ(open.dialog->m_count, 42);
    EXPECT_EQ(open.dialog->m_flags, 0x4u | 0x100u);
    EXPECT_EQ(open.dialog->accepted, 1);
}

// A refused value: the message, the focus on the control, the dialog still open and the member
// as it was.
struct CRefusedCase {
    const char* what;
    int control;
    std::string name;
    const char* count;
    const char* message;
};

TEST(DialogBase, ARefusedValueKeepsTheDialogOpenWithItsMessage)
{
    const CRefusedCase cases[] = {
        {"a text of 300 characters in a field of 255", IDC_TEST_NAME, std::string(300, 'x'), "5",
         "Please keep text to under 255 characters (currently 300 characters long)\n"},
        {"an integer above the range", IDC_TEST_COUNT, "ok", "100", "Please enter an integer between 1 and 99\n"},
        {"an integer below the range", IDC_TEST_COUNT, "ok", "0", "Please enter an integer between 1 and 99\n"},
    };
    for (const CRefusedCase& test : cases) {
        SCOPED_TRACE(test.what);
        CRecordingMessageBoxes boxes;
        CScopedMessageBoxes scope(boxes);
        COpenTest open(std::make_unique<CTestDialog>());
        ASSERT_TRUE(open.window);
        ::SetForegroundWindow(open.window);
        open.SetText(IDC_TEST_NAME, test.name.c_str());
        open.SetText(IDC_TEST_COUNT, test.count);
        open.Command(IDOK);
        Pump();
        EXPECT_FALSE(open.Closed());
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], test.message);
        EXPECT_TRUE(boxes.types[0] & MB_ICONEXCLAMATION);
        EXPECT_EQ(::GetFocus(), open.Control(test.control));
        EXPECT_EQ(open.dialog->accepted, 0);
        EXPECT_EQ(open.dialog->m_count, 5);
    }
}

TEST(DialogBase, ADialogThatRefusesOnAcceptStaysOpen)
{
    auto dialog = std::make_unique<CTestDialog>();
    dialog->acceptAnswer = false;
    COpenTest open(std::move(dialog));
    ASSERT_TRUE(open.window);
    open.Command(IDOK);
    EXPECT_FALSE(open.Closed());
    EXPECT_EQ(open.dialog->accepted, 1);
}

TEST(DialogBase, CancelSavesNothing)
{
    COpenTest open(std::make_unique<CTestDialog>());
    ASSERT_TRUE(open.window);
    open.SetText(IDC_TEST_NAME, "changed");
    ::SendMessageA(open.Control(IDC_TEST_FLAG), BM_SETCHECK, BST_CHECKED, 0);
    open.Command(IDCANCEL);
    EXPECT_TRUE(open.Closed());
    EXPECT_EQ(open.dialog->m_name, "start");
    EXPECT_EQ(open.dialog->m_flags, 0u);
    EXPECT_EQ(open.dialog->accepted, 0);
}

TEST(DialogBase, EnableByCheckFollowsTheBox)
{
    COpenTest open(std::make_unique<CTestDialog>());
    ASSERT_TRUE(open.window);
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDC_TEST_DEPENDENT)));
    ::SendMessageA(open.Control(IDC_TEST_FLAG), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDC_TEST_DEPENDENT)));
}

TEST(DialogBase, ValidationMessages)
{
    _XData text = {};
    text.nDataType = ddxDataText;
    text.textData.nLength = 300;
    text.textData.nMaxLength = 255;
    EXPECT_EQ(FormatValidationMessage(text), "Please keep text to under 255 characters (currently 300 characters long)\n");
    _XData number = {};
    number.nDataType = ddxDataInt;
    number.intData.nMin = -5;
    number.intData.nMax = 7;
    EXPECT_EQ(FormatValidationMessage(number), "Please enter an integer between -5 and 7\n");
    _XData none = {};
    EXPECT_EQ(FormatValidationMessage(none), "");
}

// A system that draws shadows (Wine's answer is off, which allows no strip at all).
class CShadowsOn final : public IDropShadowEnvironment {
public:
    bool IsDropShadowEnabled() override { return true; }
    bool IsWinXPOrLater() override { return true; }
    bool IsFullWindowDragEnabled() override { return true; }
    bool IsSkinActive() override { return false; }
    bool SetLayeredAlpha(HWND window, BYTE alpha) override
    {
        return ::SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA) != FALSE;
    }
};

// Dialog boxes get the two strips; they stand along the right and bottom edges.
TEST(DialogBase, TheShadowStripsFollowTheDialog)
{
    CShadowsOn shadows;
    CScopedDropShadowEnvironment environment(shadows);
    COpenTest open(std::make_unique<CTestDialog>());
    ASSERT_TRUE(open.window);
    const CDropShadowStrips& strips = open.dialog->GetShadowStrips();
    ASSERT_TRUE(strips.RightWindow());
    ASSERT_TRUE(strips.BottomWindow());
    ::SetWindowPos(open.window, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT dialog = {};
    ::GetWindowRect(open.window, &dialog);
    RECT right = {};
    RECT bottom = {};
    ComputeShadowRects(dialog, kDropShadowThickness, right, bottom);
    RECT shownRight = {};
    ::GetWindowRect(strips.RightWindow(), &shownRight);
    EXPECT_EQ(shownRight.left, right.left);
    EXPECT_EQ(shownRight.top, right.top);
    EXPECT_EQ(shownRight.bottom, right.bottom);
    RECT shownBottom = {};
    ::GetWindowRect(strips.BottomWindow(), &shownBottom);
    EXPECT_EQ(shownBottom.left, bottom.left);
    EXPECT_EQ(shownBottom.top, bottom.top);
    EXPECT_TRUE(::IsWindowVisible(strips.RightWindow()));
}

}  // namespace
