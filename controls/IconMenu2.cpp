// OBM_CHECK, the system's check-mark bitmap, is only declared with OEMRESOURCE.
#define OEMRESOURCE
#include "controls/IconMenu2.h"

#include "controls/FlatMenuFrame.h"
#include "controls/MenuStyleManager.h"
#include "core/app/LanguageManager.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlGdi.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The animation requests of TrackPopupMenuEx, replaced by TPM_NOANIMATION: the flat frames and
// shadows are placed as the window is created and would trail an animated menu.
constexpr UINT kTrackAnimationFlags = TPM_HORPOSANIMATION | TPM_HORNEGANIMATION | TPM_VERPOSANIMATION |
                                      TPM_VERNEGANIMATION;
// The low word of the item id of an item that is not a command (a popup's own entry in Wine and
// Windows): never drawn selected.
constexpr UINT kNoCommandLowWord = 0xFFFF;
// The raised default item's font weight over the menu font's.
constexpr LONG kDefaultItemWeightRaise = 200;
// The gap between a caption and its accelerator when measured.
constexpr int kAcceleratorGap = CMenuItemMetrics::kIconCell;
// The ternary raster operation that copies the destination where the source is white and the
// selected brush where it is black (the monochrome glyph of DrawFrameControl as a mask).
constexpr DWORD kRopBrushThroughBlack = 0x00B8074A;

// The object whose track runs on this thread; its CBT hook procedure reaches it through this.
thread_local CIconMenu2* t_tracker = nullptr;

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

COLORREF StyleColor(int index)
{
    CMenuStyleManager* style = GetMenuStyleManager();
    return style ? style->GetColor(index) : ::GetSysColor(COLOR_MENU);
}

HFONT MenuFont()
{
    CMenuStyleManager* style = GetMenuStyleManager();
    HFONT font = style ? style->GetMenuFont() : nullptr;
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

// The menu font, or a bolder copy of it for the default item.
class CItemFont {
public:
    explicit CItemFont(bool isDefault)
    {
        if (!isDefault)
            return;
        LOGFONTA font = {};
        if (::GetObjectA(MenuFont(), sizeof(font), &font)) {
            font.lfWeight += kDefaultItemWeightRaise;
            m_bold.CreateFontIndirect(&font);
        }
    }
    HFONT Get() const { return m_bold.IsNull() ? MenuFont() : static_cast<HFONT>(m_bold); }

private:
    CFont m_bold;
};

int TextWidth(HDC dc, const std::string& text, UINT format)
{
    if (text.empty())
        return 0;
    RECT rect = {};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    return rect.right - rect.left;
}

// A hatched brush of two colours, as the system uses for the cell of a checked item.
void FillDithered(HDC dc, const RECT& rect)
{
    static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    CBitmap bits;
    bits.Attach(::CreateBitmap(8, 8, 1, 1, pattern));
    CBrush brush;
    brush.Attach(::CreatePatternBrush(bits));
    if (brush.IsNull())
        return;
    const COLORREF oldText = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = ::SetBkColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::SetBrushOrgEx(dc, rect.left, rect.top, nullptr);
    ::FillRect(dc, &rect, brush);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
}

// The system's check mark or bullet (a Marlett glyph in Wine) in the given colour: the frame
// control is drawn black on white into a monochrome bitmap, which then masks a solid brush.
void DrawMenuGlyph(HDC dc, const RECT& rect, UINT glyph, COLORREF color)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap mask;
    mask.Attach(::CreateBitmap(width, height, 1, 1, nullptr));
    if (memory.IsNull() || mask.IsNull())
        return;
    const HGDIOBJ oldBitmap = ::SelectObject(memory, mask);
    RECT local = {0, 0, width, height};
    ::DrawFrameControl(memory, &local, DFC_MENU, glyph);
    CBrush brush;
    brush.CreateSolidBrush(color);
    const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    ::BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, kRopBrushThroughBlack);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(memory, oldBitmap);
}

}  // namespace

CIconMenu2::CIconMenu2(bool office) : m_office(office ? 1 : 0) {}

CIconMenu2::~CIconMenu2()
{
    Detach();
    m_hook.Unhook();
    if (t_tracker == this)
        t_tracker = m_outerTracker;
}

void CIconMenu2::Attach(HWND owner)
{
    Detach();
    m_owner = owner;
    if (CMenuStyleManager* style = GetMenuStyleManager())
        style->AddWindow(owner);
}

void CIconMenu2::Detach()
{
    if (!m_owner)
        return;
    if (CMenuStyleManager* style = GetMenuStyleManager())
        style->RemoveWindow(m_owner);
    m_owner = nullptr;
}

EMenuLook CIconMenu2::GetLook() const
{
    if (m_office)
        return EMenuLook::kOffice;
    CMenuStyleManager* style = GetMenuStyleManager();
    return style && style->IsFlatMenus() ? EMenuLook::kClassicFlat : EMenuLook::kClassic3D;
}

// The system parameters for menu fade and animation are left alone: TPM_NOANIMATION already keeps
// this popup still, and changing them would change the user's settings for every program (and
// leave them changed if this process ended during the track).
UINT CIconMenu2::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params)
{
    if (m_tracking || !m_owner)
        return 0;
    flags = (flags & ~kTrackAnimationFlags) | TPM_NOANIMATION;
    if (CLanguageManager* languages = GetLanguageManager())
        languages->TranslateMenu(menu);

    m_hook.Set(WH_CBT, CbtHookProc, nullptr, ::GetCurrentThreadId());
    m_outerTracker = t_tracker;
    t_tracker = this;
    m_tracking = 1;
    // Wine answers -1 or -2 instead of 0 when a menu with an open submenu ends without a choice;
    // no command of this program has the high bit set, so a negative answer is no command.
    const BOOL tracked = CMenuHandle(menu).TrackPopupMenuEx(flags, x, y, m_owner, params);
    const UINT result = tracked < 0 ? 0 : static_cast<UINT>(tracked);
    m_tracking = 0;
    t_tracker = m_outerTracker;
    m_outerTracker = nullptr;
    m_hook.Unhook();

    if (::IsWindow(m_owner)) {
        ::UpdateWindow(m_owner);
        if (HWND top = ::GetAncestor(m_owner, GA_ROOT); top && top != m_owner)
            ::UpdateWindow(top);
    }
    RestoreOpenPopups();
    m_openWindows.clear();
    return result;
}

// Every CBT code goes on to the older hooks of the thread (the docking focus and the skins rely
// on seeing window creation and destruction while a menu is open).
LRESULT CALLBACK CIconMenu2::CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code >= 0 && t_tracker)
            t_tracker->OnCbt(code, wParam);
    } catch (...) {
        ReportCaughtException("CIconMenu2::CbtHookProc");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CIconMenu2::OnCbt(int code, WPARAM wParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && IsMenuWindow(window)) {
        m_openWindows.push_back(window);
        if (m_office &&
            CFlatMenuFrame::Attach(window, StyleColor(kMenuColorBorder), StyleColor(kMenuColorBackground),
                                   StyleColor(kMenuColorIconColumn), 0))
            ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else if (code == HCBT_DESTROYWND && IsMenuWindow(window)) {
        const auto found = std::find(m_openWindows.begin(), m_openWindows.end(), window);
        if (found != m_openWindows.end())
            m_openWindows.erase(found);
    }
}

IconMenuItemData* CIconMenu2::FindRecord(ULONG_PTR data) const
{
    // Only records of this object are looked at: item data set by anyone else is never read.
    for (const auto& record : m_records)
        if (reinterpret_cast<ULONG_PTR>(record.get()) == data)
            return record->magic == kIconMenuItemMagic ? record.get() : nullptr;
    return nullptr;
}

// The text is read at its own length (long favorites titles stay whole). Bitmap items keep their
// bitmap in the text slot and are left as they are.
void CIconMenu2::ConvertPopup(HMENU popupHandle)
{
    CMenuHandle popup(popupHandle);
    const int count = popup.GetMenuItemCount();
    CCommandImageManager* images = GetCommandImageManager();
    for (int position = 0; position < count; ++position) {
        CMenuItemInfo info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_DATA | MIIM_STRING;
        if (!popup.GetMenuItemInfo(position, TRUE, &info) || (info.fType & (MFT_OWNERDRAW | MFT_BITMAP)))
            continue;
        std::unique_ptr<IconMenuItemData> record(new (std::nothrow) IconMenuItemData);
        if (!record)
            continue;
        try {
            if (!(info.fType & MFT_SEPARATOR) && info.cch > 0) {
                std::string text(info.cch + 1, '\0');
                CMenuItemInfo textInfo;
                textInfo.fMask = MIIM_STRING;
                textInfo.dwTypeData = text.data();
                textInfo.cch = info.cch + 1;
                if (popup.GetMenuItemInfo(position, TRUE, &textInfo))
                    text.resize(std::strlen(text.c_str()));
                else
                    text.clear();
                record->text = std::move(text);
            }
            m_records.reserve(m_records.size() + 1);
            if (std::find(m_openMenus.begin(), m_openMenus.end(), popupHandle) == m_openMenus.end())
                m_openMenus.push_back(popupHandle);
        } catch (const std::bad_alloc&) {
            continue;  // the item stays a plain one
        }
        record->type = info.fType;
        record->state = info.fState;
        record->previousData = info.dwItemData;
        CommandImageRef image = kNoCommandImage;
        if (images && !(info.fType & MFT_SEPARATOR)) {
            const bool found = info.hSubMenu ? images->GetNamedImage(record->text.c_str(), image)
                                             : images->GetCommandImage(info.wID, image);
            if (!found)
                image = kNoCommandImage;
        }
        record->image = image;

        CMenuItemInfo owned;
        owned.fMask = MIIM_FTYPE | MIIM_DATA;
        owned.fType = info.fType | MFT_OWNERDRAW;
        owned.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
        if (popup.SetMenuItemInfo(position, TRUE, &owned))
            m_records.push_back(std::move(record));
    }
}

// The items are put back with SetMenuItemInfo, which leaves an item's submenu where it is
// (rebuilding the item with ModifyMenu would turn a submenu item into a plain command).
void CIconMenu2::RestoreOpenPopups()
{
    while (!m_openMenus.empty()) {
        CMenuHandle popup(m_openMenus.back());
        m_openMenus.pop_back();
        if (!popup.IsMenu())
            continue;
        const int count = popup.GetMenuItemCount();
        for (int position = 0; position < count; ++position) {
            CMenuItemInfo info;
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!popup.GetMenuItemInfo(position, TRUE, &info) || !(info.fType & MFT_OWNERDRAW))
                continue;
            IconMenuItemData* record = FindRecord(info.dwItemData);
            if (!record)
                continue;
            CMenuItemInfo plain;
            plain.fMask = MIIM_FTYPE | MIIM_DATA;
            plain.fType = record->type;
            plain.dwItemData = record->previousData;
            if (!(record->type & MFT_SEPARATOR)) {
                plain.fMask |= MIIM_STRING;
                plain.dwTypeData = record->text.data();
            }
            popup.SetMenuItemInfo(position, TRUE, &plain);
            m_records.erase(std::find_if(m_records.begin(), m_records.end(),
                                         [record](const auto& owned) { return owned.get() == record; }));
        }
    }
    // Records of popups that went away during the track.
    m_records.clear();
}

BOOL CIconMenu2::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    if (!m_owner || mapId != 0)
        return FALSE;
    switch (message) {
    case WM_INITMENUPOPUP:
        // The owner's own handlers (command states) see the message as well.
        if (HIWORD(lParam) == 0 && m_tracking)
            ConvertPopup(reinterpret_cast<HMENU>(wParam));
        return FALSE;
    case WM_MEASUREITEM:
        if (!lParam || !MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return FALSE;
        result = TRUE;
        return TRUE;
    case WM_DRAWITEM:
        if (!lParam || !DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return FALSE;
        result = TRUE;
        return TRUE;
    case WM_MENUSELECT: {
        // Only to a different window: an owner that is itself the top-level window would be sent
        // its own message again without end.
        HWND top = ::GetAncestor(m_owner, GA_ROOT);
        if (!top || top == m_owner)
            return FALSE;
        ::SendMessageA(top, WM_MENUSELECT, wParam, lParam);
        result = 0;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

bool CIconMenu2::MeasureItem(MEASUREITEMSTRUCT& measure)
{
    if (measure.CtlType != ODT_MENU)
        return false;
    const IconMenuItemData* record = FindRecord(measure.itemData);
    if (!record)
        return false;
    const bool separator = (record->type & MFT_SEPARATOR) != 0;
    int textWidth = 0;
    if (!separator) {
        const CItemFont font((record->state & MFS_DEFAULT) != 0);
        HDC dc = ::GetDC(nullptr);
        const HGDIOBJ old = ::SelectObject(dc, font.Get());
        const CMenuItemText text = SplitMenuItemText(record->text);
        const UINT format = DT_SINGLELINE | DT_VCENTER;
        textWidth = TextWidth(dc, text.caption, format);
        if (!text.accelerator.empty())
            textWidth += kAcceleratorGap + TextWidth(dc, text.accelerator, format);
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
    }
    LOGFONTA font = {};
    ::GetObjectA(MenuFont(), sizeof(font), &font);
    const SIZE size = MeasureMenuItem(GetLook(), separator, textWidth, font.lfHeight, m_extraWidth,
                                      ::GetSystemMetrics(SM_CXMENUCHECK), ::GetSystemMetrics(SM_CYMENU));
    measure.itemWidth = static_cast<UINT>(std::max<LONG>(size.cx, 0));
    measure.itemHeight = static_cast<UINT>(size.cy);
    return true;
}

bool CIconMenu2::DrawItem(const DRAWITEMSTRUCT& draw)
{
    if (draw.CtlType != ODT_MENU || !draw.hDC)
        return false;
    const IconMenuItemData* record = FindRecord(draw.itemData);
    if (!record)
        return false;
    const int saved = ::SaveDC(draw.hDC);
    switch (GetLook()) {
    case EMenuLook::kOffice:
        DrawOffice(draw, *record);
        break;
    case EMenuLook::kClassicFlat:
        DrawClassic(draw, *record, true);
        break;
    case EMenuLook::kClassic3D:
        DrawClassic(draw, *record, false);
        break;
    }
    ::RestoreDC(draw.hDC, saved);
    return true;
}

void CIconMenu2::DrawText(HDC dc, const IconMenuItemData& record, RECT rect, COLORREF color) const
{
    const CItemFont font((record.state & MFS_DEFAULT) != 0);
    const HGDIOBJ old = ::SelectObject(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    const UINT format = DT_SINGLELINE | DT_VCENTER | (m_showPrefix ? 0 : DT_NOPREFIX);
    const CMenuItemText text = SplitMenuItemText(record.text);
    const std::string caption = m_showPrefix ? text.caption : StripMenuPrefixes(text.caption);
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, format);
    if (!text.accelerator.empty())
        ::DrawTextA(dc, text.accelerator.c_str(), static_cast<int>(text.accelerator.size()), &rect,
                    format | DT_RIGHT);
    ::SelectObject(dc, old);
}

void CIconMenu2::DrawCheckBox(HDC dc, const RECT& cell, bool selected, bool checked) const
{
    RECT box = cell;
    ::InflateRect(&box, -3, -3);
    FillSolid(dc, box, StyleColor(selected ? kMenuColorCheckSelected : kMenuColorSelection));
    CBrush edge;
    edge.CreateSolidBrush(StyleColor(kMenuColorSelectionEdge));
    ::FrameRect(dc, &box, edge);
    if (!checked)
        return;
    CBitmap mark;
    mark.Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK)));
    BITMAP bits = {};
    if (mark.IsNull() || !::GetObjectA(mark, sizeof(bits), &bits))
        return;
    const int x = box.left + (box.right - box.left - bits.bmWidth) / 2;
    const int y = box.top + (box.bottom - box.top - bits.bmHeight) / 2;
    // The monochrome mark takes the DC's text colour for its set pixels and the background colour
    // for the rest.
    ::SetTextColor(dc, StyleColor(kMenuColorText));
    ::SetBkColor(dc, StyleColor(selected ? kMenuColorCheckSelected : kMenuColorSelection));
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<HBITMAP>(mark)), 0, x, y, bits.bmWidth,
                 bits.bmHeight, DST_BITMAP | DSS_NORMAL);
}

void CIconMenu2::DrawOffice(const DRAWITEMSTRUCT& draw, const IconMenuItemData& record)
{
    HDC dc = draw.hDC;
    const RECT& item = draw.rcItem;
    const bool grayed = (draw.itemState & ODS_GRAYED) != 0;
    const bool selected = (draw.itemState & ODS_SELECTED) && LOWORD(draw.itemID) != kNoCommandLowWord;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    const CMenuItemRects rects = LayoutMenuItem(EMenuLook::kOffice, item);

    if (grayed || !selected) {
        FillSolid(dc, item, StyleColor(kMenuColorIconColumn));
        FillSolid(dc, rects.textArea, StyleColor(kMenuColorBackground));
    } else {
        FillSolid(dc, item, StyleColor(kMenuColorSelection));
        CBrush edge;
        edge.CreateSolidBrush(StyleColor(kMenuColorSelectionEdge));
        ::FrameRect(dc, &item, edge);
    }
    if (record.type & MFT_SEPARATOR) {
        const int middle = (item.top + item.bottom) / 2;
        FillSolid(dc, {rects.textArea.left + 10, middle, item.right, middle + 1}, StyleColor(kMenuColorIconColumn));
        return;
    }
    if (checked) {
        RECT cell = rects.cell;
        ::InflateRect(&cell, -1, -1);
        if (selected)
            ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_MENU));
        ::FrameRect(dc, &cell, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    CCommandImageManager* images = GetCommandImageManager();
    if (record.image != kNoCommandImage && images) {
        const POINT at = IconPosition(rects.cell);
        if (!grayed && selected && !checked) {
            // A raised look: the grey image as a shadow below right, the icon above left.
            images->DrawCommandImage(dc, record.image, {at.x + 1, at.y + 1}, true);
            images->DrawCommandImage(dc, record.image, {at.x - 1, at.y - 1}, false);
        } else {
            images->DrawCommandImage(dc, record.image, at, grayed);
        }
    } else if (checked) {
        DrawCheckBox(dc, rects.cell, selected, checked);
    }
    const COLORREF color =
        StyleColor(grayed ? kMenuColorDisabledText : selected ? kMenuColorSelectedText : kMenuColorText);
    DrawText(dc, record, rects.text, color);
}

void CIconMenu2::DrawClassic(const DRAWITEMSTRUCT& draw, const IconMenuItemData& record, bool flat)
{
    HDC dc = draw.hDC;
    RECT item = draw.rcItem;
    const bool grayed = (draw.itemState & ODS_GRAYED) != 0;
    const bool selected = (draw.itemState & ODS_SELECTED) && LOWORD(draw.itemID) != kNoCommandLowWord;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    const CMenuItemRects rects = LayoutMenuItem(flat ? EMenuLook::kClassicFlat : EMenuLook::kClassic3D, item);

    // The whole item is painted every time: Wine does not erase an owner-drawn item first.
    if (selected && flat) {
        ::FillRect(dc, &item, ::GetSysColorBrush(COLOR_MENUHILIGHT));
        ::FrameRect(dc, &item, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    } else {
        ::FillRect(dc, &item, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    }
    if (record.type & MFT_SEPARATOR) {
        RECT line = item;
        line.top = (item.top + item.bottom) / 2;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    RECT cell = rects.cell;
    CCommandImageManager* images = GetCommandImageManager();
    if (record.image != kNoCommandImage && images) {
        if (flat) {
            if (checked) {
                RECT inner = cell;
                ::InflateRect(&inner, -1, -1);
                if (selected)
                    ::FillRect(dc, &inner, ::GetSysColorBrush(COLOR_MENU));
                ::FrameRect(dc, &inner, ::GetSysColorBrush(COLOR_HIGHLIGHT));
            }
        } else {
            if (checked && !(selected && !grayed))
                FillDithered(dc, cell);
            else
                ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_MENU));
            if (!grayed && (checked || selected))
                ::DrawEdge(dc, &cell, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        images->DrawCommandImage(dc, record.image, IconPosition(cell), grayed);
    } else if (checked) {
        if (!selected && !flat)
            FillDithered(dc, cell);
        const UINT glyph = (record.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK;
        const COLORREF glyphColor = ::GetSysColor(grayed     ? COLOR_GRAYTEXT
                                                  : selected ? COLOR_HIGHLIGHTTEXT
                                                             : COLOR_MENUTEXT);
        RECT mark = cell;
        ::InflateRect(&mark, -3, -3);
        DrawMenuGlyph(dc, mark, glyph, glyphColor);
    }
    const int colorIndex = grayed && selected ? COLOR_GRAYTEXT
                           : grayed           ? COLOR_BTNSHADOW
                           : selected         ? COLOR_HIGHLIGHTTEXT
                                              : COLOR_MENUTEXT;
    RECT text = rects.text;
    if (grayed && !selected && !flat) {
        RECT embossed = text;
        ::OffsetRect(&embossed, 1, 1);
        DrawText(dc, record, embossed, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    DrawText(dc, record, text, ::GetSysColor(colorIndex));
}
