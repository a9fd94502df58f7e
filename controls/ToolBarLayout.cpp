#include "controls/ToolBarLayout.h"

#include "core/library/Z4KArchive.h"
#include "core/library/Z4KMemFile.h"

#include <cstring>

namespace {

// Byte offsets in the 32-bit band record.
constexpr size_t kAtSize = 0;
constexpr size_t kAtMask = 4;
constexpr size_t kAtStyle = 8;
constexpr size_t kAtForeground = 12;
constexpr size_t kAtBackground = 16;
constexpr size_t kAtWidth = 44;
constexpr size_t kAtId = 52;
constexpr size_t kAtIdealWidth = 68;

void Put32(CBandRecord& record, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        record[at + i] = static_cast<BYTE>(value >> (8 * i));
}

uint32_t Get32(const std::vector<BYTE>& data, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
    return value;
}

TBBUTTON ButtonOf(const ToolBarButtonInfo& entry)
{
    TBBUTTON button = {};
    button.iBitmap = entry.image;
    button.idCommand = entry.command;
    button.fsState = entry.state;
    button.fsStyle = entry.style;
    return button;
}

TBBUTTON Separator()
{
    TBBUTTON button = {};
    button.iBitmap = kToolBarSeparatorWidth;
    button.fsStyle = BTNS_SEP;
    return button;
}

}  // namespace

int FindButtonInfo(int command, int count, const ToolBarButtonInfo* table)
{
    if (count < 1 || !table)
        return -1;
    for (int i = 0; i < count; ++i) {
        if (table[i].command == command)
            return i;
    }
    return -1;
}

// With an id list: walks it in order; 0 appends a separator, an id of the table appends its entry's
// button, any other id is skipped (a command the program no longer has). The list is stored data,
// so the output is bounded: it stops once count command buttons are made, and at most count
// separators are taken. Separators do not count against the buttons: a toolbar that shows every
// button of its table with separators between them must come back whole, not lose its last
// buttons at every start. A list that names no command of the table at all was written by another
// version of the program, or is damaged, and is treated as empty: the user keeps a usable toolbar
// instead of one made of separators.
void BuildToolBarButtons(std::vector<TBBUTTON>& buttons, const std::vector<int>& ids, int count,
                         const ToolBarButtonInfo* table)
{
    buttons.clear();
    if (count < 1 || !table)
        return;
    bool namesCommand = false;
    for (int id : ids) {
        if (id != 0 && FindButtonInfo(id, count, table) >= 0) {
            namesCommand = true;
            break;
        }
    }
    if (namesCommand) {
        int commandButtons = 0;
        int separators = 0;
        for (int id : ids) {
            if (commandButtons >= count)
                break;
            if (id == 0) {
                if (separators < count) {
                    buttons.push_back(Separator());
                    ++separators;
                }
                continue;
            }
            const int index = FindButtonInfo(id, count, table);
            if (index >= 0) {
                buttons.push_back(ButtonOf(table[index]));
                ++commandButtons;
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (table[i].shownByDefault)
            buttons.push_back(ButtonOf(table[i]));
    }
}

std::vector<BYTE> EncodeToolBarOrder(const std::vector<int>& ids)
{
    CZ4KMemFile file;
    {
        CZ4KArchive archive(&file, CZ4KArchive::kStore);
        archive.WriteIntList(ids);
        archive.Close();
    }
    const BYTE* data = file.GetData();
    return std::vector<BYTE>(data, data + file.GetLength());
}

bool DecodeToolBarOrder(const std::vector<BYTE>& data, std::vector<int>& ids)
{
    ids.clear();
    // The size must be exactly that of the count it starts with: a shorter value is truncated,
    // a longer one is another format.
    if (data.size() < 4)
        return false;
    const uint32_t count = Get32(data, 0);
    if (count > kMaxStoredToolBarButtons || data.size() != 4 + 4 * static_cast<size_t>(count))
        return false;
    std::vector<BYTE> copy(data);
    try {
        CZ4KMemFile file(copy.data(), static_cast<UINT>(copy.size()));
        CZ4KArchive archive(&file, CZ4KArchive::kLoad);
        archive.ReadIntList(ids);
    } catch (const CZ4KException&) {
        ids.clear();
        return false;
    }
    return ids.size() == count;
}

CBandRecord EncodeBandRecord(const REBARBANDINFOA& band)
{
    CBandRecord record = {};
    Put32(record, kAtSize, kBandRecordSize);
    Put32(record, kAtMask, kBandRecordMask);
    Put32(record, kAtStyle, band.fStyle);
    Put32(record, kAtForeground, band.clrFore);
    Put32(record, kAtBackground, band.clrBack);
    Put32(record, kAtWidth, band.cx);
    Put32(record, kAtId, band.wID);
    Put32(record, kAtIdealWidth, band.cxIdeal);
    return record;
}

bool DecodeBandRecord(const std::vector<BYTE>& data, REBARBANDINFOA& band)
{
    if (data.size() != kBandRecordSize)
        return false;
    if (Get32(data, kAtSize) != kBandRecordSize || Get32(data, kAtMask) != kBandRecordMask)
        return false;
    const uint32_t style = Get32(data, kAtStyle);
    const uint32_t width = Get32(data, kAtWidth);
    const uint32_t idealWidth = Get32(data, kAtIdealWidth);
    if ((style & ~kStoredBandStyles) != 0 || width > kMaxStoredBandWidth || idealWidth > kMaxStoredBandWidth)
        return false;
    band = {};
    band.cbSize = sizeof(band);
    band.fMask = kBandRecordMask;
    band.fStyle = style;
    band.clrFore = Get32(data, kAtForeground);
    band.clrBack = Get32(data, kAtBackground);
    band.cx = width;
    band.wID = Get32(data, kAtId);
    band.cxIdeal = idealWidth;
    return true;
}
