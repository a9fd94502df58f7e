#include "browser/tools/PageCommands.h"

#include "core/system/DispatchByName.h"
#include "browser/tools/SourceView.h"
#include "controls/skins/FrameSkinManager.h"
#include "core/app/LanguageManager.h"
#include "core/library/FileFunctions.h"
#include "core/library/Url.h"
#include "core/library/Utf8.h"
#include "core/library/Z4KFile.h"
#include "core/system/DocumentScript.h"
#include "core/system/DynamicLibrary.h"
#include "core/system/MessageBoxes.h"
#include "frame/MainFrame.h"
#include "platform/AtlAxHost.h"
#include "platform/AtlDlgs.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

const char* ZoomScript(UINT command)
{
    static const struct {
        UINT command;
        const char* script;
    } kScripts[] = {
        {kZoom50Command, "document.body.style.zoom=0.5"},
        {kZoom80Command, "document.body.style.zoom=0.8"},
        {kZoom100Command, "document.body.style.zoom=1"},
        {kZoom150Command, "document.body.style.zoom=1.5"},
        {kZoom200Command, "document.body.style.zoom=2.0"},
        {kZoomInCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=1.1}else{document.body.style.zoom*=1.1}"},
        {kZoomOutCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=10.0/11}else{document.body.style.zoom*=10.0/11}"},
        {kZoomPageCommand, "if(document.body.style.zoom>1.5||document.body.style.zoom==''){document.body.style.zoom=1.5}"
                           "else{document.body.style.zoom=''}"},
    };
    for (const auto& entry : kScripts)
        if (entry.command == command)
            return entry.script;
    return nullptr;
}

void RunPageWindowScript(IUnknown* page, const char* code)
{
    if (!code)
        return;
    if (CComPtr<IDispatch> window = GetObjectByName(PageDocument(page), L"parentWindow"))
        CallByName(window, L"execScript", {CComVariant(code), CComVariant(L"")});  // "": the default language
}

bool RunZoomCommand(IUnknown* page, UINT command)
{
    const char* script = ZoomScript(command);
    if (!script)
        return false;
    RunPageWindowScript(page, script);
    return true;
}

namespace {

class CSystemPageMailer final : public IPageMailer {
public:
    bool OpenMailAddress(const char* address) override
    {
        const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", address, nullptr, nullptr,
                                                                      SW_SHOWNORMAL));
        return result > 32;
    }
    bool SendDocuments(const char* paths) override
    {
        using SendDocumentsFunction = ULONG(WINAPI*)(ULONG_PTR, LPSTR, LPSTR, LPSTR, ULONG);
        CDynamicLibrary mapi;
        if (!mapi.Load("mapi32.dll"))
            return false;
        auto send = reinterpret_cast<SendDocumentsFunction>(
            reinterpret_cast<void (*)()>(mapi.GetProc("MAPISendDocuments")));
        if (!send)
            return false;
        TStdStr<char> separator(";");
        TStdStr<char> files(paths ? paths : "");
        return send(0, separator.data(), files.data(), nullptr, 0) == 0;
    }
};

IPageMailer* g_mailer = nullptr;  // not owned; null: the system's

void AppendMailEscaped(TStdStr<char>& out, const char* text)
{
    if (!text || !*text)
        return;
    // The program's texts are ANSI; a mail address carries UTF-8.
    std::vector<char> utf8(std::strlen(text) * 3 + 1, '\0');
    Utf16ToUtf8(text, utf8.data());
    for (const char* at = utf8.data(); *at; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~')
            out += static_cast<char>(c);
        else
            AppendPercentEscape(out, c);
    }
}

} // namespace

IPageMailer& GetPageMailer()
{
    static CSystemPageMailer system;
    return g_mailer ? *g_mailer : system;
}

IPageMailer* SetPageMailer(IPageMailer* mailer)
{
    IPageMailer* previous = g_mailer;
    g_mailer = mailer;
    return previous;
}

TStdStr<char> MailLinkAddress(const char* title, const char* url)
{
    TStdStr<char> address = "mailto:?subject=";
    AppendMailEscaped(address, title);
    address += "&body=";
    AppendMailEscaped(address, url);
    return address;
}

bool SendLinkByMail(const char* title, const char* url)
{
    return GetPageMailer().OpenMailAddress(MailLinkAddress(title, url).c_str());
}

bool SendPageByMail(IUnknown* page)
{
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    const TStdStr<char> source = GetDocumentSource(page);
    bool sent = false;
    char folder[MAX_PATH] = "";
    char temporary[MAX_PATH] = "";
    if (!source.empty() && ::GetTempPathA(sizeof(folder), folder) &&
        ::GetTempFileNameA(folder, "kvb", 0, temporary)) {
        bool written = false;
        try {
            CZ4KFile file;
            if (file.Open(temporary, CZ4KFile::kOpenWrite)) {
                file.Write(source.data(), static_cast<UINT>(source.size()));
                file.Close();
                written = true;
            }
        } catch (const CZ4KException&) {
            written = false;
        }
        // The mail client names the attachment by the file's extension; the name with ".html" is
        // one no other file has (the rename replaces nothing).
        TStdStr<char> mailed;
        for (int attempt = 0; written && mailed.empty() && attempt < 100; ++attempt) {
            TStdStr<char> candidate(temporary);
            candidate += attempt == 0 ? TStdStr<char>(".html") : "-" + std::to_string(attempt) + ".html";
            if (::MoveFileExA(temporary, candidate.c_str(), 0))
                mailed = candidate;
        }
        if (!mailed.empty()) {
            sent = GetPageMailer().SendDocuments(mailed.c_str());
            ::DeleteFileA(mailed.c_str());
        } else {
            ::DeleteFileA(temporary);
        }
    }
    ::SetCursor(previous);
    return sent;
}

bool SaveTextAs(HWND owner, const TStdStr<char>& text, const char* filter, const char* extension,
                const char* proposedName)
{
    TStdStr<char> name(proposedName ? proposedName : "");
    ReplaceInvalidFileNameChars(name);
    CFileDialog dialog(FALSE, extension, name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, owner);
    if (RunFileDialog(dialog, owner) != IDOK)
        return false;
    try {
        CZ4KFile file;
        CZ4KFileException error;
        if (file.Open(dialog.m_szFileName, CZ4KFile::kOpenWrite, &error)) {
            file.Write(text.data(), static_cast<UINT>(text.size()));
            file.Close();
            return true;
        }
    } catch (const CZ4KException&) {
        // reported below
    }
    const TStdStr<char> message = TStdStr<char>("The file could not be written:\n") + dialog.m_szFileName;
    GetMessageBoxes().Show(owner, message.c_str(), "Kivo Browser", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

INT_PTR RunFileDialog(CFileDialog& dialog, HWND owner)
{
    // The frame keeps its idle work and its hot keys away while one of its dialogs is up.
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetInModalLoop(true);
    const INT_PTR answer = dialog.DoModal(owner);
    if (frame)
        frame->SetInModalLoop(false);
    return answer;
}

namespace {

std::vector<HWND> ThreadDialogs()
{
    struct Collect {
        static BOOL CALLBACK Add(HWND window, LPARAM data)
        {
            char name[16] = "";
            if (::GetClassNameA(window, name, sizeof(name)) && std::strcmp(name, "#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        }
    };
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect::Add, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

} // namespace

// The control opens its find dialog itself; the dialog it made is the program's to dress: the
// skin and the interface language, then shown again without taking the activation.
void ShowEditFindDialog(HWND window)
{
    if (!window)
        return;
    const std::vector<HWND> before = ThreadDialogs();
    ::SendMessageA(window, kEditFindDialog, 0, 0);
    for (HWND dialog : ThreadDialogs()) {
        if (std::find(before.begin(), before.end(), dialog) != before.end())
            continue;
        ::ShowWindow(dialog, SW_HIDE);
        if (CFrameSkinManager* skins = GetSkinManager())
            skins->AttachWindow(dialog);
        if (CLanguageManager* languages = GetLanguageManager())
            languages->TranslateWindow(dialog);
        ::ShowWindow(dialog, SW_SHOWNA);
        return;
    }
}

void RunEngineFindDialog(IWebBrowser2* browser)
{
    CComPtr<IDispatch> document;
    if (!browser || FAILED(browser->get_Document(&document)) || !document)
        return;
    CComQIPtr<IOleCommandTarget> target(document);
    if (target)
        target->Exec(&kCommandGroupWebBrowser, 1, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
}
