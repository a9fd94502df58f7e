#include "frame/services/PluginManager.h"

#include "core/app/LanguageManager.h"
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/system/DocumentScript.h"
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cctype>

namespace {

// Late-bound automation of the page objects.
HRESULT GetDispatchProperty(IDispatch* object, const wchar_t* name, CComVariant& value)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS none{};
    value.Clear();
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

HRESULT InvokeDispatchMethod(IDispatch* object, const wchar_t* name, VARIANT* arguments, UINT count)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS params{};
    params.rgvarg = arguments;
    params.cArgs = count;
    CComVariant result;
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
}

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

constexpr char kGeneral[] = "General";

std::string Bounded(const TStdStr<char>& text)
{
    std::string value = text.c_str();
    if (value.size() > CPluginManager::kMaxText)
        value.resize(CPluginManager::kMaxText);
    return value;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

int TypeOf(const std::string& text)
{
    const std::string type = Lower(text);
    if (type == "button")
        return kPluginButton;
    if (type == "pane")
        return kPluginPane;
    if (type == "toolbar")
        return kPluginToolBar;
    return kPluginUnknown;
}

bool IsYes(const std::string& text)
{
    const std::string value = Lower(text);
    return value == "yes" || value == "y" || value == "true" || value == "1";
}

HICON LoadSmallIcon(const std::string& path)
{
    return static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
}

} // namespace

bool IsPluginRelativePath(const std::string& name)
{
    if (name.empty() || name.size() >= MAX_PATH || name.find(':') != std::string::npos || name[0] == '\\' ||
        name[0] == '/')
        return false;
    // No ".." element anywhere.
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..")
            return false;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return true;
}

bool SplitPluginScript(const std::string& content, CPluginScript& script)
{
    const size_t open = content.find('>');
    if (open == std::string::npos || open == 0)
        return false;
    const size_t close = content.rfind('<');
    if (close == std::string::npos || close <= open)
        return false;
    const std::string openingTag = content.substr(0, open + 1);
    const std::string tag = Lower(openingTag);
    const size_t element = tag.find("<script");
    if (element == std::string::npos)
        return false;
    script.language.clear();
    const size_t attribute = tag.find("language", element);
    if (attribute != std::string::npos) {
        size_t at = tag.find('=', attribute);
        if (at != std::string::npos) {
            ++at;
            while (at < tag.size() && tag[at] == ' ')
                ++at;
            const char quote = at < tag.size() && (tag[at] == '"' || tag[at] == '\'') ? tag[at] : 0;
            const size_t from = quote ? at + 1 : at;
            const size_t to = quote ? openingTag.find(quote, from) : openingTag.find_first_of(" >", from);
            if (to != std::string::npos)
                script.language = openingTag.substr(from, to - from);
        }
    }
    script.body = content.substr(open + 1, close - open - 1);
    return true;
}

CPluginManager::CPluginManager(std::string pluginsFolder, const std::string& disabled, std::string languageName)
    : m_folder(std::move(pluginsFolder)), m_language(std::move(languageName))
{
    m_images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 1);
    m_hotImages = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 1);
    Load(disabled);
}

CPluginManager::~CPluginManager()
{
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_hotImages)
        ImageList_Destroy(m_hotImages);
}

void CPluginManager::Load(const std::string& disabledText)
{
    std::vector<std::string> disabled;
    size_t start = 0;
    while (start < disabledText.size()) {
        const size_t end = disabledText.find(';', start);
        const std::string name = disabledText.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!name.empty())
            disabled.push_back(Lower(name));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    WIN32_FIND_DATAA data{};
    CFindHandle find(FindFirstFileA((m_folder + "*.*").c_str(), &data));
    if (!find)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strcmp(data.cFileName, ".") == 0 ||
            strcmp(data.cFileName, "..") == 0)
            continue;
        if (m_all.size() >= kMaxPlugins)
            break;
        const std::string folder = m_folder + data.cFileName + "\\";
        CIniFile ini;
        if (!ini.Open((folder + kPluginIniName).c_str()))
            continue;
        CPlugin plugin;
        plugin.folderName = data.cFileName;
        plugin.type = TypeOf(Bounded(ini.GetString(kGeneral, "type", "")));
        plugin.name = Bounded(ini.GetString(kGeneral, ("name_" + m_language).c_str(), ""));
        if (plugin.name.empty())
            plugin.name = Bounded(ini.GetString(kGeneral, "name", ""));
        plugin.fileName = Bounded(ini.GetString(kGeneral, "filename", ""));
        plugin.enabled = std::find(disabled.begin(), disabled.end(), Lower(plugin.folderName)) == disabled.end();
        const std::string iconName = Bounded(ini.GetString(kGeneral, "icon", ""));
        const std::string hotName = Bounded(ini.GetString(kGeneral, "hoticon", ""));
        HICON icon = IsPluginRelativePath(iconName) ? LoadSmallIcon(folder + iconName) : nullptr;
        HICON hot = IsPluginRelativePath(hotName) ? LoadSmallIcon(folder + hotName) : nullptr;
        const size_t index = m_all.size();
        if (icon && (plugin.type == kPluginButton || plugin.type == kPluginPane)) {
            plugin.image = ImageList_AddIcon(m_images, icon);
            ImageList_AddIcon(m_hotImages, hot ? hot : icon);
            if (plugin.type == kPluginButton) {
                plugin.startAfterPageDone = IsYes(Bounded(ini.GetString(kGeneral, "StartAfterPageDone", "")));
                m_buttons.push_back(index);
            } else {
                m_panes.push_back(index);
            }
        }
        if (icon)
            DestroyIcon(icon);
        if (hot)
            DestroyIcon(hot);
        m_all.push_back(std::move(plugin));
    } while (FindNextFileA(find, &data));
}

std::string CPluginManager::GetContentPath(const CPlugin& plugin) const
{
    if (!IsPluginRelativePath(plugin.fileName))
        return {};
    return m_folder + plugin.folderName + "\\" + plugin.fileName;
}

bool CPluginManager::ReadScript(const CPlugin& plugin, CPluginScript& script) const
{
    const std::string path = GetContentPath(plugin);
    if (path.empty())
        return false;
    CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > LONGLONG(kMaxScriptBytes))
        return false;
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
        return false;
    content.resize(read);
    return SplitPluginScript(content, script);
}

void CPluginManager::BuildButtonMenu(HMENU menu) const
{
    if (!menu)
        return;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const CPlugin& plugin = m_all[m_buttons[i]];
        if (plugin.enabled)
            AppendMenuA(menu, MF_STRING, kIdFirstButtonPlugin + static_cast<UINT>(i), plugin.name.c_str());
    }
}

// The page's window is reached through the document's automation: "parentWindow", then its
// "execScript" with the code and the language. A document without that automation gets the
// typed interfaces' way.
void CDocumentPageScript::Exec(const std::string& code, const std::string& language)
{
    try {
        CComPtr<IDispatch> document;
        if (m_page && SUCCEEDED(m_page->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document.p))) &&
            document) {
            CComVariant window;
            if (SUCCEEDED(GetDispatchProperty(document, L"parentWindow", window)) && window.vt == VT_DISPATCH &&
                window.pdispVal) {
                CComVariant arguments[2];
                arguments[0] = Widen(language).c_str();  // the last argument comes first
                arguments[1] = Widen(code).c_str();
                if (SUCCEEDED(InvokeDispatchMethod(window.pdispVal, L"execScript", arguments, 2)))
                    return;
            }
        }
        ExecPageScript(m_page, code.c_str(), language.c_str());
    } catch (...) {
        ReportCaughtException("CDocumentPageScript::Exec");
    }
}

bool CPluginManager::RunButton(size_t buttonIndex, IPageScript& page) const
{
    if (buttonIndex >= m_buttons.size())
        return false;
    const CPlugin& plugin = m_all[m_buttons[buttonIndex]];
    CPluginScript script;
    if (!plugin.enabled || !ReadScript(plugin, script))
        return false;
    page.Exec(script.body, script.language);
    return true;
}

namespace {
CPluginManager* g_processManager = nullptr;    // owned through its lifetime tracker
CPluginManager* g_installedManager = nullptr;  // not owned: a test's
} // namespace

CPluginManager* GetPluginManager()
{
    if (g_installedManager)
        return g_installedManager;
    if (!g_processManager) {
        const CSettings* settings = GetSettings();
        const CLanguageManager* language = GetLanguageManager();
        g_processManager = new CPluginManager(std::string(GetProgramFolder().c_str()) + kPluginsFolderName,
                                              settings ? settings->DisabledPlugins.value.c_str() : "",
                                              language ? language->GetLanguageName().c_str() : "English");
        new TLifetimeTracker<CPluginManager>(kPriorityPluginManager, &g_processManager);
    }
    return g_processManager;
}

CPluginManager* SetPluginManager(CPluginManager* manager)
{
    CPluginManager* previous = g_installedManager;
    g_installedManager = manager;
    return previous;
}

CPluginDetails CPluginManager::ReadDetails(const CPlugin& plugin) const
{
    CPluginDetails details;
    CIniFile ini;
    if (!ini.Open((m_folder + plugin.folderName + "\\" + kPluginIniName).c_str()))
        return details;
    details.website = Bounded(ini.GetString(kGeneral, "website", ""));
    details.author = Bounded(ini.GetString(kGeneral, "author", ""));
    details.email = Bounded(ini.GetString(kGeneral, "email", ""));
    details.version = Bounded(ini.GetString(kGeneral, "version", ""));
    details.comments = Bounded(ini.GetString(kGeneral, ("comments_" + m_language).c_str(), ""));
    if (details.comments.empty())
        details.comments = Bounded(ini.GetString(kGeneral, "comments", ""));
    return details;
}

bool CPluginManager::SetEnabled(size_t index, bool enabled)
{
    if (index >= m_all.size())
        return false;
    m_all[index].enabled = enabled;
    return true;
}

std::string CPluginManager::FormatDisabledList() const
{
    std::string text;
    for (const CPlugin& plugin : m_all) {
        if (plugin.enabled)
            continue;
        if (!text.empty())
            text += ";";
        text += Lower(plugin.folderName);
    }
    return text;
}
