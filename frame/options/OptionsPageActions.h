#pragma once
// IOptionsPageActions: what the option pages ask of the rest of the program while the dialog is
// open, at once rather than on Apply: making the program the default browser, switching the
// interface language, and the privacy clean-up operations. The production implementation sends
// the frame's own commands to the window that owns the Options dialog and runs the clean-ups of
// the settings' services; a test gives the pages a recorder instead.
//
// Lifetime: a page keeps a pointer it does not own; whoever sets it keeps the object while the
// page is open.
#include <windows.h>

class IOptionsPageActions {
public:
    virtual ~IOptionsPageActions() = default;
    // The default-browser registration, as the frame's command runs it.
    virtual void SetAsDefaultBrowser() = 0;
    // The frame's command that switches the interface to the language at this index of the
    // language manager's list (the frame translates its menus and bars again).
    virtual void SwitchLanguage(int languageIndex) = 0;
    // One clean-up: exactly one PrivacyClearFlag bit.
    virtual void ClearRecord(DWORD privacyClearBit) = 0;
};

// The frame's command that switches to the first language; the others follow it.
inline constexpr UINT kLanguageCommandFirst = 35500;

class CFrameOptionsPageActions final : public IOptionsPageActions {
public:
    // `page` is a window inside the Options dialog: the commands go to the window that owns it.
    explicit CFrameOptionsPageActions(HWND page) : m_page(page) {}
    void SetAsDefaultBrowser() override;
    void SwitchLanguage(int languageIndex) override;
    void ClearRecord(DWORD privacyClearBit) override;

private:
    HWND CommandTarget() const;

    HWND m_page;  // not owned
};
