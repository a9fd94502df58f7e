#pragma once
// The external tools: other programs the user starts from "&Tools" → "&External Tools" and from the
// tray menu's submenu. The list comes from "ExtTools.ini", one section per tool (the section name
// is its title) with the keys "command", "arguments", "path" and "icon".
//
// The file is one anyone may write: texts are bounded, at most kMaxTools sections are read, and a
// tool starts only when its command names a program file that exists on a local or mapped drive
// (never a share, never a text that is not a file); its arguments are passed exactly as written.
#include <windows.h>

#include <string>
#include <vector>

class CIniFile;

inline constexpr char kExternalToolsFileName[] = "ExtTools.ini";
inline constexpr UINT kIdToolsManager = 43800;
inline constexpr UINT kIdFirstTool = 33550;
// The main window's dispatch takes 33550 to 33559: ten tools can be started.
inline constexpr size_t kMaxStartableTools = 10;

struct CExternalTool {
    std::string title;
    std::string command;
    std::string arguments;
    std::string path;
    std::string icon;
    int image = -1;
};

// Starts a resolved tool; the production one is ShellExecuteEx with the verb "open".
class IToolStarter {
public:
    virtual ~IToolStarter() = default;
    // False when the program does not start.
    virtual bool Start(HWND owner, const std::string& file, const std::string& arguments, const std::string& folder) = 0;
};
IToolStarter& GetShellToolStarter();

class CExternalToolList {
public:
    static constexpr size_t kMaxTools = 64;
    static constexpr size_t kMaxTextLength = 2048;

    CExternalToolList() = default;
    CExternalToolList(const CExternalToolList&) = delete;
    CExternalToolList& operator=(const CExternalToolList&) = delete;

    // Replaces the tools by those of the file; false when it does not open (the list is empty).
    bool Load(const std::string& path);
    // Replaces the tools by those of an open file.
    void Load(CIniFile& file);
    // Removes every item, then appends "Tools &Manager...", a separator and one item per tool whose
    // command resolves (id 33550 + i, text its title, at most kMaxTools).
    void BuildMenu(HMENU menu) const;
    // Starts tool `index`: ignored (false) unless it is one of the first ten and its command resolves.
    bool Run(size_t index, HWND owner, IToolStarter& starter) const;

    std::vector<CExternalTool> m_tools;
    bool m_changed = false;
};

// The process's list, loaded from the configuration folders on first use.
CExternalToolList* GetExternalToolList();

// The command as a program file: surrounding quotes removed, then the text itself when it names
// an existing file, else the file the search path finds (".exe" added when it has no extension).
// Empty for a share ("\\host\..."), a text with quotes inside, or a file that does not exist.
std::string ResolveToolCommand(const std::string& command);
// "$WINDIR", "$SYSDIR" or "$PROGRAMFILES" at the start of the text replaced by the folder; a macro
// elsewhere is left as written.
std::string ExpandToolPath(const std::string& path);
