#pragma once
// COptionsCaption: the caption panel above the shown page of the Options dialog, a subclassed
// static. Its background is a gradient from the button-face colour at the right edge to black at
// the left with the product name embossed at the right, built once into a bitmap of the panel's
// size; over it the panel's own text (the shown page's title) in bold, 5 pixels from the left.
//
// Lifetime: rule (a): the dialog holds it as a member; the static is a child of the dialog.
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

class COptionsCaption : public CWindowImpl<COptionsCaption> {
public:
    static constexpr int kTextMargin = 5;
    static constexpr int kProductFontHeight = 18;

    // The colour of one band of the background, `distance` pixels from the right edge of a panel
    // `width` pixels wide: each part falls as the square of the distance.
    static COLORREF GradientColor(COLORREF face, int distance, int width);

    BEGIN_MSG_MAP(COptionsCaption)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

private:
    LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void BuildBackground(HDC reference, const RECT& client);
    void DrawBackground(HDC dc);

    CBitmap m_background;
    SIZE m_backgroundSize = {};
};
