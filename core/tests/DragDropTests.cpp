// Drag and drop: the table of drop effects, a hand-written data object, and drag detection.
#include "core/system/Clipboard.h"
#include "core/system/DragDrop.h"
#include "platform/AtlCom.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

namespace {

TEST(DragDrop, DropEffects)
{
    const DWORD scroll = 0x80000000;
    const struct {
        DWORD keys;
        DWORD effect;
    } fromKeys[] = {
        {0, DROPEFFECT_MOVE | scroll},
        {MK_LBUTTON, DROPEFFECT_MOVE | scroll},
        {MK_CONTROL, DROPEFFECT_COPY | scroll},
        {MK_SHIFT, DROPEFFECT_MOVE | scroll},
        {MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK | scroll},
    };
    for (const auto& c : fromKeys)
        EXPECT_EQ(c.effect, DropEffectFromKeyState(c.keys)) << c.keys;

    const struct {
        DWORD allowed;
        DWORD result;
    } filtered[] = {
        {DROPEFFECT_COPY, DROPEFFECT_COPY},
        {DROPEFFECT_COPY | scroll, DROPEFFECT_COPY | scroll},
        {DROPEFFECT_LINK, DROPEFFECT_LINK},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, 0},
        {DROPEFFECT_MOVE, 0},
        {DROPEFFECT_NONE, 0},
        {scroll, 0},
    };
    for (const auto& c : filtered)
        EXPECT_EQ(c.result, FilterDropEffect(c.allowed)) << c.allowed;
}

// A data object that offers CF_HDROP with two files and a URL text.
class CFakeDataObject : public CComObjectRootEx<CComSingleThreadModel>, public IDataObject {
public:
    BEGIN_COM_MAP(CFakeDataObject)
        COM_INTERFACE_ENTRY(IDataObject)
    END_COM_MAP()

    bool offerFiles = true;

    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        if (format->cfFormat == CF_HDROP) {
            const char files[] = "C:\\a.txt\0C:\\b c.htm\0";
            medium->hGlobal = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(files));
            auto* drop = static_cast<DROPFILES*>(GlobalLock(medium->hGlobal));
            drop->pFiles = sizeof(DROPFILES);
            memcpy(drop + 1, files, sizeof(files));
            GlobalUnlock(medium->hGlobal);
        } else {
            // Text without a terminator within the block: the reader must stop at its end.
            const char url[] = "http://example.org/";
            medium->hGlobal = GlobalAlloc(GHND, sizeof(url) - 1);
            memcpy(GlobalLock(medium->hGlobal), url, sizeof(url) - 1);
            GlobalUnlock(medium->hGlobal);
        }
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC* format) override
    {
        if (format->cfFormat == CF_HDROP)
            return offerFiles ? S_OK : DV_E_FORMATETC;
        return format->cfFormat == GetClipboardFormats().url ? S_OK : DV_E_FORMATETC;
    }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHOD(SetData)(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(EnumFormatEtc)(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(DUnadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

TEST(DragDrop, DataObjectsWithFilesAndUrls)
{
    CComObjectStackEx<CFakeDataObject> data;
    EXPECT_TRUE(IsDataObjectDroppable(&data));
    std::vector<TStdStr<char>> files;
    ASSERT_TRUE(GetDataObjectFiles(&data, files));
    EXPECT_EQ((std::vector<TStdStr<char>>{"C:\\a.txt", "C:\\b c.htm"}), files);
    EXPECT_EQ("http://example.org/", GetDataObjectText(&data, GetClipboardFormats().url));
    EXPECT_EQ("", GetDataObjectText(&data, CF_TEXT));

    data.offerFiles = false;
    files.clear();
    EXPECT_FALSE(GetDataObjectFiles(&data, files));
    EXPECT_TRUE(IsDataObjectDroppable(&data)) << "the URL alone is enough";
    EXPECT_FALSE(IsDataObjectDroppable(nullptr));

    const ClipboardFormats& formats = GetClipboardFormats();
    EXPECT_EQ(RegisterClipboardFormatA("HTML Format"), formats.html);
    EXPECT_EQ(RegisterClipboardFormatA("FileGroupDescriptor"), formats.fileGroupDescriptor);
}

TEST(DragDrop, DragDetectionEndsOnLeavingReleasingEscapeOrTheDelay)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
    const RECT start = {140, 140, 160, 160}; // in screen coordinates; the window's client starts at 100,100
    CDragDetector detector;
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool drag;
    } cases[] = {
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(45, 45), false}, // inside, then the release below ends it
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 45), true},  // left the rectangle
        {WM_LBUTTONUP, 0, MAKELPARAM(45, 45), false},
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(45, 45), false},
        {WM_KEYDOWN, VK_ESCAPE, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        PostMessageA(window, c.message, c.wParam, c.lParam);
        if (c.message == WM_MOUSEMOVE && !c.drag)
            PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(45, 45));
        EXPECT_EQ(c.drag, detector.DetectDrag(window, &start, false));
        EXPECT_NE(window, GetCapture()) << "the capture is given back";
        MSG left;
        while (PeekMessageA(&left, window, 0, 0, PM_REMOVE)) {
        }
    }
    // With the time limit the drag starts once the delay has passed, without any mouse message.
    const DWORD begin = GetTickCount();
    EXPECT_TRUE(detector.DetectDrag(window, &start, true));
    EXPECT_GE(GetTickCount() - begin + 20, static_cast<DWORD>(GetDragDetectSettings().delay));
    DestroyWindow(window);
}

} // namespace
