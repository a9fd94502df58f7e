#include "core/app/LanguageManager.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <random>

namespace {

struct CLanguageFixture : testing::Test {
    CTestRegistryKey key{"Languages"};
    CScratchFolder folder{"language"};

    CLanguageFixture()
    {
        EXPECT_TRUE(CopyInto(SourceFolder(KIVO_LANGUAGE_DIR), "English.lng", folder.Path()));
        EXPECT_TRUE(CopyInto(SourceFolder(KIVO_TEST_DATA_DIR), "German.lng", folder.Path()));
    }
    std::unique_ptr<CLanguageManager> Start(const char* language)
    {
        GetSettingsStore()->WriteString("Config", "Language", language);
        return std::make_unique<CLanguageManager>(folder.Path());
    }
};

CStdString Text(const char* text)
{
    return text ? CStdString(text) : CStdString("<null>");
}

CStdString WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

CStdString MenuText(HMENU menu, int position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

}  // namespace

TEST_F(CLanguageFixture, StartInEnglishTranslatesNothing)
{
    auto languages = Start("English");
    EXPECT_EQ(languages->GetLanguageName(), "English");
    const char* text = "&File";
    EXPECT_EQ(languages->Translate(text), text);
    EXPECT_EQ(languages->Translate(nullptr), nullptr);
    EXPECT_EQ(languages->Translate(""), nullptr);
}

TEST_F(CLanguageFixture, TranslatesThroughTheEnglishReference)
{
    auto languages = Start("German");
    EXPECT_EQ(languages->GetLanguageName(), "German");
    EXPECT_EQ(Text(languages->Translate("&File")), "&Datei");
    EXPECT_EQ(Text(languages->Translate("{Blocked Ads}")), "{Blockierte Werbung}");
    // Missing from the German file, present with an empty value, or no program text at all: the
    // text stays as it is.
    EXPECT_EQ(Text(languages->Translate("&Tools")), "&Tools");
    EXPECT_EQ(Text(languages->Translate("&Find...")), "&Find...");
    EXPECT_EQ(Text(languages->Translate("not a program text")), "not a program text");
    EXPECT_EQ(TranslateText(nullptr), "");
}

TEST_F(CLanguageFixture, SwitchingBackAndForthTranslatesFromThePreviousLanguage)
{
    auto languages = Start("English");
    languages->LoadLanguage("German");
    EXPECT_EQ(Text(languages->Translate("&View")), "&Ansicht");
    languages->LoadLanguage("English");
    // A text already shown in German goes back to English; English texts stay.
    EXPECT_EQ(Text(languages->Translate("&Ansicht")), "&View");
    EXPECT_EQ(Text(languages->Translate("&View")), "&View");
    // Back to German once more: the German table is still there, even with its file gone.
    ASSERT_TRUE(DeleteFileA(CStdString(folder.Path() + "German.lng")));
    languages->LoadLanguage("German");
    EXPECT_EQ(Text(languages->Translate("&View")), "&Ansicht");
    // The same name again is no switch.
    languages->LoadLanguage("German");
    EXPECT_EQ(Text(languages->Translate("&View")), "&Ansicht");
}

TEST_F(CLanguageFixture, MissingLanguageFileFallsBackToEnglish)
{
    auto languages = Start("Klingon");
    EXPECT_EQ(languages->GetLanguageName(), "English");
    EXPECT_EQ(Text(languages->Translate("&File")), "&File");

    // Without the English reference nothing can be translated at all.
    ASSERT_TRUE(DeleteFileA(CStdString(folder.Path() + "English.lng")));
    auto withoutReference = Start("German");
    EXPECT_EQ(withoutReference->GetLanguageName(), "English");
    EXPECT_EQ(Text(withoutReference->Translate("&File")), "&File");
}

TEST_F(CLanguageFixture, ListsTheLanguagesWithTheirInformation)
{
    auto languages = Start("German");
    const auto& list = languages->GetLanguages();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].m_name, "English");
    EXPECT_EQ(list[1].m_name, "German");
    EXPECT_EQ(list[1].m_imageIndex, -1);
    EXPECT_EQ(languages->GetLanguageIndex("German"), 1);
    EXPECT_EQ(languages->GetLanguageIndex("French"), -1);
    EXPECT_EQ(languages->FindLanguage("French"), nullptr);
    EXPECT_TRUE(languages->IsCurrentLanguage(1));
    EXPECT_FALSE(languages->IsCurrentLanguage(0));
    EXPECT_EQ(languages->GetDisplayName(list[1]), "Deutsch\t[German]");
    EXPECT_EQ(list[1].GetTranslator(), "Test Translator");
    EXPECT_EQ(list[1].GetEmail(), "translator@example.org");
    EXPECT_EQ(list[1].GetWebsite(), "http://example.org/");
    EXPECT_EQ(list[1].GetVersion(), "0.1");
    ASSERT_TRUE(DeleteFileA(CStdString(folder.Path() + "German.lng")));
    EXPECT_EQ(list[1].GetTranslator(), "");
}

TEST_F(CLanguageFixture, TranslatesAWholeDialogInPlace)
{
    auto languages = Start("English");
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND dialog = CreateWindowExA(0, "#32770", "&View", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(dialog, nullptr);
    auto child = [&](const char* className, const char* text, DWORD style = 0) {
        return CreateWindowExA(0, className, text, WS_CHILD | style, 0, 0, 100, 20, dialog, nullptr, instance, nullptr);
    };
    HWND label = child("Static", "&File");
    HWND button = child("Button", "&Yes", BS_PUSHBUTTON);
    HWND edit = child("Edit", "&File");
    HWND tabs = child(WC_TABCONTROLA, "");
    HWND list = child(WC_LISTVIEWA, "", LVS_REPORT);
    HWND toolbar = child(TOOLBARCLASSNAMEA, "", CCS_NORESIZE);
    HWND rebar = child(REBARCLASSNAMEA, "", CCS_NORESIZE);
    ASSERT_TRUE(label && button && edit && tabs && list && toolbar && rebar);
    REBARBANDINFOA band = {sizeof(band)};
    band.fMask = RBBIM_TEXT;
    band.lpText = const_cast<char*>("&View");
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));

    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<char*>("Time");
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    tab.pszText = const_cast<char*>("Title");
    SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&tab));
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 50;
    column.pszText = const_cast<char*>("Title");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON tool = {};
    tool.idCommand = 100;
    tool.fsState = TBSTATE_ENABLED;
    tool.fsStyle = BTNS_BUTTON;
    tool.iString = SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("&Copy\0"));
    tool.iBitmap = I_IMAGENONE;
    SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tool));

    languages->LoadLanguage("German");
    languages->TranslateWindow(dialog);

    EXPECT_EQ(WindowText(dialog), "&Ansicht");
    EXPECT_EQ(WindowText(label), "&Datei");
    EXPECT_EQ(WindowText(button), "&Ja");
    EXPECT_EQ(WindowText(edit), "&File");  // user text is left alone
    char buffer[128] = {};
    tab.pszText = buffer;
    tab.cchTextMax = sizeof(buffer);
    SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(buffer, "Zeit");
    SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(buffer, "Titel");
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(buffer, "Titel");
    SendMessageA(toolbar, TB_GETBUTTONTEXTA, 100, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "&Kopieren");
    band.lpText = buffer;
    band.cch = sizeof(buffer);
    SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    EXPECT_STREQ(buffer, "&Ansicht");

    // And back: German texts become English again.
    languages->LoadLanguage("English");
    languages->TranslateWindow(dialog);
    EXPECT_EQ(WindowText(label), "&File");
    SendMessageA(toolbar, TB_GETBUTTONTEXTA, 100, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "&Copy");
    DestroyWindow(dialog);
}

TEST_F(CLanguageFixture, TranslatesMenusKeepingTheirItems)
{
    auto languages = Start("English");
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING | MF_CHECKED | MF_GRAYED, 101, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "&Close\tCtrl+W");
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, 201, "&Refresh");
    AppendMenuA(view, MF_STRING | MF_MENUBARBREAK, 202, "&Tools");
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    SetMenuDefaultItem(file, 102, FALSE);

    languages->LoadLanguage("German");
    languages->TranslateMenu(bar);

    EXPECT_EQ(MenuText(bar, 0), "&Datei");
    EXPECT_EQ(MenuText(file, 0), "\xD6&ffnen...\tStrg+O");
    EXPECT_EQ(MenuText(file, 2), "&Schlie\xDF" "en\tCtrl+W");
    EXPECT_EQ(MenuText(file, 3), "&Ansicht");
    EXPECT_EQ(MenuText(view, 0), "A&ktualisieren");
    EXPECT_EQ(MenuText(view, 1), "&Tools");
    EXPECT_EQ(GetSubMenu(bar, 0), file);
    EXPECT_EQ(GetSubMenu(file, 3), view);
    EXPECT_EQ(GetMenuItemID(file, 0), 101u);
    EXPECT_EQ(GetMenuItemID(file, 2), 102u);
    const UINT openState = GetMenuState(file, 0, MF_BYPOSITION);
    EXPECT_TRUE(openState & MF_CHECKED);
    EXPECT_TRUE(openState & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(view, 1, MF_BYPOSITION) & MF_MENUBARBREAK);
    EXPECT_EQ(GetMenuDefaultItem(file, FALSE, 0), 102u);
    DestroyMenu(bar);
}

TEST_F(CLanguageFixture, TranslatesComboBoxItemsKeepingTheirData)
{
    auto languages = Start("English");
    HWND combo = CreateWindowExA(0, "ComboBox", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(combo, nullptr);
    for (const char* text : {"&Yes", "&No", "other"}) {
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(combo, CB_SETITEMDATA, index, 1000 + index);
    }
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    languages->LoadLanguage("German");
    languages->TranslateComboBox(combo);
    char buffer[64];
    const char* expected[] = {"&Ja", "&Nein", "other"};
    for (int i = 0; i < 3; ++i) {
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        EXPECT_STREQ(buffer, expected[i]);
        EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, i, 0), 1000 + i);
    }
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    DestroyWindow(combo);
}

TEST(LanguageNames, DefaultNamesFromLanguageIds)
{
    struct Case {
        LANGID id;
        const char* name;
    };
    const Case cases[] = {
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "German"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), "English"},
        {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "Neutral"},
        {MAKELANGID(LANG_DIVEHI, 1), "Divehi"},
        {MAKELANGID(LANG_MACEDONIAN, 1), "FYRO Macedonian"},
        {MAKELANGID(23, 1), "English"},  // no name for it
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), "Chinese Simplified"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SINGAPORE), "Chinese Simplified"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), "Chinese Traditional"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG), "Chinese Traditional"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_MACAU), "Chinese Traditional"},
        {MAKELANGID(LANG_CHINESE, 0), "Chinese"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetLanguageNameForLangId(c.id), c.name) << std::hex << c.id;
    EXPECT_FALSE(GetDefaultLanguageName().empty());
}

TEST_F(CLanguageFixture, DamagedLanguageFilesNeverCrashAndAreLeftAlone)
{
    const CStdString germanPath = folder.Path() + "German.lng";
    const CStdString englishPath = folder.Path() + "English.lng";
    const std::vector<BYTE> german = ReadWholeFile(germanPath);
    const std::vector<BYTE> english = ReadWholeFile(englishPath);
    ASSERT_FALSE(german.empty());
    std::mt19937 random(5);
    for (int round = 0; round < 60; ++round) {
        // Truncated copies of both files, and copies with random bytes written over them.
        std::vector<BYTE> damagedGerman(german.begin(), german.begin() + random() % german.size());
        std::vector<BYTE> damagedEnglish = english;
        if (round % 2) {
            for (int i = 0; i < 40; ++i)
                damagedGerman.empty() ? void() : void(damagedGerman[random() % damagedGerman.size()] = random());
            for (int i = 0; i < 40; ++i)
                damagedEnglish[random() % damagedEnglish.size()] = static_cast<BYTE>(random());
        } else if (round % 3 == 0) {
            damagedEnglish.resize(random() % english.size());
        }
        ASSERT_TRUE(WriteWholeFile(germanPath, damagedGerman));
        ASSERT_TRUE(WriteWholeFile(englishPath, damagedEnglish));
        auto languages = Start("German");
        for (const char* text : {"&File", "&View", "&Yes", "{Blocked Ads}", "unknown"}) {
            const char* translated = languages->Translate(text);
            ASSERT_NE(translated, nullptr);
        }
        // A text whose line survived whole in both files is still translated.
        EXPECT_EQ(ReadWholeFile(germanPath), damagedGerman);
        EXPECT_EQ(ReadWholeFile(englishPath), damagedEnglish);
    }
}

namespace {

// A control of the program's own kind: it hands out its tooltip text through the item messages
// (count, get into a buffer of wParam characters, set from lParam).
LRESULT CALLBACK TooltipControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static std::map<HWND, std::string> tips;
    switch (message) {
    case TCM_GETITEMCOUNT:
        return tips.count(window) ? 1 : 0;
    case TCM_GETITEMA:
        lstrcpynA(reinterpret_cast<char*>(lParam), tips[window].c_str(), static_cast<int>(wParam));
        return 1;
    case TCM_SETITEMA:
        tips[window] = reinterpret_cast<const char*>(lParam);
        return 1;
    case WM_NCDESTROY:
        tips.erase(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST_F(CLanguageFixture, TranslatesTheTooltipsOfTheProgramsOwnControls)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TooltipControlProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "_HyperLink";
    RegisterClassA(&wc);
    HWND link = CreateWindowExA(0, "_HyperLink", "&Help", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(link, nullptr);
    SendMessageA(link, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>("&Copy"));

    auto languages = Start("English");
    languages->LoadLanguage("German");
    languages->TranslateWindow(link);
    EXPECT_EQ(WindowText(link), "&Hilfe");
    char tip[64] = {};
    SendMessageA(link, TCM_GETITEMA, sizeof(tip), reinterpret_cast<LPARAM>(tip));
    EXPECT_STREQ(tip, "&Kopieren");
    DestroyWindow(link);
}

namespace {

// A 16 x 16 24-bit bitmap file of one colour.
std::vector<BYTE> MakeBitmapFile(COLORREF colour)
{
    const DWORD pixels = 16 * 16 * 3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof(info);
    info.biWidth = 16;
    info.biHeight = 16;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<BYTE> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (DWORD i = file.bfOffBits; i + 2 < file.bfSize; i += 3) {
        bytes[i] = GetBValue(colour);
        bytes[i + 1] = GetGValue(colour);
        bytes[i + 2] = GetRValue(colour);
    }
    return bytes;
}

}  // namespace

TEST_F(CLanguageFixture, FlagsComeFromTheLanguageFolder)
{
    ASSERT_TRUE(WriteWholeFile(CStdString(folder.Path() + "de.bmp"), MakeBitmapFile(RGB(0, 0, 0))));
    ASSERT_TRUE(WriteWholeFile(CStdString(folder.Path() + "en.bmp"), MakeBitmapFile(RGB(255, 0, 0))));
    auto patch = [&](const char* name, const char* icon) {
        const CStdString path = folder.Path() + name;
        std::vector<BYTE> bytes = ReadWholeFile(path);
        std::string text(bytes.begin(), bytes.end());
        const size_t at = text.find("icon=");
        ASSERT_NE(at, std::string::npos);
        text.insert(at + 5, icon);
        WriteWholeFile(path, std::vector<BYTE>(text.begin(), text.end()));
    };
    patch("German.lng", "de.bmp");
    patch("English.lng", "en.bmp");
    auto languages = Start("German");
    const auto& list = languages->GetLanguages();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].m_name, "English");
    EXPECT_GE(list[0].m_imageIndex, 0);
    EXPECT_GE(list[1].m_imageIndex, 0);
    EXPECT_NE(list[0].m_imageIndex, list[1].m_imageIndex);
    EXPECT_EQ(ImageList_GetImageCount(languages->GetImageList()), 2);
}
