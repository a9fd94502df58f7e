// The skins dialog as a real window under Wine, over a skin manager of its own with skins made in
// a scratch folder and a plain top-level window standing for the main window: the rows and their
// marks, "&Apply" only for another skin than the one in use, a double click putting the skin on
// the frame at once with the dialog still open, the choice kept in the settings and worn again by
// a new manager and frame (a restart), Cancel keeping what was applied, and the help.
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinnedWindow.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/app/SettingsStore.h"
#include "frame/dialogs/SkinsDlg.h"
#include "frame/dialogs/tests/DialogsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace dialogs_test;

class CRecordingHelp final : public IHelpViewer {
public:
    EHelpResult ShowContents(HWND, const char* file, const char* topic) override
    {
        files.push_back(file ? file : "");
        topics.push_back(topic ? topic : "");
        return EHelpResult::kShown;
    }
    std::vector<std::string> files;
    std::vector<std::string> topics;
};

std::string SavedSkinSetting()
{
    CSettingString setting("Config", "SkinName", "");
    setting.Load();
    return setting.value.c_str();
}

bool WearsSkin(CFrameSkinManager& skins, HWND window)
{
    const CSkinnedWindow* record = skins.FindWindowRecord(window);
    if (!record)
        return false;
    const RECT close = record->ButtonRect(HTCLOSE);
    return close.right > close.left;
}

class SkinsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(skin_test::MakeTwelvePartSkin(m_skins, "Ember"));
        ASSERT_TRUE(skin_test::MakeTwelvePartSkin(m_skins, "Slate"));
        m_frame = skin_test::CreateTestFrame("Skins dialog frame", 0, 0, 300, 200);
        ASSERT_TRUE(m_frame);
        CSettingString setting("Config", "SkinName", "");
        setting.Save();
    }
    void TearDown() override
    {
        if (m_frame)
            ::DestroyWindow(m_frame);
    }
    std::unique_ptr<CFrameSkinManager> MakeManager(const char* current)
    {
        auto manager = std::make_unique<CFrameSkinManager>(m_skins.c_str(), current);
        manager->AttachWindow(m_frame);
        return manager;
    }

    CScratchFolder m_folder{"skins-dialog"};
    std::string m_skins = std::string(m_folder.Path().c_str()) + "skins\\";
    HWND m_frame = nullptr;
    CRecordingHelp m_help;
};

TEST_F(SkinsDialog, WithoutSkinsOnlyDisableSkinIsListedAndMarked)
{
    CScratchFolder empty("skins-dialog-empty");
    CFrameSkinManager skins((empty.Path() + "skins\\").c_str(), "");
    COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, &skins, &m_help));
    ASSERT_TRUE(open.window);
    ASSERT_EQ(open.dialog->GetRowCount(), 1);
    EXPECT_EQ(open.dialog->GetRowText(0), "Disable Skin");
    EXPECT_TRUE(open.dialog->IsRowMarked(0));
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDC_SKIN_APPLY)));
}

TEST_F(SkinsDialog, RowsMarksFieldsAndApply)
{
    auto skins = MakeManager("Slate");
    ASSERT_EQ(skins->GetCurrentSkinName(), "Slate");
    COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, skins.get(), &m_help));
    ASSERT_TRUE(open.window);
    ASSERT_EQ(open.dialog->GetRowCount(), 3);
    EXPECT_EQ(open.dialog->GetRowText(0), "Disable Skin");
    EXPECT_EQ(open.dialog->GetRowText(1), skins->GetSkins()[0].name.c_str());
    EXPECT_EQ(open.dialog->GetRowText(2), skins->GetSkins()[1].name.c_str());
    const int slate = open.dialog->GetRowText(1) == "Slate" ? 1 : 2;
    const int ember = 3 - slate;
    EXPECT_FALSE(open.dialog->IsRowMarked(0));
    EXPECT_TRUE(open.dialog->IsRowMarked(slate));
    EXPECT_FALSE(open.dialog->IsRowMarked(ember));
    // The current skin's row: no Apply; another skin's or Disable Skin's: Apply.
    open.dialog->SelectRow(slate);
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDC_SKIN_APPLY)));
    EXPECT_EQ(open.Text(IDC_SKIN_AUTHOR), "Test Author");
    open.dialog->SelectRow(0);
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDC_SKIN_APPLY)));
    EXPECT_EQ(open.Text(IDC_SKIN_AUTHOR), "");
    open.dialog->SelectRow(ember);
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDC_SKIN_APPLY)));
    std::string path;
    RECT rect = {};
    ::GetWindowRect(open.window, &rect);
    Pump();
    EXPECT_TRUE(kivo_test::WriteScreenRect(rect, "skins_dialog.bmp", path));
}

TEST_F(SkinsDialog, ADoubleClickPutsTheSkinOnTheFrameAtOnceAndARestartKeepsIt)
{
    auto skins = MakeManager("");
    EXPECT_FALSE(WearsSkin(*skins, m_frame));
    {
        COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, skins.get(), &m_help));
        ASSERT_TRUE(open.window);
        const int ember = open.dialog->GetRowText(1) == "Ember" ? 1 : 2;
        open.dialog->SelectRow(ember);
        ::SendMessageA(open.window, WM_COMMAND, MAKEWPARAM(IDC_SKIN_LIST, LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(open.Control(IDC_SKIN_LIST)));
        EXPECT_FALSE(open.Closed());
        EXPECT_EQ(skins->GetCurrentSkinName(), "Ember");
        EXPECT_TRUE(WearsSkin(*skins, m_frame));
        EXPECT_TRUE(open.dialog->IsRowMarked(ember));
        EXPECT_FALSE(open.dialog->IsRowMarked(0));
        EXPECT_FALSE(::IsWindowEnabled(open.Control(IDC_SKIN_APPLY)));
        open.Command(IDCANCEL);
        EXPECT_TRUE(open.Closed());
    }
    // Cancel kept it; the settings hold it.
    EXPECT_EQ(skins->GetCurrentSkinName(), "Ember");
    EXPECT_EQ(SavedSkinSetting(), "Ember");
    // A restart: the frame and the manager go, new ones read the choice back from the settings.
    ::DestroyWindow(m_frame);
    skins.reset();
    m_frame = skin_test::CreateTestFrame("Skins dialog frame after a restart", 0, 0, 300, 200);
    ASSERT_TRUE(m_frame);
    auto restarted = MakeManager(SavedSkinSetting().c_str());
    EXPECT_EQ(restarted->GetCurrentSkinName(), "Ember");
    EXPECT_TRUE(WearsSkin(*restarted, m_frame));
}

TEST_F(SkinsDialog, OkAppliesTheSelectedRowDisableSkinIncluded)
{
    auto skins = MakeManager("Slate");
    COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, skins.get(), &m_help));
    ASSERT_TRUE(open.window);
    open.dialog->SelectRow(0);
    open.Command(IDOK);
    EXPECT_TRUE(open.Closed());
    EXPECT_FALSE(skins->IsSkinActive());
    EXPECT_FALSE(WearsSkin(*skins, m_frame));
    EXPECT_EQ(SavedSkinSetting(), "");
}

TEST_F(SkinsDialog, HelpOpensTheSkinsTopic)
{
    auto skins = MakeManager("");
    COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, skins.get(), &m_help));
    ASSERT_TRUE(open.window);
    open.Command(IDC_SKIN_HELP);
    ASSERT_EQ(m_help.topics.size(), 1u);
    EXPECT_EQ(m_help.topics[0], "::/skin.htm");
    EXPECT_EQ(m_help.files[0], GetHelpFilePath());
    EXPECT_NE(m_help.files[0].find("KivoBrowser.chm"), std::string::npos);
}

TEST_F(SkinsDialog, HelpWithoutTheHelpLibraryTellsTheUser)
{
    CRecordingMessageBoxes boxes;
    CScopedMessageBoxes scope(boxes);
    CHtmlHelpViewer missing("kivo-no-such-help-library.ocx");
    auto skins = MakeManager("");
    COpenDialog<CSkinsDlg> open(std::make_unique<CSkinsDlg>(m_frame, skins.get(), &missing));
    ASSERT_TRUE(open.window);
    open.Command(IDC_SKIN_HELP);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("hhctrl.ocx"), std::string::npos);
    EXPECT_FALSE(open.Closed());
}

TEST(SkinNames, AreComparedWithoutCase)
{
    EXPECT_TRUE(IsSameSkinName("Slate", "sLATE"));
    EXPECT_FALSE(IsSameSkinName("Slate", "Slates"));
    EXPECT_TRUE(IsSameSkinName(nullptr, ""));
}

}  // namespace
