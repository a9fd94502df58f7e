#pragma once
// CCommandImageManager: the command-to-icon and command-to-text registry. Menus, toolbars and
// tooltips draw the icon and show the text of any command through it. Icons are kept as packed
// image references: the image-set number in the high 16 bits, the image's index within the set
// in the low 16 bits. An image set is a pair of image lists (normal, and disabled or hot) owned
// by whoever registered it; the store only points at their handles.
#include "controls/ToolBarButtonInfo.h"
#include "core/library/StdStr.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

using CommandImageRef = DWORD;

constexpr CommandImageRef MakeCommandImageRef(unsigned set, unsigned image)
{
    return static_cast<CommandImageRef>((set << 16) | (image & 0xFFFF));
}
constexpr unsigned CommandImageSet(CommandImageRef ref) { return ref >> 16; }
constexpr unsigned CommandImageIndex(CommandImageRef ref) { return ref & 0xFFFF; }

// The image-set numbers in use.
enum : unsigned {
    kImageSetToolBar = 0,     // small toolbar images
    kImageSetGeneral = 1,     // general small icons (the shared command list)
    kImageSetOptions = 2,     // option page icons
    kImageSetLanguages = 3,   // interface-language flags
    kImageSetTools = 4,       // external tools' icons
    kImageSetFavIcons = 5,    // site icons of the favicon cache
    kImageSetPlugins = 6,     // plug-ins' icons
};

class CCommandImageManager {
public:
    CCommandImageManager();
    CCommandImageManager(const CCommandImageManager&) = delete;
    CCommandImageManager& operator=(const CCommandImageManager&) = delete;

    // Image sets. The pointers are to handle variables that stay where they are and may be
    // filled later; a null pointer or a null handle is an incomplete set.
    bool SetImageSet(unsigned set, HIMAGELIST* normal, HIMAGELIST* second);
    // The same by list value, for lists that live as long as the store (the handles are kept
    // here and the set points at them).
    bool SetCommandIcons(unsigned set, HIMAGELIST normal, HIMAGELIST second);
    HIMAGELIST GetImageSetList(unsigned set, bool second) const;
    size_t GetImageSetCount() const { return m_imageSets.size(); }

    // Fills sets 0, 1 and 2 (set 2 with one list as both) and takes the image size from the
    // smaller of the normal lists of sets 0 and 1, the button size 6 more; false when a size is
    // 0. Every table entry that is not a separator maps its command to its set-0 image.
    bool RegisterToolBarImages(int count, const ToolBarButtonInfo* table, HIMAGELIST* set0Normal,
                               HIMAGELIST* set0Disabled, HIMAGELIST* set1Normal, HIMAGELIST* set1Disabled,
                               HIMAGELIST* set2List);

    // Command icons. An existing entry for the command is kept.
    void AddCommandImage(unsigned image, UINT command, unsigned set);
    void SetCommandIcon(unsigned image, UINT command, unsigned set) { AddCommandImage(image, command, set); }
    bool ShareCommandImage(UINT from, UINT to);
    bool ShareCommandImageByName(UINT from, const char* name);
    // Also enters each named image under its translation; the untranslated names stay.
    void TranslateImageNames(const std::function<TStdStr<char>(const char*)>& translate);

    // The command's image: a temporary association first, then its own; false when it has none.
    bool GetCommandImage(UINT command, CommandImageRef& ref) const;
    bool GetNamedImage(const char* name, CommandImageRef& ref) const;

    // An icon for a submenu, by the submenu's handle.
    void SetSubMenuImage(HMENU subMenu, CommandImageRef ref);
    void RemoveSubMenuImage(HMENU subMenu);
    bool GetSubMenuImage(HMENU subMenu, CommandImageRef& ref) const;

    // Associations made while a menu is shown: the command shows the other command's icon until
    // the associations are cleared. False when the other command has no image.
    bool SetTemporaryCommandImage(UINT command, UINT imageOf);
    void SetTemporaryCommandImageRef(UINT command, CommandImageRef ref);
    void ClearTemporaryCommandImages();

    // The text of a command (a status text or a favorite's address), also its tooltip. Asking
    // for a command without text creates its empty entry.
    TStdStr<char>& GetCommandText(UINT command);
    void SetCommandText(UINT command, const char* text);
    bool HasCommandText(UINT command) const;

    // Draws the referenced image at the position in the store's image size; draws nothing until
    // set 0 has both of its lists.
    void DrawCommandImage(HDC dc, CommandImageRef ref, POINT position, bool disabled) const;

    HIMAGELIST GetSystemImageList() const { return m_systemImageList; }
    SIZE GetImageSize() const { return m_imageSize; }
    SIZE GetButtonSize() const { return m_buttonSize; }

private:
    struct StringHash {
        size_t operator()(const TStdStr<char>& text) const { return std::hash<std::string>()(text); }
    };
    struct ImageSet {
        HIMAGELIST* normal = nullptr;
        HIMAGELIST* second = nullptr;
    };

    std::unordered_map<UINT, TStdStr<char>> m_commandTexts;
    std::unordered_map<UINT, CommandImageRef> m_commandImages;
    std::unordered_map<TStdStr<char>, CommandImageRef, StringHash> m_namedImages;
    std::vector<ImageSet> m_imageSets;
    std::unordered_map<HMENU, CommandImageRef> m_subMenuImages;
    std::unordered_map<UINT, CommandImageRef> m_temporaryImages;
    // Handles given by value to SetCommandIcons; the sets point at these.
    std::unordered_map<unsigned, std::pair<HIMAGELIST, HIMAGELIST>> m_ownedHandles;
    HIMAGELIST m_systemImageList = nullptr;  // the shell's, not owned
    SIZE m_imageSize = {16, 16};
    SIZE m_buttonSize = {22, 22};
};

// The command-icon store, created on first use (UI thread) and destroyed at exit before the
// image lists its sets point at.
CCommandImageManager* GetCommandImageManager();
