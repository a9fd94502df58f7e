#include "frame/services/DefaultBrowser.h"

#include "core/library/RegistryKey.h"

#include <sstream>

namespace {

constexpr size_t kMaxValueLength = 4096;
constexpr size_t kMaxBackupEntries = 256;

bool ReadDefault(HKEY root, const std::string& key, const std::string& name, std::string& data)
{
    CRegistryKey opened;
    if (!opened.Open(root, key.c_str(), KEY_READ))
        return false;
    char text[kMaxValueLength] = "";
    DWORD size = sizeof(text) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(opened, name.empty() ? nullptr : name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    text[size < sizeof(text) ? size : sizeof(text) - 1] = '\0';
    data = text;
    return true;
}

// Records the old value and writes the new one; `create` makes the key when it is missing.
void WriteRemembered(HKEY root, const std::string& key, const std::string& name, const std::string& data, bool create,
                     std::vector<CRegistryValueBackup>& backup)
{
    CRegistryKey opened;
    const bool open = create ? opened.Create(root, key.c_str()) : opened.Open(root, key.c_str(), KEY_READ | KEY_WRITE);
    if (!open)
        return;
    CRegistryValueBackup old{key, name, false, {}};
    old.existed = ReadDefault(root, key, name, old.data);
    backup.push_back(old);
    opened.SetStringValue(name.empty() ? nullptr : name.c_str(), data.c_str());
}

} // namespace

std::string MakeShellOpenCommand(const std::string& programPath)
{
    return "\"" + programPath + "\" \"%1\"";
}

const std::vector<std::string>& DefaultBrowserShellKeys()
{
    static const std::vector<std::string> keys = {"InternetShortcut\\shell", "htmlfile\\shell", "mhtmlfile\\shell",
                                                  "http\\shell", "https\\shell", "file\\shell", "ftp\\shell"};
    return keys;
}

bool IsShellVerbOurs(HKEY classesRoot, const char* shellKey)
{
    std::string data;
    return ReadDefault(classesRoot, shellKey, "", data) && data == kProductDisplayName;
}

bool IsDefaultBrowser(HKEY classesRoot)
{
    const auto& keys = DefaultBrowserShellKeys();
    for (size_t i = 0; i < kCheckedShellKeyCount; ++i) {
        if (!IsShellVerbOurs(classesRoot, keys[i].c_str()))
            return false;
    }
    return true;
}

namespace {

bool RegisterShellCommandRemembered(HKEY root, const std::string& shellKey, const std::string& programPath,
                                    std::vector<CRegistryValueBackup>& backup)
{
    {
        CRegistryKey shell;
        if (!shell.Open(root, shellKey.c_str(), KEY_READ | KEY_WRITE))
            return false;
    }
    const std::string command = MakeShellOpenCommand(programPath);
    WriteRemembered(root, shellKey, "", kProductDisplayName, false, backup);
    WriteRemembered(root, shellKey + "\\open\\command", "", command, true, backup);
    WriteRemembered(root, shellKey + "\\" + kProductDisplayName + "\\command", "", command, true, backup);
    return true;
}

} // namespace

bool RegisterShellCommand(HKEY classesRoot, const char* shellKey, const std::string& programPath)
{
    std::vector<CRegistryValueBackup> ignored;
    return RegisterShellCommandRemembered(classesRoot, shellKey, programPath, ignored);
}

std::vector<CRegistryValueBackup> MakeDefaultBrowser(HKEY classesRoot, const std::string& programPath)
{
    std::vector<CRegistryValueBackup> backup;
    for (const char* type : {".htm", ".html"})
        WriteRemembered(classesRoot, type, "", "htmlfile", false, backup);
    const struct {
        const char* type;
        const char* fileClass;
        bool contentType;
    } changedOnly[] = {{".url", "InternetShortcut", false}, {".mht", "mhtmlfile", false},
                       {".mhtml", "mhtmlfile", false},      {".shtm", "htmlfile", true},
                       {".shtml", "htmlfile", true}};
    for (const auto& entry : changedOnly) {
        std::string current;
        if (!ReadDefault(classesRoot, entry.type, "", current))
            continue;
        if (current != entry.fileClass)
            WriteRemembered(classesRoot, entry.type, "", entry.fileClass, false, backup);
        if (entry.contentType)
            WriteRemembered(classesRoot, entry.type, "Content Type", "text/html", false, backup);
    }
    for (const std::string& key : DefaultBrowserShellKeys())
        RegisterShellCommandRemembered(classesRoot, key, programPath, backup);
    return backup;
}

// In reverse order, so a value written twice ends with its first old data.
void UndoDefaultBrowser(HKEY classesRoot, const std::vector<CRegistryValueBackup>& backup)
{
    for (auto it = backup.rbegin(); it != backup.rend(); ++it) {
        CRegistryKey key;
        if (!key.Open(classesRoot, it->key.c_str(), KEY_READ | KEY_WRITE))
            continue;
        const char* name = it->name.empty() ? nullptr : it->name.c_str();
        if (it->existed) {
            key.SetStringValue(name, it->data.c_str());
            continue;
        }
        RegDeleteValueA(key, name);
        // A "command" key (and its verb key) that the registration made is empty again: remove it.
        DWORD subKeys = 0;
        DWORD values = 0;
        if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr) == ERROR_SUCCESS &&
            subKeys == 0 && values == 0 && it->key.ends_with("\\command")) {
            key.Close();
            RegDeleteKeyA(classesRoot, it->key.c_str());
            const std::string verb = it->key.substr(0, it->key.size() - 8);
            CRegistryKey verbKey;
            if (verbKey.Open(classesRoot, verb.c_str(), KEY_READ) &&
                RegQueryInfoKeyA(verbKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                 nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                subKeys == 0 && values == 0) {
                verbKey.Close();
                RegDeleteKeyA(classesRoot, verb.c_str());
            }
        }
    }
}

std::string FormatRegistryBackup(const std::vector<CRegistryValueBackup>& backup)
{
    std::string text;
    for (const auto& entry : backup)
        text += entry.key + "\t" + entry.name + "\t" + (entry.existed ? "1" : "0") + "\t" + entry.data + "\n";
    return text;
}

std::vector<CRegistryValueBackup> ParseRegistryBackup(const std::string& text)
{
    std::vector<CRegistryValueBackup> backup;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line) && backup.size() < kMaxBackupEntries) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t tab = line.find('\t', start);
            if (tab == std::string::npos)
                break;
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() != 3 || fields[0].empty() || fields[0].size() > kMaxValueLength ||
            (fields[2] != "0" && fields[2] != "1"))
            continue;
        std::string data = line.substr(start);
        if (data.size() > kMaxValueLength)
            continue;
        backup.push_back({fields[0], fields[1], fields[2] == "1", data});
    }
    return backup;
}
