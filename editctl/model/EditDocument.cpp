#include "editctl/model/EditDocument.h"

#include <algorithm>

namespace quill {

bool EditDocument::AddUndoRecord(uint32_t kind, TextPos start, TextPos end, std::string text)
{
    // A new step drops the redo tail. A save point inside that tail can never come back, so the
    // text must count as modified from now on, even when the position reaches that number again.
    if (m_position < static_cast<int>(m_records.size())) {
        if (m_saved > m_position)
            m_saved = -1;
        m_records.erase(m_records.begin() + m_position, m_records.end());
    }
    if (static_cast<int>(m_records.size()) >= m_limit && !m_records.empty()) {
        int next = 1;
        while (next < static_cast<int>(m_records.size()) && !(m_records[next].kind & kUndoGroupStart))
            ++next;
        // The oldest group is dropped whole, unless it is the group this step belongs to: a
        // command with more steps than the limit stays undoable as a whole.
        const bool oldestIsOpen = !(kind & kUndoGroupStart) && next == static_cast<int>(m_records.size());
        if (!oldestIsOpen) {
            m_records.erase(m_records.begin(), m_records.begin() + next);
            m_saved -= next;
            if (m_saved < 0)
                m_saved = -1;
        }
    }
    try {
        m_records.push_back({kind, start, end, std::move(text)});
    } catch (const std::bad_alloc&) {
        m_position = static_cast<int>(m_records.size());
        return false;
    }
    m_position = static_cast<int>(m_records.size());
    return true;
}

bool EditDocument::InsertText(TextPos at, std::string_view text, TextPos* end, bool groupStart)
{
    TextPos stop;
    if (!m_text.RawInsertText(at, text, &stop))
        return false;
    if (!AddUndoRecord(kUndoInsertion | (groupStart ? uint32_t{kUndoGroupStart} : 0u), at, stop, std::string(text))) {
        m_text.RawDeleteRange(at, stop);
        return false;
    }
    if (end)
        *end = stop;
    return true;
}

bool EditDocument::DeleteText(TextPos start, TextPos end, bool groupStart)
{
    if (end < start)
        std::swap(start, end);
    if (!m_text.IsValid(start) || !m_text.IsValid(end))
        return false;
    if (start == end)
        return true;
    if (!AddUndoRecord(kUndoDeletion | (groupStart ? uint32_t{kUndoGroupStart} : 0u), start, end, m_text.CopyRangeText(start, end)))
        return false;
    if (!m_text.RawDeleteRange(start, end)) {
        m_records.pop_back();
        m_position = static_cast<int>(m_records.size());
        return false;
    }
    return true;
}

// Replays one step. Positions are checked first: a step whose positions do not exist in the text
// is refused rather than applied somewhere else.
bool EditDocument::Replay(const UndoRecord& r, bool forwards, TextPos* caret)
{
    const bool insertion = (r.kind & kUndoInsertion) != 0;
    if (insertion != forwards) {  // undo an insertion, redo a deletion: delete the range
        if (!m_text.IsValid(r.start) || !m_text.IsValid(r.end) || !m_text.RawDeleteRange(r.start, r.end))
            return false;
        *caret = r.start;
        return true;
    }
    TextPos end;
    if (!m_text.IsValid(r.start) || !m_text.RawInsertText(r.start, r.text, &end))
        return false;
    *caret = end;
    return true;
}

UndoOutcome EditDocument::Undo()
{
    UndoOutcome out;
    out.firstLine = m_text.LineCount();
    while (m_position > 0) {
        const UndoRecord& r = m_records[m_position - 1];
        if (!Replay(r, false, &out.caret)) {
            ClearUndo();  // the history no longer fits the text; never replay it elsewhere
            break;
        }
        --m_position;
        ++out.records;
        out.firstLine = std::min(out.firstLine, r.start.line);
        out.lastLine = std::max(out.lastLine, r.end.line);
        if (r.kind & kUndoGroupStart)
            break;
    }
    return out;
}

UndoOutcome EditDocument::Redo()
{
    UndoOutcome out;
    out.firstLine = m_text.LineCount();
    while (m_position < static_cast<int>(m_records.size())) {
        const UndoRecord& r = m_records[m_position];
        if (out.records > 0 && (r.kind & kUndoGroupStart))
            break;
        if (!Replay(r, true, &out.caret)) {
            ClearUndo();
            break;
        }
        ++m_position;
        ++out.records;
        out.firstLine = std::min(out.firstLine, r.start.line);
        out.lastLine = std::max(out.lastLine, r.end.line);
    }
    return out;
}

UndoOutcome EditDocument::ReplayAll(bool undo)
{
    UndoOutcome total;
    while (undo ? CanUndo() : CanRedo()) {
        const UndoOutcome step = undo ? Undo() : Redo();
        if (step.records == 0)
            break;
        total.records += step.records;
        total.caret = step.caret;
    }
    total.lastLine = m_text.LineCount() - 1;
    return total;
}

void EditDocument::ClearUndo()
{
    // The text stays as it is; whether it differs from the file is kept as it was.
    const bool modified = Modified();
    m_records.clear();
    m_position = 0;
    m_saved = modified ? -1 : 0;
}

void EditDocument::Reset()
{
    m_text.Clear();
    m_records.clear();
    m_position = 0;
    m_saved = 0;
}

} // namespace quill
