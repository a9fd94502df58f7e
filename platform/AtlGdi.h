// GDI wrappers. Each kind comes twice: the owning holder (CPen, CDC, ...) deletes its handle, the
// Handle form (CPenHandle, CDCHandle, ...) only wraps one. Owning holders cannot be copied; they can
// be moved (the object goes with the holder; a move assignment swaps, so the target's old object is
// deleted with the source). CGdiObjectSelector and CSaveDC select or save for a scope and restore at its end.
#pragma once
#include <windows.h>
#include <cstdlib>
#include <utility>
#include "platform/AtlHandleWrapper.h"
#include "platform/AtlTypes.h"

// A GDI object handle, owned or not.
template <class THandle>
struct CGdiObjectKind
{
    THandle m_hGdiObj = nullptr;
    THandle& Slot() noexcept { return m_hGdiObj; }
    THandle Slot() const noexcept { return m_hGdiObj; }
    static void Destroy(THandle handle) noexcept { ::DeleteObject(handle); }
};

template <class THandle, bool t_bManaged>
class CGdiObjectT : public TWrappedHandle<THandle, t_bManaged, CGdiObjectKind<THandle>>
{
public:
    using _Wrapped = TWrappedHandle<THandle, t_bManaged, CGdiObjectKind<THandle>>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CGdiObjectKind<THandle>::m_hGdiObj;
    BOOL DeleteObject() noexcept
    {
        const BOOL deleted = m_hGdiObj ? ::DeleteObject(m_hGdiObj) : FALSE;
        m_hGdiObj = nullptr;
        return deleted;
    }
    int GetObjectSize(int size, void* out) const noexcept { return ::GetObjectA(m_hGdiObj, size, out); }
};

template <bool t_bManaged>
class CPenT : public CGdiObjectT<HPEN, t_bManaged>
{
public:
    using CGdiObjectT<HPEN, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HPEN, t_bManaged>::operator=;
    HPEN CreatePen(int style, int width, COLORREF color) noexcept
    {
        this->Attach(::CreatePen(style, width, color));
        return this->m_hGdiObj;
    }
    HPEN CreatePenIndirect(const LOGPEN* logPen) noexcept
    {
        this->Attach(::CreatePenIndirect(logPen));
        return this->m_hGdiObj;
    }
    bool GetLogPen(LOGPEN* logPen) const noexcept { return this->GetObjectSize(sizeof(LOGPEN), logPen) == sizeof(LOGPEN); }
};
using CPen = CPenT<true>;
using CPenHandle = CPenT<false>;

template <bool t_bManaged>
class CBrushT : public CGdiObjectT<HBRUSH, t_bManaged>
{
public:
    using CGdiObjectT<HBRUSH, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HBRUSH, t_bManaged>::operator=;
    HBRUSH CreateSolidBrush(COLORREF color) noexcept
    {
        this->Attach(::CreateSolidBrush(color));
        return this->m_hGdiObj;
    }
    HBRUSH CreateHatchBrush(int index, COLORREF color) noexcept
    {
        this->Attach(::CreateHatchBrush(index, color));
        return this->m_hGdiObj;
    }
    HBRUSH CreatePatternBrush(HBITMAP bitmap) noexcept
    {
        this->Attach(::CreatePatternBrush(bitmap));
        return this->m_hGdiObj;
    }
    HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush) noexcept
    {
        this->Attach(::CreateBrushIndirect(logBrush));
        return this->m_hGdiObj;
    }
    HBRUSH CreateSysColorBrush(int index) noexcept
    {
        this->Attach(::GetSysColorBrush(index)); // system brushes are never deleted; Detach before the end
        return this->m_hGdiObj;
    }
    // A checkerboard of the two colours, for drag bars and dithered highlights.
    HBRUSH CreateHalftoneBrush() noexcept
    {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        if (!bitmap)
            return nullptr;
        this->Attach(::CreatePatternBrush(bitmap));
        ::DeleteObject(bitmap);
        return this->m_hGdiObj;
    }
    bool GetLogBrush(LOGBRUSH* logBrush) const noexcept
    {
        return this->GetObjectSize(sizeof(LOGBRUSH), logBrush) == sizeof(LOGBRUSH);
    }
};
using CBrush = CBrushT<true>;
using CBrushHandle = CBrushT<false>;

// A LOGFONT with the usual edits.
class CLogFont : public LOGFONTA
{
public:
    CLogFont() noexcept { ::ZeroMemory(static_cast<LOGFONTA*>(this), sizeof(LOGFONTA)); }
    CLogFont(const LOGFONTA& lf) noexcept { ::CopyMemory(static_cast<LOGFONTA*>(this), &lf, sizeof(LOGFONTA)); }
    explicit CLogFont(HFONT font) noexcept
    {
        ::ZeroMemory(static_cast<LOGFONTA*>(this), sizeof(LOGFONTA));
        ::GetObjectA(font, sizeof(LOGFONTA), static_cast<LOGFONTA*>(this));
    }
    HFONT CreateFontIndirect() const noexcept { return ::CreateFontIndirectA(this); }
    void SetBold() noexcept { lfWeight = FW_BOLD; }
    bool IsBold() const noexcept { return lfWeight >= FW_SEMIBOLD; }
    void MakeBolder(int scale = 1) noexcept { lfWeight += FW_BOLD * scale; }
    void MakeLarger(int scale) noexcept { lfHeight += lfHeight > 0 ? scale : -scale; }
    // Height from a size in points for the given DC (the screen when null).
    void SetHeight(LONG pointSize, HDC dc = nullptr) noexcept
    {
        HDC screen = dc ? dc : ::GetDC(nullptr);
        lfHeight = -::MulDiv(pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        if (!dc)
            ::ReleaseDC(nullptr, screen);
    }
};

template <bool t_bManaged>
class CFontT : public CGdiObjectT<HFONT, t_bManaged>
{
public:
    using CGdiObjectT<HFONT, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HFONT, t_bManaged>::operator=;
    HFONT CreateFontIndirect(const LOGFONTA* logFont) noexcept
    {
        this->Attach(::CreateFontIndirectA(logFont));
        return this->m_hGdiObj;
    }
    HFONT CreatePointFont(int pointSizeTenths, LPCSTR faceName, HDC dc = nullptr, bool bold = false,
                          bool italic = false) noexcept
    {
        CLogFont lf;
        HDC screen = dc ? dc : ::GetDC(nullptr);
        POINT pt = {0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), pointSizeTenths, 720)};
        POINT origin = {0, 0};
        if (dc) {
            ::DPtoLP(dc, &pt, 1);
            ::DPtoLP(dc, &origin, 1);
        }
        if (!dc)
            ::ReleaseDC(nullptr, screen);
        lf.lfHeight = -std::abs(pt.y - origin.y);
        lf.lfCharSet = DEFAULT_CHARSET;
        if (bold)
            lf.lfWeight = FW_BOLD;
        if (italic)
            lf.lfItalic = TRUE;
        ::lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
        return CreateFontIndirect(&lf);
    }
    bool GetLogFont(LOGFONTA* logFont) const noexcept
    {
        return this->GetObjectSize(sizeof(LOGFONTA), logFont) == sizeof(LOGFONTA);
    }
};
using CFont = CFontT<true>;
using CFontHandle = CFontT<false>;

template <bool t_bManaged>
class CBitmapT : public CGdiObjectT<HBITMAP, t_bManaged>
{
public:
    using CGdiObjectT<HBITMAP, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HBITMAP, t_bManaged>::operator=;
    HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) noexcept
    {
        this->Attach(::LoadBitmapA(instance, name));
        return this->m_hGdiObj;
    }
    HBITMAP LoadBitmap(HINSTANCE instance, UINT id) noexcept { return LoadBitmap(instance, MAKEINTRESOURCEA(id)); }
    HBITMAP LoadImage(HINSTANCE instance, LPCSTR name, UINT flags = LR_DEFAULTCOLOR, int cx = 0, int cy = 0) noexcept
    {
        this->Attach(static_cast<HBITMAP>(::LoadImageA(instance, name, IMAGE_BITMAP, cx, cy, flags)));
        return this->m_hGdiObj;
    }
    HBITMAP LoadOEMBitmap(UINT id) noexcept { return LoadBitmap(nullptr, MAKEINTRESOURCEA(id)); }
    HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) noexcept
    {
        this->Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
        return this->m_hGdiObj;
    }
    HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) noexcept
    {
        this->Attach(::CreateCompatibleBitmap(dc, width, height));
        return this->m_hGdiObj;
    }
    HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section = nullptr,
                             DWORD offset = 0) noexcept
    {
        this->Attach(::CreateDIBSection(dc, info, usage, bits, section, offset));
        return this->m_hGdiObj;
    }
    bool GetBitmap(BITMAP* bitmap) const noexcept { return this->GetObjectSize(sizeof(BITMAP), bitmap) == sizeof(BITMAP); }
    bool GetSize(SIZE& size) const noexcept
    {
        BITMAP bitmap = {};
        if (!GetBitmap(&bitmap))
            return false;
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
        return true;
    }
};
using CBitmap = CBitmapT<true>;
using CBitmapHandle = CBitmapT<false>;

template <bool t_bManaged>
class CRgnT : public CGdiObjectT<HRGN, t_bManaged>
{
public:
    using CGdiObjectT<HRGN, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HRGN, t_bManaged>::operator=;
    HRGN CreateRectRgn(int l, int t, int r, int b) noexcept
    {
        this->Attach(::CreateRectRgn(l, t, r, b));
        return this->m_hGdiObj;
    }
    HRGN CreateRectRgnIndirect(LPCRECT rc) noexcept
    {
        this->Attach(::CreateRectRgnIndirect(rc));
        return this->m_hGdiObj;
    }
    HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) noexcept
    {
        this->Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
        return this->m_hGdiObj;
    }
    HRGN CreateEllipticRgnIndirect(LPCRECT rc) noexcept
    {
        this->Attach(::CreateEllipticRgnIndirect(rc));
        return this->m_hGdiObj;
    }
    HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) noexcept
    {
        this->Attach(::CreatePolygonRgn(points, count, fillMode));
        return this->m_hGdiObj;
    }
    int CombineRgn(HRGN a, HRGN b, int mode) noexcept { return ::CombineRgn(this->m_hGdiObj, a, b, mode); }
    int CombineRgn(HRGN other, int mode) noexcept { return ::CombineRgn(this->m_hGdiObj, this->m_hGdiObj, other, mode); }
    int OffsetRgn(int dx, int dy) noexcept { return ::OffsetRgn(this->m_hGdiObj, dx, dy); }
    int GetRgnBox(LPRECT rc) const noexcept { return ::GetRgnBox(this->m_hGdiObj, rc); }
    BOOL PtInRegion(int x, int y) const noexcept { return ::PtInRegion(this->m_hGdiObj, x, y); }
    BOOL SetRectRgn(int l, int t, int r, int b) noexcept { return ::SetRectRgn(this->m_hGdiObj, l, t, r, b); }
};
using CRgn = CRgnT<true>;
using CRgnHandle = CRgnT<false>;

template <bool t_bManaged>
class CPaletteT : public CGdiObjectT<HPALETTE, t_bManaged>
{
public:
    using CGdiObjectT<HPALETTE, t_bManaged>::CGdiObjectT;
    using CGdiObjectT<HPALETTE, t_bManaged>::operator=;
    HPALETTE CreatePalette(const LOGPALETTE* logPalette) noexcept
    {
        this->Attach(::CreatePalette(logPalette));
        return this->m_hGdiObj;
    }
    HPALETTE CreateHalftonePalette(HDC dc) noexcept
    {
        this->Attach(::CreateHalftonePalette(dc));
        return this->m_hGdiObj;
    }
};
using CPalette = CPaletteT<true>;
using CPaletteHandle = CPaletteT<false>;

// Icons and cursors: destroyed with DestroyIcon/DestroyCursor, not DeleteObject.
struct CIconKind
{
    HICON m_hIcon = nullptr;
    HICON& Slot() noexcept { return m_hIcon; }
    HICON Slot() const noexcept { return m_hIcon; }
    static void Destroy(HICON icon) noexcept { ::DestroyIcon(icon); }
};

template <bool t_bManaged>
class CIconT : public TWrappedHandle<HICON, t_bManaged, CIconKind>
{
public:
    using _Wrapped = TWrappedHandle<HICON, t_bManaged, CIconKind>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CIconKind::m_hIcon;
    HICON LoadIcon(UINT id, int cx = 0, int cy = 0, UINT flags = LR_DEFAULTCOLOR, HINSTANCE instance = nullptr) noexcept;
    HICON LoadIcon(LPCSTR name, int cx, int cy, UINT flags, HINSTANCE instance) noexcept
    {
        Attach(static_cast<HICON>(::LoadImageA(instance, name, IMAGE_ICON, cx, cy, flags)));
        return m_hIcon;
    }
    HICON LoadIcon(LPCSTR name, int cx = 0, int cy = 0, UINT flags = LR_DEFAULTCOLOR) noexcept;
    HICON LoadOEMIcon(LPCSTR id) noexcept
    {
        Attach(::LoadIconA(nullptr, id));
        return m_hIcon;
    }
    HICON CopyIcon() const noexcept { return ::CopyIcon(m_hIcon); }
    BOOL DestroyIcon() noexcept
    {
        const BOOL destroyed = m_hIcon ? ::DestroyIcon(m_hIcon) : FALSE;
        m_hIcon = nullptr;
        return destroyed;
    }
    BOOL GetIconInfo(PICONINFO info) const noexcept { return ::GetIconInfo(m_hIcon, info); }
    BOOL DrawIcon(HDC dc, int x, int y) const noexcept { return ::DrawIcon(dc, x, y, m_hIcon); }
    BOOL DrawIconEx(HDC dc, int x, int y, int cx, int cy, UINT step = 0, HBRUSH background = nullptr,
                    UINT flags = DI_NORMAL) const noexcept
    {
        return ::DrawIconEx(dc, x, y, m_hIcon, cx, cy, step, background, flags);
    }
};
using CIcon = CIconT<true>;
using CIconHandle = CIconT<false>;

HINSTANCE AtlGetResourceInstance() noexcept;

template <bool t_bManaged>
HICON CIconT<t_bManaged>::LoadIcon(UINT id, int cx, int cy, UINT flags, HINSTANCE instance) noexcept
{
    return LoadIcon(MAKEINTRESOURCEA(id), cx, cy, flags, instance ? instance : AtlGetResourceInstance());
}

template <bool t_bManaged>
HICON CIconT<t_bManaged>::LoadIcon(LPCSTR name, int cx, int cy, UINT flags) noexcept
{
    return LoadIcon(name, cx, cy, flags, AtlGetResourceInstance());
}

struct CCursorKind
{
    HCURSOR m_hCursor = nullptr;
    HCURSOR& Slot() noexcept { return m_hCursor; }
    HCURSOR Slot() const noexcept { return m_hCursor; }
    static void Destroy(HCURSOR cursor) noexcept { ::DestroyCursor(cursor); }
};

template <bool t_bManaged>
class CCursorT : public TWrappedHandle<HCURSOR, t_bManaged, CCursorKind>
{
public:
    using _Wrapped = TWrappedHandle<HCURSOR, t_bManaged, CCursorKind>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CCursorKind::m_hCursor;
    HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) noexcept
    {
        Attach(static_cast<HCURSOR>(::LoadImageA(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
        return m_hCursor;
    }
    // A shared system cursor: never destroyed, so it is wrapped, not owned.
    HCURSOR LoadSysCursor(LPCSTR id) noexcept
    {
        Attach(nullptr);
        m_hCursor = t_bManaged ? static_cast<HCURSOR>(::CopyIcon(::LoadCursorA(nullptr, id))) : ::LoadCursorA(nullptr, id);
        return m_hCursor;
    }
    BOOL DestroyCursor() noexcept
    {
        const BOOL destroyed = m_hCursor ? ::DestroyCursor(m_hCursor) : FALSE;
        m_hCursor = nullptr;
        return destroyed;
    }
};
using CCursor = CCursorT<true>;
using CCursorHandle = CCursorT<false>;

// ---------------------------------------------------------------------------------------------
// Device contexts. CDC deletes a DC it created (CreateCompatibleDC); the DCs lent by a window are
// given back by CPaintDC, CClientDC and CWindowDC.

struct CDCKind
{
    HDC m_hDC = nullptr;
    HDC& Slot() noexcept { return m_hDC; }
    HDC Slot() const noexcept { return m_hDC; }
    static void Destroy(HDC dc) noexcept { ::DeleteDC(dc); }
};

template <bool t_bManaged>
class CDCT : public TWrappedHandle<HDC, t_bManaged, CDCKind>
{
public:
    using _Wrapped = TWrappedHandle<HDC, t_bManaged, CDCKind>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CDCKind::m_hDC;

    HDC CreateCompatibleDC(HDC dc = nullptr) noexcept
    {
        Attach(::CreateCompatibleDC(dc));
        return m_hDC;
    }
    BOOL DeleteDC() noexcept
    {
        if (!m_hDC)
            return FALSE;
        return ::DeleteDC(Detach());
    }
    int SaveDC() noexcept { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) noexcept { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const noexcept { return ::GetDeviceCaps(m_hDC, index); }
    HWND WindowFromDC() const noexcept { return ::WindowFromDC(m_hDC); }

    // Selection: each gives back what was selected before.
    HPEN SelectPen(HPEN pen) noexcept { return static_cast<HPEN>(::SelectObject(m_hDC, pen)); }
    HBRUSH SelectBrush(HBRUSH brush) noexcept { return static_cast<HBRUSH>(::SelectObject(m_hDC, brush)); }
    HFONT SelectFont(HFONT font) noexcept { return static_cast<HFONT>(::SelectObject(m_hDC, font)); }
    HBITMAP SelectBitmap(HBITMAP bitmap) noexcept { return static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap)); }
    int SelectRgn(HRGN rgn) noexcept { return ::SelectClipRgn(m_hDC, rgn); }
    HGDIOBJ SelectStockObject(int index) noexcept { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
    HPEN SelectStockPen(int index) noexcept { return SelectPen(static_cast<HPEN>(::GetStockObject(index))); }
    HBRUSH SelectStockBrush(int index) noexcept { return SelectBrush(static_cast<HBRUSH>(::GetStockObject(index))); }
    HFONT SelectStockFont(int index) noexcept { return SelectFont(static_cast<HFONT>(::GetStockObject(index))); }
    HPALETTE SelectPalette(HPALETTE palette, BOOL forceBackground) noexcept
    {
        return ::SelectPalette(m_hDC, palette, forceBackground);
    }
    UINT RealizePalette() noexcept { return ::RealizePalette(m_hDC); }
    HFONT GetCurrentFont() const noexcept { return static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)); }
    HBITMAP GetCurrentBitmap() const noexcept { return static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)); }

    // Colours and modes.
    COLORREF SetTextColor(COLORREF color) noexcept { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const noexcept { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) noexcept { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const noexcept { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) noexcept { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const noexcept { return ::GetBkMode(m_hDC); }
    int SetROP2(int mode) noexcept { return ::SetROP2(m_hDC, mode); }
    int SetStretchBltMode(int mode) noexcept { return ::SetStretchBltMode(m_hDC, mode); }
    int SetMapMode(int mode) noexcept { return ::SetMapMode(m_hDC, mode); }
    BOOL SetViewportOrg(int x, int y, LPPOINT old = nullptr) noexcept { return ::SetViewportOrgEx(m_hDC, x, y, old); }
    BOOL SetWindowOrg(int x, int y, LPPOINT old = nullptr) noexcept { return ::SetWindowOrgEx(m_hDC, x, y, old); }
    BOOL OffsetViewportOrg(int dx, int dy, LPPOINT old = nullptr) noexcept
    {
        return ::OffsetViewportOrgEx(m_hDC, dx, dy, old);
    }
    BOOL SetBrushOrg(int x, int y, LPPOINT old = nullptr) noexcept { return ::SetBrushOrgEx(m_hDC, x, y, old); }
    BOOL DPtoLP(LPPOINT points, int count = 1) const noexcept { return ::DPtoLP(m_hDC, points, count); }
    BOOL LPtoDP(LPPOINT points, int count = 1) const noexcept { return ::LPtoDP(m_hDC, points, count); }

    // Clipping.
    int GetClipBox(LPRECT rc) const noexcept { return ::GetClipBox(m_hDC, rc); }
    int IntersectClipRect(int l, int t, int r, int b) noexcept { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int IntersectClipRect(LPCRECT rc) noexcept { return ::IntersectClipRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    int ExcludeClipRect(int l, int t, int r, int b) noexcept { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
    int ExcludeClipRect(LPCRECT rc) noexcept { return ::ExcludeClipRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    int SelectClipRgn(HRGN rgn, int mode = RGN_COPY) noexcept { return ::ExtSelectClipRgn(m_hDC, rgn, mode); }
    BOOL PtVisible(int x, int y) const noexcept { return ::PtVisible(m_hDC, x, y); }
    BOOL RectVisible(LPCRECT rc) const noexcept { return ::RectVisible(m_hDC, rc); }

    // Drawing.
    BOOL MoveTo(int x, int y, LPPOINT old = nullptr) noexcept { return ::MoveToEx(m_hDC, x, y, old); }
    BOOL LineTo(int x, int y) noexcept { return ::LineTo(m_hDC, x, y); }
    BOOL Polyline(const POINT* points, int count) noexcept { return ::Polyline(m_hDC, points, count); }
    BOOL Polygon(const POINT* points, int count) noexcept { return ::Polygon(m_hDC, points, count); }
    BOOL Rectangle(int l, int t, int r, int b) noexcept { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT rc) noexcept { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h) noexcept { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
    BOOL Ellipse(int l, int t, int r, int b) noexcept { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL FillRect(LPCRECT rc, HBRUSH brush) noexcept { return ::FillRect(m_hDC, rc, brush); }
    BOOL FillRect(LPCRECT rc, int colorIndex) noexcept { return ::FillRect(m_hDC, rc, ::GetSysColorBrush(colorIndex)); }
    BOOL FrameRect(LPCRECT rc, HBRUSH brush) noexcept { return ::FrameRect(m_hDC, rc, brush); }
    BOOL InvertRect(LPCRECT rc) noexcept { return ::InvertRect(m_hDC, rc); }
    BOOL FillRgn(HRGN rgn, HBRUSH brush) noexcept { return ::FillRgn(m_hDC, rgn, brush); }
    BOOL FrameRgn(HRGN rgn, HBRUSH brush, int w, int h) noexcept { return ::FrameRgn(m_hDC, rgn, brush, w, h); }
    // A rectangle of one colour (ExtTextOut with an opaque background, the cheapest fill).
    void FillSolidRect(LPCRECT rc, COLORREF color) noexcept
    {
        const COLORREF old = ::SetBkColor(m_hDC, color);
        ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, old);
    }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) noexcept
    {
        RECT rc = {x, y, x + cx, y + cy};
        FillSolidRect(&rc, color);
    }
    void Draw3dRect(LPCRECT rc, COLORREF topLeft, COLORREF bottomRight) noexcept
    {
        const int x = rc->left, y = rc->top, cx = rc->right - rc->left, cy = rc->bottom - rc->top;
        FillSolidRect(x, y, cx - 1, 1, topLeft);
        FillSolidRect(x, y, 1, cy - 1, topLeft);
        FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
        FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
    }
    BOOL DrawEdge(LPRECT rc, UINT edge, UINT flags) noexcept { return ::DrawEdge(m_hDC, rc, edge, flags); }
    BOOL DrawFrameControl(LPRECT rc, UINT type, UINT state) noexcept { return ::DrawFrameControl(m_hDC, rc, type, state); }
    BOOL DrawFocusRect(LPCRECT rc) noexcept { return ::DrawFocusRect(m_hDC, rc); }
    BOOL DrawIcon(int x, int y, HICON icon) noexcept { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT step = 0, HBRUSH background = nullptr,
                    UINT flags = DI_NORMAL) noexcept
    {
        return ::DrawIconEx(m_hDC, x, y, icon, cx, cy, step, background, flags);
    }
    BOOL DrawState(POINT pt, SIZE size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr) noexcept
    {
        return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y, size.cx, size.cy,
                            flags | DST_BITMAP);
    }
    COLORREF GetPixel(int x, int y) const noexcept { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF color) noexcept { return ::SetPixel(m_hDC, x, y, color); }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) noexcept { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    BOOL BitBlt(int x, int y, int w, int h, HDC source, int xSrc, int ySrc, DWORD rop) noexcept
    {
        return ::BitBlt(m_hDC, x, y, w, h, source, xSrc, ySrc, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, HDC source, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) noexcept
    {
        return ::StretchBlt(m_hDC, x, y, w, h, source, xSrc, ySrc, wSrc, hSrc, rop);
    }
    BOOL TransparentBlt(int x, int y, int w, int h, HDC source, int xSrc, int ySrc, int wSrc, int hSrc,
                        UINT transparent) noexcept;

    // Text.
    BOOL TextOut(int x, int y, LPCSTR text, int count = -1) noexcept
    {
        return ::TextOutA(m_hDC, x, y, text, count < 0 ? ::lstrlenA(text) : count);
    }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rc, LPCSTR text, UINT count = static_cast<UINT>(-1),
                    const INT* dx = nullptr) noexcept
    {
        if (count == static_cast<UINT>(-1))
            count = text ? ::lstrlenA(text) : 0;
        return ::ExtTextOutA(m_hDC, x, y, options, rc, text, count, dx);
    }
    int DrawText(LPCSTR text, int count, LPRECT rc, UINT format) noexcept
    {
        return ::DrawTextA(m_hDC, text, count, rc, format);
    }
    int DrawText(LPSTR text, int count, LPRECT rc, UINT format) noexcept { return ::DrawTextA(m_hDC, text, count, rc, format); }
    BOOL GetTextExtent(LPCSTR text, int count, LPSIZE size) const noexcept
    {
        return ::GetTextExtentPoint32A(m_hDC, text, count < 0 ? ::lstrlenA(text) : count, size);
    }
    BOOL GetTextMetrics(LPTEXTMETRICA metrics) const noexcept { return ::GetTextMetricsA(m_hDC, metrics); }
    UINT SetTextAlign(UINT flags) noexcept { return ::SetTextAlign(m_hDC, flags); }
};
using CDC = CDCT<true>;
using CDCHandle = CDCT<false>;

template <bool t_bManaged>
BOOL CDCT<t_bManaged>::TransparentBlt(int x, int y, int w, int h, HDC source, int xSrc, int ySrc, int wSrc, int hSrc,
                                      UINT transparent) noexcept
{
    return ::TransparentBlt(m_hDC, x, y, w, h, source, xSrc, ySrc, wSrc, hSrc, transparent);
}

class CPaintDC : public CDCHandle
{
public:
    explicit CPaintDC(HWND hWnd) noexcept : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
};

class CClientDC : public CDCHandle
{
public:
    explicit CClientDC(HWND hWnd) noexcept : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HWND m_hWnd;
};

class CWindowDC : public CDCHandle
{
public:
    explicit CWindowDC(HWND hWnd) noexcept : m_hWnd(hWnd) { m_hDC = ::GetWindowDC(hWnd); }
    ~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HWND m_hWnd;
};

// Double buffering: draws into a bitmap the size of `rcPaint` and copies it to `dc` at the end.
class CMemoryDC : public CDC
{
public:
    CMemoryDC(HDC dc, const RECT& rcPaint) noexcept : m_hDCOriginal(dc), m_rcPaint(rcPaint)
    {
        CreateCompatibleDC(dc);
        m_bmp.CreateCompatibleBitmap(dc, m_rcPaint.Width(), m_rcPaint.Height());
        m_hBmpOld = SelectBitmap(m_bmp);
        SetViewportOrg(-m_rcPaint.left, -m_rcPaint.top);
    }
    ~CMemoryDC()
    {
        ::BitBlt(m_hDCOriginal, m_rcPaint.left, m_rcPaint.top, m_rcPaint.Width(), m_rcPaint.Height(), m_hDC,
                 m_rcPaint.left, m_rcPaint.top, SRCCOPY);
        SelectBitmap(m_hBmpOld);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC m_hDCOriginal;
    CRect m_rcPaint;
    CBitmap m_bmp;
    HBITMAP m_hBmpOld = nullptr;
};

// Selects a GDI object into a DC for a scope and puts back what was there before.
class CGdiObjectSelector
{
public:
    CGdiObjectSelector(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CGdiObjectSelector()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    CGdiObjectSelector(const CGdiObjectSelector&) = delete;
    CGdiObjectSelector& operator=(const CGdiObjectSelector&) = delete;
    HGDIOBJ GetOld() const noexcept { return m_old; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Saves a DC's whole state (objects, colours, modes, clipping) for a scope.
class CSaveDC
{
public:
    explicit CSaveDC(HDC dc) noexcept : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~CSaveDC()
    {
        if (m_saved)
            ::RestoreDC(m_dc, m_saved);
    }
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
