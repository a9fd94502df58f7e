#pragma once
// The window layer's system operations without a user: message boxes, beeps, shell opens and
// process starts are recorded and answered; file writes, dialogs, print dialogs and drags go to
// the test's callback when it set one, else to the system's own operations (a real file is
// written, a dialog runs as it is, a drag follows the mouse buttons).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "editctl/win/EditSystem.h"

namespace quill::testing {

class FakeEditSystem final : public win::IEditSystem {
public:
    int ShowMessageBox(HWND, const std::string& text, const std::string&, UINT) override
    {
        boxes.push_back(text);
        return boxAnswer;
    }
    bool WriteFileBytes(HANDLE file, const char* data, size_t size) override
    {
        return onWrite ? onWrite(file, data, size) : m_system.WriteFileBytes(file, data, size);
    }
    void Beep(UINT type) override { beeps.push_back(type); }
    bool ShellOpen(const std::string& target) override
    {
        opened.push_back(target);
        return shellOpenAnswer;
    }
    bool StartProcess(const std::string& commandLine) override
    {
        started.push_back(commandLine);
        return true;
    }
    void DialogReady(HWND dialog, int resource) override
    {
        if (onDialog)
            onDialog(dialog, resource);
    }
    BOOL PrintDialog(PRINTDLGA* dialog) override
    {
        return onPrintDialog ? onPrintDialog(dialog) : m_system.PrintDialog(dialog);
    }
    BOOL PageSetupDialog(PAGESETUPDLGA* dialog) override
    {
        return onPageSetupDialog ? onPageSetupDialog(dialog) : m_system.PageSetupDialog(dialog);
    }
    HRESULT QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        return onDragContinue ? onDragContinue(escape, keys) : m_system.QueryContinueDrag(escape, keys);
    }

    // Forgets what was recorded and every answer and callback the last test set.
    void Reset() { *this = FakeEditSystem(); }

    std::vector<std::string> boxes;  // the texts of the message boxes, in order
    int boxAnswer = IDOK;
    std::vector<UINT> beeps;
    std::vector<std::string> opened;
    bool shellOpenAnswer = true;
    std::vector<std::string> started;
    std::function<bool(HANDLE file, const char* data, size_t size)> onWrite;
    std::function<void(HWND dialog, int resource)> onDialog;
    std::function<BOOL(PRINTDLGA*)> onPrintDialog;
    std::function<BOOL(PAGESETUPDLGA*)> onPageSetupDialog;
    std::function<HRESULT(BOOL escape, DWORD keys)> onDragContinue;

private:
    win::CWindowsEditSystem m_system;
};

} // namespace quill::testing
