#include "frame/services/ExternalToolsDialog.h"

#include "core/app/LanguageManager.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

std::string FieldText(HWND dialog, int id)
{
    const int length = ::GetWindowTextLengthA(::GetDlgItem(dialog, id));
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    if (text.size() > CExternalToolList::kMaxTextLength)
        text.resize(CExternalToolList::kMaxTextLength);
    return text;
}

bool SameTools(const std::vector<CExternalTool>& a, const std::vector<CExternalTool>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].title != b[i].title || a[i].command != b[i].command || a[i].arguments != b[i].arguments ||
            a[i].path != b[i].path)
            return false;
    }
    return true;
}

bool ChooseProgramFile(HWND owner, std::string& file)
{
    char path[MAX_PATH] = "";
    lstrcpynA(path, file.c_str(), sizeof(path));
    static const char kFilter[] = "Executables (*.exe;*.lnk)\0*.exe;*.lnk\0All Files (*.*)\0*.*\0";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof(path);
    dialog.lpstrDefExt = "exe";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&dialog))
        return false;
    file = path;
    return true;
}

} // namespace

CExternalToolsDlg::CExternalToolsDlg(CExternalToolList& list) : m_chooseFile(ChooseProgramFile), m_list(list)
{
}

LRESULT CExternalToolsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_tools.assign(m_list.m_tools.begin(),
                   m_list.m_tools.begin() + static_cast<std::ptrdiff_t>(std::min(m_list.m_tools.size(), kMaxDialogTools)));
    HWND view = GetDlgItem(kIdToolList);
    ::SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(view, &client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    // The list's background: the window colour, each part 6 % darker.
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    auto darker = [](BYTE part) { return static_cast<BYTE>(part - part * 6 / 100); };
    const COLORREF background = RGB(darker(GetRValue(window)), darker(GetGValue(window)), darker(GetBValue(window)));
    ::SendMessageA(view, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    ::SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    for (int id : {kIdToolTitle, kIdToolCommand, kIdToolArguments, kIdToolPath})
        SendDlgItemMessageA(id, EM_LIMITTEXT, CExternalToolList::kMaxTextLength, 0);
    ::SendMessageA(view, LVM_SETITEMCOUNT, static_cast<WPARAM>(m_tools.size()), 0);
    Select(m_tools.empty() ? -1 : 0);
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

void CExternalToolsDlg::StoreFields()
{
    if (m_selection < 0 || static_cast<size_t>(m_selection) >= m_tools.size())
        return;
    CExternalTool& tool = m_tools[static_cast<size_t>(m_selection)];
    tool.title = FieldText(m_hWnd, kIdToolTitle);
    tool.command = FieldText(m_hWnd, kIdToolCommand);
    tool.arguments = FieldText(m_hWnd, kIdToolArguments);
    tool.path = FieldText(m_hWnd, kIdToolPath);
}

void CExternalToolsDlg::LoadFields()
{
    m_loading = true;
    const bool selected = m_selection >= 0 && static_cast<size_t>(m_selection) < m_tools.size();
    const CExternalTool empty;
    const CExternalTool& tool = selected ? m_tools[static_cast<size_t>(m_selection)] : empty;
    SetDlgItemTextA(kIdToolTitle, tool.title.c_str());
    SetDlgItemTextA(kIdToolCommand, tool.command.c_str());
    SetDlgItemTextA(kIdToolArguments, tool.arguments.c_str());
    SetDlgItemTextA(kIdToolPath, tool.path.c_str());
    m_loading = false;
}

// Moves the selection: the row that loses it keeps its fields, the one that gains it shows its own.
void CExternalToolsDlg::Select(int row)
{
    HWND view = GetDlgItem(kIdToolList);
    const int count = static_cast<int>(m_tools.size());
    m_selection = row >= 0 && row < count ? row : -1;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (m_selection >= 0) {
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(view, LVM_SETITEMSTATE, m_selection, reinterpret_cast<LPARAM>(&state));
        ::SendMessageA(view, LVM_ENSUREVISIBLE, m_selection, FALSE);
    }
    ::InvalidateRect(view, nullptr, TRUE);
    LoadFields();
    UpdateButtons();
}

void CExternalToolsDlg::UpdateButtons()
{
    const int count = static_cast<int>(m_tools.size());
    const bool selected = m_selection >= 0;
    ::EnableWindow(GetDlgItem(kIdToolNew), m_tools.size() < kMaxDialogTools);
    for (int id : {kIdToolDelete, kIdToolTitle, kIdToolCommand, kIdToolArguments, kIdToolPath, kIdToolBrowse})
        ::EnableWindow(GetDlgItem(id), selected);
    ::EnableWindow(GetDlgItem(kIdToolMoveUp), count >= 2 && selected && m_selection > 0);
    ::EnableWindow(GetDlgItem(kIdToolMoveDown), count >= 2 && selected && m_selection < count - 1);
}

LRESULT CExternalToolsDlg::OnNew(WORD, WORD, HWND, BOOL&)
{
    if (m_tools.size() >= kMaxDialogTools)
        return 0;
    StoreFields();
    CExternalTool tool;
    tool.title = TranslateText("<New Tool>").c_str();
    m_tools.push_back(tool);
    ::SendDlgItemMessageA(m_hWnd, kIdToolList, LVM_SETITEMCOUNT, static_cast<WPARAM>(m_tools.size()), 0);
    Select(static_cast<int>(m_tools.size()) - 1);
    HWND title = GetDlgItem(kIdToolTitle);
    ::SetFocus(title);
    ::SendMessageA(title, EM_SETSEL, 0, -1);
    return 0;
}

LRESULT CExternalToolsDlg::OnDelete(WORD, WORD, HWND, BOOL&)
{
    if (m_selection < 0)
        return 0;
    m_tools.erase(m_tools.begin() + m_selection);
    m_selection = -1;  // the removed row's fields are not stored anywhere
    ::SendDlgItemMessageA(m_hWnd, kIdToolList, LVM_SETITEMCOUNT, static_cast<WPARAM>(m_tools.size()), 0);
    Select(m_tools.empty() ? -1 : 0);
    ::SetFocus(GetDlgItem(kIdToolList));
    return 0;
}

LRESULT CExternalToolsDlg::OnMove(WORD, WORD id, HWND, BOOL&)
{
    const int other = id == kIdToolMoveUp ? m_selection - 1 : m_selection + 1;
    if (m_selection < 0 || other < 0 || other >= static_cast<int>(m_tools.size()))
        return 0;
    StoreFields();
    std::swap(m_tools[static_cast<size_t>(m_selection)], m_tools[static_cast<size_t>(other)]);
    Select(other);
    ::SetFocus(GetDlgItem(kIdToolList));
    return 0;
}

LRESULT CExternalToolsDlg::OnBrowse(WORD, WORD, HWND, BOOL&)
{
    std::string file = FieldText(m_hWnd, kIdToolCommand);
    if (m_chooseFile && m_chooseFile(m_hWnd, file)) {
        SetDlgItemTextA(kIdToolCommand, file.c_str());
        ::SetFocus(GetDlgItem(kIdToolCommand));
    }
    return 0;
}

LRESULT CExternalToolsDlg::OnTitleChange(WORD, WORD, HWND, BOOL&)
{
    if (m_loading || m_selection < 0 || static_cast<size_t>(m_selection) >= m_tools.size())
        return 0;
    m_tools[static_cast<size_t>(m_selection)].title = FieldText(m_hWnd, kIdToolTitle);
    ::SendDlgItemMessageA(m_hWnd, kIdToolList, LVM_REDRAWITEMS, m_selection, m_selection);
    return 0;
}

LRESULT CExternalToolsDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    StoreFields();
    if (!SameTools(m_tools, m_list.m_tools)) {
        m_list.m_tools = m_tools;
        m_list.m_changed = true;
    }
    EndDialog(IDOK);
    return 0;
}

LRESULT CExternalToolsDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT CExternalToolsDlg::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    if (!(info->item.mask & LVIF_TEXT) || info->item.iItem < 0 ||
        static_cast<size_t>(info->item.iItem) >= m_tools.size() || !info->item.pszText || info->item.cchTextMax <= 0)
        return 0;
    m_dispText = m_tools[static_cast<size_t>(info->item.iItem)].title;
    lstrcpynA(info->item.pszText, m_dispText.c_str(), info->item.cchTextMax);
    return 0;
}

// The user clicked another row: the row left keeps its fields, the new one shows its own.
LRESULT CExternalToolsDlg::OnItemChanged(int, LPNMHDR header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || m_loading)
        return 0;
    const bool gained = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    if (!gained || change->iItem == m_selection || change->iItem < 0)
        return 0;
    StoreFields();
    m_selection = change->iItem < static_cast<int>(m_tools.size()) ? change->iItem : -1;
    LoadFields();
    UpdateButtons();
    return 0;
}

bool ManageExternalTools(HWND owner)
{
    CExternalToolList* list = GetExternalToolList();
    if (!list)
        return false;
    CExternalToolsDlg dialog(*list);
    return dialog.DoModal(owner) == IDOK && list->m_changed;
}
