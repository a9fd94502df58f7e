#include "core/system/RunAtStartup.h"

#include "core/library/AppWindowInfo.h"
#include "core/library/RegistryKey.h"

TStdStr<char> MakeRunCommand(const char* programPath)
{
    // The Run key's parser splits an unquoted command at the first blank, so a program under
    // "C:\Program Files" could start "C:\Program.exe" instead.
    return TStdStr<char>("\"") + (programPath ? programPath : "") + "\"";
}

bool WriteRunValue(HKEY key, const char* valueName, const char* programPath)
{
    const TStdStr<char> command = MakeRunCommand(programPath);
    return ::RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

bool DeleteRunValue(HKEY key, const char* valueName)
{
    const LONG result = ::RegDeleteValueA(key, valueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool SetRunAtStartup(const char* valueName)
{
    // A fresh profile may not have the Run key yet.
    CRegistryKey key;
    const CAppWindowInfo* info = GetAppWindowInfo();
    if (!info || !key.Create(HKEY_CURRENT_USER, kRunKeyPath, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE))
        return false;
    return WriteRunValue(key, valueName, info->GetModulePath().c_str());
}

bool RemoveRunAtStartup(const char* valueName)
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kRunKeyPath, KEY_SET_VALUE))
        return false;
    return DeleteRunValue(key, valueName);
}
