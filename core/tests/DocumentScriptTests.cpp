// Document source through IPersistStreamInit, the page script's tolerance of objects that are no
// page, and the download progress text.
#include "core/system/DocumentScript.h"
#include "core/tests/ScratchFolder.h"

#include <gtest/gtest.h>
#include <ocidl.h>

#include <string>
#include <vector>

namespace {

// An object that saves the bytes it is given, or fails to.
class CFakePersist : public CComObjectRootEx<CComSingleThreadModel>, public IPersistStreamInit {
public:
    BEGIN_COM_MAP(CFakePersist)
        COM_INTERFACE_ENTRY(IPersistStreamInit)
    END_COM_MAP()

    std::string bytes;
    bool fail = false;
    BOOL clearDirty = -1;

    STDMETHOD(GetClassID)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(IStream*) override { return E_NOTIMPL; }
    STDMETHOD(Save)(IStream* stream, BOOL clear) override
    {
        clearDirty = clear;
        if (fail)
            return E_FAIL;
        ULONG written = 0;
        return stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InitNew)() override { return S_OK; }
};

CComPtr<IUnknown> MakePersist(const std::string& bytes, bool fail = false, CFakePersist** out = nullptr)
{
    CComObject<CFakePersist>* object = nullptr;
    CComObject<CFakePersist>::CreateInstance(&object);
    object->bytes = bytes;
    object->fail = fail;
    if (out)
        *out = object;
    CComPtr<IUnknown> unknown;
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown.p));
    return unknown;
}

TEST(DocumentScript, SourceTextFromAnObjectThatSavesItself)
{
    const struct {
        std::string bytes;
        const char* text;
    } cases[] = {
        {"<html>plain</html>", "<html>plain</html>"},
        {std::string("\xFF\xFE<\0b\0>\0", 8), "<b>"},           // UTF-16 after the mark, which goes
        {std::string("\xFF\xFE\xE9\0", 4), "\xE9"},            // converted to the ANSI code page
        {std::string("\xFF\xFE", 2), ""},
        {std::string("\xFF", 1), "\xFF"},                      // one byte is no mark
        {std::string("\xFE\xFFx", 3), "\xFE\xFFx"},            // a big-endian mark is taken as ANSI
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CFakePersist* object = nullptr;
        CComPtr<IUnknown> persist = MakePersist(c.bytes, false, &object);
        EXPECT_EQ(c.text, GetPersistStreamText(persist));
        EXPECT_EQ(FALSE, object->clearDirty) << "reading the source must not clear the dirty flag";
        EXPECT_EQ(c.text, GetDocumentSource(persist));
    }
    EXPECT_EQ("", GetPersistStreamText(MakePersist("x", true)));
    EXPECT_EQ("", GetPersistStreamText(nullptr));
    EXPECT_EQ("", GetDocumentSource(nullptr));
}

// The references an object holds now, read through AddRef and Release.
ULONG References(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

TEST(DocumentScript, PageScriptOnObjectsThatAreNoPageDoesNothing)
{
    ExecPageScript(nullptr, "alert(1)", "");
    ExecPageScript(nullptr, nullptr, nullptr);
    for (const char* code : {"alert(1)", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(code ? code : "no code");
        CFakePersist* object = nullptr;
        CComPtr<IUnknown> persist = MakePersist("x", false, &object);
        const ULONG references = References(persist);
        ExecPageScript(persist, code, code ? "JScript" : nullptr);
        // Nothing of the object was used, and no reference it gave was kept.
        EXPECT_EQ(-1, object->clearDirty) << "the object was asked to save itself";
        EXPECT_EQ(references, References(persist));
    }
}

struct ReportLine {
    std::string status;
    std::string progress;
    int percent;
};

TEST(DownloadProgress, ProgressTextAndPercent)
{
    const struct {
        ULONG progress;
        ULONG total;
        const char* text;
        int percent;
    } cases[] = {
        {512, 2048, "Downloaded 512 bytes of 2.00 KB", 25},
        {0, 0, "Downloaded 0 bytes (total size unknown)", 0},
        {5000, 0, "Downloaded 4.88 KB (total size unknown)", 0},
        {2048, 2048, "Downloaded 2.00 KB of 2.00 KB", 100},
        // Above 42,949,672 bytes the product of 32-bit numbers overflows.
        {100000000, 200000000, "Downloaded 95.37 MB of 190.73 MB", 50},
        {4000000000u, 4294967295u, "Downloaded 3.73 GB of 4.00 GB", 93},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CComObjectStackEx<CDownloadProgress> progress;
        std::vector<ReportLine> reports;
        progress.SetReport([&](const char* status, const char* text, int percent) {
            reports.push_back({status, text, percent});
        });
        EXPECT_EQ(S_OK, progress.OnProgress(c.progress, c.total, BINDSTATUS_DOWNLOADINGDATA, L"http://x/"));
        ASSERT_EQ(1u, reports.size());
        EXPECT_EQ("http://x/", reports[0].status);
        EXPECT_EQ(c.text, reports[0].progress);
        EXPECT_EQ(c.percent, reports[0].percent);
    }
}

TEST(DownloadProgress, CancelStopsBeforeAnyReportAndMissingCallbacksAreSkipped)
{
    CComObjectStackEx<CDownloadProgress> progress;
    int reports = 0;
    int asked = 0;
    progress.SetReport([&](const char*, const char*, int) { ++reports; });
    progress.SetCancelTest([&](const SYSTEMTIME& now) {
        ++asked;
        return now.wYear > 1600;
    });
    EXPECT_EQ(E_ABORT, progress.OnProgress(1, 2, BINDSTATUS_DOWNLOADINGDATA, nullptr));
    EXPECT_EQ(1, asked);
    EXPECT_EQ(0, reports);

    CComObjectStackEx<CDownloadProgress> bare;
    EXPECT_EQ(S_OK, bare.OnProgress(1, 2, BINDSTATUS_DOWNLOADINGDATA, nullptr));
}

TEST(DownloadProgress, ReceivesTheNotificationsOfARealDownload)
{
    CScratchFolder folder("download");
    CScratchFolder::WriteBytes(folder / "source.bin", std::string(3000, 'x'));
    const TStdStr<char> url = "file:///" + folder / "source.bin";

    CComObject<CDownloadProgress>* progress = nullptr;
    ASSERT_EQ(S_OK, CComObject<CDownloadProgress>::CreateInstance(&progress));
    CComPtr<IBindStatusCallback> callback(progress);
    int reports = 0;
    progress->SetReport([&](const char*, const char*, int) { ++reports; });
    EXPECT_EQ(S_OK, URLDownloadToFileA(nullptr, url.c_str(), (folder / "copy.bin").c_str(), 0, callback));
    EXPECT_GT(reports, 0);
    EXPECT_EQ(std::string(3000, 'x'), CScratchFolder::ReadBytes(folder / "copy.bin"));

    // A cancelling owner gets no report. (Wine's file protocol finishes a local copy whatever the
    // callback answers, so the download's own result is not checked.)
    reports = 0;
    int asked = 0;
    progress->SetCancelTest([&](const SYSTEMTIME&) { return ++asked > 0; });
    URLDownloadToFileA(nullptr, url.c_str(), (folder / "cancelled.bin").c_str(), 0, callback);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(0, reports);
}

} // namespace
