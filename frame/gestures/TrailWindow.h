#pragma once
// CTrailWindow: the window a right-button stroke is painted on while it is drawn, a coloured line
// with a dot at its start and an arrow head at its end. It is a top-most layered popup over the
// whole desktop whose background is the colour key 0xFF00FF, so only the trail shows; it never
// takes the mouse (WS_EX_TRANSPARENT) or the activation. On release the trail fades out (unless
// the fade speed is 255) and is cleared.
//
// Lifetime: its owner holds it (the trail settings for the program's trail, a preview filter for
// its own) and destroys the window by destroying the object.
#include "frame/gestures/GestureListener.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <vector>

constexpr COLORREF kTrailColorKey = RGB(0xFF, 0x00, 0xFF);
constexpr UINT_PTR kTrailSendToBottomTimer = 84482374;
constexpr UINT kTrailSendToBottomDelay = 500;
constexpr double kTrailMinimumDistance = 5.0;
constexpr BYTE kTrailNoFade = 255;

// The geometry of the painting, apart from the window so that it can be checked point by point.
namespace trail_geometry {
// The area repainted around the points' bounding rectangle: grown by twice the width (at least 1)
// at the left, top and right and by twice that at the bottom, clipped to `bounds`.
RECT DirtyRect(const RECT& pointBounds, int width, const RECT& bounds);
// Whether an arrow head is drawn: not for a stroke of at most 5 points whose ends are no farther
// apart than the width.
bool DrawsArrowHead(const std::vector<POINT>& points, int width);
// The arrow head's tip and its two back corners for the last segment of the points.
void ArrowHead(const std::vector<POINT>& points, int width, POINT (&triangle)[3]);
// The alpha values of a fade-out from `transparency` in steps of `fadeSpeed`; none for 255.
std::vector<BYTE> FadeSteps(BYTE transparency, int fadeSpeed);
}  // namespace trail_geometry

class CTrailWindow : public CWindowImpl<CTrailWindow, CWindow, CNullTraits>, public CTrailSink {
public:
    static CWndClassInfo& GetWndClassInfo();

    CTrailWindow() = default;
    ~CTrailWindow() override;

    // Creates the window over the desktop; false when it cannot be created.
    bool CreateTrailWindow();
    void ApplySettings(COLORREF color, int width, BYTE transparency, int fadeSpeed);

    void Begin(HWND window) override;
    void End() override;
    void AddPoint(const CGestureStroke& stroke) override;
    void BringToTop() override;
    void SendToBottomLater() override;

    const std::vector<POINT>& GetPoints() const { return m_points; }
    BYTE GetTransparency() const { return m_transparency; }
    int GetFadeSpeed() const { return m_fadeSpeed; }
    // The alpha values the last End went through (for the record of a fade).
    const std::vector<BYTE>& GetLastFade() const { return m_lastFade; }

    BEGIN_MSG_MAP(CTrailWindow)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_DISPLAYCHANGE, OnDisplayChange)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
    END_MSG_MAP()

private:
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDisplayChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);

    static RECT CoveredRect();
    void MakeMemoryBitmap();
    void Paint();
    void SetAlpha(BYTE alpha);

    POINT m_origin = {};
    POINT m_lastPoint = {static_cast<LONG>(0x80000000), static_cast<LONG>(0x80000000)};
    std::vector<POINT> m_points;
    RECT m_covered = {};
    RECT m_pointBounds = {};
    CDC m_memoryDC;
    CBitmap m_memoryBitmap;
    HBITMAP m_previousBitmap = nullptr;  // not owned: what the memory DC held before ours
    CPen m_trailPen;
    CPen m_outlinePen;
    CBrush m_trailBrush;
    CBrush m_keyBrush;
    int m_width = 10;
    BYTE m_transparency = 0;
    int m_fadeSpeed = 1;
    std::vector<BYTE> m_lastFade;
    CComAutoCriticalSection m_zOrderLock;
};
