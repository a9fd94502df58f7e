#include "core/system/MapiMail.h"

#include "core/system/MessageBoxes.h"

namespace {

template <typename T>
T EntryPoint(const CDynamicLibrary& library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(library.GetProc(name)));
}

// The recipient class each address list is sent with.
constexpr ULONG kRecipientClass[CMapiMail::kListCount] = {MAPI_ORIG, MAPI_TO, MAPI_CC, MAPI_BCC};

} // namespace

CMapiMail::CMapiMail(const char* library) : m_libraryName(library ? library : "mapi32.dll")
{
    LoadMapi();
}

bool CMapiMail::LoadMapi()
{
    if (m_loaded)
        return true;
    if (!m_library.Load(m_libraryName.c_str()))
        return false;
    m_loaded = true;
    m_cmcLogon = m_library.GetProc("cmc_logon");
    m_cmcSend = m_library.GetProc("cmc_send");
    m_cmcLogoff = m_library.GetProc("cmc_logoff");
    m_cmcQueryConfiguration = m_library.GetProc("cmc_query_configuration");
    m_mapiLogon = EntryPoint<LPMAPILOGON>(m_library, "MAPILogon");
    m_mapiSendMail = EntryPoint<LPMAPISENDMAIL>(m_library, "MAPISendMail");
    m_mapiLogoff = EntryPoint<LPMAPILOGOFF>(m_library, "MAPILogoff");
    m_mapiResolveName = EntryPoint<LPMAPIRESOLVENAME>(m_library, "MAPIResolveName");
    m_mapiFreeBuffer = EntryPoint<LPMAPIFREEBUFFER>(m_library, "MAPIFreeBuffer");
    return true;
}

void CMapiMail::AddAddress(AddressList list, const char* address, const char* display)
{
    if (list < 0 || list >= kListCount || !address)
        return;
    m_addresses[list].push_back({address, display ? display : address});
}

void CMapiMail::AddAttachment(const char* path, const char* name)
{
    if (path)
        m_attachments.push_back({path, name ? name : ""});
}

bool CMapiMail::Send()
{
    // Without the library, or with one that lacks an entry point Send needs, nothing can be sent.
    if (!m_loaded || !m_mapiLogon || !m_mapiSendMail || !m_mapiLogoff || !m_mapiResolveName || !m_mapiFreeBuffer)
        return false;
    // Flags 3: the client's logon dialog when it needs one, in a session of its own.
    LHANDLE session = 0;
    if (m_mapiLogon(0, nullptr, nullptr, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &session) != SUCCESS_SUCCESS)
        return false;
    std::vector<lpMapiRecipDesc> resolved;
    const ULONG result = ComposeAndSend(session, resolved);
    m_mapiLogoff(session, 0, 0, 0);
    for (lpMapiRecipDesc descriptor : resolved)
        m_mapiFreeBuffer(descriptor);
    if (result != SUCCESS_SUCCESS)
        ReportError(result);
    return result == SUCCESS_SUCCESS;
}

ULONG CMapiMail::ComposeAndSend(LHANDLE session, std::vector<lpMapiRecipDesc>& resolved)
{
    size_t recipientCount = 0;
    for (int list = kTo; list < kListCount; ++list)
        recipientCount += m_addresses[list].size();
    std::vector<MapiRecipDesc> recipients(recipientCount);
    std::vector<MapiFileDesc> files(m_attachments.size());

    MapiRecipDesc originator = {};
    bool hasOriginator = false;
    ULONG used = 0;
    for (int list = kOriginator; list < kListCount; ++list) {
        for (const AddressEntry& entry : m_addresses[list]) {
            lpMapiRecipDesc descriptor = nullptr;
            if (m_mapiResolveName(session, 0, const_cast<LPSTR>(entry.address.c_str()), 0, 0, &descriptor) !=
                    SUCCESS_SUCCESS ||
                !descriptor)
                continue; // a name that does not resolve is left out
            resolved.push_back(descriptor);
            descriptor->ulRecipClass = kRecipientClass[list];
            if (list == kOriginator) {
                if (!hasOriginator)
                    originator = *descriptor;
                hasOriginator = true;
            } else {
                recipients[used++] = *descriptor;
            }
        }
    }
    for (size_t i = 0; i < m_attachments.size(); ++i) {
        files[i].lpszPathName = const_cast<LPSTR>(m_attachments[i].path.c_str());
        files[i].lpszFileName = const_cast<LPSTR>(m_attachments[i].name.c_str());
    }

    MapiMessage message = {};
    message.lpszSubject = const_cast<LPSTR>(m_subject.empty() ? "No Subject" : m_subject.c_str());
    message.lpszNoteText = const_cast<LPSTR>(m_body.c_str());
    message.lpOriginator = hasOriginator ? &originator : nullptr;
    message.nRecipCount = used;
    message.lpRecips = used ? recipients.data() : nullptr;
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    return m_mapiSendMail(session, 0, &message, MAPI_DIALOG, 0);
}

void CMapiMail::ReportError(ULONG code) const
{
    const TStdStr<char> text =
        FormatString("Message did not get sent due to error code %lu.\r\n", code) + GetErrorText(code) + "\r\n";
    GetMessageBoxes().Show(nullptr, text.c_str(), "Error", MB_OK);
}

TStdStr<char> CMapiMail::GetErrorText(ULONG code)
{
    switch (code) {
    case MAPI_E_USER_ABORT:
        return "The user canceled one of the dialog boxes. No message was sent.";
    case MAPI_E_FAILURE:
        return "One or more unspecified errors occurred. No message was sent.";
    case MAPI_E_LOGIN_FAILURE:
        return "There was no default logon, and the user failed to log on successfully when the logon dialog box "
               "was displayed. No message was sent.";
    case MAPI_E_INSUFFICIENT_MEMORY:
        return "There was insufficient memory to proceed. No message was sent.";
    case MAPI_E_TOO_MANY_FILES:
        return "There were too many file attachments. No message was sent.";
    case MAPI_E_TOO_MANY_RECIPIENTS:
        return "There were too many recipients. No message was sent.";
    case MAPI_E_ATTACHMENT_NOT_FOUND:
        return "The specified attachment was not found. No message was sent.";
    case MAPI_E_ATTACHMENT_OPEN_FAILURE:
        return "The specified attachment could not be opened. No message was sent.";
    case MAPI_E_UNKNOWN_RECIPIENT:
        return "A recipient did not appear in the address list. No message was sent.";
    case MAPI_E_BAD_RECIPTYPE:
        return "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent.";
    case MAPI_E_TEXT_TOO_LARGE:
        return "The text in the message was too large. No message was sent.";
    case MAPI_E_AMBIGUOUS_RECIPIENT:
        return "A recipient matched more than one of the recipient descriptor structures and MAPI_DIALOG was not "
               "set. No message was sent.";
    case MAPI_E_INVALID_RECIPS:
        return "One or more recipients were invalid or did not resolve to any address.";
    default:
        return "Unknown error code.";
    }
}
