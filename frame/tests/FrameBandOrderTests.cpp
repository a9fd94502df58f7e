// The frame's rebar in a new profile: the bands stand in their order, those that begin a row of
// their own do so, and each band's toggle in the View > Toolbars menu hides and shows that band
// only. And the main menu's built popups: the encodings with their separators, the default items
// of Help and Options.
#include "frame/MainFrame.h"

#include "frame/FrameResources.h"
#include "frame/tests/FrameTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace frame_test;

namespace {

struct CBandLook {
    UINT id = 0;
    bool newRow = false;
    bool visible = false;
    bool operator==(const CBandLook&) const = default;
};

void PrintTo(const CBandLook& band, std::ostream* out)
{
    *out << band.id << (band.newRow ? " new row" : "") << (band.visible ? "" : " hidden");
}

std::vector<CBandLook> Bands(HWND rebar)
{
    std::vector<CBandLook> bands;
    const int count = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_ID | RBBIM_STYLE;
        if (!SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        bands.push_back({band.wID, (band.fStyle & RBBS_BREAK) != 0, (band.fStyle & RBBS_HIDDEN) == 0});
    }
    return bands;
}

std::vector<std::string> ItemTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

HMENU Popup(HMENU menu, const char* text)
{
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char item[128] = {};
        GetMenuStringA(menu, i, item, sizeof(item), MF_BYPOSITION);
        if (std::string(item) == text)
            return GetSubMenu(menu, i);
    }
    return nullptr;
}

} // namespace

TEST(FrameBandOrder, ANewProfilesBandsStandInTheirOrderWithTheirRowsAndEachToggleMovesOnlyItsBand)
{
    ResetFrameSettings();
    ResetFrameLayout();
    CTestFrame test;
    ASSERT_TRUE(test.Window());
    const HWND rebar = test.Frame().GetReBar();
    ASSERT_TRUE(rebar);

    // The menu bar has the first row to itself; the system toolbar, the address, links, search and
    // form-filler bands each begin a row, and the plug-ins bar follows the links bar.
    const std::vector<CBandLook> expected = {
        {ID_BAND_COMMAND_BAR, false, true},    {ID_BAND_SYSTEM_TOOLBAR, true, true},
        {ID_BAND_ADDRESS_BAR, true, true},     {ID_BAND_LINKS_BAR, true, true},
        {ID_BAND_PLUGINS_BAR, false, true},    {ID_BAND_SEARCH_BAR, true, true},
        {ID_BAND_FORM_FILLER, true, true},
    };
    const std::vector<CBandLook> fresh = Bands(rebar);
    EXPECT_EQ(fresh, expected);

    const struct {
        UINT command;
        UINT band;
    } toggles[] = {
        {ID_FRAME_TOGGLE_SYSTEM_BAR, ID_BAND_SYSTEM_TOOLBAR}, {ID_FRAME_TOGGLE_ADDRESS_BAR, ID_BAND_ADDRESS_BAR},
        {ID_FRAME_TOGGLE_LINKS_BAR, ID_BAND_LINKS_BAR},       {ID_FRAME_TOGGLE_PLUGINS_BAR, ID_BAND_PLUGINS_BAR},
        {ID_FRAME_TOGGLE_SEARCH_BAR, ID_BAND_SEARCH_BAR},
    };
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.command);
        std::vector<CBandLook> hidden = fresh;
        for (CBandLook& band : hidden) {
            if (band.id == toggle.band)
                band.visible = false;
        }
        SendMessageA(test.Window(), WM_COMMAND, toggle.command, 0);
        EXPECT_EQ(Bands(rebar), hidden);
        SendMessageA(test.Window(), WM_COMMAND, toggle.command, 0);
        EXPECT_EQ(Bands(rebar), fresh);
    }
    test.Close();
    TakeQuitCode();
    ResetFrameSettings();
    ResetFrameLayout();
}

TEST(FrameMainMenu, TheEncodingPopupIsBuiltAndHelpAndOptionsHaveTheirDefaultItems)
{
    ResetFrameSettings();
    CTestFrame test;
    ASSERT_TRUE(test.Window());
    HMENU menu = test.Frame().GetMenuBarMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(ItemTexts(menu), (std::vector<std::string>{"&File", "&Edit", "&View", "F&avorites", "&Groups", "&Tools",
                                                         "&Options", "&Window", "&Help"}));

    HMENU encoding = Popup(Popup(menu, "&View"), "Enco&ding");
    ASSERT_TRUE(encoding);
    const std::vector<std::string> items = ItemTexts(encoding);
    ASSERT_EQ(items.size(), 23u);
    EXPECT_EQ(items[0], "Auto-Select");
    EXPECT_EQ(items[2], "Unicode (UTF-8)");
    EXPECT_EQ(GetMenuState(encoding, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(encoding, 8, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(items[22], "Vietnamese (Windows)");
    EXPECT_EQ(GetMenuItemID(encoding, 0), static_cast<UINT>(ID_FRAME_ENCODING_FIRST));
    EXPECT_EQ(GetMenuItemID(encoding, 22), static_cast<UINT>(ID_FRAME_ENCODING_LAST));

    EXPECT_EQ(GetMenuDefaultItem(Popup(menu, "&Help"), FALSE, 0), static_cast<UINT>(ID_FRAME_DONATE));
    EXPECT_EQ(GetMenuDefaultItem(Popup(menu, "&Options"), FALSE, 0), static_cast<UINT>(ID_FRAME_OPTIONS));
    test.Close();
    TakeQuitCode();
    ResetFrameSettings();
}
