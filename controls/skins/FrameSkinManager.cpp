#include "controls/skins/FrameSkinManager.h"

#include "controls/DropShadow.h"
#include "controls/skins/SkinBitmap.h"
#include "controls/skins/SkinValues.h"
#include "controls/skins/SkinnedWindow.h"
#include "core/app/ProgramFolders.h"
#include "core/library/IniFile.h"
#include "core/library/LifetimeTracker.h"
#include "core/system/OsInfo.h"
#include "core/system/WindowFunctions.h"
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <cstring>

namespace {

// The manager whose CBT hook runs on this thread (managers nest in tests).
thread_local CFrameSkinManager* t_hookedManager = nullptr;

constexpr char kReBarClass[] = "ReBarWindow32";
constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

HBITMAP LoadPart(const CStdString& folder, const char* name)
{
    return LoadSkinBitmapFile(folder + name + ".bmp");
}

// A strip of four equal images with the magenta key, as a masked 24-bit image list.
HIMAGELIST LoadButtonStrip(const CStdString& folder, const char* name)
{
    CBitmap strip(LoadPart(folder, name));
    SIZE size = {};
    if (strip.IsNull() || !strip.GetSize(size) || size.cx < kSkinImageCount || size.cy <= 0)
        return nullptr;
    CImageListManaged list;
    if (!list.Create(size.cx / kSkinImageCount, size.cy, ILC_COLOR24 | ILC_MASK, kSkinImageCount, 0))
        return nullptr;
    if (::ImageList_AddMasked(list.m_hImageList, strip, kSkinTransparent) < 0)
        return nullptr;
    return list.Detach();
}

}  // namespace

CFrameSkinManager::CFrameSkinManager() : m_folder(GetProgramFolder() + kSkinsFolderName)
{
    if (CSettingsStore* store = GetSettingsStore())
        m_skinSetting.Load(*store);
    Initialise(m_skinSetting);
}

CFrameSkinManager::CFrameSkinManager(const CStdString& skinsFolder, const char* skinName) : m_folder(skinsFolder)
{
    if (!m_folder.empty() && m_folder.back() != '\\' && m_folder.back() != '/')
        m_folder += '\\';
    Initialise(skinName);
}

void CFrameSkinManager::Initialise(const char* skinName)
{
    EnumerateSkins();
    LoadSkin(skinName, nullptr, true);
    if (m_hook.Set(WH_CBT, CbtHookProc, nullptr, ::GetCurrentThreadId())) {
        m_previousHooked = t_hookedManager;
        t_hookedManager = this;
    }
}

CFrameSkinManager::~CFrameSkinManager()
{
    if (m_hook.Get()) {
        m_hook.Unhook();
        if (t_hookedManager == this)
            t_hookedManager = m_previousHooked;
    }
    // The windows that outlive the manager get their own frames back.
    while (!m_windows.empty())
        DetachWindow(m_windows.begin()->first);
    if (IsSkinActive())
        GetSystemDropShadowEnvironment().SetSkinActive(false);
}

void CFrameSkinManager::EnumerateSkins()
{
    m_skins.clear();
    WIN32_FIND_DATAA found = {};
    CFindHandle search(::FindFirstFileA((m_folder + "*.*").c_str(), &found));
    if (!search)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !std::strcmp(found.cFileName, ".") ||
            !std::strcmp(found.cFileName, ".."))
            continue;
        CIniFile ini;
        if (!ini.Open((m_folder + found.cFileName + "\\" + kSkinIniName).c_str()))
            continue;
        m_skins.push_back({found.cFileName, ini.GetString(kSkinSection, "author"), ini.GetString(kSkinSection, "website"),
                           ini.GetString(kSkinSection, "email")});
    } while (::FindNextFileA(search, &found));
}

bool CFrameSkinManager::IsInstalled(const char* name) const
{
    for (const CSkinDescriptor& skin : m_skins) {
        if (skin.name == name)
            return true;
    }
    return false;
}

bool CFrameSkinManager::LoadSkin(const char* name, HWND bars, bool force)
{
    if (!name || !*name || !IsInstalled(name)) {
        m_currentName.clear();
        m_skin.barBack.DeleteObject();
        GetSystemDropShadowEnvironment().SetSkinActive(false);
        ReskinAll();
        ApplyBarBackground(bars);
        return true;
    }
    if (!force && m_currentName == name)
        return true;
    const CStdString folder = m_folder + name + "\\";
    CIniFile ini;
    if (!ini.Open((folder + kSkinIniName).c_str()))
        return false;  // the skin went since the scan: the one in use stays, with its name
    m_currentName = name;
    ReadSkin(ini, folder);
    ini.Close();
    GetSystemDropShadowEnvironment().SetSkinActive(true);
    ReskinAll();
    ApplyBarBackground(bars);
    return true;
}

void CFrameSkinManager::ReadSkin(CIniFile& ini, const CStdString& folder)
{
    const COLORREF color = ParseColorString(ini.GetString(kSkinSection, "captextcolor", "255,255,255").c_str());
    m_skin.captionTextColor = color == CLR_INVALID ? kDefaultCaptionTextColor : color;
    m_skin.captionRect = ParseSkinRect(ini.GetString(kSkinSection, "caprect").c_str());
    m_skin.barBack.Attach(LoadPart(folder, "barback"));
    for (int button = 0; button < kSkinButtonCount; ++button) {
        m_skin.buttons[button].Attach(LoadButtonStrip(folder, kSkinButtonNames[button]));
        m_skin.buttonPositions[button] = ParseSkinPoint(ini.GetString(kSkinSection, kSkinButtonPositionKeys[button]).c_str());
    }
    m_skin.systemIcon = ini.GetBool(kSkinSection, "systemicon", false);
    for (CBitmap& part : m_skin.parts)
        part.DeleteObject();
    m_skin.frameRect = {};
    const CStdString frameRect = ini.GetString(kSkinSection, "framerect");
    m_skin.fillMode = !frameRect.empty();
    if (!m_skin.fillMode) {
        for (int part = 0; part < kSkinPartCount; ++part) {
            HBITMAP bitmap = LoadPart(folder, kSkinPartNames[part]);
            if (!bitmap && (part == kSkinLeftTop || part == kSkinLeftBottom))
                bitmap = LoadPart(folder, kSkinPartNames[kSkinLeft]);
            if (!bitmap && (part == kSkinRightTop || part == kSkinRightBottom))
                bitmap = LoadPart(folder, kSkinPartNames[kSkinRight]);
            m_skin.parts[part].Attach(bitmap);
        }
    } else {
        RECT rect = ParseSkinRect(frameRect.c_str());
        if (IsUnsetSkinRect(rect))
            rect = kDefaultFillFrame;
        m_skin.frameRect = rect;
        m_skin.parts[0].Attach(LoadPart(folder, "framefill"));
    }
    m_skin.frameCorner = ClampSkinBorder(ini.GetInt(kSkinSection, "framecorner", 0));
}

// A record whose window went without the hook seeing it (another hook of the thread kept the
// destruction from it) is dropped rather than applied to whatever window takes the handle next.
void CFrameSkinManager::ReskinAll()
{
    for (auto at = m_windows.begin(); at != m_windows.end();) {
        const HWND window = at->first;
        if (!::IsWindow(window) || !at->second->GetHookedWindow()) {
            at = m_windows.erase(at);
            continue;
        }
        at->second->Apply(window);
        ::RedrawWindow(window, nullptr, nullptr, kRedrawFlags);
        ++at;
    }
}

// The bars get the skin's band picture, with RBBS_FIXEDBMP so that it stays put while bands move.
void CFrameSkinManager::ApplyBarBackground(HWND bars)
{
    if (!bars || !::IsWindow(bars))
        return;
    if (GetWindowClassName(bars) != kReBarClass)
        bars = FindChildWindowByClass(bars, kReBarClass);
    if (!bars)
        return;
    const UINT count = static_cast<UINT>(::SendMessageA(bars, RB_GETBANDCOUNT, 0, 0));
    for (UINT band = 0; band < count; ++band) {
        REBARBANDINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE | RBBIM_CHILD;
        if (!::SendMessageA(bars, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info)))
            continue;
        const HWND child = info.hwndChild;
        info.fMask = RBBIM_STYLE | RBBIM_BACKGROUND;
        info.hbmBack = m_skin.barBack.m_hGdiObj;
        info.fStyle = m_skin.barBack.IsNull() ? (info.fStyle & ~RBBS_FIXEDBMP) : (info.fStyle | RBBS_FIXEDBMP);
        ::SendMessageA(bars, RB_SETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
        if (child) {
            ::InvalidateRect(child, nullptr, TRUE);
            ::UpdateWindow(child);
        }
    }
}

bool CFrameSkinManager::AttachWindow(HWND window)
{
    if (!::IsWindow(window))
        return false;
    auto found = m_windows.find(window);
    if (found == m_windows.end()) {
        found = m_windows.emplace(window, std::make_unique<CSkinnedWindow>(*this)).first;
        if (!found->second->Apply(window)) {
            m_windows.erase(found);
            return false;
        }
        ::RedrawWindow(window, nullptr, nullptr, kRedrawFlags);
    }
    return IsSkinActive();
}

void CFrameSkinManager::DetachWindow(HWND window)
{
    const auto found = m_windows.find(window);
    if (found == m_windows.end())
        return;
    std::unique_ptr<CSkinnedWindow> record = std::move(found->second);
    m_windows.erase(found);
    record->Detach();
    if (::IsWindow(window))
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

CSkinnedWindow* CFrameSkinManager::FindWindowRecord(HWND window) const
{
    const auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : found->second.get();
}

// Every code goes on to the older hooks of the thread (the menus and the docking focus rely on
// seeing window creation and destruction as well).
LRESULT CALLBACK CFrameSkinManager::CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code == HCBT_DESTROYWND) {
            for (CFrameSkinManager* manager = t_hookedManager; manager; manager = manager->m_previousHooked)
                manager->DetachWindow(reinterpret_cast<HWND>(wParam));
        }
    } catch (...) {
        ReportCaughtException("CFrameSkinManager::CbtHookProc");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace {
CFrameSkinManager* g_replacementSkins = nullptr;  // not owned: a CScopedSkinManager's
}  // namespace

CFrameSkinManager* GetSkinManager()
{
    if (g_replacementSkins)
        return g_replacementSkins;
    return GetSingleton<CFrameSkinManager, kPrioritySkinManager>();
}

CScopedSkinManager::CScopedSkinManager(CFrameSkinManager& replacement) : m_previous(g_replacementSkins)
{
    g_replacementSkins = &replacement;
}

CScopedSkinManager::~CScopedSkinManager()
{
    g_replacementSkins = m_previous;
}
