// The search bar as a real window under Wine: its category buttons and engine menus come from
// "searchengine.ini", Enter and the buttons search through the frame's open-URL message, the
// history keeps 30 queries across a restart, and dropped text becomes the query.
#include "navigation/SearchBar.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/RegistryKey.h"
#include "navigation/SearchEngineManager.h"

#include <gtest/gtest.h>

namespace {

// The program's own history key (HKEY_CURRENT_USER is the process's scratch key in the tests).
std::string HistoryKey()
{
    return std::string(GetRegistrySettingsStore()->GetRegistryPath().c_str()) + "\\Search\\History";
}

class SearchBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, HistoryKey().c_str());
        m_savedTabFlags = GetSettings()->TabOpenFlags.value;
        GetSettings()->TabOpenFlags = 0;
        const std::string engines = nav_test::WriteText(
            m_folder, "searchengine.ini",
            "[Web]\r\nFind=http://find.example/?q=%us\r\n-=\r\nSeek=http://seek.example/?s=%s\r\n"
            "[Images]\r\nPictures=http://pictures.example/%us\r\n[Hidden]\r\nSecret=http://secret.example/%us\r\n");
        m_store.WriteBinary("Settings", kDisabledCategoriesKey, EncodeIntList({2}));
        m_store.WriteBinary("Settings", kDefaultSearchEngineKey, EncodeIntList({2}));
        CIniFile file;
        ASSERT_TRUE(file.Open(engines.c_str()));
        m_engines = std::make_unique<CSearchEngineManager>(&file, m_store);
        CreateBar();
    }
    void TearDown() override
    {
        if (m_bar && m_bar->IsWindow())
            m_bar->DestroyWindow();
        m_bar.reset();
        GetSettings()->TabOpenFlags = m_savedTabFlags;
        RegDeleteTreeA(HKEY_CURRENT_USER, HistoryKey().c_str());
        OleUninitialize();
    }
    void CreateBar()
    {
        m_bar = std::make_unique<CSearchBar>(m_engines.get(), SearchHistory());
        ASSERT_TRUE(m_bar->Create(m_frame.Window()));
        m_bar->SetWindowPos(nullptr, 4, 8, 560, 26, SWP_NOZORDER);
    }
    void Type(const std::string& text) { ::SetWindowTextA(m_bar->GetEditWindow(), text.c_str()); }
    void PressEnter() { ::SendMessageA(m_bar->GetEditWindow(), WM_KEYDOWN, VK_RETURN, 1); }

    CScratchFolder m_folder{"search-bar"};
    nav_test::CMemorySettingsStore m_store;
    nav_test::CFrameDouble m_frame;
    std::unique_ptr<CSearchEngineManager> m_engines;
    std::unique_ptr<CSearchBar> m_bar;
    int m_savedTabFlags = 0;
};

TEST_F(SearchBarTest, CategoryButtonsAndEngineMenusComeFromTheFile)
{
    HWND toolbar = m_bar->GetCategoryToolbar();
    ASSERT_TRUE(toolbar);
    char className[64] = {};
    GetClassNameA(m_bar->m_hWnd, className, sizeof(className));
    EXPECT_STREQ("_SearchBar", className);
    // Three categories (the third disabled and hidden), a separator, find next and highlight.
    ASSERT_EQ(6, static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)));
    EXPECT_FALSE(::SendMessageA(toolbar, TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST, 0));
    EXPECT_FALSE(::SendMessageA(toolbar, TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST + 1, 0));
    EXPECT_TRUE(::SendMessageA(toolbar, TB_ISBUTTONHIDDEN, ID_SEARCH_CATEGORY_FIRST + 2, 0));

    nav_test::CMenuChooser chooser;
    UINT defaultItem = 0;
    chooser.choose = [&](HMENU menu) -> UINT {
        defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
        return kEngineMenuFirstCommand;  // "Find", not the default
    };
    Type("kivo browser");
    m_bar->ShowEngineMenu(0);
    EXPECT_EQ((std::vector<std::string>{"Find=" + std::to_string(kEngineMenuFirstCommand), "=0",
                                        "Seek=" + std::to_string(kEngineMenuFirstCommand + 2)}),
              chooser.lastItems);
    EXPECT_EQ(kEngineMenuFirstCommand + 2, defaultItem);
    ASSERT_EQ(1u, m_frame.opens.size());
    EXPECT_EQ("http://find.example/?q=kivo%20browser", m_frame.opens[0].url);

    // The category button searches with the category's default engine, a new tab when asked.
    GetSettings()->TabOpenFlags = TabOpenFlag::SearchBar;
    m_bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SEARCH_CATEGORY_FIRST, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    ASSERT_EQ(2u, m_frame.opens.size());
    EXPECT_EQ("http://seek.example/?s=kivo%20browser", m_frame.opens[1].url);
    EXPECT_EQ(DWORD{kOpenNewTab}, m_frame.opens[1].flags);
    m_bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SEARCH_CATEGORY_FIRST + 1, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    ASSERT_EQ(3u, m_frame.opens.size());
    EXPECT_EQ("http://pictures.example/kivo%20browser", m_frame.opens[2].url);

    // Find next and highlight go to the frame, which acts on the active page.
    m_bar->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SEARCH_HIGHLIGHT, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    ASSERT_TRUE(nav_test::PumpUntil([&] { return !m_frame.commands.empty(); }));
    EXPECT_EQ(UINT{ID_SEARCH_HIGHLIGHT}, m_frame.commands[0]);

    // The bar menu's choice is posted to the frame.
    chooser.choose = [](HMENU) -> UINT { return ID_CLEAR_SEARCH_HISTORY; };
    m_bar->ShowBarMenu();
    EXPECT_EQ((std::vector<std::string>{"Search Bar Options...=42060", "Automatically Open New Tab=42061", "=0",
                                        "Clear Search History=42011"}),
              chooser.lastItems);
    ASSERT_TRUE(nav_test::PumpUntil([&] { return m_frame.commands.size() == 2; }));
    EXPECT_EQ(UINT{ID_CLEAR_SEARCH_HISTORY}, m_frame.commands[1]);
}

TEST_F(SearchBarTest, EnterSearchesAndTheHistorySurvivesARestart)
{
    Type("   ");
    PressEnter();
    EXPECT_TRUE(m_frame.opens.empty()) << "an empty query does nothing";
    for (int i = 1; i <= 31; ++i) {
        Type(" query " + std::to_string(i) + " ");
        PressEnter();
    }
    ASSERT_EQ(31u, m_frame.opens.size());
    EXPECT_EQ("http://seek.example/?s=query%2031", m_frame.opens.back().url);
    Type("QUERY 5");
    PressEnter();
    ASSERT_EQ(30u, m_bar->History().size());
    EXPECT_EQ("QUERY 5", m_bar->History().front());

    // Up and Down step through the list, wrapping at its ends.
    ::SendMessageA(m_bar->m_hWnd, CB_SETCURSEL, 0, 0);
    ::SendMessageA(m_bar->GetEditWindow(), WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(29, static_cast<int>(m_bar->SendMessage(CB_GETCURSEL)));
    ::SendMessageA(m_bar->GetEditWindow(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(0, static_cast<int>(m_bar->SendMessage(CB_GETCURSEL)));

    const std::vector<std::string> before = m_bar->History();
    m_bar->DestroyWindow();
    CreateBar();
    EXPECT_EQ(before, m_bar->History());
    EXPECT_EQ("query 31", m_bar->History()[1]);

    // Each query is a numbered value of the history key, the newest as "1".
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, HistoryKey().c_str(), KEY_READ));
    TStdStr<char> value;
    ASSERT_TRUE(key.QueryStringValue("1", value));
    EXPECT_STREQ("QUERY 5", value.c_str());
    ASSERT_TRUE(key.QueryStringValue("30", value));
    EXPECT_FALSE(key.QueryStringValue("31", value));
    key.Close();

    m_bar->ClearHistory();
    m_bar->DestroyWindow();
    CreateBar();
    EXPECT_TRUE(m_bar->History().empty());
}

TEST_F(SearchBarTest, DroppedTextBecomesTheQueryAndThePicture)
{
    CComObject<CBarDropTarget>* target = nullptr;
    ASSERT_EQ(S_OK, CComObject<CBarDropTarget>::CreateInstance(&target));
    target->AddRef();
    target->m_handler = m_bar.get();
    // No data object at all is refused; the real drop path is shared with the address bar.
    DWORD effect = DROPEFFECT_COPY;
    const POINTL point = {5, 5};
    EXPECT_EQ(S_OK, target->Drop(nullptr, 0, point, &effect));
    EXPECT_EQ(DWORD{DROPEFFECT_NONE}, effect);
    target->m_handler = nullptr;
    target->Release();

    MSG message = {};
    message.hwnd = m_bar->GetEditWindow();
    message.message = WM_KEYDOWN;
    message.wParam = VK_F4;
    EXPECT_EQ(0, m_bar->PreTranslateMessage(&message)) << "the search bar has no F4 list key";
    message.wParam = VK_RETURN;
    EXPECT_EQ(2, m_bar->PreTranslateMessage(&message));

    Type("kivo browser");
    RedrawWindow(m_frame.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame.Window(), "search-bar.bmp", path));
}

}  // namespace
