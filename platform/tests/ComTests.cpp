// COM objects and holders: reference counts, the interface map, aggregation, class registration.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <stdexcept>
#include "platform/AtlCom.h"
#include "platform/tests/RecordingReporter.h"

namespace {

// {6B1B2A5E-1D3C-4F7A-9E61-3C2B8D0F4A11}
const CLSID CLSID_KivoPlatformTestObject = {0x6b1b2a5e, 0x1d3c, 0x4f7a, {0x9e, 0x61, 0x3c, 0x2b, 0x8d, 0x0f, 0x4a, 0x11}};

int g_liveObjects = 0;

// Two interfaces that both derive from IPersist, so IPersist needs COM_INTERFACE_ENTRY2.
class CTestObject : public CComObjectRootEx<CComSingleThreadModel>,
                    public CComCoClass<CTestObject, &CLSID_KivoPlatformTestObject>,
                    public IPersistStream,
                    public IPersistFile,
                    public IOleWindow
{
public:
    BEGIN_COM_MAP(CTestObject)
        COM_INTERFACE_ENTRY(IPersistStream)
        COM_INTERFACE_ENTRY(IPersistFile)
        COM_INTERFACE_ENTRY2(IPersist, IPersistFile)
        COM_INTERFACE_ENTRY_IID(IID_IOleWindow, IOleWindow)
    END_COM_MAP()

    HRESULT FinalConstruct()
    {
        ++g_liveObjects;
        // Handing itself out and back during construction must not end the object.
        CComPtr<IPersistFile> self;
        return QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&self));
    }
    void FinalRelease() { --g_liveObjects; }

    STDMETHOD(GetClassID)(CLSID* clsid) override
    {
        *clsid = CLSID_KivoPlatformTestObject;
        return S_OK;
    }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(IStream*) override { return E_NOTIMPL; }
    STDMETHOD(Save)(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(Load)(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Save)(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(SaveCompleted)(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHOD(GetCurFile)(LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(GetWindow)(HWND* hWnd) override
    {
        *hWnd = nullptr;
        return S_OK;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
};

// An object whose FinalConstruct fails (or throws, when told so) must not survive its creation.
bool g_finalConstructThrows = false;

class CFailingObject : public CComObjectRootEx<CComMultiThreadModel>, public IOleWindow
{
public:
    BEGIN_COM_MAP(CFailingObject)
        COM_INTERFACE_ENTRY(IOleWindow)
    END_COM_MAP()
    HRESULT FinalConstruct()
    {
        if (g_finalConstructThrows)
            throw std::runtime_error("construction failed");
        return E_OUTOFMEMORY;
    }
    STDMETHOD(GetWindow)(HWND*) override { return E_NOTIMPL; }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
};

ULONG RefCount(IUnknown* unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

TEST(PlatformCom, ReferenceCountsAndQueryInterfaceOverTheMap)
{
    const LONG locksBefore = AtlModuleGetLockCount();
    CComObject<CTestObject>* object = nullptr;
    ASSERT_EQ(S_OK, CComObject<CTestObject>::CreateInstance(&object));
    EXPECT_EQ(1, g_liveObjects);
    EXPECT_EQ(locksBefore + 1, AtlModuleGetLockCount());
    {
        CComPtr<IPersistStream> stream(object);
        EXPECT_EQ(1u, RefCount(stream));
        CComQIPtr<IPersistFile> file(stream);
        ASSERT_TRUE(file);
        EXPECT_EQ(2u, RefCount(stream));
        CComQIPtr<IPersist> persist(file);
        ASSERT_TRUE(persist);
        EXPECT_EQ(static_cast<IPersist*>(static_cast<IPersistFile*>(object)), persist.p);
        CComQIPtr<IOleWindow> window(persist);
        EXPECT_TRUE(window);
        CComQIPtr<IDispatch> none(persist);
        EXPECT_FALSE(none);
        // Every interface reports the same identity.
        CComQIPtr<IUnknown> a(file), b(window);
        EXPECT_EQ(a.p, b.p);
        EXPECT_TRUE(file.IsEqualObject(window));
        void* raw = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, stream->QueryInterface(IID_IClassFactory, &raw));
        EXPECT_EQ(nullptr, raw);
        EXPECT_EQ(1, g_liveObjects);
    }
    EXPECT_EQ(0, g_liveObjects);
    EXPECT_EQ(locksBefore, AtlModuleGetLockCount());

    CComObject<CFailingObject>* failing = nullptr;
    EXPECT_EQ(E_OUTOFMEMORY, CComObject<CFailingObject>::CreateInstance(&failing));
    EXPECT_EQ(nullptr, failing);
    EXPECT_EQ(locksBefore, AtlModuleGetLockCount());

    // A FinalConstruct that throws fails the creation, and is reported.
    CRecordingReporter reporter;
    g_finalConstructThrows = true;
    EXPECT_EQ(E_UNEXPECTED, CComObject<CFailingObject>::CreateInstance(&failing));
    g_finalConstructThrows = false;
    EXPECT_EQ(nullptr, failing);
    EXPECT_EQ(locksBefore, AtlModuleGetLockCount());
    ASSERT_EQ(1u, reporter.Texts().size());
    EXPECT_NE(std::string::npos, reporter.Texts()[0].find("construction failed"));
}

BEGIN_OBJECT_MAP(g_testObjectMap)
    OBJECT_ENTRY(CLSID_KivoPlatformTestObject, CTestObject)
END_OBJECT_MAP()

TEST(PlatformCom, ClassObjectRegisteredAndCreatedBack)
{
    CComModule module;
    ASSERT_EQ(S_OK, module.Init(g_testObjectMap, ::GetModuleHandleA(nullptr)));
    ASSERT_EQ(S_OK, module.RegisterClassObjects(CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE));
    {
        CComPtr<IPersistFile> file;
        ASSERT_EQ(S_OK, file.CoCreateInstance(CLSID_KivoPlatformTestObject, nullptr, CLSCTX_INPROC_SERVER));
        CLSID clsid = CLSID_NULL;
        EXPECT_EQ(S_OK, file->GetClassID(&clsid));
        EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_KivoPlatformTestObject));
        EXPECT_EQ(1, g_liveObjects);

        // Aggregation is refused, by the factory and by the creator.
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_KivoPlatformTestObject, CLSCTX_INPROC_SERVER, nullptr,
                                           IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        IUnknown* inner = nullptr;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(file, IID_IUnknown, reinterpret_cast<void**>(&inner)));
        EXPECT_EQ(nullptr, inner);
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  CTestObject::_CreatorClass::CreateInstance(file.p, IID_IUnknown, reinterpret_cast<void**>(&inner)));
        const LONG locks = AtlModuleGetLockCount();
        factory->LockServer(TRUE);
        EXPECT_EQ(locks + 1, AtlModuleGetLockCount());
        factory->LockServer(FALSE);
        EXPECT_EQ(locks, AtlModuleGetLockCount());
    }
    EXPECT_EQ(0, g_liveObjects);
    EXPECT_EQ(S_OK, module.RevokeClassObjects());
    EXPECT_EQ(nullptr, g_testObjectMap[0].pCF);
    CComPtr<IPersistFile> gone;
    EXPECT_NE(S_OK, gone.CoCreateInstance(CLSID_KivoPlatformTestObject, nullptr, CLSCTX_INPROC_SERVER));
}

TEST(PlatformCom, SmartPointerAssignmentsKeepCountsRight)
{
    CComObject<CTestObject>* object = nullptr;
    ASSERT_EQ(S_OK, CComObject<CTestObject>::CreateInstance(&object));
    CComPtr<IPersistFile> a(object);
    CComPtr<IPersistFile> b;
    b = a;
    EXPECT_EQ(2u, RefCount(a));
    b = b; // self-assignment changes nothing
    EXPECT_EQ(2u, RefCount(a));
    CComPtr<IPersistFile> c(std::move(b));
    EXPECT_EQ(nullptr, b.p);
    EXPECT_EQ(2u, RefCount(a));
    c = std::move(c);
    EXPECT_EQ(2u, RefCount(a));
    c.Release();
    a.Release();
    EXPECT_EQ(0, g_liveObjects);
}

TEST(PlatformCom, BstrAndVariantHolders)
{
    CComBSTR text("abc");
    EXPECT_EQ(3u, text.Length());
    EXPECT_TRUE(text == L"abc");
    text.Append(L"de");
    text += CComBSTR("f");
    EXPECT_TRUE(text == L"abcdef");
    CComBSTR copy(text);
    EXPECT_NE(copy.m_str, text.m_str);
    copy = copy;
    copy = text;
    EXPECT_TRUE(copy == L"abcdef");
    EXPECT_TRUE(copy == text.m_str);
    CComBSTR empty;
    EXPECT_TRUE(empty == L""); // a null BSTR is an empty string
    EXPECT_TRUE(empty == nullptr);
    EXPECT_FALSE(text == nullptr);
    BSTR detached = copy.Detach();
    EXPECT_EQ(nullptr, copy.m_str);
    ::SysFreeString(detached);

    CComVariant number(42);
    EXPECT_EQ(VT_I4, number.vt);
    EXPECT_EQ(S_OK, number.ChangeType(VT_BSTR));
    EXPECT_STREQ(L"42", number.bstrVal);
    CComVariant flag(true);
    EXPECT_EQ(VT_BOOL, flag.vt);
    EXPECT_EQ(VARIANT_TRUE, flag.boolVal);
    CComVariant ansi("x y");
    EXPECT_TRUE(ansi == CComVariant(L"x y"));
    EXPECT_FALSE(ansi == CComVariant(L"x"));
    CComVariant moved;
    VARIANT raw;
    ::VariantInit(&raw);
    ansi.Detach(&raw);
    EXPECT_EQ(VT_EMPTY, ansi.vt);
    moved.Attach(&raw);
    EXPECT_STREQ(L"x y", moved.bstrVal);
}

} // namespace
