// The page script and the document source against a made-up document, window and web browser.
// The engine cannot load pages under Wine, and its interfaces have a hundred methods each, so
// this file uses the C form of the interfaces: every slot answers E_NOTIMPL except the few the
// code under test may call.
#define CINTERFACE
#define COBJMACROS
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/library/StdStr.h"

// Declared here rather than through core/system/DocumentScript.h, whose COM holders need the C++ form.
void ExecPageScript(IUnknown* page, const char* code, const char* language);
TStdStr<char> GetDocumentSource(IUnknown* page);

namespace {

HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }
ULONG STDMETHODCALLTYPE KeepAlive(void*) { return 1; }

// A function as another slot's type; the x64 calling convention lets a function that ignores its
// arguments stand in for any method.
template <typename Slot, typename Function>
Slot As(Function* function)
{
    return reinterpret_cast<Slot>(reinterpret_cast<void*>(function));
}

template <typename Vtbl>
void FillNotImplemented(Vtbl& table)
{
    void** slots = reinterpret_cast<void**>(&table);
    for (size_t i = 0; i < sizeof(table) / sizeof(void*); ++i)
        slots[i] = reinterpret_cast<void*>(&NotImplemented);
}

std::vector<std::string> g_calls;

IHTMLWindow2Vtbl g_windowTable;
IHTMLWindow2 g_window = {&g_windowTable};
IHTMLDocument2Vtbl g_documentTable;
IHTMLDocument2 g_document = {&g_documentTable};
IPersistStreamInitVtbl g_persistTable;
IPersistStreamInit g_persist = {&g_persistTable};
IWebBrowser2Vtbl g_browserTable;
IWebBrowser2 g_browser = {&g_browserTable};

HRESULT Answer(void* self, REFIID iid, void** out, REFIID own)
{
    if (IsEqualIID(iid, own) || IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = self;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE WindowQuery(IHTMLWindow2* self, REFIID iid, void** out)
{
    return Answer(self, iid, out, IID_IHTMLWindow2);
}
HRESULT STDMETHODCALLTYPE ExecScript(IHTMLWindow2*, BSTR code, BSTR language, VARIANT* result)
{
    g_calls.push_back("execScript " + TStdStr<char>(code) + " | " + TStdStr<char>(language));
    result->vt = VT_EMPTY;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentQuery(IHTMLDocument2* self, REFIID iid, void** out)
{
    if (IsEqualIID(iid, IID_IPersistStreamInit)) {
        *out = &g_persist;
        return S_OK;
    }
    return Answer(self, iid, out, IID_IHTMLDocument2);
}
HRESULT STDMETHODCALLTYPE GetScript(IHTMLDocument2*, IDispatch** script)
{
    *script = reinterpret_cast<IDispatch*>(&g_window);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistQuery(IPersistStreamInit* self, REFIID iid, void** out)
{
    return Answer(self, iid, out, IID_IPersistStreamInit);
}
HRESULT STDMETHODCALLTYPE PersistSave(IPersistStreamInit*, IStream* stream, BOOL)
{
    const char source[] = "<html><body>page</body></html>";
    ULONG written = 0;
    return IStream_Write(stream, source, sizeof(source) - 1, &written);
}

HRESULT STDMETHODCALLTYPE BrowserQuery(IWebBrowser2* self, REFIID iid, void** out)
{
    return Answer(self, iid, out, IID_IWebBrowser2);
}
HRESULT STDMETHODCALLTYPE GetDocument(IWebBrowser2*, IDispatch** document)
{
    *document = reinterpret_cast<IDispatch*>(&g_document);
    return S_OK;
}

class PageScript : public testing::Test {
protected:
    // Every slot E_NOTIMPL, then the object's own QueryInterface and a reference count that never
    // frees the static object.
    template <typename Vtbl, typename Query>
    static void Prepare(Vtbl& table, Query query)
    {
        FillNotImplemented(table);
        table.QueryInterface = query;
        table.AddRef = As<decltype(table.AddRef)>(&KeepAlive);
        table.Release = As<decltype(table.Release)>(&KeepAlive);
    }

    void SetUp() override
    {
        Prepare(g_windowTable, WindowQuery);
        g_windowTable.execScript = ExecScript;
        Prepare(g_documentTable, DocumentQuery);
        g_documentTable.get_Script = GetScript;
        Prepare(g_persistTable, PersistQuery);
        g_persistTable.Save = PersistSave;
        Prepare(g_browserTable, BrowserQuery);
        g_browserTable.get_Document = GetDocument;
        g_calls.clear();
    }
};

TEST_F(PageScript, RunsInTheWindowOfADocumentOrOfABrowsersDocument)
{
    ExecPageScript(reinterpret_cast<IUnknown*>(&g_document), "document.body.style.zoom='150%'", "JScript");
    ExecPageScript(reinterpret_cast<IUnknown*>(&g_browser), "x()", "");
    EXPECT_EQ((std::vector<std::string>{"execScript document.body.style.zoom='150%' | JScript", "execScript x() | "}),
              g_calls);
}

TEST_F(PageScript, FailuresOnTheWayAreSwallowed)
{
    g_documentTable.get_Script = As<decltype(g_documentTable.get_Script)>(&NotImplemented);
    ExecPageScript(reinterpret_cast<IUnknown*>(&g_document), "x()", "");
    g_browserTable.get_Document = As<decltype(g_browserTable.get_Document)>(&NotImplemented);
    ExecPageScript(reinterpret_cast<IUnknown*>(&g_browser), "x()", "");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ("", GetDocumentSource(reinterpret_cast<IUnknown*>(&g_browser)));
}

TEST_F(PageScript, SourceOfADocumentAndOfABrowsersDocument)
{
    EXPECT_EQ("<html><body>page</body></html>", GetDocumentSource(reinterpret_cast<IUnknown*>(&g_document)));
    EXPECT_EQ("<html><body>page</body></html>", GetDocumentSource(reinterpret_cast<IUnknown*>(&g_browser)));
}

} // namespace
