// The frame's own dialogs and menus: the exit question, the donation dialog and its reminder, the
// window-list popup, the About box, the history menus, "Open Selected Sites", Open, and the main
// toolbar's style and customisation.
#include "frame/HistoryMenu.h"
#include "frame/MainFrame.h"
#include "frame/MainToolBarStyle.h"
#include "frame/WindowListPopup.h"
#include "frame/dialogs/AboutDlg.h"
#include "frame/dialogs/DonationDlg.h"
#include "frame/dialogs/ExitDlg.h"
#include "frame/dialogs/FrameDialogHelpers.h"
#include "frame/dialogs/FrameQuestions.h"
#include "frame/dialogs/SessionRestoreDlg.h"
#include "frame/tests/FrameTestSupport.h"
#include "frame/tests/ModalScript.h"

#include "controls/ImageListManager.h"
#include "controls/ToolBarHelpers.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace frame_test;

namespace {

class FrameDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        if (CSettings* settings = GetSettings())
            settings->PreviousRunState = 1;
        ReceivedTabCommands().clear();
    }
    void TearDown() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
    }
    CSettings& Settings() { return *GetSettings(); }
};

void Shot(HWND window, const char* name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(window, name, path)) << path;
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

bool Visible(HWND dialog, int id)
{
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> MenuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// Every address the frame's tabs show (a new tab, or the blank tab that took the page).
std::vector<std::string> ShownUrls(const CTestFrame& test)
{
    std::vector<std::string> urls;
    for (const CFakeTab* tab : test.TabsInOrder())
        urls.push_back(tab->m_url);
    return urls;
}

// The dialogs themselves in place of the test frame's answers.
struct CRealQuestions {
    CFrameDialogQuestions dialogs;
    CScopedFrameQuestions scope{dialogs};
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Exit dialog

TEST(ExitChoice, StoresTheChecksAndRewritesTheStartModeOnlyWhenResumeChanged)
{
    struct Case {
        DWORD sysFlags;
        DWORD startupFlags;
        bool dontAsk;
        bool resume;
        DWORD wantSys;
        DWORD wantStartup;
    };
    const Case cases[] = {
        {0x101C, 0x10004, false, false, 0x101C, 0x10002},  // resume switched off: home-page mode
        {0x101C, 0x10010, false, true, 0x101C, 0x10004},   // switched on from the start-sites mode
        {0x101C, 0x10010, false, false, 0x101C, 0x10010},  // unchanged: the start-sites mode stays
        {0x101C, 0x10004, true, true, 0x101D, 0x10004},    // don't ask again
        {0x101D, 0x2, false, false, 0x101C, 0x2},          // asking again
    };
    for (const Case& c : cases) {
        const CExitChoice choice = ApplyExitChoice(c.sysFlags, c.startupFlags, c.dontAsk, c.resume);
        EXPECT_EQ(choice.sysFlags, c.wantSys) << std::hex << c.sysFlags << " " << c.startupFlags;
        EXPECT_EQ(choice.startupFlags, c.wantStartup) << std::hex << c.sysFlags << " " << c.startupFlags;
    }
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 1;
    EXPECT_EQ(DefaultExitGroupName(time), "03/07/2026 09:05:01");
}

TEST_F(FrameDialogs, ExitDialogCancelKeepsTheFrameOpenAndOkKeepsDontAskAgain)
{
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    test.RunAfterCreate();
    test.Open("http://kept.example/", 0);
    Settings().SysFlags &= ~SysFlag::NoExitConfirmation;
    Settings().StartupFlags.value = 0x10010;
    const DWORD sysBefore = Settings().SysFlags;
    bool shown = false;
    {
        CModalScript script({[&](HWND dialog) {
            shown = true;
            char caption[64] = {};
            GetWindowTextA(dialog, caption, sizeof(caption));
            EXPECT_STREQ(caption, "Exit Kivo Browser");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT_GROUP_NAME)));
            EXPECT_EQ(ItemText(dialog, IDC_EXIT_GROUP_NAME).size(), std::string("01/01/2026 00:00:00").size());
            Shot(dialog, "exit-dialog.bmp");
            SetItemChecked(dialog, IDC_EXIT_DONT_ASK, true);
            Click(dialog, IDCANCEL);
        }});
        SendMessageA(test.Window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_TRUE(shown);
    ASSERT_TRUE(IsWindow(test.Window()));
    EXPECT_FALSE(Settings().Closing);
    EXPECT_EQ(Settings().SysFlags, sysBefore);
    EXPECT_EQ(Settings().StartupFlags.value, 0x10010);
    ASSERT_EQ(test.TabsInOrder().size(), 1u);

    {
        CModalScript script({[&](HWND dialog) {
            EXPECT_TRUE(IsItemChecked(dialog, IDC_EXIT_DONT_ASK) == false);
            SetItemChecked(dialog, IDC_EXIT_DONT_ASK, true);
            Click(dialog, IDOK);
        }});
        test.Close();
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(IsWindow(test.Window()));
    EXPECT_TRUE(Settings().SysFlags & SysFlag::NoExitConfirmation);
    EXPECT_EQ(Settings().StartupFlags.value, 0x10010);

    // The next close does not ask.
    CTestFrame next;
    CRealQuestions realAgain;
    next.RunAfterCreate();
    next.Close();
    EXPECT_FALSE(IsWindow(next.Window()));
}

TEST_F(FrameDialogs, ExitDialogSavesTheSessionToTheNamedGroupAndWantsAName)
{
    Settings().SysFlags &= ~SysFlag::NoExitConfirmation;
    std::vector<std::string> saved;
    CExitDlg dialog([&](const char* group) {
        saved.push_back(group);
        return true;
    });
    CAnsweringMessageBoxes boxes;
    CScopedMessageBoxes boxesScope(boxes);
    CModalScript script({[&](HWND d) {
        Click(d, IDC_EXIT_SAVE_GROUP);
        SetItemChecked(d, IDC_EXIT_SAVE_GROUP, true);
        Click(d, IDC_EXIT_SAVE_GROUP);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_EXIT_GROUP_NAME)));
        SetDlgItemTextA(d, IDC_EXIT_GROUP_NAME, "   ");
        Click(d, IDOK);
        EXPECT_EQ(boxes.m_texts.size(), 1u);
        SetDlgItemTextA(d, IDC_EXIT_GROUP_NAME, "Evening reading");
        Click(d, IDOK);
    }});
    EXPECT_EQ(dialog.Run(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(saved, std::vector<std::string>{"Evening reading"});

    // Switched off, the dialog answers at once.
    Settings().SysFlags |= SysFlag::NoExitConfirmation;
    CExitDlg silent(nullptr);
    EXPECT_EQ(silent.Run(nullptr), IDOK);
}

// ---------------------------------------------------------------------------------------------
// Donation dialog

TEST(DonationDialog, CurrencyAmountsAndPaymentAddress)
{
    EXPECT_EQ(DonationCurrencyForLanguage("German"), kDonationEuros);
    EXPECT_EQ(DonationCurrencyForLanguage("Portuguese"), kDonationEuros);
    EXPECT_EQ(DonationCurrencyForLanguage("Chinese Simplified"), kDonationChineseYuan);
    EXPECT_EQ(DonationCurrencyForLanguage("English"), kDonationUsDollars);
    EXPECT_EQ(DonationCurrencyForLanguage(nullptr), kDonationUsDollars);
    EXPECT_EQ(DonationAmounts(kDonationEuros), (std::vector<int>{15, 20, 25, 10, 30, 40, 50, 70, 100, 200}));
    EXPECT_EQ(DonationAmounts(kDonationAustralianDollar), (std::vector<int>{20, 25, 30, 10, 40, 50, 70, 100, 200}));
    EXPECT_EQ(DonationAmounts(kDonationYen).front(), 2000);
    EXPECT_EQ(DonationAmounts(kDonationYen).back(), 20000);
    EXPECT_TRUE(DonationAmounts(kDonationCurrencyCount).empty());

    struct Case {
        int currency;
        const char* amount;
        std::vector<const char*> present;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {kDonationPoundsSterling, "25", {"cmd=_xclick", "currency_code=GBP", "&amount=25", "&lc=GB", "no_note=1", "tax=0"}, {}},
        {kDonationUsDollars, "abc", {"currency_code=USD", "item_name=Kivo+Browser+Donation"}, {"&amount=", "&lc="}},
        {kDonationEuros, " 40 ", {"currency_code=EUR", "&amount=40"}, {"&lc="}},
        {kDonationEuros, "-5", {"currency_code=EUR"}, {"&amount="}},
        {kDonationEuros, "0", {}, {"&amount="}},
        {kDonationYen, "2000", {"currency_code=JPY", "&amount=2000", "&lc=JP"}, {}},
        {kDonationChineseYuan, "30", {"currency_code=CNY", "charset=UTF%2d8&charset=UTF%2d8", "no_shipping=0", "&amount=30"}, {"&lc=", "return="}},
        {99, "10", {"currency_code=USD"}, {}},
    };
    for (const Case& c : cases) {
        const std::string url = BuildDonationUrl(c.currency, c.amount).c_str();
        EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
        EXPECT_TRUE(Contains(url, "/cgi-bin/webscr?")) << url;
        for (const char* part : c.present)
            EXPECT_TRUE(Contains(url, part)) << url << " lacks " << part;
        for (const char* part : c.absent)
            EXPECT_FALSE(Contains(url, part)) << url << " has " << part;
    }
}

TEST_F(FrameDialogs, DonationReminderOnTheFiftiethRunOpensThePaymentPageInATab)
{
    Settings().RunCount.value = kDonationReminderPeriod - 1;  // the frame's creation counts this run
    Settings().SysFlags &= ~SysFlag::NoSupportReminder;
    Settings().SysFlags |= SysFlag::NoExitConfirmation;
    Settings().PreviousRunState = -1;
    bool shown = false;
    CTestFrame* frame = nullptr;
    CModalScript script({[&](HWND dialog) {
        shown = true;
        EXPECT_TRUE(Visible(dialog, IDC_DONATION_DONT_REMIND));
        EXPECT_TRUE(Visible(dialog, IDOK));
        HWND currency = GetDlgItem(dialog, IDC_DONATION_CURRENCY);
        EXPECT_EQ(SendMessageA(currency, CB_GETCOUNT, 0, 0), kDonationCurrencyCount);
        SendMessageA(currency, CB_SETCURSEL, kDonationYen, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DONATION_CURRENCY, CBN_SELCHANGE), reinterpret_cast<LPARAM>(currency));
        EXPECT_EQ(ItemText(dialog, IDC_DONATION_AMOUNT), "2000");
        Shot(dialog, "donation-reminder.bmp");
        Click(dialog, IDC_DONATION_DONATE);
    }});
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    frame = &test;
    test.RunAfterCreate();
    PumpUntil([&] { return script.Finished(); });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Settings().SysFlags & SysFlag::NoSupportReminder);
    const std::vector<std::string> urls = ShownUrls(*frame);
    EXPECT_TRUE(std::any_of(urls.begin(), urls.end(), [](const std::string& url) {
        return Contains(url, "currency_code=JPY") && Contains(url, "&amount=2000");
    }));
}

TEST_F(FrameDialogs, DonationFromTheMenuHidesTheReminderChoicesAndEnterDonates)
{
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    test.RunAfterCreate();
    CModalScript script({[&](HWND dialog) {
        EXPECT_FALSE(Visible(dialog, IDC_DONATION_DONT_REMIND));
        EXPECT_FALSE(Visible(dialog, IDOK));
        EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDC_DONATION_DONATE);
        Shot(dialog, "donation-dialog.bmp");
        SetDlgItemTextA(dialog, IDC_DONATION_AMOUNT, "35");
        // Enter: the dialog manager sends IDOK, which donates in this mode.
        Click(dialog, IDOK);
    }});
    SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_DONATE, 0), 0);
    EXPECT_TRUE(script.Finished());
    const std::vector<std::string> urls = ShownUrls(test);
    EXPECT_TRUE(std::any_of(urls.begin(), urls.end(), [](const std::string& url) {
        return Contains(url, "currency_code=USD") && Contains(url, "&amount=35");
    }));
    EXPECT_FALSE(Settings().SysFlags & SysFlag::NoSupportReminder);
}

// ---------------------------------------------------------------------------------------------
// Window-list popup

TEST(WindowList, TheWheelWrapsRoundBothEnds)
{
    struct Case {
        int current, count, delta, want;
    };
    for (const Case& c : {Case{0, 1, 120, 0}, Case{0, 1, -120, 0}, Case{0, 3, 120, 2}, Case{2, 3, -120, 0},
                          Case{1, 3, -120, 2}, Case{1, 3, 0, 0}, Case{-1, 3, -120, 1}, Case{0, 0, 120, -1}})
        EXPECT_EQ(NextWindowListRow(c.current, c.count, c.delta), c.want) << c.current << " " << c.count << " " << c.delta;
}

TEST_F(FrameDialogs, WindowListShowsEveryTabAndActivatesTheChosenOne)
{
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://one.example/", 0);
    test.Open("http://two.example/", kOpenNewTab);
    test.Open("http://three.example/", kOpenNewTab);
    const std::vector<CFakeTab*> tabs = test.TabsInOrder();
    ASSERT_EQ(tabs.size(), 3u);
    ASSERT_EQ(test.ActiveTab(), tabs[2]);

    ASSERT_TRUE(ShowWindowListPopup(test.Window()));
    HWND popup = GetWindowListPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // A second request while the list is up changes nothing.
    EXPECT_TRUE(ShowWindowListPopup(test.Window()));
    EXPECT_EQ(GetWindowListPopup(), popup);
    HWND list = GetDlgItem(popup, IDC_WINDOW_LIST);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    char text[256] = {};
    LVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "http://two.example/");
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
    Shot(popup, "window-list.bmp");
    // Down from the last row wraps to the first, then to the second.
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(-WHEEL_DELTA)), 0);
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    SendMessageA(popup, WM_RBUTTONUP, 0, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetWindowListPopup(), nullptr);
    EXPECT_EQ(test.ActiveTab(), tabs[1]);

    // Releasing the button without turning the wheel keeps the active page.
    ASSERT_TRUE(ShowWindowListPopup(test.Window()));
    SendMessageA(GetWindowListPopup(), WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(test.ActiveTab(), tabs[1]);

    // Losing the capture closes the list without changing the page.
    ASSERT_TRUE(ShowWindowListPopup(test.Window()));
    popup = GetWindowListPopup();
    SendMessageA(GetDlgItem(popup, IDC_WINDOW_LIST), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ReleaseCapture();
    SendMessageA(popup, WM_CAPTURECHANGED, 0, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(test.ActiveTab(), tabs[1]);
}

// ---------------------------------------------------------------------------------------------
// About dialog

TEST(AboutDialog, TranslatorLinkAndHostName)
{
    struct Case {
        const char* language;
        const char* translator;
        const char* email;
        const char* site;
        bool shown;
        const char* target;
    };
    for (const Case& c : {Case{"English", "Anna", "a@x.example", "http://x.example/", false, ""},
                          Case{"German", "Anna", "a@x.example", "http://x.example/", true, "http://x.example/"},
                          Case{"German", "Anna", "a@x.example", "", true, "mailto:a@x.example"},
                          Case{"German", "", "a@x.example", "", false, ""},
                          Case{"German", "Anna", "", "", false, ""}}) {
        const CTranslatorLink link = MakeTranslatorLink(c.language, c.translator, c.email, c.site);
        EXPECT_EQ(link.shown, c.shown) << c.language << " " << c.translator;
        if (c.shown) {
            EXPECT_EQ(link.target, c.target);
            EXPECT_EQ(link.text, std::string("Translator: ") + c.translator);
        }
    }
    EXPECT_EQ(HostNameOf("http://www.kivobrowser.example/index.html"), "www.kivobrowser.example");
    EXPECT_EQ(HostNameOf("www.a.example?x"), "www.a.example");
}

TEST_F(FrameDialogs, AboutShowsTheVersionOfTheVersionResourceAndTheLogoOpensTheHomePage)
{
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    test.RunAfterCreate();
    std::string label;
    std::string credits;
    CModalScript script({[&](HWND dialog) {
        label = ItemText(dialog, IDC_ABOUT_LABEL);
        credits = ItemText(dialog, IDC_ABOUT_CREDITS);
        EXPECT_FALSE(Visible(dialog, IDC_ABOUT_TRANSLATOR_LINK));
        Shot(dialog, "about-dialog.bmp");
        RECT logo = {};
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LOGO), &logo);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&logo), 2);
        SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(logo.left + 5, logo.top + 5));
        Click(dialog, IDOK);
    }});
    SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_ABOUT, 0), 0);
    EXPECT_TRUE(script.Finished());
    // The test program's own version resource says "2, 3, 0, 45".
    EXPECT_EQ(label, "Version: 2.30 build 045");
    EXPECT_TRUE(Contains(credits, label)) << credits;
    const std::vector<std::string> urls = ShownUrls(test);
    EXPECT_NE(std::find(urls.begin(), urls.end(), std::string(kProductHomePage)), urls.end());
}

// ---------------------------------------------------------------------------------------------
// Back and forward history menus

TEST_F(FrameDialogs, HistoryMenusListTheNearestNinePagesOfTheEngineHistory)
{
    CFakeEngine engine;
    CFakeBrowser* browser = engine.MakeBrowser();
    for (int i = 0; i < 12; ++i) {
        const std::wstring url = L"http://page" + std::to_wstring(i) + L".example/";
        FakePage page;
        page.title = L"Page & " + std::to_wstring(i);
        engine.AddPage(url, page);
        browser->NavigateTo(url);
        browser->CompleteLoad();
    }
    struct Case {
        int backSteps;
        int wantBack;
        int wantForward;
        const char* firstBack;
    };
    for (const Case& c : {Case{0, 9, 0, "Page && 10"}, Case{3, 8, 3, "Page && 7"}}) {
        for (int i = 0; i < c.backSteps; ++i)
            browser->GoBack(), browser->CompleteLoad();
        HMENU back = CreatePopupMenu();
        // Placeholders of a template: what gets no page goes.
        for (int n = 0; n < kMaxHistoryMenuItems; ++n)
            AppendMenuA(back, MF_STRING, ID_FRAME_BACK_FIRST + n, "placeholder");
        EXPECT_EQ(FillBackMenu(browser->AsDispatch(), back, ID_FRAME_BACK_FIRST), c.wantBack);
        const std::vector<std::string> texts = MenuTexts(back);
        ASSERT_EQ(texts.size(), static_cast<size_t>(c.wantBack));
        EXPECT_EQ(texts.front(), c.firstBack);
        EXPECT_EQ(GetMenuItemID(back, 0), static_cast<UINT>(ID_FRAME_BACK_FIRST));
        HMENU forward = CreatePopupMenu();
        EXPECT_EQ(FillForwardMenu(browser->AsDispatch(), forward, ID_FRAME_FORWARD_FIRST), c.wantForward);
        if (c.wantForward) {
            EXPECT_EQ(MenuTexts(forward).front(), "Page && 9");
        }
        DestroyMenu(back);
        DestroyMenu(forward);
    }
    // Without a travel log (or a browser) every placeholder goes.
    browser->refuseTravelLog = true;
    for (IUnknown* source : {static_cast<IUnknown*>(browser->AsDispatch()), static_cast<IUnknown*>(nullptr)}) {
        HMENU menu = CreatePopupMenu();
        for (int n = 0; n < kMaxHistoryMenuItems; ++n)
            AppendMenuA(menu, MF_STRING, ID_FRAME_FORWARD_FIRST + n, "placeholder");
        EXPECT_EQ(FillForwardMenu(source, menu, ID_FRAME_FORWARD_FIRST), 0);
        EXPECT_EQ(GetMenuItemCount(menu), 0);
        DestroyMenu(menu);
    }
}

namespace {

class CHistoryTracker final : public IFramePopupMenuTracker {
public:
    UINT Track(HMENU menu, UINT, int, int, HWND) override
    {
        ++m_tracked;
        m_items = MenuTexts(menu);
        return m_choice;
    }
    UINT m_choice = 0;
    int m_tracked = 0;
    std::vector<std::string> m_items;
};

}  // namespace

TEST_F(FrameDialogs, BackButtonArrowListsTheTabsHistoryAndGoesToTheChosenPage)
{
    CFakeEngine engine;
    CFakeBrowser* browser = engine.MakeBrowser();
    for (const wchar_t* url : {L"http://a.example/", L"http://b.example/", L"http://c.example/"}) {
        FakePage page;
        page.title = std::wstring(L"Title of ") + url;
        engine.AddPage(url, page);
        browser->NavigateTo(url);
        browser->CompleteLoad();
    }
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://c.example/", 0);
    CFakeTab* tab = test.ActiveTab();
    ASSERT_NE(tab, nullptr);
    tab->m_browser = browser;
    CHistoryTracker tracker;
    IFramePopupMenuTracker* previous = SetFramePopupMenuTracker(&tracker);
    HWND systemBar = GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
    NMTOOLBARA dropDown = {};
    dropDown.hdr.hwndFrom = systemBar;
    dropDown.hdr.idFrom = IDC_FRAME_SYSTEM_TOOLBAR;
    dropDown.hdr.code = TBN_DROPDOWN;
    dropDown.iItem = ID_FRAME_BACK;
    tracker.m_choice = ID_FRAME_BACK_FIRST + 1;
    SendMessageA(test.Window(), WM_NOTIFY, IDC_FRAME_SYSTEM_TOOLBAR, reinterpret_cast<LPARAM>(&dropDown));
    EXPECT_EQ(tracker.m_items, (std::vector<std::string>{"Title of http://b.example/", "Title of http://a.example/"}));
    Pump();
    // The tab takes the command of the second page back, which goes two pages back.
    EXPECT_NE(std::find(tab->m_commands.begin(), tab->m_commands.end(), static_cast<UINT>(ID_FRAME_BACK_FIRST + 1)),
              tab->m_commands.end());

    // Nothing later: the forward arrow shows no menu.
    dropDown.iItem = ID_FRAME_FORWARD;
    const int tracked = tracker.m_tracked;
    SendMessageA(test.Window(), WM_NOTIFY, IDC_FRAME_SYSTEM_TOOLBAR, reinterpret_cast<LPARAM>(&dropDown));
    EXPECT_EQ(tracker.m_tracked, tracked);
    SetFramePopupMenuTracker(previous);
    tab->m_browser = nullptr;
}

// ---------------------------------------------------------------------------------------------
// "Open Selected Sites" and Open

TEST(SessionRestore, AnswersWithoutAskingAndStatusTexts)
{
    struct Case {
        size_t sites;
        bool normal;
        DWORD startup;
        DWORD sys;
        int want;
    };
    for (const Case& c : {Case{0, true, 0x4, 0, 2}, Case{0, false, 0x4, 0, 2}, Case{3, true, 0x2, 0, 2},
                          Case{3, true, 0x10004, 0x4000, 1}, Case{3, true, 0x4, 0, 0}, Case{3, false, 0x2, 0x4000, 0}})
        EXPECT_EQ(SessionRestoreAnswerWithoutAsking(c.sites, c.normal, c.startup, c.sys), c.want)
            << c.sites << " " << c.normal << " " << c.startup << " " << c.sys;
    EXPECT_EQ(SessionRestoreStatusText(3, 2), "3 Site(s) (2 Selected)");
    EXPECT_EQ(AllSitesCheckState(3, 0), BST_UNCHECKED);
    EXPECT_EQ(AllSitesCheckState(3, 2), BST_INDETERMINATE);
    EXPECT_EQ(AllSitesCheckState(3, 3), BST_CHECKED);
}

namespace {

void SetRowChecked(HWND dialog, int row, bool checked)
{
    LVITEMA change = {};
    change.stateMask = LVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(GetDlgItem(dialog, IDC_SESSION_LIST), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&change));
}

std::string StatusText(HWND dialog)
{
    char text[128] = {};
    SendMessageA(GetDlgItem(dialog, IDC_SESSION_STATUS), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

const std::vector<CSessionEntry> kThreeSites = {{"First", "http://first.example/"},
                                                {"Second", "http://second.example/"},
                                                {"Third", "http://third.example/"}};

}  // namespace

TEST_F(FrameDialogs, SessionRestoreAfterAnAbnormalEndAsksAndReturnsTheTickedSites)
{
    Settings().SysFlags |= SysFlag::NoSiteSelectionDialog;  // asked all the same after an abnormal end
    std::vector<bool> chosen(3, true);
    CSessionRestoreDlg dialog(kThreeSites, chosen, false);
    CModalScript script({[&](HWND d) {
        EXPECT_FALSE(Visible(d, IDC_SESSION_DONT_REMIND));
        EXPECT_TRUE(Contains(ItemText(d, IDC_SESSION_TEXT), "didn't exit normally"));
        EXPECT_EQ(StatusText(d), "3 Site(s) (3 Selected)");
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_SESSION_ALL), static_cast<UINT>(BST_CHECKED));
        SetRowChecked(d, 1, false);
        EXPECT_EQ(StatusText(d), "3 Site(s) (2 Selected)");
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_SESSION_ALL), static_cast<UINT>(BST_INDETERMINATE));
        Shot(d, "session-restore.bmp");
        // "All sites" with some ticked clears them all, and OK waits for a site.
        Click(d, IDC_SESSION_ALL);
        EXPECT_EQ(StatusText(d), "3 Site(s) (0 Selected)");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        SetRowChecked(d, 0, true);
        SetRowChecked(d, 2, true);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDOK)));
        Click(d, IDOK);
    }});
    EXPECT_EQ(dialog.Run(nullptr), kSessionRestoreOpen);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(chosen, (std::vector<bool>{true, false, true}));
}

TEST_F(FrameDialogs, SessionRestoreAtStartReopensOnlyTheTickedPagesInOrder)
{
    Settings().StartupFlags.value = 0x10004;
    Settings().SysFlags &= ~SysFlag::NoSiteSelectionDialog;
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    test.RunAfterCreate();
    test.m_factory.m_createdUrls.clear();
    CModalScript script({[&](HWND d) {
        EXPECT_TRUE(Visible(d, IDC_SESSION_DONT_REMIND));
        SetRowChecked(d, 1, false);
        SetItemChecked(d, IDC_SESSION_DONT_REMIND, true);
        Click(d, IDOK);
    }});
    test.Frame().OpenStartPages(kThreeSites, true);
    EXPECT_TRUE(script.Finished());
    // The first page takes the blank tab.
    const std::vector<std::string> opened = ShownUrls(test);
    EXPECT_EQ(opened, (std::vector<std::string>{"http://first.example/", "http://third.example/"}));
    EXPECT_TRUE(Settings().SysFlags & SysFlag::NoSiteSelectionDialog);

    // Cancel opens none; an empty list never asks.
    test.m_factory.m_createdUrls.clear();
    Settings().SysFlags &= ~SysFlag::NoSiteSelectionDialog;
    {
        CModalScript cancel({[&](HWND d) { Click(d, IDCANCEL); }});
        test.Frame().OpenStartPages(kThreeSites, true);
        EXPECT_TRUE(cancel.Finished());
    }
    test.Frame().OpenStartPages({}, false);
    EXPECT_TRUE(test.m_factory.m_createdUrls.empty());
    EXPECT_EQ(ShownUrls(test), opened);
}

TEST_F(FrameDialogs, OpenDialogOpensTheTypedAddress)
{
    CTestFrame test;
    CRealQuestions real;  // after the frame, which installs its own answers
    test.RunAfterCreate();
    CModalScript script({[&](HWND d) {
        char caption[32] = {};
        GetWindowTextA(d, caption, sizeof(caption));
        EXPECT_STREQ(caption, "Open");
        SetDlgItemTextA(d, IDC_OPEN_ADDRESS, "  http://typed.example/page  ");
        Shot(d, "open-dialog.bmp");
        Click(d, IDOK);
    }});
    SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_OPEN, 0), 0);
    EXPECT_TRUE(script.Finished());
    ASSERT_NE(test.ActiveTab(), nullptr);
    EXPECT_EQ(test.ActiveTab()->m_url, "http://typed.example/page");

    const size_t made = test.m_factory.m_createdUrls.size();
    CModalScript cancel({[&](HWND d) {
        SetDlgItemTextA(d, IDC_OPEN_ADDRESS, "http://not.example/");
        Click(d, IDCANCEL);
    }});
    SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_OPEN, 0), 0);
    EXPECT_TRUE(cancel.Finished());
    EXPECT_EQ(test.m_factory.m_createdUrls.size(), made);
    EXPECT_EQ(test.ActiveTab()->m_url, "http://typed.example/page");
}

TEST_F(FrameDialogs, ClosingTheFrameWhileOneOfItsDialogsIsUpEndsTheDialogFirst)
{
    // The dialog as the frame's last active popup, and a dialog that was never activated (a busy
    // machine, no window manager): the frame itself is its last active window.
    for (const bool frameActivatedLast : {false, true}) {
        SCOPED_TRACE(frameActivatedLast ? "dialog never activated" : "dialog active");
        CTestFrame test;
        CRealQuestions real;  // after the frame, which installs its own answers
        test.RunAfterCreate();
        Settings().SysFlags |= SysFlag::NoExitConfirmation;
        HWND shown = nullptr;
        CModalScript script({[&](HWND d) {
            shown = d;
            if (frameActivatedLast)
                SetActiveWindow(test.Window());
            PostMessageA(test.Window(), WM_CLOSE, 0, 0);
        }});
        SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_OPEN, 0), 0);
        EXPECT_TRUE(script.Finished());
        EXPECT_NE(shown, nullptr);
        EXPECT_FALSE(IsWindow(shown));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(test.Window()); }));
    }
}

// ---------------------------------------------------------------------------------------------
// Main toolbar style and customisation

TEST(MainToolBarStyle, EncodingKeepsBothOptionsAndReadsStrangeOnesAsTheFirst)
{
    EXPECT_EQ(EncodeMainToolBarStyle(kToolBarLargeIcons, kToolBarNoText), kDefaultMainToolBarStyle);
    EXPECT_EQ(EncodeMainToolBarStyle(kToolBarSmallIcons, kToolBarSelectiveTextRight), 2u);
    struct Case {
        DWORD value;
        int icons;
        int text;
    };
    for (const Case& c : {Case{0x10000, 1, 0}, Case{0x10001, 1, 1}, Case{0x2, 0, 2}, Case{0x7, 0, 0},
                          Case{0x50002, 0, 2}, Case{0xFFFFFFFF, 0, 0}}) {
        int icons = -1;
        int text = -1;
        DecodeMainToolBarStyle(c.value, icons, text);
        EXPECT_EQ(icons, c.icons) << std::hex << c.value;
        EXPECT_EQ(text, c.text) << std::hex << c.value;
    }
}

namespace {

struct CButtonState {
    std::vector<int> commands;
    std::vector<int> withShowText;
};

CButtonState ReadToolBar(HWND toolBar)
{
    CButtonState state;
    const int count = static_cast<int>(SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        state.commands.push_back(button.idCommand);
        if (button.fsStyle & BTNS_SHOWTEXT)
            state.withShowText.push_back(button.idCommand);
    }
    return state;
}

HWND SystemToolBar(CTestFrame& test)
{
    return GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
}

void NotifyToolBar(CTestFrame& test, UINT code)
{
    NMHDR header = {};
    header.hwndFrom = SystemToolBar(test);
    header.idFrom = IDC_FRAME_SYSTEM_TOOLBAR;
    header.code = code;
    SendMessageA(test.Window(), WM_NOTIFY, IDC_FRAME_SYSTEM_TOOLBAR, reinterpret_cast<LPARAM>(&header));
}

int IndexOf(HWND toolBar, int command)
{
    return static_cast<int>(SendMessageA(toolBar, TB_COMMANDTOINDEX, command, 0));
}

}  // namespace

TEST_F(FrameDialogs, MainToolBarStartsWithLargeIconsWithoutTextsAndShowsSelectiveTexts)
{
    CTestFrame test;
    test.RunAfterCreate();
    HWND toolBar = SystemToolBar(test);
    ASSERT_NE(toolBar, nullptr);
    CMainToolBarStyle& style = test.Frame().GetMainToolBarStyle();
    EXPECT_EQ(style.GetIconOption(), kToolBarLargeIcons);
    EXPECT_EQ(style.GetTextOption(), kToolBarNoText);
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(GetImageListManager()->GetList(kSlotToolBarLarge), &cx, &cy);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0)),
              GetImageListManager()->GetList(kSlotToolBarLarge));
    EXPECT_TRUE(ReadToolBar(toolBar).withShowText.empty());
    EXPECT_TRUE(GetWindowLongPtrA(toolBar, GWL_STYLE) & CCS_ADJUSTABLE);

    style.SetTextOption(kToolBarSelectiveTextRight);
    style.ApplyStyle();
    EXPECT_EQ(ReadToolBar(toolBar).withShowText, (std::vector<int>{ID_FRAME_BACK, ID_FRAME_PANE_FIRST}));
    EXPECT_TRUE(GetWindowLongPtrA(toolBar, GWL_STYLE) & TBSTYLE_LIST);
    EXPECT_TRUE(SendMessageA(toolBar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_MIXEDBUTTONS);
    style.SetTextOption(kToolBarTextLabels);
    style.SetIconOption(kToolBarSmallIcons);
    style.ApplyStyle();
    EXPECT_TRUE(ReadToolBar(toolBar).withShowText.empty());
    EXPECT_FALSE(GetWindowLongPtrA(toolBar, GWL_STYLE) & TBSTYLE_LIST);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0)),
              GetImageListManager()->GetList(kSlotToolBarSmall));
    EXPECT_EQ(SendMessageA(toolBar, TB_GETHOTIMAGELIST, 0, 0), 0);
}

TEST_F(FrameDialogs, CustomisedMainToolBarIsTheSameAfterARestart)
{
    std::vector<int> customised;
    {
        CTestFrame test;
        test.RunAfterCreate();
        HWND toolBar = SystemToolBar(test);
        NotifyToolBar(test, TBN_BEGINADJUST);
        ASSERT_GE(IndexOf(toolBar, ID_FRAME_PRINT), 0);
        SendMessageA(toolBar, TB_DELETEBUTTON, IndexOf(toolBar, ID_FRAME_PRINT), 0);
        SendMessageA(toolBar, TB_MOVEBUTTON, IndexOf(toolBar, ID_FRAME_OPTIONS), 0);
        test.Frame().GetMainToolBarStyle().SetTextOption(kToolBarSelectiveTextRight);
        NotifyToolBar(test, TBN_ENDADJUST);
        customised = ReadToolBar(toolBar).commands;
        EXPECT_EQ(customised.front(), ID_FRAME_OPTIONS);
        EXPECT_EQ(std::find(customised.begin(), customised.end(), ID_FRAME_PRINT), customised.end());
        test.Close();
    }
    EXPECT_EQ(GetSettingsStore()->GetInt(kFrameSettingsSection, kMainToolBarStyleValue, 0), 0x10002u);
    CTestFrame again;
    again.RunAfterCreate();
    HWND toolBar = SystemToolBar(again);
    const CButtonState state = ReadToolBar(toolBar);
    EXPECT_EQ(state.commands, customised);
    EXPECT_EQ(state.withShowText, (std::vector<int>{ID_FRAME_BACK, ID_FRAME_PANE_FIRST}));
    EXPECT_TRUE(GetWindowLongPtrA(toolBar, GWL_STYLE) & TBSTYLE_LIST);
    RedrawWindow(again.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    RECT rebar = {};
    GetWindowRect(again.Frame().GetReBar(), &rebar);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(rebar, "main-toolbar-customised.bmp", path)) << path;

    // Reset brings back the default set.
    NotifyToolBar(again, TBN_RESET);
    EXPECT_NE(IndexOf(toolBar, ID_FRAME_PRINT), -1);
    EXPECT_EQ(ReadToolBar(toolBar).commands.front(), ID_FRAME_BACK);
}

TEST_F(FrameDialogs, CustomiseDialogCarriesTheTextAndIconOptions)
{
    GetSettingsStore()->WriteInt(kFrameSettingsSection, kMainToolBarStyleValue, 7);
    CTestFrame test;
    test.RunAfterCreate();
    HWND toolBar = SystemToolBar(test);
    CMainToolBarStyle& style = test.Frame().GetMainToolBarStyle();
    bool panelSeen = false;
    CModalScript script({[&](HWND dialog) {
        HWND panel = style.GetOptionsPanel();
        panelSeen = panel != nullptr;
        if (panel) {
            EXPECT_EQ(GetParent(panel), dialog);
            EXPECT_EQ(SendDlgItemMessageA(panel, IDC_TOOLBAR_TEXT_OPTIONS, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(SendDlgItemMessageA(panel, IDC_TOOLBAR_ICON_OPTIONS, CB_GETCURSEL, 0, 0), 0);
            HWND text = GetDlgItem(panel, IDC_TOOLBAR_TEXT_OPTIONS);
            SendMessageA(text, CB_SETCURSEL, kToolBarTextLabels, 0);
            SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_TOOLBAR_TEXT_OPTIONS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(text));
        }
        Shot(dialog, "toolbar-customise.bmp");
        EndDialog(dialog, IDCANCEL);
    }});
    SendMessageA(toolBar, TB_CUSTOMIZE, 0, 0);
    PumpUntil([&] { return script.Finished() || script.TimedOut(); });
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(panelSeen);
    EXPECT_EQ(style.GetTextOption(), kToolBarTextLabels);
}
