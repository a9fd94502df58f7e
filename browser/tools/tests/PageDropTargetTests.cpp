// The page drop target under Wine: what a tab's host hands its engine, and what a drop of a link,
// a text or a file does (a new tab through the frame's open-URL request, or a search).
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/PageDropTarget.h"
#include "frame/MainFrameData.h"

#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A data object of a drag: CF_TEXT and CF_HDROP when given; GetData hands out copies.
class CTestDataObject final : public IDataObject {
public:
    CTestDataObject(const char* text, const char* file) : m_hasText(text != nullptr), m_text(text ? text : ""),
                                                         m_file(file ? file : "") {}
    CTestDataObject(const CTestDataObject&) = delete;
    CTestDataObject& operator=(const CTestDataObject&) = delete;
    virtual ~CTestDataObject() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IDataObject ? static_cast<IDataObject*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }  // a local of the test
    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        HGLOBAL block = nullptr;
        if (format->cfFormat == CF_TEXT && m_hasText) {
            block = ::GlobalAlloc(GMEM_MOVEABLE, m_text.size() + 1);
            std::memcpy(::GlobalLock(block), m_text.c_str(), m_text.size() + 1);
        } else if (format->cfFormat == CF_HDROP && !m_file.empty()) {
            block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + m_file.size() + 2);
            auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
            drop->pFiles = sizeof(DROPFILES);
            std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), m_file.c_str(), m_file.size());
        } else {
            return DV_E_FORMATETC;
        }
        ::GlobalUnlock(block);
        ++reads;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(DUnadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }

    int reads = 0;

private:
    bool m_hasText;
    std::string m_text;
    std::string m_file;
};

class CRecordingSearch final : public IPageTextSearch {
public:
    CRecordingSearch() : m_previous(SetPageTextSearch(this)) {}
    ~CRecordingSearch() override { SetPageTextSearch(m_previous); }
    CRecordingSearch(const CRecordingSearch&) = delete;
    CRecordingSearch& operator=(const CRecordingSearch&) = delete;
    void SearchText(const char* text) override { searched.push_back(text); }
    std::vector<std::string> searched;

private:
    IPageTextSearch* m_previous;  // not owned
};

} // namespace

TEST(PageDropTarget, DroppedLinksAndFilesOpenInANewTabAndDroppedTextIsSearched)
{
    CFakeEngine engine;
    CTestBrowserHost host;
    ASSERT_TRUE(engine.IsRegistered());
    InstallBrowserTabFactory();
    engine.AddPage(L"http://www.example.com/", {L"Example Domain", L"", 0, {}});
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/", 0x70);
    ASSERT_NE(tab, nullptr);
    engine.PumpUntilIdle();
    CFakeBrowser* browser = engine.FindBrowser(tab->GetWebBrowser());
    ASSERT_NE(browser, nullptr);

    // The engine of every page is given the one program-wide target.
    CComPtr<IDropTarget> target = browser->AskHostDropTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target.p, GetPageDropTarget());
    CComPtr<IUnknown> unknown;
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown.p)), E_NOINTERFACE);

    CRecordingSearch search;
    const struct {
        const char* name;
        const char* text;
        const char* file;
        DWORD effect;
        const char* opened;    // the address opened in a new tab, or null
        const char* searched;  // the text searched, or null
    } cases[] = {
        {"link from another browser", "http://www.example.org/linked.html", nullptr, DROPEFFECT_LINK,
         "http://www.example.org/linked.html", nullptr},
        {"selected text", "kivo browser tabs", nullptr, DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, "kivo browser tabs"},
        {"file from the shell", nullptr, "C:\\pages\\saved.html", DROPEFFECT_COPY, "C:\\pages\\saved.html", nullptr},
        {"file and text: the file wins", "some text", "C:\\pages\\saved.html", DROPEFFECT_COPY, nullptr,
         "C:\\pages\\saved.html"},
        {"copy, move and link at once", "http://www.example.org/", nullptr, DROPEFFECT_COPY | DROPEFFECT_MOVE |
         DROPEFFECT_LINK, nullptr, nullptr},
        {"nothing readable", nullptr, nullptr, DROPEFFECT_COPY, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearFrameRecord();
        const size_t openedBefore = host.OpenedUrls().size();
        search.searched.clear();
        CTestDataObject data(c.text, c.file);
        DWORD effect = c.effect;
        EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        EXPECT_EQ(effect, c.effect);
        effect = c.effect;
        EXPECT_EQ(target->Drop(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        const auto opened = host.OpenedUrls();
        if (c.opened) {
            ASSERT_EQ(opened.size(), openedBefore + 1);
            EXPECT_EQ(opened.back().first, c.opened);
            EXPECT_EQ(opened.back().second & kOpenNewTab, static_cast<LPARAM>(kOpenNewTab));
        } else {
            EXPECT_EQ(opened.size(), openedBefore);
        }
        EXPECT_EQ(search.searched, c.searched ? std::vector<std::string>{c.searched} : std::vector<std::string>{});
    }
    ::DestroyWindow(tab->GetTabWindow());
}
