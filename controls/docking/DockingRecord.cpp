#include "controls/docking/DockingRecord.h"

#include <cmath>
#include <cstring>
#include <vector>

UINT GetDockingBoxMessage()
{
    static const UINT message = ::RegisterWindowMessageA("DockingBoxMessage-");
    return message;
}

namespace {
// Registered before the entry function runs, as the other registered messages of the controls.
const UINT g_boxMessageAtStartUp = GetDockingBoxMessage();

// The records this thread is sending now, innermost last (requests nest: a bar asked to dock
// asks the frame in turn).
struct CSending {
    const CDockHeader* record;
    size_t size;
};
thread_local std::vector<CSending> t_sending;

void PutField(BYTE* at, uint32_t value)
{
    at[0] = static_cast<BYTE>(value);
    at[1] = static_cast<BYTE>(value >> 8);
    at[2] = static_cast<BYTE>(value >> 16);
    at[3] = static_cast<BYTE>(value >> 24);
}
uint32_t GetField(const BYTE* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
           (static_cast<uint32_t>(at[3]) << 24);
}
uint32_t FloatBits(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
float BitsFloat(uint32_t bits)
{
    float value = 0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// Window coordinates and sizes fit in 16 signed bits on every system the program runs on.
constexpr int32_t kCoordinateLimit = 32767;
bool InCoordinateRange(int32_t value) { return value >= -kCoordinateLimit && value <= kCoordinateLimit; }
}  // namespace

std::array<BYTE, kDockRecordBytes> EncodeDockRecord(const CDockPositionRecord& r)
{
    const uint32_t fields[15] = {r.header.pane, r.header.host, r.header.code, r.flags, r.barIndex,
                                 FloatBits(r.position), r.barThickness, r.paneLength, r.order,
                                 static_cast<uint32_t>(r.left), static_cast<uint32_t>(r.top),
                                 static_cast<uint32_t>(r.right), static_cast<uint32_t>(r.bottom), r.docked, r.visible};
    std::array<BYTE, kDockRecordBytes> bytes{};
    for (size_t i = 0; i < 15; ++i)
        PutField(bytes.data() + 4 * i, fields[i]);
    return bytes;
}

bool DecodeDockRecord(const BYTE* bytes, size_t size, CDockPositionRecord& record)
{
    if (!bytes || size != kDockRecordBytes)
        return false;
    uint32_t f[15];
    for (size_t i = 0; i < 15; ++i)
        f[i] = GetField(bytes + 4 * i);
    CDockPositionRecord r;
    r.header = {f[0], f[1], f[2]};
    r.flags = f[3];
    r.barIndex = f[4];
    r.position = BitsFloat(f[5]);
    r.barThickness = f[6];
    r.paneLength = f[7];
    r.order = f[8];
    r.left = static_cast<int32_t>(f[9]);
    r.top = static_cast<int32_t>(f[10]);
    r.right = static_cast<int32_t>(f[11]);
    r.bottom = static_cast<int32_t>(f[12]);
    r.docked = f[13];
    r.visible = f[14];
    if (r.header.code != kDockStoredCode || (r.flags & ~kDockKnownFlags))
        return false;
    if (!std::isfinite(r.position) || r.position < 0.0f || r.position > 1.0f)
        return false;
    if (r.barThickness > static_cast<uint32_t>(kCoordinateLimit) || r.paneLength > static_cast<uint32_t>(kCoordinateLimit) ||
        r.barIndex > 0xFFFF || r.order > 0xFFFF)
        return false;
    if (!InCoordinateRange(r.left) || !InCoordinateRange(r.top) || !InCoordinateRange(r.right) ||
        !InCoordinateRange(r.bottom) || r.right < r.left || r.bottom < r.top)
        return false;
    if (r.docked > 1 || r.visible > 1)
        return false;
    record = r;
    return true;
}

size_t DockRecordSizeFor(uint32_t code)
{
    switch (code) {
    case kDockAccept:
    case kDockDock:
    case kDockClamp:
    case kDockClampDrag:
        return sizeof(CDockDragRecord);
    case kDockGetPosition:
    case kDockSetPosition:
        return sizeof(CDockPositionRecord);
    case kDockReplace:
        return sizeof(CDockReplaceRecord);
    case kDockUndock:
    case kDockIsBox:
    case kDockActivate:
    case kDockGroup:
    case kDockMinSize:
        return sizeof(CDockHeader);
    default:
        return 0;
    }
}

LRESULT SendDockRequest(HWND target, UINT message, CDockHeader& record, size_t size)
{
    if (!target || ::GetWindowThreadProcessId(target, nullptr) != ::GetCurrentThreadId())
        return 0;
    const size_t needed = DockRecordSizeFor(record.code);
    if (needed == 0 || size < needed)
        return 0;
    t_sending.push_back({&record, size});
    const LRESULT answer = ::SendMessageA(target, message, 0, reinterpret_cast<LPARAM>(&record));
    t_sending.pop_back();
    return answer;
}

CDockHeader* DockRequestFromMessage(LPARAM lParam)
{
    for (auto it = t_sending.rbegin(); it != t_sending.rend(); ++it) {
        if (reinterpret_cast<LPARAM>(it->record) == lParam) {
            const size_t needed = DockRecordSizeFor(it->record->code);
            return needed != 0 && it->size >= needed ? const_cast<CDockHeader*>(it->record) : nullptr;
        }
    }
    return nullptr;
}

bool IsDockingBox(HWND window)
{
    if (!window || !::IsWindow(window))
        return false;
    CDockHeader query;
    query.pane = DockHandleField(window);
    query.code = kDockIsBox;
    return SendDockRequest(window, GetDockingBoxMessage(), query, sizeof(query)) != 0;
}
