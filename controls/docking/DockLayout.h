#pragma once
// The geometry of docking, apart from any window: the line of elements that a package or a bar
// keeps (positions along one axis, 3-pixel splitters in front of each element, minimum sizes),
// how it follows a new span, where a splitter may go, what a point near or inside a line is
// offered, the clamp of a dragged pane's rectangle, the order in which a restore applies stored
// records and their scaling to another screen size, the flying tab strip's height and its reorder
// rule, and the look colours.
#include "controls/docking/DockingRecord.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class CDockLine {
public:
    static constexpr int kSplitter = 3;  // the strip in front of every element
    static constexpr int kZone = 18;     // how near an edge a point is offered a new bar

    struct Entry {
        double position = 0;  // the splitter in front of the element starts here
        int minimum = 0;      // the element's minimum size along the axis
    };

    // A line over [start, end] (start is where the first element's splitter begins, so that
    // element starts flush at start + 3). central is the index of the element that takes the
    // change of a resize (-1: every element shares it).
    CDockLine() = default;
    CDockLine(int start, int end) : m_start(start), m_end(end) {}

    int Start() const { return m_start; }
    int End() const { return m_end; }
    int Count() const { return static_cast<int>(m_entries.size()); }
    const std::vector<Entry>& Entries() const { return m_entries; }
    int Central() const { return m_central; }
    void SetCentral(int index) { m_central = index; }

    // Element i's span, without its splitter: [position(i) + 3, position(i + 1)], the last to End().
    int ElementStart(int i) const;
    int ElementEnd(int i) const;
    int ElementSize(int i) const { return ElementEnd(i) - ElementStart(i); }
    // The splitter strip in front of element i.
    int SplitterStart(int i) const;
    // The sum over elements of (minimum + 3).
    int Minimum() const;

    // Inserts an element whose splitter starts at `position`; the central index follows.
    void Insert(int index, double position, int minimum);
    // Removes an element; with central, the freed extent goes to the central element (the entries
    // between the removed one and the central one move towards the removed place); without, to
    // the element before it (or after it, for the first).
    void Remove(int index);
    // Inserts an element of `size` at index: with a central element the extent comes from it (the
    // entries between move away from the new one), without from the neighbour the new element is
    // put over (the one at index, or the last for an index at the end).
    void InsertSized(int index, int size, int minimum);
    void SetMinimum(int index, int minimum) { m_entries[index].minimum = minimum; }
    // Element i's size along the axis becomes `size` (the central one or the neighbour towards it
    // gives or takes the difference).
    void SetElementSize(int index, int size);

    // The span becomes [start, end]: with a central element the change of length goes to it, as
    // far as its minimum allows, the rest proportionally to every element; without, every
    // boundary is scaled and then clamped to the minimums. A span shorter than Minimum() is
    // extended to it (the windows beyond are clipped).
    void Resize(int start, int end);

    // Where the splitter in front of element i (i >= 1) may go: every element before it and after
    // it keeps its minimum.
    void SplitterRange(int i, int& lowest, int& highest) const;
    // Moves that splitter (clamped to its range); neighbours are pushed along where an element
    // would go below its minimum.
    void MoveSplitter(int i, int position);
    // The element whose splitter or span holds the coordinate, or -1.
    int ElementAt(int coordinate) const;
    // The element i with its splitter in front, when the coordinate lies on that splitter; -1.
    int SplitterAt(int coordinate) const;

    // What a point (along the axis; inside says whether it lies inside the line across the axis
    // too) is offered.
    enum class EOffer { Refuse, NewBar, AskElement };
    struct Offer {
        EOffer kind = EOffer::Refuse;
        int element = -1;     // AskElement: the element; NewBar: insert before this index
    };
    Offer HitTest(int coordinate, bool inside) const;
    // Where a new bar goes for a dock at `edge` (the dragged rectangle's leading edge): in front
    // of the element under it, or behind it when the edge lies beyond the element's first third.
    int InsertIndexForEdge(int edge) const;

private:
    void ClampToMinimums();

    int m_start = 0;
    int m_end = 0;
    int m_central = -1;
    std::vector<Entry> m_entries;
};

namespace DockGeometry {

// The clamp of codes 6 and 7: at most a third of the frame's client, at least the system's
// minimum window size; the minimum wins where they conflict. The left/top corner stays.
RECT ClampDragRect(const RECT& rect, int clientWidth, int clientHeight, int minWidth, int minHeight);

// The ordering key of a restore: docked in the frame, the inverted side bits on top (left, top,
// right, bottom), then the bar index, the position in the bar and the order in a box; docked in
// a floating box, the saved host with the three top bits set.
uint32_t RestoreOrderKey(const CDockPositionRecord& record);
// Two keys name one place (one box) when they agree apart from the order in a box.
inline bool SameRestorePlace(uint32_t a, uint32_t b) { return (a & ~0x1FFu) == (b & ~0x1FFu); }

// A record of another screen size: sizes and rectangle by the ratios (current / saved).
void ScaleRecord(CDockPositionRecord& record, float xRatio, float yRatio);
// current / saved in double precision, stored as float; 1 when saved is 0.
float ScreenRatio(int current, int saved);

// The flying tab strip's height for a font of text height tmHeight (without a font 24).
int FlyingTabHeight(bool hasFont, int tmHeight);

// The reorder rule with hysteresis: a drag over tab `under` (the dragged tab has `draggedWidth`)
// swaps the two only when the cursor moves in the direction of the swap (the cursor movement times
// the index movement is positive) and has reached the part of `under` that the dragged tab will
// cover after the swap, so that right after a swap the neighbour is not swapped back until the
// cursor has gone on past it.
bool ShouldSwap(int dragged, int under, int movementX, int cursorX, int draggedWidth, const RECT& underRect);

// The look colours: button face lifted towards white, and text two thirds of the way to grey.
COLORREF FaceShade(COLORREF face);
COLORREF TextShade(COLORREF text, COLORREF grayText);

// The close button inside a caption strip: shrunk by 2 across the strip, then by 2 on every side,
// then square at the far end (right for a horizontal caption, top for a vertical one).
RECT CloseButtonRect(const RECT& caption, bool vertical);

}  // namespace DockGeometry
