#include "controls/ImageListManager.h"

#include "core/library/LifetimeTracker.h"
#include "controls/ImageResources.h"
#include "platform/AtlGdi.h"

#include <iterator>

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);

struct ActionIcon {
    int action;
    int image;
};

// Searched in order; the order is the images' order in the action strip.
constexpr ActionIcon kActionIcons[] = {
    {0, 1},   {1, 2},   {5, 3},   {4, 4},   {2, 5},         {9, 6},         {12, 7},
    {3, 8},   {11, 9},  {8, 10},  {6, 11},  {7, 12},        {13, 13},       {14, 14},
    {16, 15}, {17, 16}, {0xF000, 17}, {0xF001, 18}, {0xF002, 19},
};

HICON LoadSmallIcon(HINSTANCE resources, int id)
{
    return static_cast<HICON>(::LoadImageA(resources, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace

bool CImageListHandle::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    Destroy();
    m_list = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_list != nullptr;
}

bool CImageListHandle::Destroy()
{
    if (!m_list || !::ImageList_Destroy(m_list))
        return false;
    m_list = nullptr;
    return true;
}

int ActionIconIndex(int action)
{
    for (const ActionIcon& entry : kActionIcons)
        if (entry.action == action)
            return entry.image;
    return 0;
}

bool CImageListManager::CreateImageListFromBitmap(CImageListHandle& list, HINSTANCE resources, int bitmapId,
                                                  int cx, int cy, int grow, COLORREF mask, UINT colourFlags)
{
    if (!list.Create(cx, cy, colourFlags | ILC_MASK, 1, grow))
        return false;
    // The image list keeps a copy of the bitmap.
    CBitmap bitmap;
    if (bitmap.LoadBitmap(resources, static_cast<UINT>(bitmapId)))
        ::ImageList_AddMasked(list, bitmap, mask);
    return true;
}

CImageListManager::CImageListManager(HINSTANCE resources)
{
    struct Strip {
        CImageListHandle CImageListManager::*list;
        int bitmap;
        int size;
        UINT flags;
    };
    // Slot order; the icons in between are taken where their source list is complete.
    const Strip strips[] = {
        {&CImageListManager::m_toolBarLarge, IDB_TOOLBAR_LARGE, 24, ILC_COLOR24},
        {&CImageListManager::m_toolBarLargeDisabled, IDB_TOOLBAR_LARGE_DISABLED, 24, ILC_COLOR8},
        {&CImageListManager::m_toolBarLargeHot, IDB_TOOLBAR_LARGE_HOT, 24, ILC_COLOR24},
        {&CImageListManager::m_generalSmall, IDB_GENERAL_SMALL, 16, ILC_COLOR24},
        {&CImageListManager::m_generalSmallDisabled, IDB_GENERAL_SMALL_DISABLED, 16, ILC_COLOR8},
        {&CImageListManager::m_toolBarSmall, IDB_TOOLBAR_SMALL, 16, ILC_COLOR24},
        {&CImageListManager::m_toolBarSmallDisabled, IDB_TOOLBAR_SMALL_DISABLED, 16, ILC_COLOR8},
        {&CImageListManager::m_optionIcons, IDB_OPTION_ICONS, 16, ILC_COLOR24},
        {&CImageListManager::m_goButton, IDB_GO_BUTTON, 16, ILC_COLOR24},
        {&CImageListManager::m_goButtonSecond, IDB_GO_BUTTON_SECOND, 16, ILC_COLOR8},
        {&CImageListManager::m_actionIcons, IDB_ACTION_ICONS, 16, ILC_COLOR8},
        {&CImageListManager::m_expandStrip, IDB_EXPAND_STRIP, 16, ILC_COLOR8},
        {&CImageListManager::m_checkStateStrip, IDB_CHECK_STATE_STRIP, 16, ILC_COLOR8},
    };
    try {
        for (const Strip& strip : strips)
            CreateImageListFromBitmap(this->*strip.list, resources, strip.bitmap, strip.size, strip.size, 1,
                                      kMaskColour, strip.flags);
        m_siteIcon = LoadSmallIcon(resources, IDI_SITE);
        m_generalIcon19 = m_generalSmall.Get() ? ::ImageList_GetIcon(m_generalSmall, 19, ILD_NORMAL) : nullptr;
        m_secureIcon = LoadSmallIcon(resources, IDI_SECURE);
        m_insecureIcon = LoadSmallIcon(resources, IDI_INSECURE);
        m_popupBlockedIcon = m_toolBarSmall.Get() ? ::ImageList_GetIcon(m_toolBarSmall, 11, ILD_NORMAL) : nullptr;
        CreateImageListFromBitmap(m_pageAnalyzer, resources, IDB_PAGE_ANALYZER, 16, 16, 1, kMaskColour,
                                  ILC_COLOR24);
    } catch (...) {
        DestroyAll();
        throw;
    }
}

CImageListManager::~CImageListManager()
{
    DestroyAll();
}

void CImageListManager::DestroyAll()
{
    m_pageAnalyzer.Destroy();
    for (CIcon* icon : {&m_popupBlockedIcon, &m_insecureIcon, &m_secureIcon, &m_generalIcon19, &m_siteIcon})
        icon->DestroyIcon();
    CImageListHandle* lists[] = {&m_checkStateStrip,      &m_expandStrip,      &m_actionIcons,
                                 &m_goButtonSecond,       &m_goButton,         &m_optionIcons,
                                 &m_toolBarSmallDisabled, &m_toolBarSmall,     &m_generalSmallDisabled,
                                 &m_generalSmall,         &m_toolBarLargeHot,  &m_toolBarLargeDisabled,
                                 &m_toolBarLarge};
    for (CImageListHandle* list : lists)
        list->Destroy();
}

HIMAGELIST CImageListManager::GetList(EImageListSlot slot) const
{
    const CImageListHandle* lists[kImageListSlotCount] = {
        &m_toolBarLarge, &m_toolBarLargeDisabled, &m_toolBarLargeHot,      &m_generalSmall,
        &m_generalSmallDisabled, &m_toolBarSmall, &m_toolBarSmallDisabled, &m_optionIcons,
        &m_goButton,     &m_goButtonSecond,       &m_actionIcons,          &m_expandStrip,
        &m_checkStateStrip, nullptr, nullptr, nullptr, nullptr, nullptr,  &m_pageAnalyzer};
    if (slot < 0 || slot >= kImageListSlotCount || !lists[slot])
        return nullptr;
    return lists[slot]->Get();
}

HICON CImageListManager::GetIcon(EImageListSlot slot) const
{
    switch (slot) {
    case kSlotSiteIcon: return m_siteIcon;
    case kSlotGeneralIcon19: return m_generalIcon19;
    case kSlotSecureIcon: return m_secureIcon;
    case kSlotInsecureIcon: return m_insecureIcon;
    case kSlotPopupBlockedIcon: return m_popupBlockedIcon;
    default: return nullptr;
    }
}

HICON CImageListManager::GetActionIcon(int action) const
{
    if (!m_actionIcons.Get())
        return nullptr;
    return ::ImageList_GetIcon(m_actionIcons, ActionIconIndex(action), ILD_NORMAL);
}

CImageListManager* GetImageListManager()
{
    return GetSingleton<CImageListManager, kPriorityImageListManager>();
}
