#include "frame/services/FrameServices.h"

#include "core/app/LanguageManager.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/library/Z4KLog.h"
#include "core/system/MessageBoxes.h"
#include "core/system/VersionInfo.h"
#include "frame/services/ExternalToolsDialog.h"
#include "frame/services/FramePrivacy.h"
#include "frame/services/NewVersionDialog.h"
#include "frame/services/ServicesResources.h"
#include "frame/services/UpdateProgressDialog.h"
#include "platform/Diagnostics.h"

namespace {

constexpr char kProductName[] = "Kivo Browser";
constexpr char kProductWebAddress[] = "www.kivobrowser.example";
constexpr UINT kProgramIconResource = 128;
constexpr char kHostedBandSection[] = "IEToolBar";

// The program's version as a dotted text: the version resource's "1, 0, 0, 1" becomes "1.0.0.1".
std::string RunningVersionText()
{
    const std::string resource = CFileVersionInfo().GetFileVersion().c_str();
    std::string version;
    for (char c : resource) {
        if (c == ',')
            version += '.';
        else if (c != ' ')
            version += c;
    }
    return version.empty() ? "1.0" : version;
}

void Log(unsigned level, const std::string& text)
{
    if (CZ4KLog* log = GetLog())
        log->Write(level, text.c_str());
}

class CMessageBoxUpdateCheckUi final : public IUpdateCheckUi {
public:
    bool OfferNewVersion(HWND owner, const CUpdateInfo& info, bool userCheck) override
    {
        CNewVersionDlg dialog(info, RunningVersionText(), userCheck);
        return dialog.DoModal(owner) == IDOK;
    }
    void ShowMessage(HWND owner, const std::string& text, UINT icon) override
    {
        GetMessageBoxes().Show(owner, text.c_str(), kProductName, MB_OK | icon);
    }
};

} // namespace

IUpdateCheckUi& GetMessageBoxUpdateCheckUi()
{
    static CMessageBoxUpdateCheckUi ui;
    return ui;
}

CFrameServices::CFrameServices(INotifyIconApi& trayApi, IUpdateCheckUi& updateUi, IToolStarter& toolStarter)
    : m_tray(trayApi), m_updateUi(updateUi), m_toolStarter(toolStarter)
{
}

void CFrameServices::OnCreate(HWND frame, HINSTANCE instance)
{
    m_frame = frame;
    // The program's icon at the small size; shared, so that nobody destroys it.
    HICON icon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kProgramIconResource), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    if (!icon)
        icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    m_tray.SetUp(frame, icon, instance, IDR_TRAY_MENU, std::string(kProductName) + " " + RunningVersionText(), false);
    // The tray menu's "&External Tools" submenu holds the same tools as the main menu's.
    if (HMENU tools = TrayToolsMenu())
        FillToolsMenu(tools);
}

HMENU CFrameServices::TrayToolsMenu() const
{
    HMENU popup = m_tray.GetPopupMenu();
    for (int i = 0; popup && i < ::GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        ::GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        if (std::string(text) == "&External Tools")
            return ::GetSubMenu(popup, i);
    }
    return nullptr;
}

void CFrameServices::FillMainToolsMenu(HMENU menu)
{
    m_mainToolsMenu = menu;
    FillToolsMenu(menu);
}

void CFrameServices::OnDestroy()
{
    m_updateCheck.Stop();
    if (CSettingsStore* store = GetSettingsStore()) {
        for (const CHostedToolBarBand& band : m_bands.GetBands())
            store->WriteInt(kHostedBandSection, band.record.clsid.c_str(), band.record.visible ? 1 : 0);
    }
    m_bands.CloseAll();
    m_tray.Destroy();
    m_frame = nullptr;
}

size_t CFrameServices::CreateHostedBands(HWND reBar, HKEY toolbarKey, HKEY clsidKey)
{
    CSettingsStore* store = GetSettingsStore();
    m_bands.SetRecords(DiscoverToolBarBands(toolbarKey, clsidKey, [store](const std::string& clsid) {
        return !store || store->GetInt(kHostedBandSection, clsid.c_str(), 1) != 0;
    }));
    m_bands.SetReBar(reBar);
    return m_bands.CreateVisibleBands();
}

void CFrameServices::FillToolsMenu(HMENU menu) const
{
    if (!menu)
        return;
    if (const CExternalToolList* tools = GetExternalToolList())
        tools->BuildMenu(menu);
}

bool CFrameServices::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (!m_frame)
        return false;
    const CSettings* settings = GetSettings();
    const DWORD sysFlags = settings ? settings->SysFlags : 0x101C;
    if (m_tray.HandleMessage(message, wParam, lParam, sysFlags, result))
        return true;
    if (message == kMsgStartUpdateCheck) {
        // The progress dialog is up: its window hears the download's progress.
        HWND dialog = reinterpret_cast<HWND>(wParam);
        if (m_progressShowing && !m_progressDialog && dialog && ::IsWindow(dialog)) {
            m_progressDialog = dialog;
            if (!StartUserUpdateCheck(dialog)) {
                m_progressDialog = nullptr;
                ::EndDialog(dialog, IDCANCEL);
            }
        }
        return true;
    }
    if (message == kMsgUpdateCheckDone) {
        OnUpdateCheckDone(wParam != 0, lParam != 0);
        return true;
    }
    if (message == WM_COMMAND) {
        const UINT command = LOWORD(wParam);
        if (command == kIdToolsManager) {
            // The changed list shows at once in both menus.
            if (ManageExternalTools(m_frame)) {
                FillToolsMenu(m_mainToolsMenu);
                FillToolsMenu(TrayToolsMenu());
            }
            return true;
        }
        if (command == ID_CHECK_FOR_UPDATE) {
            RunUserUpdateCheck();
            return true;
        }
        if (command >= kIdFirstTool && command < kIdFirstTool + CExternalToolList::kMaxTools)
            return RunTool(command);
        if (m_bands.ToggleBand(command))
            return true;
        if (command >= ID_COOKIES_ENABLE && command <= ID_COOKIES_CUSTOM) {
            IFramePrivacy* privacy = GetFramePrivacy();
            return privacy && privacy->OnCookieCommand(command);
        }
    }
    return false;
}

bool CFrameServices::RunTool(UINT command)
{
    const CExternalToolList* tools = GetExternalToolList();
    if (tools)
        tools->Run(command - kIdFirstTool, m_frame, m_toolStarter);
    // Ids past the tenth tool start nothing, but they are the tools' all the same.
    return true;
}

std::string CFrameServices::GetUpdateUrl() const
{
    CSettingsStore* store = GetSettingsStore();
    const std::string setting = store ? store->GetString(kUpdateUrlSection, kUpdateUrlKey, "").c_str() : "";
    return ChooseUpdateUrl(setting.size() < kMaxDownloadUrlLength ? setting : std::string(), kBuiltInUpdateUrl);
}

std::string CFrameServices::GetUpdateInfoPath() const
{
    if (!m_updateInfoPath.empty())
        return m_updateInfoPath;
    return std::string(GetProgramFolder().c_str()) + kUpdateInfoFileName;
}

bool CFrameServices::StartAutomaticUpdateCheck()
{
    const CSettings* settings = GetSettings();
    if (!m_frame || !settings || (settings->SysFlags & SysFlag::NoUpdateCheck))
        return false;
    return m_updateCheck.Start(m_frame, GetUpdateUrl(), GetUpdateInfoPath(), false);
}

bool CFrameServices::StartUserUpdateCheck(HWND progressWindow)
{
    if (!m_frame || m_updateCheck.IsRunning())
        return false;
    return m_updateCheck.Start(m_frame, GetUpdateUrl(), GetUpdateInfoPath(), true, progressWindow);
}

void CFrameServices::RunUserUpdateCheck()
{
    if (!m_frame || m_updateCheck.IsRunning() || m_progressDialog)
        return;
    CUpdateProgressDlg dialog(m_frame, [this] {
        // Cancelled: the download gives up and its result is not shown.
        m_progressDialog = nullptr;
        m_updateCheck.Cancel();
    });
    m_progressShowing = true;
    dialog.DoModal(m_frame);
    m_progressShowing = false;
    m_progressDialog = nullptr;
}

void CFrameServices::OnUpdateCheckDone(bool userCheck, bool downloaded)
{
    // The worker has posted its last word: its thread is released at once, and the progress
    // dialog goes before anything is shown.
    m_updateCheck.Stop();
    if (m_progressDialog) {
        ::EndDialog(m_progressDialog, IDCANCEL);
        m_progressDialog = nullptr;
    }
    const std::string path = GetUpdateInfoPath();
    if (!downloaded) {
        // The automatic check fails silently; the user's tells why nothing came.
        if (userCheck) {
            const std::string text = std::string(TranslateText("Cann't connect to ").c_str()) + kProductWebAddress +
                                     TranslateText(".\nPlease check for new version of Kivo Browser again in the future.").c_str();
            Log(kLogCritical, text);
            m_updateUi.ShowMessage(m_frame, text, MB_ICONQUESTION);
        }
        ::DeleteFileA(path.c_str());
        return;
    }
    CLanguageManager* language = GetLanguageManager();
    const std::string languageName = language ? language->GetLanguageName().c_str() : "English";
    const bool firstLanguage = !language || language->GetLanguageIndex(languageName.c_str()) <= 0;
    const CLanguageFile* installed = language ? language->FindLanguage(languageName.c_str()) : nullptr;
    const std::string installedVersion = installed ? installed->GetVersion().c_str() : "";
    const CUpdateResult result = ReadUpdateInfo(path, RunningVersionText(), languageName, firstLanguage, installedVersion);
    ::DeleteFileA(path.c_str());
    switch (result.decision) {
    case EUpdateDecision::kUnreadable:
        return;
    case EUpdateDecision::kBadVersion:
        // A damaged answer offers nothing; the user who asked is told so.
        if (userCheck) {
            const std::string text = TranslateText("The update information could not be read.").c_str();
            Log(kLogWarning, text);
            m_updateUi.ShowMessage(m_frame, text, MB_ICONEXCLAMATION);
        }
        return;
    case EUpdateDecision::kOfferNewVersion:
        if (m_updateUi.OfferNewVersion(m_frame, result.info, userCheck))
            ::SendMessageA(m_frame, kOpenUrlMessage, reinterpret_cast<WPARAM>(result.info.downloadUrl.c_str()),
                           kOpenNewTab);
        return;
    case EUpdateDecision::kUpdateLanguage:
        // The new texts show at once: the window is translated back to English, then again into
        // the language with its new file.
        if (language && UpdateLanguageFile(result.info.languageFileUrl,
                                           language->GetLanguageFilePath(languageName.c_str()).c_str())) {
            language->LoadLanguage("English", true);
            language->TranslateWindow(m_frame);
            language->LoadLanguage(languageName.c_str(), true);
            language->TranslateWindow(m_frame);
        }
        [[fallthrough]];
    case EUpdateDecision::kUpToDate:
        if (userCheck) {
            const std::string text = TranslateText(
                "You already have the latest version of Kivo Browser.\nPlease check for new version of Kivo Browser again in the future.").c_str();
            Log(kLogInfo, text);
            m_updateUi.ShowMessage(m_frame, text, MB_ICONINFORMATION);
        }
        return;
    }
}
