#pragma once
// CFrameSkinManager: the process-wide skin engine. It knows the installed skins (one folder with a
// readable "skin.ini" under the program folder's "skins\"), loads the chosen one (the setting
// Config/SkinName; an empty name means none), keeps the skinned windows and re-skins them all
// when the skin changes. A thread CBT hook lets a window go when it is destroyed.
//
// A "skin.ini" and its bitmaps are hostile input: missing keys take the defaults, bad or huge
// numbers are bounded (SkinValues.h), damaged or missing bitmaps leave their part empty, and a
// skin whose "skin.ini" cannot be read is refused with the previous skin kept.
//
// Lifetime: GetSkinManager creates the singleton on first use (teardown priority 97); tests make
// their own over a scratch folder. UI thread only.
#include "controls/skins/SkinData.h"
#include "core/app/SettingsStore.h"
#include "core/system/Holders.h"

#include <map>
#include <memory>
#include <vector>

class CSkinnedWindow;

class CFrameSkinManager {
public:
    // The program's: the skins folder beside the program and the skin named by Config/SkinName.
    CFrameSkinManager();
    // Over the given skins folder (with a trailing backslash), starting with the named skin.
    CFrameSkinManager(const CStdString& skinsFolder, const char* skinName);
    ~CFrameSkinManager();
    CFrameSkinManager(const CFrameSkinManager&) = delete;
    CFrameSkinManager& operator=(const CFrameSkinManager&) = delete;

    // Scans the skins folder again.
    void EnumerateSkins();
    size_t GetSkinCount() const { return m_skins.size(); }
    const std::vector<CSkinDescriptor>& GetSkins() const { return m_skins; }

    // Loads a skin by name. A null, empty or not installed name turns skinning off (true). The
    // current name without force changes nothing. A skin whose "skin.ini" cannot be opened is
    // refused: false, and the previous skin stays. `bars` is a rebar, or a window holding one,
    // whose bands get the "barback" picture; null for none.
    bool LoadSkin(const char* name, HWND bars, bool force);
    bool IsSkinActive() const { return !m_currentName.empty(); }
    const CStdString& GetCurrentSkinName() const { return m_currentName; }
    const CSkinData& GetSkin() const { return m_skin; }
    const CStdString& GetSkinsFolder() const { return m_folder; }

    // Skins the window with the current skin (or prepares it for the next); true when it now
    // wears a skin. A window already attached is not attached twice.
    bool AttachWindow(HWND window);
    // Lets a window go (the CBT hook does this when a window is destroyed).
    void DetachWindow(HWND window);
    bool IsAttached(HWND window) const { return m_windows.count(window) != 0; }
    CSkinnedWindow* FindWindowRecord(HWND window) const;

private:
    void Initialise(const char* skinName);
    bool IsInstalled(const char* name) const;
    void ReadSkin(class CIniFile& ini, const CStdString& folder);
    void ReskinAll();
    void ApplyBarBackground(HWND bars);
    static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);

    CStdString m_folder;
    CSkinData m_skin;
    CStdString m_currentName;
    std::vector<CSkinDescriptor> m_skins;
    std::map<HWND, std::unique_ptr<CSkinnedWindow>> m_windows;
    CWindowsHookHolder m_hook;
    CFrameSkinManager* m_previousHooked = nullptr;  // not owned: the manager hooked before this one
    CSettingString m_skinSetting{"Config", "SkinName", ""};
};

// The program's skin engine; null after the teardown.
CFrameSkinManager* GetSkinManager();

// Puts another skin engine in the program's one's place while the scope lasts: the one that
// GetSkinManager gives to the frame, its commands and the dialogs (a test's own start of the
// program). Scopes nest. UI thread only.
class CScopedSkinManager {
public:
    explicit CScopedSkinManager(CFrameSkinManager& replacement);
    ~CScopedSkinManager();
    CScopedSkinManager(const CScopedSkinManager&) = delete;
    CScopedSkinManager& operator=(const CScopedSkinManager&) = delete;

private:
    CFrameSkinManager* m_previous = nullptr;  // not owned: the replacement before this scope
};
