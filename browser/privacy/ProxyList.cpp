#include "browser/privacy/ProxyList.h"

#include "core/app/ProgramFolders.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/RegistryKey.h"
#include "platform/AtlBase.h"

#include <wininet.h>
#include <urlmon.h>

namespace {

constexpr char kProxySection[] = "proxy";
constexpr char kBypassSection[] = "bypass";
constexpr char kBypassKey[] = "bypass";
constexpr char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kProxyOverrideValue[] = "ProxyOverride";
constexpr size_t kMaxMenuProxies = kIdLastProxy - kIdFirstProxy + 1;

std::string Bounded(const char* text, size_t limit)
{
    std::string value = text ? text : "";
    if (value.size() > limit)
        value.resize(limit);
    return value;
}

std::string DefaultProxiesPath()
{
    CAppFolders* folders = GetAppFolders();
    if (!folders)
        return {};
    return std::string(folders->GetConfigFolder(CAppFolders::configFolder).c_str()) + kProxiesFileName;
}

} // namespace

CProxyList::CProxyList() : CProxyList(DefaultProxiesPath()) {}

CProxyList::CProxyList(std::string path) : m_path(std::move(path))
{
    Load();
}

CProxyList::~CProxyList()
{
    Save();
}

bool CProxyList::Load()
{
    m_proxies.clear();
    m_exceptions.clear();
    if (m_path.empty())
        return false;
    CIniFile file;
    if (!file.Open(m_path.c_str()))
        return false;
    for (const auto& pair : file.GetSectionKeyValues(kProxySection)) {
        if (m_proxies.size() >= kMaxProxies)
            break;
        m_proxies.push_back({Bounded(pair.first.c_str(), kMaxTextLength), Bounded(pair.second.c_str(), kMaxTextLength)});
    }
    m_exceptions = Bounded(file.GetString(kBypassSection, kBypassKey, "").c_str(), kMaxExceptionsLength);
    return true;
}

// Deletes the old file and writes the whole INI text anew; every record goes in as a key of its own.
bool CProxyList::Save() const
{
    if (m_path.empty())
        return false;
    DeleteFileA(m_path.c_str());
    CHandle created(CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created)
        return false;
    std::string content = "[proxy]\r\n";
    for (const CProxyRecord& record : m_proxies) {
        // A name with "=" or a line break would come back as another key: such a name is written
        // without them rather than dropping the proxy.
        std::string name = record.name;
        for (char& c : name) {
            if (c == '=' || c == '\r' || c == '\n')
                c = ' ';
        }
        std::string server = record.server;
        for (char& c : server) {
            if (c == '\r' || c == '\n')
                c = ' ';
        }
        content += name + "=" + server + "\r\n";
    }
    std::string exceptions = m_exceptions;
    for (char& c : exceptions) {
        if (c == '\r' || c == '\n')
            c = ';';
    }
    content += "[bypass]\r\nbypass=" + exceptions + "\r\n";
    DWORD written = 0;
    return WriteFile(created, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

void CProxyList::Append(CProxyRecord record)
{
    m_proxies.push_back(std::move(record));
}

bool CProxyList::Erase(size_t index)
{
    if (index >= m_proxies.size())
        return false;
    m_proxies.erase(m_proxies.begin() + static_cast<ptrdiff_t>(index));
    return true;
}

bool CProxyList::Replace(size_t index, CProxyRecord record)
{
    if (index >= m_proxies.size())
        return false;
    m_proxies[index] = std::move(record);
    return true;
}

CProxyList* GetProxyList()
{
    static CProxyList* list = nullptr;
    if (!list) {
        list = new CProxyList();
        new TLifetimeTracker<CProxyList>(kPriorityProxyList, &list);
    }
    return list;
}

UINT ProxyCommandOfIndex(int proxyIndex)
{
    if (proxyIndex == kProxyIndexSystem)
        return kIdUseSystemProxy;
    if (proxyIndex == kProxyIndexDirect)
        return kIdNoProxy;
    if (proxyIndex >= 0 && static_cast<size_t>(proxyIndex) < kMaxMenuProxies)
        return kIdFirstProxy + static_cast<UINT>(proxyIndex);
    return 0;
}

bool ProxyIndexOfCommand(UINT command, int& proxyIndex)
{
    if (command == kIdUseSystemProxy)
        proxyIndex = kProxyIndexSystem;
    else if (command == kIdNoProxy)
        proxyIndex = kProxyIndexDirect;
    else if (command >= kIdFirstProxy && command <= kIdLastProxy)
        proxyIndex = static_cast<int>(command - kIdFirstProxy);
    else
        return false;
    return true;
}

std::string ProxyMenuText(const CProxyRecord& record)
{
    return record.name.empty() ? record.server : record.name;
}

void BuildProxyMenu(HMENU menu, const CProxyList& list, int proxyIndex)
{
    if (!menu)
        return;
    for (UINT id = kIdFirstProxy; id <= kIdLastProxy; ++id) {
        if (!DeleteMenu(menu, id, MF_BYCOMMAND))
            break;
    }
    for (size_t i = 0; i < list.m_proxies.size() && i < kMaxMenuProxies; ++i) {
        std::string text = ProxyMenuText(list.m_proxies[i]);
        AppendMenuA(menu, MF_STRING, kIdFirstProxy + static_cast<UINT>(i), text.c_str());
    }
    UpdateProxyMenuCheck(menu, proxyIndex, proxyIndex);
}

void UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex)
{
    if (!menu)
        return;
    if (UINT old = ProxyCommandOfIndex(oldIndex))
        CheckMenuItem(menu, old, MF_BYCOMMAND | MF_UNCHECKED);
    if (UINT current = ProxyCommandOfIndex(newIndex))
        CheckMenuItem(menu, current, MF_BYCOMMAND | MF_CHECKED);
}

bool CUrlMonProxySession::SetProxy(DWORD accessType, const std::string& server, const std::string& bypass)
{
    INTERNET_PROXY_INFO info{};
    info.dwAccessType = accessType;
    info.lpszProxy = server.empty() ? nullptr : reinterpret_cast<LPCTSTR>(server.c_str());
    info.lpszProxyBypass = bypass.empty() ? nullptr : reinterpret_cast<LPCTSTR>(bypass.c_str());
    return SUCCEEDED(UrlMkSetSessionOption(INTERNET_OPTION_PROXY, &info, sizeof(info), 0));
}

IProxySession& GetUrlMonProxySession()
{
    static CUrlMonProxySession session;
    return session;
}

std::string MakeProxyBypass(const std::string& systemOverride, const std::string& listExceptions)
{
    // An empty system text would leave an empty first entry; the list's text then stands alone.
    if (listExceptions.empty() || systemOverride.empty())
        return listExceptions.empty() ? systemOverride : listExceptions;
    return systemOverride + ";" + listExceptions;
}

std::string ReadSystemProxyOverride()
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_READ))
        return {};
    char text[CProxyList::kMaxExceptionsLength] = "";
    DWORD size = sizeof(text) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, kProxyOverrideValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    text[size < sizeof(text) ? size : sizeof(text) - 1] = '\0';
    return text;
}

// The system's settings cannot be given back to a running URL layer: they take effect at the next
// start, so choosing them always tells the user, also when they are chosen again.
EProxyApplyResult ApplyProxyIndex(IProxySession& session, const CProxyList& list, int oldIndex, int newIndex,
                                  bool atStartup, const std::string& systemOverride)
{
    const bool unchanged = oldIndex == newIndex;
    if (newIndex == kProxyIndexSystem)
        return atStartup && unchanged ? EProxyApplyResult::kUnchanged : EProxyApplyResult::kRestartRequired;
    if (unchanged && !atStartup)
        return EProxyApplyResult::kUnchanged;
    if (newIndex == kProxyIndexDirect)
        return session.SetProxy(INTERNET_OPEN_TYPE_DIRECT, {}, {}) ? EProxyApplyResult::kApplied
                                                                    : EProxyApplyResult::kRefused;
    if (newIndex < 0 || static_cast<size_t>(newIndex) >= list.m_proxies.size())
        return EProxyApplyResult::kNoSuchProxy;
    const CProxyRecord& record = list.m_proxies[static_cast<size_t>(newIndex)];
    return session.SetProxy(INTERNET_OPEN_TYPE_PROXY, record.server, MakeProxyBypass(systemOverride, list.m_exceptions))
               ? EProxyApplyResult::kApplied
               : EProxyApplyResult::kRefused;
}
