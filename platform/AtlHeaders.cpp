// Every header of the library in one translation unit, so that both builds (the 32-bit plug-in
// build compiles this folder too) check that each stands on its own and compiles.
#include "platform/AtlApp.h"
#include "platform/AtlBase.h"
#include "platform/AtlCom.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlDisp.h"
#include "platform/AtlDlgs.h"
#include "platform/AtlFrame.h"
#include "platform/AtlGdi.h"
#include "platform/AtlInterfaces.h"
#include "platform/AtlMisc.h"
#include "platform/AtlRes.h"
#include "platform/AtlTypes.h"
#include "platform/AtlWin.h"

// Every member of the wrapper templates, instantiated once, so that a mistake in one that no caller
// uses yet still fails the build.
template class CImageListT<true>;
template class CImageListT<false>;
template class CStaticT<CWindow>;
template class CButtonT<CWindow>;
template class CEditT<CWindow>;
template class CListBoxT<CWindow>;
template class CComboBoxT<CWindow>;
template class CComboBoxExT<CWindow>;
template class CHeaderCtrlT<CWindow>;
template class CListViewCtrlT<CWindow>;
template class CTreeViewCtrlT<CWindow>;
template class CTabCtrlT<CWindow>;
template class CToolTipCtrlT<CWindow>;
template class CToolBarCtrlT<CWindow>;
template class CReBarCtrlT<CWindow>;
template class CStatusBarCtrlT<CWindow>;
template class CProgressBarCtrlT<CWindow>;
template class CTrackBarCtrlT<CWindow>;
template class CUpDownCtrlT<CWindow>;
template class CHotKeyCtrlT<CWindow>;
template class CMenuT<true>;
template class CMenuT<false>;
template class CPenT<true>;
template class CBrushT<true>;
template class CFontT<true>;
template class CBitmapT<true>;
template class CRgnT<true>;
template class CPaletteT<true>;
template class CIconT<true>;
template class CCursorT<true>;
template class CDCT<true>;
template class CDCT<false>;
template class CComPtr<IDispatch>;
template class CComQIPtr<IDispatch>;
template class IDispatchImpl<IDispatch>;

namespace {

// A dialog and a window with every mix-in, to instantiate their maps.
class CInstantiationDialog : public CDialogImpl<CInstantiationDialog>,
                             public CWinDataExchange<CInstantiationDialog>,
                             public COwnerDraw<CInstantiationDialog>
{
public:
    enum { IDD = 1 };
    BEGIN_MSG_MAP(CInstantiationDialog)
        CHAIN_MSG_MAP(COwnerDraw<CInstantiationDialog>)
        CHAIN_MSG_MAP_ALT(COwnerDraw<CInstantiationDialog>, 1)
        FORWARD_NOTIFICATIONS()
    END_MSG_MAP()
    BEGIN_DDX_MAP(CInstantiationDialog)
        DDX_TEXT(1, m_text)
        DDX_TEXT(2, m_bstr)
        DDX_UINT_RANGE(3, m_number, 0u, 10u)
        DDX_CHECK(4, m_check)
        DDX_RADIO(5, m_radio)
        DDX_CONTROL_HANDLE(6, m_edit)
    END_DDX_MAP()
    char m_text[8] = {};
    BSTR m_bstr = nullptr;
    UINT m_number = 0;
    int m_check = 0;
    int m_radio = 0;
    CEdit m_edit;
};

class CInstantiationFrame : public CFrameWindowImpl<CInstantiationFrame>
{
public:
    BEGIN_MSG_MAP(CInstantiationFrame)
        CHAIN_MSG_MAP(CFrameWindowImpl<CInstantiationFrame>)
    END_MSG_MAP()
};

} // namespace

// Referenced, so that the classes above are compiled in full.
void AtlInstantiateForBuildCheck()
{
    CInstantiationDialog dialog;
    dialog.DoModal(nullptr);
    dialog.DoDataExchange(TRUE);
    CInstantiationFrame frame;
    frame.CreateEx();
}
