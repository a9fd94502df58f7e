#pragma once
// CTrailPreviewFilter: a gesture input filter that draws on a trail window of its own instead of
// the program's, for a test area where the user tries a trail's look before applying it.
//
// Lifetime: its owner holds it; the filter owns its trail window and destroys it with itself.
#include "frame/gestures/GestureInputFilter.h"
#include "frame/gestures/TrailWindow.h"

#include <memory>

class CTrailPreviewFilter : public CGestureInputFilter {
public:
    CTrailPreviewFilter();
    ~CTrailPreviewFilter() override;

    // Creates the preview's trail window when it has none and gives it this look.
    void ApplyTrailSettings(COLORREF color, int width, BYTE transparency, int fadeSpeed);
    // The preview's own trail window, created on first use with the program's current look.
    CTrailSink& GetTrailSink() override;
    CTrailWindow* GetTrailWindow() const { return m_window.get(); }

private:
    bool MakeWindow();

    std::unique_ptr<CTrailWindow> m_window;
};
