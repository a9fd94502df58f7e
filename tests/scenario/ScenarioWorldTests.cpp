// The scenario world itself: it stands the shell up as a start of the program does, with real
// browser tabs over the engine double, answers from the local server, and a restart in the same
// profile.
#include "tests/scenario/ScenarioWorld.h"

#include "browser/BrowserView.h"
#include "core/app/Settings.h"

#include <gtest/gtest.h>
#include <urlmon.h>

using scenario::CScenarioWorld;

TEST(ScenarioWorld, StandsUpTheShellServesItsPagesAndRestartsInTheSameProfile)
{
    CScenarioWorld world;
    ASSERT_TRUE(world.Engine().IsRegistered());
    const std::string page = world.ServePage({"/world.html", "The world's page", "", {}, ""});
    ASSERT_TRUE(world.Start());
    // Every tab is a real browser tab hosting the engine double.
    ASSERT_FALSE(world.Tabs().empty());
    for (HWND tab : world.Tabs())
        EXPECT_NE(CBrowserView::FromWindow(tab), nullptr);
    EXPECT_NE(world.Frame().GetAddressBarEdit(), nullptr);
    EXPECT_NE(world.Frame().GetSearchBarEdit(), nullptr);

    world.TypeAddress(page);
    EXPECT_EQ(world.TabUrl(world.ActiveTab()), page);
    EXPECT_EQ(world.WindowTitle(), "The world's page - Kivo Browser");

    // The server answers the page through the URL layer (and the namespace handler before it).
    CComPtr<IStream> stream;
    ASSERT_EQ(URLOpenBlockingStreamA(nullptr, page.c_str(), &stream, 0, nullptr), S_OK);
    EXPECT_EQ(world.Server().RequestCount("/world.html"), 1);

    // The user's choice of the last session as the start pages is what brings the tabs back.
    GetSettings()->StartupFlags.value = 0x4;
    const size_t tabs = world.Tabs().size();
    EXPECT_EQ(world.Exit(), 1);
    EXPECT_EQ(world.Window(), nullptr);
    ASSERT_TRUE(world.Start());
    EXPECT_EQ(world.Starts(), 2);
    EXPECT_EQ(world.Tabs().size(), tabs);
    EXPECT_EQ(world.TabUrl(world.Tabs().back()), page);
    EXPECT_EQ(world.StoredSettings()->RunCount.value, 1);
}
