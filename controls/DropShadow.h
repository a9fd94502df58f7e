#pragma once
// CDropShadow<T>: a shadow along the right and bottom edges of a top-level pop-up window (the
// owner T, which derives from it and chains it into its message map). Where the system draws
// shadows and the owner is not a dialog box, the owner's class gets CS_DROPSHADOW and the mixin
// stays idle; otherwise two translucent CShadowWnd strips ("_ShadWnd") follow the owner as it
// moves, resizes, shows and hides. The mixin never marks a message handled.
//
// Lifetime: the strips are owned windows of the owner, so the system destroys them with it; the
// CShadowWnd objects are members of the mixin and let go of their windows when the owner object
// goes (rule (a)). UI thread only.
#include "platform/AtlWin.h"

// Thickness of the strips: the flat menu frames use the thinner one.
inline constexpr int kDropShadowThickness = 4;
inline constexpr int kMenuDropShadowThickness = 3;
// Opacity of the strips (of 255).
inline constexpr BYTE kShadowAlpha = 60;

// What the shadow asks of the system and of the skin engine. Process-wide: GetDropShadowEnvironment
// gives the current one; tests put their own in place with CScopedDropShadowEnvironment.
class IDropShadowEnvironment {
public:
    virtual bool IsDropShadowEnabled() = 0;       // the user's shadow setting (a failed query: off)
    virtual bool IsWinXPOrLater() = 0;
    virtual bool IsFullWindowDragEnabled() = 0;   // a failed query: off
    virtual bool IsSkinActive() = 0;              // a skin is in use for the window frames
    // False when the system has no layered-window attributes or the call fails.
    virtual bool SetLayeredAlpha(HWND window, BYTE alpha) = 0;

protected:
    ~IDropShadowEnvironment() = default;
};

// The running system. The skin engine is not part of this library: until it tells the shadow
// that a skin is active (SetSkinActive), none is.
class CSystemDropShadowEnvironment : public IDropShadowEnvironment {
public:
    bool IsDropShadowEnabled() override;
    bool IsWinXPOrLater() override;
    bool IsFullWindowDragEnabled() override;
    bool IsSkinActive() override { return m_skinActive; }
    bool SetLayeredAlpha(HWND window, BYTE alpha) override;
    void SetSkinActive(bool active) { m_skinActive = active; }

private:
    bool m_skinActive = false;
};
CSystemDropShadowEnvironment& GetSystemDropShadowEnvironment();
IDropShadowEnvironment& GetDropShadowEnvironment();

class CScopedDropShadowEnvironment {
public:
    explicit CScopedDropShadowEnvironment(IDropShadowEnvironment& replacement);
    ~CScopedDropShadowEnvironment();
    CScopedDropShadowEnvironment(const CScopedDropShadowEnvironment&) = delete;
    CScopedDropShadowEnvironment& operator=(const CScopedDropShadowEnvironment&) = delete;

private:
    IDropShadowEnvironment* m_previous;  // not owned: the environment before this scope
};

// ---- The decisions, as pure functions ----------------------------------------------------------

enum class EShadowMode { kClassStyle, kShadowWindows };
// Non-dialog owners use the system's shadow when it is on; dialog boxes (and every owner on a
// system whose shadow is off) get the strips, if the strips can be made at all.
EShadowMode ChooseShadowMode(bool ownerIsDialog, bool systemShadowsOn);
// Whether a strip window may exist: on Windows XP and later only with the user's setting on.
bool ShadowWindowAllowed(bool winXPOrLater, bool systemShadowsOn);
// The strips for an owner rectangle (screen coordinates): the right strip holds the square below
// the owner's bottom-right corner, the bottom strip ends at the owner's right edge.
void ComputeShadowRects(const RECT& owner, int thickness, RECT& right, RECT& bottom);
UINT ShadowPlacementFlags(bool alwaysShow, bool ownerVisible);
int ShadowShowCommand(bool skinnedDialog, bool show);

// ---- The strip window -------------------------------------------------------------------------

class CShadowWnd : public CWindowImpl<CShadowWnd, CWindow, CWinTraits<WS_POPUP | WS_DISABLED, WS_EX_LAYERED>> {
public:
    DECLARE_WND_CLASS_EX("_ShadWnd", 0, COLOR_3DDKSHADOW)

    CShadowWnd() = default;
    CShadowWnd(const CShadowWnd&) = delete;
    CShadowWnd& operator=(const CShadowWnd&) = delete;

    // Created unplaced and hidden; null when the system allows no strip.
    HWND CreateFor(HWND owner);

    BEGIN_MSG_MAP(CShadowWnd)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
};

// ---- The mixin --------------------------------------------------------------------------------

// Owner-independent work of the mixin.
class CDropShadowStrips {
public:
    CDropShadowStrips(bool alwaysShow, int thickness) : m_alwaysShow(alwaysShow ? 1 : 0), m_thickness(thickness) {}
    CDropShadowStrips(const CDropShadowStrips&) = delete;
    CDropShadowStrips& operator=(const CDropShadowStrips&) = delete;

    void OnCreate(HWND owner);
    void UpdatePosition(HWND owner);
    void OnOwnerMoved(HWND owner);
    void OnShowWindow(HWND owner, bool show);
    // Dispatches the owner's messages; never handles one.
    void ProcessOwnerMessage(HWND owner, UINT message, WPARAM wParam);

    HWND RightWindow() const { return m_right.m_hWnd; }
    HWND BottomWindow() const { return m_bottom.m_hWnd; }

private:
    CShadowWnd m_right;
    CShadowWnd m_bottom;
    BYTE m_alwaysShow;
    int m_thickness;
};

template <class T, int t_thickness = kDropShadowThickness>
class CDropShadow {
public:
    explicit CDropShadow(bool alwaysShow = false) : m_strips(alwaysShow, t_thickness) {}
    CDropShadow(const CDropShadow&) = delete;
    CDropShadow& operator=(const CDropShadow&) = delete;

    // Chained from the owner's map (CHAIN_MSG_MAP(CDropShadow<T>)); map ids other than 0 are not
    // looked at, and every message goes on to the owner.
    BOOL ProcessWindowMessage(HWND /*hWnd*/, UINT uMsg, WPARAM wParam, LPARAM /*lParam*/, LRESULT& /*lResult*/,
                              DWORD dwMsgMapID = 0)
    {
        if (dwMsgMapID == 0)
            m_strips.ProcessOwnerMessage(static_cast<T*>(this)->m_hWnd, uMsg, wParam);
        return FALSE;
    }

    const CDropShadowStrips& GetShadowStrips() const { return m_strips; }

private:
    CDropShadowStrips m_strips;
};
