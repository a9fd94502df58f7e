#pragma once
// The one way every message box of the core reaches the screen. Code that shows a box calls
// GetMessageBoxes().Show(...); a test answers the boxes itself (so a headless run never blocks and
// the text can be checked) by putting its own IMessageBoxes in place with CScopedMessageBoxes.
#include <windows.h>

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // As MessageBoxA: the chosen button's id (IDOK, IDYES, ...), 0 when no box could be shown.
    virtual int Show(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

// The system's MessageBoxA.
class CSystemMessageBoxes final : public IMessageBoxes {
public:
    int Show(HWND owner, const char* text, const char* caption, UINT type) override;
};

// The current implementation: the system's unless a CScopedMessageBoxes is alive.
IMessageBoxes& GetMessageBoxes();

// Puts `replacement` (not owned; it must outlive the object) in place for the object's scope and
// restores the previous implementation when it ends.
class CScopedMessageBoxes {
public:
    explicit CScopedMessageBoxes(IMessageBoxes& replacement);
    ~CScopedMessageBoxes();
    CScopedMessageBoxes(const CScopedMessageBoxes&) = delete;
    CScopedMessageBoxes& operator=(const CScopedMessageBoxes&) = delete;

private:
    IMessageBoxes* m_previous = nullptr;  // not owned: the implementation before this scope
};
