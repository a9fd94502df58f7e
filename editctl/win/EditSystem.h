#pragma once
// The system operations of the window layer that a test must not let happen for real: message
// boxes (no user answers them), the writing of a saved file's bytes (a test makes it fail
// halfway), the beep, the shell's "open", process starts, the modal dialogs once they are filled
// (a test answers them), the print and page-setup dialogs and the drop source's decision during a drag (no user holds the mouse).
//
// One process-wide implementation is current: EditSystem() returns it, the system's own unless a
// CScopedEditSystem has put another in place for its scope.
#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

namespace quill::win {

class IEditSystem {
public:
    virtual ~IEditSystem() = default;
    // MessageBoxA: the button the box answered.
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT flags) = 0;
    // Writes all of data to file: false, with the system's last error set, when it could not.
    virtual bool WriteFileBytes(HANDLE file, const char* data, size_t size) = 0;
    virtual void Beep(UINT type) = 0;
    // Hands an address to the shell's "open" verb: true when it opened.
    virtual bool ShellOpen(const std::string& target) = 0;
    // Starts a program by command line (not waited for): true when it started.
    virtual bool StartProcess(const std::string& commandLine) = 0;
    // A modal dialog of the control (its resource number) has been filled and is about to run.
    virtual void DialogReady(HWND dialog, int resource) = 0;
    // PrintDlgA and PageSetupDlgA.
    virtual BOOL PrintDialog(PRINTDLGA* dialog) = 0;
    virtual BOOL PageSetupDialog(PAGESETUPDLGA* dialog) = 0;
    // IDropSource::QueryContinueDrag of a drag out of an edit window.
    virtual HRESULT QueryContinueDrag(BOOL escape, DWORD keys) = 0;
};

// The system's own operations.
class CWindowsEditSystem final : public IEditSystem {
public:
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT flags) override;
    bool WriteFileBytes(HANDLE file, const char* data, size_t size) override;
    void Beep(UINT type) override;
    bool ShellOpen(const std::string& target) override;
    bool StartProcess(const std::string& commandLine) override;
    void DialogReady(HWND, int) override {}
    BOOL PrintDialog(PRINTDLGA* dialog) override { return PrintDlgA(dialog); }
    BOOL PageSetupDialog(PAGESETUPDLGA* dialog) override { return PageSetupDlgA(dialog); }
    HRESULT QueryContinueDrag(BOOL escape, DWORD keys) override;
};

// The current implementation.
IEditSystem& EditSystem();

// Puts another implementation in place for its own scope and the previous one back at its end.
// Scopes nest; the replacement must outlive the scope (it is not owned).
class CScopedEditSystem {
public:
    explicit CScopedEditSystem(IEditSystem& replacement);
    ~CScopedEditSystem();
    CScopedEditSystem(const CScopedEditSystem&) = delete;  // restores once
    CScopedEditSystem& operator=(const CScopedEditSystem&) = delete;

private:
    IEditSystem* m_previous;  // not owned: the implementation current before this scope
};

} // namespace quill::win
