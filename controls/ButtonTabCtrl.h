#pragma once
// The two button looks: tabs drawn as buttons on a plain button-face strip. CButtonTabCtrl draws
// push buttons, CDotNetButtonTabCtrl flat DotNet tabs with a framed selected one.
#include "controls/TabCtrlBase.h"

template <class T>
class TButtonTabCtrlImpl : public TTabCtrlBase<T> {
public:
    TButtonTabCtrlImpl()
    {
        this->SetLookColours(::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_WINDOW));
    }

    void SetupLook()
    {
        this->SetupFonts();
        this->m_ownBrush.DeleteObject();
        this->m_background = ::GetSysColorBrush(COLOR_BTNFACE);
        this->SetStandardMetrics(false);
    }

    void DrawBackground(CTabCustomDraw& cd)
    {
        HDC dc = cd.nmcd.hdc;
        ::SetTextColor(dc, cd.btnText);
        ::SetBkMode(dc, TRANSPARENT);
        RECT clip;
        ::GetClipBox(dc, &clip);
        ::FillRect(dc, &clip, cd.background);
    }

protected:
    // Both looks draw their tabs 3 pixels in from the top and the bottom.
    static RECT ButtonRect(const RECT& rect) { return RECT{rect.left, rect.top + 3, rect.right, rect.bottom - 3}; }
};

class CButtonTabCtrl : public TButtonTabCtrlImpl<CButtonTabCtrl> {
public:
    DECLARE_WND_CLASS_EX("_ButtonTab", CS_DBLCLKS, COLOR_WINDOW)

    void DrawItem(CTabCustomDraw& cd)
    {
        RECT rect = ButtonRect(cd.nmcd.rc);
        const bool selected = (cd.nmcd.uItemState & CDIS_SELECTED) != 0;
        ::DrawFrameControl(cd.nmcd.hdc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (selected ? DFCS_PUSHED : 0));
        DrawItemContent(cd, rect, false);
    }
};

class CDotNetButtonTabCtrl : public TButtonTabCtrlImpl<CDotNetButtonTabCtrl> {
public:
    DECLARE_WND_CLASS_EX("_DotNetButtonTabCtrl", CS_DBLCLKS, COLOR_WINDOW)

    void DrawItem(CTabCustomDraw& cd);
};
