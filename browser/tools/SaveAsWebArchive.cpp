#include "browser/tools/SaveAsWebArchive.h"

#include "browser/tools/PageCommands.h"
#include "core/system/Holders.h"
#include "platform/AtlDlgs.h"
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <atomic>
#include <cstring>
#include <memory>

namespace {

constexpr char kDialogClass[] = "#32770";

// The hook state of the one save that may run; touched by the UI thread, except `seen`, which the
// filler clears from its own thread when the dialog has no file-name field.
struct SaveHookState {
    CWindowsHookHolder hook;
    CSavePageRequest* request = nullptr;  // not owned: the caller's, for the save
    HWND createdDialog = nullptr;
    std::atomic<bool> seen{false};
};
SaveHookState g_save;

class CSaveAsNameFiller {
public:
    CSaveAsNameFiller(HWND dialog, TStdStr<char> path, int fileType)
        : m_dialog(dialog), m_path(std::move(path)), m_fileType(fileType)
    {
    }
    CSaveAsNameFiller(const CSaveAsNameFiller&) = delete;
    CSaveAsNameFiller& operator=(const CSaveAsNameFiller&) = delete;

    // Starts the thread, which from then on owns the filler; false (the filler still the
    // caller's) when it cannot be started.
    bool Start()
    {
        m_event.Attach(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (!m_event)
            return false;
        DWORD id = 0;
        CHandle thread(::CreateThread(nullptr, 0, &CSaveAsNameFiller::ThreadEntry, this, 0, &id));
        return static_cast<bool>(thread);
    }

private:
    static DWORD WINAPI ThreadEntry(LPVOID parameter)
    {
        std::unique_ptr<CSaveAsNameFiller> filler(static_cast<CSaveAsNameFiller*>(parameter));
        try {
            filler->Run();
            return 0;
        } catch (...) {
            ReportCaughtException("save-as name filler");
            return kExceptionExitCode;
        }
    }

    void Run()
    {
        const ULONGLONG deadline = ::GetTickCount64() + kFillerPatienceMs;
        for (;;) {
            // A dialog that goes before it is ever shown (or a handle now of another window) ends
            // the wait, as does a dialog that never shows.
            if (!::IsWindow(m_dialog) || ::GetTickCount64() >= deadline)
                return;
            if (::IsWindowVisible(m_dialog))
                break;
            ::WaitForSingleObject(m_event, kFillerPollMs);
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT)
                    return;
                ::DispatchMessageA(&message);
            }
        }
        if (HWND types = ::GetDlgItem(m_dialog, kSaveDialogFileTypeCombo)) {
            ::SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(m_fileType), 0);
            // The notifications a choice made with the mouse sends, in their order: the engine's
            // dialog takes the type at the close-up, Wine's file dialog at the end of selection.
            for (const WORD notification : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}, WORD{CBN_CLOSEUP}})
                ::SendMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(kSaveDialogFileTypeCombo, notification),
                               reinterpret_cast<LPARAM>(types));
        }
        HWND name = ::GetDlgItem(m_dialog, kSaveDialogFileNameField);
        if (!name) {
            // Without the field the engine would save under a name of its own while the program
            // believes its name was used: the dialog stays for the user.
            g_save.seen = false;
            return;
        }
        ::SetWindowTextA(name, m_path.c_str());
        ::SendMessageA(::GetDlgItem(m_dialog, IDOK), BM_CLICK, 0, 0);
    }

    HWND m_dialog;  // the engine's dialog; not owned, tested with IsWindow on every poll
    TStdStr<char> m_path;
    int m_fileType;
    CHandle m_event;
};

LRESULT CALLBACK SaveAsCbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code == HCBT_CREATEWND) {
            char className[16] = "";
            if (::GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof(className)) &&
                std::strcmp(className, kDialogClass) == 0)
                g_save.createdDialog = reinterpret_cast<HWND>(wParam);
        } else if (code == HCBT_ACTIVATE && g_save.createdDialog && reinterpret_cast<HWND>(wParam) == g_save.createdDialog) {
            g_save.createdDialog = nullptr;
            g_save.seen = true;
            if (g_save.request && g_save.request->fill) {
                g_save.request->fill = false;
                auto filler = std::make_unique<CSaveAsNameFiller>(reinterpret_cast<HWND>(wParam), g_save.request->path,
                                                                  g_save.request->fileType);
                if (filler->Start())
                    filler.release();  // the thread's now
            }
        }
    } catch (...) {
        ReportCaughtException("save-as hook");
    }
    return ::CallNextHookEx(g_save.hook.Get(), code, wParam, lParam);
}

} // namespace

bool SavePageAs(CSavePageRequest& request)
{
    if (!request.browser || g_save.hook.Get())
        return false;
    if (request.path.empty())
        request.path = "untitled";
    request.fill = true;
    if (!g_save.hook.Set(WH_CBT, &SaveAsCbtHookProc, nullptr, ::GetCurrentThreadId()))
        return false;
    g_save.request = &request;
    g_save.createdDialog = nullptr;
    g_save.seen = false;
    request.browser->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr);
    g_save.hook.Unhook();
    g_save.request = nullptr;
    g_save.createdDialog = nullptr;
    return g_save.seen;
}

TStdStr<char> WebArchiveNameFromTitle(const char* title)
{
    TStdStr<char> name(title ? title : "");
    for (char& c : name)
        if (std::strchr("\\/:,;*?<>|\"", c) && c != '\0')
            c = '-';
    return name;
}

bool SaveAsWebArchiveFile(HWND owner, IWebBrowser2* browser, const char* title)
{
    if (!browser)
        return false;
    CFileDialog dialog(FALSE, "mht", WebArchiveNameFromTitle(title).c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Web Archive, single file (*.mht)|*.mht|", owner);
    if (RunFileDialog(dialog, owner) != IDOK)
        return false;
    CSavePageRequest request;
    request.browser = browser;
    request.path = dialog.m_szFileName;
    request.fileType = kWebArchiveFileType;
    return SavePageAs(request);
}
