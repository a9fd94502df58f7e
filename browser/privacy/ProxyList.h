#pragma once
// CProxyList: the user's named proxy servers and the shared exception text, kept in "Proxies.ini"
// of the configuration folder: section "proxy" holds one key per proxy (name = server), section
// "bypass" the key "bypass" with the addresses that bypass the proxy, separated by ";".
//
// The mode setting ProxyIndex picks -2 (the system's own settings), -1 (no proxy) or a proxy of the
// list; BuildProxyMenu fills the "Pro&xy" submenu and ApplyProxyIndex hands the choice to the URL
// layer through IProxySession.
#include "core/library/StdStr.h"

#include <windows.h>

#include <string>
#include <vector>

// Command ids of the "Pro&xy" submenu.
inline constexpr UINT kIdUseSystemProxy = 2061;  // "Use &IE Proxy", ProxyIndex -2
inline constexpr UINT kIdNoProxy = 2062;         // "&No Proxy", ProxyIndex -1
inline constexpr UINT kIdFirstProxy = 53300;     // proxy i is 53300 + i
inline constexpr UINT kIdLastProxy = 53320;      // the menu reserves 21 ids for proxies
inline constexpr int kProxyIndexSystem = -2;
inline constexpr int kProxyIndexDirect = -1;

inline constexpr char kProxiesFileName[] = "Proxies.ini";

struct CProxyRecord {
    std::string name;
    std::string server;
    bool operator==(const CProxyRecord&) const = default;
};

class CProxyList {
public:
    // Longest name, server and exception text read from the file; longer ones are cut there, so a
    // damaged file cannot make the menu or the session option carry megabytes.
    static constexpr size_t kMaxTextLength = 1024;
    static constexpr size_t kMaxExceptionsLength = 8192;
    // More proxies than this are not read: the menu shows 21, the page a few hundred at most.
    static constexpr size_t kMaxProxies = 512;

    CProxyList();  // "Proxies.ini" of the program's configuration folder, loaded at once
    explicit CProxyList(std::string path);  // that file, loaded at once
    // Writes the list back, always (a file that cannot be created is left alone).
    ~CProxyList();
    CProxyList(const CProxyList&) = delete;
    CProxyList& operator=(const CProxyList&) = delete;

    // Replaces the records and the exceptions by the file's; false (and an empty list) when it
    // cannot be opened.
    bool Load();
    // Rewrites the file whole; false when it cannot be created.
    bool Save() const;
    void Append(CProxyRecord record);
    // False for an index outside the list.
    bool Erase(size_t index);
    // False for an index outside the list.
    bool Replace(size_t index, CProxyRecord record);

    const std::string& GetPath() const { return m_path; }

    std::vector<CProxyRecord> m_proxies;
    std::string m_exceptions;

private:
    std::string m_path;
};

// The process's list (created on first use, saved at teardown).
CProxyList* GetProxyList();

// The command of a ProxyIndex value: -2 → 2061, -1 → 2062, i → 53300 + i; 0 for anything else.
UINT ProxyCommandOfIndex(int proxyIndex);
// The ProxyIndex of a command, or false when the command is none of the proxy menu's.
bool ProxyIndexOfCommand(UINT command, int& proxyIndex);
// The menu text of a record: its name, or its server when it has no name.
std::string ProxyMenuText(const CProxyRecord& record);

// Removes the proxy items 53300, 53301, ... (up to the first missing one, at most 21), appends one
// item per record (at most 21) and moves the check mark to `proxyIndex`.
void BuildProxyMenu(HMENU menu, const CProxyList& list, int proxyIndex);
// Unchecks the command of the old index and checks the one of the new index.
void UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex);

// The URL layer's session option that carries the proxy for the running program.
class IProxySession {
public:
    virtual ~IProxySession() = default;
    // Sets INTERNET_OPTION_PROXY with the access type (INTERNET_OPEN_TYPE_DIRECT or _PROXY), the
    // server and the bypass text (both empty for a direct connection); false when refused.
    virtual bool SetProxy(DWORD accessType, const std::string& server, const std::string& bypass) = 0;
};

// UrlMkSetSessionOption of urlmon.
class CUrlMonProxySession : public IProxySession {
public:
    bool SetProxy(DWORD accessType, const std::string& server, const std::string& bypass) override;
};
IProxySession& GetUrlMonProxySession();

enum class EProxyApplyResult {
    kUnchanged,        // the mode was already active and this is not the start-up: nothing done
    kRestartRequired,  // the system's settings take effect at the next start (tell the user)
    kApplied,          // the session option was set
    kRefused,          // the URL layer refused the option (Wine's urlmon takes no proxy)
    kNoSuchProxy,      // the index names no record of the list
};

// The bypass text for a proxy: the system's exception text, then ";" and the list's own exceptions
// when they are not empty.
std::string MakeProxyBypass(const std::string& systemOverride, const std::string& listExceptions);
// The system's "ProxyOverride" text (current user's Internet Settings), bounded; empty when absent.
std::string ReadSystemProxyOverride();

// Switches to `newIndex`: what the "Pro&xy" commands and the start-up do. `atStartup` makes an
// unchanged mode apply anyway. The caller stores the new ProxyIndex and moves the check mark.
EProxyApplyResult ApplyProxyIndex(IProxySession& session, const CProxyList& list, int oldIndex, int newIndex,
                                  bool atStartup, const std::string& systemOverride);
