#pragma once
// The tabbed document area of the main frame. CTabbedMDIClient subclasses the frame's MDI client
// and owns CMdiTabOwner, a child window of the frame ("MdiTabOwner") that fills the strip area
// above (or below) the client and holds one tab strip in the look the settings choose. Every MDI
// child gets a tab: selecting the tab activates the child, closing the tab closes the child, and
// the child reports its title, tooltip, activation and maximised state through the registered
// messages below (sent to the MDI client, wParam = the child window).
//
// Lifetime: the frame owns the CTabbedMDIClient (one for the frame's lifetime); the client owns
// the owner object, whose window it destroys with it. The strip owns its items; the image list of
// the tabs is shared and not owned.
#include "controls/TabItem.h"
#include "controls/TabLayout.h"
#include "controls/TabNotify.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/Settings.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <memory>

// The registered window messages of the tabbed MDI, registered at program start-up.
struct CTabbedMdiMessages {
    UINT tabTextChange;       // lParam: the tab text (narrow string) or 0 for the window text
    UINT tabToolTipChange;    // lParam: the tooltip text
    UINT activationChange;    // the child became the active one
    UINT maximized;           // the child was maximised
    UINT unmaximized;         // the child left the maximised state
    UINT showTabContextMenu;  // lParam: screen point (x low word, y high word)
    UINT saveModified;
    UINT closeWithNoPrompt;
};
const CTabbedMdiMessages& GetTabbedMdiMessages();

// The looks of the strip, chosen by the "TabStyle" setting ("DotNet2005" by default).
enum class ETabLook { DotNet, DotNet2005, DotNetButton, Button };
// Exact, case-sensitive: any unknown value gives the DotNet look.
ETabLook TabLookFromStyleName(const char* tabStyle);
const char* TabLookWindowClass(ETabLook look);
// The look the settings' "TabStyle" names.
ETabLook TabLookFromSettings();

// The height of a tab strip: 24 pixels for an 11-pixel font, growing by half the font's growth.
// The strip's own font counts when it has one, else the icon-title font.
int TabStripHeight(HWND strip);

// The view flags bit that lets a double click on the strip close a tab or open a new one.
constexpr DWORD kViewFlagTabDoubleClick = ViewFlag::DoubleClickClosesTab;
constexpr DWORD kDefaultViewFlags = ViewFlag::Defaults;

// The strip as the owners and the frame see it, whatever its look.
class ITabCtrlInterface {
public:
    virtual ~ITabCtrlInterface() = default;
    virtual int GetItemCount() const = 0;
    virtual CTabItem* GetItem(int index) const = 0;
    virtual int GetCurSel() const = 0;
    virtual int SetCurSel(int index) = 0;
};

class IMdiTabOwner {
public:
    virtual ~IMdiTabOwner() = default;
    // new = (old & ~remove) | add: the style the strip window is created with.
    virtual void ModifyTabStyle(DWORD remove, DWORD add) = 0;
    virtual void SetStripHidden(bool hidden) = 0;
    // Shows the image on the child's tab (-1 none); true when it changed.
    virtual bool SetTabImage(HWND child, int image) = 0;
    virtual ITabCtrlInterface* GetTabCtrl() = 0;
};

class ITabbedMDIClient {
public:
    virtual ~ITabbedMDIClient() = default;
    virtual IMdiTabOwner* GetTabOwner() = 0;
    virtual void SetFrameWindow(HWND frame) = 0;
    virtual bool SubclassMDIClient(HWND mdiClient) = 0;
    virtual void UnsubclassMDIClient() = 0;
};

class CMdiTabStrip;

class CMdiTabOwner : public CWindowImpl<CMdiTabOwner, CWindow, CWinTraits<WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>>,
                     public IMdiTabOwner,
                     public ITabCtrlInterface {
public:
    DECLARE_WND_CLASS("MdiTabOwner")

    explicit CMdiTabOwner(ETabLook look);
    ~CMdiTabOwner() override;

    // Creates the hidden owner window under the frame for the MDI client.
    bool CreateOwner(HWND frame, HWND mdiClient);

    // IMdiTabOwner
    void ModifyTabStyle(DWORD remove, DWORD add) override;
    void SetStripHidden(bool hidden) override;
    bool SetTabImage(HWND child, int image) override;
    ITabCtrlInterface* GetTabCtrl() override { return this; }

    // ITabCtrlInterface
    int GetItemCount() const override;
    CTabItem* GetItem(int index) const override;
    int GetCurSel() const override;
    int SetCurSel(int index) override;

    // The tab index of the child's tab, or -1.
    int FindTab(HWND child) const;
    // Adds a tab for the child at the end (no selection); shows the strip when it is the first.
    int AddTab(HWND child);
    // Deletes the child's tab as MDI destroys the child; hides the strip after the last one.
    void RemoveTab(HWND child);
    bool SetTabText(HWND child, const char* text);
    bool SetTabToolTip(HWND child, const char* text);
    void OnChildMaximized(bool maximized);
    void OnSettingChange(WPARAM wParam, LPARAM lParam);

    int GetStripHeight() const { return m_height; }
    bool IsStripHidden() const { return m_stripHidden != 0; }
    DWORD GetTabStyle() const { return m_tabStyle; }
    bool TabsAtBottom() const { return (m_tabStyle & kTabStyleBottom) != 0; }
    void SetOnlyWhileMaximized(bool only) { m_onlyWhileMaximized = only ? 1 : 0; }
    // The shared image list of the tabs (the site icons); kept for a strip created later.
    void SetTabImageList(HIMAGELIST images);
    HIMAGELIST GetTabImageList() const { return m_images; }
    HWND GetStripWindow() const;
    // The strip's hit test: the tab index under the point (strip coordinates) or -1.
    int HitTestStrip(POINT point, UINT* where) const;
    // Recomputes the strip height; lays the MDI client out again when it changed while shown.
    void UpdateStripHeight();
    // Lays the MDI client out again in its full area (the strip's included), so that its
    // position handler gives the strip its current height.
    void RelayoutClient();

    BEGIN_MSG_MAP(CMdiTabOwner)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        NOTIFY_CODE_HANDLER(NM_CLICK, OnTabClick)
        NOTIFY_CODE_HANDLER(NM_DBLCLK, OnTabDoubleClick)
        NOTIFY_CODE_HANDLER(kTabNotifyAcceptDrag, OnDragAccepted)
        NOTIFY_CODE_HANDLER(kTabNotifyCancelDrag, OnDragCancelled)
        NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnSelChange)
        NOTIFY_CODE_HANDLER(kTabNotifyClose, OnCloseButton)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnContextMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTabClick(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnTabDoubleClick(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnDragAccepted(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnDragCancelled(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnSelChange(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnCloseButton(int id, LPNMHDR header, BOOL& handled);

    HWND ChildOfTab(int index) const;
    void FocusChildOfTab(int index) const;
    int ComputeStripHeight() const;
    void ShowStrip();
    void HideStrip();
    bool ActiveChildMaximized() const;
    HWND MainWindow() const;

    std::unique_ptr<CMdiTabStrip> m_strip;
    int m_height = 0;
    int m_minTabCount = 1;
    BYTE m_stripHidden = 1;
    HWND m_mdiClient = nullptr;  // not owned
    DWORD m_tabStyle = kTabStyleScroll | kTabStyleCloseButton | kTabStyleDragReorder | kTabStyleBoldSelected |
                       kTabStyleToolTips | kTabStyleShadowEdge;
    DWORD m_onlyWhileMaximized = 0;
    HIMAGELIST m_images = nullptr;  // shared, not owned
    int m_appliedHeight = 0;  // what the client's last position change left to the strip
    friend class CTabbedMDIClient;
};

class CTabbedMDIClient : public CWindowImpl<CTabbedMDIClient>, public ITabbedMDIClient {
public:
    explicit CTabbedMDIClient(ETabLook look);
    ~CTabbedMDIClient() override;

    // ITabbedMDIClient
    IMdiTabOwner* GetTabOwner() override { return &m_owner; }
    void SetFrameWindow(HWND frame) override { m_frame = frame; }
    bool SubclassMDIClient(HWND mdiClient) override;
    void UnsubclassMDIClient() override;

    CMdiTabOwner& Owner() { return m_owner; }
    bool IsSubclassed() const { return m_subclassed != 0; }

    BEGIN_MSG_MAP(CTabbedMDIClient)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_MDIDESTROY, OnMdiDestroy)
        MESSAGE_HANDLER(GetTabbedMdiMessages().tabTextChange, OnTabTextChange)
        MESSAGE_HANDLER(GetTabbedMdiMessages().tabToolTipChange, OnTabToolTipChange)
        MESSAGE_HANDLER(GetTabbedMdiMessages().activationChange, OnActivationChange)
        MESSAGE_HANDLER(GetTabbedMdiMessages().maximized, OnChildMaximized)
        MESSAGE_HANDLER(GetTabbedMdiMessages().unmaximized, OnChildUnmaximized)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnWindowPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMdiDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTabTextChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTabToolTipChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnActivationChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnChildMaximized(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnChildUnmaximized(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void CreateOwnerWindow();

    CMdiTabOwner m_owner;
    HWND m_frame = nullptr;  // not owned
    BYTE m_subclassed = 0;
    BYTE m_clientEdge = 1;
};
