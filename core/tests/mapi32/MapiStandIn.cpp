// A stand-in "mapi32.dll" for the mail tests: it answers Simple MAPI the way a mail client would,
// records what it was given as text lines, and answers with the failure codes a test chooses.
// Built a second time without MAPISendMail, for a library that lacks an entry point.
#include <windows.h>
#include <mapi.h>

#include <string>

namespace {

std::string g_record;
ULONG g_logonResult = SUCCESS_SUCCESS;
ULONG g_sendResult = SUCCESS_SUCCESS;
long g_liveDescriptors = 0;

// A resolved recipient and the texts its pointers refer to, freed together.
struct ResolvedRecipient {
    MapiRecipDesc descriptor = {};
    std::string name;
    std::string address;
};

void AddLine(const std::string& line) { g_record += line + "\n"; }

std::string Text(const char* text) { return text ? text : "<null>"; }

[[maybe_unused]] std::string Describe(const char* kind, const MapiRecipDesc& recipient)
{
    return std::string(kind) + " class=" + std::to_string(recipient.ulRecipClass) + " name=" + Text(recipient.lpszName) +
           " address=" + Text(recipient.lpszAddress);
}

} // namespace

extern "C" {

// Test controls: the codes of the next calls, and the record of the calls so far.
__declspec(dllexport) void StandInConfigure(ULONG logonResult, ULONG sendResult)
{
    g_logonResult = logonResult;
    g_sendResult = sendResult;
    g_record.clear();
}
__declspec(dllexport) const char* StandInRecord() { return g_record.c_str(); }
__declspec(dllexport) long StandInLiveDescriptors() { return g_liveDescriptors; }

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session)
{
    AddLine("logon flags=" + std::to_string(flags) + " profile=" + Text(profile) + " password=" + Text(password));
    if (g_logonResult != SUCCESS_SUCCESS)
        return g_logonResult;
    *session = 0x5E55;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG)
{
    AddLine(session == 0x5E55 ? "logoff" : "logoff of an unknown session");
    return SUCCESS_SUCCESS;
}

// Names that begin with "unknown" do not resolve.
__declspec(dllexport) ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR name, FLAGS, ULONG, lpMapiRecipDesc* recipient)
{
    AddLine("resolve " + Text(name));
    if (!name || std::string(name).rfind("unknown", 0) == 0)
        return MAPI_E_UNKNOWN_RECIPIENT;
    auto* resolved = new ResolvedRecipient;
    resolved->name = std::string("Resolved ") + name;
    resolved->address = std::string("SMTP:") + name;
    resolved->descriptor.lpszName = resolved->name.data();
    resolved->descriptor.lpszAddress = resolved->address.data();
    ++g_liveDescriptors;
    *recipient = &resolved->descriptor;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPIFreeBuffer(LPVOID buffer)
{
    // The descriptor is the first member, so its address is the record's.
    delete static_cast<ResolvedRecipient*>(buffer);
    --g_liveDescriptors;
    return SUCCESS_SUCCESS;
}

#ifndef MAPI_STAND_IN_WITHOUT_SEND
__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG)
{
    AddLine("send session=" + std::string(session == 0x5E55 ? "ok" : "unknown") + " flags=" + std::to_string(flags) +
            " subject=" + Text(message->lpszSubject) + " body=" + Text(message->lpszNoteText));
    if (message->lpOriginator)
        AddLine(Describe("originator", *message->lpOriginator));
    AddLine("recipients " + std::to_string(message->nRecipCount) + (message->lpRecips ? "" : " (no list)"));
    for (ULONG i = 0; i < message->nRecipCount; ++i)
        AddLine(Describe("recipient", message->lpRecips[i]));
    AddLine("files " + std::to_string(message->nFileCount) + (message->lpFiles ? "" : " (no list)"));
    for (ULONG i = 0; i < message->nFileCount; ++i) {
        const MapiFileDesc& file = message->lpFiles[i];
        AddLine("file path=" + Text(file.lpszPathName) + " name=" + Text(file.lpszFileName) +
                " position=" + std::to_string(file.nPosition) + " type=" + (file.lpFileType ? "set" : "none"));
    }
    return g_sendResult;
}
#endif

// The CMC entry points exist in a real library; the program looks them up without calling them.
__declspec(dllexport) ULONG WINAPI cmc_logon() { return 0; }
__declspec(dllexport) ULONG WINAPI cmc_send() { return 0; }
__declspec(dllexport) ULONG WINAPI cmc_logoff() { return 0; }
__declspec(dllexport) ULONG WINAPI cmc_query_configuration() { return 0; }

} // extern "C"
