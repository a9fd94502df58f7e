// The blocker side panel under Wine with real windows: the two pages in their containers, the
// counter titles as group captions, collapsing and expanding a group, the frame's check-box
// operations and "Advanced Settings...". Screenshot: blocker-side-panel.bmp.
#include "browser/filter/BlockerPages.h"
#include "browser/filter/BlockerSidePanel.h"
#include "browser/filter/tests/FilterTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "controls/widgets/BlockerOptionsContainer.h"
#include "core/app/Settings.h"
#include "frame/BlockedContent.h"

#include "frame/tests/RecordingFrameShell.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using filter_test::PumpUntil;

// The settings the panel reads and writes, put back afterwards.
class CScopedPanelSettings {
public:
    CScopedPanelSettings()
    {
        CSettings& settings = *GetSettings();
        m_blocker = settings.BlockerFlags;
        m_view = settings.ViewFlags;
        m_popups = settings.BlockedPopup;
        m_ads = settings.BlockedContent;
    }
    ~CScopedPanelSettings()
    {
        CSettings& settings = *GetSettings();
        settings.BlockerFlags = m_blocker;
        settings.ViewFlags = m_view;
        settings.BlockedPopup = m_popups;
        settings.BlockedContent = m_ads;
        settings.PopupLog.Clear();
        settings.AdLog.Clear();
    }
    CScopedPanelSettings(const CScopedPanelSettings&) = delete;
    CScopedPanelSettings& operator=(const CScopedPanelSettings&) = delete;

private:
    DWORD m_blocker = 0;
    DWORD m_view = 0;
    DWORD m_popups = 0;
    DWORD m_ads = 0;
};

// A top-level window that the panel fills, as the frame's side pane would.
class CPanelHost {
public:
    CPanelHost()
    {
        m_window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 560, 880, nullptr,
                                     nullptr, nullptr, nullptr);
        m_panel = CreateBlockerSidePanel(m_window);
    }
    ~CPanelHost() { ::DestroyWindow(m_window); }
    CPanelHost(const CPanelHost&) = delete;
    CPanelHost& operator=(const CPanelHost&) = delete;
    HWND m_window;
    HWND m_panel;
};

bool Checked(HWND page, int id)
{
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
}

bool Enabled(HWND page, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE;
}

// The page's top in its container's client coordinates: the bottom of the group's header band.
RECT PageRectInParent(HWND page)
{
    RECT rect = {};
    ::GetWindowRect(page, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(page), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TopInPanel(HWND child, HWND panel)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
    return rect.top;
}

// A click on the header band of the container's only group, x pixels from the band's right end
// (the glyph's toggle zone is the rightmost 30 pixels; the margin is 10).
void ClickHeader(HWND container, int fromRight, UINT message)
{
    HWND page = ::GetWindow(container, GW_CHILD);
    RECT client = {};
    ::GetClientRect(container, &client);
    const int x = client.right - 10 - fromRight;
    const int y = PageRectInParent(page).top - 6;
    ::SendMessageA(container, message, MK_LBUTTON, MAKELPARAM(x, y));
}

TEST(BlockerSidePanel, ShowsBothPagesWithTheirCountersAsCaptionsAndFollowsEachBlock)
{
    CScopedPanelSettings scoped;
    frame_test::CRecordingShell sounds;
    CScopedFrameShell scopedSounds(sounds);
    CSettings& settings = *GetSettings();
    settings.BlockedPopup = 41;
    settings.BlockedContent = 7;
    CPanelHost host;
    ASSERT_TRUE(host.m_panel);
    HWND popupPage = GetBlockerPanelPage(host.m_panel, true);
    HWND adPage = GetBlockerPanelPage(host.m_panel, false);
    ASSERT_TRUE(popupPage && adPage);
    EXPECT_EQ(::GetParent(popupPage), GetBlockerPanelContainer(host.m_panel, true));
    EXPECT_EQ(::GetParent(adPage), GetBlockerPanelContainer(host.m_panel, false));
    EXPECT_TRUE(::GetDlgItem(popupPage, IDC_POPUP_ENABLE));
    EXPECT_TRUE(::GetDlgItem(adPage, IDC_AD_ENABLE));
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, true), "Popup - 41 blocked");
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, false), "Ad-Filter - 7 blocked");
    // The ad container starts below the whole popup page.
    EXPECT_GE(TopInPanel(GetBlockerPanelContainer(host.m_panel, false), host.m_panel),
              PageRectInParent(popupPage).bottom);

    RecordPopupBlocked(nullptr, "Popup", "http://opener.example/", "http://popup.example/");
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, true), "Popup - 42 blocked");
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, false), "Ad-Filter - 7 blocked");
    RecordAdBlocked("*ads*", "http://ads.example/banner.gif");
    RecordAdBlocked("*ads*", "http://ads.example/banner2.gif");
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, false), "Ad-Filter - 9 blocked");

    // A counter changed behind the pages' backs shows after the frame's refresh.
    settings.BlockedPopup = 100;
    settings.BlockedContent = 200;
    RefreshPopupBlockerPanel(host.m_panel);
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, true), "Popup - 100 blocked");
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, false), "Ad-Filter - 9 blocked");
    RefreshAdFilterPanel(host.m_panel);
    EXPECT_EQ(GetBlockerPanelCaption(host.m_panel, false), "Ad-Filter - 200 blocked");

    ::RedrawWindow(host.m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(host.m_window, "blocker-side-panel.bmp", path));
}

TEST(BlockerSidePanel, AGroupCollapsesAndExpandsFromItsHeaderAndKeepsItsStateInTheSettings)
{
    CScopedPanelSettings scoped;
    CSettings& settings = *GetSettings();
    settings.ViewFlags |= kPopupBlockerGroupExpandedFlag | kAdFilterGroupExpandedFlag;
    {
        CPanelHost host;
        ASSERT_TRUE(host.m_panel);
        HWND popupContainer = GetBlockerPanelContainer(host.m_panel, true);
        HWND adContainer = GetBlockerPanelContainer(host.m_panel, false);
        HWND popupPage = GetBlockerPanelPage(host.m_panel, true);
        ASSERT_TRUE(::IsWindowVisible(popupPage));
        const int adTopExpanded = TopInPanel(adContainer, host.m_panel);

        // A single click away from the glyph only selects the group.
        ClickHeader(popupContainer, 200, WM_LBUTTONDOWN);
        EXPECT_TRUE(::IsWindowVisible(popupPage));
        // At the glyph it collapses: the page goes and the ad container moves up under the header.
        ClickHeader(popupContainer, 12, WM_LBUTTONDOWN);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(popupPage); }));
        EXPECT_TRUE(PumpUntil([&] { return TopInPanel(adContainer, host.m_panel) < adTopExpanded; }));
        EXPECT_LT(TopInPanel(adContainer, host.m_panel), adTopExpanded - 100);

        // A double click anywhere on the header expands it again.
        ClickHeader(popupContainer, 200, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(PumpUntil([&] {
            return ::IsWindowVisible(popupPage) && TopInPanel(adContainer, host.m_panel) == adTopExpanded;
        }));

        // The ad group collapsed is what the settings keep when the panel goes.
        HWND adPage = GetBlockerPanelPage(host.m_panel, false);
        ClickHeader(adContainer, 12, WM_LBUTTONDOWN);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(adPage); }));
    }
    EXPECT_TRUE(settings.ViewFlags & kPopupBlockerGroupExpandedFlag);
    EXPECT_FALSE(settings.ViewFlags & kAdFilterGroupExpandedFlag);

    // A new panel starts with the stored states.
    CPanelHost again;
    ASSERT_TRUE(again.m_panel);
    EXPECT_TRUE(::IsWindowVisible(GetBlockerPanelPage(again.m_panel, true)));
    EXPECT_FALSE(::IsWindowVisible(GetBlockerPanelPage(again.m_panel, false)));
}

TEST(BlockerSidePanel, TheFramesCheckOperationsSetTheBoxesAndTheControlsFollow)
{
    CScopedPanelSettings scoped;
    GetSettings()->BlockerFlags = 0x5002;  // popups and dialogs blocked, ad filter off
    CPanelHost host;
    ASSERT_TRUE(host.m_panel);
    HWND popupPage = GetBlockerPanelPage(host.m_panel, true);
    HWND adPage = GetBlockerPanelPage(host.m_panel, false);
    EXPECT_TRUE(Checked(popupPage, IDC_POPUP_ENABLE));
    EXPECT_TRUE(Checked(popupPage, IDC_DIALOG_ENABLE));
    EXPECT_FALSE(Checked(adPage, IDC_AD_ENABLE));
    EXPECT_FALSE(Enabled(adPage, IDC_AD_ADD));

    struct Case {
        const char* name;
        void (*set)(HWND, bool);
        bool state;
        bool popup;
        int box;
        int follower;  // a control enabled exactly while the box is checked; 0: none
    };
    const Case cases[] = {
        {"popup blocker off", SetPopupBlockerPanelCheck, false, true, IDC_POPUP_ENABLE, IDC_POPUP_ADD},
        {"popup blocker on", SetPopupBlockerPanelCheck, true, true, IDC_POPUP_ENABLE, IDC_POPUP_ADD},
        {"dialog blocker off", SetDialogBlockerPanelCheck, false, true, IDC_DIALOG_ENABLE, 0},
        {"dialog blocker on", SetDialogBlockerPanelCheck, true, true, IDC_DIALOG_ENABLE, 0},
        {"ad filter on", SetAdFilterPanelCheck, true, false, IDC_AD_ENABLE, IDC_AD_ADD},
        {"ad filter off", SetAdFilterPanelCheck, false, false, IDC_AD_ENABLE, IDC_AD_ADD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set(host.m_panel, c.state);
        HWND page = c.popup ? popupPage : adPage;
        EXPECT_EQ(Checked(page, c.box), c.state);
        if (c.follower) {
            EXPECT_EQ(Enabled(page, c.follower), c.state);
        }
    }
    // The boxes only show the flags: the frame's toggle commands write them.
    EXPECT_EQ(GetSettings()->BlockerFlags, 0x5002u);

    // A handle that is no panel is left alone.
    for (HWND other : {host.m_window, popupPage, static_cast<HWND>(nullptr)}) {
        SetAdFilterPanelCheck(other, true);
        RefreshAdFilterPanel(other);
        EXPECT_EQ(GetBlockerPanelPage(other, true), nullptr);
        EXPECT_EQ(GetBlockerPanelCaption(other, true), "");
    }
    EXPECT_FALSE(Checked(adPage, IDC_AD_ENABLE));
    EXPECT_EQ(CreateBlockerSidePanel(nullptr), nullptr);
}

class CRecordingOpener : public IBlockerOptionsOpener {
public:
    void OpenOptionsPage(HWND owner, int pageId) override
    {
        m_owners.push_back(owner);
        m_pages.push_back(pageId);
    }
    std::vector<HWND> m_owners;
    std::vector<int> m_pages;
};

TEST(BlockerSidePanel, AdvancedSettingsOpensTheAdvancedPageOnlyFromThePanel)
{
    CScopedPanelSettings scoped;
    CRecordingOpener opener;
    IBlockerOptionsOpener* previous = SetBlockerOptionsOpener(&opener);
    {
        CPanelHost host;
        ASSERT_TRUE(host.m_panel);
        for (auto [popup, button] : {std::pair{true, IDC_POPUP_ADVANCED}, std::pair{false, IDC_AD_ADVANCED}}) {
            HWND page = GetBlockerPanelPage(host.m_panel, popup);
            ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, button)));
        }
        EXPECT_EQ(opener.m_pages, (std::vector<int>{IDD_POPUP_ADVANCED, IDD_AD_ADVANCED}));
        // Without a frame the dialog is modal over the panel's top-level window.
        EXPECT_EQ(opener.m_owners, (std::vector<HWND>{host.m_window, host.m_window}));

        // The same page on its own (as inside the Options dialog) has no container: nothing opens.
        CPopupBlockerPage alone;
        ASSERT_TRUE(alone.Create(host.m_window));
        EXPECT_FALSE(alone.IsInContainer());
        alone.SendMessageA(WM_COMMAND, MAKEWPARAM(IDC_POPUP_ADVANCED, BN_CLICKED),
                           reinterpret_cast<LPARAM>(alone.GetDlgItem(IDC_POPUP_ADVANCED)));
        EXPECT_EQ(opener.m_pages.size(), 2u);
        alone.DestroyWindow();
    }
    SetBlockerOptionsOpener(previous);
}

}  // namespace
