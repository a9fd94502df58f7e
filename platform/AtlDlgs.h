// Dialog helpers: data exchange between dialog controls and member variables, dialog templates
// built in memory, and the file and folder choosers.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
#include <vector>
#include "platform/AtlWin.h"

// ---------------------------------------------------------------------------------------------
// Data exchange. A dialog class derives from CWinDataExchange<T> and lists its controls:
//
//     BEGIN_DDX_MAP(CMyDialog)
//         DDX_TEXT_LEN(IDC_NAME, m_name, 40)
//         DDX_INT_RANGE(IDC_COUNT, m_count, 1, 99)
//         DDX_CHECK(IDC_ENABLED, m_enabled)
//     END_DDX_MAP()
//
// DoDataExchange(FALSE) fills the controls, DoDataExchange(TRUE) reads and validates them; it stops
// at the first control that fails, after calling the failure hook, and answers FALSE. A variable
// keeps its value when its control's text is rejected.

enum _XDataType
{
    ddxDataNull = 0,
    ddxDataText = 1,
    ddxDataInt = 2
};

struct _XTextData
{
    int nLength;    // what was found
    int nMaxLength; // what is allowed
};

struct _XIntData
{
    long nVal;
    long nMin;
    long nMax;
};

struct _XData
{
    _XDataType nDataType;
    union
    {
        _XTextData textData;
        _XIntData intData;
    };
};

#define BEGIN_DDX_MAP(thisClass)                                                        \
    BOOL DoDataExchange(BOOL bSaveAndValidate = FALSE, UINT nCtlID = static_cast<UINT>(-1)) \
    {                                                                                   \
        (void)bSaveAndValidate;                                                         \
        (void)nCtlID;

#define _ATL_DDX_THIS(nID) (nCtlID == static_cast<UINT>(-1) || nCtlID == static_cast<UINT>(nID))

#define DDX_TEXT(nID, var)                                      \
    if (_ATL_DDX_THIS(nID)) {                                   \
        if (!this->DDX_Text(nID, var, bSaveAndValidate, FALSE, 0)) \
            return FALSE;                                       \
    }
#define DDX_TEXT_LEN(nID, var, len)                               \
    if (_ATL_DDX_THIS(nID)) {                                     \
        if (!this->DDX_Text(nID, var, bSaveAndValidate, TRUE, len)) \
            return FALSE;                                         \
    }
#define DDX_INT(nID, var)                                             \
    if (_ATL_DDX_THIS(nID)) {                                         \
        if (!this->DDX_Int(nID, var, TRUE, bSaveAndValidate, FALSE, 0, 0)) \
            return FALSE;                                             \
    }
#define DDX_INT_RANGE(nID, var, min, max)                                  \
    if (_ATL_DDX_THIS(nID)) {                                              \
        if (!this->DDX_Int(nID, var, TRUE, bSaveAndValidate, TRUE, min, max)) \
            return FALSE;                                                  \
    }
#define DDX_UINT(nID, var)                                             \
    if (_ATL_DDX_THIS(nID)) {                                          \
        if (!this->DDX_Int(nID, var, FALSE, bSaveAndValidate, FALSE, 0, 0)) \
            return FALSE;                                              \
    }
#define DDX_UINT_RANGE(nID, var, min, max)                                  \
    if (_ATL_DDX_THIS(nID)) {                                               \
        if (!this->DDX_Int(nID, var, FALSE, bSaveAndValidate, TRUE, min, max)) \
            return FALSE;                                                   \
    }
#define DDX_CHECK(nID, var)                      \
    if (_ATL_DDX_THIS(nID))                      \
        this->DDX_Check(nID, var, bSaveAndValidate);
#define DDX_RADIO(nID, var)                      \
    if (_ATL_DDX_THIS(nID))                      \
        this->DDX_Radio(nID, var, bSaveAndValidate);
// Subclasses the control with the object (a CWindowImpl) the first time controls are filled.
#define DDX_CONTROL(nID, obj)                    \
    if (_ATL_DDX_THIS(nID))                      \
        this->DDX_Control(nID, obj, bSaveAndValidate);
// Only attaches the control's handle to a wrapper.
#define DDX_CONTROL_HANDLE(nID, obj)             \
    if (_ATL_DDX_THIS(nID))                      \
        this->DDX_Control_Handle(nID, obj, bSaveAndValidate);

#define END_DDX_MAP() \
    return TRUE;      \
    }

template <class T>
class CWinDataExchange
{
public:
    // Hooks a dialog may replace (hidden by a member of the same name in T).
    void OnDataExchangeError(UINT nCtrlID, BOOL /*bSave*/)
    {
        // Point the user at the control that was refused.
        T* self = static_cast<T*>(this);
        ::MessageBeep(static_cast<UINT>(-1));
        HWND control = self->GetDlgItem(nCtrlID);
        if (control) {
            ::SetFocus(control);
            ::SendMessageA(control, EM_SETSEL, 0, -1);
        }
    }
    void OnDataValidateError(UINT nCtrlID, BOOL bSave, _XData& /*data*/)
    {
        static_cast<T*>(this)->OnDataExchangeError(nCtrlID, bSave);
    }

    // Text into or out of a char buffer of `size` bytes (a char array member passes its size itself).
    BOOL DDX_Text(UINT nID, LPSTR text, int size, BOOL bSave, BOOL bValidate, int nLength)
    {
        T* self = static_cast<T*>(this);
        if (!bSave)
            return Succeeded(nID, bSave, self->SetDlgItemText(nID, text), bValidate && ::lstrlenA(text) > nLength,
                             ::lstrlenA(text), nLength);
        const int length = ::GetWindowTextLengthA(self->GetDlgItem(nID));
        if (bValidate && length > nLength)
            return Succeeded(nID, bSave, TRUE, true, length, nLength);
        if (length >= size) {
            // The buffer cannot hold the text: refuse rather than cut it silently.
            self->OnDataExchangeError(nID, bSave);
            return FALSE;
        }
        self->GetDlgItemText(nID, text, size);
        return TRUE;
    }
    template <size_t N>
    BOOL DDX_Text(UINT nID, char (&text)[N], BOOL bSave, BOOL bValidate, int nLength)
    {
        return DDX_Text(nID, text, static_cast<int>(N), bSave, bValidate, nLength);
    }
    BOOL DDX_Text(UINT nID, BSTR& text, BOOL bSave, BOOL bValidate, int nLength)
    {
        T* self = static_cast<T*>(this);
        HWND control = self->GetDlgItem(nID);
        if (!bSave) {
            const int length = static_cast<int>(::SysStringLen(text));
            return Succeeded(nID, bSave, ::SetWindowTextW(control, text ? text : L""), bValidate && length > nLength,
                             length, nLength);
        }
        const int length = ::GetWindowTextLengthW(control);
        if (bValidate && length > nLength)
            return Succeeded(nID, bSave, TRUE, true, length, nLength);
        BSTR read = ::SysAllocStringLen(nullptr, length);
        if (!read) {
            self->OnDataExchangeError(nID, bSave);
            return FALSE;
        }
        ::GetWindowTextW(control, read, length + 1);
        ::SysFreeString(text);
        text = read;
        return TRUE;
    }
    // A string class with c_str() and assignment from const char* (the program's own strings).
    template <class TString>
        requires requires(TString s) { s.c_str(); s = static_cast<const char*>(nullptr); }
    BOOL DDX_Text(UINT nID, TString& text, BOOL bSave, BOOL bValidate, int nLength)
    {
        T* self = static_cast<T*>(this);
        if (!bSave) {
            const int length = ::lstrlenA(text.c_str());
            return Succeeded(nID, bSave, self->SetDlgItemText(nID, text.c_str()), bValidate && length > nLength, length,
                             nLength);
        }
        HWND control = self->GetDlgItem(nID);
        const int length = ::GetWindowTextLengthA(control);
        if (bValidate && length > nLength)
            return Succeeded(nID, bSave, TRUE, true, length, nLength);
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        ::GetWindowTextA(control, buffer.data(), length + 1);
        text = buffer.data();
        return TRUE;
    }

    template <class Type>
    BOOL DDX_Int(UINT nID, Type& nVal, BOOL bSigned, BOOL bSave, BOOL bValidate, Type nMin, Type nMax)
    {
        T* self = static_cast<T*>(this);
        if (!bSave) {
            if (!self->SetDlgItemInt(nID, static_cast<UINT>(nVal), bSigned)) {
                self->OnDataExchangeError(nID, bSave);
                return FALSE;
            }
            return bValidate ? CheckRange(nID, bSave, nVal, nMin, nMax) : TRUE;
        }
        BOOL translated = FALSE;
        const UINT raw = self->GetDlgItemInt(nID, &translated, bSigned);
        if (!translated) {
            self->OnDataExchangeError(nID, bSave);
            return FALSE;
        }
        const Type value = static_cast<Type>(raw);
        if (bValidate && !CheckRange(nID, bSave, value, nMin, nMax))
            return FALSE;
        nVal = value;
        return TRUE;
    }

    void DDX_Check(UINT nID, int& nValue, BOOL bSave)
    {
        T* self = static_cast<T*>(this);
        HWND control = self->GetDlgItem(nID);
        if (bSave)
            nValue = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
        else
            ::SendMessageA(control, BM_SETCHECK, nValue, 0);
    }
    void DDX_Check(UINT nID, bool& value, BOOL bSave)
    {
        int state = value ? BST_CHECKED : BST_UNCHECKED;
        DDX_Check(nID, state, bSave);
        if (bSave)
            value = state == BST_CHECKED;
    }

    // The group of radio buttons that starts at nID: the index of the checked one, -1 for none.
    void DDX_Radio(UINT nID, int& nValue, BOOL bSave)
    {
        T* self = static_cast<T*>(this);
        HWND control = self->GetDlgItem(nID);
        if (bSave)
            nValue = -1;
        int index = 0;
        while (control) {
            if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
                if (bSave) {
                    if (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                        nValue = index;
                } else {
                    ::SendMessageA(control, BM_SETCHECK, index == nValue ? BST_CHECKED : BST_UNCHECKED, 0);
                }
                ++index;
            }
            control = ::GetWindow(control, GW_HWNDNEXT);
            if (control && (::GetWindowLongPtrA(control, GWL_STYLE) & WS_GROUP))
                break;
        }
    }

    template <class TControl>
    void DDX_Control(UINT nID, TControl& ctrl, BOOL bSave)
    {
        if (!bSave && !ctrl.m_hWnd)
            ctrl.SubclassWindow(static_cast<T*>(this)->GetDlgItem(nID));
    }
    template <class TControl>
    void DDX_Control_Handle(UINT nID, TControl& ctrl, BOOL bSave)
    {
        if (!bSave && !ctrl.m_hWnd)
            ctrl = static_cast<T*>(this)->GetDlgItem(nID);
    }

private:
    BOOL Succeeded(UINT nID, BOOL bSave, BOOL transferred, bool tooLong, int length, int maxLength)
    {
        T* self = static_cast<T*>(this);
        if (!transferred) {
            self->OnDataExchangeError(nID, bSave);
            return FALSE;
        }
        if (tooLong) {
            _XData data = {};
            data.nDataType = ddxDataText;
            data.textData.nLength = length;
            data.textData.nMaxLength = maxLength;
            self->OnDataValidateError(nID, bSave, data);
            return FALSE;
        }
        return TRUE;
    }
    template <class Type>
    BOOL CheckRange(UINT nID, BOOL bSave, Type value, Type nMin, Type nMax)
    {
        if (value >= nMin && value <= nMax)
            return TRUE;
        _XData data = {};
        data.nDataType = ddxDataInt;
        data.intData.nVal = static_cast<long>(value);
        data.intData.nMin = static_cast<long>(nMin);
        data.intData.nMax = static_cast<long>(nMax);
        static_cast<T*>(this)->OnDataValidateError(nID, bSave, data);
        return FALSE;
    }
};

// ---------------------------------------------------------------------------------------------
// A dialog template assembled in memory (sizes in dialog units), for CDialogImpl::DoModalIndirect
// and CreateIndirect.

class CMemDlgTemplate
{
public:
    // Predefined control classes, by their atoms.
    enum StdCtrlType : WORD
    {
        CTRL_BUTTON = 0x0080,
        CTRL_EDIT = 0x0081,
        CTRL_STATIC = 0x0082,
        CTRL_LISTBOX = 0x0083,
        CTRL_SCROLLBAR = 0x0084,
        CTRL_COMBOBOX = 0x0085
    };

    void Create(LPCSTR caption, const RECT& rc, DWORD style, DWORD exStyle = 0, LPCSTR fontName = nullptr,
                WORD fontSize = 0);
    void AddControl(WORD classAtom, WORD id, const RECT& rc, DWORD style, DWORD exStyle, LPCSTR text);
    void AddControl(LPCSTR className, WORD id, const RECT& rc, DWORD style, DWORD exStyle, LPCSTR text);
    LPCDLGTEMPLATEA GetTemplatePtr() const noexcept
    {
        return reinterpret_cast<LPCDLGTEMPLATEA>(m_words.data());
    }
    bool IsValid() const noexcept { return !m_words.empty(); }

private:
    void AddString(LPCSTR text);
    void AddItemHeader(DWORD style, DWORD exStyle, const RECT& rc, WORD id);
    void Align();

    std::vector<WORD> m_words;
};

// ---------------------------------------------------------------------------------------------
// The file chooser (ANSI). The filter is pairs of texts, each ended by '\0' (or by '|'), the list
// ended by an empty text.

// What shows the system's dialogs; tests replace it so that no dialog ever waits for a user.
using AtlFileDialogRunner = BOOL (*)(OPENFILENAMEA* ofn, bool open);
using AtlFolderDialogRunner = LPITEMIDLIST (*)(BROWSEINFOA* info);
void AtlSetFileDialogRunner(AtlFileDialogRunner runner) noexcept;
void AtlSetFolderDialogRunner(AtlFolderDialogRunner runner) noexcept;
BOOL AtlRunFileDialog(OPENFILENAMEA* ofn, bool open);
LPITEMIDLIST AtlRunFolderDialog(BROWSEINFOA* info);

class CFileDialog
{
public:
    CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                HWND hWndParent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL.
    INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow());

    OPENFILENAMEA m_ofn;
    BOOL m_bOpenFileDialog;
    char m_szFileTitle[MAX_PATH];
    char m_szFileName[MAX_PATH];

private:
    std::vector<char> m_filter;
};

// The folder chooser: the folder chosen is in m_szFolderPath after IDOK.
class CFolderDialog
{
public:
    CFolderDialog(HWND hWndParent = nullptr, LPCSTR lpstrTitle = nullptr,
                  UINT uFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE);
    CFolderDialog(const CFolderDialog&) = delete;
    CFolderDialog& operator=(const CFolderDialog&) = delete;

    INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow());
    void SetInitialFolder(LPCSTR folder);
    LPCSTR GetFolderPath() const noexcept { return m_szFolderPath; }
    LPCSTR GetFolderDisplayName() const noexcept { return m_szFolderDisplayName; }

    BROWSEINFOA m_bi;
    char m_szFolderDisplayName[MAX_PATH];
    char m_szFolderPath[MAX_PATH];
    char m_szInitialFolder[MAX_PATH];

private:
    static int CALLBACK BrowseCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData);
};
