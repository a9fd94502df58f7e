#include "frame/dialogs/DialogBase.h"

#include "controls/ImageListManager.h"
#include "controls/skins/FrameSkinManager.h"
#include "core/app/LanguageManager.h"
#include "core/library/StdStr.h"
#include "core/library/Z4KLog.h"
#include "core/system/MessageBoxes.h"

namespace {

constexpr const char* kWarningCaption = "Kivo Browser";

}  // namespace

std::string FormatValidationMessage(const _XData& data)
{
    switch (data.nDataType) {
    case ddxDataText:
        return FormatString("Please keep text to under %i characters (currently %i characters long)\n",
                            data.textData.nMaxLength, data.textData.nLength)
            .c_str();
    case ddxDataInt:
        return FormatString("Please enter an integer between %d and %d\n", static_cast<int>(data.intData.nMin),
                            static_cast<int>(data.intData.nMax))
            .c_str();
    default:
        return std::string();
    }
}

void LogAndShowWarning(HWND owner, const char* text)
{
    const char* shown = text ? text : "";
    if (CZ4KLog* log = GetLog())
        log->Write(kLogWarning, shown);
    GetMessageBoxes().Show(owner, shown, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}

namespace dialog_base {

void SetIcons(HWND dialog, int image, CIcon& icon)
{
    if (image < 0)
        return;
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST list = images ? images->GetList(kSlotGeneralSmall) : nullptr;
    if (!list || image >= ::ImageList_GetImageCount(list))
        return;
    icon.Attach(::ImageList_GetIcon(list, image, ILD_NORMAL));
    if (icon.IsNull())
        return;
    ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(icon)));
    ::SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(icon)));
}

void CentreAndSkin(HWND dialog)
{
    CWindow window(dialog);
    HWND parent = ::GetParent(dialog);
    if (!parent)
        parent = ::GetWindow(dialog, GW_OWNER);
    window.CenterWindow(parent);
    if (CFrameSkinManager* skins = GetSkinManager())
        skins->AttachWindow(dialog);
}

void MakeImageButtons(HWND dialog, CTwoStateBmpButton& ok, CTwoStateBmpButton& cancel)
{
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST normal = images ? images->GetList(kSlotGeneralSmall) : nullptr;
    HIMAGELIST disabled = images ? images->GetList(kSlotGeneralSmallDisabled) : nullptr;
    const struct {
        int id;
        CTwoStateBmpButton& button;
        int image;
    } buttons[] = {{IDOK, ok, kDialogOkImage}, {IDCANCEL, cancel, kDialogCancelImage}};
    for (const auto& entry : buttons) {
        HWND control = ::GetDlgItem(dialog, entry.id);
        if (!control || entry.button.m_hWnd)
            continue;
        // Without the images the buttons stay the system's, which still show their texts.
        if (!normal || !disabled || entry.image >= ::ImageList_GetImageCount(normal) ||
            entry.image >= ::ImageList_GetImageCount(disabled))
            continue;
        if (entry.button.AddIconPair(normal, disabled, entry.image))
            entry.button.SubclassWindow(control);
    }
}

void Translate(HWND dialog)
{
    if (const CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(dialog);
}

void ReportRefusedValue(HWND dialog, UINT controlId, const _XData& data)
{
    ::MessageBeep(static_cast<UINT>(-1));
    const std::string message = FormatValidationMessage(data);
    if (!message.empty())
        LogAndShowWarning(dialog, message.c_str());
    if (HWND control = ::GetDlgItem(dialog, static_cast<int>(controlId))) {
        ::SetFocus(control);
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void ExchangeFlagCheck(HWND dialog, UINT controlId, DWORD& flags, DWORD mask, bool save, bool inverted)
{
    HWND box = ::GetDlgItem(dialog, static_cast<int>(controlId));
    if (!box)
        return;
    if (save) {
        const bool checked = ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != inverted)
            flags |= mask;
        else
            flags &= ~mask;
    } else {
        const bool set = (flags & mask) != 0;
        ::SendMessageA(box, BM_SETCHECK, set != inverted ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

}  // namespace dialog_base
