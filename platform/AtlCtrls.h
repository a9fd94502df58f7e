// Thin wrappers over the standard and common controls: each sends the control's messages with
// typed arguments. CXxxT<TBase> lets a window implementation derive from a control wrapper
// (CWindowImpl<T, CListViewCtrl>); CXxx is the wrapper over CWindow.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "platform/AtlHandleWrapper.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

// ---------------------------------------------------------------------------------------------
// Image lists: CImageList wraps a handle and destroys it only when told (Destroy); CImageListManaged
// destroys it with itself.

struct CImageListKind
{
    HIMAGELIST m_hImageList = nullptr;
    HIMAGELIST& Slot() noexcept { return m_hImageList; }
    HIMAGELIST Slot() const noexcept { return m_hImageList; }
    static void Destroy(HIMAGELIST imageList) noexcept { ::ImageList_Destroy(imageList); }
};

template <bool t_bManaged>
class CImageListT : public TWrappedHandle<HIMAGELIST, t_bManaged, CImageListKind>
{
public:
    using _Wrapped = TWrappedHandle<HIMAGELIST, t_bManaged, CImageListKind>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CImageListKind::m_hImageList;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) noexcept
    {
        Attach(::ImageList_Create(cx, cy, flags, initial, grow));
        return m_hImageList != nullptr;
    }
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask) noexcept
    {
        Attach(::ImageList_LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(bitmapId), cx, grow, mask,
                                      IMAGE_BITMAP, LR_CREATEDIBSECTION));
        return m_hImageList != nullptr;
    }
    BOOL CreateFromImage(LPCSTR image, int cx, int grow, COLORREF mask, UINT type, UINT flags = LR_DEFAULTCOLOR) noexcept
    {
        Attach(::ImageList_LoadImageA(AtlGetResourceInstance(), image, cx, grow, mask, type, flags));
        return m_hImageList != nullptr;
    }
    BOOL Destroy() noexcept
    {
        if (!m_hImageList)
            return FALSE;
        const BOOL destroyed = ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return destroyed;
    }
    HIMAGELIST Duplicate() const noexcept { return ::ImageList_Duplicate(m_hImageList); }

    int GetImageCount() const noexcept { return ::ImageList_GetImageCount(m_hImageList); }
    BOOL SetImageCount(UINT count) noexcept { return ::ImageList_SetImageCount(m_hImageList, count); }
    COLORREF GetBkColor() const noexcept { return ::ImageList_GetBkColor(m_hImageList); }
    COLORREF SetBkColor(COLORREF color) noexcept { return ::ImageList_SetBkColor(m_hImageList, color); }
    BOOL GetImageInfo(int image, IMAGEINFO* info) const noexcept { return ::ImageList_GetImageInfo(m_hImageList, image, info); }
    HICON GetIcon(int index, UINT flags = ILD_NORMAL) const noexcept { return ::ImageList_GetIcon(m_hImageList, index, flags); }
    BOOL GetIconSize(int& cx, int& cy) const noexcept { return ::ImageList_GetIconSize(m_hImageList, &cx, &cy); }
    BOOL GetIconSize(SIZE& size) const noexcept
    {
        int cx = 0, cy = 0;
        const BOOL ok = ::ImageList_GetIconSize(m_hImageList, &cx, &cy);
        size.cx = cx;
        size.cy = cy;
        return ok;
    }
    BOOL SetIconSize(int cx, int cy) noexcept { return ::ImageList_SetIconSize(m_hImageList, cx, cy); }

    int Add(HBITMAP bitmap, HBITMAP mask = nullptr) noexcept { return ::ImageList_Add(m_hImageList, bitmap, mask); }
    int Add(HBITMAP bitmap, COLORREF mask) noexcept { return ::ImageList_AddMasked(m_hImageList, bitmap, mask); }
    int AddMasked(HBITMAP bitmap, COLORREF mask) noexcept { return ::ImageList_AddMasked(m_hImageList, bitmap, mask); }
    int AddIcon(HICON icon) noexcept { return ::ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int ReplaceIcon(int index, HICON icon) noexcept { return ::ImageList_ReplaceIcon(m_hImageList, index, icon); }
    BOOL Replace(int index, HBITMAP bitmap, HBITMAP mask) noexcept
    {
        return ::ImageList_Replace(m_hImageList, index, bitmap, mask);
    }
    BOOL Remove(int index) noexcept { return ::ImageList_Remove(m_hImageList, index); }
    BOOL RemoveAll() noexcept { return ::ImageList_RemoveAll(m_hImageList); }
    BOOL SetOverlayImage(int image, int overlay) noexcept { return ::ImageList_SetOverlayImage(m_hImageList, image, overlay); }
    BOOL Copy(int dest, int source, UINT flags = ILCF_MOVE) noexcept
    {
        return ::ImageList_Copy(m_hImageList, dest, m_hImageList, source, flags);
    }

    BOOL Draw(HDC dc, int image, int x, int y, UINT style) const noexcept
    {
        return ::ImageList_Draw(m_hImageList, image, dc, x, y, style);
    }
    BOOL Draw(HDC dc, int image, POINT pt, UINT style) const noexcept { return Draw(dc, image, pt.x, pt.y, style); }
    BOOL DrawEx(int image, HDC dc, int x, int y, int dx, int dy, COLORREF background, COLORREF foreground,
                UINT style) const noexcept
    {
        return ::ImageList_DrawEx(m_hImageList, image, dc, x, y, dx, dy, background, foreground, style);
    }
    BOOL DrawIndirect(IMAGELISTDRAWPARAMS* params) const noexcept
    {
        params->himl = m_hImageList;
        return ::ImageList_DrawIndirect(params);
    }

    // Dragging.
    BOOL BeginDrag(int image, int xHotspot, int yHotspot) noexcept
    {
        return ::ImageList_BeginDrag(m_hImageList, image, xHotspot, yHotspot);
    }
    static void EndDrag() noexcept { ::ImageList_EndDrag(); }
    static BOOL DragMove(int x, int y) noexcept { return ::ImageList_DragMove(x, y); }
    static BOOL DragEnter(HWND lock, int x, int y) noexcept { return ::ImageList_DragEnter(lock, x, y); }
    static BOOL DragLeave(HWND lock) noexcept { return ::ImageList_DragLeave(lock); }
    static BOOL DragShowNolock(BOOL show) noexcept { return ::ImageList_DragShowNolock(show); }
};
using CImageList = CImageListT<false>;
using CImageListManaged = CImageListT<true>;

// ---------------------------------------------------------------------------------------------
// Standard controls.

template <class TBase>
class CStaticT : public TBase
{
public:
    CStaticT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CStaticT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return "STATIC"; }
    HICON GetIcon() const noexcept { return reinterpret_cast<HICON>(this->SendMessage(STM_GETICON)); }
    HICON SetIcon(HICON icon) noexcept { return reinterpret_cast<HICON>(this->SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
    HBITMAP GetBitmap() const noexcept { return reinterpret_cast<HBITMAP>(this->SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
    HBITMAP SetBitmap(HBITMAP bitmap) noexcept
    {
        return reinterpret_cast<HBITMAP>(this->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};
using CStatic = CStaticT<CWindow>;

template <class TBase>
class CButtonT : public TBase
{
public:
    CButtonT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CButtonT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return "BUTTON"; }
    UINT GetState() const noexcept { return static_cast<UINT>(this->SendMessage(BM_GETSTATE)); }
    void SetState(BOOL highlight) noexcept { this->SendMessage(BM_SETSTATE, highlight); }
    int GetCheck() const noexcept { return static_cast<int>(this->SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) noexcept { this->SendMessage(BM_SETCHECK, check); }
    UINT GetButtonStyle() const noexcept { return static_cast<UINT>(this->GetStyle()) & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) noexcept { this->SendMessage(BM_SETSTYLE, style, redraw); }
    HICON GetIcon() const noexcept { return reinterpret_cast<HICON>(this->SendMessage(BM_GETIMAGE, IMAGE_ICON)); }
    HICON SetIcon(HICON icon) noexcept
    {
        return reinterpret_cast<HICON>(this->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
    HBITMAP SetBitmap(HBITMAP bitmap) noexcept
    {
        return reinterpret_cast<HBITMAP>(this->SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    void Click() noexcept { this->SendMessage(BM_CLICK); }
};
using CButton = CButtonT<CWindow>;

template <class TBase>
class CEditT : public TBase
{
public:
    CEditT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CEditT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return "EDIT"; }
    BOOL CanUndo() const noexcept { return static_cast<BOOL>(this->SendMessage(EM_CANUNDO)); }
    int GetLineCount() const noexcept { return static_cast<int>(this->SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const noexcept { return static_cast<BOOL>(this->SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) noexcept { this->SendMessage(EM_SETMODIFY, modified); }
    void GetSel(int& start, int& end) const noexcept
    {
        this->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    DWORD GetSel() const noexcept { return static_cast<DWORD>(this->SendMessage(EM_GETSEL)); }
    void SetSel(int start, int end, BOOL noScroll = FALSE) noexcept
    {
        this->SendMessage(EM_SETSEL, start, end);
        if (!noScroll)
            this->SendMessage(EM_SCROLLCARET);
    }
    void SetSelAll(BOOL noScroll = FALSE) noexcept { SetSel(0, -1, noScroll); }
    void SetSelNone(BOOL noScroll = FALSE) noexcept { SetSel(-1, 0, noScroll); }
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) noexcept
    {
        this->SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void AppendText(LPCSTR text, BOOL noScroll = FALSE, BOOL canUndo = FALSE) noexcept
    {
        const int length = this->GetWindowTextLength();
        SetSel(length, length, noScroll);
        ReplaceSel(text, canUndo);
    }
    UINT GetLimitText() const noexcept { return static_cast<UINT>(this->SendMessage(EM_GETLIMITTEXT)); }
    void SetLimitText(UINT max) noexcept { this->SendMessage(EM_SETLIMITTEXT, max); }
    void LimitText(int max = 0) noexcept { this->SendMessage(EM_LIMITTEXT, max); }
    DWORD GetMargins() const noexcept { return static_cast<DWORD>(this->SendMessage(EM_GETMARGINS)); }
    void SetMargins(UINT left, UINT right, WORD flags = EC_LEFTMARGIN | EC_RIGHTMARGIN) noexcept
    {
        this->SendMessage(EM_SETMARGINS, flags, MAKELONG(left, right));
    }
    BOOL SetReadOnly(BOOL readOnly = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(EM_SETREADONLY, readOnly)); }
    void SetPasswordChar(char ch) noexcept { this->SendMessage(EM_SETPASSWORDCHAR, static_cast<BYTE>(ch)); }
    int LineFromChar(int index = -1) const noexcept { return static_cast<int>(this->SendMessage(EM_LINEFROMCHAR, index)); }
    int LineIndex(int line = -1) const noexcept { return static_cast<int>(this->SendMessage(EM_LINEINDEX, line)); }
    int LineLength(int line = -1) const noexcept { return static_cast<int>(this->SendMessage(EM_LINELENGTH, line)); }
    void LineScroll(int lines, int chars = 0) noexcept { this->SendMessage(EM_LINESCROLL, chars, lines); }
    void ScrollCaret() noexcept { this->SendMessage(EM_SCROLLCARET); }
    BOOL Undo() noexcept { return static_cast<BOOL>(this->SendMessage(EM_UNDO)); }
    void EmptyUndoBuffer() noexcept { this->SendMessage(EM_EMPTYUNDOBUFFER); }
    void Clear() noexcept { this->SendMessage(WM_CLEAR); }
    void Copy() noexcept { this->SendMessage(WM_COPY); }
    void Cut() noexcept { this->SendMessage(WM_CUT); }
    void Paste() noexcept { this->SendMessage(WM_PASTE); }
};
using CEdit = CEditT<CWindow>;

template <class TBase>
class CListBoxT : public TBase
{
public:
    CListBoxT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CListBoxT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return "LISTBOX"; }
    int GetCount() const noexcept { return static_cast<int>(this->SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) noexcept { return static_cast<int>(this->SendMessage(LB_SETCURSEL, index)); }
    int GetSel(int index) const noexcept { return static_cast<int>(this->SendMessage(LB_GETSEL, index)); }
    int SetSel(int index, BOOL select = TRUE) noexcept { return static_cast<int>(this->SendMessage(LB_SETSEL, select, index)); }
    int GetSelCount() const noexcept { return static_cast<int>(this->SendMessage(LB_GETSELCOUNT)); }
    int GetSelItems(int max, LPINT items) const noexcept
    {
        return static_cast<int>(this->SendMessage(LB_GETSELITEMS, max, reinterpret_cast<LPARAM>(items)));
    }
    int GetTopIndex() const noexcept { return static_cast<int>(this->SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) noexcept { return static_cast<int>(this->SendMessage(LB_SETTOPINDEX, index)); }
    DWORD_PTR GetItemData(int index) const noexcept { return static_cast<DWORD_PTR>(this->SendMessage(LB_GETITEMDATA, index)); }
    int SetItemData(int index, DWORD_PTR data) noexcept
    {
        return static_cast<int>(this->SendMessage(LB_SETITEMDATA, index, static_cast<LPARAM>(data)));
    }
    int GetText(int index, LPSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)));
    }
    int GetTextLen(int index) const noexcept { return static_cast<int>(this->SendMessage(LB_GETTEXTLEN, index)); }
    int GetItemHeight(int index) const noexcept { return static_cast<int>(this->SendMessage(LB_GETITEMHEIGHT, index)); }
    int SetItemHeight(int index, UINT height) noexcept
    {
        return static_cast<int>(this->SendMessage(LB_SETITEMHEIGHT, index, MAKELONG(height, 0)));
    }
    int GetItemRect(int index, LPRECT rc) const noexcept
    {
        return static_cast<int>(this->SendMessage(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    int AddString(LPCSTR text) noexcept { return static_cast<int>(this->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int InsertString(int index, LPCSTR text) noexcept
    {
        return static_cast<int>(this->SendMessage(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(UINT index) noexcept { return static_cast<int>(this->SendMessage(LB_DELETESTRING, index)); }
    void ResetContent() noexcept { this->SendMessage(LB_RESETCONTENT); }
    int FindString(int startAfter, LPCSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(LB_FINDSTRING, startAfter, reinterpret_cast<LPARAM>(text)));
    }
    int FindStringExact(int startAfter, LPCSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(LB_FINDSTRINGEXACT, startAfter, reinterpret_cast<LPARAM>(text)));
    }
    int SelectString(int startAfter, LPCSTR text) noexcept
    {
        return static_cast<int>(this->SendMessage(LB_SELECTSTRING, startAfter, reinterpret_cast<LPARAM>(text)));
    }
};
using CListBox = CListBoxT<CWindow>;

template <class TBase>
class CComboBoxT : public TBase
{
public:
    CComboBoxT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CComboBoxT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return "COMBOBOX"; }
    int GetCount() const noexcept { return static_cast<int>(this->SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) noexcept { return static_cast<int>(this->SendMessage(CB_SETCURSEL, index)); }
    DWORD_PTR GetItemData(int index) const noexcept { return static_cast<DWORD_PTR>(this->SendMessage(CB_GETITEMDATA, index)); }
    int SetItemData(int index, DWORD_PTR data) noexcept
    {
        return static_cast<int>(this->SendMessage(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
    }
    int GetLBText(int index, LPSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)));
    }
    int GetLBTextLen(int index) const noexcept { return static_cast<int>(this->SendMessage(CB_GETLBTEXTLEN, index)); }
    int GetItemHeight(int index) const noexcept { return static_cast<int>(this->SendMessage(CB_GETITEMHEIGHT, index)); }
    int SetItemHeight(int index, UINT height) noexcept { return static_cast<int>(this->SendMessage(CB_SETITEMHEIGHT, index, height)); }
    BOOL GetDroppedState() const noexcept { return static_cast<BOOL>(this->SendMessage(CB_GETDROPPEDSTATE)); }
    void ShowDropDown(BOOL show = TRUE) noexcept { this->SendMessage(CB_SHOWDROPDOWN, show); }
    int GetDroppedWidth() const noexcept { return static_cast<int>(this->SendMessage(CB_GETDROPPEDWIDTH)); }
    int SetDroppedWidth(UINT width) noexcept { return static_cast<int>(this->SendMessage(CB_SETDROPPEDWIDTH, width)); }
    BOOL GetComboBoxInfo(PCOMBOBOXINFO info) const noexcept { return ::GetComboBoxInfo(this->m_hWnd, info); }
    DWORD GetEditSel() const noexcept { return static_cast<DWORD>(this->SendMessage(CB_GETEDITSEL)); }
    BOOL SetEditSel(int start, int end) noexcept { return static_cast<BOOL>(this->SendMessage(CB_SETEDITSEL, 0, MAKELONG(start, end))); }
    BOOL LimitText(int max) noexcept { return static_cast<BOOL>(this->SendMessage(CB_LIMITTEXT, max)); }
    int AddString(LPCSTR text) noexcept { return static_cast<int>(this->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int InsertString(int index, LPCSTR text) noexcept
    {
        return static_cast<int>(this->SendMessage(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(UINT index) noexcept { return static_cast<int>(this->SendMessage(CB_DELETESTRING, index)); }
    void ResetContent() noexcept { this->SendMessage(CB_RESETCONTENT); }
    int FindString(int startAfter, LPCSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(CB_FINDSTRING, startAfter, reinterpret_cast<LPARAM>(text)));
    }
    int FindStringExact(int startAfter, LPCSTR text) const noexcept
    {
        return static_cast<int>(this->SendMessage(CB_FINDSTRINGEXACT, startAfter, reinterpret_cast<LPARAM>(text)));
    }
    int SelectString(int startAfter, LPCSTR text) noexcept
    {
        return static_cast<int>(this->SendMessage(CB_SELECTSTRING, startAfter, reinterpret_cast<LPARAM>(text)));
    }
};
using CComboBox = CComboBoxT<CWindow>;

template <class TBase>
class CComboBoxExT : public CComboBoxT<TBase>
{
public:
    CComboBoxExT(HWND hWnd = nullptr) noexcept : CComboBoxT<TBase>(hWnd) {}
    CComboBoxExT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return WC_COMBOBOXEXA; }
    HIMAGELIST GetImageList() const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(CBEM_GETIMAGELIST)); }
    HIMAGELIST SetImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    DWORD GetExtendedStyle() const noexcept { return static_cast<DWORD>(this->SendMessage(CBEM_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD mask, DWORD style) noexcept
    {
        return static_cast<DWORD>(this->SendMessage(CBEM_SETEXTENDEDSTYLE, mask, style));
    }
    BOOL HasEditChanged() const noexcept { return static_cast<BOOL>(this->SendMessage(CBEM_HASEDITCHANGED)); }
    HWND GetEditCtrl() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(CBEM_GETEDITCONTROL)); }
    HWND GetComboCtrl() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(CBEM_GETCOMBOCONTROL)); }
    int InsertItem(const COMBOBOXEXITEMA* item) noexcept
    {
        return static_cast<int>(this->SendMessage(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, LPCSTR text, int image, int selectedImage, int indent, LPARAM lParam = 0) noexcept
    {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT | CBEIF_LPARAM;
        item.iItem = index;
        item.pszText = const_cast<LPSTR>(text);
        item.iImage = image;
        item.iSelectedImage = selectedImage;
        item.iIndent = indent;
        item.lParam = lParam;
        return InsertItem(&item);
    }
    int AddItem(LPCSTR text, int image, int selectedImage, int indent, LPARAM lParam = 0) noexcept
    {
        return InsertItem(-1, text, image, selectedImage, indent, lParam);
    }
    int DeleteItem(int index) noexcept { return static_cast<int>(this->SendMessage(CBEM_DELETEITEM, index)); }
    BOOL GetItem(COMBOBOXEXITEMA* item) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(const COMBOBOXEXITEMA* item) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
};
using CComboBoxEx = CComboBoxExT<CWindow>;

// ---------------------------------------------------------------------------------------------
// List view, tree view and header.

template <class TBase>
class CHeaderCtrlT : public TBase
{
public:
    CHeaderCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CHeaderCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return WC_HEADERA; }
    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(HDM_GETITEMCOUNT)); }
    BOOL GetItem(int index, HDITEMA* item) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(HDM_GETITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(int index, const HDITEMA* item) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(HDM_SETITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, const HDITEMA* item) noexcept
    {
        return static_cast<int>(this->SendMessage(HDM_INSERTITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    BOOL DeleteItem(int index) noexcept { return static_cast<BOOL>(this->SendMessage(HDM_DELETEITEM, index)); }
    BOOL GetItemRect(int index, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    HIMAGELIST GetImageList() const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(HDM_GETIMAGELIST)); }
    HIMAGELIST SetImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    BOOL GetOrderArray(int count, int* order) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order)));
    }
    BOOL SetOrderArray(int count, const int* order) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(HDM_SETORDERARRAY, count, reinterpret_cast<LPARAM>(order)));
    }
    int HitTest(HDHITTESTINFO* info) const noexcept
    {
        return static_cast<int>(this->SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
};
using CHeaderCtrl = CHeaderCtrlT<CWindow>;

template <class TBase>
class CListViewCtrlT : public TBase
{
public:
    CListViewCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CListViewCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return WC_LISTVIEWA; }

    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(LVM_GETITEMCOUNT)); }
    BOOL SetItemCount(int count) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_SETITEMCOUNT, count)); }
    BOOL SetItemCountEx(int count, DWORD flags) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_SETITEMCOUNT, count, flags));
    }
    DWORD GetExtendedListViewStyle() const noexcept
    {
        return static_cast<DWORD>(this->SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
    }
    DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) noexcept
    {
        return static_cast<DWORD>(this->SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
    }
    HIMAGELIST GetImageList(int kind) const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(LVM_GETIMAGELIST, kind)); }
    HIMAGELIST SetImageList(HIMAGELIST imageList, int kind) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(imageList)));
    }
    HWND GetHeader() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(LVM_GETHEADER)); }
    COLORREF GetBkColor() const noexcept { return static_cast<COLORREF>(this->SendMessage(LVM_GETBKCOLOR)); }
    BOOL SetBkColor(COLORREF color) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_SETBKCOLOR, 0, color)); }
    BOOL SetTextColor(COLORREF color) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_SETTEXTCOLOR, 0, color)); }
    BOOL SetTextBkColor(COLORREF color) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_SETTEXTBKCOLOR, 0, color)); }

    // Columns.
    int InsertColumn(int index, const LVCOLUMNA* column) noexcept
    {
        return static_cast<int>(this->SendMessage(LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(column)));
    }
    int InsertColumn(int index, LPCSTR text, int format = LVCFMT_LEFT, int width = -1, int subItem = -1) noexcept
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = const_cast<LPSTR>(text);
        column.fmt = format;
        if (width != -1) {
            column.mask |= LVCF_WIDTH;
            column.cx = width;
        }
        if (subItem != -1) {
            column.mask |= LVCF_SUBITEM;
            column.iSubItem = subItem;
        }
        return InsertColumn(index, &column);
    }
    BOOL DeleteColumn(int index) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_DELETECOLUMN, index)); }
    BOOL GetColumn(int index, LVCOLUMNA* column) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(column)));
    }
    BOOL SetColumn(int index, const LVCOLUMNA* column) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_SETCOLUMNA, index, reinterpret_cast<LPARAM>(column)));
    }
    int GetColumnWidth(int index) const noexcept { return static_cast<int>(this->SendMessage(LVM_GETCOLUMNWIDTH, index)); }
    BOOL SetColumnWidth(int index, int width) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)));
    }
    BOOL GetColumnOrderArray(int count, int* order) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order)));
    }

    // Items.
    int InsertItem(const LVITEMA* item) noexcept
    {
        return static_cast<int>(this->SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, LPCSTR text, int image = -1) noexcept
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<LPSTR>(text);
        if (image != -1) {
            item.mask |= LVIF_IMAGE;
            item.iImage = image;
        }
        return InsertItem(&item);
    }
    int AddItem(int index, int subItem, LPCSTR text, int image = -1) noexcept
    {
        if (subItem == 0)
            return InsertItem(index, text, image);
        return SetItemText(index, subItem, text) ? index : -1;
    }
    BOOL DeleteItem(int index) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_DELETEITEM, index)); }
    BOOL DeleteAllItems() noexcept { return static_cast<BOOL>(this->SendMessage(LVM_DELETEALLITEMS)); }
    BOOL GetItem(LVITEMA* item) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(const LVITEMA* item) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item)));
    }
    int GetItemText(int index, int subItem, LPSTR text, int max) const noexcept
    {
        LVITEMA item = {};
        item.iSubItem = subItem;
        item.pszText = text;
        item.cchTextMax = max;
        return static_cast<int>(this->SendMessage(LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL SetItemText(int index, int subItem, LPCSTR text) noexcept
    {
        LVITEMA item = {};
        item.iSubItem = subItem;
        item.pszText = const_cast<LPSTR>(text);
        return static_cast<BOOL>(this->SendMessage(LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
    }
    DWORD_PTR GetItemData(int index) const noexcept
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        GetItem(&item);
        return static_cast<DWORD_PTR>(item.lParam);
    }
    BOOL SetItemData(int index, DWORD_PTR data) noexcept
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        item.lParam = static_cast<LPARAM>(data);
        return SetItem(&item);
    }
    UINT GetItemState(int index, UINT mask) const noexcept
    {
        return static_cast<UINT>(this->SendMessage(LVM_GETITEMSTATE, index, mask));
    }
    BOOL SetItemState(int index, UINT state, UINT mask) noexcept
    {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        return static_cast<BOOL>(this->SendMessage(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL SelectItem(int index) noexcept
    {
        SetItemState(-1, 0, LVIS_SELECTED);
        const BOOL selected = SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EnsureVisible(index, FALSE);
        return selected;
    }
    int GetSelectedIndex() const noexcept { return GetNextItem(-1, LVNI_SELECTED); }
    UINT GetSelectedCount() const noexcept { return static_cast<UINT>(this->SendMessage(LVM_GETSELECTEDCOUNT)); }
    int GetNextItem(int index, int flags) const noexcept { return static_cast<int>(this->SendMessage(LVM_GETNEXTITEM, index, MAKELPARAM(flags, 0))); }
    BOOL GetCheckState(int index) const noexcept { return ((GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) - 1) != 0; }
    BOOL SetCheckState(int index, BOOL check) noexcept
    {
        return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    BOOL GetItemRect(int index, LPRECT rc, UINT code) const noexcept
    {
        rc->left = code;
        return static_cast<BOOL>(this->SendMessage(LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    BOOL GetSubItemRect(int index, int subItem, int code, LPRECT rc) const noexcept
    {
        rc->top = subItem;
        rc->left = code;
        return static_cast<BOOL>(this->SendMessage(LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    int HitTest(LVHITTESTINFO* info) const noexcept
    {
        return static_cast<int>(this->SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    int HitTest(POINT pt, UINT* flags) const noexcept
    {
        LVHITTESTINFO info = {};
        info.pt = pt;
        const int index = HitTest(&info);
        if (flags)
            *flags = info.flags;
        return index;
    }
    int SubItemHitTest(LVHITTESTINFO* info) const noexcept
    {
        return static_cast<int>(this->SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    BOOL EnsureVisible(int index, BOOL partialOK) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_ENSUREVISIBLE, index, MAKELPARAM(partialOK, 0)));
    }
    BOOL RedrawItems(int first, int last) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_REDRAWITEMS, first, last)); }
    BOOL Update(int index) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_UPDATE, index)); }
    int GetTopIndex() const noexcept { return static_cast<int>(this->SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const noexcept { return static_cast<int>(this->SendMessage(LVM_GETCOUNTPERPAGE)); }
    BOOL Scroll(SIZE size) noexcept { return static_cast<BOOL>(this->SendMessage(LVM_SCROLL, size.cx, size.cy)); }
    BOOL SortItems(PFNLVCOMPARE compare, LPARAM data) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare)));
    }
    int FindItem(LVFINDINFOA* info, int start) const noexcept
    {
        return static_cast<int>(this->SendMessage(LVM_FINDITEMA, start, reinterpret_cast<LPARAM>(info)));
    }
    HWND EditLabel(int index) noexcept { return reinterpret_cast<HWND>(this->SendMessage(LVM_EDITLABELA, index)); }
    HWND GetEditControl() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(LVM_GETEDITCONTROL)); }
};
using CListViewCtrl = CListViewCtrlT<CWindow>;

template <class TBase>
class CTreeViewCtrlT : public TBase
{
public:
    CTreeViewCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CTreeViewCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return WC_TREEVIEWA; }

    UINT GetCount() const noexcept { return static_cast<UINT>(this->SendMessage(TVM_GETCOUNT)); }
    HIMAGELIST GetImageList(int kind = TVSIL_NORMAL) const noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TVM_GETIMAGELIST, kind));
    }
    HIMAGELIST SetImageList(HIMAGELIST imageList, int kind = TVSIL_NORMAL) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(imageList)));
    }
    HTREEITEM InsertItem(const TVINSERTSTRUCTA* insert) noexcept
    {
        return reinterpret_cast<HTREEITEM>(this->SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(insert)));
    }
    HTREEITEM InsertItem(LPCSTR text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after) noexcept
    {
        return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, image, selectedImage, 0, 0, 0, parent, after);
    }
    HTREEITEM InsertItem(LPCSTR text, HTREEITEM parent, HTREEITEM after) noexcept
    {
        return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, after);
    }
    HTREEITEM InsertItem(UINT mask, LPCSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                         LPARAM lParam, HTREEITEM parent, HTREEITEM after) noexcept
    {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = mask;
        insert.item.pszText = const_cast<LPSTR>(text);
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
        insert.item.state = state;
        insert.item.stateMask = stateMask;
        insert.item.lParam = lParam;
        return InsertItem(&insert);
    }
    BOOL DeleteItem(HTREEITEM item) noexcept { return static_cast<BOOL>(this->SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL DeleteAllItems() noexcept { return DeleteItem(TVI_ROOT); }
    BOOL Expand(HTREEITEM item, UINT code = TVE_EXPAND) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const noexcept
    {
        return reinterpret_cast<HTREEITEM>(this->SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetChildItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetRootItem() const noexcept { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetSelectedItem() const noexcept { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const noexcept { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    BOOL Select(HTREEITEM item, UINT code) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TVM_SELECTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SelectItem(HTREEITEM item) noexcept { return Select(item, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM item) noexcept { return Select(item, TVGN_DROPHILITE); }
    BOOL GetItem(TVITEMA* item) const noexcept { return static_cast<BOOL>(this->SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL SetItem(const TVITEMA* item) noexcept { return static_cast<BOOL>(this->SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL GetItemText(HTREEITEM handle, LPSTR text, int max) const noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_TEXT;
        item.pszText = text;
        item.cchTextMax = max;
        return GetItem(&item);
    }
    BOOL SetItemText(HTREEITEM handle, LPCSTR text) noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_TEXT;
        item.pszText = const_cast<LPSTR>(text);
        return SetItem(&item);
    }
    DWORD_PTR GetItemData(HTREEITEM handle) const noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_PARAM;
        GetItem(&item);
        return static_cast<DWORD_PTR>(item.lParam);
    }
    BOOL SetItemData(HTREEITEM handle, DWORD_PTR data) noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_PARAM;
        item.lParam = static_cast<LPARAM>(data);
        return SetItem(&item);
    }
    BOOL SetItemImage(HTREEITEM handle, int image, int selectedImage) noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.iImage = image;
        item.iSelectedImage = selectedImage;
        return SetItem(&item);
    }
    UINT GetItemState(HTREEITEM item, UINT mask) const noexcept
    {
        return static_cast<UINT>(this->SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    BOOL SetItemState(HTREEITEM handle, UINT state, UINT mask) noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_STATE;
        item.state = state;
        item.stateMask = mask;
        return SetItem(&item);
    }
    BOOL GetItemRect(HTREEITEM item, LPRECT rc, BOOL textOnly) const noexcept
    {
        *reinterpret_cast<HTREEITEM*>(rc) = item;
        return static_cast<BOOL>(this->SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rc)));
    }
    BOOL ItemHasChildren(HTREEITEM handle) const noexcept
    {
        TVITEMA item = {};
        item.hItem = handle;
        item.mask = TVIF_CHILDREN;
        GetItem(&item);
        return item.cChildren;
    }
    HTREEITEM HitTest(TVHITTESTINFO* info) const noexcept
    {
        return reinterpret_cast<HTREEITEM>(this->SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    HTREEITEM HitTest(POINT pt, UINT* flags) const noexcept
    {
        TVHITTESTINFO info = {};
        info.pt = pt;
        HTREEITEM item = HitTest(&info);
        if (flags)
            *flags = info.flags;
        return item;
    }
    BOOL EnsureVisible(HTREEITEM item) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)));
    }
    HWND EditLabel(HTREEITEM item) noexcept
    {
        return reinterpret_cast<HWND>(this->SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SortChildren(HTREEITEM item, BOOL recurse = FALSE) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TVM_SORTCHILDREN, recurse, reinterpret_cast<LPARAM>(item)));
    }
    UINT GetIndent() const noexcept { return static_cast<UINT>(this->SendMessage(TVM_GETINDENT)); }
    void SetIndent(UINT indent) noexcept { this->SendMessage(TVM_SETINDENT, indent); }
    int GetItemHeight() const noexcept { return static_cast<int>(this->SendMessage(TVM_GETITEMHEIGHT)); }
    int SetItemHeight(int height) noexcept { return static_cast<int>(this->SendMessage(TVM_SETITEMHEIGHT, height)); }
};
using CTreeViewCtrl = CTreeViewCtrlT<CWindow>;

// ---------------------------------------------------------------------------------------------
// Tab control.

template <class TBase>
class CTabCtrlT : public TBase
{
public:
    CTabCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CTabCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return WC_TABCONTROLA; }
    int GetItemCount() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETITEMCOUNT)); }
    HIMAGELIST GetImageList() const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(TCM_GETIMAGELIST)); }
    HIMAGELIST SetImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    BOOL GetItem(int index, TCITEMA* item) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TCM_GETITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(int index, const TCITEMA* item) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TCM_SETITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, const TCITEMA* item) noexcept
    {
        return static_cast<int>(this->SendMessage(TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(item)));
    }
    int InsertItem(int index, LPCSTR text, int image = -1, LPARAM lParam = 0) noexcept
    {
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<LPSTR>(text);
        item.lParam = lParam;
        if (image != -1) {
            item.mask |= TCIF_IMAGE;
            item.iImage = image;
        }
        return InsertItem(index, &item);
    }
    int AddItem(LPCSTR text, int image = -1) noexcept { return InsertItem(GetItemCount(), text, image); }
    BOOL DeleteItem(int index) noexcept { return static_cast<BOOL>(this->SendMessage(TCM_DELETEITEM, index)); }
    BOOL DeleteAllItems() noexcept { return static_cast<BOOL>(this->SendMessage(TCM_DELETEALLITEMS)); }
    BOOL GetItemRect(int index, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    int GetCurSel() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) noexcept { return static_cast<int>(this->SendMessage(TCM_SETCURSEL, index)); }
    int GetCurFocus() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETCURFOCUS)); }
    void SetCurFocus(int index) noexcept { this->SendMessage(TCM_SETCURFOCUS, index); }
    SIZE SetItemSize(SIZE size) noexcept
    {
        const DWORD old = static_cast<DWORD>(this->SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy)));
        return SIZE{GET_X_LPARAM_SAFE(old), GET_Y_LPARAM_SAFE(old)};
    }
    void SetPadding(SIZE size) noexcept { this->SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
    int GetRowCount() const noexcept { return static_cast<int>(this->SendMessage(TCM_GETROWCOUNT)); }
    HWND GetToolTips() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(TCM_GETTOOLTIPS)); }
    void SetToolTips(HWND toolTip) noexcept { this->SendMessage(TCM_SETTOOLTIPS, reinterpret_cast<WPARAM>(toolTip)); }
    int SetMinTabWidth(int width = -1) noexcept { return static_cast<int>(this->SendMessage(TCM_SETMINTABWIDTH, 0, width)); }
    void AdjustRect(BOOL larger, LPRECT rc) noexcept { this->SendMessage(TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(rc)); }
    void RemoveImage(int image) noexcept { this->SendMessage(TCM_REMOVEIMAGE, image); }
    int HitTest(TCHITTESTINFO* info) const noexcept
    {
        return static_cast<int>(this->SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    DWORD GetExtendedStyle() const noexcept { return static_cast<DWORD>(this->SendMessage(TCM_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD mask, DWORD style) noexcept
    {
        return static_cast<DWORD>(this->SendMessage(TCM_SETEXTENDEDSTYLE, mask, style));
    }

private:
    static LONG GET_X_LPARAM_SAFE(DWORD value) noexcept { return static_cast<short>(LOWORD(value)); }
    static LONG GET_Y_LPARAM_SAFE(DWORD value) noexcept { return static_cast<short>(HIWORD(value)); }
};
using CTabCtrl = CTabCtrlT<CWindow>;

// ---------------------------------------------------------------------------------------------
// Bars: tool bar, rebar, status bar, tooltips.

template <class TBase>
class CToolTipCtrlT;

// A TOOLINFO filled from its usual arguments.
class CToolInfo : public TOOLINFOA
{
public:
    CToolInfo(UINT flags, HWND hWnd, UINT_PTR id = 0, LPRECT rc = nullptr, LPSTR text = LPSTR_TEXTCALLBACKA,
              LPARAM lParamIn = 0) noexcept
    {
        ::ZeroMemory(static_cast<TOOLINFOA*>(this), sizeof(TOOLINFOA));
        cbSize = sizeof(TOOLINFOA);
        uFlags = flags;
        if (id == 0) {
            uId = reinterpret_cast<UINT_PTR>(hWnd);
            uFlags |= TTF_IDISHWND;
        } else {
            uId = id;
        }
        this->hwnd = hWnd;
        if (rc)
            rect = *rc;
        lpszText = text;
        lParam = lParamIn;
    }
    operator LPTOOLINFOA() noexcept { return this; }
};

template <class TBase>
class CToolTipCtrlT : public TBase
{
public:
    CToolTipCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CToolTipCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return TOOLTIPS_CLASSA; }
    HWND Create(HWND parent, _U_RECT rect = nullptr, LPCSTR name = nullptr, DWORD style = WS_POPUP | TTS_ALWAYSTIP,
                DWORD exStyle = 0, _U_MENUorID menuOrId = 0U, LPVOID createParam = nullptr) noexcept
    {
        return TBase::Create(GetWndClassName(), parent, rect, name, style, exStyle, menuOrId, createParam);
    }
    BOOL AddTool(LPTOOLINFOA info) noexcept { return static_cast<BOOL>(this->SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(info))); }
    BOOL AddTool(HWND hWnd, LPCSTR text = LPSTR_TEXTCALLBACKA, LPCRECT rc = nullptr, UINT_PTR id = 0) noexcept
    {
        CToolInfo info(TTF_SUBCLASS, hWnd, id, const_cast<LPRECT>(rc), const_cast<LPSTR>(text));
        return AddTool(&info);
    }
    void DelTool(LPTOOLINFOA info) noexcept { this->SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(info)); }
    void DelTool(HWND hWnd, UINT_PTR id = 0) noexcept
    {
        CToolInfo info(0, hWnd, id, nullptr, nullptr);
        DelTool(&info);
    }
    BOOL GetToolInfo(LPTOOLINFOA info) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(info)));
    }
    void SetToolInfo(LPTOOLINFOA info) noexcept { this->SendMessage(TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(info)); }
    void SetToolRect(LPTOOLINFOA info) noexcept { this->SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(info)); }
    void SetToolRect(HWND hWnd, UINT_PTR id, LPCRECT rc) noexcept
    {
        CToolInfo info(0, hWnd, id, const_cast<LPRECT>(rc), nullptr);
        SetToolRect(&info);
    }
    void UpdateTipText(LPTOOLINFOA info) noexcept { this->SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(info)); }
    void UpdateTipText(LPCSTR text, HWND hWnd, UINT_PTR id = 0) noexcept
    {
        CToolInfo info(0, hWnd, id, nullptr, const_cast<LPSTR>(text));
        UpdateTipText(&info);
    }
    void RelayEvent(LPMSG msg) noexcept { this->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    void Activate(BOOL activate) noexcept { this->SendMessage(TTM_ACTIVATE, activate); }
    void SetDelayTime(DWORD kind, int time) noexcept { this->SendMessage(TTM_SETDELAYTIME, kind, MAKELPARAM(time, 0)); }
    int GetDelayTime(DWORD kind) const noexcept { return static_cast<int>(this->SendMessage(TTM_GETDELAYTIME, kind)); }
    int SetMaxTipWidth(int width) noexcept { return static_cast<int>(this->SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
    void TrackActivate(LPTOOLINFOA info, BOOL activate) noexcept
    {
        this->SendMessage(TTM_TRACKACTIVATE, activate, reinterpret_cast<LPARAM>(info));
    }
    void TrackPosition(int x, int y) noexcept { this->SendMessage(TTM_TRACKPOSITION, 0, MAKELPARAM(x, y)); }
    void Pop() noexcept { this->SendMessage(TTM_POP); }
    void Update() noexcept { this->SendMessage(TTM_UPDATE); }
    int GetToolCount() const noexcept { return static_cast<int>(this->SendMessage(TTM_GETTOOLCOUNT)); }
};
using CToolTipCtrl = CToolTipCtrlT<CWindow>;

template <class TBase>
class CToolBarCtrlT : public TBase
{
public:
    CToolBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CToolBarCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return TOOLBARCLASSNAMEA; }
    HWND Create(HWND parent, _U_RECT rect = nullptr, LPCSTR name = nullptr, DWORD style = 0, DWORD exStyle = 0,
                _U_MENUorID menuOrId = 0U, LPVOID createParam = nullptr) noexcept
    {
        return TBase::Create(GetWndClassName(), parent, rect, name, style, exStyle, menuOrId, createParam);
    }

    void SetButtonStructSize(int size = sizeof(TBBUTTON)) noexcept { this->SendMessage(TB_BUTTONSTRUCTSIZE, size); }
    int GetButtonCount() const noexcept { return static_cast<int>(this->SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetButton(int index, LPTBBUTTON button) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(button)));
    }
    int GetButtonInfo(int id, LPTBBUTTONINFOA info) const noexcept
    {
        return static_cast<int>(this->SendMessage(TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(info)));
    }
    BOOL SetButtonInfo(int id, LPTBBUTTONINFOA info) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_SETBUTTONINFOA, id, reinterpret_cast<LPARAM>(info)));
    }
    BOOL GetItemRect(int index, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)));
    }
    BOOL GetRect(int id, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_GETRECT, id, reinterpret_cast<LPARAM>(rc)));
    }
    int CommandToIndex(UINT id) const noexcept { return static_cast<int>(this->SendMessage(TB_COMMANDTOINDEX, id)); }
    BOOL AddButtons(int count, LPCTBBUTTON buttons) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons)));
    }
    BOOL InsertButton(int index, LPCTBBUTTON button) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_INSERTBUTTONA, index, reinterpret_cast<LPARAM>(button)));
    }
    BOOL DeleteButton(int index) noexcept { return static_cast<BOOL>(this->SendMessage(TB_DELETEBUTTON, index)); }
    BOOL MoveButton(UINT from, UINT to) noexcept { return static_cast<BOOL>(this->SendMessage(TB_MOVEBUTTON, from, to)); }
    int AddBitmap(int count, UINT bitmapId) noexcept
    {
        TBADDBITMAP add = {AtlGetResourceInstance(), bitmapId};
        return static_cast<int>(this->SendMessage(TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&add)));
    }
    int AddStrings(LPCSTR strings) noexcept { return static_cast<int>(this->SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(strings))); }
    BOOL EnableButton(int id, BOOL enable = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(TB_ENABLEBUTTON, id, MAKELPARAM(enable, 0))); }
    BOOL CheckButton(int id, BOOL check = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(TB_CHECKBUTTON, id, MAKELPARAM(check, 0))); }
    BOOL PressButton(int id, BOOL press = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(TB_PRESSBUTTON, id, MAKELPARAM(press, 0))); }
    BOOL HideButton(int id, BOOL hide = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(TB_HIDEBUTTON, id, MAKELPARAM(hide, 0))); }
    BOOL Indeterminate(int id, BOOL indeterminate = TRUE) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_INDETERMINATE, id, MAKELPARAM(indeterminate, 0)));
    }
    BOOL IsButtonEnabled(int id) const noexcept { return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONENABLED, id)); }
    BOOL IsButtonChecked(int id) const noexcept { return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONCHECKED, id)); }
    BOOL IsButtonPressed(int id) const noexcept { return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONPRESSED, id)); }
    BOOL IsButtonHidden(int id) const noexcept { return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONHIDDEN, id)); }
    int GetState(int id) const noexcept { return static_cast<int>(this->SendMessage(TB_GETSTATE, id)); }
    BOOL SetState(int id, UINT state) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETSTATE, id, MAKELPARAM(state, 0))); }
    HIMAGELIST GetImageList() const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_GETIMAGELIST)); }
    HIMAGELIST SetImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    HIMAGELIST GetHotImageList() const noexcept { return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_GETHOTIMAGELIST)); }
    HIMAGELIST SetHotImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    HIMAGELIST GetDisabledImageList() const noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_GETDISABLEDIMAGELIST));
    }
    HIMAGELIST SetDisabledImageList(HIMAGELIST imageList) noexcept
    {
        return reinterpret_cast<HIMAGELIST>(this->SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList)));
    }
    DWORD GetExtendedStyle() const noexcept { return static_cast<DWORD>(this->SendMessage(TB_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD style) noexcept { return static_cast<DWORD>(this->SendMessage(TB_SETEXTENDEDSTYLE, 0, style)); }
    void AutoSize() noexcept { this->SendMessage(TB_AUTOSIZE); }
    BOOL SetButtonSize(int cx, int cy) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(cx, cy))); }
    BOOL SetBitmapSize(int cx, int cy) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy))); }
    DWORD GetButtonSize() const noexcept { return static_cast<DWORD>(this->SendMessage(TB_GETBUTTONSIZE)); }
    int GetHotItem() const noexcept { return static_cast<int>(this->SendMessage(TB_GETHOTITEM)); }
    int SetHotItem(int index) noexcept { return static_cast<int>(this->SendMessage(TB_SETHOTITEM, index)); }
    BOOL GetMaxSize(LPSIZE size) const noexcept { return static_cast<BOOL>(this->SendMessage(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(size))); }
    int GetRows() const noexcept { return static_cast<int>(this->SendMessage(TB_GETROWS)); }
    HWND GetToolTips() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(TB_GETTOOLTIPS)); }
    void SetToolTips(HWND toolTip) noexcept { this->SendMessage(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(toolTip)); }
    void SetNotifyWnd(HWND hWnd) noexcept { this->SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(hWnd)); }
    int HitTest(LPPOINT pt) const noexcept { return static_cast<int>(this->SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(pt))); }
    BOOL SetDrawTextFlags(DWORD mask, DWORD flags) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(TB_SETDRAWTEXTFLAGS, mask, flags));
    }
    BOOL SetIndent(int indent) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETINDENT, indent)); }
    BOOL SetMaxTextRows(int rows) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETMAXTEXTROWS, rows)); }
    void Customize() noexcept { this->SendMessage(TB_CUSTOMIZE); }
    BOOL GetAnchorHighlight() const noexcept { return static_cast<BOOL>(this->SendMessage(TB_GETANCHORHIGHLIGHT)); }
    BOOL SetAnchorHighlight(BOOL anchor = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(TB_SETANCHORHIGHLIGHT, anchor)); }
};
using CToolBarCtrl = CToolBarCtrlT<CWindow>;

// The command bar answers this query with its own window handle (the mingw headers lack it).
#ifndef CBRM_GETCMDBAR
#define CBRM_GETCMDBAR (WM_USER + 301)
#endif

template <class TBase>
class CReBarCtrlT : public TBase
{
public:
    CReBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CReBarCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return REBARCLASSNAMEA; }
    UINT GetBandCount() const noexcept { return static_cast<UINT>(this->SendMessage(RB_GETBANDCOUNT)); }
    BOOL GetBandInfo(int band, LPREBARBANDINFOA info) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(info)));
    }
    BOOL SetBandInfo(int band, LPREBARBANDINFOA info) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(RB_SETBANDINFOA, band, reinterpret_cast<LPARAM>(info)));
    }
    BOOL InsertBand(int band, LPREBARBANDINFOA info) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(RB_INSERTBANDA, band, reinterpret_cast<LPARAM>(info)));
    }
    BOOL AddBand(LPREBARBANDINFOA info) noexcept { return InsertBand(-1, info); }
    BOOL DeleteBand(int band) noexcept { return static_cast<BOOL>(this->SendMessage(RB_DELETEBAND, band)); }
    BOOL GetBarInfo(LPREBARINFO info) const noexcept { return static_cast<BOOL>(this->SendMessage(RB_GETBARINFO, 0, reinterpret_cast<LPARAM>(info))); }
    BOOL SetBarInfo(LPREBARINFO info) noexcept { return static_cast<BOOL>(this->SendMessage(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(info))); }
    UINT GetBarHeight() const noexcept { return static_cast<UINT>(this->SendMessage(RB_GETBARHEIGHT)); }
    UINT GetRowCount() const noexcept { return static_cast<UINT>(this->SendMessage(RB_GETROWCOUNT)); }
    UINT GetRowHeight(int band) const noexcept { return static_cast<UINT>(this->SendMessage(RB_GETROWHEIGHT, band)); }
    BOOL GetRect(int band, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(RB_GETRECT, band, reinterpret_cast<LPARAM>(rc)));
    }
    void GetBandBorders(int band, LPRECT rc) const noexcept
    {
        this->SendMessage(RB_GETBANDBORDERS, band, reinterpret_cast<LPARAM>(rc));
    }
    int IdToIndex(UINT id) const noexcept { return static_cast<int>(this->SendMessage(RB_IDTOINDEX, id)); }
    BOOL MoveBand(UINT from, UINT to) noexcept { return static_cast<BOOL>(this->SendMessage(RB_MOVEBAND, from, to)); }
    BOOL ShowBand(int band, BOOL show) noexcept { return static_cast<BOOL>(this->SendMessage(RB_SHOWBAND, band, show)); }
    BOOL SizeToRect(LPRECT rc) noexcept { return static_cast<BOOL>(this->SendMessage(RB_SIZETORECT, 0, reinterpret_cast<LPARAM>(rc))); }
    void MaximizeBand(UINT band, BOOL ideal = FALSE) noexcept { this->SendMessage(RB_MAXIMIZEBAND, band, ideal); }
    void MinimizeBand(UINT band) noexcept { this->SendMessage(RB_MINIMIZEBAND, band); }
    int HitTest(LPRBHITTESTINFO info) const noexcept
    {
        return static_cast<int>(this->SendMessage(RB_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    HWND GetToolTips() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(RB_GETTOOLTIPS)); }
    // Locks or unlocks the bands (the gripper style of every band).
    void LockBands(bool lock) noexcept
    {
        const int count = static_cast<int>(GetBandCount());
        for (int i = 0; i < count; ++i) {
            REBARBANDINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = RBBIM_STYLE;
            GetBandInfo(i, &info);
            const UINT style = lock ? (info.fStyle & ~RBBS_GRIPPERALWAYS) | RBBS_NOGRIPPER
                                    : (info.fStyle & ~RBBS_NOGRIPPER) | RBBS_GRIPPERALWAYS;
            if (style != info.fStyle) {
                info.fStyle = style;
                SetBandInfo(i, &info);
            }
        }
    }
};
using CReBarCtrl = CReBarCtrlT<CWindow>;

template <class TBase>
class CStatusBarCtrlT : public TBase
{
public:
    CStatusBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CStatusBarCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return STATUSCLASSNAMEA; }
    int GetParts(int count, int* edges) const noexcept
    {
        return static_cast<int>(this->SendMessage(SB_GETPARTS, count, reinterpret_cast<LPARAM>(edges)));
    }
    BOOL SetParts(int count, const int* edges) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges)));
    }
    BOOL GetBorders(int* borders) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
    }
    BOOL GetBorders(int& horizontal, int& vertical, int& between) const noexcept
    {
        int borders[3] = {};
        const BOOL ok = GetBorders(borders);
        horizontal = borders[0];
        vertical = borders[1];
        between = borders[2];
        return ok;
    }
    BOOL IsSimple() const noexcept { return static_cast<BOOL>(this->SendMessage(SB_ISSIMPLE)); }
    BOOL SetSimple(BOOL simple = TRUE) noexcept { return static_cast<BOOL>(this->SendMessage(SB_SIMPLE, simple)); }
    BOOL GetRect(int pane, LPRECT rc) const noexcept
    {
        return static_cast<BOOL>(this->SendMessage(SB_GETRECT, pane, reinterpret_cast<LPARAM>(rc)));
    }
    // Text length in the low word, drawing type (SBT_*) in the high word.
    DWORD GetText(int pane, LPSTR text, int* type = nullptr) const noexcept
    {
        const DWORD result = static_cast<DWORD>(this->SendMessage(SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text)));
        if (type)
            *type = HIWORD(result);
        return LOWORD(result);
    }
    int GetTextLength(int pane, int* type = nullptr) const noexcept
    {
        const DWORD result = static_cast<DWORD>(this->SendMessage(SB_GETTEXTLENGTHA, pane));
        if (type)
            *type = HIWORD(result);
        return LOWORD(result);
    }
    BOOL SetText(int pane, LPCSTR text, int type = 0) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(SB_SETTEXTA, (pane & 0xFF) | type, reinterpret_cast<LPARAM>(text)));
    }
    void SetTipText(int pane, LPCSTR text) noexcept { this->SendMessage(SB_SETTIPTEXTA, pane, reinterpret_cast<LPARAM>(text)); }
    BOOL SetIcon(int pane, HICON icon) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(SB_SETICON, pane, reinterpret_cast<LPARAM>(icon)));
    }
    HICON GetIcon(int pane) const noexcept { return reinterpret_cast<HICON>(this->SendMessage(SB_GETICON, pane)); }
    void SetMinHeight(int height) noexcept { this->SendMessage(SB_SETMINHEIGHT, height); }
    COLORREF SetBkColor(COLORREF color) noexcept { return static_cast<COLORREF>(this->SendMessage(SB_SETBKCOLOR, 0, color)); }
};
using CStatusBarCtrl = CStatusBarCtrlT<CWindow>;

// ---------------------------------------------------------------------------------------------
// Small controls.

template <class TBase>
class CProgressBarCtrlT : public TBase
{
public:
    CProgressBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CProgressBarCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return PROGRESS_CLASSA; }
    DWORD SetRange(int lower, int upper) noexcept { return static_cast<DWORD>(this->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper))); }
    DWORD SetRange32(int lower, int upper) noexcept { return static_cast<DWORD>(this->SendMessage(PBM_SETRANGE32, lower, upper)); }
    void GetRange(PPBRANGE range) const noexcept { this->SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(range)); }
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(PBM_GETPOS)); }
    int SetPos(int pos) noexcept { return static_cast<int>(this->SendMessage(PBM_SETPOS, pos)); }
    int OffsetPos(int delta) noexcept { return static_cast<int>(this->SendMessage(PBM_DELTAPOS, delta)); }
    int SetStep(int step) noexcept { return static_cast<int>(this->SendMessage(PBM_SETSTEP, step)); }
    int StepIt() noexcept { return static_cast<int>(this->SendMessage(PBM_STEPIT)); }
    COLORREF SetBarColor(COLORREF color) noexcept { return static_cast<COLORREF>(this->SendMessage(PBM_SETBARCOLOR, 0, color)); }
    COLORREF SetBkColor(COLORREF color) noexcept { return static_cast<COLORREF>(this->SendMessage(PBM_SETBKCOLOR, 0, color)); }
};
using CProgressBarCtrl = CProgressBarCtrlT<CWindow>;

template <class TBase>
class CTrackBarCtrlT : public TBase
{
public:
    CTrackBarCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CTrackBarCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return TRACKBAR_CLASSA; }
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(TBM_GETPOS)); }
    void SetPos(int pos) noexcept { this->SendMessage(TBM_SETPOS, TRUE, pos); }
    int GetRangeMin() const noexcept { return static_cast<int>(this->SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const noexcept { return static_cast<int>(this->SendMessage(TBM_GETRANGEMAX)); }
    void SetRange(int minimum, int maximum, BOOL redraw = TRUE) noexcept
    {
        this->SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        this->SendMessage(TBM_SETRANGEMAX, redraw, maximum);
    }
    void SetTicFreq(int frequency) noexcept { this->SendMessage(TBM_SETTICFREQ, frequency); }
    int SetPageSize(int size) noexcept { return static_cast<int>(this->SendMessage(TBM_SETPAGESIZE, 0, size)); }
    int SetLineSize(int size) noexcept { return static_cast<int>(this->SendMessage(TBM_SETLINESIZE, 0, size)); }
};
using CTrackBarCtrl = CTrackBarCtrlT<CWindow>;

template <class TBase>
class CUpDownCtrlT : public TBase
{
public:
    CUpDownCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CUpDownCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return UPDOWN_CLASSA; }
    HWND GetBuddy() const noexcept { return reinterpret_cast<HWND>(this->SendMessage(UDM_GETBUDDY)); }
    HWND SetBuddy(HWND buddy) noexcept { return reinterpret_cast<HWND>(this->SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy))); }
    void SetRange(int lower, int upper) noexcept { this->SendMessage(UDM_SETRANGE32, lower, upper); }
    void GetRange(int& lower, int& upper) const noexcept
    {
        this->SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    int GetPos() const noexcept { return static_cast<int>(this->SendMessage(UDM_GETPOS32)); }
    int SetPos(int pos) noexcept { return static_cast<int>(this->SendMessage(UDM_SETPOS32, 0, pos)); }
    int SetBase(int base) noexcept { return static_cast<int>(this->SendMessage(UDM_SETBASE, base)); }
    BOOL SetAccel(int count, const UDACCEL* accel) noexcept
    {
        return static_cast<BOOL>(this->SendMessage(UDM_SETACCEL, count, reinterpret_cast<LPARAM>(accel)));
    }
};
using CUpDownCtrl = CUpDownCtrlT<CWindow>;

template <class TBase>
class CHotKeyCtrlT : public TBase
{
public:
    CHotKeyCtrlT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CHotKeyCtrlT& operator=(HWND hWnd) noexcept { this->m_hWnd = hWnd; return *this; }
    static LPCSTR GetWndClassName() noexcept { return HOTKEY_CLASSA; }
    // Virtual key in the low byte, HOTKEYF_ modifiers in the next.
    DWORD GetHotKey() const noexcept { return static_cast<DWORD>(this->SendMessage(HKM_GETHOTKEY)); }
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const noexcept
    {
        const DWORD key = GetHotKey();
        virtualKey = LOBYTE(LOWORD(key));
        modifiers = HIBYTE(LOWORD(key));
    }
    void SetHotKey(WORD virtualKey, WORD modifiers) noexcept { this->SendMessage(HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers)); }
    void SetRules(WORD invalid, WORD modifiers) noexcept { this->SendMessage(HKM_SETRULES, invalid, MAKELPARAM(modifiers, 0)); }
};
using CHotKeyCtrl = CHotKeyCtrlT<CWindow>;

// ---------------------------------------------------------------------------------------------
// Menus: CMenu destroys its menu, CMenuHandle only wraps one.

class CMenuItemInfo : public MENUITEMINFOA
{
public:
    CMenuItemInfo() noexcept
    {
        ::ZeroMemory(static_cast<MENUITEMINFOA*>(this), sizeof(MENUITEMINFOA));
        cbSize = sizeof(MENUITEMINFOA); // the native size: 80 bytes on x64, 48 on x86
    }
};

struct CMenuKind
{
    HMENU m_hMenu = nullptr;
    HMENU& Slot() noexcept { return m_hMenu; }
    HMENU Slot() const noexcept { return m_hMenu; }
    static void Destroy(HMENU menu) noexcept { ::DestroyMenu(menu); }
};

template <bool t_bManaged>
class CMenuT : public TWrappedHandle<HMENU, t_bManaged, CMenuKind>
{
public:
    using _Wrapped = TWrappedHandle<HMENU, t_bManaged, CMenuKind>;
    using _Wrapped::TWrappedHandle, _Wrapped::operator=, _Wrapped::Attach, _Wrapped::Detach, _Wrapped::IsNull;
    using CMenuKind::m_hMenu;
    BOOL IsMenu() const noexcept { return ::IsMenu(m_hMenu); }

    BOOL CreateMenu() noexcept
    {
        Attach(::CreateMenu());
        return m_hMenu != nullptr;
    }
    BOOL CreatePopupMenu() noexcept
    {
        Attach(::CreatePopupMenu());
        return m_hMenu != nullptr;
    }
    BOOL LoadMenu(LPCSTR name) noexcept
    {
        Attach(::LoadMenuA(AtlGetResourceInstance(), name));
        return m_hMenu != nullptr;
    }
    BOOL LoadMenu(UINT id) noexcept { return LoadMenu(MAKEINTRESOURCEA(id)); }
    BOOL DestroyMenu() noexcept
    {
        if (!m_hMenu)
            return FALSE;
        return ::DestroyMenu(Detach());
    }

    BOOL DeleteMenu(UINT position, UINT flags) noexcept { return ::DeleteMenu(m_hMenu, position, flags); }
    BOOL RemoveMenu(UINT position, UINT flags) noexcept { return ::RemoveMenu(m_hMenu, position, flags); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND hWnd, LPCRECT rc = nullptr) noexcept
    {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, hWnd, rc);
    }
    BOOL TrackPopupMenuEx(UINT flags, int x, int y, HWND hWnd, LPTPMPARAMS params = nullptr) noexcept
    {
        return ::TrackPopupMenuEx(m_hMenu, flags, x, y, hWnd, params);
    }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) noexcept
    {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }
    BOOL AppendMenu(UINT flags, HMENU popup, LPCSTR text) noexcept
    {
        return ::AppendMenuA(m_hMenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
    }
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) noexcept
    {
        return ::InsertMenuA(m_hMenu, position, flags, id, text);
    }
    BOOL InsertMenu(UINT position, UINT flags, HMENU popup, LPCSTR text) noexcept
    {
        return ::InsertMenuA(m_hMenu, position, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) noexcept
    {
        return ::ModifyMenuA(m_hMenu, position, flags, id, text);
    }
    BOOL ModifyMenu(UINT position, UINT flags, HMENU popup, LPCSTR text) noexcept
    {
        return ::ModifyMenuA(m_hMenu, position, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
    }
    UINT CheckMenuItem(UINT id, UINT check) noexcept { return ::CheckMenuItem(m_hMenu, id, check); }
    UINT EnableMenuItem(UINT id, UINT enable) noexcept { return ::EnableMenuItem(m_hMenu, id, enable); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) noexcept
    {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
    }
    BOOL SetMenuDefaultItem(UINT item = static_cast<UINT>(-1), BOOL byPosition = FALSE) noexcept
    {
        return ::SetMenuDefaultItem(m_hMenu, item, byPosition);
    }
    UINT GetMenuDefaultItem(BOOL byPosition = FALSE, UINT flags = 0) const noexcept
    {
        return ::GetMenuDefaultItem(m_hMenu, byPosition, flags);
    }
    int GetMenuItemCount() const noexcept { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const noexcept { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const noexcept { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, LPSTR text, int max, UINT flags) const noexcept
    {
        return ::GetMenuStringA(m_hMenu, id, text, max, flags);
    }
    CMenuT<false> GetSubMenu(int position) const noexcept { return CMenuT<false>(::GetSubMenu(m_hMenu, position)); }
    BOOL GetMenuItemInfo(UINT item, BOOL byPosition, LPMENUITEMINFOA info) const noexcept
    {
        return ::GetMenuItemInfoA(m_hMenu, item, byPosition, info);
    }
    BOOL SetMenuItemInfo(UINT item, BOOL byPosition, LPCMENUITEMINFOA info) noexcept
    {
        return ::SetMenuItemInfoA(m_hMenu, item, byPosition, info);
    }
    BOOL InsertMenuItem(UINT item, BOOL byPosition, LPCMENUITEMINFOA info) noexcept
    {
        return ::InsertMenuItemA(m_hMenu, item, byPosition, info);
    }
    BOOL GetMenuInfo(LPMENUINFO info) const noexcept { return ::GetMenuInfo(m_hMenu, info); }
    BOOL SetMenuInfo(LPCMENUINFO info) noexcept { return ::SetMenuInfo(m_hMenu, info); }
    BOOL GetMenuItemRect(HWND hWnd, UINT item, LPRECT rc) const noexcept { return ::GetMenuItemRect(hWnd, m_hMenu, item, rc); }
    int MenuItemFromPoint(HWND hWnd, POINT pt) const noexcept { return ::MenuItemFromPoint(hWnd, m_hMenu, pt); }
};
using CMenu = CMenuT<true>;
using CMenuHandle = CMenuT<false>;

// ---------------------------------------------------------------------------------------------
// Owner-drawn controls: a mix-in for the parent (or, with reflection, the control itself) that
// sends WM_DRAWITEM and its kin to T's DrawItem, MeasureItem, CompareItem and DeleteItem.

template <class T>
class COwnerDraw
{
public:
    BEGIN_MSG_MAP(COwnerDraw)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_COMPAREITEM, OnCompareItem)
        MESSAGE_HANDLER(WM_DELETEITEM, OnDeleteItem)
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(OCM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(OCM_COMPAREITEM, OnCompareItem)
        MESSAGE_HANDLER(OCM_DELETEITEM, OnDeleteItem)
    END_MSG_MAP()

    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        static_cast<T*>(this)->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        static_cast<T*>(this)->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        return TRUE;
    }
    LRESULT OnCompareItem(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        return static_cast<T*>(this)->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
    }
    LRESULT OnDeleteItem(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        static_cast<T*>(this)->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        return TRUE;
    }

    // Defaults for what T does not provide.
    void DrawItem(LPDRAWITEMSTRUCT) {}
    void MeasureItem(LPMEASUREITEMSTRUCT measure)
    {
        if (measure->CtlType != ODT_MENU) {
            // The height of a line of the control's font.
            HWND control = static_cast<T*>(this)->GetDlgItem(measure->CtlID);
            CClientDC dc(control);
            TEXTMETRICA metrics = {};
            {
                CGdiObjectSelector selectFont(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
                ::GetTextMetricsA(dc, &metrics);
            }
            measure->itemHeight = metrics.tmHeight;
        } else {
            measure->itemHeight = ::GetSystemMetrics(SM_CYMENU);
        }
    }
    int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
    void DeleteItem(LPDELETEITEMSTRUCT) {}
};
