#include "frame/services/ExternalTools.h"

#include "core/app/ProgramFolders.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"

#include <shellapi.h>
#include <shlobj.h>

namespace {

std::string Bounded(const TStdStr<char>& text)
{
    std::string value = text.c_str();
    if (value.size() > CExternalToolList::kMaxTextLength)
        value.resize(CExternalToolList::kMaxTextLength);
    return value;
}

bool IsExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderOf(int csidl)
{
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

class CShellToolStarter : public IToolStarter {
public:
    bool Start(HWND owner, const std::string& file, const std::string& arguments, const std::string& folder) override
    {
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.hwnd = owner;
        info.lpVerb = "open";
        info.lpFile = file.c_str();
        info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
        info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ShellExecuteExA(&info) != FALSE;
    }
};

} // namespace

IToolStarter& GetShellToolStarter()
{
    static CShellToolStarter starter;
    return starter;
}

std::string ResolveToolCommand(const std::string& command)
{
    std::string file = command;
    while (!file.empty() && (file.back() == ' ' || file.back() == '\t'))
        file.pop_back();
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
        file = file.substr(1, file.size() - 2);
    // A quote left inside means a command line, not a file: the part after it would become
    // arguments nobody wrote into "arguments".
    if (file.empty() || file.size() >= MAX_PATH || file.find('"') != std::string::npos)
        return {};
    if (file.starts_with("\\\\") || file.starts_with("//"))
        return {};
    if (IsExistingFile(file)) {
        char full[MAX_PATH] = "";
        const DWORD length = GetFullPathNameA(file.c_str(), sizeof(full), full, nullptr);
        return length > 0 && length < sizeof(full) ? std::string(full) : std::string();
    }
    if (file.find_first_of("\\/:") != std::string::npos)
        return {};
    char found[MAX_PATH] = "";
    const DWORD length = SearchPathA(nullptr, file.c_str(), ".exe", sizeof(found), found, nullptr);
    if (length == 0 || length >= sizeof(found) || !IsExistingFile(found))
        return {};
    return found;
}

std::string ExpandToolPath(const std::string& path)
{
    const struct {
        const char* macro;
        int csidl;
    } macros[] = {{"$WINDIR", CSIDL_WINDOWS}, {"$SYSDIR", CSIDL_SYSTEM}, {"$PROGRAMFILES", CSIDL_PROGRAM_FILES}};
    for (const auto& m : macros) {
        const size_t length = strlen(m.macro);
        if (path.size() >= length && _strnicmp(path.c_str(), m.macro, length) == 0)
            return FolderOf(m.csidl) + path.substr(length);
    }
    return path;
}

bool CExternalToolList::Load(const std::string& path)
{
    m_tools.clear();
    CIniFile file;
    if (!file.Open(path.c_str()))
        return false;
    Load(file);
    return true;
}

void CExternalToolList::Load(CIniFile& file)
{
    m_tools.clear();
    std::vector<TStdStr<char>> sections;
    file.GetSectionNames(sections);
    for (const auto& section : sections) {
        if (m_tools.size() >= kMaxTools)
            break;
        CExternalTool tool;
        tool.title = Bounded(section);
        tool.command = Bounded(file.GetString(section.c_str(), "command", ""));
        tool.arguments = Bounded(file.GetString(section.c_str(), "arguments", ""));
        tool.path = Bounded(file.GetString(section.c_str(), "path", ""));
        tool.icon = Bounded(file.GetString(section.c_str(), "icon", ""));
        m_tools.push_back(std::move(tool));
    }
}

void CExternalToolList::BuildMenu(HMENU menu) const
{
    if (!menu)
        return;
    while (GetMenuItemCount(menu) > 0) {
        if (!DeleteMenu(menu, 0, MF_BYPOSITION))
            break;
    }
    AppendMenuA(menu, MF_STRING, kIdToolsManager, "Tools &Manager...");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < m_tools.size(); ++i) {
        if (ResolveToolCommand(m_tools[i].command).empty())
            continue;  // no item, but its id stays reserved
        const std::string text = m_tools[i].title.empty() ? m_tools[i].command : m_tools[i].title;
        AppendMenuA(menu, MF_STRING, kIdFirstTool + static_cast<UINT>(i), text.c_str());
    }
}

bool CExternalToolList::Run(size_t index, HWND owner, IToolStarter& starter) const
{
    if (index >= m_tools.size() || index >= kMaxStartableTools)
        return false;
    const CExternalTool& tool = m_tools[index];
    const std::string file = ResolveToolCommand(tool.command);
    if (file.empty())
        return false;
    return starter.Start(owner, file, tool.arguments, ExpandToolPath(tool.path));
}

CExternalToolList* GetExternalToolList()
{
    static CExternalToolList* list = nullptr;
    if (!list) {
        list = new CExternalToolList();
        new TLifetimeTracker<CExternalToolList>(kPriorityExternalTools, &list);
        CIniFile file;
        if (OpenConfigIniFile(file, kExternalToolsFileName))
            list->Load(file);
    }
    return list;
}
