#pragma once
// CMouseTrailsPage: the "Mouse Trails" page of the Options dialog (dialog 273): whether strokes
// leave a trail, and its colour, thickness, transparency and fade speed. The page's test area
// takes right-button strokes drawn with the look on the page (on a trail window of the page's own,
// through a CTrailPreviewFilter that hooks the page); Apply stores the look and hands it to the
// program's trail window at once. Nothing is stored before Apply.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h); the preview filter is a member
// and is unhooked when the page window goes.
#include "controls/widgets/ColorPicker.h"
#include "frame/gestures/GestureListener.h"
#include "frame/gestures/GestureResources.h"
#include "frame/gestures/TrailPreviewFilter.h"
#include "frame/options/OptionsPage.h"

#include <string>

class CGestureSettings;
class CTrailSettings;

constexpr int kTrailSliderMaximum = 255;

// The tool tips of the track bars: the transparency slider's share of its range as "%d%%", the
// fade speed as "Slow" (below 64), "Normal" (64 to 192) or "Fast" (above 192), translated.
std::string TrailTransparencyTip(int position, int minimum, int maximum);
std::string TrailFadeSpeedTip(int position);

class CMouseTrailsPage : public COptionsPage, public CGestureListener {
public:
    // The program's gesture and trail settings.
    CMouseTrailsPage() = default;
    // Others (tests); not owned, both must outlive the page.
    CMouseTrailsPage(CGestureSettings* gestures, CTrailSettings* trails) : m_gestures(gestures), m_trails(trails) {}

    int GetDialogID() const override { return IDD_MOUSE_TRAILS_PAGE; }
    HICON GetIcon() override;
    int OnApply() override;

    // A right press starts a stroke only over the test area while trails are checked.
    bool OnRButtonDown(HWND window, POINT point, UINT keys) override;

    CTrailPreviewFilter& GetPreview() { return m_preview; }
    CColorPicker& GetColorPicker() { return m_color; }
    // Gives the preview's trail window the look the page shows now.
    void ApplyPreview();

    BEGIN_MSG_MAP(CMouseTrailsPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
        COMMAND_ID_HANDLER(IDC_ENABLE_TRAILS, OnEnableBox)
        NOTIFY_HANDLER(IDC_TRAIL_COLOR, kColorPickerChosen, OnColorChosen)
        NOTIFY_CODE_HANDLER(NM_RELEASEDCAPTURE, OnSliderReleased)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEnableBox(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnColorChosen(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSliderReleased(int id, NMHDR* header, BOOL& handled);

    CGestureSettings* Gestures() const;
    CTrailSettings* Trails() const;
    void UpdateEnabling();
    void UpdateTip(HWND slider);
    int Slider(int id) const;
    COLORREF ChosenColor() const;

    CGestureSettings* m_gestures = nullptr;  // not owned; null: the program's
    CTrailSettings* m_trails = nullptr;      // not owned; null: the program's
    CColorPicker m_color;
    CTrailPreviewFilter m_preview;
    CIcon m_testIcon;
    std::string m_tip;
};
