#pragma once
// CPluginManager: the plug-ins found in the folders below "Plugins\" of the program folder. Each
// folder with a "plugin.ini" (section "General": type, name, name_<language>, filename, icon,
// hoticon, StartAfterPageDone) is a plug-in: a button plug-in is a script run in the current page,
// a pane plug-in an HTML page shown in a side panel.
//
// The folders are writable by anyone: texts are bounded, a content or icon file must lie inside
// its plug-in's folder (no "..", no absolute path, no share), and a script file larger than
// kMaxScriptBytes is not run.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

inline constexpr char kPluginsFolderName[] = "Plugins\\";
inline constexpr char kPluginIniName[] = "plugin.ini";
inline constexpr UINT kIdFirstButtonPlugin = 43001;

enum EPluginType { kPluginUnknown = -1, kPluginButton = 0, kPluginPane = 1, kPluginToolBar = 2 };

struct CPlugin {
    std::string folderName;
    std::string name;
    std::string fileName;
    int type = kPluginUnknown;
    int image = -1;
    bool enabled = true;
    bool startAfterPageDone = false;  // button plug-ins only
};

// What the options page shows of a plug-in, read from its "plugin.ini" each time.
struct CPluginDetails {
    std::string website;
    std::string author;
    std::string email;
    std::string version;
    std::string comments;
};

// The script of a button plug-in's content file: the body between the opening tag and the last
// "<", and the language attribute of the opening tag.
struct CPluginScript {
    std::string language;
    std::string body;
};
// False when the text has no element of the form "<script ...>body</script>".
bool SplitPluginScript(const std::string& content, CPluginScript& script);
// True when a file name given by "plugin.ini" stays inside its folder.
bool IsPluginRelativePath(const std::string& name);

// Where a button plug-in's script runs: the page of the current tab.
class IPageScript {
public:
    virtual ~IPageScript() = default;
    virtual void Exec(const std::string& code, const std::string& language) = 0;
};
// The page's window through execScript (ExecPageScript); `page` is not owned.
class CDocumentPageScript : public IPageScript {
public:
    explicit CDocumentPageScript(IUnknown* page) : m_page(page) {}
    void Exec(const std::string& code, const std::string& language) override;

private:
    IUnknown* m_page;  // not owned: the tab's document, alive for the call
};

class CPluginManager {
public:
    static constexpr size_t kMaxPlugins = 256;
    static constexpr size_t kMaxText = 1024;
    static constexpr size_t kMaxScriptBytes = 1024 * 1024;

    // `pluginsFolder` ends in a backslash; `disabled` is the "DisabledPlugins" text (";"-separated
    // folder names in lower case); `languageName` the current interface language.
    CPluginManager(std::string pluginsFolder, const std::string& disabled, std::string languageName);
    ~CPluginManager();
    CPluginManager(const CPluginManager&) = delete;
    CPluginManager& operator=(const CPluginManager&) = delete;

    const std::vector<CPlugin>& GetAll() const { return m_all; }
    // Indices into GetAll of the button and pane plug-ins that have an icon.
    const std::vector<size_t>& GetButtons() const { return m_buttons; }
    const std::vector<size_t>& GetPanes() const { return m_panes; }
    HIMAGELIST GetImages() const { return m_images; }
    HIMAGELIST GetHotImages() const { return m_hotImages; }

    // The details of a plug-in; empty texts when its "plugin.ini" cannot be read.
    CPluginDetails ReadDetails(const CPlugin& plugin) const;
    // Switches plug-in `index` (of GetAll) on or off; false for an index outside the list.
    bool SetEnabled(size_t index, bool enabled);
    // The "DisabledPlugins" text of the current flags: the folder names of the disabled plug-ins in
    // lower case, joined with ";".
    std::string FormatDisabledList() const;

    // The content file's full path; empty when the name leaves the folder.
    std::string GetContentPath(const CPlugin& plugin) const;
    // Reads the script of a button plug-in; false when the file is missing, too big or of the wrong shape.
    bool ReadScript(const CPlugin& plugin, CPluginScript& script) const;
    // Runs button plug-in `buttonIndex` (its index among GetButtons) in the page; false when it is
    // out of range, disabled, or its script cannot be read.
    bool RunButton(size_t buttonIndex, IPageScript& page) const;
    // Adds one toolbar-style menu item per enabled button plug-in (43001 + index).
    void BuildButtonMenu(HMENU menu) const;

private:
    void Load(const std::string& disabled);

    std::string m_folder;
    std::string m_language;
    std::vector<CPlugin> m_all;
    std::vector<size_t> m_buttons;
    std::vector<size_t> m_panes;
    HIMAGELIST m_images = nullptr;     // owned
    HIMAGELIST m_hotImages = nullptr;  // owned
};

// The process's manager: the program folder's "Plugins\" read on first use with the
// "DisabledPlugins" setting and the current interface language, destroyed at exit. A test may put
// its own in place with SetPluginManager (not owned; null goes back to the process's), which
// returns the one in place before.
CPluginManager* GetPluginManager();
CPluginManager* SetPluginManager(CPluginManager* manager);
