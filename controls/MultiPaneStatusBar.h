#pragma once
// CMultiPaneStatusBar: the main frame's status bar, a common-controls status bar whose parts are
// addressed by pane id (a string-resource id) instead of by index. The panes are sized from their
// texts, pane id 0 is the one pane that stretches with the bar, and setting a pane's text to what
// it shows already sends nothing, so the bar does not flicker while the idle pass repeats texts.
//
// Lifetime: rule (a). The owner (the frame) holds the object; the object is bound to a status
// window made by Create (or by the owner, then SubclassWindow) and lets go of it when it goes.
// UI thread only.
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <map>
#include <string>
#include <vector>

class CThemeApi;

// Where pane texts come from: string resources, read through the language translator in the
// program. The status bar does not own it.
class IPaneTextSource {
public:
    // The text of string resource `id`, at most kMaxPaneResourceText characters; false (and an
    // empty text) when there is no such string.
    virtual bool LoadPaneText(UINT id, std::string& text) = 0;

protected:
    ~IPaneTextSource() = default;
};

// Pane texts longer than this are cut when they are loaded for measuring.
inline constexpr int kMaxPaneResourceText = 128;

// The production source: LoadString from the resource module.
class CResourcePaneTextSource : public IPaneTextSource {
public:
    bool LoadPaneText(UINT id, std::string& text) override;
};
CResourcePaneTextSource& GetResourcePaneTextSource();

// Sent by the update map to a status bar: wParam a pane id; the answer is the pane's index + 1,
// 0 when the window has no such pane (any other window answers 0 too).
inline constexpr UINT kMsgPaneIndexFromId = WM_APP + 0x137;

// Width given to the stretchable pane before the first WM_SIZE stretches it.
inline constexpr int kStretchPaneInitialWidth = 100;
// Room beside a pane's text for the part's own edges.
inline constexpr int kPaneTextMargin = 6;
// The size grip that visual styles draw is wider than the classic one.
inline constexpr int kThemedGripExtra = 18;

// The right edges of the parts for SetPanes: `textWidths[i]` is the measured width of pane i's
// text, ignored for a stretchable pane (id 0).
std::vector<int> PaneEdgesFromTextWidths(const std::vector<int>& ids, const std::vector<int>& textWidths,
                                         int horizontalBorder, int spacing);
// The right edges for SetPaneWidths: widths become edges; the first pane takes the room of the
// others as well.
std::vector<int> PaneEdgesFromWidths(const std::vector<int>& widths, int spacing, bool themed);
// The edges after a resize that leaves `extra` pixels (may be negative) at the right: the first
// stretchable pane and those after it move, unless that would put the stretchable pane's edge at or
// left of the one before. False when nothing changes.
bool StretchPaneEdges(std::vector<int>& edges, const std::vector<int>& ids, int extra);

class CMultiPaneStatusBar : public CWindowImpl<CMultiPaneStatusBar, CStatusBarCtrl> {
public:
    explicit CMultiPaneStatusBar(IPaneTextSource* texts = nullptr, CThemeApi* theme = nullptr);
    CMultiPaneStatusBar(const CMultiPaneStatusBar&) = delete;
    CMultiPaneStatusBar& operator=(const CMultiPaneStatusBar&) = delete;

    // Creates a status window (msctls_statusbar32) as a child of `parent` and binds to it.
    HWND Create(HWND parent, DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP,
                UINT id = 0);

    // The index of the pane in the pane list, -1 when absent.
    int GetPaneIndexFromId(int id) const;
    // False for an id that is not a pane; a text equal to the pane's current one is not sent.
    bool SetPaneText(int id, const char* text, int type = 0);
    // Sets the panes, sizes them from their resource texts and, with `setTexts`, shows the texts.
    bool SetPanes(const int* ids, int count, bool setTexts = true);
    // Sets the pane widths (in place: they become the right edges).
    bool SetPaneWidths(int* widths, int count);

    const std::vector<int>& GetPaneIds() const { return m_paneIds; }
    // The command a double click on the pane posts to the top-level window (0: none).
    void SetPaneCommand(int paneId, UINT command) { m_paneCommands[paneId] = command; }
    void SetDrawPaneFrames(bool draw) { m_drawPaneFrames = draw ? 1 : 0; }
    bool GetDrawPaneFrames() const { return m_drawPaneFrames != 0; }

    BEGIN_MSG_MAP(CMultiPaneStatusBar)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
        MESSAGE_HANDLER(kMsgPaneIndexFromId, OnPaneIndexFromId)
        MESSAGE_HANDLER(SB_SETTEXTA, OnSetText)
        MESSAGE_HANDLER(SB_SETTEXTW, OnSetText)
        MESSAGE_HANDLER(SB_SETPARTS, OnSetParts)
    END_MSG_MAP()

private:
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnLButtonDblClk(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPaneIndexFromId(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetParts(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void DrawPaneFrames();

    std::vector<int> m_paneIds;          // left to right; 0 marks the stretchable pane
    std::map<int, UINT> m_paneCommands;  // pane id -> command posted on a double click
    BYTE m_drawPaneFrames = 0;
    // The plain text of each part as last set through this window (absent: not known), so that
    // SetPaneText compares without reading the text back.
    std::map<int, std::string> m_partTexts;
    IPaneTextSource* m_texts;  // not owned
    CThemeApi* m_theme;        // not owned; null: the process's theme shim
};
