#pragma once
// The page commands a tab runs on its page by itself: zoom by a script in the page's window. The zoom commands and their scripts are the
// program's menu items "&50%" to "&200%", "Zoom &In", "Zoom &Out" and "Zoom Page".
#include "core/library/StdStr.h"

#include <windows.h>
#include <exdisp.h>

constexpr UINT kZoom50Command = 38020;
constexpr UINT kZoom80Command = 38021;
constexpr UINT kZoom100Command = 38022;
constexpr UINT kZoom150Command = 38023;
constexpr UINT kZoom200Command = 38024;
constexpr UINT kZoomInCommand = 38028;
constexpr UINT kZoomOutCommand = 38029;
constexpr UINT kZoomPageCommand = 32104;

// The script of a zoom command, null for any other command.
const char* ZoomScript(UINT command);
// Runs code in the window of the page's document (a document or a web browser), in the engine's
// default script language; reached by name, so any document object of the engine takes it. Every
// failure is ignored: a page without a body or scripts simply does not zoom.
void RunPageWindowScript(IUnknown* page, const char* code);
// Runs the zoom command on the page; false when command is no zoom command.
bool RunZoomCommand(IUnknown* page, UINT command);

// The find, copy and select-all commands, which follow the tab's current inner page.
constexpr UINT kPageFindCommand = 57636;
constexpr UINT kPageCopyCommand = 57634;
constexpr UINT kPageSelectAllCommand = 57642;
// Mailing the page or its link, and saving it as a web archive.
constexpr UINT kSendLinkCommand = 31835;
constexpr UINT kSendPageCommand = 31836;
constexpr UINT kSaveAsWebArchiveCommand = 1088;
// The source view's "Save &As...".
constexpr UINT kSourceViewSaveCommand = 62002;

// What the mail commands hand to the system: an address for the mail handler ("mailto:..."), and
// files for the Simple MAPI client. The production mailer uses ShellExecute and "mapi32.dll"
// (MAPISendDocuments); tests install their own for their scope.
class IPageMailer {
public:
    virtual ~IPageMailer() = default;
    virtual bool OpenMailAddress(const char* address) = 0;
    // paths: the files, separated by ';'. False when no mail client takes them.
    virtual bool SendDocuments(const char* paths) = 0;
};
IPageMailer& GetPageMailer();
// Installs mailer (null: the production one) and returns the one it replaces.
IPageMailer* SetPageMailer(IPageMailer* mailer);

// The "mailto:" address of a page's link: the title as subject and the address as body, each
// percent-encoded as UTF-8, so that a "&", "#" or "?" in a title stays part of the subject.
TStdStr<char> MailLinkAddress(const char* title, const char* url);
bool SendLinkByMail(const char* title, const char* url);
// Writes the page's source into a new ".html" file of the temporary folder (a name of its own,
// never one that exists), hands it to the mail client and deletes it again. False when the page has
// no source or the file cannot be written.
bool SendPageByMail(IUnknown* page);

// Asks for a file name (the save dialog over owner; filter "Description|*.ext|" or null, default
// extension or null, proposed name) and writes text into it. False when cancelled; a file that
// cannot be written is reported in a message box and gives false.
bool SaveTextAs(HWND owner, const TStdStr<char>& text, const char* filter, const char* extension,
                const char* proposedName);
class CFileDialog;  // platform/AtlDlgs.h
// Shows a file dialog of the program with the frame's modal-dialog flag set while it is open.
INT_PTR RunFileDialog(CFileDialog& dialog, HWND owner);
// The edit control's find dialog for window, shown without taking the activation.
void ShowEditFindDialog(HWND window);
// The engine's own find dialog on the browser's document.
void RunEngineFindDialog(IWebBrowser2* browser);
