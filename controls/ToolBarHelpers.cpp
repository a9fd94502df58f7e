#include "controls/ToolBarHelpers.h"

#include "controls/CommandImageManager.h"
#include "core/app/LanguageManager.h"
#include "platform/AtlCtrls.h"

#include <algorithm>
#include <string>

namespace {

CSettingsStore& StoreOr(CSettingsStore* store) { return store ? *store : *GetSettingsStore(); }

std::string BandValueName(int position) { return kBandValuePrefix + std::to_string(position); }

REBARBANDINFOA BandQuery(UINT mask)
{
    REBARBANDINFOA band = {};
    // The native size: comctl32 refuses the 80 bytes of the 32-bit record in this build.
    band.cbSize = sizeof(band);
    band.fMask = mask;
    return band;
}

int BandIndex(HWND reBar, UINT id)
{
    if (!::IsWindow(reBar))
        return -1;
    return CReBarCtrl(reBar).IdToIndex(id);
}

bool BandStyle(HWND reBar, int index, UINT& style)
{
    REBARBANDINFOA band = BandQuery(RBBIM_STYLE);
    if (index < 0 || !CReBarCtrl(reBar).GetBandInfo(index, &band))
        return false;
    style = band.fStyle;
    return true;
}

}  // namespace

bool SaveToolBarLayout(HWND toolBar, const char* section, const char* valueName, CSettingsStore* store)
{
    if (!::IsWindow(toolBar))
        return false;
    CToolBarCtrl bar(toolBar);
    const int count = bar.GetButtonCount();
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!bar.GetButton(i, &button))
            continue;
        ids.push_back((button.fsStyle & BTNS_SEP) ? 0 : button.idCommand);
    }
    return StoreOr(store).WriteBinary(section, valueName, EncodeToolBarOrder(ids));
}

bool LoadToolBarLayout(std::vector<int>& ids, const char* section, const char* valueName, CSettingsStore* store)
{
    ids.clear();
    std::vector<BYTE> data;
    if (!StoreOr(store).GetBinary(section, valueName, data))
        return false;
    return DecodeToolBarOrder(data, ids);
}

int GetToolBarButtonsWidth(HWND toolBar)
{
    if (!::IsWindow(toolBar))
        return 0;
    CToolBarCtrl bar(toolBar);
    const int count = bar.GetButtonCount();
    RECT rect = {};
    if (count < 1 || !bar.GetItemRect(count - 1, &rect))
        return 0;
    return rect.right;
}

bool AddReBarBand(HWND reBar, HWND child, UINT id, const char* title, HBITMAP background, bool newRow, int width,
                  bool fullWidth)
{
    if (!::IsWindow(reBar) || !::IsWindow(child))
        return false;
    CReBarCtrl rebar(reBar);
    CToolBarCtrl bar(child);
    const int buttons = std::max(0, bar.GetButtonCount());

    REBARBANDINFOA band = BandQuery(RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID |
                                    RBBIM_IDEALSIZE);
    if (title) {
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<LPSTR>(title);
    }
    if (background) {
        band.fMask |= RBBIM_BACKGROUND;
        band.fStyle = RBBS_FIXEDBMP;
        band.hbmBack = background;
    }
    if (buttons > 0 || reinterpret_cast<HWND>(::SendMessageA(child, CBRM_GETCMDBAR, 0, 0)) == child)
        band.fStyle |= RBBS_USECHEVRON;
    if (newRow)
        band.fStyle |= RBBS_BREAK;
    band.hwndChild = child;
    const UINT bandCount = rebar.GetBandCount();
    band.wID = id ? id : kFirstDefaultBandId + bandCount;

    int bandWidth = width;
    if (buttons == 0) {
        RECT window = {};
        ::GetWindowRect(child, &window);
        if (!bandWidth)
            bandWidth = window.right - window.left;
        band.cyMinChild = static_cast<UINT>(std::max(0L, window.bottom - window.top));
        band.cxMinChild = fullWidth ? static_cast<UINT>(std::max(0, bandWidth)) : 0;
    } else {
        RECT last = {};
        bar.GetItemRect(buttons - 1, &last);
        if (!bandWidth)
            bandWidth = last.right;
        band.cyMinChild = static_cast<UINT>(std::max(0L, last.bottom - last.top));
        if (fullWidth) {
            band.cxMinChild = static_cast<UINT>(std::max(0, bandWidth));
        } else if (!title) {
            RECT first = {};
            bar.GetItemRect(0, &first);
            band.cxMinChild = static_cast<UINT>(std::max(0L, first.right));
        }
    }
    bandWidth = std::max(0, bandWidth);
    band.cx = static_cast<UINT>(bandWidth);
    band.cxIdeal = static_cast<UINT>(bandWidth);

    // A numbered band goes before the band numbered after it, so that bands added out of order
    // still stand in the order of their ids.
    int insertAt = -1;
    if (band.wID > kFirstDefaultBandId)
        insertAt = rebar.IdToIndex(band.wID + 1);
    if (!rebar.InsertBand(insertAt, &band))
        return false;

    ::SendMessageA(child, TB_SETEXTENDEDSTYLE, 0,
                   static_cast<LPARAM>(::SendMessageA(child, TB_GETEXTENDEDSTYLE, 0, 0) | TBSTYLE_EX_HIDECLIPPEDBUTTONS));

    if (band.wID > kFirstDefaultBandId) {
        const int neighbour = rebar.IdToIndex(band.wID - 1);
        if (neighbour >= 0) {
            RECT client = {};
            ::GetClientRect(reBar, &client);
            REBARBANDINFOA size = BandQuery(RBBIM_SIZE);
            size.cx = static_cast<UINT>(std::max(0L, client.right - client.left - bandWidth));
            rebar.SetBandInfo(neighbour, &size);
        }
    }
    return true;
}

bool ToggleReBarBand(HWND reBar, UINT id)
{
    const int index = BandIndex(reBar, id);
    UINT style = 0;
    if (!BandStyle(reBar, index, style))
        return false;
    const bool show = (style & RBBS_HIDDEN) != 0;
    CReBarCtrl(reBar).ShowBand(index, show);
    return show;
}

void ShowReBarBand(HWND reBar, UINT id, bool show)
{
    const int index = BandIndex(reBar, id);
    UINT style = 0;
    if (!BandStyle(reBar, index, style))
        return;
    if (((style & RBBS_HIDDEN) == 0) != show)
        CReBarCtrl(reBar).ShowBand(index, show);
}

bool IsReBarBandVisible(HWND reBar, UINT id)
{
    UINT style = 0;
    return BandStyle(reBar, BandIndex(reBar, id), style) && (style & RBBS_HIDDEN) == 0;
}

HWND GetReBarBandChild(HWND reBar, UINT id)
{
    const int index = BandIndex(reBar, id);
    REBARBANDINFOA band = BandQuery(RBBIM_CHILD);
    if (index < 0 || !CReBarCtrl(reBar).GetBandInfo(index, &band))
        return nullptr;
    return band.hwndChild;
}

int FindReBarBandOfChild(HWND reBar, HWND child)
{
    if (!::IsWindow(reBar) || !child)
        return -1;
    CReBarCtrl rebar(reBar);
    const int count = static_cast<int>(rebar.GetBandCount());
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = BandQuery(RBBIM_CHILD);
        if (rebar.GetBandInfo(i, &band) && band.hwndChild == child)
            return i;
    }
    return -1;
}

void SizeBandToToolBar(HWND toolBar)
{
    if (!::IsWindow(toolBar))
        return;
    const HWND reBar = ::GetParent(toolBar);
    const int index = FindReBarBandOfChild(reBar, toolBar);
    if (index < 0)
        return;
    REBARBANDINFOA band = BandQuery(RBBIM_IDEALSIZE);
    band.cxIdeal = static_cast<UINT>(GetToolBarButtonsWidth(toolBar));
    CReBarCtrl(reBar).SetBandInfo(index, &band);
}

bool UpdateBandMinSize(HWND toolBar)
{
    if (!::IsWindow(toolBar))
        return false;
    CToolBarCtrl bar(toolBar);
    bar.AutoSize();
    const HWND reBar = ::GetParent(toolBar);
    const int index = FindReBarBandOfChild(reBar, toolBar);
    if (index < 0)
        return false;
    REBARBANDINFOA band = BandQuery(RBBIM_CHILDSIZE);
    const int count = bar.GetButtonCount();
    if (count > 0) {
        RECT first = {};
        RECT last = {};
        bar.GetItemRect(0, &first);
        bar.GetItemRect(count - 1, &last);
        band.cxMinChild = static_cast<UINT>(std::max(0L, first.right));
        band.cyMinChild = static_cast<UINT>(std::max(0L, last.bottom - last.top));
    } else {
        RECT window = {};
        ::GetWindowRect(toolBar, &window);
        band.cxMinChild = 0;
        band.cyMinChild = static_cast<UINT>(std::max(0L, window.bottom - window.top));
    }
    CReBarCtrl(reBar).SetBandInfo(index, &band);
    ::InvalidateRect(toolBar, nullptr, TRUE);
    return true;
}

void SetReBarBandsBackground(HWND reBar, HBITMAP bitmap)
{
    if (!::IsWindow(reBar))
        return;
    CReBarCtrl rebar(reBar);
    const int count = static_cast<int>(rebar.GetBandCount());
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = BandQuery(RBBIM_BACKGROUND);
        band.hbmBack = bitmap;
        rebar.SetBandInfo(i, &band);
        REBARBANDINFOA child = BandQuery(RBBIM_CHILD);
        if (rebar.GetBandInfo(i, &child) && ::IsWindow(child.hwndChild)) {
            ::InvalidateRect(child.hwndChild, nullptr, TRUE);
            ::UpdateWindow(child.hwndChild);
        }
    }
}

bool SaveReBarBandLayout(HWND reBar, const char* section, CSettingsStore* store)
{
    if (!::IsWindow(reBar))
        return false;
    CReBarCtrl rebar(reBar);
    CSettingsStore& target = StoreOr(store);
    const int count = static_cast<int>(rebar.GetBandCount());
    bool written = true;
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = BandQuery(kBandRecordMask);
        if (!rebar.GetBandInfo(i, &band)) {
            written = false;
            continue;
        }
        const CBandRecord record = EncodeBandRecord(band);
        written = target.WriteBinary(section, BandValueName(i).c_str(), record.data(), record.size()) && written;
    }
    return written;
}

// The stored records are all read and checked before any is applied: one damaged value means the
// layout was not written by this program as a whole, and a half-applied layout would be neither
// the user's nor the default. Each record is applied with the record mask alone, whatever mask a
// stored value names, so a stored value can never take a band's child, text or bitmap away.
bool LoadReBarBandLayout(HWND reBar, const char* section, CSettingsStore* store)
{
    if (!::IsWindow(reBar))
        return true;
    CReBarCtrl rebar(reBar);
    CSettingsStore& source = StoreOr(store);
    const int count = static_cast<int>(rebar.GetBandCount());
    struct Stored {
        bool present = false;
        REBARBANDINFOA band = {};
    };
    std::vector<Stored> stored(static_cast<size_t>(std::max(0, count)));
    for (int i = 0; i < count; ++i) {
        std::vector<BYTE> data;
        if (!source.GetBinary(section, BandValueName(i).c_str(), data))
            continue;
        if (!DecodeBandRecord(data, stored[i].band))
            return true;
        stored[i].present = true;
    }
    for (int i = 0; i < count; ++i) {
        if (!stored[i].present)
            continue;
        REBARBANDINFOA& band = stored[i].band;
        const int at = rebar.IdToIndex(band.wID);
        // An id already placed at an earlier position is a repeated record: moving the band again
        // would undo that placement.
        if (at < i)
            continue;
        if (at != i)
            rebar.MoveBand(static_cast<UINT>(at), static_cast<UINT>(i));
        band.fMask = kBandRecordMask;
        rebar.SetBandInfo(i, &band);
    }
    return true;
}

bool PlaceReBarBandOnTopRow(HWND reBar, UINT id)
{
    if (!::IsWindow(reBar))
        return false;
    CReBarCtrl rebar(reBar);
    const int at = rebar.IdToIndex(id);
    if (at < 0)
        return false;
    if (at > 0)
        rebar.MoveBand(static_cast<UINT>(at), 0);
    const int count = static_cast<int>(rebar.GetBandCount());
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = BandQuery(RBBIM_STYLE);
        if (!rebar.GetBandInfo(i, &band))
            continue;
        // The first band needs no break; every band up to the first shown one after it takes one.
        const UINT style = i == 0 ? band.fStyle & ~RBBS_BREAK : band.fStyle | RBBS_BREAK;
        if (style != band.fStyle) {
            band.fStyle = style;
            rebar.SetBandInfo(i, &band);
        }
        if (i > 0 && !(style & RBBS_HIDDEN))
            break;
    }
    return true;
}

void RemoveClickInRect(HWND window, const RECT& rect)
{
    MSG message = {};
    if (!::PeekMessageA(&message, window, 0, 0, PM_NOREMOVE | PM_NOYIELD))
        return;
    if (message.message != WM_LBUTTONDOWN && message.message != WM_LBUTTONDBLCLK)
        return;
    const POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
    if (::PtInRect(&rect, point))
        ::PeekMessageA(&message, window, message.message, message.message, PM_REMOVE | PM_NOYIELD);
}

CStdString CommandStringPart(const CStdString& text, bool tooltipPart)
{
    if (!tooltipPart)
        return text;
    const size_t feed = text.find('\n');
    return feed == CStdString::npos ? CStdString() : CStdString(text.substr(feed + 1).c_str());
}

namespace {

constexpr int kMaxCommandString = 256;
constexpr int kToolTipCapacity = 80;  // the record's own buffer

// The string resource as loaded, or false when there is none.
bool LoadResourceString(UINT stringId, CStdString& text)
{
    char buffer[kMaxCommandString + 1] = {};
    const int length = ::LoadStringA(AtlGetResourceInstance(), stringId, buffer, kMaxCommandString + 1);
    if (length < 1)
        return false;
    text = buffer;
    return true;
}

CStdString ToAnsi(const wchar_t* text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return CStdString();
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return CStdString(bytes.c_str());
}

std::wstring ToWide(const char* text)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

}  // namespace

bool LoadCommandStringA(int capacity, char* text, UINT stringId, bool tooltipPart)
{
    CStdString loaded;
    if (!LoadResourceString(stringId, loaded))
        return false;
    const CStdString part = CommandStringPart(loaded, tooltipPart);
    if (!part.empty() && text && capacity > 0)
        ::lstrcpynA(text, TranslateText(part.c_str()).c_str(), capacity);
    return true;
}

// The wide twin reads the wide resource and goes through the ANSI code page for the translator.
bool LoadCommandStringW(int capacity, wchar_t* text, UINT stringId, bool tooltipPart)
{
    wchar_t buffer[kMaxCommandString + 1] = {};
    if (::LoadStringW(AtlGetResourceInstance(), stringId, buffer, kMaxCommandString + 1) < 1)
        return false;
    const CStdString part = CommandStringPart(ToAnsi(buffer), tooltipPart);
    if (!part.empty() && text && capacity > 0)
        ::lstrcpynW(text, ToWide(TranslateText(part.c_str()).c_str()).c_str(), capacity);
    return true;
}

void GetToolTipTextA(UINT command, NMTTDISPINFOA& info, bool tooltipPart)
{
    info.szText[0] = '\0';
    if (command == 0 || (info.uFlags & TTF_IDISHWND))
        return;
    CCommandImageManager* commands = GetCommandImageManager();
    if (commands && commands->HasCommandText(command) && !commands->GetCommandText(command).empty()) {
        ::lstrcpynA(info.szText, commands->GetCommandText(command).c_str(), kToolTipCapacity);
        info.uFlags |= TTF_DI_SETITEM;
    } else if (LoadCommandStringA(kToolTipCapacity, info.szText, command, tooltipPart)) {
        info.uFlags |= TTF_DI_SETITEM;
    }
}

void GetToolTipTextW(UINT command, NMTTDISPINFOW& info, bool tooltipPart)
{
    info.szText[0] = L'\0';
    if (command == 0 || (info.uFlags & TTF_IDISHWND))
        return;
    CCommandImageManager* commands = GetCommandImageManager();
    if (commands && commands->HasCommandText(command) && !commands->GetCommandText(command).empty()) {
        ::lstrcpynW(info.szText, ToWide(commands->GetCommandText(command).c_str()).c_str(), kToolTipCapacity);
        info.uFlags |= TTF_DI_SETITEM;
    } else if (LoadCommandStringW(kToolTipCapacity, info.szText, command, tooltipPart)) {
        info.uFlags |= TTF_DI_SETITEM;
    }
}
