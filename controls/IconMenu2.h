#pragma once
// CIconMenu2: owner-drawn popup menus with command icons. While a popup that its owner tracks
// through it is open, each item is turned into an owner-drawn item (an IconMenuItemData record
// marks it), measured and drawn in the chosen look with its icon from the command-icon store,
// and turned back into the plain item it was when the track ends. In the office look a thread
// CBT hook gives each menu window a flat frame and a drop shadow (CFlatMenuFrame).
//
// Lifetime: a window owns the object as a member and chains it into its message map
// (CHAIN_MSG_MAP_MEMBER); Attach before use, Detach (or the destructor) before the window goes.
// UI thread only.
#include "controls/CommandImageManager.h"
#include "controls/MenuItemLayout.h"
#include "core/system/Holders.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

inline constexpr DWORD kIconMenuItemMagic = 0x1313;
inline constexpr CommandImageRef kNoCommandImage = static_cast<CommandImageRef>(-1);

// The record of a converted item. It keeps what the item was, so that the item can be put back
// exactly, including the item data its owner had set.
struct IconMenuItemData {
    DWORD magic = kIconMenuItemMagic;
    std::string text;            // the item text (empty for separators)
    UINT type = 0;               // fType before MFT_OWNERDRAW was added
    UINT state = 0;              // fState before the conversion
    CommandImageRef image = kNoCommandImage;
    ULONG_PTR previousData = 0;  // the item's own data, given back at the restore
};

class CIconMenu2 {
public:
    // office: the office look (icon column, flat frames); otherwise a classic look, flat when the
    // system's flat-menu setting is on.
    explicit CIconMenu2(bool office = true);
    ~CIconMenu2();
    CIconMenu2(const CIconMenu2&) = delete;
    CIconMenu2& operator=(const CIconMenu2&) = delete;

    void Attach(HWND owner);
    void Detach();
    HWND GetOwner() const { return m_owner; }

    // Tracks the popup for the owner and returns the chosen command (with TPM_RETURNCMD) or the
    // track's result; 0 at once while a track of this object runs or without an owner.
    UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params = nullptr);

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0);

    void SetShowPrefix(bool show) { m_showPrefix = show ? 1 : 0; }
    void SetExtraWidth(int width) { m_extraWidth = width; }
    bool IsTracking() const { return m_tracking != 0; }
    // The menu windows open now (in creation order) and the records alive now.
    const std::deque<HWND>& GetOpenMenuWindows() const { return m_openWindows; }
    size_t GetRecordCount() const { return m_records.size(); }

    // The look for drawing: office, else classic-flat when the system's flat menus are on.
    EMenuLook GetLook() const;

    // Conversion and restore of one popup; public so that a popup can be converted without a
    // track (the command bar's own tracking) and for tests.
    void ConvertPopup(HMENU popup);
    void RestoreOpenPopups();

    // The record of one of this object's converted items (an item's data), or null.
    const IconMenuItemData* FindItemRecord(ULONG_PTR data) const { return FindRecord(data); }

    // The handlers, callable with fabricated structures.
    bool MeasureItem(MEASUREITEMSTRUCT& measure);
    bool DrawItem(const DRAWITEMSTRUCT& draw);

private:
    static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnCbt(int code, WPARAM wParam);
    IconMenuItemData* FindRecord(ULONG_PTR data) const;
    void DrawOffice(const DRAWITEMSTRUCT& draw, const IconMenuItemData& record);
    void DrawClassic(const DRAWITEMSTRUCT& draw, const IconMenuItemData& record, bool flat);
    void DrawText(HDC dc, const IconMenuItemData& record, RECT rect, COLORREF color) const;
    void DrawCheckBox(HDC dc, const RECT& cell, bool selected, bool checked) const;

    BYTE m_showPrefix = 0;
    BYTE m_tracking = 0;
    BYTE m_office;
    std::deque<HWND> m_openWindows;
    CWindowsHookHolder m_hook;
    int m_extraWidth = 0;
    std::deque<HMENU> m_openMenus;
    std::vector<std::unique_ptr<IconMenuItemData>> m_records;
    HWND m_owner = nullptr;
    CIconMenu2* m_outerTracker = nullptr;  // not owned: the object whose track was running before
};
