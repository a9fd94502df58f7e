#pragma once
// The docking protocol: the request codes and flags, the records that travel as a request's
// lParam (a 12-byte header, the 32-byte drag record, the 60-byte position record that is also the
// stored form of a pane's place, the 16-byte replace record), their byte-exact encoding, and the
// one way a request is sent and received.
//
// Every field is 32 bits wide, window handles too: a handle travels as its low 32 bits and comes
// back sign-extended, which is how 64-bit Windows keeps handles that 32-bit programs can name.
//
// A request is trusted only while this thread is sending it: SendDockRequest lists the record for
// the length of the call and DockRequestFromMessage accepts an lParam only when it is one of the
// records listed, at least as large as the code needs. A WM_USER + 1 that is anything else (a
// common control's own message misdirected at a frame, a post, a message from another process
// carrying a pointer into that process) is not a docking request and is answered 0.
#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

// The request message of frames, bars, panes and boxes, and the notice a host sends a pane when it
// takes it (wParam 1, lParam the host) or lets it go (wParam 0).
enum : UINT {
    kDockMsgRequest = WM_USER + 1,
    kDockMsgHostChanged = WM_USER,
};

// The registered "DockingBoxMessage-": requests to windows that take part in the box protocol.
UINT GetDockingBoxMessage();

enum EDockCode : uint32_t {
    kDockAccept = 1,        // drag record: may the pane dock at the record's point?
    kDockDock = 2,          // drag record: dock the pane where the accept test found
    kDockUndock = 3,        // header: let the pane (or an empty bar) go
    kDockGetPosition = 4,   // position record: fill in where the pane is
    kDockSetPosition = 5,   // position record: dock the pane at the recorded place
    kDockClamp = 6,         // drag record: clamp the rectangle to the frame's limits
    kDockClampDrag = 7,     // the same, during a drag
    kDockReplace = 8,       // replace record: another window takes the pane's place
    kDockIsBox = 9,         // header: non-zero from windows of the box protocol
    kDockActivate = 10,     // header: show the pane's tab (and the box when hidden)
    kDockGroup = 12,        // group record of a restore (not answered by the frame)
    kDockMinSize = 13,      // header: the pane's minimum along its bar
};

enum : uint32_t {
    kDockFlagLeftRight = 0x01,   // docked at the left or right (the horizontal package)
    kDockFlagStartSide = 0x02,   // top or left; clear: bottom or right
    kDockFlagNewBar = 0x04,      // in a bar of its own
    kDockFlagFloating = 0x08,    // floating (or in a floating box)
    kDockFlagActive = 0x10,      // the active pane of its box
    kDockFlagGroup = 0x20,       // member of a pane group
    kDockKnownFlags = 0x3F,
    kDockFlagInnerAccepted = 0x80000000u,  // drag record: the frame's inner package accepted
};

// The code a save writes into every stored record.
constexpr uint32_t kDockStoredCode = kDockGetPosition;

struct CDockHeader {
    uint32_t pane = 0;  // the window the request is about
    uint32_t host = 0;  // the frame, bar or box addressed or found; 0 none
    uint32_t code = 0;
};

struct CDockDragRecord {
    CDockHeader header;
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // screen; the point under test is left/top
    uint32_t flags = 0;
};

struct CDockPositionRecord {
    CDockHeader header;
    uint32_t flags = 0;
    uint32_t barIndex = 0;     // from the frame's edge inwards, 0 outermost
    float position = 0.0f;     // of the pane within its bar, 0 to 1
    uint32_t barThickness = 0;
    uint32_t paneLength = 0;
    uint32_t order = 0;        // within a box
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // floating rectangle, screen
    uint32_t docked = 0;
    uint32_t visible = 0;
};

struct CDockReplaceRecord {
    CDockHeader header;
    uint32_t replacement = 0;
};

static_assert(sizeof(CDockHeader) == 12);
static_assert(sizeof(CDockDragRecord) == 32);
static_assert(sizeof(CDockPositionRecord) == 60);
static_assert(sizeof(CDockReplaceRecord) == 16);
static_assert(offsetof(CDockPositionRecord, position) == 20);
static_assert(offsetof(CDockPositionRecord, left) == 36);
static_assert(offsetof(CDockPositionRecord, docked) == 52);

// A window handle as a 32-bit field and back (sign-extended).
inline uint32_t DockHandleField(HWND window)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}
inline HWND DockFieldHandle(uint32_t field)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(field)));
}

inline RECT DockRect(const CDockDragRecord& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT DockRect(const CDockPositionRecord& r) { return {r.left, r.top, r.right, r.bottom}; }
template <class TRecord>
void SetDockRect(TRecord& r, const RECT& rect)
{
    r.left = rect.left;
    r.top = rect.top;
    r.right = rect.right;
    r.bottom = rect.bottom;
}

// The stored form: 60 bytes, little-endian, field after field.
constexpr size_t kDockRecordBytes = 60;
std::array<BYTE, kDockRecordBytes> EncodeDockRecord(const CDockPositionRecord& record);
// False (and the record untouched) unless the bytes are a record a save of this program writes:
// exactly 60 bytes, the stored code, known flags, a finite position from 0 to 1, sizes and a
// rectangle within the coordinate range of windows.
bool DecodeDockRecord(const BYTE* bytes, size_t size, CDockPositionRecord& record);

// The record size a request code needs (0 for unknown codes).
size_t DockRecordSizeFor(uint32_t code);

// Sends a request to a window of this thread and answers what it answered; 0 without sending
// when the window is not one of this thread's. `size` is the record's size.
LRESULT SendDockRequest(HWND target, UINT message, CDockHeader& record, size_t size);
template <class TRecord>
LRESULT SendDockRequest(HWND target, UINT message, TRecord& record)
{
    return SendDockRequest(target, message, record.header, sizeof(TRecord));
}
// The record of a request that this thread is sending to the window now, or null. The record is
// at least as large as its code needs.
CDockHeader* DockRequestFromMessage(LPARAM lParam);

// Answers the requests that every container of panes takes alike (accept, dock, undock, get and set
// a position) through the container's operations of those names; false, and nothing answered, for
// the other codes, which the container answers itself.
template <class TContainer>
bool AnswerCommonDockRequest(TContainer& container, CDockHeader& header, LRESULT& result)
{
    switch (header.code) {
    case kDockAccept:
        result = container.AcceptTest(reinterpret_cast<CDockDragRecord&>(header));
        return true;
    case kDockDock:
        result = container.Dock(reinterpret_cast<CDockDragRecord&>(header));
        return true;
    case kDockUndock:
        result = container.Undock(DockFieldHandle(header.pane));
        return true;
    case kDockGetPosition:
        result = container.GetPosition(reinterpret_cast<CDockPositionRecord&>(header));
        return true;
    case kDockSetPosition:
        result = container.SetPosition(reinterpret_cast<CDockPositionRecord&>(header));
        return true;
    default:
        return false;
    }
}

// Whether the window takes part in the box protocol (answers "DockingBoxMessage-" code 9).
bool IsDockingBox(HWND window);
