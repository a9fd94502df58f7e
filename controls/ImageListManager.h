#pragma once
// CImageListManager: the program's fixed set of shared image lists and icons, cut once from the
// bitmap and icon resources. Toolbars, dialogs, option pages, menus and the address bar take
// their lists from it by slot; the manager keeps ownership and frees them at exit.
#include <windows.h>
#include <commctrl.h>

#include "platform/AtlGdi.h"

// One owned image-list handle (null when empty).
class CImageListHandle {
public:
    CImageListHandle() = default;
    ~CImageListHandle() { Destroy(); }
    CImageListHandle(const CImageListHandle&) = delete;
    CImageListHandle& operator=(const CImageListHandle&) = delete;

    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Destroys the list; the handle is cleared only when the list really went.
    bool Destroy();
    HIMAGELIST Get() const { return m_list; }
    HIMAGELIST* Address() { return &m_list; }
    operator HIMAGELIST() const { return m_list; }

private:
    HIMAGELIST m_list = nullptr;
};

// The slots, in construction order (destruction runs the other way).
enum EImageListSlot : int {
    kSlotToolBarLarge = 0,
    kSlotToolBarLargeDisabled = 1,
    kSlotToolBarLargeHot = 2,
    kSlotGeneralSmall = 3,
    kSlotGeneralSmallDisabled = 4,
    kSlotToolBarSmall = 5,
    kSlotToolBarSmallDisabled = 6,
    kSlotOptionIcons = 7,
    kSlotGoButton = 8,
    kSlotGoButtonSecond = 9,
    kSlotActionIcons = 10,
    kSlotExpandStrip = 11,
    kSlotCheckStateStrip = 12,
    kSlotSiteIcon = 13,          // icon resource 380
    kSlotGeneralIcon19 = 14,     // image 19 of the general small icons
    kSlotSecureIcon = 15,        // icon resource 303
    kSlotInsecureIcon = 16,      // icon resource 304
    kSlotPopupBlockedIcon = 17,  // image 11 of the small toolbar images
    kSlotPageAnalyzer = 18,
    kImageListSlotCount = 19,
};

// The image of the action icons that stands for an action or command index; 0 for any index
// without an image of its own.
int ActionIconIndex(int action);

class CImageListManager {
public:
    // Builds every slot from the module's resources. A slot whose list cannot be created stays
    // null and the rest are still built.
    explicit CImageListManager(HINSTANCE resources = ::GetModuleHandleA(nullptr));
    ~CImageListManager();
    CImageListManager(const CImageListManager&) = delete;
    CImageListManager& operator=(const CImageListManager&) = delete;

    // Creates a list of cx by cy images (flags | ILC_MASK, initial size 1, the grow step) and
    // fills it from the bitmap resource, masking out the colour. A missing bitmap leaves the
    // list empty; a list that cannot be created leaves the slot null.
    static bool CreateImageListFromBitmap(CImageListHandle& list, HINSTANCE resources, int bitmapId, int cx,
                                          int cy, int grow, COLORREF mask, UINT colourFlags);

    HIMAGELIST GetList(EImageListSlot slot) const;
    HICON GetIcon(EImageListSlot slot) const;
    // A copy of the action's icon; the caller destroys it.
    HICON GetActionIcon(int action) const;

    // The named roles, read directly by the toolbars, dialogs and menus.
    CImageListHandle m_toolBarLarge;
    CImageListHandle m_toolBarLargeDisabled;
    CImageListHandle m_toolBarLargeHot;
    CImageListHandle m_generalSmall;
    CImageListHandle m_generalSmallDisabled;
    CImageListHandle m_toolBarSmall;
    CImageListHandle m_toolBarSmallDisabled;
    CImageListHandle m_optionIcons;
    CImageListHandle m_goButton;
    CImageListHandle m_goButtonSecond;
    CImageListHandle m_actionIcons;
    CImageListHandle m_expandStrip;
    CImageListHandle m_checkStateStrip;
    CIcon m_siteIcon;
    CIcon m_generalIcon19;
    CIcon m_secureIcon;
    CIcon m_insecureIcon;
    CIcon m_popupBlockedIcon;
    CImageListHandle m_pageAnalyzer;

private:
    void DestroyAll();
};

// The shared image lists, created on first use (UI thread) and destroyed at exit.
CImageListManager* GetImageListManager();
