// The page setup: the dialog is offered the margins in use, a cancelled one changes nothing, and
// the margins chosen are the ones the next pages are laid out with.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include "editctl/tests/EditFixture.h"
#include "editctl/win/Printing.h"

namespace quill::testing {

namespace {

class PageSetup : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        m_saved = win::PageMargins();
    }
    void TearDown() override
    {
        win::PageMargins() = m_saved;
        EditFixture::TearDown();
    }
    PageMetrics Metrics()
    {
        const HDC screen = GetDC(nullptr);
        const PageMetrics m = win::PrintMetricsFor(*ed, screen, static_cast<HFONT>(ed->config->printerFont));
        ReleaseDC(nullptr, screen);
        return m;
    }

    PrintMargins m_saved;
};

struct Offer {
    bool asked = false;
    DWORD flags = 0;
    RECT margins{};
};
Offer g_offer;

} // namespace

TEST_F(PageSetup, TheMarginsChosenAreOfferedAgainAndLayOutThePages)
{
    SetText("one\r\ntwo\r\nthree");
    win::PageMargins() = {1000, 1000, 1000, 1000};
    const PageMetrics before = Metrics();
    ASSERT_TRUE(before.valid);

    // Cancelled: nothing changes.
    g_offer = {};
    s_system.onPageSetupDialog = [](PAGESETUPDLGA* d) -> BOOL {
        g_offer = {true, d->Flags, d->rtMargin};
        d->rtMargin = {5000, 5000, 5000, 5000};
        return FALSE;
    };
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kDialogPageSetup), 0);
    ASSERT_TRUE(g_offer.asked);
    EXPECT_TRUE(g_offer.flags & PSD_MARGINS);
    EXPECT_TRUE(g_offer.flags & PSD_INHUNDREDTHSOFMILLIMETERS);
    EXPECT_FALSE(g_offer.flags & PSD_RETURNDEFAULT) << "the user's page setup shows the dialog";
    EXPECT_EQ(g_offer.margins.left, 1000);
    EXPECT_EQ(win::PageMargins().left, 1000);
    EXPECT_EQ(win::PageMargins().top, 1000);
    EXPECT_EQ(Metrics().left, before.left);

    // Chosen: kept, each side on its own, and the layout follows them.
    s_system.onPageSetupDialog = [](PAGESETUPDLGA* d) -> BOOL {
        g_offer = {true, d->Flags, d->rtMargin};
        d->rtMargin = {2500, 1500, 500, 3000};
        return TRUE;
    };
    EXPECT_EQ(Send(QPM_RUNCOMMAND, kDialogPageSetup), 1);
    EXPECT_EQ(win::PageMargins().left, 2500);
    EXPECT_EQ(win::PageMargins().top, 1500);
    EXPECT_EQ(win::PageMargins().right, 500);
    EXPECT_EQ(win::PageMargins().bottom, 3000);
    const PageMetrics after = Metrics();
    ASSERT_TRUE(after.valid);
    EXPECT_NEAR(after.left, 25.0 * after.pxPerMmX, 1.0);
    EXPECT_NEAR(after.right, 5.0 * after.pxPerMmX, 1.0);
    EXPECT_GT(after.left, before.left);
    EXPECT_LT(after.right, before.right);
    EXPECT_LT(after.rowsPerPage, before.rowsPerPage) << "45 mm of top and bottom margins leave fewer rows";

    // The next page setup starts from what was chosen.
    g_offer = {};
    s_system.onPageSetupDialog = [](PAGESETUPDLGA* d) -> BOOL {
        g_offer = {true, d->Flags, d->rtMargin};
        return FALSE;
    };
    Send(QPM_RUNCOMMAND, kDialogPageSetup);
    ASSERT_TRUE(g_offer.asked);
    EXPECT_EQ(g_offer.margins.left, 2500);
    EXPECT_EQ(g_offer.margins.top, 1500);
    EXPECT_EQ(g_offer.margins.right, 500);
    EXPECT_EQ(g_offer.margins.bottom, 3000);
}

} // namespace quill::testing
