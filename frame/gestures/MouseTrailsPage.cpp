#include "frame/gestures/MouseTrailsPage.h"

#include "controls/ImageListManager.h"
#include "core/app/LanguageManager.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/TrailSettings.h"

#include <commctrl.h>

#include <cstdio>

namespace {

constexpr int kTrailPageIcon = 5;
constexpr int kFadeNormalFrom = 64;
constexpr int kFadeNormalTo = 192;

const char* Translated(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    const char* translated = language ? language->Translate(text) : nullptr;
    return translated ? translated : text;
}

// The controls that follow the check box; the check box itself follows the system.
constexpr int kFollowers[] = {IDC_TRAIL_TEST_TEXT,         IDC_TRAIL_COLOR_LABEL, IDC_TRAIL_THICKNESS_LABEL,
                              IDC_TRAIL_TRANSPARENCY_LABEL, IDC_TRAIL_FADE_LABEL,  IDC_TRAIL_TEST_AREA,
                              IDC_TRAIL_COLOR,              IDC_TRAIL_THICKNESS,   IDC_TRAIL_TRANSPARENCY,
                              IDC_TRAIL_FADE_SPEED};

void SetSlider(HWND page, int id, int minimum, int maximum, int position)
{
    HWND slider = ::GetDlgItem(page, id);
    ::SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(minimum, maximum));
    ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
}

}  // namespace

std::string TrailTransparencyTip(int position, int minimum, int maximum)
{
    const int span = maximum - minimum;
    const int percent = span > 0 ? (position - minimum) * 100 / span : 0;
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%d%%", percent);
    return text;
}

std::string TrailFadeSpeedTip(int position)
{
    if (position < kFadeNormalFrom)
        return Translated("Slow");
    if (position <= kFadeNormalTo)
        return Translated("Normal");
    return Translated("Fast");
}

CGestureSettings* CMouseTrailsPage::Gestures() const
{
    return m_gestures ? m_gestures : GetGestureSettings();
}

CTrailSettings* CMouseTrailsPage::Trails() const
{
    return m_trails ? m_trails : GetTrailSettings();
}

HICON CMouseTrailsPage::GetIcon()
{
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST tree = images ? static_cast<HIMAGELIST>(images->m_optionIcons) : nullptr;
    return tree ? ::ImageList_GetIcon(tree, kTrailPageIcon, ILD_NORMAL) : nullptr;
}

LRESULT CMouseTrailsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    const CGestureSettings* gestures = Gestures();
    ::CheckDlgButton(m_hWnd, IDC_ENABLE_TRAILS, gestures && gestures->TrailsEnabled() ? BST_CHECKED : BST_UNCHECKED);
    m_color.SubclassWindow(GetDlgItem(IDC_TRAIL_COLOR));
    m_color.SetDefaultColor(kTrailColorDefault);
    m_color.SetDefaultText(Translated("Default"));
    m_color.SetMoreText(Translated("More Colors..."));
    const CTrailSettings* trails = Trails();
    m_color.SetColor(trails ? trails->GetColor() : kTrailColorDefault);
    SetSlider(m_hWnd, IDC_TRAIL_THICKNESS, 0, kTrailWidthMaximum, trails ? trails->GetWidth() : kTrailWidthDefault);
    SetSlider(m_hWnd, IDC_TRAIL_TRANSPARENCY, 0, kTrailSliderMaximum,
              kTrailSliderMaximum - (trails ? trails->GetTransparency() : kTrailTransparencyDefault));
    SetSlider(m_hWnd, IDC_TRAIL_FADE_SPEED, 0, kTrailSliderMaximum, trails ? trails->GetFadeSpeed() : kTrailFadeSpeedDefault);
    if (const CImageListManager* images = GetImageListManager())
        if (HIMAGELIST tree = images->m_optionIcons)
            m_testIcon.Attach(::ImageList_GetIcon(tree, kTrailPageIcon, ILD_NORMAL));
    UpdateEnabling();
    // The page draws its own strokes; it needs no listener of the tab's.
    m_preview.Hook(m_hWnd, this, nullptr);
    ApplyPreview();
    return TRUE;
}

LRESULT CMouseTrailsPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_preview.Unhook();
    handled = FALSE;
    return 0;
}

// The program needs a system that always has layered windows, so the check box is always
// enabled and only its state decides the others.
void CMouseTrailsPage::UpdateEnabling()
{
    const bool enabled = ::IsDlgButtonChecked(m_hWnd, IDC_ENABLE_TRAILS) == BST_CHECKED;
    for (int id : kFollowers)
        ::EnableWindow(GetDlgItem(id), enabled);
    ::SendDlgItemMessageA(m_hWnd, IDC_TRAIL_TEST_AREA, STM_SETICON,
                          reinterpret_cast<WPARAM>(enabled ? static_cast<HICON>(m_testIcon) : nullptr), 0);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CMouseTrailsPage::Slider(int id) const
{
    return static_cast<int>(::SendDlgItemMessageA(m_hWnd, id, TBM_GETPOS, 0, 0));
}

COLORREF CMouseTrailsPage::ChosenColor() const
{
    const COLORREF color = m_color.GetColor();
    return color == CLR_DEFAULT ? m_color.GetDefaultColor() : color;
}

void CMouseTrailsPage::ApplyPreview()
{
    m_preview.ApplyTrailSettings(ChosenColor(), Slider(IDC_TRAIL_THICKNESS),
                                 static_cast<BYTE>(kTrailSliderMaximum - Slider(IDC_TRAIL_TRANSPARENCY)),
                                 Slider(IDC_TRAIL_FADE_SPEED));
}

bool CMouseTrailsPage::OnRButtonDown(HWND, POINT point, UINT)
{
    if (::IsDlgButtonChecked(m_hWnd, IDC_ENABLE_TRAILS) != BST_CHECKED)
        return true;
    RECT area = {};
    HWND test = GetDlgItem(IDC_TRAIL_TEST_AREA);
    ::GetWindowRect(test, &area);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    return !::PtInRect(&area, point);
}

LRESULT CMouseTrailsPage::OnEnableBox(WORD, WORD, HWND, BOOL&)
{
    UpdateEnabling();
    ApplyPreview();
    return 0;
}

LRESULT CMouseTrailsPage::OnColorChosen(int, NMHDR*, BOOL&)
{
    ApplyPreview();
    return 0;
}

LRESULT CMouseTrailsPage::OnSliderReleased(int id, NMHDR*, BOOL& handled)
{
    if (id != IDC_TRAIL_THICKNESS && id != IDC_TRAIL_TRANSPARENCY && id != IDC_TRAIL_FADE_SPEED) {
        handled = FALSE;
        return 0;
    }
    ApplyPreview();
    return 0;
}

// The track bars write their position into their tool tip as they move and then tell the page,
// so the page's text replaces theirs.
LRESULT CMouseTrailsPage::OnScroll(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    UpdateTip(reinterpret_cast<HWND>(lParam));
    return 0;
}

void CMouseTrailsPage::UpdateTip(HWND slider)
{
    const int id = ::GetDlgCtrlID(slider);
    const int position = static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0));
    if (id == IDC_TRAIL_TRANSPARENCY) {
        m_tip = TrailTransparencyTip(position, static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMIN, 0, 0)),
                                     static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMAX, 0, 0)));
    } else if (id == IDC_TRAIL_FADE_SPEED) {
        m_tip = TrailFadeSpeedTip(position);
    } else {
        return;
    }
    HWND tip = reinterpret_cast<HWND>(::SendMessageA(slider, TBM_GETTOOLTIPS, 0, 0));
    if (!tip)
        return;
    TTTOOLINFOA info = {};
    info.cbSize = sizeof(info);
    if (!::SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&info)))
        return;
    info.lpszText = const_cast<char*>(m_tip.c_str());
    ::SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

int CMouseTrailsPage::OnApply()
{
    if (CGestureSettings* gestures = Gestures()) {
        const DWORD flags = gestures->GetFlags();
        const bool on = ::IsDlgButtonChecked(m_hWnd, IDC_ENABLE_TRAILS) == BST_CHECKED;
        gestures->SetFlags(on ? (flags | kGestureFlagTrails) : (flags & ~kGestureFlagTrails));
    }
    if (CTrailSettings* trails = Trails()) {
        trails->SetLook(ChosenColor(), kTrailSliderMaximum - Slider(IDC_TRAIL_TRANSPARENCY), Slider(IDC_TRAIL_THICKNESS),
                        Slider(IDC_TRAIL_FADE_SPEED));
        trails->SetDirty();
        trails->GetTrailSink();
    }
    return 0;
}
