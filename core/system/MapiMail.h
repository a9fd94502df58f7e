#pragma once
// CMapiMail composes one mail message and hands it to the system's mail client through Simple
// MAPI, with the client's own send dialog. "mapi32.dll" is loaded at run time, so the program runs
// on systems without a mail client; Send then reports failure.
#include "core/library/StdStr.h"
#include "core/system/DynamicLibrary.h"

#include <windows.h>
#include <mapi.h>

#include <vector>

class CMapiMail {
public:
    // The address lists: the sender, then the To, Cc and Bcc recipients.
    enum AddressList { kOriginator = 0, kTo = 1, kCc = 2, kBcc = 3, kListCount = 4 };

    // An address to resolve (an address or a name) and its display text.
    struct AddressEntry {
        TStdStr<char> address;
        TStdStr<char> display;
    };
    // A file to attach and the name the mail shows for it.
    struct Attachment {
        TStdStr<char> path;
        TStdStr<char> name;
    };

    // Loads the library (see LoadMapi).
    explicit CMapiMail(const char* library = "mapi32.dll");
    ~CMapiMail() = default;
    CMapiMail(const CMapiMail&) = delete;
    CMapiMail& operator=(const CMapiMail&) = delete;

    // Loads the library and looks up its entry points once; true when the library is loaded.
    bool LoadMapi();
    bool IsLoaded() const { return m_loaded; }

    void AddAddress(AddressList list, const char* address, const char* display = nullptr);
    void AddAttachment(const char* path, const char* name = nullptr);
    void SetSubject(const char* subject) { m_subject = subject ? subject : ""; }
    void SetBody(const char* body) { m_body = body ? body : ""; }

    // Sends through MAPILogon, MAPIResolveName and MAPISendMail with the client's dialog. False
    // when MAPI is missing or lacks an entry point, when logon fails, and for every MAPI error
    // (the user's cancel included), which is also shown in a message box.
    bool Send();

    // The message box text of a Simple MAPI error code.
    static TStdStr<char> GetErrorText(ULONG code);

private:
    ULONG ComposeAndSend(LHANDLE session, std::vector<lpMapiRecipDesc>& resolved);
    void ReportError(ULONG code) const;

    std::vector<AddressEntry> m_addresses[kListCount];
    std::vector<Attachment> m_attachments;
    TStdStr<char> m_subject;
    TStdStr<char> m_body;

    // The CMC entry points are looked up for callers that want them; Send uses Simple MAPI.
    FARPROC m_cmcLogon = nullptr;
    FARPROC m_cmcSend = nullptr;
    FARPROC m_cmcLogoff = nullptr;
    FARPROC m_cmcQueryConfiguration = nullptr;
    LPMAPILOGON m_mapiLogon = nullptr;
    LPMAPISENDMAIL m_mapiSendMail = nullptr;
    LPMAPILOGOFF m_mapiLogoff = nullptr;
    LPMAPIRESOLVENAME m_mapiResolveName = nullptr;
    LPMAPIFREEBUFFER m_mapiFreeBuffer = nullptr;

    bool m_loaded = false;
    TStdStr<char> m_libraryName;
    CDynamicLibrary m_library;
};
