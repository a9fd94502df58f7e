#pragma once
// CSkinnedWindow: what one window does while it wears the skin of CFrameSkinManager. It is the
// window's hook in the subclassing registry: it sizes the non-client area from the skin's
// borders, paints the frame bitmaps, the caption text, the icon and the four-state caption
// buttons, tracks presses on those buttons (minimise, maximise or restore, close, system menu) and
// shapes the window with a region. Every handler leaves the message alone while no skin is active.
//
// Lifetime: owned by the skin manager's map (one record per window); detached when the window is
// destroyed. UI thread only.
#include "controls/skins/SkinData.h"
#include "controls/skins/SubclassRegistry.h"

class CFrameSkinManager;

class CSkinnedWindow : public CWindowHook {
public:
    // The frame the system keeps around a skinned window's client area on each side, which the
    // skin's borders replace.
    static constexpr int kFrameAllowance = 4;

    explicit CSkinnedWindow(CFrameSkinManager& manager) : m_manager(manager) {}
    ~CSkinnedWindow() override;

    // Hooks the window at the first call, then brings style, size and region in line with the
    // manager's current skin (or with none).
    bool Apply(HWND window);
    // Gives the window its own frame back and lets go of it.
    void Detach();

    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The caption button under a screen point: HTSYSMENU, HTMINBUTTON, HTMAXBUTTON, HTCLOSE or 0.
    int ButtonHitTest(POINT screen) const;
    // A button's rectangle in window coordinates (empty when it has none).
    RECT ButtonRect(int hitCode) const;
    int GetPressedCode() const { return m_pressed; }
    int GetHotCode() const { return m_hot; }
    // The title-bar states read when the window was first skinned (STATE_SYSTEM_* bits).
    DWORD GetButtonState(int hitCode) const;
    // Paints the frame into a DC the size of the window (window coordinates).
    void PaintFrame(HDC dc, int width, int height) const;

private:
    bool IsActive() const;
    void ReadWindowFacts();
    void SetRegion(int width, int height);
    void KeepDialogClientSize();
    void RedrawFrame();
    void OnNcPaint();
    bool OnNcCalcSize(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    bool OnLButtonUp(LPARAM lParam);
    void OpenSystemMenu(int x, int y);
    bool IsButtonUsable(int hitCode) const;
    int StateImage(int hitCode) const;

    CFrameSkinManager& m_manager;
    HWND m_window = nullptr;        // the skinned window (also the hook's), kept for the detach
    DWORD m_minState = 0;
    DWORD m_maxState = 0;
    DWORD m_closeState = 0;
    HICON m_icon = nullptr;         // not owned: the window's or its class's icon
    DWORD m_ownBorder = WS_BORDER;  // the window's own WS_BORDER bit, given back without a skin
    bool m_isDialog = false;
    SIZE m_dialogClient = {};       // a dialog keeps this client size under every skin
    bool m_tracking = false;
    int m_pressed = 0;
    int m_hot = 0;
};
