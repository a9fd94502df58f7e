#include "frame/gestures/TrailPreviewFilter.h"

#include "frame/gestures/TrailSettings.h"

CTrailPreviewFilter::CTrailPreviewFilter() = default;

CTrailPreviewFilter::~CTrailPreviewFilter()
{
    Unhook();
}

bool CTrailPreviewFilter::MakeWindow()
{
    if (m_window)
        return true;
    auto window = std::make_unique<CTrailWindow>();
    if (!window->CreateTrailWindow())
        return false;
    m_window = std::move(window);
    return true;
}

void CTrailPreviewFilter::ApplyTrailSettings(COLORREF color, int width, BYTE transparency, int fadeSpeed)
{
    if (MakeWindow())
        m_window->ApplySettings(color, width, transparency, fadeSpeed);
}

CTrailSink& CTrailPreviewFilter::GetTrailSink()
{
    if (!m_window) {
        if (!MakeWindow())
            return GetNullTrailSink();
        if (const CTrailSettings* settings = GetTrailSettings()) {
            m_window->ApplySettings(settings->GetColor(), settings->GetWidth(),
                                    static_cast<BYTE>(settings->GetTransparency()), settings->GetFadeSpeed());
        }
    }
    return *m_window;
}
