#pragma once
// CBlockerOptionsContainer: an options container with a single group, the popup blocker's page or
// the ad filter's, whose expanded state is kept in the settings (ViewFlags 0x1000 for the popup
// blocker, 0x2000 for the ad filter). The page itself belongs to the browser library: the
// container is given it as an IBlockerContainerPage, asks it to create its window as a child when
// the container is created, and from then on only shows, hides and moves it; the page sets the
// group caption (its counter title) through SetGroupCaption.
//
// Lifetime: a member of its owner (rule (a)), which also holds the page object and keeps it alive
// at least as long as the container's window; the page window is destroyed with the container.
#include "controls/widgets/OptionsContainer.h"

class CBlockerOptionsContainer;

class IBlockerContainerPage {
public:
    virtual ~IBlockerContainerPage() = default;
    // Creates the page window as a child of the container (null when it could not be created);
    // the page keeps the container to set its caption while its window lives.
    virtual HWND CreateInContainer(CBlockerOptionsContainer& container) = 0;
};

// The header commands (sent to the top-level window on a header click), images in the 24 x 24
// toolbar list, and the ViewFlags bits that keep the groups expanded.
inline constexpr WORD kPopupBlockerGroupCommand = 1350;
inline constexpr WORD kAdFilterGroupCommand = 1351;
inline constexpr int kPopupBlockerGroupImage = 11;
inline constexpr int kAdFilterGroupImage = 12;
inline constexpr DWORD kPopupBlockerGroupExpandedFlag = 0x1000;
inline constexpr DWORD kAdFilterGroupExpandedFlag = 0x2000;
// Selection colours, a single click toggles only at the glyph.
inline constexpr DWORD kBlockerContainerStyle = kOptionsSelectionColours | kOptionsToggleAtGlyphOnly;

class CBlockerOptionsContainer : public COptionsContainer {
public:
    DECLARE_WND_CLASS_EX("_BlockerOptionsContainer", CS_DBLCLKS, COLOR_WINDOW)

    // popupBlocker: true for the popup blocker's page, false for the ad filter's.
    CBlockerOptionsContainer(bool popupBlocker, IBlockerContainerPage& page) : m_popupBlocker(popupBlocker), m_page(page) {}

    bool IsPopupBlocker() const { return m_popupBlocker; }
    DWORD ExpandedFlag() const { return m_popupBlocker ? kPopupBlockerGroupExpandedFlag : kAdFilterGroupExpandedFlag; }
    // The embedded page window, null before creation or when the page could not be created.
    HWND GetPageWindow() const { return m_pageWindow; }

    BEGIN_MSG_MAP(CBlockerOptionsContainer)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MSG_MAP(COptionsContainer)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    bool m_popupBlocker;
    IBlockerContainerPage& m_page;  // not owned: the owner holds the page object
    HWND m_pageWindow = nullptr;    // a child of this window, destroyed with it
};
