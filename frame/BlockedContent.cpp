#include "frame/BlockedContent.h"
#include "frame/FrameShell.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "platform/Diagnostics.h"

#include <mmsystem.h>

#include <map>

namespace {

// The program's sounds go through the frame's shell, which the frame's tests replace.
class CSystemSoundPlayer final : public ISoundPlayer {
public:
    void Beep(DWORD frequency, DWORD milliseconds) override { GetFrameShell().Beep(frequency, milliseconds); }
    void PlayFile(const char* path) override
    {
        if (path && *path)
            GetFrameShell().PlaySoundFile(path);
    }
};

ISoundPlayer*& CurrentSoundPlayer()
{
    static CSystemSoundPlayer system;
    static ISoundPlayer* current = &system;
    return current;
}

std::map<int, std::function<void(bool)>>& Listeners()
{
    static std::map<int, std::function<void(bool)>> listeners;
    return listeners;
}

void NotifyListeners(bool popups)
{
    // A listener may remove itself (its window closing): walk a copy.
    const auto listeners = Listeners();
    for (const auto& [id, refresh] : listeners) {
        try {
            refresh(popups);
        } catch (...) {
            ReportCaughtException("BlockedContent - listener");
        }
    }
}

}  // namespace

ISoundPlayer& GetSoundPlayer()
{
    return *CurrentSoundPlayer();
}

CScopedSoundPlayer::CScopedSoundPlayer(ISoundPlayer& player) : m_previous(CurrentSoundPlayer())
{
    CurrentSoundPlayer() = &player;
}

CScopedSoundPlayer::~CScopedSoundPlayer()
{
    CurrentSoundPlayer() = m_previous;
}

void RecordPopupBlocked(IBrowserTabHost* host, const char* title, const char* openerUrl, const char* url)
{
    CSettings& settings = *GetSettings();
    if ((settings.BlockerFlags & BlockerFlag::PopupNotice) && host)
        host->SetStatusPane(0, nullptr, TranslateText(kPopupNoticeText).c_str());
    BlockedLogEntry entry;
    entry.time = GetCurrentFileTime();
    entry.text1 = title ? title : "";
    entry.text2 = openerUrl ? openerUrl : "";
    entry.text3 = url ? url : "";
    settings.PopupLog.Add(entry);
    ++settings.BlockedPopup;
    NotifyListeners(true);
    if (settings.BlockerFlags & BlockerFlag::PopupBeep)
        GetSoundPlayer().Beep(250, 100);
    if (settings.BlockerFlags & BlockerFlag::PopupSound)
        GetSoundPlayer().PlayFile(settings.PopBlockedSound.c_str());
}

void RecordAdBlocked(const char* rule, const char* url)
{
    CSettings& settings = *GetSettings();
    BlockedLogEntry entry;
    entry.time = GetCurrentFileTime();
    entry.text1 = rule ? rule : "";
    entry.text2 = url ? url : "";
    settings.AdLog.Add(entry);
    ++settings.BlockedContent;
    NotifyListeners(false);
    if (settings.BlockerFlags & BlockerFlag::AdBeep)
        GetSoundPlayer().Beep(350, 100);
    if (settings.BlockerFlags & BlockerFlag::AdSound)
        GetSoundPlayer().PlayFile(settings.AdBlockedSound.c_str());
}

int AddBlockedContentListener(std::function<void(bool popups)> refresh)
{
    static int next = 0;
    Listeners()[++next] = std::move(refresh);
    return next;
}

void RemoveBlockedContentListener(int id)
{
    Listeners().erase(id);
}
