#include "controls/docking/DockLayout.h"

#include "controls/TabLayout.h"

#include <algorithm>
#include <cmath>

// ---- CDockLine ------------------------------------------------------------------------------

int CDockLine::ElementStart(int i) const { return static_cast<int>(m_entries[i].position) + kSplitter; }

int CDockLine::ElementEnd(int i) const
{
    return i + 1 < Count() ? static_cast<int>(m_entries[i + 1].position) : m_end;
}

int CDockLine::SplitterStart(int i) const { return static_cast<int>(m_entries[i].position); }

int CDockLine::Minimum() const
{
    int total = 0;
    for (const Entry& entry : m_entries)
        total += entry.minimum + kSplitter;
    return total;
}

void CDockLine::Insert(int index, double position, int minimum)
{
    index = std::clamp(index, 0, Count());
    m_entries.insert(m_entries.begin() + index, Entry{position, minimum});
    if (m_central >= index)
        ++m_central;
}

void CDockLine::InsertSized(int index, int size, int minimum)
{
    index = std::clamp(index, 0, Count());
    const double total = size + kSplitter;
    if (m_entries.empty()) {
        Insert(0, m_start, minimum);
        return;
    }
    if (m_central >= 0 && index <= m_central) {
        const double position = m_entries[index].position;
        Insert(index, position, minimum);
        for (int j = index + 1; j <= m_central; ++j)
            m_entries[j].position += total;
    } else if (m_central >= 0) {
        const double position = (index < Count() ? m_entries[index].position : m_end) - total;
        for (int j = m_central + 1; j < index; ++j)
            m_entries[j].position -= total;
        Insert(index, position, minimum);
    } else if (index < Count()) {
        const double position = m_entries[index].position;
        Insert(index, position, minimum);
        m_entries[index + 1].position = position + total;
    } else {
        Insert(index, m_end - total, minimum);
    }
    ClampToMinimums();
}

void CDockLine::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    const double extent = (index + 1 < Count() ? m_entries[index + 1].position : m_end) - m_entries[index].position;
    if (m_central >= 0 && index < m_central) {
        for (int j = index + 1; j <= m_central; ++j)
            m_entries[j].position -= extent;
        m_entries.erase(m_entries.begin() + index);
        --m_central;
    } else if (m_central >= 0 && index > m_central) {
        for (int j = m_central + 1; j < index; ++j)
            m_entries[j].position += extent;
        m_entries.erase(m_entries.begin() + index);
    } else {
        m_entries.erase(m_entries.begin() + index);
        if (index == m_central)
            m_central = -1;
    }
    if (!m_entries.empty())
        m_entries[0].position = m_start;
}

void CDockLine::SetElementSize(int index, int size)
{
    if (index < 0 || index >= Count())
        return;
    const int delta = size - ElementSize(index);
    if (m_central >= 0 && index < m_central) {
        for (int j = index + 1; j <= m_central; ++j)
            m_entries[j].position += delta;
    } else if (m_central >= 0 && index > m_central) {
        for (int j = m_central + 1; j <= index; ++j)
            m_entries[j].position -= delta;
    } else if (index + 1 < Count()) {
        m_entries[index + 1].position += delta;
    } else if (index > 0) {
        m_entries[index].position -= delta;
    }
    ClampToMinimums();
}

void CDockLine::Resize(int start, int end)
{
    const double shift = start - m_start;
    for (Entry& entry : m_entries)
        entry.position += shift;
    const int oldLength = m_end - m_start;
    m_start = start;
    const int newLength = std::max(0, end - start);
    if (m_entries.empty() || oldLength <= 0) {
        m_end = start + newLength;
        if (!m_entries.empty()) {
            m_entries[0].position = m_start;
            ClampToMinimums();
        }
        return;
    }
    if (m_central >= 0) {
        const int delta = newLength - oldLength;
        const int centralSize = ElementSize(m_central);
        const int centralMinimum = m_entries[m_central].minimum;
        int allowed = delta;
        if (delta < 0 && centralSize + delta < centralMinimum)
            allowed = std::min(0, centralMinimum - centralSize);
        for (int j = m_central + 1; j < Count(); ++j)
            m_entries[j].position += allowed;
        if (allowed != delta && oldLength + allowed > 0) {
            const double ratio = static_cast<double>(newLength) / (oldLength + allowed);
            for (Entry& entry : m_entries)
                entry.position = m_start + (entry.position - m_start) * ratio;
        }
    } else {
        const double ratio = static_cast<double>(newLength) / oldLength;
        for (Entry& entry : m_entries)
            entry.position = m_start + (entry.position - m_start) * ratio;
    }
    m_end = m_start + std::max(newLength, Minimum());
    m_entries[0].position = m_start;
    ClampToMinimums();
}

void CDockLine::ClampToMinimums()
{
    if (m_entries.empty())
        return;
    m_entries[0].position = m_start;
    // From the end first, then from the start, so that where the minimums do not fit the start
    // side wins and the end is clipped.
    double next = m_end;
    for (int j = Count() - 1; j >= 1; --j) {
        m_entries[j].position = std::min(m_entries[j].position, next - (m_entries[j].minimum + kSplitter));
        next = m_entries[j].position;
    }
    for (int j = 1; j < Count(); ++j)
        m_entries[j].position =
            std::max(m_entries[j].position, m_entries[j - 1].position + m_entries[j - 1].minimum + kSplitter);
}

void CDockLine::SplitterRange(int i, int& lowest, int& highest) const
{
    lowest = m_start;
    for (int j = 0; j < i; ++j)
        lowest += m_entries[j].minimum + kSplitter;
    highest = m_end;
    for (int j = i; j < Count(); ++j)
        highest -= m_entries[j].minimum + kSplitter;
    if (highest < lowest)
        highest = lowest;
}

void CDockLine::MoveSplitter(int i, int position)
{
    if (i < 1 || i >= Count())
        return;
    int lowest = 0;
    int highest = 0;
    SplitterRange(i, lowest, highest);
    m_entries[i].position = std::clamp(position, lowest, highest);
    for (int j = i - 1; j >= 1; --j)
        m_entries[j].position =
            std::min(m_entries[j].position, m_entries[j + 1].position - (m_entries[j].minimum + kSplitter));
    for (int j = i + 1; j < Count(); ++j)
        m_entries[j].position =
            std::max(m_entries[j].position, m_entries[j - 1].position + m_entries[j - 1].minimum + kSplitter);
}

int CDockLine::ElementAt(int coordinate) const
{
    if (m_entries.empty() || coordinate < m_start || coordinate >= m_end)
        return -1;
    for (int i = Count() - 1; i >= 0; --i)
        if (coordinate >= m_entries[i].position)
            return i;
    return -1;
}

int CDockLine::SplitterAt(int coordinate) const
{
    for (int i = 1; i < Count(); ++i)
        if (coordinate >= m_entries[i].position && coordinate < m_entries[i].position + kSplitter)
            return i;
    return -1;
}

CDockLine::Offer CDockLine::HitTest(int coordinate, bool inside) const
{
    Offer offer;
    if (!inside)
        return offer;
    const int first = m_start + kSplitter;
    if (coordinate < first || coordinate >= m_end) {
        if (coordinate >= first - kZone && coordinate < first) {
            offer.kind = EOffer::NewBar;
            offer.element = 0;
        } else if (coordinate >= m_end && coordinate < m_end + kZone) {
            offer.kind = EOffer::NewBar;
            offer.element = Count();
        }
        return offer;
    }
    const int i = ElementAt(coordinate);
    if (i < 0)
        return offer;
    if (coordinate - ElementStart(i) >= kZone && ElementEnd(i) - coordinate >= kZone) {
        offer.kind = EOffer::AskElement;
        offer.element = i;
    } else {
        offer.kind = EOffer::NewBar;
        offer.element = coordinate - ElementStart(i) < kZone ? i : i + 1;
    }
    return offer;
}

int CDockLine::InsertIndexForEdge(int edge) const
{
    if (m_entries.empty() || edge < m_start)
        return 0;
    if (edge >= m_end)
        return Count();
    const int i = ElementAt(edge);
    const int start = ElementStart(i);
    const int end = ElementEnd(i);
    return start + (end - start) / 3 < edge ? i + 1 : i;
}

// ---- DockGeometry ---------------------------------------------------------------------------

namespace DockGeometry {

RECT ClampDragRect(const RECT& rect, int clientWidth, int clientHeight, int minWidth, int minHeight)
{
    int width = std::min<int>(rect.right - rect.left, clientWidth / 3);
    width = std::max(width, minWidth);
    int height = std::min<int>(rect.bottom - rect.top, clientHeight / 3);
    height = std::max(height, minHeight);
    return {rect.left, rect.top, rect.left + width, rect.top + height};
}

uint32_t RestoreOrderKey(const CDockPositionRecord& record)
{
    if (record.flags & kDockFlagFloating)
        return record.header.host | 0xE0000000u;
    const uint32_t fraction = static_cast<uint32_t>(record.position * 16383.0f) & 0x3FFFu;
    uint32_t key = (record.order & 0x1FFu) | (fraction << 9) | ((record.barIndex & 0x7Fu) << 23);
    if (!(record.flags & kDockFlagLeftRight))
        key |= 1u << 30;
    if (!(record.flags & kDockFlagStartSide))
        key |= 1u << 31;
    return key;
}

namespace {
uint32_t ScaleUnsigned(uint32_t value, float ratio) { return static_cast<uint32_t>(static_cast<double>(value) * ratio); }
int32_t ScaleSigned(int32_t value, float ratio) { return static_cast<int32_t>(static_cast<double>(value) * ratio); }
}  // namespace

void ScaleRecord(CDockPositionRecord& record, float xRatio, float yRatio)
{
    if (!(record.flags & kDockFlagFloating)) {
        const bool leftRight = (record.flags & kDockFlagLeftRight) != 0;
        record.barThickness = ScaleUnsigned(record.barThickness, leftRight ? xRatio : yRatio);
        record.paneLength = ScaleUnsigned(record.paneLength, leftRight ? yRatio : xRatio);
    }
    record.left = ScaleSigned(record.left, xRatio);
    record.right = ScaleSigned(record.right, xRatio);
    record.top = ScaleSigned(record.top, yRatio);
    record.bottom = ScaleSigned(record.bottom, yRatio);
}

float ScreenRatio(int current, int saved)
{
    if (saved <= 0 || current <= 0)
        return 1.0f;
    return static_cast<float>(static_cast<double>(current) / static_cast<double>(saved));
}

int FlyingTabHeight(bool hasFont, int tmHeight)
{
    if (!hasFont)
        return 24;
    const double height = ((tmHeight / 11.0) * 24.0 - 24.0) / 2.0 + 24.0;
    return std::clamp(static_cast<int>(height), 0, 255);
}

bool ShouldSwap(int dragged, int under, int movementX, int cursorX, int draggedWidth, const RECT& underRect)
{
    if (under < 0 || dragged < 0 || under == dragged)
        return false;
    const int indexMovement = under > dragged ? 1 : -1;
    if (movementX * indexMovement <= 0)
        return false;
    return indexMovement > 0 ? cursorX >= underRect.right - draggedWidth : cursorX < underRect.left + draggedWidth;
}

// The same lift as the tab strips' background, so that the docking windows and the strips agree.
COLORREF FaceShade(COLORREF face) { return CTabLayout::Lighten(face); }

COLORREF TextShade(COLORREF text, COLORREF grayText)
{
    auto channel = [](int t, int g) { return std::clamp(t + ((g - t) / 3) * 2, 0, 255); };
    return RGB(channel(GetRValue(text), GetRValue(grayText)), channel(GetGValue(text), GetGValue(grayText)),
               channel(GetBValue(text), GetBValue(grayText)));
}

RECT CloseButtonRect(const RECT& caption, bool vertical)
{
    RECT b = caption;
    if (vertical)
        ::InflateRect(&b, -2, 0);
    else
        ::InflateRect(&b, 0, -2);
    ::InflateRect(&b, -2, -2);
    if (vertical)
        b.bottom = b.top + (b.right - b.left);
    else
        b.left = b.right - (b.bottom - b.top);
    return b;
}

}  // namespace DockGeometry
