#include "core/app/SettingsStore.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SettingsStore, GlobalStoreIsTheRegistryStoreUnderTheProgramsKey)
{
    CRegistrySettingsStore* store = GetRegistrySettingsStore();
    ASSERT_NE(store, nullptr);
    // The test registry scopes of other tests are gone again here.
    EXPECT_STREQ(store->GetRegistryPath(), "software\\KivoBrowser\\Kivo Browser");
    // The one store is the registry store, and stays the same object.
    EXPECT_EQ(static_cast<CSettingsStore*>(store), GetSettingsStore());
}

TEST(SettingsStore, ValuesRoundTripWithTheirRegistryTypes)
{
    CTestRegistryKey key("StoreRoundTrip");
    CSettingsStore& store = *GetSettingsStore();

    EXPECT_STREQ(store.GetString("Settings", "Missing", "fallback"), "fallback");
    EXPECT_EQ(store.GetInt("Settings", "Missing", 77u), 77u);
    // A read creates the section's key.
    EXPECT_TRUE(key.SectionExists("Settings"));

    ASSERT_TRUE(store.WriteString("Settings", "Text", "hello"));
    ASSERT_TRUE(store.WriteInt("Config", "Number", 0xDEADBEEF));
    const BYTE blob[] = {1, 2, 3, 0, 5};
    ASSERT_TRUE(store.WriteBinary("Settings", "Blob", blob, sizeof(blob)));

    DWORD type = 0;
    std::vector<BYTE> raw;
    ASSERT_TRUE(key.Query("Settings", "Text", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw, (std::vector<BYTE>{'h', 'e', 'l', 'l', 'o', 0}));
    ASSERT_TRUE(key.Query("Config", "Number", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.size(), 4u);
    ASSERT_TRUE(key.Query("Settings", "Blob", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    EXPECT_STREQ(store.GetString("Settings", "Text", ""), "hello");
    EXPECT_EQ(store.GetInt("Config", "Number", 0), 0xDEADBEEFu);
    std::vector<BYTE> data{9};
    ASSERT_TRUE(store.GetBinary("Settings", "Blob", data));
    EXPECT_EQ(data, std::vector<BYTE>(blob, blob + sizeof(blob)));

    // The vector form writes the same; an empty vector writes an empty value, which reads as
    // present and leaves the target unchanged.
    ASSERT_TRUE(store.WriteBinary("Settings", "Empty", std::vector<BYTE>()));
    data = {7, 7};
    EXPECT_TRUE(store.GetBinary("Settings", "Empty", data));
    EXPECT_EQ(data, (std::vector<BYTE>{7, 7}));
    EXPECT_FALSE(store.GetBinary("Settings", "Nothing", data));

    // A null value deletes the value.
    ASSERT_TRUE(store.WriteString("Settings", "Text", nullptr));
    EXPECT_STREQ(store.GetString("Settings", "Text", "gone"), "gone");
}

TEST(SettingsStore, OddlyStoredValuesFallBackSafely)
{
    CTestRegistryKey key("StoreOddValues");
    CSettingsStore& store = *GetSettingsStore();
    struct Case {
        const char* name;
        DWORD type;
        std::vector<BYTE> bytes;
        DWORD expected;
    };
    const Case cases[] = {
        // "abc" with its zero is four bytes: read as a number.
        {"Abc", REG_SZ, {'a', 'b', 'c', 0}, 0x00636261},
        // Five bytes do not fit a number: the default.
        {"Abcd", REG_SZ, {'a', 'b', 'c', 'd', 0}, 42},
        // Fewer than four bytes would leave part of the number unwritten: the default.
        {"Short", REG_BINARY, {1, 2}, 42},
        {"Binary4", REG_BINARY, {1, 0, 0, 0}, 1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(key.Set("Config", c.name, c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size())));
        EXPECT_EQ(store.GetInt("Config", c.name, 42), c.expected) << c.name;
    }

    // A text stored without its terminating zero ends where the value ends.
    const char unterminated[] = {'x', 'y', 'z'};
    ASSERT_TRUE(key.Set("Config", "NoZero", REG_BINARY, unterminated, sizeof(unterminated)));
    EXPECT_STREQ(store.GetString("Config", "NoZero", ""), "xyz");
}

TEST(SettingsStore, NullKeyRemovesTheWholeSectionWithItsSubkeys)
{
    CTestRegistryKey key("StoreDeleteSection");
    CSettingsStore& store = *GetSettingsStore();
    ASSERT_TRUE(store.WriteInt("Settings", "A", 1));
    ASSERT_TRUE(store.WriteInt("Settings\\Docker", "B", 2));
    ASSERT_TRUE(store.WriteInt("Config", "C", 3));

    EXPECT_TRUE(store.WriteString("Settings", nullptr, nullptr));
    EXPECT_FALSE(key.SectionExists("Settings"));
    EXPECT_EQ(store.GetInt("Config", "C", 0), 3u);
}

TEST(SettingsStore, RecordsLoadTheirDefaultWhenAbsentAndSave)
{
    CTestRegistryKey key("StoreRecords");
    CSettingInt number("Settings", "Number", -2);
    CSettingString text("Settings", "Text", "default");
    number.Load();
    text.Load();
    EXPECT_EQ(number.value, -2);
    EXPECT_STREQ(text.value, "default");
    number = 12;
    text = "changed";
    number.Save();
    text.Save();

    CSettingInt number2("Settings", "Number", 0);
    CSettingString text2("Settings", "Text", "");
    number2.Load();
    text2.Load();
    EXPECT_EQ(number2.value, 12);
    EXPECT_STREQ(text2.value, "changed");
}

namespace {

// A plain top-level window to place.
HWND CreatePlacementWindow(int x, int y, int width, int height)
{
    static ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KivoPlacementTest";
        return RegisterClassA(&wc);
    }();
    (void)atom;
    return CreateWindowExA(0, "KivoPlacementTest", "placement", WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A window at (40, 50), 300 by 200, with its placement record under a test key.
struct CPlacementFixture : testing::Test {
    CTestRegistryKey key{"Placement"};
    HWND window = CreatePlacementWindow(40, 50, 300, 200);
    CWindowPlacementSetting setting{"Settings", "Placement"};

    void SetUp() override
    {
        ASSERT_NE(window, nullptr);
        setting.m_hWnd = window;
    }
    void TearDown() override { DestroyWindow(window); }
};

}  // namespace

TEST_F(CPlacementFixture, SavesAndRestoresTheNormalRectangle)
{
    ASSERT_TRUE(setting.Save());

    DWORD type = 0;
    std::vector<BYTE> raw;
    ASSERT_TRUE(key.Query("Settings", "Placement", type, raw));
    ASSERT_EQ(raw.size(), 44u);
    WINDOWPLACEMENT stored;
    std::memcpy(&stored, raw.data(), 44);
    EXPECT_EQ(stored.length, 44u);
    EXPECT_EQ(stored.flags, 0u);
    EXPECT_EQ(stored.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    const RECT saved = stored.rcNormalPosition;

    // Restore at the first paint moves the window back.
    SetWindowPos(window, nullptr, 200, 220, 100, 80, SWP_NOZORDER | SWP_NOACTIVATE);
    LRESULT result = 0;
    EXPECT_FALSE(setting.ProcessWindowMessage(window, WM_PAINT, 0, 0, result));
    WINDOWPLACEMENT now = {sizeof(now)};
    GetWindowPlacement(window, &now);
    EXPECT_EQ(now.rcNormalPosition.left, saved.left);
    EXPECT_EQ(now.rcNormalPosition.bottom, saved.bottom);

    // A window that keeps its size takes only the position.
    CWindowPlacementSetting positionOnly("Settings", "Placement", false);
    positionOnly.m_hWnd = window;
    SetWindowPos(window, nullptr, 300, 310, 150, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(positionOnly.Restore());
    GetWindowPlacement(window, &now);
    EXPECT_EQ(now.rcNormalPosition.left, saved.left);
    EXPECT_EQ(now.rcNormalPosition.right - now.rcNormalPosition.left, 150);
}

TEST_F(CPlacementFixture, IgnoresPlacementsOffScreenOrOfTheWrongSize)
{
    WINDOWPLACEMENT off = {sizeof(off)};
    off.showCmd = SW_SHOWNORMAL;
    off.rcNormalPosition = {-5000, -5000, -4000, -4000};
    ASSERT_TRUE(GetSettingsStore()->WriteBinary("Settings", "Placement", &off, sizeof(off)));
    EXPECT_FALSE(setting.Restore());
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 40);

    const BYTE shortValue[40] = {44};
    ASSERT_TRUE(GetSettingsStore()->WriteBinary("Settings", "Placement", shortValue, sizeof(shortValue)));
    EXPECT_FALSE(setting.Restore());

    WINDOWPLACEMENT badLength = off;
    badLength.length = 40;
    badLength.rcNormalPosition = {10, 10, 100, 100};
    ASSERT_TRUE(GetSettingsStore()->WriteBinary("Settings", "Placement", &badLength, sizeof(badLength)));
    EXPECT_FALSE(setting.Restore());

    // A window that was never painted (never restored) keeps the stored placement at destroy.
    LRESULT result = 0;
    setting.ProcessWindowMessage(window, WM_DESTROY, 0, 0, result);
    std::vector<BYTE> data;
    ASSERT_TRUE(GetSettingsStore()->GetBinary("Settings", "Placement", data));
    EXPECT_EQ(reinterpret_cast<WINDOWPLACEMENT*>(data.data())->length, 40u);
}

TEST_F(CPlacementFixture, MaximisedWindowIsStoredMaximised)
{
    ShowWindow(window, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(setting.Save());
    std::vector<BYTE> data;
    ASSERT_TRUE(GetSettingsStore()->GetBinary("Settings", "Placement", data));
    const auto* stored = reinterpret_cast<const WINDOWPLACEMENT*>(data.data());
    EXPECT_EQ(stored->flags, static_cast<UINT>(WPF_RESTORETOMAXIMIZED));
    EXPECT_EQ(stored->showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
}
