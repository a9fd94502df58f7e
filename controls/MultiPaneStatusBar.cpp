#include "controls/MultiPaneStatusBar.h"

#include "controls/ThemeApi.h"
#include "platform/AtlGdi.h"

#include <commctrl.h>

#include <algorithm>

bool CResourcePaneTextSource::LoadPaneText(UINT id, std::string& text)
{
    char buffer[kMaxPaneResourceText + 1] = {};
    const int length = ::LoadStringA(AtlGetResourceInstance(), id, buffer, static_cast<int>(std::size(buffer)));
    text.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return length > 0;
}

CResourcePaneTextSource& GetResourcePaneTextSource()
{
    static CResourcePaneTextSource source;
    return source;
}

std::vector<int> PaneEdgesFromTextWidths(const std::vector<int>& ids, const std::vector<int>& textWidths,
                                         int horizontalBorder, int spacing)
{
    std::vector<int> edges(ids.size());
    int right = horizontalBorder;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != 0)
            right += spacing + (i < textWidths.size() ? textWidths[i] : 0) + kPaneTextMargin;
        else
            right += spacing + kStretchPaneInitialWidth;
        edges[i] = right;
    }
    return edges;
}

std::vector<int> PaneEdgesFromWidths(const std::vector<int>& widths, int spacing, bool themed)
{
    std::vector<int> edges(widths);
    if (edges.empty())
        return edges;
    edges[0] += spacing;
    for (size_t j = 1; j < widths.size(); ++j)
        edges[0] += widths[j];
    for (size_t j = 1; j < edges.size(); ++j)
        edges[j] += edges[j - 1] + spacing;
    if (themed)
        edges.back() += kThemedGripExtra;
    return edges;
}

bool StretchPaneEdges(std::vector<int>& edges, const std::vector<int>& ids, int extra)
{
    if (edges.size() != ids.size() || extra == 0)
        return false;
    size_t k = 0;
    while (k < ids.size() && ids[k] != 0)
        ++k;
    if (k == ids.size())
        return false;
    const int previous = k == 0 ? 0 : edges[k - 1];
    if (edges[k] + extra <= previous)
        return false;
    for (size_t i = k; i < edges.size(); ++i)
        edges[i] += extra;
    return true;
}

CMultiPaneStatusBar::CMultiPaneStatusBar(IPaneTextSource* texts, CThemeApi* theme)
    : m_texts(texts ? texts : &GetResourcePaneTextSource()), m_theme(theme)
{
}

HWND CMultiPaneStatusBar::Create(HWND parent, DWORD style, UINT id)
{
    if (m_hWnd)
        return nullptr;
    HWND window = ::CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, style, 0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AtlGetResourceInstance(),
                                    nullptr);
    if (!window)
        return nullptr;
    if (!SubclassWindow(window)) {
        ::DestroyWindow(window);
        return nullptr;
    }
    return m_hWnd;
}

int CMultiPaneStatusBar::GetPaneIndexFromId(int id) const
{
    for (size_t i = 0; i < m_paneIds.size(); ++i) {
        if (m_paneIds[i] == id)
            return static_cast<int>(i);
    }
    return -1;
}

// The current text is not read back with SB_GETTEXT: that message takes no buffer size, and
// SB_GETTEXTLENGTH gives the length in 16 bits only, while the stretchable pane shows texts such as
// link addresses of any length. Every text set through the window is kept instead (OnSetText).
bool CMultiPaneStatusBar::SetPaneText(int id, const char* text, int type)
{
    const int index = GetPaneIndexFromId(id);
    if (index < 0)
        return false;
    if (!text)
        text = "";
    if ((type & SBT_OWNERDRAW) == 0) {
        const auto known = m_partTexts.find(index);
        if (known != m_partTexts.end() && known->second == text)
            return true;
    }
    return SetText(index, text, type) != FALSE;
}

bool CMultiPaneStatusBar::SetPanes(const int* ids, int count, bool setTexts)
{
    if (!ids || count < 0)
        return false;
    m_paneIds.assign(ids, ids + count);
    std::vector<int> textWidths(m_paneIds.size(), 0);
    std::vector<std::string> texts(m_paneIds.size());
    int horizontal = 0, vertical = 0, spacing = 0;
    {
        CClientDC dc(m_hWnd);
        CGdiObjectSelector font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        GetBorders(horizontal, vertical, spacing);
        for (size_t i = 0; i < m_paneIds.size(); ++i) {
            if (m_paneIds[i] == 0)
                continue;
            m_texts->LoadPaneText(static_cast<UINT>(m_paneIds[i]), texts[i]);
            SIZE size = {};
            if (!texts[i].empty() &&
                ::GetTextExtentPoint32A(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &size))
                textWidths[i] = size.cx;
        }
    }
    const std::vector<int> edges = PaneEdgesFromTextWidths(m_paneIds, textWidths, horizontal, spacing);
    const bool ok = SetParts(static_cast<int>(edges.size()), edges.data()) != FALSE;
    if (ok && setTexts) {
        for (size_t i = 0; i < m_paneIds.size(); ++i) {
            if (m_paneIds[i] != 0)
                SetPaneText(m_paneIds[i], texts[i].c_str(), 0);
        }
    }
    return ok;
}

bool CMultiPaneStatusBar::SetPaneWidths(int* widths, int count)
{
    if (!widths || count <= 0)
        return false;
    int horizontal = 0, vertical = 0, spacing = 0;
    GetBorders(horizontal, vertical, spacing);
    CThemeApi* theme = m_theme ? m_theme : GetThemeApi();
    const std::vector<int> edges =
        PaneEdgesFromWidths(std::vector<int>(widths, widths + count), spacing, theme && theme->IsThemingActive());
    std::copy(edges.begin(), edges.end(), widths);
    // As many parts are set as there are panes; a shorter list keeps the rest unset.
    const int parts = m_paneIds.empty() ? count : std::min<int>(count, static_cast<int>(m_paneIds.size()));
    return SetParts(parts, widths) != FALSE;
}

LRESULT CMultiPaneStatusBar::OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (m_drawPaneFrames && !IsSimple())
        DrawPaneFrames();
    return result;
}

void CMultiPaneStatusBar::DrawPaneFrames()
{
    const int parts = GetParts(0, nullptr);
    if (parts <= 0)
        return;
    CClientDC dc(m_hWnd);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CGdiObjectSelector penScope(dc, pen);
    CGdiObjectSelector brushScope(dc, ::GetStockObject(NULL_BRUSH));
    for (int i = 0; i < parts; ++i) {
        RECT rect = {};
        if (GetRect(i, &rect))
            ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

LRESULT CMultiPaneStatusBar::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (wParam == SIZE_MINIMIZED || m_paneIds.empty())
        return result;
    std::vector<int> edges(m_paneIds.size() + 1);
    const int parts = GetParts(static_cast<int>(edges.size()), edges.data());
    if (parts != static_cast<int>(m_paneIds.size()))
        return result;
    edges.resize(m_paneIds.size());
    RECT client = {};
    GetClientRect(&client);
    int extra = client.right - edges.back();
    if (GetStyle() & SBARS_SIZEGRIP)
        extra -= ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL);
    if (StretchPaneEdges(edges, m_paneIds, extra))
        SetParts(static_cast<int>(edges.size()), edges.data());
    return result;
}

LRESULT CMultiPaneStatusBar::OnLButtonDblClk(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam, BOOL& handled)
{
    // The default procedure sees the double click as well.
    handled = FALSE;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int parts = std::min<int>(GetParts(0, nullptr), static_cast<int>(m_paneIds.size()));
    for (int i = 0; i < parts; ++i) {
        RECT rect = {};
        if (!GetRect(i, &rect) || !::PtInRect(&rect, point))
            continue;
        const auto command = m_paneCommands.find(m_paneIds[i]);
        if (command != m_paneCommands.end() && command->second != 0)
            ::PostMessageA(GetTopLevelParent(), WM_COMMAND, MAKEWPARAM(command->second, 0), 0);
        break;
    }
    return 0;
}

LRESULT CMultiPaneStatusBar::OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    const int part = static_cast<int>(wParam & 0xFF);
    // An owner-drawn part keeps item data where the text would be; a wide text is not kept.
    const bool plain = message == SB_SETTEXTA && (wParam & SBT_OWNERDRAW) == 0;
    if (result && plain)
        m_partTexts[part] = lParam ? reinterpret_cast<const char*>(lParam) : "";
    else
        m_partTexts.erase(part);
    return result;
}

LRESULT CMultiPaneStatusBar::OnSetParts(UINT message, WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    // Parts beyond the new count are gone; their texts are not known any more.
    m_partTexts.erase(m_partTexts.lower_bound(static_cast<int>(wParam)), m_partTexts.end());
    return result;
}

LRESULT CMultiPaneStatusBar::OnPaneIndexFromId(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& /*handled*/)
{
    return GetPaneIndexFromId(static_cast<int>(wParam)) + 1;
}
