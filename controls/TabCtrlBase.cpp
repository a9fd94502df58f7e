#include "controls/TabCtrlBase.h"

#include "core/app/LanguageManager.h"

namespace {

// The interface language of the language manager.
class CInterfaceLanguageTabText final : public ITabTextTranslator {
public:
    TStdStr<char> Translate(const char* text) override { return TranslateText(text); }
};

CInterfaceLanguageTabText g_interfaceLanguage;
// The strips live on the user-interface thread, which is also where tests replace it.
ITabTextTranslator* g_translator = &g_interfaceLanguage;

// Re-translates the item texts of one of the program's tab strips through its item messages.
void TranslateTabItems(HWND strip, const CLanguageManager& languages)
{
    const int count = static_cast<int>(::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
    for (int i = 0; i < count; ++i) {
        CViewTabItem item;  // keeps a view window as it is
        if (!::SendMessageA(strip, kTabMsgGetItem, i, reinterpret_cast<LPARAM>(&item)) || item.GetText().empty())
            continue;
        const TStdStr<char> translated = languages.TranslateItemText(item.GetText().c_str());
        if (translated == item.GetText())
            continue;
        item.SetText(translated.c_str());
        ::SendMessageA(strip, kTabMsgSetItem, i, reinterpret_cast<LPARAM>(&item));
    }
}

// The language translator learns the strips' window classes when this library is linked in.
const bool g_registered = [] {
    for (const char* className :
         {"_DotNetTabCtrl", "_DotNet2005TabCtrl", "CFlyingTabCtrl", "_ButtonTab", "_DotNetButtonTabCtrl"})
        CLanguageManager::RegisterItemsTranslator(className, TranslateTabItems);
    return true;
}();

} // namespace

ITabTextTranslator& GetTabTextTranslator() { return *g_translator; }

TStdStr<char> TranslateTabText(const char* text) { return GetTabTextTranslator().Translate(text); }

CScopedTabTextTranslator::CScopedTabTextTranslator(ITabTextTranslator& replacement) : m_previous(g_translator)
{
    g_translator = &replacement;
}

CScopedTabTextTranslator::~CScopedTabTextTranslator() { g_translator = m_previous; }
