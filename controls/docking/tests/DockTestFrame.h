#pragma once
// What the docking window tests share: an MDI frame that takes in the docking layer and the three
// frame mix-ins, content windows for panes, and a script of input messages that are posted one at
// a time, each when its condition holds (a window holds the capture, a loop runs), so that nested
// modal loops each get their own messages.
#include "controls/docking/DockingWindow.h"
#include "controls/docking/FrameMixins.h"
#include "controls/docking/PackageWindowFrame.h"
#include "controls/docking/TabDockingBox.h"
#include "platform/AtlFrame.h"

#include <functional>
#include <string>
#include <vector>

class CDockTestFrame : public CMDIFrameWindowImpl<CDockTestFrame>,
                       public CPackageWindowFrame<CDockTestFrame>,
                       public TMDIWindowCommands<CDockTestFrame>,
                       public TCommandUIUpdater<CDockTestFrame>,
                       public TMouseWheelForwarder<CDockTestFrame> {
public:
    DECLARE_FRAME_WND_CLASS("KivoDockingTestFrame", 0)
    using CPackageWindowFrame<CDockTestFrame>::UpdateLayout;

    // The command-state routine: records the ids it sees, disables those in m_disable, and runs
    // m_onUpdate (which may change the menu) for each.
    std::vector<UINT> m_updated;
    std::vector<UINT> m_disable;
    std::function<void(UINT)> m_onUpdate;
    void UpdateCommandUI(UINT id, ICommandUIElement& element);

    // WM_MOUSEWHEEL the frame itself received.
    int m_wheelCount = 0;
    WPARAM m_lastWheel = 0;

    BEGIN_MSG_MAP(CDockTestFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        CHAIN_MSG_MAP(TMDIWindowCommands<CDockTestFrame>)
        CHAIN_MSG_MAP(TCommandUIUpdater<CDockTestFrame>)
        CHAIN_MSG_MAP(TMouseWheelForwarder<CDockTestFrame>)
        CHAIN_MSG_MAP(CPackageWindowFrame<CDockTestFrame>)
        CHAIN_MSG_MAP(CMDIFrameWindowImpl<CDockTestFrame>)
    END_MSG_MAP()

    // A visible frame at the rectangle (screen).
    static CDockTestFrame* Make(const RECT& rect);
    void Destroy();
    RECT ClientArea() const;
    // A child window of the MDI client.
    HWND AddMdiChild(const char* title);

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
    void OnFinalMessage(HWND) override {}
};

namespace dock_test {

// The MDI children of AddMdiChild record the WM_CLOSE they get (then close) and the
// WM_MOUSEWHEEL they get (which they take, answering 1).
std::vector<HWND>& ClosedChildren();
std::vector<HWND>& WheeledChildren();
LRESULT CALLBACK RecordingChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void Pump();
// Pumps until the condition holds or a generous deadline passes; false on the deadline.
bool PumpUntil(const std::function<bool()>& condition);

// A pane with an edit control as content.
CDockingWindow* MakePane(CDockTestFrame& frame, const char* caption);
// Docks at a stored place: side flags, bar index, thickness.
bool DockAt(CDockingWindow& pane, uint32_t flags, uint32_t barIndex, uint32_t thickness, float position = 0.0f);

RECT WindowRect(HWND window);
// The rectangle in the frame's client coordinates.
RECT InFrame(HWND frame, HWND window);
// The middle of a docked pane's caption, in screen coordinates.
POINT CaptionPoint(CDockingWindow& pane);

// One posted message: target, message, keys, a screen point (converted to the target's client
// coordinates unless the message is a non-client one), and when it may be posted.
struct CScriptStep {
    std::function<HWND()> target;
    UINT message;
    WPARAM wParam;
    std::function<POINT()> point;
    std::function<bool()> ready;
};

class CInputScript {
public:
    CInputScript& Post(std::function<HWND()> target, UINT message, WPARAM wParam, std::function<POINT()> point,
                       std::function<bool()> ready = nullptr);
    CInputScript& Post(HWND target, UINT message, WPARAM wParam, POINT point, std::function<bool()> ready = nullptr);
    // Posts the steps, pumping, until all are posted and no window holds the capture any more.
    // False when the deadline passed (the capture holder was sent Esc).
    bool Run();

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Step();

    std::vector<CScriptStep> m_steps;
    size_t m_next = 0;
    DWORD m_deadline = 0;
    bool m_timedOut = false;
};

// Whether a window holds the capture (the modal loop that takes the next messages runs).
std::function<bool()> Captures(HWND window);
std::function<bool()> CapturesAny();

}  // namespace dock_test
