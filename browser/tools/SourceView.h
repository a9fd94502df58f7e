#pragma once
// The source view: the page's HTML in a read-only, syntax-coloured edit control, shown as the tab's
// inner page "Source". The control is reached only by its window class and its messages (set the
// configuration by file name, set the text, read-only, text length and text, the find dialog, its
// copy and select-all commands); it tells its parent where the caret is with a WM_NOTIFY, which the
// tab turns into "Ln %d, Col %d" in its status text.
//
// Lifetime: rule (a). The tab owns the object (a std::unique_ptr, null while the view is closed);
// the object's destruction destroys the edit window, when it is still there.
#include "core/library/StdStr.h"

#include <windows.h>

// The edit control's window class and the messages and commands the view uses.
constexpr char kEditControlClass[] = "QuillpointEditControl32";
constexpr UINT kEditSetFileName = 0x505;
constexpr UINT kEditRunCommand = 0x507;
constexpr UINT kEditGetText = 0x508;
constexpr UINT kEditGetTextLength = 0x509;
constexpr UINT kEditSetText = 0x50F;
constexpr UINT kEditSetReadOnly = 0x514;
constexpr UINT kEditFindDialog = 0x565;
constexpr UINT kEditCommandCopy = 226;
constexpr UINT kEditCommandSelectAll = 201;
constexpr UINT kEditCaretMoved = 1;  // WM_NOTIFY code
// The source view's own commands: close it, fill it again.
constexpr UINT kSourceViewCloseCommand = 62000;
constexpr UINT kSourceViewRefreshCommand = 62001;
// The window styles of the view: child, visible, clipping siblings and children.
constexpr DWORD kSourceViewStyle = 0x56000000;
constexpr int kSourceViewImage = 1;
// The parser configuration the view colours with, chosen by this file name.
constexpr char kSourceViewConfiguration[] = ".htm";

// The text the view shows for a document's source: a document declared as UTF-8 is turned into
// the ANSI code page (a byte-order mark dropped); any other is shown byte for byte.
TStdStr<char> SourceTextForView(const TStdStr<char>& source, const char* charset);
// The document's declared character set (document.charset), "" when it cannot be read.
TStdStr<char> ReadDocumentCharset(IUnknown* page);
// "Ln %d, Col %d" (translated) of a caret notification's line and column.
TStdStr<char> FormatCaretPosition(int line, int column);

class CSourceView {
public:
    CSourceView() = default;
    CSourceView(const CSourceView&) = delete;
    CSourceView& operator=(const CSourceView&) = delete;
    ~CSourceView();

    // Creates the edit window as a child of the tab; false when the control is not there.
    bool Create(HWND tab);
    HWND Window() const { return m_window; }
    // Shows the page's source (a document or a web browser), coloured and read-only.
    void Fill(IUnknown* page);
    // The view's text as the control gives it, "" when it has none.
    TStdStr<char> GetText() const;
    void Find() const;
    void Copy() const;
    void SelectAll() const;

private:
    HWND m_window = nullptr;  // the edit window, owned: destroyed with the object
};
