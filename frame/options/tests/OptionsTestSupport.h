#pragma once
// What the Options dialog's tests share: the dialog run modeless so a test can drive it, pumping
// messages until a condition holds, message boxes that answer themselves, the tree's texts.
#include "core/system/MessageBoxes.h"
#include "frame/options/OptionsDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace options_test {

inline constexpr DWORD kDeadlineMs = 10000;

template <class Condition>
bool PumpUntil(Condition condition)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (::GetTickCount() - start > kDeadlineMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

class CRecordingMessageBoxes final : public IMessageBoxes {
public:
    int Show(HWND, const char* text, const char*, UINT) override
    {
        texts.push_back(text ? text : "");
        return IDOK;
    }
    std::vector<std::string> texts;
};

// The modal dialog's own window, run modeless so that the test can drive it; OK and Cancel end a
// modeless dialog by destroying it.
class COpenOptions {
public:
    // `prepare` connects the dialog's pages before its window is made.
    explicit COpenOptions(int startPage, const std::function<void(COptionsDlg&)>& prepare = {})
        : dialog(std::make_unique<COptionsDlg>(startPage))
    {
        if (prepare)
            prepare(*dialog);
        window = dialog->Create(::GetDesktopWindow());
        if (window)
            ::ShowWindow(window, SW_SHOW);
        PumpUntil([] { return true; });
    }
    ~COpenOptions()
    {
        if (window && ::IsWindow(window))
            ::DestroyWindow(window);
    }
    COpenOptions(const COpenOptions&) = delete;
    COpenOptions& operator=(const COpenOptions&) = delete;

    HWND Tree() const { return ::GetDlgItem(window, IDC_OPTIONS_TREE); }
    HWND Control(int id) const
    {
        COptionsPage* page = dialog->GetShownPage();
        return page ? ::GetDlgItem(page->m_hWnd, id) : nullptr;
    }
    int ShownPageId() const
    {
        COptionsPage* page = dialog->GetShownPage();
        return page ? page->GetDialogID() : 0;
    }
    // As a click: the check state flips and the page hears BN_CLICKED.
    void Click(int id) const
    {
        HWND control = Control(id);
        ::SendMessageA(control, BM_CLICK, 0, 0);
    }
    void Command(int id) const { ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Closed() const { return !::IsWindow(window); }

    std::unique_ptr<COptionsDlg> dialog;
    HWND window = nullptr;
};

inline std::string TreeText(HWND tree, HTREEITEM item)
{
    char text[128] = {};
    TVITEMA query = {};
    query.mask = TVIF_HANDLE | TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

}  // namespace options_test
