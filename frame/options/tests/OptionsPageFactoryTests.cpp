// The Options dialog with pages of a page factory, as the later libraries give them: the factory's
// pages stand at their places in the tree, opening on one of them selects it inside its expanded
// group, a page the factory does not give is left out with its group, and OK and Cancel reach the
// factory's pages as they reach the dialog's own.
#include "core/app/Settings.h"
#include "frame/options/OptionsDlg.h"
#include "frame/options/OptionsPageFactory.h"
#include "frame/options/tests/OptionsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace options_test;

constexpr int kMouseActionsPage = 271;
constexpr int kMouseTrailsPage = 273;
constexpr int kStandInCheckBox = 1001;

// What the stand-in pages heard, by dialog id.
struct CPageLog {
    std::vector<int> applied;
    std::vector<int> cancelled;
};

// A page of OptionsTestPages.rc: one check box and a log of what the dialog told it.
class CStandInPage final : public COptionsPage {
public:
    CStandInPage(int dialogId, CPageLog& log) : m_dialogId(dialogId), m_log(log) {}

    BEGIN_MSG_MAP(CStandInPage)
    END_MSG_MAP()

    int GetDialogID() const override { return m_dialogId; }
    int OnApply() override
    {
        m_log.applied.push_back(m_dialogId);
        return 0;
    }
    void OnCancel() override { m_log.cancelled.push_back(m_dialogId); }

private:
    int m_dialogId;
    CPageLog& m_log;  // the test's
};

// Gives a stand-in page for every id of OptionsTestPages.rc that it is not told to withhold.
class CStandInFactory final : public IOptionsPageFactory {
public:
    std::unique_ptr<COptionsPage> CreatePage(int dialogId) override
    {
        asked.push_back(dialogId);
        static const std::set<int> known = {271, 273, 174, 178, 233, 163, 234, 165, 220, 246};
        if (!known.count(dialogId) || withheld.count(dialogId))
            return nullptr;
        return std::make_unique<CStandInPage>(dialogId, log);
    }

    std::set<int> withheld;
    std::vector<int> asked;
    CPageLog log;
};

class OptionsPageFactory : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = GetSettings();
        ASSERT_NE(settings, nullptr);
        settings->SkipSaveAtExit();
        settings->LastOptionID = -1;
    }

    CSettings* settings = nullptr;
    CStandInFactory factory;
};

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::string& text)
{
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
        if (TreeText(tree, item) == text)
            return item;
    }
    return nullptr;
}

TEST_F(OptionsPageFactory, OpeningOnMouseActionsSelectsItInsideTheExpandedMouseGesturesGroup)
{
    CScopedOptionsPageFactory scope(factory);
    COpenOptions open(kMouseActionsPage);
    ASSERT_TRUE(open.window);
    EXPECT_EQ(open.ShownPageId(), kMouseActionsPage);
    HWND tree = open.Tree();
    HTREEITEM selected = TreeView_GetSelection(tree);
    EXPECT_EQ(TreeText(tree, selected), "Mouse Actions");
    HTREEITEM group = TreeView_GetParent(tree, selected);
    EXPECT_EQ(TreeText(tree, group), "Mouse Gestures");
    EXPECT_EQ(TreeView_GetParent(tree, group), TreeView_GetRoot(tree));
    EXPECT_TRUE(TreeView_GetItemState(tree, group, TVIS_EXPANDED) & TVIS_EXPANDED);
    char caption[64] = {};
    ::GetDlgItemTextA(open.window, IDC_OPTIONS_CAPTION, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Mouse Actions");
}

// A group none of whose pages the program has is not in the tree; a group keeps the pages it has.
TEST_F(OptionsPageFactory, APageTheFactoryDoesNotGiveIsLeftOutAndAnEmptyGroupWithIt)
{
    factory.withheld = {kMouseActionsPage, kMouseTrailsPage, 165};
    CScopedOptionsPageFactory scope(factory);
    COpenOptions open(kMouseActionsPage);
    ASSERT_TRUE(open.window);
    HWND tree = open.Tree();
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(FindChild(tree, root, "Mouse Gestures"), nullptr);
    HTREEITEM adFilter = FindChild(tree, root, "Ad-Filter");
    ASSERT_NE(adFilter, nullptr);
    EXPECT_NE(FindChild(tree, adFilter, "Ad-Filter"), nullptr);
    EXPECT_EQ(FindChild(tree, adFilter, "Advanced Settings"), nullptr);
    for (int i = 0; i < open.dialog->GetPageCount(); ++i)
        EXPECT_FALSE(factory.withheld.count(open.dialog->GetPage(i)->GetDialogID()));
    // The remembered page is not there: the tree's first page is shown.
    EXPECT_EQ(open.dialog->GetShownPage(), open.dialog->GetPage(0));
}

// Every page of the factory is told of OK and of Cancel, as the dialog's own pages are.
TEST_F(OptionsPageFactory, OkAndCancelReachEveryPageOfTheFactory)
{
    CScopedOptionsPageFactory scope(factory);
    const std::vector<int> given = {271, 273, 174, 178, 233, 163, 234, 165, 220, 246};
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        factory.log = {};
        COpenOptions open(COptionsDlg::kLastPage);
        ASSERT_TRUE(open.window);
        open.Command(ok ? IDOK : IDCANCEL);
        ASSERT_TRUE(open.Closed());
        std::vector<int> told = ok ? factory.log.applied : factory.log.cancelled;
        std::sort(told.begin(), told.end());
        std::vector<int> expected = given;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(told, expected);
        EXPECT_TRUE((ok ? factory.log.cancelled : factory.log.applied).empty());
    }
}

// The factory is asked for the pages in the tree's order, and the check box of a factory's page
// is the page's own.
TEST_F(OptionsPageFactory, TheFactoryIsAskedInTreeOrderAndItsPagesWork)
{
    CScopedOptionsPageFactory scope(factory);
    COpenOptions open(178);
    ASSERT_TRUE(open.window);
    const std::vector<int> treeOrder = {271, 273, 174, 178, 233, 163, 234, 165, 220, 246};
    std::vector<int> asked;
    for (int id : factory.asked) {
        if (std::find(treeOrder.begin(), treeOrder.end(), id) != treeOrder.end())
            asked.push_back(id);
    }
    EXPECT_EQ(asked, treeOrder);
    EXPECT_EQ(open.ShownPageId(), 178);
    HWND box = open.Control(kStandInCheckBox);
    ASSERT_TRUE(box);
    open.Click(kStandInCheckBox);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
