#pragma once
// What the dialog tests share: pumping messages until a condition holds, message boxes that
// answer by themselves and keep the texts they were shown, and a modal dialog run modeless so a
// test can drive it (OK and Cancel end a modeless dialog by destroying it).
#include "core/system/MessageBoxes.h"
#include "frame/options/tests/OptionsTestSupport.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace dialogs_test {

// The Options dialog tests' pump: messages until the condition holds or the deadline passes.
using options_test::kDeadlineMs;
using options_test::PumpUntil;

inline void Pump()
{
    PumpUntil([] { return true; });
}

class CRecordingMessageBoxes final : public IMessageBoxes {
public:
    int Show(HWND, const char* text, const char*, UINT type) override
    {
        texts.push_back(text ? text : "");
        types.push_back(type);
        return IDOK;
    }
    std::vector<std::string> texts;
    std::vector<UINT> types;
};

// The dialog object with its window, created modeless on the desktop and shown.
template <class TDialog>
class COpenDialog {
public:
    explicit COpenDialog(std::unique_ptr<TDialog> dialog_, HWND parent = ::GetDesktopWindow())
        : dialog(std::move(dialog_))
    {
        window = dialog->Create(parent);
        if (window)
            ::ShowWindow(window, SW_SHOW);
        Pump();
    }
    ~COpenDialog()
    {
        if (window && ::IsWindow(window))
            ::DestroyWindow(window);
    }
    COpenDialog(const COpenDialog&) = delete;
    COpenDialog& operator=(const COpenDialog&) = delete;

    HWND Control(int id) const { return ::GetDlgItem(window, id); }
    void SetText(int id, const char* text) const { ::SetWindowTextA(Control(id), text); }
    std::string Text(int id) const
    {
        char text[1024] = {};
        ::GetWindowTextA(Control(id), text, static_cast<int>(sizeof(text)));
        return text;
    }
    void Command(int id) const { ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Closed() const { return !::IsWindow(window); }

    std::unique_ptr<TDialog> dialog;
    HWND window = nullptr;
};

}  // namespace dialogs_test
