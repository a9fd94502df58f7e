#include "controls/DropShadow.h"

#include "controls/ThemeApi.h"
#include "core/system/OsInfo.h"
#include "core/system/SystemFacts.h"
#include "core/system/WindowFunctions.h"

namespace {
IDropShadowEnvironment* g_environment = nullptr;  // not owned: a scope's replacement, or null
}

bool CSystemDropShadowEnvironment::IsDropShadowEnabled() { return ::IsDropShadowEnabled(); }

bool CSystemDropShadowEnvironment::IsWinXPOrLater()
{
    const COsInfo* info = GetOsInfo();
    return info && info->IsWinXPOrLater();
}

bool CSystemDropShadowEnvironment::IsFullWindowDragEnabled()
{
    BOOL full = FALSE;
    return ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0) && full;
}

bool CSystemDropShadowEnvironment::SetLayeredAlpha(HWND window, BYTE alpha)
{
    const CThemeApi* api = GetThemeApi();
    return api && api->SetLayeredWindowAttributes && api->SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

CSystemDropShadowEnvironment& GetSystemDropShadowEnvironment()
{
    static CSystemDropShadowEnvironment environment;
    return environment;
}

IDropShadowEnvironment& GetDropShadowEnvironment()
{
    return g_environment ? *g_environment : GetSystemDropShadowEnvironment();
}

CScopedDropShadowEnvironment::CScopedDropShadowEnvironment(IDropShadowEnvironment& replacement)
    : m_previous(g_environment)
{
    g_environment = &replacement;
}

CScopedDropShadowEnvironment::~CScopedDropShadowEnvironment() { g_environment = m_previous; }

EShadowMode ChooseShadowMode(bool ownerIsDialog, bool systemShadowsOn)
{
    return !ownerIsDialog && systemShadowsOn ? EShadowMode::kClassStyle : EShadowMode::kShadowWindows;
}

bool ShadowWindowAllowed(bool winXPOrLater, bool systemShadowsOn) { return !winXPOrLater || systemShadowsOn; }

void ComputeShadowRects(const RECT& owner, int thickness, RECT& right, RECT& bottom)
{
    right = {owner.right, owner.top + thickness, owner.right + thickness, owner.bottom + thickness};
    bottom = {owner.left + thickness, owner.bottom, owner.right, owner.bottom + thickness};
}

UINT ShadowPlacementFlags(bool alwaysShow, bool ownerVisible)
{
    return SWP_NOACTIVATE | (alwaysShow || ownerVisible ? SWP_SHOWWINDOW : 0);
}

int ShadowShowCommand(bool skinnedDialog, bool show) { return !skinnedDialog && show ? SW_SHOWNOACTIVATE : SW_HIDE; }

// ---- CShadowWnd ---------------------------------------------------------------------------------

HWND CShadowWnd::CreateFor(HWND owner)
{
    RECT place = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
    return Create(owner, place);
}

// The window answers its own WM_CREATE: -1 stops the creation where the strip could not be
// translucent (an opaque dark strip would be worse than none) or where the user turned shadows off.
LRESULT CShadowWnd::OnCreate(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, BOOL& /*handled*/)
{
    IDropShadowEnvironment& environment = GetDropShadowEnvironment();
    if (!ShadowWindowAllowed(environment.IsWinXPOrLater(), environment.IsDropShadowEnabled()))
        return -1;
    return environment.SetLayeredAlpha(m_hWnd, kShadowAlpha) ? 0 : -1;
}

// ---- CDropShadowStrips --------------------------------------------------------------------------

void CDropShadowStrips::ProcessOwnerMessage(HWND owner, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_INITDIALOG:
        OnCreate(owner);
        break;
    case WM_MOVE:
        UpdatePosition(owner);
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            UpdatePosition(owner);
        break;
    case WM_SIZING:
    case WM_MOVING:
        OnOwnerMoved(owner);
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(owner, wParam != 0);
        break;
    default:
        break;
    }
}

// CS_DROPSHADOW changes the owner's window class, so it holds for every window of that class from
// then on, also after the user turns shadows off.
void CDropShadowStrips::OnCreate(HWND owner)
{
    IDropShadowEnvironment& environment = GetDropShadowEnvironment();
    if (ChooseShadowMode(IsDialogWindow(owner), environment.IsDropShadowEnabled()) == EShadowMode::kClassStyle) {
        const ULONG_PTR style = ::GetClassLongPtrA(owner, GCL_STYLE);
        ::SetClassLongPtrA(owner, GCL_STYLE, static_cast<LONG_PTR>(style | CS_DROPSHADOW));
        return;
    }
    if (!m_right.m_hWnd)
        m_right.CreateFor(owner);
    if (!m_bottom.m_hWnd)
        m_bottom.CreateFor(owner);
}

void CDropShadowStrips::UpdatePosition(HWND owner)
{
    if (IsDialogWindow(owner) && GetDropShadowEnvironment().IsSkinActive())
        return;
    if (!::IsWindow(m_right.m_hWnd) || !::IsWindow(m_bottom.m_hWnd))
        return;
    RECT rect = {};
    if (!::GetWindowRect(owner, &rect))
        return;
    RECT right = {}, bottom = {};
    ComputeShadowRects(rect, m_thickness, right, bottom);
    const UINT flags = ShadowPlacementFlags(m_alwaysShow != 0, ::IsWindowVisible(owner) != FALSE);
    ::SetWindowPos(m_right.m_hWnd, owner, right.left, right.top, right.right - right.left, right.bottom - right.top,
                   flags);
    ::SetWindowPos(m_bottom.m_hWnd, owner, bottom.left, bottom.top, bottom.right - bottom.left,
                   bottom.bottom - bottom.top, flags);
}

// Without full-window dragging the strips stay while the outline moves and follow at the final
// WM_MOVE or WM_SIZE.
void CDropShadowStrips::OnOwnerMoved(HWND owner)
{
    if (GetDropShadowEnvironment().IsFullWindowDragEnabled())
        UpdatePosition(owner);
}

void CDropShadowStrips::OnShowWindow(HWND owner, bool show)
{
    if (!::IsWindow(m_right.m_hWnd))
        return;
    const int command = ShadowShowCommand(IsDialogWindow(owner) && GetDropShadowEnvironment().IsSkinActive(), show);
    ::ShowWindow(m_right.m_hWnd, command);
    if (::IsWindow(m_bottom.m_hWnd))
        ::ShowWindow(m_bottom.m_hWnd, command);
}
