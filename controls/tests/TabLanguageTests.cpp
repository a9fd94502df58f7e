// The interface-language translator reaches the items and button tooltips of the program's own
// tab strips.
#include "controls/DotNetTabCtrl.h"
#include "controls/TabItem.h"
#include "controls/tests/TabTestParent.h"
#include "core/app/LanguageManager.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

TEST(TabStripLanguage, ItemTextsFollowTheInterfaceLanguage)
{
    CTestRegistryKey key{"TabLanguage"};
    CScratchFolder folder{"tab-language"};
    ASSERT_TRUE(CopyInto(SourceFolder(KIVO_LANGUAGE_DIR), "English.lng", folder.Path()));
    ASSERT_TRUE(CopyInto(SourceFolder(KIVO_TEST_DATA_DIR), "German.lng", folder.Path()));
    GetSettingsStore()->WriteString("Config", "Language", "English");
    CLanguageManager languages(folder.Path());

    CTabTestParent parent;
    CDotNetTabCtrl strip;
    ASSERT_TRUE(strip.Create(parent.Window(), RECT{0, 0, 300, 24}, 0, 1));
    const HWND view = parent.Window();
    for (const char* text : {"&File", "example.org"}) {
        auto item = std::make_unique<CViewTabItem>();
        item->SetText(text);
        item->SetViewWindow(view);
        strip.InsertItem(-1, std::move(item));
    }

    languages.LoadLanguage("German");
    languages.TranslateWindow(parent.Window());
    EXPECT_EQ(strip.GetItem(0)->GetText(), "&Datei");
    EXPECT_EQ(strip.GetItem(1)->GetText(), "example.org");  // a page title is no interface text
    EXPECT_EQ(static_cast<CViewTabItem*>(strip.GetItem(0))->GetViewWindow(), view);

    languages.LoadLanguage("English");
    languages.TranslateWindow(parent.Window());
    EXPECT_EQ(strip.GetItem(0)->GetText(), "&File");
}
