#include "controls/CommandImageManager.h"

#include "core/library/LifetimeTracker.h"
#include "platform/AtlGdi.h"

#include <shellapi.h>

#include <algorithm>

CCommandImageManager::CCommandImageManager() : m_imageSets(3)
{
    SHFILEINFOA info = {};
    m_systemImageList = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

bool CCommandImageManager::SetImageSet(unsigned set, HIMAGELIST* normal, HIMAGELIST* second)
{
    if (m_imageSets.size() <= set)
        m_imageSets.resize(set + 1);
    m_imageSets[set] = {normal, second};
    return true;
}

bool CCommandImageManager::SetCommandIcons(unsigned set, HIMAGELIST normal, HIMAGELIST second)
{
    // unordered_map keeps its elements where they are when it grows, so the set's pointers hold.
    std::pair<HIMAGELIST, HIMAGELIST>& handles = m_ownedHandles[set];
    handles = {normal, second};
    return SetImageSet(set, &handles.first, &handles.second);
}

HIMAGELIST CCommandImageManager::GetImageSetList(unsigned set, bool second) const
{
    if (set >= m_imageSets.size())
        return nullptr;
    HIMAGELIST* list = second ? m_imageSets[set].second : m_imageSets[set].normal;
    return list ? *list : nullptr;
}

bool CCommandImageManager::RegisterToolBarImages(int count, const ToolBarButtonInfo* table, HIMAGELIST* set0Normal,
                                                 HIMAGELIST* set0Disabled, HIMAGELIST* set1Normal,
                                                 HIMAGELIST* set1Disabled, HIMAGELIST* set2List)
{
    SetImageSet(kImageSetToolBar, set0Normal, set0Disabled);
    SetImageSet(kImageSetGeneral, set1Normal, set1Disabled);
    SetImageSet(kImageSetOptions, set2List, set2List);

    int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    if (set0Normal && *set0Normal)
        ::ImageList_GetIconSize(*set0Normal, &cx0, &cy0);
    if (set1Normal && *set1Normal)
        ::ImageList_GetIconSize(*set1Normal, &cx1, &cy1);
    m_imageSize = {std::min(cx0, cx1), std::min(cy0, cy1)};
    m_buttonSize = {m_imageSize.cx + 6, m_imageSize.cy + 6};
    if (m_imageSize.cx == 0 || m_imageSize.cy == 0)
        return false;

    for (int i = 0; table && i < count; ++i)
        if (table[i].command != 0)
            AddCommandImage(static_cast<unsigned>(table[i].image), static_cast<UINT>(table[i].command),
                            kImageSetToolBar);
    return true;
}

void CCommandImageManager::AddCommandImage(unsigned image, UINT command, unsigned set)
{
    m_commandImages.emplace(command, MakeCommandImageRef(set, image));
}

bool CCommandImageManager::ShareCommandImage(UINT from, UINT to)
{
    const auto found = m_commandImages.find(from);
    if (found == m_commandImages.end())
        return false;
    m_commandImages[to] = found->second;
    return true;
}

bool CCommandImageManager::ShareCommandImageByName(UINT from, const char* name)
{
    const auto found = m_commandImages.find(from);
    if (found == m_commandImages.end() || !name)
        return false;
    m_namedImages[TStdStr<char>(name)] = found->second;
    return true;
}

void CCommandImageManager::TranslateImageNames(const std::function<TStdStr<char>(const char*)>& translate)
{
    if (!translate)
        return;
    std::vector<std::pair<TStdStr<char>, CommandImageRef>> translated;
    for (const auto& [name, ref] : m_namedImages)
        translated.emplace_back(translate(name.c_str()), ref);
    for (auto& [name, ref] : translated)
        m_namedImages.emplace(std::move(name), ref);
}

bool CCommandImageManager::GetCommandImage(UINT command, CommandImageRef& ref) const
{
    for (const auto* map : {&m_temporaryImages, &m_commandImages}) {
        const auto found = map->find(command);
        if (found != map->end()) {
            ref = found->second;
            return true;
        }
    }
    return false;
}

bool CCommandImageManager::GetNamedImage(const char* name, CommandImageRef& ref) const
{
    const auto found = m_namedImages.find(TStdStr<char>(name ? name : ""));
    if (found == m_namedImages.end())
        return false;
    ref = found->second;
    return true;
}

void CCommandImageManager::SetSubMenuImage(HMENU subMenu, CommandImageRef ref)
{
    m_subMenuImages[subMenu] = ref;
}

void CCommandImageManager::RemoveSubMenuImage(HMENU subMenu)
{
    m_subMenuImages.erase(subMenu);
}

bool CCommandImageManager::GetSubMenuImage(HMENU subMenu, CommandImageRef& ref) const
{
    const auto found = m_subMenuImages.find(subMenu);
    if (found == m_subMenuImages.end())
        return false;
    ref = found->second;
    return true;
}

bool CCommandImageManager::SetTemporaryCommandImage(UINT command, UINT imageOf)
{
    CommandImageRef ref = 0;
    if (!GetCommandImage(imageOf, ref))
        return false;
    m_temporaryImages[command] = ref;
    return true;
}

void CCommandImageManager::SetTemporaryCommandImageRef(UINT command, CommandImageRef ref)
{
    m_temporaryImages[command] = ref;
}

void CCommandImageManager::ClearTemporaryCommandImages()
{
    m_temporaryImages.clear();
}

TStdStr<char>& CCommandImageManager::GetCommandText(UINT command)
{
    return m_commandTexts[command];
}

void CCommandImageManager::SetCommandText(UINT command, const char* text)
{
    m_commandTexts[command] = text ? text : "";
}

bool CCommandImageManager::HasCommandText(UINT command) const
{
    const auto found = m_commandTexts.find(command);
    return found != m_commandTexts.end() && !found->second.empty();
}

void CCommandImageManager::DrawCommandImage(HDC dc, CommandImageRef ref, POINT position, bool disabled) const
{
    if (!GetImageSetList(kImageSetToolBar, false) || !GetImageSetList(kImageSetToolBar, true))
        return;
    HIMAGELIST list = GetImageSetList(CommandImageSet(ref), disabled);
    if (!list)
        return;
    const CIcon icon(::ImageList_GetIcon(list, static_cast<int>(CommandImageIndex(ref)), ILD_NORMAL));
    if (!icon)
        return;
    ::DrawIconEx(dc, position.x, position.y, icon, m_imageSize.cx, m_imageSize.cy, 0, nullptr,
                 DI_NORMAL | DI_COMPAT);
}

CCommandImageManager* GetCommandImageManager()
{
    return GetSingleton<CCommandImageManager, kPriorityCommandImageManager>();
}
