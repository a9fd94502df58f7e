// The frame data's menu icon queue: ticks of at most six picks, entries dropped when their icon is
// found or after twelve tries, and the thread timer that stops on an empty queue and starts again.
#include "frame/MainFrameData.h"

#include "frame/tests/FrameTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

class CFakeIconSource final : public IMenuIconSource {
public:
    int GetIconIndex(const char* url) override
    {
        ++m_lookups;
        const auto found = m_icons.find(url);
        return found == m_icons.end() ? CMainFrameData::kNoSiteIcon : found->second;
    }
    void SetCommandIcon(UINT command, int iconIndex) override { m_given[command] = iconIndex; }

    std::map<std::string, int> m_icons;
    std::map<UINT, int> m_given;
    int m_lookups = 0;
};

} // namespace

TEST(MainFrameData, SiteWithoutIconIsTriedOncePerTickAndDroppedAfterTheTwelfth)
{
    CMainFrameData data;
    CFakeIconSource source;
    data.SetMenuIconSource(&source);
    data.QueueMenuIcon(30001, "http://no-icon.example/");
    for (unsigned tick = 1; tick < CMainFrameData::kMaxTries; ++tick) {
        SCOPED_TRACE(tick);
        EXPECT_TRUE(data.OnTimer(0));
        ASSERT_EQ(data.GetPendingMenuIcons().size(), 1u);
        EXPECT_EQ(HIWORD(data.GetPendingMenuIcons()[0].commandWord), tick);
    }
    EXPECT_FALSE(data.OnTimer(0));
    EXPECT_TRUE(data.GetPendingMenuIcons().empty());
    EXPECT_EQ(source.m_lookups, static_cast<int>(CMainFrameData::kMaxTries));
    EXPECT_FALSE(data.OnTimer(0));
    data.SetMenuIconSource(nullptr);
}

TEST(MainFrameData, TickMakesSixPicksAndDropsEntriesWhoseIconArrived)
{
    CMainFrameData data;
    data.SeedPicks(5489u);
    CFakeIconSource source;
    data.SetMenuIconSource(&source);
    for (UINT i = 0; i < 10; ++i)
        data.QueueMenuIcon(31000 + i, ("http://site" + std::to_string(i) + ".example/").c_str());
    EXPECT_TRUE(data.OnTimer(0));
    EXPECT_EQ(source.m_lookups, 6);
    unsigned tries = 0;
    for (const CMenuIconRequest& request : data.GetPendingMenuIcons())
        tries += HIWORD(request.commandWord);
    EXPECT_EQ(tries, 6u);
    EXPECT_EQ(data.GetPendingMenuIcons().size(), 10u);

    // Every site's icon is there now. The queue's length is taken again before each pick, so a
    // tick that finds every icon it asks for stops once the picks reach the shrinking length.
    for (UINT i = 0; i < 10; ++i)
        source.m_icons["http://site" + std::to_string(i) + ".example/"] = 20 + static_cast<int>(i);
    source.m_lookups = 0;
    EXPECT_TRUE(data.OnTimer(0));
    EXPECT_EQ(source.m_lookups, 5);
    EXPECT_EQ(data.GetPendingMenuIcons().size(), 5u);
    int ticks = 0;
    while (data.OnTimer(0) && ++ticks < 10) {
    }
    EXPECT_TRUE(data.GetPendingMenuIcons().empty());
    EXPECT_EQ(source.m_given.size(), 10u);
    EXPECT_EQ(source.m_given[31003], 23);
    data.SetMenuIconSource(nullptr);
}

TEST(MainFrameData, TimerStopsOnAnEmptyQueueAndStartsAgainWhenAnItemIsQueued)
{
    CMainFrameData data;
    CFakeIconSource source;
    source.m_icons["http://found.example/"] = 7;
    data.SetMenuIconSource(&source);
    ASSERT_TRUE(data.IsTimerRunning());
    data.QueueMenuIcon(32000, "http://found.example/");
    ASSERT_TRUE(frame_test::PumpUntil([&] { return data.GetPendingMenuIcons().empty(); }));
    EXPECT_EQ(source.m_given[32000], 7);
    ASSERT_TRUE(frame_test::PumpUntil([&] { return !data.IsTimerRunning(); }));
    data.QueueMenuIcon(32001, "http://found.example/");
    EXPECT_TRUE(data.IsTimerRunning());
    ASSERT_TRUE(frame_test::PumpUntil([&] { return source.m_given.count(32001) == 1; }));
    data.SetMenuIconSource(nullptr);
}
