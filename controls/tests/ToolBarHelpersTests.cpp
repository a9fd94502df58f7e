// The toolbar and rebar helpers on real toolbars in a rebar in a hidden parent: the user's button
// order and the band layout through the settings store (an in-memory one, and the registry store
// on the test run's private key), damaged stored layouts, and the band helpers.
#include "FakeSettingsStore.h"
#include "controls/CommandImageManager.h"
#include "controls/ToolBarHelpers.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kSection[] = "Settings";
constexpr char kValue[] = "ToolBar";

constexpr ToolBarButtonInfo kTable[] = {
    {STD_FILENEW, 201, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {STD_FILEOPEN, 202, TBSTATE_ENABLED, BTNS_DROPDOWN, 1, 0},
    {STD_FILESAVE, 203, TBSTATE_ENABLED, BTNS_BUTTON, 0, 0},
    {STD_PRINT, 204, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
    {STD_FIND, 205, TBSTATE_ENABLED, BTNS_BUTTON, 1, 0},
};
constexpr int kCount = 5;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A parent with a rebar across its top.
class CBarHost {
public:
    explicit CBarHost(bool visible = false, int width = 500, int height = 120)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KivoToolBarTestParent";
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassA(&wc);  // fails harmlessly when a former test registered it
        m_parent = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "bars",
                                   WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0, 0, width, height,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        m_reBar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT |
                                      RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                                  0, 0, width, 30, m_parent, nullptr, wc.hInstance, nullptr);
        REBARINFO info = {};
        info.cbSize = sizeof(info);
        SendMessageA(m_reBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
    ~CBarHost()
    {
        if (m_parent)
            DestroyWindow(m_parent);
    }
    CBarHost(const CBarHost&) = delete;
    CBarHost& operator=(const CBarHost&) = delete;

    HWND Parent() const { return m_parent; }
    HWND ReBar() const { return m_reBar; }

    // A flat toolbar in the rebar with the standard small images and the given buttons.
    HWND AddToolBar(const std::vector<TBBUTTON>& buttons, bool list = false)
    {
        HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN | (list ? TBSTYLE_LIST : 0),
                                   0, 0, 200, 24, m_reBar, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
        SendMessageA(bar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
        if (!buttons.empty())
            SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
        SendMessageA(bar, TB_AUTOSIZE, 0, 0);
        return bar;
    }

private:
    HWND m_parent = nullptr;
    HWND m_reBar = nullptr;
};

std::vector<TBBUTTON> Buttons(const std::vector<int>& ids)
{
    std::vector<TBBUTTON> buttons;
    BuildToolBarButtons(buttons, ids, kCount, kTable);
    return buttons;
}

// The toolbar's buttons as "id" per button, "|" for a separator.
std::string DescribeToolBar(HWND bar)
{
    std::string text;
    const int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b = {};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        if (!text.empty())
            text += ' ';
        text += (b.fsStyle & BTNS_SEP) ? std::string("|") : std::to_string(b.idCommand);
    }
    return text;
}

void ClearToolBar(HWND bar)
{
    while (SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageA(bar, TB_DELETEBUTTON, 0, 0);
}

REBARBANDINFOA BandInfo(HWND reBar, int index, UINT mask)
{
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = mask;
    SendMessageA(reBar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
    return band;
}

// The band ids from left to right.
std::vector<UINT> BandIds(HWND reBar)
{
    std::vector<UINT> ids;
    const int count = static_cast<int>(SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        ids.push_back(BandInfo(reBar, i, RBBIM_ID).wID);
    return ids;
}

// A plain window as a band's child.
HWND AddPlainChild(HWND reBar, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, reBar, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(ToolBarLayoutStore, TheUsersButtonOrderSurvivesSaveAndReload)
{
    CBarHost host;
    CFakeSettingsStore store;
    HWND bar = host.AddToolBar(Buttons({}));
    EXPECT_EQ(DescribeToolBar(bar), "201 202 204 205");
    // The user moves the search button to the front, adds a separator and the save button.
    SendMessageA(bar, TB_MOVEBUTTON, 3, 0);
    const TBBUTTON separator = Buttons({0, 201})[0];
    SendMessageA(bar, TB_INSERTBUTTONA, 1, reinterpret_cast<LPARAM>(&separator));
    const TBBUTTON save = Buttons({203})[0];
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&save));
    const std::string arranged = DescribeToolBar(bar);
    EXPECT_EQ(arranged, "205 | 201 202 204 203");
    ASSERT_TRUE(SaveToolBarLayout(bar, kSection, kValue, &store));

    // The next start builds the toolbar from the stored order.
    ClearToolBar(bar);
    std::vector<int> ids;
    ASSERT_TRUE(LoadToolBarLayout(ids, kSection, kValue, &store));
    EXPECT_EQ(ids, (std::vector<int>{205, 0, 201, 202, 204, 203}));
    const std::vector<TBBUTTON> buttons = Buttons(ids);
    SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    EXPECT_EQ(DescribeToolBar(bar), arranged);
}

TEST(ToolBarLayoutStore, TheRegistryStoreKeepsTheOrderToo)
{
    // HKEY_CURRENT_USER is the test run's own key; these names keep to a key of this test.
    CRegistrySettingsStore store("KivoBrowserTests", "ToolBarHelpers");
    CBarHost host;
    HWND bar = host.AddToolBar(Buttons({204, 0, 203, 201}));
    ASSERT_TRUE(SaveToolBarLayout(bar, kSection, kValue, &store));
    std::vector<int> ids;
    ASSERT_TRUE(LoadToolBarLayout(ids, kSection, kValue, &store));
    EXPECT_EQ(ids, (std::vector<int>{204, 0, 203, 201}));
    store.WriteBinary(kSection, kValue, nullptr, 0);
}

TEST(ToolBarLayoutStore, AMissingOrDamagedOrderGivesTheDefaultButtons)
{
    struct Case {
        const char* what;
        bool present;
        std::vector<BYTE> data;
    } cases[] = {
        {"never saved", false, {}},
        {"truncated", true, {3, 0, 0, 0, 205, 0, 0, 0, 0}},
        {"a huge count", true, {0xFF, 0xFF, 0xFF, 0x7F, 205, 0, 0, 0}},
        {"another format", true, {'b', 'a', 'n', 'd', '0'}},
        {"only commands this version does not have", true, EncodeToolBarOrder({900, 0, 901})},
    };
    for (const Case& c : cases) {
        CFakeSettingsStore store;
        if (c.present)
            store.WriteBinary(kSection, kValue, c.data);
        std::vector<int> ids = {1};
        LoadToolBarLayout(ids, kSection, kValue, &store);
        CBarHost host;
        HWND bar = host.AddToolBar(Buttons(ids));
        EXPECT_EQ(DescribeToolBar(bar), "201 202 204 205") << c.what;
    }
}

TEST(ToolBarLayoutStore, ACommandTheProgramNoLongerHasIsDropped)
{
    CFakeSettingsStore store;
    store.WriteBinary(kSection, kValue, EncodeToolBarOrder({202, 999, 0, 201}));
    std::vector<int> ids;
    ASSERT_TRUE(LoadToolBarLayout(ids, kSection, kValue, &store));
    CBarHost host;
    EXPECT_EQ(DescribeToolBar(host.AddToolBar(Buttons(ids))), "202 | 201");
}

TEST(ReBarBands, AddedBandsAreNumberedAndSizedFromTheirChild)
{
    CBarHost host;
    HWND first = host.AddToolBar(Buttons({201, 202, 204}));
    ASSERT_TRUE(AddReBarBand(host.ReBar(), first, 0, nullptr, nullptr, false, 0, false));
    HWND plain = AddPlainChild(host.ReBar(), 120, 22);
    ASSERT_TRUE(AddReBarBand(host.ReBar(), plain, 0, "Title", nullptr, true, 0, true));
    EXPECT_EQ(BandIds(host.ReBar()), (std::vector<UINT>{0xEB00, 0xEB01}));

    const int lastEdge = GetToolBarButtonsWidth(first);
    EXPECT_GT(lastEdge, 0);
    RECT firstButton = {};
    RECT lastButton = {};
    SendMessageA(first, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstButton));
    SendMessageA(first, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&lastButton));
    const auto bar = BandInfo(host.ReBar(), 0, RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE | RBBIM_CHILD);
    EXPECT_EQ(bar.hwndChild, first);
    EXPECT_TRUE(bar.fStyle & RBBS_USECHEVRON);
    EXPECT_FALSE(bar.fStyle & RBBS_BREAK);
    EXPECT_EQ(bar.cxIdeal, static_cast<UINT>(lastEdge));
    EXPECT_EQ(bar.cxMinChild, static_cast<UINT>(firstButton.right));
    EXPECT_EQ(bar.cyMinChild, static_cast<UINT>(lastButton.bottom - lastButton.top));
    // The extended style keeps what the toolbar had and hides clipped buttons.
    const DWORD extended = static_cast<DWORD>(SendMessageA(first, TB_GETEXTENDEDSTYLE, 0, 0));
    EXPECT_TRUE(extended & TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    EXPECT_TRUE(extended & TBSTYLE_EX_DRAWDDARROWS);

    const auto other = BandInfo(host.ReBar(), 1, RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE);
    EXPECT_FALSE(other.fStyle & RBBS_USECHEVRON);
    EXPECT_TRUE(other.fStyle & RBBS_BREAK);
    EXPECT_EQ(other.cxIdeal, 120u);
    EXPECT_EQ(other.cxMinChild, 120u);  // full width
    EXPECT_EQ(other.cyMinChild, 22u);
}

TEST(ReBarBands, ANumberedBandGoesBeforeItsSuccessorAndSqueezesItsPredecessor)
{
    CBarHost host;
    HWND a = AddPlainChild(host.ReBar(), 100, 20);
    HWND c = AddPlainChild(host.ReBar(), 100, 20);
    HWND b = AddPlainChild(host.ReBar(), 80, 20);
    ASSERT_TRUE(AddReBarBand(host.ReBar(), a, 0xEB00, nullptr, nullptr, false, 150, false));
    // The first band's width is its own: it neither goes before another band nor resizes one.
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_SIZE).cx, 150u);
    ASSERT_TRUE(AddReBarBand(host.ReBar(), c, 0xEB02, nullptr, nullptr, false, 100, false));
    ASSERT_TRUE(AddReBarBand(host.ReBar(), b, 0xEB01, nullptr, nullptr, false, 80, false));
    EXPECT_EQ(BandIds(host.ReBar()), (std::vector<UINT>{0xEB00, 0xEB01, 0xEB02}));
    RECT client = {};
    GetClientRect(host.ReBar(), &client);
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_SIZE).cx, static_cast<UINT>(client.right - 80));
    EXPECT_EQ(GetReBarBandChild(host.ReBar(), 0xEB01), b);
    EXPECT_EQ(GetReBarBandChild(host.ReBar(), 0xEBFF), nullptr);
}

TEST(ReBarBands, ShowHideAndToggleFollowTheHiddenStyle)
{
    CBarHost host;
    ASSERT_TRUE(AddReBarBand(host.ReBar(), AddPlainChild(host.ReBar(), 100, 20), 0, nullptr, nullptr, false, 0, false));
    const UINT id = 0xEB00;
    EXPECT_TRUE(IsReBarBandVisible(host.ReBar(), id));
    EXPECT_FALSE(ToggleReBarBand(host.ReBar(), id));
    EXPECT_FALSE(IsReBarBandVisible(host.ReBar(), id));
    EXPECT_TRUE(ToggleReBarBand(host.ReBar(), id));  // a hidden band is shown
    EXPECT_TRUE(IsReBarBandVisible(host.ReBar(), id));
    ShowReBarBand(host.ReBar(), id, true);
    EXPECT_TRUE(IsReBarBandVisible(host.ReBar(), id));
    ShowReBarBand(host.ReBar(), id, false);
    EXPECT_FALSE(IsReBarBandVisible(host.ReBar(), id));
    // Unknown ids and windows answer false and change nothing.
    EXPECT_FALSE(IsReBarBandVisible(host.ReBar(), 0x1234));
    EXPECT_FALSE(ToggleReBarBand(host.ReBar(), 0x1234));
    ShowReBarBand(host.ReBar(), 0x1234, true);
    EXPECT_FALSE(IsReBarBandVisible(nullptr, id));
}

TEST(ReBarBands, BandsFollowTheirToolBarsSize)
{
    CBarHost host;
    HWND bar = host.AddToolBar(Buttons({201, 202}));
    ASSERT_TRUE(AddReBarBand(host.ReBar(), bar, 0, nullptr, nullptr, false, 0, false));
    const TBBUTTON more[] = {Buttons({204})[0], Buttons({205})[0]};
    SendMessageA(bar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(more));
    SizeBandToToolBar(bar);
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_IDEALSIZE).cxIdeal, static_cast<UINT>(GetToolBarButtonsWidth(bar)));
    ASSERT_TRUE(UpdateBandMinSize(bar));
    RECT firstButton = {};
    SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstButton));
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_CHILDSIZE).cxMinChild, static_cast<UINT>(firstButton.right));
    // Without buttons the ideal and minimum widths are 0.
    ClearToolBar(bar);
    EXPECT_EQ(GetToolBarButtonsWidth(bar), 0);
    SizeBandToToolBar(bar);
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_IDEALSIZE).cxIdeal, 0u);
    ASSERT_TRUE(UpdateBandMinSize(bar));
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_CHILDSIZE).cxMinChild, 0u);
    // A toolbar that no band holds.
    HWND loose = host.AddToolBar(Buttons({201}));
    EXPECT_FALSE(UpdateBandMinSize(loose));
}

TEST(ReBarBands, BackgroundBitmapsAreSetAndRemoved)
{
    CBarHost host;
    HWND bar = host.AddToolBar(Buttons({201}));
    ASSERT_TRUE(AddReBarBand(host.ReBar(), bar, 0, nullptr, nullptr, false, 0, false));
    ASSERT_TRUE(AddReBarBand(host.ReBar(), AddPlainChild(host.ReBar(), 50, 20), 0, nullptr, nullptr, false, 0, false));
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    SetReBarBandsBackground(host.ReBar(), bitmap);
    EXPECT_EQ(BandInfo(host.ReBar(), 0, RBBIM_BACKGROUND).hbmBack, bitmap);
    EXPECT_EQ(BandInfo(host.ReBar(), 1, RBBIM_BACKGROUND).hbmBack, bitmap);
    SetReBarBandsBackground(host.ReBar(), nullptr);
    EXPECT_EQ(BandInfo(host.ReBar(), 1, RBBIM_BACKGROUND).hbmBack, nullptr);
    DeleteObject(bitmap);
}

namespace {

// Three bands: two toolbars and a plain window.
struct CThreeBands {
    CBarHost host;
    HWND children[3] = {};

    CThreeBands()
    {
        children[0] = host.AddToolBar(Buttons({201, 202}));
        children[1] = host.AddToolBar(Buttons({204, 205}));
        children[2] = AddPlainChild(host.ReBar(), 90, 22);
        for (HWND child : children)
            AddReBarBand(host.ReBar(), child, 0, nullptr, nullptr, false, 0, false);
    }
    // "id:width:style" per band, left to right, with each band's child checked.
    std::string Describe() const
    {
        std::string text;
        const int count = static_cast<int>(SendMessageA(host.ReBar(), RB_GETBANDCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const auto band = BandInfo(host.ReBar(), i, RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE | RBBIM_CHILD);
            char item[64];
            snprintf(item, sizeof(item), "%X:%u:%X%s ", band.wID, band.cx, band.fStyle,
                     band.hwndChild == children[band.wID - kFirstDefaultBandId] ? "" : "(child lost)");
            text += item;
        }
        return text;
    }
    void Rearrange()
    {
        SendMessageA(host.ReBar(), RB_MOVEBAND, 2, 0);
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_SIZE | RBBIM_STYLE;
        band.cx = 140;
        band.fStyle = BandInfo(host.ReBar(), 1, RBBIM_STYLE).fStyle | RBBS_BREAK;
        SendMessageA(host.ReBar(), RB_SETBANDINFOA, 1, reinterpret_cast<LPARAM>(&band));
        SendMessageA(host.ReBar(), RB_SHOWBAND, 2, FALSE);
    }
};

}  // namespace

TEST(ReBarLayoutStore, TheBandLayoutSurvivesSaveAndReload)
{
    CFakeSettingsStore store;
    CThreeBands saved;
    const std::string defaults = saved.Describe();
    saved.Rearrange();
    const std::string arranged = saved.Describe();
    ASSERT_NE(arranged, defaults);
    ASSERT_TRUE(SaveReBarBandLayout(saved.host.ReBar(), kSection, &store));
    EXPECT_EQ(store.BinaryCount(), 3u);
    ASSERT_NE(store.Binary(kSection, "band2"), nullptr);
    EXPECT_EQ(store.Binary(kSection, "band2")->size(), 80u);

    // A new start: the bands are added in their default order and the stored layout applied.
    CThreeBands loaded;
    EXPECT_EQ(loaded.Describe(), defaults);
    EXPECT_TRUE(LoadReBarBandLayout(loaded.host.ReBar(), kSection, &store));
    EXPECT_EQ(loaded.Describe(), arranged);
}

TEST(ReBarLayoutStore, TheRegistryStoreKeepsTheLayoutToo)
{
    CRegistrySettingsStore store("KivoBrowserTests", "ToolBarHelpers");
    CThreeBands saved;
    saved.Rearrange();
    ASSERT_TRUE(SaveReBarBandLayout(saved.host.ReBar(), "Bands", &store));
    CThreeBands loaded;
    LoadReBarBandLayout(loaded.host.ReBar(), "Bands", &store);
    EXPECT_EQ(loaded.Describe(), saved.Describe());
    store.WriteString("Bands", nullptr, nullptr);
}

TEST(ReBarLayoutStore, ADamagedStoredLayoutLeavesTheDefaultLayout)
{
    CFakeSettingsStore good;
    {
        CThreeBands saved;
        saved.Rearrange();
        SaveReBarBandLayout(saved.host.ReBar(), kSection, &good);
    }
    const std::vector<BYTE> record = *good.Binary(kSection, "band1");
    auto with = [&](size_t at, uint32_t value) {
        std::vector<BYTE> data = record;
        for (size_t i = 0; i < 4; ++i)
            data[at + i] = static_cast<BYTE>(value >> (8 * i));
        return data;
    };
    struct Case {
        const char* what;
        std::vector<BYTE> band1;
    } cases[] = {
        {"truncated", std::vector<BYTE>(record.begin(), record.begin() + 40)},
        {"a byte too long", [&] { auto d = record; d.push_back(1); return d; }()},
        {"another size field", with(0, 100)},
        {"a mask that takes the child away", with(4, 0x343 | RBBIM_CHILD)},
        {"a width beyond any screen", with(44, 0x80000000u)},
        {"style bits the rebar does not know", with(8, 0xFFFF0000u)},
        {"an empty value", {}},
    };
    for (const Case& c : cases) {
        CFakeSettingsStore store;
        store.WriteBinary(kSection, "band0", *good.Binary(kSection, "band0"));
        store.WriteBinary(kSection, "band1", c.band1);
        store.WriteBinary(kSection, "band2", *good.Binary(kSection, "band2"));
        CThreeBands loaded;
        const std::string defaults = loaded.Describe();
        EXPECT_TRUE(LoadReBarBandLayout(loaded.host.ReBar(), kSection, &store)) << c.what;
        EXPECT_EQ(loaded.Describe(), defaults) << c.what;
    }
}

TEST(ReBarLayoutStore, UnknownAndRepeatedBandIdsLeaveTheirPositions)
{
    CThreeBands source;
    auto recordOf = [&](int index) {
        const CBandRecord record = EncodeBandRecord(
            BandInfo(source.host.ReBar(), index, kBandRecordMask));
        return std::vector<BYTE>(record.begin(), record.end());
    };
    CFakeSettingsStore store;
    // Position 0: a band of another version; positions 1 and 2 both name the third band.
    std::vector<BYTE> foreign = recordOf(0);
    foreign[52] = 0x77;
    store.WriteBinary(kSection, "band0", foreign);
    store.WriteBinary(kSection, "band1", recordOf(2));
    store.WriteBinary(kSection, "band2", recordOf(2));
    // A stored value beyond the rebar's bands is not read.
    store.WriteBinary(kSection, "band3", recordOf(1));
    CThreeBands loaded;
    LoadReBarBandLayout(loaded.host.ReBar(), kSection, &store);
    EXPECT_EQ(BandIds(loaded.host.ReBar()), (std::vector<UINT>{0xEB00, 0xEB02, 0xEB01}));
    EXPECT_EQ(loaded.Describe().find("lost"), std::string::npos) << loaded.Describe();
}

TEST(RemoveClickInRect, DropsOnlyAClickInsideTheRectangle)
{
    CBarHost host;
    const RECT button = {10, 0, 40, 24};
    struct Case {
        UINT message;
        int x;
        bool dropped;
    } cases[] = {
        {WM_LBUTTONDOWN, 20, true},
        {WM_LBUTTONDBLCLK, 39, true},
        {WM_LBUTTONDOWN, 40, false},
        {WM_RBUTTONDOWN, 20, false},
        {WM_MOUSEMOVE, 20, false},
    };
    for (const Case& c : cases) {
        MSG leftover;
        while (PeekMessageA(&leftover, host.Parent(), 0, 0, PM_REMOVE)) {
        }
        PostMessageA(host.Parent(), c.message, 0, MAKELPARAM(c.x, 5));
        RemoveClickInRect(host.Parent(), button);
        MSG next = {};
        const bool queued = PeekMessageA(&next, host.Parent(), c.message, c.message, PM_REMOVE) != FALSE;
        EXPECT_EQ(queued, !c.dropped) << c.message << " at " << c.x;
    }
}

TEST(CommandStrings, TheTooltipIsThePartAfterTheFirstLineFeed)
{
    EXPECT_EQ(CommandStringPart("Opens a page\nOpen\nmore", true), "Open\nmore");
    EXPECT_EQ(CommandStringPart("Opens a page\nOpen", false), "Opens a page\nOpen");
    EXPECT_EQ(CommandStringPart("No tooltip", true), "");
    EXPECT_EQ(CommandStringPart("Trailing\n", true), "");
}

TEST(CommandStrings, TooltipsComeFromTheCommandTextsAndAreCut)
{
    CCommandImageManager* commands = GetCommandImageManager();
    const UINT command = 47011;
    commands->SetCommandText(command, std::string(120, 'x').c_str());
    NMTTDISPINFOA info = {};
    GetToolTipTextA(command, info, true);
    EXPECT_EQ(std::string(info.szText), std::string(79, 'x'));
    EXPECT_TRUE(info.uFlags & TTF_DI_SETITEM);

    NMTTDISPINFOW wide = {};
    commands->SetCommandText(command, "Home page");
    GetToolTipTextW(command, wide, true);
    EXPECT_EQ(std::wstring(wide.szText), L"Home page");
    EXPECT_TRUE(wide.uFlags & TTF_DI_SETITEM);

    // Window tools, id 0 and commands without text or string resource get an empty text.
    struct Case {
        UINT command;
        UINT flags;
    } cases[] = {{command, TTF_IDISHWND}, {0, 0}, {47012, 0}};
    for (const Case& c : cases) {
        NMTTDISPINFOA empty = {};
        strcpy(empty.szText, "old");
        empty.uFlags = c.flags;
        GetToolTipTextA(c.command, empty, true);
        EXPECT_STREQ(empty.szText, "") << c.command;
        EXPECT_FALSE(empty.uFlags & TTF_DI_SETITEM) << c.command;
    }
    commands->SetCommandText(command, "");
    char text[8] = "old";
    EXPECT_FALSE(LoadCommandStringA(8, text, 47012, false));
    EXPECT_STREQ(text, "old");
}

// Four plain bands 0xEB00..0xEB03 on one row; each case arranges them, puts one band on the top row
// and gives "id:break" per band from left to right ("h" for a hidden band).
TEST(ReBarBands, ABandPutOnTheTopRowStandsAloneThere)
{
    struct Case {
        const char* name;
        UINT id;
        std::vector<UINT> hidden;
        bool startsARow;  // the band to place had a break of its own
        const char* expected;
    };
    const Case cases[] = {
        {"already first", 0xEB00, {}, false, "EB00 EB01:break EB02 EB03"},
        {"from the middle", 0xEB02, {}, false, "EB02 EB00:break EB01 EB03"},
        {"from the end, its own break dropped", 0xEB03, {}, true, "EB03 EB00:break EB01 EB02"},
        {"hidden bands after it: the first shown one breaks too", 0xEB00, {0xEB01, 0xEB02}, false,
         "EB00 EB01:break:h EB02:break:h EB03:break"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBarHost host;
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(AddReBarBand(host.ReBar(), AddPlainChild(host.ReBar(), 60, 20), 0, nullptr, nullptr, false, 0,
                                     false));
        if (c.startsARow) {
            const int index = static_cast<int>(SendMessageA(host.ReBar(), RB_IDTOINDEX, c.id, 0));
            REBARBANDINFOA band = BandInfo(host.ReBar(), index, RBBIM_STYLE);
            band.fStyle |= RBBS_BREAK;
            SendMessageA(host.ReBar(), RB_SETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
        }
        for (UINT id : c.hidden)
            ShowReBarBand(host.ReBar(), id, false);
        ASSERT_TRUE(PlaceReBarBandOnTopRow(host.ReBar(), c.id));
        std::string text;
        const int count = static_cast<int>(SendMessageA(host.ReBar(), RB_GETBANDCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const REBARBANDINFOA band = BandInfo(host.ReBar(), i, RBBIM_ID | RBBIM_STYLE);
            char item[32];
            snprintf(item, sizeof(item), "%s%X%s%s", i ? " " : "", band.wID, band.fStyle & RBBS_BREAK ? ":break" : "",
                     band.fStyle & RBBS_HIDDEN ? ":h" : "");
            text += item;
        }
        EXPECT_EQ(text, c.expected);
    }
    CBarHost host;
    EXPECT_FALSE(PlaceReBarBandOnTopRow(host.ReBar(), 0x1234));
    EXPECT_FALSE(PlaceReBarBandOnTopRow(nullptr, 0xEB00));
}
