#include "frame/services/DefaultBrowserCheck.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/Z4KLog.h"
#include "core/system/MessageBoxes.h"

namespace {

constexpr char kBackupSection[] = "Settings";
constexpr UINT kProgramIcon = 128;

} // namespace

INT_PTR CDefaultBrowserDlg::DoModal(HWND parent)
{
    const CSettings* settings = GetSettings();
    if (!settings || !(settings->SysFlags & SysFlag::CheckDefaultBrowser))
        return IDCANCEL;
    return CDialogImpl<CDefaultBrowserDlg>::DoModal(parent);
}

LRESULT CDefaultBrowserDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIcon));
    if (!icon)
        icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    SendDlgItemMessageA(kIdDefaultBrowserIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    CenterWindow(GetParent());
    const CSettings* settings = GetSettings();
    CheckDlgButton(kIdDefaultBrowserCheck,
                   settings && (settings->SysFlags & SysFlag::CheckDefaultBrowser) ? BST_CHECKED : BST_UNCHECKED);
    SetWindowTextA(kProductDisplayName);
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

LRESULT CDefaultBrowserDlg::OnAnswer(WORD, WORD id, HWND, BOOL&)
{
    if (CSettings* settings = GetSettings()) {
        if (IsDlgButtonChecked(kIdDefaultBrowserCheck) == BST_CHECKED)
            settings->SysFlags |= SysFlag::CheckDefaultBrowser;
        else
            settings->SysFlags &= ~SysFlag::CheckDefaultBrowser;
    }
    EndDialog(id == IDOK ? IDOK : IDCANCEL);
    return 0;
}

std::string GetProgramFilePath()
{
    char path[MAX_PATH] = "";
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path));
    return length && length < sizeof(path) ? std::string(path, length) : std::string();
}

void RegisterAsDefaultBrowser(HKEY classesRoot, const std::string& programPath)
{
    if (!programPath.empty()) {
        const std::vector<CRegistryValueBackup> backup = MakeDefaultBrowser(classesRoot, programPath);
        // A second registration replaces our own values: the first one's backup is the one to keep.
        CSettingsStore* store = GetSettingsStore();
        if (store && !backup.empty() && store->GetString(kBackupSection, kDefaultBrowserBackupKey, "").empty())
            store->WriteString(kBackupSection, kDefaultBrowserBackupKey, FormatRegistryBackup(backup).c_str());
    }
    const CStdString text = TranslateText("Kivo Browser has been set as your default browser.");
    if (CZ4KLog* log = GetLog())
        log->Write(kLogInfo, text.c_str());
    GetMessageBoxes().Show(nullptr, text.c_str(), kProductDisplayName, MB_OK | MB_ICONINFORMATION);
}

bool UndoDefaultBrowserRegistration(HKEY classesRoot)
{
    CSettingsStore* store = GetSettingsStore();
    if (!store)
        return false;
    const std::vector<CRegistryValueBackup> backup =
        ParseRegistryBackup(store->GetString(kBackupSection, kDefaultBrowserBackupKey, "").c_str());
    if (backup.empty())
        return false;
    UndoDefaultBrowser(classesRoot, backup);
    store->WriteString(kBackupSection, kDefaultBrowserBackupKey, nullptr);
    return true;
}

bool CheckDefaultBrowserAtStartup(HKEY classesRoot, const std::string& programPath, const std::function<int()>& ask)
{
    if (IsDefaultBrowser(classesRoot) || !ask || ask() != IDOK)
        return false;
    RegisterAsDefaultBrowser(classesRoot, programPath);
    return true;
}
