#include "frame/MainFrameData.h"

#include <ctime>

namespace {

// The running timers by id; UI thread only.
std::map<UINT_PTR, CMainFrameData*>& TimerTargets()
{
    static std::map<UINT_PTR, CMainFrameData*> targets;
    return targets;
}

} // namespace

CMainFrameData::CMainFrameData()
{
    m_random.seed(static_cast<unsigned>(std::time(nullptr)));
    StartTimer();
}

CMainFrameData::~CMainFrameData()
{
    StopTimer();
}

void CMainFrameData::StartTimer()
{
    if (m_timerId)
        return;
    m_timerId = ::SetTimer(nullptr, 0, kTimerPeriod, TimerProc);
    if (m_timerId)
        TimerTargets()[m_timerId] = this;
}

void CMainFrameData::StopTimer()
{
    if (!m_timerId)
        return;
    ::KillTimer(nullptr, m_timerId);
    TimerTargets().erase(m_timerId);
    m_timerId = 0;
}

void CALLBACK CMainFrameData::TimerProc(HWND, UINT, UINT_PTR id, DWORD time)
{
    const auto found = TimerTargets().find(id);
    if (found == TimerTargets().end()) {
        ::KillTimer(nullptr, id);
        return;
    }
    CMainFrameData* data = found->second;
    if (!data->OnTimer(time))
        data->StopTimer();
}

void CMainFrameData::QueueMenuIcon(UINT command, const char* url)
{
    m_pending.push_back({command & 0xFFFF, url ? url : ""});
    StartTimer();
}

IMenuIconSource* CMainFrameData::SetMenuIconSource(IMenuIconSource* source)
{
    IMenuIconSource* previous = m_iconSource;
    m_iconSource = source;
    return previous;
}

bool CMainFrameData::OnTimer(DWORD)
{
    // The length is taken again before each pick: entries found earlier in the tick are gone.
    for (size_t handled = 0; handled < std::min(m_pending.size(), kPicksPerTick); ++handled) {
        size_t index = 0;
        if (m_pending.size() >= 2)
            index = std::uniform_int_distribution<size_t>(0, m_pending.size() - 1)(m_random);
        CMenuIconRequest& request = m_pending[index];
        const UINT command = LOWORD(request.commandWord);
        const int icon = m_iconSource ? m_iconSource->GetIconIndex(request.url.c_str()) : kNoSiteIcon;
        if (m_iconSource)
            m_iconSource->SetCommandIcon(command, icon);
        const unsigned tries = HIWORD(request.commandWord) + 1u;
        request.commandWord = MAKELONG(command, tries);
        if (icon != kNoSiteIcon || tries >= kMaxTries)
            m_pending.erase(m_pending.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return !m_pending.empty();
}

CMainFrameData& GetMainFrameData()
{
    static CMainFrameData data;
    return data;
}
