#include "frame/dialogs/SkinsDlg.h"

#include "controls/ImageListManager.h"
#include "controls/skins/FrameSkinManager.h"
#include "core/app/LanguageManager.h"
#include "core/app/SettingsStore.h"

#include <vector>

namespace {

constexpr int kDisableSkinRow = 0;
constexpr int kTextIndent = 3;
constexpr int kFontGrowth = 2;
constexpr int kRowPadding = 2;
constexpr const char* kDisableSkinText = "Disable Skin";
constexpr const char* kMailtoPrefix = "mailto:";

}  // namespace

bool IsSameSkinName(const char* first, const char* second)
{
    return ::lstrcmpiA(first ? first : "", second ? second : "") == 0;
}

bool ChooseSkin(CFrameSkinManager& skins, const char* name, HWND frame)
{
    if (!skins.LoadSkin(name ? name : "", frame, false))
        return false;
    CSettingString setting("Config", "SkinName", "");
    setting = skins.GetCurrentSkinName().c_str();
    setting.Save();
    return true;
}

CSkinsDlg::CSkinsDlg(HWND frame, CFrameSkinManager* skins, IHelpViewer* help)
    : CDialogBase(kSkinsDialogIconImage), m_frame(frame), m_skins(skins), m_help(help)
{
}

CFrameSkinManager* CSkinsDlg::Skins() const
{
    return m_skins ? m_skins : GetSkinManager();
}

// The menu font two units taller, and the same in bold for the marked rows. The list asks for its
// row height while the dialog is being created, before WM_INITDIALOG: the fonts are made then.
void CSkinsDlg::MakeFonts()
{
    if (!m_font.IsNull())
        return;
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA font = {};
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMenuFont;
    else
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight += font.lfHeight < 0 ? -kFontGrowth : kFontGrowth;
    m_font.CreateFontIndirect(&font);
    font.lfWeight = FW_BOLD;
    m_boldFont.CreateFontIndirect(&font);
}

LRESULT CSkinsDlg::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!measure || measure->CtlID != IDC_SKIN_LIST) {
        handled = FALSE;
        return FALSE;
    }
    MakeFonts();
    CClientDC screen(nullptr);
    CGdiObjectSelector selected(screen, m_boldFont.IsNull() ? nullptr : static_cast<HFONT>(m_boldFont));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(screen, &metrics);
    measure->itemHeight = static_cast<UINT>(metrics.tmHeight + 2 * kRowPadding);
    return TRUE;
}

LRESULT CSkinsDlg::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!draw || draw->CtlID != IDC_SKIN_LIST) {
        handled = FALSE;
        return FALSE;
    }
    if (draw->itemID == static_cast<UINT>(-1))
        return TRUE;
    const int row = static_cast<int>(draw->itemID);
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    HDC dc = draw->hDC;
    CBrush background;
    background.CreateSolidBrush(selected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    ::FillRect(dc, &draw->rcItem, background);
    CSaveDC saved(dc);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    MakeFonts();
    const CFont& font = IsRowMarked(row) ? m_boldFont : m_font;
    if (!font.IsNull())
        ::SelectObject(dc, static_cast<HFONT>(font));
    RECT text = draw->rcItem;
    text.left += kTextIndent;
    const std::string label = GetRowText(row);
    ::DrawTextA(dc, label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    return TRUE;
}

void CSkinsDlg::OnInitControls()
{
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST normal = images ? images->GetList(kSlotGeneralSmall) : nullptr;
    HIMAGELIST disabled = images ? images->GetList(kSlotGeneralSmallDisabled) : nullptr;
    if (normal && disabled && kSkinsHelpImage < ::ImageList_GetImageCount(normal) &&
        kSkinsHelpImage < ::ImageList_GetImageCount(disabled) &&
        m_helpButton.AddIconPair(normal, disabled, kSkinsHelpImage))
        m_helpButton.SubclassWindow(GetDlgItem(IDC_SKIN_HELP));
    m_emailLink.SubclassWindow(GetDlgItem(IDC_SKIN_EMAIL));
    m_websiteLink.SubclassWindow(GetDlgItem(IDC_SKIN_WEBSITE));
    if (CFrameSkinManager* skins = Skins())
        skins->EnumerateSkins();
    FillList();
    int current = kDisableSkinRow;
    for (int row = 0; row < GetRowCount(); ++row)
        if (IsRowMarked(row))
            current = row;
    SelectRow(current);
}

void CSkinsDlg::FillList()
{
    HWND list = GetDlgItem(IDC_SKIN_LIST);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const CStdString disable = TranslateText(kDisableSkinText);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(disable.c_str()));
    if (const CFrameSkinManager* skins = Skins())
        for (const CSkinDescriptor& skin : skins->GetSkins())
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(skin.name.c_str()));
    RefreshMarks();
}

bool CSkinsDlg::IsCurrentRow(int row) const
{
    const CFrameSkinManager* skins = Skins();
    if (!skins)
        return row == kDisableSkinRow;
    if (row == kDisableSkinRow)
        return !skins->IsSkinActive();
    return skins->IsSkinActive() && IsSameSkinName(SkinNameOfRow(row).c_str(), skins->GetCurrentSkinName().c_str());
}

void CSkinsDlg::RefreshMarks()
{
    HWND list = GetDlgItem(IDC_SKIN_LIST);
    for (int row = 0; row < GetRowCount(); ++row)
        ::SendMessageA(list, LB_SETITEMDATA, row, IsCurrentRow(row) ? 1 : 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int CSkinsDlg::GetRowCount() const
{
    const LRESULT count = ::SendDlgItemMessageA(m_hWnd, IDC_SKIN_LIST, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string CSkinsDlg::GetRowText(int row) const
{
    HWND list = GetDlgItem(IDC_SKIN_LIST);
    const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR || length < 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

bool CSkinsDlg::IsRowMarked(int row) const
{
    const LRESULT data = ::SendDlgItemMessageA(m_hWnd, IDC_SKIN_LIST, LB_GETITEMDATA, row, 0);
    return data != LB_ERR && data != 0;
}

std::string CSkinsDlg::SkinNameOfRow(int row) const
{
    const CFrameSkinManager* skins = Skins();
    if (!skins || row <= kDisableSkinRow || static_cast<size_t>(row - 1) >= skins->GetSkins().size())
        return std::string();
    return skins->GetSkins()[static_cast<size_t>(row - 1)].name.c_str();
}

void CSkinsDlg::SelectRow(int row)
{
    ::SendDlgItemMessageA(m_hWnd, IDC_SKIN_LIST, LB_SETCURSEL, row, 0);
    ShowRow(row);
}

LRESULT CSkinsDlg::OnSelectionChange(WORD, WORD, HWND, BOOL&)
{
    ShowRow(static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_SKIN_LIST, LB_GETCURSEL, 0, 0)));
    return 0;
}

void CSkinsDlg::ShowRow(int row)
{
    const CFrameSkinManager* skins = Skins();
    const bool skinRow = skins && row > kDisableSkinRow && static_cast<size_t>(row - 1) < skins->GetSkins().size();
    ::EnableWindow(GetDlgItem(IDC_SKIN_APPLY), row >= 0 && row < GetRowCount() && !IsCurrentRow(row));
    if (!skinRow) {
        ::SetDlgItemTextA(m_hWnd, IDC_SKIN_AUTHOR, "");
        m_emailLink.SetLabel("");
        m_emailLink.SetHyperLink("");
        m_websiteLink.SetLabel("");
        m_websiteLink.SetHyperLink("");
        return;
    }
    const CSkinDescriptor& skin = skins->GetSkins()[static_cast<size_t>(row - 1)];
    ::SetDlgItemTextA(m_hWnd, IDC_SKIN_AUTHOR, skin.author.c_str());
    m_websiteLink.SetHyperLink(skin.website.c_str());
    m_websiteLink.SetLabel(skin.website.c_str());
    m_emailLink.SetHyperLink(skin.email.empty() ? "" : (std::string(kMailtoPrefix) + skin.email.c_str()).c_str());
    m_emailLink.SetLabel(skin.email.c_str());
}

void CSkinsDlg::ApplySelectedRow()
{
    const int row = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_SKIN_LIST, LB_GETCURSEL, 0, 0));
    CFrameSkinManager* skins = Skins();
    if (!skins || row < 0 || row >= GetRowCount())
        return;
    ChooseSkin(*skins, SkinNameOfRow(row).c_str(), m_frame);
    RefreshMarks();
    ::EnableWindow(GetDlgItem(IDC_SKIN_APPLY), FALSE);
}

LRESULT CSkinsDlg::OnApply(WORD, WORD, HWND, BOOL&)
{
    ApplySelectedRow();
    return 0;
}

bool CSkinsDlg::OnAccept()
{
    ApplySelectedRow();
    return true;
}

LRESULT CSkinsDlg::OnHelp(WORD, WORD, HWND, BOOL&)
{
    OpenHelpTopic(m_help ? *m_help : GetSystemHelpViewer(), m_hWnd, kHelpTopicSkins);
    return 0;
}
