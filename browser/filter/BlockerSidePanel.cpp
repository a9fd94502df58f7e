#include "browser/filter/BlockerSidePanel.h"

#include "browser/filter/BlockerPages.h"
#include "controls/widgets/BlockerOptionsContainer.h"
#include "platform/AtlWin.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kPopupContainerId = 1;
constexpr UINT kAdContainerId = 2;
// The panel's own messages. Refresh: wParam 1 popups, 0 ads. Set check: wParam the box, lParam
// its state. Find: wParam 1 popups, 0 ads, lParam 1 the container, 0 the page; answers the window.
constexpr UINT kPanelRefresh = WM_USER + 1;
constexpr UINT kPanelSetCheck = WM_USER + 2;
constexpr UINT kPanelFind = WM_USER + 3;
// Caption: wParam 1 popups, 0 ads, lParam a std::string* that receives it.
constexpr UINT kPanelCaption = WM_USER + 4;
constexpr WPARAM kPopupBox = 1;
constexpr WPARAM kDialogBox = 2;
constexpr WPARAM kAdBox = 3;
constexpr COLORREF kPanelBackground = RGB(195, 199, 211);

// Private to the panel: the free functions below are its interface.
class CBlockerSidePanel : public CWindowImpl<CBlockerSidePanel, CWindow, CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX(kBlockerSidePanelClass, 0, COLOR_WINDOW)

    BEGIN_MSG_MAP(CBlockerSidePanel)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(kPanelRefresh, OnRefresh)
        MESSAGE_HANDLER(kPanelSetCheck, OnSetCheck)
        MESSAGE_HANDLER(kPanelFind, OnFind)
        MESSAGE_HANDLER(kPanelCaption, OnCaption)
        COMMAND_RANGE_HANDLER(kPopupContainerId, kAdContainerId, OnContainerNotify)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&)
    {
        Layout();
        return 0;
    }
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnRefresh(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSetCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnFind(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCaption(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnContainerNotify(WORD code, WORD, HWND, BOOL&);
    void Layout();
    void OnFinalMessage(HWND) override;

    // The pages outlive the containers' windows: members go in reverse order, and the window (with
    // both containers and their pages) is gone before the object is deleted.
    CPopupBlockerPage m_popupPage;
    CAdFilterPage m_adPage;
    CBlockerOptionsContainer m_popupContainer{true, m_popupPage};
    CBlockerOptionsContainer m_adContainer{false, m_adPage};
};

// Set when a panel deletes itself, so that a creation that failed after WM_NCCREATE is not
// deleted twice. UI thread only.
bool g_finalMessageSeen = false;

void CBlockerSidePanel::OnFinalMessage(HWND)
{
    g_finalMessageSeen = true;
    delete this;
}

LRESULT CBlockerSidePanel::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT rect = {};
    GetClientRect(&rect);
    if (!m_popupContainer.Create(m_hWnd, rect, nullptr, 0, 0, kPopupContainerId) ||
        !m_adContainer.Create(m_hWnd, rect, nullptr, 0, 0, kAdContainerId))
        return -1;
    Layout();
    return 0;
}

// The popup container takes the height of its content (up to the whole panel, less the ad
// container's header), the ad container the rest.
void CBlockerSidePanel::Layout()
{
    if (!m_popupContainer.IsWindow() || !m_adContainer.IsWindow())
        return;
    RECT client = {};
    GetClientRect(&client);
    const int adMinimum = std::min<int>(client.bottom, m_adContainer.GetItemRect(0, true).bottom + 12);
    // One pixel more than the content: the container's scroll range runs to the content height
    // inclusive, and a client exactly as tall would still show a scroll bar of one step.
    const int popupHeight = std::clamp<int>(m_popupContainer.GetContentHeight() + 1, 0, std::max<int>(client.bottom - adMinimum, 0));
    m_popupContainer.SetWindowPos(nullptr, 0, 0, client.right, popupHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    m_adContainer.SetWindowPos(nullptr, 0, popupHeight, client.right, client.bottom - popupHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CBlockerSidePanel::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT client = {};
    GetClientRect(&client);
    CBrush brush;
    brush.CreateSolidBrush(kPanelBackground);
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    return 1;
}

// A group starts or ends its animation: lay out again, so that the ad page follows the popup
// page's header when it collapses and makes room when it expands.
LRESULT CBlockerSidePanel::OnContainerNotify(WORD code, WORD, HWND, BOOL&)
{
    if (code == kOptionsGroupChanging || code == kOptionsGroupAnimated)
        Layout();
    return 0;
}

LRESULT CBlockerSidePanel::OnRefresh(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam && m_popupPage.IsWindow())
        m_popupPage.Refresh();
    else if (!wParam && m_adPage.IsWindow())
        m_adPage.Refresh();
    return 0;
}

LRESULT CBlockerSidePanel::OnSetCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT state = lParam ? BST_CHECKED : BST_UNCHECKED;
    if ((wParam == kPopupBox || wParam == kDialogBox) && m_popupPage.IsWindow()) {
        m_popupPage.CheckDlgButton(wParam == kPopupBox ? IDC_POPUP_ENABLE : IDC_DIALOG_ENABLE, state);
        m_popupPage.UpdateControls(false);
    } else if (wParam == kAdBox && m_adPage.IsWindow()) {
        m_adPage.CheckDlgButton(IDC_AD_ENABLE, state);
        m_adPage.UpdateControls(false);
    }
    return 0;
}

LRESULT CBlockerSidePanel::OnFind(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const CBlockerOptionsContainer& container = wParam ? m_popupContainer : m_adContainer;
    return reinterpret_cast<LRESULT>(lParam ? container.m_hWnd : container.GetPageWindow());
}

LRESULT CBlockerSidePanel::OnCaption(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Only the panel's own functions send this, in this thread, with a string of theirs.
    if (auto* caption = reinterpret_cast<std::string*>(lParam))
        *caption = (wParam ? m_popupContainer : m_adContainer).GetGroupCaption(0);
    return 0;
}

bool IsBlockerSidePanel(HWND panel)
{
    if (!panel || !::IsWindow(panel))
        return false;
    char name[64] = {};
    return ::GetClassNameA(panel, name, sizeof(name)) > 0 && std::strcmp(name, kBlockerSidePanelClass) == 0;
}

void SendToPanel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsBlockerSidePanel(panel))
        ::SendMessageA(panel, message, wParam, lParam);
}

}  // namespace

HWND CreateBlockerSidePanel(HWND parent)
{
    if (!parent || !::IsWindow(parent))
        return nullptr;
    auto* panel = new CBlockerSidePanel;
    RECT rect = {};
    ::GetClientRect(parent, &rect);
    g_finalMessageSeen = false;
    HWND window = panel->Create(parent, rect);
    // A window that failed in WM_CREATE still got WM_NCDESTROY, which deleted the object; one that
    // never got so far did not.
    if (!window && !g_finalMessageSeen)
        delete panel;
    return window;
}

void RefreshPopupBlockerPanel(HWND panel)
{
    SendToPanel(panel, kPanelRefresh, 1, 0);
}

void RefreshAdFilterPanel(HWND panel)
{
    SendToPanel(panel, kPanelRefresh, 0, 0);
}

void SetPopupBlockerPanelCheck(HWND panel, bool popupBlockerOn)
{
    SendToPanel(panel, kPanelSetCheck, kPopupBox, popupBlockerOn);
}

void SetDialogBlockerPanelCheck(HWND panel, bool dialogBlockerOn)
{
    SendToPanel(panel, kPanelSetCheck, kDialogBox, dialogBlockerOn);
}

void SetAdFilterPanelCheck(HWND panel, bool adFilterOn)
{
    SendToPanel(panel, kPanelSetCheck, kAdBox, adFilterOn);
}

HWND GetBlockerPanelPage(HWND panel, bool popupBlocker)
{
    return IsBlockerSidePanel(panel) ? reinterpret_cast<HWND>(::SendMessageA(panel, kPanelFind, popupBlocker, 0)) : nullptr;
}

HWND GetBlockerPanelContainer(HWND panel, bool popupBlocker)
{
    return IsBlockerSidePanel(panel) ? reinterpret_cast<HWND>(::SendMessageA(panel, kPanelFind, popupBlocker, 1)) : nullptr;
}

std::string GetBlockerPanelCaption(HWND panel, bool popupBlocker)
{
    std::string caption;
    // The string's address means nothing to another thread's or process's window.
    if (IsBlockerSidePanel(panel) && ::GetWindowThreadProcessId(panel, nullptr) == ::GetCurrentThreadId())
        ::SendMessageA(panel, kPanelCaption, popupBlocker, reinterpret_cast<LPARAM>(&caption));
    return caption;
}
