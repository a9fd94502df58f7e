#include "frame/dialogs/SessionRestoreDlg.h"

#include "frame/dialogs/FrameDialogHelpers.h"
#include "frame/dialogs/FrameQuestions.h"

#include "core/app/LanguageManager.h"
#include "core/system/ShellAutoComplete.h"
#include "platform/AtlDlgs.h"

#include <commctrl.h>
#include <shlguid.h>

namespace {

constexpr DWORD kStartupFlagLastSession = 0x4;
constexpr int kAnswerAsk = 0;
constexpr int kAnswerOpen = kSessionRestoreOpen;
constexpr int kAnswerOpenNone = kSessionRestoreOpenNone;
constexpr int kStatusBarHeightUnits = 12;
constexpr int kAddressLimit = 2048;
// The state image of a check box item: 1 unchecked, 2 checked.
constexpr UINT kStateImageChecked = 2;

bool IsListItemChecked(HWND list, int item)
{
    const UINT state = static_cast<UINT>(::SendMessageA(list, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK));
    return (state >> 12) == kStateImageChecked;
}

void SetListItemChecked(HWND list, int item, bool checked)
{
    LVITEMA change = {};
    change.stateMask = LVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

int SessionRestoreAnswerWithoutAsking(size_t siteCount, bool normalRestore, DWORD startupFlags, DWORD sysFlags)
{
    if (siteCount == 0)
        return kAnswerOpenNone;
    if (!normalRestore)
        return kAnswerAsk;
    if (!(startupFlags & kStartupFlagLastSession))
        return kAnswerOpenNone;
    if (sysFlags & SysFlag::NoSiteSelectionDialog)
        return kAnswerOpen;
    return kAnswerAsk;
}

CStdString SessionRestoreStatusText(int sites, int checked)
{
    CStdString text;
    text.Format("%d %s (%d %s)", sites, TranslateText("Site(s)").c_str(), checked, TranslateText("Selected").c_str());
    return text;
}

int AllSitesCheckState(int sites, int checked)
{
    if (checked <= 0)
        return BST_UNCHECKED;
    return checked >= sites ? BST_CHECKED : BST_INDETERMINATE;
}

INT_PTR CSessionRestoreDlg::Run(HWND parent)
{
    const CSettings* settings = GetSettings();
    const DWORD startupFlags = settings ? static_cast<DWORD>(settings->StartupFlags.value) : 0;
    const DWORD sysFlags = settings ? settings->SysFlags : 0;
    m_chosen.resize(m_sites.size(), true);
    const int answer = SessionRestoreAnswerWithoutAsking(m_sites.size(), m_normalRestore, startupFlags, sysFlags);
    if (answer != kAnswerAsk)
        return answer;
    // OK (IDOK) opens the chosen sites; Cancel and a dialog that could not be shown open none.
    const INT_PTR result = DoModal(parent);
    return result == IDOK ? kAnswerOpen : kAnswerOpenNone;
}

void CSessionRestoreDlg::OnInitControls()
{
    m_list = GetDlgItem(IDC_SESSION_LIST);
    SetDlgItemTextA(IDC_SESSION_TEXT,
                    m_normalRestore ? "&Restore last open sites"
                                    : "It seems you didn't exit normally in the last session.\nDo you wish to restore "
                                      "the sites that were open in the last session?");
    const CSettings* settings = GetSettings();
    SetItemChecked(m_hWnd, IDC_SESSION_DONT_REMIND, settings && (settings->SysFlags & SysFlag::NoSiteSelectionDialog));
    if (!m_normalRestore)
        ::ShowWindow(GetDlgItem(IDC_SESSION_DONT_REMIND), SW_HIDE);
    CreateStatusBar();
    FillList();
    UpdateState();
}

void CSessionRestoreDlg::CreateStatusBar()
{
    RECT list = {};
    ::GetWindowRect(m_list, &list);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&list), 2);
    RECT units = {0, 0, 0, kStatusBarHeightUnits};
    ::MapDialogRect(m_hWnd, &units);
    m_status = ::CreateWindowExA(0, STATUSCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, list.left,
                                 list.bottom, list.right - list.left, units.bottom, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_SESSION_STATUS)),
                                 ::GetModuleHandleA(nullptr), nullptr);
}

void CSessionRestoreDlg::FillList()
{
    m_filling = true;
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    ::SendMessageA(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                   LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client = {};
    ::GetClientRect(m_list, &client);
    const int width = (client.right - client.left) / 2;
    const CStdString titles[] = {TranslateText("Title"), TranslateText("URL")};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = width;
        info.pszText = const_cast<char*>(titles[column].c_str());
        ::SendMessageA(m_list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    }
    for (size_t i = 0; i < m_sites.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(m_sites[i].title.c_str());
        const int row = static_cast<int>(::SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            continue;
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(m_sites[i].url.c_str());
        ::SendMessageA(m_list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        SetListItemChecked(m_list, row, i < m_chosen.size() && m_chosen[i]);
    }
    ::SetCursor(previous);
    m_filling = false;
}

int CSessionRestoreDlg::CheckedCount() const
{
    const int rows = static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    int checked = 0;
    for (int row = 0; row < rows; ++row)
        checked += IsListItemChecked(m_list, row) ? 1 : 0;
    return checked;
}

void CSessionRestoreDlg::UpdateState()
{
    const int rows = static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    const int checked = CheckedCount();
    ::CheckDlgButton(m_hWnd, IDC_SESSION_ALL, AllSitesCheckState(rows, checked));
    if (m_status)
        ::SendMessageA(m_status, SB_SETTEXTA, 0,
                       reinterpret_cast<LPARAM>(SessionRestoreStatusText(rows, checked).c_str()));
    ::EnableWindow(GetDlgItem(IDOK), checked > 0);
}

LRESULT CSessionRestoreDlg::OnItemChanged(int, LPNMHDR header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (m_filling || !(change->uChanged & LVIF_STATE))
        return 0;
    if ((change->uNewState & LVIS_STATEIMAGEMASK) != (change->uOldState & LVIS_STATEIMAGEMASK))
        UpdateState();
    return 0;
}

LRESULT CSessionRestoreDlg::OnAllSites(WORD, WORD, HWND, BOOL&)
{
    const int rows = static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    const bool checkAll = CheckedCount() == 0;
    m_filling = true;
    for (int row = 0; row < rows; ++row)
        SetListItemChecked(m_list, row, checkAll);
    m_filling = false;
    UpdateState();
    return 0;
}

bool CSessionRestoreDlg::OnAccept()
{
    if (m_normalRestore) {
        if (CSettings* settings = GetSettings()) {
            if (IsItemChecked(m_hWnd, IDC_SESSION_DONT_REMIND))
                settings->SysFlags |= SysFlag::NoSiteSelectionDialog;
            else
                settings->SysFlags &= ~SysFlag::NoSiteSelectionDialog;
        }
    }
    m_chosen.assign(m_sites.size(), false);
    for (size_t i = 0; i < m_sites.size(); ++i)
        m_chosen[i] = IsListItemChecked(m_list, static_cast<int>(i));
    return true;
}

// ---------------------------------------------------------------------------------------------

const char* const kOpenDialogFileFilter =
    "HTML files (*.htm;*.html)|*.htm;*.html|Text files (*.txt)|*.txt|GIF files (*.gif)|*.gif|"
    "JPEG files (*.jpg;*.jpeg)|*.jpg;*.jpeg|PNG files (*.png)|*.png|AU files (*.au)|*.au|"
    "AIFF files (*.aif;*.aiff)|*.aif;*.aiff|XBM files (*.xbm)|*.xbm|All Files (*.*)|*.*||";

COpenDlg::COpenDlg(CStdString address) : CDialogBase(kOpenDialogIcon), m_address(std::move(address)) {}

COpenDlg::~COpenDlg() = default;

void COpenDlg::OnInitControls()
{
    SetDlgItemTextA(IDC_OPEN_ADDRESS, m_address.c_str());
    SendDlgItemMessage(IDC_OPEN_ADDRESS, EM_LIMITTEXT, kAddressLimit, 0);
    m_autoComplete = std::make_unique<CShellAutoComplete>(GetDlgItem(IDC_OPEN_ADDRESS), CLSID_ACLHistory);
}

LRESULT COpenDlg::OnBrowse(WORD, WORD, HWND, BOOL&)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kOpenDialogFileFilter, m_hWnd);
    if (dialog.DoModal(m_hWnd) == IDOK)
        SetDlgItemTextA(IDC_OPEN_ADDRESS, dialog.m_szFileName);
    return 0;
}

bool COpenDlg::OnAccept()
{
    m_address = TrimmedText(GetItemText(m_hWnd, IDC_OPEN_ADDRESS));
    return true;
}
