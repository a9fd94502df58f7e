#include "core/app/TestRegistry.h"

#include "core/library/RegistryKey.h"

#include <windows.h>

std::string TestRegistrySubKey(const char* value)
{
    if (!value)
        return {};
    const std::string prefix = std::string(kTestRegistryRoot) + "\\" + kTestRegistryParent + "\\";
    const std::string text = value;
    if (text.size() <= prefix.size() || text.size() > prefix.size() + kTestRegistryMaxName)
        return {};
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                       prefix.c_str(), static_cast<int>(prefix.size())) != CSTR_EQUAL)
        return {};
    // One plain name: no further level, no "." or "..", nothing a path parser could read otherwise.
    for (size_t i = prefix.size(); i < text.size(); ++i) {
        const char c = text[i];
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                           c == '_';
        if (!plain)
            return {};
    }
    return text.substr(std::string(kTestRegistryRoot).size() + 1);
}

// RegOverridePredefKey keeps a reference of its own to the key it is given (on Windows and in
// Wine 8, which duplicates the handle), so the holder may close ours at once. The redirect covers
// every registry call of the process made through advapi32, shlwapi included.
bool ApplyTestRegistryRedirect()
{
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(kTestRegistryVariable, value, sizeof(value));
    if (length == 0 || length >= sizeof(value))
        return false;
    const std::string subKey = TestRegistrySubKey(value);
    if (subKey.empty())
        return false;
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, subKey.c_str(), KEY_ALL_ACCESS))
        return false;
    return RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
}
