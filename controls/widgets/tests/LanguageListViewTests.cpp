// The language list shows every language file with its translated name and its file's name, and
// draws the language in use in red.
#include "controls/widgets/LanguageListView.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "core/app/LanguageManager.h"
#include "core/tests/SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CListParent : public CWindowImpl<CListParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoLanguageListParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CListParent)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

std::string ItemText(HWND list, int item, int subItem)
{
    char buffer[128] = {};
    LVITEMA request = {};
    request.iSubItem = subItem;
    request.pszText = buffer;
    request.cchTextMax = sizeof(buffer);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return buffer;
}

}  // namespace

TEST(LanguageListView, ListsTheLanguagesAndMarksTheOneInUse)
{
    CTestRegistryKey key{"LanguageList"};
    CScratchFolder folder{"language-list"};
    ASSERT_TRUE(CopyInto(SourceFolder(KIVO_LANGUAGE_DIR), "English.lng", folder.Path()));
    ASSERT_TRUE(CopyInto(SourceFolder(KIVO_TEST_DATA_DIR), "German.lng", folder.Path()));
    GetSettingsStore()->WriteString("Config", "Language", "German");
    CLanguageManager languages(folder.Path());
    languages.LoadLanguage("German");
    ASSERT_EQ(languages.GetLanguages().size(), 2u);

    CListParent parent;
    ASSERT_TRUE(parent.Create(nullptr, RECT{skin_test::kTestOriginX, skin_test::kTestOriginY, skin_test::kTestOriginX + 300,
                                            skin_test::kTestOriginY + 200}));
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 302, 200,
                                parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    CLanguageListView view(languages);
    ASSERT_TRUE(view.SubclassWindow(list));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 150);  // two equal weights of 300
    for (int i = 0; i < 2; ++i) {
        const CLanguageFile& language = languages.GetLanguages()[static_cast<size_t>(i)];
        EXPECT_EQ(ItemText(list, i, 0), std::string(languages.GetDisplayName(language)));
        EXPECT_EQ(ItemText(list, i, 1), "\t[" + std::string(language.m_name) + "]");
        // The custom draw colours only the language in use.
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = list;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
        draw.clrText = RGB(0, 0, 0);
        SendMessageA(list, OCM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(draw.clrText == CLanguageListView::kCurrentLanguageColor, language.m_name == "German") << language.m_name;
    }
    NMLVCUSTOMDRAW prepaint = {};
    prepaint.nmcd.hdr.code = NM_CUSTOMDRAW;
    prepaint.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(SendMessageA(list, OCM_NOTIFY, 0, reinterpret_cast<LPARAM>(&prepaint)), CDRF_NOTIFYITEMDRAW);
}
