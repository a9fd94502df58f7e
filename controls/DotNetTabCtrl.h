#pragma once
// The DotNet look: flat tabs on a lightened face-coloured strip, a content band along the edge the
// tabs open to, thin separators between unselected tabs. TDotNetTabCtrlImpl<T> also serves
// CDotNet2005TabCtrl and CFlyingTabCtrl, which change a few of its parts.
#include "controls/TabCtrlBase.h"

// The DotNet looks' background and inactive text colours for a screen depth: a lightened button
// face and a darkened grey text, or the window colour and plain grey text below 9 bits per pixel.
struct CDotNetColours {
    bool useWindowBrush = false;
    COLORREF background = 0;
    COLORREF inactiveText = 0;

    static CDotNetColours For(int bitsPerPixel, COLORREF btnFace, COLORREF grayText);
    static int ScreenBitsPerPixel();
};

template <class T>
class TDotNetTabCtrlImpl : public TTabCtrlBase<T> {
    using Base = TTabCtrlBase<T>;

public:
    TDotNetTabCtrlImpl()
    {
        this->SetLookColours(::GetSysColor(COLOR_GRAYTEXT), ::GetSysColor(COLOR_BTNFACE));
    }

    void SetupLook()
    {
        this->SetupFonts();
        const CDotNetColours colours = CDotNetColours::For(CDotNetColours::ScreenBitsPerPixel(),
                                                           ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_GRAYTEXT));
        if (colours.useWindowBrush) {
            this->m_ownBrush.DeleteObject();
            this->m_background = ::GetSysColorBrush(COLOR_WINDOW);
        } else {
            this->m_background = this->m_ownBrush.CreateSolidBrush(colours.background);
        }
        this->m_inactiveText = colours.inactiveText;
        static_cast<T*>(this)->SetLookMetrics();
    }

    void SetLookMetrics() { this->SetStandardMetrics(true); }

    void DrawBackground(CTabCustomDraw& cd)
    {
        HDC dc = cd.nmcd.hdc;
        RECT clip;
        ::GetClipBox(dc, &clip);
        ::FillRect(dc, &clip, cd.background);
        const auto& areas = this->m_areas;
        if (::EqualRect(&clip, &areas.close) || ::EqualRect(&clip, &areas.scrollLeft) ||
            ::EqualRect(&clip, &areas.scrollRight))
            return;
        T* look = static_cast<T*>(this);
        CTabDraw::DotNetBand(cd, cd.nmcd.rc, this->IsBottom(), look->BandLineColour(cd), look->BandRightEdgeColour(cd));
    }

    COLORREF BandLineColour(const CTabCustomDraw& cd) const { return this->IsBottom() ? cd.btnText : cd.btnHighlight; }
    COLORREF BandRightEdgeColour(const CTabCustomDraw& cd) const
    {
        return (this->Style() & kTabStyleShadowEdge) ? cd.btnShadow : cd.btnHighlight;
    }

    void DrawItem(CTabCustomDraw& cd)
    {
        const RECT rect = cd.nmcd.rc;
        const int index = static_cast<int>(cd.nmcd.dwItemSpec);
        if (cd.nmcd.uItemState & CDIS_SELECTED)
            static_cast<T*>(this)->DrawSelectedTab(cd, rect);
        else
            CTabDraw::UnselectedTab(cd, rect, this->IsBottom(), index == this->m_selected + 1 && this->m_selected >= 0,
                                    index + 1 == this->m_selected);
        static_cast<T*>(this)->DrawContent(cd, rect);
    }

    void DrawSelectedTab(const CTabCustomDraw& cd, const RECT& rect) { CTabDraw::DotNetSelectedTab(cd, rect, this->IsBottom()); }
    void DrawContent(const CTabCustomDraw& cd, const RECT& rect) { this->DrawItemContent(cd, rect, false); }
};

class CDotNetTabCtrl : public TDotNetTabCtrlImpl<CDotNetTabCtrl> {
public:
    DECLARE_WND_CLASS_EX("_DotNetTabCtrl", CS_DBLCLKS, COLOR_WINDOW)
};
