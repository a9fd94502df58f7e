// The blocker options container with a page double: the page created as its child and taken in
// with its window text as the caption, the group's header command and image, the expanded state
// read from and written back to ViewFlags, a caption set afterwards, and a page that could not be
// created.
#include "controls/widgets/BlockerOptionsContainer.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "core/app/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace skin_test;

namespace {

std::vector<WPARAM> g_commands;

class CBlockerParent : public CWindowImpl<CBlockerParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoBlockerContainerParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CBlockerParent)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        g_commands.push_back(wParam);
        return 0;
    }
};

class CFakePage : public IBlockerContainerPage {
public:
    explicit CFakePage(bool fails) : m_fails(fails) {}
    HWND CreateInContainer(CBlockerOptionsContainer& container) override
    {
        m_container = &container;
        if (m_fails)
            return nullptr;
        HWND page = CreateTestDialog("Popup - 3 blocked", 0, 0);
        ::SetParent(page, container);
        ::SetWindowPos(page, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        return page;
    }
    bool m_fails;
    CBlockerOptionsContainer* m_container = nullptr;  // not owned
};

class CScopedViewFlags {
public:
    CScopedViewFlags() : m_flags(GetSettings()->ViewFlags) {}
    ~CScopedViewFlags() { GetSettings()->ViewFlags = m_flags; }
    CScopedViewFlags(const CScopedViewFlags&) = delete;
    CScopedViewFlags& operator=(const CScopedViewFlags&) = delete;

private:
    DWORD m_flags;
};

}  // namespace

TEST(BlockerOptionsContainer, EmbedsItsPageAndKeepsTheGroupStateInViewFlags)
{
    CScopedViewFlags scoped;
    struct Case {
        bool popupBlocker;
        bool storedExpanded;
        WORD command;
        DWORD flag;
    };
    for (const Case& c : {Case{true, true, kPopupBlockerGroupCommand, 0x1000}, Case{true, false, kPopupBlockerGroupCommand, 0x1000},
                          Case{false, true, kAdFilterGroupCommand, 0x2000}, Case{false, false, kAdFilterGroupCommand, 0x2000}}) {
        SCOPED_TRACE(testing::Message() << "popups " << c.popupBlocker << ", expanded " << c.storedExpanded);
        DWORD& flags = GetSettings()->ViewFlags;
        flags = c.storedExpanded ? (flags | c.flag) : (flags & ~c.flag);
        CBlockerParent parent;
        ASSERT_TRUE(parent.Create(nullptr, RECT{kTestOriginX, kTestOriginY, kTestOriginX + 360, kTestOriginY + 300}));
        CFakePage page(false);
        CBlockerOptionsContainer container(c.popupBlocker, page);
        ASSERT_TRUE(container.Create(parent, RECT{0, 0, 360, 300}, nullptr, 0, 0, 77U));
        EXPECT_EQ(page.m_container, &container);
        ASSERT_EQ(container.GetGroupCount(), 1);
        EXPECT_EQ(::GetParent(container.GetPageWindow()), container.m_hWnd);
        EXPECT_EQ(container.GetGroupCaption(0), "Popup - 3 blocked");
        EXPECT_EQ(container.GetStyle(), kOptionsSelectionColours | kOptionsToggleAtGlyphOnly);
        EXPECT_EQ(container.IsExpanded(0), c.storedExpanded);
        EXPECT_EQ(::IsWindowVisible(container.GetPageWindow()) != FALSE, c.storedExpanded);

        // A header click sends the group's command to the top-level window; a double click toggles.
        g_commands.clear();
        const RECT band = container.GetItemRect(0, true);
        container.SendMessageA(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(band.left + 40, band.bottom - 6));
        EXPECT_NE(std::find(g_commands.begin(), g_commands.end(), WPARAM{c.command}), g_commands.end());
        EXPECT_EQ(container.IsExpanded(0), !c.storedExpanded);

        EXPECT_TRUE(container.SetGroupCaption(0, "Popup - 4 blocked"));
        EXPECT_EQ(container.GetGroupCaption(0), "Popup - 4 blocked");
        EXPECT_FALSE(container.SetGroupCaption(1, "none"));
        EXPECT_EQ(container.GetGroupCaption(-1), "");

        container.DestroyWindow();
        EXPECT_EQ((flags & c.flag) != 0, !c.storedExpanded);
        parent.DestroyWindow();
    }
}

TEST(BlockerOptionsContainer, APageThatCouldNotBeCreatedLeavesAnEmptyContainer)
{
    CScopedViewFlags scoped;
    const DWORD before = GetSettings()->ViewFlags;
    CBlockerParent parent;
    ASSERT_TRUE(parent.Create(nullptr, RECT{kTestOriginX, kTestOriginY, kTestOriginX + 360, kTestOriginY + 300}));
    CFakePage page(true);
    CBlockerOptionsContainer container(false, page);
    ASSERT_TRUE(container.Create(parent, RECT{0, 0, 360, 300}, nullptr, 0, 0, 78U));
    EXPECT_EQ(container.GetGroupCount(), 0);
    EXPECT_EQ(container.GetPageWindow(), nullptr);
    EXPECT_FALSE(container.Expand(0, false, false));
    container.DestroyWindow();
    EXPECT_EQ(GetSettings()->ViewFlags, before);
    parent.DestroyWindow();
}
