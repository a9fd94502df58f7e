#include "browser/tools/PageAnalyzer.h"

#include "browser/BrowserStrings.h"
#include "browser/TabTextStore.h"
#include "core/system/DispatchByName.h"
#include "browser/tools/PageCommands.h"
#include "browser/tools/PageToolsResources.h"
#include "browser/tools/SourceView.h"
#include "controls/CommandImageManager.h"
#include "controls/ImageListManager.h"
#include "controls/TabbedMDI.h"
#include "core/library/Url.h"
#include "core/library/UrlFunctions.h"
#include "core/system/MenuFunctions.h"

#include <activdbg.h>
#include <wininet.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// Tree images of the analyzer's image list.
constexpr int kRootImage = 3;
constexpr int kFolderImage = 1;
constexpr int kFolderOpenImage = 0;
constexpr int kDocumentImage = 2;
constexpr int kImageImage = 4;
constexpr int kScriptImage = 8;
// Frames nest no deeper than this: a page whose frames hold themselves ends here.
constexpr int kMaxFrameDepth = 16;
// Collections longer than this are read no further (a page may claim any length).
constexpr long kMaxCollectionItems = 10000;
// The largest cached script taken.
constexpr DWORD kMaxScriptBytes = 16 * 1024 * 1024;
// The tab's Refresh, whose icon the menu's Refresh shows.
constexpr UINT kTabRefreshCommand = 59395;

constexpr char kDocumentReport[] =
    "<table border=1><tr><th>%NAME</th><td>%name</td></tr><tr><th>%URL</th><td>%url</td></tr>"
    "<tr><th>%TYPE</th><td>%type</td></tr></table>";
constexpr char kImageReport[] =
    "<table border=1><tr><th>%NAME</th><td>%name</td></tr><tr><th>%URL</th><td><a href=\"%url\" "
    "target=_blank>%url</a></td></tr><tr><th>%ALT</th><td>%alt</td></tr><tr><th>%W</th><td>%w</td></tr>"
    "<tr><th>%H</th><td>%h</td></tr><tr><th>%TYPE</th><td>%type</td></tr><tr><th>%FS</th><td>%fs</td></tr>"
    "<tr><td colspan=2><a href=\"%url\" target=_blank><img src=\"%url\" border=0></a></td></tr></table>";
constexpr char kLinksHead[] = "<table border=1><tr><th>%links - <a href=\"%url\" target=_blank>%name</a></th></tr>";
constexpr char kLinksRow[] = "<tr><td><a href=\"%url\" target=_blank>%url</a></td></tr>";
constexpr char kLinksTail[] = "</table><br>";

TStdStr<char> Lowered(TStdStr<char> text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TStdStr<char> TextOf(const CComVariant& value)
{
    if (value.vt == VT_BSTR)
        return NarrowText(value.bstrVal);
    CComVariant copy;
    if (value.vt == VT_EMPTY || FAILED(copy.ChangeType(VT_BSTR, &value)))
        return TStdStr<char>();
    return NarrowText(copy.bstrVal);
}

TStdStr<char> Property(IDispatch* object, const wchar_t* name)
{
    return TextOf(GetByName(object, name));
}

long CollectionLength(IDispatch* collection)
{
    CComVariant length = GetByName(collection, L"length");
    if (FAILED(length.ChangeType(VT_I4)))
        return 0;
    return std::clamp(length.lVal, 0L, kMaxCollectionItems);
}

CComPtr<IDispatch> CollectionItem(IDispatch* collection, long index)
{
    CComVariant item;
    CComPtr<IDispatch> object;
    if (SUCCEEDED(CallByName(collection, L"item", {CComVariant(index)}, &item)) && item.vt == VT_DISPATCH &&
        item.pdispVal)
        object = item.pdispVal;
    return object;
}

TStdStr<char> Text(UINT id, const char* fallback)
{
    return BrowserString(id, fallback);
}

class CInternetCacheScriptSource final : public IScriptCodeSource {
public:
    bool ReadScriptCode(const char* url, TStdStr<char>& code) override
    {
        code.clear();
        if (!url || !*url)
            return false;
        DWORD size = 0;
        // Once to learn the size of the entry's record, once more to open the stream.
        ::RetrieveUrlCacheEntryStreamA(url, nullptr, &size, TRUE, 0);
        if (size == 0 || size > 64 * 1024)
            return false;
        std::vector<BYTE> buffer(size, 0);
        auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        entry->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOA);
        HANDLE stream = ::RetrieveUrlCacheEntryStreamA(url, entry, &size, TRUE, 0);
        if (!stream)
            return false;
        const DWORD length = std::min(entry->dwSizeLow, kMaxScriptBytes);
        std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
        DWORD read = length;
        const bool ok = length > 0 && ::ReadUrlCacheEntryStream(stream, 0, text.data(), &read, 0) && read <= length;
        ::UnlockUrlCacheEntryStream(stream, 0);
        if (!ok)
            return false;
        code.assign(text.data(), read);
        return !code.empty();
    }
};

// The machine debug manager's class.
constexpr CLSID kMachineDebugManager = {0x0c0a3666, 0x30c9, 0x11d0, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
constexpr DWORD kDebugManagerContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
// Nodes of a debug tree looked at in one search, at most (a debugger's tree is another program's).
constexpr int kMaxDebugNodes = 10000;
constexpr ULONG kMaxDebugTextChars = 16 * 1024 * 1024;

class CMachineDebugDocuments final : public IScriptDebugDocuments {
public:
    bool FindScriptCode(const TStdStr<char>& src, TStdStr<char>& code) override
    {
        code.clear();
        CComPtr<IMachineDebugManager> manager;
        if (FAILED(::CoCreateInstance(kMachineDebugManager, nullptr, kDebugManagerContext,
                                      __uuidof(IMachineDebugManager), reinterpret_cast<void**>(&manager.p))) ||
            !manager)
            return false;
        CComPtr<IEnumRemoteDebugApplications> applications;
        if (FAILED(manager->EnumApplications(&applications)) || !applications)
            return true;
        int budget = kMaxDebugNodes;
        for (;;) {
            CComPtr<IRemoteDebugApplication> application;
            ULONG fetched = 0;
            if (applications->Next(1, &application.p, &fetched) != S_OK || !application)
                break;
            CComPtr<IDebugApplicationNode> root;
            if (SUCCEEDED(application->GetRootNode(&root)) && root && Search(root, src, code, budget))
                return true;
        }
        return true;
    }

private:
    static bool Search(IDebugApplicationNode* node, const TStdStr<char>& src, TStdStr<char>& code, int& budget)
    {
        if (--budget < 0)
            return false;
        CComBSTR name;
        if (SUCCEEDED(node->GetName(DOCUMENTNAMETYPE_URL, &name)) && name.m_str) {
            TStdStr<char> address = Lowered(NarrowText(name.m_str));
            std::replace(address.begin(), address.end(), '\\', '/');
            if (!src.empty() && address.find(src) != TStdStr<char>::npos) {
                ReadText(node, code);
                return true;
            }
        }
        CComPtr<IEnumDebugApplicationNodes> children;
        if (FAILED(node->EnumChildren(&children)) || !children)
            return false;
        for (;;) {
            CComPtr<IDebugApplicationNode> child;
            ULONG fetched = 0;
            if (children->Next(1, &child.p, &fetched) != S_OK || !child)
                return false;
            if (Search(child, src, code, budget))
                return true;
        }
    }
    static void ReadText(IDebugApplicationNode* node, TStdStr<char>& code)
    {
        CComPtr<IDebugDocument> document;
        if (FAILED(node->GetDocument(&document)) || !document)
            return;
        CComQIPtr<IDebugDocumentText> text(document);
        ULONG lines = 0;
        ULONG chars = 0;
        if (!text || FAILED(text->GetSize(&lines, &chars)) || chars == 0 || chars > kMaxDebugTextChars)
            return;
        std::vector<wchar_t> buffer(static_cast<size_t>(chars) + 10, L'\0');
        ULONG got = 0;
        if (FAILED(text->GetText(0, buffer.data(), nullptr, &got, chars)) || got > chars)
            return;
        buffer[got] = L'\0';
        code = NarrowText(buffer.data());
    }
};

} // namespace

IScriptDebugDocuments& GetMachineDebugDocuments()
{
    static CMachineDebugDocuments documents;
    return documents;
}

IScriptCodeSource& GetInternetCacheScriptSource()
{
    static CInternetCacheScriptSource source;
    return source;
}

TStdStr<char> EscapeHtml(const TStdStr<char>& text)
{
    TStdStr<char> escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

TStdStr<char> FillReportTemplate(const char* pattern, const std::vector<std::pair<const char*, TStdStr<char>>>& values)
{
    TStdStr<char> result;
    if (!pattern)
        return result;
    for (const char* at = pattern; *at;) {
        const std::pair<const char*, TStdStr<char>>* best = nullptr;
        size_t bestLength = 0;
        for (const auto& value : values) {
            const size_t length = std::strlen(value.first);
            if (length > bestLength && std::strncmp(at, value.first, length) == 0) {
                best = &value;
                bestLength = length;
            }
        }
        if (best) {
            result += best->second;
            at += bestLength;
        } else {
            result += *at++;
        }
    }
    return result;
}

TStdStr<char> ScriptLanguageOf(const TStdStr<char>& type, const TStdStr<char>& language, const TStdStr<char>& src)
{
    if (!type.empty())
        return Lowered(type);
    if (!language.empty())
        return Lowered(language);
    TStdStr<char> address = Lowered(src);
    std::replace(address.begin(), address.end(), '\\', '/');
    auto containsAfterFirst = [&address](const char* part) {
        const size_t found = address.find(part);
        return found != TStdStr<char>::npos && found > 0;
    };
    TStdStr<char> derived = "javascript";
    if (containsAfterFirst(".js"))
        derived = "jscript";
    if (containsAfterFirst(".vb"))
        derived = "vbscript";
    return derived;
}

int ScriptLanguageCode(const TStdStr<char>& language)
{
    const TStdStr<char> lowered = Lowered(language);
    if (lowered.find("ecma") != TStdStr<char>::npos || lowered.find("javascript") != TStdStr<char>::npos ||
        lowered.find("jscript") != TStdStr<char>::npos)
        return kScriptJavaScript;
    if (lowered.find("vbscript") != TStdStr<char>::npos)
        return kScriptVBScript;
    return kScriptLanguageNone;
}

// ---------------------------------------------------------------------------------------------

CPageAnalyzer::CPageAnalyzer(HWND tab)
    : m_tab(tab), m_debugger(&GetMachineDebugDocuments()), m_scripts(&GetInternetCacheScriptSource())
{
    m_theme.SetThemeClassList(L"TREEVIEW");
    m_theme.SetThemeExtendedStyle(CThemeSupport::kThemeExThemedClientEdge);
}

void CPageAnalyzer::SetScriptSources(IScriptDebugDocuments* debugger, IScriptCodeSource* cache)
{
    m_debugger = debugger ? debugger : &GetMachineDebugDocuments();
    m_scripts = cache ? cache : &GetInternetCacheScriptSource();
}

CPageAnalyzer::~CPageAnalyzer()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

UINT CPageAnalyzer::TabMenuMessage()
{
    return GetTabbedMdiMessages().showTabContextMenu;
}

HWND CPageAnalyzer::Create()
{
    RECT client = {};
    if (m_tab)
        ::GetClientRect(m_tab, &client);
    client.bottom = std::max(client.top, client.bottom - kAnalyzerBottomMargin);
    HWND window = CWindowImpl<CPageAnalyzer>::Create(m_tab, client, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER,
                                                     WS_EX_CLIENTEDGE);
    if (!window)
        ::MessageBeep(static_cast<UINT>(-1));
    return window;
}

LRESULT CPageAnalyzer::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_theme.OpenThemeData(m_hWnd);
    RECT client = {};
    GetClientRect(&client);
    if (!m_splitter.Create(m_hWnd, client, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN))
        return -1;
    RECT none = {0, 0, 0, 0};
    m_report = std::make_unique<CInfoPane>(m_tab);
    if (!m_report->Create(m_splitter.m_hWnd, none))
        m_report.reset();
    m_source = ::CreateWindowExA(WS_EX_CLIENTEDGE, kEditControlClass, "", kSourceViewStyle & ~WS_VISIBLE, 0, 0, 0, 0,
                                 m_splitter.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (m_report)
        m_report->ShowWindow(SW_HIDE);
    const DWORD treeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES |
                            TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS;
    m_tree = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", treeStyle, 0, 0, 0, 0, m_splitter.m_hWnd, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!m_tree.m_hWnd)
        return -1;
    if (CImageListManager* images = GetImageListManager())
        m_tree.SetImageList(images->GetList(kSlotPageAnalyzer), TVSIL_NORMAL);
    m_tree.SendMessage(TVM_SETSCROLLTIME, 0, 0);
    m_splitter.SetSplitterPane(0, m_tree);
    m_splitter.SetSplitterPos((client.right - client.left) / 4);
    return 0;
}

LRESULT CPageAnalyzer::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_theme.CloseThemeData();
    m_report.reset();
    if (m_source && ::IsWindow(m_source))
        ::DestroyWindow(m_source);
    m_source = nullptr;
    m_records.clear();
    handled = FALSE;
    return 0;
}

LRESULT CPageAnalyzer::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client = {};
    GetClientRect(&client);
    if (m_splitter.m_hWnd)
        m_splitter.SetWindowPos(nullptr, &client, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

HTREEITEM CPageAnalyzer::AddItem(HTREEITEM parent, const TStdStr<char>& text, int type, IDispatch* object, int image,
                                 int selectedImage)
{
    m_records.push_back({type, CComPtr<IDispatch>(object)});
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = static_cast<LPARAM>(m_records.size());  // 1-based
    HTREEITEM item = m_tree.InsertItem(&insert);
    if (!item)
        m_records.pop_back();
    return item;
}

bool CPageAnalyzer::AnalyzeDocument(IWebBrowser2* browser)
{
    m_tree.DeleteAllItems();
    m_records.clear();
    m_browser = browser;
    if (!browser)
        return false;
    CComBSTR location;
    browser->get_LocationURL(&location);
    m_url = NarrowText(location.m_str);
    CUrl parsed;
    if (m_url.empty() || !parsed.CrackUrl(m_url.c_str()))
        return false;
    CComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document)
        return false;
    m_tree.SetRedraw(FALSE);
    CComQIPtr<IDispatch> browserObject(browser);
    HTREEITEM root = AddItem(TVI_ROOT, m_url, kPageItemRoot, browserObject, kRootImage, kRootImage);
    HTREEITEM documents = AddItem(root, Text(IDS_ANALYZER_DOCUMENTS, "Documents"), kPageItemDocuments, nullptr,
                                  kFolderImage, kFolderOpenImage);
    m_scriptFolder = AddItem(root, Text(IDS_ANALYZER_SCRIPTS, "Scripts"), kPageItemScripts, nullptr, kFolderImage,
                             kFolderOpenImage);
    m_images = AddItem(root, Text(IDS_ANALYZER_IMAGES, "Images"), kPageItemImages, nullptr, kFolderImage,
                       kFolderOpenImage);
    AddItem(root, Text(IDS_ANALYZER_LINKS, "Links"), kPageItemLinks, document, kFolderImage, kFolderOpenImage);
    WalkDocument(document, documents, 0);
    m_tree.Expand(root, TVE_EXPAND);
    m_tree.Expand(documents, TVE_EXPAND);
    m_tree.SelectItem(root);
    m_tree.SetRedraw(TRUE);
    m_tree.Invalidate();
    return true;
}

void CPageAnalyzer::WalkDocument(IDispatch* document, HTREEITEM parent, int depth)
{
    if (!document || depth > kMaxFrameDepth)
        return;
    if (CComPtr<IDispatch> images = GetObjectByName(document, L"images"))
        for (long i = 0, count = CollectionLength(images); i < count; ++i)
            if (CComPtr<IDispatch> image = CollectionItem(images, i))
                AddItem(m_images, Property(image, L"src"), kPageItemImage, image, kImageImage, kImageImage);
    if (CComPtr<IDispatch> scripts = GetObjectByName(document, L"scripts"))
        for (long i = 0, count = CollectionLength(scripts); i < count; ++i)
            if (CComPtr<IDispatch> script = CollectionItem(scripts, i)) {
                const TStdStr<char> src = Property(script, L"src");
                if (!src.empty())  // inline scripts have no address to list
                    AddItem(m_scriptFolder, src, kPageItemScript, script, kScriptImage, kScriptImage);
            }
    TStdStr<char> title = Property(document, L"title");
    if (title.empty())
        title = Property(document, L"URL");
    HTREEITEM item = AddItem(parent, title, kPageItemDocument, document, kDocumentImage, kDocumentImage);
    if (CComPtr<IDispatch> frames = GetObjectByName(document, L"frames"))
        for (long i = 0, count = CollectionLength(frames); i < count; ++i)
            if (CComPtr<IDispatch> window = CollectionItem(frames, i))
                WalkDocument(GetObjectByName(window, L"document"), item, depth + 1);
}

LRESULT CPageAnalyzer::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->hwndFrom == m_tree.m_hWnd && header->code == TVN_SELCHANGEDA) {
        ShowItemReport(reinterpret_cast<const NMTREEVIEWA*>(lParam)->itemNew.hItem);
        return 0;
    }
    if (header && m_report && header->hwndFrom == m_report->m_hWnd && header->code == kInfoPaneReadyNotification) {
        // The report chosen while the pane's page was still loading shows now.
        if (m_mode == kContentReport)
            m_report->Write(m_lastReport);
        return 0;
    }
    if (header && m_source && header->hwndFrom == m_source && header->code == kEditCaretMoved) {
        struct CaretNotification {
            NMHDR header;
            int column;
            int line;
        };
        const auto* caret = reinterpret_cast<const CaretNotification*>(header);
        GetTabTextStore().SetText(nullptr, FormatCaretPosition(caret->line, caret->column).c_str());
        return 0;
    }
    handled = FALSE;
    return 0;
}

void CPageAnalyzer::ShowItemReport(HTREEITEM item)
{
    if (!item)
        return;
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!m_tree.GetItem(&data) || data.lParam < 1 || static_cast<size_t>(data.lParam) > m_records.size())
        return;
    const PageItemRecord record = m_records[static_cast<size_t>(data.lParam) - 1];
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    switch (record.type) {
    case kPageItemRoot:
        ShowReport(DocumentInfoReport());
        GetTabTextStore().SetText(nullptr, Text(IDS_ANALYZER_PAGE, "Page Analyzer").c_str());
        break;
    case kPageItemLinks:
        if (record.object)
            ShowReport(LinksReport(record.object, 0));
        break;
    case kPageItemDocument:
        if (CComPtr<IDispatch> all = GetObjectByName(record.object, L"all")) {
            CComVariant tagged;
            if (SUCCEEDED(CallByName(all, L"tags", {CComVariant(L"HTML")}, &tagged)) && tagged.vt == VT_DISPATCH)
                if (CComPtr<IDispatch> html = CollectionItem(tagged.pdispVal, 0))
                    ShowSource(Property(html, L"outerHTML"), kSourceViewConfiguration);
        }
        break;
    case kPageItemImage:
        if (record.object)
            ShowReport(ImageReport(record.object));
        break;
    case kPageItemScript:
        if (record.object)
            ShowScriptCode(record.object);
        break;
    default:
        break;  // the folders show nothing
    }
    ::SetCursor(previous);
}

void CPageAnalyzer::ShowReport(const TStdStr<char>& html)
{
    m_lastReport = html;
    m_mode = kContentReport;
    if (m_source)
        ::ShowWindow(m_source, SW_HIDE);
    if (m_report) {
        m_report->Write(html);
        m_report->ShowWindow(SW_SHOW);
        m_splitter.SetSplitterPane(1, *m_report);
    }
}

void CPageAnalyzer::ShowSource(const TStdStr<char>& text, const char* configuration)
{
    m_mode = kContentSource;
    if (m_report)
        m_report->ShowWindow(SW_HIDE);
    if (!m_source)
        return;
    if (configuration)
        ::SendMessageA(m_source, kEditSetFileName, 0, reinterpret_cast<LPARAM>(configuration));
    ::SendMessageA(m_source, kEditSetText, 1, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(m_source, kEditSetReadOnly, 1, 0);
    ::ShowWindow(m_source, SW_SHOW);
    m_splitter.SetSplitterPane(1, m_source);
}

TStdStr<char> CPageAnalyzer::SourceText() const
{
    if (!m_source)
        return TStdStr<char>();
    const LRESULT length = ::SendMessageA(m_source, kEditGetTextLength, 0, 0);
    if (length <= 0)
        return TStdStr<char>();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(m_source, kEditGetText, 0, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return TStdStr<char>(buffer.data());
}

TStdStr<char> CPageAnalyzer::DocumentInfoReport() const
{
    CComBSTR name;
    CComBSTR type;
    if (m_browser) {
        m_browser->get_LocationName(&name);
        m_browser->get_Type(&type);
    }
    return FillReportTemplate(kDocumentReport, {{"%NAME", EscapeHtml(Text(IDS_ANALYZER_NAME, "Name"))},
                                                {"%name", EscapeHtml(NarrowText(name.m_str))},
                                                {"%URL", EscapeHtml(Text(IDS_ANALYZER_CURRENT_URL, "Current URL"))},
                                                {"%url", EscapeHtml(m_url)},
                                                {"%TYPE", EscapeHtml(Text(IDS_ANALYZER_DOCUMENT_TYPE, "Document Type"))},
                                                {"%type", EscapeHtml(NarrowText(type.m_str))}});
}

TStdStr<char> CPageAnalyzer::ImageReport(IDispatch* image) const
{
    TStdStr<char> name = Property(image, L"name");
    if (name.empty())
        name = Text(IDS_ANALYZER_UNTITLED, "Untitled");
    return FillReportTemplate(kImageReport, {{"%NAME", EscapeHtml(Text(IDS_ANALYZER_NAME, "Name"))},
                                             {"%name", EscapeHtml(name)},
                                             {"%URL", EscapeHtml(Text(IDS_ANALYZER_URL, "URL"))},
                                             {"%url", EscapeHtml(Property(image, L"src"))},
                                             {"%ALT", EscapeHtml(Text(IDS_ANALYZER_ALT, "Alternate Text"))},
                                             {"%alt", EscapeHtml(Property(image, L"alt"))},
                                             {"%W", EscapeHtml(Text(IDS_ANALYZER_WIDTH, "Width"))},
                                             {"%w", EscapeHtml(Property(image, L"width"))},
                                             {"%H", EscapeHtml(Text(IDS_ANALYZER_HEIGHT, "Height"))},
                                             {"%h", EscapeHtml(Property(image, L"height"))},
                                             {"%TYPE", EscapeHtml(Text(IDS_ANALYZER_MIME_TYPE, "MIME Type"))},
                                             {"%type", EscapeHtml(Property(image, L"mimeType"))},
                                             {"%FS", EscapeHtml(Text(IDS_ANALYZER_FILE_SIZE, "File Size"))},
                                             {"%fs", EscapeHtml(Property(image, L"fileSize"))}});
}

// The frames' blocks first (depth first, in frame order), then the document's own.
TStdStr<char> CPageAnalyzer::LinksReport(IDispatch* document, int depth) const
{
    TStdStr<char> report;
    if (!document || depth > kMaxFrameDepth)
        return report;
    if (CComPtr<IDispatch> frames = GetObjectByName(document, L"frames"))
        for (long i = 0, count = CollectionLength(frames); i < count; ++i)
            if (CComPtr<IDispatch> window = CollectionItem(frames, i))
                report += LinksReport(GetObjectByName(window, L"document"), depth + 1);
    CComPtr<IDispatch> links = GetObjectByName(document, L"links");
    const long count = CollectionLength(links);
    const TStdStr<char> label = std::to_string(count) + " " + Text(IDS_ANALYZER_LINKS, "Links");
    report += FillReportTemplate(kLinksHead, {{"%name", EscapeHtml(Property(document, L"title"))},
                                              {"%url", EscapeHtml(Property(document, L"URL"))},
                                              {"%links", EscapeHtml(label)}});
    for (long i = 0; i < count; ++i) {
        CComPtr<IDispatch> link = CollectionItem(links, i);
        if (!link || ::lstrcmpiA(Property(link, L"tagName").c_str(), "A") != 0)
            continue;  // image map areas are links without a row
        report += FillReportTemplate(kLinksRow, {{"%url", EscapeHtml(Property(link, L"href"))}});
    }
    report += kLinksTail;
    return report;
}

void CPageAnalyzer::ShowScriptCode(IDispatch* script)
{
    const TStdStr<char> src = Property(script, L"src");
    TStdStr<char> address = Lowered(src);
    std::replace(address.begin(), address.end(), '\\', '/');
    const TStdStr<char> language = ScriptLanguageOf(Property(script, L"type"), Property(script, L"language"), address);
    // The debugger's copy of the script first, then the internet cache's under its full, escaped
    // address.
    TStdStr<char> code;
    const bool debugger = m_debugger && m_debugger->FindScriptCode(address, code);
    CUrl base;
    if (code.empty() && base.CrackUrl(m_url.c_str())) {
        const TStdStr<char> resolved = ResolveRelativeUrl(base, src.c_str());
        const TStdStr<char> escaped = resolved.empty() ? TStdStr<char>() : EscapeUrl(resolved.c_str());
        if (!escaped.empty() && m_scripts)
            m_scripts->ReadScriptCode(escaped.c_str(), code);
    }
    if (code.empty() && !debugger)
        code = Text(IDS_ANALYZER_CODE_NOT_AVAILABLE, "Script code not available.");
    if (code.empty()) {
        ShowSource(Text(IDS_ANALYZER_CODE_NOT_FOUND, "Script code not found."), nullptr);
        return;
    }
    m_scriptLanguage = ScriptLanguageCode(language);
    const char* configuration = m_scriptLanguage == kScriptJavaScript ? ".js"
                                : m_scriptLanguage == kScriptVBScript ? ".vbs"
                                                                        : nullptr;
    ShowSource(code, configuration);
}

LRESULT CPageAnalyzer::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const UINT id = LOWORD(wParam);
    switch (id) {
    case kAnalyzerRefreshCommand:
        return 0;  // taken: the analysis is renewed from the tab's menu
    case kAnalyzerSaveScriptCommand:
        SaveScript();
        return 0;
    case kPageFindCommand:
    case kPageCopyCommand:
    case kPageSelectAllCommand:
        RunPaneCommand(id);
        return 0;
    default:
        handled = FALSE;
        return 0;
    }
}

// Find, copy and select all of the pane on show: the edit control's own, or the report engine's.
void CPageAnalyzer::RunPaneCommand(UINT id)
{
    if (m_mode == kContentSource && m_source) {
        if (id == kPageFindCommand)
            ShowEditFindDialog(m_source);
        else
            ::SendMessageA(m_source, kEditRunCommand, id == kPageCopyCommand ? kEditCommandCopy : kEditCommandSelectAll,
                           0);
        return;
    }
    if (m_mode != kContentReport || !m_report)
        return;
    IWebBrowser2* browser = m_report->Browser();
    if (!browser)
        return;
    if (id == kPageFindCommand)
        RunEngineFindDialog(browser);
    else
        browser->ExecWB(id == kPageCopyCommand ? OLECMDID_COPY : OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT, nullptr,
                        nullptr);
}

void CPageAnalyzer::SaveScript()
{
    const TStdStr<char> text = SourceText();
    if (text.empty())
        return;
    TStdStr<char> filter;
    const char* extension = nullptr;
    if (m_scriptLanguage == kScriptJavaScript) {
        filter = Text(IDS_ANALYZER_JAVASCRIPT_FILTER, "JavaScript (*.js)") + '|' + "*.js|";
        extension = "js";
    } else if (m_scriptLanguage == kScriptVBScript) {
        filter = Text(IDS_ANALYZER_VBSCRIPT_FILTER, "VBScript (*.vbs)") + '|' + "*.vbs|";
        extension = "vbs";
    }
    SaveTextAs(m_hWnd, text, filter.empty() ? nullptr : filter.c_str(), extension, "");
}

LRESULT CPageAnalyzer::OnTabMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    HMENU resource = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_PAGE_ANALYZER_MENU));
    if (!resource)
        return 0;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    // The items show the icons of the window's Close and of Refresh while the menu is up.
    CCommandImageManager* icons = GetCommandImageManager();
    if (icons) {
        icons->SetTemporaryCommandImage(kAnalyzerCloseCommand, SC_CLOSE);
        icons->SetTemporaryCommandImage(kAnalyzerReanalyzeCommand, kTabRefreshCommand);
    }
    const UINT chosen = TrackFramePopupMenu(::GetSubMenu(resource, 0), TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x,
                                            point.y, m_hWnd);
    if (icons)
        icons->ClearTemporaryCommandImages();
    ::DestroyMenu(resource);
    if (chosen != 0)
        ::PostMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return 0;
}
