#include "browser/tools/DownloadHandOff.h"

#include "browser/InternetExplorerHelpers.h"
#include "core/app/Settings.h"

#include "core/app/SettingsStore.h"
#include "core/app/WindowFinder.h"
#include "core/library/LifetimeTracker.h"
#include "core/library/Url.h"
#include "core/library/Z4KArchive.h"
#include "core/library/Z4KFile.h"
#include "core/library/Z4KMemFile.h"
#include "platform/Diagnostics.h"

#include <cstring>
#include <string>

namespace {

constexpr char kDefaultExtensions[] = ".EXE .ZIP .ARJ .RAR .LZH .Z .GZ .GZIP .TAR .BIN .MP3 .MP2 .MPG .MPEG";
constexpr DWORD kDefaultMonitorFlags = kMonitorFlagHandOff;
constexpr UINT kRequestFileGrowth = 1024;
// The longest request block the browser writes: one navigation is one request of three
// addresses, so anything near this is no request of ours.
constexpr DWORD kMaxRequestBytes = 1024 * 1024;

CMonitoredExtensions* g_extensions = nullptr;

TStdStr<char> Lowered(const char* text)
{
    TStdStr<char> result(text ? text : "");
    result.MakeLower();
    return result;
}

// The extension of the last part of a path ("" when it has none), with its dot.
TStdStr<char> PathExtension(const TStdStr<char>& path)
{
    const size_t slash = path.find_last_of("/\\");
    const size_t start = slash == TStdStr<char>::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    if (dot == TStdStr<char>::npos || dot < start)
        return TStdStr<char>();
    return path.substr(dot);
}

// The state word of one slot of the mapped table.
volatile LONG* SlotState(void* table, int slot)
{
    return reinterpret_cast<volatile LONG*>(static_cast<BYTE*>(table) + slot * kDownloadSlotBytes);
}

TStdStr<char> RequestBlockName(int slot)
{
    return TStdStr<char>(kDownloadSlotTableName) + TStdStr<char>(std::to_string(slot).c_str());
}

// The command line of the manager: its quoted path (a path with blanks would otherwise split into
// several arguments), a space and the empty argument text.
TStdStr<char> ManagerCommandLine(const TStdStr<char>& location)
{
    return "\"" + location + "\" ";
}

} // namespace

void CMonitoredExtensions::SetFromText(const char* text)
{
    m_items.clear();
    const TStdStr<char> all = Lowered(text);
    size_t position = 0;
    while (position < all.size()) {
        const size_t blank = all.find(' ', position);
        const size_t end = blank == TStdStr<char>::npos ? all.size() : blank;
        if (end > position)
            m_items.push_back(all.substr(position, end - position));
        position = end + 1;
    }
}

bool CMonitoredExtensions::Contains(const char* extension) const
{
    const TStdStr<char> wanted = Lowered(extension);
    if (wanted.empty())
        return false;
    for (const TStdStr<char>& item : m_items)
        if (item == wanted)
            return true;
    return false;
}

CMonitoredExtensions& GetMonitoredExtensions()
{
    if (!g_extensions) {
        g_extensions = new CMonitoredExtensions();
        new TLifetimeTracker<CMonitoredExtensions>(kPriorityDownloadManagerHandOff, &g_extensions);
    }
    return *g_extensions;
}

void LoadMonitorFileExtList()
{
    TStdStr<char> text;
    {
        CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
        text = GetSettingsStore()->GetString("Config", "MonitorFileExtList", kDefaultExtensions).c_str();
    }
    GetMonitoredExtensions().SetFromText(text.c_str());
}

DWORD ReadMonitorFlags()
{
    CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
    return GetSettingsStore()->GetInt("Config", "MonitorFlags", kDefaultMonitorFlags);
}

TStdStr<char> ReadDownloadManagerLocation()
{
    CRegistryNamesScope names(kDownloadManagerCompany, kDownloadManagerApplication);
    return GetSettingsStore()->GetString("Settings", "ProgLocation", "").c_str();
}

bool IsMonitoredDownload(const char* url, int mode)
{
    if (mode < 0 || mode > 2)
        return false;
    if (!url || !*url)
        return mode == 0;
    if (mode == 0)
        return true;
    CUrl parsed;
    if (!parsed.CrackUrl(url))
        return false;
    if (parsed.GetScheme() != kSchemeHttp && parsed.GetScheme() != kSchemeFtp)
        return false;
    if (mode == 1)
        return true;
    // A query names the file a script hands out ("get.php?file=a.zip"): the query decides, and
    // the path of such an address is never tested.
    const TStdStr<char>& tested = !parsed.GetExtraInfo().empty() ? parsed.GetExtraInfo() : parsed.GetUrlPath();
    return GetMonitoredExtensions().Contains(PathExtension(tested).c_str());
}

std::vector<BYTE> SerializeDownloadRequests(const std::vector<DownloadRequest>& requests)
{
    CZ4KMemFile file(kRequestFileGrowth);
    {
        CZ4KArchive archive(&file, CZ4KArchive::kStore, CZ4KArchive::kBufferSize);
        archive << static_cast<DWORD>(requests.size());
        for (const DownloadRequest& request : requests)
            archive << request.url << request.referrer << request.extra;
        archive.Close();
    }
    const BYTE* data = file.GetData();
    return data ? std::vector<BYTE>(data, data + file.GetLength()) : std::vector<BYTE>();
}

HWND CDownloadHandOff::FindOrStartManager()
{
    CWindowFinder finder(kDownloadManagerClass, kDownloadManagerQuestion);
    if (HWND window = finder.Find())
        return window;
    const TStdStr<char> location = ReadDownloadManagerLocation();
    if (location.empty())
        return nullptr;
    CHandle process = StartProcess(location.c_str(), ManagerCommandLine(location).c_str());
    if (!process)
        return nullptr;
    for (int poll = 0; poll < startPolls; ++poll) {
        // The manager's window appears when its start-up is done, or never when it ends first.
        const bool ended = ::WaitForSingleObject(process, startPollIntervalMs) == WAIT_OBJECT_0;
        if (HWND window = finder.Find())
            return window;
        if (ended)
            return nullptr;
    }
    return nullptr;
}

CDownloadHandOff::Result CDownloadHandOff::HandOff(const std::vector<DownloadRequest>& requests, bool wait)
{
    HWND manager = FindOrStartManager();
    if (!manager)
        return Result::noManager;
    CFileMapping table;
    bool tableExisted = false;
    if (!table.CreateShared(kDownloadSlotTableBytes, kDownloadSlotTableName, &tableExisted) || !table.GetData())
        return Result::failed;
    if (!tableExisted)
        for (int slot = 0; slot < kDownloadSlotCount; ++slot)
            ::InterlockedExchange(SlotState(table.GetData(), slot), kDownloadSlotFree);
    const LONG claimed = wait ? kDownloadSlotWaiting : kDownloadSlotNoWait;
    int slot = 0;
    while (slot < kDownloadSlotCount &&
           ::InterlockedCompareExchange(SlotState(table.GetData(), slot), claimed, kDownloadSlotFree) != kDownloadSlotFree)
        ++slot;
    if (slot == kDownloadSlotCount)
        return Result::noSlot;
    volatile LONG* state = SlotState(table.GetData(), slot);

    // A slot that cannot carry its request goes back at once: kept claimed it would be lost to
    // every browser until the manager restarts.
    const std::vector<BYTE> data = SerializeDownloadRequests(requests);
    CFileMapping block;
    bool blockExisted = false;
    const DWORD blockBytes = static_cast<DWORD>(sizeof(DWORD) + data.size());
    bool written = false;
    if (data.size() <= kMaxRequestBytes &&
        block.CreateShared(blockBytes, RequestBlockName(slot).c_str(), &blockExisted) && block.GetData()) {
        // A block left by a run that ended mid-way is opened rather than made: it must hold the
        // whole request, or the write would run past its view.
        MEMORY_BASIC_INFORMATION region = {};
        if (!blockExisted ||
            (::VirtualQuery(block.GetData(), &region, sizeof(region)) && region.RegionSize >= blockBytes)) {
            const DWORD length = static_cast<DWORD>(data.size());
            std::memcpy(block.GetData(), &length, sizeof(length));
            if (!data.empty())
                std::memcpy(static_cast<BYTE*>(block.GetData()) + sizeof(length), data.data(), data.size());
            written = true;
        }
    }
    if (!written) {
        ::InterlockedCompareExchange(state, kDownloadSlotFree, claimed);
        return Result::failed;
    }

    ::SetForegroundWindow(manager);
    DWORD_PTR ignored = 0;
    // The manager reads the block while it handles the message; a hung manager is given the
    // same time as the answer.
    ::SendMessageTimeoutA(manager, kDownloadManagerRequestMessage, 1, 0, SMTO_ABORTIFHUNG, answerTimeoutMs, &ignored);
    if (!wait)
        return Result::taken;

    // The answer is read without pumping messages: this runs inside the engine's navigation event.
    // The design puts no bound on it; a manager that ends or forgets the slot would hang the
    // browser, so the wait ends with the manager's window or after answerTimeoutMs, and the slot
    // goes back.
    const ULONGLONG deadline = ::GetTickCount64() + answerTimeoutMs;
    for (;;) {
        const LONG answer = ::InterlockedCompareExchange(state, kDownloadSlotFree, kDownloadSlotFree);
        if (answer == kDownloadSlotTaken || answer == kDownloadSlotRefused) {
            ::InterlockedExchange(state, kDownloadSlotFree);
            return answer == kDownloadSlotTaken ? Result::taken : Result::refused;
        }
        if (!::IsWindow(manager) || ::GetTickCount64() >= deadline) {
            // Only a slot still waiting is given back; an answer that arrived just now counts.
            const LONG last = ::InterlockedCompareExchange(state, kDownloadSlotFree, kDownloadSlotWaiting);
            if (last == kDownloadSlotTaken || last == kDownloadSlotRefused) {
                ::InterlockedExchange(state, kDownloadSlotFree);
                return last == kDownloadSlotTaken ? Result::taken : Result::refused;
            }
            return Result::noAnswer;
        }
        ::Sleep(answerPollIntervalMs);
    }
}

bool HandOffDownloads(const std::vector<DownloadRequest>& requests, bool wait)
{
    CDownloadHandOff handOff;
    return handOff.HandOff(requests, wait) == CDownloadHandOff::Result::taken;
}

bool WantsDownloadHandOff(const char* url)
{
    const CSettings* settings = GetSettings();
    if (!settings || !settings->DownloadManagerPresent || ::GetAsyncKeyState(VK_CONTROL) < 0)
        return false;
    const DWORD flags = ReadMonitorFlags();
    if (!(flags & kMonitorFlagHandOff))
        return false;
    if (!(flags & kMonitorFlagNewEngines) && IsShdocvwVersion6OrLater())
        return false;
    return IsMonitoredDownload(url, 2);
}

bool HandOffNavigation(const char* url, const char* referrer)
{
    if (!WantsDownloadHandOff(url))
        return false;
    return HandOffDownloads({DownloadRequest{url, referrer ? referrer : "", ""}}, true);
}
