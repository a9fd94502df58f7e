#include "controls/TabCtrlBase.h"

namespace {
TabTextTranslator g_translator = nullptr;
}

void SetTabTextTranslator(TabTextTranslator translator) { g_translator = translator; }

TStdStr<char> TranslateTabText(const char* text)
{
    return g_translator ? g_translator(text) : TStdStr<char>(text ? text : "");
}
