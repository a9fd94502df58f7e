#pragma once
// CTrailSettings: the look of the gesture trail ("Color", "Transparency", "Width", "FadeSpeed" in
// the settings store's section "Mouse Gestures") and the sink a stroke is drawn on. One instance
// for the program (GetTrailSettings), created on first use; it owns the program's one trail
// window, created on the first stroke drawn while trails are on.
#include "core/app/SettingsStore.h"
#include "frame/gestures/GestureListener.h"

#include <memory>

class CGestureSettings;
class CTrailWindow;

constexpr COLORREF kTrailColorDefault = 0x800000;
constexpr int kTrailTransparencyDefault = 128;
constexpr int kTrailWidthDefault = 10;
constexpr int kTrailFadeSpeedDefault = 255;
constexpr int kTrailWidthMaximum = 20;

class CTrailSettings {
public:
    CTrailSettings();
    // Reads from `store`; `gestures` tells whether trails are on (null: the program's). Both must
    // outlive the object (tests).
    CTrailSettings(CSettingsStore& store, CGestureSettings* gestures);
    ~CTrailSettings();
    CTrailSettings(const CTrailSettings&) = delete;
    CTrailSettings& operator=(const CTrailSettings&) = delete;

    // The null sink while trails are off; otherwise the trail window's, created on first use and
    // given the settings when they changed since.
    CTrailSink& GetTrailSink();
    // The trail window, or null before the first trail.
    CTrailWindow* GetTrailWindow() const { return m_window.get(); }

    COLORREF GetColor() const { return m_color; }
    int GetTransparency() const { return m_transparency; }
    int GetWidth() const { return m_width; }
    int GetFadeSpeed() const { return m_fadeSpeed; }
    // Store the values at once (clamped to their ranges) and mark them for the trail window.
    void SetLook(COLORREF color, int transparency, int width, int fadeSpeed);
    void SetDirty() { m_dirty = true; }

private:
    CSettingsStore* m_store;      // not owned
    CGestureSettings* m_gestures;  // not owned; null: the program's
    bool m_dirty = true;
    COLORREF m_color = kTrailColorDefault;
    int m_transparency = kTrailTransparencyDefault;
    int m_width = kTrailWidthDefault;
    int m_fadeSpeed = kTrailFadeSpeedDefault;
    std::unique_ptr<CTrailWindow> m_window;
};

// The one CTrailSettings of the program; null after the teardown.
CTrailSettings* GetTrailSettings();
