#include "core/system/OsInfo.h"

#include "core/library/LifetimeTracker.h"
#include "core/library/RegistryKey.h"
#include "core/system/DynamicLibrary.h"

#include <mbstring.h>

#include <cstdlib>
#include <cstring>

namespace {

// From Windows 2000 on the conversions follow the thread's ANSI code page (CP_THREAD_ACP), which
// the system itself resolves.
UINT ThreadAnsiCodePage() { return CP_THREAD_ACP; }

// Reads one decimal part ending at a comma, multibyte-aware; null when no comma follows.
const unsigned char* ReadColorPart(const unsigned char* text, unsigned* value)
{
    const unsigned char* comma = _mbschr(text, ',');
    if (!comma)
        return nullptr;
    *value = static_cast<unsigned>(std::strtoul(reinterpret_cast<const char*>(text), nullptr, 10));
    return comma + 1;
}

} // namespace

COsInfo::COsInfo()
{
    ::GetSystemInfo(&m_systemInfo);
    m_versionInfo.dwOSVersionInfoSize = sizeof(m_versionInfo);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&m_versionInfo);
#pragma GCC diagnostic pop

    DLLVERSIONINFO comCtl = {};
    if (GetDllVersion("COMCTL32.DLL", &comCtl)) {
        m_comCtlMajor = comCtl.dwMajorVersion;
        m_comCtlMinor = comCtl.dwMinorVersion;
    }

    const bool threadCodePage = GetPlatform() == VER_PLATFORM_WIN32_NT && GetMajorVersion() >= 5;
    ::InterlockedExchangePointer(reinterpret_cast<void* volatile*>(const_cast<CodePageFunction*>(&m_codePage)),
                                 reinterpret_cast<void*>(threadCodePage ? ThreadAnsiCodePage : GetCodePageOfThreadLocale));

    m_largeIconWidth = ::GetSystemMetrics(SM_CXICON);
    m_largeIconHeight = ::GetSystemMetrics(SM_CYICON);
    m_smallIconWidth = ::GetSystemMetrics(SM_CXSMICON);
    m_smallIconHeight = ::GetSystemMetrics(SM_CYSMICON);
}

bool COsInfo::IsWinXPOrLater() const
{
    return GetPlatform() == VER_PLATFORM_WIN32_NT &&
           (GetMajorVersion() > 5 || (GetMajorVersion() == 5 && GetMinorVersion() >= 1));
}

UINT COsInfo::GetCodePage() const
{
    const CodePageFunction function = m_codePage;
    return function ? function() : CP_ACP;
}

COsInfo* GetOsInfo() { return GetSingleton<COsInfo, kPriorityOsInfo>(); }

bool GetDllVersion(const char* dllName, DLLVERSIONINFO* version)
{
    if (!version)
        return false;
    CDynamicLibrary module;
    if (!module.Load(dllName))
        return false;
    bool answered = false;
    if (auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
            reinterpret_cast<void*>(module.GetProc("DllGetVersion")))) {
        std::memset(version, 0, sizeof(*version));
        version->cbSize = sizeof(*version);
        answered = SUCCEEDED(getVersion(version));
    }
    return answered;
}

bool GetShdocvwVersion(DWORD* major, DWORD* minor, DWORD* build)
{
    DLLVERSIONINFO version = {};
    const bool answered = GetDllVersion("SHDOCVW.DLL", &version);
    if (!answered)
        version = {};
    if (major)
        *major = version.dwMajorVersion;
    if (minor)
        *minor = version.dwMinorVersion;
    if (build)
        *build = version.dwBuildNumber;
    return answered;
}

UINT GetCodePageOfThreadLocale()
{
    char digits[7] = {};
    if (::GetLocaleInfoA(::GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)) > 0) {
        const UINT codePage = static_cast<UINT>(std::strtoul(digits, nullptr, 10));
        if (codePage != 0)
            return codePage;
    }
    return ::GetACP();
}

COLORREF ParseColorString(const char* text)
{
    if (!text)
        return CLR_INVALID;
    unsigned char copy[29] = {};
    std::strncpy(reinterpret_cast<char*>(copy), text, 28);
    unsigned red = 0;
    unsigned green = 0;
    const unsigned char* rest = ReadColorPart(copy, &red);
    if (rest)
        rest = ReadColorPart(rest, &green);
    if (!rest || !*rest)
        return CLR_INVALID;
    const unsigned blue = static_cast<unsigned>(std::strtoul(reinterpret_cast<const char*>(rest), nullptr, 10));
    return RGB(red % 256, green % 256, blue % 256);
}

bool GetIeLinkColors(COLORREF* link, COLORREF* visited)
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Settings", KEY_READ))
        return false;
    const struct {
        const char* name;
        COLORREF* out;
    } values[] = {{"Anchor Color", link}, {"Anchor Color Visited", visited}};
    for (const auto& value : values) {
        char buffer[13] = {};
        DWORD size = 12;
        if (!value.out || !key.QueryValue(value.name, buffer, &size))
            continue;
        const COLORREF colour = ParseColorString(buffer);
        if (colour != CLR_INVALID)
            *value.out = colour;
    }
    return true;
}
