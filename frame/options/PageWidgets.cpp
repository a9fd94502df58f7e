#include "frame/options/PageWidgets.h"

#include "core/app/LanguageManager.h"

const char* PageText(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    return language ? language->Translate(text) : text;
}

void SetBoldLabels(HWND page, CFont& font, std::initializer_list<int> labelIds)
{
    HFONT pageFont = reinterpret_cast<HFONT>(::SendMessageA(page, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (!pageFont || !::GetObjectA(pageFont, sizeof(description), &description))
        return;
    description.lfWeight = FW_BOLD;
    if (font.IsNull() && !font.CreateFontIndirect(&description))
        return;
    for (int id : labelIds)
        ::SendDlgItemMessageA(page, id, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
}

bool SetButtonIcon(HWND button, HIMAGELIST images, int index, CIcon& icon)
{
    if (!button || !images || index < 0 || index >= ImageList_GetImageCount(images))
        return false;
    icon.Attach(::ImageList_GetIcon(images, index, ILD_NORMAL));
    if (icon.IsNull())
        return false;
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(static_cast<HICON>(icon)));
    return true;
}

// The tip is a pop-up owned by the page, so Windows destroys it with the page.
HWND AddControlToolTip(HWND page, HWND control, const char* text)
{
    HWND tip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!tip)
        return nullptr;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text ? text : "");
    ::SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return tip;
}
