#pragma once
// COptionsPage: the interface of every page of the Options dialog. A page is a modeless child dialog
// (its dialog resource is GetDialogID) that the dialog creates in its page host, asks before the tree
// selection moves onto it (OnSetActive, -1 refuses), tells about Cancel, asks to write its controls
// back on OK (OnApply, nonzero refuses and keeps the dialog open) and tells before its window goes
// (OnClose). The virtual operations stand in this order; the defaults are those a page inherits.
//
// Lifetime: rule (a). The dialog (or whoever shows the page) embeds the page object and destroys the
// page window before the object.
#include "controls/ImageListManager.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>

class COptionsPage : public CDialogImplBaseT<CWindow> {
public:
    // ProcessWindowMessage (the page's message map), the destructor, GetDialogProc and
    // OnFinalMessage come first, from the window classes.
    ~COptionsPage() override = default;

    virtual int OnSetActive() { return 0; }
    virtual void OnCancel() {}
    virtual int OnApply() { return 0; }
    virtual void OnClose() {}
    // Four operations the dialog does not call.
    virtual bool OnQueryReserved() { return false; }
    virtual int OnReserved1() { return 0; }
    virtual int OnReserved2() { return 0; }
    virtual int OnReserved3() { return 0; }
    // Not called by the dialog.
    virtual void OnHelp() {}
    // A new icon for the page's tree item, which the caller destroys; null: none.
    virtual HICON GetIcon()
    {
        const CImageListManager* images = GetImageListManager();
        HIMAGELIST tree = images ? static_cast<HIMAGELIST>(images->m_optionIcons) : nullptr;
        return tree ? ImageList_GetIcon(tree, 4, ILD_NORMAL) : nullptr;
    }
    virtual int GetDialogID() const = 0;

    // The shared creation: the page's dialog resource as a modeless dialog of the program's module,
    // child of the page host.
    HWND Create(HWND pageHost, LPARAM initParam = 0) noexcept
    {
        if (m_hWnd)
            return nullptr;
        m_bModal = false;
        CWindowCreationScope creating(this);
        return ::CreateDialogParamA(AtlGetResourceInstance(), MAKEINTRESOURCEA(GetDialogID()), pageHost,
                                    GetDialogProc(), initParam);
    }
};
