// What is dropped on the frame: files, text and Internet shortcuts open in new tabs, programs do not
// start, and the effect follows the keys and what the source allows.
#include "frame/FrameDropTarget.h"

#include "frame/tests/FrameTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <map>
#include <string>

using namespace frame_test;

namespace {

// A data object of fixed global-memory formats.
class CFakeDataObject final : public IDataObject {
public:
    void AddText(UINT format, const std::string& text)
    {
        std::string bytes = text;
        bytes.push_back('\0');
        m_formats[format] = bytes;
    }
    void AddFiles(const std::vector<std::string>& files)
    {
        std::string bytes(sizeof(DROPFILES), '\0');
        auto* header = reinterpret_cast<DROPFILES*>(bytes.data());
        header->pFiles = sizeof(DROPFILES);
        for (const std::string& file : files)
            bytes += file + '\0';
        bytes += '\0';
        m_formats[CF_HDROP] = bytes;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDataObject) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        const auto found = m_formats.find(format->cfFormat);
        if (found == m_formats.end())
            return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, found->second.size());
        std::memcpy(GlobalLock(memory), found->second.data(), found->second.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        return m_formats.count(format->cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::map<UINT, std::string> m_formats;
};

} // namespace

TEST(FrameDropTarget, EffectFollowsTheKeysAndWhatTheSourceAllows)
{
    struct Case {
        bool offers;
        DWORD keys;
        DWORD allowed;
        DWORD effect;
    };
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const Case cases[] = {
        {false, 0, all, DROPEFFECT_NONE},
        {true, 0, all, DROPEFFECT_MOVE},
        {true, MK_CONTROL, all, DROPEFFECT_COPY},
        {true, MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {true, 0, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {true, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {true, MK_CONTROL, DROPEFFECT_LINK | DROPEFFECT_SCROLL, DROPEFFECT_LINK | DROPEFFECT_SCROLL},
        {true, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.keys) + " " + std::to_string(c.allowed));
        EXPECT_EQ(CFrameDropTarget::EffectFor(c.offers, c.keys, c.allowed), c.effect);
    }
}

TEST(FrameDropTarget, DroppedFilesTextAndShortcutsOpenInNewTabs)
{
    ResetFrameSettings();
    GetSettings()->PreviousRunState = 1;
    CTestFrame test;
    test.RunAfterCreate();
    IDropTarget* target = test.Frame().GetDropTarget();
    test.Open("http://active.example/", 0);
    const size_t tabs = test.Frame().GetTabs().size();

    CFakeDataObject files;
    files.AddFiles({"C:\\pages\\one.htm", "C:\\tools\\setup.exe", "C:\\pages\\two.htm"});
    files.AddText(CF_TEXT, "http://not-taken.example/");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(&files, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->Drop(&files, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    // The program in the list is not started and opens no tab.
    ASSERT_EQ(test.Frame().GetTabs().size(), tabs + 2);
    EXPECT_EQ(test.TabsInOrder().back()->m_url, "C:\\pages\\two.htm");
    EXPECT_TRUE(test.m_shell.m_executed.empty());

    CFakeDataObject text;
    text.AddText(CF_TEXT, "  http://dropped.example/  ");
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->Drop(&text, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(test.TabsInOrder().back()->m_url, "http://dropped.example/");

    CFakeDataObject shortcut;
    shortcut.AddText(RegisterClipboardFormatA("UniformResourceLocator"), "http://shortcut.example/");
    effect = DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(&shortcut, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    ASSERT_EQ(target->Drop(&shortcut, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(test.TabsInOrder().back()->m_url, "http://shortcut.example/");

    // Nothing that can be opened: no effect, no tab.
    CFakeDataObject nothing;
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(&nothing, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    const size_t before = test.Frame().GetTabs().size();
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->Drop(&nothing, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(test.Frame().GetTabs().size(), before);
}
