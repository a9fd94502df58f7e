// The blocker pages and their dialogs, each shown on its own in a host window of the test, with
// screenshots.
#include "frame/BlockedContent.h"
#include "browser/filter/BlockerAdvancedPage.h"
#include "browser/filter/BlockerPages.h"
#include "browser/filter/PopupAllowList.h"
#include "browser/filter/tests/FilterTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/system/MessageBoxes.h"

#include "frame/tests/RecordingFrameShell.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using filter_test::CScopedProgramFolders;
using filter_test::PumpUntil;
using filter_test::ReadFileText;

// Answers the confirmations from a script and records the questions.
class CScriptedBoxes : public IMessageBoxes {
public:
    int Show(HWND, const char* text, const char*, UINT) override
    {
        m_questions.emplace_back(text);
        const int answer = m_answers.empty() ? IDNO : m_answers.front();
        if (!m_answers.empty())
            m_answers.pop_front();
        return answer;
    }
    std::deque<int> m_answers;
    std::vector<std::string> m_questions;
};

// A top-level window the page lives in.
class CPageHost {
public:
    CPageHost()
    {
        m_window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 640, 520, nullptr,
                                     nullptr, nullptr, nullptr);
    }
    ~CPageHost() { ::DestroyWindow(m_window); }
    CPageHost(const CPageHost&) = delete;
    CPageHost& operator=(const CPageHost&) = delete;
    HWND m_window;
};

void Click(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool Enabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

void Shoot(HWND window, const char* name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
    PumpUntil([] { return false; }, 300);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(window, name, path));
}

class CScopedFlags {
public:
    CScopedFlags() : m_flags(GetSettings()->BlockerFlags) {}
    ~CScopedFlags() { GetSettings()->BlockerFlags = m_flags; }
    CScopedFlags(const CScopedFlags&) = delete;
    CScopedFlags& operator=(const CScopedFlags&) = delete;

private:
    DWORD m_flags;
};

TEST(BlockerPages, PopupBlockerPage)
{
    CScopedProgramFolders folders;
    CScopedFlags flags;
    GetSettings()->BlockerFlags = 0x5002;
    GetSettings()->BlockedPopup = 17;
    CPopupAllowList& list = GetPopupAllowList();
    list.Clear();
    list.AddSite("http://www.example.com/");
    list.AddSite("http://intranet:8080/");
    list.AddSite("http://example.org/members/");
    list.m_modified = false;
    CScriptedBoxes boxes;
    CScopedMessageBoxes scopedBoxes(boxes);
    CPageHost host;
    CPopupBlockerPage page;
    ASSERT_TRUE(page.Create(host.m_window));
    page.ShowWindow(SW_SHOW);
    EXPECT_EQ(page.GetDialogID(), 233);
    HWND sites = page.GetDlgItem(IDC_POPUP_SITES);
    EXPECT_EQ(ListView_GetItemCount(sites), 3);
    char text[256] = {};
    page.GetWindowTextA(text, sizeof(text));
    EXPECT_STREQ(text, "Popup - 17 blocked");
    // Default flags: both blockers shown on; nothing selected, so Remove and Browse are off.
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_POPUP_ENABLE), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_DIALOG_ENABLE), BST_CHECKED);
    EXPECT_TRUE(Enabled(page, IDC_POPUP_ADD));
    EXPECT_FALSE(Enabled(page, IDC_POPUP_REMOVE));
    ListView_SetItemState(sites, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(Enabled(page, IDC_POPUP_REMOVE));
    EXPECT_TRUE(Enabled(page, IDC_POPUP_BROWSE));
    Shoot(host.m_window, "popup-blocker-page.bmp");

    // No, and a box that could not be shown, leave the list alone; Yes removes the row.
    boxes.m_answers = {IDNO, 0, IDYES};
    Click(page, IDC_POPUP_REMOVE);
    Click(page, IDC_POPUP_REMOVE);
    EXPECT_EQ(list.GetSites().size(), 3u);
    EXPECT_FALSE(list.m_modified);
    Click(page, IDC_POPUP_REMOVE);
    EXPECT_EQ(list.GetSites().size(), 2u);
    EXPECT_TRUE(list.m_modified);
    EXPECT_EQ(boxes.m_questions.back(), "Are you sure you want to permanently delete this domain?");
    EXPECT_EQ(ListView_GetItemCount(sites), 2);

    // The switch goes through the flags (no frame here); off disables the whole group.
    page.CheckDlgButton(IDC_POPUP_ENABLE, BST_UNCHECKED);
    Click(page, IDC_POPUP_ENABLE);
    EXPECT_FALSE(GetSettings()->BlockerFlags & BlockerFlag::PopupBlocker);
    for (int id : {IDC_POPUP_ADD, IDC_POPUP_REMOVE, IDC_POPUP_REMOVE_ALL, IDC_POPUP_BROWSE, IDC_DIALOG_ENABLE,
                   IDC_POPUP_SITES, IDC_POPUP_VIEW_LOGS})
        EXPECT_FALSE(Enabled(page, id)) << id;
    page.CheckDlgButton(IDC_DIALOG_ENABLE, BST_UNCHECKED);
    Click(page, IDC_DIALOG_ENABLE);
    EXPECT_TRUE(GetSettings()->BlockerFlags & BlockerFlag::WebPageDialogBlocker);
    Shoot(host.m_window, "popup-blocker-page-off.bmp");

    page.CheckDlgButton(IDC_POPUP_ENABLE, BST_CHECKED);
    Click(page, IDC_POPUP_ENABLE);
    boxes.m_answers = {IDYES};
    Click(page, IDC_POPUP_REMOVE_ALL);
    EXPECT_TRUE(list.GetSites().empty());
    EXPECT_FALSE(Enabled(page, IDC_POPUP_REMOVE_ALL));
    page.DestroyWindow();
    list.m_modified = false;
}

TEST(BlockerPages, AdFilterPage)
{
    CScopedProgramFolders folders;
    CScopedFlags flags;
    GetSettings()->BlockerFlags = 0x5002 | BlockerFlag::AdFilter;
    GetSettings()->BlockedContent = 1234;
    CAdFilter& filter = GetAdFilter();
    filter.ClearList(CAdFilter::kFilterList);
    filter.ClearList(CAdFilter::kExceptionList);
    for (const char* rule : {"*/banner/*", "*doubleclick.", "http://ads.", "*/ad?/*", "*track.example*"})
        filter.AddRule(CAdFilter::kFilterList, rule);
    filter.AddRule(CAdFilter::kExceptionList, "*example.com/allowed/*");
    filter.m_modified = false;
    CScriptedBoxes boxes;
    CScopedMessageBoxes scopedBoxes(boxes);
    CPageHost host;
    CAdFilterPage page;
    ASSERT_TRUE(page.Create(host.m_window));
    page.ShowWindow(SW_SHOW);
    HWND rules = page.GetDlgItem(IDC_AD_RULE_LIST);
    EXPECT_EQ(ListView_GetItemCount(rules), 5);
    char text[256] = {};
    ListView_GetItemText(rules, 0, 0, text, sizeof(text));
    EXPECT_STREQ(text, "*/ad?/*");  // sorted
    page.GetWindowTextA(text, sizeof(text));
    EXPECT_STREQ(text, "Ad-Filter - 1234 blocked");
    Shoot(host.m_window, "ad-filter-page.bmp");

    // "Remove All" on the exceptions tab empties only the exceptions; No changes nothing.
    page.SelectTab(1);
    EXPECT_EQ(page.CurrentList(), CAdFilter::kExceptionList);
    EXPECT_EQ(ListView_GetItemCount(rules), 1);
    boxes.m_answers = {IDNO};
    Click(page, IDC_AD_REMOVE_ALL);
    EXPECT_EQ(filter.GetCount(CAdFilter::kExceptionList), 1u);
    EXPECT_FALSE(filter.m_modified);
    boxes.m_answers = {IDYES};
    Click(page, IDC_AD_REMOVE_ALL);
    EXPECT_EQ(filter.GetCount(CAdFilter::kExceptionList), 0u);
    EXPECT_EQ(filter.GetCount(CAdFilter::kFilterList), 5u);
    EXPECT_TRUE(filter.m_modified);
    EXPECT_EQ(boxes.m_questions.back(), "Are you sure you want to permanently delete all these filters?");

    page.SelectTab(0);
    ListView_SetItemState(rules, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(Enabled(page, IDC_AD_REMOVE));
    boxes.m_answers = {IDYES};
    Click(page, IDC_AD_REMOVE);
    EXPECT_EQ(filter.GetPatterns(CAdFilter::kFilterList),
              (std::vector<std::string>{"*/ad?/*", "*/banner/*", "*track.example*", "http://ads."}));

    page.CheckDlgButton(IDC_AD_ENABLE, BST_UNCHECKED);
    Click(page, IDC_AD_ENABLE);
    EXPECT_FALSE(GetSettings()->BlockerFlags & BlockerFlag::AdFilter);
    EXPECT_FALSE(Enabled(page, IDC_AD_ADD));
    EXPECT_FALSE(Enabled(page, IDC_AD_RULE_LIST));
    page.DestroyWindow();
    filter.ClearList(CAdFilter::kFilterList);
    filter.m_modified = false;
}

// Rules typed into the dialog are completed, lower-cased, sorted, and saved to config\ at exit.
TEST(BlockerPages, RuleDialogAddsRulesThatAreSavedToConfig)
{
    CScopedProgramFolders folders;
    CAdFilter& filter = GetAdFilter();
    filter.ClearList(CAdFilter::kFilterList);
    filter.ClearList(CAdFilter::kExceptionList);
    for (const char* typed : {"Ads.Example.COM", "HTTP://Tracker.Example/Pixel", "?x.gif", "ads.example.com"}) {
        CAdFilterRuleDlg dialog(CAdFilter::kFilterList);
        ASSERT_TRUE(dialog.Create(nullptr));
        EXPECT_FALSE(Enabled(dialog, IDOK));  // nothing typed yet
        dialog.SetDlgItemTextA(IDC_FILTER_TEXT, typed);
        EXPECT_TRUE(Enabled(dialog, IDOK));
        if (std::string(typed) == "ads.example.com") {
            dialog.ShowWindow(SW_SHOW);
            Shoot(dialog, "ad-filter-rule-dialog.bmp");
            char title[64] = {};
            dialog.GetWindowTextA(title, sizeof(title));
            EXPECT_STREQ(title, "Add to Filter List");
        }
        Click(dialog, IDOK);
        EXPECT_FALSE(::IsWindow(dialog.m_hWnd));
        EXPECT_EQ(dialog.m_added, std::string(typed) != "ads.example.com") << typed;  // the last is a duplicate
    }
    EXPECT_EQ(filter.GetPatterns(CAdFilter::kFilterList),
              (std::vector<std::string>{"*ads.example.com", "?x.gif", "http://tracker.example/pixel"}));
    filter.m_modified = true;  // as the page does after the dialog
    ASSERT_TRUE(filter.Save());  // what the teardown at exit runs
    EXPECT_EQ(ReadFileText(folders.Config(kAdFiltersFileName)),
              "[Ad Filters]\r\nfilter0=*ads.example.com\r\nfilter1=?x.gif\r\nfilter2=http://tracker.example/pixel\r\n");
    filter.ClearList(CAdFilter::kFilterList);
    filter.m_modified = false;
}

TEST(BlockerPages, AllowedSiteDialogAddsAndSaves)
{
    CScopedProgramFolders folders;
    CPopupAllowList& list = GetPopupAllowList();
    list.Clear();
    list.m_modified = false;
    CAllowedSiteDlg dialog("about:blank");
    ASSERT_TRUE(dialog.Create(nullptr));
    char text[256] = {};
    dialog.GetDlgItemTextA(IDC_FILTER_TEXT, text, sizeof(text));
    EXPECT_STREQ(text, "http://");
    EXPECT_FALSE(Enabled(dialog, IDOK));  // not a web address yet
    dialog.SetDlgItemTextA(IDC_FILTER_TEXT, "http://Popups.Example.net:8080/games/");
    EXPECT_TRUE(Enabled(dialog, IDOK));
    dialog.ShowWindow(SW_SHOW);
    Shoot(dialog, "allowed-site-dialog.bmp");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.m_added);
    EXPECT_EQ(list.GetSites(), std::vector<std::string>{"popups.example.net:8080/games/"});
    // Saved at once, not only at exit.
    EXPECT_EQ(ReadFileText(folders.Config(kPopupsFileName)), "[Popups]\r\nbypass0=popups.example.net:8080/games/\r\n");
    list.Clear();
    list.m_modified = false;
}

}  // namespace

namespace {

struct BitCase {
    bool popups;
    int box;
    bool viewFlags;  // the bit is in ViewFlags, else in BlockerFlags
    DWORD bit;
    bool inverse;
};

const BitCase kBitCases[] = {
    {true, IDC_POPUP_NOTICE, false, 0x1000, false}, {true, IDC_POPUP_BEEP, false, 0x2000, false},
    {true, IDC_POPUP_SOUND, false, 0x4000, false},  {true, IDC_POPUP_GRID, true, 0x40, false},
    {false, IDC_AD_REPLACE, false, 0x40000, true},  {false, IDC_AD_BEEP, false, 0x10000, false},
    {false, IDC_AD_SOUND, false, 0x20000, false},   {false, IDC_AD_GRID, true, 0x80, false},
};

TEST(BlockerPages, AdvancedPagesBindEveryBit)
{
    CScopedFlags flags;
    const DWORD oldView = GetSettings()->ViewFlags;
    CPageHost host;
    for (const BitCase& c : kBitCases) {
        for (const bool check : {true, false}) {
            GetSettings()->BlockerFlags = 0x5002;
            GetSettings()->ViewFlags = oldView & ~0xC0u;
            CBlockerAdvancedPage page(c.popups);
            ASSERT_TRUE(page.Create(host.m_window));
            DWORD& word = c.viewFlags ? GetSettings()->ViewFlags : GetSettings()->BlockerFlags;
            const bool before = (word & c.bit) != 0;
            // The box shows the bit as it stands (the default 0x5002 has notice and sound for popups).
            EXPECT_EQ(page.IsDlgButtonChecked(c.box) == BST_CHECKED, before != c.inverse) << c.box;
            page.CheckDlgButton(c.box, check ? BST_CHECKED : BST_UNCHECKED);
            EXPECT_EQ(page.OnApply(), 0);
            EXPECT_EQ((word & c.bit) != 0, check != c.inverse) << c.box << " checked " << check;
            page.DestroyWindow();
        }
    }
    GetSettings()->ViewFlags = oldView;
}

TEST(BlockerPages, AdvancedPageMaximumAndSound)
{
    CScopedFlags flags;
    CSettings& settings = *GetSettings();
    settings.BlockerFlags = 0x5002;
    settings.PopBlockedSound = "C:\\stored.wav";
    settings.PopupLog.Clear();
    settings.PopupLog.SetMaxItems(200);
    for (int i = 0; i < 50; ++i)
        settings.PopupLog.Add({GetCurrentFileTime(), "Popup", "", "http://p/" + std::to_string(i)});
    CScriptedBoxes boxes;
    CScopedMessageBoxes scopedBoxes(boxes);
    frame_test::CRecordingShell sounds;
    CScopedFrameShell scopedSounds(sounds);
    CPageHost host;
    CBlockerAdvancedPage page(true);
    ASSERT_TRUE(page.Create(host.m_window));
    page.ShowWindow(SW_SHOW);
    EXPECT_TRUE(Enabled(page, IDC_POPUP_SOUND_PLAY));  // "Play sound" is on by default
    Shoot(host.m_window, "popup-advanced-page.bmp");
    // The play button plays the stored path, not the edited text.
    page.SetDlgItemTextA(IDC_POPUP_SOUND_PATH, "C:\\typed.wav");
    Click(page, IDC_POPUP_SOUND_PLAY);
    EXPECT_EQ(sounds.m_sounds, std::vector<std::string>{"C:\\stored.wav"});
    // Out of range: refused with the message, nothing applied.
    for (const char* bad : {"0", "1001", ""}) {
        page.SetDlgItemTextA(IDC_POPUP_MAX_ITEMS, bad);
        page.CheckDlgButton(IDC_POPUP_BEEP, BST_CHECKED);
        EXPECT_NE(page.OnApply(), 0) << bad;
        EXPECT_FALSE(settings.BlockerFlags & BlockerFlag::PopupBeep) << bad;
    }
    EXPECT_EQ(boxes.m_questions.back(), "Please enter an integer between 1 and 1000\n");
    // Lowering the maximum below the log's size drops the oldest entries.
    page.SetDlgItemTextA(IDC_POPUP_MAX_ITEMS, "10");
    EXPECT_EQ(page.OnApply(), 0);
    EXPECT_EQ(settings.MaxPopupLogItems, 10);
    ASSERT_EQ(settings.PopupLog.GetCount(), 10);
    EXPECT_EQ(settings.PopupLog.GetAt(0).text3, "http://p/40");
    // Without "Play sound" the path and its buttons are off.
    page.CheckDlgButton(IDC_POPUP_SOUND, BST_UNCHECKED);
    Click(page, IDC_POPUP_SOUND);
    EXPECT_FALSE(Enabled(page, IDC_POPUP_SOUND_PATH));
    EXPECT_FALSE(Enabled(page, IDC_POPUP_SOUND_PLAY));
    page.DestroyWindow();
    CBlockerAdvancedPage ads(false);
    ASSERT_TRUE(ads.Create(host.m_window));
    ads.ShowWindow(SW_SHOW);
    Shoot(host.m_window, "ad-advanced-page.bmp");
    ads.DestroyWindow();
    settings.PopupLog.Clear();
    settings.PopupLog.SetMaxItems(200);
    settings.MaxPopupLogItems = 200;
}

}  // namespace
