#pragma once
// Icons and cursors: the icons of a window, the holder of one icon, the edit with an icon in its
// left margin, and the hand cursor.
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <windows.h>
#include <commctrl.h>

// The window's big and then small icon become image `index` of the image list.
void SetWindowIcons(HWND window, HIMAGELIST imageList, int index);
// The window's small icon, else its class small icon, big icon, class icon, or the icon of its
// class as registered in this module.
HICON GetWindowIcon(HWND window);
// The system hand cursor, or the one of winhlp32.exe; null when neither exists.
HCURSOR LoadHandCursor();

// Holder of one icon, destroyed with it or when another is attached.
class CSizedIcon {
public:
    CSizedIcon() = default;
    // The icon of an .ico file at the system's large or small icon size; none when it cannot load.
    CSizedIcon(const char* path, bool small);
    ~CSizedIcon() { Attach(nullptr); }
    CSizedIcon(const CSizedIcon&) = delete;
    CSizedIcon& operator=(const CSizedIcon&) = delete;
    void Attach(HICON icon);
    HICON Get() const { return m_icon; }

private:
    HICON m_icon = nullptr;
};

// An edit that shows a small icon in its left margin (the Open dialog's address field). Its owner
// holds it; the edit window belongs to the dialog.
class CIconStatic : public CWindowImpl<CIconStatic, CEdit> {
public:
    BEGIN_MSG_MAP(CIconStatic)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    END_MSG_MAP()

    // The icon is image `index` of the image list (not owned).
    void SetIcon(HIMAGELIST imageList, int index);
    // Binds the edit and widens its left margin by the small icon width and twice the padding.
    BOOL SubclassWindow(HWND edit);
    int GetIconPadding() const { return m_padding; }

    // Draws the icon into the device context (client coordinates): greyed while the edit is disabled.
    void DrawIcon(HDC dc);

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);

    HIMAGELIST m_imageList = nullptr;  // not owned
    int m_index = -1;
    int m_padding = 2;
};
