#include "browser/privacy/ProxyPage.h"

#include "core/app/LanguageManager.h"
#include "core/system/MessageBoxes.h"

#include <commctrl.h>

namespace {

constexpr COLORREF kEvenRowBackground = RGB(0xE8, 0xE8, 0xE8);
constexpr int kColumnWidth = 120;
constexpr size_t kMaxFieldText = CProxyList::kMaxTextLength;

std::string ItemText(HWND dialog, int id, size_t limit)
{
    const int length = ::GetWindowTextLengthA(::GetDlgItem(dialog, id));
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

class CProxyDialogEditor final : public IProxyRecordEditor {
public:
    bool Edit(HWND owner, CProxyRecord& record) override
    {
        CProxyDlg dialog(record);
        if (dialog.DoModal(owner) != IDOK)
            return false;
        record = dialog.GetRecord();
        return true;
    }
};

} // namespace

IProxyRecordEditor& GetProxyDialogEditor()
{
    static CProxyDialogEditor editor;
    return editor;
}

std::string CProxyDlg::MakeCaption(const std::string& name)
{
    return std::string(TranslateText("Proxy").c_str()) + " - " + name;
}

LRESULT CProxyDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SendDlgItemMessageA(IDC_PROXY_NAME, EM_LIMITTEXT, kMaxFieldText, 0);
    SendDlgItemMessageA(IDC_PROXY_ADDRESS, EM_LIMITTEXT, kMaxFieldText, 0);
    SetDlgItemTextA(IDC_PROXY_NAME, m_record.name.c_str());
    SetDlgItemTextA(IDC_PROXY_ADDRESS, m_record.server.c_str());
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    CenterWindow(GetParent());
    UpdateControls();
    return TRUE;
}

void CProxyDlg::UpdateControls()
{
    const std::string name = ItemText(m_hWnd, IDC_PROXY_NAME, kMaxFieldText);
    const std::string address = ItemText(m_hWnd, IDC_PROXY_ADDRESS, kMaxFieldText);
    SetWindowTextA(MakeCaption(name).c_str());
    ::EnableWindow(GetDlgItem(IDOK), !name.empty() && !address.empty());
}

LRESULT CProxyDlg::OnChange(WORD, WORD, HWND, BOOL&)
{
    UpdateControls();
    return 0;
}

LRESULT CProxyDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    CProxyRecord record{ItemText(m_hWnd, IDC_PROXY_NAME, kMaxFieldText), ItemText(m_hWnd, IDC_PROXY_ADDRESS, kMaxFieldText)};
    // The button is greyed while a field is empty; a keyboard OK then does nothing either.
    if (record.name.empty() || record.server.empty())
        return 0;
    m_record = std::move(record);
    EndDialog(IDOK);
    return 0;
}

LRESULT CProxyDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

CProxyPage::CProxyPage(CProxyList* list, IProxyRecordEditor& editor) : m_list(list), m_editor(editor) {}

CProxyList* CProxyPage::GetList() const
{
    return m_list ? m_list : GetProxyList();
}

LRESULT CProxyPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND view = GetDlgItem(IDC_PROXY_LIST);
    ::SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char* titles[] = {"Proxy Name", "Proxy Server"};
    for (int i = 0; i < 2; ++i) {
        const CStdString title = TranslateText(titles[i]);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = kColumnWidth;
        column.pszText = const_cast<char*>(title.c_str());
        ::SendMessageA(view, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SendDlgItemMessageA(IDC_PROXY_EXCEPTIONS, EM_LIMITTEXT, CProxyList::kMaxExceptionsLength, 0);
    if (CProxyList* list = GetList())
        SetDlgItemTextA(IDC_PROXY_EXCEPTIONS, list->m_exceptions.c_str());
    Refill(-1);
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

void CProxyPage::Refill(int selection)
{
    HWND view = GetDlgItem(IDC_PROXY_LIST);
    const CProxyList* list = GetList();
    const int count = list ? static_cast<int>(list->m_proxies.size()) : 0;
    ::SendMessageA(view, LVM_SETITEMCOUNT, count, 0);
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (selection >= 0 && selection < count) {
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(view, LVM_SETITEMSTATE, selection, reinterpret_cast<LPARAM>(&state));
        ::SendMessageA(view, LVM_ENSUREVISIBLE, selection, FALSE);
    }
    ::InvalidateRect(view, nullptr, TRUE);
    UpdateButtons();
}

int CProxyPage::GetSelection() const
{
    const int selected = static_cast<int>(
        ::SendMessageA(::GetDlgItem(m_hWnd, IDC_PROXY_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const CProxyList* list = GetList();
    return list && selected >= 0 && static_cast<size_t>(selected) < list->m_proxies.size() ? selected : -1;
}

void CProxyPage::UpdateButtons()
{
    const bool selected = GetSelection() >= 0;
    ::EnableWindow(GetDlgItem(IDC_PROXY_EDIT), selected);
    ::EnableWindow(GetDlgItem(IDC_PROXY_DELETE), selected);
}

LRESULT CProxyPage::OnNew(WORD, WORD, HWND, BOOL&)
{
    CProxyList* list = GetList();
    CProxyRecord record;
    if (!list || !m_editor.Edit(m_hWnd, record))
        return 0;
    list->Append(std::move(record));
    Refill(static_cast<int>(list->m_proxies.size()) - 1);
    return 0;
}

LRESULT CProxyPage::OnEdit(WORD, WORD, HWND, BOOL&)
{
    CProxyList* list = GetList();
    const int selected = GetSelection();
    if (!list || selected < 0)
        return 0;
    CProxyRecord record = list->m_proxies[static_cast<size_t>(selected)];
    if (!m_editor.Edit(m_hWnd, record))
        return 0;
    // The list may have changed while the dialog was open only through this page: the index holds.
    list->Replace(static_cast<size_t>(selected), std::move(record));
    Refill(selected);
    return 0;
}

LRESULT CProxyPage::OnDelete(WORD, WORD, HWND, BOOL&)
{
    CProxyList* list = GetList();
    const int selected = GetSelection();
    if (!list || selected < 0)
        return 0;
    const CStdString question = TranslateText("Are you sure you want to permanently delete these item(s)?");
    if (GetMessageBoxes().Show(m_hWnd, question.c_str(), TranslateText("Proxy").c_str(), MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return 0;
    list->Erase(static_cast<size_t>(selected));
    const int count = static_cast<int>(list->m_proxies.size());
    Refill(selected < count ? selected : count - 1);
    return 0;
}

LRESULT CProxyPage::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const CProxyList* list = GetList();
    if (!list || !(info->item.mask & LVIF_TEXT) || info->item.iItem < 0 ||
        static_cast<size_t>(info->item.iItem) >= list->m_proxies.size() || !info->item.pszText ||
        info->item.cchTextMax <= 0)
        return 0;
    const CProxyRecord& record = list->m_proxies[static_cast<size_t>(info->item.iItem)];
    m_dispText = info->item.iSubItem == 0 ? record.name : record.server;
    lstrcpynA(info->item.pszText, m_dispText.c_str(), info->item.cchTextMax);
    return 0;
}

LRESULT CProxyPage::OnItemChanged(int, LPNMHDR, BOOL&)
{
    UpdateButtons();
    return 0;
}

LRESULT CProxyPage::OnDoubleClick(int, LPNMHDR, BOOL&)
{
    if (::IsWindowEnabled(GetDlgItem(IDC_PROXY_EDIT))) {
        BOOL handled = TRUE;
        OnEdit(0, IDC_PROXY_EDIT, nullptr, handled);
    }
    return 0;
}

LRESULT CProxyPage::OnCustomDraw(int, LPNMHDR header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 == 0 ? kEvenRowBackground : ::GetSysColor(COLOR_WINDOW);
        return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}

int CProxyPage::OnApply()
{
    if (CProxyList* list = GetList())
        list->m_exceptions = ItemText(m_hWnd, IDC_PROXY_EXCEPTIONS, CProxyList::kMaxExceptionsLength);
    return 0;
}
