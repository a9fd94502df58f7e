#include "browser/ScriptErrors.h"

#include "browser/BrowserResources.h"
#include "browser/BrowserStrings.h"
#include "browser/TabTextStore.h"
#include "core/app/Settings.h"
#include "platform/AtlBase.h"

namespace {

// The SysFlags bit: remind of every script error (ask the question).
constexpr DWORD kRemindScriptErrors = 0x100;

HRESULT GetNamed(IDispatch* object, const wchar_t* name, VARIANT& value)
{
    ::VariantClear(&value);
    if (!object)
        return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

CComPtr<IDispatch> GetNamedObject(IDispatch* object, const wchar_t* name)
{
    CComVariant value;
    CComPtr<IDispatch> result;
    if (SUCCEEDED(GetNamed(object, name, value)) && (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) &&
        value.punkVal)
        value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result));
    return result;
}

long AsLong(const VARIANT& value)
{
    CComVariant converted;
    if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4)))
        return 0;
    return converted.lVal;
}

TStdStr<char> AsText(const VARIANT& value)
{
    // Page-made texts are cut to a sane length before they are kept and shown.
    constexpr size_t kMaxText = 2048;
    if (value.vt != VT_BSTR)
        return TStdStr<char>();
    return NarrowText(value.bstrVal).substr(0, kMaxText);
}

} // namespace

HRESULT CollectScriptError(HWND tab, VARIANT* in, VARIANT* out)
{
    if (!in || (in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) || !in->punkVal)
        return E_INVALIDARG;
    CComPtr<IDispatch> document;
    if (FAILED(in->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document))) || !document)
        return E_NOINTERFACE;
    CComPtr<IDispatch> window = GetNamedObject(document, L"parentWindow");
    CComPtr<IDispatch> event = GetNamedObject(window, L"event");
    if (!event)
        return E_FAIL;
    ScriptErrorRecord record;
    CComVariant value;
    HRESULT hr = GetNamed(event, L"errorLine", value);
    record.line = AsLong(value);
    hr = GetNamed(event, L"errorCharacter", value);
    record.character = AsLong(value);
    hr = GetNamed(event, L"errorCode", value);
    record.code = AsLong(value);
    hr = GetNamed(event, L"errorMessage", value);
    record.message = AsText(value);
    hr = GetNamed(event, L"errorUrl", value);
    record.url = AsText(value);

    auto& errors = GetMainFrameData().m_scriptErrors[tab];
    size_t index = errors.size();
    for (size_t i = 0; i < errors.size(); ++i)
        if (errors[i].SameError(record))
            index = i;
    const bool isNew = index == errors.size();
    if (isNew)
        errors.push_back(record);
    CSettings* settings = GetSettings();
    if (isNew && settings && (settings->SysFlags & kRemindScriptErrors)) {
        CScriptErrorDlg dialog(errors, index, true);
        const INT_PTR answer = dialog.DoModal(::GetActiveWindow());
        errors[index].goOn = answer != IDNO;
        if (!dialog.RemindChecked())
            settings->SysFlags &= ~kRemindScriptErrors;
    }
    GetTabTextStore().SetText(tab, BrowserString(IDS_BROWSER_ERROR_ON_PAGE, "Error on page.").c_str());
    if (out) {
        ::VariantClear(out);
        out->vt = VT_BOOL;
        // The answer given for this error, not for whichever error was recorded last.
        out->boolVal = errors[index].goOn ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return hr;
}

LRESULT CScriptErrorDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    const int questionControls[] = {IDYES, IDNO, IDC_SCRIPT_ERROR_QUESTION, IDC_SCRIPT_ERROR_REMIND};
    for (int id : questionControls)
        ::ShowWindow(GetDlgItem(id), m_question ? SW_SHOW : SW_HIDE);
    const int viewControls[] = {IDCANCEL, IDC_SCRIPT_ERROR_VIEW_SOURCE};
    for (int id : viewControls)
        ::ShowWindow(GetDlgItem(id), m_question ? SW_HIDE : SW_SHOW);
    ::CheckDlgButton(m_hWnd, IDC_SCRIPT_ERROR_REMIND, BST_CHECKED);
    if (m_current >= m_errors.size())
        m_current = m_errors.empty() ? 0 : m_errors.size() - 1;
    ShowCurrent();
    return TRUE;
}

void CScriptErrorDlg::ShowCurrent()
{
    const int count = static_cast<int>(m_errors.size());
    ::EnableWindow(GetDlgItem(IDC_SCRIPT_ERROR_PREVIOUS), m_current > 0);
    ::EnableWindow(GetDlgItem(IDC_SCRIPT_ERROR_NEXT), m_current + 1 < m_errors.size());
    if (m_errors.empty())
        return;
    const ScriptErrorRecord& error = m_errors[m_current];
    char text[4096 + 256] = {};
    const TStdStr<char> format =
        BrowserString(IDS_BROWSER_SCRIPT_ERROR_FORMAT, "Line: %ld\r\nChar: %ld\r\nError: %s\r\nCode: %ld\r\nURL: %s");
    _snprintf_s(text, sizeof(text), _TRUNCATE, format.c_str(), error.line, error.character, error.message.c_str(),
                error.code, error.url.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_SCRIPT_ERROR_TEXT, text);
    char countText[128] = {};
    _snprintf_s(countText, sizeof(countText), _TRUNCATE,
                BrowserString(IDS_BROWSER_SCRIPT_ERROR_COUNT, "Error %d of %d").c_str(),
                static_cast<int>(m_current) + 1, count);
    ::SetDlgItemTextA(m_hWnd, IDC_SCRIPT_ERROR_COUNT, countText);
}

LRESULT CScriptErrorDlg::OnPrevious(WORD, WORD, HWND, BOOL&)
{
    if (m_current > 0) {
        --m_current;
        ShowCurrent();
    }
    return 0;
}

LRESULT CScriptErrorDlg::OnNext(WORD, WORD, HWND, BOOL&)
{
    if (m_current + 1 < m_errors.size()) {
        ++m_current;
        ShowCurrent();
    }
    return 0;
}

LRESULT CScriptErrorDlg::OnEnd(WORD, WORD id, HWND, BOOL&)
{
    m_remind = ::IsDlgButtonChecked(m_hWnd, IDC_SCRIPT_ERROR_REMIND) == BST_CHECKED;
    if (m_bModal)
        EndDialog(id);
    else
        DestroyWindow();
    return 0;
}
