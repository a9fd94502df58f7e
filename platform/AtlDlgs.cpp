// Dialog templates in memory and the file and folder choosers.
#include "platform/AtlDlgs.h"
#include <cstring>

namespace {

AtlFileDialogRunner g_fileRunner = nullptr;
AtlFolderDialogRunner g_folderRunner = nullptr;

} // namespace

void CMemDlgTemplate::Align()
{
    // Items start on DWORD boundaries; the vector's data is WORD-aligned from a DWORD-aligned start.
    if (m_words.size() % 2)
        m_words.push_back(0);
}

void CMemDlgTemplate::AddString(LPCSTR text)
{
    if (!text || !*text) {
        m_words.push_back(0);
        return;
    }
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    const size_t at = m_words.size();
    m_words.resize(at + static_cast<size_t>(wide));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(m_words.data() + at), wide);
}

void CMemDlgTemplate::Create(LPCSTR caption, const RECT& rc, DWORD style, DWORD exStyle, LPCSTR fontName, WORD fontSize)
{
    m_words.clear();
    if (fontName)
        style |= DS_SETFONT;
    m_words.push_back(LOWORD(style));
    m_words.push_back(HIWORD(style));
    m_words.push_back(LOWORD(exStyle));
    m_words.push_back(HIWORD(exStyle));
    m_words.push_back(0); // control count, counted by AddControl
    m_words.push_back(static_cast<WORD>(rc.left));
    m_words.push_back(static_cast<WORD>(rc.top));
    m_words.push_back(static_cast<WORD>(rc.right - rc.left));
    m_words.push_back(static_cast<WORD>(rc.bottom - rc.top));
    m_words.push_back(0); // no menu
    m_words.push_back(0); // the standard dialog class
    AddString(caption);
    if (style & DS_SETFONT) {
        m_words.push_back(fontSize ? fontSize : 8);
        AddString(fontName ? fontName : "MS Shell Dlg");
    }
}

void CMemDlgTemplate::AddItemHeader(DWORD style, DWORD exStyle, const RECT& rc, WORD id)
{
    Align();
    m_words.push_back(LOWORD(style));
    m_words.push_back(HIWORD(style));
    m_words.push_back(LOWORD(exStyle));
    m_words.push_back(HIWORD(exStyle));
    m_words.push_back(static_cast<WORD>(rc.left));
    m_words.push_back(static_cast<WORD>(rc.top));
    m_words.push_back(static_cast<WORD>(rc.right - rc.left));
    m_words.push_back(static_cast<WORD>(rc.bottom - rc.top));
    m_words.push_back(id);
    ++m_words[4];
}

void CMemDlgTemplate::AddControl(WORD classAtom, WORD id, const RECT& rc, DWORD style, DWORD exStyle, LPCSTR text)
{
    AddItemHeader(style, exStyle, rc, id);
    m_words.push_back(0xFFFF);
    m_words.push_back(classAtom);
    AddString(text);
    m_words.push_back(0); // no creation data
}

void CMemDlgTemplate::AddControl(LPCSTR className, WORD id, const RECT& rc, DWORD style, DWORD exStyle, LPCSTR text)
{
    AddItemHeader(style, exStyle, rc, id);
    AddString(className);
    AddString(text);
    m_words.push_back(0);
}

void AtlSetFileDialogRunner(AtlFileDialogRunner runner) noexcept
{
    g_fileRunner = runner;
}

void AtlSetFolderDialogRunner(AtlFolderDialogRunner runner) noexcept
{
    g_folderRunner = runner;
}

BOOL AtlRunFileDialog(OPENFILENAMEA* ofn, bool open)
{
    if (g_fileRunner)
        return g_fileRunner(ofn, open);
    return open ? ::GetOpenFileNameA(ofn) : ::GetSaveFileNameA(ofn);
}

LPITEMIDLIST AtlRunFolderDialog(BROWSEINFOA* info)
{
    if (g_folderRunner)
        return g_folderRunner(info);
    return ::SHBrowseForFolderA(info);
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter,
                         HWND hWndParent)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    ::ZeroMemory(&m_ofn, sizeof(m_ofn));
    m_szFileTitle[0] = 0;
    m_szFileName[0] = 0;
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.hInstance = AtlGetResourceInstance();
    m_ofn.hwndOwner = hWndParent;
    if (lpszFileName)
        ::lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter) {
        // A text with '|' separators is one C string; otherwise the pairs run to a double '\0'.
        size_t length = std::strlen(lpszFilter);
        if (!std::strchr(lpszFilter, '|')) {
            while (lpszFilter[length + 1])
                length += 1 + std::strlen(lpszFilter + length + 1);
        }
        m_filter.assign(lpszFilter, lpszFilter + length);
        for (char& c : m_filter) {
            if (c == '|')
                c = 0;
        }
        if (m_filter.empty() || m_filter.back() != 0)
            m_filter.push_back(0);
        m_filter.push_back(0);
        m_ofn.lpstrFilter = m_filter.data();
    }
}

INT_PTR CFileDialog::DoModal(HWND hWndParent)
{
    if (!m_ofn.hwndOwner)
        m_ofn.hwndOwner = hWndParent;
    return AtlRunFileDialog(&m_ofn, m_bOpenFileDialog != FALSE) ? IDOK : IDCANCEL;
}

CFolderDialog::CFolderDialog(HWND hWndParent, LPCSTR lpstrTitle, UINT uFlags)
{
    ::ZeroMemory(&m_bi, sizeof(m_bi));
    m_szFolderDisplayName[0] = 0;
    m_szFolderPath[0] = 0;
    m_szInitialFolder[0] = 0;
    m_bi.hwndOwner = hWndParent;
    m_bi.pszDisplayName = m_szFolderDisplayName;
    m_bi.lpszTitle = lpstrTitle;
    m_bi.ulFlags = uFlags;
    m_bi.lpfn = BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
}

void CFolderDialog::SetInitialFolder(LPCSTR folder)
{
    ::lstrcpynA(m_szInitialFolder, folder ? folder : "", MAX_PATH);
}

int CALLBACK CFolderDialog::BrowseCallback(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData)
{
    auto* self = reinterpret_cast<CFolderDialog*>(lpData);
    if (uMsg == BFFM_INITIALIZED && self && self->m_szInitialFolder[0])
        ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->m_szInitialFolder));
    return 0;
}

INT_PTR CFolderDialog::DoModal(HWND hWndParent)
{
    if (!m_bi.hwndOwner)
        m_bi.hwndOwner = hWndParent;
    m_szFolderPath[0] = 0;
    LPITEMIDLIST chosen = AtlRunFolderDialog(&m_bi);
    if (!chosen)
        return IDCANCEL;
    const BOOL isPath = ::SHGetPathFromIDListA(chosen, m_szFolderPath);
    ::CoTaskMemFree(chosen);
    if (!isPath) {
        m_szFolderPath[0] = 0;
        return IDCANCEL; // a virtual folder with no file-system path
    }
    return IDOK;
}
