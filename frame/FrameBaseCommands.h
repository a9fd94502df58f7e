#pragma once
// CFrameBaseCommands: the main window's services that do not depend on the page shown: the
// interface language and skin menus and their selection, the Skins dialog, locking the toolbars,
// the status bar toggle, the minimum window size and the Help menu's commands (the user manual
// through HTML Help, the product's home page, feedback and "Tell A Friend" mail). The main window
// chains its message map first, and calls FillMenus while it sets up its menus and
// OnFrameCreated once its bars exist.
//
// What it needs of the main window is IFrameBaseHost, which the main window implements. The
// skin manager, the language manager and the help viewer are the program's unless others are
// set before use (tests).
//
// Lifetime: a member of the main window, which outlives it. UI thread only.
#include "frame/FrameResources.h"
#include "platform/AtlWin.h"

#include <windows.h>

class CFrameSkinManager;
class CLanguageManager;
class IHelpViewer;

// Commands of the frame base.
inline constexpr UINT kCommandSelectLanguage = ID_FRAME_SELECT_LANGUAGE;
inline constexpr UINT kCommandSelectSkins = ID_FRAME_SELECT_SKINS;
inline constexpr UINT kCommandLockToolbars = ID_FRAME_LOCK_TOOLBARS;
inline constexpr UINT kCommandStatusBar = ID_FRAME_VIEW_STATUS_BAR;
inline constexpr UINT kCommandLanguageFirst = ID_FRAME_LANGUAGE_FIRST;
inline constexpr UINT kCommandLanguageLast = ID_FRAME_LANGUAGE_LAST;
inline constexpr UINT kCommandDisableSkin = ID_FRAME_DISABLE_SKIN;
inline constexpr UINT kCommandSkinFirst = ID_FRAME_SKIN_FIRST;
inline constexpr UINT kCommandSkinLast = ID_FRAME_SKIN_LAST;
inline constexpr UINT kCommandUserManual = ID_FRAME_USER_MANUAL;
inline constexpr UINT kCommandHomePage = ID_FRAME_HOME_PAGE;
inline constexpr UINT kCommandFeedback = ID_FRAME_FEEDBACK;
inline constexpr UINT kCommandTellAFriend = ID_FRAME_TELL_A_FRIEND;
// The Options dialog's language page.
inline constexpr int kLanguagePageId = 236;
// "BaseViewFlags" bits.
inline constexpr DWORD kBaseViewStatusBar = 0x1000;
inline constexpr DWORD kBaseViewToolbarsLocked = 0x10000;
// The smallest size the main window can be given.
inline constexpr int kFrameMinimumWidth = 400;
inline constexpr int kFrameMinimumHeight = 300;

// The toggle of one or more bits: when none of them is set they are all set, else all cleared.
DWORD ToggleBits(DWORD flags, DWORD bits);
// The minimum tracking size, and with a skin the maximised window on the work area (one pixel
// more each way).
void ApplyFrameMinMaxInfo(MINMAXINFO& info, bool skinActive, const RECT& workArea);

class IFrameBaseHost {
public:
    virtual HWND GetBaseFrameWindow() const = 0;
    virtual HWND GetBaseReBar() const = 0;
    virtual HWND GetBaseStatusBar() const = 0;
    // The menu the command bar shows.
    virtual HMENU GetBaseMenu() const = 0;
    virtual void LayOutFrame() = 0;
    // The language changed: the main window's own texts, its menu (attached to the command bar
    // again) and its bars are translated by `languages`.
    virtual void RetranslateFrame(const CLanguageManager& languages) = 0;
    virtual void OpenUrlInNewTab(const char* url) = 0;
    // The Options dialog at the page with this dialog id, modal, inside the modal flag.
    virtual void ShowOptionsPage(int pageId) = 0;
    virtual void SetModalFlag(bool inModalLoop) = 0;

protected:
    ~IFrameBaseHost() = default;
};

class CFrameBaseCommands {
public:
    explicit CFrameBaseCommands(IFrameBaseHost& host) : m_host(host) {}
    CFrameBaseCommands(const CFrameBaseCommands&) = delete;
    CFrameBaseCommands& operator=(const CFrameBaseCommands&) = delete;

    // Replacements of the program's services (not owned; null: the program's).
    void SetSkinManager(CFrameSkinManager* skins) { m_skins = skins; }
    void SetLanguageManager(CLanguageManager* languages) { m_languages = languages; }
    void SetHelpViewer(IHelpViewer* help) { m_help = help; }

    // The main window's bars exist: it wears the skin, and the status bar follows the setting.
    void OnFrameCreated();
    // Fills the Skins and Interface Language popups of the menu (the popups holding "&Select
    // Skins..." and "&Select Language...") unless they are filled already. A menu set up again is
    // left as it is and the setup goes on: the answer is always true.
    bool FillMenus(HMENU menu);

    void SelectLanguage(int index);
    void SelectSkin(UINT command);
    void ToggleStatusBar();
    void ToggleLockToolbars();
    // Applies the lock setting to every band of the rebar.
    void ApplyToolbarLock();
    bool ShowUserManual();

    BEGIN_MSG_MAP(CFrameBaseCommands)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        COMMAND_ID_HANDLER(kCommandSelectLanguage, OnCommand)
        COMMAND_ID_HANDLER(kCommandSelectSkins, OnCommand)
        COMMAND_ID_HANDLER(kCommandLockToolbars, OnCommand)
        COMMAND_ID_HANDLER(kCommandStatusBar, OnCommand)
        COMMAND_RANGE_HANDLER(kCommandLanguageFirst, kCommandLanguageLast, OnCommand)
        COMMAND_RANGE_HANDLER(kCommandDisableSkin, kCommandSkinLast, OnCommand)
        COMMAND_ID_HANDLER(kCommandUserManual, OnCommand)
        COMMAND_ID_HANDLER(kCommandHomePage, OnCommand)
        COMMAND_ID_HANDLER(kCommandFeedback, OnCommand)
        COMMAND_ID_HANDLER(kCommandTellAFriend, OnCommand)
    END_MSG_MAP()

    // Carries out one of the commands above.
    void Execute(UINT command);

private:
    LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommand(WORD code, WORD id, HWND control, BOOL& handled);

    CFrameSkinManager* Skins() const;
    CLanguageManager* Languages() const;
    IHelpViewer& Help() const;
    HMENU FindPopupHolding(HMENU menu, UINT id) const;
    void FillSkinsMenu(HMENU skinsMenu);
    void FillLanguageMenu(HMENU languageMenu);
    void CheckOnly(HMENU popup, UINT first, UINT last, UINT checked);
    void UpdateViewChecks();
    void ShowSkinsDialog();
    void SendFeedback();
    void TellAFriend();

    IFrameBaseHost& m_host;
    CFrameSkinManager* m_skins = nullptr;     // not owned; null: the program's
    CLanguageManager* m_languages = nullptr;  // not owned; null: the program's
    IHelpViewer* m_help = nullptr;            // not owned; null: the system's
};
