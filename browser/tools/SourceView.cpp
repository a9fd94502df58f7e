#include "browser/tools/SourceView.h"

#include "browser/BrowserResources.h"
#include "browser/BrowserStrings.h"
#include "core/system/DispatchByName.h"
#include "browser/tools/PageCommands.h"
#include "core/system/DocumentScript.h"

#include <cstdio>
#include <vector>

namespace {

constexpr char kUtf8Charset[] = "utf-8";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
// The longest source the view takes: a page larger than this is no page a person reads, and the
// control keeps every line in memory.
constexpr size_t kMaxSourceBytes = 64 * 1024 * 1024;

} // namespace

TStdStr<char> SourceTextForView(const TStdStr<char>& source, const char* charset)
{
    if (!charset || ::lstrcmpiA(charset, kUtf8Charset) != 0)
        return source;
    size_t start = 0;
    if (source.compare(0, 3, kUtf8ByteOrderMark) == 0)
        start = 3;
    const int bytes = static_cast<int>(source.size() - start);
    if (bytes <= 0)
        return TStdStr<char>();
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source.data() + start, bytes, nullptr, 0);
    if (units <= 0)
        return source;  // not UTF-8 after all: shown as it is
    std::vector<wchar_t> wide(static_cast<size_t>(units) + 1, L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source.data() + start, bytes, wide.data(), units);
    return TStdStr<char>(wide.data());
}

TStdStr<char> ReadDocumentCharset(IUnknown* page)
{
    const CComVariant charset = GetByName(PageDocument(page), L"charset");
    return charset.vt == VT_BSTR && charset.bstrVal ? TStdStr<char>(charset.bstrVal) : TStdStr<char>();
}

TStdStr<char> FormatCaretPosition(int line, int column)
{
    // The translation is a resource text that could hold anything: it is used only when its
    // conversions are exactly the two integers given.
    TStdStr<char> format = BrowserString(IDS_BROWSER_CARET_POSITION, "Ln %d, Col %d");
    int conversions = 0;
    for (size_t at = format.find('%'); at != TStdStr<char>::npos; at = format.find('%', at + 2))
        conversions += at + 1 < format.size() && format[at + 1] == 'd' ? 1 : 100;
    if (conversions != 2)
        format = "Ln %d, Col %d";
    char text[256] = "";
    std::snprintf(text, sizeof(text), format.c_str(), line, column);
    return text;
}

CSourceView::~CSourceView()
{
    if (m_window && ::IsWindow(m_window))
        ::DestroyWindow(m_window);
}

bool CSourceView::Create(HWND tab)
{
    RECT client = {};
    ::GetClientRect(tab, &client);
    m_window = ::CreateWindowExA(WS_EX_CLIENTEDGE, kEditControlClass, "", kSourceViewStyle, 0, 0, client.right,
                                 client.bottom, tab, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_window)
        return false;
    ::SendMessageA(m_window, kEditSetFileName, 0, reinterpret_cast<LPARAM>(kSourceViewConfiguration));
    return true;
}

void CSourceView::Fill(IUnknown* page)
{
    if (!m_window)
        return;
    const TStdStr<char> source = GetDocumentSource(page);
    if (!source.empty() && source.size() <= kMaxSourceBytes) {
        const TStdStr<char> text = SourceTextForView(source, ReadDocumentCharset(page).c_str());
        ::SendMessageA(m_window, kEditSetText, 1, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageA(m_window, kEditSetReadOnly, 1, 0);
}

TStdStr<char> CSourceView::GetText() const
{
    if (!m_window)
        return TStdStr<char>();
    const LRESULT length = ::SendMessageA(m_window, kEditGetTextLength, 0, 0);
    if (length <= 0)
        return TStdStr<char>();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(m_window, kEditGetText, 0, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return TStdStr<char>(buffer.data());
}

void CSourceView::Find() const
{
    ShowEditFindDialog(m_window);
}

void CSourceView::Copy() const
{
    if (m_window)
        ::SendMessageA(m_window, kEditRunCommand, kEditCommandCopy, 0);
}

void CSourceView::SelectAll() const
{
    if (m_window)
        ::SendMessageA(m_window, kEditRunCommand, kEditCommandSelectAll, 0);
}
