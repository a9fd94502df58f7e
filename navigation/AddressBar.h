#pragma once
// CAddressBar: the band of the main frame into which the user types or picks an address. A window
// of class "_AddressBar", a superclass of ComboBoxEx32, with a label button (19702, the bar menu)
// at its left and a go button (33014, with its menu of web-based services) at its right. It
// decides whether a text is an alias, an address or a search, completes a bare word into a domain
// with Ctrl, Shift or Ctrl+Shift + Enter, keeps the typed-address list it shares with the system
// browser, shows each text's site icon and takes dropped files, links and text. It never makes tabs
// itself: every navigation is the frame's open-URL message (OpenUrlInFrame, sent to the bar's
// top-level window) or a web search through the search catalogue.
//
// Lifetime: the owner (the main frame) holds the object and destroys the window before it; the
// typed-address list is written to the registry at WM_DESTROY.
#include "navigation/NavigationImages.h"
#include "navigation/NavigationResources.h"
#include "navigation/RegistryHistory.h"
#include "platform/AtlCom.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>
#include <oleidl.h>

#include <string>
#include <vector>

class CFavIconCache;
class CGroupStore;
class CSearchEngineManager;
class CUrlAliasList;
class CWebServiceList;

// What the bars use; none is owned. The program's bars take the singletons; tests give their own.
struct CNavigationServices {
    CUrlAliasList* aliases = nullptr;
    CSearchEngineManager* engines = nullptr;
    CWebServiceList* services = nullptr;
    CFavIconCache* icons = nullptr;
    CGroupStore* groups = nullptr;
};
CNavigationServices GetProgramNavigationServices();

// The parts the two bars share: a flat list-style toolbar (drop-down arrows drawn), its buttons
// (a button without BTNS_SHOWTEXT shows its text as its tooltip only), its width, the point under a
// button where its menu opens (inside the work area), and the 2-pixel XOR drop frame of a combo.
HWND CreateBarToolbar(HWND parent, HIMAGELIST images);
bool AddBarButton(HWND toolbar, UINT command, BYTE style, const char* text, int image, bool hidden = false);
int BarToolbarWidth(HWND toolbar);
POINT BarMenuPoint(HWND toolbar, UINT command, HWND fallback);
void DrawBarDropFrame(HWND combo);
// While a menu of addresses is up, each item shows its address's site icon: the favicon cache's
// list is the command-icon store's site-icon set, and the items get temporary images from it.
// The scope's end clears them.
class CMenuSiteIcons {
public:
    explicit CMenuSiteIcons(CFavIconCache* icons);
    ~CMenuSiteIcons();
    CMenuSiteIcons(const CMenuSiteIcons&) = delete;
    CMenuSiteIcons& operator=(const CMenuSiteIcons&) = delete;
    void Add(UINT command, const std::string& address);

private:
    CFavIconCache* m_icons;  // not owned
    bool m_any = false;
};

// The drop target of a bar: hands what is dropped to the bar's own handler. Created on the heap
// and registered for the bar's window; it lives as long as OLE holds it.
class CBarDropTarget : public CComObjectRootEx<CComSingleThreadModel>, public IDropTarget {
public:
    BEGIN_COM_MAP(CBarDropTarget)
        COM_INTERFACE_ENTRY(IDropTarget)
    END_COM_MAP()

    // What a bar does with a drop; answers whether it took it.
    class IHandler {
    public:
        virtual ~IHandler() = default;
        virtual bool CanTakeDrop() const = 0;
        virtual bool TakeDrop(IDataObject* data) = 0;
        virtual void ShowDropFrame(bool show) = 0;
    };
    IHandler* m_handler = nullptr;  // not owned: the bar, which revokes the target before it goes

    STDMETHOD(DragEnter)(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHOD(DragOver)(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHOD(DragLeave)() override;
    STDMETHOD(Drop)(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    bool m_droppable = false;
};

// The page whose link the bar's site icon drags out: the active tab's address and title; false
// when there is no active tab.
class IActivePageSource {
public:
    virtual ~IActivePageSource() = default;
    virtual bool GetActivePage(std::string& url, std::string& title) const = 0;
};

class CAddressBar : public CWindowImpl<CAddressBar, CComboBoxEx>, public CBarDropTarget::IHandler {
public:
    DECLARE_WND_SUPERCLASS("_AddressBar", WC_COMBOBOXEXA)

    explicit CAddressBar(const CNavigationServices& services = GetProgramNavigationServices(),
                         CRegistryHistory history = TypedUrlHistory());
    ~CAddressBar() override;
    CAddressBar(const CAddressBar&) = delete;
    CAddressBar& operator=(const CAddressBar&) = delete;

    HWND Create(HWND parent, UINT id = ID_ADDRESS_BAR);

    // Alias, then address or search (AddressText.h: ClassifyTypedText). False when nothing opened.
    bool GoToTypedAddress(const std::string& text);
    // The trimmed edit text completed with template 0 (Ctrl), 1 (Shift) or 2 (Ctrl+Shift).
    bool GoWithCompletion(int templateIndex);
    // Re-reads the ViewFlags bits of the label and go buttons and rebuilds the toolbars.
    void UpdateGoButton();
    // 2 when the key must stay with the bar's edit, 0 when the frame may translate it.
    int PreTranslateMessage(const MSG* message) const;
    void ClearTypedUrls();

    std::string GetEditText() const;
    HWND GetEditWindow() const { return m_edit.m_hWnd; }
    HWND GetGoToolbar() const { return m_goToolbar; }
    HWND GetLabelToolbar() const { return m_labelToolbar; }
    const std::vector<std::string>& TypedUrls() const { return m_typedUrls; }

    // The menus, tracked through the frame's popup-menu tracker; they act on the result.
    void ShowBarMenu();
    void ShowGoMenu();

    // Where the dragged link comes from (not owned; null: nothing is dragged).
    void SetActivePageSource(IActivePageSource* source) { m_activePage = source; }
    // Whether a press at the point of the inner combo's client area is on the site icon (left of
    // the edit) and starts a drag of the page's link.
    bool IsOnSiteIcon(POINT comboPoint) const;
    // Drags the active page's link out (copy, move or link), as a press on the site icon that
    // became a drag does; the effect of the drop, DROPEFFECT_NONE without an active page.
    DWORD DragPageLink(DWORD button);
    bool IsDragging() const { return m_dragging; }

    // CBarDropTarget::IHandler: the bar takes no drop while it is the drag's source.
    bool CanTakeDrop() const override { return !m_dragging; }
    bool TakeDrop(IDataObject* data) override;
    void ShowDropFrame(bool show) override;

    BEGIN_MSG_MAP(CAddressBar)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        COMMAND_ID_HANDLER(ID_GO_BUTTON, OnGoButton)
        COMMAND_ID_HANDLER(ID_ADDRESS_LABEL_BUTTON, OnLabelButton)
        NOTIFY_CODE_HANDLER(TBN_DROPDOWN, OnToolbarDropDown)
        REFLECTED_COMMAND_CODE_HANDLER(CBN_SELENDOK, OnSelEndOk)
        REFLECTED_NOTIFY_CODE_HANDLER(CBEN_GETDISPINFOA, OnGetDispInfo)
        DEFAULT_REFLECTION_HANDLER()
    ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_KEYDOWN, OnEditKeyDown)
        MESSAGE_HANDLER(WM_CHAR, OnEditChar)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnEditDoubleClick)
    ALT_MSG_MAP(2)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnComboPosChanging)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnComboButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnComboButtonDown)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGoButton(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnLabelButton(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnToolbarDropDown(int id, NMHDR* header, BOOL& handled);
    LRESULT OnSelEndOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnGetDispInfo(int id, NMHDR* header, BOOL& handled);
    LRESULT OnEditKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEditChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEditDoubleClick(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnComboPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnComboButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void CreateToolbars();
    void DestroyToolbars();
    void Layout();
    void AddTypedUrl(const std::string& text);
    void FillList();
    void FillAliasMenu(HMENU menu, CMenuSiteIcons& icons) const;
    void OpenAlias(int index);

    CNavigationServices m_services;
    CRegistryHistory m_history;
    std::vector<std::string> m_typedUrls;
    CContainedWindow m_edit{this, 1};
    CContainedWindow m_combo{this, 2};
    HWND m_labelToolbar = nullptr;  // child windows, destroyed with the bar
    HWND m_goToolbar = nullptr;
    CImageListHolder m_labelImages;
    CImageListHolder m_goImages;
    DWORD m_toolbarFlags = 0;  // the ViewFlags bits the toolbars were built for
    CBarDropTarget* m_dropTarget = nullptr;  // one reference held while registered
    bool m_dropFrameShown = false;
    IActivePageSource* m_activePage = nullptr;  // not owned
    bool m_dragging = false;
};
