#pragma once
// CPageAnalyzer: a view inside a browser tab that takes its page apart. A category tree on the
// left lists the page (its address), its documents (the top document and every frame, nested as the
// frames nest), its external scripts, its images and its links; choosing an entry shows an HTML
// report (the document, an image, the links of every document) in a report pane, or a text (a
// document's markup, a script's code) read-only in a syntax-colouring edit control. All images
// and scripts of all frames collect under the one "Images" and "Scripts" folder. The page is read
// by name, as page scripts read it, so any document object of the engine takes part.
//
// Every value a report takes from the page is HTML-escaped and every placeholder of a report's
// template is replaced in one pass: a page cannot put markup or script into the program's own
// report pane, and a value that reads like a placeholder stays as it is.
//
// Lifetime: rule (a). The tab holds the analyzer (std::unique_ptr) and destroys it when it closes
// the view or goes; the analyzer's destruction destroys its window, whose WM_DESTROY destroys the
// two panes. The tree's items hold their page objects (one reference each) until the next
// analysis or the end.
#include "browser/tools/HtmlPanes.h"
#include "browser/tools/SplitterWindow.h"
#include "controls/ThemeApi.h"
#include "core/library/StdStr.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>

#include <memory>
#include <utility>
#include <vector>

// The analyzer's commands: 62001 is taken and does nothing, 62002 saves the shown script; its tab
// menu posts 62010 (close the view) and 62011 (analyse again) to the tab.
constexpr UINT kAnalyzerRefreshCommand = 62001;
constexpr UINT kAnalyzerSaveScriptCommand = 62002;
constexpr UINT kAnalyzerCloseCommand = 62010;
constexpr UINT kAnalyzerReanalyzeCommand = 62011;
// The analyzer's inner page in the tab's strip shows this image.
constexpr int kAnalyzerPageImage = 2;
// The room left under the analyzer in its tab.
constexpr int kAnalyzerBottomMargin = 20;

// The kinds of tree entries.
enum EPageItemType {
    kPageItemRoot = 1,
    kPageItemDocuments = 2,
    kPageItemLinks = 3,
    kPageItemImages = 6,
    kPageItemScripts = 7,
    kPageItemDocument = 8,
    kPageItemImage = 11,
    kPageItemScript = 13,
};

// One tree entry: its kind and the page object it stands for (none for the folders).
struct PageItemRecord {
    int type = 0;
    CComPtr<IDispatch> object;
};

// What the analyzer shows on the right.
enum EAnalyzerContent { kContentNone = -1, kContentReport = 0, kContentSource = 1 };
// The language of the script shown.
enum EScriptLanguage { kScriptLanguageNone = -1, kScriptJavaScript = 1, kScriptVBScript = 2 };

// & < > " and ' as character references.
TStdStr<char> EscapeHtml(const TStdStr<char>& text);
// The template with every placeholder replaced by its value in one pass over the template: at each
// position the longest placeholder that starts there is taken; the values are not looked at again.
TStdStr<char> FillReportTemplate(const char* pattern, const std::vector<std::pair<const char*, TStdStr<char>>>& values);
// A script's language, lower-cased: its type attribute, else its language attribute, else derived
// from its address (lower-cased, backslashes as slashes): "vbscript" for ".vb" or ".vbs", else
// "jscript" for ".js", else "javascript"; an address matches only after its first character.
TStdStr<char> ScriptLanguageOf(const TStdStr<char>& type, const TStdStr<char>& language, const TStdStr<char>& src);
// 1 for a language naming ECMAScript, JavaScript or JScript, 2 for VBScript, -1 for any other.
int ScriptLanguageCode(const TStdStr<char>& language);

// Where the analyzer finds a script's code besides the page itself; the production source reads
// the address's entry from the system's internet cache. `url` is the script's full address.
class IScriptCodeSource {
public:
    virtual ~IScriptCodeSource() = default;
    // The code, or false when there is none.
    virtual bool ReadScriptCode(const char* url, TStdStr<char>& code) = 0;
};
IScriptCodeSource& GetInternetCacheScriptSource();

// The documents of the script debugger (the machine debug manager's applications), searched for
// the script whose address, lower-cased with backslashes as slashes, holds `src`.
class IScriptDebugDocuments {
public:
    virtual ~IScriptDebugDocuments() = default;
    // False when there is no debug manager; otherwise true, with the code of the first matching
    // document (depth first), or empty when none matches.
    virtual bool FindScriptCode(const TStdStr<char>& src, TStdStr<char>& code) = 0;
};
IScriptDebugDocuments& GetMachineDebugDocuments();

class CPageAnalyzer : public CWindowImpl<CPageAnalyzer> {
public:
    DECLARE_WND_CLASS_EX("_PAGE_ANA", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

    // tab: the browser tab the analyzer belongs to (its window; not owned).
    explicit CPageAnalyzer(HWND tab);
    CPageAnalyzer(const CPageAnalyzer&) = delete;
    CPageAnalyzer& operator=(const CPageAnalyzer&) = delete;
    ~CPageAnalyzer() override;

    // Makes the window over the tab's client area less its bottom margin; null (and a beep) when
    // it cannot be made.
    HWND Create();
    // Rebuilds the tree from the tab's engine; false when the engine has no address, the address
    // does not parse, or there is no document.
    bool AnalyzeDocument(IWebBrowser2* browser);
    // Where script code comes from (null: the production sources); not owned.
    void SetScriptSources(IScriptDebugDocuments* debugger, IScriptCodeSource* cache);
    // The report or text of the chosen tree entry.
    void ShowItemReport(HTREEITEM item);

    // What the analyzer shows, for the tab and for tests.
    HWND TreeWindow() const { return m_tree.m_hWnd; }
    HWND SourceWindow() const { return m_source; }
    CInfoPane* ReportPane() const { return m_report.get(); }
    int ContentMode() const { return m_mode; }
    int ScriptLanguage() const { return m_scriptLanguage; }
    const std::vector<PageItemRecord>& Records() const { return m_records; }
    // The last report written into the report pane.
    const TStdStr<char>& LastReport() const { return m_lastReport; }
    TStdStr<char> SourceText() const;

    BEGIN_MSG_MAP(CPageAnalyzer)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(TabMenuMessage(), OnTabMenu)
        MESSAGE_HANDLER(WM_THEMECHANGED, OnThemeChanged)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
    END_MSG_MAP()

private:
    static UINT TabMenuMessage();
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnTabMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnThemeChanged(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_theme.OpenThemeData(m_hWnd);
        return 0;
    }
    LRESULT OnNcPaint(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        handled = m_theme.OnNcPaint(m_hWnd, reinterpret_cast<HRGN>(wParam)) ? TRUE : FALSE;
        return 0;
    }

    HTREEITEM AddItem(HTREEITEM parent, const TStdStr<char>& text, int type, IDispatch* object, int image,
                      int selectedImage);
    void WalkDocument(IDispatch* document, HTREEITEM parent, int depth);
    void ShowReport(const TStdStr<char>& html);
    void ShowSource(const TStdStr<char>& text, const char* configuration);
    TStdStr<char> DocumentInfoReport() const;
    TStdStr<char> ImageReport(IDispatch* image) const;
    TStdStr<char> LinksReport(IDispatch* document, int depth) const;
    void ShowScriptCode(IDispatch* script);
    void SaveScript();
    void RunPaneCommand(UINT id);

    HWND m_tab = nullptr;                   // not owned
    IScriptDebugDocuments* m_debugger = nullptr;  // not owned: the production source or a test's
    IScriptCodeSource* m_scripts = nullptr;       // not owned: the production source or a test's
    CThemeSupport m_theme;  // the themed client edge
    CSplitterWindow m_splitter;
    CTreeViewCtrl m_tree;                  // a child of the splitter, destroyed with it
    std::unique_ptr<CInfoPane> m_report;
    HWND m_source = nullptr;  // the edit control, owned: destroyed in WM_DESTROY
    int m_mode = kContentNone;
    int m_scriptLanguage = kScriptLanguageNone;
    TStdStr<char> m_url;
    CComPtr<IWebBrowser2> m_browser;
    std::vector<PageItemRecord> m_records;
    HTREEITEM m_images = nullptr;
    HTREEITEM m_scriptFolder = nullptr;
    TStdStr<char> m_lastReport;
};
