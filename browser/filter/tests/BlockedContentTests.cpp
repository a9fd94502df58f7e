// What the frame does with a block (log, counter, notice, sound), the "Log" window over the logs,
// and the segment counter label, with screenshots of both.
#include "browser/filter/AdFilter.h"
#include "browser/filter/AdFilterProtocol.h"
#include "frame/BlockedContent.h"
#include "browser/filter/BlockedHistoryWindow.h"
#include "browser/filter/PopupAllowList.h"
#include "browser/filter/ShapeLabelWnd.h"
#include "browser/filter/tests/FakeTabHost.h"
#include "browser/filter/tests/FilterTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "platform/AtlGdi.h"

#include "frame/tests/RecordingFrameShell.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using filter_test::CFakeTabHost;
using filter_test::PumpUntil;
using filter_test::ReadFileText;

// The frame double hands the blocks to what the real frame's host methods call.
void ForwardAd(const char* rule, const char* url)
{
    RecordAdBlocked(rule, url);
}

CFakeTabHost* g_host = nullptr;

void ForwardPopup(const char* title, const char* opener, const char* url)
{
    RecordPopupBlocked(g_host, title, opener, url);
}

// The settings' logs, counters and flags as a test leaves them, put back afterwards.
class CScopedBlockerSettings {
public:
    CScopedBlockerSettings()
    {
        CSettings& settings = *GetSettings();
        m_flags = settings.BlockerFlags;
        m_view = settings.ViewFlags;
        settings.PopupLog.Clear();
        settings.AdLog.Clear();
    }
    ~CScopedBlockerSettings()
    {
        CSettings& settings = *GetSettings();
        settings.BlockerFlags = m_flags;
        settings.ViewFlags = m_view;
        settings.PopupLog.Clear();
        settings.AdLog.Clear();
    }
    CScopedBlockerSettings(const CScopedBlockerSettings&) = delete;
    CScopedBlockerSettings& operator=(const CScopedBlockerSettings&) = delete;

private:
    DWORD m_flags = 0;
    DWORD m_view = 0;
};

TEST(BlockedContent, TheFrameLogsCountsAndAnnouncesEachBlock)
{
    CScopedBlockerSettings scoped;
    CSettings& settings = *GetSettings();
    settings.BlockerFlags = 0x5002 | BlockerFlag::AdFilter | BlockerFlag::AdBeep | BlockerFlag::AdSound |
                            BlockerFlag::PopupBeep;
    settings.AdBlockedSound = "C:\\sounds\\ad.wav";
    settings.PopBlockedSound = "C:\\sounds\\popup.wav";
    GetAdFilter().ClearList(CAdFilter::kFilterList);
    GetAdFilter().AddRule(CAdFilter::kFilterList, "*/ads/*");
    frame_test::CRecordingShell sounds;
    CScopedFrameShell scopedSounds(sounds);
    CFakeTabHost host;
    g_host = &host;
    host.m_forwardAd = ForwardAd;
    host.m_forwardPopup = ForwardPopup;
    const DWORD adsBefore = settings.BlockedContent;
    const DWORD popupsBefore = settings.BlockedPopup;

    CComPtr<IClassFactory> factory;
    ASSERT_EQ(CreateAdFilterClassFactory(&factory), S_OK);
    CComPtr<IInternetProtocol> handler;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IInternetProtocol, reinterpret_cast<void**>(&handler)), S_OK);
    ASSERT_EQ(handler->Start(L"http://x.example/ads/1.gif", nullptr, nullptr, 0, 0), S_OK);

    ASSERT_EQ(settings.AdLog.GetCount(), 1);
    EXPECT_EQ(settings.AdLog.GetAt(0).text1, "*/ads/*");
    EXPECT_EQ(settings.AdLog.GetAt(0).text2, "http://x.example/ads/1.gif");
    EXPECT_EQ(settings.AdLog.GetAt(0).text3, "");
    EXPECT_NE(settings.AdLog.GetAt(0).time, 0u);
    EXPECT_EQ(settings.BlockedContent, adsBefore + 1);
    EXPECT_EQ(sounds.m_beeps, std::vector<DWORD>{350});
    EXPECT_EQ(sounds.m_beepLengths, std::vector<DWORD>{100});
    EXPECT_EQ(sounds.m_sounds, std::vector<std::string>{"C:\\sounds\\ad.wav"});

    RecordPopupBlocked(&host, "Popup", "http://opener.example/", "http://popup.example/");
    EXPECT_EQ(settings.BlockedPopup, popupsBefore + 1);
    ASSERT_EQ(settings.PopupLog.GetCount(), 1);
    EXPECT_EQ(settings.PopupLog.GetAt(0).text2, "http://opener.example/");
    ASSERT_EQ(host.m_statusTexts.size(), 1u);  // the notice bit 0x1000 is set by default
    EXPECT_EQ(host.m_statusTexts[0], (std::pair<int, std::string>{0, kPopupNoticeText}));
    EXPECT_EQ(sounds.m_beeps.back(), 250u);
    EXPECT_EQ(sounds.m_beepLengths.back(), 100u);
    // 0x4000 is set by default: the popup sound too.
    EXPECT_EQ(sounds.m_sounds, (std::vector<std::string>{"C:\\sounds\\ad.wav", "C:\\sounds\\popup.wav"}));
    GetAdFilter().ClearList(CAdFilter::kFilterList);
    g_host = nullptr;
}

TEST(BlockedContent, LogTextAndLimit)
{
    CScopedBlockerSettings scoped;
    CBlockedLog log;
    log.SetMaxItems(200);
    for (int i = 0; i < 201; ++i)
        log.Add({GetCurrentFileTime(), "*rule*", "http://x/" + std::to_string(i), ""});
    ASSERT_EQ(log.GetCount(), 200);
    EXPECT_EQ(log.GetAt(0).text2, "http://x/1");  // the oldest went
    CBlockedLog popups;
    popups.Add({GetCurrentFileTime(), "Popup", "http://opener/", "http://popup/"});
    popups.Add({GetCurrentFileTime(), "Web Page Dialog", "", "http://dialog/"});
    const std::string text = FormatBlockedLogText(popups, true);
    ASSERT_EQ(text.rfind("Popups Blocked History\r\n\r\n", 0), 0u);
    ASSERT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    const size_t first = text.find("\r\n\r\n") + 4;
    const std::string line = text.substr(first, text.find("\r\n", first) - first);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3);
    EXPECT_NE(line.find("\tPopup\thttp://opener/\thttp://popup/"), std::string::npos);
    const std::string ads = FormatBlockedLogText(log, false);
    const size_t adFirst = ads.find("\r\n\r\n") + 4;
    const std::string adLine = ads.substr(adFirst, ads.find("\r\n", adFirst) - adFirst);
    EXPECT_EQ(std::count(adLine.begin(), adLine.end(), '\t'), 2);
    EXPECT_NE(adLine.find("http://x/1"), std::string::npos);  // oldest first whatever the display
}

std::string RowText(HWND list, int row, int column)
{
    char text[512] = {};
    ListView_GetItemText(list, row, column, text, sizeof(text));
    return text;
}

TEST(BlockedContent, HistoryWindowListsExportsAndAllowsASite)
{
    CScopedBlockerSettings scoped;
    CSettings& settings = *GetSettings();
    settings.ViewFlags &= ~(0x100u | 0x200u | ViewFlag::PopupLogGrid | ViewFlag::AdLogGrid);
    settings.PopupLog.Add({GetCurrentFileTime(), "Popup", "http://news.example.com/story", "http://popup.example/ad"});
    settings.PopupLog.Add({GetCurrentFileTime(), "Web Page Dialog", "", "http://dialog.example/d.html"});
    settings.AdLog.Add({GetCurrentFileTime(), "*/banner/*", "http://x.example/banner/top.gif", ""});
    settings.AdLog.Add({GetCurrentFileTime(), "*doubleclick.", "http://ad.doubleclick.net/img.png", ""});
    GetPopupAllowList().Clear();

    CBlockedHistoryWindow* window = ShowBlockedHistoryWindow(nullptr, 0);
    ASSERT_TRUE(window);
    EXPECT_EQ(window, ShowBlockedHistoryWindow(nullptr, 1));  // one window
    EXPECT_EQ(window->GetSelectedTab(), 1);
    window->SelectTab(0);
    HWND popups = window->GetList(true);
    ASSERT_EQ(ListView_GetItemCount(popups), 2);
    // Newest first: the dialog is row 0, with its title in "Rules" and an empty "From URL".
    EXPECT_EQ(RowText(popups, 0, 1), "Web Page Dialog");
    EXPECT_EQ(RowText(popups, 0, 2), "");
    EXPECT_EQ(RowText(popups, 1, 3), "http://popup.example/ad");
    EXPECT_EQ(RowText(popups, 1, 0), FormatBlockedTime(settings.PopupLog.GetAt(0).time));
    EXPECT_EQ(RowText(popups, 5, 1), "");  // beyond the log: nothing

    // A new block shows at once, in the first row.
    RecordPopupBlocked(nullptr, "Popup", "http://late.example/", "http://late-popup.example/");
    ASSERT_EQ(ListView_GetItemCount(popups), 3);
    EXPECT_EQ(RowText(popups, 0, 2), "http://late.example/");

    // Allow the opener's site of the story row (row 2 now), twice: added once.
    ListView_SetItemState(popups, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(window->RunCommand(ID_POPUP_LOG_ALLOW));
    EXPECT_TRUE(window->RunCommand(ID_POPUP_LOG_ALLOW));
    EXPECT_EQ(GetPopupAllowList().GetSites(), std::vector<std::string>{"news.example.com/story"});
    EXPECT_TRUE(GetPopupAllowList().IsSiteAllowed("http://news.example.com/story/2.html"));

    // Export as text, oldest first.
    const std::string path = KivoTestScratchFolder() + "popups.log";
    ASSERT_TRUE(window->SaveLogText(true, path.c_str()));
    EXPECT_EQ(ReadFileText(path), FormatBlockedLogText(settings.PopupLog, true));
    EXPECT_LT(ReadFileText(path).find("news.example.com"), ReadFileText(path).find("late.example"));

    // The grid of one list leaves the other alone.
    EXPECT_TRUE(window->RunCommand(ID_AD_LOG_GRID));
    EXPECT_TRUE(settings.ViewFlags & ViewFlag::AdLogGrid);
    EXPECT_FALSE(settings.ViewFlags & ViewFlag::PopupLogGrid);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(window->GetList(false)) & LVS_EX_GRIDLINES);
    EXPECT_FALSE(ListView_GetExtendedListViewStyle(popups) & LVS_EX_GRIDLINES);

    std::string shot;
    window->SetWindowPos(nullptr, 20, 20, 900, 260, SWP_NOZORDER);
    ::UpdateWindow(window->m_hWnd);
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(window->m_hWnd, "blocked-log-popups.bmp", shot));
    window->SelectTab(1);
    ::UpdateWindow(window->m_hWnd);
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(window->m_hWnd, "blocked-log-ads.bmp", shot));

    // Delete the selected ad row (newest first: row 0 is the doubleclick entry), then clear.
    HWND ads = window->GetList(false);
    ListView_SetItemState(ads, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(window->RunCommand(ID_AD_LOG_DELETE));
    ASSERT_EQ(settings.AdLog.GetCount(), 1);
    EXPECT_EQ(settings.AdLog.GetAt(0).text1, "*/banner/*");
    EXPECT_TRUE(window->RunCommand(ID_AD_LOG_CLEAR));
    EXPECT_EQ(ListView_GetItemCount(ads), 0);
    EXPECT_EQ(settings.PopupLog.GetCount(), 3);
    DestroyBlockedHistoryWindow();
    EXPECT_EQ(GetBlockedHistoryWindow(), nullptr);
    // Made again after its end, it works as before.
    window = ShowBlockedHistoryWindow(nullptr, 1);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->GetSelectedTab(), 1);
    DestroyBlockedHistoryWindow();
    EXPECT_EQ(GetBlockedHistoryWindow(), nullptr);
    GetPopupAllowList().Clear();
    GetPopupAllowList().m_modified = false;
}

TEST(SegmentCounterLabel, GlyphsRepaintsAndPicture)
{
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 30, 30, 420, 120, nullptr, nullptr, nullptr, nullptr);
    HWND counter = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 400, 50, parent, nullptr, nullptr, nullptr);
    HWND text = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 65, 400, 50, parent, nullptr, nullptr, nullptr);
    CShapeLabelWnd label;
    CShapeLabelWnd letters;
    ASSERT_TRUE(label.SubclassWindow(counter));
    ASSERT_TRUE(letters.SubclassWindow(text));
    label.SetNumber(0);
    EXPECT_EQ(label.GetGlyphCount(), 1u);
    label.SetNumber(1234567890);
    EXPECT_EQ(label.GetGlyphCount(), 10u);
    ::UpdateWindow(counter);
    label.SetNumber(1234567890);  // the same number: nothing to repaint
    EXPECT_FALSE(::GetUpdateRect(counter, nullptr, FALSE));
    label.SetNumber(42);
    EXPECT_TRUE(::GetUpdateRect(counter, nullptr, FALSE));
    letters.SetText("ad-filter: #12.5");  // "#" has no glyph
    EXPECT_EQ(letters.GetGlyphCount(), 15u);
    letters.SetStyle(ShapeLabelStyle::Default | ShapeLabelStyle::FourteenSegmentDigits);
    ::UpdateWindow(parent);
    ::RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    kivo_test::CPixels pixels;
    std::string shot;
    ASSERT_TRUE(kivo_test::WriteWindowScreenshot(parent, "segment-counter.bmp", shot, &pixels));
    // Lit green appears, and the black background.
    int lit = 0;
    for (int y = 0; y < pixels.info.biHeight; ++y)
        for (int x = 0; x < pixels.info.biWidth; ++x)
            lit += pixels.At(x, y) == RGB(0, 0xFF, 0);
    EXPECT_GT(lit, 200);
    // Shaped with the unlit segments hidden: the region holds the lit segments only.
    label.SetStyle(ShapeLabelStyle::Default | ShapeLabelStyle::HideUnlit);
    label.SetShaped(true);
    ::UpdateWindow(counter);
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(::GetWindowRgn(counter, region), ERROR);
    RECT box = {};
    EXPECT_NE(region.GetRgnBox(&box), NULLREGION);
    EXPECT_FALSE(::GetUpdateRect(counter, nullptr, FALSE));  // setting the region did not ask for another paint
    label.UnsubclassWindow();
    letters.UnsubclassWindow();
    ::DestroyWindow(parent);
}

}  // namespace
