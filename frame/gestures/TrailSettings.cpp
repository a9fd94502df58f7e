#include "frame/gestures/TrailSettings.h"

#include "core/library/LifetimeTracker.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/TrailWindow.h"

#include <algorithm>

namespace {

constexpr char kColorKey[] = "Color";
constexpr char kTransparencyKey[] = "Transparency";
constexpr char kWidthKey[] = "Width";
constexpr char kFadeSpeedKey[] = "FadeSpeed";

// Stored values are checked against their ranges: a colour is 24 bits, the others lie between the
// bounds of their sliders (a fade speed of 0 would never end a fade).
int Clamp(DWORD value, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(static_cast<int>(value), low, high));
}

}  // namespace

CTrailSettings::CTrailSettings() : CTrailSettings(*GetSettingsStore(), nullptr) {}

CTrailSettings::CTrailSettings(CSettingsStore& store, CGestureSettings* gestures) : m_store(&store), m_gestures(gestures)
{
    m_color = m_store->GetInt(kMouseGesturesSection, kColorKey, kTrailColorDefault) & 0xFFFFFFu;
    m_transparency = Clamp(m_store->GetInt(kMouseGesturesSection, kTransparencyKey, kTrailTransparencyDefault), 0, 255);
    m_width = Clamp(m_store->GetInt(kMouseGesturesSection, kWidthKey, kTrailWidthDefault), 0, kTrailWidthMaximum);
    m_fadeSpeed = Clamp(m_store->GetInt(kMouseGesturesSection, kFadeSpeedKey, kTrailFadeSpeedDefault), 1, 255);
}

CTrailSettings::~CTrailSettings() = default;

void CTrailSettings::SetLook(COLORREF color, int transparency, int width, int fadeSpeed)
{
    m_color = color & 0xFFFFFFu;
    m_transparency = std::clamp(transparency, 0, 255);
    m_width = std::clamp(width, 0, kTrailWidthMaximum);
    m_fadeSpeed = std::clamp(fadeSpeed, 1, 255);
    m_store->WriteInt(kMouseGesturesSection, kColorKey, m_color);
    m_store->WriteInt(kMouseGesturesSection, kTransparencyKey, static_cast<DWORD>(m_transparency));
    m_store->WriteInt(kMouseGesturesSection, kWidthKey, static_cast<DWORD>(m_width));
    m_store->WriteInt(kMouseGesturesSection, kFadeSpeedKey, static_cast<DWORD>(m_fadeSpeed));
    m_dirty = true;
}

// The program needs Windows 7 or later, which always has layered windows; so only the trail flag
// decides. A trail window that cannot be created leaves the null sink.
CTrailSink& CTrailSettings::GetTrailSink()
{
    const CGestureSettings* gestures = m_gestures ? m_gestures : GetGestureSettings();
    if (!gestures || !gestures->TrailsEnabled())
        return GetNullTrailSink();
    if (!m_window) {
        auto window = std::make_unique<CTrailWindow>();
        if (!window->CreateTrailWindow())
            return GetNullTrailSink();
        m_window = std::move(window);
        m_dirty = true;
    }
    if (m_dirty) {
        m_window->ApplySettings(m_color, m_width, static_cast<BYTE>(m_transparency), m_fadeSpeed);
        m_dirty = false;
    }
    return *m_window;
}

CTrailSettings* GetTrailSettings()
{
    return GetSingleton<CTrailSettings, kPriorityTrailSettings>();
}
