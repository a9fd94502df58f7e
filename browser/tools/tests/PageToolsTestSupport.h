#pragma once
// What the page tools' tests share: a fixture with the engine double and a tab host that opens pages
// in real tabs, the edit control's parser settings from the test program's resources, the
// clipboard's text, an answer to the save dialog, and the data object of a drag.
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "editctl/Quillpoint.h"
#include "frame/MainFrameData.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstring>
#include <string>

namespace page_tools_test {

// Tabs of the production factory in the test host, over the engine double's pages.
class CTabTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        InstallBrowserTabFactory();
    }
    void TearDown() override { GetMainFrameData().m_scriptErrors.clear(); }

    // A new tab showing the page, loaded; null when no tab was made.
    CBrowserView* Open(const wchar_t* url, FakePage page)
    {
        m_engine.AddPage(url, std::move(page));
        const std::string narrow(TStdStr<char>(url).c_str());
        IBrowserTab* tab =
            GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, narrow.c_str(), 0x70);
        m_engine.PumpUntilIdle();
        PumpPendingMessages();
        return tab ? CBrowserView::FromWindow(tab->GetTabWindow()) : nullptr;
    }
    static void Command(CBrowserView* view, UINT id)
    {
        ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }

    CFakeEngine m_engine;
    CTestBrowserHost m_host;
};

// Gives the edit control the parser settings of one of the test program's resources (type 10).
inline bool AddParserConfigFromResource(int id)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!resource)
        return false;
    const DWORD size = ::SizeofResource(instance, resource);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    std::memcpy(::GlobalLock(block), ::LockResource(::LoadResource(instance, resource)), size);
    ::GlobalUnlock(block);
    const bool added = AddParserConfigFromMemory(block);
    ::GlobalFree(block);
    return added;
}

// The clipboard's CF_TEXT; empty when there is none.
inline std::string ClipboardText()
{
    std::string text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Answers the save dialog of this process once, from a thread timer: types g_savePath into the
// file name and presses Save; g_saveAnswered tells that it did.
inline std::string g_savePath;
inline bool g_saveAnswered = false;
inline void CALLBACK AnswerSaveDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_saveAnswered)
        return;
    for (HWND dialog = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); dialog;
         dialog = ::FindWindowExA(nullptr, dialog, "#32770", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(dialog, &process);
        HWND name = ::GetDlgItem(dialog, cmb13);  // the file name box
        if (process != ::GetCurrentProcessId() || !::IsWindowVisible(dialog) || !name)
            continue;
        g_saveAnswered = true;
        ::SetWindowTextA(name, g_savePath.c_str());
        ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return;
    }
}

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

}  // namespace page_tools_test
