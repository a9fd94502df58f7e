#include "frame/BlockedContent.h"
#include "frame/FrameShell.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "platform/Diagnostics.h"

#include <mmsystem.h>

#include <map>

namespace {

// A sound file the settings name; none set plays nothing.
void PlaySoundSetting(const TStdStr<char>& path)
{
    if (!path.IsEmpty())
        GetFrameShell().PlaySoundFile(path.c_str());
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
        GetFrameShell().Beep(250, 100);
    if (settings.BlockerFlags & BlockerFlag::PopupSound)
        PlaySoundSetting(settings.PopBlockedSound);
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
        GetFrameShell().Beep(350, 100);
    if (settings.BlockerFlags & BlockerFlag::AdSound)
        PlaySoundSetting(settings.AdBlockedSound);
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
