// What all edit windows of the process share: the configuration list, the window list, the
// hidden notification window and the platform side of the configuration loader.
#include <algorithm>
#include <cstdio>

#include "editctl/model/MessageIds.h"
#include "editctl/win/EditData.h"

namespace quill::win {

namespace {

const char kConfigTitle[] = "Quillpoint DLL";
const char kSettingsKey[] = "Software\\QPDLL\\CurrentVersion";

// Fonts, system colours, the keyboard layout and configuration messages of the real system.
class WinEnvironment final : public ConfigEnvironment {
public:
    FontHandle CreateFont(const FontSpec& spec) override
    {
        LOGFONTA lf{};
        lf.lfHeight = spec.height;
        lf.lfWeight = spec.weight;
        lf.lfCharSet = static_cast<BYTE>(spec.charset);
        lf.lfItalic = spec.italic;
        lf.lfUnderline = spec.underline;
        lf.lfPitchAndFamily = spec.fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE);
        return CreateFontIndirectA(&lf);
    }
    void DestroyFont(FontHandle font) override { TGdiObject<HFONT> deleted(static_cast<HFONT>(font)); }
    Colour SystemColourValue(SystemColour which) override
    {
        switch (which) {
        case SystemColour::kWindowText: return GetSysColor(COLOR_WINDOWTEXT);
        case SystemColour::kWindow: return GetSysColor(COLOR_WINDOW);
        case SystemColour::k3DLight: return GetSysColor(COLOR_3DLIGHT);
        case SystemColour::kScrollBar: return GetSysColor(COLOR_SCROLLBAR);
        case SystemColour::kHighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
        case SystemColour::kHighlight: return GetSysColor(COLOR_HIGHLIGHT);
        }
        return 0;
    }
    int KeyForChar(char c) override
    {
        const SHORT scan = VkKeyScanA(c);
        return scan == -1 ? -1 : static_cast<int>(static_cast<unsigned short>(scan));
    }
    void Report(int messageId, long line, std::string_view source) override
    {
        const std::string format = LoadMessageText(messageId);
        const std::string name(source);
        char text[2048];
        if (messageId == kMsgOutOfMemory)
            std::snprintf(text, sizeof(text), format.c_str(), name.c_str());
        else
            std::snprintf(text, sizeof(text), format.c_str(), line, name.c_str());
        EditSystem().ShowMessageBox(nullptr, text, kConfigTitle, MB_OK | MB_ICONSTOP);
    }
};

struct Shared {
    HINSTANCE instance = nullptr;
    // Recursive locks: a reload sends 0x4FE while it holds the list, and 0x4FE takes it again.
    CRITICAL_SECTION configLock{};
    CRITICAL_SECTION windowLock{};
    WinEnvironment env;
    std::unique_ptr<ParserConfig> builtinDefault;
    std::vector<std::unique_ptr<ParserConfig>> owned;  // every configuration but the built-in default
    std::vector<ParserConfig*> list;
    std::vector<HWND> windows;
    HWND notifyWindow = nullptr;
    UINT reloadMessage = 0;
    std::string userFolder;  // the per-user folder of "*.qpp" files; empty: none
    bool started = false;
};

Shared* g_shared = nullptr;

bool ReadFileBytes(const std::string& path, std::string& out)
{
    CKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid())
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        out.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = out.empty() || (ReadFile(file.Get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) &&
                             read == out.size());
    }
    return ok;
}

std::string ReadSettingsFolder()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return {};
    const CRegKey key(opened);
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "Settings", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return value;
}

// The settings folder's per-user subfolder, made and filled from "Defaults" on first use.
std::string PrepareUserFolder(std::string settings)
{
    if (settings.empty())
        return {};
    if (settings.back() != '\\')
        settings += '\\';
    char user[256] = {};
    DWORD size = sizeof(user);
    const std::string folder = settings + (GetUserNameA(user, &size) ? user : "Defaults");
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return folder;
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return {};
    const std::string defaults = settings + "Defaults\\";
    WIN32_FIND_DATAA found{};
    const CFileSearch find(FindFirstFileA((defaults + "*.*").c_str(), &found));
    if (!find.Valid())
        return folder;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((defaults + found.cFileName).c_str(), (folder + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    return folder;
}

void FreeConfig(Shared& s, ParserConfig* config)
{
    s.owned.erase(std::remove_if(s.owned.begin(), s.owned.end(),
                                 [&](const std::unique_ptr<ParserConfig>& p) { return p.get() == config; }),
                  s.owned.end());
}

} // namespace

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOLORCHANGE) {
        for (HWND edit : EditWindows())
            SendMessageA(edit, WM_SYSCOLORCHANGE, 0, 0);
    } else if (g_shared && message == g_shared->reloadMessage && message != 0) {
        ReloadParserConfigs();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void LockConfigurations() { EnterCriticalSection(&g_shared->configLock); }
void UnlockConfigurations() { LeaveCriticalSection(&g_shared->configLock); }
ConfigLock::ConfigLock() { LockConfigurations(); }
ConfigLock::~ConfigLock() { UnlockConfigurations(); }

HINSTANCE ControlInstance() { return g_shared ? g_shared->instance : GetModuleHandleA(nullptr); }
ConfigEnvironment& Environment() { return g_shared->env; }
const std::vector<ParserConfig*>& ParserList() { return g_shared->list; }
ParserConfig* BuiltinDefault() { return g_shared->builtinDefault.get(); }
UINT ReloadMessage() { return g_shared ? g_shared->reloadMessage : 0; }

void ScanParserFiles(const std::string& folder, std::vector<std::unique_ptr<ParserConfig>>& list)
{
    // Full paths: the process's current folder is not ours to change. A file that fails to load
    // has been reported by the loader (once) and is skipped; the others still count.
    WIN32_FIND_DATAA found{};
    const CFileSearch find(FindFirstFileA((folder + "\\*.qpp").c_str(), &found));
    if (!find.Valid())
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = folder + "\\" + found.cFileName;
        std::string text;
        if (!ReadFileBytes(path, text))
            continue;
        if (auto config = LoadParserConfigText(text, path, false, g_shared->env)) {
            config->sourcePath = path;
            list.push_back(std::move(config));
        }
    } while (FindNextFileA(find, &found));
}

bool StartSharedSettings(HINSTANCE instance, UINT reloadMessage)
{
    auto s = std::make_unique<Shared>();
    s->instance = instance;
    s->reloadMessage = reloadMessage;
    InitializeCriticalSection(&s->configLock);
    InitializeCriticalSection(&s->windowLock);
    g_shared = s.get();
    auto fail = [&] {
        if (s->notifyWindow)
            DestroyWindow(s->notifyWindow);
        DeleteCriticalSection(&s->configLock);
        DeleteCriticalSection(&s->windowLock);
        g_shared = nullptr;
        return false;
    };
    s->notifyWindow = CreateWindowExA(0, QUILLPOINT_IPC_CLASS, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      instance, nullptr);
    if (!s->notifyWindow)
        return fail();
    s->builtinDefault = CreateBuiltinDefaultConfig(s->env);
    if (!s->builtinDefault)
        return fail();
    s->userFolder = PrepareUserFolder(ReadSettingsFolder());
    if (!s->userFolder.empty())
        ScanParserFiles(s->userFolder, s->owned);
    for (auto& config : s->owned)
        s->list.push_back(config.get());
    if (!DefaultConfigOf(s->list))
        s->list.insert(s->list.begin(), s->builtinDefault.get());
    s->started = true;
    s.release();
    return true;
}

void StopSharedSettings()
{
    if (!g_shared)
        return;
    Shared* s = g_shared;
    if (s->notifyWindow)
        DestroyWindow(s->notifyWindow);
    s->list.clear();
    s->owned.clear();
    s->builtinDefault.reset();
    DeleteCriticalSection(&s->configLock);
    DeleteCriticalSection(&s->windowLock);
    g_shared = nullptr;
    delete s;
}

bool RegisterEditWindow(HWND window)
{
    if (!g_shared)
        return false;
    EnterCriticalSection(&g_shared->windowLock);
    g_shared->windows.push_back(window);
    LeaveCriticalSection(&g_shared->windowLock);
    return true;
}

void UnregisterEditWindow(HWND window)
{
    if (!g_shared)
        return;
    EnterCriticalSection(&g_shared->windowLock);
    auto& w = g_shared->windows;
    w.erase(std::remove(w.begin(), w.end(), window), w.end());
    LeaveCriticalSection(&g_shared->windowLock);
}

std::vector<HWND> EditWindows()
{
    if (!g_shared)
        return {};
    EnterCriticalSection(&g_shared->windowLock);
    std::vector<HWND> copy = g_shared->windows;
    LeaveCriticalSection(&g_shared->windowLock);
    return copy;
}

bool AddParserConfigText(const std::string& text, const std::string& source, bool builtIn)
{
    if (!g_shared || text.empty())
        return false;
    auto config = LoadParserConfigText(text, source, builtIn, g_shared->env);
    if (!config)
        return false;
    ConfigLock lock;
    g_shared->list.push_back(config.get());
    g_shared->owned.push_back(std::move(config));
    return true;
}

bool AddParserConfigFile(const std::string& path, bool builtIn)
{
    std::string text;
    if (path.empty() || !ReadFileBytes(path, text))
        return false;
    return AddParserConfigText(text, path, builtIn);
}

void ReloadParserConfigs()
{
    if (!g_shared)
        return;
    Shared& s = *g_shared;
    std::vector<std::unique_ptr<ParserConfig>> loaded;
    if (!s.userFolder.empty())
        ScanParserFiles(s.userFolder, loaded);
    ConfigLock lock;
    const std::vector<HWND> windows = EditWindows();
    for (HWND edit : windows)
        SendMessageA(edit, QPM_USEBUILTINDEFAULT, 0, 0);
    std::vector<ParserConfig*> list;
    for (auto& config : loaded)
        list.push_back(config.get());
    if (!DefaultConfigOf(list))
        list.insert(list.begin(), s.builtinDefault.get());
    // Configurations from memory (the program's own) move over; the file-loaded ones go.
    std::vector<ParserConfig*> gone;
    for (ParserConfig* config : s.list) {
        if (config == s.builtinDefault.get())
            continue;
        if (config->builtIn)
            list.push_back(config);
        else
            gone.push_back(config);
    }
    for (ParserConfig* config : gone)
        FreeConfig(s, config);
    for (auto& config : loaded)
        s.owned.push_back(std::move(config));
    s.list = std::move(list);
    for (HWND edit : windows) {
        SendMessageA(edit, QPM_RECHOOSECONFIG, 0, 0);
        SendMessageA(edit, QPM_TAKESHAREDLIMITS, 0, 0);
    }
}

} // namespace quill::win
