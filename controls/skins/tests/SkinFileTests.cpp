// The skin files: the number grammar of "skin.ini", the checks on bitmap files, the list of
// installed skins, loading (defaults, fallbacks, force, refusal) and the hostile inputs: random
// and damaged "skin.ini" files and bitmaps from a fixed seed load without a crash.
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinBitmap.h"
#include "controls/skins/SkinValues.h"
#include "controls/skins/SkinnedWindow.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <random>

using namespace skin_test;

TEST(SkinValues, PointsAndRectanglesFollowTheGrammar)
{
    const struct {
        const char* text;
        POINT expected;
    } points[] = {
        {"12,34", {12, 34}},        {"-20,4", {-20, 4}},     {" 7, 8", {7, 8}},      {"5x,9y", {5, 9}},
        {"-1,30", {-1, -1}},        {"12", {-1, -1}},        {"12,", {-1, -1}},      {"", {-1, -1}},
        {"99999999999,2", {kMaxSkinCoordinate, 2}},          {"1,-99999999999", {1, -kMaxSkinCoordinate}},
        {"123456789012345678901234567,1", {-1, -1}},  // longer than a point's 28 characters
        {",5", {0, 5}},
    };
    for (const auto& c : points) {
        const POINT point = ParseSkinPoint(c.text);
        EXPECT_EQ(point.x, c.expected.x) << c.text;
        EXPECT_EQ(point.y, c.expected.y) << c.text;
    }
    const struct {
        const char* text;
        RECT expected;
    } rects[] = {
        {"6,29,6,6", {6, 29, 6, 6}},  {"30,0,-72,26", {30, 0, -72, 26}}, {"1,2,3", {-1, -1, -1, -1}},
        {"1,2,3,", {-1, -1, -1, -1}}, {"-1,2,3,4", {-1, -1, -1, -1}},    {"a,b,c,d", {0, 0, 0, 0}},
        {"1,2,3,4,5", {1, 2, 3, 4}},  // the last part holds the rest; its leading digits count
    };
    for (const auto& c : rects) {
        const RECT rect = ParseSkinRect(c.text);
        EXPECT_TRUE(EqualRect(&rect, &c.expected)) << c.text;
    }
    EXPECT_EQ(ClampSkinBorder(-5), 0);
    EXPECT_EQ(ClampSkinBorder(100000), kMaxSkinBorder);
}

TEST(SkinBitmapFiles, OnlyFilesWhoseHeadersAgreeWithTheirLengthAreDecoded)
{
    const std::string good = BitmapBytes(8, 4, [](int, int) { return RGB(1, 2, 3); });
    ASSERT_TRUE(IsSaneBitmapFile(good));
    const auto patched = [&](size_t at, const void* value, size_t size) {
        std::string bytes = good;
        std::memcpy(bytes.data() + at, value, size);
        return bytes;
    };
    const LONG hugeWidth = 100000;
    const LONG negativeWidth = -8;
    const WORD sevenBits = 7;
    const DWORD rle = BI_RLE8;
    const DWORD farOffset = 0x7FFFFFFF;
    const size_t info = sizeof(BITMAPFILEHEADER);
    const struct {
        const char* what;
        std::string bytes;
    } bad[] = {
        {"empty", ""},
        {"no signature", "XY" + good.substr(2)},
        {"cut rows", good.substr(0, good.size() - 5)},
        {"huge width", patched(info + offsetof(BITMAPINFOHEADER, biWidth), &hugeWidth, sizeof(hugeWidth))},
        {"negative width", patched(info + offsetof(BITMAPINFOHEADER, biWidth), &negativeWidth, sizeof(negativeWidth))},
        {"bit count", patched(info + offsetof(BITMAPINFOHEADER, biBitCount), &sevenBits, sizeof(sevenBits))},
        {"compressed", patched(info + offsetof(BITMAPINFOHEADER, biCompression), &rle, sizeof(rle))},
        {"pixels past the end", patched(offsetof(BITMAPFILEHEADER, bfOffBits), &farOffset, sizeof(farOffset))},
    };
    for (const auto& c : bad)
        EXPECT_FALSE(IsSaneBitmapFile(c.bytes)) << c.what;

    CScratchFolder folder("skin-bitmaps");
    const std::string path = std::string(folder.Path().c_str()) + "cut.bmp";
    ASSERT_TRUE(WriteFile(path, good.substr(0, 60)));
    EXPECT_EQ(LoadSkinBitmapFile(path), nullptr);
    EXPECT_EQ(LoadSkinBitmapFile(std::string(folder.Path().c_str()) + "missing.bmp"), nullptr);
}

TEST(SkinManager, ListsTheFoldersWithASkinIniAndLoadsTheirValues)
{
    CScratchFolder folder("skins-list");
    const std::string skins = folder.Path().c_str();
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "Plain"));
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "Filled", "framerect=1,2,3\r\nframecorner=9\r\n"));
    CreateDirectoryA((skins + "NoIni").c_str(), nullptr);
    ASSERT_TRUE(WriteBitmap(skins + "NoIni\\top.bmp", 4, 4, RGB(1, 1, 1)));
    CreateDirectoryA((skins + "Bare").c_str(), nullptr);
    ASSERT_TRUE(WriteFile(skins + "Bare\\skin.ini", ""));

    CFrameSkinManager manager(folder.Path(), "Plain");
    ASSERT_EQ(manager.GetSkinCount(), 3u);  // Plain, Filled, Bare; not NoIni
    bool sawPlain = false;
    for (const CSkinDescriptor& skin : manager.GetSkins()) {
        EXPECT_NE(skin.name, "NoIni");
        if (skin.name == "Plain") {
            sawPlain = true;
            EXPECT_EQ(skin.author, "Test Author");
            EXPECT_EQ(skin.website, "http://skins.example");
            EXPECT_EQ(skin.email, "a@b.example");
        }
    }
    EXPECT_TRUE(sawPlain);

    // Twelve-part mode: parts, borders, positions, colour; "lefttop" falls back to "left".
    ASSERT_TRUE(manager.IsSkinActive());
    const CSkinData& skin = manager.GetSkin();
    EXPECT_FALSE(skin.fillMode);
    const RECT borders = skin.Borders();
    EXPECT_EQ(borders.left, kSideWidth);
    EXPECT_EQ(borders.top, kTopHeight);
    EXPECT_EQ(borders.right, kSideWidth);
    EXPECT_EQ(borders.bottom, kBottomHeight);
    EXPECT_EQ(skin.PartSize(kSkinLeftTop).cx, kSideWidth);
    EXPECT_EQ(skin.PartSize(kSkinLeftTop).cy, 4);  // the "left" file's size
    EXPECT_EQ(skin.PartSize(kSkinRightTop).cy, 8);  // its own file
    EXPECT_EQ(skin.captionTextColor, RGB(10, 20, 30));
    EXPECT_EQ(skin.buttonPositions[kSkinButtonClose].x, -20);
    EXPECT_EQ(skin.ButtonImageSize(kSkinButtonMin).cx, kButtonSize);
    EXPECT_TRUE(skin.buttons[kSkinButtonSys].IsNull());

    // Fill mode with an unparsable frame rectangle takes 6,29,6,6.
    ASSERT_TRUE(manager.LoadSkin("Filled", nullptr, false));
    EXPECT_TRUE(manager.GetSkin().fillMode);
    const RECT filled = manager.GetSkin().Borders();
    EXPECT_TRUE(EqualRect(&filled, &kDefaultFillFrame));
    EXPECT_EQ(manager.GetSkin().frameCorner, 9);

    // A skin without keys: white caption text, every position -1, no bitmaps.
    ASSERT_TRUE(manager.LoadSkin("Bare", nullptr, false));
    EXPECT_EQ(manager.GetSkin().captionTextColor, RGB(255, 255, 255));
    EXPECT_EQ(manager.GetSkin().buttonPositions[kSkinButtonMin].x, -1);
    EXPECT_TRUE(manager.GetSkin().parts[kSkinTop].IsNull());

    // Names that are not installed, and the empty name, switch skinning off.
    EXPECT_TRUE(manager.LoadSkin("NoIni", nullptr, false));
    EXPECT_FALSE(manager.IsSkinActive());
    EXPECT_TRUE(manager.LoadSkin("Plain", nullptr, false));
    EXPECT_TRUE(manager.LoadSkin(nullptr, nullptr, false));
    EXPECT_FALSE(manager.IsSkinActive());
}

TEST(SkinManager, TheCurrentSkinReloadsOnlyWhenForcedAndAnUnreadableOneIsRefused)
{
    CScratchFolder folder("skins-force");
    const std::string skins = folder.Path().c_str();
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "One"));
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "Two"));
    CFrameSkinManager manager(folder.Path(), "One");
    ASSERT_EQ(manager.GetCurrentSkinName(), "One");

    ASSERT_TRUE(WriteFile(skins + "One\\skin.ini", "[general]\r\ncaptextcolor=1,2,3\r\n"));
    EXPECT_TRUE(manager.LoadSkin("One", nullptr, false));
    EXPECT_EQ(manager.GetSkin().captionTextColor, RGB(10, 20, 30));
    EXPECT_TRUE(manager.LoadSkin("One", nullptr, true));
    EXPECT_EQ(manager.GetSkin().captionTextColor, RGB(1, 2, 3));

    // "Two" was listed, then its skin.ini went: the skin in use stays, with its name and values.
    ASSERT_TRUE(DeleteFileA((skins + "Two\\skin.ini").c_str()));
    EXPECT_FALSE(manager.LoadSkin("Two", nullptr, false));
    EXPECT_EQ(manager.GetCurrentSkinName(), "One");
    EXPECT_EQ(manager.GetSkin().captionTextColor, RGB(1, 2, 3));
}

TEST(SkinManager, TheBarsGetTheSkinsBandPicture)
{
    CScratchFolder folder("skins-bars");
    const std::string skins = folder.Path().c_str();
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "Bars"));
    ASSERT_TRUE(WriteBitmap(skins + "Bars\\barback.bmp", 8, 30, RGB(9, 9, 9)));
    HWND frame = CreateTestFrame("bars", 10, 10, 300, 200);
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    HWND rebar = CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT, 0, 0, 300, 30, frame,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(rebar, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "band", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, rebar, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
    band.hwndChild = child;
    band.cxMinChild = 100;
    band.cyMinChild = 20;
    ASSERT_TRUE(SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));

    CFrameSkinManager manager(folder.Path(), "");
    const auto bandPicture = [&](UINT& style) {
        REBARBANDINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_BACKGROUND | RBBIM_STYLE;
        SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&info));
        style = info.fStyle;
        return info.hbmBack;
    };
    UINT style = 0;
    ASSERT_TRUE(manager.LoadSkin("Bars", frame, false));  // the frame is given: its rebar is found
    EXPECT_EQ(bandPicture(style), manager.GetSkin().barBack.m_hGdiObj);
    EXPECT_TRUE(style & RBBS_FIXEDBMP);
    ASSERT_TRUE(manager.LoadSkin("", rebar, false));
    EXPECT_EQ(bandPicture(style), nullptr);
    EXPECT_FALSE(style & RBBS_FIXEDBMP);
    DestroyWindow(frame);
}

namespace {

std::string RandomText(std::mt19937& random, size_t length)
{
    static const char alphabet[] = "0123456789,,,---  =[]\r\nabcxyzFRAMErect#%\xFF\x80";
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += alphabet[random() % (sizeof(alphabet) - 1)];
    return text;
}

}  // namespace

TEST(SkinManager, RandomAndDamagedSkinFilesLoadWithoutACrash)
{
    CScratchFolder folder("skins-fuzz");
    const std::string skins = folder.Path().c_str();
    ASSERT_TRUE(MakeTwelvePartSkin(skins, "Fuzz"));
    const std::string good = BitmapBytes(12, 12, [](int x, int y) { return (x + y) % 3 ? RGB(9, 80, 200) : kMagenta; });
    const char* keys[] = {"captextcolor", "caprect", "syspos", "minpos", "maxpos", "closepos",
                          "systemicon",   "framerect", "framecorner"};
    const char* values[] = {"",          "-1,-1",       "99999999,99999999,99999999,99999999", "0,0,0,0",
                            "-99999,5",  "2147483647",  "-2147483648", "1,2", "255,255", "3000,3000,3000,3000",
                            "1,,2,3",    ",,,"};
    const char* bitmaps[] = {"top", "topleft", "topright", "left", "right", "bottom", "bottomleft", "bottomright",
                             "min", "max", "close", "sys", "framefill", "barback", "lefttop", "rightbottom"};

    std::mt19937 random(20261210);
    CFrameSkinManager manager(folder.Path(), "");
    HWND frame = CreateTestFrame("fuzzed", 40, 40, 260, 180);
    HWND dialog = CreateTestDialog("fuzzed dialog", 320, 40);
    ASSERT_TRUE(frame && dialog);
    manager.AttachWindow(frame);
    manager.AttachWindow(dialog);
    for (int round = 0; round < 60; ++round) {
        std::string ini = random() % 4 ? "[general]\r\n" : RandomText(random, 40);
        for (int line = 0; line < 8; ++line) {
            const char* key = keys[random() % std::size(keys)];
            const std::string value = random() % 3 ? values[random() % std::size(values)] : RandomText(random, random() % 80);
            ini += std::string(key) + "=" + value + "\r\n";
        }
        if (random() % 5 == 0)
            ini += RandomText(random, 3000);
        ASSERT_TRUE(WriteFile(skins + "Fuzz\\skin.ini", ini));
        for (int damaged = 0; damaged < 3; ++damaged) {
            const std::string name = skins + "Fuzz\\" + bitmaps[random() % std::size(bitmaps)] + ".bmp";
            std::string bytes = good;
            switch (random() % 4) {
            case 0: bytes.resize(random() % bytes.size()); break;
            case 1: bytes[random() % 54] = static_cast<char>(random()); break;
            case 2: bytes = RandomText(random, 200); break;
            default: bytes = BitmapBytes(1 + random() % 300, 1 + random() % 60, [&](int x, int) {
                         return x % 5 ? RGB(random() % 256, 0, 0) : kMagenta;
                     });
            }
            ASSERT_TRUE(WriteFile(name, bytes));
        }
        manager.LoadSkin("Fuzz", nullptr, true);
        // Resizing and painting run every part of the frame through the loaded values.
        SetWindowPos(frame, nullptr, 0, 0, 40 + random() % 400, 30 + random() % 300, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        PumpPending();
        ASSERT_TRUE(IsWindow(frame));
        const RECT borders = manager.GetSkin().Borders();
        EXPECT_LE(borders.top, kMaxSkinBorder);
        EXPECT_GE(manager.GetSkin().frameCorner, 0);
        RECT client = {};
        GetClientRect(frame, &client);
        EXPECT_GE(client.right, 0);
        EXPECT_GE(client.bottom, 0);
    }
    DestroyWindow(dialog);
    DestroyWindow(frame);
}

// The program's own manager: the skins shipped beside the program and the skin named by the setting.
TEST(SkinManager, TheProgramsManagerLoadsTheSettingsSkinFromBesideTheProgram)
{
    CTestRegistryKey key{"SkinSetting"};
    ASSERT_TRUE(GetSettingsStore()->WriteString("Config", "SkinName", "Ember"));
    CFrameSkinManager manager;
    EXPECT_GE(manager.GetSkinCount(), 2u);
    EXPECT_EQ(manager.GetCurrentSkinName(), "Ember");
    EXPECT_TRUE(manager.GetSkin().fillMode);
    EXPECT_FALSE(manager.GetSkin().parts[0].IsNull());
    ASSERT_TRUE(GetSettingsStore()->WriteString("Config", "SkinName", "NoSuchSkin"));
    CFrameSkinManager unknown;
    EXPECT_FALSE(unknown.IsSkinActive());
}
