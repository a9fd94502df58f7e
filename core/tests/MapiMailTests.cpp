// Mail through the stand-in "mapi32.dll" built for the tests: what the program hands
// Simple MAPI, the error box, and the failures that must never read as success.
#include "core/system/MapiMail.h"
#include "core/system/MessageBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The stand-in's test controls, reached through the module the mail object loaded.
struct StandIn {
    using Configure = void (*)(ULONG, ULONG);
    using Record = const char* (*)();
    using Live = long (*)();

    explicit StandIn(const char* name = "mapi32.dll") : module(GetModuleHandleA(name))
    {
        // Wine loads its own mapi32 unless WINEDLLOVERRIDES has mapi32=n (the test's environment).
        if (module && !Proc("StandInRecord"))
            module = nullptr;
    }
    void Set(ULONG logon, ULONG send) const { reinterpret_cast<Configure>(Proc("StandInConfigure"))(logon, send); }
    std::string Calls() const { return reinterpret_cast<Record>(Proc("StandInRecord"))(); }
    long LiveDescriptors() const { return reinterpret_cast<Live>(Proc("StandInLiveDescriptors"))(); }
    void* Proc(const char* name) const { return reinterpret_cast<void*>(GetProcAddress(module, name)); }

    HMODULE module;
};

std::vector<std::string> g_boxes;

// The stand-ins live in a folder of their own below the test program, so that no program started
// from the build folder ever loads them by accident; the tests' DLL search takes that folder next.
const bool g_standInFolder = [] {
    char folder[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    std::string path = folder;
    path = path.substr(0, path.find_last_of('\\') + 1) + "mapi-standin";
    return SetDllDirectoryA(path.c_str()) != FALSE;
}();

struct CBoxRecorder : IMessageBoxes {
    int Show(HWND owner, const char* text, const char* caption, UINT type) override
    {
        g_boxes.push_back(std::string(owner ? "owned " : "") + caption + "|" + text + "|" + std::to_string(type));
        return IDOK;
    }
};

class MapiMailTest : public testing::Test {
protected:
    void SetUp() override { g_boxes.clear(); }

private:
    CBoxRecorder m_recorder;
    CScopedMessageBoxes m_boxes{m_recorder};
};

TEST_F(MapiMailTest, HandsEveryRecipientAttachmentSubjectAndBodyToMapi)
{
    CMapiMail mail;
    ASSERT_TRUE(mail.IsLoaded());
    StandIn standIn;
    ASSERT_NE(nullptr, standIn.module) << "the stand-in mapi32.dll of the tests was not loaded "
                                          "(under Wine it needs WINEDLLOVERRIDES=mapi32=n)";
    standIn.Set(SUCCESS_SUCCESS, SUCCESS_SUCCESS);

    mail.AddAddress(CMapiMail::kOriginator, "me@example.org", "Me");
    mail.AddAddress(CMapiMail::kTo, "ann@example.org");
    mail.AddAddress(CMapiMail::kTo, "unknown person");
    mail.AddAddress(CMapiMail::kTo, "bob@example.org");
    mail.AddAddress(CMapiMail::kCc, "cy@example.org");
    mail.AddAddress(CMapiMail::kBcc, "di@example.org");
    mail.AddAttachment("C:\\pages\\page.htm", "page.htm");
    mail.SetSubject("A page");
    mail.SetBody("http://example.org/");
    EXPECT_TRUE(mail.Send());

    EXPECT_EQ("logon flags=3 profile=<null> password=<null>\n"
              "resolve me@example.org\n"
              "resolve ann@example.org\n"
              "resolve unknown person\n"
              "resolve bob@example.org\n"
              "resolve cy@example.org\n"
              "resolve di@example.org\n"
              "send session=ok flags=8 subject=A page body=http://example.org/\n"
              "originator class=0 name=Resolved me@example.org address=SMTP:me@example.org\n"
              "recipients 4\n"
              "recipient class=1 name=Resolved ann@example.org address=SMTP:ann@example.org\n"
              "recipient class=1 name=Resolved bob@example.org address=SMTP:bob@example.org\n"
              "recipient class=2 name=Resolved cy@example.org address=SMTP:cy@example.org\n"
              "recipient class=3 name=Resolved di@example.org address=SMTP:di@example.org\n"
              "files 1\n"
              "file path=C:\\pages\\page.htm name=page.htm position=0 type=none\n"
              "logoff\n",
              standIn.Calls());
    EXPECT_EQ(0, standIn.LiveDescriptors()) << "every resolved descriptor is freed";
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MapiMailTest, AMessageWithoutRecipientsHasNoListAndADefaultSubject)
{
    CMapiMail mail;
    StandIn standIn;
    ASSERT_NE(nullptr, standIn.module);
    standIn.Set(SUCCESS_SUCCESS, SUCCESS_SUCCESS);
    mail.SetBody("text");
    EXPECT_TRUE(mail.Send());
    EXPECT_EQ("logon flags=3 profile=<null> password=<null>\n"
              "send session=ok flags=8 subject=No Subject body=text\n"
              "recipients 0 (no list)\n"
              "files 0 (no list)\n"
              "logoff\n",
              standIn.Calls());
}

TEST_F(MapiMailTest, MapiErrorsAreShownAndReportedAsFailure)
{
    const struct {
        ULONG code;
        const char* text;
    } cases[] = {
        {MAPI_E_USER_ABORT, "The user canceled one of the dialog boxes. No message was sent."},
        {MAPI_E_BAD_RECIPTYPE, "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent."},
        {MAPI_E_INVALID_RECIPS, "One or more recipients were invalid or did not resolve to any address."},
        {77, "Unknown error code."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        g_boxes.clear();
        CMapiMail mail;
        StandIn standIn;
        ASSERT_NE(nullptr, standIn.module);
        standIn.Set(SUCCESS_SUCCESS, c.code);
        mail.AddAddress(CMapiMail::kTo, "ann@example.org");
        EXPECT_FALSE(mail.Send());
        EXPECT_EQ((std::vector<std::string>{"Error|Message did not get sent due to error code " + std::to_string(c.code) +
                                            ".\r\n" + c.text + "\r\n|0"}),
                  g_boxes);
        EXPECT_NE(std::string::npos, standIn.Calls().find("logoff\n"));
        EXPECT_EQ(0, standIn.LiveDescriptors());
    }
}

TEST_F(MapiMailTest, FailedLogonSendsNothing)
{
    CMapiMail mail;
    StandIn standIn;
    ASSERT_NE(nullptr, standIn.module);
    standIn.Set(MAPI_E_LOGIN_FAILURE, SUCCESS_SUCCESS);
    mail.AddAddress(CMapiMail::kTo, "ann@example.org");
    EXPECT_FALSE(mail.Send());
    EXPECT_EQ("logon flags=3 profile=<null> password=<null>\n", standIn.Calls());
}

TEST_F(MapiMailTest, MissingLibraryOrEntryPointIsAFailureNotASuccess)
{
    CMapiMail missing("kivo-no-such-mapi.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(missing.LoadMapi());
    missing.AddAddress(CMapiMail::kTo, "ann@example.org");
    EXPECT_FALSE(missing.Send());

    // A library without MAPISendMail: nothing is called at all, not even the logon.
    CMapiMail partial("mapinosend.dll");
    ASSERT_TRUE(partial.IsLoaded());
    StandIn standIn("mapinosend.dll");
    ASSERT_NE(nullptr, standIn.module);
    standIn.Set(SUCCESS_SUCCESS, SUCCESS_SUCCESS);
    partial.AddAddress(CMapiMail::kTo, "ann@example.org");
    EXPECT_FALSE(partial.Send());
    EXPECT_EQ("", standIn.Calls());
    EXPECT_TRUE(g_boxes.empty());
}

} // namespace
