#include "core/app/LanguageManager.h"

#include "core/app/MainFrameMessages.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/app/ProgramFolders.h"
#include "platform/AtlBase.h"
#include "platform/AtlGdi.h"

#include <cstring>
#include <utility>

namespace {

struct CLanguageName {
    WORD primary;
    const char* name;
};

// Primary language ids and the names of their language files.
constexpr CLanguageName kLanguageNames[] = {
    {0, "Neutral"},     {1, "Arabic"},      {2, "Bulgarian"},   {3, "Catalan"},     {4, "Chinese"},
    {5, "Czech"},       {6, "Danish"},      {7, "German"},      {8, "Greek"},       {9, "English"},
    {10, "Spanish"},    {11, "Finnish"},    {12, "French"},     {13, "Hebrew"},     {14, "Hungarian"},
    {15, "Icelandic"},  {16, "Italian"},    {17, "Japanese"},   {18, "Korean"},     {19, "Dutch"},
    {20, "Norwegian"},  {21, "Polish"},     {22, "Portuguese"}, {24, "Romanian"},   {25, "Russian"},
    {26, "Croatian"},   {27, "Slovak"},     {28, "Albanian"},   {29, "Swedish"},    {30, "Thai"},
    {31, "Turkish"},    {32, "Urdu"},       {33, "Indonesian"}, {34, "Ukrainian"},  {35, "Belarusian"},
    {36, "Slovenian"},  {37, "Estonian"},   {38, "Latvian"},    {39, "Lithuanian"}, {41, "Farsi"},
    {42, "Vietnamese"}, {43, "Armenian"},   {44, "Azeri"},      {45, "Basque"},     {47, "FYRO Macedonian"},
    {54, "Afrikaans"},  {55, "Georgian"},   {56, "Faeroese"},   {57, "Hindi"},      {62, "Malay"},
    {63, "Kazak"},      {64, "Kyrgyz"},     {65, "Swahili"},    {67, "Uzbek"},      {68, "Tatar"},
    {69, "Bengali"},    {70, "Punjabi"},    {71, "Gujarati"},   {72, "Oriya"},      {73, "Tamil"},
    {74, "Telugu"},     {75, "Kannada"},    {76, "Malayalam"},  {77, "Assamese"},   {78, "Marathi"},
    {79, "Sanskrit"},   {80, "Mongolian"},  {86, "Galician"},   {87, "Konkani"},    {88, "Manipuri"},
    {89, "Sindhi"},     {90, "Syriac"},     {96, "Kashmiri"},   {97, "Nepali"},     {101, "Divehi"},
};
static_assert(std::size(kLanguageNames) == 75);

constexpr const char* kEnglish = "English";
constexpr COLORREF kFlagMask = RGB(255, 0, 255);
constexpr int kItemTextSize = 256;

CStdString GetClassNameOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

CStdString GetWindowTextOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return CStdString();
    CStdString text;
    GetWindowTextA(window, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

bool EqualsNoCase(const CStdString& a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}

// Translates the text of every item of a control that hands its items out as records (rebar
// bands, tabs, header columns): `point` aims a record at a text buffer of a given size.
template <typename Item, typename PointAtText>
void TranslateItemTexts(const CLanguageManager& languages, HWND control, UINT countMessage, UINT getMessage,
                        UINT setMessage, const Item& prototype, int capacity, PointAtText point)
{
    const int count = static_cast<int>(SendMessageA(control, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buffer[kItemTextSize] = {};
        Item item = prototype;
        point(item, buffer, capacity);
        if (!SendMessageA(control, getMessage, i, reinterpret_cast<LPARAM>(&item)) || !buffer[0])
            continue;
        const char* translated = languages.Translate(buffer);
        CStdString text(translated ? translated : buffer);
        point(item, text.data(), text.GetLength() + 1);
        SendMessageA(control, setMessage, i, reinterpret_cast<LPARAM>(&item));
    }
}

std::map<CStdString, CLanguageManager::ItemsTranslator>& ItemsTranslators()
{
    static std::map<CStdString, CLanguageManager::ItemsTranslator> translators;  // lower-case class names
    return translators;
}

CStdString LowerCaseClassName(const char* className)
{
    CStdString name = className ? className : "";
    return name.MakeLower();
}

}  // namespace

void CLanguageManager::RegisterItemsTranslator(const char* className, ItemsTranslator translator)
{
    ItemsTranslators()[LowerCaseClassName(className)] = translator;
}

CStdString GetLanguageNameForLangId(LANGID id)
{
    const WORD primary = PRIMARYLANGID(id);
    const WORD sub = SUBLANGID(id);
    if (primary == LANG_CHINESE) {
        // Simplified for the People's Republic and Singapore; Traditional for Taiwan, Hong Kong
        // and Macau.
        if (sub == SUBLANG_CHINESE_SIMPLIFIED || sub == SUBLANG_CHINESE_SINGAPORE)
            return "Chinese Simplified";
        if (sub == SUBLANG_CHINESE_TRADITIONAL || sub == SUBLANG_CHINESE_HONGKONG || sub == SUBLANG_CHINESE_MACAU)
            return "Chinese Traditional";
    }
    for (const CLanguageName& entry : kLanguageNames) {
        if (entry.primary == primary)
            return entry.name;
    }
    return kEnglish;
}

CStdString GetDefaultLanguageName()
{
    LANGID id = GetSystemDefaultLangID();
    if (id == 0x400)
        id = GetUserDefaultLangID();
    return GetLanguageNameForLangId(id);
}

// CLanguageFile

CStdString CLanguageFile::GetInfo(const char* key) const
{
    CIniFile file;
    if (!file.Open(CStdString(m_folder + m_name + ".lng")))
        return CStdString();
    return file.GetString("Info", key, "");
}

// CLanguageManager

CLanguageManager::CLanguageManager() : CLanguageManager(GetProgramFolder() + "language\\") {}

CLanguageManager::CLanguageManager(const CStdString& languageFolder)
    : m_folder(languageFolder), m_languageSetting("Config", "Language", GetDefaultLanguageName())
{
    if (!m_folder.empty() && m_folder.back() != '\\')
        m_folder += '\\';
    m_images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    ListLanguages();
    m_languageSetting.Load();
    CIniFile english;
    if (english.Open(GetLanguageFilePath(kEnglish))) {
        // Texts to keys; of two keys with the same English text the first one read stays.
        CIniFile::KeyValues pairs;
        english.GetSectionKeyValues("String", pairs);
        for (const auto& [key, text] : pairs)
            m_reference.emplace(text, key);
        // A language whose file is gone falls back to English.
        if (GetLanguageIndex(m_languageSetting.value) < 0)
            m_languageSetting.value = kEnglish;
        LoadLanguage(m_languageSetting.value, true);
    } else {
        // Without the reference file nothing can be translated: stay in English.
        m_languageSetting.value = kEnglish;
    }
}

CLanguageManager::~CLanguageManager() = default;

CStdString CLanguageManager::GetLanguageFilePath(const char* name) const
{
    return m_folder + FormatString("%s.lng", name ? name : "");
}

void CLanguageManager::ListLanguages()
{
    ImageList_RemoveAll(m_images);
    m_languages.clear();
    m_languages.emplace_back(m_folder, kEnglish, -1);
    WIN32_FIND_DATAA data;
    const CFindHandle find(FindFirstFileA((m_folder + "*.lng").c_str(), &data));
    if (!find)
        return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CStdString name = data.cFileName;
        name.resize(name.size() - 4);  // ".lng"
        int imageIndex = -1;
        CIniFile file;
        if (file.Open(CStdString(m_folder + data.cFileName))) {
            const CStdString icon = file.GetString("Info", "icon", "");
            if (!icon.empty()) {
                const CBitmap flag(LoadBitmapFromFile(CStdString(m_folder + icon)));
                if (flag)
                    imageIndex = ImageList_AddMasked(m_images, flag, kFlagMask);
            }
        }
        if (EqualsNoCase(name, kEnglish))
            m_languages.front().m_imageIndex = imageIndex;
        else
            m_languages.emplace_back(m_folder, name, imageIndex);
    } while (FindNextFileA(find, &data));
}

bool CLanguageManager::ReadStringSection(const char* name, Table& table) const
{
    CIniFile file;
    if (!file.Open(GetLanguageFilePath(name)))
        return false;
    CIniFile::KeyValues pairs;
    file.GetSectionKeyValues("String", pairs);
    for (auto& [key, text] : pairs)
        table.emplace(std::move(key), std::move(text));
    return true;
}

void CLanguageManager::LoadLanguage(const char* name, bool force)
{
    const CStdString newName = name ? name : "";
    if (!force) {
        if (newName == m_languageSetting.value)
            return;
        m_previousName = m_languageSetting.value;
    }
    m_languageSetting.value = newName;
    m_current = 1 - m_current;
    // Nothing to load when the language is the one translated from (a start in English), or when
    // the table now current still holds it from two switches ago (switching back and forth).
    if (m_previousName == newName || m_tableNames[m_current] == newName)
        return;
    Table& table = m_tables[m_current];
    table.clear();
    m_tableNames[m_current].clear();
    if (ReadStringSection(newName, table))
        m_tableNames[m_current] = newName;
}

const char* CLanguageManager::Translate(const char* text) const
{
    if (!text || !*text)
        return nullptr;
    if (NothingToTranslate())
        return text;
    const CStdString source(text);
    const CStdString* key = nullptr;
    if (m_previousName != kEnglish) {
        // The text may be in the previous language: find its key in that language's table.
        for (const auto& [entryKey, entryText] : m_tables[1 - m_current]) {
            if (entryText == source) {
                key = &entryKey;
                break;
            }
        }
    }
    if (!key) {
        auto it = m_reference.find(source);
        if (it == m_reference.end())
            return text;
        key = &it->second;
    }
    const Table& table = m_tables[m_current];
    auto it = table.find(*key);
    if (it == table.end() || it->second.empty())
        return text;
    return it->second;
}

CStdString CLanguageManager::TranslatedCopy(const char* text) const
{
    const char* translated = Translate(text);
    return translated ? CStdString(translated) : CStdString();
}

int CLanguageManager::GetLanguageIndex(const char* name) const
{
    for (size_t i = 0; i < m_languages.size(); ++i) {
        if (name && m_languages[i].m_name == name)
            return static_cast<int>(i);
    }
    return -1;
}

const CLanguageFile* CLanguageManager::FindLanguage(const char* name) const
{
    const int index = GetLanguageIndex(name);
    return index < 0 ? nullptr : &m_languages[index];
}

bool CLanguageManager::IsCurrentLanguage(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_languages.size() &&
           m_languages[index].m_name == m_languageSetting.value;
}

CStdString CLanguageManager::GetDisplayName(const CLanguageFile& language) const
{
    return TranslatedCopy(language.m_name) + "\t[" + language.m_name + "]";
}

// Re-translation of existing windows

void CLanguageManager::TranslateWindow(HWND window) const
{
    if (NothingToTranslate() || !IsWindow(window))
        return;
    const CStdString className = GetClassNameOf(window);
    // The main window's caption is the page title; edit fields and combo boxes hold user text.
    if (!EqualsNoCase(className, "ComboBox") && !EqualsNoCase(className, "Edit") && className != kMainFrameClassName)
        SetTranslated(window);
    TranslateControlItems(window, className);
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) {
        if (HMENU menu = GetMenu(window))
            TranslateMenu(menu);
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        TranslateWindow(child);
}

void CLanguageManager::SetTranslated(HWND window) const
{
    const CStdString text = GetWindowTextOf(window);
    if (text.empty())
        return;
    const char* translated = Translate(text);
    if (translated && text != translated)
        SetWindowTextA(window, translated);
}

void CLanguageManager::TranslateControlItems(HWND window, const CStdString& className) const
{
    if (EqualsNoCase(className, TOOLBARCLASSNAMEA) || EqualsNoCase(className, "_ToolBarXP")) {
        const int count = static_cast<int>(SendMessageA(window, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button = {};
            if (!SendMessageA(window, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) || (button.fsStyle & BTNS_SEP))
                continue;
            const LRESULT length = SendMessageA(window, TB_GETBUTTONTEXTA, button.idCommand, 0);
            if (length <= 0 || length >= kItemTextSize)
                continue;
            char buffer[kItemTextSize] = {};
            SendMessageA(window, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(buffer));
            CStdString translated = TranslatedCopy(buffer);
            TBBUTTONINFOA info = {sizeof(info)};
            info.dwMask = TBIF_TEXT;
            info.pszText = translated.data();
            SendMessageA(window, TB_SETBUTTONINFOA, button.idCommand, reinterpret_cast<LPARAM>(&info));
        }
    } else if (EqualsNoCase(className, REBARCLASSNAMEA)) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_TEXT;
        TranslateItemTexts(*this, window, RB_GETBANDCOUNT, RB_GETBANDINFOA, RB_SETBANDINFOA, band, kItemTextSize,
                           [](REBARBANDINFOA& item, char* text, int size) { item.lpText = text, item.cch = size; });
    } else if (EqualsNoCase(className, WC_TABCONTROLA)) {
        TCITEMA tab = {};
        tab.mask = TCIF_TEXT;
        TranslateItemTexts(*this, window, TCM_GETITEMCOUNT, TCM_GETITEMA, TCM_SETITEMA, tab, 128,
                           [](TCITEMA& item, char* text, int size) { item.pszText = text, item.cchTextMax = size; });
    } else if (EqualsNoCase(className, "_HyperLink") || EqualsNoCase(className, "Static") ||
               EqualsNoCase(className, "_BmpButton") || EqualsNoCase(className, "Button")) {
        // The program's own buttons and hyperlinks hand out their tooltip text on request.
        if (SendMessageA(window, TCM_GETITEMCOUNT, 0, 0) != 0) {
            char tip[512] = {};
            SendMessageA(window, TCM_GETITEMA, sizeof(tip), reinterpret_cast<LPARAM>(tip));
            if (tip[0]) {
                CStdString translated = TranslatedCopy(tip);
                SendMessageA(window, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>(translated.c_str()));
                InvalidateRect(window, nullptr, TRUE);
            }
        }
    } else if (const auto found = ItemsTranslators().find(LowerCaseClassName(className));
               found != ItemsTranslators().end()) {
        found->second(window, *this);
    } else if (EqualsNoCase(className, "_ListView") || EqualsNoCase(className, WC_LISTVIEWA)) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
        HDITEMA column = {};
        column.mask = HDI_TEXT;
        if (header)
            TranslateItemTexts(*this, header, HDM_GETITEMCOUNT, HDM_GETITEMA, HDM_SETITEMA, column, kItemTextSize,
                               [](HDITEMA& item, char* text, int size) { item.pszText = text, item.cchTextMax = size; });
    }
}

void CLanguageManager::TranslateMenu(HMENU menu) const
{
    if (NothingToTranslate() || !menu)
        return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        char text[kItemTextSize] = {};
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        if (text[0]) {
            // The accelerator behind a TAB is translated on its own.
            CStdString label(text);
            CStdString shortcut;
            const int tab = label.Find('\t');
            if (tab >= 0) {
                shortcut = label.Mid(tab + 1);
                label = label.Left(tab);
            }
            CStdString translated = TranslatedCopy(label);
            if (tab >= 0)
                translated += "\t" + TranslatedCopy(shortcut);
            if (translated != text) {
                // Only the text changes: the item keeps its id, states, checks and owner-drawn
                // look.
                MENUITEMINFOA update = {sizeof(update)};
                update.fMask = MIIM_STRING;
                update.dwTypeData = translated.data();
                SetMenuItemInfoA(menu, i, TRUE, &update);
            }
        }
        if (info.hSubMenu)
            TranslateMenu(info.hSubMenu);
    }
}

void CLanguageManager::TranslateComboBox(HWND comboBox) const
{
    if (NothingToTranslate() || !comboBox)
        return;
    const LRESULT selection = SendMessageA(comboBox, CB_GETCURSEL, 0, 0);
    const int count = static_cast<int>(SendMessageA(comboBox, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(comboBox, CB_GETLBTEXTLEN, i, 0);
        if (length == CB_ERR)
            continue;
        CStdString text;
        SendMessageA(comboBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(length) + 1)));
        text.ReleaseBuffer();
        const CStdString translated = TranslatedCopy(text);
        if (translated.empty() || translated == text)
            continue;
        const LRESULT data = SendMessageA(comboBox, CB_GETITEMDATA, i, 0);
        SendMessageA(comboBox, CB_DELETESTRING, i, 0);
        SendMessageA(comboBox, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(translated.c_str()));
        SendMessageA(comboBox, CB_SETITEMDATA, i, data);
    }
    SendMessageA(comboBox, CB_SETCURSEL, selection, 0);
}

namespace {
CLanguageManager* g_replacementLanguages = nullptr;  // not owned: a CScopedLanguageManager's
}  // namespace

CLanguageManager* GetLanguageManager()
{
    if (g_replacementLanguages)
        return g_replacementLanguages;
    return GetSingleton<CLanguageManager, kPriorityLanguageManager>();
}

CScopedLanguageManager::CScopedLanguageManager(CLanguageManager& replacement) : m_previous(g_replacementLanguages)
{
    g_replacementLanguages = &replacement;
}

CScopedLanguageManager::~CScopedLanguageManager()
{
    g_replacementLanguages = m_previous;
}

CStdString TranslateText(const char* text)
{
    const CLanguageManager* manager = GetLanguageManager();
    const char* translated = manager ? manager->Translate(text) : text;
    return translated ? CStdString(translated) : CStdString();
}
