#pragma once
// The text of an edit window with its undo history: every change goes through InsertText and
// DeleteText, which record steps grouped into undo groups. No window code here.
#include <string>
#include <string_view>
#include <vector>

#include "editctl/model/TextStore.h"

namespace quill {

enum UndoKind : uint32_t { kUndoGroupStart = 1, kUndoInsertion = 2, kUndoDeletion = 4 };

struct UndoRecord {
    uint32_t kind = 0;
    TextPos start;
    TextPos end;
    std::string text;  // lines joined by CR LF
};

// What an undo or redo did, for the window to place its caret and repaint.
struct UndoOutcome {
    int records = 0;    // steps replayed; 0 when nothing was done
    TextPos caret;
    int firstLine = 0;  // lines touched
    int lastLine = 0;
};

class EditDocument {
public:
    TextStore& Text() { return m_text; }
    const TextStore& Text() const { return m_text; }

    bool InsertText(TextPos at, std::string_view text, TextPos* end, bool groupStart);
    bool DeleteText(TextPos start, TextPos end, bool groupStart);

    UndoOutcome Undo();
    UndoOutcome Redo();
    UndoOutcome UndoAll() { return ReplayAll(true); }
    UndoOutcome RedoAll() { return ReplayAll(false); }
    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return m_position < static_cast<int>(m_records.size()); }
    void ClearUndo();

    // The text is modified exactly when the undo position differs from the one at the last save.
    bool Modified() const { return m_position != m_saved; }
    void MarkSaved() { m_saved = m_position; }

    // The undo limit: adding at the limit drops the oldest group, never the one being built.
    void SetUndoLimit(int limit) { m_limit = limit < 1 ? 1 : limit; }
    int UndoLimit() const { return m_limit; }
    int UndoCount() const { return static_cast<int>(m_records.size()); }
    int UndoPosition() const { return m_position; }
    const UndoRecord& UndoAt(int index) const { return m_records[index]; }

    // Empties the text (one empty line) and the undo history.
    void Reset();

private:
    bool AddUndoRecord(uint32_t kind, TextPos start, TextPos end, std::string text);
    bool Replay(const UndoRecord& record, bool forwards, TextPos* caret);
    UndoOutcome ReplayAll(bool undo);

    TextStore m_text;
    std::vector<UndoRecord> m_records;
    int m_position = 0;
    int m_saved = 0;
    int m_limit = 1000;
};

} // namespace quill
